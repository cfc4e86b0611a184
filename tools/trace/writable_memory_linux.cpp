// From the process's own memory map.
#include <cstdint>
#include <cstdio>

#include "tools/trace/writable_memory.h"

namespace trace {

bool writable_memory(const void* address, size_t size) {
    uintptr_t from = reinterpret_cast<uintptr_t>(address), to = from + size;
    FILE* maps = std::fopen("/proc/self/maps", "r");
    if (!maps) return false;
    char line[512];
    bool writable = false;
    while (std::fgets(line, sizeof line, maps)) {
        unsigned long long start, end;
        char perms[5] = "";
        if (std::sscanf(line, "%llx-%llx %4s", &start, &end, perms) != 3) continue;
        if (from >= start && to <= end) {
            writable = perms[1] == 'w';
            break;
        }
    }
    std::fclose(maps);
    return writable;
}

}  // namespace trace
