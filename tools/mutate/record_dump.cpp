// morvane_record_dump: prints every static record of a gauge module that the
// host reads (gauge headers, element chains with their nonlinearity tables
// and failure lists, mouse rectangles, tooltip texts and argument records),
// one field a line. Lines of pixel geometry (element positions and pivots,
// mouse boxes, the points of nonlinearity tables) start with "px "; every
// other line is data the host acts on. Callback fields print only whether a
// callback is there, so that two builds of one source compare equal.
#include <cstdio>
#include <string>

#include "host/sim_host.h"

namespace {

const char* present(const void* p) { return p ? "callback" : "null"; }

void dump_var(const std::string& at, const VarRecord& v) { std::printf("%s.token %u\n", at.c_str(), v.token); }

void dump_table(const std::string& at, const NonlinearityEntry* table, uint32_t count) {
    std::printf("%s.table %s count %u\n", at.c_str(), table ? "yes" : "null", count);
    if (!table) return;
    // A count past the table reads what follows it, as the host would.
    for (uint32_t i = 0; i < count && i < 32; ++i) {
        std::printf("px %s.table[%u].point %d %d\n", at.c_str(), i, table[i].x, table[i].y);
        std::printf("%s.table[%u].value %.17g\n", at.c_str(), i, table[i].value);
    }
}

void dump_element(const std::string& at, const ElementHeader* e) {
    const char* s = at.c_str();
    std::printf("%s.kind %u bitmap %d flags 0x%x special %u reserved %u\n", s, e->kind, e->bitmap, e->image_flags,
                e->special_instrumentation, e->reserved);
    std::printf("px %s.position %d %d offset %d %d\n", s, e->x, e->y, e->offset_x, e->offset_y);
    std::printf("%s.gauge %s\n", s, e->gauge ? e->gauge->name : "null");
    if (e->failures) {
        for (int i = 0; i < 16; ++i) {
            const FailureRecord& f = e->failures[i];
            std::printf("%s.failure[%d] %u %u %u\n", s, i, f.key, f.action, f.reserved);
            if (f.key == 0) break;
        }
    } else {
        std::printf("%s.failures null\n", s);
    }
    switch (e->kind) {
    case ELEMENT_NEEDLE: {
        auto* n = reinterpret_cast<const NeedleElement*>(e);
        dump_var(at + ".source", n->source);
        dump_table(at, n->table, n->table_entries);
        std::printf("%s.max_travel %d callback %s\n", s, n->max_travel, present((const void*)n->callback));
        break;
    }
    case ELEMENT_STRING: {
        auto* t = reinterpret_cast<const StringElement*>(e);
        for (int i = 0; i < 3; ++i) dump_var(at + ".source" + std::to_string(i), t->source[i]);
        std::printf("%s.box %d %d colours %06x %06x %06x font %.32s weight %u charset %u layout 0x%x max %u callback %s\n",
                    s, t->box_width, t->box_height, t->text_colour, t->background_colour, t->highlight_colour,
                    t->font_name, t->font_weight, t->charset, t->layout_flags, t->max_chars,
                    present((const void*)t->callback));
        break;
    }
    case ELEMENT_SLIDER: {
        auto* l = reinterpret_cast<const SliderElement*>(e);
        dump_var(at + ".source_x", l->source_x);
        dump_var(at + ".source_y", l->source_y);
        std::printf("%s.scale %.17g %.17g zero %u %u %u callbacks %s %s\n", s, l->scale_x, l->scale_y, l->zero_x,
                    l->zero_x2, l->zero_y, present((const void*)l->callback_x), present((const void*)l->callback_y));
        break;
    }
    case ELEMENT_ICON: {
        auto* c = reinterpret_cast<const IconElement*>(e);
        dump_var(at + ".source", c->source);
        std::printf("%s.switch %u scale %.17g images %u offset %d zero %u callback %s\n", s, c->switch_type, c->scale,
                    c->image_count, c->offset, c->zero_b, present((const void*)c->callback));
        break;
    }
    case ELEMENT_MOVING_IMAGE: {
        auto* m = reinterpret_cast<const MovingImageElement*>(e);
        dump_var(at + ".source_x", m->source_x);
        dump_var(at + ".source_y", m->source_y);
        std::printf("%s.range x %.17g %.17g y %.17g %.17g callbacks %s %s\n", s, m->min_x, m->max_x, m->min_y,
                    m->max_y, present((const void*)m->callback_x), present((const void*)m->callback_y));
        break;
    }
    case ELEMENT_SPRITE: {
        auto* p = reinterpret_cast<const SpriteElement*>(e);
        dump_var(at + ".source_x", p->source_x);
        dump_var(at + ".source_y", p->source_y);
        dump_var(at + ".source_rotation", p->source_rotation);
        std::printf("%s.scale %.17g %.17g %.17g texture %.9g %.9g callbacks %s %s %s\n", s, p->scale_x, p->scale_y,
                    p->scale_rotation, p->texture_scale_x, p->texture_scale_y, present((const void*)p->callback_x),
                    present((const void*)p->callback_y), present((const void*)p->callback_rotation));
        break;
    }
    default: break;
    }
}

void dump_mouse(const std::string& at, const MouseRect* list) {
    if (!list) {
        std::printf("%s.mouse null\n", at.c_str());
        return;
    }
    for (int i = 0; i < 256; ++i) {
        const MouseRect& r = list[i];
        std::string here = at + ".mouse[" + std::to_string(i) + "]";
        const char* s = here.c_str();
        std::printf("%s.type %u cursor %d help 0x%x flags 0x%x\n", s, r.type, r.cursor, r.help_id, r.mouse_flags);
        std::printf("px %s.box %d %d %d %d\n", s, r.x, r.y, r.width, r.height);
        if (r.type == MOUSE_TOOLTIP) {
            std::printf("%s.tooltip args %u text \"%s\"\n", s, r.arg_count, r.text ? r.text : "(null)");
            for (uint32_t a = 0; r.args && a < r.arg_count && a < 16; ++a)
                std::printf("%s.arg[%u] number %s string %s\n", s, a, present((const void*)r.args[a].number),
                            present((const void*)r.args[a].string));
        } else {
            std::printf("%s.event %u callback %s args %s\n", s, r.event_id, present((const void*)r.callback),
                        r.args ? "yes" : "null");
        }
        if (r.type == MOUSE_END) break;
    }
}

void dump_gauge(const GaugeHeader* g) {
    std::string at = g->name ? g->name : "(unnamed)";
    const char* s = at.c_str();
    std::printf("%s.header version %u width %u callback %s user %u\n", s, g->version, g->width_mm,
                present((const void*)g->callback), g->user_data);
    std::printf("%s.legacy %s %s %s %s %s %s %s\n", s, present((const void*)g->query), present((const void*)g->install),
                present((const void*)g->initialize), present((const void*)g->update), present((const void*)g->generate),
                present((const void*)g->draw), present((const void*)g->kill));
    // The older interface builds its tree through host services.
    if (g->elements && !g->install) {
        ElementHeader* const* list = g->elements;
        for (int i = 0; list && i < 64; ++i) {
            int members = 0;
            while (list[members] && members < 8) ++members;
            std::printf("%s.list[%d] members %d\n", s, i, members);
            if (!members) break;
            dump_element(at + ".element[" + std::to_string(i) + "]", list[0]);
            list = list[0]->next;
        }
    }
    dump_mouse(at, g->mouse_rects);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: morvane_record_dump MODULE\n");
        return 2;
    }
    sim::SimHost host;
    std::string error;
    sim::LoadedModule* module = host.load_module(argv[1], &error);
    if (!module) {
        std::fprintf(stderr, "morvane_record_dump: %s\n", error.c_str());
        return 1;
    }
    ModuleLinkage* linkage = module->linkage();
    std::printf("linkage id 0x%x flags %u priority %u version %u init %s deinit %s\n", linkage->module_id,
                linkage->flags, linkage->priority, linkage->version, present((const void*)linkage->init),
                present((const void*)linkage->deinit));
    for (const GaugeHeader* g : module->gauges()) dump_gauge(g);
    return 0;
}
