// The module's sounds as the system's sound library plays them. The module
// imports the library's object creation by ordinal; the observer takes that
// one import of the module (its import address table) and, on each object
// the library returns, the buffer-creation, play and release entries of the
// library's interfaces. Every call goes on to the library unchanged: the
// observer only notes the buffers' sizes and formats, and around each play
// call asks the buffer for its status.
#include <windows.h>
#include <mmsystem.h>
#include <dsound.h>

#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "host/sim_host.h"
#include "tools/trace/sound_observer.h"

namespace trace {

namespace {

using CreateDeviceFn = HRESULT(WINAPI*)(LPCGUID, void**, void*);
using CreateBufferFn = HRESULT(WINAPI*)(void* self, const DSBUFFERDESC* desc, void** buffer, void* outer);
using PlayFn = HRESULT(WINAPI*)(void* self, DWORD reserved, DWORD priority, DWORD flags);
using StatusFn = HRESULT(WINAPI*)(void* self, DWORD* status);
using GetVolumeFn = HRESULT(WINAPI*)(void* self, LONG* volume);
using ReleaseFn = ULONG(WINAPI*)(void* self);

// Entry numbers in the library's interface tables.
constexpr int DEVICE_CREATE_BUFFER = 3;
constexpr int BUFFER_RELEASE = 2, BUFFER_GET_STATUS = 9, BUFFER_GET_VOLUME = 6, BUFFER_PLAY = 12;

struct BufferEntries {
    ReleaseFn release = nullptr;
    StatusFn status = nullptr;
    GetVolumeFn volume = nullptr;
    PlayFn play = nullptr;
};

struct Buffer {
    uint32_t bytes = 0;
    uint32_t bytes_per_second = 0;
};

struct Play {
    void* buffer;
    double start, seconds;  // host clock
    bool seen_playing = false;
    bool seen_stopped = false;
};

CreateDeviceFn g_create_device = nullptr;
std::map<void**, CreateBufferFn> g_device_tables;
std::map<void**, BufferEntries> g_buffer_tables;
std::map<void*, Buffer> g_buffers;
std::map<uint32_t, uint32_t> g_wave_of_bytes;  // data length -> wave id (0: two waves share it)
std::vector<SoundPlay> g_new;
std::vector<Play> g_plays;
double g_host_time = 0;
unsigned g_devices = 0, g_refusals = 0, g_buffers_created = 0, g_failed_waits = 0;

void** table_of(void* object) { return *static_cast<void***>(object); }

template <typename Fn>
Fn replace_entry(void** table, int index, void* replacement) {
    DWORD old;
    VirtualProtect(&table[index], sizeof(void*), PAGE_EXECUTE_READWRITE, &old);
    Fn original = reinterpret_cast<Fn>(table[index]);
    table[index] = replacement;
    VirtualProtect(&table[index], sizeof(void*), old, &old);
    return original;
}

const BufferEntries& entries_of(void* buffer) { return g_buffer_tables.at(table_of(buffer)); }

bool is_playing(void* buffer) {
    DWORD status = 0;
    return SUCCEEDED(entries_of(buffer).status(buffer, &status)) && (status & DSBSTATUS_PLAYING);
}

ULONG WINAPI observed_release(void* self) {
    ULONG left = entries_of(self).release(self);
    if (left == 0) {
        g_buffers.erase(self);
        for (Play& p : g_plays)
            if (p.buffer == self) p.buffer = nullptr;
    }
    return left;
}

HRESULT WINAPI observed_play(void* self, DWORD reserved, DWORD priority, DWORD flags) {
    const BufferEntries& entries = entries_of(self);
    bool was_playing = is_playing(self);
    HRESULT result = entries.play(self, reserved, priority, flags);
    if (SUCCEEDED(result) && !was_playing) {
        LONG volume = 0;
        entries.volume(self, &volume);
        auto known = g_buffers.find(self);
        Buffer b = known == g_buffers.end() ? Buffer{} : known->second;
        auto wave = g_wave_of_bytes.find(b.bytes);
        g_new.push_back({wave == g_wave_of_bytes.end() ? 0u : wave->second, volume});
        Play p{self, g_host_time, b.bytes_per_second ? double(b.bytes) / b.bytes_per_second : 0.0};
        p.seen_playing = is_playing(self);
        g_plays.push_back(p);
    }
    return result;
}

void watch_buffer_table(void* buffer) {
    void** table = table_of(buffer);
    if (g_buffer_tables.count(table)) return;
    BufferEntries e;
    e.status = reinterpret_cast<StatusFn>(table[BUFFER_GET_STATUS]);
    e.volume = reinterpret_cast<GetVolumeFn>(table[BUFFER_GET_VOLUME]);
    e.release = replace_entry<ReleaseFn>(table, BUFFER_RELEASE, reinterpret_cast<void*>(&observed_release));
    e.play = replace_entry<PlayFn>(table, BUFFER_PLAY, reinterpret_cast<void*>(&observed_play));
    g_buffer_tables[table] = e;
}

HRESULT WINAPI observed_create_buffer(void* self, const DSBUFFERDESC* desc, void** buffer, void* outer) {
    HRESULT result = g_device_tables.at(table_of(self))(self, desc, buffer, outer);
    if (SUCCEEDED(result) && buffer && *buffer) {
        watch_buffer_table(*buffer);
        Buffer b;
        if (desc) {
            b.bytes = desc->dwBufferBytes;
            if (desc->lpwfxFormat) b.bytes_per_second = desc->lpwfxFormat->nAvgBytesPerSec;
        }
        g_buffers[*buffer] = b;
        ++g_buffers_created;
    }
    return result;
}

HRESULT WINAPI observed_create_device(LPCGUID device, void** object, void* outer) {
    HRESULT result = g_create_device(device, object, outer);
    if (FAILED(result)) ++g_refusals;
    if (SUCCEEDED(result) && object && *object) {
        ++g_devices;
        void** table = table_of(*object);
        if (!g_device_tables.count(table))
            g_device_tables[table] =
                replace_entry<CreateBufferFn>(table, DEVICE_CREATE_BUFFER, reinterpret_cast<void*>(&observed_create_buffer));
    }
    return result;
}

// The import of `dll` by `ordinal` in the module's import address table.
void** import_slot(HMODULE module, const char* dll, WORD ordinal) {
    auto* base = reinterpret_cast<BYTE*>(module);
    auto* dos = reinterpret_cast<IMAGE_DOS_HEADER*>(base);
    auto* nt = reinterpret_cast<IMAGE_NT_HEADERS32*>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& dir = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    if (!dir.VirtualAddress) return nullptr;
    for (auto* d = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + dir.VirtualAddress); d->Name; ++d) {
        if (_stricmp(reinterpret_cast<const char*>(base + d->Name), dll) != 0) continue;
        auto* names = reinterpret_cast<IMAGE_THUNK_DATA32*>(base + (d->OriginalFirstThunk ? d->OriginalFirstThunk : d->FirstThunk));
        auto* slots = reinterpret_cast<IMAGE_THUNK_DATA32*>(base + d->FirstThunk);
        for (size_t i = 0; names[i].u1.AddressOfData; ++i)
            if (IMAGE_SNAP_BY_ORDINAL32(names[i].u1.Ordinal) && IMAGE_ORDINAL32(names[i].u1.Ordinal) == ordinal)
                return reinterpret_cast<void**>(&slots[i].u1.Function);
    }
    return nullptr;
}

// The length of the data chunk of a RIFF wave image, 0 if it has none.
uint32_t wave_data_bytes(const BYTE* data, DWORD size) {
    if (!data || size < 12 || std::memcmp(data, "RIFF", 4) != 0 || std::memcmp(data + 8, "WAVE", 4) != 0) return 0;
    for (DWORD at = 12; at + 8 <= size;) {
        uint32_t length;
        std::memcpy(&length, data + at + 4, 4);
        if (std::memcmp(data + at, "data", 4) == 0) return length;
        at += 8 + length + (length & 1);
    }
    return 0;
}

BOOL CALLBACK note_wave(HMODULE module, LPCSTR type, LPSTR name, LONG_PTR) {
    if (!IS_INTRESOURCE(name)) return TRUE;
    uint32_t id = static_cast<uint32_t>(reinterpret_cast<uintptr_t>(name));
    HRSRC found = FindResourceA(module, name, type);
    if (!found) return TRUE;
    auto* data = static_cast<const BYTE*>(LockResource(LoadResource(module, found)));
    uint32_t bytes = wave_data_bytes(data, SizeofResource(module, found));
    if (!bytes) return TRUE;
    auto [it, fresh] = g_wave_of_bytes.emplace(bytes, id);
    if (!fresh) it->second = 0;
    return TRUE;
}

// The host's main window, which the module looks up by class to attach its
// sound device to (our program's name makes it ask for this class).
void open_host_window() {
    static HWND window = nullptr;
    if (window) return;
    WNDCLASSA wc{};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "FS98MAIN";
    RegisterClassA(&wc);
    window = CreateWindowA("FS98MAIN", "Morvane trace", WS_OVERLAPPEDWINDOW, 0, 0, 64, 64, nullptr, nullptr,
                           wc.hInstance, nullptr);
}

}  // namespace

bool watch_sounds(sim::LoadedModule& module, std::string* error) {
    open_host_window();
    auto* handle = reinterpret_cast<HMODULE>(module.dl_handle());
    void** slot = import_slot(handle, "dsound.dll", 1);
    if (!slot) return true;  // a module without sound (the older flaps module)
    EnumResourceNamesA(handle, "WAVE", note_wave, 0);
    DWORD old;
    if (!VirtualProtect(slot, sizeof(void*), PAGE_READWRITE, &old)) {
        if (error) *error = module.path() + ": its import of the sound library cannot be watched";
        return false;
    }
    g_create_device = reinterpret_cast<CreateDeviceFn>(*slot);
    *slot = reinterpret_cast<void*>(&observed_create_device);
    VirtualProtect(slot, sizeof(void*), old, &old);
    return true;
}

void refuse_sound_device() {}

bool sound_device_refused() { return g_refusals > 0 && g_devices == 0; }

void settle_sounds(double host_seconds) {
    g_host_time = host_seconds;
    for (Play& p : g_plays) {
        if (p.seen_stopped || !p.buffer || p.start + p.seconds > host_seconds) continue;
        // The output has until a generous deadline to finish the sound.
        DWORD deadline = GetTickCount() + 10000;
        while (is_playing(p.buffer) && GetTickCount() < deadline) Sleep(1);
        p.seen_stopped = !is_playing(p.buffer);
        if (!p.seen_stopped) ++g_failed_waits;
    }
}

std::vector<SoundPlay> take_sounds() { return std::exchange(g_new, {}); }

std::string sound_summary() {
    unsigned playing = 0, stopped = 0;
    for (const Play& p : g_plays) playing += p.seen_playing, stopped += p.seen_stopped;
    char line[256];
    std::snprintf(line, sizeof line,
                  "sounds: %u devices and %u buffers created, %zu buffers left unreleased, %zu played by the system sound library, %u seen playing, "
                  "%u seen stopped, %u still playing past their end",
                  g_devices, g_buffers_created, g_buffers.size(), g_plays.size(), playing, stopped, g_failed_waits);
    return line;
}

bool sounds_confirmed() {
    if (g_plays.empty()) return false;
    for (const Play& p : g_plays)
        if (!p.seen_playing) return false;
    return g_failed_waits == 0;
}

}  // namespace trace
