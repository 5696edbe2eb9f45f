#include "kiosk/logic/abspielen.h"

#include "platform/runtime.h"

#include <algorithm>
#include <chrono>
#include <cmath>

namespace kiosklogic {

double Ueberlappung(double laengeSek, int32_t fadingSekunden) {
    return std::min(static_cast<double>(fadingSekunden), laengeSek / 2);
}

bool EndeErreicht(const Kanalzustand& kanal, int32_t fadingSekunden) {
    if (kanal.pausiert) return false;
    // A short song after one with a longer overlap waits until that one has ended.
    if (kanal.hatDatei && kanal.vorherigesSpielt) return false;
    // Without overlap a song hands over at its very end: its length in whole seconds may lie
    // before it (the song would be cut) or after it (the strict test would never pass).
    if (fadingSekunden <= 0) return !kanal.hatDatei || kanal.ausgespielt;
    // A channel without a song keeps the whole crossfade: that is what starts the first song.
    const double ueberlappung = kanal.hatDatei ? Ueberlappung(kanal.laengeSek, fadingSekunden) : fadingSekunden;
    return kanal.positionMs / 1000.0 > kanal.laengeSek - ueberlappung;
}

int32_t MsBisEnde(const Kanalzustand& kanal, int32_t fadingSekunden) {
    if (kanal.pausiert || !kanal.hatDatei || EndeErreicht(kanal, fadingSekunden)) return -1;
    double ms = double(kanal.laengeMs) - kanal.positionMs;
    if (fadingSekunden > 0) {
        // The end test passes once the position is strictly past this many milliseconds.
        const double schwelle = (kanal.laengeSek - Ueberlappung(kanal.laengeSek, fadingSekunden)) * 1000.0;
        ms = std::floor(schwelle) + 1 - kanal.positionMs;
    }
    if (kanal.vorherigesSpielt) ms = std::max(ms, double(kanal.vorherigesRestMs));
    return static_cast<int32_t>(std::clamp(ms, 1.0, 1e9));
}

int32_t Zufallszeile(int32_t archivRows, double r) {
    const int32_t n = platform::CLng(r * (double(archivRows) - 2) + 1);
    return (n >= 1 && n <= archivRows - 1) ? n : 0;
}

int32_t Zufallszeile(int32_t archivRows, double r, std::vector<int32_t> ohne) {
    const int32_t zeilen = archivRows - 1;
    const int32_t n = Zufallszeile(archivRows, r);
    std::sort(ohne.begin(), ohne.end());
    ohne.erase(std::unique(ohne.begin(), ohne.end()), ohne.end());
    std::erase_if(ohne, [&](int32_t z) { return z < 1 || z > zeilen; });
    const auto frei = [&](int32_t z) { return z >= 1 && z <= zeilen && !std::binary_search(ohne.begin(), ohne.end(), z); };
    if (frei(n) || int32_t(ohne.size()) >= zeilen) return n;
    // Row z takes the part [z - 1.5, z - 0.5) / s of [0, 1), the first and the last row half of
    // that. Where r fell inside the left-out row's part is a fresh draw, stretched over the parts
    // that stay and stepped past the left-out ones: every other row keeps its share.
    const double s = double(zeilen) - 1;
    const auto anfang = [&](int32_t z) { return std::clamp((z - 1.5) / s, 0.0, 1.0); };
    const auto ende = [&](int32_t z) { return std::clamp((z - 0.5) / s, 0.0, 1.0); };
    const double unter1 = std::nextafter(1.0, 0.0);
    const double t = std::clamp((r - anfang(n)) / (ende(n) - anfang(n)), 0.0, unter1);
    double weg = 0;
    for (int32_t z : ohne) weg += ende(z) - anfang(z);
    double x = t * (1 - weg);
    for (int32_t z : ohne)
        if (x >= anfang(z)) x += ende(z) - anfang(z);
    const int32_t m = Zufallszeile(archivRows, std::min(x, unter1));
    // On a border the rounding may still land on a left-out row: its neighbour takes the pick.
    for (int32_t d = 0; d <= zeilen; ++d) {
        if (frei(m + d)) return m + d;
        if (frei(m - d)) return m - d;
    }
    return m;
}

double Rnd() {
    static Zufall zufall(static_cast<uint64_t>(std::chrono::system_clock::now().time_since_epoch().count()) ^
                         static_cast<uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count()));
    return zufall();
}

}  // namespace kiosklogic
