#pragma once
// Title, artist and genre byte of the ID3v1 tag (the last 128 bytes of an MP3 file),
// and the program's genre table. Tag texts are Windows-1252.
#include <QString>
#include <QStringList>
#include <cstdint>
#include <functional>
#include <optional>

namespace platform {
class BinaryFile;
}

// Names of the genre bytes 0..123; every other byte reads "Kein Genre".
const QStringList& Genretabelle();

QString GetSongName(const QString& MP3Datei);   // "Unbekannter Titel" without a tag
QString GetBand(const QString& MP3Datei);       // "Unbekannter Interpret" without a tag, "" for a missing file
QString GetSongGenre(const QString& MP3Datei);  // "Kein Genre" without a tag
QString GetSongGenreName(const int16_t& GenreIndex);  // index = genre byte + 1

// The three fields of one file, as GetSongName, GetBand and GetSongGenre called one
// after the other give them (results and trace entries the same), read with one
// opening of the file. The archive fill reads every song this way.
struct SongTags {
    QString title;
    QString artist;
    QString genre;
};
SongTags ReadSongTags(const QString& MP3Datei);
// The same for a file that must be read: a missing or unreadable file (no permission,
// device error) raises its runtime error instead of giving the defaults.
SongTags ReadSongTagsOrRaise(const QString& MP3Datei);
// The same from the file the scan has open (MP3Datei is its path).
SongTags ReadSongTagsFrom(const QString& MP3Datei, const platform::BinaryFile& file);

// The writers change a tag that is there and never create or extend a file. When the
// file is loaded on the current playback channel, they release the channel while they
// write and bring it back afterwards, at its position and in its mode.
void SetSongName(const QString& MP3Datei, const QString& SongName);
void SetBand(const QString& MP3Datei, const QString& BandName);
void SetSongGenre(const QString& MP3Datei, const QString& GenreString);

// The fields that are set, written with one opening of the file and one release of
// the playing channel. Unlike the single writers it reports a failure: the runtime
// error of a missing, write-protected or short-written file reaches the caller, and
// a file without an ID3v1 tag (as many taggers leave a song) stays unchanged and
// gives false.
struct TagChanges {
    std::optional<QString> title;
    std::optional<QString> artist;
    std::optional<QString> genre;  // a genre name of the table
    bool empty() const;
};
[[nodiscard]] bool WriteSongTags(const QString& MP3Datei, const TagChanges& changes);

// The current playback channel is the main screen's AktPlayer; the main screen
// installs the source (until then channel 0).
void setCurrentChannelSource(std::function<int16_t()> source);
