#pragma once
// The playlist file "Playlist.txt": one line per playlist row, the six fields
// joined by ";", lines ended by CR LF, UTF-8, no header. Only the path may hold
// ";" (the texts have "_" in its place), so a line is read from both ends; its
// control characters are written escaped, so that a line break in a file name does
// not split the line.
// Files of older versions are in Windows-1252 and may carry more fields.
#include <QList>
#include <QString>
#include <cstdint>

namespace kiosklogic {

// One playlist row in grid column order 0 to 5.
struct Playlistsatz {
    QString titel;
    QString interpret;
    QString genre;
    QString start;  // "HH:mm" or "??:??"
    QString pfad;   // the song's identity, never altered
    QString dauer;  // duration text, "05:00" when unknown
    bool operator==(const Playlistsatz&) const = default;
};

// A text column's value with every ";" as "_" and every control character 1..31 as a
// blank (empty stays empty); never applied to a path.
QString SemikolonErsetzen(const QString& s);
// Full name of the playlist file in the user's data folder.
QString PlaylistDateiname();
// The file a hand-over reads: the data folder's, or while that has none, the list that an
// earlier version kept beside the executable.
QString PlaylistLesedatei();
// A short queue at the end: the last list must not come back at the next start (neither
// the data folder's nor one beside the executable, which may not be writable).
void PlaylistVerwerfen();
// Shut-down rule: the file is written only when at least five rows are queued, else an older file is removed.
inline bool PlaylistSpeichernLohnt(int32_t zeilen) { return zeilen >= 5; }
// Removes the file, read-only or not; a file that cannot be removed is left silently.
void PlaylistEntfernen(const QString& datei);
// One line of the file without its line end; ";" in the text fields is written as "_", control characters as
// blanks; in the path a control character is written as DLE (0x10) and its caret letter, DLE itself as DLE "P".
QString PlaylistZeile(const Playlistsatz& satz);
// Replaces the file at once (temporary file renamed over it); raises 76 for a missing folder, 70/75 when writing fails, the old file intact.
void PlaylistSchreiben(const QString& datei, const QList<Playlistsatz>& saetze);
// Rows of the file in order (none when it is missing, error 75 when unreadable); empty lines and lines of
// fewer than six fields are passed over, uebersprungen counts the latter. A file that is not UTF-8 is read
// as Windows-1252. A line of more than six fields is read with the path between the fourth field and the
// last, unless only field 5 names an existing file: then fields 5 and 6 are path and duration, the rest ignored.
QList<Playlistsatz> PlaylistLesen(const QString& datei, int* uebersprungen = nullptr);

}  // namespace kiosklogic
