// The live panel's page: the files of web/page, embedded into the binary
// at build time, looked up by the path the browser asks for.
#pragma once

#include <cstddef>
#include <string_view>

namespace sim {

struct PageFile {
    const char* path;  // "/index.html", "/panel.js", ...
    const char* media_type;
    const unsigned char* bytes;
    size_t size;
};

extern const PageFile kPageFiles[];
extern const size_t kPageFileCount;

// The file for a request path ("/" is the index page); null when none.
const PageFile* find_page_file(std::string_view path);

}  // namespace sim
