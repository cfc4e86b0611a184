#include "flightgear/flightgear_link.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "aircraft/radio_tuning.h"
#include "aircraft/variables.h"

namespace fg {

namespace {

constexpr size_t kMaxDatagram = 8192;  // FlightGear's lines here are under 2 kB
constexpr double kRateWindow = 5.0;   // seconds over which the line rate is taken

double steady_seconds() {
    using namespace std::chrono;
    return duration<double>(steady_clock::now().time_since_epoch()).count();
}

// A frequency in whole steps of a hundredth (radio) or tenth (ADF), rounded
// away from the float noise FlightGear's values carry.
uint32_t in_steps(double value, double per_unit) {
    double v = std::round(value * per_unit);
    return v < 0 ? 0 : v > 4e9 ? 4000000000u : static_cast<uint32_t>(v);
}

double clamp(double v, double lo, double hi) { return std::min(std::max(v, lo), hi); }

double wrap(double v, double lo, double hi) {
    double span = hi - lo;
    if (!(span > 0)) return v;
    double r = std::fmod(v - lo, span);
    if (r < 0) r += span;
    return lo + r;
}

double round_to(double v, double step) { return std::round(v / step) * step; }

// Values as FlightGear prints them back: the finest step the panel makes (a
// lever's 1/16384, a tenth of a kHz) stays well above this.
bool same(double a, double b) { return std::fabs(a - b) <= 1e-4; }

}  // namespace

bool parse_endpoint(const std::string& text, Endpoint* out, std::string* error) {
    std::string address = out->address, port_text = text;
    size_t colon = text.rfind(':');
    if (colon != std::string::npos) address = text.substr(0, colon), port_text = text.substr(colon + 1);
    in_addr probe{};
    if (inet_pton(AF_INET, address.c_str(), &probe) != 1) {
        *error = "'" + text + "': not an IPv4 address and port (like 127.0.0.1:5500)";
        return false;
    }
    char* end = nullptr;
    long port = std::strtol(port_text.c_str(), &end, 10);
    if (port_text.empty() || *end || port < 0 || port > 65535) {
        *error = "'" + text + "': the port must be a whole number from 0 to 65535";
        return false;
    }
    out->address = address;
    out->port = static_cast<int>(port);
    return true;
}

FlightGearLink::FlightGearLink(LinkOptions options) : options_(std::move(options)), map_(mapping()) {
    values_.assign(map_.output_count, 0.0);
    pending_.resize(map_.input_count);
    for (size_t i = 0; i < map_.token_count; ++i) {
        const TokenSource& t = map_.tokens[i];
        sources_[t.token] = {&t, output_index(t.a), output_index(t.b), output_index(t.c)};
        if (t.make == Make::Local) local_[t.token] = t.scale;
    }
    output_input_.assign(map_.output_count, -1);
    std::unordered_map<std::string, int> input_of;
    for (size_t i = 0; i < map_.input_count; ++i) {
        input_of[map_.inputs[i].node] = static_cast<int>(i);
        int out = output_index(map_.inputs[i].node);
        input_output_.push_back(out);
        if (out >= 0 && resolve(map_.inputs[i].node) == map_.inputs[i].node) output_input_[out] = static_cast<int>(i);
    }
    for (size_t i = 0; i < map_.event_count; ++i) {
        const EventAction& e = map_.events[i];
        int input = -1;
        if (e.node) {
            auto it = input_of.find(resolve(e.node));
            input = it == input_of.end() ? -1 : it->second;
        }
        events_[e.event] = {&e, input};
    }
    tailwheel_output_ = output_index(map_.tailwheel_node);
}

FlightGearLink::~FlightGearLink() {
    if (socket_ >= 0) close(socket_);
}

double FlightGearLink::now() const { return options_.clock ? options_.clock() : steady_seconds(); }

std::string FlightGearLink::resolve(const char* node) const {
    std::string n = node ? node : "";
    if (options_.single_engine) {
        for (const char* engine : {"/engines/engine[1]/", "/controls/engines/engine[1]/"}) {
            size_t at = n.find(engine);
            if (at == 0) n.replace(n.find("[1]"), 3, "[0]");
        }
    }
    return n;
}

int FlightGearLink::output_index(const char* node) const {
    if (!node) return -1;
    std::string n = resolve(node);
    for (size_t i = 0; i < map_.output_count; ++i)
        if (n == map_.outputs[i].node) return static_cast<int>(i);
    return -1;
}

bool FlightGearLink::open(std::string* error) {
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_port = htons(static_cast<uint16_t>(options_.listen.port));
    if (inet_pton(AF_INET, options_.listen.address.c_str(), &addr.sin_addr) != 1) {
        *error = "FlightGear link: '" + options_.listen.address + "' is not an IPv4 address";
        return false;
    }
    sockaddr_in to{};
    if (inet_pton(AF_INET, options_.send.address.c_str(), &to.sin_addr) != 1) {
        *error = "FlightGear link: '" + options_.send.address + "' is not an IPv4 address";
        return false;
    }
    socket_ = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (socket_ < 0 || bind(socket_, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0) {
        *error = "FlightGear link: cannot listen on " + options_.listen.text() + ": " + std::strerror(errno);
        if (socket_ >= 0) close(socket_), socket_ = -1;
        return false;
    }
    socklen_t len = sizeof addr;
    getsockname(socket_, reinterpret_cast<sockaddr*>(&addr), &len);
    bound_port_ = ntohs(addr.sin_port);
    return true;
}

// ------------------------------------------------------------ receiving

void FlightGearLink::poll() {
    if (socket_ < 0) return;
    char buffer[kMaxDatagram + 1];
    for (int budget = 1000; budget > 0; --budget) {
        sockaddr_in from{};
        socklen_t len = sizeof from;
        ssize_t n = recvfrom(socket_, buffer, sizeof buffer, MSG_TRUNC, reinterpret_cast<sockaddr*>(&from), &len);
        if (n < 0) break;  // nothing more (or an error the next poll meets again)
        if (static_cast<size_t>(n) > kMaxDatagram) {
            ++counts_.too_long;
            continue;
        }
        uint32_t address = from.sin_addr.s_addr;
        uint16_t port = ntohs(from.sin_port);
        bool from_peer = peer_known_ && address == peer_address_ && port == peer_port_;
        // Another sender is heard only while the one feeding the link is silent.
        if (peer_known_ && !from_peer && receiving()) {
            ++counts_.other_sender;
            continue;
        }
        bool good = false;
        take_datagram(buffer, static_cast<size_t>(n), &good);
        if (good && !from_peer) {
            peer_known_ = true;
            peer_address_ = address;
            peer_port_ = port;
        }
    }
}

void FlightGearLink::take_datagram(const char* data, size_t size, bool* good) {
    std::string text(data, size);
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find(kLineSeparator, start);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(start, end - start);
        start = end + 1;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty()) continue;
        std::vector<double> values;
        if (!parse_line(line, &values)) continue;
        values_ = std::move(values);
        have_values_ = true;
        note_wheel_height();
        *good = true;
        double t = now();
        last_good_ = t;
        recent_.push_back(t);
        ++counts_.lines;
        // What FlightGear now reports ends what the panel asked for.
        for (size_t i = 0; i < pending_.size(); ++i) {
            Pending& p = pending_[i];
            if (p.active && input_output_[i] >= 0 && same(values_[input_output_[i]], p.target)) p.active = false;
        }
    }
    while (!recent_.empty() && recent_.front() < now() - kRateWindow) recent_.pop_front();
}

bool FlightGearLink::parse_line(const std::string& line, std::vector<double>* values) {
    size_t fields = std::count(line.begin(), line.end(), kFieldSeparator) + 1;
    if (fields != map_.output_count) {
        ++counts_.wrong_field_count;
        return false;
    }
    values->reserve(fields);
    size_t start = 0;
    bool bad_number = false, bad_range = false;
    for (size_t i = 0; i < fields; ++i) {
        size_t end = line.find(kFieldSeparator, start);
        if (end == std::string::npos) end = line.size();
        std::string field = line.substr(start, end - start);
        start = end + 1;
        char* stop = nullptr;
        double v = std::strtod(field.c_str(), &stop);
        const OutputField& f = map_.outputs[i];
        if (field.empty() || *stop || !std::isfinite(v)) {
            bad_number = true;
        } else if (v < f.lowest || v > f.highest ||
                   (f.type != FieldType::Float && v != std::floor(v))) {
            bad_range = true;
        }
        values->push_back(v);
    }
    if (bad_number) ++counts_.not_a_number;
    else if (bad_range) ++counts_.out_of_range;
    return !bad_number && !bad_range;
}

bool FlightGearLink::receiving() const { return last_good_ >= 0 && now() - last_good_ <= options_.silence_seconds; }

double FlightGearLink::line_rate() const {
    double t = now();
    size_t n = std::count_if(recent_.begin(), recent_.end(), [&](double s) { return s >= t - kRateWindow; });
    return n / kRateWindow;
}

// ------------------------------------------------------------ what the module reads

double FlightGearLink::effective(int output) const {
    if (output < 0) return 0;
    int input = output_input_[output];
    if (input >= 0 && pending_[input].active) return pending_[input].target;
    return values_[output];
}

double FlightGearLink::compute(const Source& s) const {
    const TokenSource& t = *s.token;
    double a = effective(s.a), b = effective(s.b), c = effective(s.c);
    switch (t.make) {
    case Make::Scaled: return a * t.scale + t.offset;
    case Make::BoolScaled: return a != 0 ? t.scale : 0;
    case Make::BoolInverted: return a != 0 ? 0 : t.scale;
    case Make::OpenUnlessSet: return aircraft::low_word_value(a != 0 ? 0 : 1);
    case Make::BelowFlag: return a < t.scale ? 1 : 0;
    case Make::Ratio: return b > 0 ? clamp(a / b, 0, 1) * t.scale : 0;
    case Make::ToFrom: return aircraft::low_word_value(a != 0 ? 1 : b != 0 ? 2 : 0);
    case Make::Marker: return c != 0 ? 3 : b != 0 ? 2 : a != 0 ? 1 : 0;
    case Make::AnyOf: return a != 0 || b != 0 || c != 0 ? t.scale : 0;
    case Make::WheelHeight: return std::max(0.0, a - wheels_below_reference_ft_) * t.scale;
    case Make::AdfBcd: {
        uint32_t tenths = in_steps(a, 10);
        return aircraft::low_word_value(aircraft::bcd_encode((tenths / 10) % 1000));
    }
    case Make::AdfExtension: {
        uint32_t tenths = in_steps(a, 10);
        return aircraft::low_word_value((tenths >= 10000 ? 256 : 0) + tenths % 10);
    }
    case Make::ComBcd: {
        // The 25 kHz channel FlightGear is tuned to, then its word as the
        // radio shows it: 118.025 is 18.02 on the wheels, never rounded up.
        uint32_t khz = in_steps(a, 40) * 25;
        uint32_t mhz = khz / 1000;
        return aircraft::low_word_value(aircraft::bcd_encode((mhz >= 100 ? mhz - 100 : 0) * 100 + khz % 1000 / 10));
    }
    case Make::NavBcd: {
        uint32_t hundredths = in_steps(a, 100);
        uint32_t mhz = hundredths / 100;
        return aircraft::low_word_value(aircraft::bcd_encode((mhz >= 100 ? mhz - 100 : 0) * 100 + hundredths % 100));
    }
    case Make::CodeBcd: return aircraft::low_word_value(aircraft::bcd_encode(static_cast<uint32_t>(clamp(std::round(a), 0, 7777))));
    case Make::DecisionAlert:
    case Make::Local: break;
    }
    return 0;
}

// With the weight on any wheel the reference point's height above ground is
// the wheels' distance below it; the radio altimeter measures from the
// wheels.
void FlightGearLink::note_wheel_height() {
    auto ground = sources_.find(60), height = sources_.find(614);
    if (ground == sources_.end() || height == sources_.end() || height->second.a < 0) return;
    if (compute(ground->second) != 0) wheels_below_reference_ft_ = std::max(0.0, values_[height->second.a]);
}

bool FlightGearLink::read(uint32_t token, double* value) {
    auto it = sources_.find(token);
    if (it == sources_.end()) return false;
    const TokenSource& t = *it->second.token;
    if (t.make == Make::Local) {
        *value = local_[token];
        return true;
    }
    if (!have_values_) return false;  // the host's own table until FlightGear has spoken
    if (t.make == Make::DecisionAlert) {
        // Dark on the ground, as the built-in aircraft's: the wheels are
        // below any decision height there.
        double height = 0, decision = local_[615], ground = 0;
        read(614, &height);
        read(60, &ground);
        *value = ground == 0 && decision > 0 && height < decision ? 1 : 0;
        return true;
    }
    *value = compute(it->second);
    return true;
}

bool FlightGearLink::write(uint32_t token, double value) {
    auto it = local_.find(token);
    if (it == local_.end()) return false;
    it->second = value;
    return true;
}

// ------------------------------------------------------------ what the module sends

void FlightGearLink::key_event(uint32_t id, uint32_t value) {
    auto it = events_.find(id);
    if (it == events_.end()) return;
    act(*it->second.first, it->second.second, value);
}

void FlightGearLink::act(const EventAction& a, int input, uint32_t value) {
    switch (a.act) {
    case Act::None: return;
    case Act::LocalAdd: local_[a.token] = clamp(local_[a.token] + a.amount, a.min, a.max); return;
    case Act::LocalToggle: local_[a.token] = local_[a.token] != 0 ? 0 : 1; return;
    case Act::DecisionStep: {
        double step = (value == 1 ? 10 : 50) / 3.28084;
        local_[a.token] = clamp(local_[a.token] + a.amount * step, a.min, a.max);
        return;
    }
    default: break;
    }
    if (input < 0) return;
    if (!have_values_) {
        ++counts_.events_before_data;
        return;
    }
    int output = input_output_[input];
    double current = effective(output);
    double target = current;
    switch (a.act) {
    case Act::Add: target = clamp(current + a.amount, a.min, a.max); break;
    case Act::AddWrapped: target = wrap(current + a.amount, a.min, a.max); break;
    case Act::WholeStep: {
        double whole = std::floor(current + 1e-6);
        double next = whole + a.amount;
        if (next > a.max) next = a.min;
        if (next < a.min) next = a.max;
        target = round_to(next + (current - whole), 0.005);
        break;
    }
    case Act::FractionStep: {
        double whole = std::floor(current + 1e-6);
        double fraction = round_to(current - whole + a.amount, 0.005);
        if (fraction >= 1 - 1e-6) fraction -= 1;
        if (fraction < -1e-6) fraction += 1;
        target = round_to(whole + fraction, 0.005);
        break;
    }
    case Act::NotchStep: {
        // From the notch the flaps lever is nearest (FlightGear's own keys
        // may have left it between two), one notch on.
        double notches = std::clamp(options_.flap_notches, 1, 10);
        target = clamp((std::round(current * notches) + a.amount) / notches, a.min, a.max);
        break;
    }
    case Act::SetScaled: target = clamp(value * a.amount, a.min, a.max); break;
    case Act::SetAdfBcd: target = clamp(aircraft::bcd_decode(value) / 10.0, a.min, a.max); break;
    case Act::Set: target = a.amount; break;
    case Act::Toggle: target = current != 0 ? 0 : 1; break;
    case Act::DigitStep: {
        uint32_t code = static_cast<uint32_t>(clamp(std::round(current), 0, 7777));
        uint32_t place = static_cast<uint32_t>(a.amount);
        int digit = static_cast<int>((code / place) % 10);
        int next = ((std::min(digit, 7) + static_cast<int>(a.min)) % 8 + 8) % 8;
        target = code - digit * place + next * place;
        break;
    }
    default: return;
    }
    Pending& p = pending_[input];
    if (!p.active) {
        if (same(target, current)) return;  // already so: nothing to ask
        p.active = true;
        p.sent = values_[output];
        p.since = now();
    } else if (!same(p.target, target)) {
        p.since = now();
    }
    p.target = target;
}

void FlightGearLink::flush() {
    if (socket_ < 0) return;
    double t = now();
    std::string line;
    bool any = false;
    for (size_t i = 0; i < pending_.size(); ++i) {
        Pending& p = pending_[i];
        const InputField& f = map_.inputs[i];
        char field[48] = "0";
        if (p.active && !same(p.target, p.sent)) {
            double delta = p.target - p.sent;
            if (f.type == FieldType::Bool) std::snprintf(field, sizeof field, "1");
            else if (f.type == FieldType::Int) std::snprintf(field, sizeof field, "%ld", std::lround(delta));
            else std::snprintf(field, sizeof field, "%.6f", delta);
            p.sent = p.target;
            any = true;
        }
        if (p.active && t - p.since > options_.pending_seconds) p.active = false;  // FlightGear's word again
        line += field;
        line += kFieldSeparator;  // also after the last field: every field ends with one
    }
    if (!any) return;
    line += kLineSeparator;
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_port = htons(static_cast<uint16_t>(options_.send.port));
    inet_pton(AF_INET, options_.send.address.c_str(), &to.sin_addr);
    if (sendto(socket_, line.data(), line.size(), 0, reinterpret_cast<sockaddr*>(&to), sizeof to) ==
        static_cast<ssize_t>(line.size()))
        ++counts_.sent;
}

void FlightGearLink::advance(double) {
    poll();
    flush();
}

bool FlightGearLink::evaluate(const char* expression, double* number, const char** string) {
    if (!have_values_ || tailwheel_output_ < 0 || !expression || std::strcmp(expression, map_.tailwheel_expression) != 0)
        return false;
    if (number) *number = effective(tailwheel_output_) != 0 ? 1.0 : 0.0;
    if (string) *string = nullptr;
    return true;
}

std::string FlightGearLink::status() const {
    char text[512];
    std::string state;
    if (last_good_ < 0) {
        state = "no data yet on " + options_.listen.address + ":" + std::to_string(bound_port_);
    } else if (!receiving()) {
        std::snprintf(text, sizeof text, "no data for %.0f s on %s:%d (the panel keeps its last state)",
                      now() - last_good_, options_.listen.address.c_str(), bound_port_);
        state = text;
    } else {
        std::snprintf(text, sizeof text, "receiving %.1f lines/s on %s:%d", line_rate(),
                      options_.listen.address.c_str(), bound_port_);
        state = text;
    }
    std::snprintf(text, sizeof text,
                  "FlightGear link: %s; %llu lines taken, %llu dropped (%llu wrong field count, %llu not a number, "
                  "%llu out of range, %llu other sender, %llu too long); %llu input lines sent to %s",
                  state.c_str(), (unsigned long long)counts_.lines, (unsigned long long)counts_.dropped(),
                  (unsigned long long)counts_.wrong_field_count, (unsigned long long)counts_.not_a_number,
                  (unsigned long long)counts_.out_of_range, (unsigned long long)counts_.other_sender,
                  (unsigned long long)counts_.too_long, (unsigned long long)counts_.sent,
                  options_.send.text().c_str());
    return text;
}

}  // namespace fg
