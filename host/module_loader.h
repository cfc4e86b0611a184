// Opening a gauge module and finding its exported records: the one place
// where the host differs per operating system (a shared object on Linux, a
// DLL on Windows). The handle is also what the host passes with the
// install notice, through which the module finds its own resources.
#pragma once

#include <string>

namespace sim::module_loader {

// Null on failure, with `why` set to the system's reason.
void* open(const std::string& path, std::string* why);
void* symbol(void* handle, const char* name);
void close(void* handle);

}  // namespace sim::module_loader
