#pragma once
// Time texts of the music road. A song length of s seconds is kept as the clock
// text of s minutes ("03:20" for 200 s), so the grids show minutes and seconds;
// start times are clock times of date values (days since 1899-12-30, time as fraction).
#include <QDateTime>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <optional>

namespace kiosklogic {

// Length every unreadable or missing duration counts as.
inline const QString StandardDauer = QStringLiteral("05:00");

// Date value of a local date-time: days since 1899-12-30, the time of day as fraction.
double Datumswert(const QDateTime& t);
// "HH:mm" of a date value, time of day only, rounded to the second first; the zero date gives "00:00".
QString Uhrzeit(double datum);
// s whole seconds as minutes and seconds, two digits each at least: 200 -> "03:20", 1500 -> "25:00".
QString DauerText(int32_t sekunden);
// A clock text "H:mm" or "H:mm:ss" (blanks around allowed) as fraction of a day; nullopt when no valid time.
std::optional<double> ZeitAusText(const QString& text);
// A duration text as seconds, fractions kept: "03:20" -> 200, "100:00" -> 6000 (one to six digits of
// minutes, blanks around allowed); an older "H:mm:ss" text reads as a clock time ("0:02:30" -> 2.5);
// missing or invalid counts as "05:00".
double DauerInSekunden(const QString& text);
// A duration text as its clock time in days ("03:20" -> 200 / 1440, "25:00" -> 1500 / 1440); an older
// "H:mm:ss" text reads as a clock time; missing or invalid counts as "05:00".
double DauerTage(const QString& text);
// A duration text back to whole seconds ("03:20" -> 200), rounded half to even; missing or invalid gives 300.
int32_t DauerSekunden(const QString& text);
// Start clock texts of the playlist rows: row 1 shows startzeit, each later row now minus the playing
// position plus, for every row above it, its duration (column 5 text) less the overlap it gets with
// the next song (see Ueberlappung; a song hands over no earlier than the song before it has ended);
// one text per entry of dauern.
QStringList Startzeiten(double jetzt, int32_t positionMs, double startzeit, const QStringList& dauern,
                        int32_t fadingSekunden);

}  // namespace kiosklogic
