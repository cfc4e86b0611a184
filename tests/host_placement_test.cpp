// What the host makes of a gauge's records when it places the gauge, on
// small hand-made gauges that reach the edges the module does not: the
// bytes the host owns in each copied record, the needle tables it takes up
// (one point, points but no table), the variables it feeds every kind of
// element, and records that end at the very end of the module's memory.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#if defined(__unix__)
#include <sys/mman.h>
#include <unistd.h>
#endif

#include "host/host_fields.h"
#include "host/sim_host.h"

namespace {

class PlacedRecords : public ::testing::Test {
protected:
    void TearDown() override {
        for (const std::string& f : host.faults) ADD_FAILURE() << "host fault: " << f;
    }

    // Places a gauge whose element chain is `chain`, each element over the
    // one before.
    sim::Placement& place(const std::vector<ElementHeader*>& chain, const char* parameters = nullptr) {
        lists.assign(chain.size(), {nullptr, nullptr});
        for (size_t i = 0; i < chain.size(); ++i) {
            lists[i][0] = chain[i];
            if (i + 1 < chain.size()) chain[i]->next = lists[i + 1].data();
        }
        header = GaugeHeader{};
        header.version = GAUGE_HEADER_VERSION;
        header.name = "Hand_Made";
        header.elements = chain.empty() ? nullptr : lists[0].data();
        std::string error;
        sim::Placement* p = host.place_header(nullptr, &header, parameters, &error);
        EXPECT_NE(p, nullptr) << error;
        return *p;
    }

    sim::SimHost host;
    GaugeHeader header{};
    std::vector<std::vector<ElementHeader*>> lists;
};

template <typename Record>
ElementHeader* head(Record& r) {
    return &r.header;
}

// True when every byte of the field is the host's pattern.
bool host_owned_bytes(const void* field, size_t size) {
    const auto* b = static_cast<const uint8_t*>(field);
    return std::all_of(b, b + size, [](uint8_t x) { return x == sim::HOST_FIELD_PATTERN; });
}
template <size_t N>
bool host_owned(const uint8_t (&field)[N]) {
    return host_owned_bytes(field, N);
}
bool host_owned(const VarRecord& v) { return host_owned_bytes(v.host_word, sizeof v.host_word); }
bool host_owned_word(uint32_t word) { return host_owned_bytes(&word, sizeof word); }

}  // namespace

// The module leaves the host's fields zero; in the placement's copy they
// hold what the simulator keeps there (here a pattern), never zero, so a
// gauge that reads them sees no kinder value than it would in flight. The
// module's own fields beside them are copied as they were.
TEST_F(PlacedRecords, TheHostsBytesOfEveryKindOfRecordAreTheHostsAndTheModulesAreKept) {
    StaticImageElement background{.header = {.kind = ELEMENT_STATIC_IMAGE, .bitmap = 1}};
    NeedleElement needle{.header = {.kind = ELEMENT_NEEDLE, .bitmap = 2}, .max_travel = 7};
    StringElement text{.header = {.kind = ELEMENT_STRING, .bitmap = -1}, .box_width = 33, .max_chars = 5};
    SliderElement slider{.header = {.kind = ELEMENT_SLIDER, .bitmap = 3}, .scale_x = 2.5};
    IconElement icon{.header = {.kind = ELEMENT_ICON, .bitmap = 4}, .image_count = 3};
    MovingImageElement moving{.header = {.kind = ELEMENT_MOVING_IMAGE, .bitmap = 5}, .min_x = -4, .max_y = 9};
    SpriteElement sprite{.header = {.kind = ELEMENT_SPRITE, .bitmap = 7}, .scale_rotation = 0.5};
    sim::Placement& p =
        place({head(background), head(needle), head(text), head(slider), head(icon), head(moving), head(sprite)});
    ASSERT_EQ(p.element_count(), 7u);

    const GaugeHeader* g = p.header();
    EXPECT_TRUE(host_owned_word(g->host_a));
    for (uint32_t word : g->host_b) EXPECT_TRUE(host_owned_word(word));
    for (size_t i = 0; i < p.element_count(); ++i) {
        const ElementHeader* e = p.record<ElementHeader>(i);
        EXPECT_EQ(uint32_t(e->host_previous_x), 0xCDCDCDCDu) << i;
        EXPECT_EQ(uint32_t(e->host_previous_y), 0xCDCDCDCDu) << i;
        EXPECT_EQ(reinterpret_cast<uintptr_t>(e->host_previous) & 0xFFFFFFFFu, 0xCDCDCDCDu) << i;
    }

    EXPECT_TRUE(host_owned(p.record<StaticImageElement>(0)->host));

    const auto* n = p.record<NeedleElement>(1);
    EXPECT_TRUE(host_owned(n->source));
    EXPECT_TRUE(host_owned(n->host_a) && host_owned(n->host_b) && host_owned(n->host_c));
    EXPECT_EQ(n->max_travel, 7);

    const auto* s = p.record<StringElement>(2);
    for (const VarRecord& v : s->source) EXPECT_TRUE(host_owned(v));
    EXPECT_TRUE(host_owned(s->host_a));
    EXPECT_TRUE(host_owned_word(s->host_b));
    EXPECT_TRUE(host_owned(s->host_c) && host_owned(s->host_d) && host_owned(s->host_e) && host_owned(s->host_f));
    EXPECT_EQ(s->box_width, 33);
    EXPECT_EQ(s->max_chars, 5u);
    ASSERT_NE(s->text, nullptr);  // the host's buffer, empty until the gauge writes
    EXPECT_EQ(s->text[0], 0);

    const auto* sl = p.record<SliderElement>(3);
    EXPECT_TRUE(host_owned(sl->source_x) && host_owned(sl->source_y));
    EXPECT_TRUE(host_owned(sl->host_a) && host_owned(sl->host_b));
    EXPECT_EQ(sl->scale_x, 2.5);

    const auto* ic = p.record<IconElement>(4);
    EXPECT_TRUE(host_owned(ic->source));
    EXPECT_TRUE(host_owned(ic->host_a));
    EXPECT_TRUE(host_owned_word(ic->host_b));
    EXPECT_EQ(ic->image_count, 3u);

    const auto* m = p.record<MovingImageElement>(5);
    EXPECT_TRUE(host_owned(m->source_x) && host_owned(m->source_y));
    EXPECT_TRUE(host_owned(m->host_a) && host_owned(m->host_b));
    EXPECT_EQ(m->min_x, -4);
    EXPECT_EQ(m->max_y, 9);

    const auto* sp = p.record<SpriteElement>(6);
    EXPECT_TRUE(host_owned(sp->source_x) && host_owned(sp->source_y) && host_owned(sp->source_rotation));
    EXPECT_TRUE(host_owned(sp->host_a) && host_owned(sp->host_b));
    EXPECT_EQ(sp->scale_rotation, 0.5);

    // The module's own records are untouched.
    EXPECT_EQ(needle.host_a[0], 0);
    EXPECT_EQ(text.host_f[7], 0);
    EXPECT_EQ(moving.host_b[15], 0);
    EXPECT_EQ(header.host_a, 0u);
}

// Every variable of every kind of element is read again each cycle: what
// the simulator holds is what the element shows.
TEST_F(PlacedRecords, EveryElementShowsEachOfItsVariables) {
    StaticImageElement background{.header = {.kind = ELEMENT_STATIC_IMAGE, .bitmap = 1}};
    NeedleElement needle{.header = {.kind = ELEMENT_NEEDLE, .bitmap = 2}, .source = {.token = 101}};
    StringElement text{.header = {.kind = ELEMENT_STRING, .bitmap = -1},
                       .source = {{.token = 102}, {.token = 103}, {.token = 104}},
                       .max_chars = 4};
    SliderElement slider{.header = {.kind = ELEMENT_SLIDER, .bitmap = 3},
                         .source_x = {.token = 105}, .scale_x = 2, .source_y = {.token = 106}, .scale_y = -3};
    IconElement icon{.header = {.kind = ELEMENT_ICON, .bitmap = 4}, .source = {.token = 107}, .image_count = 8};
    MovingImageElement moving{.header = {.kind = ELEMENT_MOVING_IMAGE, .bitmap = 5},
                              .source_x = {.token = 108}, .source_y = {.token = 109}};
    SpriteElement sprite{.header = {.kind = ELEMENT_SPRITE, .bitmap = 7},
                         .source_x = {.token = 110}, .scale_x = 1,
                         .source_y = {.token = 111}, .scale_y = 1,
                         .source_rotation = {.token = 112}, .scale_rotation = 10};
    sim::Placement& p =
        place({head(background), head(needle), head(text), head(slider), head(icon), head(moving), head(sprite)});
    for (uint32_t token = 101; token <= 112; ++token) host.set_var(token, token - 100.0);
    host.cycle();

    EXPECT_EQ(p.element(1).value, 1);
    EXPECT_EQ(p.element(1).angle, 1);  // no table: the value is the angle
    const auto* s = p.record<StringElement>(2);
    EXPECT_EQ(p.element(2).value, 2);
    EXPECT_EQ(s->source[1].value, 3);
    EXPECT_EQ(s->source[2].value, 4);
    EXPECT_EQ(p.element(3).dx, 10);
    EXPECT_EQ(p.element(3).dy, -18);
    EXPECT_EQ(p.element(4).image, 7);
    EXPECT_EQ(p.element(5).dx, 8);
    EXPECT_EQ(p.element(5).dy, 9);
    EXPECT_EQ(p.element(6).dx, 10);
    EXPECT_EQ(p.element(6).dy, 11);
    EXPECT_EQ(p.element(6).rotation, 120);

    // And again when the simulator moves on.
    for (uint32_t token = 101; token <= 112; ++token) host.set_var(token, 0.5);
    host.cycle();
    EXPECT_EQ(p.element(5).dx, 0.5);
    EXPECT_EQ(p.element(5).dy, 0.5);
    EXPECT_EQ(p.element(3).dy, -1.5);
    EXPECT_EQ(p.element(6).rotation, 5);
    EXPECT_EQ(p.element(4).image, 0);
    EXPECT_EQ(p.record<StringElement>(2)->source[2].value, 0.5);
}

// A needle of one calibration point points there, whatever its value.
TEST_F(PlacedRecords, ANeedleOfOnePointStaysOnItsPoint) {
    StaticImageElement background{.header = {.kind = ELEMENT_STATIC_IMAGE, .bitmap = 1}};
    NonlinearityEntry table[1] = {{20, 10, 50, 0}};  // left of the pivot: 270 degrees
    NeedleElement needle{.header = {.kind = ELEMENT_NEEDLE, .bitmap = 2, .x = 40, .y = 10},
                         .source = {.token = 120}, .table = table, .table_entries = 1};
    sim::Placement& p = place({head(background), head(needle)});
    EXPECT_EQ(table[0].host_angle, 270);
    for (double v : {-1000.0, 0.0, 50.0, 1e6}) {
        host.set_var(120, v);
        host.cycle();
        EXPECT_EQ(p.element(1).angle, 270) << v;
    }
}

// Entries but no table: named as a fault of the gauge (the simulator would
// read through a null pointer); the needle then takes its value as angle.
TEST_F(PlacedRecords, ANeedleWithEntriesButNoTableIsAFault) {
    StaticImageElement background{.header = {.kind = ELEMENT_STATIC_IMAGE, .bitmap = 1}};
    NeedleElement needle{.header = {.kind = ELEMENT_NEEDLE, .bitmap = 2}, .source = {.token = 121},
                         .table = nullptr, .table_entries = 3};
    NeedleElement plain{.header = {.kind = ELEMENT_NEEDLE, .bitmap = 3}, .source = {.token = 121}};
    sim::Placement& p = place({head(background), head(needle), head(plain)});
    ASSERT_EQ(host.faults, (std::vector<std::string>{"Hand_Made: needle with 3 table entries and no table"}));
    host.faults.clear();
    host.set_var(121, 33);
    host.cycle();
    EXPECT_EQ(p.element(1).angle, 33);
    EXPECT_EQ(p.element(2).angle, 33);
}

#if defined(__unix__)

namespace {

// A page the test can write, followed by one it cannot touch: bytes placed
// at the end of the first page end where the module's memory would.
class GuardedPage {
public:
    GuardedPage() {
        page_ = size_t(sysconf(_SC_PAGESIZE));
        void* m = mmap(nullptr, 2 * page_, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        base_ = m == MAP_FAILED ? nullptr : static_cast<uint8_t*>(m);
        if (base_ && mprotect(base_ + page_, page_, PROT_NONE) != 0) {
            munmap(base_, 2 * page_);
            base_ = nullptr;
        }
    }
    ~GuardedPage() {
        if (base_) munmap(base_, 2 * page_);
    }
    bool ok() const { return base_ != nullptr; }
    // Room for `bytes` that end at the guard.
    void* at_end(size_t bytes) { return base_ + page_ - bytes; }

private:
    size_t page_ = 0;
    uint8_t* base_ = nullptr;
};

}  // namespace

// A parameter string and a needle table that end exactly where readable
// memory ends: the host reads neither a byte past the string's terminator
// nor an entry past the table's last.
TEST_F(PlacedRecords, RecordsAtTheEndOfTheModulesMemoryAreReadNoFurther) {
    GuardedPage strings, tables;
    ASSERT_TRUE(strings.ok() && tables.ok());
    char* parameters = static_cast<char*>(strings.at_end(6));
    std::memcpy(parameters, "left2", 6);

    auto* table = static_cast<NonlinearityEntry*>(tables.at_end(3 * sizeof(NonlinearityEntry)));
    // Pivot at 100,100: points at 0, 90 and 180 degrees for 0, 10 and 30.
    table[0] = {100, 0, 0, 0};
    table[1] = {200, 100, 10, 0};
    table[2] = {100, 200, 30, 0};
    StaticImageElement background{.header = {.kind = ELEMENT_STATIC_IMAGE, .bitmap = 1}};
    NeedleElement needle{.header = {.kind = ELEMENT_NEEDLE, .bitmap = 2, .x = 100, .y = 100},
                         .source = {.token = 130}, .table = table, .table_entries = 3};
    sim::Placement& p = place({head(background), head(needle)}, parameters);
    EXPECT_STREQ(p.header()->parameters, "left2");
    EXPECT_NE(p.header()->parameters, parameters);  // the host's own copy
    for (auto [value, angle] : std::vector<std::pair<double, double>>{{5, 45}, {20, 135}, {30, 180}, {40, 225}}) {
        host.set_var(130, value);
        host.cycle();
        EXPECT_DOUBLE_EQ(p.element(1).angle, angle) << value;
    }
}

#else

TEST_F(PlacedRecords, RecordsAtTheEndOfTheModulesMemoryAreReadNoFurther) {
    GTEST_SKIP() << "needs POSIX memory protection (mmap, mprotect)";
}

#endif
