#include "platform/screen.h"

#include "platform/beeptone.h"
#include "platform/twips.h"

#include <QApplication>
#include <QGuiApplication>
#include <QScreen>

namespace platform {
namespace {
QSize g_override;
int g_beeps = 0;
}  // namespace

void setScreenSizeOverride(QSize px) { g_override = px; }

QSize screenSizePx() {
    if (g_override.isValid()) return g_override;
    if (QGuiApplication::instance())
        if (QScreen* s = QGuiApplication::primaryScreen()) return s->geometry().size();
    return QSize(1024, 768);
}

int screenWidthTwips() { return screenSizePx().width() * TwipsPerPixel; }
int screenHeightTwips() { return screenSizePx().height() * TwipsPerPixel; }

void beep() {
    ++g_beeps;
    playBeepTone();
}

int beepCount() { return g_beeps; }

void resetMousePointer() {
    if (!qobject_cast<QApplication*>(QCoreApplication::instance())) return;
    while (QApplication::overrideCursor()) QApplication::restoreOverrideCursor();
}

}  // namespace platform
