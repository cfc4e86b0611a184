#include "web/access.h"

#include <arpa/inet.h>
#include <ifaddrs.h>
#include <net/if.h>
#include <netinet/in.h>
#include <qrencode.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <boost/asio/ip/address.hpp>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <random>
#include <sstream>

namespace sim {

namespace {

bool key_text(const std::string& k) {
    return k.size() >= 16 && k.size() <= 128 &&
           k.find_first_not_of("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789-_") == std::string::npos;
}

// Compares without stopping at the first difference, so that the time an
// answer takes says nothing about how much of a guessed key was right.
bool same_key(const std::string& a, const std::string& b) {
    if (a.empty() || a.size() != b.size()) return false;
    unsigned char diff = 0;
    for (size_t i = 0; i < a.size(); ++i) diff |= static_cast<unsigned char>(a[i] ^ b[i]);
    return diff == 0;
}

std::string trim(const std::string& s) {
    size_t a = s.find_first_not_of(" \t\r\n"), b = s.find_last_not_of(" \t\r\n");
    return a == std::string::npos ? std::string() : s.substr(a, b - a + 1);
}

std::string with_port(const std::string& host, int port) {
    return (host.find(':') != std::string::npos ? "[" + host + "]" : host) + ":" + std::to_string(port);
}

// The addresses of this machine's interfaces that are up (IPv4, and IPv6
// too when `v6`), loopback first.
std::vector<std::string> interface_addresses(bool v6) {
    std::vector<std::string> out;
    ifaddrs* list = nullptr;
    if (getifaddrs(&list) != 0) return out;
    for (ifaddrs* i = list; i; i = i->ifa_next) {
        if (!i->ifa_addr || !(i->ifa_flags & IFF_UP)) continue;
        char text[INET6_ADDRSTRLEN] = {};
        if (i->ifa_addr->sa_family == AF_INET) {
            inet_ntop(AF_INET, &reinterpret_cast<sockaddr_in*>(i->ifa_addr)->sin_addr, text, sizeof text);
        } else if (v6 && i->ifa_addr->sa_family == AF_INET6) {
            auto* a6 = reinterpret_cast<sockaddr_in6*>(i->ifa_addr);
            if (IN6_IS_ADDR_LINKLOCAL(&a6->sin6_addr)) continue;  // needs a zone: no use in a URL
            inet_ntop(AF_INET6, &a6->sin6_addr, text, sizeof text);
        } else {
            continue;
        }
        if (std::find(out.begin(), out.end(), text) == out.end()) out.push_back(text);
    }
    freeifaddrs(list);
    std::stable_partition(out.begin(), out.end(), [](const std::string& a) { return is_loopback_address(a); });
    return out;
}

}  // namespace

bool is_loopback_address(const std::string& address) {
    boost::system::error_code ec;
    auto ip = boost::asio::ip::make_address(address, ec);
    return !ec && ip.is_loopback();
}

std::string random_key() {
    static const char alphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789-_";
    std::random_device source;  // the kernel's random source
    std::string key;
    // 22 letters of 6 bits: 132 bits.
    for (int i = 0; i < 22; ++i) key += alphabet[source() & 63];
    return key;
}

bool load_or_make_keys(const std::string& path, std::string* control_key, std::string* view_key, std::string* error) {
    std::ifstream in(path);
    if (in) {
        std::string a, b, extra;
        std::getline(in, a), std::getline(in, b);
        while (std::getline(in, extra))
            if (!trim(extra).empty()) break;
        a = trim(a), b = trim(b);
        if (!key_text(a) || !key_text(b) || !trim(extra).empty() || a == b) {
            *error = "--key-file " + path +
                     ": expected two different keys, one a line (16 to 128 letters, digits, '-' or '_')";
            return false;
        }
        *control_key = a, *view_key = b;
        return true;
    }
    if (errno != ENOENT) {
        *error = "--key-file " + path + ": cannot be read: " + std::strerror(errno);
        return false;
    }
    *control_key = random_key(), *view_key = random_key();
    mode_t old = umask(077);
    std::ofstream out(path);
    umask(old);
    out << *control_key << "\n" << *view_key << "\n";
    out.close();
    if (!out) {
        *error = "--key-file " + path + ": cannot be written";
        return false;
    }
    return true;
}

std::string terminal_qr(const std::string& text) {
    QRcode* code = QRcode_encodeString(text.c_str(), 0, QR_ECLEVEL_L, QR_MODE_8, 1);
    if (!code) return {};
    const int n = code->width, quiet = 2;
    auto dark = [&](int x, int y) {
        return x >= 0 && y >= 0 && x < n && y < n && (code->data[y * n + x] & 1);
    };
    // Light text on a dark terminal is the usual case, so a dark module is
    // drawn as a blank and a light one as a block.
    std::string out;
    for (int y = -quiet; y < n + quiet; y += 2) {
        for (int x = -quiet; x < n + quiet; ++x) {
            bool top = !dark(x, y), bottom = !dark(x, y + 1);
            out += top && bottom ? "\u2588" : top ? "\u2580" : bottom ? "\u2584" : " ";
        }
        out += "\n";
    }
    QRcode_free(code);
    return out;
}

bool PanelAccess::setup(const ServeOptions& options, int port, std::string* error) {
    port_ = port;
    hosts_.clear(), listened_.clear();
    view_only_ = options.view_only;
    // Keys off the loopback address always; on it, when asked for (a
    // machine that other people log in to).
    const bool loopback_only = is_loopback_address(options.address);
    if (loopback_only && options.key_file.empty() && !options.view_only) {
        listened_ = {options.address};
        hosts_ = {with_port(options.address, port), with_port("localhost", port)};
        if (options.address == "127.0.0.1" || options.address == "::1") hosts_.push_back(with_port("127.0.0.1", port));
        return true;
    }
    if (!options.key_file.empty()) {
        if (!load_or_make_keys(options.key_file, &control_key_, &view_key_, error)) return false;
    } else {
        control_key_ = random_key(), view_key_ = random_key();
    }
    if (view_only_) control_key_.clear();  // no key opens the controls
    if (options.address == "0.0.0.0" || options.address == "::") {
        listened_ = interface_addresses(options.address == "::");
    } else {
        listened_ = {options.address};
    }
    for (const std::string& a : listened_) hosts_.push_back(with_port(a, port));
    if (loopback_only || options.address == "0.0.0.0" || options.address == "::")
        hosts_.push_back(with_port("localhost", port));
    char name[256] = {};
    if (gethostname(name, sizeof name - 1) == 0 && name[0]) {
        std::string host = name;
        for (char& c : host) c = char(std::tolower(static_cast<unsigned char>(c)));
        hosts_.push_back(with_port(host, port));
        if (host.find('.') == std::string::npos) hosts_.push_back(with_port(host + ".local", port));
    }
    return true;
}

std::vector<std::string> PanelAccess::urls() const {
    std::vector<std::string> out;
    const std::string& key = view_only_ || control_key_.empty() ? view_key_ : control_key_;
    for (const std::string& a : listened_)
        out.push_back("http://" + with_port(a, port_) + "/" + (keyed() ? "?key=" + key : std::string()));
    return out;
}

std::string PanelAccess::host_refusal(const HttpRequest& req) const {
    std::string host = req.header("host");
    for (char& c : host) c = char(std::tolower(static_cast<unsigned char>(c)));
    if (host.empty()) return "400 a Host header is required";
    if (std::find(hosts_.begin(), hosts_.end(), host) == hosts_.end())
        return "421 requests for host '" + req.header("host") + "' are refused: this panel answers " + hosts_.front();
    return {};
}

bool PanelAccess::own_origin(const std::string& origin) const {
    if (origin.empty()) return true;
    if (origin.rfind("http://", 0) != 0) return false;
    std::string host = origin.substr(7);
    for (char& c : host) c = char(std::tolower(static_cast<unsigned char>(c)));
    return std::find(hosts_.begin(), hosts_.end(), host) != hosts_.end();
}

PanelAccess::Level PanelAccess::level(const HttpRequest& req, const std::map<std::string, std::string>& params) const {
    if (!keyed()) return kControl;
    std::vector<std::string> given;
    if (auto it = params.find("key"); it != params.end()) given.push_back(it->second);
    std::istringstream cookies(req.header("cookie"));
    const std::string name = cookie_name() + "=";
    for (std::string part; std::getline(cookies, part, ';');) {
        part = trim(part);
        if (part.rfind(name, 0) == 0) given.push_back(part.substr(name.size()));
    }
    Level best = kNone;
    for (const std::string& k : given) best = std::max(best, key_level(k));
    return best;
}

PanelAccess::Level PanelAccess::key_level(const std::string& key) const {
    if (same_key(key, control_key_)) return kControl;
    if (same_key(key, view_key_)) return kView;
    return kNone;
}

std::string PanelAccess::cookie_for(const std::string& key) const {
    return cookie_name() + "=" + key + "; Path=/; HttpOnly; SameSite=Strict; Max-Age=31536000";
}

}  // namespace sim
