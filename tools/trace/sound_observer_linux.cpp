// The sounds the platform layer started, from its own log.
#include <cstdio>

#include "platform/linux/sound_inspect.h"
#include "tools/trace/sound_observer.h"

namespace trace {

namespace {
uint64_t g_seen = 0;  // in the sound layer's count since reset
}

bool watch_sounds(sim::LoadedModule&, std::string*) { return true; }

void refuse_sound_device() { sound_inspect::fail_step(sound_inspect::Step::CreateDevice); }

bool sound_device_refused() {
    return sound_inspect::calls(sound_inspect::Step::CreateDevice) > 0 && sound_inspect::played_total() == 0 &&
           sound_inspect::buffers().empty();
}

void settle_sounds(double) {}

std::vector<SoundPlay> take_sounds() {
    std::vector<SoundPlay> result;
    const auto& played = sound_inspect::played();
    const uint64_t first_kept = sound_inspect::played_first_kept();
    if (sound_inspect::played_total() < g_seen) g_seen = 0;  // the layer was reset
    for (; g_seen < sound_inspect::played_total(); ++g_seen) {
        if (g_seen < first_kept) continue;  // played and dropped before this call: too many in one cycle
        const sound_inspect::PlayedSound& p = played[size_t(g_seen - first_kept)];
        result.push_back({p.wave_id, p.volume});
    }
    return result;
}

std::string sound_summary() {
    char line[128];
    std::snprintf(line, sizeof line, "sounds: %llu played through the platform layer",
                  static_cast<unsigned long long>(sound_inspect::played_total()));
    return line;
}

bool sounds_confirmed() { return sound_inspect::played_total() > 0; }

}  // namespace trace
