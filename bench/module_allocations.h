// Counts heap allocations whose caller is code of a gauge module: malloc,
// calloc, realloc and operator new are replaced in the benchmark binary and
// look up the module that called them.
#pragma once

#include <cstdint>

namespace bench {

// Only allocations called from code inside the shared object that holds
// `symbol_in_module` are counted.
void watch_module(const void* symbol_in_module);
uint64_t module_allocations();

}  // namespace bench
