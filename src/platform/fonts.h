#pragma once
// The fonts the screens name, mapped once onto the free substitutes installed with the program.
#include <QFont>
#include <QString>

namespace platform {

QString fontFamily(const QString& name);  // "Arial" -> "Liberation Sans", ...
QFont vbFont(const QString& name, double points, bool bold = false, bool italic = false, bool underline = false);

}  // namespace platform
