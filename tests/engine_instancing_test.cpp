// One engine gauge serving four engines: the placement's parameter string
// names the engine, and its copy of the records reads that engine's
// variables and shows that engine's help texts.
#include <algorithm>
#include <cstring>
#include <iterator>

#include "framework/engine_instancing.h"
#include "tests/host_fixture.h"

namespace {

struct EngineCase {
    const char* parameters;
    int engine;
};

// The engine each string chooses: the first of 1, 2, 3, 4 the key finder
// sees, tested in that order; engine 1 without any.
const EngineCase kEngineCases[] = {
    {nullptr, 1}, {"", 1},    {"1", 1},     {"2", 2},   {"3", 3},      {"4", 4},
    {"12", 1},    {"21", 1},  {"3 # 1", 3}, {"# 2", 1}, {"5", 1},      {"engine 4", 4},
    {"43", 3},    {"x/4", 1}, {"'2", 1},    {"2'1", 2}, {"0009", 1},   {"engine two", 1},
};

uint32_t needle_token(sim::Placement& p) { return p.record<NeedleElement>(1)->source.token; }

// The help ids of the tooltip records of a placement, in list order.
std::vector<uint32_t> tooltip_ids(sim::Placement& p) {
    std::vector<uint32_t> ids;
    for (MouseRect* r = p.mouse_rects(); r->type != MOUSE_END; ++r)
        if (r->type == MOUSE_TOOLTIP) ids.push_back(r->help_id);
    return ids;
}

}  // namespace

TEST_F(ModuleTest, TachometerReadsTheEngineItsParameterStringNames) {
    for (const EngineCase& c : kEngineCases) {
        SCOPED_TRACE(c.parameters ? c.parameters : "(none)");
        sim::Placement& p = place("Tachometer", c.parameters);
        EXPECT_EQ(needle_token(p), 390u + 39u * (c.engine - 1));
        EXPECT_EQ(tooltip_ids(p), std::vector<uint32_t>{12817u + (c.engine - 1)});
    }
}

TEST_F(ModuleTest, ManifoldPressureMovesItsNeedleAndBothHalvesToTheEngine) {
    for (const EngineCase& c : kEngineCases) {
        SCOPED_TRACE(c.parameters ? c.parameters : "(none)");
        sim::Placement& p = place("Manifold_Pressure", c.parameters);
        uint32_t n = c.engine - 1;
        EXPECT_EQ(needle_token(p), 391u + 39u * n);
        EXPECT_EQ(tooltip_ids(p), (std::vector<uint32_t>{12449u + n, 12457u + n}));
    }
    sim::Placement& second = place("Manifold_Pressure", "2");
    EXPECT_EQ(second.tooltip(10, 10), "[help 0x30A2]");
    EXPECT_EQ(second.tooltip(290, 10), "[help 0x30AA]");
}

TEST_F(ModuleTest, TwoTachometersEachFollowTheirOwnEngine) {
    sim::Placement& left = place("Tachometer", "1");
    sim::Placement& right = place("Tachometer", "2");
    EXPECT_EQ(needle_token(left), 390u);
    EXPECT_EQ(needle_token(right), 429u);
    EXPECT_EQ(left.tooltip(150, 150), "[help 0x3211]");   // 12817
    EXPECT_EQ(right.tooltip(150, 150), "[help 0x3212]");  // 12818
    // The module's own records still describe engine 1.
    const auto* original = reinterpret_cast<const NeedleElement*>(left.original()->elements[0]->next[0]);
    EXPECT_EQ(original->source.token, 390u);
    EXPECT_EQ(left.original()->mouse_rects[1].help_id, 12817u);

    host.set_var(390, 400);
    host.set_var(429, 4000);
    host.cycle();
    EXPECT_EQ(left.element(1).value, 400);
    EXPECT_EQ(right.element(1).value, 4000);
    EXPECT_NE(left.element(1).angle, right.element(1).angle);
    EXPECT_TRUE(host.tokens_read.count(390));
    EXPECT_TRUE(host.tokens_read.count(429));
}

TEST_F(ModuleTest, ARepeatedInstallNoticeDoesNotMoveTheEngineAgain) {
    sim::Placement& p = place("Tachometer", "2");
    host.send(p, SERVICE_INSTALL, module->resource_handle());
    host.send(p, SERVICE_INSTALL, module->resource_handle());
    EXPECT_EQ(needle_token(p), 429u);
    EXPECT_EQ(tooltip_ids(p), std::vector<uint32_t>{12818u});
    // Nor does any other notice.
    for (int32_t code : {0, 6, 12, 14, 77}) host.send(p, code);
    EXPECT_EQ(needle_token(p), 429u);
}

TEST(EngineInstancing, TokensMoveByTheirRangesStrideAndOthersStay) {
    struct {
        uint32_t token, stride;
    } cases[] = {{127, 35}, {161, 35}, {162, 0}, {126, 0}, {390, 39}, {428, 39}, {429, 0}, {558, 10}, {567, 10},
                 {608, 1},  {609, 0},  {624, 19}, {642, 19}, {700, 8}, {707, 8}, {732, 2}, {733, 2}, {761, 2},
                 {762, 2},  {801, 1},  {883, 1},  {887, 1},  {891, 1}, {895, 1}, {899, 1}, {896, 0}, {65, 0},
                 {0, 0},    {783, 0},  {0xFFFFFFFF, 0}};
    for (const auto& c : cases)
        for (int engine = 1; engine <= 4; ++engine) {
            SCOPED_TRACE(testing::Message() << c.token << " engine " << engine);
            EXPECT_EQ(engine_token(c.token, engine), c.token + (engine - 1) * c.stride);
        }
}

TEST(EngineInstancing, KeyEventsAndHelpIdsMoveByTheirOwnStrides) {
    EXPECT_EQ(engine_event(65820, 2), 65821u);  // throttle
    EXPECT_EQ(engine_event(65927, 3), 65939u);
    EXPECT_EQ(engine_event(65932, 2), 65938u);
    EXPECT_EQ(engine_event(66005, 4), 66020u);
    EXPECT_EQ(engine_event(66082, 2), 66085u);
    EXPECT_EQ(engine_event(66645, 2), 66646u);
    EXPECT_EQ(engine_event(66541, 2), 66541u);  // tail-wheel lock: one for the aircraft
    EXPECT_EQ(engine_event(65821, 2), 65821u);
    EXPECT_EQ(engine_help_id(12817, 4), 12820u);
    EXPECT_EQ(engine_help_id(13268, 2), 13269u);
    EXPECT_EQ(engine_help_id(12818, 2), 12818u);
    EXPECT_EQ(engine_help_id(43910, 2), 43910u);
}

namespace {

// The host's numbering of engine identifiers: ranges of engine-1 values
// and the distance from one engine's value to the next's.
struct Range {
    uint32_t first, last, stride;
};
const Range kTokenRanges[] = {{127, 161, 35}, {390, 428, 39}, {558, 567, 10}, {608, 608, 1}, {624, 642, 19},
                              {700, 707, 8},  {732, 733, 2},  {761, 762, 2},  {801, 801, 1}, {883, 883, 1},
                              {887, 887, 1},  {891, 891, 1},  {895, 895, 1},  {899, 899, 1}};
const Range kEventRanges[] = {
    {65538, 65538, 1}, {65820, 65820, 1}, {65919, 65919, 1}, {65923, 65923, 1}, {65927, 65932, 6},
    {65963, 65967, 5}, {65983, 65987, 5}, {66003, 66007, 5}, {66081, 66083, 3}, {66126, 66127, 2},
    {66300, 66300, 1}, {66313, 66313, 1}, {66329, 66330, 2}, {66340, 66340, 1}, {66345, 66345, 1},
    {66349, 66349, 1}, {66359, 66359, 1}, {66363, 66363, 1}, {66400, 66400, 1}, {66420, 66422, 3},
    {66484, 66484, 1}, {66488, 66488, 1}, {66494, 66494, 1}, {66537, 66537, 1}, {66635, 66635, 1},
    {66640, 66640, 1}, {66645, 66645, 1}};
const uint32_t kEngineHelpIds[] = {12449, 12457, 12465, 12481, 12486, 12491, 12497, 12505, 12513, 12521, 12529,
                                   12537, 12545, 12553, 12689, 12697, 12705, 12713, 12737, 12742, 12747, 12753,
                                   12758, 12769, 12777, 12793, 12817, 12851, 12945, 12960, 12968, 12977, 13016,
                                   13033, 13041, 13137, 13148, 13150, 13161, 13163, 13200, 13268};

template <size_t Count>
uint32_t stride_in(const Range (&ranges)[Count], uint32_t v) {
    for (const Range& r : ranges)
        if (v >= r.first && v <= r.last) return r.stride;
    return 0;
}

// Both ends of every range and the values just outside them, for every
// engine.
template <size_t Count, typename Move>
void check_ranges(const Range (&ranges)[Count], Move move) {
    for (const Range& r : ranges)
        for (uint32_t v : {r.first - 1, r.first, r.last, r.last + 1})
            for (int engine = 1; engine <= 4; ++engine)
                EXPECT_EQ(move(v, engine), v + uint32_t(engine - 1) * stride_in(ranges, v)) << v << " engine " << engine;
}

}  // namespace

TEST(EngineInstancing, EveryRangeOfTheHostsEngineNumberingMovesByItsStride) {
    check_ranges(kTokenRanges, engine_token);
    check_ranges(kEventRanges, engine_event);
    for (uint32_t id : kEngineHelpIds)
        for (uint32_t v : {id - 1, id, id + 1}) {
            bool listed = std::find(std::begin(kEngineHelpIds), std::end(kEngineHelpIds), v) != std::end(kEngineHelpIds);
            for (int engine = 1; engine <= 4; ++engine)
                EXPECT_EQ(engine_help_id(v, engine), v + (listed ? uint32_t(engine - 1) : 0u)) << v;
        }
}

TEST(EngineInstancing, EveryKindMovesAllItsSourceVariablesAndNothingElse) {
    SpriteElement sprite{};
    sprite.header.kind = ELEMENT_SPRITE;
    sprite.source_x.token = 390;
    sprite.source_y.token = 391;
    sprite.source_rotation.token = 608;
    StringElement text{};
    text.header.kind = ELEMENT_STRING;
    text.source[0].token = 127;
    text.source[1].token = 65;
    text.source[2].token = 700;
    ElementHeader* const sprite_list[] = {&sprite.header, nullptr};
    text.header.next = sprite_list;
    SliderElement slider{};
    slider.header.kind = ELEMENT_SLIDER;
    slider.header.bitmap = 390;  // not a token: stays
    slider.source_x.token = 392;
    slider.source_y.token = 393;
    MovingImageElement moving{};
    moving.header.kind = ELEMENT_MOVING_IMAGE;
    moving.source_x.token = 558;
    moving.source_y.token = 0;
    IconElement icon{};
    icon.header.kind = ELEMENT_ICON;
    icon.source.token = 732;
    StaticImageElement picture{};
    picture.header.kind = ELEMENT_STATIC_IMAGE;
    ElementHeader* const empty_list[] = {nullptr};
    icon.header.next = empty_list;
    ElementHeader* const list[] = {&text.header, &slider.header, &moving.header, &icon.header, &picture.header,
                                   nullptr};

    rebind_elements(list, 3);
    EXPECT_EQ(sprite.source_x.token, 468u);
    EXPECT_EQ(sprite.source_y.token, 469u);
    EXPECT_EQ(sprite.source_rotation.token, 610u);
    EXPECT_EQ(text.source[0].token, 197u);
    EXPECT_EQ(text.source[1].token, 65u);
    EXPECT_EQ(text.source[2].token, 716u);
    EXPECT_EQ(slider.source_x.token, 470u);
    EXPECT_EQ(slider.source_y.token, 471u);
    EXPECT_EQ(slider.header.bitmap, 390);
    EXPECT_EQ(moving.source_x.token, 578u);
    EXPECT_EQ(moving.source_y.token, 0u);
    EXPECT_EQ(icon.source.token, 736u);

    // Null and empty lists are left alone.
    rebind_elements(nullptr, 2);
    rebind_elements(empty_list, 2);

    // An element of a kind no host draws is left as it is, whatever its
    // bytes hold.
    for (uint32_t kind : {7u, 8u, 0xFFFFFFFFu}) {
        SpriteElement unknown{};
        std::memset(&unknown, 0, sizeof unknown);
        unknown.header.kind = kind;
        unknown.source_x.token = 390;
        unknown.source_y.token = 127;
        SpriteElement before = unknown;
        ElementHeader* const unknown_list[] = {&unknown.header, nullptr};
        rebind_elements(unknown_list, 2);
        EXPECT_EQ(std::memcmp(&unknown, &before, sizeof unknown), 0) << kind;
    }
}

TEST(EngineInstancing, MouseListsMoveChildEventsAndTooltipIdsOnly) {
    MouseRect rects[] = {
        {.type = MOUSE_PARENT, .help_id = 12817},
        {.type = MOUSE_TOOLTIP, .help_id = 12817},
        {.type = MOUSE_CHILD, .help_id = 12817, .event_id = 65820},
        {.type = MOUSE_CHILD, .event_id = 66541},
        {.type = MOUSE_PARENT_END, .help_id = 12817},
        {.type = MOUSE_END, .help_id = 12817},
    };
    rebind_mouse_rects(rects, 2);
    EXPECT_EQ(rects[0].help_id, 12817u);
    EXPECT_EQ(rects[1].help_id, 12818u);
    EXPECT_EQ(rects[2].help_id, 12817u);
    EXPECT_EQ(rects[2].event_id, 65821u);
    EXPECT_EQ(rects[3].event_id, 66541u);
    EXPECT_EQ(rects[4].help_id, 12817u);
    EXPECT_EQ(rects[5].help_id, 12817u);
    rebind_mouse_rects(nullptr, 2);
}

TEST(EngineInstancing, TheGaugeCallbackSurvivesHeadersWithoutRecords) {
    engine_gauge_callback(nullptr, SERVICE_INSTALL, 0);
    GaugeHeader bare{};
    bare.parameters = "2";
    engine_gauge_callback(&bare, SERVICE_INSTALL, 0);
    ElementHeader* const empty_list[] = {nullptr};
    GaugeHeader empty{};
    empty.elements = empty_list;
    engine_gauge_callback(&empty, SERVICE_INSTALL, 0);
    EXPECT_EQ(bare.user_data, 1u);
}
