// Makes the wave resources of Morvane_Instr: the two switch clicks and the
// parking-brake ratchet are synthesized here; the radio altimeter call-outs
// are spoken by espeak-ng and converted by sox (both run at generation time
// only). Every wave is fitted to the exact format and data size of the wave
// table, so the module's resources never change size when a voice or a
// synthesis detail changes.
//
//   make_sounds <wave_formats.txt> <output dir> [id ...]
//
// With ids, only those waves are made. The output is deterministic: the
// synthesized noise comes from a fixed-seed generator and sox runs without
// random dither.
#include <unistd.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <iterator>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

struct WaveFormat {
    int id;
    int rate;
    int bits;
    uint32_t data_bytes;
};

// Samples in -1..1, converted to the table's format at the end.
using Samples = std::vector<double>;

// A small deterministic noise source (same sequence on every machine).
class Noise {
public:
    double next() {
        state_ = state_ * 6364136223846793005ull + 1442695040888963407ull;
        return double(state_ >> 11) / double(1ull << 53) * 2.0 - 1.0;
    }

private:
    uint64_t state_ = 0x4D6F7276616E65ull;
};

// One mechanical tick at time t0: a short noise burst and two damped
// resonances of the switch body.
void add_tick(Samples& s, int rate, double t0, double amplitude, double f1, double f2, double decay, Noise& noise) {
    const double pi = 3.141592653589793;
    size_t start = size_t(t0 * rate);
    for (size_t i = start; i < s.size(); ++i) {
        double t = double(i - start) / rate;
        double envelope = std::exp(-t / decay);
        if (envelope < 1e-4) break;
        double burst = t < 0.002 ? noise.next() * (1.0 - t / 0.002) : 0.0;
        double ring = 0.6 * std::sin(2 * pi * f1 * t) + 0.3 * std::sin(2 * pi * f2 * t);
        s[i] += amplitude * (0.5 * burst + ring * envelope);
    }
}

Samples switch_click(int rate, size_t count) {
    Samples s(count, 0.0);
    Noise noise;
    add_tick(s, rate, 0.002, 0.8, 2400, 5200, 0.008, noise);
    add_tick(s, rate, 0.030, 0.25, 1800, 4100, 0.006, noise);
    return s;
}

// The radio panels' switches: a deeper press and a lighter release.
Samples radio_click(int rate, size_t count) {
    Samples s(count, 0.0);
    Noise noise;
    add_tick(s, rate, 0.002, 0.7, 1500, 3300, 0.012, noise);
    add_tick(s, rate, 0.070, 0.45, 1900, 4600, 0.010, noise);
    return s;
}

// The parking-brake handle: pawl ticks that come closer together as the
// handle is pulled.
Samples brake_ratchet(int rate, size_t count) {
    Samples s(count, 0.0);
    Noise noise;
    double t = 0.004, gap = 0.060;
    for (int tick = 0; tick < 9; ++tick) {
        add_tick(s, rate, t, 0.55 + 0.04 * tick, 2100 + 90 * tick, 4700, 0.007, noise);
        t += gap;
        gap *= 0.88;
    }
    return s;
}

// The call-out words, by wave identifier.
const std::map<int, std::string> callout_words = {
    {3280, "twenty five hundred"}, {3290, "one thousand"}, {3300, "five hundred"}, {3310, "four hundred"},
    {3320, "three hundred"},       {3330, "two hundred"},  {3340, "one hundred"},  {3350, "fifty"},
    {3360, "forty"},               {3370, "thirty"},       {3380, "twenty"},       {3390, "ten"},
    {3400, "minimums"},
};

bool run(const std::string& command) {
    int rc = std::system(command.c_str());
    return rc == 0;
}

std::vector<uint8_t> read_file(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

// Speaks the words at a speaking rate and returns 8-bit unsigned samples at
// the wave's rate, leading and trailing silence cut off.
bool speak(const std::string& words, int words_per_minute, int rate, const std::string& dir,
           std::vector<uint8_t>& out) {
    std::string spoken = dir + "/spoken.wav", raw = dir + "/spoken.raw";
    std::ostringstream cmd;
    cmd << "espeak-ng -v en-us -s " << words_per_minute << " -w '" << spoken << "' '" << words << "'";
    if (!run(cmd.str())) return false;
    std::ostringstream conv;
    // -R and -D: repeatable output without random dither.
    conv << "sox -R -D '" << spoken << "' -r " << rate << " -b 8 -c 1 -e unsigned-integer -t raw '" << raw
         << "' silence 1 0.005 0.5% reverse silence 1 0.005 0.5% reverse gain -n -1";
    if (!run(conv.str())) return false;
    out = read_file(raw);
    return !out.empty();
}

// A call-out that fits its data size: spoken faster until it fits, then
// centred in silence (8-bit silence is 0x80).
bool make_callout(const WaveFormat& f, const std::string& words, const std::string& dir, std::vector<uint8_t>& data) {
    std::vector<uint8_t> spoken;
    const size_t lead_in = size_t(f.rate * 0.02);
    for (int wpm = 170; wpm <= 400; wpm += 10) {
        if (!speak(words, wpm, f.rate, dir, spoken)) return false;
        if (spoken.size() + 2 * lead_in <= f.data_bytes) break;
    }
    data.assign(f.data_bytes, 0x80);
    size_t n = std::min<size_t>(spoken.size(), f.data_bytes - lead_in);
    size_t start = std::min(lead_in, (f.data_bytes - n) / 2);
    for (size_t i = 0; i < n; ++i) data[start + i] = spoken[i];
    // A short fade where a word had to be cut, so it ends without a click.
    if (n < spoken.size())
        for (size_t i = 0; i < std::min<size_t>(n, 200); ++i) {
            size_t k = start + n - 1 - i;
            data[k] = uint8_t(std::lround(128 + (data[k] - 128) * (double(i) / 200)));
        }
    return true;
}

std::vector<uint8_t> to_pcm(const Samples& s, int bits) {
    std::vector<uint8_t> data;
    for (double v : s) {
        v = std::max(-1.0, std::min(1.0, v));
        if (bits == 8) {
            data.push_back(uint8_t(std::lround(128 + v * 127)));
        } else {
            int16_t x = int16_t(std::lround(v * 32000));
            data.push_back(uint8_t(x & 0xFF));
            data.push_back(uint8_t((x >> 8) & 0xFF));
        }
    }
    return data;
}

void put16(std::vector<uint8_t>& b, uint32_t v) {
    b.push_back(uint8_t(v));
    b.push_back(uint8_t(v >> 8));
}
void put32(std::vector<uint8_t>& b, uint32_t v) {
    put16(b, v & 0xFFFF);
    put16(b, v >> 16);
}
void put_tag(std::vector<uint8_t>& b, const char* tag) { b.insert(b.end(), tag, tag + 4); }

// A complete RIFF/WAVE image: an 18-byte PCM format (no extra bytes) and the
// data chunk, padded to an even length as RIFF chunks are.
std::vector<uint8_t> riff_wave(const WaveFormat& f, const std::vector<uint8_t>& data) {
    std::vector<uint8_t> b;
    uint32_t pad = data.size() & 1;
    put_tag(b, "RIFF");
    put32(b, uint32_t(4 + 8 + 18 + 8 + data.size() + pad));
    put_tag(b, "WAVE");
    put_tag(b, "fmt ");
    put32(b, 18);
    uint32_t block = uint32_t(f.bits / 8);
    put16(b, 1);  // PCM
    put16(b, 1);  // mono
    put32(b, uint32_t(f.rate));
    put32(b, uint32_t(f.rate) * block);
    put16(b, block);
    put16(b, uint32_t(f.bits));
    put16(b, 0);
    put_tag(b, "data");
    put32(b, uint32_t(data.size()));
    b.insert(b.end(), data.begin(), data.end());
    if (pad) b.push_back(0);
    return b;
}

bool read_table(const std::string& path, std::vector<WaveFormat>& table) {
    std::ifstream in(path);
    if (!in) return false;
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#') continue;
        std::istringstream fields(line);
        WaveFormat f;
        if (!(fields >> f.id >> f.rate >> f.bits >> f.data_bytes)) return false;
        table.push_back(f);
    }
    return !table.empty();
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::cerr << "usage: make_sounds <wave_formats.txt> <output dir> [id ...]\n";
        return 2;
    }
    std::vector<WaveFormat> table;
    if (!read_table(argv[1], table)) {
        std::cerr << argv[1] << ": cannot read the wave table\n";
        return 1;
    }
    std::string out_dir = argv[2];
    std::set<int> only;
    for (int i = 3; i < argc; ++i) only.insert(std::atoi(argv[i]));

    char temp_template[] = "/tmp/make_sounds.XXXXXX";
    const char* temp = nullptr;
    for (const WaveFormat& f : table) {
        if (!only.empty() && !only.count(f.id)) continue;
        size_t count = f.data_bytes / (f.bits / 8);
        std::vector<uint8_t> data;
        if (f.id == 10) {
            data = to_pcm(switch_click(f.rate, count), f.bits);
        } else if (f.id == 20) {
            data = to_pcm(brake_ratchet(f.rate, count), f.bits);
        } else if (f.id == 30) {
            data = to_pcm(radio_click(f.rate, count), f.bits);
        } else if (callout_words.count(f.id) && f.bits == 8) {
            if (!temp && !(temp = mkdtemp(temp_template))) {
                std::cerr << "make_sounds: cannot make a temporary directory\n";
                return 1;
            }
            if (!make_callout(f, callout_words.at(f.id), temp, data)) {
                std::cerr << "wave " << f.id << ": espeak-ng or sox failed\n";
                return 1;
            }
        } else {
            std::cerr << "wave " << f.id << ": no sound is made for this identifier\n";
            return 1;
        }
        data.resize(f.data_bytes, f.bits == 8 ? 0x80 : 0);
        std::vector<uint8_t> file = riff_wave(f, data);
        std::string path = out_dir + "/" + std::to_string(f.id) + ".wav";
        std::ofstream out(path, std::ios::binary);
        out.write(reinterpret_cast<const char*>(file.data()), std::streamsize(file.size()));
        if (!out) {
            std::cerr << path << ": cannot write\n";
            return 1;
        }
    }
    if (temp) run(std::string("rm -rf '") + temp + "'");
    return 0;
}
