// Start times of the playlist, the song-length pass of the archive and the playlist file.
#include "music_support.h"

#include "base/ErrPtnr.h"
#include "kiosk/logic/playlistdatei.h"
#include "kiosk/logic/zeittext.h"

#include <QDir>
#include <optional>

namespace {

using Times = MusicTest;

bool traced(const QString& text) {
    for (const QString& e : ErrPtnr::ring().entries())
        if (e.contains(text)) return true;
    return false;
}

TEST_F(Times, StartTimesCountFromTheStartOfTheCurrentSongAndFollowAPause) {
    frmMain& m = main();
    m.FadingSekunden = 10;
    queue(archiveSong("a.mp3", 200000, "03:20"));
    queue(archiveSong("b.mp3", 60000, "01:00"));
    queue(archiveSong("c.mp3", 60000, "kaputt"));
    queue(archiveSong("d.mp3", 60000));
    vt.advance(1000);
    EXPECT_EQ(playlist(1, 3), "20:00");
    EXPECT_EQ(playlist(2, 3), "20:03");
    EXPECT_EQ(playlist(3, 3), "20:04");
    EXPECT_EQ(playlist(4, 3), "20:08");  // an invalid duration counts five minutes, less the crossfade
    PlayerPause(1);
    vt.advance(5 * 60000);
    EXPECT_EQ(playlist(1, 3), "20:00");
    EXPECT_EQ(playlist(2, 3), "20:08");
}

TEST_F(Times, LengthPassWritesDurationsAndSkipsARowThatChangedDuringTheProbe) {
    frmMain& m = main();
    m.Timer1->setEnabled(false);
    const int a = archiveSong("a.mp3", 2000);
    const int b = archiveSong("b.mp3", 200400);
    kioskgrid::FlexGrid& g = *m.MSFlexGrid1;
    const QString pa = g.TextMatrix(a, 4);
    // A sort that lands while the first song is being measured swaps the two rows.
    platform::VbTimer sorter(nullptr, 1, true);
    bool swapped = false;
    sorter.onTimer = [&] {
        if (swapped || PlayerDatei(2) != pa) return;
        swapped = true;
        for (int c = 0; c < g.Cols(); ++c) {
            const QString t = g.TextMatrix(a, c);
            g.setTextMatrix(a, c, g.TextMatrix(b, c));
            g.setTextMatrix(b, c, t);
        }
    };
    m.ZeitenEinlesen(false);
    ASSERT_TRUE(swapped);
    EXPECT_EQ(g.TextMatrix(b, 4), pa);
    EXPECT_EQ(g.TextMatrix(b, 3), "00:02");
    EXPECT_EQ(g.TextMatrix(a, 3), "");  // not a's length: waits for the next pass
    EXPECT_TRUE(m.ZeitenEinlesenAbgeschlossen);
    m.ZeitenEinlesen(false);
    EXPECT_EQ(g.TextMatrix(a, 3), "03:20");
}

// A song shorter than half a second has a known length of 0 s and reads 00:00; only a
// file that does not open reads the five minutes of an unknown length. Queued, the
// shortest of them plays and hands over to the next song.
TEST_F(Times, ASongUnderHalfASecondReadsZeroAndPlays) {
    frmMain& m = main();
    m.FadingSekunden = 2;
    testmedia::LameOptions plain;
    plain.infoHeader = false;
    const QString einFrame = testmedia::writeSilentFrames(dir + "/ein.mp3", 1);
    const int kurz[] = {archiveSong("kurz.mp3", 300),
                        archivePath(testmedia::writeLameMp3(dir + "/ohne.mp3", 60, 440, 9000, plain)),
                        archivePath(einFrame)};
    const int fehlt = archivePath(dir + "/fehlt.mp3");
    const int danach = archiveSong("danach.mp3", 3000);
    m.ZeitenEinlesen(false);
    kioskgrid::FlexGrid& g = *m.MSFlexGrid1;
    for (const int r : kurz) EXPECT_EQ(g.TextMatrix(r, 3), "00:00") << g.TextMatrix(r, 4).toStdString();
    EXPECT_EQ(g.TextMatrix(fehlt, 3), "05:00");
    EXPECT_EQ(g.TextMatrix(danach, 3), "00:03");

    queue(kurz[2]);
    queue(danach);
    EXPECT_EQ(playlist(1, 5), "00:00");
    int32_t gehoert = 0;
    ASSERT_TRUE(runUntil(
        [&] {
            for (int16_t k : {PlayerKanalA, PlayerKanalB})
                if (PlayerDatei(k) == einFrame) gehoert = std::max(gehoert, PlayerPosition(k));
            return playlist(1, 4).endsWith("danach.mp3") && PlayerStatus(m.AktPlayer) == 2;
        },
        5000));
    EXPECT_EQ(gehoert, 26);
}

TEST_F(Times, LengthPassStopsOnProgramEndAndVisiblePassLeavesTheFlag) {
    frmMain& m = main();
    m.Timer1->setEnabled(false);
    archiveSong("a.mp3", 2000);
    m.show();
    ASSERT_TRUE(m.MSFlexGrid1->RowIsVisible(1));
    m.ZeitenEinlesen(true);
    EXPECT_EQ(m.MSFlexGrid1->TextMatrix(1, 3), "00:02");
    EXPECT_FALSE(m.ZeitenEinlesenAbgeschlossen);
    m.MSFlexGrid1->setTextMatrix(1, 3, QString());
    ProgrammEnde = true;
    m.ZeitenEinlesen(false);
    EXPECT_EQ(m.MSFlexGrid1->TextMatrix(1, 3), "");
    EXPECT_FALSE(m.ZeitenEinlesenAbgeschlossen);
}

TEST_F(Times, TimerRegistersAndRefreshesOncePerMinute) {
    frmMain& m = main();
    queue(archiveSong("a.mp3", 600000));
    vt.advance(1000);
    m.MSFlexGrid2->setTextMatrix(1, 3, QStringLiteral("x"));
    vt.advance(30000);
    EXPECT_EQ(playlist(1, 3), "x");
    vt.advance(30000);
    EXPECT_EQ(playlist(1, 3), "20:00");
    EXPECT_TRUE(traced("[frmMain] Private Sub Timer1_Timer()"));
}

class Midnight : public MusicTest {
protected:
    Midnight() { vtLate.emplace(QDateTime(QDate(2026, 12, 8), QTime(23, 52, 30))); }
    std::optional<platform::VirtualTime> vtLate;
};

TEST_F(Midnight, StartTimesPassMidnightAsClockTimes) {
    frmMain& m = main();
    platform::Mixer::instance().select(platform::AudioOutput::Silent);
    queue(archiveSong("a.mp3", 300000, "05:00"));
    queue(archiveSong("b.mp3", 300000, "05:00"));
    queue(archiveSong("c.mp3", 300000, "05:00"));
    vtLate->advance(1000);
    EXPECT_EQ(playlist(1, 3), "23:52");
    EXPECT_EQ(playlist(2, 3), "23:57");
    EXPECT_EQ(playlist(3, 3), "00:02");
    EXPECT_EQ(m.Startzeit, kiosklogic::Datumswert(QDateTime(QDate(2026, 12, 8), QTime(23, 52, 30))));
}

using PlaylistFile = ProgramFolderTest;

TEST_F(PlaylistFile, RoundTripKeepsRowsAndAPathWithSemicolon) {
    frmMain& m = main();
    m.Timer1->setEnabled(false);
    const QString semi = testenv::freshFolder(QStringLiteral("semi;dir"));
    for (int i = 0; i < 4; ++i) queue(archiveSong(QStringLiteral("s%1.mp3").arg(i), 1000, "03:20"));
    queue(archivePath(testmedia::writeSilentMp3(semi + "/x;y.mp3", 1000, tag("Semi", "Band"))));
    ASSERT_EQ(playlistRows(), 5);
    m.PlaylistSpeichern();
    const QByteArray bytes = file();
    const QList<QByteArray> lines = bytes.split('\n');
    ASSERT_EQ(lines.size(), 6);
    EXPECT_TRUE(bytes.endsWith("\r\n"));
    EXPECT_EQ(lines[0], ("s0.mp3;Band;Blues;00:00;" + dir + "/s0.mp3;03:20\r").toUtf8());
    EXPECT_EQ(lines[4], ("Semi;Band;Blues;20:12;" + semi + "/x;y.mp3;05:00\r").toUtf8());

    // Rows left in the grid go before the file's rows come in.
    queue(archiveSong("extra.mp3", 1000));
    m.PlaylistEinlesen();
    ASSERT_EQ(playlistRows(), 5);
    EXPECT_EQ(playlist(5, 4), semi + "/x;y.mp3");
    EXPECT_EQ(playlist(5, 0), "Semi");
    EXPECT_EQ(playlist(5, 5), "05:00");
    EXPECT_EQ(playlist(1, 1), "Band");
    EXPECT_EQ(m.MSFlexGrid2->TextMatrix(0, 3), "Start");
    EXPECT_EQ(playlist(2, 3), "20:03");  // recomputed, not the stored text

    // Saved again unchanged, the file is byte for byte the same.
    m.PlaylistSpeichern();
    EXPECT_EQ(file(), bytes);
}

TEST_F(PlaylistFile, AShortQueueThatNeverPlayedKeepsTheFileAndShortLinesArePassedOver) {
    frmMain& m = main();
    m.Timer1->setEnabled(false);
    const QByteArray old = "A;B;C;??:??;/x/a.mp3;01:00\r\nkaputt;zeile\r\n\r\nD;E;F;??:??;/x/d.mp3;02:00\r\n\r\n";
    testmedia::writeBytes(prog + "/Playlist.txt", old);
    for (int i = 0; i < 4; ++i) queue(archiveSong(QStringLiteral("s%1.mp3").arg(i), 1000));
    m.PlaylistSpeichern();
    EXPECT_EQ(file(), old);
    testmedia::writeBytes(prog + "/Playlist.txt", old);
    m.PlaylistEinlesen();
    ASSERT_EQ(playlistRows(), 2);
    EXPECT_EQ(playlist(1, 4), "/x/a.mp3");
    EXPECT_EQ(playlist(2, 4), "/x/d.mp3");
    EXPECT_EQ(playlist(2, 5), "02:00");
    // A missing file leaves an empty playlist with its headers.
    QFile::remove(prog + "/Playlist.txt");
    m.PlaylistEinlesen();
    EXPECT_EQ(playlistRows(), 0);
    EXPECT_EQ(m.MSFlexGrid2->TextMatrix(0, 0), "Titel");
}

TEST_F(PlaylistFile, AReloadedListStartsOnTheFirstTickOnChannelOne) {
    frmMain& m = main();
    const QString a = testmedia::writeSilentMp3(dir + "/a.mp3", 60000);
    testmedia::writeBytes(prog + "/Playlist.txt", ("A;B;C;12:00;" + a + ";07:00\r\n").toUtf8());
    m.PlaylistEinlesen();
    vt.advance(250);
    EXPECT_EQ(m.AktPlayer, 1);
    EXPECT_EQ(PlayerDatei(1), a);
    EXPECT_EQ(playlist(1, 5), "07:00");  // from the file, not measured
}

}  // namespace
