// Wave sound playback: each sound gauge owns a sound device and its sound
// buffers, created at its install notice and released at its kill notice.
// One module-wide flag switches the whole service off after the first
// failure, so a machine without working sound runs the panel silently.
#pragma once

#include <cstdint>

#include "framework/host_records.h"

struct SoundDevice;  // the system's sound device object
struct SoundBuffer;  // one loaded sound
using WindowHandle = void*;

namespace sound {

// 1 until the first failure of any operation, then 0 for good.
extern int32_t sound_available;

WindowHandle find_host_main_window();
int create_device(WindowHandle window, SoundDevice** device);
// The number of sound bytes loaded, 0 on failure.
uint32_t load_wave(WindowHandle window, SoundDevice** device, SoundBuffer** buffer, uint32_t wave_id,
                   HostWord module);
int play(SoundBuffer** buffer, uint32_t flags);
int is_playing(SoundBuffer** buffer);
int set_volume(SoundBuffer** buffer, int32_t hundredths_of_db);
void release_buffer(SoundBuffer** buffer);
void release_device(SoundDevice** device);

// The sound of a click gauge: its device, its one buffer, the host window
// found at install and the module resource handle.
struct ClickSound {
    SoundDevice* device;
    SoundBuffer* buffer;
    WindowHandle window;
    HostWord module;
};

// The install sequence every click gauge runs at its install notice.
void install_click(ClickSound& click, HostWord module, uint32_t wave_id);
// Plays the click once; a click still playing goes on playing.
void play_click(ClickSound& click);
// The kill sequence: the buffer, then the device.
void kill_click(ClickSound& click);

}  // namespace sound
