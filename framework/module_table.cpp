// The two records the host finds by name in the module: Linkage, with the
// gauge table, and ImportTable, into which the host writes the address of its
// services table before it calls any gauge.
#include "framework/gauge_list.h"
#include "framework/host_services.h"

// All module-wide state is static data with initial values, so the module
// needs no global set-up or tear-down.
static void GAUGE_CALL module_init() {}
static void GAUGE_CALL module_deinit() {}

MODULE_EXPORT ModuleLinkageOf<51> Linkage;

ModuleLinkageOf<51> Linkage = {
    .module_id = LINKAGE_MODULE_ID,
    .init = module_init,
    .deinit = module_deinit,
    .flags = 0,
    .priority = 0,
    .version = 0x900,
    .gauges = {MODULE_GAUGES nullptr},
};

ModuleImportTable ImportTable = {
    .entry = {.id = IMPORT_HOST_SERVICES, .services = nullptr},
    .terminator = {.id = 0, .services = nullptr},
};
