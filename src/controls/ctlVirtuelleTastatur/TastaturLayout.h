#pragma once
// The layout of one keyboard row, free of widgets: from a row string and the
// template key's size to the places and captions of the keys.
#include <QSize>
#include <QString>
#include <cstdint>
#include <vector>

namespace tastatur {

// Numbers of the three special keys and their designed widths (twips), which a scale
// below 1 narrows.
constexpr int16_t EnterTaste = 200;
constexpr int16_t LoeschenTaste = 201;
constexpr int16_t HideTaste = 202;
int sonderBreite(int16_t nummer, double massstab = 1.0);

// The control's designed size: a fresh layout starts from it (scaled).
constexpr int DesignBreite = 6390;
constexpr int DesignHoehe = 3900;

struct Platz {
    int16_t Nummer = 0;  // letter key number, or 200..202 for a special key
    bool Sonder = false;
    QString Caption;     // letter keys only
    int Left = 0, Top = 0, Width = 0, Height = 0;
};

struct Zeile {
    std::vector<Platz> Tasten;  // in reading order; a special key may come twice, the later place holds
    int16_t X = 0;              // X after the last position read
    int Breite = 0;             // the control's size after growing
    int Hoehe = 0;
    int Fehler = 0;             // runtime error that stopped the row (6: a number passed 32767), 0 if none
};

// Lays out `t` starting at (X, Y). `hoechste` is the highest letter key number
// loaded so far; `breite`/`hoehe` the control's current size (it only grows);
// `massstab` narrows the special keys.
Zeile layoutRow(const QString& t, int16_t X, int16_t Y, int keyWidth, int keyHeight, int16_t hoechste, int breite,
                int hoehe, double massstab = 1.0);

// The size of a fresh keyboard of these rows, with square keys of `taste` twips and the
// special keys narrowed by `massstab` (twips).
QSize Groesse(const std::vector<QString>& zeilen, int taste, double massstab);
// The keyboard of these rows with keys of `taste` twips, scaled down so that it fits
// into breite × hoehe: the designed one where that fits.
struct Einpassung {
    int Taste = 0;          // key size (twips): whole pixels, and whole half keys for the gaps
    double Massstab = 1.0;  // Taste against the designed key: for special keys and fonts
};
Einpassung Einpassen(const std::vector<QString>& zeilen, int taste, int breite, int hoehe);

}  // namespace tastatur
