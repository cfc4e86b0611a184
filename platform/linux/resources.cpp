// Resource access for gauge modules on Linux: FindResourceA, LoadResource,
// LockResource, SizeofResource and FreeResource over the directory table a
// module exports (resources_directory.h). The module handle is the one the
// host passes with the install notice: the module's dlopen handle.
//
// Lookups behave as on Windows: names and types are integer resources
// (MAKEINTRESOURCE) or strings, compared without regard to case, and a
// string "#123" stands for the integer 123. A resource found under another
// type, or named where a number is asked (or the reverse), is not found.
#include <dlfcn.h>

#include <cctype>
#include <cstdlib>

#include "platform/linux/resources_directory.h"
#include "platform/win32.h"

namespace {

const ModuleResourceDirectory* directory_of(HMODULE module) {
    if (!module) return nullptr;
    void* symbol = dlsym(module, MODULE_RESOURCE_DIRECTORY_SYMBOL);
    auto* directory = static_cast<const ModuleResourceDirectory*>(symbol);
    if (!directory || directory->magic != MODULE_RESOURCE_MAGIC || !directory->entries) return nullptr;
    return directory;
}

// A resource name or type as Windows reads it: an integer, or a string.
struct Key {
    bool valid = false;
    uint32_t number = 0;         // when text is null
    const char* text = nullptr;  // when named
};

Key key_of(LPCSTR p) {
    Key key;
    if (!p) return key;
    if (IS_INTRESOURCE(p)) {
        key.number = static_cast<uint32_t>(reinterpret_cast<uintptr_t>(p));
        key.valid = key.number != 0;
        return key;
    }
    if (p[0] == '#') {
        // "#123": decimal digits only, within 16 bits.
        uint32_t n = 0;
        const char* d = p + 1;
        if (!*d) return key;
        for (; *d; ++d) {
            if (!std::isdigit(static_cast<unsigned char>(*d))) return key;
            n = n * 10 + uint32_t(*d - '0');
            if (n > 0xFFFF) return key;
        }
        key.number = n;
        key.valid = n != 0;
        return key;
    }
    key.text = p;
    key.valid = *p != 0;
    return key;
}

bool same_text(const char* a, const char* b) {
    for (; *a && *b; ++a, ++b)
        if (std::toupper(static_cast<unsigned char>(*a)) != std::toupper(static_cast<unsigned char>(*b))) return false;
    return *a == *b;
}

bool matches(const Key& key, uint32_t number, const char* text) {
    if (key.text) return text && same_text(key.text, text);
    return !text && number == key.number;
}

// The entry a resource handle stands for, when it is one of the module's.
const ModuleResource* entry_of(HMODULE module, HRSRC resource) {
    const ModuleResourceDirectory* directory = directory_of(module);
    if (!directory || !resource) return nullptr;
    auto* entry = static_cast<const ModuleResource*>(resource);
    for (uint32_t i = 0; i < directory->count; ++i)
        if (&directory->entries[i] == entry) return entry;
    return nullptr;
}

}  // namespace

extern "C" {

HRSRC FindResourceA(HMODULE module, LPCSTR name, LPCSTR type) {
    const ModuleResourceDirectory* directory = directory_of(module);
    Key name_key = key_of(name), type_key = key_of(type);
    if (!directory || !name_key.valid || !type_key.valid) return nullptr;
    for (uint32_t i = 0; i < directory->count; ++i) {
        const ModuleResource& r = directory->entries[i];
        if (matches(type_key, r.type, r.type_name) && matches(name_key, r.id, r.name))
            return const_cast<ModuleResource*>(&r);
    }
    return nullptr;
}

HGLOBAL LoadResource(HMODULE module, HRSRC resource) {
    const ModuleResource* entry = entry_of(module, resource);
    return entry ? const_cast<unsigned char*>(entry->begin) : nullptr;
}

// The loaded handle is the address of the bytes, as on Windows.
LPVOID LockResource(HGLOBAL loaded) { return loaded; }

DWORD SizeofResource(HMODULE module, HRSRC resource) {
    const ModuleResource* entry = entry_of(module, resource);
    return entry ? static_cast<DWORD>(entry->end - entry->begin) : 0;
}

// Resources live as long as their module; freeing is a no-op that answers
// FALSE, as it does on Windows.
BOOL FreeResource(HGLOBAL) { return 0; }

}  // extern "C"
