// Gauge callbacks react to four service codes and ignore every other one.
// A gauge names what it does at each code in a small operation table; the
// dispatch turns the host's call into one of those operations.
#pragma once

#include "framework/host_records.h"

struct GaugeServiceOps {
    void (*install)(GaugeHeader* gauge, HostWord resource_handle);
    void (*update)(GaugeHeader* gauge);
    void (*kill)(GaugeHeader* gauge);
    void (*setup)(GaugeHeader* gauge);
};

inline void dispatch_service(const GaugeServiceOps& ops, GaugeHeader* gauge, int32_t service, HostWord extra) {
    switch (service) {
    case SERVICE_INSTALL:
        if (ops.install) ops.install(gauge, extra);
        break;
    case SERVICE_UPDATE:
        if (ops.update) ops.update(gauge);
        break;
    case SERVICE_KILL:
        if (ops.kill) ops.kill(gauge);
        break;
    case SERVICE_SETUP:
        if (ops.setup) ops.setup(gauge);
        break;
    default:
        break;  // every other notice is the host's business
    }
}

// Defines the gauge callback `name` that dispatches to the table `ops`.
#define GAUGE_CALLBACK(name, ops)                                                  \
    static void GAUGE_CALL name(GaugeHeader* gauge, int32_t service, HostWord extra) { \
        dispatch_service(ops, gauge, service, extra);                              \
    }
