// The one-way sound available flag: every step of every sound operation
// made to fail in turn, and every broken wave image a module could carry.
// After the first failure the module is silent for good: the variables the
// failing operation filled are empty, no later operation calls the system,
// and nothing the failing operation made is left behind.
#include <gtest/gtest.h>

#include <cctype>
#include <set>

#include "platform/linux/sound_inspect.h"
#include "sound/sound.h"
#include "tests/test_resource_module.h"
#include "tests/wave_images.h"

using sound_inspect::LiveObjects;
using sound_inspect::Step;
using wave_images::make_wave;
using wave_images::WaveSpec;

namespace {

constexpr uint32_t WAVE = 10;

TestResourceModule& resources() { return TestResourceModule::instance(); }
HostWord module() { return reinterpret_cast<HostWord>(resources().handle()); }

class SoundFlag : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(resources().loaded());
        resources().clear();
        sound_inspect::reset();
        sound::sound_available = 1;
        resources().set(WAVE, "WAVE", make_wave());
    }
    void TearDown() override {
        EXPECT_TRUE(sound_inspect::misuse().empty()) << sound_inspect::misuse().front();
        sound_inspect::reset();
        sound::sound_available = 1;
        resources().clear();
    }

    // A click gauge's whole life after install: set its volume, play its
    // click, ask whether it plays, and the kill.
    void use_click() {
        sound::set_volume(&click.buffer, -500);
        sound::play_click(click);
        sound::is_playing(&click.buffer);
    }

    // Every operation once more; none may reach the system.
    void expect_silent_from_now_on() {
        ASSERT_EQ(sound::sound_available, 0);
        const unsigned calls = sound_inspect::system_calls();
        const LiveObjects objects = sound_inspect::live();
        SoundDevice* device = click.device;
        SoundBuffer* buffer = click.buffer;
        EXPECT_EQ(sound::find_host_main_window(), nullptr);
        SoundDevice* other_device = nullptr;
        EXPECT_EQ(sound::create_device(sound_inspect::window_of_class("FS98MAIN"), &other_device), 0);
        SoundBuffer* other = nullptr;
        EXPECT_EQ(sound::load_wave(nullptr, &click.device, &other, WAVE, module()), 0u);
        EXPECT_EQ(sound::play(&click.buffer, 0), 0);
        EXPECT_EQ(sound::is_playing(&click.buffer), 0);
        EXPECT_EQ(sound::set_volume(&click.buffer, 0), 0);
        sound::play_click(click);
        sound::kill_click(click);
        sound::install_click(click, module(), WAVE);
        EXPECT_EQ(sound_inspect::system_calls(), calls);
        EXPECT_EQ(sound_inspect::live(), objects);
        EXPECT_EQ(click.device, device);  // release does nothing now
        EXPECT_EQ(click.buffer, buffer);
        EXPECT_TRUE(sound_inspect::played().empty());
    }

    sound::ClickSound click{};
};

// Which objects were made before a step of this phase fails.
enum class Phase { WINDOW, DEVICE, LOAD, USE };

struct FailurePoint {
    Step step;
    Phase phase;
};

const FailurePoint failure_points[] = {
    {Step::ModuleFileName, Phase::WINDOW}, {Step::CreateDevice, Phase::DEVICE},
    {Step::CooperativeLevel, Phase::DEVICE}, {Step::OpenMemoryFile, Phase::LOAD},
    {Step::FindRiffWave, Phase::LOAD},     {Step::FindFormat, Phase::LOAD},
    {Step::ReadFormat, Phase::LOAD},       {Step::FindData, Phase::LOAD},
    {Step::ReadData, Phase::LOAD},         {Step::AllocateMemory, Phase::LOAD},
    {Step::LockMemory, Phase::LOAD},       {Step::CreateBuffer, Phase::LOAD},
    {Step::LockBuffer, Phase::LOAD},       {Step::UnlockBuffer, Phase::LOAD},
    {Step::SetPosition, Phase::LOAD},      {Step::Volume, Phase::USE},
    {Step::Play, Phase::USE},              {Step::Status, Phase::USE},
};

void PrintTo(const FailurePoint& point, std::ostream* out) { *out << sound_inspect::step_name(point.step); }

class SoundFailurePoint : public SoundFlag, public ::testing::WithParamInterface<FailurePoint> {};

}  // namespace

TEST_P(SoundFailurePoint, OneFailureSilencesTheModuleForGood) {
    const FailurePoint point = GetParam();
    sound_inspect::fail_step(point.step);
    sound::install_click(click, module(), WAVE);
    use_click();
    EXPECT_EQ(sound::sound_available, 0);
    EXPECT_EQ(sound_inspect::calls(point.step), 1u) << "the failing step runs once";
    EXPECT_EQ(click.module, module());

    LiveObjects made_before;
    switch (point.phase) {
    case Phase::WINDOW:
        EXPECT_EQ(click.window, nullptr);
        EXPECT_EQ(click.device, nullptr);
        EXPECT_EQ(click.buffer, nullptr);
        EXPECT_EQ(sound_inspect::calls(Step::CreateDevice), 0u) << "no device is tried after the failing step";
        break;
    case Phase::DEVICE:
        EXPECT_NE(click.window, nullptr);
        EXPECT_EQ(click.device, nullptr);
        EXPECT_EQ(click.buffer, nullptr);
        break;
    case Phase::LOAD:
        EXPECT_NE(click.device, nullptr);
        EXPECT_EQ(click.buffer, nullptr);
        made_before.devices = 1;
        break;
    case Phase::USE:
        EXPECT_NE(click.device, nullptr);
        EXPECT_EQ(click.buffer, nullptr);
        made_before.devices = 1;
        made_before.buffers = 1;  // the lost buffer stays with the system
        break;
    }
    // No memory file, global memory or lock of the failing operation is
    // left behind, and no buffer it created.
    EXPECT_EQ(sound_inspect::live(), made_before);
    // Only a failing status query comes after the click has started.
    EXPECT_EQ(sound_inspect::played().size(), point.step == Step::Status ? 1u : 0u);
    sound_inspect::clear_played();
    expect_silent_from_now_on();
}

INSTANTIATE_TEST_SUITE_P(EveryStep, SoundFailurePoint, ::testing::ValuesIn(failure_points),
                         [](const ::testing::TestParamInfo<FailurePoint>& info) {
                             std::string name = sound_inspect::step_name(info.param.step);
                             std::string id;
                             for (char c : name)
                                 if (std::isalnum(static_cast<unsigned char>(c))) id += c;
                             return id;
                         });

TEST_F(SoundFlag, EveryStepOfTheServiceIsCovered) {
    std::set<Step> covered;
    for (const FailurePoint& p : failure_points) covered.insert(p.step);
    for (Step s : sound_inspect::all_steps()) EXPECT_TRUE(covered.count(s)) << sound_inspect::step_name(s);
}

TEST_F(SoundFlag, WithSoundUnavailableFromTheStartNothingCallsTheSystem) {
    sound::sound_available = 0;
    expect_silent_from_now_on();
    EXPECT_EQ(sound_inspect::system_calls(), 0u);
}

TEST_F(SoundFlag, AFailureInOneGaugeSilencesTheOthersAndLeavesTheirObjects) {
    sound::ClickSound first{}, second{};
    sound::install_click(first, module(), WAVE);
    ASSERT_NE(first.buffer, nullptr);
    sound_inspect::fail_step(Step::CreateBuffer);
    sound::install_click(second, module(), WAVE);
    EXPECT_EQ(sound::sound_available, 0);
    EXPECT_NE(second.device, nullptr);
    EXPECT_EQ(second.buffer, nullptr);
    // The first gauge's click is silent now, and its kill releases nothing:
    // objects made before the failure stay with the system.
    const unsigned calls = sound_inspect::system_calls();
    sound::play_click(first);
    sound::kill_click(first);
    sound::kill_click(second);
    EXPECT_EQ(sound_inspect::system_calls(), calls);
    EXPECT_TRUE(sound_inspect::played().empty());
    LiveObjects left;
    left.devices = 2;
    left.buffers = 1;
    EXPECT_EQ(sound_inspect::live(), left);
}

// ------------------------------------------------------------ the click helpers

TEST_F(SoundFlag, AClickGaugeInstallsPlaysAndKillsItsSound) {
    sound::install_click(click, module(), WAVE);
    EXPECT_EQ(click.window, sound_inspect::window_of_class("FS98MAIN"));
    ASSERT_NE(click.device, nullptr);
    ASSERT_NE(click.buffer, nullptr);
    sound::play_click(click);
    sound::play_click(click);  // a click while it plays goes on playing
    ASSERT_EQ(sound_inspect::played().size(), 1u);
    EXPECT_EQ(sound_inspect::played()[0].wave_id, WAVE);
    sound::kill_click(click);
    EXPECT_EQ(click.buffer, nullptr);
    EXPECT_EQ(click.device, nullptr);
    EXPECT_EQ(sound_inspect::live(), LiveObjects{});
    using E = sound_inspect::ObjectEvent;
    const std::vector<E> expected = {{E::DEVICE_CREATED, 1}, {E::BUFFER_CREATED, 1}, {E::BUFFER_RELEASED, 1},
                                     {E::DEVICE_RELEASED, 1}};
    EXPECT_EQ(sound_inspect::object_events(), expected);
    EXPECT_EQ(sound::sound_available, 1);
}

// ------------------------------------------------------------ broken wave images

namespace {

struct BrokenWave {
    const char* what;
    std::vector<uint8_t> bytes;
};

std::vector<uint8_t> truncated(std::vector<uint8_t> bytes, size_t keep) {
    bytes.resize(keep);
    return bytes;
}

std::vector<uint8_t> patched(std::vector<uint8_t> bytes, size_t at, uint32_t value) {
    for (int i = 0; i < 4; ++i) bytes.at(at + i) = uint8_t(value >> (8 * i));
    return bytes;
}

// Eight bytes of another chunk put in at `at`, the RIFF size grown to match.
std::vector<uint8_t> with_chunk_at(std::vector<uint8_t> bytes, size_t at, const char (&id)[5]) {
    const uint8_t chunk[8] = {uint8_t(id[0]), uint8_t(id[1]), uint8_t(id[2]), uint8_t(id[3]), 0, 0, 0, 0};
    bytes.insert(bytes.begin() + long(at), chunk, chunk + 8);
    return patched(bytes, 4, uint32_t(bytes.size() - 8));
}

std::vector<BrokenWave> broken_waves() {
    auto wave_with = [](auto change) {
        WaveSpec s;
        change(s);
        return make_wave(s);
    };
    const std::vector<uint8_t> good = make_wave();  // fmt at 12, data header at 38, data at 46
    return {
        {"empty resource", {}},
        {"a few bytes", {'R', 'I', 'F'}},
        {"not RIFF", wave_with([](WaveSpec& s) { s.riff = "RIFX"; })},
        {"RIFF of another form", wave_with([](WaveSpec& s) { s.form = "AVI "; })},
        {"no fmt chunk", wave_with([](WaveSpec& s) { s.with_format = false; })},
        {"no data chunk", wave_with([](WaveSpec& s) { s.with_data = false; })},
        {"data before fmt", wave_with([](WaveSpec& s) { s.data_before_format = true; })},
        {"fmt chunk shorter than a PCM format", wave_with([](WaveSpec& s) { s.format_bytes = 14; })},
        // Read on past its end, this short format would find 16 bits per
        // sample in the next chunk's id.
        {"fmt chunk shorter than a PCM format before a chunk that reads as 16 bits",
         with_chunk_at(wave_with([](WaveSpec& s) { s.format_bytes = 14; }), 34, "\x10\0xx")},
        {"empty data chunk", wave_with([](WaveSpec& s) { s.data_bytes = 0; })},
        {"data shorter than its chunk says", truncated(good, good.size() - 100)},
        {"data chunk claims four gigabytes", patched(good, 42, 0xFFFFFFF0u)},
        {"RIFF chunk runs past the end", patched(good, 4, uint32_t(good.size()))},
        {"fmt chunk runs past the end", patched(good, 16, 0x7FFFFFFFu)},
        {"cut inside the fmt chunk", truncated(good, 20)},
        {"16-byte fmt chunk at the very end", patched(truncated(wave_with([](WaveSpec& s) { s.format_bytes = 16; }), 36),
                                                      4, 28)},
        {"cut inside the data header", truncated(good, 42)},
        {"not PCM", wave_with([](WaveSpec& s) { s.format_tag = 2; })},
        {"12 bits per sample", wave_with([](WaveSpec& s) { s.bits = 12; })},
        {"no channels", wave_with([](WaveSpec& s) { s.channels = 0; })},
        {"sample rate 0", wave_with([](WaveSpec& s) { s.sample_rate = 0; })},
        {"fewer bytes than a buffer takes", wave_with([](WaveSpec& s) { s.data_bytes = 2; })},
    };
}

}  // namespace

TEST_F(SoundFlag, EveryBrokenWaveImageSilencesTheModuleAndLeavesNothingBehind) {
    for (const BrokenWave& broken : broken_waves()) {
        SCOPED_TRACE(broken.what);
        sound_inspect::reset();
        sound::sound_available = 1;
        resources().set(WAVE, "WAVE", broken.bytes);
        click = {};
        sound::install_click(click, module(), WAVE);
        EXPECT_EQ(sound::sound_available, 0);
        EXPECT_NE(click.device, nullptr);
        EXPECT_EQ(click.buffer, nullptr);
        LiveObjects device_only;
        device_only.devices = 1;
        EXPECT_EQ(sound_inspect::live(), device_only);
        EXPECT_TRUE(sound_inspect::misuse().empty());
        sound::play_click(click);
        EXPECT_TRUE(sound_inspect::played().empty());
    }
}

TEST_F(SoundFlag, AMissingResourceSilencesTheModule) {
    sound::install_click(click, module(), 3281);
    EXPECT_EQ(sound::sound_available, 0);
    EXPECT_EQ(click.buffer, nullptr);
    // A resource of the right id but another type is no wave either.
    sound::sound_available = 1;
    resources().set(3282, "WAVX", make_wave());
    SoundBuffer* buffer = nullptr;
    EXPECT_EQ(sound::load_wave(nullptr, &click.device, &buffer, 3282, module()), 0u);
    EXPECT_EQ(sound::sound_available, 0);
}

TEST_F(SoundFlag, OddLengthChunksArePaddedAsInAnyRiffFile) {
    WaveSpec s;
    s.format_bytes = 19;  // an odd "fmt " chunk: one pad byte follows
    s.bits = 8;
    s.data_bytes = 5099;
    resources().set(3390, "WAVE", make_wave(s));
    sound::install_click(click, module(), 3390);
    ASSERT_NE(click.buffer, nullptr);
    EXPECT_EQ(sound_inspect::buffers().at(0).data.size(), 5099u);
    EXPECT_EQ(sound::sound_available, 1);
}

TEST_F(SoundFlag, ChunksBeforeTheFormatAreSkipped) {
    std::vector<uint8_t> wave = make_wave();
    // A "LIST" chunk of 6 bytes between the form type and "fmt ".
    std::vector<uint8_t> list = {'L', 'I', 'S', 'T', 6, 0, 0, 0, 'I', 'N', 'F', 'O', 'x', 'y'};
    wave.insert(wave.begin() + 12, list.begin(), list.end());
    uint32_t riff = uint32_t(wave.size() - 8);
    for (int i = 0; i < 4; ++i) wave[4 + i] = uint8_t(riff >> (8 * i));
    resources().set(WAVE, "WAVE", wave);
    sound::install_click(click, module(), WAVE);
    EXPECT_NE(click.buffer, nullptr);
    EXPECT_EQ(sound::sound_available, 1);
}
