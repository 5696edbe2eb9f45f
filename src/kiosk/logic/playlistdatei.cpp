#include "kiosk/logic/playlistdatei.h"

#include "platform/program.h"
#include "platform/runtime.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringList>

namespace kiosklogic {

namespace {
const QChar Trenner(u';');
}

QString SemikolonErsetzen(const QString& s) {
    QString t = s;
    return t.replace(Trenner, u'_');
}

QString PlaylistDateiname() { return platform::appPath() + QStringLiteral("/Playlist.txt"); }

QString PlaylistZeile(const Playlistsatz& satz) {
    return QStringList{SemikolonErsetzen(satz.titel), SemikolonErsetzen(satz.interpret), SemikolonErsetzen(satz.genre),
                       SemikolonErsetzen(satz.start), satz.pfad, SemikolonErsetzen(satz.dauer)}
        .join(Trenner);
}

void PlaylistSchreiben(const QString& datei, const QList<Playlistsatz>& saetze) {
    QByteArray inhalt;
    for (const auto& satz : saetze) inhalt += PlaylistZeile(satz).toUtf8() + "\r\n";
    const QFileInfo alt(datei);
    if (!alt.absoluteDir().exists()) platform::raise(76);
    // A read-only old list is replaced all the same; the save file refuses to touch it otherwise.
    if (alt.isFile() && !alt.isWritable()) QFile::setPermissions(datei, QFile::permissions(datei) | QFile::WriteOwner);
    // Written beside the old file and renamed over it: a crash or a full disk never loses the last list.
    // Unbuffered: a buffered save file commits a short write (file size limit, full disk) as success.
    QSaveFile f(datei);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) platform::raise(70);
    if (f.write(inhalt) != inhalt.size() || !f.commit()) platform::raise(75);
}

QList<Playlistsatz> PlaylistLesen(const QString& datei, int* uebersprungen) {
    if (uebersprungen) *uebersprungen = 0;
    QList<Playlistsatz> saetze;
    if (!QFileInfo(datei).isFile()) return saetze;
    QFile f(datei);
    if (!f.open(QIODevice::ReadOnly)) platform::raise(75);
    const QString text = QString::fromUtf8(f.readAll());
    for (QString zeile : text.split(u'\n')) {
        if (zeile.endsWith(u'\r')) zeile.chop(1);
        // A byte-order mark also where files were put together: a title written back
        // in front of the file would lose it on the next reading.
        while (zeile.startsWith(QChar(0xFEFF))) zeile.remove(0, 1);
        if (zeile.isEmpty()) continue;
        const QStringList felder = zeile.split(Trenner);
        if (felder.size() < 6) {
            if (uebersprungen) ++*uebersprungen;
            continue;
        }
        // Four texts from the left, the duration from the right: a path holding ";" stays whole.
        saetze.append({felder[0], felder[1], felder[2], felder[3], felder.mid(4, felder.size() - 5).join(Trenner),
                       felder.last()});
    }
    return saetze;
}

}  // namespace kiosklogic
