#include "controls/Funbutton/FunbuttonFlaechen.h"

#include "base/modStandard.h"

#include <array>
#include <cmath>
#include <cstdlib>
#include <optional>
#include <vector>

namespace {

constexpr int32_t Rot = 0xFF0000;  // pure red in pixel order

// Max(Min(v, hi), lo). The traced Min/Max would put every colour byte into the call
// trace; the renderer clamps tens of thousands of them per face.
template <class T>
T Begrenzt(T v, T lo, T hi) {
    const T m = v <= hi ? v : hi;
    return m >= lo ? m : lo;
}

int Gerundet(double v) { return static_cast<int>(std::nearbyint(v)); }

// The three parts of a colour in pixel order (low byte first).
std::array<int32_t, 3> Pixelteile(const TypeFarbe& f) { return {f.B, f.G, f.R}; }

int32_t AusTeilen(const std::array<int32_t, 3>& b) { return b[0] + 256 * b[1] + 65536 * b[2]; }

// The source index of a face position: position × 100 / p, rounded; none when p is 0.
std::optional<int> Quellindex(int pos, int32_t p) {
    if (p == 0) return std::nullopt;
    const double v = static_cast<double>(pos) * 100.0 / p;
    if (!std::isfinite(v) || std::fabs(v) > 2e9) return std::nullopt;
    return Gerundet(v);
}

// Rounded source indices for 0..n, or -1 where there is none.
std::vector<int> Indextabelle(int n, int32_t p) {
    std::vector<int> t(static_cast<size_t>(std::max(n + 1, 0)), -1);
    for (int i = 0; i <= n; ++i)
        if (auto v = Quellindex(i, p)) t[static_cast<size_t>(i)] = *v;
    return t;
}

// The shadow cone: 255 at the centre, 25 less for each pixel of rounded distance.
std::array<std::array<int32_t, 11>, 11> Kegel() {
    std::array<std::array<int32_t, 11>, 11> k{};
    for (int dy = -5; dy <= 5; ++dy)
        for (int dx = -5; dx <= 5; ++dx) {
            const int d = Gerundet(std::sqrt(static_cast<double>(dx * dx + dy * dy)));
            const int w = (dx == 0 && dy == 0) ? 0 : std::min(25 * d, 255);
            k[static_cast<size_t>(dy + 5)][static_cast<size_t>(dx + 5)] = 255 - w;
        }
    return k;
}

}  // namespace

int32_t HintergrundPixel(int32_t BackColor) {
    const TypeFarbe f = ColorToRGB(BackColor);
    return AusTeilen({std::abs(f.B), std::abs(f.G), std::abs(f.R)});
}

void ZeichneSchatten(int32_t p, const PixelArray& S, PixelArray& T, int32_t BackColor) {
    if (!S.dimensioned()) return;
    const int W = S.ubound1();
    const int H = S.ubound2();
    const int aw = W + 16;
    const int ah = H + 16;
    const int32_t bg = HintergrundPixel(BackColor);

    // Spread: every opaque source pixel adds a cone centred 10 pixels right of and
    // below it; a cone part left of or above the accumulator's column or row 10 is
    // dropped. Gathered row by row so that the inner loop runs along a row.
    static const auto kegel = Kegel();
    std::vector<int32_t> deckend(static_cast<size_t>(W + 1) * (H + 1));
    for (int y = 0; y <= H; ++y)
        for (int x = 0; x <= W; ++x) deckend[static_cast<size_t>(y) * (W + 1) + x] = IstTransparent(S(x, y)) ? 0 : 1;
    std::vector<int32_t> A(static_cast<size_t>(aw) * ah, 0);
    for (int ay = 10; ay < ah; ++ay) {
        int32_t* zeile = &A[static_cast<size_t>(ay) * aw];
        for (int dy = -5; dy <= 5; ++dy) {
            const int sy = ay - 10 - dy;
            if (sy < 0 || sy > H) continue;
            const int32_t* quelle = &deckend[static_cast<size_t>(sy) * (W + 1)];
            for (int dx = -5; dx <= 5; ++dx) {
                const int32_t c = kegel[static_cast<size_t>(dy + 5)][static_cast<size_t>(dx + 5)];
                const int von = std::max(10, 10 + dx);
                const int bis = std::min(aw - 1, W + 10 + dx);
                const int versatz = 10 + dx;
                for (int ax = von; ax <= bis; ++ax) zeile[ax] += c * quelle[ax - versatz];
            }
        }
    }

    // Apply to the transparent positions of the scaled shape and a margin around it.
    const double mx = static_cast<double>(W - 1) * p / 100.0;
    const double my = static_cast<double>(H - 1) * p / 100.0;
    const double rand = static_cast<double>(p) * 15.0 / 100.0;
    const std::vector<int> ix = Indextabelle(W, p);
    const std::vector<int> iy = Indextabelle(H, p);
    std::array<int32_t, 3> bgTeile = {bg & 0xFF, (bg >> 8) & 0xFF, (bg >> 16) & 0xFF};
    for (int x = 0; x <= W; ++x) {
        for (int y = 0; y <= H; ++y) {
            if (!T.inside(x, y)) continue;
            const int qx = ix[static_cast<size_t>(x)];
            const int qy = iy[static_cast<size_t>(y)];
            int32_t c = -1;
            if (!(x > mx || y > my)) {
                if (!S.inside(qx, qy)) continue;  // a failing sample leaves the position
                c = S(qx, qy);
            }
            if (!IstTransparent(c)) continue;
            if (x > mx + rand || y > my + rand) {
                T(x, y) = bg;
                continue;
            }
            if (qx < 0 || qy < 0 || qx >= aw || qy >= ah) continue;
            const int s = Gerundet(A[static_cast<size_t>(qy) * aw + qx] / 150.0);
            if (s == 0) {
                T(x, y) = bg;
            } else {
                std::array<int32_t, 3> b{};
                for (size_t i = 0; i < 3; ++i) b[i] = std::max(bgTeile[i] - s, 0);
                T(x, y) = AusTeilen(b);
            }
        }
    }
}

void ZeichneFlaechen(int32_t p, int16_t OffsetX, int16_t OffsetY, int32_t Farbe, int32_t BackColor,
                     const PixelArray& S, PixelArray& N, PixelArray& D, PixelArray& R) {
    const int W = S.ubound1();
    const int H = S.ubound2();
    const int32_t bg = HintergrundPixel(BackColor);
    N.redim(W + 1, H + 1, bg);
    D.redim(W + 1, H + 1, bg);
    R.redim(W + 1, H + 1, bg);

    const double bx = static_cast<double>(static_cast<int64_t>(W - 1) * p) / 100.0;
    const double by = static_cast<double>(static_cast<int64_t>(H - 1) * p) / 100.0;
    const int sx = Gerundet(bx);
    const int sy = Gerundet(by);
    // The shading divides by half the scaled width: a picture too narrow to scale
    // stays plain background.
    if (sx < 1) return;
    const double h = sx / 2.0;
    const std::array<int32_t, 3> farbe = Pixelteile(ColorToRGB(Farbe));

    // Both shades depend only on k = |x - y| / 4: one pair of colours per k.
    const int kMax = Gerundet(std::max(sx, std::max(sy, 0)) / 4.0) + 1;
    std::vector<int32_t> normal(static_cast<size_t>(kMax) + 1), gedrueckt(static_cast<size_t>(kMax) + 1);
    for (int k = 0; k <= kMax; ++k) {
        const int s1 = h != 0 ? Gerundet(Begrenzt(k * 255.0 / h, 0.0, 200.0)) : 0;
        const int s2 = Gerundet(Begrenzt(k * 155.0 / h, 0.0, 200.0));
        std::array<int32_t, 3> d{}, n{};
        for (size_t i = 0; i < 3; ++i) {
            const int32_t b = farbe[i];
            d[i] = Begrenzt(h >= k ? b - 100 + s1 : b + 100 - s1, 0, 255);
            n[i] = Begrenzt(h >= k ? b - 10 - s2 : b + 100 + s2, 0, 255);
        }
        gedrueckt[static_cast<size_t>(k)] = AusTeilen(d);
        normal[static_cast<size_t>(k)] = AusTeilen(n);
    }

    const std::vector<int> ix = Indextabelle(sx, p);
    const std::vector<int> iy = Indextabelle(std::max(sy, 0), p);
    for (int x = 0; x <= sx; ++x) {
        const int dx = Gerundet(x + OffsetX / 2.0);
        for (int y = 0; y <= sy; ++y) {
            const int k = Gerundet(std::abs(x - y) / 4.0);
            const int32_t c = S.get(ix[static_cast<size_t>(x)], iy[static_cast<size_t>(y)]);
            if (IstTransparent(c)) continue;
            // Small pictures shift the pressed shape past their edge: that part is cut off.
            const int dy = Gerundet(y + OffsetY / 2.0);
            if (D.inside(dx, dy)) D(dx, dy) = gedrueckt[static_cast<size_t>(k)];
            N.set(x, y, normal[static_cast<size_t>(k)]);
        }
    }

    ZeichneSchatten(p, S, N, BackColor);
    R = N;

    // Red cross: a band 11 pixels wide along each row, and one 11 pixels high down
    // each column from the right end of the scaled face; column 0 and row 0 stay.
    int i = -5;
    for (int y = 0; y <= sy; ++y, ++i)
        for (int x = i; x <= i + 10; ++x)
            if (x >= 1 && x <= bx) R.set(x, y, Rot);
    int j = -5;
    for (int x = sx; x >= 0; --x, ++j)
        for (int y = j; y <= j + 10; ++y)
            if (y >= 1 && y <= by) R.set(x, y, Rot);
}
