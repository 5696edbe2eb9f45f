#include "controls/ctlVirtuelleTastatur/TastaturLayout.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace tastatur {
namespace {

struct Overflow {};

// 16-bit arithmetic of the row: rounded half to even, an overflow stops the row.
int16_t int16(double v) {
    const double r = std::nearbyint(v);
    if (r < std::numeric_limits<int16_t>::min() || r > std::numeric_limits<int16_t>::max()) throw Overflow{};
    return static_cast<int16_t>(r);
}

bool tokenAt(const QString& t, int pos, QLatin1String token) {
    return QStringView(t).mid(pos, token.size()).compare(token, Qt::CaseInsensitive) == 0;
}

}  // namespace

int sonderBreite(int16_t nummer, double massstab) {
    int breite = 0;
    switch (nummer) {
    case EnterTaste: breite = 2250; break;
    case LoeschenTaste: breite = 1710; break;
    case HideTaste: breite = 2250; break;
    default: return 0;
    }
    return massstab == 1.0 ? breite : static_cast<int>(std::nearbyint(breite * massstab));
}

Zeile layoutRow(const QString& t, int16_t X, int16_t Y, int keyWidth, int keyHeight, int16_t hoechste, int breite,
                int hoehe, double massstab) {
    static const struct {
        QLatin1String text;
        int16_t nummer;
    } sonder[] = {{QLatin1String("Enter"), EnterTaste}, {QLatin1String("BS"), LoeschenTaste}, {QLatin1String("Hide"), HideTaste}};

    Zeile z;
    z.Breite = breite;
    z.Hoehe = hoehe;
    int16_t n = hoechste;
    try {
        int pos = 0;
        while (pos < t.size()) {
            n = int16(n + 1.0);  // every position uses up a number, blanks and tokens too
            if (t[pos] == QLatin1Char(' ')) {
                X = int16(X + keyWidth / 2.0);
                ++pos;
            } else {
                bool done = false;
                for (const auto& s : sonder) {
                    if (!tokenAt(t, pos, s.text)) continue;
                    const int w = sonderBreite(s.nummer, massstab);
                    z.Tasten.push_back(Platz{s.nummer, true, QString(), X, Y, w, keyHeight});
                    X = int16(double(X) + w);
                    pos += s.text.size();
                    done = true;
                    break;
                }
                if (!done && tokenAt(t, pos, QLatin1String("Space"))) {
                    const int w = 3 * keyWidth;
                    z.Tasten.push_back(Platz{n, false, QStringLiteral(" "), X, Y, w, keyHeight});
                    X = int16(double(X) + w);
                    pos += 5;
                } else if (!done) {
                    z.Tasten.push_back(Platz{n, false, QString(t[pos]), X, Y, keyWidth, keyHeight});
                    X = int16(double(X) + keyWidth);
                    ++pos;
                }
            }
            if (z.Breite - 90 < X) z.Breite = int16(X + 90.0);
            if (z.Hoehe - 360 < Y + keyHeight) z.Hoehe = Y + keyHeight + 360;
        }
    } catch (const Overflow&) {
        z.Fehler = 6;
    }
    z.X = X;
    return z;
}

QSize Groesse(const std::vector<QString>& zeilen, int taste, double massstab) {
    int breite = static_cast<int>(std::nearbyint(DesignBreite * massstab));
    int hoehe = static_cast<int>(std::nearbyint(DesignHoehe * massstab));
    for (size_t i = 0; i < zeilen.size(); ++i) {
        const double y = std::nearbyint(double(taste) * double(i));
        if (y > std::numeric_limits<int16_t>::max()) break;
        const Zeile z = layoutRow(zeilen[i], 0, static_cast<int16_t>(y), taste, taste, 0, breite, hoehe, massstab);
        breite = z.Breite;
        hoehe = z.Hoehe;
    }
    return {breite, hoehe};
}

Einpassung Einpassen(const std::vector<QString>& zeilen, int taste, int breite, int hoehe) {
    const QSize voll = Groesse(zeilen, taste, 1.0);
    if (voll.width() <= breite && voll.height() <= hoehe) return {taste, 1.0};
    // The margins beside and under the keys stay as they are; the keys take the rest.
    const double f =
        std::min(double(breite - 90) / (voll.width() - 90), double(hoehe - 360) / (voll.height() - 360));
    // Two whole pixels a step, so that a half-key gap is a whole pixel and no key
    // overlaps the next one when drawn.
    constexpr int Schritt = 30;
    int t = std::max(Schritt, static_cast<int>(taste * std::min(f, 1.0)) / Schritt * Schritt);
    for (; t > Schritt; t -= Schritt) {
        const QSize g = Groesse(zeilen, t, double(t) / taste);
        if (g.width() <= breite && g.height() <= hoehe) break;
    }
    return {t, double(t) / taste};
}

}  // namespace tastatur
