// What guests meet around a song change: no gap at crossfade 0 or after a short song,
// a pause that silences what is heard, play-now on the playing song, and a marked
// playlist row that stays on its song while the loop drops row 1.
#include "music_support.h"

#include <QMap>

namespace {

using GuestMusic = MusicTest;

// When each song began, in virtual milliseconds, measured back from its channel's position.
// Runs in steps of 10 ms until the song bis has started, or 30 s.
struct Starts {
    QMap<QString, int64_t> at;
    Starts(platform::VirtualTime& vt, const QString& bis) {
        const frmMain& m = frmMain::instance();
        const uint64_t ende = vt.elapsed() + 30000;
        while (vt.elapsed() < ende && !at.contains(bis)) {
            vt.advance(10);
            if (!m.AktuelleDatei.isEmpty() && !at.contains(m.AktuelleDatei))
                at[m.AktuelleDatei] = int64_t(vt.elapsed()) - PlayerPosition(m.AktPlayer);
        }
    }
};

TEST_F(GuestMusic, AtCrossfadeZeroEachSongFollowsTheOneBeforeWithin100Ms) {
    frmMain& m = main();
    m.FadingSekunden = 0;
    QStringList pfade;
    QList<int32_t> laengen;
    for (int i = 0; i < 10; ++i) {
        laengen << 1300 + 70 * i;  // lengths off the loop's quarter seconds and off whole seconds
        queue(archiveSong(QStringLiteral("s%1.mp3").arg(i), laengen.last()));
        pfade << playlist(playlistRows(), 4);
    }
    const Starts s(vt, pfade.last());
    ASSERT_TRUE(s.at.contains(pfade.last()));
    for (int i = 0; i + 1 < 10; ++i) {
        const int64_t luecke = s.at[pfade[i + 1]] - (s.at[pfade[i]] + laengen[i]);
        EXPECT_GE(luecke, 0) << i;  // never cut
        EXPECT_LE(luecke, 100) << i;
    }
}

TEST_F(GuestMusic, ASongAfterAShortOneStartsWithin100MsOfTheEndOfTheSongBefore) {
    frmMain& m = main();
    m.FadingSekunden = 10;
    queue(archiveSong("p.mp3", 20100));
    queue(archiveSong("kurz.mp3", 5100));
    queue(archiveSong("t.mp3", 30000));
    const QString p = playlist(1, 4), t = playlist(3, 4);
    const Starts s(vt, t);
    ASSERT_TRUE(s.at.contains(t));
    const int64_t luecke = s.at[t] - (s.at[p] + 20100);
    EXPECT_GE(luecke, 0);
    EXPECT_LE(luecke, 100);
}

TEST_F(GuestMusic, F5PausesTheSongBeforeWhileAShortSongWaitsForItsEnd) {
    frmMain& m = main();
    m.FadingSekunden = 10;
    queue(archiveSong("p.mp3", 20000));
    queue(archiveSong("kurz.mp3", 5000));
    queue(archiveSong("t.mp3", 30000));
    const QString kurz = playlist(2, 4), t = playlist(3, 4);
    ASSERT_TRUE(runUntil([&] { return m.AktuelleDatei == kurz && PlayerStatus(m.AktPlayer) == 0; }, 20000));
    const int16_t vorher = m.AktPlayer == 0 ? 1 : 0;
    ASSERT_EQ(PlayerStatus(vorher), 2);
    m.Form_KeyDown(116, 0);
    const int32_t bei = PlayerPosition(vorher);
    vt.advance(10000);
    EXPECT_EQ(PlayerStatus(vorher), 1);
    EXPECT_EQ(PlayerPosition(vorher), bei);
    EXPECT_EQ(m.AktuelleDatei, kurz);  // nothing starts into the pause
    EXPECT_TRUE(m.Positionsgrafik->Blinken());
    m.Form_KeyDown(116, 0);
    ASSERT_TRUE(runUntil([&] { return m.AktuelleDatei == t; }, 10000));
    EXPECT_EQ(PlayerDatei(vorher), t);  // the song after takes its channel once it has ended
}

TEST_F(GuestMusic, F5RightAfterASongEntersItsOverlapLeavesNoSongFrozen) {
    frmMain& m = main();
    m.FadingSekunden = 2;
    queue(archiveSong("a.mp3", 10000));
    queue(archiveSong("b.mp3", 10000));
    const QString b = playlist(2, 4);
    ASSERT_TRUE(runUntil([] { return PlayerPosition(1) >= 7000; }, 9000));
    // A busy kiosk: the loop's tick comes late, after the song has passed its hand-over point.
    m.Timer1->setEnabled(false);
    m.TimerWechsel->setEnabled(false);
    vt.advance(1200);
    m.Form_KeyDown(116, 0);
    m.Timer1->setEnabled(true);
    vt.advance(2000);
    EXPECT_NE(PlayerStatus(0), 2);
    EXPECT_NE(PlayerStatus(1), 2);
    EXPECT_EQ(m.AktuelleDatei, playlist(1, 4));
    // Going on: the overlap follows, the old song plays out and ends by itself.
    m.Form_KeyDown(116, 0);
    ASSERT_TRUE(runUntil([&] { return m.AktuelleDatei == b; }, 1000));
    ASSERT_TRUE(runUntil([] { return PlayerStatus(1) == 0; }, 3000));
    EXPECT_EQ(PlayerPosition(1), 10000);
    m.Form_KeyDown(116, 0);
    m.Form_KeyDown(116, 0);
    vt.advance(500);
    EXPECT_EQ(PlayerStatus(m.AktPlayer), 2);
    EXPECT_EQ(PlayerStatus(1), 0);  // the ended song is not woken over the current one
}

TEST_F(GuestMusic, AfterAPauseInTheOverlapAndADeleteOnlyTheNewSongGoesOn) {
    frmMain& m = main();
    m.FadingSekunden = 2;
    for (const char* n : {"a.mp3", "b.mp3", "c.mp3"}) queue(archiveSong(n, 10000));
    const QString c = playlist(3, 4);
    ASSERT_TRUE(runUntil([&] { return PlayerStatus(0) == 2 && PlayerStatus(1) == 2; }, 10000));
    m.Form_KeyDown(116, 0);
    EXPECT_EQ(PlayerStatus(0), 1);
    EXPECT_EQ(PlayerStatus(1), 1);
    m.MSFlexGrid2->setRow(1);
    m.Loeschen();
    EXPECT_EQ(PlayerDatei(m.AktPlayer), c);
    EXPECT_EQ(PlayerStatus(1), 0);  // a's rest is dropped, not kept for the next F5
    m.Form_KeyDown(116, 0);
    m.Form_KeyDown(116, 0);
    vt.advance(250);
    EXPECT_EQ(PlayerStatus(m.AktPlayer), 2);
    EXPECT_NE(PlayerStatus(1), 2);
}

TEST_F(GuestMusic, SpaceOnTheSongPlayingNowStartsItAgain) {
    frmMain& m = main();
    m.FadingSekunden = 5;
    const int a = archiveSong("a.mp3", 60000);
    queue(a);
    queue(archiveSong("b.mp3", 60000));
    ASSERT_TRUE(runUntil([] { return PlayerPosition(1) >= 20000; }, 25000));
    m.MSFlexGrid1->setRow(a);
    int16_t space = 32;
    m.MSFlexGrid1_KeyDown(space, 0);
    vt.advance(1000);
    ASSERT_EQ(playlistRows(), 1);
    EXPECT_EQ(playlist(1, 4), m.MSFlexGrid1->TextMatrix(a, 4));
    EXPECT_EQ(PlayerDatei(m.AktPlayer), m.MSFlexGrid1->TextMatrix(a, 4));
    EXPECT_EQ(PlayerStatus(m.AktPlayer), 2);
    EXPECT_LT(PlayerPosition(m.AktPlayer), 1500);
}

TEST_F(GuestMusic, AMarkedRowStaysOnItsSongWhenTheLoopDropsRowOne) {
    frmMain& m = main();
    m.FadingSekunden = 2;
    kioskgrid::FlexGrid& g = *m.MSFlexGrid2;
    for (int i = 0; i < 3; ++i) queue(archiveSong(QStringLiteral("kurz%1.mp3").arg(i), 6000));
    for (int i = 0; i < 4; ++i) queue(archiveSong(QStringLiteral("lang%1.mp3").arg(i), 60000));
    const QString kurz2 = playlist(3, 4), lang1 = playlist(5, 4);
    // Just before the playing song's hand-over point; the guest's press then holds the tick
    // in its event pump, whose step passes that point.
    const auto kurzVorDemWechsel = [&](int zeile) {
        ASSERT_TRUE(runUntil([&] { return PlayerStatus(m.AktPlayer) == 2; }, 1000));
        while (PlayerPosition(m.AktPlayer) < 3800) vt.advance(50);
        g.setRow(zeile);
        m.EnableButtons();
        vt.setPumpStep(400);
    };

    // A plain hand-over: kurz0 goes, kurz2 stays marked.
    kurzVorDemWechsel(3);
    vt.setPumpStep(1);
    vt.advance(400);
    EXPECT_EQ(playlist(g.Row(), 4), kurz2);

    // lang1 moved down below lang2 while kurz1 hands over.
    kurzVorDemWechsel(4);
    ASSERT_EQ(playlist(4, 4), lang1);
    m.cmdHoch_Click(1);
    vt.setPumpStep(1);
    ASSERT_EQ(playlist(1, 4), kurz2);
    EXPECT_EQ(playlist(g.Row(), 4), lang1);

    // lang2 deleted while kurz2 hands over: the song after it, lang1, moves up into the marking
    // and keeps it when kurz2 goes.
    kurzVorDemWechsel(3);
    m.Loeschen();
    vt.setPumpStep(1);
    ASSERT_EQ(playlistRows(), 3);
    EXPECT_EQ(g.Row(), 2);
    EXPECT_EQ(playlist(2, 4), lang1);
}

}  // namespace
