// The host services of the older gauge interface, as Telvor_Flaps calls
// them: each routine of the gauge header hands the gauge's element tree or
// mouse rectangles to one entry of the host services table, whose address
// the host writes into ImportTable at load. Results are ignored; a missing
// table or entry makes the call do nothing.
#pragma once

#include "framework/host_records.h"

MODULE_EXPORT ModuleImportTable ImportTable;

namespace telvor {

// Byte offsets of the element-tree and mouse-list services in the host's
// 32-bit table.
enum LegacyServiceOffset : unsigned {
    QUERY_ELEMENTS = 0x60,
    INSTALL_ELEMENTS = 0x64,
    INITIALIZE_ELEMENTS = 0x68,
    UPDATE_ELEMENTS = 0x6C,
    GENERATE_ELEMENTS = 0x70,
    DRAW_ELEMENTS = 0x74,
    DESTROY_ELEMENTS = 0x7C,
    SET_UP_MOUSE_RECTS = 0x80,
    REGISTER_MOUSE_RECTS = 0x84,
    UNREGISTER_MOUSE_RECTS = 0x88,
};

using ElementService = void(GAUGE_CALL*)(ElementHeader* root);
using InstallElementsService = void(GAUGE_CALL*)(ElementHeader* root, HostWord resource_handle);
using GenerateElementsService = void(GAUGE_CALL*)(ElementHeader* root, uint32_t phase);
using MouseSetUpService = void(GAUGE_CALL*)(MouseRect* rects, GaugeHeader* gauge, void* background_size);
using MouseListService = void(GAUGE_CALL*)(MouseRect* rects, GaugeHeader* gauge);

template <typename Fn>
inline Fn service(unsigned byte_offset) {
    HostServices* table = ImportTable.entry.services;
    return table ? reinterpret_cast<Fn>(table->slot[host_slot(byte_offset)]) : nullptr;
}

template <typename Fn, typename... Args>
inline void call(unsigned byte_offset, Args... args) {
    if (Fn fn = service<Fn>(byte_offset)) fn(args...);
}

}  // namespace telvor
