#pragma once
// Rows for a grid from a text of CRLF lines with ";"-separated fields.
#include <QString>
#include <QStringList>
#include <vector>

namespace kiosklogic {

struct Tabellenzeile {
    QString Titel;         // column 0
    QStringList Spalten;   // columns 1 to 4; empty when the line has fewer than five fields
};

// The text from position optStart (1-based) on. A line needs two fields; its title is the
// first field, cut by Len(Praefix) characters when that field contains the prefix
// (letter case aside). Titles blank after trimming give no row.
std::vector<Tabellenzeile> ZeilenAusText(const QString& Text, const QString& Praefix, int optStart = 1);

}  // namespace kiosklogic
