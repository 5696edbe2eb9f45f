#include "kiosk/logic/playlistdatei.h"

#include "platform/binaryfile.h"
#include "platform/runtime.h"
#include "support/testenv.h"
#include "support/testmedia.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <functional>
#include <gtest/gtest.h>
#include <unistd.h>

using namespace kiosklogic;

namespace {

QByteArray lies(const QString& datei) {
    QFile f(datei);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<fehlt>");
}

void schreibeRoh(const QString& datei, const QByteArray& inhalt) {
    QFile f(datei);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(inhalt);
}

Playlistsatz satz(int i) {
    return {QStringLiteral("Titel %1").arg(i), QStringLiteral("Künstler %1").arg(i), "Rock", "??:??",
            QStringLiteral("/musik/lied%1.mp3").arg(i), "03:20"};
}

QList<Playlistsatz> saetze(int n) {
    QList<Playlistsatz> l;
    for (int i = 1; i <= n; ++i) l << satz(i);
    return l;
}

int fehlerVon(const std::function<void()>& f) {
    try {
        f();
    } catch (const platform::RuntimeError& e) {
        return e.number();
    }
    return 0;
}

}  // namespace

TEST(SemikolonErsetzen, EverySemicolonOfATextBecomesUnderscore) {
    EXPECT_EQ(SemikolonErsetzen("a;b;;c;"), "a_b__c_");
    EXPECT_EQ(SemikolonErsetzen(""), "");
    EXPECT_EQ(SemikolonErsetzen("ohne"), "ohne");
}

// Control bytes from a tag never reach the file: a line break in a title would split the line.
TEST(SemikolonErsetzen, ControlCharactersOfATextBecomeBlanks) {
    EXPECT_EQ(SemikolonErsetzen(QString::fromLatin1("a\x01" "b\tc\r\nd\x1f;e\x7f")), QString::fromLatin1("a b c  d _e\x7f"));
    const QString datei = testenv::freshFolder("pl_steuer") + "/Playlist.txt";
    PlaylistSchreiben(datei, {{"Zeile\r\nzwei", "A\tB", "Rock", "??:??", "/m/a.mp3", "01:00"}});
    const QList<Playlistsatz> gelesen = PlaylistLesen(datei);
    ASSERT_EQ(gelesen.size(), 1);
    EXPECT_EQ(gelesen[0].titel, "Zeile  zwei");
    EXPECT_EQ(gelesen[0].interpret, "A B");
}

TEST(PlaylistSpeichernLohnt, OnlyFromFiveRowsOn) {
    EXPECT_FALSE(PlaylistSpeichernLohnt(0));
    EXPECT_FALSE(PlaylistSpeichernLohnt(4));
    EXPECT_TRUE(PlaylistSpeichernLohnt(5));
    EXPECT_TRUE(PlaylistDateiname().endsWith("/Playlist.txt"));
}

TEST(PlaylistDatei, BytesAreFieldsJoinedBySemicolonWithCrLfInUtf8) {
    const QString datei = testenv::freshFolder("pl_bytes") + "/Playlist.txt";
    PlaylistSchreiben(datei, {{"Ärger", "Die Ärzte", "Punk", "12:00", "/m/ä.mp3", "03:20"},
                              {"B", "C", "Pop", "12:03", "/m/b;c.mp3", "05:00"}});
    EXPECT_EQ(lies(datei), QByteArray("\xc3\x84rger;Die \xc3\x84rzte;Punk;12:00;/m/\xc3\xa4.mp3;03:20\r\n"
                                      "B;C;Pop;12:03;/m/b;c.mp3;05:00\r\n"));
    PlaylistSchreiben(datei, {});
    EXPECT_EQ(lies(datei), QByteArray());
}

TEST(PlaylistDatei, SemicolonsInTextsAreWrittenAsUnderscoreThePathKeepsThem) {
    const QString datei = testenv::freshFolder("pl_texte") + "/Playlist.txt";
    PlaylistSchreiben(datei, {{"a;b", "c;d", "e;f", "??:??", "/x;y/z;.mp3", "01:00"}});
    EXPECT_EQ(lies(datei), QByteArray("a_b;c_d;e_f;??:??;/x;y/z;.mp3;01:00\r\n"));
}

TEST(PlaylistDatei, RoundTripKeepsRowsOrderAndPathsWithSemicolons) {
    const QString datei = testenv::freshFolder("pl_rund") + "/Playlist.txt";
    auto l = saetze(6);
    l[2].pfad = "/musik/AC;DC/Back;in;Black.mp3";
    l[3].pfad = ";";
    l[4].pfad = "";
    l[5].titel = "";
    PlaylistSchreiben(datei, l);
    int kurz = -1;
    EXPECT_EQ(PlaylistLesen(datei, &kurz), l);
    EXPECT_EQ(kurz, 0);
}

// A file name may hold a line break or any other control character: the song comes
// back whole, its line unsplit, while the paths of older files read as before.
TEST(PlaylistDatei, APathWithALineBreakOrControlCharactersComesBack) {
    const QString ordner = testenv::freshFolder("pl_umbruch");
    const QString lied = testmedia::writeSilentMp3(ordner + "/Zeile\neins\r\tzwei\x10\x1b\x7f.mp3", 500);
    ASSERT_TRUE(QFile::exists(lied));
    const QString datei = ordner + "/Playlist.txt";
    auto l = saetze(5);
    l[1].pfad = lied;
    PlaylistSchreiben(datei, l);
    const QByteArray bytes = lies(datei);
    EXPECT_EQ(bytes.count('\n'), 5) << "one line per row";
    EXPECT_TRUE(bytes.contains("/Zeile\x10Jeins\x10M\x10Izwei\x10P\x10[\x10?.mp3;03:20\r\n"));
    const auto gelesen = PlaylistLesen(datei);
    ASSERT_EQ(gelesen, l);
    EXPECT_TRUE(QFile::exists(gelesen[1].pfad));

    // What earlier versions wrote, escapes of other kinds included, reads unchanged.
    schreibeRoh(datei, "T;A;G;??:??;/m/a\\nb %0A \x10x\x10.mp3;01:00\r\n");
    EXPECT_EQ(PlaylistLesen(datei).value(0).pfad, QString::fromLatin1("/m/a\\nb %0A \x10x\x10.mp3"));
}

TEST(PlaylistDatei, AByteOrderMarkInsideTheFileIsNoPartOfATitle) {
    const QString datei = testenv::freshFolder("pl_bom") + "/Playlist.txt";
    schreibeRoh(datei, "\xEF\xBB\xBFT1;A1;G1;??:??;/p1.mp3;01:00\r\n"
                       "\xEF\xBB\xBF\xEF\xBB\xBFT2;A2;G2;??:??;/p2.mp3;02:00\r\n");
    const auto l = PlaylistLesen(datei);
    ASSERT_EQ(l.size(), 2);
    EXPECT_EQ(l[1].titel, "T2");
    const QList<Playlistsatz> zweiter{l[1]};
    PlaylistSchreiben(datei, zweiter);
    EXPECT_EQ(PlaylistLesen(datei), zweiter);
}

TEST(PlaylistDatei, ShortAndEmptyLinesArePassedOverAndReadingGoesOn) {
    const QString datei = testenv::freshFolder("pl_kurz") + "/Playlist.txt";
    schreibeRoh(datei, "T1;A1;G1;??:??;/p1.mp3;01:00\r\n"
                       "\r\n"
                       "abgeschnitten;A;G;??:??\r\n"
                       "T2;A2;G2;10:00;/p2.mp3;02:00\n"  // a line end of another editor
                       "nur eine Zeile\r\n"
                       "T3;A3;G3;10:02;/p3.mp3;03:00\r\n"
                       "\r\n");
    int kurz = 0;
    const auto l = PlaylistLesen(datei, &kurz);
    ASSERT_EQ(l.size(), 3);
    EXPECT_EQ(l[0], (Playlistsatz{"T1", "A1", "G1", "??:??", "/p1.mp3", "01:00"}));
    EXPECT_EQ(l[1].pfad, "/p2.mp3");
    EXPECT_EQ(l[2], (Playlistsatz{"T3", "A3", "G3", "10:02", "/p3.mp3", "03:00"}));
    EXPECT_EQ(kurz, 2);
}

TEST(PlaylistDatei, MissingFileGivesAnEmptyList) {
    const QString ordner = testenv::freshFolder("pl_fehlt");
    EXPECT_TRUE(PlaylistLesen(ordner + "/Playlist.txt").isEmpty());
    QDir(ordner).mkdir("Playlist.txt");  // a folder of that name is no playlist
    EXPECT_TRUE(PlaylistLesen(ordner + "/Playlist.txt").isEmpty());
}

TEST(PlaylistDatei, ReplacesAReadOnlyOldFile) {
    const QString datei = testenv::freshFolder("pl_ro") + "/Playlist.txt";
    PlaylistSchreiben(datei, saetze(5));
    QFile::setPermissions(datei, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
    PlaylistSchreiben(datei, saetze(7));
    EXPECT_EQ(PlaylistLesen(datei), saetze(7));
    EXPECT_EQ(QFile::permissions(datei) & (QFile::WriteOwner | QFile::ReadOther), QFile::WriteOwner | QFile::ReadOther);
    // One locked away at mode 000 comes back its owner's to read and write, at the next start too.
    QFile::setPermissions(datei, {});
    PlaylistSchreiben(datei, saetze(5));
    EXPECT_EQ(QFile::permissions(datei) & 0x7077, QFile::ReadOwner | QFile::WriteOwner);  // owner, group, others
    {
        const testenv::WithoutRootFileRights notRoot;
        EXPECT_EQ(PlaylistLesen(datei), saetze(5));
    }
    // A link to the list stays a link; the list it names is replaced.
    const QString link = QFileInfo(datei).path() + "/Verweis.txt";
    ASSERT_TRUE(QFile::link(datei, link));
    PlaylistSchreiben(link, saetze(6));
    EXPECT_TRUE(QFileInfo(link).isSymLink());
    EXPECT_EQ(PlaylistLesen(datei), saetze(6));
}

TEST(PlaylistDatei, FailedWriteLeavesTheOldFileWhole) {
    const QString ordner = testenv::freshFolder("pl_voll");
    const QString datei = ordner + "/Playlist.txt";
    PlaylistSchreiben(datei, saetze(5));
    const QByteArray alt = lies(datei);
    int fehler = 0;
    {
        const testenv::FileSizeLimit voll(1024);
        fehler = fehlerVon([&] { PlaylistSchreiben(datei, saetze(100)); });
    }
    EXPECT_EQ(fehler, 61);  // "Datenträger voll"
    EXPECT_EQ(lies(datei), alt);
    EXPECT_EQ(QDir(ordner).entryList(QDir::Files), QStringList{"Playlist.txt"});  // no temporary file left
}

TEST(PlaylistDatei, MissingFolderIsReportedAndNothingIsCreated) {
    const QString ordner = testenv::freshFolder("pl_ohne") + "/gibtsnicht";
    EXPECT_EQ(fehlerVon([&] { PlaylistSchreiben(ordner + "/Playlist.txt", saetze(5)); }), 76);
    EXPECT_FALSE(QDir(ordner).exists());
}

TEST(PlaylistDatei, UnwritableFolderKeepsTheOldFile) {
    const QString ordner = testenv::freshFolder("pl_gesperrt");
    const QString datei = ordner + "/Playlist.txt";
    PlaylistSchreiben(datei, saetze(5));
    QFile::setPermissions(ordner, QFile::ReadOwner | QFile::ExeOwner);
    int fehler = 0;
    {
        const testenv::WithoutRootFileRights notRoot;
        if (!notRoot.holds()) GTEST_SKIP() << "root may write into any folder";
        fehler = fehlerVon([&] { PlaylistSchreiben(datei, saetze(9)); });
    }
    QFile::setPermissions(ordner, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    EXPECT_EQ(fehler, 70);
    EXPECT_EQ(PlaylistLesen(datei), saetze(5));
}

// The number is what the system said, not "Pfad nicht gefunden": a folder that cannot be written
// is 70, also the data folder that could not be made in a read-only parent; so is a list that may
// not be read.
TEST(PlaylistDatei, AFolderThatCannotBeWrittenAndAListThatMayNotBeReadAre70) {
    // No one, not even root, makes a file in /sys.
    if (QFileInfo("/sys").isDir()) {
        EXPECT_EQ(fehlerVon([] { PlaylistSchreiben("/sys/Playlist.txt", saetze(5)); }), 70);
    }
    const QString eltern = testenv::freshFolder("pl_ro_eltern");
    const QString datei = eltern + "/Playlist.txt";
    PlaylistSchreiben(datei, saetze(5));
    struct Zurueck {
        ~Zurueck() { platform::setFileFault({}); }
    } zurueck;
    // A read-only mount, and a list its owner has locked away.
    platform::setFileFault([&](const QString& p) { return p == eltern ? EROFS : p == datei ? EACCES : 0; });
    EXPECT_EQ(fehlerVon([&] { PlaylistSchreiben(eltern + "/melotra/Playlist.txt", saetze(5)); }), 70);
    EXPECT_FALSE(QFileInfo::exists(eltern + "/melotra"));
    EXPECT_EQ(fehlerVon([&] { PlaylistLesen(datei); }), 70);
    platform::setFileFault({});
    EXPECT_EQ(PlaylistLesen(datei), saetze(5));
}

TEST(PlaylistDatei, AFileInTheWindowsCodePageReadsRight) {
    const QString datei = testenv::freshFolder("pl_ansi") + "/Playlist.txt";
    // "Grüße" by "Bär & Söhne", genre "Café", path "/m/Grüße €.mp3", all in Windows-1252.
    schreibeRoh(datei, "Gr\xfc\xdf" "e;B\xe4r & S\xf6hne;Caf\xe9;??:??;/m/Gr\xfc\xdf" "e \x80.mp3;03:20\r\n"
                       "A;B;C;??:??;/m/a.mp3;01:00\r\n");
    const auto l = PlaylistLesen(datei);
    ASSERT_EQ(l.size(), 2);
    EXPECT_EQ(l[0], (Playlistsatz{"Grüße", "Bär & Söhne", "Café", "??:??", "/m/Grüße €.mp3", "03:20"}));
    // Written back, it is UTF-8 and reads the same.
    PlaylistSchreiben(datei, l);
    EXPECT_TRUE(lies(datei).startsWith("Gr\xc3\xbc\xc3\x9f" "e;"));
    EXPECT_EQ(PlaylistLesen(datei), l);
    // A line in the code page among UTF-8 lines changes none of them.
    schreibeRoh(datei, "Gr\xfc\xdf" "e;B;C;??:??;/m/a.mp3;03:20\r\n"
                       "M\xc3\xbc" "de;B;C;??:??;/m/M\xc3\xbc" "de.mp3;01:00\r\n");
    const auto m = PlaylistLesen(datei);
    ASSERT_EQ(m.size(), 2);
    EXPECT_EQ(m[0].titel, "Grüße");
    EXPECT_EQ(m[1].pfad, "/m/Müde.mp3");
}

TEST(PlaylistDatei, ALineWithMoreFieldsKeepsTheReadingWhosePathExists) {
    const QString ordner = testenv::freshFolder("pl_sieben");
    const QString lied = testmedia::writeBytes(ordner + "/lied.mp3", "x");
    const QString semi = testmedia::writeBytes(ordner + "/a;b.mp3", "x");
    const QString datei = ordner + "/Playlist.txt";
    schreibeRoh(datei, ("T;A;G;??:??;" + lied + ";03:20;\r\n"                // a trailing ";"
                        "T;A;G;??:??;" + lied + ";03:20;Zusatz;mehr\r\n"     // fields of another version
                        "T;A;G;??:??;" + semi + ";01:00\r\n"                 // a path with ";"
                        "T;A;G;??:??;/weg/x;y.mp3;02:00\r\n")                // neither exists: the path keeps ";"
                           .toUtf8());
    const auto l = PlaylistLesen(datei);
    ASSERT_EQ(l.size(), 4);
    EXPECT_EQ(l[0], (Playlistsatz{"T", "A", "G", "??:??", lied, "03:20"}));
    EXPECT_EQ(l[1], (Playlistsatz{"T", "A", "G", "??:??", lied, "03:20"}));
    EXPECT_EQ(l[2].pfad, semi);
    EXPECT_EQ(l[2].dauer, "01:00");
    EXPECT_EQ(l[3].pfad, "/weg/x;y.mp3");
    EXPECT_EQ(l[3].dauer, "02:00");
}

TEST(PlaylistDatei, RemovingTakesAReadOnlyFileAndToleratesAMissingOne) {
    const QString datei = testenv::freshFolder("pl_weg") + "/Playlist.txt";
    PlaylistEntfernen(datei);
    PlaylistSchreiben(datei, saetze(5));
    QFile::setPermissions(datei, QFile::ReadOwner);
    PlaylistEntfernen(datei);
    EXPECT_FALSE(QFile::exists(datei));
}

// The file follows the live queue whatever its length while the kiosk runs; at the end a short queue
// goes, as a list that played never comes back; a list that never played stays for the next start.
TEST(PlaylistSicherung, AListThatNeverPlayedStaysAListThatPlayedNeverComesBack) {
    using S = PlaylistSicherung::Schritt;
    const auto gleich = [](PlaylistSicherung& r, const QList<Playlistsatz>& q, S erwartet) {
        const S s = r.schritt(q);
        r.getan(s, q);
        return s == erwartet;
    };
    // Read at start, its songs missing: dropped rows, a random song of the archive, shut-down.
    PlaylistSicherung r;
    r.gelesen(saetze(8));
    EXPECT_TRUE(gleich(r, saetze(8), S::Nichts));  // the file holds it already
    QList<Playlistsatz> spaeter = saetze(8);
    spaeter[3].start = "21:07";
    EXPECT_TRUE(gleich(r, spaeter, S::Nichts));  // start times move with the clock: no change of the queue
    r.gespielt("/musik/zufall.mp3");
    EXPECT_TRUE(gleich(r, {}, S::Nichts));
    EXPECT_TRUE(gleich(r, {satz(30)}, S::Nichts));
    EXPECT_EQ(r.schritt({}, true), S::Nichts);
    // The guests queue five: they are written, and once one of them played the file follows the queue.
    QList<Playlistsatz> gaeste;
    for (int i = 20; i < 25; ++i) gaeste << satz(i);
    EXPECT_TRUE(gleich(r, gaeste, S::Schreiben));
    EXPECT_TRUE(gleich(r, gaeste.mid(1), S::Nichts));
    r.gespielt(gaeste[1].pfad);
    EXPECT_TRUE(gleich(r, gaeste.mid(1), S::Schreiben));
    EXPECT_TRUE(gleich(r, gaeste.mid(4), S::Schreiben));
    EXPECT_TRUE(gleich(r, gaeste.mid(4), S::Nichts));
    EXPECT_EQ(r.schritt(gaeste.mid(4), true), S::Entfernen);  // at the end
    EXPECT_TRUE(gleich(r, {}, S::Entfernen));
    EXPECT_TRUE(gleich(r, {}, S::Nichts));  // removed already
    EXPECT_EQ(r.schritt({}, true), S::Nichts);

    // Read and played: the file follows; the shut-down writes an unchanged queue all the same.
    PlaylistSicherung p;
    p.gelesen(saetze(6));
    p.gespielt(satz(1).pfad);
    EXPECT_TRUE(gleich(p, saetze(6).mid(1), S::Schreiben));
    EXPECT_EQ(p.schritt(saetze(6).mid(1), true), S::Schreiben);
    EXPECT_TRUE(gleich(p, saetze(6).mid(2), S::Schreiben));
    EXPECT_EQ(p.schritt(saetze(6).mid(2), true), S::Entfernen);

    // Not read in this run, or read with no file there: whatever file there is follows the queue
    // once any song played, so that a kill with two songs queued loses neither.
    for (const bool gelesen : {false, true}) {
        PlaylistSicherung u;
        if (gelesen) u.gelesen({});
        EXPECT_TRUE(gleich(u, saetze(2), S::Nichts));
        u.gespielt("/irgendwo/lied.mp3");
        EXPECT_TRUE(gleich(u, saetze(2), S::Schreiben)) << gelesen;
        EXPECT_EQ(u.schritt(saetze(2), true), S::Entfernen) << gelesen;
    }
}
