// The resource directory a gauge module carries on Linux: what a Windows
// module holds in its resource section, as one table the module exports
// under MODULE_RESOURCE_DIRECTORY_SYMBOL. The build generates it from the
// module's resource script (cmake/MorvaneResources.cmake); the platform
// library's FindResourceA and friends read it through the module handle.
#pragma once

#include <cstdint>

// Integer resource types used by the modules.
constexpr uint32_t MODULE_RESOURCE_TYPE_BITMAP = 2;

struct ModuleResource {
    uint32_t type;          // integer type, or 0 when the type is named
    const char* type_name;  // named type ("WAVE"), upper case; null for integer types
    uint32_t id;            // integer name, or 0 when the resource is named
    const char* name;       // name, upper case; null for integer names
    uint32_t language;
    // The bytes the Windows module holds: for a bitmap the DIB without the
    // bitmap file's 14-byte header, for a wave the whole RIFF image.
    const unsigned char* begin;
    const unsigned char* end;
};

constexpr uint32_t MODULE_RESOURCE_MAGIC = 0x53455252;  // "RRES"

struct ModuleResourceDirectory {
    uint32_t magic;
    uint32_t count;
    const ModuleResource* entries;
};

#define MODULE_RESOURCE_DIRECTORY_SYMBOL "module_resource_directory"
