#include "kiosk/logic/spaltenbreiten.h"

#include <algorithm>
#include <cmath>

namespace kiosklogic {
namespace {
int laenge(double v) { return std::max(0, static_cast<int>(std::nearbyint(v))); }
}  // namespace

std::array<int, 4> Spaltenbreiten(int breite, int c3, const std::array<int, 3>& kopf) {
    constexpr std::array<int, 3> Anteil{4, 4, 2};
    const double rest = breite - c3;
    std::array<bool, 3> fest{};  // held at the header's width
    std::array<double, 3> w{};
    // Each pass holds at least one more column, so three passes settle it.
    for (int pass = 0; pass < 4; ++pass) {
        double frei = rest;
        int anteile = 0;
        for (int i = 0; i < 3; ++i) {
            if (fest[i])
                frei -= kopf[i];
            else
                anteile += Anteil[i];
        }
        bool neu = false;
        for (int i = 0; i < 3; ++i) {
            if (fest[i]) continue;
            w[i] = frei / anteile * Anteil[i];
            if (w[i] < kopf[i]) neu = fest[i] = true;
        }
        if (!neu) break;
    }
    for (int i = 0; i < 3; ++i)
        if (fest[i]) w[i] = kopf[i];
    const int summe = kopf[0] + kopf[1] + kopf[2];
    if (w[0] + w[1] + w[2] > rest + 0.5 && summe > 0)
        for (int i = 0; i < 3; ++i) w[i] = rest * kopf[i] / summe;
    return {laenge(w[0]), laenge(w[1]), laenge(w[2]), c3};
}

}  // namespace kiosklogic
