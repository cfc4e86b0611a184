// Arbitrary bytes as a wave resource of a click gauge: the install
// sequence loads them, a loaded sound is played for a while by the clock,
// and the kill releases it. Whatever the bytes, the load reads nothing
// beyond the resource, leaves no memory file, global memory or lock behind,
// and either loads exactly the data chunk or silences the module.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "platform/linux/sound_inspect.h"
#include "sound/sound.h"
#include "tests/test_resource_module.h"

namespace {

constexpr uint32_t WAVE = 10;

void check(bool holds) {
    if (!holds) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static TestResourceModule& resources = TestResourceModule::instance();
    check(resources.loaded());
    sound_inspect::reset();
    sound::sound_available = 1;
    // A copy of exactly the input's length, so a read past the resource's
    // end is a read past a heap block.
    resources.set(WAVE, "WAVE", std::vector<uint8_t>(data, data + size));
    HostWord module = reinterpret_cast<HostWord>(resources.handle());

    sound::ClickSound click{};
    sound::install_click(click, module, WAVE);
    check(click.device != nullptr);
    if (click.buffer) {
        check(sound::sound_available == 1);
        check(sound_inspect::buffers().size() == 1);
        check(sound::set_volume(&click.buffer, -500) == 1);
        sound::play_click(click);
        sound_inspect::advance_clock(0.05);
        sound::is_playing(&click.buffer);
    } else {
        check(sound::sound_available == 0);
    }
    sound::kill_click(click);

    const sound_inspect::LiveObjects left = sound_inspect::live();
    check(left.memory_files == 0 && left.global_blocks == 0 && left.locked_blocks == 0 && left.locked_buffers == 0);
    check(left.buffers == 0);
    check(sound_inspect::misuse().empty());
    return 0;
}
