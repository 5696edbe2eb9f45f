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
#include <optional>

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
// A short queue that played: the last list must not come back at the next start (neither
// the data folder's nor one beside the executable, which may not be writable).
void PlaylistVerwerfen();
// A queue is kept in the file only when at least five rows are queued.
inline bool PlaylistSpeichernLohnt(int32_t zeilen) { return zeilen >= 5; }
// Removes the file, read-only or not; a file that cannot be removed is left silently.
void PlaylistEntfernen(const QString& datei);
// One line of the file without its line end; ";" in the text fields is written as "_", control characters as
// blanks; in the path a control character is written as DLE (0x10) and its caret letter, DLE itself as DLE "P".
QString PlaylistZeile(const Playlistsatz& satz);
// Replaces the file at once (temporary file renamed over it); a failure raises the error the system gave
// (76 a missing folder, 70 one that cannot be written, 61 a full disk), the old file intact.
void PlaylistSchreiben(const QString& datei, const QList<Playlistsatz>& saetze);
// Rows of the file in order (none when it is missing, error 70 when it may not be read); empty lines and lines of
// fewer than six fields are passed over, uebersprungen counts the latter. A file that is not UTF-8 is read
// as Windows-1252. A line of more than six fields is read with the path between the fourth field and the
// last, unless only field 5 names an existing file: then fields 5 and 6 are path and duration, the rest ignored.
QList<Playlistsatz> PlaylistLesen(const QString& datei, int* uebersprungen = nullptr);

// Keeps the file in step with the live queue. The file follows the queue once a song that it
// holds has played in this run (or any song, while this run has not seen a list in it); until
// then a list whose songs could not be opened stays for the next start. While the kiosk runs
// the file then holds the live queue whatever its length, an empty queue removes it: a file
// found at a start was left by a crash and is read. At the end a queue of five rows or more
// is written and a shorter one removes the file: a list that played never comes back.
// A queue of five rows or more is written at any time.
class PlaylistSicherung {
public:
    enum class Schritt { Nichts, Schreiben, Entfernen };
    // The rows that this run read from the file.
    void gelesen(const QList<Playlistsatz>& saetze) { datei_ = saetze; }
    // A song that plays (or has started) in this run.
    void gespielt(const QString& pfad);
    // What the file needs for the live queue, or at the program's end (which writes even an unchanged queue).
    Schritt schritt(const QList<Playlistsatz>& warteschlange, bool ende = false) const;
    // The step was carried out for that queue.
    void getan(Schritt s, const QList<Playlistsatz>& warteschlange);

private:
    std::optional<QList<Playlistsatz>> datei_;  // what the file holds; none while this run has not seen it
    bool folgt_ = false;                        // the file follows the live queue
};

}  // namespace kiosklogic
