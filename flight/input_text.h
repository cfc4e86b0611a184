// What the readers of layout and scenario files share: reading a file with a
// size bound (refusing directories and devices by name), splitting it into
// lines of bounded length (a UTF-8 byte-order mark accepted), quoting input
// in an error message safely (control bytes escaped, long text cut), and
// the plain decimal numbers the files are written in.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace sim {

// The longest line a layout or scenario may have, in bytes.
constexpr size_t kLongestInputLine = 4096;

// Reads the whole file; false with `error` as "path: what is wrong" when it
// is missing, is not a regular file, cannot be read or is larger than
// max_bytes. `what` names the kind of file ("panel layout").
bool read_input_file(const std::string& path, size_t max_bytes, const std::string& what, std::string* text,
                     std::string* error);

// The file's lines without their line ends and without a leading
// byte-order mark. False with `error` as "file:line: what is wrong" on a
// line too long or holding a NUL byte.
bool split_input_lines(const std::string& text, const std::string& file_name, std::vector<std::string>* lines,
                       std::string* error);

// Feeds every line of a text to a reader, numbered from 1, then finishes
// it: the reader has `bool line(const std::string&, int number)`, `bool
// finish()` and `std::string error`. False with `error` set on a text
// larger than max_bytes, a bad line, or a reader that refuses.
template <typename Reader>
bool feed_input_lines(const std::string& text, const std::string& file_name, size_t max_bytes, Reader& reader,
                      std::string* error) {
    if (text.size() > max_bytes) {
        if (error) *error = file_name + ": whole file: larger than " + std::to_string(max_bytes) + " bytes";
        return false;
    }
    std::vector<std::string> lines;
    if (!split_input_lines(text, file_name, &lines, error)) return false;
    for (size_t i = 0; i < lines.size(); ++i) {
        if (!reader.line(lines[i], int(i + 1))) {
            if (error) *error = reader.error;
            return false;
        }
    }
    if (!reader.finish()) {
        if (error) *error = reader.error;
        return false;
    }
    return true;
}

// Input text for an error message, in single quotes: control bytes (and
// bytes of no printable character) escaped as \xNN, at most `longest`
// bytes of it, then "...".
std::string quoted(const std::string& text, size_t longest = 60);

// A number written in plain decimal: an optional sign, digits with an
// optional fraction, an optional exponent (no hexadecimal, no words, no
// spaces). False when the text is anything else or out of double range.
bool plain_decimal(const std::string& text, double* out);
// A whole number of decimal digits only, from lo to hi.
bool plain_whole(const std::string& text, unsigned long long lo, unsigned long long hi, unsigned long long* out);
// A signed whole number in plain decimal, from lo to hi.
bool plain_signed(const std::string& text, long long lo, long long hi, long long* out);

}  // namespace sim
