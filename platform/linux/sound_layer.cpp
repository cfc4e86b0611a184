// The layer's shared state and what the test host and tests inspect of it:
// call counts and fault injection, the clock, the played log and the
// output track.
#include "platform/linux/sound_layer.h"

#include <cmath>
#include <cstdio>

namespace sound_layer {

State::State() {
    fail_after.fill(-1);
    executable_name = "fs9.exe";
    windows["FS98MAIN"] = std::make_unique<int>(0);
}

State& state() {
    static State s;
    return s;
}

bool step_fails(Step step) {
    if (step == Step::Count) return false;
    State& s = state();
    unsigned done = s.step_calls[size_t(step)]++;
    int after = s.fail_after[size_t(step)];
    return after >= 0 && done >= unsigned(after);
}

void note_misuse(const std::string& what) { state().misuse.push_back(what); }

void note_played(const sound_inspect::PlayedSound& sound) {
    State& s = state();
    if (s.played.size() >= 2 * s.played_keep)
        s.played.erase(s.played.begin(), s.played.end() - ptrdiff_t(s.played_keep - 1));
    s.played.push_back(sound);
    ++s.played_total;
}

}  // namespace sound_layer

namespace sound_inspect {

using sound_layer::state;

const char* step_name(Step step) {
    static const char* const names[] = {
        "module file name", "device creation", "cooperative level", "memory file open", "RIFF/WAVE chunk",
        "\"fmt \" chunk", "format read", "\"data\" chunk", "data read", "global memory allocation",
        "global memory lock", "buffer creation", "buffer lock", "buffer unlock", "play position", "play",
        "status", "volume"};
    static_assert(sizeof names / sizeof names[0] == size_t(Step::Count));
    return step < Step::Count ? names[size_t(step)] : "?";
}

std::vector<Step> all_steps() {
    std::vector<Step> steps;
    for (int i = 0; i < int(Step::Count); ++i) steps.push_back(Step(i));
    return steps;
}

void fail_step(Step step, unsigned after) {
    if (step < Step::Count) state().fail_after[size_t(step)] = int(after);
}

void clear_failures() { state().fail_after.fill(-1); }

unsigned calls(Step step) { return step < Step::Count ? state().step_calls[size_t(step)] : 0; }
unsigned system_calls() { return state().system_calls; }

LiveObjects live() {
    LiveObjects counts = sound_layer::live_sound_objects();
    counts.memory_files = sound_layer::live_memory_files();
    sound_layer::count_global_blocks(counts);
    return counts;
}

const std::vector<PlayedSound>& played() { return state().played; }
uint64_t played_total() { return state().played_total; }
uint64_t played_first_kept() { return state().played_total - state().played.size(); }
void set_played_keep(size_t keep) { state().played_keep = keep ? keep : 1; }
void clear_played() { state().played.clear(); }

uint32_t shipped_wave_with_data_bytes(uint32_t bytes) {
    static const uint32_t waves[][2] = {
        {10, 3828},   {20, 10304},  {30, 6014},   {3280, 11322}, {3290, 9950}, {3300, 10226},
        {3310, 10020}, {3320, 9570}, {3330, 9586}, {3340, 9893},  {3350, 5442}, {3360, 4468},
        {3370, 4531}, {3380, 3273}, {3390, 5099}, {3400, 6095}};
    for (auto& w : waves)
        if (w[1] == bytes) return w[0];
    return 0;
}

const std::vector<ObjectEvent>& object_events() { return state().object_events; }
const std::vector<std::string>& misuse() { return state().misuse; }

void advance_clock(double seconds) {
    // A host clock never runs backwards or by nothing at all.
    if (!(seconds > 0) || !std::isfinite(seconds) || seconds > 3600) return;
    sound_layer::mix(seconds);
    state().clock += seconds;
}

double clock() { return state().clock; }

std::vector<int16_t> track() {
    std::vector<int16_t> samples = state().track;
    size_t now = size_t(std::llround(state().clock * TRACK_RATE)) - state().track_origin;
    size_t limit = size_t(state().track_limit_seconds * TRACK_RATE);
    if (now > limit) now = limit;
    if (samples.size() < now) samples.resize(now, 0);
    return samples;
}

std::vector<int16_t> take_track() {
    sound_layer::State& s = state();
    size_t now = size_t(std::llround(s.clock * TRACK_RATE));
    if (now < s.track_origin) now = s.track_origin;
    std::vector<int16_t> samples;
    samples.swap(s.track);
    samples.resize(now - s.track_origin, 0);
    s.track_origin = now;
    return samples;
}

double track_level(double from_seconds, double to_seconds) {
    const std::vector<int16_t>& t = state().track;
    const size_t origin = state().track_origin;
    if (!(to_seconds > from_seconds) || from_seconds < 0) return 0;
    size_t first = size_t(from_seconds * TRACK_RATE), last = size_t(to_seconds * TRACK_RATE);
    if (last <= first) return 0;
    double sum = 0;
    for (size_t i = first; i < last; ++i) {
        double v = i >= origin && i - origin < t.size() ? t[i - origin] / 32768.0 : 0.0;
        sum += v * v;
    }
    return std::sqrt(sum / double(last - first));
}

namespace {

void put_word(std::FILE* f, uint32_t v, int bytes) {
    for (int i = 0; i < bytes; ++i) std::fputc(int((v >> (8 * i)) & 0xFF), f);
}

}  // namespace

bool write_track_wav(const std::string& path, std::string* error) {
    std::vector<int16_t> samples = track();
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) {
        if (error) *error = "cannot write sound track " + path;
        return false;
    }
    const uint32_t data_bytes = uint32_t(samples.size() * 2);
    std::fwrite("RIFF", 1, 4, f);
    put_word(f, 36 + data_bytes, 4);
    std::fwrite("WAVEfmt ", 1, 8, f);
    put_word(f, 16, 4);
    put_word(f, WAVE_FORMAT_PCM, 2);
    put_word(f, 1, 2);
    put_word(f, TRACK_RATE, 4);
    put_word(f, TRACK_RATE * 2, 4);
    put_word(f, 2, 2);
    put_word(f, 16, 2);
    std::fwrite("data", 1, 4, f);
    put_word(f, data_bytes, 4);
    for (int16_t s : samples) put_word(f, uint16_t(s), 2);
    bool ok = std::ferror(f) == 0;
    ok = std::fclose(f) == 0 && ok;
    if (!ok && error) *error = "cannot write sound track " + path;
    return ok;
}

void set_track_limit_seconds(double seconds) {
    if (seconds >= 0 && std::isfinite(seconds) && seconds <= 24 * 3600) state().track_limit_seconds = seconds;
}

void reset() {
    sound_layer::State& s = state();
    sound_layer::reset_devices();
    sound_layer::reset_memory_files();
    sound_layer::reset_memory();
    s.step_calls.fill(0);
    s.fail_after.fill(-1);
    s.system_calls = 0;
    s.clock = 0;
    s.track_limit_seconds = 600;
    s.played_keep = 4096;
    s.misuse.clear();
    s.executable_name = "fs9.exe";
    set_window_classes({"FS98MAIN"});
    s.window_lookups.clear();
}

}  // namespace sound_inspect
