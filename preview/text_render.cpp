#include "preview/text_render.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <cmath>

namespace sim {

namespace {

const char* const kRegular = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";
const char* const kBold = "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf";

struct Fonts {
    FT_Library library = nullptr;
    FT_Face regular = nullptr, bold = nullptr;
    std::string error;
    Fonts() {
        if (FT_Init_FreeType(&library)) {
            error = "cannot start FreeType";
            return;
        }
        if (FT_New_Face(library, kRegular, 0, &regular)) error = std::string("cannot load font ") + kRegular;
        if (FT_New_Face(library, kBold, 0, &bold)) bold = nullptr;
    }
    ~Fonts() {
        if (regular) FT_Done_Face(regular);
        if (bold) FT_Done_Face(bold);
        if (library) FT_Done_FreeType(library);
    }
    FT_Face face(bool want_bold) const { return want_bold && bold ? bold : regular; }
};

Fonts& fonts() {
    static Fonts f;
    return f;
}

// Walks the glyphs of a line, calling fn(bitmap, pen_x_of_bitmap_left, top).
template <typename Fn>
int layout(FT_Face face, const std::string& text, double pixel_height, Fn fn) {
    FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(std::max(1.0, std::round(pixel_height))));
    int pen = 0;
    for (unsigned char c : text) {
        if (FT_Load_Char(face, c, FT_LOAD_RENDER)) continue;
        FT_GlyphSlot g = face->glyph;
        fn(g->bitmap, pen + g->bitmap_left, g->bitmap_top);
        pen += static_cast<int>(g->advance.x >> 6);
    }
    return pen;
}

}  // namespace

int text_width(const std::string& text, const TextStyle& style) {
    FT_Face face = fonts().face(style.bold);
    if (!face) return 0;
    return layout(face, text, style.pixel_height, [](const FT_Bitmap&, int, int) {});
}

bool draw_text(Image& image, const std::string& text, int box_x, int box_y, int box_w, int box_h,
               const TextStyle& style, std::string* error) {
    FT_Face face = fonts().face(style.bold);
    if (!face) {
        if (error) *error = fonts().error;
        return false;
    }
    int width = text_width(text, style);
    int ascender = static_cast<int>(face->size->metrics.ascender >> 6);
    int descender = static_cast<int>(-(face->size->metrics.descender >> 6));
    int line = ascender + descender;
    int origin_x = box_x + (style.centre_x ? (box_w - width) / 2 : 0);
    int baseline = box_y + (style.centre_y ? (box_h - line) / 2 : 0) + ascender;
    layout(face, text, style.pixel_height, [&](const FT_Bitmap& bm, int left, int top) {
        for (unsigned row = 0; row < bm.rows; ++row) {
            for (unsigned col = 0; col < bm.width; ++col) {
                int x = origin_x + left + static_cast<int>(col), y = baseline - top + static_cast<int>(row);
                if (x < box_x || y < box_y || x >= box_x + box_w || y >= box_y + box_h || !image.inside(x, y))
                    continue;
                uint8_t coverage = bm.buffer[row * bm.pitch + col];
                Rgba c = style.colour;
                c.a = static_cast<uint8_t>(c.a * coverage / 255);
                blend(image.at(x, y), c);
            }
        }
    });
    return true;
}

}  // namespace sim
