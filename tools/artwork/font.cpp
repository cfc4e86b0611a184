#include "font.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H

namespace art {

namespace {
const char* font_file(FontStyle s) {
    switch (s) {
    case FontStyle::Sans: return "DejaVuSans.ttf";
    case FontStyle::SansBold: return "DejaVuSans-Bold.ttf";
    case FontStyle::MonoBold: return "DejaVuSansMono-Bold.ttf";
    case FontStyle::Serif: return "DejaVuSerif.ttf";
    }
    return "DejaVuSans.ttf";
}

int move_to(const FT_Vector* to, void* user) {
    static_cast<Path*>(user)->move_to(to->x, to->y);
    return 0;
}
int line_to(const FT_Vector* to, void* user) {
    static_cast<Path*>(user)->line_to(to->x, to->y);
    return 0;
}
int conic_to(const FT_Vector* c, const FT_Vector* to, void* user) {
    static_cast<Path*>(user)->quad_to(c->x, c->y, to->x, to->y);
    return 0;
}
int cubic_to(const FT_Vector* c1, const FT_Vector* c2, const FT_Vector* to, void* user) {
    static_cast<Path*>(user)->cubic_to(c1->x, c1->y, c2->x, c2->y, to->x, to->y);
    return 0;
}

// Decodes UTF-8 into code points (the artwork's texts are plain Latin-1).
std::u32string decode(const std::string& s) {
    std::u32string out;
    for (size_t i = 0; i < s.size();) {
        unsigned char c = s[i];
        if (c < 0x80) {
            out += c;
            i += 1;
        } else if ((c & 0xE0) == 0xC0 && i + 1 < s.size()) {
            out += static_cast<char32_t>(((c & 0x1F) << 6) | (s[i + 1] & 0x3F));
            i += 2;
        } else if ((c & 0xF0) == 0xE0 && i + 2 < s.size()) {
            out += static_cast<char32_t>(((c & 0x0F) << 12) | ((s[i + 1] & 0x3F) << 6) | (s[i + 2] & 0x3F));
            i += 3;
        } else {
            out += U'?';
            i += 1;
        }
    }
    return out;
}
}  // namespace

bool Fonts::open(const std::string& dir, std::string& error) {
    if (FT_Init_FreeType(&lib_) != 0) {
        error = "cannot start FreeType";
        return false;
    }
    for (FontStyle s : {FontStyle::Sans, FontStyle::SansBold, FontStyle::MonoBold, FontStyle::Serif}) {
        std::string path = dir + "/" + font_file(s);
        FT_Face face = nullptr;
        if (FT_New_Face(lib_, path.c_str(), 0, &face) != 0) {
            error = "cannot read font " + path;
            return false;
        }
        faces_[s] = face;
    }
    return true;
}

Fonts::~Fonts() {
    for (auto& [s, f] : faces_) FT_Done_Face(f);
    if (lib_) FT_Done_FreeType(lib_);
}

const Fonts::Glyph& Fonts::glyph(FontStyle style, unsigned code) {
    auto key = std::make_pair(static_cast<int>(style), code);
    auto it = cache_.find(key);
    if (it != cache_.end()) return it->second;
    Glyph g;
    FT_Face face = faces_.at(style);
    if (FT_Load_Char(face, code, FT_LOAD_NO_SCALE | FT_LOAD_NO_HINTING | FT_LOAD_NO_BITMAP) == 0) {
        g.advance = static_cast<double>(face->glyph->metrics.horiAdvance) / face->units_per_EM;
        if (face->glyph->format == FT_GLYPH_FORMAT_OUTLINE) {
            FT_Outline_Funcs funcs = {move_to, line_to, conic_to, cubic_to, 0, 0};
            Path p;
            FT_Outline_Decompose(&face->glyph->outline, &funcs, &p);
            double s = 1.0 / face->units_per_EM;
            g.outline = p.transformed(Affine::scale(s, -s));  // em units, y down
        }
    }
    return cache_.emplace(key, std::move(g)).first->second;
}

Path Fonts::text(FontStyle style, const std::string& utf8, double size, double* advance) {
    Path out;
    double pen = 0;
    for (char32_t c : decode(utf8)) {
        const Glyph& g = glyph(style, c);
        out.append(g.outline, Affine::scale(size, size).then(Affine::translate(pen, 0)));
        pen += g.advance * size;
    }
    if (advance) *advance = pen;
    return out;
}

void draw_text(Canvas& c, Fonts& f, FontStyle style, const std::string& text, double size, double x, double y,
               const Paint& paint, double deg, Anchor anchor, double squeeze) {
    double adv = 0;
    Path p = f.text(style, text, size, &adv);
    if (p.empty()) return;
    // Digits and capitals of DejaVu stand 0.729 em above the baseline.
    double cap = 0.729 * size;
    double ox = anchor == Anchor::Centre ? -adv / 2 : anchor == Anchor::Right ? -adv : 0;
    Affine m = Affine::translate(ox, cap / 2)
                   .then(Affine::scale(squeeze, 1))
                   .then(Affine::rotate(deg))
                   .then(Affine::translate(x, y));
    c.fill(p.transformed(m), paint);
}

void draw_text(Canvas& c, Fonts& f, FontStyle style, const std::string& text, double size, double x, double y,
               Color colour, double deg, Anchor anchor, double squeeze) {
    draw_text(c, f, style, text, size, x, y, solid(colour), deg, anchor, squeeze);
}

}  // namespace art
