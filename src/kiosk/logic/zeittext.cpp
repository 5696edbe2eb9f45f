#include "kiosk/logic/zeittext.h"

#include "kiosk/logic/abspielen.h"
#include "platform/runtime.h"

#include <QRegularExpression>
#include <algorithm>
#include <cmath>

namespace kiosklogic {

namespace {
constexpr double SekundenProTag = 86400.0;
const QDate Nulldatum(1899, 12, 30);
}  // namespace

double Datumswert(const QDateTime& t) {
    const double tage = static_cast<double>(Nulldatum.daysTo(t.date()));
    const double anteil = t.time().msecsSinceStartOfDay() / (SekundenProTag * 1000.0);
    // Before the zero date the runtime keeps the time as a positive fraction below the day count.
    return tage >= 0 ? tage + anteil : tage - anteil;
}

QString Uhrzeit(double datum) {
    const double anteil = std::fabs(datum - std::trunc(datum));
    auto sekunden = static_cast<int64_t>(platform::roundHalfEven(anteil * SekundenProTag));
    sekunden %= static_cast<int64_t>(SekundenProTag);  // 23:59:59.6 rounds into the next day
    const int stunden = static_cast<int>(sekunden / 3600);
    const int minuten = static_cast<int>(sekunden / 60 % 60);
    return QStringLiteral("%1:%2").arg(stunden, 2, 10, QLatin1Char('0')).arg(minuten, 2, 10, QLatin1Char('0'));
}

QString DauerText(int32_t sekunden) {
    // Minutes go on counting past 23: a long live set must not read as a short song.
    if (sekunden < 0) return Uhrzeit(sekunden / 1440.0);
    return QStringLiteral("%1:%2")
        .arg(sekunden / 60, 2, 10, QLatin1Char('0'))
        .arg(sekunden % 60, 2, 10, QLatin1Char('0'));
}

std::optional<double> ZeitAusText(const QString& text) {
    static const QRegularExpression muster(QStringLiteral("^ *(\\d{1,2}):(\\d{1,2})(?::(\\d{1,2}))? *$"));
    const auto m = muster.match(text);
    if (!m.hasMatch()) return std::nullopt;
    const int h = m.captured(1).toInt();
    const int min = m.captured(2).toInt();
    const int s = m.captured(3).isEmpty() ? 0 : m.captured(3).toInt();
    if (h > 23 || min > 59 || s > 59) return std::nullopt;
    return (h * 3600 + min * 60 + s) / SekundenProTag;
}

namespace {
// Seconds of a duration text, fractions kept (an "H:mm:ss" clock text gives parts of a second).
double DauerInSekunden(const QString& text) {
    static const QRegularExpression minuten(QStringLiteral("^ *(\\d{1,6}):(\\d{1,2}) *$"));
    const auto m = minuten.match(text);
    if (m.hasMatch() && m.captured(2).toInt() <= 59) return m.captured(1).toInt() * 60.0 + m.captured(2).toInt();
    if (auto t = ZeitAusText(text)) return *t * 1440.0;
    return 300;
}
}  // namespace

double DauerTage(const QString& text) { return DauerInSekunden(text) / 1440.0; }

int32_t DauerSekunden(const QString& text) { return platform::CLng(DauerInSekunden(text)); }

QStringList Startzeiten(double jetzt, int32_t positionMs, double startzeit, const QStringList& dauern,
                        int32_t fadingSekunden) {
    // The moment the playing song would have begun had it never been paused.
    const double basis = jetzt - positionMs / 1000.0 / 60 / 60 / 24;
    double sekunden = 0;
    double rest = 0;  // how long the song before still plays when this one starts
    QStringList zeiten;
    zeiten.reserve(dauern.size());
    for (qsizetype i = 0; i < dauern.size(); ++i) {
        zeiten << (i == 0 ? Uhrzeit(startzeit) : Uhrzeit(basis + sekunden / SekundenProTag));
        // The next song starts at this one's hand-over point, not at its end, and never before the
        // song before this one has ended.
        const double laenge = DauerInSekunden(dauern[i]);
        const double uebergabe = std::max(laenge - Ueberlappung(laenge, fadingSekunden), rest);
        sekunden += uebergabe;
        rest = std::max(0.0, laenge - uebergabe);
    }
    return zeiten;
}

}  // namespace kiosklogic
