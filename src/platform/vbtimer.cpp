#include "platform/vbtimer.h"

#include "platform/guard.h"
#include "platform/runtime.h"
#include "platform/virtualtime.h"

namespace platform {

VbTimer::VbTimer(QObject* parent, int interval, bool enabled) : QObject(parent), interval_(interval), enabled_(enabled) {
    timer_.setSingleShot(false);
    connect(&timer_, &QTimer::timeout, this, [this] { fire(); });
    if (VirtualTime* vt = VirtualTime::current()) vt->attach(this);
    restart();
}

VbTimer::~VbTimer() {
    if (VirtualTime* vt = VirtualTime::current()) vt->detach(this);
}

void VbTimer::setInterval(int ms) {
    if (ms < 0) raise(380);
    interval_ = ms;
    restart();
}

void VbTimer::setEnabled(bool on) {
    if (on == enabled_) return;
    enabled_ = on;
    restart();
}

void VbTimer::restart() {
    timer_.stop();
    if (!ticking()) return;
    if (VirtualTime* vt = VirtualTime::current()) {
        vt->schedule(this);
        return;
    }
    timer_.start(interval_);
}

void VbTimer::fire() {
    if (inHandler_ || !onTimer) return;
    // Also when a test's program end leaves the handler: the timer must tick again.
    struct ImHandler {
        bool& drin;
        explicit ImHandler(bool& d) : drin(d) { drin = true; }
        ~ImHandler() { drin = false; }
    } imHandler(inHandler_);
    guardEvent("Timer", "Timer", [this] { onTimer(); });
}

}  // namespace platform
