#include "controls/Funbutton/FunbuttonFlaechen.h"

#include "base/modStandard.h"

#include <algorithm>
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

// The shadow accumulator: each opaque source pixel adds a cone centred 10 pixels
// right of and below it, over (0 To W + 15, 0 To H + 15); a cone part left of or above
// column or row 10 is dropped. Only the entries the apply step reads are computed, and
// the cone is summed as rows (one row shape per |dy|) and then down the columns.
class Akkumulator {
public:
    template <class NeedX, class NeedY>
    Akkumulator(const PixelArray& S, const std::vector<int>& ix, const std::vector<int>& iy, NeedX needX, NeedY needY)
        : W_(S.ubound1()), H_(S.ubound2()), spalte_(static_cast<size_t>(W_ + 16), -1), zeile_(static_cast<size_t>(H_ + 16), -1) {
        static const auto kegel = Kegel();
        const int aw = W_ + 16;
        for (size_t x = 0; x < ix.size(); ++x)
            if (needX(static_cast<int>(x))) merke(spalte_, spalten_, ix[x]);
        for (size_t y = 0; y < iy.size(); ++y)
            if (needY(static_cast<int>(y))) merke(zeile_, zeilen_, iy[y]);
        const size_t nc = spalten_.size();

        // Rows of the mask, shifted by 5 and padded with 0, so that m[ax - 5 - dx] is
        // the source pixel ax - 10 - dx for every ax of the accumulator.
        std::vector<int32_t> m(static_cast<size_t>(aw));
        std::vector<int32_t> reihen(6 * static_cast<size_t>(H_ + 1) * nc, 0);
        for (int sy = 0; sy <= H_; ++sy) {
            std::fill(m.begin(), m.end(), 0);
            for (int x = 0; x <= W_; ++x) m[static_cast<size_t>(x + 5)] = IstTransparent(S(x, sy)) ? 0 : 1;
            for (size_t c = 0; c < nc; ++c) {
                const int ax = spalten_[c];
                if (ax < 10) continue;
                for (int k = 0; k <= 5; ++k) {
                    const auto& reihe = kegel[static_cast<size_t>(k + 5)];
                    int32_t sum = 0;
                    for (int dx = -5; dx <= 5; ++dx) sum += reihe[static_cast<size_t>(dx + 5)] * m[static_cast<size_t>(ax - 5 - dx)];
                    reihen[(static_cast<size_t>(k) * (H_ + 1) + sy) * nc + c] = sum;
                }
            }
        }
        werte_.assign(zeilen_.size() * nc, 0);
        for (size_t r = 0; r < zeilen_.size(); ++r) {
            const int ay = zeilen_[r];
            if (ay < 10) continue;
            for (int dy = -5; dy <= 5; ++dy) {
                const int sy = ay - 10 - dy;
                if (sy < 0 || sy > H_) continue;
                const int32_t* q = &reihen[(static_cast<size_t>(std::abs(dy)) * (H_ + 1) + sy) * nc];
                int32_t* z = &werte_[r * nc];
                for (size_t c = 0; c < nc; ++c) z[c] += q[c];
            }
        }
    }

    // The entry (ax, ay); none outside the accumulator or where it was not asked for.
    std::optional<int32_t> wert(int ax, int ay) const {
        if (ax < 0 || ay < 0 || ax > W_ + 15 || ay > H_ + 15) return std::nullopt;
        const int c = spalte_[static_cast<size_t>(ax)], r = zeile_[static_cast<size_t>(ay)];
        if (c < 0 || r < 0) return std::nullopt;
        return werte_[static_cast<size_t>(r) * spalten_.size() + static_cast<size_t>(c)];
    }

private:
    static void merke(std::vector<int>& index, std::vector<int>& liste, int v) {
        if (v < 0 || v >= static_cast<int>(index.size()) || index[static_cast<size_t>(v)] >= 0) return;
        index[static_cast<size_t>(v)] = static_cast<int>(liste.size());
        liste.push_back(v);
    }

    int W_, H_;
    std::vector<int> spalte_, zeile_;    // accumulator column/row -> slot, -1 when not needed
    std::vector<int> spalten_, zeilen_;  // slot -> accumulator column/row
    std::vector<int32_t> werte_;
};

}  // namespace

int32_t HintergrundPixel(int32_t BackColor) {
    const TypeFarbe f = ColorToRGB(BackColor);
    return AusTeilen({std::abs(f.B), std::abs(f.G), std::abs(f.R)});
}

void ZeichneSchatten(int32_t p, const PixelArray& S, PixelArray& T, int32_t BackColor) {
    if (!S.dimensioned()) return;
    const int W = S.ubound1();
    const int H = S.ubound2();
    const int32_t bg = HintergrundPixel(BackColor);

    // The shadow falls on the transparent positions of the scaled shape and a margin
    // of 15 source pixels around it; farther out the face is plain background.
    const double mx = static_cast<double>(W - 1) * p / 100.0;
    const double my = static_cast<double>(H - 1) * p / 100.0;
    const double rand = static_cast<double>(p) * 15.0 / 100.0;
    const std::vector<int> ix = Indextabelle(W, p);
    const std::vector<int> iy = Indextabelle(H, p);
    const Akkumulator A(S, ix, iy, [&](int x) { return x <= mx + rand; }, [&](int y) { return y <= my + rand; });
    const std::array<int32_t, 3> bgTeile = {bg & 0xFF, (bg >> 8) & 0xFF, (bg >> 16) & 0xFF};
    for (int y = 0; y <= H; ++y) {
        for (int x = 0; x <= W; ++x) {
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
            const std::optional<int32_t> a = A.wert(qx, qy);
            if (!a) continue;
            const int s = Gerundet(*a / 150.0);
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

Flaechenmass FlaechenVorbereiten(int32_t p, int32_t BackColor, const PixelArray& S, PixelArray& N, PixelArray& D,
                                 PixelArray& R) {
    const int W = S.ubound1();
    const int H = S.ubound2();
    Flaechenmass m;
    m.bg = HintergrundPixel(BackColor);
    N.redim(W + 1, H + 1, m.bg);
    D.redim(W + 1, H + 1, m.bg);
    R.redim(W + 1, H + 1, m.bg);
    m.bx = static_cast<double>(static_cast<int64_t>(W - 1) * p) / 100.0;
    m.by = static_cast<double>(static_cast<int64_t>(H - 1) * p) / 100.0;
    m.sx = Gerundet(m.bx);
    m.sy = Gerundet(m.by);
    return m;
}

void ZeichneFlaechen(int32_t p, int16_t OffsetX, int16_t OffsetY, int32_t Farbe, int32_t BackColor,
                     const PixelArray& S, PixelArray& N, PixelArray& D, PixelArray& R) {
    const auto [bg, bx, by, sx, sy] = FlaechenVorbereiten(p, BackColor, S, N, D, R);
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
    RotesKreuz(R, bx, by);
}

void RotesKreuz(PixelArray& R, double bx, double by) {
    // A band 11 pixels wide along each row, and one 11 pixels high down each column
    // from the right end of the scaled face; column 0 and row 0 stay.
    const int sx = Gerundet(bx);
    const int sy = Gerundet(by);
    int i = -5;
    for (int y = 0; y <= sy; ++y, ++i)
        for (int x = i; x <= i + 10; ++x)
            if (x >= 1 && x <= bx) R.set(x, y, Rot);
    int j = -5;
    for (int x = sx; x >= 0; --x, ++j)
        for (int y = j; y <= j + 10; ++y)
            if (y >= 1 && y <= by) R.set(x, y, Rot);
}

int32_t Kegelwert(int dx, int dy) {
    static const auto kegel = Kegel();
    return kegel[static_cast<size_t>(dy + 5)][static_cast<size_t>(dx + 5)];
}

std::vector<int> Quellindizes(int n, int32_t p) { return Indextabelle(n, p); }
