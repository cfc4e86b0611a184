// The module's resources as the sound service and the host see them through
// the platform's resource functions: the same bytes as the files under
// resources/, and the same misses as on Windows.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "host/sim_host.h"
#include "platform/win32.h"

namespace fs = std::filesystem;

namespace {

std::vector<unsigned char> read_file(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

const fs::path resources_dir = fs::path(MORVANE_SOURCE_DIR) / "resources";

// The bytes of a resource, or empty when it is not found.
std::vector<unsigned char> resource_bytes(HMODULE module, LPCSTR name, LPCSTR type) {
    HRSRC found = FindResourceA(module, name, type);
    if (!found) return {};
    HGLOBAL loaded = LoadResource(module, found);
    auto* bytes = static_cast<const unsigned char*>(LockResource(loaded));
    DWORD size = SizeofResource(module, found);
    if (!bytes) return {};
    std::vector<unsigned char> copy(bytes, bytes + size);
    FreeResource(loaded);
    return copy;
}

LPCSTR resource_name(const std::string& stem, std::string& storage) {
    storage = stem;
    bool number = !stem.empty() && stem.find_first_not_of("0123456789") == std::string::npos;
    return number ? MAKEINTRESOURCEA(std::stoi(stem)) : storage.c_str();
}

class ModuleResources : public ::testing::Test {
protected:
    void SetUp() override {
        std::string error;
        module = host.load_module(MORVANE_MODULE_PATH, &error);
        ASSERT_NE(module, nullptr) << error;
        handle = reinterpret_cast<HMODULE>(module->resource_handle());
    }
    sim::SimHost host;
    sim::LoadedModule* module = nullptr;
    HMODULE handle = nullptr;
};

}  // namespace

TEST_F(ModuleResources, EveryWaveIsServedByteForByteAsItsFile) {
    int count = 0;
    for (const auto& entry : fs::directory_iterator(resources_dir / "waves")) {
        if (entry.path().extension() != ".wav") continue;
        std::string storage;
        LPCSTR name = resource_name(entry.path().stem().string(), storage);
        EXPECT_EQ(resource_bytes(handle, name, "WAVE"), read_file(entry.path())) << entry.path();
        ++count;
    }
    EXPECT_EQ(count, 16);
}

TEST_F(ModuleResources, EveryBitmapIsServedAsItsFileWithoutTheFileHeader) {
    int count = 0;
    for (const auto& entry : fs::directory_iterator(resources_dir / "bitmaps")) {
        if (entry.path().extension() != ".bmp") continue;
        ++count;
        std::vector<unsigned char> file = read_file(entry.path());
        ASSERT_GT(file.size(), 14u) << entry.path();
        std::string storage;
        LPCSTR name = resource_name(entry.path().stem().string(), storage);
        EXPECT_EQ(resource_bytes(handle, name, RT_BITMAP), std::vector<unsigned char>(file.begin() + 14, file.end()))
            << entry.path();
    }
    EXPECT_EQ(count, 258);
}

TEST_F(ModuleResources, LookupsMissLikeWindows) {
    // Unknown identifier, wrong type both ways, a number asked by name.
    EXPECT_EQ(FindResourceA(handle, MAKEINTRESOURCEA(11), "WAVE"), nullptr);
    EXPECT_EQ(FindResourceA(handle, MAKEINTRESOURCEA(10), RT_BITMAP), nullptr);
    EXPECT_EQ(FindResourceA(handle, MAKEINTRESOURCEA(40), "WAVE"), nullptr);
    EXPECT_EQ(FindResourceA(handle, "10", "WAVE"), nullptr);
    EXPECT_EQ(FindResourceA(handle, MAKEINTRESOURCEA(10), "WAV"), nullptr);
    EXPECT_EQ(FindResourceA(handle, MAKEINTRESOURCEA(10), MAKEINTRESOURCEA(10)), nullptr);
    // No module, no name, no type.
    EXPECT_EQ(FindResourceA(nullptr, MAKEINTRESOURCEA(10), "WAVE"), nullptr);
    EXPECT_EQ(FindResourceA(handle, nullptr, "WAVE"), nullptr);
    EXPECT_EQ(FindResourceA(handle, MAKEINTRESOURCEA(10), nullptr), nullptr);
    EXPECT_EQ(FindResourceA(handle, "", "WAVE"), nullptr);
    EXPECT_EQ(FindResourceA(handle, "#", "WAVE"), nullptr);
    EXPECT_EQ(FindResourceA(handle, "#10x", "WAVE"), nullptr);
    EXPECT_EQ(FindResourceA(handle, "#99999999999", "WAVE"), nullptr);
}

TEST_F(ModuleResources, TypeNamesIgnoreCaseAndHashNumbersNameIntegers) {
    HRSRC wave = FindResourceA(handle, MAKEINTRESOURCEA(3400), "WAVE");
    ASSERT_NE(wave, nullptr);
    EXPECT_EQ(FindResourceA(handle, MAKEINTRESOURCEA(3400), "wave"), wave);
    EXPECT_EQ(FindResourceA(handle, "#3400", "WAVE"), wave);
    EXPECT_EQ(SizeofResource(handle, wave), 6095u + 46u + 1u);  // header, data, pad byte
}

TEST_F(ModuleResources, HandlesFromElsewhereAreRefused) {
    HRSRC wave = FindResourceA(handle, MAKEINTRESOURCEA(10), "WAVE");
    ASSERT_NE(wave, nullptr);
    int not_a_resource = 0;
    EXPECT_EQ(LoadResource(handle, &not_a_resource), nullptr);
    EXPECT_EQ(SizeofResource(handle, &not_a_resource), 0u);
    EXPECT_EQ(LoadResource(nullptr, wave), nullptr);
    EXPECT_EQ(LoadResource(handle, nullptr), nullptr);
    EXPECT_EQ(LockResource(nullptr), nullptr);
    EXPECT_EQ(SizeofResource(handle, nullptr), 0u);
}

TEST_F(ModuleResources, TheSpareFacesAreFoundByNameOnly) {
    HRSRC face = FindResourceA(handle, "BMP_YOKE_TOGGLE", RT_BITMAP);
    ASSERT_NE(face, nullptr);
    EXPECT_EQ(FindResourceA(handle, "bmp_yoke_toggle", RT_BITMAP), face);
    EXPECT_EQ(FindResourceA(handle, "BMP_YOKE_TOGGLE", "WAVE"), nullptr);
    EXPECT_EQ(FindResourceA(handle, "BMP_YOKE", RT_BITMAP), nullptr);
    EXPECT_EQ(FindResourceA(handle, "40", RT_BITMAP), nullptr);  // a number asked by name
    EXPECT_NE(FindResourceA(handle, "#40", RT_BITMAP), nullptr);
}
