// Colours and layout of the main screen, and how it looks to a guest.
#include "main_support.h"

#include "platform/twipsgeom.h"

#include <QCoreApplication>
#include <QImage>

using platform::RGB;
using platform::TwHeight;
using platform::TwLeft;
using platform::TwTop;

namespace {

using Screen = MainScreenTest;

int32_t textColour(const QLabel* l) { return platform::fromQColor(l->palette().color(QPalette::WindowText)); }

TEST_F(Screen, TitleLabelsAreBlackOrWhiteByTheBackgroundsBrightness) {
    frmMain& m = main();
    const int32_t own = textColour(m.Label5);
    struct Case {
        int32_t back;
        int32_t text;
    };
    // Pure blue or a deep red is dark although one part is far above 120; yellow and grey 160 are light.
    const Case cases[] = {{RGB(0, 0, 255), RGB(255, 255, 255)},     {RGB(0, 0, 119), RGB(255, 255, 255)},
                          {RGB(200, 0, 0), RGB(255, 255, 255)},     {RGB(0, 200, 0), RGB(0, 0, 0)},
                          {RGB(160, 160, 160), RGB(0, 0, 0)},       {RGB(255, 255, 0), RGB(0, 0, 0)}};
    for (const Case& c : cases) {
        m.Einfaerben(c.back, RGB(200, 200, 0));
        EXPECT_EQ(m.BackColor(), c.back);
        for (QLabel* l : {m.Label1, m.Label2, m.Label3, m.Label4}) EXPECT_EQ(textColour(l), c.text) << c.back;
        EXPECT_EQ(textColour(m.Label5), own);
    }
}

TEST_F(Screen, ColoursReachGridsFrameAndBarButFacesStayAsFirstRendered) {
    frmStart& s = frmStart::instance();
    frmMain& m = main();
    const QImage face = m.Uebernehmen->Flaeche(0);
    const int32_t shadow = m.FunbuttonArchivNav[0]->Schattenfarbe();
    s.PicFarbe->setBackColor(RGB(10, 200, 90));
    s.PicHintergrundfarbe->setBackColor(RGB(90, 80, 200));
    m.Einfaerben(RGB(30, 40, 50), RGB(10, 200, 90));
    EXPECT_EQ(m.MSFlexGrid1->BackColor(), RGB(30, 40, 50));
    EXPECT_EQ(m.MSFlexGrid2->ForeColor(), RGB(10, 200, 90));
    EXPECT_EQ(m.MSFlexGrid2->BackColorSel(), RGB(10, 200, 90));
    EXPECT_EQ(platform::fromQColor(m.Frame1->palette().color(QPalette::Window)), RGB(90, 80, 200));
    EXPECT_EQ(textColour(m.lblStartmeldung), RGB(10, 200, 90));
    EXPECT_EQ(frmMain::BalkenFarbe(m.Balken), RGB(10, 200, 90));
    for (Funbutton* b : m.touchButtons()) EXPECT_EQ(b->ColorMy, RGB(10, 200, 90));
    EXPECT_EQ(m.Uebernehmen->Flaeche(0), face);
    EXPECT_EQ(m.FunbuttonArchivNav[0]->Schattenfarbe(), shadow);
}

TEST_F(Screen, NoButtonIsInitialisedDuringShutDown) {
    frmMain::resetForTests();
    ProgrammEnde = true;
    frmMain& m = main();
    EXPECT_EQ(m.Uebernehmen->IniState(), 0);
}

using Layout = MainScreenTest;

TEST_F(Layout, A1024By768WindowWithoutALockGivesTheDesignedPlaces) {
    frmMain& m = sized(1024, 768, 10);
    ASSERT_TRUE(m.Schloss->isHidden());  // no password
    kioskgrid::FlexGrid& g1 = *m.MSFlexGrid1;
    kioskgrid::FlexGrid& g2 = *m.MSFlexGrid2;
    EXPECT_EQ(g1.Width(), 13560);
    EXPECT_EQ(g1.Height(), 4860);
    EXPECT_EQ(g2.Width(), 10440);
    EXPECT_EQ(g2.Height(), 4260);
    EXPECT_EQ(g2.Top(), 5700);
    const int a[4] = {5104, 5104, 2552, 800}, p[4] = {3856, 3856, 1928, 800};
    for (int c = 0; c < 4; ++c) {
        EXPECT_EQ(g1.ColWidth(c), a[c]);
        EXPECT_EQ(g2.ColWidth(c), p[c]);
    }
    EXPECT_EQ(TwLeft(m.FunbuttonArchivNav[0]), 14100);
    EXPECT_EQ(TwTop(m.FunbuttonArchivNav[0]), 1020);
    EXPECT_EQ(TwTop(m.FunbuttonArchivNav[1]), 4185);
    EXPECT_EQ(TwLeft(m.FunbuttonArchivNav[2]), 14115);
    EXPECT_EQ(TwTop(m.FunbuttonArchivNav[2]), 6000);
    EXPECT_EQ(TwTop(m.FunbuttonArchivNav[3]), 8745);
    EXPECT_EQ(TwTop(m.Uebernehmen), 5700);
    EXPECT_EQ(TwTop(m.cmdSmilie), 7125);
    EXPECT_EQ(TwTop(m.cmdFragezeichen), 8340);
    EXPECT_EQ(TwTop(m.cmdHoch[1]), 6885);
    EXPECT_EQ(TwTop(m.cmdLoeschen), 7920);
    EXPECT_EQ(TwLeft(m.cmdLoeschen), 12780);
    EXPECT_EQ(TwTop(m.Positionsgrafik), 10050);
    EXPECT_EQ(TwTop(m.Balken), 10770);
    EXPECT_EQ(TwTop(m.Label2), 10770);
    EXPECT_EQ(TwLeft(m.Label2), 11175);
    EXPECT_EQ(TwLeft(m.txtSortierung), 5542);  // 7680 - 2137.5, half to even
    EXPECT_EQ(TwLeft(m.Frame1), 4402);          // 7680 - 3277.5
    EXPECT_EQ(TwTop(m.Frame1), 4582);           // 5760 - 1177.5
    EXPECT_EQ(m.ScrollAbstand, 5);
}

// The lock's room beside the note is taken from the archive only while the lock shows,
// and each hand-over lays the screen out anew, without a change of its size.
TEST_F(Layout, TheLocksRoomFollowsThePasswordOfEachHandOver) {
    frmStart& s = start(songFolder("lockroom", 2));
    s.chkFenster->setChecked(false);
    s.txtPasswort->setText("geheim");
    s.cmdOK_Click();
    frmMain& m = main();
    // The layout measures the outer size, frame included.
    m.resize(QSize(1024, 768) - (m.frameGeometry().size() - m.size()));
    QCoreApplication::processEvents();
    ASSERT_EQ(m.Width(), 15360);
    ASSERT_EQ(m.Height(), 11520);
    // Archive height, playlist top and height; the note stays where it is.
    const auto plaetze = [&m] {
        EXPECT_EQ(TwTop(m.Positionsgrafik), 10050);
        return std::array<int, 3>{m.MSFlexGrid1->Height(), m.MSFlexGrid2->Top(), m.MSFlexGrid2->Height()};
    };
    ASSERT_FALSE(m.Schloss->isHidden());
    // The right column with the lock (4920 high) would reach 570 into the note's lane
    // under a playlist of 4260: the playlist takes them from the archive.
    EXPECT_EQ(plaetze(), (std::array<int, 3>{4290, 5130, 4830}));
    EXPECT_EQ(TwTop(m.Schloss), TwTop(m.cmdLoeschen) + TwHeight(m.cmdLoeschen));
    EXPECT_EQ(TwLeft(m.Schloss), 12780);

    // The password cleared while the lock is closed: the next hand-over opens and hides the
    // lock, and gives the archive back.
    m.SchlossProzedur2();
    ASSERT_EQ(m.Schloss->property("Tag").toString(), "Zu");
    s.txtPasswort->setText("");
    s.cmdOK_Click();
    ASSERT_EQ(m.Height(), 11520);
    ASSERT_TRUE(m.Schloss->isHidden());
    EXPECT_TRUE(m.Schloss2->isHidden());
    EXPECT_EQ(m.Schloss->property("Tag").toString(), "Auf");
    EXPECT_TRUE(m.Uebernehmen->isEnabled());
    EXPECT_EQ(plaetze(), (std::array<int, 3>{4860, 5700, 4260}));
}

TEST_F(Layout, LargeFontsWidenTheFourthColumnOfBothGrids) {
    for (int font : {12, 18}) {
        frmMain& m = sized(1024, 768, font);
        const int c3 = m.MSFlexGrid1->ColWidth(3);
        EXPECT_GE(c3, 1200);
        EXPECT_EQ(m.MSFlexGrid2->ColWidth(3), c3);
        EXPECT_EQ(m.MSFlexGrid1->ColWidth(0), 4 * (13560 - c3) / 10);
    }
}

TEST_F(Layout, ScrollMarginIsHalfTheVisibleRowsAtMostTen) {
    frmMain& m = main();
    QString folder = songFolder("margin", 30);
    m.Einlesen(folder);
    m.show();
    m.resize(1024, 768);
    m.MSFlexGrid1->setTopRow(12);
    m.Form_Resize();
    EXPECT_EQ(m.MSFlexGrid1->TopRow(), 1);
    int visible = 0;
    for (int i = 1; i <= 20; ++i) visible += m.MSFlexGrid1->RowIsVisible(i) ? 1 : 0;
    EXPECT_GT(visible, 1);
    EXPECT_EQ(m.ScrollAbstand, visible / 2);
    m.resize(1024, 3000);
    m.Form_Resize();
    EXPECT_EQ(m.ScrollAbstand, 10);
}

TEST_F(Layout, TinyOrMinimisedWindowGivesNoError) {
    frmMain& m = main();
    m.show();
    m.resize(40, 30);
    m.Form_Resize();
    EXPECT_EQ(m.MSFlexGrid1->Width(), 0);
    EXPECT_EQ(m.MSFlexGrid2->Height(), 0);
    m.showMinimized();
    QCoreApplication::processEvents();
    m.Form_Resize();
    EXPECT_TRUE(testenv::reportedErrors().empty());
}

// Grabs the start dialog and the main screen as a guest sees them: into the scratch
// folder, or into MELOTRA_SCREENS=<folder> to keep them for a look.
TEST_F(Screen, GrabsOfTheStartDialogAndTheMainScreen) {
    const QString out = qEnvironmentVariableIsEmpty("MELOTRA_SCREENS") ? testenv::freshFolder(QStringLiteral("main_screens"))
                                                                        : qEnvironmentVariable("MELOTRA_SCREENS");
    QDir().mkpath(out);
    frmStart& s = start(songFolder("guest", 30));
    s.txtPasswort->setText("1234");
    // Not maximised: the offscreen screen is smaller than the kiosk's.
    s.chkFenster->setChecked(false);
    s.show();
    QCoreApplication::processEvents();
    ASSERT_TRUE(s.grab().save(out + "/start.png"));

    s.cmdOK_Click();
    frmMain& m = main();
    m.resize(1024, 768);
    QCoreApplication::processEvents();
    ASSERT_TRUE(m.isVisible());
    const QPixmap shot = m.grab();
    EXPECT_EQ(shot.size(), QSize(1024, 768));
    ASSERT_TRUE(shot.save(out + "/main.png"));
    vt.advance(5000);
    ASSERT_TRUE(m.grab().save(out + "/main_after.png"));
    EXPECT_EQ(m.MSFlexGrid1->Rows(), 31);
}

}  // namespace
