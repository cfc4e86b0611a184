#include "host/tooltip_format.h"

#include <cctype>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "host/module_entry.h"

namespace sim {

namespace {

// A printf conversion the formatter accepts: flags, up to two digits of
// width, optionally '.' and up to two digits of precision, one conversion.
bool valid_conversion(const std::string& conversion) {
    size_t i = 0;
    while (i < conversion.size() && std::strchr("-+ 0#", conversion[i])) ++i;
    size_t digits = 0;
    while (i < conversion.size() && std::isdigit(static_cast<unsigned char>(conversion[i]))) ++i, ++digits;
    if (digits > 2) return false;
    if (i < conversion.size() && conversion[i] == '.') {
        ++i;
        digits = 0;
        while (i < conversion.size() && std::isdigit(static_cast<unsigned char>(conversion[i]))) ++i, ++digits;
        if (digits > 2) return false;
    }
    return i + 1 == conversion.size() && std::strchr("diuxXcseEfgG", conversion[i]);
}

int clamp_to_int(double v) {
    if (std::isnan(v)) return 0;
    if (v >= static_cast<double>(INT_MAX)) return INT_MAX;
    if (v <= static_cast<double>(INT_MIN)) return INT_MIN;
    return static_cast<int>(v);
}

// The text of one placeholder, or false (and why) when it cannot be filled.
bool fill(const std::string& placeholder, const TooltipArg& arg, std::string& out, std::string& why) {
    char conversion = placeholder.back();
    std::string format = "%" + placeholder;
    char buffer[512];
    if (conversion == 's') {
        if (!arg.string) return why = "no string callback", false;
        const char* s = nullptr;
        if (!enter_module_into(&s, arg.string, 0.0, 0u, 0u, 0u, 0u)) return why = "the string callback was abandoned", false;
        if (!s) why = "the string callback returned no string";
        std::snprintf(buffer, sizeof buffer, format.c_str(), s ? s : "");
    } else if (conversion == 'c') {
        return false;
    } else {
        if (!arg.number) return why = "no numeric callback", false;
        double v = 0;
        if (!enter_module_into(&v, arg.number, 0.0, 0u, 0u, 0u, 0u)) return why = "the numeric callback was abandoned", false;
        if (std::strchr("diuxX", conversion))
            std::snprintf(buffer, sizeof buffer, format.c_str(), clamp_to_int(v));
        else
            std::snprintf(buffer, sizeof buffer, format.c_str(), v);
    }
    out = buffer;
    return true;
}

}  // namespace

std::string format_tooltip(const char* text, const TooltipArg* args, uint32_t arg_count, std::string* problem) {
    auto note = [&](unsigned index, const std::string& why) {
        if (problem && problem->empty()) *problem = "placeholder %" + std::to_string(index) + ": " + why;
    };
    std::string out;
    if (!text) return out;
    const char* p = text;
    while (*p) {
        if (*p != '%') {
            out += *p++;
            continue;
        }
        if (p[1] == '%') {
            out += '%';
            p += 2;
            continue;
        }
        // %n!conversion!
        const char* q = p + 1;
        unsigned index = 0;
        int digits = 0;
        while (std::isdigit(static_cast<unsigned char>(*q)) && digits < 3) index = index * 10 + (*q++ - '0'), ++digits;
        std::string conversion;
        bool formed = digits > 0 && *q == '!';
        const char* end = q;
        if (formed) {
            const char* close = std::strchr(q + 1, '!');
            formed = close != nullptr;
            if (formed) {
                conversion.assign(q + 1, close);
                end = close + 1;
                formed = valid_conversion(conversion);
            }
        }
        std::string filled, why;
        if (formed && args && (index < 1 || index > arg_count))
            note(index, "beyond the record's " + std::to_string(arg_count) + " arguments");
        if (formed && args && index >= 1 && index <= arg_count && fill(conversion, args[index - 1], filled, why)) {
            out += filled;
            p = end;
        } else {
            out += *p++;  // shown as written
        }
        if (!why.empty()) note(index, why);
    }
    return out;
}

}  // namespace sim
