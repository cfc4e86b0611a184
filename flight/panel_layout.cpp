#include "flight/panel_layout.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <map>
#include <set>

#include "flight/input_text.h"

namespace sim {

namespace {

std::string trim(const std::string& s) {
    size_t a = 0, b = s.size();
    while (a < b && std::isspace(static_cast<unsigned char>(s[a]))) ++a;
    while (b > a && std::isspace(static_cast<unsigned char>(s[b - 1]))) --b;
    return s.substr(a, b - a);
}

std::string lower(std::string s) {
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

// A whole decimal number within [lo, hi].
bool parse_int(const std::string& text, long lo, long hi, int* out) {
    long long v;
    if (!plain_signed(trim(text), lo, hi, &v)) return false;
    *out = static_cast<int>(v);
    return true;
}

std::vector<std::string> split(const std::string& text, char sep, size_t max_fields) {
    std::vector<std::string> fields;
    size_t start = 0;
    while (fields.size() + 1 < max_fields) {
        size_t comma = text.find(sep, start);
        if (comma == std::string::npos) break;
        fields.push_back(text.substr(start, comma - start));
        start = comma + 1;
    }
    fields.push_back(text.substr(start));
    return fields;
}

const LayoutLimits& kLimits = kLayoutLimits;
constexpr long kMaxPixels = kLayoutLimits.window_pixels;

// Spellings of one key: a window may give each key once.
std::string canonical_key(const std::string& key) {
    if (key == "size_mm") return "size";
    if (key == "background_colour") return "background_color";
    return key;
}

class Reader {
public:
    Reader(const std::string& file, PanelLayout* layout) : file_(file), layout_(layout) {}

    bool line(const std::string& raw, int number) {
        number_ = number;
        std::string text = trim(strip_comment(raw));
        if (text.empty()) return true;
        if (text.front() == '[') return section(text);
        size_t eq = text.find('=');
        if (eq == std::string::npos) return fail("expected key=value or [section], got " + quoted(text));
        std::string key = lower(trim(text.substr(0, eq)));
        std::string value = trim(text.substr(eq + 1));
        if (key.empty()) return fail("a key is missing before '='");
        if (section_ == "window titles") return title(key, value);
        if (!window_) return fail(quoted(key) + " stands outside any [WindowNN] section");
        auto [seen, fresh] = keys_seen_.emplace(canonical_key(key), number_);
        if (!fresh) return fail(quoted(key) + " is given twice in [" + window_->section + "] (first at line " +
                                std::to_string(seen->second) + ")");
        return window_key(key, value);
    }

    bool finish() {
        for (auto& w : layout_->windows) {
            auto t = titles_.find(lower(w.section));
            if (t != titles_.end()) w.title = t->second;
        }
        if (layout_->windows.empty()) {
            error = file_ + ": whole file: no [WindowNN] section";
            return false;
        }
        for (auto& w : layout_->windows) {
            number_ = w.line;
            if (w.width <= 0 || w.height <= 0) return fail("[" + w.section + "] has no size=");
        }
        return screen_fits();
    }

    std::string error;

private:
    static std::string strip_comment(const std::string& s) {
        // Parameter strings may hold '/' and '#' (they are comments there), so
        // only a line that starts with ';' or '//' is a comment, and ';'
        // after white space ends a line.
        std::string t = trim(s);
        if (t.rfind(";", 0) == 0 || t.rfind("//", 0) == 0) return "";
        size_t semi = s.find(" ;");
        return semi == std::string::npos ? s : s.substr(0, semi);
    }

    bool fail(const std::string& what) {
        error = file_ + ":" + std::to_string(number_) + ": " + what;
        return false;
    }

    // The screen stands under every window: it must stay drawable. The
    // error names the line of the window that makes it too large.
    bool screen_fits() {
        long long width = 0, height = 0;
        for (auto& w : layout_->windows) {
            width = std::max<long long>(width, w.x + w.width);
            height = std::max<long long>(height, w.y + w.height);
            if (width * height > kLimits.screen_pixels) {
                number_ = w.line;
                return fail("[" + w.section + "] makes the screen " + std::to_string(width) + " x " +
                            std::to_string(height) + " pixels; the screen is at most " +
                            std::to_string(kLimits.screen_pixels) + " pixels (4096 x 4096)");
            }
        }
        return true;
    }

    bool section(const std::string& text) {
        if (text.back() != ']') return fail("section header is not closed: " + quoted(text));
        std::string name = trim(text.substr(1, text.size() - 2));
        section_ = lower(name);
        window_ = nullptr;
        keys_seen_.clear();
        if (section_ == "window titles") {
            if (titles_seen_) return fail("[" + name + "] appears twice");
            titles_seen_ = true;
            return true;
        }
        if (section_.rfind("window", 0) == 0) {
            int n;
            if (section_.size() != 8 || !parse_int(section_.substr(6), 0, 99, &n))
                return fail("window section must be [Window00] to [Window99]: " + quoted(name));
            for (auto& w : layout_->windows)
                if (lower(w.section) == section_)
                    return fail("window section [" + name + "] appears twice (first at line " + std::to_string(w.line) + ")");
            layout_->windows.push_back({});
            window_ = &layout_->windows.back();
            window_->section = name;
            window_->line = number_;
            window_->ident = static_cast<uint32_t>(n == 0 ? 0 : 10000 + n);
            return true;
        }
        return fail("unknown section " + quoted("[" + name + "]"));
    }

    bool title(const std::string& key, const std::string& value) {
        if (!titles_.emplace(key, value).second) return fail("title " + quoted(key) + " is given twice");
        return true;
    }

    bool pair(const std::string& key, const std::string& value, long lo, long hi, int* a, int* b) {
        auto f = split(value, ',', 3);
        if (f.size() != 2 || !parse_int(f[0], lo, hi, a) || !parse_int(f[1], lo, hi, b))
            return fail(key + " needs two whole numbers from " + std::to_string(lo) + " to " + std::to_string(hi) +
                        ", got " + quoted(value));
        return true;
    }

    bool window_key(const std::string& key, const std::string& value) {
        if (key == "size" || key == "size_mm") return pair(key, value, 1, kMaxPixels, &window_->width, &window_->height);
        if (key == "position") return pair(key, value, 0, kMaxPixels, &window_->x, &window_->y);
        if (key == "visible") {
            if (value != "0" && value != "1") return fail("visible must be 0 or 1, got " + quoted(value));
            window_->visible = value == "1";
            return true;
        }
        if (key == "ident") {
            int id;
            if (!parse_int(value, 0, INT_MAX, &id)) return fail("ident must be a panel identifier, got " + quoted(value));
            window_->ident = static_cast<uint32_t>(id);
            return true;
        }
        if (key == "background_color" || key == "background_colour") {
            auto f = split(value, ',', 4);
            int r, g, b;
            if (f.size() != 3 || !parse_int(f[0], 0, 255, &r) || !parse_int(f[1], 0, 255, &g) || !parse_int(f[2], 0, 255, &b))
                return fail(key + " needs three numbers 0-255 (r,g,b), got " + quoted(value));
            window_->background = {uint8_t(r), uint8_t(g), uint8_t(b), 255};
            return true;
        }
        if (key.rfind("gauge", 0) == 0) return gauge(key, value);
        return fail("unknown key " + quoted(key));
    }

    bool gauge(const std::string& key, const std::string& value) {
        int n;
        if (!parse_int(key.substr(5), 0, 999, &n)) return fail("gauge key must be gauge00 to gauge999: " + quoted(key));
        if (++gauge_count_ > kLimits.gauges)
            return fail("more than " + std::to_string(kLimits.gauges) + " gauges; a layout places at most that many");
        auto f = split(value, ',', 6);
        if (f.size() < 3) return fail("gauge needs Module!Gauge, x, y: " + quoted(value));
        GaugeSlot slot;
        slot.line = number_;
        std::string name = trim(f[0]);
        size_t bang = name.find('!');
        slot.module = bang == std::string::npos ? "" : trim(name.substr(0, bang));
        slot.gauge = trim(bang == std::string::npos ? name : name.substr(bang + 1));
        if (slot.gauge.empty()) return fail("gauge name is empty: " + quoted(value));
        if (!parse_int(f[1], -kMaxPixels, kMaxPixels, &slot.x) || !parse_int(f[2], -kMaxPixels, kMaxPixels, &slot.y))
            return fail("gauge position must be whole numbers from " + std::to_string(-kMaxPixels) + " to " +
                        std::to_string(kMaxPixels) + ", got " + quoted(trim(f[1]) + "," + trim(f[2])));
        const long most = kLimits.gauge_pixels;
        if (f.size() > 3 && !trim(f[3]).empty() && !parse_int(f[3], 1, most, &slot.width))
            return fail("gauge width must be a whole number from 1 to " + std::to_string(most) + ", got " + quoted(trim(f[3])));
        if (f.size() > 4 && !trim(f[4]).empty() && !parse_int(f[4], 1, most, &slot.height))
            return fail("gauge height must be a whole number from 1 to " + std::to_string(most) + ", got " + quoted(trim(f[4])));
        if (f.size() > 5) {
            slot.parameters = trim(f[5]);
            slot.has_parameters = true;
            if (slot.parameters.size() > kLimits.parameters_bytes)
                return fail("parameter string of " + std::to_string(slot.parameters.size()) + " bytes; at most " +
                            std::to_string(kLimits.parameters_bytes));
        }
        // A gauge without a width takes its bitmap's, which the layout
        // cannot know: counted at the largest size a gauge may have.
        gauge_area_ += (long long)(slot.width ? slot.width : most) * (slot.height ? slot.height : most);
        if (gauge_area_ > kLimits.gauge_area)
            return fail("the gauges so far cover " + std::to_string(gauge_area_) + " pixels of panel; at most " +
                        std::to_string(kLimits.gauge_area) + " (give widths and heights to count less)");
        window_->gauges.push_back(slot);
        return true;
    }

    std::string file_;
    PanelLayout* layout_;
    PanelWindow* window_ = nullptr;
    std::string section_;
    std::map<std::string, std::string> titles_;
    bool titles_seen_ = false;
    std::map<std::string, int> keys_seen_;  // key of the current window, and its line
    int gauge_count_ = 0;
    long long gauge_area_ = 0;
    int number_ = 0;
};

}  // namespace

int PanelLayout::screen_width() const {
    int w = 0;
    for (auto& win : windows) w = std::max(w, win.x + win.width);
    return w;
}

int PanelLayout::screen_height() const {
    int h = 0;
    for (auto& win : windows) h = std::max(h, win.y + win.height);
    return h;
}

bool parse_panel_layout(const std::string& text, const std::string& file_name, PanelLayout* layout, std::string* error) {
    *layout = {};
    Reader reader(file_name, layout);
    if (!feed_input_lines(text, file_name, kLimits.file_bytes, reader, error)) return false;
    return true;
}

bool load_panel_layout(const std::string& path, PanelLayout* layout, std::string* error) {
    std::string text;
    if (!read_input_file(path, kLimits.file_bytes, "panel layout", &text, error)) return false;
    return parse_panel_layout(text, path, layout, error);
}

}  // namespace sim
