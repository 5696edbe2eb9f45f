// The touch button's spare drawing procedures: mask, outline band, sprite move, scaler,
// the earlier renderer and shadow pass, and the shadow over one picture.
#include "controls/Funbutton/FunbuttonExtras.h"
#include "controls/Funbutton/FunbuttonFlaechen.h"
#include "faces_support.h"

#include <gtest/gtest.h>

namespace {

using namespace faces_test;

QRgb px(const QImage& img, int x, int y) { return img.pixel(x, y) & 0xFFFFFFu; }

// A black square from (a, a) to (b, b) on white.
QImage quadrat(int size, int a, int b) {
    QImage img = weiss(size, size);
    for (int y = a; y <= b; ++y)
        for (int x = a; x <= b; ++x) img.setPixel(x, y, 0xFF000000u);
    return img;
}

TEST(FunbuttonExtras, MakeMaskCopiesTheShapeButNotColumnOrRowZero) {
    QImage in = weiss(6, 5);
    in.setPixel(0, 0, 0xFF000000u);
    in.setPixel(0, 3, qRgb(10, 20, 30));
    in.setPixel(3, 2, qRgb(250, 0, 0));
    QImage mask;
    MakeMask(in, mask);
    ASSERT_EQ(mask.size(), in.size());
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 6; ++x) EXPECT_EQ(px(mask, x, y), (x == 3 && y == 2) ? 0u : 0xFFFFFFu) << x << "," << y;
    // A mask wider than the picture gets black where the picture ends: there is no white there.
    QImage breit = weiss(8, 5);
    MakeMask(weiss(6, 5), breit);
    EXPECT_EQ(px(breit, 6, 2), 0u);
    EXPECT_EQ(px(breit, 5, 2), 0xFFFFFFu);
}

TEST(FunbuttonExtras, ZeichneRandPaintsABandJustOutsideTheShape) {
    const QImage form = quadrat(41, 15, 25);
    const int32_t rot = 0x0000FF;  // colour value of red
    QImage bild = form;
    ZeichneRand(bild, 0, rot);
    int band = 0;
    for (int y = 0; y < 41; ++y)
        for (int x = 0; x < 41; ++x) {
            const bool innen = x >= 17 && x <= 23 && y >= 17 && y <= 23;  // the dot of width 2 reaches one pixel in
            const bool weit = x < 12 || x > 28 || y < 12 || y > 28;
            if (innen) {
                EXPECT_EQ(px(bild, x, y), 0u) << "inside stays";
            }
            if (weit) {
                EXPECT_EQ(px(bild, x, y), 0xFFFFFFu) << "far out stays " << x << "," << y;
            }
            if (px(bild, x, y) == 0xFF0000u) ++band;
        }
    EXPECT_GT(band, 40);
    // The band lies around the shape, on each side.
    EXPECT_EQ(px(bild, 20, 26), 0xFF0000u);
    EXPECT_EQ(px(bild, 20, 14), 0xFF0000u);
    EXPECT_EQ(px(bild, 14, 20), 0xFF0000u);
    EXPECT_EQ(px(bild, 26, 20), 0xFF0000u);
    // A wider band reaches farther; black paints nothing; no shape, no band.
    QImage breit = form;
    ZeichneRand(breit, 3, rot);
    EXPECT_EQ(px(breit, 20, 28), 0xFF0000u);
    EXPECT_EQ(px(bild, 20, 28), 0xFFFFFFu);
    QImage schwarzRand = form;
    ZeichneRand(schwarzRand, 2, 0);
    EXPECT_EQ(schwarzRand, form.convertToFormat(QImage::Format_RGB32));
    QImage leer = weiss(20, 20);
    ZeichneRand(leer, 2, rot);
    EXPECT_EQ(leer, weiss(20, 20));
}

TEST(FunbuttonExtras, BildVerschiebenRestoresTheOldPlaceAndStampsTheSprite) {
    QImage hidden(20, 10, QImage::Format_RGB32);
    hidden.fill(qRgb(0, 0, 200));  // the saved background
    QImage host = hidden;
    QImage sprite = weiss(4, 4), maske = weiss(4, 4);
    for (int y = 1; y <= 2; ++y)
        for (int x = 1; x <= 2; ++x) {
            sprite.setPixel(x, y, qRgb(0, 180, 0));
            maske.setPixel(x, y, 0xFF000000u);
        }
    SpriteLage lage{0, 0, 2, 3, 4, 4};
    host.setPixel(1, 1, qRgb(9, 9, 9));  // drawn over at the old place
    BildVerschieben(host, hidden, maske, sprite, lage);
    EXPECT_EQ(px(host, 1, 1), 0x0000C8u) << "old place restored";
    EXPECT_EQ(px(host, 3, 4), 0x00B400u) << "sprite pixel";
    EXPECT_EQ(px(host, 2, 3), 0x0000C8u) << "around the sprite the background shows";
    EXPECT_EQ(lage.AltX, 2);
    EXPECT_EQ(lage.AltY, 3);
    lage.NeuX = 10;
    BildVerschieben(host, hidden, maske, sprite, lage);
    EXPECT_EQ(px(host, 3, 4), 0x0000C8u) << "moved away: background again";
    EXPECT_EQ(px(host, 11, 4), 0x00B400u);
}

TEST(FunbuttonExtras, BilderSkalierenKeepsTheFirstAndScalesTheSecond) {
    const QImage bild = quadrat(40, 0, 19);
    QImage eins, zwei;
    BilderSkalieren(bild, 50, eins, zwei);
    EXPECT_EQ(eins, bild);
    EXPECT_EQ(zwei.size(), QSize(20, 20));
    EXPECT_EQ(px(zwei, 4, 4), 0u);
    EXPECT_EQ(px(zwei, 15, 15), 0xFFFFFFu);
}

TEST(FunbuttonExtras, ZeichneFlaechenAltGivesFlatFacesWithTheCross) {
    // White background, a black block and a grey block: the three kinds of source value.
    QImage bild = weiss(40, 40);
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 20; ++x) bild.setPixel(x, y, y < 20 ? 0xFF000000u : qRgb(128, 128, 128));
    PixelArray N, D, R;
    const int32_t farbe = 0x00C000;  // colour value: green
    const int32_t bg = 0xFF0000;     // blue container
    ZeichneFlaechenAlt(50, 8, 6, farbe, bg, lies(bild), N, D, R);
    const int32_t blau = 0x0000FF, gruen = pix(0, 192, 0), weissPx = 0xFFFFFF;
    // Scaled source: x < 10 black (y < 10) or grey, x >= 10 white. A white position is white
    // itself and puts the face colour 8 right and 6 down; a grey one leaves the background.
    EXPECT_EQ(N(15, 3), weissPx);
    EXPECT_EQ(N(25, 10), gruen);
    EXPECT_EQ(N(3, 15), blau);
    // The pressed face: white at half the offsets where the source is white, else background.
    EXPECT_EQ(D(19, 6), weissPx);
    EXPECT_EQ(D(23, 22), weissPx);
    EXPECT_EQ(D(6, 5), blau);
    // The refused face is the normal one with the red cross.
    EXPECT_EQ(R(5, 5), 0xFF0000);
    EXPECT_EQ(R(0, 0), N(0, 0));
    EXPECT_EQ(R(30, 30), N(30, 30));
    EXPECT_NE(N(5, 5), 0xFF0000);
}

TEST(FunbuttonExtras, ZeichneSchattenAltDarkensBesideBlackDownToFifty) {
    const PixelArray S = lies(quadrat(40, 5, 25));
    for (int32_t backColor : {int32_t(0xC8C8C8), int32_t(0x000000)}) {
        PixelArray T(40, 40, 0x123456);
        ZeichneSchattenAlt(S, T, backColor);
        const int teil = backColor & 0xFF;
        // Inside the black square the target stays; right below it the cone shadow falls.
        EXPECT_EQ(T(10, 10), 0x123456);
        const int32_t schatten = T(20, 30);
        EXPECT_LT(schatten & 0xFF, teil == 0 ? 51 : teil);
        EXPECT_GE(schatten & 0xFF, 50) << "never below 50";
        // Far from the shape only the background colour (floored at 50) remains.
        const int rein = std::max(teil, 50);
        EXPECT_EQ(T(38, 2), rein | rein << 8 | rein << 16);
        // Column 0 and row 0 are not touched.
        EXPECT_EQ(T(0, 30), 0x123456);
    }
}

TEST(FunbuttonExtras, SchattenAufBildShadowsThePictureInPlace) {
    const QImage bild = quadrat(60, 10, 30);
    QImage ziel;
    SchattenAufBild(bild, ziel, 0xFFFFFF);
    ASSERT_EQ(ziel.size(), bild.size());
    EXPECT_EQ(px(ziel, 20, 20), 0u) << "the shape stays";
    const QRgb schatten = px(ziel, 35, 35);
    EXPECT_LT(qRed(schatten), 255) << "the shadow falls right of and below";
    EXPECT_EQ(px(ziel, 5, 5), 0xFFFFFFu) << "above and left of the shape no shadow";
    // The same as the renderer's own shadow pass at 100 %.
    PixelArray a = lies(bild);
    ZeichneSchatten(100, lies(bild), a, 0xFFFFFF);
    EXPECT_EQ(ziel, ArrToImage(a).convertToFormat(QImage::Format_RGB32));
}

}  // namespace
