#include "platform/runtime.h"

#include <cerrno>
#include <cmath>
#include <limits>

namespace platform {

QString errorDescription(int number) {
    switch (number) {
    case 5: return QStringLiteral("Unzulässiger Prozeduraufruf oder ungültiges Argument");
    case 6: return QStringLiteral("Überlauf");
    case 7: return QStringLiteral("Nicht genügend Speicher");
    case 9: return QStringLiteral("Index außerhalb des gültigen Bereichs");
    case 11: return QStringLiteral("Division durch Null");
    case 13: return QStringLiteral("Typen unverträglich");
    case 32755: return QStringLiteral("Abbruch gewählt");
    case 52: return QStringLiteral("Dateiname oder -nummer falsch");
    case 53: return QStringLiteral("Datei nicht gefunden");
    case 57: return QStringLiteral("Fehler beim Lesen/Schreiben des Geräts");
    case 61: return QStringLiteral("Datenträger voll");
    case 62: return QStringLiteral("Einlesen hinter Dateiende");
    case 70: return QStringLiteral("Zugriff verweigert");
    case 75: return QStringLiteral("Fehler beim Zugriff auf Pfad/Datei");
    case 76: return QStringLiteral("Pfad nicht gefunden");
    case 91: return QStringLiteral("Objektvariable oder With-Blockvariable nicht festgelegt");
    case 365: return QStringLiteral("Entladen in diesem Kontext nicht möglich");
    case 380: return QStringLiteral("Unzulässiger Eigenschaftswert");
    default: return QString();
    }
}

RuntimeError::RuntimeError(int number, QString description)
    : std::runtime_error(description.toStdString()), number_(number), description_(std::move(description)) {}

RuntimeError::RuntimeError(int number) : RuntimeError(number, errorDescription(number)) {}

void raise(int number) { throw RuntimeError(number); }

int fileErrorNumber(int e, FileAccess access) {
    switch (e) {
    case ENOENT:
    case ENOTDIR:
    case ENAMETOOLONG:
    case ELOOP: return access == FileAccess::Read ? 53 : 76;
    case EACCES:
    case EPERM:
    case EROFS:
    case ETXTBSY: return 70;
    case ENOSPC:
    case EDQUOT:
    case EFBIG: return 61;
    case EIO: return 57;
    case ENOMEM: return 7;
    default: return 75;
    }
}

void raiseFileError(int e, FileAccess access) { raise(fileErrorNumber(e, access)); }

double roundHalfEven(double v) { return std::nearbyint(v); }

int16_t CInt(double v) {
    if (std::isnan(v)) raise(6);
    const double r = std::nearbyint(v);
    if (r < -32768.0 || r > 32767.0) raise(6);
    return static_cast<int16_t>(r);
}

int32_t CLng(double v) {
    if (std::isnan(v)) raise(6);
    const double r = std::nearbyint(v);
    if (r < -2147483648.0 || r > 2147483647.0) raise(6);
    return static_cast<int32_t>(r);
}

double CDblText(const QString& s) {
    QString t = s;
    while (t.startsWith(QLatin1Char(' '))) t.remove(0, 1);
    while (t.endsWith(QLatin1Char(' '))) t.chop(1);
    if (t.isEmpty()) raise(13);
    // Only digits, one point, an exponent and a leading sign: what the runtime reads.
    for (QChar c : t) {
        if (!(c.isDigit() && c.unicode() < 128) && c != QLatin1Char('.') && c != QLatin1Char('-') &&
            c != QLatin1Char('+') && c != QLatin1Char('e') && c != QLatin1Char('E'))
            raise(13);
    }
    bool ok = false;
    const double d = t.toDouble(&ok);
    if (!ok || !std::isfinite(d)) raise(13);
    return d;
}

int16_t CIntText(const QString& s) { return CInt(CDblText(s)); }
int32_t CLngText(const QString& s) { return CLng(CDblText(s)); }

bool CBoolText(const QString& s) {
    const QString t = s.trimmed();
    if (t.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0) return true;
    if (t.compare(QLatin1String("False"), Qt::CaseInsensitive) == 0) return false;
    return CDblText(s) != 0.0;
}

int32_t IntDiv(double a, double b) {
    const int64_t x = CLng(a);
    const int64_t y = CLng(b);
    if (y == 0) raise(11);
    const int64_t q = x / y;
    if (q > std::numeric_limits<int32_t>::max()) raise(6);
    return static_cast<int32_t>(q);
}

}  // namespace platform
