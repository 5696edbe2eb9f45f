#include "controls/Funbutton/FunbuttonExtras.h"

#include "base/modStandard.h"
#include "controls/Funbutton/FunbuttonFlaechen.h"
#include "platform/colors.h"

#include <QPainter>
#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

namespace {

int Gerundet(double v) { return static_cast<int>(std::nearbyint(v)); }

QImage rgb32(const QImage& img) { return img.format() == QImage::Format_RGB32 ? img : img.convertToFormat(QImage::Format_RGB32); }

// The colour at (x, y) as a picture box reports it: -1 outside the picture.
int64_t Punkt(const QImage& img, int x, int y) {
    if (!img.valid(x, y)) return -1;
    return static_cast<int64_t>(img.pixel(x, y) & 0xFFFFFFu);
}

bool IstWeiss(int64_t c) { return c == 0xFFFFFF; }

// A dot of drawing width 2: the two pixels left of and above the point as well.
void Punkt2(QImage& img, int x, int y, QRgb farbe) {
    for (int yy = y - 1; yy <= y; ++yy)
        for (int xx = x - 1; xx <= x; ++xx)
            if (img.valid(xx, yy)) img.setPixel(xx, yy, farbe);
}

// dst := op(src, dst) over a w × h rectangle, src from (sx, sy), dst at (dx, dy); what
// falls outside either picture is left out.
template <class Op>
void Blt(QImage& dst, int dx, int dy, int w, int h, const QImage& src, int sx, int sy, Op op) {
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            if (!dst.valid(dx + x, dy + y) || !src.valid(sx + x, sy + y)) continue;
            const QRgb s = src.pixel(sx + x, sy + y), d = dst.pixel(dx + x, dy + y);
            dst.setPixel(dx + x, dy + y, 0xFF000000u | (op(s, d) & 0xFFFFFFu));
        }
}

}  // namespace

void MakeMask(const QImage& PicIn, QImage& PicMask) {
    const QImage in = rgb32(PicIn);
    if (PicMask.isNull()) PicMask = QImage(in.size(), QImage::Format_RGB32);
    PicMask = rgb32(PicMask);
    PicMask.fill(Qt::white);
    for (int x = 1; x <= in.width(); ++x)
        for (int y = 1; y <= in.height(); ++y)
            if (!IstWeiss(Punkt(in, x, y)) && PicMask.valid(x, y)) PicMask.setPixel(x, y, 0xFF000000u);
}

void ZeichneRand(QImage& Pic, int16_t Breite, int32_t Farbe) {
    Pic = rgb32(Pic);
    const int sw = Pic.width(), sh = Pic.height();
    std::vector<int32_t> M(static_cast<size_t>(sw + 1) * (sh + 1), 0);
    const auto m = [&](int x, int y) -> int32_t& { return M[static_cast<size_t>(y) * (sw + 1) + x]; };
    const auto innen = [&](int x, int y) { return x >= 1 && x < sw && y >= 1 && y < sh; };
    for (int a = 1; a <= 360; ++a) {
        const double w = a / 180.0 * 3.1415;
        const auto punkt = [&](double r) {
            return QPoint(Gerundet(std::sin(w) * r + sw / 2.0), Gerundet(-std::cos(w) * r + sh / 2.0));
        };
        double treffer = -1;
        for (double r = sh; r >= 1; r -= 0.5) {
            const QPoint q = punkt(r);
            if (innen(q.x(), q.y()) && !IstWeiss(Punkt(Pic, q.x(), q.y()))) {
                treffer = r;
                break;
            }
        }
        if (treffer < 0) continue;
        for (double r = treffer; r <= treffer + 1 + Breite; r += 0.5) {
            const QPoint q = punkt(r);
            if (innen(q.x(), q.y())) m(q.x(), q.y()) = Farbe;
        }
    }
    for (int x = 1; x <= sw; ++x)
        for (int y = 1; y <= sh; ++y)
            if (m(x, y) != 0) Punkt2(Pic, x, y, platform::vbColor(m(x, y)).rgb());
}

void BildVerschieben(QImage& Host, const QImage& Hidden, const QImage& XMask, const QImage& Bild, SpriteLage& Lage) {
    Host = rgb32(Host);
    const int w = Gerundet(Lage.Breite), h = Gerundet(Lage.Hoehe);
    const int ax = Gerundet(Lage.AltX), ay = Gerundet(Lage.AltY);
    Blt(Host, ax, ay, w, h, rgb32(Hidden), ax, ay, [](QRgb s, QRgb) { return s; });
    Lage.AltX = Lage.NeuX;
    Lage.AltY = Lage.NeuY;
    const int nx = Gerundet(Lage.NeuX), ny = Gerundet(Lage.NeuY);
    Blt(Host, nx, ny, w, h, rgb32(XMask), 0, 0, [](QRgb s, QRgb d) { return ~s | d; });
    Blt(Host, nx, ny, w, h, rgb32(Bild), 0, 0, [](QRgb s, QRgb d) { return s & d; });
}

void BilderSkalieren(const QImage& Bild, int16_t Prozent, QImage& Flaeche1, QImage& Flaeche2) {
    Flaeche1 = Bild;
    const QSize neu(Gerundet(Bild.width() * Prozent / 100.0), Gerundet(Bild.height() * Prozent / 100.0));
    Flaeche2 = neu.isEmpty() ? QImage() : Bild.scaled(neu);
}

void ZeichneFlaechenAlt(int32_t p, int16_t OffsetX, int16_t OffsetY, int32_t Farbe, int32_t BackColor,
                        const PixelArray& S, PixelArray& N, PixelArray& D, PixelArray& R) {
    const auto [bg, bx, by, sx, sy] = FlaechenVorbereiten(p, BackColor, S, N, D, R);
    const TypeFarbe f = ColorToRGB(Farbe);
    const int32_t farbe = (f.R << 16) | (f.G << 8) | f.B;
    const std::vector<int> ix = Quellindizes(std::max(sx, 0), p);
    const std::vector<int> iy = Quellindizes(std::max(sy, 0), p);
    // A write past the faces' edge (a small picture shifted by the offsets) is left out.
    const auto setze = [](PixelArray& a, double x, double y, int32_t v) {
        const int xi = Gerundet(x), yi = Gerundet(y);
        if (a.inside(xi, yi)) a(xi, yi) = v;
    };
    for (int x = 0; x <= sx; ++x)
        for (int y = 0; y <= sy; ++y) {
            const int32_t c = S.get(ix[static_cast<size_t>(x)], iy[static_cast<size_t>(y)]);
            int32_t stelle = bg;
            if (c == 0xFFFFFF) {
                setze(D, x + OffsetX / 2.0, y + OffsetY / 2.0, c);
                stelle = c;
            }
            if (c > 0) {
                setze(N, x, y, stelle);
                setze(N, x + OffsetX, y + OffsetY, farbe);
            } else {
                setze(N, x + OffsetX, y + OffsetY, bg);
            }
        }
    R = N;
    RotesKreuz(R, bx, by);
}

void ZeichneSchattenAlt(const PixelArray& S, PixelArray& T, int32_t BackColor) {
    if (!S.dimensioned()) return;
    const int W = S.ubound1(), H = S.ubound2();
    const TypeFarbe f = ColorToRGB(BackColor);
    const std::array<int32_t, 3> teile = {std::max(f.B, 0), std::max(f.G, 0), std::max(f.R, 0)};  // pixel order
    PixelArray A(W + 1, H + 1, 0);
    for (int x = 1; x <= W; ++x)
        for (int y = 1; y <= H; ++y) {
            if (S(x, y) != 0) continue;
            for (int dx = -5; dx <= 5; ++dx)
                for (int dy = -5; dy <= 5; ++dy) {
                    const int ax = x + dx + 10, ay = y + dy + 10;
                    if (x + dx >= 0 && y + dy >= 0 && A.inside(ax, ay)) A(ax, ay) += Kegelwert(dx, dy);
                }
        }
    for (int x = 1; x <= W; ++x)
        for (int y = 1; y <= H; ++y) {
            if (S(x, y) == 0 || !T.inside(x, y)) continue;
            int32_t v = 0;
            for (size_t i = 0; i < 3; ++i) v |= std::max(Gerundet(teile[i] - A(x, y) / 150.0), 50) << (8 * i);
            T(x, y) = v;
        }
}

void SchattenAufBild(const QImage& Bitmap, QImage& Ziel, int32_t BackColor) {
    PixelArray a;
    GetArrFromHdl(a, Bitmap);
    const PixelArray quelle = a;
    ZeichneSchatten(100, quelle, a, BackColor);
    if (Ziel.isNull()) Ziel = QImage(Bitmap.size(), QImage::Format_RGB32);
    QPainter dc(&Ziel);
    DrawArr(a, dc);
}
