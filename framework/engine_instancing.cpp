#include "framework/engine_instancing.h"

#include <cstddef>

#include "framework/gauge_dispatch.h"
#include "framework/parameters.h"

namespace {

// Identifiers first..last of engine 1; engine N's are (N - 1) x stride on.
struct StrideRange {
    uint32_t first, last, stride;
};

const StrideRange kTokenStrides[] = {
    {127, 161, 35}, {390, 428, 39}, {558, 567, 10}, {608, 608, 1}, {624, 642, 19},
    {700, 707, 8},  {732, 733, 2},  {761, 762, 2},  {801, 801, 1}, {883, 883, 1},
    {887, 887, 1},  {891, 891, 1},  {895, 895, 1},  {899, 899, 1},
};

const StrideRange kEventStrides[] = {
    {65538, 65538, 1}, {65820, 65820, 1}, {65919, 65919, 1}, {65923, 65923, 1}, {65927, 65932, 6},
    {65963, 65967, 5}, {65983, 65987, 5}, {66003, 66007, 5}, {66081, 66083, 3}, {66126, 66127, 2},
    {66300, 66300, 1}, {66313, 66313, 1}, {66329, 66330, 2}, {66340, 66340, 1}, {66345, 66345, 1},
    {66349, 66349, 1}, {66359, 66359, 1}, {66363, 66363, 1}, {66400, 66400, 1}, {66420, 66422, 3},
    {66484, 66484, 1}, {66488, 66488, 1}, {66494, 66494, 1}, {66537, 66537, 1}, {66635, 66635, 1},
    {66640, 66640, 1}, {66645, 66645, 1},
};

// Help texts of engine 1 whose engine-2 text is the next id.
const uint32_t kEngineHelpIds[] = {
    12449, 12457, 12465, 12481, 12486, 12491, 12497, 12505, 12513, 12521, 12529, 12537, 12545, 12553,
    12689, 12697, 12705, 12713, 12737, 12742, 12747, 12753, 12758, 12769, 12777, 12793, 12817, 12851,
    12945, 12960, 12968, 12977, 13016, 13033, 13041, 13137, 13148, 13150, 13161, 13163, 13200, 13268,
};

template <size_t N>
uint32_t stride_of(uint32_t value, const StrideRange (&ranges)[N]) {
    for (const StrideRange& r : ranges)
        if (value >= r.first && value <= r.last) return r.stride;
    return 0;
}

uint32_t help_id_stride(uint32_t help_id) {
    for (uint32_t id : kEngineHelpIds)
        if (id == help_id) return 1;
    return 0;
}

uint32_t engines_after_first(int engine) { return engine > 1 ? static_cast<uint32_t>(engine - 1) : 0; }

// Where each element kind keeps its source variables (by kind number).
struct KindSources {
    unsigned count;
    size_t offset[3];
};
const KindSources kSourcesByKind[] = {
    /* static image */ {0, {}},
    /* needle */ {1, {offsetof(NeedleElement, source)}},
    /* string */
    {3, {offsetof(StringElement, source[0]), offsetof(StringElement, source[1]), offsetof(StringElement, source[2])}},
    /* slider */ {2, {offsetof(SliderElement, source_x), offsetof(SliderElement, source_y)}},
    /* icon */ {1, {offsetof(IconElement, source)}},
    /* moving image */ {2, {offsetof(MovingImageElement, source_x), offsetof(MovingImageElement, source_y)}},
    /* sprite */
    {3, {offsetof(SpriteElement, source_x), offsetof(SpriteElement, source_y), offsetof(SpriteElement, source_rotation)}},
};

void rebind_element(ElementHeader* element, int engine) {
    if (element->kind >= sizeof kSourcesByKind / sizeof kSourcesByKind[0]) return;
    const KindSources& sources = kSourcesByKind[element->kind];
    for (unsigned i = 0; i < sources.count; ++i) {
        auto* var = reinterpret_cast<VarRecord*>(reinterpret_cast<unsigned char*>(element) + sources.offset[i]);
        var->token = engine_token(var->token, engine);
    }
}

void install_engine_gauge(GaugeHeader* gauge, HostWord) {
    if (!gauge || gauge->user_data != 0) return;
    int engine = engine_index(gauge->parameters);
    rebind_mouse_rects(gauge->mouse_rects, engine);
    if (gauge->elements && gauge->elements[0]) rebind_elements(gauge->elements, engine);
    gauge->user_data = 1;  // this copy now belongs to its engine
}

const GaugeServiceOps engine_gauge_ops = {.install = install_engine_gauge};

}  // namespace

int engine_index(const char* parameters) {
    static const char* const kEngineDigits[] = {"1", "2", "3", "4"};
    for (int i = 0; i < 4; ++i)
        if (find_parameter_key(parameters, kEngineDigits[i])) return i + 1;
    return 1;
}

uint32_t engine_token(uint32_t token, int engine) {
    return token + engines_after_first(engine) * stride_of(token, kTokenStrides);
}

uint32_t engine_event(uint32_t event_id, int engine) {
    return event_id + engines_after_first(engine) * stride_of(event_id, kEventStrides);
}

uint32_t engine_help_id(uint32_t help_id, int engine) {
    return help_id + engines_after_first(engine) * help_id_stride(help_id);
}

// The rest of the list, then what is drawn over the first element, then
// the first element itself: every element of the tree once.
void rebind_elements(ElementHeader* const* list, int engine) {
    if (!list || !list[0]) return;
    rebind_elements(list + 1, engine);
    rebind_elements(list[0]->next, engine);
    rebind_element(list[0], engine);
}

void rebind_mouse_rects(MouseRect* rects, int engine) {
    if (!rects) return;
    for (MouseRect* r = rects; r->type != MOUSE_END; ++r) {
        if (r->type == MOUSE_TOOLTIP) r->help_id = engine_help_id(r->help_id, engine);
        if (r->type == MOUSE_CHILD) r->event_id = engine_event(r->event_id, engine);
    }
}

void GAUGE_CALL engine_gauge_callback(GaugeHeader* gauge, int32_t service, HostWord extra) {
    dispatch_service(engine_gauge_ops, gauge, service, extra);
}
