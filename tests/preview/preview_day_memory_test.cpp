// The default panel flown for a simulated day without drawing: the host's
// logs keep only their most recent entries, and the process's resident
// memory after 24 hours is what it was after one.
#include <gtest/gtest.h>

#include <malloc.h>

#include <cstdio>
#include <fstream>
#include <memory>
#include <string>

#include "preview/panel_session.h"
#include "preview/preview_support.h"
#include "host/sim_host.h"

namespace {

// Resident memory now, in kilobytes.
long resident_kb() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmRSS:", 0) == 0) return std::stol(line.substr(6));
    return -1;
}

#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define MORVANE_ADDRESS_SANITIZER 1
#endif
#endif
#if defined(__SANITIZE_ADDRESS__)
#define MORVANE_ADDRESS_SANITIZER 1
#endif

#ifdef MORVANE_ADDRESS_SANITIZER
#include <sanitizer/allocator_interface.h>
// Heap bytes in use now. (The address sanitizer keeps freed blocks for a
// while, so resident memory says nothing about leaks under it.)
size_t heap_in_use() { return __sanitizer_get_current_allocated_bytes(); }
constexpr bool kResidentMeansLive = false;
#else
size_t heap_in_use() { return mallinfo2().uordblks; }
constexpr bool kResidentMeansLive = true;
#endif

TEST(PreviewLongRun, ADayOfFlightKeepsMemoryFlat) {
    sim::SimHost host;
    std::string error;
    for (const std::string& path : sim::default_module_paths()) ASSERT_TRUE(host.load_module(path, &error)) << error;
    sim::PanelLayout layout;
    sim::Scenario scenario;
    ASSERT_TRUE(sim::parse_panel_layout(sim::kDefaultPanelLayout, "built-in", &layout, &error)) << error;
    ASSERT_TRUE(sim::parse_scenario(sim::kDefaultScenario, "built-in", &scenario, &error)) << error;
    sim::PanelSession session(host, layout, sim::module_bitmap_lookup());
    ASSERT_TRUE(session.place_all("built-in", &error)) << error;
    // Fast-forward: one update cycle for every six simulated seconds (the
    // host's logs grow by cycles, not by seconds), the circuit flown first.
    ASSERT_TRUE(session.run_to(scenario, scenario.duration));
    host.seconds_per_cycle = 6.0;
    ASSERT_TRUE(session.run_to(scenario, 3600));
    long after_an_hour = resident_kb();
    size_t heap_after_an_hour = heap_in_use();
    uint64_t events_after_an_hour = host.event_log().total();
    ASSERT_TRUE(session.run_to(scenario, 24 * 3600));
    long after_a_day = resident_kb();
    size_t heap_after_a_day = heap_in_use();
    ASSERT_GT(after_an_hour, 0);

    // The panel kept talking to the simulator all day, more than its logs
    // keep ...
    EXPECT_GT(host.event_log().total(), events_after_an_hour);
    EXPECT_GT(host.event_log().total(), 2 * host.event_log().keep());
    EXPECT_GT(host.service_calls.total(), 2 * host.service_calls.keep());
    // ... and every log kept only its recent entries.
    EXPECT_LE(host.events().size(), 2 * host.event_log().keep());
    EXPECT_LE(host.service_calls.size(), 2 * host.service_calls.keep());
    EXPECT_LE(host.expressions_evaluated.size(), 2 * host.expressions_evaluated.keep());
    EXPECT_LE(session.log().size(), 4096u + 1);
    EXPECT_LT(double(heap_after_a_day) - double(heap_after_an_hour), 512 * 1024.0)
        << "heap in use " << heap_after_an_hour << " bytes after an hour, " << heap_after_a_day << " after a day";
    if (kResidentMeansLive) {
        EXPECT_LT(after_a_day - after_an_hour, 4 * 1024) << "resident memory " << after_an_hour << " kB after an hour, "
                                                         << after_a_day << " kB after a day";
    }
    std::printf("resident memory: %ld kB after an hour, %ld kB after a day\n", after_an_hour, after_a_day);
}

}  // namespace
