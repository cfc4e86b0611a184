// A clear last word when the module faults while the host drives it: the
// address, and the module and section it lies in (a write into read-only
// data shows as a fault in a section such as .rdata).
#pragma once

namespace trace {

void report_crashes();

}  // namespace trace
