// The key finder that every gauge reads its parameter string with.
#include <gtest/gtest.h>

#include "framework/parameters.h"

TEST(ParameterKeyFinder, FindsTheFirstOccurrence) {
    const char* text = "b120 hTOGGLE_GPS_WINDOW";
    EXPECT_EQ(find_parameter_key(text, "b"), text);
    EXPECT_EQ(find_parameter_key(text, "h"), text + 5);
    const char* two = "oGPS_PANEL oMAIN_PANEL";
    EXPECT_EQ(find_parameter_key(two, "o"), two);
    EXPECT_EQ(find_parameter_key(two + 1, "o"), two + 11);
}

TEST(ParameterKeyFinder, CommentCharactersBeforeTheKeyHideIt) {
    EXPECT_STREQ(find_parameter_key("c50 # o75", "c"), "c50 # o75");
    EXPECT_EQ(find_parameter_key("c50 # o75", "o"), nullptr);
    EXPECT_EQ(find_parameter_key("3 # 1", "1"), nullptr);
    EXPECT_NE(find_parameter_key("3 # 1", "3"), nullptr);
    EXPECT_EQ(find_parameter_key("x/s", "s"), nullptr);
    EXPECT_EQ(find_parameter_key("'s", "s"), nullptr);
    EXPECT_NE(find_parameter_key("s'", "s"), nullptr);  // after the key it does not matter
}

TEST(ParameterKeyFinder, UpperCasePanelNamesNeverMatchKeyLetters) {
    EXPECT_EQ(find_parameter_key("cRADIO_STACK_PANEL", "a"), nullptr);
    EXPECT_EQ(find_parameter_key("CAT", "a"), nullptr);
}

TEST(ParameterKeyFinder, NullAndEmptyTextsFindNothing) {
    EXPECT_EQ(find_parameter_key(nullptr, "a"), nullptr);
    EXPECT_EQ(find_parameter_key("", "a"), nullptr);
    EXPECT_EQ(find_parameter_key("abc", ""), nullptr);
    EXPECT_EQ(find_parameter_key("abc", nullptr), nullptr);
}
