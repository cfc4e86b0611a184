// The element records of the gauges as the host reads them, one table per
// gauge in drawing order: kind, bitmap, image flags, source variables,
// failure records, number of images, slider and sprite scales, moving-image
// ranges, string fields and needle tables. Each table is written from the
// gauge's own description, so a record that reads another variable, carries
// another failure or gives the host a longer needle table than it holds
// fails here.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "tests/host_fixture.h"

namespace {

constexpr double kAny = std::numeric_limits<double>::quiet_NaN();

struct Failure {
    uint32_t key, action;
    bool operator==(const Failure&) const = default;
};

struct Point {
    int32_t x, y;
    double value;
};

// The string fields the host draws with: maximum characters, font weight,
// text, background and highlight colours (0x00BBGGRR).
struct Text {
    uint32_t max_chars, weight, colour, background, highlight;
};

struct Element {
    uint32_t kind;
    int32_t bitmap;
    uint32_t flags;
    // Source variables in record order (0: none); empty: not described.
    std::vector<uint32_t> tokens = {};
    std::vector<Failure> failures = {};
    uint32_t images = 0;  // icons
    // Slider x, y; sprite x, y, rotation, texture x, y; moving image x min,
    // max, y min, max; icon scale.
    std::vector<double> numbers = {};
    std::vector<Point> table = {};  // needles
    bool no_table = false;          // a needle whose callback gives its angle
    const Text* text = nullptr;
};

struct Gauge {
    const char* name;
    std::vector<Element> elements;
};

constexpr uint32_t S = ELEMENT_STATIC_IMAGE, N = ELEMENT_NEEDLE, T = ELEMENT_STRING, L = ELEMENT_SLIDER,
                   I = ELEMENT_ICON, M = ELEMENT_MOVING_IMAGE, P = ELEMENT_SPRITE;

// Failure lists that several elements share.
const std::vector<Failure> kVor1Needle = {{14, 2}, {21, 2}, {20, 1}};
const std::vector<Failure> kVor2Needle = {{15, 2}, {21, 2}, {20, 1}};
const std::vector<Failure> kNav1 = {{21, 3}, {14, 0}}, kNav2 = {{21, 3}, {15, 0}};
const std::vector<Failure> kCom1 = {{21, 3}, {9, 0}};
const std::vector<Failure> kEngine = {{2, 0}, {20, 2}}, kXpdr = {{20, 3}, {21, 3}, {17, 0}};
const std::vector<Failure> kAltimeter = {{3, 1}, {7, 1}}, kAttitude = {{8, 0}, {2, 0}, {4, 0}};
const std::vector<Point> kRadioHeight = {{153, 283, -0.3047999902464003},
                                         {153, 283, 0},
                                         {229, 251, 304.79999024640034},
                                         {208, 260, 761.9999756160008},
                                         {208, 260, 30479.694224649786}};
const Text kVorCourse = {3, 700, 0xFFFFFF, 0x000000, 0xFFFFFF};
const Text kRegistration = {7, 400, 0xFFFFFF, 0x000000, 0x5C5C5C};
const Text kAdfReadout = {7, 700, 0x00FAFA, 0x000000, 0x00FFFF};
const std::vector<double> kDrum = {0, 0, 0, 10};

std::vector<Element> vor(bool second) {
    const uint32_t own = second ? 15 : 14;
    const auto& needle = second ? kVor2Needle : kVor1Needle;
    const uint32_t localizer = second ? 50 : 40, glide = second ? 882 : 41, to_from = second ? 52 : 43,
                   flag = second ? 53 : 44, course = second ? 54 : 45;
    Element localizer_needle = {N, 1230, 0x4083, {localizer}, needle, 0, {}, {{221, 168, 127}, {98, 168, -127}}};
    Element glide_needle = {N, 1290, 0x4083, {glide}, needle, 0, {}, {{160, 107, -119}, {160, 230, 119}}};
    std::vector<Element> e = {
        {S, second ? 1310 : 1300, 0x4003, {}, {{own, 0}}},
        {N, 1280, 0x4083, {0}, needle, 0, {}, {{159, 88, 0}, {159, 248, 180}}},
        second ? glide_needle : localizer_needle,
        second ? localizer_needle : glide_needle,
        {S, 1250, 0x4083},
        {I, 1260, 0x4083, {flag}, needle, 2, {1.0}},
        {I, 1270, 0x4083, {to_from}, needle, 2, {1.0}},
        {T, -1, 0x4003, {course, course, 0}, {{21, 3}}, 0, {}, {}, false, &kVorCourse},
        {S, second ? 1200 : 1190, 0x3},
    };
    if (!second) e.push_back({I, 1220, 0x7, {354}, {{21, 3}}, 1, {1.0}});
    e.push_back({N, 1210, 0x83, {course}, {}, 0, {}, {{40, 261, 0}, {40, 301, 30}}});
    return e;
}

std::vector<Element> nav(bool second) {
    const auto& f = second ? kNav2 : kNav1;
    return {
        {S, second ? 2100 : 2090, 0x3},
        {M, 2010, 0x83, {}, f, 0, kDrum},
        {M, 2010, 0x83, {}, f, 0, kDrum},
        {I, 2070, 0x83, {}, f, 1},
        {M, 2010, 0x83, {}, f, 0, kDrum},
        {M, 2020, 0x83, {}, f, 0, {0, 0, 0, 1}},
        {I, 2030, 0x83, {}, f, 1},
        {N, 2000, 0x83, {}, {}, 0, {}, {{208, -9, 0}, {208, 63, 50}}},
        {N, 2000, 0x83, {}, {}, 0, {}, {{32, -9, 108}, {32, 63, 112}}},
        {I, 2050, 0x3, {}, f, 2},
        {I, 2040, 0x3, {}, {}, 2},
        {I, 2060, 0x7, {}, f, 1},
    };
}

// The twin dials: the right needle's points from 0 up to the stop, the
// left needle's stored from the top of its scale down.
struct TwinScale {
    double values[13];  // 0, 20, 30, ... 120 degrees C (or 0, 2 ... 12 bar), then the stop
};
const TwinScale kOilTemperature = {
    {491.67, 527.67, 545.67, 563.67, 581.67, 599.67, 617.67, 635.67, 653.67, 671.67, 689.67, 707.67, 761.67}};
const TwinScale kOilPressure = {{0, 4175.82, 6263.73, 8351.64, 10439.55, 12527.46, 14615.37, 16703.28, 18791.19,
                                 20879.1, 22967.01, 25054.92, 31318.65}};
std::vector<Point> twin_right(const TwinScale& s) {
    const int32_t xy[13][2] = {{182, 221}, {174, 205}, {173, 193}, {166, 182}, {164, 167}, {166, 150}, {164, 134},
                               {166, 119}, {172, 107}, {174, 94},  {178, 85},  {185, 80},  {185, 80}};
    std::vector<Point> table;
    for (int i = 0; i < 13; ++i) table.push_back({xy[i][0], xy[i][1], s.values[i]});
    return table;
}
std::vector<Point> twin_left(const TwinScale& s) {
    const int32_t xy[13][2] = {{120, 82},  {120, 82},  {127, 87},  {131, 95},  {133, 107}, {137, 121}, {138, 135},
                               {140, 150}, {138, 165}, {138, 180}, {133, 191}, {130, 203}, {120, 216}};
    std::vector<Point> table;
    for (int i = 0; i < 13; ++i) table.push_back({xy[i][0], xy[i][1], s.values[12 - i]});
    return table;
}

const std::vector<Point> kPitchTrim = {{87, 176, -0.3490658503988659},
                                       {87, 176, -0.20943951023931953},
                                       {26, 99, 0},
                                       {87, 25, 0.20943951023931953},
                                       {87, 25, 0.3490658503988659}};
const std::vector<Point> kRudderTrim = {{25, 87, -0.3490658503988659},
                                        {25, 87, -0.20943951023931953},
                                        {101, 27, 0},
                                        {176, 87, 0.20943951023931953},
                                        {176, 87, 0.3490658503988659}};

const std::vector<Gauge>& gauges() {
    static const std::vector<Gauge> table = {
        {"Airspeed",
         {{S, 270, 0x4003},
          {N, 280, 0x4083, {61}, {{6, 1}, {3, 2}}, 0, {},
           {{103, 258, -1}, {103, 258, 0}, {80, 245, 40}, {86, 58, 100}, {216, 58, 150}, {218, 246, 250},
            {132, 262, 300}, {132, 262, 500}}},
          {S, 290, 0x3}}},
        {"Vertical_Speed",
         {{S, 370, 0x4003},
          {N, 380, 0x4083, {65}, {{19, 1}, {3, 2}}, 0, {},
           // The +-3000 ft/min entries repeat the +-2500 points: both ends stop.
           {{263, 163, -3901.4398751539243}, {263, 163, -3251.1998959616035}, {163, 269, -1300.4799583846413},
            {41, 148, 0}, {136, 39, 1300.4799583846413}, {267, 143, 3251.1998959616035},
            {267, 143, 3901.4398751539243}}},
          {S, 390, 0x3}}},
        {"Turn_Coordinator",
         {{S, 440, 0x4003},
          {L, 460, 0x4083, {69, 69}, {}, 0, {0.6640625, -0.00030517578125}},
          {S, 490, 0x3},
          {I, 470, 0x4003, {753}, {}, 1, {1.0}},
          {N, 450, 0x4083, {70}, {{18, 1}, {20, 2}}, 0, {}, {{118, 220, -5}, {118, 220, -4.5}, {184, 220, 4.5}, {184, 220, 5}}},
          {S, 480, 0x3}}},
        {"Altimeter",
         {{S, 1000, 0x4003},
          {M, 1020, 0x4083, {0, 75}, {}, 0, {1, 1, 10, 0}},
          {M, 1020, 0x4083, {0, 75}, {}, 0, {10, 1, 100, 0}},
          {M, 1020, 0x4083, {0, 75}, {}, 0, {100, 1, 1000, 0}},
          {M, 1020, 0x4083, {0, 75}, {}, 0, {1000, 1, 10000, 0}},
          {M, 1040, 0x4083, {0, 74}, kAltimeter, 0, {10, 1, 100, 0}},
          {M, 1060, 0x4083, {0, 74}, kAltimeter, 0, {100, 10, 1000, 0}},
          {M, 1060, 0x4083, {0, 74}, kAltimeter, 0, {1000, 100, 10000, 0}},
          {M, 1060, 0x4083, {0, 74}, kAltimeter, 0, {10000, 1000, 100000, 0}},
          {I, 1030, 0x4083, {74}, kAltimeter, 1, {0}},
          {I, 1050, 0x4083, {74}, kAltimeter, 1, {0}},
          {I, 1050, 0x4083, {74}, kAltimeter, 1, {0}},
          {I, 1050, 0x4083, {74}, kAltimeter, 1, {0}},
          {N, 1010, 0x4083, {74}, kAltimeter, 0, {}, {{150, 100, 0}, {150, 200, 500}}},
          {S, 1130, 0x3},
          {N, 1120, 0x83, {75}, {}, 0, {}, {{71, 261, 1013}, {27, 261, 1070}}}}},
        {"Attitude",
         {{S, 300, 0x4003},
          {P, 310, 0x4083, {0, 78, 80}, kAttitude, 0, {0, 1.3, -1.0, 1.0, double(0.9f)}},
          {N, 320, 0x4083, {80}, kAttitude, 0, {}, {{177, 130, -90}, {77, 130, 90}}},
          {L, 330, 0x4083, {0, 612}, {}, 0, {0, -0.15}},
          {S, 360, 0x4003},
          {S, 340, 0x3}}},
        {"Gyro_Compass",
         {{S, 400, 0x3},
          {N, 430, 0x83, {85}, {}, 0, {}, {{117, 242, 0}, {117, 282, 10922.666666666666}}},
          {M, 410, 0x4083, {84, 0}, {{4, 0}}, 0, {360, 0, 360, 360}},
          {I, 420, 0x4003, {0}, {}, 1, {1.0}}}},
        {"Tachometer",
         {{S, 240, 0x4003},
          {N, 250, 0x4083, {390}, kEngine, 0, {},
           {{103, 260, 0}, {103, 260, 400}, {109, 40, 2000}, {212, 253, 4000}, {212, 253, 4100}}},
          {S, 260, 0x3}}},
        {"Manifold_Pressure",
         {{S, 2160, 0x4003},
          {N, 2170, 0x4083, {391}, kEngine, 0, {},
           {{115, 263, -2.08791}, {115, 263, 0}, {81, 249, 1043.955}, {30, 158, 1670.328}, {54, 88, 2087.91},
            {194, 48, 2923.074}, {251, 103, 3340.656}, {264, 183, 3758.238}, {215, 254, 4175.82},
            {215, 254, 5219.775}}},
          {S, 2180, 0x3}}},
        {"Oil_Temperature",
         {{S, 2190, 0x4003},
          {N, 2200, 0x4083, {455}, kEngine, 0, {}, twin_right(kOilTemperature)},
          {N, 2200, 0x4083, {416}, kEngine, 0, {}, twin_left(kOilTemperature)},
          {S, 2210, 0x3}}},
        {"Oil_Pressure",
         {{S, 2220, 0x4003},
          {N, 2230, 0x4083, {457}, kEngine, 0, {}, twin_right(kOilPressure)},
          {N, 2230, 0x4083, {418}, kEngine, 0, {}, twin_left(kOilPressure)},
          {S, 2240, 0x3}}},
        {"OMI", {{S, 3090, 0x3}, {I, 3100, 0x7, {354}, {{21, 3}}, 5, {1.0}}}},
        {"Radio_XPDR",
         {{S, 2150, 0x3},
          {M, 2110, 0x83, {0, 38}, kXpdr, 0, kDrum},
          {M, 2110, 0x83, {0, 0}, kXpdr, 0, kDrum},
          {M, 2110, 0x83, {0, 38}, kXpdr, 0, kDrum},
          {M, 2110, 0x83, {0, 38}, kXpdr, 0, kDrum},
          {I, 2140, 0x3, {0}, kXpdr, 2},
          {I, 2130, 0x7, {}, kXpdr, 1},
          {I, 2120, 0x3, {}, {}, 2}}},
        {"Dirud_Box",
         {{S, 4140, 0x3},
          {I, 4210, 0x7, {}, {}, 1, {1.0}},
          {I, 4210, 0x7, {}, {}, 1, {1.0}},
          {I, 4200, 0x3, {}, {}, 6, {1.0}},
          {I, 4190, 0x3, {}, {}, 6, {1.0}},
          {I, 4220, 0x3, {}, {}, 1, {1.0}},
          {I, 4220, 0x3, {}, {}, 1, {1.0}},
          {I, 4180, 0x3, {}, {}, 2, {1.0}},
          {I, 4170, 0x3, {}, {}, 2, {1.0}},
          {I, 4160, 0x3, {}, {}, 2, {1.0}},
          {I, 4150, 0x3, {}, {}, 2, {1.0}}}},
        {"Synchroscope",
         {{S, 2470, 0x4003},
          {N, 2480, 0x4083, {0}, {{6, 1}, {3, 2}}, 0, {}, {{100, 10, 100}, {190, 100, 0}, {100, 190, -100}}},
          {S, 2490, 0x3}}},
        {"Prop_Synch_Switch", {{S, 1480, 0x3}, {I, 1490, 0x3, {788}, {}, 2, {1.0}}}},
        {"Fuel_Quantity",
         {{S, 3040, 0x4003},
          {N, 3050, 0x4083, {297}, kEngine, 0, {},
           {{180, 216, 0}, {170, 186, 2097152.5}, {166, 146, 4194305}, {170, 110, 6291457.5}, {185, 76, 8388610}}},
          {N, 3050, 0x4083, {291}, kEngine, 0, {},
           {{120, 78, 8388610}, {133, 112, 6291457.5}, {135, 147, 4194305}, {133, 186, 2097152.5}, {120, 216, 0}}},
          {S, 3060, 0x3}}},
        {"Hydraulic_Pressure",
         {{S, 2250, 0x4003},
          {N, 2260, 0x4083, {732}, kEngine, 0, {}, {{57, 102, -2087.91}, {57, 102, 0}, {193, 93, 730768.5}}},
          {S, 2270, 0x3}}},
        {"Suction_Indicator",
         {{S, 2310, 0x4003},
          {N, 2330, 0x4083, {353}, {{2, 0}, {4, 0}}, 0, {},
           {{92, 240, 0}, {150, 55, 5}, {206, 238, 10}, {206, 238, 15}}},
          {S, 2320, 0x3}}},
        {"OAT_Indicator",
         {{S, 2280, 0x4003},
          {N, 2290, 0x4083, {341}, {}, 0, {},
           {{51, 122, -70}, {74, 110, -50}, {84, 97, -40}, {100, 91, -30}, {119, 84, -20}, {142, 80, -10},
            {167, 84, 0}, {192, 85, 10}, {214, 92, 20}, {231, 103, 30}, {246, 112, 40}, {257, 123, 50}}},
          {S, 2300, 0x3}}},
        {"Quorvet_Timer",
         {{S, 2340, 0x4003},
          {P, 2400, 0x4083, {0, 0, 0}, {}, 0, {0, 0, 1.0, 1.0, 1.0}},
          {N, 2380, 0x4083, {557}, {}, 0, {}, {{138, 39, 0}, {138, 239, 21600}}},
          {N, 2370, 0x4083, {557}, {}, 0, {}, {{138, 39, 0}, {138, 239, 1800}}},
          {N, 2360, 0x4083, {604}, {}, 0, {}, {{138, 153, 0}, {138, 213, 450}}},
          {N, 2350, 0x4083, {604}, {}, 0, {}, {{138, 39, 0}, {138, 239, 30}}},
          {S, 2390, 0x3}}},
        {"Registration", {{S, 50, 0x3}, {T, -1, 0x3, {0, 0, 0}, {}, 0, {}, {}, false, &kRegistration}}},
        {"Parking_Brake", {{S, 3140, 0x3}, {I, 3150, 0x3, {323}, {}, 2, {1.0}}}},
        {"Throttle_Quadrant",
         {
             {S, 4000, 0x3},
             {I, 4090, 0x3, {0}, {}, 2},
             {L, 4070, 0x3, {0, 783}, {}, 0, {1.0, 81.16902097686663}},
             {I, 4080, 0x3, {783}, {}, 4},
             {L, 4010, 0x3, {0, 394}, {}, 0, {kAny, -72}},
             {L, 4020, 0x3, {0, 433}, {}, 0, {kAny, -72}},
             {L, 4060, 0x3, {0, 432}, {}, 0, {kAny, -74}},
             {L, 4050, 0x3, {0, 393}, {}, 0, {kAny, -74}},
             {L, 4040, 0x3, {0, 431}, {}, 0, {kAny, -74}},
             {L, 4030, 0x3, {0, 392}, {}, 0, {kAny, -74}},
         }},
        {"Pitch_Trim_Indicator",
         {{S, 2410, 0x4003}, {N, 2420, 0x4083, {783}, {{20, 2}}, 0, {}, kPitchTrim}, {S, 2430, 0x3}}},
        {"Rudder_Trim_Indicator",
         {{S, 2440, 0x4003}, {N, 2450, 0x4083, {787}, {{20, 2}}, 0, {}, kRudderTrim}, {S, 2460, 0x3}}},
        {"Flaps_Indicator",
         {{S, 3160, 0x4003},
          {N, 3170, 0x4083, {330}, {{20, 0}}, 0, {}, {{166, 65, 0}, {152, 109, 8191}, {119, 143, 16382}}},
          {S, 3180, 0x3}}},
        {"Gear_Lever", {{S, 3070, 0x3}, {I, 3080, 0x3, {331}, {}, 2}}},
        {"Gear_Lamps",
         {
             {S, 3110, 0x3},
             {I, 3130, 0x7, {332}, {{20, 3}}, 1, {1.0}},
             {I, 3120, 0x7, {332}, {{20, 3}}, 1, {1.0}},
             {I, 3130, 0x7, {334}, {{20, 3}}, 1, {1.0}},
             {I, 3120, 0x7, {334}, {{20, 3}}, 1, {1.0}},
             {I, 3130, 0x7, {333}, {{20, 3}}, 1, {1.0}},
             {I, 3120, 0x7, {333}, {{20, 3}}, 1, {1.0}},
         }},
        {"Radio_Altimeter",
         {
             {S, 3230, 0x4003},
             {N, 3240, 0x4083, {614}, {{20, 2}}, 0, {}, kRadioHeight},
             {N, 3250, 0x4083, {615}, {}, 0, {}, kRadioHeight},
             {S, 3270, 0x3},
             {N, 3260, 0x83, {615}, {}, 0, {}, {}, true},
         }},
        {"Radio_Altimeter_DH_Light", {{S, 3210, 0x3}, {I, 3220, 0x7, {616}, {}, 1}}},
        {"Radio_Altimeter_Switch", {{S, 3190, 0x3}, {I, 3200, 0x3, {0}, {}, 3}}},
        {"VOR1_Indicator", vor(false)},
        {"VOR2_Indicator", vor(true)},
        {"Radio_NAV1", nav(false)},
        {"Radio_NAV2", nav(true)},
        {"Radio_COM1",
         {
             {S, 1420, 0x3},
             {I, 1440, 0x83, {}, {}, 10},
             {I, 1440, 0x83, {}, kCom1, 10},
             {I, 1440, 0x83, {}, {}, 10},
             {I, 1450, 0x83, {}, {}, 4},
             {I, 1430, 0x3, {}, {}, 2},
             {I, 1460, 0x7, {}, kCom1, 1},
         }},
        {"Radio_ADF",
         {
             {S, 1330, 0x3},
             {N, 1410, 0x4083, {}, {}, 0, {}, {{168, 52, 0}, {168, 248, 180}}},
             {S, 1320, 0x3},
             {T, -1, 0x7, {}, {{20, 3}, {21, 3}, {5, 0}}, 0, {}, {}, false, &kAdfReadout},
             {N, 1350, 0x83, {}, {}, 0, {}, {{166, 222, 0}, {166, 282, 60}}},
             {N, 1340, 0x83, {}, {}, 0, {}, {{164, 123, 0}, {164, 199, 1}}},
             {P, 1400, 0x4083, {0, 0, 0}, {}, 0, {1.0, 1.0, 1.0, 1.0, 1.0}},
             {I, 1380, 0x3, {880}, {}, 2},
             {I, 1370, 0x7, {}, {{20, 3}, {21, 3}}, 1},
             {I, 1360, 0x3, {}, {}, 2},
         }},
        {"ADF_Indicator",
         {
             {S, 1140, 0x4003, {}, {{5, 0}}},
             {P, 1170, 0x4083, {0, 0, 22}, {}, 0, {0, 0, 1.0, 1.0, 1.0}},
             {N, 1160, 0x4083, {39}, {{21, 2}, {20, 1}}, 0, {}, {{150, 100, 0}, {150, 200, 180}}},
             {S, 1180, 0x3},
             {N, 1150, 0x83, {22}, {}, 0, {}, {{39, 241, 0}, {39, 297, 20}}},
         }},
    };
    return table;
}

// What the module hands the host for one element, in the table's terms.
std::vector<uint32_t> tokens_of(const ElementHeader* e) {
    switch (e->kind) {
    case N: return {reinterpret_cast<const NeedleElement*>(e)->source.token};
    case T: {
        auto* s = reinterpret_cast<const StringElement*>(e);
        return {s->source[0].token, s->source[1].token, s->source[2].token};
    }
    case L: {
        auto* s = reinterpret_cast<const SliderElement*>(e);
        return {s->source_x.token, s->source_y.token};
    }
    case I: return {reinterpret_cast<const IconElement*>(e)->source.token};
    case M: {
        auto* m = reinterpret_cast<const MovingImageElement*>(e);
        return {m->source_x.token, m->source_y.token};
    }
    case P: {
        auto* p = reinterpret_cast<const SpriteElement*>(e);
        return {p->source_x.token, p->source_y.token, p->source_rotation.token};
    }
    default: return {};
    }
}

std::vector<double> numbers_of(const ElementHeader* e) {
    switch (e->kind) {
    case L: {
        auto* s = reinterpret_cast<const SliderElement*>(e);
        return {s->scale_x, s->scale_y};
    }
    case P: {
        auto* p = reinterpret_cast<const SpriteElement*>(e);
        return {p->scale_x, p->scale_y, p->scale_rotation, p->texture_scale_x, p->texture_scale_y};
    }
    case M: {
        auto* m = reinterpret_cast<const MovingImageElement*>(e);
        return {m->min_x, m->max_x, m->min_y, m->max_y};
    }
    case I: return {reinterpret_cast<const IconElement*>(e)->scale};
    default: return {};
    }
}

std::vector<Failure> failures_of(const ElementHeader* e) {
    std::vector<Failure> list;
    for (const FailureRecord* f = e->failures; f && f->key; ++f) {
        EXPECT_EQ(f->reserved, 0u);
        list.push_back({f->key, f->action});
    }
    return list;
}

std::string describe(const std::vector<Failure>& list) {
    std::ostringstream out;
    for (const Failure& f : list) out << "(" << f.key << "," << f.action << ")";
    return out.str();
}

void check_element(const ElementHeader* e, const Element& want, int32_t max_travel) {
    EXPECT_EQ(e->kind, want.kind);
    EXPECT_EQ(e->bitmap, want.bitmap);
    EXPECT_EQ(e->image_flags, want.flags);
    EXPECT_EQ(e->special_instrumentation, 0u);
    if (!want.tokens.empty()) { EXPECT_EQ(tokens_of(e), want.tokens); }
    EXPECT_EQ(describe(failures_of(e)), describe(want.failures));
    if (e->kind == I) { EXPECT_EQ(reinterpret_cast<const IconElement*>(e)->image_count, want.images); }
    std::vector<double> numbers = numbers_of(e);
    for (size_t i = 0; i < want.numbers.size(); ++i)
        if (!std::isnan(want.numbers[i])) { EXPECT_EQ(numbers.at(i), want.numbers[i]) << "number " << i; }
    if (e->kind == N) {
        auto* n = reinterpret_cast<const NeedleElement*>(e);
        EXPECT_EQ(n->max_travel, max_travel);
        if (want.no_table) {
            EXPECT_EQ(n->table, nullptr);
            EXPECT_EQ(n->table_entries, 0u);
        } else if (!want.table.empty()) {
            ASSERT_EQ(n->table_entries, want.table.size());
            for (size_t i = 0; i < want.table.size(); ++i) {
                EXPECT_EQ(n->table[i].x, want.table[i].x) << "entry " << i;
                EXPECT_EQ(n->table[i].y, want.table[i].y) << "entry " << i;
                EXPECT_EQ(n->table[i].value, want.table[i].value) << "entry " << i;
            }
        }
    }
    if (want.text) {
        auto* s = reinterpret_cast<const StringElement*>(e);
        EXPECT_EQ(s->max_chars, want.text->max_chars);
        EXPECT_EQ(s->font_weight, want.text->weight);
        EXPECT_EQ(s->text_colour, want.text->colour);
        EXPECT_EQ(s->background_colour, want.text->background);
        EXPECT_EQ(s->highlight_colour, want.text->highlight);
        EXPECT_EQ(s->charset, 1u);
        EXPECT_EQ(s->layout_flags, 0x25u);
        EXPECT_STREQ(s->font_name, "Arial");
    }
}

}  // namespace

TEST_F(ModuleTest, ElementRecordsFollowEachGaugesTable) {
    for (const Gauge& g : gauges()) {
        SCOPED_TRACE(g.name);
        const GaugeHeader* header = module->find_gauge(g.name);
        ASSERT_NE(header, nullptr);
        // The chain from the background up, as the host walks it.
        std::vector<const ElementHeader*> chain;
        for (ElementHeader* const* list = header->elements; list && list[0]; list = list[0]->next) {
            EXPECT_EQ(list[1], nullptr);
            chain.push_back(list[0]);
        }
        ASSERT_EQ(chain.size(), g.elements.size());
        for (size_t i = 0; i < chain.size(); ++i) {
            SCOPED_TRACE("element " + std::to_string(i + 1));
            // Only the vertical speed needle is slowed, to 20 degrees a cycle.
            check_element(chain[i], g.elements[i], std::string(g.name) == "Vertical_Speed" ? 20 : 0);
        }
    }
}

// What the whole module hands the host, counted: the image flag values of
// every element.
TEST_F(ModuleTest, ImageFlagsOfTheWholeModuleCountAsDescribed) {
    std::map<uint32_t, int> flags;
    for (const GaugeHeader* header : module->gauges()) {
        if (header->install) continue;  // the older interface builds its own
        for (ElementHeader* const* list = header->elements; list && list[0]; list = list[0]->next) ++flags[list[0]->image_flags];
    }
    EXPECT_EQ(flags, (std::map<uint32_t, int>{{0x3, 91}, {0x7, 17}, {0x83, 32}, {0x4003, 27}, {0x4083, 59}}));
}
