// The guest screen under real fingers: archive keys and taps, the arrow buttons, the
// re-marking after a sort, the lock's entry, the layout by the outer size and the
// pictures of the touch buttons.
#include "music_support.h"

#include "base/ErrPtnr.h"
#include "catalogue/frmMP3Tags.h"
#include "controls/ctlVirtuelleTastatur/ctlVirtuelleTastatur.h"
#include "platform/twips.h"
#include "platform/twipsgeom.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>

using platform::TwHeight;
using platform::TwLeft;
using platform::TwTop;
using platform::TwWidth;

namespace {

class Guest : public ShownScreenTest {
protected:
    void TearDown() override {
        frmMP3Tags::setModalHook(nullptr);
        frmStart::setZurueckHook(nullptr);
        ShownScreenTest::TearDown();
    }
    // n archive rows "T01" ... with a path each; numbers descend when reversed.
    static void rows(int n, bool reversed = false) {
        kioskgrid::FlexGrid& g = *main().MSFlexGrid1;
        g.setRows(n + 1);
        for (int r = 1; r <= n; ++r) {
            const QString t = QStringLiteral("T%1").arg(reversed ? n + 1 - r : r, 2, 10, QLatin1Char('0'));
            g.setTextMatrix(r, 0, t);
            g.setTextMatrix(r, 3, QStringLiteral("03:00"));
            g.setTextMatrix(r, 4, QStringLiteral("/lieder/") + t + QStringLiteral(".mp3"));
        }
    }
    // A key as the guest's keyboard sends it: to the widget with the focus, the form first.
    static void key(QWidget* target, int qtKey) {
        QKeyEvent e(QEvent::KeyPress, qtKey, Qt::NoModifier);
        QCoreApplication::sendEvent(target, &e);
    }
    static void formKey(int qtKey) {
        QWidget* target = QApplication::focusWidget();
        if (!target || target->window() != &main()) target = &main();  // offscreen windows may not be active
        key(target, qtKey);
    }
    // A press on the cell (row as shown, col) of the archive grid.
    static void tap(int row, int col, Qt::MouseButton b = Qt::LeftButton) { tapCell(*main().MSFlexGrid1, row, col, b); }
    static void letters(const QString& s) {
        for (QChar c : s) main().ctlVirtuelleTastatur1_KeyClick(QString(c));
    }
    static bool keyboardShown() { return main().ctlVirtuelleTastatur1->isVisible(); }
    static bool boxShown() { return main().txtSortierung->isVisible(); }
    // Rows "T01" ... with these durations, sorted by a tap on the Dauer header: their titles.
    static QStringList nachDauer(const QStringList& dauer) {
        kioskgrid::FlexGrid& g = *main().MSFlexGrid1;
        rows(static_cast<int>(dauer.size()));
        for (int r = 1; r <= dauer.size(); ++r) g.setTextMatrix(r, 3, dauer[r - 1]);
        tap(0, 3);
        QStringList titel;
        for (int r = 1; r <= dauer.size(); ++r) titel << g.TextMatrix(r, 0);
        return titel;
    }
};

TEST_F(Guest, ArchiveKeysOpenTheTagsTakeOverAndScrollOneRowAtATime) {
    frmMain& m = main();
    kioskgrid::FlexGrid& g = *m.MSFlexGrid1;
    rows(60);
    g.SetFocus();
    // Down on the last row in view: the view moves on by one row with it.
    g.setTopRow(1);
    int last = 1;
    while (g.RowIsVisible(last + 1)) ++last;
    g.setRow(last);
    key(&g, Qt::Key_Down);
    EXPECT_EQ(g.Row(), last + 1);
    EXPECT_GE(g.TopRow(), 2);
    EXPECT_LE(g.TopRow(), 3);  // a last row shown in part moves out of view with the next
    EXPECT_TRUE(g.RowIsVisible(last + 1));
    EXPECT_EQ(m.ArchivZeile, last);  // the row before the grid's own move
    // Up from a marked row above the view brings the view back to it.
    g.setTopRow(20);
    g.setRow(1);
    key(&g, Qt::Key_Up);
    EXPECT_EQ(g.TopRow(), 1);
    EXPECT_EQ(g.Row(), 1);
    // Right takes the marked song over, unless the lock is closed.
    g.setRow(7);
    key(&g, Qt::Key_Right);
    ASSERT_EQ(playlistRows(), 1);
    EXPECT_EQ(playlist(1, 0), "T07");
    m.Schloss->setProperty("Tag", QStringLiteral("Zu"));
    m.EnableButtons();
    g.setRow(8);
    key(&g, Qt::Key_Right);
    EXPECT_EQ(playlistRows(), 1);
    m.Schloss->setProperty("Tag", QStringLiteral("Auf"));
    m.EnableButtons();
    // Enter opens the tag editor for the marked song.
    const int lied = archiveSong("lied.mp3", 1000);
    g.setRow(lied);
    QString bearbeitet;
    frmMP3Tags::setModalHook([&](frmMP3Tags& t) {
        bearbeitet = t.Text1->text().trimmed();
        t.cmdAbbrechen_Click();
    });
    key(&g, Qt::Key_Return);
    EXPECT_EQ(bearbeitet, "lied.mp3");
    EXPECT_TRUE(testenv::reportedErrors().empty());
}

// A held key keeps moving through the rows, but its commands come once per press.
TEST_F(Guest, AHeldKeyRepeatsTheMovesButNotTheCommands) {
    frmMain& m = main();
    kioskgrid::FlexGrid& g = *m.MSFlexGrid1;
    const int a = archiveSong("a.mp3", 60000);
    const int b = archiveSong("b.mp3", 60000);
    m.Timer1->setEnabled(true);
    g.SetFocus();
    // Space: the song starts once and is not started again by the repeats.
    g.setRow(a);
    {
        HeldKey space(&g, Qt::Key_Space);
        ASSERT_TRUE(runUntil([&] { return PlayerStatus(m.AktPlayer) == 2; }, 2000));
        vt.advance(2000);
        space.repeat(4);
        vt.advance(250);
    }
    EXPECT_EQ(PlayerDatei(m.AktPlayer), g.TextMatrix(a, 4));
    EXPECT_GT(PlayerPosition(m.AktPlayer), 2000);
    // Right: taken over once, and no refusal for the repeats.
    g.setRow(b);
    heldKey(&g, Qt::Key_Right, 4);
    EXPECT_EQ(queuePaths(), (QStringList{g.TextMatrix(a, 4), g.TextMatrix(b, 4)}));
    EXPECT_NE(m.lblStartmeldung->text(), "Bereits in Playliste vorhanden!");
    // Enter: the tag editor once.
    int editoren = 0;
    frmMP3Tags::setModalHook([&](frmMP3Tags& t) {
        ++editoren;
        t.cmdAbbrechen_Click();
    });
    heldKey(&g, Qt::Key_Return, 4);
    EXPECT_EQ(editoren, 1);
    // Down and Up go on moving.
    rows(30);
    g.setRow(1);
    heldKey(&g, Qt::Key_Down, 9);
    EXPECT_EQ(g.Row(), 11);
    heldKey(&g, Qt::Key_Up, 5);
    EXPECT_EQ(g.Row(), 5);
    // Enter held in the playlist shows its song in the archive once, not sorting again and again.
    kioskgrid::FlexGrid& p = *m.MSFlexGrid2;
    p.SetFocus();
    p.setRow(1);
    ErrPtnr::ring().clear();
    heldKey(&p, Qt::Key_Return, 3);
    EXPECT_EQ(ErrPtnr::ring().entries().filter("[frmMain] Private Sub Sortieren(").size(), 1);
    EXPECT_TRUE(testenv::reportedErrors().empty());
}

TEST_F(Guest, DurationTapNeverMarksTheHeaderAndSpaceWithoutASongLeavesThePlaylist) {
    frmMain& m = main();
    kioskgrid::FlexGrid& g = *m.MSFlexGrid1;
    const int a = archiveSong("a.mp3", 60000);
    const int b = archiveSong("b.mp3", 60000);
    archiveSong("c.mp3", 60000);
    queue(a);
    queue(b);
    m.Timer1->setEnabled(true);
    ASSERT_TRUE(runUntil([&] { return PlayerStatus(m.AktPlayer) == 2; }, 2000));
    const QString spielt = PlayerDatei(m.AktPlayer);
    // Before any marking the Dauer header sorts and row 1 stays marked.
    g.setRow(1);
    ASSERT_EQ(m.ArchivZeile, 0);
    tap(0, 3);
    EXPECT_EQ(m.SortierSpalte, 3);
    EXPECT_EQ(g.Row(), 1);
    EXPECT_FALSE(keyboardShown());
    // Space with the header or a row without a song: nothing is queued, nothing stops.
    for (int zeile : {0, 4}) {
        if (zeile == 4) g.setRows(5);  // a blank row, as an emptied archive keeps one
        g.setRow(zeile);
        g.SetFocus();
        key(&g, Qt::Key_Space);
        EXPECT_EQ(playlistRows(), 2) << zeile;
        EXPECT_EQ(PlayerDatei(m.AktPlayer), spielt) << zeile;
        EXPECT_EQ(PlayerStatus(m.AktPlayer), 2) << zeile;
    }
    // A tap in the Dauer column of another song keeps the marked one.
    g.setRows(4);
    g.setRow(2);
    m.ArchivZeile = 2;
    tap(3, 3);
    EXPECT_EQ(g.Row(), 2);
    EXPECT_EQ(m.ArchivZeile, 2);
    tap(3, 0);
    EXPECT_EQ(m.ArchivZeile, 3);
}

TEST_F(Guest, TheDauerHeaderSortsLongSongsByTheirSeconds) {
    // The song not measured yet first, then 5, 20, 99:59, 100 and 123:45 minutes.
    EXPECT_EQ(nachDauer({"100:00", "20:00", "05:00", "", "123:45", "99:59"}),
              (QStringList{"T04", "T03", "T02", "T06", "T01", "T05"}));
}

// Texts the program never writes sort by the seconds they are read as everywhere else: blanks
// around, an older clock text rounded to whole seconds, and an invalid one as five minutes.
TEST_F(Guest, TheDauerHeaderReadsEveryTextAsThePlaylistDoes) {
    // 2, 180, 299, 300 and 300 in the order they stood, 301 seconds.
    EXPECT_EQ(nachDauer({"05:00", "Unsinn", " 03:00 ", "0:02:30", "04:59", "05:01"}),
              (QStringList{"T04", "T03", "T05", "T01", "T02", "T06"}));
}

TEST_F(Guest, RightClickInTheArchiveOpensTheOperatorMenuUnlessSwitchedOff) {
    frmMain& m = main();
    rows(5);
    m.MSFlexGrid1->setRow(2);
    m.ArchivZeile = 2;
    MenuCount menus;
    platform::setAnswerer(&menus);
    frmStart::instance().chkRechteMaustaste->setChecked(true);
    tap(4, 1, Qt::RightButton);
    EXPECT_TRUE(menus.shown.empty());
    frmStart::instance().chkRechteMaustaste->setChecked(false);
    tap(4, 1, Qt::RightButton);
    platform::setAnswerer(&testenv::dialogs());
    EXPECT_EQ(menus.shown, std::vector<const QMenu*>{frmStart::instance().menuKontext});
    EXPECT_EQ(playlistRows(), 0);
}

TEST_F(Guest, ArrowButtonsMoveOneRowAndKeepTheMargin) {
    frmMain& m = main();
    rows(60);
    kioskgrid::FlexGrid& p = *m.MSFlexGrid2;
    p.setRows(61);
    for (int r = 1; r <= 60; ++r) p.setTextMatrix(r, 0, QString::number(r));
    struct Fall {
        int16_t index;
        int row, top;        // before
        int newRow, newTop;  // after
    };
    const Fall faelle[] = {
        {0, 10, 8, 9, 7},   // archive up: the margin of 3 rows above the marking
        {0, 2, 2, 1, 1},    // archive up at the top: one row of view at a time
        {0, 1, 1, 1, 1},    // archive up on row 1: nothing moves
        {1, 3, 1, 4, 2},    // archive down
        {1, 60, 40, 60, 40},  // archive down on the last row: nothing moves
        {2, 10, 9, 9, 8},   // playlist up: a margin one row smaller
        {2, 1, 1, 1, 1},    // playlist up on row 1
        {3, 5, 4, 6, 5},    // playlist down
        {3, 60, 40, 60, 40},  // playlist down on the last row
    };
    m.ScrollAbstand = 3;
    for (const Fall& f : faelle) {
        kioskgrid::FlexGrid& g = f.index < 2 ? *m.MSFlexGrid1 : p;
        g.setRow(f.row);
        g.setTopRow(f.top);
        m.FunbuttonArchivNav_Click(f.index);
        EXPECT_EQ(g.Row(), f.newRow) << f.index << " " << f.row;
        EXPECT_EQ(g.TopRow(), f.newTop) << f.index << " " << f.row;
        EXPECT_EQ(g.RowSel(), g.Row());
        EXPECT_EQ(m.ArchivZeile, m.MSFlexGrid1->Row()) << f.index;
    }
    // The buttons follow: the playlist's last row disables its down arrow.
    EXPECT_FALSE(m.FunbuttonArchivNav[3]->Enabled());
    EXPECT_TRUE(m.FunbuttonArchivNav[2]->Enabled());
}

TEST_F(Guest, SortKeepsTheMarkedSongAtItsHeightInTheView) {
    frmMain& m = main();
    kioskgrid::FlexGrid& g = *m.MSFlexGrid1;
    struct Fall {
        int marked, top;   // before the sort; the title of row r is T(81 - r)
        int row, newTop;   // after
    };
    const Fall faelle[] = {
        {60, 57, 21, 18},  // three rows below the top before and after
        {75, 65, 6, 6},    // ten rows below the top: the song becomes the top row
        {75, 69, 6, 1},    // as many rows below the top as the song moves up: the view stays at the top
    };
    for (const Fall& f : faelle) {
        rows(80, true);
        g.setTopRow(f.top);
        g.setRow(f.marked);
        m.ArchivZeile = static_cast<int16_t>(f.marked);
        ASSERT_EQ(g.TopRow(), f.top);
        m.SortierSpalte = 0;
        m.Sortieren(false, true);
        EXPECT_EQ(g.Row(), f.row) << f.marked;
        EXPECT_EQ(m.ArchivZeile, f.row) << f.marked;
        EXPECT_EQ(g.TopRow(), f.newTop) << f.marked;
    }
}

TEST_F(Guest, F1StartsTheHelpTourAndF11GoesBackToTheStartDialog) {
    frmMain& m = main();
    m.MSFlexGrid1->SetFocus();
    bool lief = false;
    platform::VbTimer blick(nullptr, 1000, true);
    blick.onTimer = [&] { lief = lief || m.HilfeLaeuft; };
    const uint64_t vorher = vt.elapsed();
    formKey(Qt::Key_F1);
    blick.setEnabled(false);
    EXPECT_TRUE(lief);
    EXPECT_EQ(vt.elapsed() - vorher, 29000u);
    EXPECT_FALSE(m.HilfeLaeuft);
    rows(3);
    int zurueck = 0;
    frmStart::setZurueckHook([&](frmStart& s) {
        ++zurueck;
        s.cmdBeenden_Click();
    });
    formKey(Qt::Key_F11);
    EXPECT_EQ(zurueck, 1);
    EXPECT_EQ(m.MSFlexGrid1->Rows(), 2);  // the archive waits for the next scan
    EXPECT_FALSE(ProgrammEnde);
}

// ---- the lock ----------------------------------------------------------------------------

class Lock : public Guest {
protected:
    void SetUp() override {
        Guest::SetUp();
        frmStart::instance().txtPasswort->setText("geheim");
    }
    // Box and keyboard show and hide together, over the given time.
    void together(int ms) {
        for (int t = 0; t < ms; t += 50) {
            vt.advance(50);
            ASSERT_EQ(keyboardShown(), boxShown()) << t;
        }
    }
};

TEST_F(Lock, TheEntryGetsItsFullFiveSecondsAfterASearchAndHidesWithItsKeyboard) {
    frmMain& m = main();
    rows(3);
    // The search's five seconds are nearly up when the lock is tapped: the tick would
    // fall into the slide-in.
    m.Sortieren(true, false);
    const uint64_t taste = vt.elapsed();
    letters("T");  // restarts the five seconds first
    vt.advance(int64_t(taste + 4900 - vt.elapsed()));
    m.Schloss_Click();
    EXPECT_TRUE(keyboardShown());
    EXPECT_TRUE(boxShown());
    EXPECT_EQ(m.PasswordChar(), "#");
    together(4700);
    EXPECT_TRUE(keyboardShown());
    together(600);
    EXPECT_FALSE(keyboardShown());
    together(6000);
    EXPECT_FALSE(keyboardShown());
}

TEST_F(Lock, ATapServedDuringASlideStartsTheEntryCleanly) {
    frmMain& m = main();
    const int W = m.Width();
    const auto centred = [&] {
        const int left = TwLeft(m.txtSortierung);
        return left >= 0 && left + TwWidth(m.txtSortierung) <= W;
    };
    // A second tap on the lock while the first slide still runs.
    platform::VbTimer tap2(&m, 60, false);
    tap2.onTimer = [&] {
        tap2.setEnabled(false);
        m.Schloss_Click();
    };
    tap2.setEnabled(true);
    m.Schloss_Click();
    EXPECT_TRUE(keyboardShown());
    EXPECT_TRUE(boxShown());
    EXPECT_TRUE(centred()) << TwLeft(m.txtSortierung);
    // A tap during the slide-out: the new entry stays for its five seconds.
    vt.advance(6000);
    ASSERT_FALSE(boxShown());
    const uint64_t tick = vt.elapsed() + 5000;
    m.Schloss_Click();
    // The second tap comes 100 ms into the slide-out.
    tap2.setInterval(int(tick + 100 - vt.elapsed()));
    tap2.setEnabled(true);
    vt.advance(int64_t(tick - vt.elapsed()) + 300);
    EXPECT_TRUE(keyboardShown());
    EXPECT_TRUE(boxShown());
    EXPECT_TRUE(centred()) << TwLeft(m.txtSortierung);
    together(4500);
    EXPECT_TRUE(boxShown());
    together(1000);
    EXPECT_FALSE(boxShown());
}

TEST_F(Lock, ThePasswordNeverMovesTheMarkingNorShowsInTheTraceAndIsForgotten) {
    frmMain& m = main();
    kioskgrid::FlexGrid& g = *m.MSFlexGrid1;
    g.setRows(3);
    g.setTextMatrix(1, 0, "Alpha");
    g.setTextMatrix(2, 0, "Gold");
    g.setRow(1);
    m.ArchivZeile = 1;
    const int top = g.TopRow();
    m.Schloss_Click();
    for (QChar c : QStringLiteral("GEHEI")) {
        letters(QString(c));
        for (const QString& e : ErrPtnr::ring().entries()) {
            if (!e.startsWith(QStringLiteral("\tDaten:"))) continue;
            EXPECT_FALSE(e.mid(7).contains(c)) << e.toStdString();
        }
    }
    EXPECT_EQ(g.Row(), 1);
    EXPECT_EQ(m.ArchivZeile, 1);
    EXPECT_EQ(g.TopRow(), top);
    EXPECT_EQ(m.txtSortierung->text(), "GEHEI");
    EXPECT_EQ(m.txtSortierung->displayText(), "#####");
    // The entry times out: the typed letters go with it.
    vt.advance(5500);
    EXPECT_FALSE(boxShown());
    EXPECT_EQ(m.txtSortierung->text(), "");
    EXPECT_EQ(m.Schloss->property("Tag").toString(), "Auf");
    // Closing and opening clear it too.
    m.Schloss_Click();
    letters("GEHEIM");
    EXPECT_EQ(m.Schloss->property("Tag").toString(), "Zu");
    EXPECT_EQ(m.txtSortierung->text(), "");
    EXPECT_EQ(g.Row(), 1);
    m.Schloss2_Click();
    letters("GEHEIM");
    EXPECT_EQ(m.Schloss->property("Tag").toString(), "Auf");
    EXPECT_EQ(m.txtSortierung->text(), "");
    // The search still searches.
    vt.advance(6000);
    m.Sortieren(true, false);
    letters("G");
    EXPECT_EQ(g.TextMatrix(g.Row(), 0), "Gold");
}

// ---- layout ----------------------------------------------------------------------------

TEST_F(Lock, ClosedLockFollowsAResizeBesideTheTrashCan) {
    frmMain& m = main();
    m.Schloss_Click();
    letters("GEHEIM");
    ASSERT_TRUE(m.Schloss2->isVisible());
    m.resize(1280, 1024);
    m.Form_Resize();
    const int unterLoeschen = TwTop(m.cmdLoeschen) + TwHeight(m.cmdLoeschen);
    EXPECT_EQ(TwTop(m.Schloss), unterLoeschen);
    EXPECT_EQ(TwTop(m.Schloss2), unterLoeschen);
    EXPECT_EQ(TwLeft(m.Schloss2), TwLeft(m.cmdLoeschen));
    // Clear of the playlist.
    EXPECT_GE(TwLeft(m.Schloss2), m.MSFlexGrid2->Left() + m.MSFlexGrid2->Width());
}

// At 800 x 600 the lock stands in a column of its own beside the playlist: closing and
// opening leave it there, off the time bar below the trash can.
TEST_F(Lock, OnASmallScreenTheLockKeepsItsColumnWhenItClosesAndOpens) {
    frmMain& m = main();
    m.Schloss->show();
    m.resize(800, 600);
    m.Form_Resize();
    const QRect platz = m.Schloss->geometry();
    ASSERT_NE(TwLeft(m.Schloss), TwLeft(m.cmdLoeschen));
    m.Schloss_Click();
    letters("GEHEIM");
    ASSERT_TRUE(m.Schloss2->isVisible());
    EXPECT_EQ(m.Schloss2->geometry(), platz);
    m.Schloss2_Click();
    letters("GEHEIM");
    ASSERT_TRUE(m.Schloss->isVisible());
    EXPECT_EQ(m.Schloss->geometry(), platz);
    EXPECT_LT(platz.bottom(), m.Positionsgrafik->geometry().top());
}

TEST_F(Guest, LayoutAndSlidesMeasureTheOuterSizeOfTheWindow) {
    frmMain& m = main();
    m.resize(1000, 700);
    QCoreApplication::processEvents();
    const QSize aussen = m.frameGeometry().size();
    if (aussen == m.size()) GTEST_SKIP() << "no window frame on this platform";
    const int W = platform::pxToTwips(aussen.width());
    const int H = platform::pxToTwips(aussen.height());
    EXPECT_EQ(m.Width(), W);
    EXPECT_EQ(m.Height(), H);
    m.Form_Resize();
    EXPECT_EQ(m.MSFlexGrid1->Width(), W - 1800);
    EXPECT_EQ(m.MSFlexGrid2->Width(), W - 4920);
    EXPECT_EQ(TwLeft(m.Label2), W - 600 - TwWidth(m.Label2));
    rows(3);
    m.Sortieren(true, false);
    ctlVirtuelleTastatur& k = *m.ctlVirtuelleTastatur1;
    EXPECT_EQ(m.TastaturZielTop, H - k.Height() - 300);
    EXPECT_EQ(k.Top(), m.TastaturZielTop);
    EXPECT_NEAR(k.Left(), W / 2.0 - k.Width() / 2.0, 1);
}

// ---- pictures ------------------------------------------------------------------------

// The thirteen buttons' faces, each with its own symbol, match the golden picture (that the
// symbols fill their buttons is the pictures' own test).
using Pictures = MainScreenTest;

TEST_F(Pictures, TheThirteenFacesMatchTheGoldenPicture) {
    frmStart& s = frmStart::instance();
    s.PicFarbe->setBackColor(platform::RGB(60, 140, 230));
    s.PicHintergrundfarbe->setBackColor(platform::RGB(235, 225, 200));
    frmMain& m = main();
    const std::array<Funbutton*, 13> knoepfe = m.touchButtons();
    int breite = 0, hoehe = 0;
    for (Funbutton* b : knoepfe) {
        const QImage& f = b->Flaeche(0);
        ASSERT_EQ(f.size(), b->size()) << b->objectName().toStdString();
        breite += f.width();
        hoehe = std::max(hoehe, f.height());
    }
    QImage alle(breite, hoehe, QImage::Format_RGB32);
    alle.fill(Qt::white);
    {
        QPainter p(&alle);
        int x = 0;
        for (Funbutton* b : knoepfe) {
            p.drawImage(x, 0, b->Flaeche(0));
            x += b->width();
        }
    }
    const QString pfad = qEnvironmentVariable("MELOTRA_TEST_DATA") + "/kiosk/knoepfe.png";
    if (qEnvironmentVariableIsSet("MELOTRA_WRITE_GOLDEN")) {
        QDir().mkpath(QFileInfo(pfad).path());
        ASSERT_TRUE(alle.save(pfad));
    }
    const QImage gold(pfad);
    ASSERT_FALSE(gold.isNull()) << pfad.toStdString();
    EXPECT_EQ(alle, gold.convertToFormat(QImage::Format_RGB32));
}

}  // namespace
