// F2 and F12 on the main screen, and its spare procedures.
#include "main_support.h"

#include "base/ErrPtnr.h"
#include "catalogue/frmMP3Tags.h"
#include "info/frmWerbung.h"
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
            gezeigt += f.isModal() ? 1 : 100;
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
};

TEST_F(KeysAndSpares, F2OpensTheInformationPageModallyAlsoDuringTheHelpTour) {
    frmMain& m = main();
    platform::VbTimer mitten(nullptr, 3000, true);
    mitten.onTimer = [&] {
        mitten.setEnabled(false);
        EXPECT_TRUE(m.HilfeLaeuft);
        m.Label5_Click();  // the labels wait for the tour's end
        key(Qt::Key_F2);
        EXPECT_EQ(gezeigt, 1);
    };
    m.cmdFragezeichen_Click();
    key(Qt::Key_F2);
    EXPECT_EQ(gezeigt, 2);
}

TEST_F(KeysAndSpares, F12QuitsThroughTheQuitCommand) {
    frmMP3Tags::instance();
    frmStart::instance().chkRechteMaustaste->setChecked(true);
    ErrPtnr::ring().clear();
    key(Qt::Key_F12);
    EXPECT_EQ(ErrPtnr::ring().entries().filter("[frmMain] Public Sub menuBeenden_Click()").size(), 1);
    EXPECT_TRUE(ProgrammEnde);
    EXPECT_FALSE(frmMP3Tags::loaded());
    EXPECT_FALSE(main().isVisible());
}

TEST_F(KeysAndSpares, SpareProcedures) {
    frmMain& m = main();
    QLabel bild(&m);  // grows around its centre, dx and dy rounded to whole twips
    platform::setTwGeometry(&bild, 3000, 2000, 1000, 333);
    m.Image_Groesse(&bild, 15);
    const platform::TwipsRect r = platform::twips(&bild);
    EXPECT_EQ(QRect(r.Left, r.Top, r.Width, r.Height), QRect(2925, 1975, 1150, 383));
    EXPECT_TRUE(bild.hasScaledContents());
    m.ImageGroesseLaeuft = true;  // a second call while one runs returns at once
    m.Image_Groesse(&bild, 50);
    EXPECT_EQ(platform::twips(&bild).Width, 1150);

    kioskgrid::FlexGrid& g = *m.MSFlexGrid1;
    const int vorher = g.Rows();
    m.TabelleAusText(&g, "kopf\r\nxxDat:Eins;a;b;c;d;e\r\n  ;g\r\ndAT:   ;h\r\nZwei;1;2;3", "dat:");
    ASSERT_EQ(g.Rows(), vorher + 2);
    EXPECT_EQ(g.TextMatrix(vorher, 0), "t:Eins") << "Len(prefix) characters cut wherever the prefix stands";
    EXPECT_EQ(g.TextMatrix(vorher, 4), "d");
    EXPECT_EQ(g.TextMatrix(vorher + 1, 0) + g.TextMatrix(vorher + 1, 1), "Zwei") << "four fields fill no columns";
    EXPECT_EQ(g.ColSel(), g.Cols() - 1);

    QObject item;
    m.MSFlexGrid1_ItemClick(&item);
    EXPECT_EQ(m.GewaehltesItem.data(), &item);
}

}  // namespace
