#pragma once
// Virtual time for tests: the tick counter, the clock, blocking sleeps, event pumps
// and every VbTimer run on a counter that the test advances.
#include "platform/clock.h"

#include <QDateTime>
#include <vector>

namespace platform {

class VbTimer;

class VirtualTime : public TimeSource {
public:
    // startTicks lets a test start just before the counter wraps.
    explicit VirtualTime(QDateTime start = QDateTime(QDate(2026, 12, 8), QTime(20, 0, 0)),
                         uint32_t startTicks = 1000000);
    ~VirtualTime() override;

    uint32_t ticks() override;
    QDateTime now() override;
    void sleep(int ms) override;   // advances without firing timers (no events served)
    void pumped() override;        // advances by pumpStep and fires due timers

    // Advances by ms, firing due timers in order of their due time.
    void advance(int64_t ms);
    uint64_t elapsed() const { return elapsed_; }
    void setPumpStep(int ms) { pumpStep_ = ms; }
    static VirtualTime* current();

    // Called by VbTimer.
    void attach(VbTimer* t);
    void detach(VbTimer* t);
    void schedule(VbTimer* t);

private:
    void fireDue();
    QDateTime start_;
    uint32_t startTicks_;
    uint64_t elapsed_ = 0;
    int pumpStep_ = 1;
    std::vector<VbTimer*> timers_;
};

}  // namespace platform
