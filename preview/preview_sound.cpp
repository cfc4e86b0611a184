// The previewer's sound track: what the modules played during the run,
// mixed by our sound layer at each buffer's volume.
#include "preview/preview_support.h"
#include "platform/linux/sound_inspect.h"

namespace sim {

bool PreviewSound::save(const std::string& path, std::string* note) {
    if (sound_inspect::played().empty()) {
        if (note) *note = "no sound was played; " + path + " not written";
        return false;
    }
    if (!sound_inspect::write_track_wav(path, note)) return false;
    if (note)
        *note = path + ": " + std::to_string(sound_inspect::played().size()) + " sounds in " +
                std::to_string(sound_inspect::clock()) + " s";
    return true;
}

}  // namespace sim
