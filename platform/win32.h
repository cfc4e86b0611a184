// The Windows interfaces the module calls. On Windows these are the
// system's own headers; here our platform library (platform/linux/)
// provides the same calls with the same results, standing where the system
// stands.
#pragma once

#if defined(_WIN32)
#include <windows.h>
#include <mmsystem.h>
#include <dsound.h>
#else
#include <cstddef>
#include <cstdint>

using BOOL = int;
using BYTE = uint8_t;
using WORD = uint16_t;
using DWORD = uint32_t;
using UINT = unsigned int;
using LONG = int32_t;
using ULONG = uint32_t;
using HRESULT = int32_t;
using LRESULT = intptr_t;
using LPARAM = intptr_t;
using SIZE_T = size_t;
using LPCSTR = const char*;
using LPSTR = char*;
using HPSTR = char*;
using LPVOID = void*;
using LPDWORD = DWORD*;
using HMODULE = void*;
using HINSTANCE = HMODULE;
using HRSRC = void*;
using HGLOBAL = void*;
using HWND = void*;
using FOURCC = DWORD;
using MMRESULT = UINT;
using HMMIO = struct MemoryFileHandle*;

#define MAKEINTRESOURCEA(i) (reinterpret_cast<LPCSTR>(static_cast<uintptr_t>(static_cast<WORD>(i))))
#define IS_INTRESOURCE(p) ((reinterpret_cast<uintptr_t>(p) >> 16) == 0)
#define RT_BITMAP MAKEINTRESOURCEA(2)
#define MAX_PATH 260

#define SUCCEEDED(hr) (static_cast<HRESULT>(hr) >= 0)
#define FAILED(hr) (static_cast<HRESULT>(hr) < 0)

struct GUID {
    uint32_t Data1;
    uint16_t Data2, Data3;
    uint8_t Data4[8];
};
using LPCGUID = const GUID*;
struct IUnknown;
using LPUNKNOWN = IUnknown*;

// ------------------------------------------------------------ global memory

#define GMEM_FIXED 0x0000
#define GMEM_MOVEABLE 0x0002
#define GMEM_ZEROINIT 0x0040

// ------------------------------------------------------------ wave format

#define WAVE_FORMAT_PCM 1

#pragma pack(push, 1)
// 18 bytes, byte-packed as in a wave file's "fmt " chunk.
struct WAVEFORMATEX {
    WORD wFormatTag;
    WORD nChannels;
    DWORD nSamplesPerSec;
    DWORD nAvgBytesPerSec;
    WORD nBlockAlign;
    WORD wBitsPerSample;
    WORD cbSize;
};
#pragma pack(pop)
static_assert(sizeof(WAVEFORMATEX) == 18);
using LPWAVEFORMATEX = WAVEFORMATEX*;

// ------------------------------------------------------------ multimedia file I/O

#define mmioFOURCC(a, b, c, d) \
    (static_cast<DWORD>(BYTE(a)) | (static_cast<DWORD>(BYTE(b)) << 8) | (static_cast<DWORD>(BYTE(c)) << 16) | \
     (static_cast<DWORD>(BYTE(d)) << 24))
#define FOURCC_RIFF mmioFOURCC('R', 'I', 'F', 'F')
#define FOURCC_LIST mmioFOURCC('L', 'I', 'S', 'T')
#define FOURCC_MEM mmioFOURCC('M', 'E', 'M', ' ')

#define MMIO_READ 0x00000000
#define MMIO_WRITE 0x00000001
#define MMIO_READWRITE 0x00000002
#define MMIO_ALLOCBUF 0x00010000
#define MMIO_FINDCHUNK 0x0010
#define MMIO_FINDRIFF 0x0020
#define MMIO_FINDLIST 0x0040

#define MMSYSERR_NOERROR 0
#define MMSYSERR_INVALHANDLE 5
#define MMSYSERR_INVALPARAM 11
#define MMIOERR_CHUNKNOTFOUND 265
#define MMIOERR_CANNOTOPEN 257
#define MMIOERR_CANNOTSEEK 266

using LPMMIOPROC = LRESULT (*)(LPSTR info, UINT message, LPARAM p1, LPARAM p2);

struct MMIOINFO {
    DWORD dwFlags;
    FOURCC fccIOProc;
    LPMMIOPROC pIOProc;
    UINT wErrorRet;
    void* htask;
    LONG cchBuffer;
    HPSTR pchBuffer;
    HPSTR pchNext;
    HPSTR pchEndRead;
    HPSTR pchEndWrite;
    LONG lBufOffset;
    LONG lDiskOffset;
    DWORD adwInfo[3];
    DWORD dwReserved1;
    DWORD dwReserved2;
    HMMIO hmmio;
};
using LPMMIOINFO = MMIOINFO*;

struct MMCKINFO {
    FOURCC ckid;
    DWORD cksize;
    FOURCC fccType;
    DWORD dwDataOffset;
    DWORD dwFlags;
};
using LPMMCKINFO = MMCKINFO*;

// ------------------------------------------------------------ sound device

#define DS_OK 0
#define DSERR_GENERIC static_cast<HRESULT>(0x80004005)
#define DSERR_OUTOFMEMORY static_cast<HRESULT>(0x8007000E)
#define DSERR_INVALIDPARAM static_cast<HRESULT>(0x80070057)
#define DSERR_NOAGGREGATION static_cast<HRESULT>(0x80040110)
#define DSERR_UNSUPPORTED static_cast<HRESULT>(0x80004001)
#define DSERR_NODRIVER static_cast<HRESULT>(0x88780078)
#define DSERR_INVALIDCALL static_cast<HRESULT>(0x88780032)
#define DSERR_PRIOLEVELNEEDED static_cast<HRESULT>(0x88780046)
#define DSERR_CONTROLUNAVAIL static_cast<HRESULT>(0x8878001E)
#define DSERR_BUFFERLOST static_cast<HRESULT>(0x88780096)
#define DSERR_BADFORMAT static_cast<HRESULT>(0x88780064)

#define DSSCL_NORMAL 0x00000001
#define DSSCL_PRIORITY 0x00000002
#define DSSCL_EXCLUSIVE 0x00000003
#define DSSCL_WRITEPRIMARY 0x00000004

#define DSBCAPS_PRIMARYBUFFER 0x00000001
#define DSBCAPS_STATIC 0x00000002
#define DSBCAPS_LOCHARDWARE 0x00000004
#define DSBCAPS_LOCSOFTWARE 0x00000008
#define DSBCAPS_CTRL3D 0x00000010
#define DSBCAPS_CTRLFREQUENCY 0x00000020
#define DSBCAPS_CTRLPAN 0x00000040
#define DSBCAPS_CTRLVOLUME 0x00000080
#define DSBCAPS_GLOBALFOCUS 0x00008000

#define DSBPLAY_LOOPING 0x00000001
#define DSBSTATUS_PLAYING 0x00000001
#define DSBSTATUS_BUFFERLOST 0x00000002
#define DSBSTATUS_LOOPING 0x00000004
#define DSBLOCK_FROMWRITECURSOR 0x00000001
#define DSBLOCK_ENTIREBUFFER 0x00000002

#define DSBSIZE_MIN 4
#define DSBSIZE_MAX 0x0FFFFFFF
#define DSBVOLUME_MIN (-10000)
#define DSBVOLUME_MAX 0

struct DSBUFFERDESC {
    DWORD dwSize;
    DWORD dwFlags;
    DWORD dwBufferBytes;
    DWORD dwReserved;
    LPWAVEFORMATEX lpwfxFormat;
    GUID guid3DAlgorithm;
};
using LPCDSBUFFERDESC = const DSBUFFERDESC*;

// The interfaces keep the system's method order, so a call reads the same
// on both targets.
struct IUnknown {
    virtual HRESULT QueryInterface(const GUID* iid, void** object) = 0;
    virtual ULONG AddRef() = 0;
    virtual ULONG Release() = 0;
};

struct IDirectSoundBuffer : IUnknown {
    virtual HRESULT GetCaps(void* caps) = 0;
    virtual HRESULT GetCurrentPosition(LPDWORD play, LPDWORD write) = 0;
    virtual HRESULT GetFormat(LPWAVEFORMATEX format, DWORD size, LPDWORD written) = 0;
    virtual HRESULT GetVolume(LONG* volume) = 0;
    virtual HRESULT GetPan(LONG* pan) = 0;
    virtual HRESULT GetFrequency(LPDWORD frequency) = 0;
    virtual HRESULT GetStatus(LPDWORD status) = 0;
    virtual HRESULT Initialize(void* device, LPCDSBUFFERDESC desc) = 0;
    virtual HRESULT Lock(DWORD offset, DWORD bytes, LPVOID* part1, LPDWORD bytes1, LPVOID* part2, LPDWORD bytes2,
                         DWORD flags) = 0;
    virtual HRESULT Play(DWORD reserved, DWORD priority, DWORD flags) = 0;
    virtual HRESULT SetCurrentPosition(DWORD position) = 0;
    virtual HRESULT SetFormat(const WAVEFORMATEX* format) = 0;
    virtual HRESULT SetVolume(LONG volume) = 0;
    virtual HRESULT SetPan(LONG pan) = 0;
    virtual HRESULT SetFrequency(DWORD frequency) = 0;
    virtual HRESULT Stop() = 0;
    virtual HRESULT Unlock(LPVOID part1, DWORD bytes1, LPVOID part2, DWORD bytes2) = 0;
    virtual HRESULT Restore() = 0;
};
using LPDIRECTSOUNDBUFFER = IDirectSoundBuffer*;

struct IDirectSound : IUnknown {
    virtual HRESULT CreateSoundBuffer(LPCDSBUFFERDESC desc, LPDIRECTSOUNDBUFFER* buffer, LPUNKNOWN outer) = 0;
    virtual HRESULT GetCaps(void* caps) = 0;
    virtual HRESULT DuplicateSoundBuffer(LPDIRECTSOUNDBUFFER original, LPDIRECTSOUNDBUFFER* duplicate) = 0;
    virtual HRESULT SetCooperativeLevel(HWND window, DWORD level) = 0;
    virtual HRESULT Compact() = 0;
    virtual HRESULT GetSpeakerConfig(LPDWORD config) = 0;
    virtual HRESULT SetSpeakerConfig(DWORD config) = 0;
    virtual HRESULT Initialize(LPCGUID device) = 0;
};
using LPDIRECTSOUND = IDirectSound*;

extern "C" {
// Resources of a module, by handle: the handle the host passes with the
// install notice. Names and types are integer resources or strings.
HRSRC FindResourceA(HMODULE module, LPCSTR name, LPCSTR type);
HGLOBAL LoadResource(HMODULE module, HRSRC resource);
LPVOID LockResource(HGLOBAL loaded);
DWORD SizeofResource(HMODULE module, HRSRC resource);
BOOL FreeResource(HGLOBAL loaded);

// Global memory.
HGLOBAL GlobalAlloc(UINT flags, SIZE_T bytes);
LPVOID GlobalLock(HGLOBAL memory);
BOOL GlobalUnlock(HGLOBAL memory);
HGLOBAL GlobalFree(HGLOBAL memory);

// The executable of the host process (module null) and its windows.
DWORD GetModuleFileNameA(HMODULE module, LPSTR name, DWORD size);
HWND FindWindowA(LPCSTR class_name, LPCSTR window_name);

// Multimedia file I/O: RIFF chunks of a file, here always a memory file.
HMMIO mmioOpenA(LPSTR file_name, LPMMIOINFO info, DWORD flags);
MMRESULT mmioDescend(HMMIO file, LPMMCKINFO chunk, const MMCKINFO* parent, UINT flags);
LONG mmioRead(HMMIO file, HPSTR data, LONG bytes);
MMRESULT mmioAscend(HMMIO file, LPMMCKINFO chunk, UINT flags);
MMRESULT mmioClose(HMMIO file, UINT flags);

// The sound library's object creation (ordinal 1 of its library on Windows).
HRESULT DirectSoundCreate(LPCGUID device, LPDIRECTSOUND* sound, LPUNKNOWN outer);
}
#endif

// Both targets: the descriptor the host's sound library expects is 36 bytes
// on the 32-bit target.
#if defined(__i386__) || defined(_M_IX86)
static_assert(sizeof(DSBUFFERDESC) == 36, "the sound buffer description is 36 bytes");
static_assert(sizeof(MMIOINFO) == 72, "the multimedia file information record is 72 bytes");
#endif
