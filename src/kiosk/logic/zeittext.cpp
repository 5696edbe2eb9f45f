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
// "M:SS" with one to six digits of minutes and blanks around: the seconds, or nullopt. Read by
// hand, since sorting the archive by its durations asks once for every row.
std::optional<int32_t> MinutenUndSekunden(QStringView text) {
    while (text.startsWith(u' ')) text = text.mid(1);
    while (text.endsWith(u' ')) text.chop(1);
    const qsizetype doppelpunkt = text.indexOf(u':');
    if (doppelpunkt < 1 || doppelpunkt > 6 || text.size() - doppelpunkt - 1 < 1 || text.size() - doppelpunkt - 1 > 2)
        return std::nullopt;
    int32_t minuten = 0, sekunden = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (i == doppelpunkt) continue;
        const char16_t c = text[i].unicode();
        if (c < u'0' || c > u'9') return std::nullopt;
        int32_t& teil = i < doppelpunkt ? minuten : sekunden;
        teil = teil * 10 + (c - u'0');
    }
    if (sekunden > 59) return std::nullopt;
    return minuten * 60 + sekunden;
}
}  // namespace

double DauerInSekunden(const QString& text) {
    if (const auto s = MinutenUndSekunden(text)) return *s;
    if (auto t = ZeitAusText(text)) return *t * 1440.0;
    return 300;
}

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
