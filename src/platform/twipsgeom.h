#pragma once
// Left, Top, Width and Height of any widget in twips. The twips are kept with the
// widget, so a value reads back exactly as written; the pixel geometry follows.
#include <QWidget>

namespace platform {

struct TwipsRect {
    int Left = 0, Top = 0, Width = 0, Height = 0;
};

TwipsRect twips(const QWidget* w);
void setTwips(QWidget* w, const TwipsRect& r);
inline int TwLeft(const QWidget* w) { return twips(w).Left; }
inline int TwTop(const QWidget* w) { return twips(w).Top; }
inline int TwWidth(const QWidget* w) { return twips(w).Width; }
inline int TwHeight(const QWidget* w) { return twips(w).Height; }
void setTwLeft(QWidget* w, int v);
void setTwTop(QWidget* w, int v);
void setTwWidth(QWidget* w, int v);   // negative sizes: runtime error 380
void setTwHeight(QWidget* w, int v);
void setTwGeometry(QWidget* w, int left, int top, int width, int height);

}  // namespace platform
