#include "platform/input.h"

#include <QCoreApplication>
#include <QHash>
#include <QKeyEvent>
#include <QPointer>

namespace platform {

namespace {

// The X server repeats a held key as a release and a press with the same time stamp. Qt
// marks the pair only when the press has already arrived as it handles the release, which
// a busy moment misses; so the time of every key's last release is kept here.
class KeyReleases : public QObject {
public:
    KeyReleases() : QObject(QCoreApplication::instance()) { QCoreApplication::instance()->installEventFilter(this); }
    bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() == QEvent::KeyRelease) {
            const auto* k = static_cast<const QKeyEvent*>(e);
            if (k->timestamp() != 0) last_[id(*k)] = k->timestamp();
        }
        return false;
    }
    bool releasedAsPressed(const QKeyEvent& press) const {
        const auto it = last_.constFind(id(press));
        return press.timestamp() != 0 && it != last_.cend() && *it == press.timestamp();
    }

private:
    // The key as the keyboard knows it; events made by the program itself have no scan code.
    static quint64 id(const QKeyEvent& k) {
        return k.nativeScanCode() != 0 ? k.nativeScanCode() : (quint64(1) << 32) | quint32(k.key());
    }
    QHash<quint64, quint64> last_;
};

QPointer<KeyReleases> g_releases;

// Installed with the application: a filter added while an event passes the filters would
// let the one before it see that event twice.
void trackKeyReleases() { g_releases = new KeyReleases; }
Q_COREAPP_STARTUP_FUNCTION(trackKeyReleases)

}  // namespace

bool isKeyRepeat(const QKeyEvent& e) { return e.isAutoRepeat() || (g_releases && g_releases->releasedAsPressed(e)); }

int16_t vbKeyCode(int k) {
    if ((k >= Qt::Key_0 && k <= Qt::Key_9) || (k >= Qt::Key_A && k <= Qt::Key_Z)) return static_cast<int16_t>(k);
    if (k >= Qt::Key_F1 && k <= Qt::Key_F12) return static_cast<int16_t>(112 + (k - Qt::Key_F1));
    switch (k) {
    case Qt::Key_Backspace: return 8;
    case Qt::Key_Tab: return 9;
    case Qt::Key_Return:
    case Qt::Key_Enter: return 13;
    case Qt::Key_Shift: return 16;
    case Qt::Key_Control: return 17;
    case Qt::Key_Alt: return 18;
    case Qt::Key_Escape: return 27;
    case Qt::Key_Space: return 32;
    case Qt::Key_PageUp: return 33;
    case Qt::Key_PageDown: return 34;
    case Qt::Key_End: return 35;
    case Qt::Key_Home: return 36;
    case Qt::Key_Left: return 37;
    case Qt::Key_Up: return 38;
    case Qt::Key_Right: return 39;
    case Qt::Key_Down: return 40;
    case Qt::Key_Insert: return 45;
    case Qt::Key_Delete: return 46;
    default: return 0;
    }
}

int16_t vbShift(Qt::KeyboardModifiers m) {
    return static_cast<int16_t>((m & Qt::ShiftModifier ? 1 : 0) | (m & Qt::ControlModifier ? 2 : 0) |
                                (m & Qt::AltModifier ? 4 : 0));
}

int16_t vbButton(Qt::MouseButton b) {
    switch (b) {
    case Qt::LeftButton: return 1;
    case Qt::RightButton: return 2;
    case Qt::MiddleButton: return 4;
    default: return 0;
    }
}

}  // namespace platform
