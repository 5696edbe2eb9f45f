// The touch button's faces and shadow, pixel by pixel.
#include "controls/Funbutton/FunbuttonFlaechen.h"
#include "faces_support.h"
#include "platform/colors.h"

#include <QDir>
#include <QRandomGenerator>
#include <cmath>
#include <gtest/gtest.h>

using namespace faces_test;
using platform::RGB;

namespace {

struct Faces {
    PixelArray N, D, R;
};

Faces render(const QImage& bild, int32_t farbe, int32_t hintergrund, int32_t p = 50) {
    Faces f;
    const PixelArray S = lies(bild);
    ZeichneFlaechen(p, 8, 6, farbe, hintergrund, S, f.N, f.D, f.R);
    return f;
}

// Pixel-order value of a colour after adding d to each part, clamped to 0..255.
int32_t shade(int r, int g, int b, int d) {
    auto c = [d](int v) { return std::clamp(v + d, 0, 255); };
    return pix(c(r), c(g), c(b));
}

// The shadow pass written out statement by statement, slow and plain, to hold the
// renderer's own version against.
void schattenReferenz(int32_t p, const PixelArray& S, PixelArray& T, int32_t bgPixel) {
    const int W = S.ubound1(), H = S.ubound2();
    std::vector<std::vector<int32_t>> A(W + 16, std::vector<int32_t>(H + 16, 0));
    for (int x = 0; x <= W; ++x)
        for (int y = 0; y <= H; ++y) {
            if (IstTransparent(S(x, y))) continue;
            for (int dx = -5; dx <= 5; ++dx)
                for (int dy = -5; dy <= 5; ++dy) {
                    const int d = static_cast<int>(std::nearbyint(std::sqrt(dx * dx + dy * dy)));
                    const int w = (dx == 0 && dy == 0) ? 0 : std::min(25 * d, 255);
                    if (x + dx >= 0 && y + dy >= 0 && x + dx + 10 <= W + 15 && y + dy + 10 <= H + 15)
                        A[x + dx + 10][y + dy + 10] += 255 - w;
                }
        }
    const double mx = (W - 1) * p / 100.0, my = (H - 1) * p / 100.0;
    auto r = [p](int v) { return static_cast<int>(std::nearbyint(v * 100.0 / p)); };
    for (int x = 0; x <= W; ++x)
        for (int y = 0; y <= H; ++y) {
            const int32_t c = (x > mx || y > my) ? -1 : S(r(x), r(y));
            if (!IstTransparent(c)) continue;
            if (x > mx + p * 15 / 100.0 || y > my + p * 15 / 100.0) {
                T(x, y) = bgPixel;
                continue;
            }
            const int s = static_cast<int>(std::nearbyint(A[r(x)][r(y)] / 150.0));
            int32_t v = 0;
            for (int shift : {0, 8, 16}) v |= std::max(((bgPixel >> shift) & 0xFF) - s, 0) << shift;
            T(x, y) = s != 0 ? v : bgPixel;
        }
}

QImage zufallsform(int w, int h, quint32 seed) {
    QImage img = weiss(w, h);
    QRandomGenerator rnd(seed);
    QPainter g(&img);
    g.setPen(Qt::NoPen);
    g.setBrush(Qt::black);
    for (int i = 0; i < 6; ++i)
        g.drawEllipse(QPointF(rnd.bounded(w), rnd.bounded(h)), rnd.bounded(2, w / 2 + 3), rnd.bounded(2, h / 2 + 3));
    for (int i = 0; i < 20; ++i) g.fillRect(rnd.bounded(w), rnd.bounded(h), 1, 1, Qt::black);  // single pixels
    return img;
}

int anzahl(const PixelArray& a, int32_t v) {
    int n = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) n += a(x, y) == v;
    return n;
}

// Colours chosen so that an exchange of red and blue shows: face RGB(150, 120, 90)
// on a container of RGB(200, 100, 50).
constexpr int fr = 150, fg = 120, fb = 90;
const int32_t farbe = RGB(fr, fg, fb);
const int32_t behaelter = RGB(200, 100, 50);
const int32_t bgPix = pix(200, 100, 50);

}  // namespace

TEST(Faces, SquarePictureAtHalfSizeGivesTheShadedFaces) {
    const Faces f = render(schwarz(200, 200), farbe, behaelter);
    ASSERT_EQ(f.N.width(), 200);
    ASSERT_EQ(f.D.height(), 200);
    // (99, 0): k = 25, normal face colour - 88, pressed face colour + 29.
    EXPECT_EQ(f.N(99, 0), shade(fr, fg, fb, -88));
    EXPECT_EQ(f.D(103, 3), shade(fr, fg, fb, 29));
    // On the diagonal: colour - 10 and colour - 100 (blue floored at 0).
    EXPECT_EQ(f.N(0, 0), shade(fr, fg, fb, -10));
    EXPECT_EQ(f.N(60, 60), shade(fr, fg, fb, -10));
    EXPECT_EQ(f.D(64, 63), pix(50, 20, 0));
    // The pressed shape covers 4..103 across and 3..102 down.
    EXPECT_EQ(f.D(3, 50), bgPix);
    EXPECT_NE(f.D(4, 50), bgPix);
    EXPECT_NE(f.D(103, 102), bgPix);
    EXPECT_EQ(f.D(104, 50), bgPix);
    EXPECT_EQ(f.D(50, 103), bgPix);
    EXPECT_EQ(f.D(50, 2), bgPix);
    // Beside the shape the shadow darkens the background by 123 at most, never below 0.
    EXPECT_EQ(f.N(100, 50), pix(200 - 123, 0, 0));
    EXPECT_NE(f.N(106, 50), bgPix);  // the shadow's last column
    EXPECT_EQ(f.N(107, 50), bgPix);
    EXPECT_EQ(f.N(50, 107), bgPix);
    EXPECT_EQ(f.N(199, 199), bgPix);
    // The refused face is the normal face crossed out in pure red.
    EXPECT_EQ(f.R(50, 50), 0xFF0000);
    EXPECT_EQ(f.R(1, 0), 0xFF0000);
    EXPECT_EQ(f.R(0, 0), f.N(0, 0));
    EXPECT_EQ(f.R(99, 1), 0xFF0000);
    EXPECT_EQ(f.R(99, 0), f.N(99, 0));
    EXPECT_EQ(f.R(30, 80), f.N(30, 80));
}

TEST(Faces, ShadowPassMatchesTheStatementByStatementVersion) {
    for (quint32 seed = 1; seed <= 6; ++seed) {
        const int w = 20 + static_cast<int>(seed) * 13, h = 90 - static_cast<int>(seed) * 9;
        const PixelArray S = lies(zufallsform(w, h, seed));
        for (int32_t p : {50, 100, 37}) {
            PixelArray a(w, h, 0x123456), b(w, h, 0x123456);
            ZeichneSchatten(p, S, a, behaelter);
            schattenReferenz(p, S, b, bgPix);
            ASSERT_EQ(a, b) << "seed " << seed << " p " << p;
        }
    }
}

TEST(Faces, WhitePictureGivesPlainFacesAndTheCrossOnly) {
    const Faces f = render(weiss(60, 60), farbe, behaelter);
    EXPECT_EQ(anzahl(f.N, bgPix), 60 * 60);
    EXPECT_EQ(anzahl(f.D, bgPix), 60 * 60);
    const int rot = anzahl(f.R, 0xFF0000);
    EXPECT_GT(rot, 0);
    EXPECT_EQ(rot + anzahl(f.R, bgPix), 60 * 60);
    // sx = 29: the strokes run within 0..29.
    EXPECT_EQ(f.R(29, 1), 0xFF0000);
    EXPECT_EQ(f.R(30, 20), bgPix);
    EXPECT_EQ(f.R(15, 15), 0xFF0000);
}

TEST(Faces, WidePictureShadesAlongItsOwnDiagonal) {
    // 60 x 20: sx = 29, sy = 9, h = 14.5.
    const Faces f = render(schwarz(60, 20), farbe, behaelter);
    EXPECT_EQ(f.N(29, 0), shade(fr, fg, fb, -85));  // k = 7: s2 = 75
    EXPECT_EQ(f.D(33, 3), shade(fr, fg, fb, 23));   // s1 = 123
    EXPECT_EQ(f.N(9, 9), shade(fr, fg, fb, -10));
    EXPECT_NE(f.N(30, 5), bgPix);  // shadow right of the shape
    EXPECT_EQ(f.N(50, 5), bgPix);
    EXPECT_EQ(f.N(10, 19), bgPix);
}

TEST(Faces, PictureMoreThanTwiceAsHighLightensFarBelowTheDiagonal) {
    // 20 x 60: sx = 9, h = 4.5; at (0, 29) k = 7 > h.
    const Faces f = render(schwarz(20, 60), farbe, behaelter);
    EXPECT_EQ(f.N(0, 29), shade(fr, fg, fb, 100 + 200));
    EXPECT_EQ(f.D(4, 32), shade(fr, fg, fb, 100 - 200));
    // k = 4 <= h still takes the first alternative.
    EXPECT_EQ(f.N(0, 16), shade(fr, fg, fb, -10 - 138));
}

TEST(Faces, TooNarrowOrUnreadablePicturesGivePlainBackground) {
    for (const QImage& bild : {schwarz(2, 40), schwarz(1, 1), QImage()}) {
        const Faces f = render(bild, farbe, behaelter);
        const int n = f.N.width() * f.N.height();
        EXPECT_EQ(anzahl(f.N, bgPix), n);
        EXPECT_EQ(anzahl(f.D, bgPix), n);
        EXPECT_EQ(anzahl(f.R, bgPix), n);
    }
    // A small picture shifts the pressed shape past its edge: cut off, no error.
    const Faces klein = render(schwarz(6, 6), farbe, behaelter);
    EXPECT_EQ(klein.D(4, 3), shade(fr, fg, fb, -100));
    EXPECT_EQ(klein.N(0, 0), shade(fr, fg, fb, -10));
}

TEST(Faces, ColoursAreExchangedOnlyAtTheEdges) {
    // Face pure red, container pure blue: the arrays hold them as &H00RRGGBB.
    const Faces f = render(schwarz(40, 40), RGB(255, 0, 0), RGB(0, 0, 255));
    EXPECT_EQ(f.N(5, 5), pix(245, 0, 0));
    EXPECT_EQ(f.D(9, 8), pix(155, 0, 0));
    EXPECT_EQ(f.N(39, 39), pix(0, 0, 255));
    // The container's system colour is taken by the magnitude of its parts.
    EXPECT_EQ(HintergrundPixel(platform::vbWindowBackground), pix(251, 255, 255));
    EXPECT_EQ(HintergrundPixel(RGB(1, 2, 3)), pix(1, 2, 3));
}

TEST(Faces, RenderedFacesMatchTheGoldenPictures) {
    const QString dir = qEnvironmentVariable("MELOTRA_TEST_DATA") + "/controls";
    const Faces f = render(pfeilknopf(120), RGB(60, 140, 230), RGB(235, 225, 200));
    const std::pair<const char*, const PixelArray*> faces[] = {
        {"funbutton_normal.png", &f.N}, {"funbutton_gedrueckt.png", &f.D}, {"funbutton_abgelehnt.png", &f.R}};
    for (const auto& [name, arr] : faces) {
        const QImage bild = ArrToImage(*arr);
        const QString pfad = dir + "/" + name;
        if (qEnvironmentVariableIsSet("MELOTRA_WRITE_GOLDEN")) {
            QDir().mkpath(dir);
            ASSERT_TRUE(bild.save(pfad));
        }
        const QImage gold(pfad);
        ASSERT_FALSE(gold.isNull()) << pfad.toStdString();
        EXPECT_EQ(bild, gold.convertToFormat(QImage::Format_RGB32)) << name;
    }
}
