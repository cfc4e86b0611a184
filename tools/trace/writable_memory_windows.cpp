// From the protection of the pages, as the system loader mapped the module's
// sections.
#include <windows.h>

#include "tools/trace/writable_memory.h"

namespace trace {

bool writable_memory(const void* address, size_t size) {
    const char* at = static_cast<const char*>(address);
    const char* end = at + size;
    while (at < end) {
        MEMORY_BASIC_INFORMATION info;
        if (!VirtualQuery(at, &info, sizeof info) || info.State != MEM_COMMIT) return false;
        const DWORD writable = PAGE_READWRITE | PAGE_WRITECOPY | PAGE_EXECUTE_READWRITE | PAGE_EXECUTE_WRITECOPY;
        if (!(info.Protect & writable)) return false;
        at = static_cast<const char*>(info.BaseAddress) + info.RegionSize;
    }
    return true;
}

}  // namespace trace
