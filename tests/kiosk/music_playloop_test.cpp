// The play loop: hand-over points, the crossfade overlap, the channel switch, pause,
// a crossfade of 0, songs that cannot be played and the random fill.
#include "music_support.h"

#include "base/ErrPtnr.h"
#include "kiosk/logic/abspielen.h"

#include <QCheckBox>
#include <QDir>
#include <QSet>

namespace {

class PlayLoop : public MusicTest {
protected:
    // The random fill on behind a closed lock, a 4-second song queued before the archive's songs.
    void lockedRandomFill(int songs, int32_t ms, uint64_t seed) {
        frmMain& m = main();
        m.FadingSekunden = 2;
        frmStart::instance().chkZufall->setChecked(true);
        for (int i = 0; i < songs; ++i) archiveSong(QStringLiteral("r%1.mp3").arg(i), ms);
        queue(archiveSong("first.mp3", 4000));
        m.Zufallszahl = [z = kiosklogic::Zufall(seed)]() mutable { return z(); };
        m.Schloss->setProperty("Tag", QStringLiteral("Zu"));
        m.EnableButtons();
    }
};

TEST_F(PlayLoop, SecondSongStartsTenSecondsBeforeTheEndOfTheFirstOnTheOtherChannel) {
    frmMain& m = main();
    m.FadingSekunden = 10;
    const int a = archiveSong("a.mp3", 180000);
    const int b = archiveSong("b.mp3", 200000);
    const QString pa = m.MSFlexGrid1->TextMatrix(a, 4);
    const QString pb = m.MSFlexGrid1->TextMatrix(b, 4);
    queue(a);
    queue(b);
    ASSERT_EQ(playlistRows(), 2);

    // The idle channel 0 passes the end test at once: the first song of a run plays on channel 1.
    ASSERT_TRUE(runUntil([] { return PlayerStatus(1) == 2; }, 1000));
    EXPECT_EQ(m.AktPlayer, 1);
    EXPECT_EQ(PlayerDatei(1), pa);
    EXPECT_EQ(m.AktuelleDatei, pa);
    EXPECT_EQ(m.AktuelleZeile, 1);
    EXPECT_EQ(m.Liedlaenge, 180);
    EXPECT_EQ(playlistRows(), 2);

    ASSERT_TRUE(runUntil([&] { return m.AktPlayer == 0; }, 200000));
    const int32_t handOver = PlayerPosition(1);
    EXPECT_GT(handOver, 170000);
    EXPECT_LT(handOver, 171000);
    EXPECT_EQ(PlayerDatei(0), pb);
    EXPECT_EQ(PlayerStatus(0), 2);
    EXPECT_EQ(PlayerStatus(1), 2);  // the first song plays out over the new one
    EXPECT_EQ(playlistRows(), 1);
    EXPECT_EQ(playlist(1, 4), pb);
    EXPECT_EQ(m.Liedlaenge, 200);

    ASSERT_TRUE(runUntil([] { return PlayerStatus(1) == 0; }, 20000));
    EXPECT_EQ(PlayerPosition(1), 180000);
    EXPECT_EQ(PlayerStatus(0), 2);
    EXPECT_NEAR(PlayerPosition(0), 180000 - handOver, 600);
    EXPECT_EQ(m.AktPlayer, 0);
}

TEST_F(PlayLoop, ASongQueuedDuringThePlayOutStartsOnTheFreeChannel) {
    frmMain& m = main();
    m.FadingSekunden = 10;
    // The queue runs dry after a played song, and after a last row that cannot be opened.
    for (const bool letzteFehlt : {false, true}) {
        SCOPED_TRACE(letzteFehlt);
        const QString n = QString::number(letzteFehlt);
        const int a = archiveSong("a" + n + ".mp3", 20000);
        const int gone = archiveSong("gone" + n + ".mp3", 20000);
        const int b = archiveSong("b" + n + ".mp3", 30000);
        QFile::remove(m.MSFlexGrid1->TextMatrix(gone, 4));
        queue(a);
        if (letzteFehlt) queue(gone);
        ASSERT_TRUE(runUntil([&] { return playlistRows() == 0; }, 30000));
        const int16_t draussen = m.AktPlayer == 0 ? 1 : 0;
        ASSERT_EQ(PlayerStatus(draussen), 2);
        ASSERT_EQ(PlayerDatei(draussen), m.MSFlexGrid1->TextMatrix(a, 4));
        vt.advance(3000);
        EXPECT_EQ(PlayerDatei(m.AktPlayer), "");  // an empty playlist only frees the idle channel
        const int32_t bei = PlayerPosition(draussen);
        queue(b);
        vt.advance(250);
        EXPECT_NE(m.AktPlayer, draussen);
        EXPECT_EQ(PlayerDatei(m.AktPlayer), m.MSFlexGrid1->TextMatrix(b, 4));
        EXPECT_EQ(PlayerStatus(m.AktPlayer), 2);
        // The song playing out is heard to its end on its own channel.
        EXPECT_EQ(PlayerDatei(draussen), m.MSFlexGrid1->TextMatrix(a, 4));
        EXPECT_GT(PlayerPosition(draussen), bei);
        ASSERT_TRUE(runUntil([&] { return PlayerStatus(draussen) == 0; }, 8000));
        EXPECT_EQ(PlayerPosition(draussen), 20000);
        // b goes on, and at its own hand-over the loop takes the channel of the song before.
        EXPECT_EQ(PlayerStatus(m.AktPlayer), 2);
        ASSERT_TRUE(runUntil([&] { return playlistRows() == 0; }, 30000));
        EXPECT_EQ(m.AktPlayer, draussen);
        ASSERT_TRUE(runUntil([&] { return PlayerStatus(0) != 2 && PlayerStatus(1) != 2; }, 15000));
    }
}

TEST_F(PlayLoop, PauseFreezesTheEndTestAndTheMarkerBlinks) {
    frmMain& m = main();
    m.FadingSekunden = 10;
    frmStart::instance().chkPause->setChecked(true);
    queue(archiveSong("a.mp3", 60000));
    queue(archiveSong("b.mp3", 60000));
    vt.advance(20000);
    m.Positionsgrafik_Click();
    const int32_t at = PlayerPosition(1);
    vt.advance(120000);
    EXPECT_EQ(PlayerStatus(1), 1);
    EXPECT_EQ(PlayerPosition(1), at);
    EXPECT_EQ(m.AktPlayer, 1);
    EXPECT_EQ(playlistRows(), 2);
    EXPECT_TRUE(m.Positionsgrafik->Blinken());
    m.Positionsgrafik_Click();
    vt.advance(250);
    EXPECT_EQ(PlayerStatus(1), 2);
    EXPECT_FALSE(m.Positionsgrafik->Blinken());
    // Without the setting a tap on the note changes nothing.
    frmStart::instance().chkPause->setChecked(false);
    m.Positionsgrafik_Click();
    EXPECT_EQ(PlayerStatus(1), 2);
}

TEST_F(PlayLoop, CrossfadeZeroStartsTheFirstSongAndTheNextOneOnlyAtTheEnd) {
    frmMain& m = main();
    m.FadingSekunden = 0;
    queue(archiveSong("a.mp3", 3000));
    queue(archiveSong("b.mp3", 4000));
    ASSERT_TRUE(runUntil([] { return PlayerStatus(1) == 2; }, 1000));
    ASSERT_TRUE(runUntil([&] { return m.AktPlayer == 0; }, 5000));
    EXPECT_EQ(PlayerPosition(1), 3000);
    EXPECT_EQ(PlayerStatus(1), 0);
    EXPECT_EQ(PlayerStatus(0), 2);
    ASSERT_TRUE(runUntil([&] { return playlistRows() == 0; }, 6000));
    EXPECT_EQ(PlayerStatus(0), 0);
    // The idle kiosk then frees its channel.
    vt.advance(500);
    EXPECT_EQ(PlayerDatei(m.AktPlayer), "");
}

TEST_F(PlayLoop, MissingAndBrokenSongsArePassedOverAndTheMusicGoesOn) {
    frmMain& m = main();
    m.FadingSekunden = 5;
    const int gone = archiveSong("gone.mp3", 20000);
    const int broken = archivePath(testmedia::writeGarbage(dir + "/broken.mp3", 5000));
    const int good = archiveSong("good.mp3", 20000);
    QFile::remove(m.MSFlexGrid1->TextMatrix(gone, 4));
    queue(gone);
    queue(broken);
    queue(good);
    ASSERT_EQ(playlistRows(), 3);
    ASSERT_TRUE(runUntil([&] { return playlistRows() == 1; }, 5000));
    EXPECT_EQ(playlist(1, 4), m.MSFlexGrid1->TextMatrix(good, 4));
    EXPECT_EQ(PlayerDatei(m.AktPlayer), m.MSFlexGrid1->TextMatrix(good, 4));
    EXPECT_EQ(PlayerStatus(m.AktPlayer), 2);
    EXPECT_TRUE(testenv::reportedErrors().empty());
}

TEST_F(PlayLoop, RandomFillTakesTheSeededRowOnlyWhenTheLastSongHandsOver) {
    frmMain& m = main();
    m.FadingSekunden = 2;
    frmStart::instance().chkZufall->setChecked(true);
    for (int i = 0; i < 6; ++i) archiveSong(QStringLiteral("r%1.mp3").arg(i), 60000);
    const int first = archiveSong("first.mp3", 5000);
    m.MSFlexGrid1->setRow(3);
    kiosklogic::Zufall ref(42);
    m.Zufallszahl = [z = kiosklogic::Zufall(42)]() mutable { return z(); };

    // An idling kiosk does not fill itself.
    vt.advance(3000);
    EXPECT_EQ(playlistRows(), 0);

    queue(first);
    m.MSFlexGrid1->setRow(3);
    const int expected = kiosklogic::Zufallszeile(m.MSFlexGrid1->Rows(), ref());
    ASSERT_GE(expected, 1);
    ASSERT_TRUE(runUntil([&] { return m.AktuelleDatei == m.MSFlexGrid1->TextMatrix(expected, 4); }, 8000));
    EXPECT_EQ(playlistRows(), 1);
    EXPECT_EQ(PlayerStatus(m.AktPlayer), 2);
    EXPECT_EQ(m.MSFlexGrid1->Row(), 3);  // the guest's marked archive row stays
}

// The song that plays out after the hand-over is never the fill's pick while the archive holds
// another: it would sound over itself and then again from its start.
TEST_F(PlayLoop, RandomFillPassesOverTheSongPlayingOut) {
    frmMain& m = main();
    m.FadingSekunden = 2;
    frmStart::instance().chkZufall->setChecked(true);
    for (int i = 0; i < 3; ++i) archiveSong(QStringLiteral("r%1.mp3").arg(i), 5000);
    m.Zufallszahl = [z = kiosklogic::Zufall(11)]() mutable { return z(); };
    queue(2);  // the middle row, the likeliest pick
    QStringList starts;
    double zuletzt = -1;
    bool zweimalZugleich = false;
    ASSERT_TRUE(runUntil(
        [&] {
            if (!m.AktuelleDatei.isEmpty() && m.Startzeit != zuletzt) {
                zuletzt = m.Startzeit;
                starts << m.AktuelleDatei;
            }
            zweimalZugleich |= PlayerStatus(0) == 2 && PlayerStatus(1) == 2 && PlayerDatei(0) == PlayerDatei(1);
            return starts.size() == 21;
        },
        80000));
    EXPECT_FALSE(zweimalZugleich);
    for (int i = 1; i < starts.size(); ++i) EXPECT_NE(starts[i], starts[i - 1]) << i;
    EXPECT_EQ(QSet<QString>(starts.begin(), starts.end()).size(), 3);
    EXPECT_TRUE(testenv::reportedErrors().empty());
}

TEST_F(PlayLoop, RandomFillGoesOnWhileTheLockIsClosed) {
    frmMain& m = main();
    lockedRandomFill(4, 6000, 7);
    // The guests stay locked out; the operator's background music goes on song after song.
    QList<double> starts;
    ASSERT_TRUE(runUntil(
        [&] {
            if (!m.AktuelleDatei.isEmpty() && !starts.contains(m.Startzeit)) starts << m.Startzeit;
            return starts.size() == 3;
        },
        20000));
    EXPECT_EQ(playlistRows(), 1);
    EXPECT_EQ(PlayerStatus(m.AktPlayer), 2);
    EXPECT_FALSE(m.Uebernehmen->Enabled());
    queue(1);
    EXPECT_EQ(playlistRows(), 1);  // a guest's take-over is still refused
}

TEST_F(PlayLoop, RandomFillTriesAgainAfterAFailedPickUntilASongPlays) {
    frmMain& m = main();
    lockedRandomFill(3, 60000, 3);  // no guest can start the music again
    const auto zeilen = [] {
        QFile f(ErrPtnr::instance().traceFilePath());
        return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()).count(QStringLiteral("Zufällige Lieder")) : 0;
    };
    const qsizetype vorher = zeilen();
    ASSERT_TRUE(runUntil([] { return PlayerStatus(1) == 2; }, 1000));

    // The song folder is away over the hand-over and a while after the first song's end.
    ASSERT_TRUE(QDir().rename(dir, dir + "-weg"));
    vt.advance(8000);
    EXPECT_EQ(playlistRows(), 0);
    EXPECT_EQ(PlayerStatus(0), 0);
    EXPECT_EQ(PlayerStatus(1), 0);
    EXPECT_EQ(zeilen(), vorher + 1);  // one line, however often it is tried

    ASSERT_TRUE(QDir().rename(dir + "-weg", dir));
    ASSERT_TRUE(runUntil([] { return PlayerStatus(0) == 2 || PlayerStatus(1) == 2; }, 3250));
    EXPECT_EQ(playlistRows(), 1);
    EXPECT_EQ(m.AktuelleDatei, playlist(1, 4));
    EXPECT_EQ(zeilen(), vorher + 1);
}

TEST_F(PlayLoop, RandomFillWithoutTheSettingLeavesThePlaylistEmpty) {
    frmMain& m = main();
    m.FadingSekunden = 2;
    archiveSong("r.mp3", 60000);
    queue(archiveSong("first.mp3", 4000));
    m.Zufallszahl = [] { return 0.5; };
    ASSERT_TRUE(runUntil([&] { return playlistRows() == 0; }, 6000));
    vt.advance(2000);
    EXPECT_EQ(playlistRows(), 0);
}

TEST_F(PlayLoop, AFailedOpenLeavesTheSongBeforePlayingToItsEnd) {
    frmMain& m = main();
    m.FadingSekunden = 3;
    const int a = archiveSong("a.mp3", 8000);
    const int gone = archiveSong("gone.mp3", 8000);
    const int b = archiveSong("b.mp3", 8000);
    const QString pa = m.MSFlexGrid1->TextMatrix(a, 4);
    const QString pb = m.MSFlexGrid1->TextMatrix(b, 4);
    QFile::remove(m.MSFlexGrid1->TextMatrix(gone, 4));
    queue(a);
    queue(gone);
    queue(b);
    ASSERT_TRUE(runUntil([] { return PlayerStatus(1) == 2; }, 1000));
    ASSERT_EQ(PlayerDatei(1), pa);
    // At a's hand-over the missing song is dropped and b starts on the free channel at once.
    ASSERT_TRUE(runUntil([&] { return m.AktPlayer == 0; }, 8000));
    EXPECT_EQ(PlayerDatei(0), pb);
    EXPECT_EQ(m.AktuelleDatei, pb);
    EXPECT_EQ(playlistRows(), 1);
    EXPECT_EQ(playlist(1, 4), pb);
    // a is heard to its last millisecond on its own channel.
    ASSERT_TRUE(runUntil([] { return PlayerStatus(1) == 0; }, 5000));
    EXPECT_EQ(PlayerDatei(1), pa);
    EXPECT_EQ(PlayerPosition(1), 8000);
    EXPECT_EQ(PlayerStatus(0), 2);
    EXPECT_EQ(m.AktPlayer, 0);
}

TEST_F(PlayLoop, SongsShorterThanTheCrossfadeAreHeardToTheEnd) {
    frmMain& m = main();
    m.FadingSekunden = 10;
    struct Lied {
        const char* name;
        int32_t ms;
        int32_t uebergabeMs;  // position past which the next song may start: crossfade or half the song
    };
    // An 8-second song overlaps by 4 s, so the first jingle waits for its end, not only for its half.
    const Lied lieder[] = {{"s8.mp3", 8000, 4000}, {"j1.mp3", 5000, 2500}, {"j2.mp3", 5000, 2500},
                           {"j3.mp3", 5000, 2500}};
    QStringList pfade;
    for (const Lied& l : lieder) {
        queue(archiveSong(l.name, l.ms));
        pfade << playlist(playlistRows(), 4);
    }
    queue(archiveSong("long.mp3", 60000));
    pfade << playlist(playlistRows(), 4);
    // When each song started, in virtual milliseconds.
    QMap<QString, uint64_t> beginn;
    ASSERT_TRUE(runUntil(
        [&] {
            if (!m.AktuelleDatei.isEmpty() && !beginn.contains(m.AktuelleDatei)) beginn[m.AktuelleDatei] = vt.elapsed();
            return beginn.contains(pfade[4]);
        },
        30000));
    for (int i = 0; i < 4; ++i) {
        const int64_t naechstes = int64_t(beginn[pfade[i + 1]] - beginn[pfade[i]]);
        const int64_t vorherEnde = i == 0 ? 0 : int64_t(beginn[pfade[i - 1]] + lieder[i - 1].ms - beginn[pfade[i]]);
        EXPECT_GT(naechstes, lieder[i].uebergabeMs) << i;
        EXPECT_LE(naechstes, std::max<int64_t>(lieder[i].uebergabeMs, vorherEnde) + 750) << i;
        // The song after next takes this song's channel only once this song has ended.
        if (i + 2 <= 4) {
            EXPECT_GE(int64_t(beginn[pfade[i + 2]] - beginn[pfade[i]]), lieder[i].ms) << i;
        }
    }
}

TEST_F(PlayLoop, ButtonStatesFollowTheRowsTheLoopDropsAndAdds) {
    frmMain& m = main();
    m.FadingSekunden = 2;
    queue(archiveSong("a.mp3", 6000));
    ASSERT_TRUE(m.cmdLoeschen->Enabled());
    ASSERT_TRUE(runUntil([&] { return playlistRows() == 0; }, 8000));
    // The current channel is the idle one now: the trash can has nothing to act on.
    EXPECT_EQ(PlayerStatus(m.AktPlayer), 0);
    EXPECT_FALSE(m.cmdLoeschen->Enabled());
    EXPECT_FALSE(m.FunbuttonArchivNav[2]->Enabled());
}

TEST_F(PlayLoop, ASecondHandOverKeepsThePlaylistAndTakesTheNewCrossfade) {
    frmStart& s = frmStart::instance();
    s.Slider1->setValue(10);
    frmMain::FormLoadFromHandOver();
    frmMain& m = main();
    ASSERT_EQ(m.FadingSekunden, 10);
    queue(archiveSong("a.mp3", 30000));
    queue(archiveSong("b.mp3", 30000));
    const QString pa = playlist(1, 4);
    const QString pb = playlist(2, 4);
    ASSERT_TRUE(runUntil([] { return PlayerStatus(1) == 2; }, 1000));
    s.Slider1->setValue(3);
    frmMain::FormLoadFromHandOver();
    EXPECT_EQ(m.FadingSekunden, 3);
    ASSERT_EQ(playlistRows(), 2);
    EXPECT_EQ(playlist(1, 4), pa);
    queue(archiveSong("c.mp3", 30000));
    const QString pc = playlist(3, 4);
    // a plays on and hands over to b three seconds before its end, b to c likewise.
    ASSERT_TRUE(runUntil([&] { return m.AktuelleDatei == pb; }, 30000));
    EXPECT_EQ(m.AktPlayer, 0);
    EXPECT_GT(PlayerPosition(1), 27000);
    EXPECT_LT(PlayerPosition(1), 28000);
    ASSERT_TRUE(runUntil([&] { return m.AktuelleDatei == pc; }, 30000));
    EXPECT_GT(PlayerPosition(0), 27000);
    EXPECT_LT(PlayerPosition(0), 28000);
    EXPECT_EQ(playlistRows(), 1);
}

}  // namespace
