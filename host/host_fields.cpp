#include "host/host_fields.h"

#include <cstddef>
#include <cstring>

namespace sim {

namespace {

struct HostBytes {
    size_t offset, size;
};

template <typename Record, size_t N>
void fill_host_bytes(Record* record, const HostBytes (&fields)[N]) {
    auto* bytes = reinterpret_cast<uint8_t*>(record);
    for (const HostBytes& f : fields) std::memset(bytes + f.offset, HOST_FIELD_PATTERN, f.size);
}

}  // namespace

#define HOST_BYTES(Record, field) HostBytes{offsetof(Record, field), sizeof(Record::field)}
#define VAR_HOST_BYTES(Record, var) HostBytes{offsetof(Record, var) + offsetof(VarRecord, host_word), sizeof(VarRecord::host_word)}

void fill_host_fields(ElementHeader* e) {
    static constexpr HostBytes header[] = {HOST_BYTES(ElementHeader, host_previous_x),
                                           HOST_BYTES(ElementHeader, host_previous_y),
                                           HOST_BYTES(ElementHeader, host_previous)};
    fill_host_bytes(e, header);
    switch (e->kind) {
    case ELEMENT_STATIC_IMAGE: {
        static constexpr HostBytes f[] = {HOST_BYTES(StaticImageElement, host)};
        fill_host_bytes(reinterpret_cast<StaticImageElement*>(e), f);
        break;
    }
    case ELEMENT_NEEDLE: {
        static constexpr HostBytes f[] = {VAR_HOST_BYTES(NeedleElement, source), HOST_BYTES(NeedleElement, host_a),
                                          HOST_BYTES(NeedleElement, host_b), HOST_BYTES(NeedleElement, host_c)};
        fill_host_bytes(reinterpret_cast<NeedleElement*>(e), f);
        break;
    }
    case ELEMENT_STRING: {
        static constexpr HostBytes f[] = {
            VAR_HOST_BYTES(StringElement, source[0]), VAR_HOST_BYTES(StringElement, source[1]),
            VAR_HOST_BYTES(StringElement, source[2]), HOST_BYTES(StringElement, host_a),
            HOST_BYTES(StringElement, host_b),        HOST_BYTES(StringElement, host_c),
            HOST_BYTES(StringElement, host_d),        HOST_BYTES(StringElement, host_e),
            HOST_BYTES(StringElement, host_f)};
        fill_host_bytes(reinterpret_cast<StringElement*>(e), f);
        break;
    }
    case ELEMENT_SLIDER: {
        static constexpr HostBytes f[] = {VAR_HOST_BYTES(SliderElement, source_x), VAR_HOST_BYTES(SliderElement, source_y),
                                          HOST_BYTES(SliderElement, host_a), HOST_BYTES(SliderElement, host_b)};
        fill_host_bytes(reinterpret_cast<SliderElement*>(e), f);
        break;
    }
    case ELEMENT_ICON: {
        static constexpr HostBytes f[] = {VAR_HOST_BYTES(IconElement, source), HOST_BYTES(IconElement, host_a),
                                          HOST_BYTES(IconElement, host_b)};
        fill_host_bytes(reinterpret_cast<IconElement*>(e), f);
        break;
    }
    case ELEMENT_MOVING_IMAGE: {
        static constexpr HostBytes f[] = {VAR_HOST_BYTES(MovingImageElement, source_x),
                                          VAR_HOST_BYTES(MovingImageElement, source_y),
                                          HOST_BYTES(MovingImageElement, host_a), HOST_BYTES(MovingImageElement, host_b)};
        fill_host_bytes(reinterpret_cast<MovingImageElement*>(e), f);
        break;
    }
    case ELEMENT_SPRITE: {
        static constexpr HostBytes f[] = {
            VAR_HOST_BYTES(SpriteElement, source_x), VAR_HOST_BYTES(SpriteElement, source_y),
            VAR_HOST_BYTES(SpriteElement, source_rotation), HOST_BYTES(SpriteElement, host_a),
            HOST_BYTES(SpriteElement, host_b)};
        fill_host_bytes(reinterpret_cast<SpriteElement*>(e), f);
        break;
    }
    default: break;
    }
}

void fill_host_fields(GaugeHeader* g) {
    static constexpr HostBytes f[] = {HOST_BYTES(GaugeHeader, host_a), HOST_BYTES(GaugeHeader, host_b)};
    fill_host_bytes(g, f);
}

#undef HOST_BYTES
#undef VAR_HOST_BYTES

}  // namespace sim
