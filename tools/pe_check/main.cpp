// pe_check: verifies the resources of a built Windows gauge module against
// its bitmap and wave tables.
//
//   pe_check --language <id> --bitmaps <table> [--waves <table>]
//            [--version <a.b.c.d> --product <name>] <module>
//
// With --version the module must carry one version block whose file and
// product versions are that version and whose product name is the name.
//
// Prints one line per problem, each naming the module, and exits 1 when
// there is any; exits 0 with a one-line summary when everything agrees.
#include <fstream>
#include <iostream>
#include <iterator>

#include "pe_resources.h"

int main(int argc, char** argv) {
    pe::Expected expected;
    std::string bitmaps, waves, module;
    bool language_given = false;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        if (arg == "--language" && i + 1 < argc) {
            expected.language = uint32_t(std::strtoul(argv[++i], nullptr, 0));
            language_given = true;
        } else if (arg == "--bitmaps" && i + 1 < argc) {
            bitmaps = argv[++i];
        } else if (arg == "--waves" && i + 1 < argc) {
            waves = argv[++i];
        } else if (arg == "--version" && i + 1 < argc) {
            expected.has_version = true;
            expected.version.file_version = expected.version.product_version = argv[++i];
        } else if (arg == "--product" && i + 1 < argc) {
            expected.version.product_name = argv[++i];
        } else if (module.empty() && arg[0] != '-') {
            module = arg;
        } else {
            module.clear();
            break;
        }
    }
    if (module.empty() || !language_given || bitmaps.empty()) {
        std::cerr << "usage: pe_check --language <id> --bitmaps <table> [--waves <table>] "
                     "[--version <a.b.c.d> --product <name>] <module>\n";
        return 2;
    }
    std::string error;
    if (!pe::read_bitmap_table(bitmaps, expected.bitmaps, error) ||
        (!waves.empty() && !pe::read_wave_table(waves, expected.waves, error))) {
        std::cerr << error << "\n";
        return 1;
    }
    std::ifstream in(module, std::ios::binary);
    if (!in) {
        std::cerr << module << ": cannot open\n";
        return 1;
    }
    std::vector<uint8_t> image{std::istreambuf_iterator<char>(in), {}};
    std::vector<pe::Resource> resources;
    if (!pe::read_resources(image, resources, error)) {
        std::cerr << module << ": " << error << "\n";
        return 1;
    }
    std::vector<std::string> problems = pe::check_resources(resources, expected);
    for (const std::string& p : problems) std::cerr << module << ": " << p << "\n";
    if (!problems.empty()) return 1;
    std::cout << module << ": " << expected.bitmaps.size() << " bitmaps and " << expected.waves.size()
              << " waves" << (expected.has_version ? " and the version block" : "") << " as expected\n";
    return 0;
}
