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

constexpr int kLongestLine = 1 << 16;

// Walks the glyphs of a line, calling fn(bitmap, pen_x_of_bitmap_left, top).
template <typename Fn>
int layout(FT_Face face, const std::string& text, double pixel_height, Fn fn) {
    double size = std::round(pixel_height);
    FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(size >= 1 ? std::min(size, 1024.0) : 1.0));
    int pen = 0;
    for (unsigned char c : text) {
        if (FT_Load_Char(face, c, FT_LOAD_RENDER)) continue;
        FT_GlyphSlot g = face->glyph;
        fn(g->bitmap, pen + g->bitmap_left, g->bitmap_top);
        pen += static_cast<int>(g->advance.x >> 6);
        if (pen > kLongestLine) break;  // nothing further can be on a picture
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
    // Only the part of the box on the picture can show anything: a hostile
    // box is cut to it before any arithmetic on its corners.
    int64_t bx0 = std::max<int64_t>(box_x, 0), by0 = std::max<int64_t>(box_y, 0);
    int64_t bx1 = std::min<int64_t>(int64_t(box_x) + box_w, image.width);
    int64_t by1 = std::min<int64_t>(int64_t(box_y) + box_h, image.height);
    if (bx1 <= bx0 || by1 <= by0 || box_w <= 0 || box_h <= 0) return true;
    int width = text_width(text, style);
    int ascender = static_cast<int>(face->size->metrics.ascender >> 6);
    int descender = static_cast<int>(-(face->size->metrics.descender >> 6));
    int line = ascender + descender;
    int64_t origin_x = box_x + (style.centre_x ? (int64_t(box_w) - width) / 2 : 0);
    int64_t baseline = box_y + (style.centre_y ? (int64_t(box_h) - line) / 2 : 0) + ascender;
    layout(face, text, style.pixel_height, [&](const FT_Bitmap& bm, int left, int top) {
        for (unsigned row = 0; row < bm.rows; ++row) {
            for (unsigned col = 0; col < bm.width; ++col) {
                int64_t x = origin_x + left + int64_t(col), y = baseline - top + int64_t(row);
                if (x < bx0 || y < by0 || x >= bx1 || y >= by1) continue;
                uint8_t coverage = bm.buffer[row * bm.pitch + col];
                Rgba c = style.colour;
                c.a = static_cast<uint8_t>(c.a * coverage / 255);
                blend(image.at(int(x), int(y)), c);
            }
        }
    });
    return true;
}

}  // namespace sim
