// Every gauge of the module against a hostile simulator: every token any
// element or callback reads is set to NaN, infinities, huge and tiny
// numbers and integer extremes (as doubles, and as raw 32-bit words for the
// tokens read as integers); update cycles run, every tooltip argument
// callback is called and every click area is clicked with both buttons.
// What the host is asked to draw must stay drawable: callback results are
// numbers, icon indices name one of the icon's images or nothing, texts fit
// their element.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <set>

#include "host/sim_host.h"
#include "tests/host_fixture.h"

namespace {

const double kHostileValues[] = {
    std::numeric_limits<double>::quiet_NaN(),
    std::numeric_limits<double>::infinity(),
    -std::numeric_limits<double>::infinity(),
    1e300,
    -1e300,
    -0.0,
    std::numeric_limits<double>::denorm_min(),
    2147483648.0,   // 2^31
    -2147483649.0,  // -2^31 - 1
};

const uint32_t kHostileWords[] = {0xFFFFFFFFu, 0x99999999u, 0xAAAAAAAAu, 0x80000000u, 0x7FFFFFFFu, 0xFEDCBA98u};

bool has_callback(const ElementHeader* e) {
    switch (e->kind) {
    case ELEMENT_NEEDLE: return reinterpret_cast<const NeedleElement*>(e)->callback != nullptr;
    case ELEMENT_STRING: return reinterpret_cast<const StringElement*>(e)->callback != nullptr;
    case ELEMENT_ICON: return reinterpret_cast<const IconElement*>(e)->callback != nullptr;
    default: return false;
    }
}

void add_source_tokens(const ElementHeader* e, std::set<uint32_t>& tokens) {
    auto add = [&](const VarRecord& v) {
        if (v.token) tokens.insert(v.token);
    };
    switch (e->kind) {
    case ELEMENT_NEEDLE: add(reinterpret_cast<const NeedleElement*>(e)->source); break;
    case ELEMENT_STRING:
        for (auto& v : reinterpret_cast<const StringElement*>(e)->source) add(v);
        break;
    case ELEMENT_SLIDER:
        add(reinterpret_cast<const SliderElement*>(e)->source_x);
        add(reinterpret_cast<const SliderElement*>(e)->source_y);
        break;
    case ELEMENT_ICON: add(reinterpret_cast<const IconElement*>(e)->source); break;
    case ELEMENT_MOVING_IMAGE:
        add(reinterpret_cast<const MovingImageElement*>(e)->source_x);
        add(reinterpret_cast<const MovingImageElement*>(e)->source_y);
        break;
    case ELEMENT_SPRITE:
        add(reinterpret_cast<const SpriteElement*>(e)->source_x);
        add(reinterpret_cast<const SpriteElement*>(e)->source_y);
        add(reinterpret_cast<const SpriteElement*>(e)->source_rotation);
        break;
    default: break;
    }
}

class HostileSweep : public ModuleTest {
protected:
    // Every gauge placed once, the engine gauges also for engine 2, the
    // radio altimeter with its call-outs on.
    void place_everything() {
        for (GaugeHeader* g : module->gauges()) host.place_header(module, g, nullptr, nullptr);
        place("Tachometer", "2");
        place("Manifold_Pressure", "2");
        place("Radio_Altimeter", "s1");
        place("Registration", "tTOOLONGREGISTRATION fAVeryLongFontNameThatGoesOnAndOnForever r999 g-5 bx");
        for (auto& p : host.placements()) host.setup(*p);
        host.cycles(2);
        // Everything read so far, by elements, callbacks and tooltips.
        tokens = host.tokens_read;
        for (auto& p : host.placements())
            for (const sim::DrawnElement& d : p->drawn()) add_source_tokens(d.record, tokens);
        call_tooltips();
        tokens.insert(host.tokens_read.begin(), host.tokens_read.end());
        tokens.erase(0u);
    }

    void call_tooltips() {
        for (auto& p : host.placements()) {
            for (const MouseRect* r = p->header()->mouse_rects; r && r->type != MOUSE_END; ++r) {
                if (r->type != MOUSE_TOOLTIP || !r->args) continue;
                for (uint32_t i = 0; i < r->arg_count; ++i) {
                    const TooltipArg& a = r->args[i];
                    if (a.number) {
                        double v = a.number(0, 0, 0, 0, 0);
                        (void)v;  // any double is shown by the formatter
                    }
                    if (a.string) {
                        const char* s = a.string(0, 0, 0, 0, 0);
                        EXPECT_NE(s, nullptr) << p->name() << " tooltip argument " << i + 1;
                        if (s) { EXPECT_LT(std::strlen(s), 256u) << p->name(); }
                    }
                }
                // The whole tooltip as the host shows it.
                EXPECT_LT(p->tooltip(r->x, r->y).size(), 512u);
            }
        }
    }

    void click_everything() {
        for (auto& p : host.placements())
            for (const MouseRect* child : p->children())
                for (uint32_t button : {MOUSE_LEFTSINGLE, MOUSE_RIGHTSINGLE}) {
                    p->click(child->x, child->y, button);
                    p->click(child->x + child->width - 1, child->y + child->height - 1, button);
                }
    }

    void check_drawable(const char* what) {
        for (auto& p : host.placements()) {
            for (size_t i = 0; i < p->element_count(); ++i) {
                const sim::DrawnElement& d = p->element(i);
                SCOPED_TRACE(std::string(what) + ": " + p->name() + " element " + std::to_string(i));
                if (d.kind == ELEMENT_ICON && has_callback(d.record)) {
                    auto* icon = reinterpret_cast<const IconElement*>(d.record);
                    EXPECT_TRUE(d.value >= -1 && d.value < icon->image_count)
                        << "icon index " << d.value << " of " << icon->image_count;
                }
                if (d.kind == ELEMENT_NEEDLE && has_callback(d.record)) { EXPECT_FALSE(std::isnan(d.value)); }
                if (d.kind == ELEMENT_STRING) {
                    auto* s = reinterpret_cast<const StringElement*>(d.record);
                    EXPECT_LE(d.text.size(), s->max_chars);
                    for (unsigned char c : d.text) EXPECT_GE(c, 0x20) << "unprintable character in the text";
                }
            }
        }
    }

    std::set<uint32_t> tokens;
};

TEST_F(HostileSweep, EveryGaugeStaysDrawableAndSilentlySafe) {
    place_everything();
    ASSERT_GT(tokens.size(), 40u);
    for (double v : kHostileValues) {
        for (uint32_t t : tokens) host.set_var(t, v);
        host.cycles(3);
        std::string what = "value " + std::to_string(v);
        check_drawable(what.c_str());
        call_tooltips();
        click_everything();
        host.cycles(2);
        check_drawable(what.c_str());
    }
    for (uint32_t w : kHostileWords) {
        for (uint32_t t : tokens) host.set_var_low_word(t, w, w);
        host.cycles(3);
        check_drawable("word");
        call_tooltips();
        click_everything();
        host.cycle();
        check_drawable("word");
    }
    host.kill_all();
}

// The host breaking its own contract: kill without install, install twice,
// updates and clicks before install. The module may misbehave, but it never
// crashes or writes out of bounds (the sanitizer build watches).
TEST_F(HostileSweep, NoticesOutOfOrderNeverCrashTheModule) {
    for (GaugeHeader* g : module->gauges()) {
        sim::Placement& p = *host.place_header(module, g, nullptr, nullptr);
        GaugeHeader* h = p.header();
        if (!h->callback) continue;
        h->callback(h, SERVICE_KILL, 0);
        h->callback(h, SERVICE_UPDATE, 0);
        h->callback(h, SERVICE_INSTALL, module->resource_handle());
        h->callback(h, SERVICE_SETUP, 0);
        h->callback(h, SERVICE_KILL, 0);
        h->callback(h, SERVICE_KILL, 0);
        h->callback(h, SERVICE_UPDATE, 0);
    }
    host.cycles(2);
    for (auto& p : host.placements())
        for (const MouseRect* child : p->children()) p->click(child->x, child->y);
    host.cycles(2);
    host.kill_all();
}

// A gauge header with no parameters, a null mouse list and no elements
// (as the host may hand a broken copy) still takes every notice.
TEST_F(HostileSweep, GaugeCallbacksTakeBareHeaders) {
    for (GaugeHeader* g : module->gauges()) {
        if (!g->callback) continue;
        GaugeHeader bare{};
        bare.version = GAUGE_HEADER_VERSION;
        bare.name = g->name;
        for (int32_t code : {SERVICE_INSTALL, SERVICE_SETUP, SERVICE_UPDATE, SERVICE_KILL}) g->callback(&bare, code, 0);
    }
}

}  // namespace
