#include "preview/panel_session.h"

#include <algorithm>
#include <cmath>

#include "preview/text_render.h"

namespace sim {

PanelSession::PanelSession(SimHost& host, PanelLayout layout, BitmapLookup lookup, bool fly)
    : FlightSession(host, std::move(layout), fly), renderer_(std::move(lookup)) {}

// ------------------------------------------------------------ drawing

Image PanelSession::render_gauge(const PlacedGauge& g, const RenderOptions& options) {
    return renderer_.render(*g.placement, options);
}

namespace {

Rgba window_background(const PanelWindow& w, const RenderOptions& options) {
    Rgba background = w.background;
    if (options.night) background = {uint8_t(background.r / 3), uint8_t(background.g / 3), uint8_t(background.b / 3), 255};
    return background;
}

constexpr Rgba kScreenColour{12, 12, 14, 255};

}  // namespace

Image PanelSession::render_full(const RenderOptions& options) {
    Image screen(std::max(1, layout_.screen_width()), std::max(1, layout_.screen_height()), kScreenColour);
    for (const PanelWindow& w : layout_.windows) {
        if (!window_visible(w)) continue;
        fill_rect(screen, w.x, w.y, w.width, w.height, window_background(w, options));
        for (const PlacedGauge& g : gauges_) {
            if (g.window != &w) continue;
            Image picture = render_gauge(g, options);
            double sx = double(g.width) / picture.width, sy = double(g.height) / picture.height;
            draw_scaled(screen, picture, w.x + g.slot.x, w.y + g.slot.y, sx, sy, 1.0,
                        {w.x, w.y, w.x + w.width, w.y + w.height});
        }
    }
    return screen;
}

PanelSession::Box PanelSession::gauge_box(const PlacedGauge& g) const {
    const PanelWindow& w = *g.window;
    int x0 = w.x + g.slot.x, y0 = w.y + g.slot.y;
    return {std::max(x0, w.x), std::max(y0, w.y), std::min(x0 + g.width, w.x + w.width), std::min(y0 + g.height, w.y + w.height)};
}

// Draws one box of the screen again from the cached pictures: the screen's
// colour, then every visible window and its gauges over it, in order.
void PanelSession::compose(Box box, const RenderOptions& options) {
    box = {std::max(box.x0, 0), std::max(box.y0, 0), std::min(box.x1, screen_.width), std::min(box.y1, screen_.height)};
    if (box.x0 >= box.x1 || box.y0 >= box.y1) return;
    fill_rect(screen_, box.x0, box.y0, box.x1 - box.x0, box.y1 - box.y0, kScreenColour);
    for (const PanelWindow& w : layout_.windows) {
        if (!window_visible(w)) continue;
        ClipRect clip{std::max(box.x0, w.x), std::max(box.y0, w.y), std::min(box.x1, w.x + w.width),
                      std::min(box.y1, w.y + w.height)};
        if (clip.x0 >= clip.x1 || clip.y0 >= clip.y1) continue;
        fill_rect(screen_, clip.x0, clip.y0, clip.x1 - clip.x0, clip.y1 - clip.y0, window_background(w, options));
        for (size_t i = 0; i < gauges_.size(); ++i) {
            const PlacedGauge& g = gauges_[i];
            if (g.window != &w) continue;
            draw_scaled(screen_, caches_[i].on_panel, w.x + g.slot.x, w.y + g.slot.y, 1, 1, 1.0, clip);
        }
    }
}

const Image& PanelSession::screen(const RenderOptions& options) {
    int width = std::max(1, layout_.screen_width()), height = std::max(1, layout_.screen_height());
    std::vector<bool> shown;
    for (const PanelWindow& w : layout_.windows) shown.push_back(window_visible(w));
    bool whole = !screen_valid_ || options.night != screen_night_ || shown != windows_shown_ ||
                 screen_.width != width || screen_.height != height;
    if (whole) screen_ = Image(width, height, kScreenColour);
    caches_.resize(gauges_.size());
    std::vector<Box> changed;
    for (size_t i = 0; i < gauges_.size(); ++i) {
        const PlacedGauge& g = gauges_[i];
        if (!window_visible(*g.window)) continue;
        GaugeCache& c = caches_[i];
        if (!renderer_.render_layers(*g.placement, options, &c.layers) && !c.on_panel.empty()) continue;
        const Image& picture = c.layers.picture;
        c.on_panel = Image(g.width, g.height);
        draw_scaled(c.on_panel, picture, 0, 0, double(g.width) / picture.width, double(g.height) / picture.height);
        if (!whole) changed.push_back(gauge_box(g));
    }
    if (whole) compose({0, 0, width, height}, options);
    for (const Box& b : changed) compose(b, options);
    if (whole || !changed.empty()) ++screen_changes_;
    screen_valid_ = true;
    screen_night_ = options.night;
    windows_shown_ = std::move(shown);
    return screen_;
}

void PanelSession::redraw_all_gauges() {
    // Forgetting the looks above the kept layers makes every one of them
    // count as changed.
    for (GaugeCache& c : caches_) c.layers.looks.resize(std::min(c.layers.looks.size(), c.layers.base_count));
}

Image PanelSession::contact_sheet(const RenderOptions& options, int cell) {
    const int label = 22, columns = 8;
    int rows = (static_cast<int>(gauges_.size()) + columns - 1) / columns;
    Image sheet(columns * cell, std::max(1, rows) * (cell + label), {32, 33, 36, 255});
    TextStyle style;
    style.pixel_height = 13;
    style.colour = {230, 230, 230, 255};
    for (size_t i = 0; i < gauges_.size(); ++i) {
        const PlacedGauge& g = gauges_[i];
        int cx = int(i % columns) * cell, cy = int(i / columns) * (cell + label);
        Image picture = render_gauge(g, options);
        double scale = std::min(double(cell - 12) / picture.width, double(cell - 12) / picture.height);
        scale = std::min(scale, 2.0);
        double w = picture.width * scale, h = picture.height * scale;
        draw_scaled(sheet, picture, cx + (cell - w) / 2, cy + (cell - h) / 2, scale, scale);
        std::string name = g.placement->name();
        // The label fits its cell: a long parameter string is cut.
        constexpr size_t kLabelParameters = 24;
        if (g.slot.has_parameters && !g.slot.parameters.empty())
            name += " (" + g.slot.parameters.substr(0, kLabelParameters) +
                    (g.slot.parameters.size() > kLabelParameters ? "...)" : ")");
        draw_text(sheet, name, cx, cy + cell, cell, label, style);
    }
    return sheet;
}

}  // namespace sim
