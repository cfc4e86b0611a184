// Gauge modules as DLLs (the .gau files the simulator loads), opened with
// the system loader; the module handle doubles as the resource handle.
#include "host/module_loader.h"

#include <windows.h>

#include <cstdio>

namespace sim::module_loader {

void* open(const std::string& path, std::string* why) {
    HMODULE handle = LoadLibraryA(path.c_str());
    if (!handle && why) {
        DWORD code = GetLastError();
        char text[256] = "";
        FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0, text,
                       sizeof text, nullptr);
        for (char* end = text + strlen(text); end > text && (end[-1] == '\n' || end[-1] == '\r' || end[-1] == ' ');)
            *--end = 0;
        char number[32];
        std::snprintf(number, sizeof number, "error %lu", static_cast<unsigned long>(code));
        *why = text[0] ? std::string(text) + " (" + number + ")" : std::string(number);
    }
    return handle;
}

void* symbol(void* handle, const char* name) {
    return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(handle), name));
}

void close(void* handle) { FreeLibrary(static_cast<HMODULE>(handle)); }

}  // namespace sim::module_loader
