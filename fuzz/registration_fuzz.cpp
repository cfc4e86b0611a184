// Registration under arbitrary parameter strings and ATC identifiers: the
// plate installs and updates with whatever the panel configuration and the
// simulator hand it, and never writes past its text buffer (the host's,
// sized exactly) or its font name field, nor reads past the strings.
//
// Input layout: one flags byte, then the parameter string, a NUL, then the
// identifier the simulator answers with.
//   bit 0: the placement has no parameter string at all
//   bit 1: the expression yields a null string pointer
//   bit 2: a second plate shares the module with the first
//   bit 3: one more cycle before the checks
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "host/sim_host.h"

namespace {

sim::SimHost& fuzz_host() {
    static sim::SimHost* host = [] {
        auto* h = new sim::SimHost;
        std::string error;
        if (!h->load_module(MORVANE_MODULE_PATH, &error)) {
            std::fprintf(stderr, "%s\n", error.c_str());
            std::abort();
        }
        return h;
    }();
    return *host;
}

void check(bool condition, const char* what) {
    if (!condition) {
        std::fprintf(stderr, "registration_fuzz: %s\n", what);
        std::abort();
    }
}

void check_plate(sim::Placement& p) {
    check(p.element_count() == 2, "the plate has its two elements");
    auto* s = p.record<StringElement>(1);
    check(std::memchr(s->font_name, 0, sizeof s->font_name) != nullptr, "the font name ends inside its field");
    check(s->font_weight == 400 && s->charset == 1 && s->layout_flags == 0x25 && s->max_chars == 7,
          "the fields after the font name are untouched");
    check(s->text_colour <= 0xFFFFFF, "the colour is 0x00BBGGRR");
    check(s->text != nullptr && std::strlen(s->text) <= 7, "the text fits its buffer");
    check(p.element(1).text.size() <= 7, "the host draws at most seven characters");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    sim::SimHost& host = fuzz_host();
    uint8_t flags = data[0];
    std::string rest(reinterpret_cast<const char*>(data + 1), size - 1);
    size_t split = rest.find('\0');
    std::string parameters = rest.substr(0, split);
    std::string identifier = split == std::string::npos ? std::string() : rest.substr(split + 1);
    identifier = identifier.substr(0, identifier.find('\0'));

    sim::ExpressionAnswer answer;
    if (!(flags & 2)) answer.string = identifier;
    host.set_expression("(A:ATC ID,string)", answer);

    const std::string configured = parameters;
    const char* given = (flags & 1) ? nullptr : parameters.c_str();
    sim::Placement* first = host.place("Registration", given);
    check(first != nullptr, "Registration is placed");
    sim::Placement* second = (flags & 4) ? host.place("Registration", given) : nullptr;
    first->compute_drawn();  // drawn before any update notice
    host.cycles((flags & 8) ? 2 : 1);
    check_plate(*first);
    if (second) check_plate(*second);
    // The configured string itself is never changed: only the placement's copy.
    check(parameters == configured, "the caller's string is unchanged");

    if (second) host.remove(*second);
    host.remove(*first);
    host.faults.clear();
    host.expressions_evaluated.clear();
    return 0;
}
