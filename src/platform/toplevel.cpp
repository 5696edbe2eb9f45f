#include "platform/toplevel.h"

#include "platform/desktop.h"

#include <QApplication>
#include <QEvent>
#include <QPointer>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <QWindow>

namespace platform {
namespace {
std::function<void(QWidget*)> g_hook;

class FrontOnShow : public QObject {
public:
    FrontOnShow(QWidget* w, QWidget* owner) : QObject(w), owner_(owner) { w->installEventFilter(this); }

protected:
    bool eventFilter(QObject* watched, QEvent* e) override {
        if (e->type() == QEvent::Show) {
            auto* w = static_cast<QWidget*>(watched);
            // Without a given owner, the window it is shown over.
            QWidget* owner = owner_ ? owner_.data() : QApplication::activeWindow();
            if (owner && owner != w && !w->parentWidget() && w->windowHandle() && owner->windowHandle())
                w->windowHandle()->setTransientParent(owner->windowHandle());
            bringToFront(w);
        }
        return false;
    }

private:
    QPointer<QWidget> owner_;
};
}  // namespace

void setBringToFrontHook(std::function<void(QWidget*)> h) { g_hook = std::move(h); }

void bringToFront(QWidget* w) {
    if (!w) return;
    if (g_hook) g_hook(w);
    // Both work on a window that is not mapped yet: the map keeps the new place,
    // and the activation waits for the map. The offscreen platform keeps no stack.
    if (QGuiApplication::platformName() != QLatin1String("offscreen")) w->raise();
    w->activateWindow();
}

void bringToFrontWhenShown(QWidget* w, QWidget* owner) {
    if (w) new FrontOnShow(w, owner);
}

void maximize(QWidget* w) {
    if (desktop::windowManagerRunning()) {
        w->setWindowState((w->windowState() & ~Qt::WindowMinimized) | Qt::WindowMaximized);
        return;
    }
    // Nobody would answer the request: the window takes the whole screen itself.
    QScreen* s = w->screen() ? w->screen() : QGuiApplication::primaryScreen();
    if (s) w->setGeometry(s->geometry());
}

}  // namespace platform
