// The four host services the gauges call, reached through the host services
// table whose address the host writes into ImportTable before any callback.
// A missing table or slot (a host that broke its contract) makes a call do
// nothing, never jump through null.
#pragma once

#include <cstring>

#include "framework/host_records.h"

MODULE_EXPORT ModuleImportTable ImportTable;

// Byte offsets of the services in the host's 32-bit table.
enum HostServiceOffset : unsigned {
    SERVICE_PANEL_WINDOW_TOGGLE = 0x8C,
    SERVICE_TRIGGER_KEY_EVENT = 0x90,
    SERVICE_LOOKUP_VAR = 0xA0,
    SERVICE_EXECUTE_CALCULATOR_CODE = 0x114,
};

using LookupVarFn = void(GAUGE_CALL*)(VarRecord* var);
using TriggerKeyEventFn = void(GAUGE_CALL*)(uint32_t event_id, uint32_t value);
using PanelWindowToggleFn = void(GAUGE_CALL*)(uint32_t panel_id);
using ExecuteCalculatorCodeFn = void(GAUGE_CALL*)(const char* expression, double* number, int32_t* integer,
                                                  const char** string);

namespace host {

template <typename Fn>
inline Fn service(unsigned byte_offset) {
    HostServices* table = ImportTable.entry.services;
    return table ? reinterpret_cast<Fn>(table->slot[host_slot(byte_offset)]) : nullptr;
}

inline void lookup_var(VarRecord* var) {
    if (auto fn = service<LookupVarFn>(SERVICE_LOOKUP_VAR)) fn(var);
}

inline void trigger_key_event(uint32_t event_id, uint32_t value = 0) {
    if (auto fn = service<TriggerKeyEventFn>(SERVICE_TRIGGER_KEY_EVENT)) fn(event_id, value);
}

inline void panel_window_toggle(uint32_t panel_id) {
    if (auto fn = service<PanelWindowToggleFn>(SERVICE_PANEL_WINDOW_TOGGLE)) fn(panel_id);
}

inline void execute_calculator_code(const char* expression, double* number, int32_t* integer,
                                    const char** string) {
    if (auto fn = service<ExecuteCalculatorCodeFn>(SERVICE_EXECUTE_CALCULATOR_CODE))
        fn(expression, number, integer, string);
}

// A fresh variable record: the token followed by 24 zero bytes.
inline VarRecord fresh_var(uint32_t token) {
    VarRecord var{};
    var.token = token;
    return var;
}

// The current value of a variable as a double.
inline double read_var(uint32_t token) {
    VarRecord var = fresh_var(token);
    lookup_var(&var);
    return var.value;
}

// For tokens that deliver an integer in the low 32 bits of the value field
// (radio frequencies, the transponder code, admission valves).
inline uint32_t low_word(const VarRecord& var) {
    uint64_t bits;
    std::memcpy(&bits, &var.value, sizeof bits);
    return static_cast<uint32_t>(bits);
}

inline uint32_t read_var_low_word(uint32_t token) {
    VarRecord var = fresh_var(token);
    lookup_var(&var);
    return low_word(var);
}

}  // namespace host
