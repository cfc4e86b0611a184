// Under Windows (and Wine) an access violation inside a gauge module is
// reported with the faulting address, the address it tried to reach, and
// the module and section of each.
#include <windows.h>
#include <psapi.h>

#include <cstdio>
#include <cstring>

#include "tools/trace/crash_report.h"

namespace trace {

namespace {

void describe(const char* what, const void* address) {
    HMODULE module = nullptr;
    if (!GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                            static_cast<LPCSTR>(address), &module)) {
        std::fprintf(stderr, "  %s %p: in no module\n", what, address);
        return;
    }
    char path[MAX_PATH] = "";
    GetModuleFileNameA(module, path, sizeof path);
    auto* base = reinterpret_cast<const BYTE*>(module);
    auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + reinterpret_cast<const IMAGE_DOS_HEADER*>(base)->e_lfanew);
    const IMAGE_SECTION_HEADER* section = IMAGE_FIRST_SECTION(nt);
    DWORD rva = static_cast<DWORD>(static_cast<const BYTE*>(address) - base);
    char name[9] = "?";
    for (unsigned i = 0; i < nt->FileHeader.NumberOfSections; ++i, ++section)
        if (rva >= section->VirtualAddress && rva < section->VirtualAddress + section->Misc.VirtualSize) {
            std::memcpy(name, section->Name, 8);
            name[8] = 0;
        }
    std::fprintf(stderr, "  %s %p: %s, section %s, offset 0x%lX\n", what, address, path, name,
                 static_cast<unsigned long>(rva));
}

LONG WINAPI on_crash(EXCEPTION_POINTERS* info) {
    const EXCEPTION_RECORD* r = info->ExceptionRecord;
    std::fprintf(stderr, "morvane-trace: exception 0x%08lX\n", static_cast<unsigned long>(r->ExceptionCode));
    describe("at", r->ExceptionAddress);
    if (r->ExceptionCode == EXCEPTION_ACCESS_VIOLATION && r->NumberParameters >= 2)
        describe(r->ExceptionInformation[0] == 1 ? "writing" : "reading",
                 reinterpret_cast<const void*>(r->ExceptionInformation[1]));
    std::fflush(stderr);
    return EXCEPTION_EXECUTE_HANDLER;
}

}  // namespace

void report_crashes() {
    SetUnhandledExceptionFilter(on_crash);
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX);
}

}  // namespace trace
