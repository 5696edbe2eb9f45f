// Taking archive songs over into the playlist, the button states and the time bar.
#include "music_support.h"

#include "platform/twipsgeom.h"

namespace {

using TakeOver = MusicTest;

TEST_F(TakeOver, AppendsTheRowWithPlaceholderStartAndDefaultDuration) {
    frmMain& m = main();
    m.Timer1->setEnabled(false);
    const int a = archiveSong("a.mp3", 1000, "03:20");
    const int b = archiveSong("b.mp3", 1000);
    queue(a);
    queue(b);
    ASSERT_EQ(playlistRows(), 2);
    EXPECT_EQ(playlist(1, 0), "a.mp3");
    EXPECT_EQ(playlist(1, 1), "Band");
    EXPECT_EQ(playlist(1, 4), m.MSFlexGrid1->TextMatrix(a, 4));
    EXPECT_EQ(playlist(1, 5), "03:20");
    EXPECT_EQ(playlist(2, 5), "05:00");
    // Before any start row 1 shows the zero date; later rows count from now.
    EXPECT_EQ(playlist(1, 3), "00:00");
    EXPECT_EQ(playlist(2, 3), "20:03");
    EXPECT_EQ(m.MSFlexGrid2->Row(), 2);
    EXPECT_EQ(m.MSFlexGrid2->ColSel(), m.MSFlexGrid2->Cols() - 1);
    EXPECT_EQ(m.lblStartmeldung->text(), "");
}

TEST_F(TakeOver, DuplicateIsSelectedAndReportedForTwoSeconds) {
    frmMain& m = main();
    m.Timer1->setEnabled(false);
    const int a = archiveSong("a.mp3", 1000);
    queue(a);
    queue(archiveSong("b.mp3", 1000));
    queue(a);
    EXPECT_EQ(playlistRows(), 2);
    EXPECT_EQ(m.MSFlexGrid2->Row(), 1);
    EXPECT_EQ(m.lblStartmeldung->text(), "Bereits in Playliste vorhanden!");
    EXPECT_EQ(m.lblStartmeldung2->text(), "");
    EXPECT_TRUE(!m.Frame1->isHidden());
    vt.advance(1999);
    EXPECT_TRUE(!m.Frame1->isHidden());
    vt.advance(1);
    EXPECT_FALSE(!m.Frame1->isHidden());
    // The same file by a path in other letters is another song.
    const int upper = archivePath(m.MSFlexGrid1->TextMatrix(a, 4).toUpper());
    m.MSFlexGrid1->setTextMatrix(upper, 0, QStringLiteral("A"));
    queue(upper);
    EXPECT_EQ(playlistRows(), 3);
}

TEST_F(TakeOver, LimitCountsThePlayingSongAndNamesLiedOrLieder) {
    frmMain& m = main();
    const int a = archiveSong("a.mp3", 60000);
    const int b = archiveSong("b.mp3", 60000);
    const int c = archiveSong("c.mp3", 60000);
    frmStart::instance().cmbAnzahl->setCurrentIndex(1);
    queue(a);
    vt.advance(1000);  // a plays
    queue(b);
    EXPECT_EQ(playlistRows(), 1);
    EXPECT_EQ(m.lblStartmeldung->text(), "Begrenzung auf 1 Lied!");
    EXPECT_EQ(m.lblStartmeldung2->text(), "");
    vt.advance(1999);
    EXPECT_TRUE(!m.Frame1->isHidden());
    vt.advance(1);
    EXPECT_FALSE(!m.Frame1->isHidden());
    frmStart::instance().cmbAnzahl->setCurrentIndex(2);
    queue(b);
    queue(c);
    EXPECT_EQ(playlistRows(), 2);
    EXPECT_EQ(m.lblStartmeldung->text(), "Begrenzung auf 2 Lieder!");
    // The limit comes before the duplicate test.
    queue(a);
    EXPECT_EQ(m.lblStartmeldung->text(), "Begrenzung auf 2 Lieder!");
}

TEST_F(TakeOver, ClosedLockEmptyArchiveAndUntitledRowAreRefusedSilently) {
    frmMain& m = main();
    m.Timer1->setEnabled(false);
    queue(1);  // the archive's blank placeholder row
    EXPECT_EQ(playlistRows(), 0);
    const int a = archiveSong("a.mp3", 1000);
    m.Schloss->setProperty("Tag", QStringLiteral("Zu"));
    m.lblStartmeldung->setText(QStringLiteral("alt"));
    queue(a);
    EXPECT_EQ(playlistRows(), 0);
    EXPECT_FALSE(m.Uebernehmen->Enabled());
    EXPECT_EQ(m.lblStartmeldung->text(), "alt");
    m.Schloss->setProperty("Tag", QStringLiteral("Auf"));
    m.MSFlexGrid1->setTextMatrix(a, 0, QString());
    queue(a);
    EXPECT_EQ(playlistRows(), 0);
    EXPECT_TRUE(m.Uebernehmen->Enabled());
}

TEST_F(TakeOver, ButtonStatesFollowRowsLockAndChannel) {
    frmMain& m = main();
    m.FadingSekunden = 10;
    for (int i = 0; i < 3; ++i) queue(archiveSong(QStringLiteral("s%1.mp3").arg(i), 60000));
    vt.advance(1000);
    kioskgrid::FlexGrid& g2 = *m.MSFlexGrid2;
    auto state = [&] {
        QString s;
        for (Funbutton* b : {m.Uebernehmen, m.cmdHoch[0], m.cmdHoch[1], m.cmdLoeschen, m.FunbuttonArchivNav[0],
                             m.FunbuttonArchivNav[1], m.FunbuttonArchivNav[2], m.FunbuttonArchivNav[3]})
            s += b->Enabled() ? u'1' : u'0';
        return s;
    };
    m.MSFlexGrid1->setRow(1);
    g2.setRow(1);
    m.EnableButtons();
    EXPECT_EQ(state(), "10010101");
    g2.setRow(2);
    m.MSFlexGrid1->setRow(2);
    m.EnableButtons();
    EXPECT_EQ(state(), "10111111");
    g2.setRow(3);
    m.MSFlexGrid1->setRow(3);
    m.EnableButtons();
    EXPECT_EQ(state(), "11011010");
    m.Schloss->setProperty("Tag", QStringLiteral("Zu"));
    m.EnableButtons();
    EXPECT_EQ(state(), "00001010");
    m.Schloss->setProperty("Tag", QStringLiteral("Auf"));
    // Empty playlist: the trash can stays while the channel still plays, and goes once it is paused.
    g2.setRows(1);
    m.EnableButtons();
    EXPECT_EQ(state(), "10011000");
    PlayerPause(m.AktPlayer);
    m.EnableButtons();
    EXPECT_EQ(state(), "10001000");
}

TEST_F(TakeOver, TimeBarScalesTheSongAndMovesTheMarker) {
    frmMain& m = main();
    m.FadingSekunden = 10;
    m.resize(1024, 768);
    const int a = archiveSong("a.mp3", 300000);
    queue(a);
    queue(archiveSong("b.mp3", 50000));
    vt.advance(1000);
    const int W = m.width() * 15 - 2 * platform::TwLeft(m.Balken);
    EXPECT_NEAR(platform::TwWidth(m.Balken), W / 2, 15);
    EXPECT_EQ(m.Balkentext->text(), " 05:00   a.mp3");
    const int left0 = platform::TwLeft(m.Balken) - platform::TwWidth(m.Positionsgrafik) / 2;
    vt.advance(59750);
    m.Zeitbalken();
    EXPECT_NEAR(platform::TwLeft(m.Positionsgrafik), left0 + PlayerPosition(1) / 600000.0 * W, 15);
    // The 50-second song shows its length alone.
    ASSERT_TRUE(runUntil([&] { return m.AktPlayer == 0; }, 300000));
    vt.advance(250);
    EXPECT_EQ(m.Balkentext->text(), " 00:50");
    // Played out with an empty list: caption empty, marker at the bar's left end.
    ASSERT_TRUE(runUntil([&] { return playlistRows() == 0; }, 60000));
    vt.advance(500);
    EXPECT_EQ(m.Balkentext->text(), "");
    EXPECT_NEAR(platform::TwLeft(m.Positionsgrafik), left0, 15);
}

}  // namespace
