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

double Rnd() {
    static Zufall zufall(static_cast<uint64_t>(std::chrono::system_clock::now().time_since_epoch().count()) ^
                         static_cast<uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count()));
    return zufall();
}

}  // namespace kiosklogic
