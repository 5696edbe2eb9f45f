#pragma once
// Decisions of the play loop that need no widgets: when the current song has
// reached its hand-over point, and which archive row the random fill takes.
#include <cstdint>
#include <random>
#include <vector>

namespace kiosklogic {

// What the play loop reads from the current playback channel.
struct Kanalzustand {
    int32_t positionMs = 0;    // PlayerPosition: stands still while paused
    int32_t laengeSek = 0;     // PlayerLaenge in whole seconds, 0 without a file
    bool hatDatei = false;     // a song file is open on the channel
    bool ausgespielt = false;  // the open song has played to its end
    bool vorherigesSpielt = false;  // the other channel still plays the song before out
    int32_t laengeMs = 0;           // the open song's exact length
    int32_t vorherigesRestMs = 0;   // what the other channel still has to play
    bool pausiert = false;          // the music stands paused on either channel
};

// Seconds a song of this length overlaps the next one: the crossfade, but at most half the song,
// so a short song is heard before it hands over.
double Ueberlappung(double laengeSek, int32_t fadingSekunden);
// End test: position in seconds strictly past length minus the song's overlap; an idle channel passes
// as soon as the position is past minus the crossfade. With a crossfade of 0: a finished or idle channel.
// A song never hands over while the song before still plays: the next one would take its channel.
// Nothing hands over while the music is paused: the next song would sound into the pause.
bool EndeErreicht(const Kanalzustand& kanal, int32_t fadingSekunden);

// Milliseconds of steady play until EndeErreicht holds, at least 1; -1 when it holds already or
// cannot be foreseen (paused, no song open). Lets the loop catch an end between its ticks.
int32_t MsBisEnde(const Kanalzustand& kanal, int32_t fadingSekunden);

// Archive row for the random fill from r in [0, 1): r * (Rows - 2) + 1 rounded half to even; 0 when it is no data row.
int32_t Zufallszeile(int32_t archivRows, double r);
// The same pick with the rows of ohne left out (the songs that sound now), as long as the archive
// holds another row: a pick of another row stays, and the rows that remain keep their chances
// relative to one another.
int32_t Zufallszeile(int32_t archivRows, double r, std::vector<int32_t> ohne);

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
