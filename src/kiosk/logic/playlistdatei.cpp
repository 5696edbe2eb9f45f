#include "kiosk/logic/playlistdatei.h"

#include "platform/cp1252.h"
#include "platform/program.h"
#include "platform/runtime.h"
#include "platform/wholefile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>
#include <algorithm>

namespace kiosklogic {

namespace {
const QChar Trenner(u';');

// A path may hold any character but NUL. A control character (a line break among
// them) is written as DLE followed by its caret letter, LF as DLE "J", and DLE itself
// as DLE "P", so no path splits its line. Files of earlier versions never held
// control characters raw: they read as before.
const char16_t Flucht = 0x10;

bool Steuerzeichen(char16_t c) { return c < 32 || c == 127; }

QString PfadSchreiben(const QString& pfad) {
    QString out;
    out.reserve(pfad.size());
    for (const QChar c : pfad) {
        if (Steuerzeichen(c.unicode())) {
            out += QChar(Flucht);
            out += QChar(char16_t(c.unicode() ^ 0x40));
        } else {
            out += c;
        }
    }
    return out;
}

QString PfadLesen(const QString& feld) {
    if (!feld.contains(QChar(Flucht))) return feld;
    QString out;
    out.reserve(feld.size());
    for (qsizetype i = 0; i < feld.size(); ++i) {
        if (feld[i].unicode() == Flucht && i + 1 < feld.size()) {
            const auto c = char16_t(feld[i + 1].unicode() ^ 0x40);
            if (Steuerzeichen(c)) {
                out += QChar(c);
                ++i;
                continue;
            }
        }
        out += feld[i];
    }
    return out;
}
}  // namespace

QString SemikolonErsetzen(const QString& s) {
    QString t = s;
    // Control bytes of a tag (a line break among them) would break the line.
    for (QChar& c : t)
        if (c.unicode() >= 1 && c.unicode() <= 31) c = u' ';
    return t.replace(Trenner, u'_');
}

QString PlaylistDateiname() { return platform::dataPath() + QStringLiteral("/Playlist.txt"); }

namespace {
QString FruehereDatei() { return platform::appPath() + QStringLiteral("/Playlist.txt"); }
}  // namespace

QString PlaylistLesedatei() {
    const QString datei = PlaylistDateiname();
    if (!QFileInfo::exists(datei) && QFileInfo::exists(FruehereDatei())) return FruehereDatei();
    return datei;
}

void PlaylistVerwerfen() {
    const QString datei = PlaylistDateiname();
    if (datei == FruehereDatei() || !QFileInfo::exists(FruehereDatei())) {
        PlaylistEntfernen(datei);
        return;
    }
    // An empty list here keeps the earlier version's list from being read again; like a
    // removal that fails, a failed write is passed over.
    try {
        PlaylistSchreiben(datei, {});
    } catch (const platform::RuntimeError&) {
    }
}

QString PlaylistZeile(const Playlistsatz& satz) {
    return QStringList{SemikolonErsetzen(satz.titel), SemikolonErsetzen(satz.interpret), SemikolonErsetzen(satz.genre),
                       SemikolonErsetzen(satz.start), PfadSchreiben(satz.pfad), SemikolonErsetzen(satz.dauer)}
        .join(Trenner);
}

void PlaylistSchreiben(const QString& datei, const QList<Playlistsatz>& saetze) {
    QByteArray inhalt;
    for (const auto& satz : saetze) inhalt += PlaylistZeile(satz).toUtf8() + "\r\n";
    // Written beside the old file and renamed over it (a read-only one too): a crash or a full
    // disk never loses the last list.
    platform::replaceWholeFile(datei, inhalt);
}

void PlaylistEntfernen(const QString& datei) {
    if (!QFileInfo(datei).isFile()) return;
    QFile::setPermissions(datei, QFile::permissions(datei) | QFile::WriteOwner);
    QFile::remove(datei);
}

namespace {

Playlistsatz Satz(const QStringList& felder) {
    // Four texts from the left, the duration from the right: a path holding ";" stays whole.
    Playlistsatz satz{felder[0], felder[1], felder[2], felder[3],
                      PfadLesen(felder.mid(4, felder.size() - 5).join(Trenner)), felder.last()};
    // Fields after the sixth that are no part of the path (a trailing ";" among them): the path is field 5.
    if (felder.size() > 6 && !QFileInfo::exists(satz.pfad) && QFileInfo::exists(PfadLesen(felder[4]))) {
        satz.pfad = PfadLesen(felder[4]);
        satz.dauer = felder[5];
    }
    return satz;
}

}  // namespace

QList<Playlistsatz> PlaylistLesen(const QString& datei, int* uebersprungen) {
    if (uebersprungen) *uebersprungen = 0;
    QList<Playlistsatz> saetze;
    if (!QFileInfo(datei).isFile()) return saetze;
    // Line by line: one title of an older installation in the Windows code page leaves the
    // UTF-8 paths of the other lines as they are.
    for (QString zeile : cp1252::fileLines(platform::readWholeFile(datei))) {
        // A byte-order mark also where files were put together: a title written back
        // in front of the file would lose it on the next reading.
        while (zeile.startsWith(QChar(0xFEFF))) zeile.remove(0, 1);
        if (zeile.isEmpty()) continue;
        const QStringList felder = zeile.split(Trenner);
        if (felder.size() < 6) {
            if (uebersprungen) ++*uebersprungen;
            continue;
        }
        saetze.append(Satz(felder));
    }
    return saetze;
}

void PlaylistSicherung::gespielt(const QString& pfad) {
    if (folgt_ || pfad.isEmpty()) return;
    // No list waits for the next start (no file read, or none there): any song will do.
    if (!datei_ || datei_->isEmpty()) {
        folgt_ = true;
        return;
    }
    for (const Playlistsatz& s : *datei_)
        if (s.pfad == pfad) folgt_ = true;
}

namespace {
// The start times move with the clock and are worked out anew when the file is read: no change of the queue.
bool GleicheWarteschlange(const QList<Playlistsatz>& a, const QList<Playlistsatz>& b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](Playlistsatz x, const Playlistsatz& y) {
        x.start = y.start;
        return x == y;
    });
}
}  // namespace

PlaylistSicherung::Schritt PlaylistSicherung::schritt(const QList<Playlistsatz>& warteschlange, bool ende) const {
    // While the kiosk runs, a short queue is kept too: a kill or a power cut must not lose it.
    const bool behalten = PlaylistSpeichernLohnt(int32_t(warteschlange.size())) ||
                          (folgt_ && !ende && !warteschlange.isEmpty());
    if (behalten)
        return ende || !datei_ || !GleicheWarteschlange(*datei_, warteschlange) ? Schritt::Schreiben : Schritt::Nichts;
    if (folgt_ && (!datei_ || !datei_->isEmpty())) return Schritt::Entfernen;
    return Schritt::Nichts;
}

void PlaylistSicherung::getan(Schritt s, const QList<Playlistsatz>& warteschlange) {
    if (s == Schritt::Schreiben) datei_ = warteschlange;
    if (s == Schritt::Entfernen) datei_ = QList<Playlistsatz>{};
}

}  // namespace kiosklogic
