#pragma once
// Colour values &HBBGGRR in a signed 32-bit integer; values with the high bit set
// are system colours, resolved through the palette.
#include <QColor>
#include <cstdint>

namespace platform {

constexpr int32_t RGB(int r, int g, int b) { return r + 256 * g + 65536 * b; }

constexpr int32_t vbWindowBackground = static_cast<int32_t>(0x80000005u);
constexpr int32_t vbWindowText = static_cast<int32_t>(0x80000008u);
constexpr int32_t vbButtonFace = static_cast<int32_t>(0x8000000Fu);
constexpr int32_t vbBlack = 0;
constexpr int32_t vbWhite = 0xFFFFFF;
constexpr int32_t vbRed = 0x0000FF;
constexpr int32_t vbBlue = 0xFF0000;

QColor vbColor(int32_t value);
int32_t fromQColor(const QColor& c);

// Relative luminance of a colour as contrast measures use it: 0 black, 1 white.
double Leuchtdichte(const QColor& c);
// The contrast ratio of two luminances, 1 (none) to 21 (black on white).
double Kontrast(double l1, double l2);
// Black or white, whichever reads better on the colour (at least 4.5 : 1 on any colour).
QColor LesbareSchrift(const QColor& hintergrund);

}  // namespace platform
