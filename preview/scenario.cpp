#include "preview/scenario.h"

#include "aircraft/pilot_controls.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

namespace sim {

namespace {

constexpr double kLongestScenario = 24 * 3600.0;

// Splits a line into words; a double-quoted word may hold spaces.
bool words_of(const std::string& line, std::vector<std::string>* words, std::string* why) {
    size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && std::isspace(static_cast<unsigned char>(line[i]))) ++i;
        if (i >= line.size() || line[i] == '#') break;
        if (line[i] == '"') {
            size_t close = line.find('"', i + 1);
            if (close == std::string::npos) {
                *why = "a quoted text is not closed";
                return false;
            }
            words->push_back(line.substr(i + 1, close - i - 1));
            i = close + 1;
        } else {
            size_t start = i;
            while (i < line.size() && !std::isspace(static_cast<unsigned char>(line[i]))) ++i;
            words->push_back(line.substr(start, i - start));
        }
    }
    return true;
}

bool number(const std::string& text, double* out) {
    if (text.empty()) return false;
    char* end = nullptr;
    errno = 0;
    double v = std::strtod(text.c_str(), &end);
    if (*end || errno == ERANGE) return false;
    *out = v;  // NaN and infinities are allowed: they are what hostile simulators send
    return true;
}

bool finite_number(const std::string& text, double* out) { return number(text, out) && std::isfinite(*out); }

// Wide enough for any 32-bit word where long is 32 bits (Windows).
bool whole(const std::string& text, long long lo, long long hi, long long* out) {
    if (text.empty()) return false;
    char* end = nullptr;
    errno = 0;
    long long v = std::strtoll(text.c_str(), &end, 0);
    if (*end || errno || v < lo || v > hi) return false;
    *out = v;
    return true;
}

std::string plain(double v) {
    char text[32];
    std::snprintf(text, sizeof text, "%g", v);
    return text;
}

class Reader {
public:
    Reader(const std::string& file, Scenario* s) : file_(file), scenario_(s) {}
    std::string error;

    bool line(const std::string& text, int number_) {
        n_ = number_;
        std::vector<std::string> w;
        std::string why;
        if (!words_of(text, &w, &why)) return fail(why);
        if (w.empty()) return true;
        if (w[0] == "end") {
            double t;
            if (w.size() != 2 || !finite_number(w[1], &t) || t < 0 || t > kLongestScenario)
                return fail("end needs a time in seconds from 0 to " + std::to_string(long(kLongestScenario)));
            scenario_->duration = t;
            return true;
        }
        if (w[0] != "at") return fail("a step starts with 'at TIME' (or 'end TIME'), got '" + w[0] + "'");
        if (w.size() < 3) return fail("'at TIME' needs a command after it");
        ScenarioStep step;
        step.line = n_;
        if (!finite_number(w[1], &step.time) || step.time < 0 || step.time > kLongestScenario)
            return fail("time must be seconds from 0 to " + std::to_string(long(kLongestScenario)) + ", got '" + w[1] + "'");
        std::vector<std::string> args(w.begin() + 3, w.end());
        if (!command(w[2], args, &step)) return false;
        scenario_->steps.push_back(step);
        return true;
    }

private:
    bool fail(const std::string& what) {
        error = file_ + ":" + std::to_string(n_) + ": " + what;
        return false;
    }

    bool count(const std::string& cmd, const std::vector<std::string>& a, size_t lo, size_t hi, const char* usage) {
        if (a.size() < lo || a.size() > hi) return fail(cmd + ": usage: " + usage);
        return true;
    }

    bool token(const std::string& text, uint32_t* out) {
        long long v;
        if (!whole(text, 1, 0xFFFFFFFFLL, &v)) return fail("a token is a whole number from 1 up, got '" + text + "'");
        *out = static_cast<uint32_t>(v);
        return true;
    }

    bool point(const std::string& xs, const std::string& ys, int* x, int* y) {
        long long a, b;
        if (!whole(xs, 0, 16384, &a) || !whole(ys, 0, 16384, &b))
            return fail("panel coordinates are whole numbers from 0 to 16384, got '" + xs + " " + ys + "'");
        *x = int(a), *y = int(b);
        return true;
    }

    bool button(const std::vector<std::string>& a, size_t i, ScenarioStep* s) {
        if (a.size() <= i) return true;
        if (a[i] == "left") return true;
        if (a[i] == "right") return s->right_button = true;
        return fail("button is 'left' or 'right', got '" + a[i] + "'");
    }

    bool seconds(const std::string& text, double* out) {
        if (!finite_number(text, out) || *out < 0 || *out > kLongestScenario)
            return fail("a duration is seconds from 0 up, got '" + text + "'");
        return true;
    }

    bool command(const std::string& cmd, const std::vector<std::string>& a, ScenarioStep* s) {
        if (cmd == "set") {
            s->kind = ScenarioStep::SET;
            if (!count(cmd, a, 2, 2, "set TOKEN VALUE") || !token(a[0], &s->token)) return false;
            if (!number(a[1], &s->to)) return fail("set: not a number: '" + a[1] + "'");
            return true;
        }
        if (cmd == "setword") {
            s->kind = ScenarioStep::SET_WORD;
            long long v;
            if (!count(cmd, a, 2, 2, "setword TOKEN WORD") || !token(a[0], &s->token)) return false;
            if (!whole(a[1], 0, 0xFFFFFFFFLL, &v)) return fail("setword: not a 32-bit word: '" + a[1] + "'");
            s->word = static_cast<uint32_t>(v);
            return true;
        }
        if (cmd == "ramp") {
            s->kind = ScenarioStep::RAMP;
            if (!count(cmd, a, 4, 4, "ramp TOKEN FROM TO SECONDS") || !token(a[0], &s->token)) return false;
            if (!finite_number(a[1], &s->from) || !finite_number(a[2], &s->to))
                return fail("ramp: FROM and TO must be finite numbers");
            return seconds(a[3], &s->duration);
        }
        if (cmd == "click") {
            s->kind = ScenarioStep::CLICK;
            return count(cmd, a, 2, 3, "click X Y [left|right]") && point(a[0], a[1], &s->x, &s->y) && button(a, 2, s);
        }
        if (cmd == "hold") {
            s->kind = ScenarioStep::HOLD;
            return count(cmd, a, 4, 4, "hold X Y left|right SECONDS") && point(a[0], a[1], &s->x, &s->y) &&
                   button(a, 2, s) && seconds(a[3], &s->duration);
        }
        if (cmd == "drag") {
            s->kind = ScenarioStep::DRAG;
            if (!count(cmd, a, 4, 5, "drag X0 Y0 X1 Y1 [SECONDS]")) return false;
            if (!point(a[0], a[1], &s->x, &s->y) || !point(a[2], a[3], &s->x1, &s->y1)) return false;
            return a.size() < 5 || seconds(a[4], &s->duration);
        }
        if (cmd == "failure") {
            s->kind = ScenarioStep::FAILURE;
            long long key;
            if (!count(cmd, a, 2, 2, "failure KEY on|off")) return false;
            if (!whole(a[0], 1, 0xFFFFFFFFLL, &key)) return fail("failure: a key is a whole number, got '" + a[0] + "'");
            if (a[1] != "on" && a[1] != "off") return fail("failure: 'on' or 'off', got '" + a[1] + "'");
            s->word = static_cast<uint32_t>(key);
            s->on = a[1] == "on";
            return true;
        }
        if (cmd == "expression") {
            if (!count(cmd, a, 3, 3, "expression \"EXPR\" number VALUE | string TEXT")) return false;
            s->expression = a[0];
            if (a[1] == "number") {
                s->kind = ScenarioStep::EXPRESSION_NUMBER;
                if (!number(a[2], &s->to)) return fail("expression: not a number: '" + a[2] + "'");
                return true;
            }
            if (a[1] == "string") {
                s->kind = ScenarioStep::EXPRESSION_STRING;
                s->text = a[2];
                return true;
            }
            return fail("expression: the answer is 'number VALUE' or 'string TEXT'");
        }
        if (cmd == "pilot") return pilot(a, s);
        return fail("unknown command '" + cmd + "'");
    }

    // A pilot control of the aircraft, by the name its table gives, set
    // at once or moved over some seconds.
    bool pilot(const std::vector<std::string>& a, ScenarioStep* s) {
        s->kind = ScenarioStep::PILOT;
        if (!count("pilot", a, 2, 3, "pilot CONTROL VALUE [SECONDS]")) return false;
        const aircraft::PilotControl* control = aircraft::find_pilot_control(a[0]);
        if (!control) {
            std::string names;
            for (const aircraft::PilotControl& c : aircraft::pilot_controls()) names += std::string(names.empty() ? "" : ", ") + c.name;
            return fail("pilot: unknown control '" + a[0] + "' (" + names + ")");
        }
        if (!finite_number(a[1], &s->to) || s->to < control->min || s->to > control->max)
            return fail("pilot: " + a[0] + " takes a number from " + plain(control->min) + " to " +
                        plain(control->max) + ", got '" + a[1] + "'");
        s->text = a[0];
        return a.size() < 3 || seconds(a[2], &s->duration);
    }

    std::string file_;
    Scenario* scenario_;
    int n_ = 0;
};

}  // namespace

bool parse_scenario(const std::string& text, const std::string& file_name, Scenario* scenario, std::string* error) {
    *scenario = {};
    Reader reader(file_name, scenario);
    std::istringstream in(text);
    std::string line;
    int n = 0;
    while (std::getline(in, line)) {
        ++n;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.find('\0') != std::string::npos) {
            if (error) *error = file_name + ":" + std::to_string(n) + ": line holds a NUL byte";
            return false;
        }
        if (!reader.line(line, n)) {
            if (error) *error = reader.error;
            return false;
        }
    }
    std::stable_sort(scenario->steps.begin(), scenario->steps.end(),
                     [](const ScenarioStep& a, const ScenarioStep& b) { return a.time < b.time; });
    double last = 0;
    for (auto& s : scenario->steps) last = std::max(last, s.time + s.duration);
    scenario->duration = std::max(scenario->duration, last);
    return true;
}

bool load_scenario(const std::string& path, Scenario* scenario, std::string* error) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        if (error) *error = path + ": cannot open the scenario";
        return false;
    }
    std::stringstream buffer;
    buffer << in.rdbuf();
    return parse_scenario(buffer.str(), path, scenario, error);
}

}  // namespace sim
