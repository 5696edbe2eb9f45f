// Melotra: the start dialog is the program's first window.
#include "platform/app.h"
#include "platform/toplevel.h"
#include "settings/startup.h"

#include <QApplication>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#ifdef MELOTRA_HAVE_X11
#include <X11/Xlib.h>
#endif

namespace {

// The window system Qt will use: "-platform NAME" on the command line, else QT_QPA_PLATFORM.
std::string platformName(int argc, char** argv) {
    for (int i = 1; i + 1 < argc; ++i)
        if (std::strcmp(argv[i], "-platform") == 0 || std::strcmp(argv[i], "--platform") == 0) return argv[i + 1];
    const char* env = std::getenv("QT_QPA_PLATFORM");
    return env ? env : "";
}

// Qt aborts when its X connection fails; a kiosk started by hand or by a service
// without a display says why and ends with an error status instead.
bool displayReachable(int argc, char** argv) {
    const std::string name = platformName(argc, argv);
    if (!name.empty() && name.rfind("xcb", 0) != 0) return true;  // offscreen, wayland, ...
    const char* display = std::getenv("DISPLAY");
    if (!display || !*display) return false;
#ifdef MELOTRA_HAVE_X11
    Display* d = XOpenDisplay(display);
    if (!d) return false;
    XCloseDisplay(d);
#endif
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (!displayReachable(argc, argv)) {
        const char* display = std::getenv("DISPLAY");
        std::fprintf(stderr, "Melotra: keine Bildschirmanzeige erreichbar (DISPLAY=%s); bitte unter X11 starten.\n",
                     display && *display ? display : "nicht gesetzt");
        return 2;
    }
    platform::prepareEnvironment();
    QApplication app(argc, argv);
    platform::installTranslations(app);
    platform::frameDialogsWithoutWindowManager();
    return melotraMain(app);
}
