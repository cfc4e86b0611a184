// morvane-artwork: draws every bitmap of Morvane_Instr into a directory.
//
//   morvane-artwork OUTDIR [--sizes FILE] [--fonts DIR] [--preview PNGDIR] [--only NAME,...]
//   morvane-artwork --compose PNG LAYER...   (a quick look at an assembled gauge)
//
// Layers of --compose, drawn in order, by the conventions of parts.h:
//   "img ID X Y", "needle ID X Y PIVOTX PIVOTY ANGLE" (degrees clockwise from
//   up), "move ID X Y DX DY" (window ID+1 at X Y, picture offset DX DY),
//   "sprite ID X Y CX CY DEGREES DY" (window ID+1 at X Y, centre CX CY,
//   counter-clockwise DEGREES, shifted DY).
//
// The list of bitmaps (name, width, height, bits per pixel) comes from
// resources/bitmap_sizes.txt; each is written as OUTDIR/<name>.bmp. The same
// inputs always give the same bytes.
#include <cstdio>
#include <fstream>
#include <map>
#include <memory>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "artwork.h"
#include "image_files.h"

#ifndef MORVANE_SIZES_FILE
#define MORVANE_SIZES_FILE "resources/bitmap_sizes.txt"
#endif
#ifndef MORVANE_FONT_DIR
#define MORVANE_FONT_DIR "/usr/share/fonts/truetype/dejavu"
#endif

namespace {

struct Entry {
    std::string name;
    int width, height, bits;
};

bool read_sizes(const std::string& path, std::vector<Entry>& out, std::string& error) {
    std::ifstream in(path);
    if (!in) {
        error = "cannot read bitmap list " + path;
        return false;
    }
    std::string line;
    int number = 0;
    while (std::getline(in, line)) {
        ++number;
        if (line.empty() || line[0] == '#') continue;
        std::istringstream ls(line);
        Entry e;
        std::string extra;
        if (!(ls >> e.name >> e.width >> e.height >> e.bits) || (ls >> extra) || e.width <= 0 || e.height <= 0 ||
            e.width > 4096 || e.height > 4096 || (e.bits != 8 && e.bits != 24)) {
            error = path + ":" + std::to_string(number) + ": malformed bitmap line \"" + line + "\"";
            return false;
        }
        out.push_back(e);
    }
    if (out.empty()) {
        error = "bitmap list " + path + " names no bitmap";
        return false;
    }
    return true;
}

int usage() {
    std::fprintf(stderr,
                 "usage: morvane-artwork OUTDIR [--sizes FILE] [--fonts DIR] [--preview PNGDIR] [--only NAME,...]\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    std::string compose_png;
    std::vector<std::string> layers;
    std::string out_dir, sizes = MORVANE_SIZES_FILE, fonts_dir = MORVANE_FONT_DIR, preview;
    std::set<std::string> only;
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        auto value = [&](std::string& dst) {
            if (i + 1 >= argc) return false;
            dst = argv[++i];
            return true;
        };
        if (a == "--sizes") {
            if (!value(sizes)) return usage();
        } else if (a == "--fonts") {
            if (!value(fonts_dir)) return usage();
        } else if (a == "--preview") {
            if (!value(preview)) return usage();
        } else if (a == "--only") {
            std::string list;
            if (!value(list)) return usage();
            std::stringstream ss(list);
            for (std::string n; std::getline(ss, n, ',');) only.insert(n);
        } else if (a == "--compose") {
            if (!value(compose_png)) return usage();
            for (++i; i < argc; ++i) layers.push_back(argv[i]);
        } else if (!a.empty() && a[0] == '-') {
            return usage();
        } else if (out_dir.empty()) {
            out_dir = a;
        } else {
            return usage();
        }
    }
    if (out_dir.empty() && compose_png.empty()) return usage();

    std::string error;
    std::vector<Entry> entries;
    if (!read_sizes(sizes, entries, error)) {
        std::fprintf(stderr, "morvane-artwork: %s\n", error.c_str());
        return 1;
    }
    art::Fonts fonts;
    if (!fonts.open(fonts_dir, error)) {
        std::fprintf(stderr, "morvane-artwork: %s\n", error.c_str());
        return 1;
    }
    art::Catalogue catalogue;
    art::add_all_artwork(catalogue);

    if (!compose_png.empty()) {
        std::map<std::string, art::Canvas> drawn;
        auto get = [&](const std::string& name) -> const art::Canvas* {
            auto it = drawn.find(name);
            if (it != drawn.end()) return &it->second;
            for (const Entry& e : entries)
                if (e.name == name && catalogue.find(name)) {
                    art::Canvas c(e.width, e.height);
                    (*catalogue.find(name))(c, fonts);
                    return &drawn.emplace(name, std::move(c)).first->second;
                }
            return nullptr;
        };
        std::unique_ptr<art::Canvas> out;
        for (const std::string& l : layers) {
            std::istringstream ls(l);
            std::string kind, name;
            ls >> kind >> name;
            const art::Canvas* src = get(name);
            if (!src) {
                std::fprintf(stderr, "morvane-artwork: no artwork for bitmap %s\n", name.c_str());
                return 1;
            }
            if (!out) out = std::make_unique<art::Canvas>(src->width(), src->height());
            double x = 0, y = 0, a = 0, b = 0, d = 0, e = 0;
            ls >> x >> y >> a >> b >> d >> e;
            if (kind == "img") {
                out->draw(*src, int(x), int(y));
            } else if (kind == "needle") {
                out->draw_rotated(*src, a, b, x, y, d - 90);
            } else if (kind == "move" || kind == "sprite") {
                const art::Canvas* win = get(std::to_string(std::stoi(name) + 1));
                if (!win) return 1;
                art::Canvas moved(win->width(), win->height());
                if (kind == "move")
                    moved.draw(*src, int(-a), int(-b));
                else
                    moved.draw_rotated(*src, src->width() / 2.0, src->height() / 2.0, a - x, b - y + e, -d);
                for (int yy = 0; yy < win->height(); ++yy)
                    for (int xx = 0; xx < win->width(); ++xx)
                        if (win->at(xx, yy).a < 0.5) moved.at(xx, yy) = {0, 0, 0, 0};
                out->draw(moved, int(x), int(y));
            }
        }
        if (!out || !art::write_file(compose_png, art::encode_png_preview(*out, 2), error)) {
            std::fprintf(stderr, "morvane-artwork: cannot compose %s\n", compose_png.c_str());
            return 1;
        }
        return 0;
    }
    for (const Entry& e : entries)
        if ((only.empty() || only.count(e.name)) && !catalogue.find(e.name)) {
            std::fprintf(stderr, "morvane-artwork: no artwork for bitmap %s\n", e.name.c_str());
            return 1;
        }
    int written = 0;
    for (const Entry& e : entries) {
        if (!only.empty() && !only.count(e.name)) continue;
        const art::Painter* p = catalogue.find(e.name);
        art::Canvas c(e.width, e.height);
        (*p)(c, fonts);
        std::vector<uint8_t> bytes = e.bits == 24 ? art::encode_bmp24(c) : art::encode_bmp8(art::quantise(c));
        if (!art::write_file(out_dir + "/" + e.name + ".bmp", bytes, error) ||
            (!preview.empty() && !art::write_file(preview + "/" + e.name + ".png", art::encode_png_preview(c), error))) {
            std::fprintf(stderr, "morvane-artwork: %s\n", error.c_str());
            return 1;
        }
        ++written;
    }
    std::printf("morvane-artwork: %d bitmaps written to %s\n", written, out_dir.c_str());
    return 0;
}
