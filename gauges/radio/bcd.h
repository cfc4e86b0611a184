// The binary-coded decimal numbers in which the simulator gives and takes
// radio frequencies: each hexadecimal digit of the word is one decimal
// digit.
#pragma once

#include <cstdint>

namespace radio {

// A non-negative integer re-written digit by digit from base 10 into base
// 16, as the set-frequency events take it: 4100 becomes 0x4100. Eight
// decimal digits fill the 32-bit event value; higher digits are dropped.
constexpr uint32_t bcd_encode(uint32_t n) {
    uint32_t result = 0;
    for (unsigned shift = 0; n != 0 && shift < 32; shift += 4) {
        result |= (n % 10) << shift;
        n /= 10;
    }
    return result;
}

// The two BCD digits of the low byte of a frequency word as the number
// they spell: 0x97 gives 97, 0x05 gives 5. A nibble above 9, which the
// simulator never sends, counts with its own value (0xA5 gives 105).
constexpr double bcd_byte(uint32_t word) {
    uint32_t low = word & 0xFF;
    return 10.0 * (low >> 4) + (low & 0xF);
}

}  // namespace radio
