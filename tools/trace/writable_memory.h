// Whether the process may write a range of memory: the host writes the
// angle it derives into each nonlinearity table entry of the module's own
// static data, which must therefore not lie in read-only data.
#pragma once

#include <cstddef>

namespace trace {

bool writable_memory(const void* address, size_t size);

}  // namespace trace
