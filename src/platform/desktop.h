#pragma once
// The desktop shell's windows that the kiosk hides: the task bar (every dock
// window, such as panels) and the desktop view (every desktop-type window).
// A handle stands for such a set of windows; 0 means none was found, and every
// call on 0 does nothing. Only an X11 session has them: elsewhere (offscreen,
// Wayland) nothing is ever found.
#include <cstdint>
#include <functional>

namespace platform::desktop {

using Handle = uintptr_t;

Handle findTaskbar();
Handle findDesktopView();
// Visible when one of its windows is mapped and viewable; 0 is never visible.
bool isVisible(Handle h);
void hide(Handle h);
void show(Handle h);
// Tests: sees every hide (false) and show (true), also of 0.
void setShowHideHook(std::function<void(Handle, bool shown)> h);

// True when a window manager runs on the display (it answers maximise requests).
bool windowManagerRunning();

}  // namespace platform::desktop
