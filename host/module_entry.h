// Every call the host makes into module code goes through enter_module().
//
// A module that calls a service slot this host does not offer has jumped
// somewhere no host function of known shape answers. On the 32-bit target
// the services are stdcall: the called function pops the arguments, and
// only the caller knew how many it pushed. A trap that returned would leave
// the module's stack short or long by that many bytes, and the module would
// run on with a corrupted frame. So the trap records the fault and the host
// takes control back where it entered the module: the stack, and every
// register the calling convention keeps, are exactly as they were before
// the host's call. The module loses only the rest of that one callback; the
// host, and the module's later callbacks, go on.
//
// Module code holds no objects with destructors (static records and plain
// functions), so nothing is skipped that would need to run.
#pragma once

#include <csetjmp>
#include <type_traits>

namespace sim {

struct ModuleEntry {
    std::jmp_buf resume;
    ModuleEntry* outer;
};

// The innermost call into module code on this thread, or null.
ModuleEntry*& innermost_module_entry();

// Back to the innermost enter_module(), which then returns false. Returns
// only when the host is not inside a call into module code (a test calling
// a slot directly): there is no module frame to leave then.
void leave_module();

// Calls fn(args...) in module code; its result goes to *result. False when
// a trapped service slot abandoned the call (*result untouched then).
template <typename Result, typename Fn, typename... Args>
bool enter_module_into(Result* result, Fn fn, Args... args) {
    ModuleEntry*& innermost = innermost_module_entry();  // looked up once: every element callback comes here
    ModuleEntry entry;
    entry.outer = innermost;
    innermost = &entry;
    if (setjmp(entry.resume) != 0) {
        innermost = entry.outer;
        return false;
    }
    if constexpr (std::is_void_v<Result>)
        fn(args...);
    else
        *result = fn(args...);
    innermost = entry.outer;
    return true;
}

// The same for a call whose result, if any, the host does not read.
template <typename Fn, typename... Args>
bool enter_module(Fn fn, Args... args) {
    return enter_module_into(static_cast<void*>(nullptr), fn, args...);
}

}  // namespace sim
