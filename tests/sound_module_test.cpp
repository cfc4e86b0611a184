// The sound service with the module's own wave resources and a real click
// gauge: every shipped wave loads in the format it ships in, a click is
// heard by the host's clock, and a module whose sound fails keeps working
// silently, all placements alike.
#include <gtest/gtest.h>

#include "platform/linux/sound_inspect.h"
#include "sound/sound.h"
#include "tests/host_fixture.h"

using sound_inspect::LiveObjects;
using sound_inspect::Step;

namespace {

constexpr uint32_t EVENT_TOGGLE_PROP_SYNCH = 66287;

class ModuleSound : public ModuleTest {
protected:
    void SetUp() override {
        ModuleTest::SetUp();
        sound::sound_available = 1;
    }
    void TearDown() override {
        EXPECT_TRUE(sound_inspect::misuse().empty()) << sound_inspect::misuse().front();
        sound::sound_available = 1;
        ModuleTest::TearDown();
    }
    sim::Placement& synch_switch() { return place("Prop_Synch_Switch"); }
};

}  // namespace

TEST_F(ModuleSound, EveryShippedWaveLoadsInItsFormat) {
    struct Shipped {
        uint32_t id, rate, bits, bytes;
    } shipped[] = {
        {10, 22050, 16, 3828},   {20, 22050, 8, 10304},   {30, 22050, 16, 6014},   {3280, 11025, 8, 11322},
        {3290, 11025, 8, 9950},  {3300, 11025, 8, 10226}, {3310, 11025, 8, 10020}, {3320, 11025, 8, 9570},
        {3330, 11025, 8, 9586},  {3340, 11025, 8, 9893},  {3350, 11025, 8, 5442},  {3360, 11025, 8, 4468},
        {3370, 11025, 8, 4531},  {3380, 11025, 8, 3273},  {3390, 11025, 8, 5099},  {3400, 11025, 8, 6095},
    };
    WindowHandle window = sound::find_host_main_window();
    SoundDevice* device = nullptr;
    ASSERT_EQ(sound::create_device(window, &device), 1);
    for (const Shipped& w : shipped) {
        SCOPED_TRACE(w.id);
        SoundBuffer* buffer = nullptr;
        ASSERT_EQ(sound::load_wave(window, &device, &buffer, w.id, module->resource_handle()), w.bytes);
        ASSERT_NE(buffer, nullptr);
        const auto state = sound_inspect::buffers().back();
        EXPECT_EQ(state.format.wFormatTag, WAVE_FORMAT_PCM);
        EXPECT_EQ(state.format.nChannels, 1);
        EXPECT_EQ(state.format.nSamplesPerSec, w.rate);
        EXPECT_EQ(state.format.wBitsPerSample, w.bits);
        EXPECT_EQ(state.data.size(), w.bytes);
        EXPECT_EQ(state.flags, 0x80E0u);
        ASSERT_EQ(sound::play(&buffer, 0), 1);
        EXPECT_EQ(sound_inspect::played().back().wave_id, w.id);
        sound::release_buffer(&buffer);
    }
    sound::release_device(&device);
    EXPECT_EQ(sound_inspect::live(), LiveObjects{});
    EXPECT_EQ(sound::sound_available, 1);
}

TEST_F(ModuleSound, AClickIsHeardUntilTheHostClockHasPlayedIt) {
    sim::Placement& p = synch_switch();
    ASSERT_EQ(sound_inspect::live().buffers, 1);
    host.cycle();
    ASSERT_TRUE(p.click(18, 28));
    ASSERT_EQ(sound_inspect::played().size(), 1u);
    EXPECT_EQ(sound_inspect::played()[0].wave_id, 10u);
    EXPECT_DOUBLE_EQ(sound_inspect::played()[0].time, host.clock());
    EXPECT_TRUE(sound_inspect::buffers().at(0).playing);
    // 1914 frames at 22050 Hz: 86.8 ms, two cycles of the host.
    host.cycle();
    EXPECT_TRUE(sound_inspect::buffers().at(0).playing);
    ASSERT_TRUE(p.click(18, 28));  // still playing: goes on, not restarted
    EXPECT_EQ(sound_inspect::played().size(), 1u);
    host.cycle();
    EXPECT_FALSE(sound_inspect::buffers().at(0).playing);
    EXPECT_GT(sound_inspect::track_level(1 / 18.0, 3 / 18.0), 0.001);
    ASSERT_TRUE(p.click(18, 28));
    EXPECT_EQ(sound_inspect::played().size(), 2u);
    EXPECT_EQ(host.events().size(), 3u);

    host.kill(p);
    using E = sound_inspect::ObjectEvent;
    const std::vector<E> expected = {{E::DEVICE_CREATED, 1}, {E::BUFFER_CREATED, 1}, {E::BUFFER_RELEASED, 1},
                                     {E::DEVICE_RELEASED, 1}};
    EXPECT_EQ(sound_inspect::object_events(), expected);
    EXPECT_EQ(sound_inspect::live(), LiveObjects{});
}

TEST_F(ModuleSound, WithoutASoundDeviceTheSwitchWorksSilently) {
    sound_inspect::fail_step(Step::CreateDevice);
    sim::Placement& p = synch_switch();
    EXPECT_EQ(sound_inspect::calls(Step::CreateDevice), 1u);
    const unsigned calls = sound_inspect::system_calls();
    for (int i = 0; i < 3; ++i) {
        ASSERT_TRUE(p.click(18, 28));
        host.cycle();
    }
    EXPECT_EQ(host.events(), (std::vector<sim::KeyEvent>(3, {EVENT_TOGGLE_PROP_SYNCH, 0})));
    host.set_var(788, 1);
    host.cycle();
    EXPECT_EQ(p.element(1).image, 1);
    host.kill(p);
    EXPECT_EQ(sound_inspect::system_calls(), calls);
    EXPECT_TRUE(sound_inspect::played().empty());
    EXPECT_EQ(sound_inspect::live(), LiveObjects{});
}

TEST_F(ModuleSound, AHostWithoutItsMainWindowRunsThePanelSilently) {
    sound_inspect::set_executable_name("CFS2.EXE");  // asks for MSCFSMAIN, which this host lacks
    sim::Placement& p = synch_switch();
    EXPECT_EQ(sound_inspect::window_lookups(), std::vector<std::string>{"MSCFSMAIN"});
    ASSERT_TRUE(p.click(18, 28));
    EXPECT_EQ(host.events().size(), 1u);
    EXPECT_TRUE(sound_inspect::played().empty());
    EXPECT_EQ(sound_inspect::live(), LiveObjects{});
}

TEST_F(ModuleSound, ALostBufferSilencesEveryGaugeOfTheModule) {
    sim::Placement& a = synch_switch();
    sim::Placement& b = place("Radio_ADF");
    ASSERT_EQ(sound_inspect::live().buffers, 2);
    sound_inspect::fail_step(Step::Play);
    ASSERT_TRUE(a.click(18, 28));  // the play fails: the module is silent from now on
    EXPECT_EQ(host.events().size(), 1u);
    const unsigned calls = sound_inspect::system_calls();
    ASSERT_TRUE(a.click(18, 28));
    host.cycles(3);
    host.kill(a);
    host.kill(b);
    EXPECT_EQ(sound_inspect::system_calls(), calls);
    EXPECT_TRUE(sound_inspect::played().empty());
    // What was made before the failure stays with the system until the
    // module goes; the layer frees it with the next run.
    LiveObjects left;
    left.devices = 2;
    left.buffers = 2;
    EXPECT_EQ(sound_inspect::live(), left);
}
