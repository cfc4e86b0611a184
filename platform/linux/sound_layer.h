// Shared state of our sound layer's parts (device, memory files, global
// memory, host windows): call counting, fault injection, the clock, the
// played log and the registry of every object until the layer is reset.
#pragma once

#include <array>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "platform/linux/sound_inspect.h"

namespace sound_layer {

using sound_inspect::Step;

struct SoftDevice;
struct SoftBuffer;
struct MemoryFile;
struct GlobalBlock;

// Each part frees its own kind of object (the kinds are complete only there).
struct Free {
    void operator()(SoftDevice* device) const;
    void operator()(SoftBuffer* buffer) const;
    void operator()(MemoryFile* file) const;
    void operator()(GlobalBlock* block) const;
};
template <typename T>
using Owned = std::unique_ptr<T, Free>;

struct State {
    std::array<unsigned, size_t(Step::Count)> step_calls{};
    std::array<int, size_t(Step::Count)> fail_after{};  // -1: never
    unsigned system_calls = 0;

    double clock = 0;
    double track_limit_seconds = 600;
    std::vector<int16_t> track;  // from track_origin to the last sound mixed
    size_t track_origin = 0;     // samples already taken (see take_track)

    std::vector<Owned<SoftDevice>> devices;
    std::vector<Owned<SoftBuffer>> buffers;
    std::vector<Owned<MemoryFile>> memory_files;
    std::vector<Owned<GlobalBlock>> global_blocks;
    uint32_t next_device_serial = 1;
    uint32_t next_buffer_serial = 1;

    std::vector<sound_inspect::PlayedSound> played;  // the most recent
    uint64_t played_total = 0;
    size_t played_keep = 4096;
    std::vector<sound_inspect::ObjectEvent> object_events;
    std::vector<std::string> misuse;

    std::string executable_name;
    std::map<std::string, std::unique_ptr<int>> windows;  // class name -> window
    std::vector<std::string> window_lookups;

    State();
};

State& state();

// Counts one call into the layer.
inline void count_call() { ++state().system_calls; }
// Counts a call of a step; true when that call is to fail.
bool step_fails(Step step);
void note_misuse(const std::string& what);
// Logs one sound started; the oldest drop off in one move when the log
// reaches twice its keep, so logging stays cheap on average.
void note_played(const sound_inspect::PlayedSound& sound);

// Mixes every playing buffer from the clock on for the given time.
void mix(double seconds);
// Frees every object of the devices and their buffers, of the memory files
// and of the global memory.
void reset_devices();
void reset_memory_files();
void reset_memory();

// Live objects of each part.
sound_inspect::LiveObjects live_sound_objects();
int live_memory_files();
void count_global_blocks(sound_inspect::LiveObjects& counts);

}  // namespace sound_layer
