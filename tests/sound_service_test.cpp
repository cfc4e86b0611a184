// The wave sound service on our sound layer: loading wave resources into
// buffers, playing them by the host's clock, the window lookup, and the
// one-way sound available flag with every step of every operation made to
// fail in turn.
#include <gtest/gtest.h>

#include <cmath>

#include "platform/linux/sound_inspect.h"
#include "sound/sound.h"
#include "tests/test_resource_module.h"
#include "tests/wave_images.h"

using sound_inspect::Step;
using wave_images::make_wave;
using wave_images::WaveSpec;

namespace {

constexpr uint32_t CLICK_WAVE = 10;

class SoundService : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(resources().loaded()) << "cannot load " WAVE_TEST_MODULE_PATH;
        resources().clear();
        sound_inspect::reset();
        sound::sound_available = 1;
        resources().set(CLICK_WAVE, "WAVE", make_wave());
    }
    void TearDown() override {
        EXPECT_TRUE(sound_inspect::misuse().empty()) << sound_inspect::misuse().front();
        sound_inspect::reset();
        sound::sound_available = 1;
        resources().clear();
    }

    static TestResourceModule& resources() { return TestResourceModule::instance(); }
    static HostWord module() { return reinterpret_cast<HostWord>(resources().handle()); }

    // The install sequence, checked step by step.
    void open_device() {
        window = sound::find_host_main_window();
        ASSERT_NE(window, nullptr);
        ASSERT_EQ(sound::create_device(window, &device), 1);
        ASSERT_NE(device, nullptr);
    }
    uint32_t load(uint32_t id) { return sound::load_wave(window, &device, &buffer, id, module()); }

    WindowHandle window = nullptr;
    SoundDevice* device = nullptr;
    SoundBuffer* buffer = nullptr;
};

}  // namespace

// ------------------------------------------------------------ loading

TEST_F(SoundService, LoadsAWaveIntoABufferOfItsFormatAndBytes) {
    WaveSpec shape;
    shape.fill = 7;
    resources().set(CLICK_WAVE, "WAVE", make_wave(shape));
    open_device();
    EXPECT_EQ(load(CLICK_WAVE), 3828u);
    ASSERT_NE(buffer, nullptr);

    auto buffers = sound_inspect::buffers();
    ASSERT_EQ(buffers.size(), 1u);
    const auto& b = buffers[0];
    EXPECT_EQ(b.flags, 0x80E0u);
    EXPECT_EQ(b.description_size, sizeof(DSBUFFERDESC));
    EXPECT_EQ(b.format.wFormatTag, WAVE_FORMAT_PCM);
    EXPECT_EQ(b.format.nChannels, 1);
    EXPECT_EQ(b.format.nSamplesPerSec, 22050u);
    EXPECT_EQ(b.format.wBitsPerSample, 16);
    ASSERT_EQ(b.data.size(), 3828u);
    for (uint32_t i = 0; i < 3828; ++i) ASSERT_EQ(b.data[i], uint8_t(7 + i)) << i;
    EXPECT_EQ(b.play_position, 0u);
    EXPECT_FALSE(b.playing);
    EXPECT_EQ(sound::sound_available, 1);

    // The memory file, the global memory and the resource are done with.
    sound_inspect::LiveObjects expected;
    expected.devices = 1;
    expected.buffers = 1;
    EXPECT_EQ(sound_inspect::live(), expected);
}

TEST_F(SoundService, ASixteenByteFormatChunkStillGivesAUsableFormat) {
    WaveSpec shape;
    shape.format_bytes = 16;
    shape.sample_rate = 11025;
    shape.bits = 8;
    shape.data_bytes = 3273;
    resources().set(3380, "WAVE", make_wave(shape));
    open_device();
    EXPECT_EQ(load(3380), 3273u);
    ASSERT_NE(buffer, nullptr);
    auto b = sound_inspect::buffers().at(0);
    EXPECT_EQ(b.format.nSamplesPerSec, 11025u);
    EXPECT_EQ(b.format.wBitsPerSample, 8);
    EXPECT_EQ(b.format.nBlockAlign, 1);
    EXPECT_EQ(sound::play(&buffer, 0), 1);
    EXPECT_EQ(sound_inspect::played().at(0).wave_id, 3380u);
}

TEST_F(SoundService, AWaveResourceIsFoundByTheLowSixteenBitsOfItsId) {
    open_device();
    EXPECT_EQ(load(0x10000 + CLICK_WAVE), 3828u);
}

TEST_F(SoundService, StereoAndLongerFormatChunksLoadToo) {
    WaveSpec shape;
    shape.channels = 2;
    shape.format_bytes = 20;
    shape.data_bytes = 4000;
    resources().set(20, "WAVE", make_wave(shape));
    open_device();
    EXPECT_EQ(load(20), 4000u);
    EXPECT_EQ(sound_inspect::buffers().at(0).format.nChannels, 2);
}

// ------------------------------------------------------------ playing

TEST_F(SoundService, ASoundPlaysUntilItsSamplesHaveBeenPlayedByTheHostClock) {
    open_device();
    ASSERT_EQ(load(CLICK_WAVE), 3828u);  // 1914 frames at 22050 Hz: 86.8 ms
    EXPECT_EQ(sound::is_playing(&buffer), 0);
    EXPECT_EQ(sound::play(&buffer, 0), 1);
    EXPECT_EQ(sound::is_playing(&buffer), 1);
    sound_inspect::advance_clock(0.05);
    EXPECT_EQ(sound::is_playing(&buffer), 1);
    sound_inspect::advance_clock(0.05);
    EXPECT_EQ(sound::is_playing(&buffer), 0);

    ASSERT_EQ(sound_inspect::played().size(), 1u);
    const auto& p = sound_inspect::played()[0];
    EXPECT_EQ(p.wave_id, CLICK_WAVE);
    EXPECT_EQ(p.volume, 0);
    EXPECT_EQ(p.time, 0.0);
    EXPECT_FALSE(p.looping);

    // Once finished, the next play starts it again from the beginning.
    EXPECT_EQ(sound::play(&buffer, 0), 1);
    EXPECT_EQ(sound_inspect::played().size(), 2u);
    EXPECT_DOUBLE_EQ(sound_inspect::played()[1].time, 0.1);
}

TEST_F(SoundService, PlayingTwiceInQuickSuccessionDoesNotRestart) {
    open_device();
    ASSERT_EQ(load(CLICK_WAVE), 3828u);
    ASSERT_EQ(sound::play(&buffer, 0), 1);
    sound_inspect::advance_clock(0.05);
    uint32_t position = sound_inspect::buffers().at(0).play_position;
    EXPECT_GT(position, 0u);
    EXPECT_EQ(sound::play(&buffer, 0), 1);
    EXPECT_EQ(sound_inspect::buffers().at(0).play_position, position);
    EXPECT_EQ(sound_inspect::played().size(), 1u);
    // ... and it ends when the first play would have ended.
    sound_inspect::advance_clock(0.04);
    EXPECT_EQ(sound::is_playing(&buffer), 0);
}

TEST_F(SoundService, VolumeInHundredthsOfADecibelScalesWhatIsHeard) {
    resources().set(3290, "WAVE", wave_images::make_tone(11025, 8, 0.5));
    resources().set(3300, "WAVE", wave_images::make_tone(11025, 8, 0.5));
    open_device();
    SoundBuffer* quiet = nullptr;
    ASSERT_GT(load(3290), 0u);
    ASSERT_GT(sound::load_wave(window, &device, &quiet, 3300, module()), 0u);
    EXPECT_EQ(sound::set_volume(&quiet, -500), 1);

    ASSERT_EQ(sound::play(&buffer, 0), 1);
    sound_inspect::advance_clock(1.0);
    ASSERT_EQ(sound::play(&quiet, 0), 1);
    sound_inspect::advance_clock(1.0);

    ASSERT_EQ(sound_inspect::played().size(), 2u);
    EXPECT_EQ(sound_inspect::played()[1].volume, -500);
    double full = sound_inspect::track_level(0.0, 0.5);
    double attenuated = sound_inspect::track_level(1.0, 1.5);
    EXPECT_NEAR(full, 0.5 / std::sqrt(2.0), 0.01);
    EXPECT_NEAR(attenuated / full, std::pow(10.0, -500 / 2000.0), 0.01);
    EXPECT_LT(sound_inspect::track_level(0.55, 0.95), 1e-6);  // silence between
}

TEST_F(SoundService, TwoSoundsAtOnceAreMixed) {
    resources().set(3290, "WAVE", wave_images::make_tone(11025, 8, 0.5, 0.25));
    resources().set(3300, "WAVE", wave_images::make_tone(11025, 8, 0.5, 0.25));
    open_device();
    SoundBuffer* second = nullptr;
    ASSERT_GT(load(3290), 0u);
    ASSERT_GT(sound::load_wave(window, &device, &second, 3300, module()), 0u);
    sound::play(&buffer, 0);
    sound_inspect::advance_clock(0.5);
    sound::play(&buffer, 0);
    sound::play(&second, 0);
    sound_inspect::advance_clock(0.5);
    EXPECT_NEAR(sound_inspect::track_level(0.55, 0.95) / sound_inspect::track_level(0.05, 0.45), 2.0, 0.05);
}

TEST_F(SoundService, TheTrackIsSavedAsAWaveFileOfTheWholeRun) {
    open_device();
    ASSERT_GT(load(CLICK_WAVE), 0u);
    sound_inspect::advance_clock(0.5);
    sound::play(&buffer, 0);
    sound_inspect::advance_clock(0.5);
    std::string path = ::testing::TempDir() + "/sound_track.wav";
    std::string error;
    ASSERT_TRUE(sound_inspect::write_track_wav(path, &error)) << error;
    std::FILE* f = std::fopen(path.c_str(), "rb");
    ASSERT_NE(f, nullptr);
    std::vector<uint8_t> bytes(64 * 1024);
    bytes.resize(std::fread(bytes.data(), 1, bytes.size(), f));
    std::fclose(f);
    ASSERT_EQ(bytes.size(), 44u + 2 * 22050);
    EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 4), "RIFF");
    EXPECT_EQ(std::string(bytes.begin() + 8, bytes.begin() + 16), "WAVEfmt ");

    EXPECT_FALSE(sound_inspect::write_track_wav("/nonexistent/dir/track.wav", &error));
    EXPECT_EQ(error, "cannot write sound track /nonexistent/dir/track.wav");
}

// ------------------------------------------------------------ window lookup

TEST_F(SoundService, TheHostWindowClassFollowsTheExecutableName) {
    struct Case {
        const char* executable;
        const char* window_class;
    } cases[] = {
        {"fs9.exe", "FS98MAIN"},      {"FS9.EXE", "FS98MAIN"},   {"fs2002.exe", "FS98MAIN"},
        {"cfs2.exe", "MSCFSMAIN"},    {"CFS3.exe", "MSCFSMAIN"}, {"Combat.exe", "MSCFSMAIN"},
        {"abc2", "MSCFSMAIN"},        {"c.exe", "FS98MAIN"},     {"my.sim.exe", "FS98MAIN"},
        {"xyz2.a.b", "MSCFSMAIN"},    {"fs", "FS98MAIN"},        {"", "FS98MAIN"},
    };
    sound_inspect::set_window_classes({"FS98MAIN", "MSCFSMAIN"});
    for (const Case& c : cases) {
        sound_inspect::set_executable_name(c.executable);
        EXPECT_EQ(sound::find_host_main_window(), sound_inspect::window_of_class(c.window_class)) << c.executable;
        EXPECT_EQ(sound_inspect::window_lookups().back(), c.window_class) << c.executable;
    }
    EXPECT_EQ(sound::sound_available, 1);
}

TEST_F(SoundService, WithoutTheHostWindowTheDeviceFailsAndTheModuleGoesSilent) {
    sound_inspect::set_executable_name("cfs2.exe");  // looks for MSCFSMAIN, which is not there
    WindowHandle w = sound::find_host_main_window();
    EXPECT_EQ(w, nullptr);
    EXPECT_EQ(sound::sound_available, 1);  // a missing window is found out by the device
    device = reinterpret_cast<SoundDevice*>(&w);
    EXPECT_EQ(sound::create_device(w, &device), 0);
    EXPECT_EQ(device, nullptr);
    EXPECT_EQ(sound::sound_available, 0);
    EXPECT_EQ(sound_inspect::live(), sound_inspect::LiveObjects{});
}

// ------------------------------------------------------------ releasing

TEST_F(SoundService, ReleasesEmptyTheVariablesAndFreeTheObjects) {
    open_device();
    ASSERT_GT(load(CLICK_WAVE), 0u);
    sound::release_buffer(&buffer);
    sound::release_device(&device);
    EXPECT_EQ(buffer, nullptr);
    EXPECT_EQ(device, nullptr);
    EXPECT_EQ(sound_inspect::live(), sound_inspect::LiveObjects{});
    // Releasing again does nothing.
    unsigned before = sound_inspect::system_calls();
    sound::release_buffer(&buffer);
    sound::release_device(&device);
    EXPECT_EQ(sound_inspect::system_calls(), before);
    EXPECT_EQ(sound::sound_available, 1);
}

TEST_F(SoundService, OperationsOnAnEmptyVariableDoNothing) {
    unsigned before = sound_inspect::system_calls();
    EXPECT_EQ(sound::play(&buffer, 0), 0);
    EXPECT_EQ(sound::is_playing(&buffer), 0);
    EXPECT_EQ(sound::set_volume(&buffer, -500), 0);
    EXPECT_EQ(sound::play(nullptr, 0), 0);
    EXPECT_EQ(sound::create_device(nullptr, nullptr), 0);
    EXPECT_EQ(sound_inspect::system_calls(), before);
    EXPECT_EQ(sound::sound_available, 1);
    // A load without a device has nothing to put its buffer into.
    EXPECT_EQ(load(CLICK_WAVE), 0u);
    EXPECT_EQ(sound::sound_available, 0);
}
