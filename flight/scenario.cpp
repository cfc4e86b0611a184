#include "flight/scenario.h"

#include "aircraft/pilot_controls.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <limits>
#include <utility>

#include "flight/input_text.h"

namespace sim {

namespace {

const ScenarioLimits& kLimits = kScenarioLimits;

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

// A value a hostile simulator may send: plain decimal, or nan, inf, -inf.
bool variable_value(const std::string& text, double* out) {
    static const struct {
        const char* word;
        double value;
    } kWords[] = {{"nan", std::numeric_limits<double>::quiet_NaN()},
                  {"inf", std::numeric_limits<double>::infinity()},
                  {"+inf", std::numeric_limits<double>::infinity()},
                  {"-inf", -std::numeric_limits<double>::infinity()}};
    for (auto& w : kWords)
        if (text == w.word) return *out = w.value, true;
    return plain_decimal(text, out);
}

// A 32-bit word: plain decimal, or 0x and one to eight hexadecimal digits
// (the BCD radio words read best so).
bool word_value(const std::string& text, uint32_t* out) {
    if (text.size() > 2 && text.size() <= 10 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        uint32_t v = 0;
        for (size_t i = 2; i < text.size(); ++i) {
            int digit = std::isdigit(static_cast<unsigned char>(text[i])) ? text[i] - '0'
                        : std::isxdigit(static_cast<unsigned char>(text[i])) ? std::tolower(text[i]) - 'a' + 10
                                                                             : -1;
            if (digit < 0) return false;
            v = v * 16 + uint32_t(digit);
        }
        *out = v;
        return true;
    }
    unsigned long long v;
    if (!plain_whole(text, 0, 0xFFFFFFFFull, &v)) return false;
    *out = uint32_t(v);
    return true;
}

std::string seconds_text(double s) {
    char text[32];
    std::snprintf(text, sizeof text, "%g", s);
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
        if (w[0] == "end") return end_line(w);
        if (w[0] != "at") return fail("a step starts with 'at TIME' (or 'end TIME'), got " + quoted(w[0]));
        if (w.size() < 3) return fail("'at TIME' needs a command after it");
        if (scenario_->steps.size() >= kLimits.steps)
            return fail("more than " + std::to_string(kLimits.steps) + " steps; a scenario holds at most that many");
        ScenarioStep step;
        step.line = n_;
        if (!time(w[1], &step.time)) return false;
        std::vector<std::string> args(w.begin() + 3, w.end());
        if (!command(w[2], args, &step)) return false;
        scenario_->steps.push_back(step);
        return true;
    }

    // After the last line: no step may begin after an 'end'.
    bool finish() {
        if (!scenario_->has_end) return true;
        for (const ScenarioStep& s : scenario_->steps) {
            if (s.time > scenario_->duration) {
                n_ = s.line;
                return fail("the step at " + seconds_text(s.time) + " s comes after the scenario's end (end " +
                            seconds_text(scenario_->duration) + " at line " + std::to_string(end_line_) + ")");
            }
        }
        return true;
    }

private:
    bool fail(const std::string& what) {
        error = file_ + ":" + std::to_string(n_) + ": " + what;
        return false;
    }

    bool end_line(const std::vector<std::string>& w) {
        if (scenario_->has_end) return fail("a second 'end' (the first is at line " + std::to_string(end_line_) + ")");
        double t;
        if (w.size() != 2 || !plain_decimal(w[1], &t) || t < 0 || t > kLimits.seconds)
            return fail("end needs a time in seconds from 0 to " + seconds_text(kLimits.seconds));
        scenario_->duration = t;
        scenario_->has_end = true;
        end_line_ = n_;
        return true;
    }

    bool time(const std::string& text, double* out) {
        if (!plain_decimal(text, out) || *out < 0 || *out > kLimits.seconds)
            return fail("time must be seconds from 0 to " + seconds_text(kLimits.seconds) + " in plain decimal, got " +
                        quoted(text));
        return true;
    }

    bool count(const std::string& cmd, const std::vector<std::string>& a, size_t lo, size_t hi, const char* usage) {
        if (a.size() < lo || a.size() > hi) return fail(cmd + ": usage: " + usage);
        return true;
    }

    bool token(const std::string& text, uint32_t* out) {
        unsigned long long v;
        if (!plain_whole(text, 1, 0xFFFFFFFFull, &v))
            return fail("a token is a whole decimal number from 1 up, got " + quoted(text));
        *out = static_cast<uint32_t>(v);
        return true;
    }

    bool point(const std::string& xs, const std::string& ys, int* x, int* y) {
        unsigned long long a, b;
        if (!plain_whole(xs, 0, kLimits.coordinate, &a) || !plain_whole(ys, 0, kLimits.coordinate, &b))
            return fail("panel coordinates are whole numbers from 0 to " + std::to_string(kLimits.coordinate) +
                        ", got " + quoted(xs + " " + ys));
        *x = int(a), *y = int(b);
        return true;
    }

    bool button(const std::vector<std::string>& a, size_t i, ScenarioStep* s) {
        if (a.size() <= i) return true;
        if (a[i] == "left") return true;
        if (a[i] == "right") return s->right_button = true;
        return fail("button is 'left' or 'right', got " + quoted(a[i]));
    }

    bool seconds(const std::string& text, double* out) {
        if (!plain_decimal(text, out) || *out < 0 || *out > kLimits.seconds)
            return fail("a duration is seconds from 0 to " + seconds_text(kLimits.seconds) + ", got " + quoted(text));
        return true;
    }

    bool text_field(const std::string& what, const std::string& text) {
        if (text.size() > kLimits.text_bytes)
            return fail(what + " of " + std::to_string(text.size()) + " bytes; at most " +
                        std::to_string(kLimits.text_bytes));
        return true;
    }

    bool set(const std::vector<std::string>& a, ScenarioStep* s) {
        s->kind = ScenarioStep::SET;
        if (!count("set", a, 2, 2, "set TOKEN VALUE") || !token(a[0], &s->token)) return false;
        if (!variable_value(a[1], &s->to)) return fail("set: not a plain decimal number (or nan, inf, -inf): " + quoted(a[1]));
        return true;
    }

    bool setword(const std::vector<std::string>& a, ScenarioStep* s) {
        s->kind = ScenarioStep::SET_WORD;
        if (!count("setword", a, 2, 2, "setword TOKEN WORD") || !token(a[0], &s->token)) return false;
        if (!word_value(a[1], &s->word)) return fail("setword: not a 32-bit word (decimal, or 0x and hex digits): " + quoted(a[1]));
        return true;
    }

    bool ramp(const std::vector<std::string>& a, ScenarioStep* s) {
        s->kind = ScenarioStep::RAMP;
        if (!count("ramp", a, 4, 4, "ramp TOKEN FROM TO SECONDS") || !token(a[0], &s->token)) return false;
        if (!plain_decimal(a[1], &s->from) || !plain_decimal(a[2], &s->to))
            return fail("ramp: FROM and TO must be plain decimal numbers, got " + quoted(a[1] + " " + a[2]));
        return seconds(a[3], &s->duration);
    }

    bool click(const std::vector<std::string>& a, ScenarioStep* s) {
        s->kind = ScenarioStep::CLICK;
        return count("click", a, 2, 3, "click X Y [left|right]") && point(a[0], a[1], &s->x, &s->y) && button(a, 2, s);
    }

    bool hold(const std::vector<std::string>& a, ScenarioStep* s) {
        s->kind = ScenarioStep::HOLD;
        return count("hold", a, 4, 4, "hold X Y left|right SECONDS") && point(a[0], a[1], &s->x, &s->y) &&
               button(a, 2, s) && seconds(a[3], &s->duration);
    }

    bool drag(const std::vector<std::string>& a, ScenarioStep* s) {
        s->kind = ScenarioStep::DRAG;
        if (!count("drag", a, 4, 5, "drag X0 Y0 X1 Y1 [SECONDS]")) return false;
        if (!point(a[0], a[1], &s->x, &s->y) || !point(a[2], a[3], &s->x1, &s->y1)) return false;
        return a.size() < 5 || seconds(a[4], &s->duration);
    }

    bool failure(const std::vector<std::string>& a, ScenarioStep* s) {
        s->kind = ScenarioStep::FAILURE;
        unsigned long long key;
        if (!count("failure", a, 2, 2, "failure KEY on|off")) return false;
        if (!plain_whole(a[0], 1, 0xFFFFFFFFull, &key)) return fail("failure: a key is a whole number, got " + quoted(a[0]));
        if (a[1] != "on" && a[1] != "off") return fail("failure: 'on' or 'off', got " + quoted(a[1]));
        s->word = static_cast<uint32_t>(key);
        s->on = a[1] == "on";
        return true;
    }

    bool expression(const std::vector<std::string>& a, ScenarioStep* s) {
        if (!count("expression", a, 3, 3, "expression \"EXPR\" number VALUE | string TEXT")) return false;
        if (!text_field("expression", a[0])) return false;
        s->expression = a[0];
        if (a[1] == "number") {
            s->kind = ScenarioStep::EXPRESSION_NUMBER;
            if (!variable_value(a[2], &s->to)) return fail("expression: not a plain decimal number: " + quoted(a[2]));
            return true;
        }
        if (a[1] == "string") {
            s->kind = ScenarioStep::EXPRESSION_STRING;
            s->text = a[2];
            return text_field("expression answer", a[2]);
        }
        return fail("expression: the answer is 'number VALUE' or 'string TEXT'");
    }

    bool command(const std::string& cmd, const std::vector<std::string>& a, ScenarioStep* s) {
        using Command = bool (Reader::*)(const std::vector<std::string>&, ScenarioStep*);
        static const std::pair<const char*, Command> kCommands[] = {
            {"set", &Reader::set},         {"setword", &Reader::setword}, {"ramp", &Reader::ramp},
            {"click", &Reader::click},     {"hold", &Reader::hold},       {"drag", &Reader::drag},
            {"failure", &Reader::failure}, {"expression", &Reader::expression}, {"pilot", &Reader::pilot}};
        for (auto& [name, read] : kCommands)
            if (cmd == name) return (this->*read)(a, s);
        return fail("unknown command " + quoted(cmd));
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
            return fail("pilot: unknown control " + quoted(a[0]) + " (" + names + ")");
        }
        if (!plain_decimal(a[1], &s->to) || s->to < control->min || s->to > control->max)
            return fail("pilot: " + a[0] + " takes a number from " + seconds_text(control->min) + " to " +
                        seconds_text(control->max) + ", got " + quoted(a[1]));
        s->text = a[0];
        return a.size() < 3 || seconds(a[2], &s->duration);
    }

    std::string file_;
    Scenario* scenario_;
    int n_ = 0;
    int end_line_ = 0;
};

}  // namespace

bool parse_scenario(const std::string& text, const std::string& file_name, Scenario* scenario, std::string* error) {
    *scenario = {};
    scenario->file = file_name;
    Reader reader(file_name, scenario);
    if (!feed_input_lines(text, file_name, kLimits.file_bytes, reader, error)) return false;
    std::stable_sort(scenario->steps.begin(), scenario->steps.end(),
                     [](const ScenarioStep& a, const ScenarioStep& b) { return a.time < b.time; });
    if (!scenario->has_end) {
        double last = 0;
        for (auto& s : scenario->steps) last = std::max(last, s.time + s.duration);
        scenario->duration = std::min(last, kLimits.seconds);
    }
    return true;
}

bool load_scenario(const std::string& path, Scenario* scenario, std::string* error) {
    std::string text;
    if (!read_input_file(path, kLimits.file_bytes, "scenario", &text, error)) return false;
    return parse_scenario(text, path, scenario, error);
}

}  // namespace sim
