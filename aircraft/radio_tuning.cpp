#include "aircraft/radio_tuning.h"

#include <algorithm>

namespace aircraft {

namespace {

int wrap(int value, int lo, int hi) {  // into [lo, hi]
    int span = hi - lo + 1;
    return lo + ((value - lo) % span + span) % span;
}

constexpr int kAdfLowest = 1000, kAdfHighest = 17999;  // tenths of kHz
constexpr int kComLowest = 118, kComHighest = 136;
constexpr int kNavLowest = 108, kNavHighest = 117;

}  // namespace

uint32_t bcd_encode(uint32_t n) {
    uint32_t result = 0;
    for (unsigned shift = 0; n != 0 && shift < 32; shift += 4, n /= 10) result |= (n % 10) << shift;
    return result;
}

uint32_t bcd_decode(uint32_t word) {
    uint32_t result = 0, scale = 1;
    for (unsigned shift = 0; shift < 32; shift += 4, scale *= 10) result += std::min(9u, (word >> shift) & 0xF) * scale;
    return result;
}

void adf_step(Radios& r, int tenths) {
    r.adf_tenths_khz = std::clamp(r.adf_tenths_khz + tenths, kAdfLowest, kAdfHighest);
}

void adf_set_bcd(Radios& r, uint32_t word) {
    r.adf_tenths_khz = std::clamp(int(bcd_decode(word)), kAdfLowest, kAdfHighest);
}

uint32_t adf_frequency_word(const Radios& r) { return bcd_encode(uint32_t(r.adf_tenths_khz / 10) % 1000); }

uint32_t adf_extension_word(const Radios& r) {
    return (r.adf_tenths_khz >= 10000 ? 256u : 0u) + uint32_t(r.adf_tenths_khz % 10);
}

void set_adf_words(Radios& r, uint32_t frequency, uint32_t extension) {
    int khz = int(bcd_decode(frequency & 0xFFF)) + (extension >= 256 ? 1000 : 0);
    r.adf_tenths_khz = std::clamp(khz * 10 + int(extension % 256 % 10), kAdfLowest, kAdfHighest);
}

void com_mhz(Radios& r, int step) {
    int mhz = r.com1_khz / 1000, khz = r.com1_khz % 1000;
    r.com1_khz = wrap(mhz + step, kComLowest, kComHighest) * 1000 + khz;
}

void com_channel(Radios& r, int step) {
    int mhz = r.com1_khz / 1000, channel = (r.com1_khz % 1000) / 25;
    r.com1_khz = mhz * 1000 + wrap(channel + step, 0, 39) * 25;
}

uint32_t com_word(const Radios& r) { return bcd_encode(uint32_t(r.com1_khz - 100000) / 10); }

void set_com_word(Radios& r, uint32_t word) {
    int tens_of_khz = int(bcd_decode(word & 0xFFFF));  // 1802 for 118.02
    int khz = 100000 + tens_of_khz * 10;
    int channel = ((khz % 1000) + 12) / 25;             // .02 is the .025 channel
    r.com1_khz = std::clamp(khz / 1000, kComLowest, kComHighest) * 1000 + std::min(channel, 39) * 25;
}

void nav_mhz(Radios& r, int receiver, int step) {
    int& f = r.nav_hundredths[receiver];
    f = wrap(f / 100 + step, kNavLowest, kNavHighest) * 100 + f % 100;
}

void nav_fraction(Radios& r, int receiver, int step) {
    int& f = r.nav_hundredths[receiver];
    f = (f / 100) * 100 + wrap((f % 100) / 5 + step, 0, 19) * 5;
}

uint32_t nav_word(const Radios& r, int receiver) { return bcd_encode(uint32_t(r.nav_hundredths[receiver] - 10000)); }

void set_nav_word(Radios& r, int receiver, uint32_t word) {
    int f = 10000 + int(bcd_decode(word & 0xFFFF));
    r.nav_hundredths[receiver] = std::clamp(f, kNavLowest * 100, kNavHighest * 100 + 95);
}

void xpdr_digit(Radios& r, int digit, int step) { r.xpdr_digits[digit] = wrap(r.xpdr_digits[digit] + step, 0, 7); }

uint32_t xpdr_word(const Radios& r) {
    uint32_t word = 0;
    for (int d : r.xpdr_digits) word = word << 4 | uint32_t(d);
    return word;
}

void set_xpdr_word(Radios& r, uint32_t word) {
    for (int i = 0; i < 4; ++i) r.xpdr_digits[i] = std::min<int>(7, (word >> (12 - 4 * i)) & 0xF);
}

}  // namespace aircraft
