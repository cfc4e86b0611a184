// The outputs of one previewer run, each written under a temporary name in
// its own folder and moved into place only when every output of the run
// has been written: a run that fails leaves no half-written file and no
// file of the run at all (earlier files of the same names stay as they
// were).
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace sim {

class StagedOutputs {
public:
    StagedOutputs() = default;
    ~StagedOutputs();  // removes whatever was not committed
    StagedOutputs(const StagedOutputs&) = delete;
    StagedOutputs& operator=(const StagedOutputs&) = delete;

    // A fresh temporary file beside `final_path`; false with `error` naming
    // the final file when it cannot be written there (no such folder, no
    // permission, a directory or device of that name).
    bool stage(const std::string& final_path, std::string* temp_path, std::string* error);
    // Writes bytes to a staged file; the error names the final file.
    bool write(const std::string& temp_path, const std::vector<uint8_t>& bytes, std::string* error);
    // Moves every staged file to its final name, in the order staged.
    bool commit(std::string* error);
    // The final name of a staged file.
    std::string final_name(const std::string& temp_path) const;
    size_t count() const { return files_.size(); }

private:
    struct File {
        std::string temp, final;
    };
    std::vector<File> files_;
    bool committed_ = false;
};

// A file written bit by bit, whose every write is checked: the first
// failure is kept with the file's name.
class CheckedFile {
public:
    ~CheckedFile();
    bool open(const std::string& path, const std::string& name, std::string* error);
    void write(const void* data, size_t bytes);
    void write_at(long offset, const void* data, size_t bytes);
    // Closes the file; false with `error` when any write (or the close)
    // failed.
    bool close(std::string* error);
    bool ok() const { return error_.empty(); }

private:
    void fail(const std::string& why);
    std::FILE* file_ = nullptr;
    std::string name_, error_;
};

}  // namespace sim
