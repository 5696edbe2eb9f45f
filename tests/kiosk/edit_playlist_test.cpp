// Editing the playlist: moves that never touch row 1, deletes that skip or stop the
// music, the press rule of the touch buttons, and the form's keys and right click.
#include "music_support.h"

#include <QApplication>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>

namespace {

class PlaylistEdit : public MusicTest {
protected:
    // Four queued songs of two minutes; the first plays on channel 1.
    void fourPlaying() {
        frmMain& m = main();
        m.FadingSekunden = 10;
        for (const char* n : {"a.mp3", "b.mp3", "c.mp3", "d.mp3"}) queue(archiveSong(n, 120000));
        ASSERT_TRUE(runUntil([] { return PlayerStatus(1) == 2; }, 2000));
        for (int r = 1; r <= 4; ++r) path[r] = playlist(r, 4);
    }
    static QStringList order() {
        QStringList l;
        for (int r = 1; r <= playlistRows(); ++r) l << playlist(r, 0).trimmed();
        return l;
    }
    // A press of the button with the button forced on, so only the row rules decide.
    static void move(int row, int16_t index) {
        frmMain& m = main();
        m.MSFlexGrid2->setRow(row);
        m.cmdHoch[index]->setEnabled(true);
        m.cmdHoch_Click(index);
    }
    // To the control with the focus, as a keyboard sends it; the form sees it first.
    static void key(int qtKey) {
        QWidget* target = QApplication::focusWidget();
        if (!target || target->window() != &main()) target = &main();
        QKeyEvent e(QEvent::KeyPress, qtKey, Qt::NoModifier);
        QCoreApplication::sendEvent(target, &e);
    }
    QString path[5];
};

TEST_F(PlaylistEdit, RowOneNeverMovesAndRowsMoveWhole) {
    fourPlaying();
    frmMain& m = main();
    const QStringList start = order();
    move(2, 0);  // up into row 1
    move(1, 1);  // row 1 down
    move(4, 1);  // last row down
    EXPECT_EQ(order(), start);

    m.MSFlexGrid2->setTextMatrix(3, 5, QStringLiteral("02:00"));
    QStringList moved;
    for (int c = 0; c < 6; ++c) moved << playlist(3, c);
    move(3, 0);
    EXPECT_EQ(order(), (QStringList{"a.mp3", "c.mp3", "b.mp3", "d.mp3"}));
    EXPECT_EQ(m.MSFlexGrid2->Row(), 2);
    EXPECT_EQ(m.MSFlexGrid2->ColSel(), m.MSFlexGrid2->Cols() - 1);
    for (int c = 0; c < 6; ++c) {
        if (c == 3) continue;  // the start time is computed anew
        EXPECT_EQ(playlist(2, c), moved[c]) << c;
    }

    move(2, 1);
    EXPECT_EQ(order(), start);
    EXPECT_EQ(m.MSFlexGrid2->Row(), 3);

    // A disabled button does nothing, whatever the row.
    m.MSFlexGrid2->setRow(3);
    m.cmdHoch[0]->setEnabled(false);
    m.cmdHoch_Click(0);
    EXPECT_EQ(order(), start);
    EXPECT_EQ(PlayerDatei(1), path[1]);
    EXPECT_TRUE(testenv::reportedErrors().empty());
}

TEST_F(PlaylistEdit, DeletingRowOneSkipsAtOnceOnTheSameChannelOthersLeaveTheMusic) {
    fourPlaying();
    frmMain& m = main();
    m.MSFlexGrid2->setRow(3);
    m.Loeschen();
    EXPECT_EQ(order(), (QStringList{"a.mp3", "b.mp3", "d.mp3"}));
    EXPECT_EQ(PlayerDatei(1), path[1]);
    EXPECT_GT(PlayerPosition(1), 0);

    m.MSFlexGrid2->setRow(1);
    m.Loeschen();
    EXPECT_EQ(order(), (QStringList{"b.mp3", "d.mp3"}));
    EXPECT_EQ(m.AktPlayer, 1);
    EXPECT_EQ(PlayerDatei(1), path[2]);
    EXPECT_EQ(PlayerStatus(1), 2);
    EXPECT_LT(PlayerPosition(1), 1000);
    EXPECT_EQ(m.AktuelleDatei, path[2]);
    EXPECT_EQ(m.AktuelleZeile, 1);
}

TEST_F(PlaylistEdit, DeletingTheOnlyRowLetsItPlayOutASecondPressStopsIt) {
    frmMain& m = main();
    queue(archiveSong("a.mp3", 120000));
    ASSERT_TRUE(runUntil([] { return PlayerStatus(1) == 2; }, 2000));
    m.MSFlexGrid2->setRow(1);
    m.Loeschen();
    EXPECT_EQ(playlistRows(), 0);
    EXPECT_EQ(PlayerStatus(1), 2);
    EXPECT_EQ(m.AktuelleDatei, "");
    EXPECT_TRUE(m.cmdLoeschen->Enabled());

    m.cmdLoeschen_MouseDown(1, 0, 0, 0);
    EXPECT_EQ(PlayerStatus(1), 0);
    EXPECT_EQ(PlayerDatei(1), "");
    EXPECT_FALSE(m.cmdLoeschen->Enabled());
    vt.advance(1000);
    EXPECT_EQ(PlayerDatei(0), "");
    EXPECT_EQ(PlayerDatei(1), "");
}

TEST_F(PlaylistEdit, ARandomSongFollowsADeleteThatEmptiesThePlaylist) {
    frmMain& m = main();
    frmStart::instance().chkZufall->setChecked(true);
    m.Zufallszahl = [] { return 0.0; };  // row 1 unless that song sounds
    const int a = archiveSong("a.mp3", 120000);
    const int b = archiveSong("b.mp3", 120000);
    const QString pa = m.MSFlexGrid1->TextMatrix(a, 4), pb = m.MSFlexGrid1->TextMatrix(b, 4);
    queue(a);
    ASSERT_TRUE(runUntil([] { return PlayerStatus(1) == 2; }, 2000));
    m.MSFlexGrid2->setRow(1);
    m.Loeschen();
    ASSERT_EQ(playlistRows(), 1);
    // a, deleted but still playing, is passed over: it would start again from its beginning.
    EXPECT_EQ(playlist(1, 4), pb);
    EXPECT_EQ(PlayerDatei(1), pb);
    EXPECT_EQ(PlayerStatus(1), 2);
    // Taken over as a guest's song is: marked, under the trash can.
    EXPECT_EQ(m.MSFlexGrid2->Row(), 1);
    ASSERT_TRUE(m.cmdLoeschen->Enabled());
    m.cmdLoeschen_MouseDown(1, 0, 0, 0);
    ASSERT_EQ(playlistRows(), 1);
    EXPECT_EQ(PlayerDatei(1), pa);
    EXPECT_EQ(PlayerStatus(1), 2);
}

// When the play loop takes the marked song away nothing stays marked, and neither the trash can
// nor Delete hits a song no guest marked. A guest's own delete marks the song that moves up into
// the place, a tap marks a row anew, and an operator's rescan leaves the marking where it is.
TEST_F(PlaylistEdit, TheTrashHitsTheMarkedSongAndAfterADeleteTheOneThatMovedUp) {
    frmMain& m = main();
    m.show();
    kioskgrid::FlexGrid& g = *m.MSFlexGrid2;
    m.FadingSekunden = 2;
    queue(archiveSong("a.mp3", 6000));
    for (const char* n : {"b.mp3", "c.mp3", "d.mp3", "e.mp3", "f.mp3"}) queue(archiveSong(n, 60000));
    ASSERT_TRUE(runUntil([] { return PlayerStatus(1) == 2; }, 2000));
    const QStringList q = queuePaths();
    const auto trash = [&] {
        m.cmdLoeschen_MouseDown(1, 0, 0, 0);
        key(Qt::Key_Delete);
    };
    // The playing song is marked by a tap and hands over; the trash comes 0.45 s into the next one.
    tapCell(g, 1, 0);
    ASSERT_EQ(g.Row(), 1);
    ASSERT_TRUE(runUntil([] { return playlistRows() == 5; }, 6000));
    vt.advance(450);
    EXPECT_EQ(g.Row(), 0);
    EXPECT_FALSE(m.cmdLoeschen->Enabled());
    EXPECT_FALSE(m.cmdHoch[1]->Enabled());
    trash();
    EXPECT_EQ(queuePaths(), q.mid(1));
    EXPECT_EQ(PlayerDatei(m.AktPlayer), q[1]);
    EXPECT_EQ(PlayerStatus(m.AktPlayer), 2);

    // A tap on row 3 and Delete twice: the row, then the song that moved up into its place.
    tapCell(g, 3, 0);
    EXPECT_TRUE(m.cmdLoeschen->Enabled());
    EXPECT_TRUE(m.cmdHoch[0]->Enabled());
    EXPECT_TRUE(m.cmdHoch[1]->Enabled());
    key(Qt::Key_Delete);
    EXPECT_EQ(queuePaths(), (QStringList{q[1], q[2], q[4], q[5]}));
    EXPECT_EQ(playlist(g.Row(), 4), q[4]);
    key(Qt::Key_Delete);
    EXPECT_EQ(queuePaths(), (QStringList{q[1], q[2], q[5]}));
    EXPECT_EQ(playlist(g.Row(), 4), q[5]);

    frmStart::instance().Text1->setText(dir);
    m.menuNeuEinlesen_Click();
    ASSERT_EQ(m.MSFlexGrid1->Rows() - 1, 6);
    EXPECT_EQ(playlist(g.Row(), 4), q[5]);
    m.cmdLoeschen_MouseDown(1, 0, 0, 0);
    EXPECT_EQ(queuePaths(), (QStringList{q[1], q[2]}));
    EXPECT_EQ(PlayerDatei(m.AktPlayer), q[1]);
    EXPECT_EQ(PlayerStatus(m.AktPlayer), 2);
    EXPECT_TRUE(testenv::reportedErrors().empty());
}

TEST_F(PlaylistEdit, PressRuleOfTheTrashCan) {
    fourPlaying();
    frmMain& m = main();
    frmStart& s = frmStart::instance();
    m.EnableButtons();
    const auto press = [&](int16_t button) {
        m.MSFlexGrid2->setRow(playlistRows());
        const int before = playlistRows();
        m.cmdLoeschen_MouseDown(button, 0, 0, 0);
        return before - playlistRows();
    };
    s.chkRechteMaustaste->setChecked(true);
    EXPECT_EQ(press(2), 0);
    EXPECT_EQ(press(1), 1);
    s.chkMuelleimer->setChecked(true);
    EXPECT_EQ(press(1), 0);
    EXPECT_EQ(press(2), 0);
    EXPECT_FALSE(m.cmdLoeschen->Enabled());
    s.chkRechteMaustaste->setChecked(false);
    m.cmdLoeschen->setEnabled(true);
    EXPECT_EQ(press(2), 1);
    // The same rule for the arrows: left presses do nothing with "right button only".
    m.MSFlexGrid2->setRow(2);
    m.EnableButtons();
    m.cmdHoch_MouseDown(1, 1, 0, 0, 0);
    EXPECT_EQ(playlist(2, 4), path[2]);
}

TEST_F(PlaylistEdit, KeysAndRightClick) {
    fourPlaying();
    frmMain& m = main();
    m.MSFlexGrid2->setRow(4);
    m.cmdLoeschen->setEnabled(false);
    key(Qt::Key_Delete);
    EXPECT_EQ(playlistRows(), 4);
    m.cmdLoeschen->setEnabled(true);
    key(Qt::Key_Delete);
    EXPECT_EQ(playlistRows(), 3);

    key(Qt::Key_F5);
    EXPECT_EQ(PlayerStatus(1), 1);
    key(Qt::Key_F5);
    EXPECT_EQ(PlayerStatus(1), 2);

    // A right press on the free area pops the operator's menu up, unless switched off.
    m.resize(1024, 768);
    QPoint frei(-1, -1);
    for (int y = 0; y < m.height() && frei.x() < 0; y += 4)
        for (int x = 0; x < m.width(); x += 4)
            if (!m.childAt(x, y)) {
                frei = QPoint(x, y);
                break;
            }
    ASSERT_GE(frei.x(), 0);
    const auto rightPress = [&] {
        QMouseEvent e(QEvent::MouseButtonPress, QPointF(frei), m.mapToGlobal(QPointF(frei)), Qt::RightButton,
                      Qt::RightButton, Qt::NoModifier);
        QCoreApplication::sendEvent(&m, &e);
    };
    MenuCount menus;
    platform::setAnswerer(&menus);
    frmStart::instance().chkRechteMaustaste->setChecked(true);
    rightPress();
    EXPECT_TRUE(menus.shown.empty());
    frmStart::instance().chkRechteMaustaste->setChecked(false);
    rightPress();
    EXPECT_EQ(menus.shown, std::vector<const QMenu*>{frmStart::instance().menuKontext});
    platform::setAnswerer(&testenv::dialogs());

    // F12 quits, also with right clicks switched off.
    frmStart::instance().chkRechteMaustaste->setChecked(true);
    key(Qt::Key_F12);
    EXPECT_TRUE(ProgrammEnde);
    EXPECT_TRUE(testenv::reportedErrors().empty());
}

}  // namespace

namespace {

TEST_F(PlaylistEdit, DoubleClickShowsTheSongInTheArchiveSortedByArtist) {
    frmMain& m = main();
    const QString gone = dir + "/weg.mp3";
    for (const char* n : {"x.mp3", "y.mp3", "z.mp3"}) archiveSong(n, 120000);
    queue(1);
    queue(3);
    m.MSFlexGrid2->setRow(2);
    int16_t enter = 13;
    m.MSFlexGrid2_KeyDown(enter, 0);
    EXPECT_EQ(m.SortierSpalte, 1);
    const int r = m.MSFlexGrid1->Row();
    EXPECT_EQ(m.MSFlexGrid1->TextMatrix(r, 4), playlist(2, 4));
    EXPECT_EQ(m.ArchivZeile, r);
    EXPECT_EQ(m.MSFlexGrid1->ColSel(), m.MSFlexGrid1->Cols() - 1);

    // A queued file that the archive no longer holds moves nothing.
    m.MSFlexGrid2->setTextMatrix(1, 4, gone);
    m.MSFlexGrid2->setRow(1);
    m.SortierSpalte = 0;
    m.MSFlexGrid2_DblClick();
    EXPECT_EQ(m.SortierSpalte, 1);
    EXPECT_EQ(m.ArchivZeile, r);
    EXPECT_TRUE(testenv::reportedErrors().empty());
}

}  // namespace
