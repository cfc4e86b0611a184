// The two records the host finds by name in Telvor_Flaps: Linkage, with its
// one gauge, and ImportTable, into which the host writes the address of its
// services table at load. The module needs no set-up of its own.
#include "flaps_module/host_calls.h"

extern GaugeHeader gauge_telvor_flaps;

static void GAUGE_CALL module_init() {}
static void GAUGE_CALL module_deinit() {}

// The older interface's module table version is 0.
constexpr uint32_t TELVOR_MODULE_TABLE_VERSION = 0;

MODULE_EXPORT ModuleLinkageOf<2> Linkage;

ModuleLinkageOf<2> Linkage = {
    .module_id = LINKAGE_MODULE_ID,
    .init = module_init,
    .deinit = module_deinit,
    .flags = 0,
    .priority = 0,
    .version = TELVOR_MODULE_TABLE_VERSION,
    .gauges = {&gauge_telvor_flaps, nullptr},
};

ModuleImportTable ImportTable = {
    .entry = {.id = IMPORT_HOST_SERVICES, .services = nullptr},
    .terminator = {.id = 0, .services = nullptr},
};

#if defined(_WIN32)
// The library entry point: nothing to attach or detach, whatever the reason.
extern "C" int __stdcall DllMain(void*, unsigned long, void*) { return 1; }
#endif
