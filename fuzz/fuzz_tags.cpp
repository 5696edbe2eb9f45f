// The tag reader and writers over any bytes as a song file.
#include "catalogue/modMP3Tags.h"
#include "fuzz_support.h"
#include "platform/cp1252.h"

#include <algorithm>

namespace {

constexpr int kTag = 128;

bool tagged(const QByteArray& b) { return b.size() >= kTag && b.sliced(b.size() - kTag, 3) == "TAG"; }

// Writes through `write` and checks that only `len` bytes at `offset` of the tag
// changed, to `expected`; a file without a tag must stay as it was.
template <typename Write>
void checkWrite(const QString& path, int offset, const QByteArray& expected, Write write) {
    const QByteArray before = fuzzsupport::readFile(path);
    write();
    const QByteArray after = fuzzsupport::readFile(path);
    if (after.size() != before.size()) fuzzsupport::finding("a writer changed the file's size");
    QByteArray want = before;
    if (tagged(before)) want.replace(before.size() - kTag + offset, expected.size(), expected);
    if (after != want) fuzzsupport::finding("a writer changed bytes outside its field");
}

QString trimmed(const QString& s) {
    qsizetype a = 0, b = s.size();
    while (a < b && s[a] == QLatin1Char(' ')) ++a;
    while (b > a && s[b - 1] == QLatin1Char(' ')) --b;
    return s.mid(a, b - a);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzzsupport::init();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString path = fuzzsupport::writeFile(QStringLiteral("song.mp3"), data, size);

    const SongTags all = ReadSongTags(path);
    if (all.title != GetSongName(path) || all.artist != GetBand(path) || all.genre != GetSongGenre(path))
        fuzzsupport::finding("ReadSongTags differs from the single readers", path);

    // Texts to write, taken from the input: any byte, cut to 30 by the writers.
    const QByteArray raw(reinterpret_cast<const char*>(data), qsizetype(std::min<size_t>(size, 40)));
    const QString title = cp1252::decode(raw);
    const QString band = cp1252::decode(QByteArray(raw).append("band"));
    const QByteArray titleBytes = cp1252::encode(title, 30).leftJustified(30, ' ');
    const QByteArray bandBytes = cp1252::encode(band, 30).leftJustified(30, ' ');

    const bool hadTag = tagged(fuzzsupport::readFile(path));
    checkWrite(path, 3, titleBytes, [&] { SetSongName(path, title); });
    // A tag text ends at its first NUL, as taggers pad it.
    const QString written = title.left(30);
    if (hadTag && GetSongName(path) != trimmed(written.left(written.indexOf(QChar(0)))))
        fuzzsupport::finding("the title does not read back as written");
    checkWrite(path, 33, bandBytes, [&] { SetBand(path, band); });

    const uint8_t byte = size ? data[size - 1] : 0;
    const QString genre = byte < 124 ? Genretabelle()[byte] : (byte < 200 ? QStringLiteral("Kein Genre") : title);
    const int index = genre == QStringLiteral("Kein Genre") ? 124 : static_cast<int>(Genretabelle().indexOf(genre));
    if (index >= 0) {
        checkWrite(path, 127, QByteArray(1, char(index)), [&] { SetSongGenre(path, genre); });
    } else {
        checkWrite(path, 127, QByteArray(), [&] { SetSongGenre(path, genre); });  // no such genre: nothing written
    }
    return 0;
}
