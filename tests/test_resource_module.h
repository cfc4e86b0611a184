// The tests' own resource module (tests/data/wave_test_module.cpp): a module
// handle whose resources a test sets, for wave images a shipped module
// would never carry.
#pragma once

#include <dlfcn.h>

#include <cctype>
#include <cstdint>
#include <list>
#include <string>
#include <vector>

#include "platform/linux/resources_directory.h"
#include "platform/win32.h"

class TestResourceModule {
public:
    // The module is loaded once for the whole test program; its path comes
    // from the build.
    static TestResourceModule& instance() {
        static TestResourceModule module(WAVE_TEST_MODULE_PATH);
        return module;
    }

    HMODULE handle() const { return handle_; }
    bool loaded() const { return handle_ && set_; }

    void set(uint32_t id, const std::string& type, const std::vector<uint8_t>& bytes) {
        remove(id, type);
        Stored s;
        s.id = id & 0xFFFF;
        for (char c : type) s.type_name += char(std::toupper(static_cast<unsigned char>(c)));
        s.bytes = bytes;
        stored_.push_back(std::move(s));
        publish();
    }
    void remove(uint32_t id, const std::string& type) {
        std::string upper;
        for (char c : type) upper += char(std::toupper(static_cast<unsigned char>(c)));
        stored_.remove_if([&](const Stored& s) { return s.id == (id & 0xFFFF) && s.type_name == upper; });
        publish();
    }
    void clear() {
        stored_.clear();
        publish();
    }

private:
    struct Stored {
        uint32_t id = 0;
        std::string type_name;
        std::vector<uint8_t> bytes;
    };

    explicit TestResourceModule(const char* path) {
        handle_ = dlopen(path, RTLD_NOW | RTLD_LOCAL);
        if (handle_) set_ = reinterpret_cast<SetFn>(dlsym(handle_, "wave_test_module_set"));
    }

    void publish() {
        table_.clear();
        for (const Stored& s : stored_) {
            ModuleResource r{};
            r.type_name = s.type_name.c_str();
            r.id = s.id;
            r.language = 1036;
            r.begin = s.bytes.data();
            r.end = s.bytes.data() + s.bytes.size();
            table_.push_back(r);
        }
        if (set_) set_(table_.empty() ? nullptr : table_.data(), uint32_t(table_.size()));
    }

    using SetFn = void (*)(const ModuleResource*, uint32_t);
    void* handle_ = nullptr;
    SetFn set_ = nullptr;
    std::list<Stored> stored_;
    std::vector<ModuleResource> table_;
};
