// The fields of the header and element records that belong to the host.
// The simulator keeps its own data there (previous positions and element,
// drawing state, the source variables' host words), so in a placement's
// copy they never read as the zeros the module left: the host fills them
// with a pattern, and a module that reads one, or follows the
// previous-element pointer, meets what it would meet in the simulator.
#pragma once

#include <cstdint>

#include "framework/host_records.h"

namespace sim {

constexpr uint8_t HOST_FIELD_PATTERN = 0xCD;

// By the element's kind; an unknown kind has only the common header's.
void fill_host_fields(ElementHeader* e);
void fill_host_fields(GaugeHeader* g);

}  // namespace sim
