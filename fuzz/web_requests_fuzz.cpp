// The live panel server's request parsing on arbitrary bytes: a request
// (head and body, through the HTTP library's parser and our own checks)
// and its query. Each must give an answer or an error, never read outside
// its input, and keep what it promises: a request never takes more bytes
// than it was given nor a body over the limit, and a decoded query holds
// no control character.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <map>
#include <string>

#include "web/http_server.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string input(reinterpret_cast<const char*>(data), size);
    sim::ParsedRequest r = sim::parse_request(input, 8192, 4096);
    if (r.status == 0 && r.complete && (r.used > input.size() || r.request.body.size() > 4096)) std::abort();
    if (r.status != 0 && r.why.empty()) std::abort();
    for (auto& [name, value] : r.request.headers)
        for (unsigned char c : name)
            if (c <= 0x20 || c == ':' || (c >= 'A' && c <= 'Z')) std::abort();  // a name is one lower-case token
    std::map<std::string, std::string> params;
    std::string why;
    if (sim::parse_query(r.status == 0 ? r.request.query : input, &params, &why)) {
        for (auto& [name, value] : params)
            for (unsigned char c : name + value)
                if (c < 0x20) std::abort();
    }
    return 0;
}
