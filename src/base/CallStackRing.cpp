#include "base/CallStackRing.h"

#include "platform/clock.h"

#include <QDateTime>
#include <chrono>

QString traceTimeText() {
    static qint64 cachedKey = -1;
    static QString cached;
    // The local clock is slow to read (time zone rules); the system's second
    // counter tells cheaply when the text must change. Virtual time is read as it is.
    const bool virtualClock = platform::timeSource() != nullptr;
    const qint64 key = virtualClock ? platform::now().toSecsSinceEpoch()
                                    : std::chrono::duration_cast<std::chrono::seconds>(
                                          std::chrono::system_clock::now().time_since_epoch())
                                          .count();
    if (key != cachedKey || virtualClock) {
        cachedKey = virtualClock ? -1 : key;
        cached = platform::now().time().toString(QStringLiteral("HH:mm:ss"));
    }
    return cached;
}

void CallStackRing::callStack(const QString& declaration) {
    QString e;
    const QString time = traceTimeText();
    e.reserve(time.size() + 1 + declaration.size());
    e += time;
    e += QLatin1Char(' ');
    e += declaration;
    entries_.push_front(std::move(e));
    if (entries_.size() > static_cast<size_t>(Capacity)) entries_.pop_back();
}

void CallStackRing::callStackParam(const QString& name, const TraceValue& v) {
    const QString value = v.render();
    QString e;
    e.reserve(name.size() + value.size() + 3);
    e += QLatin1Char('\t');
    e += name;
    e += QLatin1Char(':');
    e += QLatin1Char('\t');
    e += value;
    if (entries_.empty())
        entries_.push_back(std::move(e));
    else
        entries_.insert(entries_.begin() + 1, std::move(e));
    if (entries_.size() > static_cast<size_t>(Capacity)) entries_.pop_back();
}

QStringList CallStackRing::entries() const {
    QStringList l;
    l.reserve(size());
    for (const QString& s : entries_) l << s;
    return l;
}
