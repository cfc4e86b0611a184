// A module of the tests' own that carries whatever resources a test gives
// it: wave images, broken ones too, found through the module handle as a
// gauge module's own resources are.
#include "platform/linux/resources_directory.h"

extern "C" {

__attribute__((visibility("default"))) ModuleResourceDirectory module_resource_directory = {MODULE_RESOURCE_MAGIC, 0,
                                                                                            nullptr};

__attribute__((visibility("default"))) void wave_test_module_set(const ModuleResource* entries, uint32_t count) {
    module_resource_directory.entries = entries;
    module_resource_directory.count = count;
}
}
