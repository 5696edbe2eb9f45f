#pragma once
// Decisions of the play loop that need no widgets: when the current song has
// reached its hand-over point, and which archive row the random fill takes.
#include <cstdint>
#include <random>

namespace kiosklogic {

// What the play loop reads from the current playback channel.
struct Kanalzustand {
    int32_t positionMs = 0;    // PlayerPosition: stands still while paused
    int32_t laengeSek = 0;     // PlayerLaenge in whole seconds, 0 without a file
    bool hatDatei = false;     // a song file is open on the channel
    bool ausgespielt = false;  // the open song has played to its end
    bool vorherigesSpielt = false;  // the other channel still plays the song before out
};

// Seconds a song of this length overlaps the next one: the crossfade, but at most half the song,
// so a short song is heard before it hands over.
double Ueberlappung(double laengeSek, int32_t fadingSekunden);
// End test: position in seconds strictly past length minus the song's overlap; an idle channel passes
// as soon as the position is past minus the crossfade, and with a crossfade of 0 a finished channel too.
// A song never hands over while the song before still plays: the next one would take its channel.
bool EndeErreicht(const Kanalzustand& kanal, int32_t fadingSekunden);

// Archive row for the random fill from r in [0, 1): r * (Rows - 2) + 1 rounded half to even; 0 when it is no data row.
int32_t Zufallszeile(int32_t archivRows, double r);

// Seedable source of doubles in [0, 1), like the runtime's Rnd; tests pass a fixed seed.
class Zufall {
public:
    explicit Zufall(uint64_t seed) : gen_(seed) {}
    double operator()() { return static_cast<double>(gen_() >> 11) * 0x1.0p-53; }

private:
    std::mt19937_64 gen_;
};

// The program's random number in [0, 1), seeded from the clock on first use.
double Rnd();

}  // namespace kiosklogic
