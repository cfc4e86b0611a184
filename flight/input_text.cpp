#include "flight/input_text.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

// Windows (where the trace tool reads scenarios too) has neither flag.
#ifndef O_NONBLOCK
#define O_NONBLOCK 0
#endif
#ifndef O_CLOEXEC
#define O_CLOEXEC 0
#endif

namespace sim {

namespace {

std::string size_text(size_t bytes) {
    if (bytes % (1024 * 1024) == 0) return std::to_string(bytes / (1024 * 1024)) + " MiB";
    return std::to_string(bytes) + " bytes";
}

bool all_digits(const std::string& text, size_t from) {
    if (from >= text.size()) return false;
    for (size_t i = from; i < text.size(); ++i)
        if (text[i] < '0' || text[i] > '9') return false;
    return true;
}

}  // namespace

bool read_input_file(const std::string& path, size_t max_bytes, const std::string& what, std::string* text,
                     std::string* error) {
    auto fail = [&](const std::string& why) {
        if (error) *error = path + ": " + why;
        return false;
    };
    // Opened without blocking, so that a FIFO with no writer cannot hang
    // the reader before it sees what the file is.
    int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return fail("cannot open the " + what + ": " + std::strerror(errno));
    struct stat st {};
    if (fstat(fd, &st) != 0) {
        ::close(fd);
        return fail("cannot read the " + what + ": " + std::strerror(errno));
    }
    if (S_ISDIR(st.st_mode)) {
        ::close(fd);
        return fail("whole file: is a directory, not a " + what);
    }
    if (!S_ISREG(st.st_mode)) {
        ::close(fd);
        return fail("whole file: is a device, pipe or socket, not a " + what + " file");
    }
    if (size_t(st.st_size) > max_bytes) {
        ::close(fd);
        return fail("whole file: " + std::to_string(st.st_size) + " bytes; a " + what + " is at most " +
                    size_text(max_bytes));
    }
    text->clear();
    char buffer[65536];
    while (true) {
        ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            int e = errno;
            ::close(fd);
            return fail(std::string("cannot read the ") + what + ": " + std::strerror(e));
        }
        if (n == 0) break;
        // The file may grow while it is read: the bound holds all the same.
        if (text->size() + size_t(n) > max_bytes) {
            ::close(fd);
            return fail("whole file: larger than " + size_text(max_bytes) + "; a " + what + " is at most that");
        }
        text->append(buffer, size_t(n));
    }
    ::close(fd);
    return true;
}

bool split_input_lines(const std::string& text, const std::string& file_name, std::vector<std::string>* lines,
                       std::string* error) {
    lines->clear();
    size_t start = text.rfind("\xEF\xBB\xBF", 0) == 0 ? 3 : 0;
    int number = 0;
    while (start < text.size()) {
        ++number;
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        size_t length = end - start;
        if (length > 0 && text[end - 1] == '\r') --length;
        auto fail = [&](const std::string& why) {
            if (error) *error = file_name + ":" + std::to_string(number) + ": " + why;
            return false;
        };
        if (length > kLongestInputLine)
            return fail("line of " + std::to_string(length) + " bytes; a line is at most " +
                        std::to_string(kLongestInputLine));
        std::string line = text.substr(start, length);
        if (line.find('\0') != std::string::npos) return fail("line holds a NUL byte");
        lines->push_back(std::move(line));
        start = end + 1;
    }
    return true;
}

std::string quoted(const std::string& text, size_t longest) {
    std::string out = "'";
    size_t n = std::min(text.size(), longest);
    for (size_t i = 0; i < n; ++i) {
        unsigned char c = static_cast<unsigned char>(text[i]);
        if (c < 0x20 || c == 0x7F) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\x%02X", c);
            out += escaped;
        } else {
            out += char(c);
        }
    }
    if (text.size() > longest) out += "...";
    return out + "'";
}

bool plain_decimal(const std::string& text, double* out) {
    size_t i = 0, n = text.size();
    if (i < n && (text[i] == '+' || text[i] == '-')) ++i;
    size_t digits = 0;
    while (i < n && text[i] >= '0' && text[i] <= '9') ++i, ++digits;
    if (i < n && text[i] == '.') {
        ++i;
        while (i < n && text[i] >= '0' && text[i] <= '9') ++i, ++digits;
    }
    if (digits == 0) return false;
    if (i < n && (text[i] == 'e' || text[i] == 'E')) {
        ++i;
        if (i < n && (text[i] == '+' || text[i] == '-')) ++i;
        if (!all_digits(text, i)) return false;
        i = n;
    }
    if (i != n) return false;
    errno = 0;
    char* end = nullptr;
    double v = std::strtod(text.c_str(), &end);
    if (*end || (errno == ERANGE && std::fabs(v) > 1.0) || !std::isfinite(v)) return false;
    *out = v;
    return true;
}

bool plain_whole(const std::string& text, unsigned long long lo, unsigned long long hi, unsigned long long* out) {
    if (!all_digits(text, 0) || text.size() > 19) return false;
    unsigned long long v = std::strtoull(text.c_str(), nullptr, 10);
    if (v < lo || v > hi) return false;
    *out = v;
    return true;
}

bool plain_signed(const std::string& text, long long lo, long long hi, long long* out) {
    bool negative = !text.empty() && text[0] == '-';
    size_t from = !text.empty() && (text[0] == '-' || text[0] == '+') ? 1 : 0;
    unsigned long long magnitude;
    if (!plain_whole(text.substr(from), 0, (1ULL << 62), &magnitude)) return false;
    long long v = negative ? -static_cast<long long>(magnitude) : static_cast<long long>(magnitude);
    if (v < lo || v > hi) return false;
    *out = v;
    return true;
}

}  // namespace sim
