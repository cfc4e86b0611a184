// Wave resource images for the sound tests: well-formed RIFF/WAVE files of
// a chosen format, and the broken ones a module could carry.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace wave_images {

struct WaveSpec {
    uint32_t sample_rate = 22050;
    uint16_t bits = 16;
    uint16_t channels = 1;
    uint32_t data_bytes = 3828;
    uint32_t format_bytes = 18;  // the "fmt " chunk's length: 16 or 18 (or broken)
    bool with_format = true;
    bool with_data = true;
    bool data_before_format = false;
    std::string riff = "RIFF";
    std::string form = "WAVE";
    uint16_t format_tag = 1;
    uint8_t fill = 0;  // each data byte is (fill + index) when fill is not 0
};

inline void put(std::vector<uint8_t>& out, uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out.push_back(uint8_t(value >> (8 * i)));
}

inline void put_id(std::vector<uint8_t>& out, const std::string& id) {
    for (int i = 0; i < 4; ++i) out.push_back(i < int(id.size()) ? uint8_t(id[i]) : ' ');
}

inline std::vector<uint8_t> format_chunk(const WaveSpec& s) {
    std::vector<uint8_t> c;
    put_id(c, "fmt ");
    put(c, s.format_bytes, 4);
    std::vector<uint8_t> body;
    uint16_t align = uint16_t(s.channels * s.bits / 8);
    put(body, s.format_tag, 2);
    put(body, s.channels, 2);
    put(body, s.sample_rate, 4);
    put(body, s.sample_rate * align, 4);
    put(body, align, 2);
    put(body, s.bits, 2);
    put(body, 0, 2);
    body.resize(s.format_bytes, 0);
    c.insert(c.end(), body.begin(), body.end());
    if (s.format_bytes & 1) c.push_back(0);
    return c;
}

inline std::vector<uint8_t> data_chunk(const WaveSpec& s) {
    std::vector<uint8_t> c;
    put_id(c, "data");
    put(c, s.data_bytes, 4);
    for (uint32_t i = 0; i < s.data_bytes; ++i) {
        uint8_t silent = s.bits == 8 ? 0x80 : 0;
        c.push_back(s.fill ? uint8_t(s.fill + i) : silent);
    }
    if (s.data_bytes & 1) c.push_back(0);
    return c;
}

inline std::vector<uint8_t> make_wave(const WaveSpec& s = {}) {
    std::vector<uint8_t> body;
    put_id(body, s.form);
    std::vector<uint8_t> fmt = s.with_format ? format_chunk(s) : std::vector<uint8_t>{};
    std::vector<uint8_t> data = s.with_data ? data_chunk(s) : std::vector<uint8_t>{};
    auto& a = s.data_before_format ? data : fmt;
    auto& b = s.data_before_format ? fmt : data;
    body.insert(body.end(), a.begin(), a.end());
    body.insert(body.end(), b.begin(), b.end());
    std::vector<uint8_t> file;
    put_id(file, s.riff);
    put(file, uint32_t(body.size()), 4);
    file.insert(file.end(), body.begin(), body.end());
    return file;
}

// A sine tone: what a click sounds like to a level meter.
inline std::vector<uint8_t> make_tone(uint32_t rate, uint16_t bits, double seconds, double amplitude = 0.5) {
    WaveSpec s;
    s.sample_rate = rate;
    s.bits = bits;
    uint32_t frames = uint32_t(rate * seconds);
    s.data_bytes = frames * (bits / 8);
    std::vector<uint8_t> file = make_wave(s);
    uint8_t* data = file.data() + file.size() - s.data_bytes - (s.data_bytes & 1);
    for (uint32_t i = 0; i < frames; ++i) {
        double v = amplitude * __builtin_sin(2 * 3.141592653589793 * 440.0 * i / rate);
        if (bits == 8) {
            data[i] = uint8_t(128 + int(v * 127));
        } else {
            int16_t sample = int16_t(v * 32767);
            std::memcpy(data + 2 * i, &sample, 2);
        }
    }
    return file;
}

}  // namespace wave_images
