// frmMain: game and information openers, idle timer.
#include "kiosk/frmMain.h"

#include "base/ErrPtnr.h"
#include "base/ErrorHandler.h"
#include "controls/Funbutton/Funbutton.h"
#include "game/frmTicTacToe.h"
#include "info/frmWerbung.h"
#include "platform/guard.h"
#include "platform/vbtimer.h"

#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <functional>

namespace {

// A label's Click: a left-button release over it.
class LabelKlick : public QObject {
public:
    LabelKlick(QLabel* label, std::function<void()> klick) : QObject(label), klick_(std::move(klick)) {
        label->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* e) override {
        if (e->type() == QEvent::MouseButtonRelease) {
            const auto* m = static_cast<QMouseEvent*>(e);
            const auto* w = static_cast<QWidget*>(watched);
            if (m->button() == Qt::LeftButton && w->rect().contains(m->position().toPoint())) klick_();
        }
        return QObject::eventFilter(watched, e);
    }

private:
    std::function<void()> klick_;
};

}  // namespace

void frmMain::connectOeffner() {
    connect(cmdSmilie, &Funbutton::MouseUp, this, [this](int16_t b, int16_t s, float x, float y) {
        platform::guardEvent("frmMain", "cmdSmilie_MouseUp", [&] { cmdSmilie_MouseUp(b, s, x, y); });
    });
    connect(cmdSmilie, &Funbutton::Click, this,
            [this] { platform::guardEvent("frmMain", "cmdSmilie_Click", [this] { cmdSmilie_Click(); }); });
    new LabelKlick(Label4, [this] { platform::guardEvent("frmMain", "Label4_Click", [this] { Label4_Click(); }); });
    new LabelKlick(Label5, [this] { platform::guardEvent("frmMain", "Label5_Click", [this] { Label5_Click(); }); });
    connect(txtEingabe, &QLineEdit::textChanged, this,
            [this] { platform::guardEvent("frmMain", "txtEingabe_Change", [this] { txtEingabe_Change(); }); });
    TimerVerbinden = new platform::VbTimer(this, 5000, true);
    TimerVerbinden->onTimer = [this] {
        platform::guardEvent("frmMain", "TimerVerbinden_Timer", [this] { TimerVerbinden_Timer(); });
    };
}

void frmMain::cmdSmilie_MouseUp(int16_t Button, int16_t Shift, float X, float Y) {
    ErrPtnr::CallStack(QStringLiteral(
        "[frmMain] Private Sub cmdSmilie_MouseUp(Button As Integer, Shift As Integer, X As Single, Y As Single)"));
    ErrPtnr::CallStackParam(QStringLiteral("Y"), Y);
    ErrPtnr::CallStackParam(QStringLiteral("X"), X);
    ErrPtnr::CallStackParam(QStringLiteral("Shift"), Shift);
    ErrPtnr::CallStackParam(QStringLiteral("Button"), Button);
    if (!frmTicTacToe::visible()) frmTicTacToe::Anzeigen(this);
}

void frmMain::cmdSmilie_Click() {
    ErrPtnr::CallStack(QStringLiteral("[frmMain] Private Sub cmdSmilie_Click()"));
    withErrorHandler(QStringLiteral("frmMain"), QStringLiteral("cmdSmilie_Click"),
                     [](ErrorHandler& on) { on.resumeNext(); });
}

void frmMain::Label5_Click() {
    ErrPtnr::CallStack(QStringLiteral("[frmMain] Private Sub Label5_Click()"));
    if (!HilfeLaeuft) frmWerbung::Anzeigen(this);
}

void frmMain::Label4_Click() {
    ErrPtnr::CallStack(QStringLiteral("[frmMain] Private Sub Label4_Click()"));
    Label5_Click();
}

void frmMain::TimerVerbinden_Timer() {
    ErrPtnr::CallStack(QStringLiteral("[frmMain] Private Sub TimerVerbinden_Timer()"));
    LeereProzedur();
}

void frmMain::txtEingabe_Change() { ErrPtnr::CallStack(QStringLiteral("[frmMain] Private Sub txtEingabe_Change()")); }

void frmMain::LeereProzedur() {}
