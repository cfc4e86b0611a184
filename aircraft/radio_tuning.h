// The radios' frequencies and code as the aircraft keeps them (whole
// tenths of kHz, kHz, hundredths of MHz, digits), stepped by the key
// events and delivered as the BCD words the radio panels decode.
#pragma once

#include <cstdint>

#include "aircraft/aircraft_state.h"

namespace aircraft {

uint32_t bcd_encode(uint32_t n);
// The decimal number a BCD word spells (a nibble above 9 counts as 9).
uint32_t bcd_decode(uint32_t word);

// ADF: 100.0 to 1799.9 kHz.
void adf_step(Radios& r, int tenths);
void adf_set_bcd(Radios& r, uint32_t word);
uint32_t adf_frequency_word(const Radios& r);   // hundreds, tens, units of the kHz
uint32_t adf_extension_word(const Radios& r);   // 256 from 1000 kHz, plus the tenths
// COM1: 118.000 to 136.975 MHz in 25 kHz channels.
void com_mhz(Radios& r, int step);
void com_channel(Radios& r, int step);
uint32_t com_word(const Radios& r);
// NAV: 108.00 to 117.95 MHz in 50 kHz steps.
void nav_mhz(Radios& r, int receiver, int step);
void nav_fraction(Radios& r, int receiver, int step);
uint32_t nav_word(const Radios& r, int receiver);
// Transponder: four octal digits.
void xpdr_digit(Radios& r, int digit, int step);
uint32_t xpdr_word(const Radios& r);

// Words written from outside (a test or a scenario), taken back into the
// aircraft's own tuning.
void set_com_word(Radios& r, uint32_t word);
void set_nav_word(Radios& r, int receiver, uint32_t word);
void set_xpdr_word(Radios& r, uint32_t word);
void set_adf_words(Radios& r, uint32_t frequency, uint32_t extension);

}  // namespace aircraft
