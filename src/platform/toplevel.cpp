#include "platform/toplevel.h"

#include "platform/desktop.h"

#include <QApplication>
#include <QEvent>
#include <QPainter>
#include <QPointer>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <QWindow>

namespace platform {
namespace {
std::function<void(QWidget*)> g_hook;
std::function<void(QWidget*)> g_focusHook;
constexpr int RahmenDicke = 2;
QObject* g_rahmenFilter = nullptr;

class FrontOnShow : public QObject {
public:
    FrontOnShow(QWidget* w, QWidget* owner) : QObject(w), owner_(owner) { w->installEventFilter(this); }

protected:
    bool eventFilter(QObject* watched, QEvent* e) override {
        auto* w = static_cast<QWidget*>(watched);
        if (e->type() == QEvent::Show) {
            // Without a given owner, the window it is shown over.
            shownOver_ = owner_ ? owner_.data() : QApplication::activeWindow();
            // A window just hidden may still count as active: the kiosk shown after the
            // start dialog must not become its transient (a manager keeps those above).
            if (shownOver_ == w || (shownOver_ && !shownOver_->isVisible())) shownOver_ = nullptr;
            if (shownOver_ && !w->parentWidget() && w->windowHandle() && shownOver_->windowHandle())
                w->windowHandle()->setTransientParent(shownOver_->windowHandle());
            bringToFront(w);
        } else if (e->type() == QEvent::Hide && !e->spontaneous()) {
            // Without a window manager the focus would fall to the root window, where
            // no key reaches the kiosk: it goes back to the window below. Not raised: a
            // window of another program opened meanwhile (the file manager) stays above it.
            QWidget* below = w->parentWidget() ? w->parentWidget()->window() : shownOver_.data();
            const QWidget* active = QApplication::activeWindow();
            if (below && below->isVisible() && (!active || active == w)) giveFocus(below);
        }
        return false;
    }

private:
    QPointer<QWidget> owner_;
    QPointer<QWidget> shownOver_;
};
// Draws the frame over the edge of a dialog, after the dialog has painted itself.
class Rahmen : public QObject {
public:
    explicit Rahmen(QWidget* w) : QObject(w) { w->installEventFilter(this); }
    bool zeigen = false;  // decided at each showing

protected:
    bool eventFilter(QObject* watched, QEvent* e) override {
        if (e->type() != QEvent::Paint || !zeigen || malt_) return false;
        auto* w = static_cast<QWidget*>(watched);
        malt_ = true;
        QCoreApplication::sendEvent(w, e);
        malt_ = false;
        QPainter p(w);
        p.setPen(Qt::NoPen);
        p.setBrush(w->palette().color(QPalette::WindowText));
        const QRect r = w->rect();
        p.drawRect(r.left(), r.top(), r.width(), RahmenDicke);
        p.drawRect(r.left(), r.bottom() - RahmenDicke + 1, r.width(), RahmenDicke);
        p.drawRect(r.left(), r.top(), RahmenDicke, r.height());
        p.drawRect(r.right() - RahmenDicke + 1, r.top(), RahmenDicke, r.height());
        return true;
    }

private:
    bool malt_ = false;
};

class RahmenBeimZeigen : public QObject {
protected:
    bool eventFilter(QObject* watched, QEvent* e) override {
        if (e->type() != QEvent::Show || !watched->isWidgetType()) return false;
        auto* w = static_cast<QWidget*>(watched);
        // Windows that chose to have no frame (the information page) keep none.
        if (!w->isWindow() || w->windowType() != Qt::Dialog || w->windowFlags().testFlag(Qt::FramelessWindowHint))
            return false;
        Rahmen* rahmen = nullptr;
        for (QObject* c : w->children())
            if ((rahmen = dynamic_cast<Rahmen*>(c))) break;
        if (!rahmen) rahmen = new Rahmen(w);
        rahmen->zeigen = !desktop::windowManagerRunning();
        return false;
    }
};
}  // namespace

void frameDialogsWithoutWindowManager() {
    if (g_rahmenFilter || !QCoreApplication::instance()) return;
    g_rahmenFilter = new RahmenBeimZeigen;
    g_rahmenFilter->setParent(QCoreApplication::instance());
    QCoreApplication::instance()->installEventFilter(g_rahmenFilter);
}

int ownFrameWidth() { return g_rahmenFilter && !desktop::windowManagerRunning() ? RahmenDicke : 0; }

void setBringToFrontHook(std::function<void(QWidget*)> h) { g_hook = std::move(h); }

void bringToFront(QWidget* w) {
    if (!w) return;
    if (g_hook) g_hook(w);
    // Both work on a window that is not mapped yet: the map keeps the new place,
    // and the activation waits for the map. The offscreen platform keeps no stack.
    if (QGuiApplication::platformName() != QLatin1String("offscreen")) w->raise();
    w->activateWindow();
}

void giveFocus(QWidget* w) {
    if (!w) return;
    if (g_focusHook) g_focusHook(w);
    w->activateWindow();
}

void setGiveFocusHook(std::function<void(QWidget*)> h) { g_focusHook = std::move(h); }

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
