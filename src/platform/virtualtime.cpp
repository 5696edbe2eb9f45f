#include "platform/virtualtime.h"

#include "platform/vbtimer.h"

#include <QCoreApplication>
#include <algorithm>

namespace platform {
namespace {
VirtualTime* g_current = nullptr;
}

VirtualTime::VirtualTime(QDateTime start, uint32_t startTicks) : start_(std::move(start)), startTicks_(startTicks) {
    g_current = this;
    setTimeSource(this);
}

VirtualTime::~VirtualTime() {
    if (g_current == this) g_current = nullptr;
    if (timeSource() == this) setTimeSource(nullptr);
}

VirtualTime* VirtualTime::current() { return g_current; }

uint32_t VirtualTime::ticks() { return static_cast<uint32_t>(startTicks_ + elapsed_); }

QDateTime VirtualTime::now() {
    QDateTime t = start_.addMSecs(static_cast<qint64>(elapsed_));
    return t.addMSecs(-t.time().msec());
}

void VirtualTime::sleep(int ms) {
    if (ms > 0) elapsed_ += static_cast<uint64_t>(ms);
}

void VirtualTime::pumped() {
    elapsed_ += static_cast<uint64_t>(pumpStep_);
    fireDue();
}

void VirtualTime::advance(int64_t ms) {
    const uint64_t target = elapsed_ + static_cast<uint64_t>(std::max<int64_t>(ms, 0));
    for (;;) {
        // The next due timer that lies within the step.
        uint64_t next = target;
        for (VbTimer* t : timers_)
            if (t->ticking() && !t->inHandler_ && t->due_ < next) next = t->due_;
        if (next > elapsed_) elapsed_ = next;
        if (QCoreApplication::instance()) QCoreApplication::processEvents();
        fireDue();
        if (elapsed_ >= target) break;
    }
}

void VirtualTime::attach(VbTimer* t) { timers_.push_back(t); }

void VirtualTime::detach(VbTimer* t) { timers_.erase(std::remove(timers_.begin(), timers_.end(), t), timers_.end()); }

void VirtualTime::schedule(VbTimer* t) {
    if (std::find(timers_.begin(), timers_.end(), t) == timers_.end()) timers_.push_back(t);
    t->due_ = elapsed_ + static_cast<uint64_t>(t->interval_);
}

void VirtualTime::fireDue() {
    // A handler may create, delete or re-arm timers: look for due ones afresh each time.
    for (;;) {
        VbTimer* pick = nullptr;
        for (VbTimer* t : timers_)
            if (t->ticking() && !t->inHandler_ && t->due_ <= elapsed_ && (!pick || t->due_ < pick->due_)) pick = t;
        if (!pick) return;
        pick->due_ += static_cast<uint64_t>(pick->interval_);
        if (pick->due_ <= elapsed_) pick->due_ = elapsed_ + static_cast<uint64_t>(pick->interval_);
        pick->fire();
    }
}

}  // namespace platform
