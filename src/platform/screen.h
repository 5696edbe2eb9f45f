#pragma once
// The screen, the system beep and the mouse pointer.
#include <QSize>

namespace platform {

QSize screenSizePx();             // primary screen in pixels
int screenWidthTwips();
int screenHeightTwips();
void setScreenSizeOverride(QSize px);  // tests: an invalid size restores the real one

void beep();
int beepCount();                   // how often beep() sounded (tests)
void resetMousePointer();          // Screen.MousePointer = default

}  // namespace platform
