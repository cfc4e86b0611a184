// The counters the stray-call test module exports as `stray_counts`, read
// and set by its test: the slot to call (0: call none) and how many times
// each callback began and how many times it got past the call.
#pragma once

struct StrayCounts {
    unsigned slot;
    unsigned updates_begun, updates_finished;
    unsigned clicks_begun, clicks_finished;
    unsigned tooltips_begun, tooltips_finished;
    unsigned kills;
};
