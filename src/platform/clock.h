#pragma once
// Time, waiting and the event pump. Tests install a virtual time source so that
// seconds of waiting and timer ticks pass at once and exactly.
#include <QDateTime>
#include <cstdint>

namespace platform {

uint32_t tickCount();       // millisecond counter, wraps at 2^32 (timeGetTime)
QDateTime now();            // local date and time to the second (Now)
double timerSeconds();      // seconds since midnight with fractions (Timer)
void blockingSleep(int ms); // waits without serving any event (kernel32 Sleep)
void pumpEvents();          // serves pending window events once (DoEvents)
// For a loop of many quick steps that yields after each: pumpEvents() at the
// first step and then once per millisecond, since more pumps within the same
// millisecond only poll in vain. (A virtual clock moves only with the pumps:
// there every step pumps.)
class PumpPacer {
public:
    void pump();

private:
    bool pumped_ = false;
    uint32_t at_ = 0;
};
// Serves events as they come for at most ms, sleeping while none is pending;
// returns after the first batch. Under a virtual time source: one pumpEvents().
void waitEvents(int ms);

class TimeSource {
public:
    virtual ~TimeSource() = default;
    virtual uint32_t ticks() = 0;
    virtual QDateTime now() = 0;
    virtual void sleep(int ms) = 0;  // blocking sleep
    virtual void pumped() = 0;       // called after each event pump
};

// nullptr restores the real clock.
void setTimeSource(TimeSource* source);
TimeSource* timeSource();

}  // namespace platform
