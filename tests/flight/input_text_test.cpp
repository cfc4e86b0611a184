// What the layout and scenario readers take as a number and as a line: plain
// decimals with every digit (a fraction's nines too), signs and exponents,
// whole numbers within their bounds, signed numbers either side of zero, and
// lines up to the longest a file may have.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "flight/input_text.h"

namespace {

TEST(InputNumbers, PlainDecimalsTakeEveryDigitOnBothSidesOfThePoint) {
    struct {
        const char* text;
        double value;
    } good[] = {{"0.9", 0.9},     {"9.09", 9.09},  {"-19.99", -19.99}, {"+.5", 0.5},   {"5.", 5.0},
                {"0123456789", 123456789.0},        {".0123456789", 0.0123456789},  {"1e3", 1000.0},
                {"2.5E-2", 0.025}, {"7e+1", 70.0},  {"1e-400", 0.0}};  // too small to tell from 0: 0
    for (const auto& g : good) {
        double v = -1;
        EXPECT_TRUE(sim::plain_decimal(g.text, &v)) << g.text;
        EXPECT_DOUBLE_EQ(v, g.value) << g.text;
    }
    for (const char* bad : {"", "+", "-", ".", "1.2.3", "1x", "x1", "1 ", " 1", "1e", "1e+", "1e400", "-1e400",
                            "nan", "inf", "0x10", "1,5", "9/", ":"}) {
        double v = 42;
        EXPECT_FALSE(sim::plain_decimal(bad, &v)) << bad;
        EXPECT_EQ(v, 42) << bad;  // left as it was
    }
}

TEST(InputNumbers, WholeAndSignedNumbersHoldTheirBounds) {
    unsigned long long w = 0;
    EXPECT_TRUE(sim::plain_whole("4294967295", 1, 0xFFFFFFFFull, &w));
    EXPECT_EQ(w, 0xFFFFFFFFull);
    EXPECT_FALSE(sim::plain_whole("4294967296", 1, 0xFFFFFFFFull, &w));
    EXPECT_FALSE(sim::plain_whole("0", 1, 10, &w));
    EXPECT_FALSE(sim::plain_whole("-1", 0, 10, &w));
    EXPECT_FALSE(sim::plain_whole("", 0, 10, &w));

    long long s = 0;
    for (auto [text, value] : std::vector<std::pair<const char*, long long>>{
             {"-10", -10}, {"+7", 7}, {"0", 0}, {"-0", 0}, {"10", 10}, {"9", 9}}) {
        EXPECT_TRUE(sim::plain_signed(text, -10, 10, &s)) << text;
        EXPECT_EQ(s, value) << text;
    }
    for (const char* bad : {"-11", "11", "--1", "+-1", "1-", "", "-", "4611686018427387905"})
        EXPECT_FALSE(sim::plain_signed(bad, -10, 10, &s)) << bad;
    // The largest magnitude a signed number may have: 2^62.
    EXPECT_TRUE(sim::plain_signed("-4611686018427387904", -(1LL << 62), 1LL << 62, &s));
    EXPECT_EQ(s, -(1LL << 62));
}

TEST(InputLines, ALineMayHaveTheLongestLengthAndNoMore) {
    std::vector<std::string> lines;
    std::string error;
    std::string longest(sim::kLongestInputLine, 'a');
    ASSERT_TRUE(sim::split_input_lines("first\r\n" + longest + "\nlast", "f.txt", &lines, &error)) << error;
    EXPECT_EQ(lines, (std::vector<std::string>{"first", longest, "last"}));
    EXPECT_TRUE(sim::split_input_lines(longest + "\r\n", "f.txt", &lines, &error)) << error;
    EXPECT_FALSE(sim::split_input_lines("first\n" + longest + "b\n", "f.txt", &lines, &error));
    EXPECT_EQ(error, "f.txt:2: line of 4097 bytes; a line is at most 4096");
}

}  // namespace
