// Global memory, the host executable's file name and its top-level windows,
// as the module sees them through our platform library. The host tells the
// layer its executable name and which window classes exist.
#include <cstring>

#include "platform/linux/sound_layer.h"

namespace sound_layer {

struct GlobalBlock {
    std::vector<uint8_t> bytes;
    bool empty = false;  // allocated with no bytes: nothing to lock
    int locks = 0;
    bool freed = false;
};

void Free::operator()(GlobalBlock* block) const { delete block; }

namespace {

// More than any wave resource of the module could hold.
constexpr SIZE_T LARGEST_BLOCK = 64u << 20;

GlobalBlock* block_of(HGLOBAL memory, const char* call) {
    for (auto& b : state().global_blocks)
        if (b.get() == memory) {
            if (b->freed) note_misuse(std::string(call) + " on freed global memory");
            return b->freed ? nullptr : b.get();
        }
    note_misuse(std::string(call) + " with a handle that is no global memory");
    return nullptr;
}

}  // namespace

}  // namespace sound_layer

using namespace sound_layer;

extern "C" HGLOBAL GlobalAlloc(UINT flags, SIZE_T bytes) {
    count_call();
    if (step_fails(Step::AllocateMemory)) return nullptr;
    if (flags & ~UINT(GMEM_MOVEABLE | GMEM_ZEROINIT) || bytes > LARGEST_BLOCK) return nullptr;
    Owned<GlobalBlock> block(new GlobalBlock);
    block->bytes.assign(bytes, 0);
    block->empty = bytes == 0;
    HGLOBAL handle = block.get();
    state().global_blocks.push_back(std::move(block));
    return handle;
}

extern "C" LPVOID GlobalLock(HGLOBAL memory) {
    count_call();
    GlobalBlock* b = block_of(memory, "GlobalLock");
    if (!b || step_fails(Step::LockMemory) || b->empty) return nullptr;
    ++b->locks;
    return b->bytes.data();
}

extern "C" BOOL GlobalUnlock(HGLOBAL memory) {
    count_call();
    GlobalBlock* b = block_of(memory, "GlobalUnlock");
    if (!b || b->locks == 0) return 0;
    return --b->locks > 0;
}

extern "C" HGLOBAL GlobalFree(HGLOBAL memory) {
    count_call();
    GlobalBlock* b = block_of(memory, "GlobalFree");
    if (!b) return memory;
    b->freed = true;
    b->bytes.clear();
    b->bytes.shrink_to_fit();
    return nullptr;
}

extern "C" DWORD GetModuleFileNameA(HMODULE module, LPSTR name, DWORD size) {
    count_call();
    if (!name || size == 0 || module) return 0;
    if (step_fails(Step::ModuleFileName)) return 0;
    // As the system does: the path as far as it fits, always terminated.
    const std::string path = "C:\\Program Files\\Host\\" + state().executable_name;
    DWORD n = DWORD(path.size()) < size ? DWORD(path.size()) : size - 1;
    std::memcpy(name, path.data(), n);
    name[n] = '\0';
    return n;
}

extern "C" HWND FindWindowA(LPCSTR class_name, LPCSTR) {
    count_call();
    if (!class_name) return nullptr;
    state().window_lookups.push_back(class_name);
    auto it = state().windows.find(class_name);
    return it == state().windows.end() ? nullptr : it->second.get();
}

namespace sound_inspect {

void set_executable_name(const std::string& name) { state().executable_name = name; }

void set_window_classes(const std::set<std::string>& classes) {
    auto& windows = state().windows;
    for (auto it = windows.begin(); it != windows.end();)
        it = classes.count(it->first) ? std::next(it) : windows.erase(it);
    for (const std::string& c : classes)
        if (!windows.count(c)) windows[c] = std::make_unique<int>(0);
}

HWND window_of_class(const std::string& class_name) {
    auto it = state().windows.find(class_name);
    return it == state().windows.end() ? nullptr : it->second.get();
}

std::vector<std::string> window_lookups() { return state().window_lookups; }

}  // namespace sound_inspect

namespace sound_layer {

void count_global_blocks(sound_inspect::LiveObjects& counts) {
    for (auto& b : state().global_blocks) {
        if (b->freed) continue;
        ++counts.global_blocks;
        if (b->locks > 0) ++counts.locked_blocks;
    }
}

void reset_memory() { state().global_blocks.clear(); }

}  // namespace sound_layer
