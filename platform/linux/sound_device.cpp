// Our software sound device: the system's sound objects with the same calls
// and results. Buffers play by the layer's clock, which the host advances
// once per cycle, and are mixed at their volume into the output track.
#include <cmath>
#include <cstring>

#include "platform/linux/sound_layer.h"

namespace sound_layer {

// What every object of the layer keeps: its serial, its references, and a
// note of any call made on it after its release.
template <typename Interface>
struct SoftObject : Interface {
    explicit SoftObject(const char* kind) : kind(kind) {}
    const char* kind;
    uint32_t serial = 0;
    ULONG references = 1;
    bool released = false;

    bool usable(const char* call) {
        count_call();
        if (released) note_misuse(std::string(kind) + " call after release: " + call);
        return !released;
    }

    HRESULT QueryInterface(const GUID*, void** object) override {
        if (!usable("QueryInterface")) return DSERR_INVALIDCALL;
        if (object) *object = nullptr;
        return DSERR_UNSUPPORTED;
    }
    ULONG AddRef() override {
        if (!usable("AddRef")) return 0;
        return ++references;
    }
};

struct SoftDevice final : SoftObject<IDirectSound> {
    SoftDevice() : SoftObject("device") {}
    DWORD level = 0;  // cooperative level, 0 until set

    ULONG Release() override;
    HRESULT CreateSoundBuffer(LPCDSBUFFERDESC desc, LPDIRECTSOUNDBUFFER* buffer, LPUNKNOWN outer) override;
    HRESULT GetCaps(void*) override { return usable("GetCaps") ? DSERR_UNSUPPORTED : DSERR_INVALIDCALL; }
    HRESULT DuplicateSoundBuffer(LPDIRECTSOUNDBUFFER, LPDIRECTSOUNDBUFFER* duplicate) override {
        if (duplicate) *duplicate = nullptr;
        return usable("DuplicateSoundBuffer") ? DSERR_UNSUPPORTED : DSERR_INVALIDCALL;
    }
    HRESULT SetCooperativeLevel(HWND window, DWORD new_level) override;
    HRESULT Compact() override { return usable("Compact") ? DS_OK : DSERR_INVALIDCALL; }
    HRESULT GetSpeakerConfig(LPDWORD) override {
        return usable("GetSpeakerConfig") ? DSERR_UNSUPPORTED : DSERR_INVALIDCALL;
    }
    HRESULT SetSpeakerConfig(DWORD) override {
        return usable("SetSpeakerConfig") ? DSERR_UNSUPPORTED : DSERR_INVALIDCALL;
    }
    HRESULT Initialize(LPCGUID) override { return usable("Initialize") ? DSERR_INVALIDCALL : DSERR_INVALIDCALL; }
};

struct SoftBuffer final : SoftObject<IDirectSoundBuffer> {
    SoftBuffer() : SoftObject("buffer") {}
    SoftDevice* device = nullptr;
    DWORD flags = 0;
    DWORD description_size = 0;
    WAVEFORMATEX format{};
    std::vector<uint8_t> data;
    LONG volume = 0;
    bool playing = false;
    bool looping = false;
    double position = 0;  // frames played
    bool locked = false;
    void* lock_part1 = nullptr;
    DWORD lock_bytes1 = 0;
    void* lock_part2 = nullptr;
    DWORD lock_bytes2 = 0;

    uint32_t frames() const { return uint32_t(data.size() / format.nBlockAlign); }

    ULONG Release() override;
    HRESULT GetCaps(void*) override { return usable("GetCaps") ? DSERR_UNSUPPORTED : DSERR_INVALIDCALL; }
    HRESULT GetCurrentPosition(LPDWORD play, LPDWORD write) override {
        if (!usable("GetCurrentPosition")) return DSERR_INVALIDCALL;
        DWORD at = DWORD(position) * format.nBlockAlign;
        if (play) *play = at;
        if (write) *write = at;
        return DS_OK;
    }
    HRESULT GetFormat(LPWAVEFORMATEX out, DWORD size, LPDWORD written) override {
        if (!usable("GetFormat")) return DSERR_INVALIDCALL;
        DWORD n = size < sizeof format ? size : DWORD(sizeof format);
        if (out) std::memcpy(out, &format, n);
        if (written) *written = sizeof format;
        return DS_OK;
    }
    HRESULT GetVolume(LONG* out) override {
        if (!usable("GetVolume")) return DSERR_INVALIDCALL;
        if (!out) return DSERR_INVALIDPARAM;
        *out = volume;
        return DS_OK;
    }
    HRESULT GetPan(LONG*) override { return usable("GetPan") ? DSERR_UNSUPPORTED : DSERR_INVALIDCALL; }
    HRESULT GetFrequency(LPDWORD out) override {
        if (!usable("GetFrequency")) return DSERR_INVALIDCALL;
        if (!out) return DSERR_INVALIDPARAM;
        *out = format.nSamplesPerSec;
        return DS_OK;
    }
    HRESULT GetStatus(LPDWORD status) override;
    HRESULT Initialize(void*, LPCDSBUFFERDESC) override {
        return usable("Initialize") ? DSERR_INVALIDCALL : DSERR_INVALIDCALL;
    }
    HRESULT Lock(DWORD offset, DWORD bytes, LPVOID* part1, LPDWORD bytes1, LPVOID* part2, LPDWORD bytes2,
                 DWORD lock_flags) override;
    HRESULT Play(DWORD reserved, DWORD priority, DWORD play_flags) override;
    HRESULT SetCurrentPosition(DWORD at) override;
    HRESULT SetFormat(const WAVEFORMATEX*) override {
        return usable("SetFormat") ? DSERR_INVALIDCALL : DSERR_INVALIDCALL;
    }
    HRESULT SetVolume(LONG new_volume) override;
    HRESULT SetPan(LONG) override { return usable("SetPan") ? DS_OK : DSERR_INVALIDCALL; }
    HRESULT SetFrequency(DWORD) override { return usable("SetFrequency") ? DS_OK : DSERR_INVALIDCALL; }
    HRESULT Stop() override {
        if (!usable("Stop")) return DSERR_INVALIDCALL;
        playing = false;
        return DS_OK;
    }
    HRESULT Unlock(LPVOID part1, DWORD bytes1, LPVOID part2, DWORD bytes2) override;
    HRESULT Restore() override { return usable("Restore") ? DS_OK : DSERR_INVALIDCALL; }
};

void Free::operator()(SoftDevice* device) const { delete device; }
void Free::operator()(SoftBuffer* buffer) const { delete buffer; }

// ------------------------------------------------------------ device

ULONG SoftDevice::Release() {
    if (!usable("Release")) return 0;
    if (--references > 0) return references;
    released = true;
    state().object_events.push_back({sound_inspect::ObjectEvent::DEVICE_RELEASED, serial});
    // The device takes its buffers' sound with it.
    for (auto& b : state().buffers)
        if (b->device == this) b->playing = false;
    return 0;
}

HRESULT SoftDevice::SetCooperativeLevel(HWND window, DWORD new_level) {
    if (!usable("SetCooperativeLevel")) return DSERR_INVALIDCALL;
    if (step_fails(Step::CooperativeLevel)) return DSERR_GENERIC;
    bool known_window = false;
    for (auto& [name, w] : state().windows)
        if (w.get() == window) known_window = true;
    if (!window || !known_window || new_level < DSSCL_NORMAL || new_level > DSSCL_WRITEPRIMARY)
        return DSERR_INVALIDPARAM;
    level = new_level;
    return DS_OK;
}

namespace {

bool valid_pcm_format(const WAVEFORMATEX& f) {
    if (f.wFormatTag != WAVE_FORMAT_PCM) return false;
    if (f.nChannels < 1 || f.nChannels > 2) return false;
    if (f.wBitsPerSample != 8 && f.wBitsPerSample != 16) return false;
    if (f.nSamplesPerSec < 100 || f.nSamplesPerSec > 200000) return false;
    if (f.nBlockAlign != f.nChannels * f.wBitsPerSample / 8) return false;
    return f.nAvgBytesPerSec == f.nSamplesPerSec * f.nBlockAlign;
}

constexpr DWORD KNOWN_BUFFER_FLAGS = DSBCAPS_STATIC | DSBCAPS_LOCHARDWARE | DSBCAPS_LOCSOFTWARE |
                                     DSBCAPS_CTRLFREQUENCY | DSBCAPS_CTRLPAN | DSBCAPS_CTRLVOLUME |
                                     DSBCAPS_GLOBALFOCUS;

}  // namespace

HRESULT SoftDevice::CreateSoundBuffer(LPCDSBUFFERDESC desc, LPDIRECTSOUNDBUFFER* out, LPUNKNOWN outer) {
    if (!usable("CreateSoundBuffer")) return DSERR_INVALIDCALL;
    if (!out) return DSERR_INVALIDPARAM;
    *out = nullptr;
    if (step_fails(Step::CreateBuffer)) return DSERR_OUTOFMEMORY;
    if (outer) return DSERR_NOAGGREGATION;
    if (level == 0) return DSERR_PRIOLEVELNEEDED;
    if (!desc || desc->dwSize != sizeof(DSBUFFERDESC) || !desc->lpwfxFormat) return DSERR_INVALIDPARAM;
    if (desc->dwFlags & ~KNOWN_BUFFER_FLAGS) return DSERR_INVALIDPARAM;
    if (desc->dwBufferBytes < DSBSIZE_MIN || desc->dwBufferBytes > DSBSIZE_MAX) return DSERR_INVALIDPARAM;
    if (!valid_pcm_format(*desc->lpwfxFormat)) return DSERR_BADFORMAT;

    Owned<SoftBuffer> buffer(new SoftBuffer);
    buffer->serial = state().next_buffer_serial++;
    buffer->device = this;
    buffer->flags = desc->dwFlags;
    buffer->description_size = desc->dwSize;
    buffer->format = *desc->lpwfxFormat;
    buffer->format.cbSize = 0;
    buffer->data.assign(desc->dwBufferBytes, buffer->format.wBitsPerSample == 8 ? 0x80 : 0);
    state().object_events.push_back({sound_inspect::ObjectEvent::BUFFER_CREATED, buffer->serial});
    *out = buffer.get();
    state().buffers.push_back(std::move(buffer));
    return DS_OK;
}

// ------------------------------------------------------------ buffer

ULONG SoftBuffer::Release() {
    if (!usable("Release")) return 0;
    if (--references > 0) return references;
    released = true;
    playing = false;
    state().object_events.push_back({sound_inspect::ObjectEvent::BUFFER_RELEASED, serial});
    return 0;
}

HRESULT SoftBuffer::GetStatus(LPDWORD status) {
    if (!usable("GetStatus")) return DSERR_INVALIDCALL;
    if (!status) return DSERR_INVALIDPARAM;
    if (step_fails(Step::Status)) return DSERR_GENERIC;
    *status = (playing ? DSBSTATUS_PLAYING : 0) | (playing && looping ? DSBSTATUS_LOOPING : 0);
    return DS_OK;
}

HRESULT SoftBuffer::Lock(DWORD offset, DWORD bytes, LPVOID* part1, LPDWORD bytes1, LPVOID* part2, LPDWORD bytes2,
                         DWORD lock_flags) {
    if (!usable("Lock")) return DSERR_INVALIDCALL;
    if (!part1 || !bytes1) return DSERR_INVALIDPARAM;
    *part1 = nullptr;
    *bytes1 = 0;
    if (part2) *part2 = nullptr;
    if (bytes2) *bytes2 = 0;
    if (step_fails(Step::LockBuffer)) return DSERR_BUFFERLOST;
    const DWORD size = DWORD(data.size());
    if (lock_flags & DSBLOCK_FROMWRITECURSOR) offset = DWORD(position) * format.nBlockAlign;
    if (lock_flags & DSBLOCK_ENTIREBUFFER) bytes = size;
    if (locked || offset >= size || bytes == 0 || bytes > size) return DSERR_INVALIDPARAM;
    DWORD first = bytes <= size - offset ? bytes : size - offset;
    DWORD wrapped = bytes - first;
    if (wrapped && (!part2 || !bytes2)) return DSERR_INVALIDPARAM;
    lock_part1 = data.data() + offset;
    lock_bytes1 = first;
    lock_part2 = wrapped ? data.data() : nullptr;
    lock_bytes2 = wrapped;
    locked = true;
    *part1 = lock_part1;
    *bytes1 = lock_bytes1;
    if (part2) *part2 = lock_part2;
    if (bytes2) *bytes2 = lock_bytes2;
    return DS_OK;
}

HRESULT SoftBuffer::Unlock(LPVOID part1, DWORD bytes1, LPVOID part2, DWORD bytes2) {
    if (!usable("Unlock")) return DSERR_INVALIDCALL;
    if (step_fails(Step::UnlockBuffer)) return DSERR_BUFFERLOST;
    if (!locked || part1 != lock_part1 || bytes1 > lock_bytes1 || part2 != lock_part2 || bytes2 > lock_bytes2) {
        note_misuse("buffer unlocked with regions its lock did not return");
        return DSERR_INVALIDPARAM;
    }
    locked = false;
    return DS_OK;
}

HRESULT SoftBuffer::SetCurrentPosition(DWORD at) {
    if (!usable("SetCurrentPosition")) return DSERR_INVALIDCALL;
    if (step_fails(Step::SetPosition)) return DSERR_BUFFERLOST;
    if (at >= data.size()) return DSERR_INVALIDPARAM;
    position = at / format.nBlockAlign;
    return DS_OK;
}

HRESULT SoftBuffer::Play(DWORD reserved, DWORD priority, DWORD play_flags) {
    if (!usable("Play")) return DSERR_INVALIDCALL;
    if (step_fails(Step::Play)) return DSERR_BUFFERLOST;
    if (reserved != 0 || priority != 0 || (play_flags & ~DWORD(DSBPLAY_LOOPING))) return DSERR_INVALIDPARAM;
    if (device->released) return DSERR_BUFFERLOST;
    looping = (play_flags & DSBPLAY_LOOPING) != 0;
    // A buffer that is playing goes on from where it is.
    if (playing) return DS_OK;
    playing = true;
    sound_inspect::PlayedSound entry;
    entry.buffer = serial;
    entry.wave_id = sound_inspect::shipped_wave_with_data_bytes(uint32_t(data.size()));
    entry.volume = volume;
    entry.time = state().clock;
    entry.sample_rate = format.nSamplesPerSec;
    entry.bits = format.wBitsPerSample;
    entry.channels = format.nChannels;
    entry.data_bytes = uint32_t(data.size());
    entry.looping = looping;
    note_played(entry);
    return DS_OK;
}

HRESULT SoftBuffer::SetVolume(LONG new_volume) {
    if (!usable("SetVolume")) return DSERR_INVALIDCALL;
    if (step_fails(Step::Volume)) return DSERR_BUFFERLOST;
    if (!(flags & DSBCAPS_CTRLVOLUME)) return DSERR_CONTROLUNAVAIL;
    if (new_volume < DSBVOLUME_MIN || new_volume > DSBVOLUME_MAX) return DSERR_INVALIDPARAM;
    volume = new_volume;
    return DS_OK;
}

// ------------------------------------------------------------ mixing

namespace {

double sample_at(const SoftBuffer& b, uint32_t frame) {
    const uint8_t* at = b.data.data() + size_t(frame) * b.format.nBlockAlign;
    double sum = 0;
    for (unsigned c = 0; c < b.format.nChannels; ++c) {
        if (b.format.wBitsPerSample == 8) {
            sum += (double(at[c]) - 128.0) / 128.0;
        } else {
            int16_t s;
            std::memcpy(&s, at + 2 * c, 2);
            sum += s / 32768.0;
        }
    }
    return sum / b.format.nChannels;
}

}  // namespace

void mix(double seconds) {
    State& s = state();
    const double start = s.clock;
    const double end = start + seconds;
    const size_t first = size_t(std::llround(start * sound_inspect::TRACK_RATE));
    const size_t last = size_t(std::llround(end * sound_inspect::TRACK_RATE));
    const size_t limit = size_t(s.track_limit_seconds * sound_inspect::TRACK_RATE);
    std::vector<double> out;
    for (auto& b : s.buffers) {
        if (!b->playing) continue;
        if (out.empty()) out.assign(last - first, 0.0);
        const double gain = std::pow(10.0, b->volume / 2000.0);
        const double step = double(b->format.nSamplesPerSec) / sound_inspect::TRACK_RATE;
        for (size_t i = 0; i < out.size(); ++i) {
            if (b->position >= b->frames()) {
                if (!b->looping || b->frames() == 0) {
                    b->playing = false;
                    b->position = 0;
                    break;
                }
                b->position = std::fmod(b->position, double(b->frames()));
            }
            out[i] += gain * sample_at(*b, uint32_t(b->position));
            b->position += step;
        }
        // A sound whose last sample fell on this cycle's end has ended too.
        if (b->playing && !b->looping && b->position >= b->frames()) {
            b->playing = false;
            b->position = 0;
        }
    }
    // Kept from the samples already taken on, up to the limit.
    const size_t origin = s.track_origin;
    if (out.empty() || last <= origin || first - std::min(first, origin) >= limit) return;
    const size_t kept_end = last - origin < limit ? last - origin : limit;
    if (s.track.size() < kept_end) s.track.resize(kept_end, 0);
    for (size_t i = std::max(first, origin) - origin; i < kept_end; ++i) {
        double v = s.track[i] + out[i + origin - first] * 32767.0;
        s.track[i] = int16_t(v > 32767 ? 32767 : v < -32768 ? -32768 : std::lround(v));
    }
}

void reset_devices() {
    State& s = state();
    s.buffers.clear();
    s.devices.clear();
    s.next_buffer_serial = 1;
    s.next_device_serial = 1;
    s.played.clear();
    s.played_total = 0;
    s.object_events.clear();
    s.track.clear();
    s.track_origin = 0;
}

}  // namespace sound_layer

using namespace sound_layer;

// ------------------------------------------------------------ creation

extern "C" HRESULT DirectSoundCreate(LPCGUID device, LPDIRECTSOUND* sound, LPUNKNOWN outer) {
    count_call();
    if (!sound) return DSERR_INVALIDPARAM;
    *sound = nullptr;
    if (step_fails(Step::CreateDevice)) return DSERR_NODRIVER;
    if (outer) return DSERR_NOAGGREGATION;
    if (device) return DSERR_NODRIVER;  // only the default device is here
    Owned<SoftDevice> created(new SoftDevice);
    created->serial = state().next_device_serial++;
    state().object_events.push_back({sound_inspect::ObjectEvent::DEVICE_CREATED, created->serial});
    *sound = created.get();
    state().devices.push_back(std::move(created));
    return DS_OK;
}

// ------------------------------------------------------------ inspection

namespace sound_inspect {

std::vector<BufferState> buffers() {
    std::vector<BufferState> list;
    for (auto& b : state().buffers) {
        if (b->released) continue;
        BufferState info;
        info.serial = b->serial;
        info.device = b->device->serial;
        info.flags = b->flags;
        info.description_size = b->description_size;
        info.format = b->format;
        info.data = b->data;
        info.volume = b->volume;
        info.playing = b->playing;
        info.play_position = uint32_t(b->position) * b->format.nBlockAlign;
        list.push_back(std::move(info));
    }
    return list;
}

}  // namespace sound_inspect

namespace sound_layer {

sound_inspect::LiveObjects live_sound_objects() {
    sound_inspect::LiveObjects counts;
    for (auto& d : state().devices)
        if (!d->released) ++counts.devices;
    for (auto& b : state().buffers) {
        if (b->released) continue;
        ++counts.buffers;
        if (b->locked) ++counts.locked_buffers;
    }
    return counts;
}

}  // namespace sound_layer
