#include "kiosk/logic/abspielen.h"

#include "platform/runtime.h"

#include <chrono>

namespace kiosklogic {

bool EndeErreicht(const Kanalzustand& kanal, int32_t fadingSekunden) {
    const int64_t grenze = int64_t{kanal.laengeSek} - fadingSekunden;
    if (kanal.positionMs / 1000.0 > static_cast<double>(grenze)) return true;
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
