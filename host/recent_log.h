// A host log that stays bounded however long the panel runs: it counts
// every entry ever added and keeps the most recent ones (at least `keep`,
// at most twice that), which is all a test or a tool looks back at. Read
// like the vector it used to be; the oldest entries drop off in one move
// when the log reaches twice its keep, so adding stays cheap on average.
#pragma once

#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

namespace sim {

template <typename T>
class RecentLog {
public:
    using value_type = T;
    using iterator = typename std::vector<T>::const_iterator;
    using const_iterator = iterator;

    explicit RecentLog(size_t keep = 4096) : keep_(keep ? keep : 1) {}

    void push_back(T entry) {
        if (entries_.size() >= 2 * keep_) entries_.erase(entries_.begin(), entries_.end() - ptrdiff_t(keep_ - 1));
        entries_.push_back(std::move(entry));
        ++total_;
    }
    // Forgets the kept entries; the count of all entries ever added stays.
    void clear() { entries_.clear(); }

    // Entries ever added, kept or not.
    uint64_t total() const { return total_; }
    // The number (in total()) of the first entry still kept.
    uint64_t first_kept() const { return total_ - entries_.size(); }
    size_t keep() const { return keep_; }

    const std::vector<T>& recent() const { return entries_; }
    operator const std::vector<T>&() const { return entries_; }
    size_t size() const { return entries_.size(); }
    bool empty() const { return entries_.empty(); }
    const T& operator[](size_t i) const { return entries_[i]; }
    const T& back() const { return entries_.back(); }
    const T& front() const { return entries_.front(); }
    iterator begin() const { return entries_.begin(); }
    iterator end() const { return entries_.end(); }

    friend bool operator==(const RecentLog& a, const std::vector<T>& b) { return a.entries_ == b; }
    friend bool operator!=(const RecentLog& a, const std::vector<T>& b) { return a.entries_ != b; }

private:
    std::vector<T> entries_;
    uint64_t total_ = 0;
    size_t keep_;
};

}  // namespace sim
