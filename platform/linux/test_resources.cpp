// Resources of the tests' own module: wave images (broken ones too) that
// tests hand to the sound service without building a module around them.
// The resource calls below stand in only until the module resource calls
// are linked into the layer: those take precedence over these.
#include <cctype>
#include <cstring>

#include "platform/linux/sound_layer.h"

namespace sound_layer {

namespace {

int test_module_anchor;

std::string upper(const std::string& text) {
    std::string u = text;
    for (char& c : u) c = char(std::toupper(static_cast<unsigned char>(c)));
    return u;
}

// Resource types and names: an integer resource or a text.
bool same_name(LPCSTR wanted, uint32_t id, const std::string& name) {
    if (IS_INTRESOURCE(wanted)) return name.empty() && reinterpret_cast<uintptr_t>(wanted) == id;
    return !name.empty() && upper(wanted) == name;
}

std::string type_key(LPCSTR type) {
    if (IS_INTRESOURCE(type)) return "#" + std::to_string(reinterpret_cast<uintptr_t>(type));
    return upper(type);
}

TestResource* find_test_resource(HMODULE module, LPCSTR name, LPCSTR type) {
    if (module != sound_inspect::test_module() || !name || !type) return nullptr;
    const std::string key = type_key(type);
    for (auto& r : state().test_resources)
        if (r->type == key && same_name(name, r->id, r->name)) return r.get();
    return nullptr;
}

bool is_test_resource(const void* handle) {
    for (auto& r : state().test_resources)
        if (r.get() == handle) return true;
    return false;
}

}  // namespace

}  // namespace sound_layer

using namespace sound_layer;

extern "C" __attribute__((weak)) HRSRC FindResourceA(HMODULE module, LPCSTR name, LPCSTR type) {
    count_call();
    return find_test_resource(module, name, type);
}

extern "C" __attribute__((weak)) HGLOBAL LoadResource(HMODULE module, HRSRC resource) {
    count_call();
    return module == sound_inspect::test_module() && is_test_resource(resource) ? resource : nullptr;
}

extern "C" __attribute__((weak)) LPVOID LockResource(HGLOBAL loaded) {
    count_call();
    if (!is_test_resource(loaded)) return nullptr;
    auto* r = static_cast<TestResource*>(loaded);
    return r->bytes.empty() ? nullptr : r->bytes.data();
}

extern "C" __attribute__((weak)) DWORD SizeofResource(HMODULE module, HRSRC resource) {
    count_call();
    if (module != sound_inspect::test_module() || !is_test_resource(resource)) return 0;
    return DWORD(static_cast<TestResource*>(resource)->bytes.size());
}

extern "C" __attribute__((weak)) BOOL FreeResource(HGLOBAL) {
    count_call();
    return 0;  // nothing to free: the resource lives as long as its module
}

namespace sound_inspect {

HMODULE test_module() { return &sound_layer::test_module_anchor; }

void set_test_resource(uint32_t id, const std::string& type, const std::vector<uint8_t>& bytes) {
    remove_test_resource(id, type);
    auto r = std::make_unique<TestResource>();
    r->id = id & 0xFFFF;
    r->type = sound_layer::type_key(type.c_str());
    r->bytes = bytes;
    state().test_resources.push_back(std::move(r));
}

void remove_test_resource(uint32_t id, const std::string& type) {
    auto& list = state().test_resources;
    const std::string key = sound_layer::type_key(type.c_str());
    for (auto it = list.begin(); it != list.end();)
        it = ((*it)->id == (id & 0xFFFF) && (*it)->type == key) ? list.erase(it) : std::next(it);
}

}  // namespace sound_inspect
