// Text for the previewer: string elements and labels, drawn with FreeType
// from the system's DejaVu fonts (the panel's "Arial" strings are drawn in
// the nearest sans-serif face).
#pragma once

#include <string>

#include "preview/image.h"

namespace sim {

struct TextStyle {
    Rgba colour{255, 255, 255, 255};
    bool bold = false;
    double pixel_height = 12;  // em size in pixels
    bool centre_x = true, centre_y = true;
};

// Draws one line of text inside the box (clipped to it). False when no font
// could be loaded; the reason is in `error`.
bool draw_text(Image& image, const std::string& text, int box_x, int box_y, int box_w, int box_h,
               const TextStyle& style, std::string* error = nullptr);

// Width in pixels of one line of text in the style.
int text_width(const std::string& text, const TextStyle& style);

}  // namespace sim
