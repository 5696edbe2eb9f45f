#pragma once
// A form timer: Interval in ms (0 = no ticks), Enabled; enabling or changing the
// interval starts a full new interval, enabling an enabled timer changes nothing.
// Ticks arrive through the event loop only, and never inside the timer's own handler.
#include <QObject>
#include <QTimer>
#include <functional>

namespace platform {

class VirtualTime;

class VbTimer : public QObject {
    Q_OBJECT
public:
    explicit VbTimer(QObject* parent = nullptr, int interval = 0, bool enabled = false);
    ~VbTimer() override;

    int Interval() const { return interval_; }
    void setInterval(int ms);
    bool Enabled() const { return enabled_; }
    void setEnabled(bool on);

    // The handler (the control's Timer event).
    std::function<void()> onTimer;

    // Test hook: raise one tick now, as the event loop would.
    void fire();
    bool ticking() const { return enabled_ && interval_ > 0; }

private:
    friend class VirtualTime;
    void restart();
    QTimer timer_;
    int interval_ = 0;
    bool enabled_ = false;
    bool inHandler_ = false;
    uint64_t due_ = 0;  // under virtual time: when the next tick is due
};

}  // namespace platform
