// The sounds the module plays, as the trace records them: which wave and at
// what volume, noted at the module's play calls. A play call on a buffer
// that is still playing starts nothing and is not noted, on either
// platform.
//
// On Linux the module plays through our platform layer, which logs every
// sound it starts. On Windows the module plays through the system's own
// sound library; the observer watches the module's calls into it (the
// library's object creation, then the play calls on the buffers it made)
// and asks the buffer itself whether it was playing before and is playing
// after, so that what the trace shows is what the library did.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace sim {
class LoadedModule;
}

namespace trace {

struct SoundPlay {
    uint32_t wave_id = 0;  // the module's wave of that length, 0 if none
    int32_t volume = 0;    // hundredths of a decibel, 0 = full
};

// Starts watching a module's sounds: call after the module is loaded and
// before its gauges are placed. False with `error` set when the module's
// sound calls cannot be watched.
bool watch_sounds(sim::LoadedModule& module, std::string* error);

// A machine without a sound device. On Linux the platform layer is told to
// refuse the device; on Windows the system's own library must refuse it
// (Wine with an ALSA default that names no card). Call after the host is
// made and before the gauges are placed.
void refuse_sound_device();
// True when the module asked for a sound device, was refused, and no device
// was made.
bool sound_device_refused();

// Before each host cycle: the host clock. Sounds that the clock says have
// ended have ended on the output too before the cycle runs (the system's
// library plays in real time, which the host clock outruns), so a gauge
// that asks whether a sound still plays gets the answer the Linux layer
// gives. The other way round holds while the host runs ahead of real time:
// a sound the clock says still plays has played for less real time still.
// Waiting for one sound's end lets real time catch up, so a second sound
// started within the first one's length may then end, in real time, a
// little before the host clock says; a scenario that asks about such a
// sound right at its end could then differ. The built-in circuit's sounds
// lie seconds apart.
void settle_sounds(double host_seconds);

// The sounds started since the last call, in order.
std::vector<SoundPlay> take_sounds();

// One line on how the sound output went (for the standard error): how
// many sounds the library played, and what it said of them.
std::string sound_summary();
// True when sounds were played, and every one was seen playing by the
// output and, once its time was up, stopped.
bool sounds_confirmed();

}  // namespace trace
