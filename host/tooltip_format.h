// The host's message formatter for tooltip texts: "%n!fmt!" takes argument n
// (1-based) of the gauge's tooltip argument array, formatted by the printf
// conversion between the exclamation marks. A placeholder that is malformed
// or names an argument the record does not have stays as written.
// A placeholder the module's records cannot fill (an argument beyond the
// record's count, a callback missing for its conversion, a string callback
// that returns no string) would fault in the simulator's formatter; the
// first such one is named in `problem` when it is given.
#pragma once

#include <string>

#include "framework/host_records.h"

namespace sim {

std::string format_tooltip(const char* text, const TooltipArg* args, uint32_t arg_count,
                           std::string* problem = nullptr);

}  // namespace sim
