#include "image_files.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>

namespace art {

std::array<uint8_t, 3> keyed_rgb(const Color& c) {
    if (c.a < 0.5) return kTransparentKey;
    auto ch = [](double v) { return static_cast<uint8_t>(std::lround(std::clamp(v, 0.0, 1.0) * 255.0)); };
    std::array<uint8_t, 3> v = {ch(c.r), ch(c.g), ch(c.b)};
    if (v == kTransparentKey) v = {1, 1, 1};
    return v;
}

namespace {
uint32_t pack(const std::array<uint8_t, 3>& v) { return (uint32_t(v[0]) << 16) | (uint32_t(v[1]) << 8) | v[2]; }
int channel(uint32_t c, int k) { return (c >> (16 - 8 * k)) & 0xFF; }

struct Box {
    size_t begin, end;
    uint64_t count;
    int longest;  // channel with the widest range
    int range;
};

Box make_box(const std::vector<std::pair<uint32_t, uint64_t>>& e, size_t b, size_t en) {
    Box box{b, en, 0, 0, -1};
    int lo[3] = {255, 255, 255}, hi[3] = {0, 0, 0};
    for (size_t i = b; i < en; ++i) {
        box.count += e[i].second;
        for (int k = 0; k < 3; ++k) {
            lo[k] = std::min(lo[k], channel(e[i].first, k));
            hi[k] = std::max(hi[k], channel(e[i].first, k));
        }
    }
    for (int k = 0; k < 3; ++k)
        if (hi[k] - lo[k] > box.range) {
            box.range = hi[k] - lo[k];
            box.longest = k;
        }
    return box;
}
}  // namespace

IndexedImage quantise(const Canvas& c) {
    IndexedImage img;
    img.width = c.width();
    img.height = c.height();
    std::map<uint32_t, uint64_t> hist;
    bool has_key = false;
    std::vector<std::array<uint8_t, 3>> rgb(static_cast<size_t>(c.width()) * c.height());
    std::vector<bool> hidden(rgb.size());
    for (int y = 0; y < c.height(); ++y)
        for (int x = 0; x < c.width(); ++x) {
            size_t i = static_cast<size_t>(y) * c.width() + x;
            if (c.at(x, y).a < 0.5) {
                hidden[i] = true;
                has_key = true;
            } else {
                rgb[i] = keyed_rgb(c.at(x, y));
                hist[pack(rgb[i])]++;
            }
        }
    const size_t cap = has_key ? 255 : 256;
    std::vector<std::pair<uint32_t, uint64_t>> entries(hist.begin(), hist.end());
    if (has_key) img.palette.push_back(kTransparentKey);
    std::map<uint32_t, uint8_t> index;
    if (entries.size() <= cap) {
        for (auto& [col, n] : entries) {
            index[col] = static_cast<uint8_t>(img.palette.size());
            img.palette.push_back({uint8_t(channel(col, 0)), uint8_t(channel(col, 1)), uint8_t(channel(col, 2))});
        }
    } else {
        std::vector<Box> boxes = {make_box(entries, 0, entries.size())};
        while (boxes.size() < cap) {
            // Split the box whose colours spread widest, weighted by pixels.
            int best = -1;
            double best_score = 0;
            for (size_t i = 0; i < boxes.size(); ++i) {
                if (boxes[i].end - boxes[i].begin < 2 || boxes[i].range == 0) continue;
                double score = double(boxes[i].range) * boxes[i].range * std::sqrt(double(boxes[i].count));
                if (score > best_score) {
                    best_score = score;
                    best = static_cast<int>(i);
                }
            }
            if (best < 0) break;
            Box b = boxes[best];
            int k = b.longest;
            std::sort(entries.begin() + b.begin, entries.begin() + b.end, [k](const auto& l, const auto& r) {
                int a = channel(l.first, k), bb = channel(r.first, k);
                return a != bb ? a < bb : l.first < r.first;
            });
            uint64_t half = b.count / 2, acc = 0;
            size_t cut = b.begin + 1;
            for (size_t i = b.begin; i < b.end - 1; ++i) {
                acc += entries[i].second;
                cut = i + 1;
                if (acc >= half) break;
            }
            boxes[best] = make_box(entries, b.begin, cut);
            boxes.insert(boxes.begin() + best + 1, make_box(entries, cut, b.end));
        }
        std::vector<std::array<int, 3>> means;
        for (const Box& b : boxes) {
            double s[3] = {0, 0, 0};
            for (size_t i = b.begin; i < b.end; ++i)
                for (int k = 0; k < 3; ++k) s[k] += double(channel(entries[i].first, k)) * entries[i].second;
            std::array<uint8_t, 3> m;
            for (int k = 0; k < 3; ++k) m[k] = static_cast<uint8_t>(std::lround(s[k] / double(b.count)));
            if (m == kTransparentKey) m = {1, 1, 1};
            img.palette.push_back(m);
        }
        // Each colour goes to its nearest palette entry.
        for (auto& [col, n] : entries) {
            int best = has_key ? 1 : 0, best_d = 1 << 30;
            for (size_t p = has_key ? 1 : 0; p < img.palette.size(); ++p) {
                int d = 0;
                for (int k = 0; k < 3; ++k) {
                    int e = channel(col, k) - img.palette[p][k];
                    d += e * e;
                }
                if (d < best_d) {
                    best_d = d;
                    best = static_cast<int>(p);
                }
            }
            index[col] = static_cast<uint8_t>(best);
        }
    }
    img.pixels.resize(rgb.size());
    for (size_t i = 0; i < rgb.size(); ++i) img.pixels[i] = hidden[i] ? 0 : index.at(pack(rgb[i]));
    return img;
}

namespace {
void put16(std::vector<uint8_t>& o, uint32_t v) {
    o.push_back(v & 0xFF);
    o.push_back((v >> 8) & 0xFF);
}
void put32(std::vector<uint8_t>& o, uint32_t v) {
    put16(o, v & 0xFFFF);
    put16(o, v >> 16);
}
void bmp_headers(std::vector<uint8_t>& o, int w, int h, int bits, uint32_t colours, uint32_t image_bytes) {
    uint32_t offset = 14 + 40 + 4 * colours;
    o.push_back('B');
    o.push_back('M');
    put32(o, offset + image_bytes);
    put32(o, 0);
    put32(o, offset);
    put32(o, 40);  // BITMAPINFOHEADER
    put32(o, static_cast<uint32_t>(w));
    put32(o, static_cast<uint32_t>(h));  // positive: rows stored bottom-up
    put16(o, 1);
    put16(o, static_cast<uint32_t>(bits));
    put32(o, 0);  // uncompressed
    put32(o, image_bytes);
    put32(o, 2835);  // 72 dpi
    put32(o, 2835);
    put32(o, colours);
    put32(o, 0);
}
}  // namespace

std::vector<uint8_t> encode_bmp8(const IndexedImage& img) {
    std::vector<uint8_t> o;
    uint32_t stride = (static_cast<uint32_t>(img.width) + 3) & ~3u;
    bmp_headers(o, img.width, img.height, 8, static_cast<uint32_t>(img.palette.size()), stride * img.height);
    for (const auto& p : img.palette) {
        o.push_back(p[2]);
        o.push_back(p[1]);
        o.push_back(p[0]);
        o.push_back(0);
    }
    for (int y = img.height - 1; y >= 0; --y) {
        const uint8_t* row = &img.pixels[static_cast<size_t>(y) * img.width];
        o.insert(o.end(), row, row + img.width);
        for (uint32_t k = img.width; k < stride; ++k) o.push_back(0);
    }
    return o;
}

std::vector<uint8_t> encode_bmp24(const Canvas& c) {
    std::vector<uint8_t> o;
    uint32_t stride = (static_cast<uint32_t>(c.width()) * 3 + 3) & ~3u;
    bmp_headers(o, c.width(), c.height(), 24, 0, stride * c.height());
    for (int y = c.height() - 1; y >= 0; --y) {
        for (int x = 0; x < c.width(); ++x) {
            auto v = keyed_rgb(c.at(x, y));
            o.push_back(v[2]);
            o.push_back(v[1]);
            o.push_back(v[0]);
        }
        for (uint32_t k = c.width() * 3; k < stride; ++k) o.push_back(0);
    }
    return o;
}

namespace {
uint32_t crc32(const uint8_t* d, size_t n, uint32_t crc = 0) {
    static uint32_t table[256];
    static bool ready = false;
    if (!ready) {
        for (uint32_t i = 0; i < 256; ++i) {
            uint32_t c = i;
            for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            table[i] = c;
        }
        ready = true;
    }
    crc = ~crc;
    for (size_t i = 0; i < n; ++i) crc = table[(crc ^ d[i]) & 0xFF] ^ (crc >> 8);
    return ~crc;
}
void put32be(std::vector<uint8_t>& o, uint32_t v) {
    for (int s = 24; s >= 0; s -= 8) o.push_back((v >> s) & 0xFF);
}
void chunk(std::vector<uint8_t>& o, const char* type, const std::vector<uint8_t>& data) {
    put32be(o, static_cast<uint32_t>(data.size()));
    std::vector<uint8_t> td(type, type + 4);
    td.insert(td.end(), data.begin(), data.end());
    o.insert(o.end(), td.begin(), td.end());
    put32be(o, crc32(td.data(), td.size()));
}
}  // namespace

std::vector<uint8_t> encode_png_preview(const Canvas& c, int scale) {
    int w = c.width() * scale, h = c.height() * scale;
    std::vector<uint8_t> raw;
    for (int y = 0; y < h; ++y) {
        raw.push_back(0);
        for (int x = 0; x < w; ++x) {
            auto v = keyed_rgb(c.at(x / scale, y / scale));
            if (c.at(x / scale, y / scale).a < 0.5) {
                uint8_t g = ((x / 6 + y / 6) & 1) ? 200 : 150;
                v = {g, g, g};
            }
            raw.insert(raw.end(), v.begin(), v.end());
        }
    }
    std::vector<uint8_t> z = {0x78, 0x01};
    uint32_t a = 1, b = 0;
    for (uint8_t v : raw) {
        a = (a + v) % 65521;
        b = (b + a) % 65521;
    }
    for (size_t off = 0; off < raw.size() || off == 0;) {
        size_t n = std::min<size_t>(65535, raw.size() - off);
        bool last = off + n >= raw.size();
        z.push_back(last ? 1 : 0);
        z.push_back(n & 0xFF);
        z.push_back(n >> 8);
        z.push_back(~n & 0xFF);
        z.push_back((~n >> 8) & 0xFF);
        z.insert(z.end(), raw.begin() + off, raw.begin() + off + n);
        off += n;
        if (last) break;
    }
    put32be(z, (b << 16) | a);
    std::vector<uint8_t> o = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    std::vector<uint8_t> ihdr;
    put32be(ihdr, w);
    put32be(ihdr, h);
    ihdr.insert(ihdr.end(), {8, 2, 0, 0, 0});
    chunk(o, "IHDR", ihdr);
    chunk(o, "IDAT", z);
    chunk(o, "IEND", {});
    return o;
}

bool write_file(const std::string& path, const std::vector<uint8_t>& bytes, std::string& error) {
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) {
        error = "cannot write " + path;
        return false;
    }
    bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    ok = std::fclose(f) == 0 && ok;
    if (!ok) error = "cannot write " + path;
    return ok;
}

}  // namespace art
