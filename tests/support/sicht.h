#pragma once
// What a guest sees, measured on rendered pixels: the contrast of text against what lies
// behind it (relative luminance as the web's accessibility guidelines define it), the
// part of a button its symbol covers, and where ink lies.
#include <QColor>
#include <QImage>
#include <QRect>

namespace sicht {

double Leuchtdichte(QColor c);
// 1 (none) to 21 (black on white).
double Kontrast(QColor a, QColor b);
// The contrast between the darkest and the lightest pixel in the area: for an area that
// holds text on its ground, the contrast of the letters' cores against the ground.
double Spannweite(const QImage& img, const QRect& area);
// The bounding box of the pixels in the area that differ from the ground colour by more
// than a trace of anti-aliasing; empty when there are none.
QRect Tinte(const QImage& img, const QRect& area, QColor grund);
// The share of the image that the box around its drawing covers (the ground is the
// colour at the given corner pixel).
double Fuellanteil(const QImage& img, QPoint grundAn = {0, 0});

}  // namespace sicht
