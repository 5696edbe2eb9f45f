#include "platform/desktop.h"

#include <QGuiApplication>
#include <algorithm>
#include <vector>

#if MELOTRA_HAVE_X11
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#endif

namespace platform::desktop {
namespace {
enum : Handle { NoSet = 0, TaskbarSet = 1, DesktopSet = 2 };
std::function<void(Handle, bool)> g_showHideHook;

void tellHook(Handle h, bool shown) {
    if (g_showHideHook) g_showHideHook(h, shown);
}

#if MELOTRA_HAVE_X11
using WindowList = std::vector<Window>;
// The windows last found per set: an unmapped window drops out of the window
// manager's client list, so showing it again relies on what was found before.
WindowList g_sets[3];

bool onX11() { return QGuiApplication::platformName() == QLatin1String("xcb"); }

int ignoreErrors(Display*, XErrorEvent*) { return 0; }  // windows may vanish meanwhile

// Our own connection, so that nothing interferes with Qt's.
class Connection {
public:
    Connection() : d_(XOpenDisplay(nullptr)) {
        if (d_) old_ = XSetErrorHandler(ignoreErrors);
    }
    ~Connection() {
        if (!d_) return;
        XSync(d_, False);
        XSetErrorHandler(old_);
        XCloseDisplay(d_);
    }
    Display* get() const { return d_; }

private:
    Display* d_;
    int (*old_)(Display*, XErrorEvent*) = nullptr;
};

WindowList atomList(Display* d, Window w, Atom property, Atom type) {
    WindowList out;
    Atom actual = 0;
    int format = 0;
    unsigned long n = 0, rest = 0;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(d, w, property, 0, 1024, False, type, &actual, &format, &n, &rest, &data) == Success && data) {
        if (format == 32) {
            const auto* v = reinterpret_cast<const unsigned long*>(data);
            out.assign(v, v + n);
        }
        XFree(data);
    }
    return out;
}

void children(Display* d, Window w, int depth, WindowList& out) {
    Window root = 0, parent = 0, *kids = nullptr;
    unsigned int n = 0;
    if (!XQueryTree(d, w, &root, &parent, &kids, &n)) return;
    for (unsigned int i = 0; i < n; ++i) {
        out.push_back(kids[i]);
        if (depth > 1) children(d, kids[i], depth - 1, out);  // client windows inside frames
    }
    if (kids) XFree(kids);
}

bool hasType(Display* d, Window w, Atom wanted) {
    const WindowList types = atomList(d, w, XInternAtom(d, "_NET_WM_WINDOW_TYPE", False), XA_ATOM);
    return std::find(types.begin(), types.end(), wanted) != types.end();
}

Handle find(Handle set, const char* typeName) {
    if (!onX11()) return NoSet;
    Connection c;
    Display* d = c.get();
    if (!d) return NoSet;
    const Window root = DefaultRootWindow(d);
    const Atom wanted = XInternAtom(d, typeName, False);
    WindowList candidates = atomList(d, root, XInternAtom(d, "_NET_CLIENT_LIST", False), XA_WINDOW);
    children(d, root, 2, candidates);
    candidates.insert(candidates.end(), g_sets[set].begin(), g_sets[set].end());
    std::sort(candidates.begin(), candidates.end());
    candidates.erase(std::unique(candidates.begin(), candidates.end()), candidates.end());
    WindowList found;
    for (Window w : candidates)
        if (hasType(d, w, wanted)) found.push_back(w);
    g_sets[set] = found;
    return found.empty() ? NoSet : set;
}

const WindowList* windows(Handle h) {
    if (h != TaskbarSet && h != DesktopSet) return nullptr;
    return &g_sets[h];
}
#endif
}  // namespace

void setShowHideHook(std::function<void(Handle, bool)> h) { g_showHideHook = std::move(h); }

#if MELOTRA_HAVE_X11
Handle findTaskbar() { return find(TaskbarSet, "_NET_WM_WINDOW_TYPE_DOCK"); }
Handle findDesktopView() { return find(DesktopSet, "_NET_WM_WINDOW_TYPE_DESKTOP"); }

bool isVisible(Handle h) {
    const WindowList* ws = windows(h);
    if (!ws || ws->empty() || !onX11()) return false;
    Connection c;
    if (!c.get()) return false;
    for (Window w : *ws) {
        XWindowAttributes a{};
        if (XGetWindowAttributes(c.get(), w, &a) && a.map_state == IsViewable) return true;
    }
    return false;
}

void hide(Handle h) {
    tellHook(h, false);
    const WindowList* ws = windows(h);
    if (!ws || ws->empty() || !onX11()) return;
    Connection c;
    if (!c.get()) return;
    for (Window w : *ws) XUnmapWindow(c.get(), w);
}

void show(Handle h) {
    tellHook(h, true);
    const WindowList* ws = windows(h);
    if (!ws || ws->empty() || !onX11()) return;
    Connection c;
    if (!c.get()) return;
    for (Window w : *ws) XMapWindow(c.get(), w);
}

bool windowManagerRunning() {
    if (!onX11()) return false;
    Connection c;
    Display* d = c.get();
    if (!d) return false;
    // A window manager names its check window on the root; a stale name outlives it.
    const WindowList check = atomList(d, DefaultRootWindow(d), XInternAtom(d, "_NET_SUPPORTING_WM_CHECK", False), XA_WINDOW);
    if (check.empty()) return false;
    XWindowAttributes a{};
    return XGetWindowAttributes(d, check.front(), &a) != 0;
}
#else
Handle findTaskbar() { return NoSet; }
Handle findDesktopView() { return NoSet; }
bool isVisible(Handle) { return false; }
void hide(Handle h) { tellHook(h, false); }
void show(Handle h) { tellHook(h, true); }
bool windowManagerRunning() { return false; }
#endif

}  // namespace platform::desktop
