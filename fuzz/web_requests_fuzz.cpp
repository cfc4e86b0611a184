// The live panel server's parsers on arbitrary bytes: a request head, its
// query, and a WebSocket frame from a client. Each must give an answer or
// an error, never read outside its input, and keep what it promises: a
// decoded query holds no control character, a frame never claims more
// bytes than it was given.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <map>
#include <string>

#include "web/http_server.h"
#include "web/websocket_frames.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string input(reinterpret_cast<const char*>(data), size);
    sim::RequestHead head = sim::parse_request_head(input, 4096);
    if (head.status == 0 && head.body_length > 4096) std::abort();
    std::map<std::string, std::string> params;
    std::string why;
    if (sim::parse_query(head.status == 0 ? head.request.query : input, &params, &why)) {
        for (auto& [name, value] : params)
            for (unsigned char c : name + value)
                if (c < 0x20) std::abort();
    }
    sim::WebSocketFrame frame = sim::parse_client_frame(input, 4096);
    if (frame.status == sim::WebSocketFrame::COMPLETE && (frame.size > input.size() || frame.payload.size() > 4096))
        std::abort();
    return 0;
}
