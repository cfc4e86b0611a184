// The small square panel buttons: the three fixed ones, the seven
// programmable faces 100 to 160 and the eight spare faces stored by name.
#include "artwork.h"

namespace art {

namespace {

using namespace colours;

struct Face {
    const char* name;
    const char* glyph;
    Color body;
};

}  // namespace

void add_panel_button_artwork(Catalogue& k) {
    // 60 is the one true-colour bitmap of the module; it is drawn the same way.
    k.add(60, [](Canvas& c, Fonts& f) {
        button_face(c, f, "", rgb(70, 86, 110));
        c.fill(Path().rect(5.5, 4, 8, 11), rgb(236, 232, 218));
        c.fill(Path().rect(7.5, 3, 4, 2.5), metal_dark);
        for (double y : {7.5, 10.0, 12.5}) c.fill(Path().rect(7, y, 5, 1), rgb(60, 60, 60));
    });
    k.add(70, [](Canvas& c, Fonts& f) { button_face(c, f, "M", rgb(60, 110, 70)); });
    k.add(80, [](Canvas& c, Fonts& f) { button_face(c, f, "ATC", rgb(70, 86, 110)); });
    const Face faces[] = {{"100", "", rgb(64, 64, 64)},  {"110", "X", rgb(150, 40, 34)}, {"120", "R", rgb(70, 86, 110)},
                          {"130", "L", rgb(70, 86, 110)}, {"140", "G", rgb(70, 86, 110)}, {"150", "T", rgb(70, 86, 110)},
                          {"160", "C", rgb(70, 86, 110)},
                          {"BMP_BOMB_TOGGLE", "B", rgb(110, 70, 40)},  {"BMP_ELEC_TOGGLE", "E", rgb(110, 100, 40)},
                          {"BMP_FUEL_TOGGLE", "F", rgb(110, 100, 40)}, {"BMP_GEAR_TOGGLE", "G", rgb(110, 100, 40)},
                          {"BMP_NAV_TOGGLE", "N", rgb(110, 100, 40)},  {"BMP_OVERHEAD_TOGGLE", "O", rgb(110, 100, 40)},
                          {"BMP_STARTER_TOGGLE", "S", rgb(110, 100, 40)}, {"BMP_YOKE_TOGGLE", "Y", rgb(110, 100, 40)}};
    for (const Face& face : faces)
        k.add(std::string(face.name), [face](Canvas& c, Fonts& f) { button_face(c, f, face.glyph, face.body); });
}

}  // namespace art
