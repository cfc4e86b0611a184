// Gauge modules as shared objects, opened with the dynamic loader.
#include "host/module_loader.h"

#include <dlfcn.h>

namespace sim::module_loader {

void* open(const std::string& path, std::string* why) {
    void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle && why) {
        const char* reason = dlerror();
        *why = reason ? reason : "unknown error";
    }
    return handle;
}

void* symbol(void* handle, const char* name) { return dlsym(handle, name); }

void close(void* handle) { dlclose(handle); }

}  // namespace sim::module_loader
