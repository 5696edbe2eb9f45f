// F2 and F12 on the main screen, and its spare procedures.
#include "main_support.h"

#include "base/ErrPtnr.h"
#include "catalogue/frmMP3Tags.h"
#include "info/frmWerbung.h"
#include "kiosk/logic/tabelletext.h"
#include "platform/twipsgeom.h"

#include <QCoreApplication>
#include <QKeyEvent>

namespace {

class KeysAndSpares : public MainScreenTest {
protected:
    int gezeigt = 0;
    void SetUp() override {
        MainScreenTest::SetUp();
        frmWerbung::setShowHook([this](frmWerbung& f) {
            ++gezeigt;
            EXPECT_TRUE(f.isModal());
            f.close();
        });
    }
    void TearDown() override {
        frmWerbung::setShowHook({});
        MainScreenTest::TearDown();
    }
    static void key(int qtKey) {
        QKeyEvent e(QEvent::KeyPress, qtKey, Qt::NoModifier);
        QCoreApplication::sendEvent(&main(), &e);
    }
    static int trace(const QString& text) {
        int n = 0;
        for (const QString& e : ErrPtnr::ring().entries())
            if (e.contains(text)) ++n;
        return n;
    }
};

TEST_F(KeysAndSpares, F2OpensTheInformationPageAlsoDuringTheHelpTour) {
    frmMain& m = main();
    int waehrendTour = 0;
    platform::VbTimer mitten(nullptr, 3000, true);
    mitten.onTimer = [&] {
        mitten.setEnabled(false);
        ASSERT_TRUE(m.HilfeLaeuft);
        m.Label5_Click();  // the labels wait for the tour's end
        EXPECT_EQ(gezeigt, 0);
        key(Qt::Key_F2);
        waehrendTour = gezeigt;
    };
    m.cmdFragezeichen_Click();
    EXPECT_EQ(waehrendTour, 1);
    key(Qt::Key_F2);
    EXPECT_EQ(gezeigt, 2);
    EXPECT_FALSE(ProgrammEnde);
    EXPECT_TRUE(testenv::reportedErrors().empty());
}

TEST_F(KeysAndSpares, F12QuitsThroughTheQuitCommand) {
    frmMain& m = main();
    frmMP3Tags::instance();
    frmStart::instance().chkRechteMaustaste->setChecked(true);
    const int vorher = trace("[frmMain] Public Sub menuBeenden_Click()");
    key(Qt::Key_F12);
    EXPECT_EQ(trace("[frmMain] Public Sub menuBeenden_Click()"), vorher + 1);
    EXPECT_TRUE(ProgrammEnde);
    EXPECT_FALSE(frmMP3Tags::loaded());
    EXPECT_FALSE(frmStart::loaded());
    EXPECT_FALSE(m.isVisible());
}

TEST_F(KeysAndSpares, ImageGroesseGrowsAroundTheCentreOnceAtATime) {
    frmMain& m = main();
    QLabel bild(&m);
    struct Fall {
        int w, h;
        int16_t prozent;
        int dx, dy;
    };
    for (const Fall& f : {Fall{3000, 1500, 20, 300, 150}, Fall{1000, 333, 15, 75, 25}, Fall{600, 600, -50, -150, -150}}) {
        platform::setTwGeometry(&bild, 3000, 2000, f.w, f.h);
        m.Image_Groesse(&bild, f.prozent);
        EXPECT_EQ(platform::TwLeft(&bild), 3000 - f.dx);
        EXPECT_EQ(platform::TwTop(&bild), 2000 - f.dy);
        EXPECT_EQ(platform::TwWidth(&bild), f.w + 2 * f.dx);
        EXPECT_EQ(platform::TwHeight(&bild), f.h + 2 * f.dy);
        EXPECT_TRUE(bild.hasScaledContents());
        EXPECT_FALSE(m.ImageGroesseLaeuft);
    }
    // A call while one runs returns at once.
    m.ImageGroesseLaeuft = true;
    m.Image_Groesse(&bild, 50);
    EXPECT_EQ(platform::TwWidth(&bild), 300);
    m.ImageGroesseLaeuft = false;
}

TEST_F(KeysAndSpares, TabelleAusTextAppendsRowsAndMarksThemWhole) {
    using kiosklogic::ZeilenAusText;
    const QString text = "kopf\r\nxxDat:Eins;a;b;c;d;e\r\nZwei;f\r\n  ;g\r\ndAT:   ;h\r\nnur\r\nDrei;1;2;3";
    const auto z = ZeilenAusText(text, "dat:");
    ASSERT_EQ(z.size(), 3u);
    EXPECT_EQ(z[0].Titel.toStdString(), "t:Eins") << "the prefix is found anywhere, its length cut from the front";
    EXPECT_EQ(z[0].Spalten, QStringList({"a", "b", "c", "d"}));
    EXPECT_EQ(z[1].Titel, "Zwei");
    EXPECT_TRUE(z[1].Spalten.isEmpty());
    EXPECT_EQ(z[2].Titel, "Drei");
    EXPECT_TRUE(z[2].Spalten.isEmpty()) << "four fields: no columns";
    EXPECT_EQ(ZeilenAusText(text, "", 10).size(), 4u) << "from position 10, without a prefix";
    EXPECT_EQ(ZeilenAusText(text, "", 10)[0].Titel, "at:Eins");

    frmMain& m = main();
    kioskgrid::FlexGrid& g = *m.MSFlexGrid1;
    const int vorher = g.Rows();
    m.TabelleAusText(&g, "A;1;2;3;4\r\nB;x", "");
    ASSERT_EQ(g.Rows(), vorher + 2);
    EXPECT_EQ(g.TextMatrix(vorher, 0), "A");
    EXPECT_EQ(g.TextMatrix(vorher, 4), "4");
    EXPECT_EQ(g.TextMatrix(vorher + 1, 0), "B");
    EXPECT_EQ(g.Col(), 0);
    EXPECT_EQ(g.ColSel(), g.Cols() - 1);

    QObject item;
    m.MSFlexGrid1_ItemClick(&item);
    EXPECT_EQ(m.GewaehltesItem.data(), &item);
}

}  // namespace
