// The speech bubble: body and tail from the tail's position, tip placement, redraw rules.
#include "controls/ctlSprechblase/ctlSprechblase.h"
#include "platform/colors.h"
#include "platform/runtime.h"

#include <QImage>
#include <gtest/gtest.h>

namespace {

using platform::TwipsRect;

void expectRect(const TwipsRect& r, int left, int top, int width, int height) {
    EXPECT_EQ(r.Left, left);
    EXPECT_EQ(r.Top, top);
    EXPECT_EQ(r.Width, width);
    EXPECT_EQ(r.Height, height);
}

// As the help tour sets it up.
void setUp(ctlSprechblase& b, int32_t pos, int width, int height) {
    b.setPfeilposition(pos);
    b.setHeight(height);
    b.setWidth(width);
}

TEST(Bubble, TailOnTopFansFromTipOverBase) {
    ctlSprechblase b;
    EXPECT_TRUE(b.LinienGeladen());
    setUp(b, 0, 3600, 2400);
    expectRect(b.Shape1(), 15, 750, 3570, 1620);
    expectRect(b.Label1(), 195, 930, 3210, 1260);
    for (int i = 0; i < ctlSprechblase::LinienZahl; ++i) {
        const auto& l = b.Linien(i);
        EXPECT_EQ(l.X1, 1200);
        EXPECT_EQ(l.Y1, 0);
        EXPECT_EQ(l.X2, 360 + 15 * i);
        EXPECT_EQ(l.Y2, 750);
        EXPECT_TRUE(l.Visible);
        const bool kante = i == 0 || i == 40;
        EXPECT_EQ(l.BorderColor, kante ? platform::vbBlack : platform::vbWhite) << i;
    }
    // The two edges lie over everything, the first one uppermost.
    const auto& stapel = b.Stapel();
    ASSERT_EQ(stapel.size(), 41u);
    EXPECT_EQ(stapel.back(), 0);
    EXPECT_EQ(stapel[39], 40);
}

TEST(Bubble, TailOnRightRunsAlongY) {
    ctlSprechblase b;
    setUp(b, 1, 3000, 1500);
    expectRect(b.Shape1(), 15, 15, 2370, 1470);
    EXPECT_EQ(b.Linien(0).X1, 2970);
    EXPECT_EQ(b.Linien(0).Y1, 1500);
    EXPECT_EQ(b.Linien(40).X2, 2370);
    EXPECT_EQ(b.Linien(0).Y2, 600);
    EXPECT_EQ(b.Linien(40).Y2, 1200);
}

TEST(Bubble, UnknownPositionOnlyRestacksTheEdges) {
    ctlSprechblase b;
    setUp(b, 2, 3000, 1500);
    const TwipsRect body = b.Shape1();
    const auto tip = b.Linien(7);
    for (int pos : {4, -1}) {
        b.setPfeilposition(pos);
        expectRect(b.Shape1(), body.Left, body.Top, body.Width, body.Height);
        EXPECT_EQ(b.Linien(7).X2, tip.X2);
        EXPECT_EQ(b.Linien(7).BorderColor, platform::vbWhite);
        EXPECT_EQ(b.Stapel().back(), 0);
    }
}

TEST(Bubble, BorderWidthAndZeroWidth) {
    ctlSprechblase b;
    setUp(b, 3, 3000, 1800);
    b.setMyBorderWidth(-1);
    EXPECT_EQ(b.MyBorderWidth(), 3);
    b.setMyBorderWidth(5);
    for (int i = 0; i < ctlSprechblase::LinienZahl; ++i) EXPECT_EQ(b.Linien(i).BorderWidth, 5);

    // A zero width changes nothing drawn.
    const TwipsRect body = b.Shape1();
    b.setWidth(0);
    b.setPfeilposition(0);
    expectRect(b.Shape1(), body.Left, body.Top, body.Width, body.Height);
    EXPECT_TRUE(b.LinienGeladen());
}

TEST(Bubble, TipPlacementUsesTheTipAsLastDrawn) {
    QWidget host;
    auto* b = new ctlSprechblase(&host);
    setUp(*b, 0, 3600, 2400);
    b->PunktX(5000);
    b->PunktY(4000);
    EXPECT_EQ(b->Left(), 3800);
    EXPECT_EQ(b->Top(), 4000);
    // The text redraws but does not move the control.
    b->setTextMy(QStringLiteral("Hallo"));
    EXPECT_EQ(b->TextMy(), QStringLiteral("Hallo"));
    EXPECT_EQ(b->Left(), 3800);
    // A new position moves the tip away from the point until it is placed again.
    b->setPfeilposition(3);
    EXPECT_NE(b->Left() + b->Linien(0).X1, 5000);
    b->PunktX(5000);
    EXPECT_EQ(b->Left(), 5000);
}

TEST(Bubble, TooSmallBodyRaisesToTheHost) {
    ctlSprechblase b;
    b.setPfeilposition(0);
    try {
        b.setHeight(1000);  // body 220 high: no room for the text
        FAIL() << "no error";
    } catch (const platform::RuntimeError& e) {
        EXPECT_EQ(e.number(), 380);
    }
}

TEST(Bubble, PaintsWhiteBodyAndLeavesTheRestClear) {
    ctlSprechblase b;
    setUp(b, 0, 3600, 2400);
    b.setTextMy(QString());
    QImage img(b.size(), QImage::Format_ARGB32);
    img.fill(Qt::transparent);
    b.render(&img, QPoint(), QRegion(), QWidget::DrawChildren);
    EXPECT_EQ(img.pixelColor(120, 100), QColor(Qt::white));   // inside the body
    EXPECT_EQ(img.pixelColor(200, 10).alpha(), 0);            // beside the tail
    EXPECT_EQ(img.pixelColor(2, 100), QColor(Qt::black));     // the body's left border
    EXPECT_EQ(img.pixelColor(60, 40), QColor(Qt::white));     // inside the tail
}

TEST(Bubble, EveryPositionOpensTheBodysBorderUnderTheTail) {
    // Per position at 3600 x 2400: body, tip, the middle of the tail's base in pixels with
    // the way into the body, and a point of the same border away from the tail.
    struct Fall {
        int32_t pos;
        TwipsRect body;
        int tipX, tipY;
        QPoint basis, hinein, rand;
    };
    const Fall faelle[] = {
        {0, {15, 750, 3570, 1620}, 1200, 0, {40, 50}, {0, 1}, {84, 51}},
        {1, {15, 15, 2970, 2370}, 3570, 1500, {198, 60}, {-1, 0}, {197, 100}},
        {2, {15, 15, 3570, 1740}, 3570, 2400, {198, 116}, {0, -1}, {158, 115}},
        {3, {600, 15, 2970, 2370}, 0, 2400, {40, 120}, {1, 0}, {41, 80}},
    };
    for (const Fall& f : faelle) {
        SCOPED_TRACE(f.pos);
        ctlSprechblase b;
        setUp(b, f.pos, 3600, 2400);
        b.setTextMy(QString());
        expectRect(b.Shape1(), f.body.Left, f.body.Top, f.body.Width, f.body.Height);
        EXPECT_EQ(QPoint(b.Linien(20).X1, b.Linien(20).Y1), QPoint(f.tipX, f.tipY));
        QImage img(b.size(), QImage::Format_ARGB32);
        img.fill(Qt::transparent);
        b.render(&img, QPoint(), QRegion(), QWidget::DrawChildren);
        for (int k = 0; k <= b.MyBorderWidth(); ++k) EXPECT_GT(qGray(img.pixel(f.basis + f.hinein * k)), 200) << k;
        EXPECT_EQ(img.pixelColor(f.rand), QColor(Qt::black));
    }
    ctlSprechblase b;  // a resize redraws from the new size
    setUp(b, 2, 3600, 2400);
    b.setHeight(3000);
    expectRect(b.Shape1(), 15, 15, 3570, 2340);
    EXPECT_EQ(b.Linien(0).Y1, 3000);
}

TEST(Bubble, ATooWideBorderIsRefusedOnceAndLeavesTheBubbleWorking) {
    ctlSprechblase b;
    b.setMyBorderWidth(5);
    EXPECT_THROW(b.setMyBorderWidth(40000), platform::RuntimeError);
    EXPECT_EQ(b.MyBorderWidth(), 5);
    EXPECT_NO_THROW(b.setPfeilposition(1));
    EXPECT_NO_THROW(b.setWidth(4000));
    EXPECT_EQ(b.Linien(7).BorderWidth, 5);
}

}  // namespace
