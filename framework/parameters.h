// The gauge parameter string of a placement, and the one key finder that
// every gauge uses to read it.
#pragma once

#include "framework/host_records.h"

// The first occurrence of `key` in `text`, or null when there is none or
// when a comment character ('/', '#' or an apostrophe) stands anywhere
// before it. A null text finds nothing.
const char* find_parameter_key(const char* text, const char* key);

// The placement's parameter string, or null (no header, or none given).
inline const char* gauge_parameters(const GaugeHeader* gauge) { return gauge ? gauge->parameters : nullptr; }
