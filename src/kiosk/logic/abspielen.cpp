#include "kiosk/logic/abspielen.h"

#include "platform/runtime.h"

#include <algorithm>
#include <chrono>

namespace kiosklogic {

double Ueberlappung(double laengeSek, int32_t fadingSekunden) {
    return std::min(static_cast<double>(fadingSekunden), laengeSek / 2);
}

bool EndeErreicht(const Kanalzustand& kanal, int32_t fadingSekunden) {
    // A short song after one with a longer overlap waits until that one has ended.
    if (kanal.hatDatei && kanal.vorherigesSpielt) return false;
    // A channel without a song keeps the whole crossfade: that is what starts the first song.
    const double ueberlappung = kanal.hatDatei ? Ueberlappung(kanal.laengeSek, fadingSekunden) : fadingSekunden;
    if (kanal.positionMs / 1000.0 > kanal.laengeSek - ueberlappung) return true;
    // Without overlap the strict test never fires on an idle channel and can miss a song's end
    // when its length was rounded up, so the queue would stall.
    return fadingSekunden <= 0 && (!kanal.hatDatei || kanal.ausgespielt);
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
