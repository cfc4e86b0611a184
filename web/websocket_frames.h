// The WebSocket wire format the live panel's stream needs: the handshake's
// accept key, the server's unmasked frames and the client's masked ones.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace sim {

// The Sec-WebSocket-Accept value for a client's Sec-WebSocket-Key.
std::string websocket_accept_key(const std::string& client_key);

// One frame from the server (never masked, never fragmented).
std::string websocket_frame(uint8_t opcode, const std::string& payload);
constexpr uint8_t kWsText = 0x1, kWsClose = 0x8, kWsPing = 0x9, kWsPong = 0xA;

// One frame from a client at the start of `data`.
struct WebSocketFrame {
    enum Status { INCOMPLETE, COMPLETE, BAD } status = INCOMPLETE;
    uint8_t opcode = 0;
    std::string payload;  // unmasked
    size_t size = 0;      // bytes of `data` the frame takes
};
// Clients must mask their frames; a payload over max_payload is BAD.
WebSocketFrame parse_client_frame(const std::string& data, size_t max_payload);

}  // namespace sim
