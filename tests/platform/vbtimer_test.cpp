// Form timers under virtual time: the Enabled and Interval rules of the forms runtime.
#include "platform/vbtimer.h"
#include "platform/virtualtime.h"

#include <gtest/gtest.h>

namespace {

struct Counted {
    platform::VbTimer timer;
    std::vector<uint64_t> at;
    platform::VirtualTime& vt;
    Counted(platform::VirtualTime& v, int interval, bool enabled) : timer(nullptr, interval, enabled), vt(v) {
        timer.onTimer = [this] { at.push_back(vt.elapsed()); };
    }
};

TEST(VbTimer, EnablingStartsAFullIntervalAndEnablingAgainChangesNothing) {
    platform::VirtualTime vt;
    Counted c(vt, 100, false);
    vt.advance(50);
    c.timer.setEnabled(true);  // due at 150
    vt.advance(80);
    c.timer.setEnabled(true);  // already on: the running interval goes on
    vt.advance(30);
    EXPECT_EQ(c.at, (std::vector<uint64_t>{150}));
    c.timer.setEnabled(false);
    vt.advance(500);
    EXPECT_EQ(c.at.size(), 1u);
    c.timer.setEnabled(true);  // 660 -> due at 760
    vt.advance(100);
    EXPECT_EQ(c.at, (std::vector<uint64_t>{150, 760}));
}

TEST(VbTimer, ChangingTheIntervalRestartsAndZeroStops) {
    platform::VirtualTime vt;
    Counted c(vt, 100, true);
    vt.advance(90);
    c.timer.setInterval(100);  // same value, still a new interval
    vt.advance(90);
    EXPECT_TRUE(c.at.empty());
    vt.advance(10);
    EXPECT_EQ(c.at, (std::vector<uint64_t>{190}));
    c.timer.setInterval(0);
    vt.advance(1000);
    EXPECT_EQ(c.at.size(), 1u);
    EXPECT_FALSE(c.timer.ticking());
    EXPECT_TRUE(c.timer.Enabled());
    c.timer.setInterval(30);
    vt.advance(60);
    EXPECT_EQ(c.at, (std::vector<uint64_t>{190, 1220, 1250}));
}

TEST(VbTimer, NoTickInsideItsOwnHandler) {
    platform::VirtualTime vt;
    platform::VbTimer t(nullptr, 10, true);
    int depth = 0, deepest = 0, ticks = 0;
    t.onTimer = [&] {
        ++ticks;
        deepest = std::max(deepest, ++depth);
        if (ticks == 1) vt.advance(50);  // a wait that serves events inside the handler
        --depth;
    };
    vt.advance(10);
    EXPECT_EQ(deepest, 1);
    EXPECT_EQ(ticks, 2);  // one late tick after the handler, the missed ones are not made up
    vt.advance(10);
    EXPECT_EQ(ticks, 3);
}

}  // namespace
