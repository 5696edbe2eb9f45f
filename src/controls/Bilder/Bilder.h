#pragma once
// The pictures of the touch buttons of the main screen and the game: a black shape
// on white, the form in which the face renderer reads them.
#include <QImage>

namespace Bilder {

enum class Motiv {
    PfeilHoch,       // arrow up
    PfeilRunter,     // arrow down
    Uebernehmen,     // take-over arrow (into the playlist)
    Muelleimer,      // trash can
    SchlossAuf,      // open lock
    SchlossZu,       // closed lock
    Fragezeichen,    // question mark
    Smiley,
    Note,
    NeuesSpiel,      // game board with a mark: a new game
    Schliessen,      // open door with an arrow leading out
};

QImage zeichne(Motiv m, int widthPx, int heightPx);

}  // namespace Bilder
