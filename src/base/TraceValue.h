#pragma once
// A value as the call trace renders it.
#include <QString>
#include <cstdint>
#include <string>
#include <type_traits>

class TraceValue {
public:
    enum class Kind { Empty, Null, Array, Object, Nothing, Text };

    TraceValue() : kind_(Kind::Empty) {}
    TraceValue(const QString& s) : kind_(Kind::Text), text_(s) {}
    TraceValue(const char* s) : kind_(Kind::Text), text_(QString::fromUtf8(s)) {}
    TraceValue(const std::string& s) : kind_(Kind::Text), text_(QString::fromStdString(s)) {}
    TraceValue(bool b) : kind_(Kind::Text), text_(b ? QStringLiteral("True") : QStringLiteral("False")) {}
    template <class T, std::enable_if_t<std::is_integral_v<T> && !std::is_same_v<T, bool>, int> = 0>
    TraceValue(T v) : kind_(Kind::Text), text_(QString::number(v)) {}
    template <class T, std::enable_if_t<std::is_floating_point_v<T>, int> = 0>
    TraceValue(T v) : kind_(Kind::Text), text_(number(static_cast<double>(v))) {}

    static TraceValue empty() { return TraceValue(); }
    static TraceValue null() { return TraceValue(Kind::Null, QString()); }
    static TraceValue array() { return TraceValue(Kind::Array, QString()); }
    static TraceValue nothing() { return TraceValue(Kind::Nothing, QString()); }
    static TraceValue object(const QString& typeName) { return TraceValue(Kind::Object, typeName); }
    // An object reference: set or not.
    template <class T>
    static TraceValue ref(const T* p, const QString& typeName) {
        return p ? object(typeName) : nothing();
    }
    // A parameter of a record type.
    static TraceValue record(const QString& typeName) { return TraceValue(QLatin1Char('[') + typeName + QLatin1Char(']')); }

    Kind kind() const { return kind_; }
    QString render() const;
    static QString number(double d);

private:
    TraceValue(Kind k, QString t) : kind_(k), text_(std::move(t)) {}
    Kind kind_;
    QString text_;
};
