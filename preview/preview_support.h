// What the previewer needs around the panel session: where the built
// modules are, the modules' bitmaps as pictures, and the sound track.
#pragma once

#include <string>
#include <vector>

#include "preview/renderer.h"

namespace sim {

// The modules the build produced, Morvane_Instr first.
std::vector<std::string> default_module_paths();

// Bitmaps from each module's own resources, decoded once and kept.
BitmapLookup module_bitmap_lookup();

// The sound the modules played, mixed by the platform's sound layer, taken
// from it as the run goes (so that it holds none of it for long) and
// streamed into a WAV file covering the whole run.
class SoundTrackStream {
public:
    ~SoundTrackStream();
    // Starts the WAV file at `path`; `name` is the name errors give.
    bool open(const std::string& path, const std::string& name, std::string* error);
    // Appends what was mixed since the last call; the samples taken, for
    // whoever else wants them (a video's sound).
    const std::vector<int16_t>& take();
    // Completes the file's header; false with `error` naming the file when
    // any write failed.
    bool finish(std::string* error);
    double seconds() const;
    bool anything_played() const;

private:
    struct State;
    State* s_ = nullptr;
};

}  // namespace sim
