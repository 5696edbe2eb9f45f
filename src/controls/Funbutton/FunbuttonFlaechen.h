#pragma once
// The touch button's faces, rendered from one picture that serves only as a shape:
// white is transparent, everything else is inside the button. Colours come in as
// colour values &HBBGGRR and are exchanged into pixel order (&H00RRGGBB) here only.
#include "controls/Funbutton/modBilddrehen.h"

#include <cstdint>
#include <vector>

// A source value that counts as transparent.
inline bool IstTransparent(int32_t c) { return c == 0xFFFFFF || c == -1 || c == 0x14FFFFFF; }

// The container colour as the faces use it: parts taken as magnitudes, red and blue exchanged.
int32_t HintergrundPixel(int32_t BackColor);

// Renders the normal face N (with its shadow), the pressed face D and the refused
// face R (N crossed out in red) from the source S at the scale p percent; the pressed
// shape is shifted by half the offsets. N, D and R get S's size. Pictures too small to
// scale (scaled width below 1) give three faces of plain background.
void ZeichneFlaechen(int32_t p, int16_t OffsetX, int16_t OffsetY, int32_t Farbe, int32_t BackColor,
                     const PixelArray& S, PixelArray& N, PixelArray& D, PixelArray& R);

// Adds to T the soft shadow of the shape in S at the scale p (10 source pixels right
// of and below the shape); positions of T that fail are left as they are.
void ZeichneSchatten(int32_t p, const PixelArray& S, PixelArray& T, int32_t BackColor);

// The red cross of the refused face over R, up to the scaled extent (bx, by) of the shape.
void RotesKreuz(PixelArray& R, double bx, double by);

// The shadow cone at (dx, dy), each -5 to 5: 255 less 25 per pixel of rounded distance.
int32_t Kegelwert(int dx, int dy);

// The source index of each face position 0 to n at the scale p (position × 100 / p,
// rounded); -1 where there is none.
std::vector<int> Quellindizes(int n, int32_t p);

// What the renderers share first: N, D and R of S's size in the container colour bg,
// and the shape's scaled extent (bx, by), rounded (sx, sy).
struct Flaechenmass {
    int32_t bg = 0;
    double bx = 0, by = 0;
    int sx = 0, sy = 0;
};
Flaechenmass FlaechenVorbereiten(int32_t p, int32_t BackColor, const PixelArray& S, PixelArray& N, PixelArray& D,
                                 PixelArray& R);
