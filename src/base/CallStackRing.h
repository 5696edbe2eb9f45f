#pragma once
// The tracer's list of the last 40 entries, newest first; argument entries stand
// directly behind the procedure entry they belong to.
#include "base/TraceValue.h"

#include <QString>
#include <QStringList>
#include <deque>

class CallStackRing {
public:
    static constexpr int Capacity = 40;

    // Procedure entry: "HH:MM:SS " + declaration, put first.
    void callStack(const QString& declaration);
    // Argument entry: tab, name, ":", tab, value, put after entry 1.
    void callStackParam(const QString& name, const TraceValue& v);

    int size() const { return static_cast<int>(entries_.size()); }
    const QString& at(int index1) const { return entries_[static_cast<size_t>(index1 - 1)]; }  // 1 = newest
    QStringList entries() const;
    void clear() { entries_.clear(); }

private:
    std::deque<QString> entries_;
};

// The time of day as the trace writes it, "HH:MM:SS" (cached per second).
QString traceTimeText();
