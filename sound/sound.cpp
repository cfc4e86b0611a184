// Wave sound playback through the system's sound library. Every operation
// checks the module-wide flag first and does nothing while it is 0; any
// failing step drops it for good, so a machine without working sound runs
// the panel silently and no later operation calls the system again.
#include "sound/sound.h"

#include <cstring>

#include "platform/win32.h"

namespace sound {

int32_t sound_available = 1;

namespace {

// The gauge variables hold the system's interface pointers behind the
// service's own names, so gauge files need no system header.
IDirectSound* device_of(SoundDevice* device) { return reinterpret_cast<IDirectSound*>(device); }
IDirectSoundBuffer* buffer_of(SoundBuffer* buffer) { return reinterpret_cast<IDirectSoundBuffer*>(buffer); }
SoundDevice* as_device(IDirectSound* device) { return reinterpret_cast<SoundDevice*>(device); }
SoundBuffer* as_buffer(IDirectSoundBuffer* buffer) { return reinterpret_cast<SoundBuffer*>(buffer); }

int silence() {
    sound_available = 0;
    return 0;
}

constexpr DWORD BUFFER_FLAGS = DSBCAPS_CTRLFREQUENCY | DSBCAPS_CTRLPAN | DSBCAPS_CTRLVOLUME | DSBCAPS_GLOBALFOCUS;
static_assert(BUFFER_FLAGS == 0x80E0);
// Open the resource bytes as a memory file, buffered, for reading.
constexpr DWORD MEMORY_FILE_FLAGS = MMIO_ALLOCBUF | MMIO_READWRITE;
static_assert(MEMORY_FILE_FLAGS == 0x10002);
// The wave format as a "fmt " chunk holds it, size word included.
static_assert(sizeof(WAVEFORMATEX) == 18);
// A PCM format without its trailing size word.
constexpr DWORD PCM_FORMAT_BYTES = 16;

// The wave resource, found, loaded and opened as a memory file; closes and
// releases whatever it holds when it goes out of scope.
class WaveResource {
public:
    WaveResource(HMODULE module, uint32_t wave_id) {
        HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(wave_id & 0xFFFF), "WAVE");
        if (!found) return;
        loaded_ = LoadResource(module, found);
        if (!loaded_) return;
        bytes_ = static_cast<char*>(LockResource(loaded_));
        size_ = SizeofResource(module, found);
        if (!bytes_ || size_ == 0 || size_ > 0x7FFFFFFF) return;
        MMIOINFO info;
        std::memset(&info, 0, sizeof info);
        info.fccIOProc = FOURCC_MEM;
        info.pchBuffer = bytes_;
        info.cchBuffer = static_cast<LONG>(size_);
        file_ = mmioOpenA(nullptr, &info, MEMORY_FILE_FLAGS);
    }
    ~WaveResource() { release(); }
    WaveResource(const WaveResource&) = delete;
    WaveResource& operator=(const WaveResource&) = delete;

    HMMIO file() const { return file_; }
    DWORD size() const { return size_; }
    // Closes the memory file and releases the resource.
    void release() {
        if (file_) mmioClose(file_, 0);
        file_ = nullptr;
        if (loaded_) FreeResource(loaded_);
        loaded_ = nullptr;
    }

private:
    HGLOBAL loaded_ = nullptr;
    char* bytes_ = nullptr;
    DWORD size_ = 0;
    HMMIO file_ = nullptr;
};

// Reads the wave format and finds the sound data: the RIFF chunk of form
// "WAVE", its "fmt " chunk (the first 18 bytes from the chunk start), then
// its "data" chunk. Leaves the file at the start of the sound bytes.
bool read_format(HMMIO file, DWORD resource_size, WAVEFORMATEX& format, DWORD& sound_size) {
    MMCKINFO riff;
    std::memset(&riff, 0, sizeof riff);
    riff.fccType = mmioFOURCC('W', 'A', 'V', 'E');
    if (mmioDescend(file, &riff, nullptr, MMIO_FINDRIFF) != MMSYSERR_NOERROR) return false;

    MMCKINFO chunk;
    std::memset(&chunk, 0, sizeof chunk);
    chunk.ckid = mmioFOURCC('f', 'm', 't', ' ');
    if (mmioDescend(file, &chunk, &riff, MMIO_FINDCHUNK) != MMSYSERR_NOERROR) return false;
    // Shorter than a PCM format is no usable format.
    if (chunk.cksize < PCM_FORMAT_BYTES) return false;
    std::memset(&format, 0, sizeof format);
    if (mmioRead(file, reinterpret_cast<HPSTR>(&format), sizeof format) != LONG(sizeof format)) return false;
    // A 16-byte PCM format has no size word: the last two bytes read belong
    // to the next chunk.
    if (chunk.cksize < sizeof format) format.cbSize = 0;
    if (mmioAscend(file, &chunk, 0) != MMSYSERR_NOERROR) return false;

    chunk.ckid = mmioFOURCC('d', 'a', 't', 'a');
    if (mmioDescend(file, &chunk, &riff, MMIO_FINDCHUNK) != MMSYSERR_NOERROR) return false;
    // Never more sound than the resource holds, whatever the chunk claims.
    if (chunk.cksize == 0 || chunk.cksize > resource_size) return false;
    sound_size = chunk.cksize;
    return true;
}

// Movable global memory holding the sound bytes between the file and the
// buffer; freed when it goes out of scope.
class SoundBytes {
public:
    explicit SoundBytes(DWORD size) : size_(size) {
        memory_ = GlobalAlloc(GMEM_MOVEABLE, size);
        if (memory_) bytes_ = static_cast<char*>(GlobalLock(memory_));
    }
    ~SoundBytes() {
        if (bytes_) GlobalUnlock(memory_);
        if (memory_) GlobalFree(memory_);
    }
    SoundBytes(const SoundBytes&) = delete;
    SoundBytes& operator=(const SoundBytes&) = delete;

    char* bytes() const { return bytes_; }
    bool read_from(HMMIO file) const { return mmioRead(file, bytes_, LONG(size_)) == LONG(size_); }

private:
    DWORD size_;
    HGLOBAL memory_ = nullptr;
    char* bytes_ = nullptr;
};

// Creates the secondary buffer and copies the sound into it.
IDirectSoundBuffer* make_buffer(IDirectSound* device, WAVEFORMATEX& format, const char* bytes, DWORD size) {
    DSBUFFERDESC desc;
    std::memset(&desc, 0, sizeof desc);
    desc.dwSize = sizeof desc;
    desc.dwFlags = BUFFER_FLAGS;
    desc.dwBufferBytes = size;
    desc.lpwfxFormat = &format;
    IDirectSoundBuffer* buffer = nullptr;
    if (FAILED(device->CreateSoundBuffer(&desc, &buffer, nullptr)) || !buffer) return nullptr;

    LPVOID part1 = nullptr, part2 = nullptr;
    DWORD bytes1 = 0, bytes2 = 0;
    bool filled = SUCCEEDED(buffer->Lock(0, size, &part1, &bytes1, &part2, &bytes2, 0)) && part1;
    if (filled) {
        std::memcpy(part1, bytes, bytes1 < size ? bytes1 : size);
        filled = SUCCEEDED(buffer->Unlock(part1, bytes1, part2, bytes2));
    }
    filled = filled && SUCCEEDED(buffer->SetCurrentPosition(0));
    if (!filled) {
        // Created by this load and of no use to anyone: gone with it.
        buffer->Release();
        return nullptr;
    }
    return buffer;
}

// The name of the host's executable without directory and extension.
bool host_program_name(char* name, DWORD size) {
    char path[MAX_PATH + 1];
    DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    if (length == 0 || length > MAX_PATH) return false;
    path[length] = '\0';
    const char* start = path;
    for (const char* c = path; *c; ++c)
        if (*c == '\\' || *c == '/') start = c + 1;
    size_t n = std::strlen(start);
    if (const char* dot = std::strrchr(start, '.')) n = size_t(dot - start);
    if (n >= size) n = size - 1;
    std::memcpy(name, start, n);
    name[n] = '\0';
    return true;
}

}  // namespace

WindowHandle find_host_main_window() {
    if (!sound_available) return nullptr;
    char name[MAX_PATH + 1];
    if (!host_program_name(name, sizeof name)) {
        silence();
        return nullptr;
    }
    size_t length = std::strlen(name);
    bool combat_host = (length >= 4 && name[3] == '2') || name[0] == 'C';
    return FindWindowA(combat_host ? "MSCFSMAIN" : "FS98MAIN", nullptr);
}

int create_device(WindowHandle window, SoundDevice** device) {
    if (!sound_available || !device) return 0;
    *device = nullptr;
    IDirectSound* created = nullptr;
    if (FAILED(DirectSoundCreate(nullptr, &created, nullptr)) || !created) return silence();
    if (FAILED(created->SetCooperativeLevel(static_cast<HWND>(window), DSSCL_NORMAL))) {
        created->Release();
        return silence();
    }
    *device = as_device(created);
    return 1;
}

uint32_t load_wave(WindowHandle, SoundDevice** device, SoundBuffer** buffer, uint32_t wave_id, HostWord module) {
    if (!sound_available || !buffer) return 0;
    *buffer = nullptr;
    if (!device || !*device) return silence();

    WAVEFORMATEX format;
    DWORD size = 0;
    IDirectSoundBuffer* loaded = nullptr;
    {
        WaveResource wave(reinterpret_cast<HMODULE>(module), wave_id);
        if (!wave.file() || !read_format(wave.file(), wave.size(), format, size)) return silence();
        SoundBytes sound(size);
        if (!sound.bytes() || !sound.read_from(wave.file())) return silence();
        wave.release();
        loaded = make_buffer(device_of(*device), format, sound.bytes(), size);
    }
    if (!loaded) return silence();
    *buffer = as_buffer(loaded);
    return size;
}

int play(SoundBuffer** buffer, uint32_t flags) {
    if (!sound_available || !buffer || !*buffer) return 0;
    if (FAILED(buffer_of(*buffer)->Play(0, 0, flags))) {
        *buffer = nullptr;
        return silence();
    }
    return 1;
}

int is_playing(SoundBuffer** buffer) {
    if (!sound_available || !buffer || !*buffer) return 0;
    DWORD status = 0;
    if (FAILED(buffer_of(*buffer)->GetStatus(&status))) {
        *buffer = nullptr;
        return silence();
    }
    return (status & DSBSTATUS_PLAYING) ? 1 : 0;
}

int set_volume(SoundBuffer** buffer, int32_t hundredths_of_db) {
    if (!sound_available || !buffer || !*buffer) return 0;
    if (FAILED(buffer_of(*buffer)->SetVolume(hundredths_of_db))) {
        *buffer = nullptr;
        return silence();
    }
    return 1;
}

void release_buffer(SoundBuffer** buffer) {
    if (!sound_available || !buffer || !*buffer) return;
    buffer_of(*buffer)->Release();
    *buffer = nullptr;
}

void release_device(SoundDevice** device) {
    if (!sound_available || !device || !*device) return;
    device_of(*device)->Release();
    *device = nullptr;
}

void install_click(ClickSound& click, HostWord module, uint32_t wave_id) {
    click.module = module;
    click.window = find_host_main_window();
    // A failed creation has already silenced the module: the load then
    // returns at once.
    create_device(click.window, &click.device);
    load_wave(click.window, &click.device, &click.buffer, wave_id, click.module);
}

void play_click(ClickSound& click) { play(&click.buffer, 0); }

void kill_click(ClickSound& click) {
    release_buffer(&click.buffer);
    release_device(&click.device);
}

}  // namespace sound
