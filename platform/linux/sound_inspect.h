// What the test host and the tests see of our sound layer: the sounds
// played (with their volume and the host time), the live system objects,
// the mixed output track, the layer's clock, the host environment that the
// window lookup sees, and fault injection that makes any single step of the
// sound service fail.
#pragma once

#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "platform/win32.h"

namespace sound_inspect {

// The steps of the sound service that can be made to fail.
enum class Step : int {
    ModuleFileName,    // the host executable's file name
    CreateDevice,      // no sound device
    CooperativeLevel,  // the device refuses the cooperative level
    OpenMemoryFile,    // the resource bytes cannot be opened as a memory file
    FindRiffWave,      // no RIFF chunk of form "WAVE"
    FindFormat,        // no "fmt " chunk
    ReadFormat,        // the format read comes up short
    FindData,          // no "data" chunk
    ReadData,          // the sound bytes read come up short
    AllocateMemory,    // no global memory
    LockMemory,        // the global memory cannot be locked
    CreateBuffer,      // the device refuses the sound buffer
    LockBuffer,
    UnlockBuffer,
    SetPosition,
    Play,
    Status,
    Volume,
    Count
};
const char* step_name(Step step);
std::vector<Step> all_steps();

// The step fails at its (after + 1)-th call and every call after it.
void fail_step(Step step, unsigned after = 0);
void clear_failures();
// Calls of one step so far, and every call of the layer's sound,
// memory-file, global-memory and window entry points.
unsigned calls(Step step);
unsigned system_calls();

// Objects alive in the layer.
struct LiveObjects {
    int devices = 0;
    int buffers = 0;
    int memory_files = 0;
    int global_blocks = 0;     // allocated and not freed
    int locked_blocks = 0;     // global blocks still locked
    int locked_buffers = 0;    // sound buffers locked and not unlocked
    bool operator==(const LiveObjects&) const = default;
};
LiveObjects live();

// One sound started by a play call (a play call on a buffer that is still
// playing starts nothing and is not logged).
struct PlayedSound {
    uint32_t buffer = 0;   // the buffer's serial number, 1 for the first created
    uint32_t wave_id = 0;  // the shipped wave of that data length, 0 if none
    int32_t volume = 0;    // hundredths of a decibel, 0 = full
    double time = 0;       // layer clock at the play call, seconds
    uint32_t sample_rate = 0;
    uint16_t bits = 0;
    uint16_t channels = 0;
    uint32_t data_bytes = 0;
    bool looping = false;
};
// The most recent sounds played (at least the keep, at most twice it: a
// panel that runs for days holds no more), oldest first.
const std::vector<PlayedSound>& played();
// Sounds played since the layer was reset, kept or not, and the number (in
// that count) of the first one played() still holds.
uint64_t played_total();
uint64_t played_first_kept();
// How many of the most recent sounds played() keeps (default 4096).
void set_played_keep(size_t keep);
// Forgets the kept sounds (the count since reset stays).
void clear_played();
// The shipped wave whose data chunk has this many bytes (every shipped wave
// has a length of its own), 0 if none.
uint32_t shipped_wave_with_data_bytes(uint32_t bytes);

// One created or released device or buffer, in call order.
struct ObjectEvent {
    enum Kind { DEVICE_CREATED, DEVICE_RELEASED, BUFFER_CREATED, BUFFER_RELEASED } kind;
    uint32_t serial;
    bool operator==(const ObjectEvent&) const = default;
};
const std::vector<ObjectEvent>& object_events();

// A live sound buffer as the device holds it.
struct BufferState {
    uint32_t serial = 0;
    uint32_t device = 0;  // serial of the device that created it
    uint32_t flags = 0;   // creation flags of its description
    uint32_t description_size = 0;
    WAVEFORMATEX format{};
    std::vector<uint8_t> data;
    int32_t volume = 0;
    bool playing = false;
    uint32_t play_position = 0;  // bytes
};
std::vector<BufferState> buffers();

// Contract breaks the layer saw (a call on a released object, an unlock
// with regions the lock did not return, ...). Empty in a sound run.
const std::vector<std::string>& misuse();

// The layer's clock: the host advances it once per update cycle; sounds
// play and are mixed into the output track as it runs.
void advance_clock(double seconds);
double clock();

// The output track: every played buffer mixed at its volume, mono 16-bit.
constexpr uint32_t TRACK_RATE = 22050;
// Samples from time 0 (or the last take_track) to the clock, silence
// where nothing played.
std::vector<int16_t> track();
// The samples from the last take to the clock, handed over and no longer
// kept: a long run streams its track out this way in bounded memory.
std::vector<int16_t> take_track();
// Root mean square of the track between two times, full scale = 1.
double track_level(double from_seconds, double to_seconds);
// Writes the track as a PCM wave file; false with error naming the file.
bool write_track_wav(const std::string& path, std::string* error);
// Samples kept at most (older sounds beyond it are not recorded).
void set_track_limit_seconds(double seconds);

// The host process as the window lookup sees it.
void set_executable_name(const std::string& name);  // default "fs9.exe"
void set_window_classes(const std::set<std::string>& classes);  // default {"FS98MAIN"}
HWND window_of_class(const std::string& class_name);  // null if there is none
std::vector<std::string> window_lookups();  // classes asked for, in order

// A fresh layer: every object freed, logs, failures and clock cleared, the
// host environment back to its defaults. The test host calls it when it
// starts.
void reset();

}  // namespace sound_inspect
