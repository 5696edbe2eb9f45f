// frmMain: game and information openers, idle timer.
#include "kiosk/frmMain.h"

#include "base/ErrPtnr.h"
#include "base/ErrorHandler.h"
#include "controls/Funbutton/Funbutton.h"
#include "game/frmTicTacToe.h"
#include "info/frmWerbung.h"
#include "kiosk/grid/FlexGrid.h"
#include "kiosk/logic/tabelletext.h"
#include "platform/runtime.h"
#include "platform/twipsgeom.h"
#include "platform/guard.h"
#include "platform/vbtimer.h"

#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QScopedValueRollback>
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

void frmMain::Image_Groesse(QLabel* Cont, int16_t Prozent) {
    ErrPtnr::CallStack(QStringLiteral("[frmMain] Public Sub Image_Groesse(Cont As Image, Prozent As Integer)"));
    ErrPtnr::CallStackParam(QStringLiteral("Prozent"), Prozent);
    ErrPtnr::CallStackParam(QStringLiteral("Cont"), TraceValue::object(QStringLiteral("Image")));
    if (ImageGroesseLaeuft) return;
    const QScopedValueRollback<bool> laeuft(ImageGroesseLaeuft, true);
    Cont->setScaledContents(true);
    const int h = platform::TwHeight(Cont);
    const int w = platform::TwWidth(Cont);
    const int dx = platform::CLng(Prozent * 0.5 / 100.0 * w);
    const int dy = platform::CLng(Prozent * 0.5 / 100.0 * h);
    platform::setTwLeft(Cont, platform::TwLeft(Cont) - dx);
    platform::setTwTop(Cont, platform::TwTop(Cont) - dy);
    platform::setTwWidth(Cont, w + 2 * dx);
    platform::setTwHeight(Cont, h + 2 * dy);
}

void frmMain::MSFlexGrid1_ItemClick(QObject* Item) {
    ErrPtnr::CallStack(QStringLiteral("[frmMain] Private Sub MSFlexGrid1_ItemClick(ByVal Item As Object)"));
    ErrPtnr::CallStackParam(QStringLiteral("Item"), TraceValue::object(QStringLiteral("Object")));
    GewaehltesItem = Item;
}

void frmMain::LeerMethode() {}

void frmMain::TabelleAusText(kioskgrid::FlexGrid* Grid, const QString& Text, const QString& Praefix, int optStart) {
    ErrPtnr::CallStack(QStringLiteral(
        "[frmMain] Public Sub TabelleAusText(Grid As Object, Text As String, Praefix As String, Optional optStart As Long)"));
    ErrPtnr::CallStackParam(QStringLiteral("optStart"), optStart);
    ErrPtnr::CallStackParam(QStringLiteral("Praefix"), Praefix);
    ErrPtnr::CallStackParam(QStringLiteral("Text"), Text);
    ErrPtnr::CallStackParam(QStringLiteral("Grid"), TraceValue::object(QStringLiteral("MSFlexGrid")));
    for (const kiosklogic::Tabellenzeile& z : kiosklogic::ZeilenAusText(Text, Praefix, optStart)) {
        Grid->AddItem(z.Titel);
        const int r = Grid->Rows() - 1;
        for (int c = 0; c < z.Spalten.size(); ++c) Grid->setTextMatrix(r, c + 1, z.Spalten[c]);
    }
    Grid->setCol(0);
    Grid->setColSel(Grid->Cols() - 1);
}
