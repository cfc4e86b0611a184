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

// The sound the modules played, mixed by the platform's sound layer.
class PreviewSound {
public:
    // Writes the mixed track as a WAV file; false with a note when there is
    // nothing to write or the file cannot be written.
    bool save(const std::string& path, std::string* note);
};

}  // namespace sim
