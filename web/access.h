// Who may use the live panel. On the loopback address (the default) the
// panel answers only its own names, 127.0.0.1 and localhost, and needs no
// key: only programs of this machine reach it. Opened to the network, it
// answers only requests that carry an access key, given once in the
// address (?key=...) and kept by the browser as a cookie afterwards; a
// second, view-only key lets a screen watch without clicking. Either way
// the Host header must name this machine (a page of another site whose
// name was pointed at it still sends its own name) and changes must come
// from the panel's own page.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "preview/preview_cli.h"
#include "web/http_server.h"

namespace sim {

// True when the address is a loopback address (no key needed there).
bool is_loopback_address(const std::string& address);

// A fresh random key: 128 bits from the system's random source, as
// URL-safe letters and digits.
std::string random_key();

// Reads the control and view keys from `path` (one a line), or makes both
// and writes them there (readable by the owner only) when the file does not
// exist. False with the reason naming the file when it cannot be read or
// written, or holds something other than two keys.
bool load_or_make_keys(const std::string& path, std::string* control_key, std::string* view_key, std::string* error);

// The text as a QR code drawn with block characters, two rows of modules
// per terminal line, with the quiet zone around it.
std::string terminal_qr(const std::string& text);

class PanelAccess {
public:
    enum Level { kNone, kView, kControl };

    // Sets up for a server listening on address:port (the port it got).
    // Keys when the address is not loopback, or a key file or view-only
    // access is asked for.
    bool setup(const ServeOptions& options, int port, std::string* error);

    bool keyed() const { return !control_key_.empty() || !view_key_.empty(); }
    // The addresses a browser may use, as http://HOST:PORT/ with the key
    // (the control key, or the view key when the network may only watch).
    std::vector<std::string> urls() const;
    const std::string& control_key() const { return control_key_; }
    const std::string& view_key() const { return view_key_; }

    // Empty when the Host header names this panel, else the refusal
    // ("421 why" or "400 why").
    std::string host_refusal(const HttpRequest& req) const;
    // True when the Origin header (if any) is this panel's own.
    bool own_origin(const std::string& origin) const;
    // What the request may do: kControl on loopback; with keys, by the key
    // in the query (`key`) or in the cookie.
    Level level(const HttpRequest& req, const std::map<std::string, std::string>& params) const;
    // What one key opens.
    Level key_level(const std::string& key) const;
    // The cookie that keeps the key given in a query.
    std::string cookie_for(const std::string& key) const;
    std::string cookie_name() const { return "morvane_key_" + std::to_string(port_); }

private:
    int port_ = 0;
    std::vector<std::string> hosts_;     // "name:port" and "address:port" this panel answers
    std::vector<std::string> listened_;  // addresses it can be reached at, for the URLs
    std::string control_key_, view_key_;
    bool view_only_ = false;
};

}  // namespace sim
