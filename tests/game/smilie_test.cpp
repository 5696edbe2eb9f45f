// The smiley cell: shown, hidden, smiling, frowning, coloured, and its press event.
#include "base/ErrPtnr.h"
#include "base/CallStackRing.h"
#include "game/ctlSmilie.h"
#include "game_support.h"
#include "platform/colors.h"

#include <QImage>
#include <gtest/gtest.h>

namespace {

QStringList visibleShapes(const ctlSmilie& c) {
    QStringList v;
    for (const auto& s : c.shapes())
        if (s.visible) v << s.name;
    return v;
}

bool verlorenShown(const ctlSmilie& c) { return c.shape("Shape4(1)").visible; }
bool gewonnenShown(const ctlSmilie& c) { return c.shape("Shape4(0)").visible; }

}  // namespace

TEST(ctlSmilie, StartsAsAVisibleYellowSmileyAndDrawsIt) {
    ctlSmilie c;
    EXPECT_TRUE(c.VisibleMy());
    EXPECT_EQ(c.Farbe(), 0x00FFFF);
    EXPECT_TRUE(gewonnenShown(c));
    EXPECT_TRUE(c.shape("Shape5(4)").visible);
    EXPECT_FALSE(verlorenShown(c));
    EXPECT_FALSE(c.shape("Shape5(10)").visible);

    const QImage img = c.grab().toImage();
    ASSERT_EQ(img.size(), QSize(102, 102));
    EXPECT_EQ(img.pixelColor(50, 75), QColor(255, 255, 0));  // inside the face, between eyes and mouth
    EXPECT_EQ(img.pixelColor(33, 33), QColor(Qt::black));    // left eye
    // The smile's lower arc shows, its upper arc is masked.
    const int bottom = (240 + 1035) / 15 - 2;
    EXPECT_EQ(img.pixelColor(51, bottom), QColor(Qt::black));
    EXPECT_EQ(img.pixelColor(51, 240 / 15 + 1), QColor(255, 255, 0));
}

TEST(ctlSmilie, HiddenCellIgnoresMundAndReturnsSmiling) {
    ctlSmilie c;
    c.Mund(false);
    EXPECT_TRUE(verlorenShown(c));
    EXPECT_FALSE(gewonnenShown(c));

    c.setVisibleMy(false);
    EXPECT_EQ(visibleShapes(c), QStringList{"shpRechteck"});
    c.Mund(false);
    EXPECT_EQ(visibleShapes(c), QStringList{"shpRechteck"});

    c.setVisibleMy(true);
    EXPECT_TRUE(gewonnenShown(c));
    EXPECT_FALSE(verlorenShown(c));
    EXPECT_TRUE(c.shape("Shape2(0)").visible);
    EXPECT_EQ(visibleShapes(c).size(), 10);  // 17 shapes less the frown's outline and six masks
}

TEST(ctlSmilie, FarbeRecoloursFaceAndMasksOnly) {
    QWidget form;
    QPalette pal = form.palette();
    pal.setColor(QPalette::Window, QColor(10, 20, 30));
    form.setPalette(pal);
    ctlSmilie c(&form);
    c.Ini();
    c.setVisibleMy(false);
    c.setFarbe(0x00FF00);
    c.setVisibleMy(true);  // a hidden cell keeps its colour
    EXPECT_EQ(c.Farbe(), 0x00FF00);
    for (const auto& s : c.shapes()) {
        if (s.name.startsWith("Shape5") || s.name == "Shape1(0)") {
            EXPECT_EQ(s.fill, 0x00FF00) << s.name.toStdString();
        }
    }
    EXPECT_EQ(c.shape("Shape2(1)").fill, platform::vbBlack);
    EXPECT_FALSE(c.shape("Shape4(0)").filled);
    EXPECT_EQ(c.shape("shpRechteck").fill, platform::RGB(10, 20, 30));
    const QImage img = c.grab().toImage();
    EXPECT_EQ(img.pixelColor(50, 75), QColor(0, 255, 0));
    EXPECT_EQ(img.pixelColor(101, 101), QColor(10, 20, 30));  // corner: background square
}

TEST(ctlSmilie, AnyButtonDownRaisesClickAndRegisters) {
    ctlSmilie c;
    int clicks = 0;
    QObject::connect(&c, &ctlSmilie::Click, [&] { ++clicks; });
    gametest::mouse(&c, QEvent::MouseButtonPress, Qt::RightButton);
    EXPECT_EQ(clicks, 1);  // before any release
    gametest::mouse(&c, QEvent::MouseButtonRelease, Qt::RightButton);
    gametest::mouse(&c, QEvent::MouseButtonPress, Qt::LeftButton);
    EXPECT_EQ(clicks, 2);

    // The press registered its arguments, last first, so they read in order.
    const QStringList ring = ErrPtnr::ring().entries();
    int at = -1;
    for (int i = 0; i < ring.size(); ++i)
        if (ring[i].contains("UserControl_MouseDown(")) {
            at = i;
            break;
        }
    ASSERT_GE(at, 0);
    EXPECT_EQ(ring[at + 1], "\tButton:\t1");
    EXPECT_EQ(ring[at + 2], "\tShift:\t0");
    EXPECT_EQ(ring[at + 3], "\tX:\t300");
    EXPECT_EQ(ring[at + 4], "\tY:\t300");
}
