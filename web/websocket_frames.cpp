#include "web/websocket_frames.h"

#include <array>

namespace sim {

namespace {

uint32_t rotl(uint32_t v, int n) { return (v << n) | (v >> (32 - n)); }

// SHA-1, which the handshake prescribes (no secret rides on it).
std::array<uint8_t, 20> sha1(const std::string& text) {
    uint32_t h[5] = {0x67452301, 0xEFCDAB89, 0x98BADCFE, 0x10325476, 0xC3D2E1F0};
    std::string m = text;
    uint64_t bits = uint64_t(text.size()) * 8;
    m += char(0x80);
    while (m.size() % 64 != 56) m += char(0);
    for (int i = 7; i >= 0; --i) m += char((bits >> (i * 8)) & 0xFF);
    for (size_t block = 0; block < m.size(); block += 64) {
        uint32_t w[80];
        for (int i = 0; i < 16; ++i)
            w[i] = uint32_t(uint8_t(m[block + i * 4])) << 24 | uint32_t(uint8_t(m[block + i * 4 + 1])) << 16 |
                   uint32_t(uint8_t(m[block + i * 4 + 2])) << 8 | uint32_t(uint8_t(m[block + i * 4 + 3]));
        for (int i = 16; i < 80; ++i) w[i] = rotl(w[i - 3] ^ w[i - 8] ^ w[i - 14] ^ w[i - 16], 1);
        uint32_t a = h[0], b = h[1], c = h[2], d = h[3], e = h[4];
        for (int i = 0; i < 80; ++i) {
            uint32_t f, k;
            if (i < 20) f = (b & c) | (~b & d), k = 0x5A827999;
            else if (i < 40) f = b ^ c ^ d, k = 0x6ED9EBA1;
            else if (i < 60) f = (b & c) | (b & d) | (c & d), k = 0x8F1BBCDC;
            else f = b ^ c ^ d, k = 0xCA62C1D6;
            uint32_t t = rotl(a, 5) + f + e + k + w[i];
            e = d, d = c, c = rotl(b, 30), b = a, a = t;
        }
        h[0] += a, h[1] += b, h[2] += c, h[3] += d, h[4] += e;
    }
    std::array<uint8_t, 20> out;
    for (int i = 0; i < 20; ++i) out[i] = uint8_t(h[i / 4] >> (24 - 8 * (i % 4)));
    return out;
}

std::string base64(const uint8_t* data, size_t n) {
    static const char* const abc = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out;
    for (size_t i = 0; i < n; i += 3) {
        uint32_t v = uint32_t(data[i]) << 16 | (i + 1 < n ? uint32_t(data[i + 1]) << 8 : 0) | (i + 2 < n ? data[i + 2] : 0);
        out += abc[(v >> 18) & 63];
        out += abc[(v >> 12) & 63];
        out += i + 1 < n ? abc[(v >> 6) & 63] : '=';
        out += i + 2 < n ? abc[v & 63] : '=';
    }
    return out;
}

}  // namespace

std::string websocket_accept_key(const std::string& client_key) {
    auto digest = sha1(client_key + "258EAFA5-E914-47DA-95CA-C5AB0DC85B11");
    return base64(digest.data(), digest.size());
}

std::string websocket_frame(uint8_t opcode, const std::string& payload) {
    std::string f;
    f += char(0x80 | opcode);
    size_t n = payload.size();
    if (n < 126) {
        f += char(n);
    } else if (n < 65536) {
        f += char(126), f += char(n >> 8), f += char(n & 0xFF);
    } else {
        f += char(127);
        for (int i = 7; i >= 0; --i) f += char((uint64_t(n) >> (i * 8)) & 0xFF);
    }
    return f + payload;
}

WebSocketFrame parse_client_frame(const std::string& data, size_t max_payload) {
    WebSocketFrame frame;
    if (data.size() < 2) return frame;
    auto byte = [&](size_t i) { return uint8_t(data[i]); };
    frame.opcode = byte(0) & 0x0F;
    bool masked = byte(1) & 0x80;
    uint64_t n = byte(1) & 0x7F;
    size_t at = 2;
    if (!masked || !(byte(0) & 0x80)) {  // unmasked, or fragmented: neither is ours to take
        frame.status = WebSocketFrame::BAD;
        return frame;
    }
    if (n == 126 || n == 127) {
        size_t width = n == 126 ? 2 : 8;
        if (data.size() < at + width) return frame;
        n = 0;
        for (size_t i = 0; i < width; ++i) n = n << 8 | byte(at + i);
        at += width;
    }
    if (n > max_payload) {
        frame.status = WebSocketFrame::BAD;
        return frame;
    }
    if (data.size() < at + 4 + n) return frame;
    const size_t key = at;
    at += 4;
    frame.payload.resize(n);
    for (size_t i = 0; i < n; ++i) frame.payload[i] = char(byte(at + i) ^ byte(key + i % 4));
    frame.size = at + n;
    frame.status = WebSocketFrame::COMPLETE;
    return frame;
}

}  // namespace sim
