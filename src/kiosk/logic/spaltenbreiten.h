#pragma once
// How a grid's width is shared among its first four columns (twips).
#include <array>

namespace kiosklogic {

// The fourth column gets c3; the rest goes to the first three as 4 : 4 : 2 of its tenths.
// A column that would be narrower than its header (kopf) gets the header's width, taken
// from the others by the same shares; where even the headers do not fit, they share the
// rest by their widths. Widths are whole numbers, never negative.
std::array<int, 4> Spaltenbreiten(int breite, int c3, const std::array<int, 3>& kopf);

}  // namespace kiosklogic
