#pragma once
// Windows shown over the kiosk. An X11 window that is mapped again keeps its old
// place in the stack, and without a window manager nobody raises or focuses it,
// nor acts on a maximise request: these helpers do it themselves.
#include <functional>

class QWidget;

namespace platform {

// Puts a window on top of the stack and gives it the focus.
void bringToFront(QWidget* w);
// Gives a window the focus where it stands in the stack.
void giveFocus(QWidget* w);
// From now on every showing of w brings it to the front. A window without a parent
// gets the owner, or else the window active at the showing, as its transient parent
// (window managers then keep it above that one); when it is hidden, the window
// below gets the focus back, without being raised over other programs' windows.
void bringToFrontWhenShown(QWidget* w, QWidget* owner = nullptr);
// Tests: see every bringToFront and every giveFocus.
void setBringToFrontHook(std::function<void(QWidget*)> h);
void setGiveFocusHook(std::function<void(QWidget*)> h);

// Maximised: the window manager's maximise, and the screen's whole geometry when
// no window manager would answer the request.
void maximize(QWidget* w);

// Without a window manager no window has a frame, and a message box merges into the
// grey dialog under it: from now on every dialog window (message boxes, the error
// dialog, the file and colour dialogs, the program's own dialogs) draws a frame of its
// own whenever it is shown while no window manager runs. Call once, after the
// application object exists.
void frameDialogsWithoutWindowManager();
// The width in pixels of that frame for a dialog shown now (0 when a window manager frames
// it): a dialog that places its contents itself keeps them this far inside its edge.
int ownFrameWidth();

}  // namespace platform
