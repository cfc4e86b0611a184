// Text for the artwork: glyph outlines read with FreeType (unhinted, in font
// units) and turned into paths for our own rasteriser, so that text is
// anti-aliased, rotatable and drawn exactly like every other shape.
#pragma once

#include <map>
#include <string>

#include "raster.h"

typedef struct FT_LibraryRec_* FT_Library;
typedef struct FT_FaceRec_* FT_Face;

namespace art {

enum class FontStyle { Sans, SansBold, MonoBold, Serif };

class Fonts {
public:
    // Opens the DejaVu fonts from the directory; returns false (with a
    // message naming the file) when one cannot be read.
    bool open(const std::string& directory, std::string& error);
    ~Fonts();

    // Text laid out on the baseline at the origin, size = pixels per em.
    // Returns the path; advance receives the pen travel.
    Path text(FontStyle style, const std::string& utf8, double size, double* advance = nullptr);

private:
    struct Glyph {
        Path outline;  // in font units, y up
        double advance = 0;
    };
    const Glyph& glyph(FontStyle style, unsigned code);
    FT_Library lib_ = nullptr;
    std::map<FontStyle, FT_Face> faces_;
    std::map<std::pair<int, unsigned>, Glyph> cache_;
};

enum class Anchor { Centre, Left, Right };

// Draws text centred (or anchored) on (x, y): the horizontal anchor on the
// pen travel, the vertical centre on the height of the capitals and digits.
// The text is turned clockwise by deg about that point; squeeze narrows it.
void draw_text(Canvas& c, Fonts& f, FontStyle style, const std::string& text, double size, double x, double y,
               const Paint& paint, double deg = 0, Anchor anchor = Anchor::Centre, double squeeze = 1.0);
void draw_text(Canvas& c, Fonts& f, FontStyle style, const std::string& text, double size, double x, double y,
               Color colour, double deg = 0, Anchor anchor = Anchor::Centre, double squeeze = 1.0);

}  // namespace art
