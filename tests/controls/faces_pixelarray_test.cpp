// Pictures to pixel arrays and back.
#include "base/ErrPtnr.h"
#include "controls/Funbutton/modBilddrehen.h"
#include "faces_support.h"
#include "platform/runtime.h"

#include <gtest/gtest.h>

using namespace faces_test;

namespace {

QImage leer(int w, int h, QRgb fill) {
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(fill);
    return img;
}

}  // namespace

TEST(PixelArray, BoundsAndLayoutFollowThePicture) {
    PixelArray eins = lies(leer(1, 1, qRgb(1, 2, 3)));
    EXPECT_EQ(eins.ubound1(), 0);
    EXPECT_EQ(eins.ubound2(), 0);
    EXPECT_EQ(eins(0, 0), 0x010203);

    QImage img = leer(3, 2, qRgb(255, 255, 255));
    img.setPixel(2, 0, qRgb(255, 0, 0));  // top right: pure red
    img.setPixel(0, 1, qRgb(0, 0, 255));  // bottom left: pure blue
    PixelArray p = lies(img);
    EXPECT_EQ(p.ubound1(), 2);
    EXPECT_EQ(p.ubound2(), 1);
    EXPECT_EQ(p(2, 0), 0xFF0000);  // red in bits 16..23, unlike the colour value &HFF
    EXPECT_EQ(p(0, 1), 0x0000FF);
    EXPECT_EQ(p(1, 1), 0xFFFFFF);
    // x varies fastest: the storage is the rows one after another.
    EXPECT_EQ(p.data()[2], 0xFF0000);
    EXPECT_EQ(p.data()[3], 0x0000FF);
    EXPECT_THROW(p.get(3, 0), platform::RuntimeError);
}

TEST(PixelArray, TransparencyIsFlattenedOntoWhite) {
    QImage img(3, 1, QImage::Format_ARGB32);
    img.setPixel(0, 0, qRgba(0, 0, 0, 0));      // fully transparent
    img.setPixel(1, 0, qRgba(0, 0, 0, 255));    // opaque black
    img.setPixel(2, 0, qRgba(200, 0, 0, 128));  // half-transparent red
    PixelArray p = lies(img);
    EXPECT_EQ(p(0, 0), 0xFFFFFF);
    EXPECT_EQ(p(1, 0), 0x000000);
    const int r = (p(2, 0) >> 16) & 0xFF, g = (p(2, 0) >> 8) & 0xFF;
    EXPECT_NEAR(r, 227, 2);
    EXPECT_NEAR(g, 127, 2);
}

TEST(PixelArray, NullPictureGivesOneBlackElementAndDrawsOnePixel) {
    PixelArray p(4, 4, 7);
    GetArrFromHdl(p, QImage());
    EXPECT_EQ(p.width(), 1);
    EXPECT_EQ(p.height(), 1);
    EXPECT_EQ(p(0, 0), 0);

    QImage ziel = leer(3, 3, qRgb(9, 9, 9));
    {
        QPainter dc(&ziel);
        DrawArr(p, dc);
    }
    EXPECT_EQ(ziel.pixel(0, 0), qRgb(0, 0, 0));
    EXPECT_EQ(ziel.pixel(1, 0), qRgb(9, 9, 9));
    EXPECT_EQ(ziel.pixel(0, 1), qRgb(9, 9, 9));
}

TEST(PixelArray, AnArrayNeverDimensionedDrawsNothing) {
    PixelArray nie;
    EXPECT_THROW(nie.ubound1(), platform::RuntimeError);
    QImage ziel = leer(2, 2, qRgb(9, 9, 9));
    QPainter dc(&ziel);
    DrawArr(nie, dc);
    dc.end();
    EXPECT_EQ(ziel, leer(2, 2, qRgb(9, 9, 9)));
}

TEST(PixelArray, ReadAndDrawBackReproducesThePicture) {
    QImage img = pfeilknopf(37);
    {
        QPainter g(&img);
        g.fillRect(3, 4, 5, 6, QColor(12, 200, 77));
    }
    const PixelArray p = lies(img);
    QImage ziel = leer(37, 37, qRgb(1, 1, 1));
    {
        QPainter dc(&ziel);
        DrawArr(p, dc);
    }
    EXPECT_EQ(ziel, img.convertToFormat(QImage::Format_RGB32));
    // A smaller destination gets the top-left part.
    QImage klein = leer(5, 5, qRgb(1, 1, 1));
    {
        QPainter dc(&klein);
        DrawArr(p, dc);
    }
    EXPECT_EQ(klein, img.copy(0, 0, 5, 5).convertToFormat(QImage::Format_RGB32));
}

TEST(PixelArray, ReadingRegistersWithTheTracer) {
    lies(leer(2, 2, qRgb(0, 0, 0)));
    CallStackRing& ring = ErrPtnr::ring();
    ASSERT_GE(ring.size(), 3);
    EXPECT_TRUE(ring.at(1).endsWith("[modBilddrehen] Public Sub GetArrFromHdl(p&(), ByVal Hdl&)")) << ring.at(1).toStdString();
    EXPECT_TRUE(ring.at(2).contains("p&()"));
    EXPECT_TRUE(ring.at(3).contains("Hdl&"));
}
