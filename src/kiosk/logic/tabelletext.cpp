#include "kiosk/logic/tabelletext.h"

#include <algorithm>

namespace kiosklogic {

std::vector<Tabellenzeile> ZeilenAusText(const QString& Text, const QString& Praefix, int optStart) {
    std::vector<Tabellenzeile> zeilen;
    const QString rest = Text.mid(std::max(optStart, 1) - 1);
    for (const QString& zeile : rest.split(QStringLiteral("\r\n"))) {
        const QStringList felder = zeile.split(QLatin1Char(';'));
        if (felder.size() < 2) continue;
        QString titel = felder[0];
        if (!Praefix.isEmpty() && titel.contains(Praefix, Qt::CaseInsensitive)) titel = titel.mid(Praefix.size());
        if (titel.trimmed().isEmpty()) continue;
        Tabellenzeile z{titel, {}};
        if (felder.size() >= 5) z.Spalten = felder.mid(1, 4);
        zeilen.push_back(std::move(z));
    }
    return zeilen;
}

}  // namespace kiosklogic
