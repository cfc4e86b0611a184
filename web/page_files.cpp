#include "web/page_files.h"

namespace sim {

const PageFile* find_page_file(std::string_view path) {
    if (path == "/") path = "/index.html";
    for (size_t i = 0; i < kPageFileCount; ++i)
        if (path == kPageFiles[i].path) return &kPageFiles[i];
    return nullptr;
}

}  // namespace sim
