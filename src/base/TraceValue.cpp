#include "base/TraceValue.h"

#include <cmath>

QString TraceValue::number(double d) {
    if (std::isfinite(d) && d == std::floor(d) && std::fabs(d) < 1e15) return QString::number(static_cast<long long>(d));
    return QString::number(d, 'g', 15);
}

QString TraceValue::render() const {
    switch (kind_) {
    case Kind::Array: return QStringLiteral("[ARRAY]");
    case Kind::Null: return QStringLiteral("[NULL]");
    case Kind::Empty: return QStringLiteral("[EMPTY]");
    case Kind::Object: return QStringLiteral("[OBJECT:") + text_ + QLatin1Char(']');
    case Kind::Nothing: return QStringLiteral("[NOTHING]");
    case Kind::Text: return text_;
    }
    return text_;
}
