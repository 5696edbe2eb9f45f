#pragma once
// The touch button's further drawing procedures, which no screen uses: a mask of a
// shape, a coloured band around a shape, a sprite mover, a picture scaler, the earlier
// face renderer and shadow pass, and a shadow over one picture. Pictures are RGB32 images.
#include "controls/Funbutton/modBilddrehen.h"

#include <QImage>
#include <cstdint>

// Into PicMask (white background) a black pixel for every non-white pixel of PicIn;
// column 0 and row 0 are not looked at. A null mask gets PicIn's size.
void MakeMask(const QImage& PicIn, QImage& PicMask);

// A band of colour Farbe, Breite + 1 pixels deep, around the outside of the non-white
// shape in Pic, found along 360 rays from the centre. Farbe 0 paints nothing.
void ZeichneRand(QImage& Pic, int16_t Breite, int32_t Farbe);

// Where the sprite was and where it goes (host units), and its size.
struct SpriteLage {
    float AltX = 0, AltY = 0;
    float NeuX = 0, NeuY = 0;
    double Breite = 0, Hoehe = 0;
};

// Restores the host's background at the old place from Hidden, then stamps the sprite at
// the new place: its mask XMask (black shape on white) merged in, the sprite Bild and-ed.
// The old place becomes the new one.
void BildVerschieben(QImage& Host, const QImage& Hidden, const QImage& XMask, const QImage& Bild, SpriteLage& Lage);

// Flaeche1 gets the picture as it is, Flaeche2 the picture scaled to Prozent percent.
void BilderSkalieren(const QImage& Bild, int16_t Prozent, QImage& Flaeche1, QImage& Flaeche2);

// The earlier renderer: flat faces without shading or shadow; the normal face gets the
// face colour at the full offsets, the pressed face white where the source is white.
// R is N crossed out in red.
void ZeichneFlaechenAlt(int32_t p, int16_t OffsetX, int16_t OffsetY, int32_t Farbe, int32_t BackColor,
                        const PixelArray& S, PixelArray& N, PixelArray& D, PixelArray& R);

// The earlier shadow pass at the picture's own scale: black source pixels cast the cone
// shadow onto the non-black ones, which never go below 50 per part.
void ZeichneSchattenAlt(const PixelArray& S, PixelArray& T, int32_t BackColor);

// Bitmap with the shadow of its own shape at 100 %, drawn into Ziel.
void SchattenAufBild(const QImage& Bitmap, QImage& Ziel, int32_t BackColor);
