// The sound layer's log of played sounds stays bounded however long a panel
// runs, as the host's own logs do: it counts every sound and keeps the most
// recent ones.
#include <gtest/gtest.h>

#include "host_fixture.h"
#include "platform/linux/sound_inspect.h"

namespace {

class SoundPlayedLog : public ModuleTest {
protected:
    void TearDown() override {
        sound_inspect::set_played_keep(4096);
        ModuleTest::TearDown();
    }
};

TEST_F(SoundPlayedLog, KeepsTheMostRecentSoundsAndCountsThemAll) {
    sim::Placement& box = place("Dirud_Box");
    host.cycle();
    sound_inspect::set_played_keep(8);
    const uint64_t before = sound_inspect::played_total();
    double last_click = 0;
    for (int i = 0; i < 60; ++i) {
        ASSERT_TRUE(box.click(10, 220)) << i;  // a switch: one click sound each
        last_click = sound_inspect::clock();
        host.cycles(8);  // the click has played out before the next
    }
    EXPECT_EQ(sound_inspect::played_total(), before + 60);
    const auto& kept = sound_inspect::played();
    EXPECT_GE(kept.size(), 8u);
    EXPECT_LE(kept.size(), 16u);
    EXPECT_EQ(sound_inspect::played_first_kept(), sound_inspect::played_total() - kept.size());
    // The newest is the last click, and the kept ones run oldest first.
    EXPECT_DOUBLE_EQ(kept.back().time, last_click);
    EXPECT_EQ(kept.back().wave_id, 10u);
    for (size_t i = 1; i < kept.size(); ++i) EXPECT_LT(kept[i - 1].time, kept[i].time);
    // Forgetting the kept ones leaves the count.
    sound_inspect::clear_played();
    EXPECT_TRUE(sound_inspect::played().empty());
    EXPECT_EQ(sound_inspect::played_total(), before + 60);
    EXPECT_EQ(sound_inspect::played_first_kept(), before + 60);
}

}  // namespace
