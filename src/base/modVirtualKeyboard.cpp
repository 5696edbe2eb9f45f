#include "base/modVirtualKeyboard.h"

#include "platform/desktop.h"

uintptr_t hTaskbar = 0;
bool IconsVersteckt = false;

void HideTaskbar() {
    hTaskbar = platform::desktop::findTaskbar();
    platform::desktop::hide(hTaskbar);
}

void ShowTaskbar() {
    if (hTaskbar != 0) platform::desktop::show(hTaskbar);
}
