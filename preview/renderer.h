// Draws a placement the way the host draws it: the element chain from the
// background up, each element by the rules of its kind, from the module's
// own bitmaps.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "preview/image.h"
#include "host/placement.h"

namespace sim {

// Finds a bitmap of a module by identifier, already converted to RGBA with
// the transparent key colour cleared; null when the module has none.
using BitmapLookup = std::function<const Image*(const LoadedModule* module, int32_t id)>;

struct RenderOptions {
    bool night = false;  // panel lights: lit elements bright, the rest dimmed
};

// A problem met while drawing, such as a missing bitmap.
struct RenderProblem {
    std::string gauge;
    int32_t bitmap;
    std::string what;
    std::string text() const;
};

// Everything the renderer reads to draw one element: two elements that look
// the same draw the same pixels, so an unchanged look needs no new drawing.
struct ElementLook {
    std::vector<double> numbers;
    std::string text;
    // Compared bit for bit: a NaN fed to an element looks like itself.
    bool operator==(const ElementLook& o) const;
};

// What the renderer keeps of one placement between renders: the look of
// each element at the last render, the canvas with the chain's unchanging
// lower layers drawn (the background and whatever has not moved under the
// first element that changed), and the last picture.
struct GaugeLayers {
    std::vector<ElementLook> looks;
    Image base;
    size_t base_count = 0;  // elements drawn into base
    Image picture;
    bool valid = false;
};

class GaugeRenderer {
public:
    explicit GaugeRenderer(BitmapLookup lookup) : lookup_(std::move(lookup)) {}

    // The gauge at the size of its background bitmap, from the state the
    // last update cycle left.
    Image render(const Placement& placement, const RenderOptions& options);
    // The same picture, drawn again only from the first element whose look
    // changed since the last call with these layers; false (and the picture
    // left as it was) when nothing changed.
    bool render_layers(const Placement& placement, const RenderOptions& options, GaugeLayers* layers);
    // Problems met so far (each reported once).
    const std::vector<RenderProblem>& problems() const { return problems_; }

private:
    const Image* bitmap(const Placement& p, int32_t id);
    void canvas_size(const Placement& p, int* w, int* h);
    void draw_range(Image& canvas, const Placement& p, size_t from, size_t to, const RenderOptions& options);
    static ElementLook look_of(const DrawnElement& d, const RenderOptions& options);
    void draw_element(Image& canvas, const Placement& p, const DrawnElement& d, double light);
    void draw_needle(Image& canvas, const Image& needle, const ElementHeader& e, double angle, double light);
    void draw_sprite(Image& canvas, const Placement& p, const DrawnElement& d, double light);
    void draw_moving_image(Image& canvas, const Placement& p, const DrawnElement& d, double light);
    void draw_string(Image& canvas, const DrawnElement& d, double light);

    BitmapLookup lookup_;
    std::vector<RenderProblem> problems_;
};

}  // namespace sim
