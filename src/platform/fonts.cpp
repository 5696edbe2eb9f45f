#include "platform/fonts.h"

namespace platform {

QString fontFamily(const QString& name) {
    const QString n = name.trimmed().toLower();
    if (n == QLatin1String("arial")) return QStringLiteral("Liberation Sans");
    if (n == QLatin1String("courier new")) return QStringLiteral("Liberation Mono");
    if (n == QLatin1String("times new roman")) return QStringLiteral("Liberation Serif");
    if (n == QLatin1String("comic sans ms")) return QStringLiteral("Comic Neue");
    if (n == QLatin1String("ms sans serif") || n.isEmpty()) return QStringLiteral("DejaVu Sans");
    if (n == QLatin1String("fixedsys")) return QStringLiteral("DejaVu Sans Mono");
    return name;
}

QFont vbFont(const QString& name, double points, bool bold, bool italic, bool underline) {
    QFont f(fontFamily(name));
    f.setPointSizeF(points > 0 ? points : 8.25);
    f.setBold(bold);
    f.setItalic(italic);
    f.setUnderline(underline);
    return f;
}

}  // namespace platform
