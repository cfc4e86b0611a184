// The project's rooms and who may include whom: a room includes only the
// rooms below it. The module code knows nothing of the tooling; the
// simulated host knows only the host's records and the platform; the
// aircraft and the FlightGear link sit on the host, side by side; the
// flight session on the aircraft and the host; the previewer on the flight
// session (an outside simulation is handed in by the program); the live
// panel on the previewer; the
// programs on whatever they assemble, and nothing on the programs. Every
// #include "room/..." of every source and header is checked against this
// one table.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

// Each room with the rooms its files may include (besides its own).
const std::map<std::string, std::set<std::string>> kMayInclude = {
    {"platform", {}},
    {"framework", {"platform"}},
    {"sound", {"framework", "platform"}},
    {"gauges", {"sound", "framework", "platform"}},
    {"resources", {"framework", "platform"}},
    {"flaps_module", {"framework"}},
    {"host", {"framework", "platform"}},
    {"aircraft", {"host", "framework", "platform"}},
    {"flightgear", {"aircraft", "host", "framework", "platform"}},
    {"flight", {"aircraft", "host", "framework", "platform"}},
    {"preview", {"flight", "aircraft", "host", "framework", "platform"}},
    {"web", {"preview", "flight", "aircraft", "host", "framework", "platform"}},
    {"tools", {"flight", "aircraft", "host", "framework", "platform", "sound", "gauges", "resources", "tools"}},
    {"programs", {"web", "preview", "flight", "flightgear", "aircraft", "host", "framework", "platform", "tools"}},
};

fs::path source_dir() {
    const char* env = std::getenv("MORVANE_SOURCE_DIR");
    return env ? fs::path(env) : fs::path(MORVANE_SOURCE_DIR);
}

bool is_source(const fs::path& p) {
    static const std::set<std::string> kEndings = {".c", ".cc", ".cpp", ".h", ".hpp", ".inc", ".rc"};
    return kEndings.count(p.extension().string()) != 0;
}

// "room/file.h" includes of one file, with their line numbers.
std::vector<std::pair<int, std::string>> room_includes(const fs::path& file) {
    static const std::regex kInclude(R"(^\s*#\s*include\s*"([a-z_]+)/)");
    std::vector<std::pair<int, std::string>> found;
    std::ifstream in(file);
    std::string line;
    for (int number = 1; std::getline(in, line); ++number) {
        std::smatch m;
        if (std::regex_search(line, m, kInclude)) found.emplace_back(number, m[1].str());
    }
    return found;
}

// Every include from a room of the table into a room it may not include,
// as "file:line includes room/".
std::vector<std::string> violations(const fs::path& root) {
    std::vector<std::string> found;
    for (const auto& [room, allowed] : kMayInclude) {
        if (!fs::is_directory(root / room)) continue;
        for (const auto& entry : fs::recursive_directory_iterator(root / room)) {
            if (!entry.is_regular_file() || !is_source(entry.path())) continue;
            for (const auto& [line, included] : room_includes(entry.path())) {
                if (included == room || allowed.count(included)) continue;
                found.push_back(fs::relative(entry.path(), root).string() + ":" + std::to_string(line) +
                                " includes " + included + "/");
            }
        }
    }
    return found;
}

TEST(RoomIncludes, NoRoomIncludesARoomAboveIt) {
    const fs::path root = source_dir();
    ASSERT_TRUE(fs::is_directory(root / "host")) << root;
    std::vector<std::string> found = violations(root);
    std::string list;
    for (const std::string& v : found) list += v + "\n";
    EXPECT_TRUE(found.empty()) << list;
}

// The check itself finds a forbidden include: a host file that reaches up
// into the previewer, in a scratch tree.
TEST(RoomIncludes, ReportsAnIncludeFromBelow) {
    const fs::path root = fs::temp_directory_path() / ("room_includes_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()));
    fs::remove_all(root);
    fs::create_directories(root / "host");
    fs::create_directories(root / "web");
    std::ofstream(root / "host" / "ok.cpp") << "#include \"host/sim_host.h\"\n#include \"platform/win32.h\"\n";
    std::ofstream(root / "host" / "bad.cpp") << "// draws\n#include \"preview/renderer.h\"\n";
    std::ofstream(root / "web" / "fine.cpp") << "#include \"preview/renderer.h\"\n#include \"host/placement.h\"\n";
    std::vector<std::string> found = violations(root);
    fs::remove_all(root);
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0], "host/bad.cpp:2 includes preview/");
}

}  // namespace
