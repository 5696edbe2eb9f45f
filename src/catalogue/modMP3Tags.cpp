#include "catalogue/modMP3Tags.h"

#include "base/ErrPtnr.h"
#include "base/ErrorHandler.h"
#include "catalogue/modPlayer.h"
#include "platform/binaryfile.h"
#include "platform/cp1252.h"
#include "platform/runtime.h"

#include <exception>
#include <optional>
#include <sys/stat.h>

namespace {

constexpr int kTagSize = 128;
constexpr int kFieldSize = 30;
constexpr int kTitleOffset = 3;
constexpr int kArtistOffset = 33;
constexpr int kGenreOffset = 127;
const QString kModule = QStringLiteral("modMP3Tags");
const QString kNoGenre = QStringLiteral("Kein Genre");

std::function<int16_t()>& channelSource() {
    static std::function<int16_t()> f;
    return f;
}

int16_t currentChannel() { return channelSource() ? channelSource()() : int16_t(0); }

using SongFile = platform::BinaryFile;

// Position of the tag's first byte (< 1: the file is too short for a tag).
int64_t tagPosition(const SongFile& f) { return f.length() - (kTagSize - 1); }
bool hasTagAt(const SongFile& f, int64_t p) { return p >= 1 && f.read(p, 3) == "TAG"; }

// The 128 tag bytes, or nothing when the file carries no tag.
std::optional<QByteArray> readTag(const SongFile& f) {
    const int64_t p = tagPosition(f);
    if (p < 1) return std::nullopt;
    QByteArray tag = f.read(p, kTagSize);
    if (!tag.startsWith("TAG")) return std::nullopt;
    return tag;
}

QString trimBlanks(const QString& s) {
    qsizetype a = 0, b = s.size();
    while (a < b && s[a] == QLatin1Char(' ')) ++a;
    while (b > a && s[b - 1] == QLatin1Char(' ')) --b;
    return s.mid(a, b - a);
}

// Taggers pad with NUL bytes: the text ends at the first one.
QString field(const QByteArray& tag, int offset) {
    QByteArrayView bytes = QByteArrayView(tag).sliced(offset, kFieldSize);
    if (const qsizetype nul = bytes.indexOf('\0'); nul >= 0) bytes.truncate(nul);
    return trimBlanks(cp1252::decode(bytes));
}

// A text as a tag field: cut to 30 characters, then padded with blanks to 30 bytes.
QByteArray fieldBytes(const QString& text) {
    QByteArray b = cp1252::encode(text, kFieldSize);
    return b.leftJustified(kFieldSize, ' ');
}

bool fileExists(const QString& path) {
    struct stat st {};
    return ::stat(path.toUtf8().constData(), &st) == 0 && !S_ISDIR(st.st_mode);
}

// The current channel while a writer changes the file it holds.
struct HeldChannel {
    bool held = false;
    int16_t kanal = 0;
    int32_t position = 0;
    int16_t status = 0;
};

HeldChannel releaseChannel(const QString& path) {
    HeldChannel h;
    h.kanal = currentChannel();
    if (path != PlayerDatei(h.kanal)) return h;
    h.held = true;
    h.position = PlayerPosition(h.kanal);
    h.status = PlayerStatus(h.kanal);
    PlayerStop(h.kanal);
    PlayerOeffnen(h.kanal, QString());
    return h;
}

// Loads the file again where it was; a paused song stays paused and a stopped one
// stays stopped, so the play loop sees the channel as it was before the write.
void restoreChannel(ErrorHandler& on, const HeldChannel& h, const QString& path) {
    if (!h.held) return;
    on([&] { PlayerOeffnen(h.kanal, path); });
    on([&] { PlayerStartSetzen(h.kanal, h.position); });
    if (h.status == 2 || h.status == 1) on([&] { PlayerAbspielen(h.kanal); });
    if (h.status == 1) on([&] { PlayerPause(h.kanal); });
}

// Changes the tag's bytes with one write of the span that differs; a file without a
// tag stays as it is (false). Raises the runtime error of a failed open, read or write.
bool editTag(const QString& path, const std::function<void(QByteArray&)>& edit) {
    const SongFile f(path, true);
    const int64_t p = tagPosition(f);
    if (!hasTagAt(f, p)) return false;
    const QByteArray old = f.read(p, kTagSize);
    QByteArray tag = old;
    edit(tag);
    qsizetype a = 0, b = kTagSize;
    while (a < b && tag[a] == old[a]) ++a;
    while (b > a && tag[b - 1] == old[b - 1]) --b;
    if (a < b) f.write(p + a, tag.mid(a, b - a));
    return true;
}

void writeTextField(const QString& procedure, const QString& path, const QString& text, int offset) {
    const HeldChannel h = releaseChannel(path);
    withErrorHandler(kModule, procedure, [&](ErrorHandler& on) {
        on.resumeNext();
        on([&] { editTag(path, [&](QByteArray& tag) { tag.replace(offset, kFieldSize, fieldBytes(text)); }); });
        restoreChannel(on, h, path);
    });
}

}  // namespace

const QStringList& Genretabelle() {
    static const QStringList names = {
        "Blues", "Classic Rock", "Country", "Dance", "Disco", "Funk", "Grunge", "Hip-Hop", "Jazz", "Metal",
        "New Age", "Oldies", "Other", "Pop", "R&B", "Rap", "Reggae", "Rock", "Techno", "Industrial",
        "Alternative", "Ska", "Death Metal", "Pranks", "Soundtrack", "Euro-Techno", "Ambient", "Trip-Hop",
        "Vocal", "Jazz+Funk", "Fusion", "Trance", "Classical", "Instrumental", "Acid", "House", "Game",
        "Sound Clip", "Gospel", "Noise", "AlternRock", "Bass", "Soul", "Punk", "Space", "Meditative",
        "Instrumental Pop", "Instrumental Rock", "Ethnic", "Gothic", "Darkwave", "Techno-Industrial",
        "Electronic", "Pop-Folk", "Eurodance", "Dream", "Southern Rock", "Comedy", "Cult", "Gangsta",
        "Top 40", "Christian Rap", "Pop/Funk", "Jungle", "Native American", "Cabaret", "New Wave",
        "Psychadelic", "Rave", "Showtunes", "Trailer", "Lo-Fi", "Tribal", "Acid Punk", "Acid Jazz", "Polka",
        "Retro", "Musical", "Rock & Roll", "Hard Rock", "Folk", "Folk/Rock", "National Folk", "Swing",
        // Byte 84 on: one lower than the published list, which has "Fast Fusion" here.
        "Bebob", "Latin", "Revival", "Celtic", "Bluegrass", "Avantgarde", "Gothic Rock", "Progressive Rock",
        "Psychedelic Rock", "Symphonic Rock", "Slow Rock", "Big Band", "Chorus", "Easy Listening",
        "Acoustic", "Humour", "Sprache", "Chanson", "Opera", "Chamber Music", "Sonata", "Symphony",
        "Booty Bass", "Primus", "Porn Groove", "Satire", "Slow Jam", "Club", "Tango", "Samba", "Folklore",
        "Ballad", "Power Ballad", "Rhythmic Soul", "Freestyle", "Duet", "Punk Rock", "Drum Solo", "Acapella",
        "Euro-House",
    };
    return names;
}

void setCurrentChannelSource(std::function<int16_t()> source) { channelSource() = std::move(source); }

namespace {

void registerGetSongName(const QString& MP3Datei) {
    ErrPtnr::CallStack(QStringLiteral("[modMP3Tags] Public Function GetSongName(MP3Datei As String) As String"));
    ErrPtnr::CallStackParam(QStringLiteral("MP3Datei"), MP3Datei);
}

void registerGetBand(const QString& MP3Datei) {
    ErrPtnr::CallStack(QStringLiteral("[modMP3Tags] Public Function GetBand(MP3Datei As String) As String"));
    ErrPtnr::CallStackParam(QStringLiteral("MP3Datei"), MP3Datei);
}

int16_t genreIndex(const QByteArray& tag) { return static_cast<int16_t>(static_cast<uint8_t>(tag[kGenreOffset]) + 1); }

}  // namespace

QString GetSongName(const QString& MP3Datei) {
    registerGetSongName(MP3Datei);
    QString result = QStringLiteral("Unbekannter Titel");
    return withErrorHandler(kModule, QStringLiteral("GetSongName"), result, [&](ErrorHandler& on) {
        on.resumeNext();
        on([&] {
            if (const auto tag = readTag(SongFile(MP3Datei, false))) result = field(*tag, kTitleOffset);
        });
    });
}

QString GetBand(const QString& MP3Datei) {
    registerGetBand(MP3Datei);
    QString result;
    return withErrorHandler(kModule, QStringLiteral("GetBand"), result, [&](ErrorHandler& on) {
        if (!fileExists(MP3Datei)) return;
        std::optional<SongFile> f;
        int64_t p = 0;
        on([&] { f.emplace(MP3Datei, false); });
        on([&] {
            if (!f) platform::raise(52);
            p = tagPosition(*f);
        });
        if (p < 1) {
            result = QStringLiteral("Unbekannter Interpret");
            return;
        }
        QByteArray tag;
        on([&] {
            if (!f) platform::raise(52);
            tag = f->read(p, kTagSize);
        });
        result = tag.startsWith("TAG") ? field(tag, kArtistOffset) : QStringLiteral("Unbekannter Interpret");
    });
}

QString GetSongGenre(const QString& MP3Datei) {
    int16_t index = 0;
    try {
        const SongFile f(MP3Datei, false);
        const QByteArray tag = f.read(tagPosition(f), kTagSize);  // too short: the read fails
        if (tag.startsWith("TAG")) index = genreIndex(tag);
    } catch (const platform::RuntimeError&) {
        return kNoGenre;
    } catch (const std::exception&) {
        return kNoGenre;
    }
    return GetSongGenreName(index);
}

QString GetSongGenreName(const int16_t& GenreIndex) {
    ErrPtnr::CallStack(QStringLiteral("[modMP3Tags] Public Function GetSongGenreName(GenreIndex As Integer) As String"));
    ErrPtnr::CallStackParam(QStringLiteral("GenreIndex"), GenreIndex);
    const QStringList& names = Genretabelle();
    if (GenreIndex >= 1 && GenreIndex <= names.size()) return names[GenreIndex - 1];
    return kNoGenre;
}

void SetSongName(const QString& MP3Datei, const QString& SongName) {
    ErrPtnr::CallStack(QStringLiteral("[modMP3Tags] Public Sub SetSongName(MP3Datei As String, SongName$)"));
    ErrPtnr::CallStackParam(QStringLiteral("SongName$"), SongName);
    ErrPtnr::CallStackParam(QStringLiteral("MP3Datei"), MP3Datei);
    writeTextField(QStringLiteral("SetSongName"), MP3Datei, SongName, kTitleOffset);
}

void SetBand(const QString& MP3Datei, const QString& BandName) {
    ErrPtnr::CallStack(QStringLiteral("[modMP3Tags] Public Sub SetBand(MP3Datei As String, BandName As String)"));
    ErrPtnr::CallStackParam(QStringLiteral("BandName"), BandName);
    ErrPtnr::CallStackParam(QStringLiteral("MP3Datei"), MP3Datei);
    writeTextField(QStringLiteral("SetBand"), MP3Datei, BandName, kArtistOffset);
}

void SetSongGenre(const QString& MP3Datei, const QString& GenreString) {
    ErrPtnr::CallStack(QStringLiteral("[modMP3Tags] Public Sub SetSongGenre(MP3Datei As String, GenreString$)"));
    ErrPtnr::CallStackParam(QStringLiteral("GenreString$"), GenreString);
    ErrPtnr::CallStackParam(QStringLiteral("MP3Datei"), MP3Datei);
    withErrorHandler(kModule, QStringLiteral("SetSongGenre"), [&](ErrorHandler& on) {
        on.resumeNext();
        int16_t index = 0;
        on([&] {
            for (int16_t i = 1; i <= 127; ++i) {
                if (GetSongGenreName(i) == GenreString) {
                    index = i;
                    break;
                }
            }
        });
        HeldChannel h;
        on([&] { h = releaseChannel(MP3Datei); });
        on([&] {
            if (index >= 1) editTag(MP3Datei, [&](QByteArray& tag) { tag[kGenreOffset] = static_cast<char>(index - 1); });
        });
        restoreChannel(on, h, MP3Datei);
    });
}

SongTags ReadSongTagsOrRaise(const QString& MP3Datei) { return ReadSongTagsFrom(MP3Datei, SongFile(MP3Datei, false)); }

SongTags ReadSongTagsFrom(const QString& MP3Datei, const platform::BinaryFile& file) {
    const std::optional<QByteArray> tag = readTag(file);
    SongTags t;
    registerGetSongName(MP3Datei);
    t.title = tag ? field(*tag, kTitleOffset) : QStringLiteral("Unbekannter Titel");
    registerGetBand(MP3Datei);
    t.artist = tag ? field(*tag, kArtistOffset) : QStringLiteral("Unbekannter Interpret");
    t.genre = GetSongGenreName(tag ? genreIndex(*tag) : int16_t(0));
    return t;
}

SongTags ReadSongTags(const QString& MP3Datei) {
    try {
        return ReadSongTagsOrRaise(MP3Datei);
    } catch (const std::exception&) {
        // Missing or unreadable: the single readers know what each field gives then.
        return {GetSongName(MP3Datei), GetBand(MP3Datei), GetSongGenre(MP3Datei)};
    }
}

bool TagChanges::empty() const { return !title && !artist && !genre; }

bool WriteSongTags(const QString& MP3Datei, const TagChanges& changes) {
    ErrPtnr::CallStack(QStringLiteral("[modMP3Tags] Public Sub WriteSongTags(MP3Datei As String)"));
    ErrPtnr::CallStackParam(QStringLiteral("MP3Datei"), MP3Datei);
    if (changes.empty()) return true;
    int genre = 0;  // genre byte + 1; 0: a name the table does not have, nothing written
    if (changes.genre) {
        const QStringList& names = Genretabelle();
        genre = names.contains(*changes.genre) ? int(names.indexOf(*changes.genre)) + 1
                : *changes.genre == kNoGenre  ? int(names.size()) + 1
                                              : 0;
    }
    const HeldChannel h = releaseChannel(MP3Datei);
    std::exception_ptr failed;
    bool hadTag = true;
    try {
        hadTag = editTag(MP3Datei, [&](QByteArray& tag) {
            if (changes.title) tag.replace(kTitleOffset, kFieldSize, fieldBytes(*changes.title));
            if (changes.artist) tag.replace(kArtistOffset, kFieldSize, fieldBytes(*changes.artist));
            if (genre >= 1) tag[kGenreOffset] = static_cast<char>(genre - 1);
        });
    } catch (...) {
        failed = std::current_exception();
    }
    withErrorHandler(kModule, QStringLiteral("WriteSongTags"), [&](ErrorHandler& on) {
        on.resumeNext();
        restoreChannel(on, h, MP3Datei);
    });
    if (failed) std::rethrow_exception(failed);
    return hadTag;
}
