#include "framework/parameters.h"

#include <cstring>

const char* find_parameter_key(const char* text, const char* key) {
    if (!text || !key || !*key) return nullptr;
    const char* match = std::strstr(text, key);
    if (!match) return nullptr;
    for (const char* p = text; p < match; ++p)
        if (*p == '/' || *p == '#' || *p == '\'') return nullptr;
    return match;
}
