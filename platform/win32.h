// The Windows interfaces the module calls. On Windows these are the
// system's own headers; here our platform library (platform/linux/)
// provides the same calls with the same results, standing where the system
// stands.
#pragma once

#if defined(_WIN32)
#include <windows.h>
#include <mmsystem.h>
#else
#include <cstdint>

using BOOL = int;
using WORD = uint16_t;
using DWORD = uint32_t;
using LONG = int32_t;
using LPCSTR = const char*;
using LPVOID = void*;
using HMODULE = void*;
using HINSTANCE = HMODULE;
using HRSRC = void*;
using HGLOBAL = void*;
using HWND = void*;

#define MAKEINTRESOURCEA(i) (reinterpret_cast<LPCSTR>(static_cast<uintptr_t>(static_cast<WORD>(i))))
#define IS_INTRESOURCE(p) ((reinterpret_cast<uintptr_t>(p) >> 16) == 0)
#define RT_BITMAP MAKEINTRESOURCEA(2)

extern "C" {
// Resources of a module, by handle: the handle the host passes with the
// install notice. Names and types are integer resources or strings.
HRSRC FindResourceA(HMODULE module, LPCSTR name, LPCSTR type);
HGLOBAL LoadResource(HMODULE module, HRSRC resource);
LPVOID LockResource(HGLOBAL loaded);
DWORD SizeofResource(HMODULE module, HRSRC resource);
BOOL FreeResource(HGLOBAL loaded);
}
#endif
