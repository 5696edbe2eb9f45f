// The playlist file reader over any bytes: what is read, written and read again
// stays the same, and the writer writes a path exactly as it was read.
#include "fuzz_support.h"
#include "kiosk/logic/playlistdatei.h"
#include "platform/runtime.h"

using kiosklogic::Playlistsatz;

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzzsupport::init();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString first = fuzzsupport::writeFile(QStringLiteral("Playlist.txt"), data, size);
    const QString second = fuzzsupport::scratch() + QStringLiteral("/Playlist2.txt");
    QList<Playlistsatz> read;
    try {
        read = kiosklogic::PlaylistLesen(first);
        kiosklogic::PlaylistSchreiben(second, read);
    } catch (const platform::RuntimeError&) {
        fuzzsupport::finding("runtime error on a readable file");
    }
    const QByteArray written = fuzzsupport::readFile(second);
    const QList<Playlistsatz> again = kiosklogic::PlaylistLesen(second);
    if (again.size() != read.size()) fuzzsupport::finding("rows lost or gained on the way round");
    for (qsizetype i = 0; i < read.size(); ++i) {
        if (again[i].pfad != read[i].pfad) fuzzsupport::finding("a path was altered:", read[i].pfad);
        // The writer puts "_" for ";" and a blank for a control character in the texts.
        Playlistsatz want = read[i];
        for (QString* text : {&want.titel, &want.interpret, &want.genre, &want.start, &want.dauer})
            *text = kiosklogic::SemikolonErsetzen(*text);
        if (!(again[i] == want)) fuzzsupport::finding("a row changed on the way round");
    }
    kiosklogic::PlaylistSchreiben(second, again);
    if (fuzzsupport::readFile(second) != written) fuzzsupport::finding("writing again gives other bytes");
    return 0;
}
