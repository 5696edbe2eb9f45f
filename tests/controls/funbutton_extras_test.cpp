// The touch button's spare drawing procedures.
#include "controls/Funbutton/FunbuttonExtras.h"
#include "controls/Funbutton/FunbuttonFlaechen.h"
#include "faces_support.h"

#include <gtest/gtest.h>

namespace {

using namespace faces_test;

QRgb px(const QImage& img, int x, int y) { return img.pixel(x, y) & 0xFFFFFFu; }

QImage quadrat(int size, int a, int b) {  // black from (a, a) to (b, b) on white
    QImage img = weiss(size, size);
    QPainter(&img).fillRect(a, a, b - a + 1, b - a + 1, Qt::black);
    return img;
}

TEST(FunbuttonExtras, MaskBandAndSprite) {
    QImage in = weiss(6, 5), mask;
    in.setPixel(0, 0, 0xFF000000u);  // column 0 and row 0 are not looked at
    in.setPixel(3, 2, qRgb(250, 0, 0));
    MakeMask(in, mask);
    EXPECT_EQ(px(mask, 3, 2), 0u);
    EXPECT_EQ(px(mask, 0, 0), 0xFFFFFFu);

    const QImage form = quadrat(41, 15, 25);
    QImage rand = form, breit = form, schwarz = form;
    ZeichneRand(rand, 0, 0x0000FF);
    ZeichneRand(breit, 3, 0x0000FF);
    ZeichneRand(schwarz, 3, 0);
    for (QPoint p : {QPoint(20, 26), QPoint(20, 14), QPoint(14, 20), QPoint(26, 20)}) EXPECT_EQ(px(rand, p.x(), p.y()), 0xFF0000u);
    EXPECT_EQ(px(rand, 20, 20), 0u) << "the shape stays";
    EXPECT_EQ(px(rand, 20, 28), 0xFFFFFFu);
    EXPECT_EQ(px(breit, 20, 28), 0xFF0000u);
    EXPECT_EQ(schwarz, form) << "black paints nothing";

    QImage hidden(20, 10, QImage::Format_RGB32);
    hidden.fill(qRgb(0, 0, 200));
    QImage host = hidden, sprite = weiss(4, 4), maske = weiss(4, 4);
    QPainter(&sprite).fillRect(1, 1, 2, 2, QColor(0, 180, 0));
    QPainter(&maske).fillRect(1, 1, 2, 2, Qt::black);
    host.setPixel(1, 1, qRgb(9, 9, 9));
    SpriteLage lage{0, 0, 2, 3, 4, 4};
    BildVerschieben(host, hidden, maske, sprite, lage);
    EXPECT_EQ(px(host, 1, 1), 0x0000C8u) << "old place restored";
    EXPECT_EQ(px(host, 3, 4), 0x00B400u) << "sprite";
    EXPECT_EQ(px(host, 2, 3), 0x0000C8u) << "background around the sprite";
}

TEST(FunbuttonExtras, EarlierRendererAndShadows) {
    // Left half black over grey, right half white: at 50 % a white position is white itself
    // and puts the face colour 8 right and 6 down; the pressed face is white there.
    QImage bild = weiss(40, 40);
    QPainter(&bild).fillRect(0, 0, 20, 20, Qt::black);
    QPainter(&bild).fillRect(0, 20, 20, 20, QColor(128, 128, 128));
    PixelArray N, D, R;
    ZeichneFlaechenAlt(50, 8, 6, 0x00C000, 0xFF0000, lies(bild), N, D, R);
    EXPECT_EQ(N(15, 3), 0xFFFFFF);
    EXPECT_EQ(N(25, 10), pix(0, 192, 0));
    EXPECT_EQ(D(19, 6), 0xFFFFFF);
    EXPECT_EQ(R(5, 5), 0xFF0000);

    // The earlier shadow never goes below 50 per part; the shape stays.
    PixelArray T(40, 40, 0x123456);
    ZeichneSchattenAlt(lies(quadrat(40, 5, 25)), T, 0x000000);
    EXPECT_EQ(T(10, 10), 0x123456);
    EXPECT_EQ(T(20, 30), 0x323232);

    // One picture shadowed in place, as the renderer's own pass at 100 %.
    QImage ziel;
    SchattenAufBild(quadrat(60, 10, 30), ziel, 0xFFFFFF);
    PixelArray a = lies(quadrat(60, 10, 30));
    ZeichneSchatten(100, lies(quadrat(60, 10, 30)), a, 0xFFFFFF);
    EXPECT_EQ(ziel, ArrToImage(a).convertToFormat(QImage::Format_RGB32));
}

}  // namespace
