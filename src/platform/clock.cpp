#include "platform/clock.h"

#include <QCoreApplication>
#include <QTimer>
#include <chrono>
#include <thread>

namespace platform {
namespace {
TimeSource* g_source = nullptr;
}

void setTimeSource(TimeSource* source) { g_source = source; }
TimeSource* timeSource() { return g_source; }

uint32_t tickCount() {
    if (g_source) return g_source->ticks();
    using namespace std::chrono;
    return static_cast<uint32_t>(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

QDateTime now() {
    if (g_source) return g_source->now();
    QDateTime t = QDateTime::currentDateTime();
    return t.addMSecs(-t.time().msec());
}

double timerSeconds() {
    if (g_source) {
        const QTime t = g_source->now().time();
        return t.msecsSinceStartOfDay() / 1000.0;
    }
    return QTime::currentTime().msecsSinceStartOfDay() / 1000.0;
}

void blockingSleep(int ms) {
    if (g_source) {
        g_source->sleep(ms);
        return;
    }
    if (ms > 0) std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

void pumpEvents() {
    if (QCoreApplication::instance()) QCoreApplication::processEvents(QEventLoop::AllEvents);
    if (g_source) g_source->pumped();
}

void PumpPacer::pump() {
    if (pumped_ && !g_source && tickCount() == at_) return;
    pumpEvents();
    pumped_ = true;
    at_ = tickCount();
}

void waitEvents(int ms) {
    if (g_source) return pumpEvents();
    if (ms <= 0) return pumpEvents();
    if (!QCoreApplication::instance()) {
        std::this_thread::sleep_for(std::chrono::milliseconds(ms));
        return;
    }
    // The timer only wakes the blocked dispatcher; it needs no receiver.
    QTimer wake;
    wake.setSingleShot(true);
    wake.setTimerType(Qt::PreciseTimer);
    wake.start(ms);
    QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
}

}  // namespace platform
