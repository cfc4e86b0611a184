#include "preview/staged_outputs.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace sim {

namespace {

std::string folder_of(const std::string& path) {
    size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string base_of(const std::string& path) {
    size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

StagedOutputs::~StagedOutputs() {
    if (committed_) return;
    for (const File& f : files_) ::unlink(f.temp.c_str());
}

bool StagedOutputs::stage(const std::string& final_path, std::string* temp_path, std::string* error) {
    auto fail = [&](const std::string& why) {
        if (error) *error = final_path + ": " + why;
        return false;
    };
    if (final_path.empty()) {
        if (error) *error = "an output file name is empty";
        return false;
    }
    if (final_path.back() == '/') return fail("names a folder, not a file");
    struct stat st {};
    if (::stat(final_path.c_str(), &st) == 0 && !S_ISREG(st.st_mode))
        return fail(S_ISDIR(st.st_mode) ? "is a directory" : "is not a regular file (outputs are written to files)");
    std::string pattern = folder_of(final_path) + "/." + base_of(final_path) + ".XXXXXX";
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    int fd = ::mkstemp(name.data());
    if (fd < 0) return fail(std::string("cannot write in its folder: ") + std::strerror(errno));
    ::close(fd);
    ::chmod(name.data(), 0644);
    files_.push_back({name.data(), final_path});
    *temp_path = name.data();
    return true;
}

std::string StagedOutputs::final_name(const std::string& temp_path) const {
    for (const File& f : files_)
        if (f.temp == temp_path) return f.final;
    return temp_path;
}

bool StagedOutputs::write(const std::string& temp_path, const std::vector<uint8_t>& bytes, std::string* error) {
    CheckedFile file;
    if (!file.open(temp_path, final_name(temp_path), error)) return false;
    file.write(bytes.data(), bytes.size());
    return file.close(error);
}

bool StagedOutputs::commit(std::string* error) {
    for (const File& f : files_) {
        if (::rename(f.temp.c_str(), f.final.c_str()) != 0) {
            if (error) *error = f.final + ": cannot move into place: " + std::strerror(errno);
            return false;
        }
    }
    committed_ = true;
    return true;
}

CheckedFile::~CheckedFile() {
    if (file_) std::fclose(file_);
}

bool CheckedFile::open(const std::string& path, const std::string& name, std::string* error) {
    name_ = name;
    file_ = std::fopen(path.c_str(), "wb");
    if (!file_) {
        if (error) *error = name + ": cannot open for writing: " + std::strerror(errno);
        return false;
    }
    return true;
}

void CheckedFile::fail(const std::string& why) {
    if (error_.empty()) error_ = name_ + ": " + why;
}

void CheckedFile::write(const void* data, size_t bytes) {
    if (!file_ || !ok() || bytes == 0) return;
    if (std::fwrite(data, 1, bytes, file_) != bytes) fail(std::string("write failed: ") + std::strerror(errno));
}

void CheckedFile::write_at(long offset, const void* data, size_t bytes) {
    if (!file_ || !ok()) return;
    long here = std::ftell(file_);
    if (std::fseek(file_, offset, SEEK_SET) != 0) return fail(std::string("seek failed: ") + std::strerror(errno));
    write(data, bytes);
    if (here >= 0) std::fseek(file_, here, SEEK_SET);
}

bool CheckedFile::close(std::string* error) {
    if (file_) {
        if (std::fflush(file_) != 0) fail(std::string("write failed: ") + std::strerror(errno));
        if (std::fclose(file_) != 0) fail(std::string("write failed: ") + std::strerror(errno));
        file_ = nullptr;
    }
    if (!ok() && error) *error = error_;
    return ok();
}

}  // namespace sim
