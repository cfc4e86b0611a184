// The sounds the platform layer started, from its own log.
#include <cstdio>

#include "platform/linux/sound_inspect.h"
#include "tools/trace/sound_observer.h"

namespace trace {

namespace {
size_t g_seen = 0;
}

bool watch_sounds(sim::LoadedModule&, std::string*) { return true; }

void refuse_sound_device() { sound_inspect::fail_step(sound_inspect::Step::CreateDevice); }

bool sound_device_refused() {
    return sound_inspect::calls(sound_inspect::Step::CreateDevice) > 0 && sound_inspect::played().empty() &&
           sound_inspect::buffers().empty();
}

void settle_sounds(double) {}

std::vector<SoundPlay> take_sounds() {
    std::vector<SoundPlay> result;
    const auto& played = sound_inspect::played();
    if (played.size() < g_seen) g_seen = 0;  // the layer was reset
    for (; g_seen < played.size(); ++g_seen) result.push_back({played[g_seen].wave_id, played[g_seen].volume});
    return result;
}

std::string sound_summary() {
    char line[128];
    std::snprintf(line, sizeof line, "sounds: %zu played through the platform layer", sound_inspect::played().size());
    return line;
}

bool sounds_confirmed() { return !sound_inspect::played().empty(); }

}  // namespace trace
