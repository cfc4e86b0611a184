#include "host/placement.h"

#include <cmath>
#include <cstring>

#include "host/host_fields.h"
#include "host/needle_rule.h"
#include "host/sim_host.h"

namespace sim {

size_t element_record_size(uint32_t kind, bool legacy) {
    switch (kind) {
    case ELEMENT_STATIC_IMAGE: return sizeof(StaticImageElement);
    case ELEMENT_NEEDLE: return sizeof(NeedleElement);
    case ELEMENT_STRING: return sizeof(StringElement);
    case ELEMENT_SLIDER: return legacy ? sizeof(LegacySliderElement) : sizeof(SliderElement);
    case ELEMENT_ICON: return sizeof(IconElement);
    case ELEMENT_MOVING_IMAGE: return sizeof(MovingImageElement);
    case ELEMENT_SPRITE: return sizeof(SpriteElement);
    default: return 0;
    }
}

Placement::Placement(SimHost& host, LoadedModule* module, const GaugeHeader& original, const char* parameters)
    : host_(host), module_(module), original_(&original), name_(original.name ? original.name : "") {
    legacy_ = original.version == LEGACY_GAUGE_HEADER_VERSION;
    header_ = std::make_unique<GaugeHeader>(original);
    if (parameters) {
        size_t n = std::strlen(parameters) + 1;
        parameters_ = std::make_unique<char[]>(n);
        std::memcpy(parameters_.get(), parameters, n);
    }
    header_->parameters = parameters_.get();
    if (legacy_) {
        // The older interface's routines act on the module's own records,
        // which they hand to the host's services; the tree is taken up when
        // the install service receives it.
        return;
    }
    fill_host_fields(header_.get());
    header_->elements = copy_list(original.elements);
    if (original.mouse_rects) {
        const MouseRect* r = original.mouse_rects;
        do {
            mouse_rects_.push_back(*r);
        } while ((r++)->type != MOUSE_END);
        header_->mouse_rects = mouse_rects_.data();
    }
    collect_order(header_->elements);
    drawn_.resize(order_.size());
    for (size_t i = 0; i < order_.size(); ++i) drawn_[i].record = order_[i];
}

Placement::~Placement() = default;

ElementHeader* const* Placement::copy_list(ElementHeader* const* list) {
    if (!list) return nullptr;
    size_t n = 0;
    while (list[n]) ++n;
    auto copy = std::make_unique<ElementHeader*[]>(n + 1);
    for (size_t i = 0; i < n; ++i) copy[i] = copy_element(list[i]);
    copy[n] = nullptr;
    ElementHeader* const* result = copy.get();
    list_storage_.push_back(std::move(copy));
    return result;
}

ElementHeader* Placement::copy_element(const ElementHeader* source) {
    size_t size = element_record_size(source->kind, legacy_);
    if (size == 0) {
        host_.faults.push_back(name_ + ": element of unknown kind " + std::to_string(source->kind));
        size = sizeof(ElementHeader);
    }
    auto storage = std::make_unique<uint8_t[]>(size);
    std::memcpy(storage.get(), source, size);
    auto* e = reinterpret_cast<ElementHeader*>(storage.get());
    element_storage_.push_back(std::move(storage));
    if (e->gauge == original_) e->gauge = header_.get();
    e->next = copy_list(source->next);
    if (!legacy_ && size == element_record_size(e->kind, false)) fill_host_fields(e);
    if (e->kind == ELEMENT_NEEDLE && !legacy_) {
        // The copy keeps the module's table: the host writes the angle it
        // derives for each point into the module's own entries, shared by
        // every placement, and draws from them.
        auto* n = reinterpret_cast<NeedleElement*>(e);
        if (n->table && n->table_entries > 0)
            store_table_angles(n->table, n->table_entries, e->x, e->y);
        else if (n->table_entries > 0)
            host_.faults.push_back(name_ + ": needle with " + std::to_string(n->table_entries) +
                                   " table entries and no table");
    }
    if (e->kind == ELEMENT_STRING && !legacy_) {
        auto* s = reinterpret_cast<StringElement*>(e);
        // Exactly the maximum characters plus the terminator, so that a
        // write past it is caught.
        auto buffer = std::make_unique<char[]>(s->max_chars + 1);
        buffer[0] = 0;
        s->text = buffer.get();
        text_buffers_.push_back(std::move(buffer));
    }
    return e;
}

void Placement::collect_order(ElementHeader* const* list) {
    if (!list) return;
    for (size_t i = 0; list[i]; ++i) {
        order_.push_back(list[i]);
        collect_order(list[i]->next);
    }
}

std::vector<const MouseRect*> Placement::children() const {
    std::vector<const MouseRect*> result;
    for (const MouseRect* r = rect_list(); r && r->type != MOUSE_END; ++r)
        if (r->type == MOUSE_CHILD) result.push_back(r);
    return result;
}

const MouseRect* Placement::rect_list() const {
    if (legacy_) return legacy_registered_rects;
    return header_->mouse_rects;
}

// ------------------------------------------------------------ update cycle

void Placement::refresh_sources(ElementHeader* e) {
    auto refresh = [&](VarRecord& v) { host_.refresh(v); };
    switch (e->kind) {
    case ELEMENT_NEEDLE: refresh(reinterpret_cast<NeedleElement*>(e)->source); break;
    case ELEMENT_STRING:
        for (auto& v : reinterpret_cast<StringElement*>(e)->source) refresh(v);
        break;
    case ELEMENT_SLIDER:
        if (legacy_) {
            refresh(reinterpret_cast<LegacySliderElement*>(e)->x.source);
            refresh(reinterpret_cast<LegacySliderElement*>(e)->y.source);
        } else {
            refresh(reinterpret_cast<SliderElement*>(e)->source_x);
            refresh(reinterpret_cast<SliderElement*>(e)->source_y);
        }
        break;
    case ELEMENT_ICON: refresh(reinterpret_cast<IconElement*>(e)->source); break;
    case ELEMENT_MOVING_IMAGE:
        refresh(reinterpret_cast<MovingImageElement*>(e)->source_x);
        refresh(reinterpret_cast<MovingImageElement*>(e)->source_y);
        break;
    case ELEMENT_SPRITE:
        refresh(reinterpret_cast<SpriteElement*>(e)->source_x);
        refresh(reinterpret_cast<SpriteElement*>(e)->source_y);
        refresh(reinterpret_cast<SpriteElement*>(e)->source_rotation);
        break;
    default: break;
    }
}

void Placement::update_cycle() {
    if (killed_) return;
    if (legacy_) {
        host_.legacy_cycle(*this);
        return;
    }
    if (header_->callback) enter_module(header_->callback, header_.get(), int32_t{SERVICE_UPDATE}, HostWord{0});
    for (ElementHeader* e : order_) refresh_sources(e);
    compute_drawn();
}

void Placement::bare_cycle() {
    if (killed_) return;
    for (ElementHeader* e : order_) refresh_sources(e);
    bare_ = true;
    compute_drawn();
    bare_ = false;
}

void Placement::compute_drawn() {
    DrawnElement* previous = nullptr;
    for (DrawnElement& d : drawn_) {
        compute_element(d, previous);
        previous = &d;
    }
    drawn_once_ = true;
}

// Icon image index from the value fed into the element: negative (or not a
// number) draws nothing, and so does an index past the last image. A
// callback that returns such an index names a bitmap the module does not
// have, where the simulator would look for it: the host notes the fault. A
// simulator variable that drives an icon straight may hold anything.
int Placement::icon_image(const IconElement& icon, double value) {
    if (!(value >= 0)) return -1;
    if (value >= icon.image_count) {
        if (!icon.callback || bare_) return -1;
        host_.faults.push_back(name_ + ": icon with bitmap " + std::to_string(icon.header.bitmap) + " asks for image " +
                               std::to_string(value) + " of " + std::to_string(icon.image_count));
        return -1;
    }
    return static_cast<int>(value);
}

void Placement::compute_element(DrawnElement& d, DrawnElement*) {
    ElementHeader* e = d.record;
    double previous_angle = d.angle;
    d.kind = e->kind;
    d.bitmap = e->bitmap;
    d.x = e->x;
    d.y = e->y;
    d.failure_actions.clear();
    for (const FailureRecord* f = e->failures; f && f->key != 0; ++f)
        if (host_.active_failures.count(f->key)) d.failure_actions.push_back(f->action);

    switch (e->kind) {
    case ELEMENT_NEEDLE: {
        auto* n = reinterpret_cast<NeedleElement*>(e);
        d.value = fed(n->callback, n, n->source.value);
        double target = stored_needle_angle(n->table, n->table_entries, d.value);
        d.angle = drawn_once_ ? limit_travel(previous_angle, target, n->max_travel) : target;
        break;
    }
    case ELEMENT_STRING: {
        auto* s = reinterpret_cast<StringElement*>(e);
        d.value = fed(s->callback, s, s->source[0].value);
        d.text = s->text ? std::string(s->text, strnlen(s->text, s->max_chars + 1)) : std::string();
        break;
    }
    case ELEMENT_SLIDER: {
        if (legacy_) {
            auto* s = reinterpret_cast<LegacySliderElement*>(e);
            d.value = fed(s->x.callback, &s->x.source, s->x.source.value);
            d.value_y = fed(s->y.callback, &s->y.source, s->y.source.value);
            d.dx = d.value * s->x.scale;
            d.dy = d.value_y * s->y.scale;
        } else {
            auto* s = reinterpret_cast<SliderElement*>(e);
            d.value = fed(s->callback_x, s, s->source_x.value);
            d.value_y = fed(s->callback_y, s, s->source_y.value);
            d.dx = d.value * s->scale_x;
            d.dy = d.value_y * s->scale_y;
        }
        break;
    }
    case ELEMENT_ICON: {
        auto* i = reinterpret_cast<IconElement*>(e);
        d.value = fed(i->callback, i, i->source.value);
        d.image = icon_image(*i, d.value);
        break;
    }
    case ELEMENT_MOVING_IMAGE: {
        auto* m = reinterpret_cast<MovingImageElement*>(e);
        d.value = fed(m->callback_x, m, m->source_x.value);
        d.value_y = fed(m->callback_y, m, m->source_y.value);
        d.dx = d.value;
        d.dy = d.value_y;
        break;
    }
    case ELEMENT_SPRITE: {
        auto* s = reinterpret_cast<SpriteElement*>(e);
        d.value = fed(s->callback_x, s, s->source_x.value);
        d.value_y = fed(s->callback_y, s, s->source_y.value);
        d.value_rotation = fed(s->callback_rotation, s, s->source_rotation.value);
        d.dx = d.value * s->scale_x;
        d.dy = d.value_y * s->scale_y;
        d.rotation = d.value_rotation * s->scale_rotation;
        break;
    }
    default: break;
    }
    // Flags after the callbacks, which may have changed them.
    d.image_flags = e->image_flags;
    d.lit = (e->image_flags & IMAGE_LIT) != 0;
    d.hidden = (e->image_flags & IMAGE_HIDDEN) != 0;
}

}  // namespace sim
