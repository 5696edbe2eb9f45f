#pragma once
// Hiding and showing the task bar while the kiosk runs.
#include <cstdint>

extern uintptr_t hTaskbar;     // 0 until HideTaskbar ran
extern bool IconsVersteckt;    // True while the main screen has hidden the desktop view

void HideTaskbar();
void ShowTaskbar();
