// The registration plate: the ATC identifier or a configured text, in the
// configured colour and font, never written past its buffers.
#include <cstring>
#include <string>

#include "tests/host_fixture.h"

namespace {

constexpr const char* kAtcId = "(A:ATC ID,string)";

class RegistrationTest : public ModuleTest {
protected:
    void atc(const char* id) {
        sim::ExpressionAnswer answer;
        if (id) answer.string = id;
        host.set_expression(kAtcId, answer);
    }
    sim::Placement& plate(const char* parameters = nullptr) { return place("Registration", parameters); }
    static StringElement* text_of(sim::Placement& p) { return p.record<StringElement>(1); }
    static std::string shown(sim::Placement& p) { return p.element(1).text; }
    static std::string font(sim::Placement& p) {
        const char* name = text_of(p)->font_name;
        return std::string(name, strnlen(name, sizeof text_of(p)->font_name));
    }
};

}  // namespace

TEST_F(RegistrationTest, WithoutParametersShowsTheAtcIdentifierInWhiteArial) {
    atc("F-BGNX");
    sim::Placement& p = plate();
    ASSERT_EQ(p.element_count(), 2u);
    p.compute_drawn();
    EXPECT_EQ(p.element(0).bitmap, 50);
    StringElement* s = text_of(p);
    EXPECT_EQ(s->text_colour, 0xFFFFFFu);
    EXPECT_EQ(s->background_colour, 0u);
    EXPECT_EQ(s->highlight_colour, 0x5C5C5Cu);
    EXPECT_EQ(font(p), "Arial");
    EXPECT_EQ(s->max_chars, 7u);
    EXPECT_EQ(s->layout_flags, 0x25u);
    host.cycle();
    EXPECT_EQ(shown(p), "F-BGNX");
    ASSERT_FALSE(host.expressions_evaluated.empty());
    EXPECT_EQ(host.expressions_evaluated.back(), kAtcId);
    atc("N12345");  // fetched again on every update
    host.cycle();
    EXPECT_EQ(shown(p), "N12345");
    EXPECT_EQ(p.tooltip(75, 12), "Registration number");
    EXPECT_TRUE(p.children().empty());
}

TEST_F(RegistrationTest, BeforeTheFirstUpdateThePlateIsEmpty) {
    atc("F-BGNX");
    sim::Placement& p = plate();
    p.compute_drawn();  // the host draws before any update notice
    EXPECT_EQ(shown(p), "");
    host.cycle();
    EXPECT_EQ(shown(p), "F-BGNX");
}

TEST_F(RegistrationTest, AnIdentifierThatIsNoStringLeavesTheLastTextShown) {
    sim::Placement& p = plate();
    atc(nullptr);
    host.cycle();
    EXPECT_EQ(shown(p), "");
    atc("G-AMPY");
    host.cycle();
    atc(nullptr);
    host.cycles(3);
    EXPECT_EQ(shown(p), "G-AMPY");
}

TEST_F(RegistrationTest, IdentifierIsCutAtSevenCharactersAndAtItsFirstSpace) {
    sim::Placement& p = plate();
    struct Case {
        const char* id;
        const char* shown;
    } cases[] = {{"ABCDEFGHIJKLMNOP", "ABCDEFG"}, {"F_ABCD", "F ABCD"}, {"F-AB CD", "F-AB"},
                 {"A_B_C_D", "A B C D"},      {"AB/C D", "AB/C D"}, {"A#B_C", "A#B_C"},
                 {"", ""},                    {" LEAD", ""},        {"__", "  "}};
    for (const Case& c : cases) {
        atc(c.id);
        host.cycle();
        EXPECT_EQ(shown(p), c.shown) << c.id;
    }
}

TEST_F(RegistrationTest, FixedTextInBlack) {
    atc("IGNORED");
    sim::Placement& p = plate("tF-ABCD r0 g0 b0");
    host.cycle();
    EXPECT_EQ(shown(p), "F-ABCD");
    EXPECT_EQ(text_of(p)->text_colour, 0u);
    sim::Placement& q = plate("tF_ABCD");
    host.cycle();
    EXPECT_EQ(shown(q), "F ABCD");
    sim::Placement& r = plate("xtF-ABCD");  // "t" not first: the identifier
    host.cycle();
    EXPECT_EQ(shown(r), "IGNORED");
}

TEST_F(RegistrationTest, OverLongFixedTextIsCutAtTheBuffer) {
    sim::Placement& p = plate("tABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789");
    host.cycle();
    EXPECT_EQ(shown(p), "ABCDEFG");
    EXPECT_EQ(std::strlen(text_of(p)->text), 7u);
    // Further keys make the string long before its first space.
    sim::Placement& q = plate("tHB-XYZW r255 g0 b0");
    host.cycle();
    EXPECT_EQ(shown(q), "HB-XYZW");
    EXPECT_EQ(text_of(q)->text_colour, 0x0000FFu);
    sim::Placement& e = plate("t");
    host.cycle();
    EXPECT_EQ(shown(e), "");
}

TEST_F(RegistrationTest, ColourChannelsClampAndDefault) {
    struct Case {
        const char* parameters;
        uint32_t colour;
    } cases[] = {
        {"r300", 0xFFFFFF},        {"r-5", 0xFFFFFF},      {"rX", 0xFFFF00},         {"r", 0xFFFF00},
        {"r12 g34 b56", 0x38220C}, {"g0", 0xFF00FF},       {"b0", 0x00FFFF},         {"r+20", 0xFFFF14},
        {"r 7", 0xFFFF07},         {"r99999999999999999999999", 0xFFFFFF},           {"r-99999999999999999999", 0xFFFFFF},
        {"r256", 0xFFFFFF},        {"r255g0b0", 0x0000FF}, {"# r0", 0xFFFFFF},       {"x/g0", 0xFFFFFF},
        {"r0x10", 0xFFFF00},       {"r1e9", 0xFFFF01},
    };
    for (const Case& c : cases) {
        sim::Placement& p = plate(c.parameters);
        EXPECT_EQ(text_of(p)->text_colour, c.colour) << c.parameters;
    }
    // A text's own lower-case letters count as keys: "abc" sets blue 0.
    sim::Placement& p = plate("tabc");
    host.cycle();
    EXPECT_EQ(shown(p), "abc");
    EXPECT_EQ(text_of(p)->text_colour, 0x00FFFFu);
}

TEST_F(RegistrationTest, FontIsTheRestAfterFAndCutsTheString) {
    sim::Placement& p = plate("tD-EFGH r0 fCourier New");  // an upper-case F is no key
    host.cycle();
    EXPECT_EQ(font(p), "Courier New");
    EXPECT_STREQ(p.header()->parameters, "tD-EFGH r0 ");
    EXPECT_EQ(shown(p), "D-EFGH");
    EXPECT_EQ(text_of(p)->text_colour, 0xFFFF00u);
    // A lower-case f in the text cuts it there and starts the font name;
    // the g after it went with the cut.
    sim::Placement& cafe = plate("tcafe g0");
    host.cycle();
    EXPECT_EQ(font(cafe), "e g0");
    EXPECT_STREQ(cafe.header()->parameters, "tca");
    EXPECT_EQ(shown(cafe), "ca");
    EXPECT_EQ(text_of(cafe)->text_colour, 0xFFFFFFu);
    sim::Placement& q = plate("r0 fTimes g0");  // keys after the f are part of the font name
    EXPECT_EQ(font(q), "Times g0");
    EXPECT_EQ(text_of(q)->text_colour, 0xFFFF00u);
    sim::Placement& r = plate("tAB fX");
    host.cycle();
    EXPECT_EQ(font(r), "X");
    EXPECT_EQ(shown(r), "AB");
    sim::Placement& empty = plate("f");
    EXPECT_EQ(font(empty), "");
}

TEST_F(RegistrationTest, OverLongFontNameIsCutAtItsField) {
    const std::string long_name(200, 'W');
    std::string parameters = "f" + long_name;
    sim::Placement& p = plate(parameters.c_str());
    StringElement* s = text_of(p);
    EXPECT_EQ(font(p), std::string(31, 'W'));
    EXPECT_EQ(s->font_name[31], '\0');
    // The fields after the name are untouched.
    EXPECT_EQ(s->font_weight, 400u);
    EXPECT_EQ(s->charset, 1u);
    EXPECT_EQ(s->layout_flags, 0x25u);
    EXPECT_EQ(s->max_chars, 7u);
    sim::Placement& exact = plate(("f" + std::string(31, 'Q')).c_str());
    EXPECT_EQ(font(exact), std::string(31, 'Q'));
    sim::Placement& shorter = plate("fAB");  // the rest of the field is cleared
    EXPECT_EQ(std::memcmp(text_of(shorter)->font_name, "AB\0\0\0\0\0\0", 8), 0);
}

TEST_F(RegistrationTest, TheCutAtFIsMadeOnlyInThePlacementsOwnCopy) {
    const char* configured = "tAB fArial Black";
    sim::Placement& first = plate(configured);
    sim::Placement& second = plate("tCD");
    sim::Placement& third = plate(configured);
    EXPECT_STREQ(configured, "tAB fArial Black");
    EXPECT_STREQ(first.header()->parameters, "tAB ");
    EXPECT_STREQ(second.header()->parameters, "tCD");
    EXPECT_STREQ(third.header()->parameters, "tAB ");
    EXPECT_EQ(font(first), "Arial Black");
    EXPECT_EQ(font(second), "Arial");
    EXPECT_EQ(font(third), "Arial Black");
    host.cycle();
    EXPECT_EQ(shown(first), "AB");
    EXPECT_EQ(shown(second), "CD");
    // The module's own record keeps its font for the next placement.
    EXPECT_EQ(font(plate()), "Arial");
}

TEST_F(RegistrationTest, CommentCharactersProtectSpacesUnderscoresAndKeys) {
    sim::Placement& p = plate("tA/B_C");
    host.cycle();
    EXPECT_EQ(shown(p), "A/B_C");
    sim::Placement& q = plate("tX_'Y Z");
    host.cycle();
    EXPECT_EQ(shown(q), "X 'Y Z");
    sim::Placement& r = plate("tN#r0 fMono");  // neither r, f nor the space counts after the '#'
    host.cycle();
    EXPECT_EQ(shown(r), "N#r0 fM");
    EXPECT_EQ(font(r), "Arial");
    EXPECT_EQ(text_of(r)->text_colour, 0xFFFFFFu);
}

TEST_F(RegistrationTest, EmptyParametersAreNoParameters) {
    atc("OO-AUB");
    sim::Placement& p = plate("");
    host.cycle();
    EXPECT_EQ(shown(p), "OO-AUB");
    EXPECT_EQ(text_of(p)->text_colour, 0xFFFFFFu);
}
