#include "kiosk/frmMain.h"

#include "base/ErrPtnr.h"
#include "base/globals.h"
#include "base/modStandard.h"
#include "base/modVirtualKeyboard.h"
#include "catalogue/modPlayer.h"
#include "controls/Funbutton/Funbutton.h"
#include "controls/ctlVirtuelleTastatur/ctlVirtuelleTastatur.h"
#include "info/frmWerbung.h"
#include "kiosk/grid/FlexGrid.h"
#include "platform/clock.h"
#include "platform/dialogs.h"
#include "platform/guard.h"
#include "platform/input.h"
#include "platform/mixer.h"
#include "platform/runtime.h"
#include "platform/toplevel.h"
#include "platform/vbtimer.h"
#include "settings/frmStart.h"
#include "settings/settingslogic.h"
#include "settings/startcontrols.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QApplication>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QKeyEvent>
#include <QSlider>
#include <QTimer>

namespace {
frmMain* g_instance = nullptr;
}  // namespace

frmMain& frmMain::instance() {
    if (!g_instance) {
        g_instance = new frmMain;
        g_instance->Form_Load();
    }
    return *g_instance;
}

bool frmMain::loaded() { return g_instance != nullptr; }

void frmMain::FormLoadFromHandOver() {
    if (g_instance) {
        g_instance->Form_Load();
        return;
    }
    g_instance = new frmMain;
    g_instance->twoRuns_ = true;
    struct Reset {
        ~Reset() {
            if (g_instance) g_instance->twoRuns_ = false;
        }
    } reset;
    g_instance->Form_Load();
}

void frmMain::resetForTests() {
    delete g_instance;
    g_instance = nullptr;
}

frmMain::frmMain() : QWidget(nullptr), scan_(std::make_unique<Scan>(*this)) {
    setWindowTitle(QStringLiteral("Melotra"));
    buildControls();
    placeDesign();
    paintButtonPictures();
    setScanReceiver(scan_.get());

    Timer1 = new platform::VbTimer(this, 250, true);
    Timer1->onTimer = [this] { Timer1_Timer(); };
    TimerStartmeldung = new platform::VbTimer(this, 5000, false);
    TimerStartmeldung->onTimer = [this] { TimerStartmeldung_Timer(); };
    TimerFarbe = new platform::VbTimer(this, 1000, false);
    TimerFarbe->onTimer = [this] { TimerFarbe_Timer(); };
    TimerPlaylist = new platform::VbTimer(this, 1000, true);
    TimerPlaylist->onTimer = [this] { TimerPlaylist_Timer(); };
    connectMusik();
    // Told under the mixer's lock: the screen changes from the event loop.
    platform::Mixer::instance().setOutputReport([this](bool geht, const QString& grund) {
        QTimer::singleShot(0, this, [this, geht, grund] {
            platform::guardEvent("frmMain", "Tonausgabe", [&] { Tonausgabe(geht, grund); });
        });
    });
    connectBearbeiten();
    connectSuche();
    connectBefehle();
    connectOeffner();
    connectHilfe();

    // Without a window manager nobody else gives the kiosk the focus its keys need.
    platform::bringToFrontWhenShown(this);
    // Key preview: the form sees every key of its controls before they do.
    QCoreApplication::instance()->installEventFilter(this);
}

frmMain::~frmMain() {
    platform::Mixer::instance().setOutputReport(nullptr);
    disconnectMusik();
    setScanReceiver(nullptr);
}

std::array<Funbutton*, 13> frmMain::touchButtons() const {
    return {Uebernehmen,           cmdHoch[0],           cmdHoch[1], cmdLoeschen,     FunbuttonArchivNav[0],
            FunbuttonArchivNav[1], FunbuttonArchivNav[2], FunbuttonArchivNav[3], Schloss, Schloss2,
            cmdSmilie,             Positionsgrafik,      cmdFragezeichen};
}

// ---- start-up ----------------------------------------------------------------

void frmMain::Form_Load() {
    ErrPtnr::CallStack(QStringLiteral("[frmMain] Public Sub Form_Load()"));
    frmStart& s = frmStart::instance();
    if (s.chkWindowsBlockieren->isChecked()) {
        HideTaskbar();
        if (!IconsVersteckt) ToggleDesktopIcons(true);
        IconsVersteckt = true;
    }
    try {
        lblStartmeldung->setText(QStringLiteral("Lieder werden eingelesen..."));
        MSFlexGrid1->setAllowBigSelection(false);
        MSFlexGrid2->setAllowBigSelection(false);
        // The playlist is left as it is: a hand-over after "Zurück" keeps the guests' queue.
        TabellenBeschriften(false);
        FadingSekunden = platform::CInt(s.Slider1->value());
        txtEingabe->hide();
        ctlVirtuelleTastatur1->hide();
        txtSortierung->hide();
        if (settingslogic::trimBlanks(s.txtPasswort->text()).isEmpty()) {
            Schloss->hide();
            // Closed before the password was cleared, the lock would stay closed with no
            // password left to open it: the guests' screen opens.
            if (Schloss->property("Tag").toString() == QLatin1String("Zu")) {
                Schloss->setProperty("Tag", QStringLiteral("Auf"));
                Schloss2->hide();
                EnableButtons();
            }
        }
        if (!s.chkSmilie->isChecked()) cmdSmilie->hide();
        if (s.chkMuelleimer->isChecked()) {
            cmdLoeschen->OnlyRight = true;
            cmdHoch[0]->OnlyRight = true;
            cmdHoch[1]->OnlyRight = true;
        }
        platform::pumpEvents();
        // A quit served by the yield leaves the screen as it is.
        if (ProgrammEnde) return;
        Einfaerben(s.PicHintergrundfarbe->BackColor(), s.PicFarbe->BackColor());
        for (Funbutton* b : FunbuttonArchivNav) b->setRepeatEnabled(true);
        cmdHoch[0]->setEnabled(false);
        cmdHoch[1]->setEnabled(false);
        const double size = platform::CDblText(s.cmbSchriftgroesse->currentText());
        MSFlexGrid1->setFontSize(size);
        MSFlexGrid2->setFontSize(size);
        // The lock may have gone and the fonts changed: the screen keeps its size, so no
        // resize would lay it out anew.
        Form_Resize();
    } catch (const platform::RuntimeError& e) {
        platform::MsgBox(QStringLiteral("Beim Laden des Hauptfensters ist ein Fehler aufgetreten!\r\nFehler: ") +
                             QString::number(e.number()) + QStringLiteral("\r\n") + e.description(),
                         platform::vbCritical);
    }
}

void frmMain::Form_Activate() {
    ErrPtnr::CallStack(QStringLiteral("[frmMain] Private Sub Form_Activate()"));
    if (isVisible()) MSFlexGrid1->SetFocus();
    platform::pumpEvents();
    if (ProgrammEnde) close();
}

void frmMain::Form_Click() { ErrPtnr::CallStack(QStringLiteral("[frmMain] Private Sub Form_Click()")); }

// ---- shut-down ---------------------------------------------------------------

void frmMain::Form_QueryUnload(int16_t& Cancel, int16_t& UnloadMode) {
    ErrPtnr::CallStack(
        QStringLiteral("[frmMain] Private Sub Form_QueryUnload(Cancel As Integer, UnloadMode As Integer)"));
    ErrPtnr::CallStackParam(QStringLiteral("UnloadMode"), UnloadMode);
    ErrPtnr::CallStackParam(QStringLiteral("Cancel"), Cancel);
    // The play loop stops first: the queue saved below is the one that stays.
    Timer1->setEnabled(false);
    ShowTaskbar();
    if (IconsVersteckt) {
        ToggleDesktopIcons(true);
        IconsVersteckt = false;
    }
    ProgrammEnde = true;
    PlaylistSpeichern();
    // The start dialog is only closed: the screens read its controls until the end.
    if (frmStart::loaded()) {
        // Sent directly: a hidden dialog's window may not pass close() on as an event.
        frmStart& s = frmStart::instance();
        QCloseEvent ev;
        QCoreApplication::sendEvent(&s, &ev);
        s.hide();
    }
    if (frmPlayer::loaded()) frmPlayer::unload();
    // The tag editor and the game are modal and destroyed when they close: none is open here.
}

void frmMain::Form_Unload(int16_t& Cancel) {
    ErrPtnr::CallStack(QStringLiteral("[frmMain] Private Sub Form_Unload(Cancel As Integer)"));
    ErrPtnr::CallStackParam(QStringLiteral("Cancel"), Cancel);
}

void frmMain::closeEvent(QCloseEvent* e) {
    e->accept();
    if (shutDown_) return;
    shutDown_ = true;
    int16_t cancel = 0;
    int16_t mode = 0;
    platform::guardEvent("frmMain", "Form_QueryUnload", [&] { Form_QueryUnload(cancel, mode); });
    platform::guardEvent("frmMain", "Form_Unload", [&] { Form_Unload(cancel); });
    // The window is kept: loops that yield may still run below this handler. They stop
    // on ProgrammEnde, and the event loop ends once they have returned.
    QMetaObject::invokeMethod(QCoreApplication::instance(), &QCoreApplication::quit, Qt::QueuedConnection);
}

void frmMain::resizeEvent(QResizeEvent* e) {
    QWidget::resizeEvent(e);
    platform::guardEvent("frmMain", "Form_Resize", [this] { Form_Resize(); });
}

void frmMain::mouseReleaseEvent(QMouseEvent* e) {
    QWidget::mouseReleaseEvent(e);
    if (e->button() == Qt::LeftButton) platform::guardEvent("frmMain", "Form_Click", [this] { Form_Click(); });
}

void frmMain::Form_KeyDown(int16_t KeyCode, int16_t) {
    // Each key is tested on its own; the focused control receives it as well.
    if (KeyCode == 46 && cmdLoeschen->Enabled()) Loeschen();
    // F12 quits as the menu's "Beenden" does, also with the context menu switched off.
    if (KeyCode == 123) menuBeenden_Click();
    if (KeyCode == 122) frmStart::instance().menuZurueck_Click();
    if (KeyCode == 116) Pause();
    // Unlike the two labels, F2 opens the information page also during the help tour.
    if (KeyCode == 113) frmWerbung::Anzeigen(this);
    if (KeyCode == 112) cmdFragezeichen_Click();
}

bool frmMain::eventFilter(QObject* watched, QEvent* e) {
    // A key first reaches the focused control; one that it ignores travels on to the form.
    const QWidget* focus = QApplication::focusWidget();
    const QObject* first = focus && focus->window() == this ? static_cast<const QObject*>(focus) : this;
    if (e->type() == QEvent::KeyPress && watched == first) {
        const auto* k = static_cast<QKeyEvent*>(e);
        const int16_t code = kioskgrid::vbKeyCode(k->key());
        const int16_t shift = kioskgrid::vbShift(k->modifiers());
        // The key is not consumed: the control with the focus gets it as well. Every key of
        // the form is a command, and a held key gives it once (a held F5 would stutter).
        if (code != 0 && !platform::isKeyRepeat(*k))
            platform::guardEvent("frmMain", "Form_KeyDown", [&] { Form_KeyDown(code, shift); });
    }
    return QWidget::eventFilter(watched, e);
}

bool frmMain::event(QEvent* e) {
    const bool r = QWidget::event(e);
    if (e->type() == QEvent::WindowActivate)
        platform::guardEvent("frmMain", "Form_Activate", [this] { Form_Activate(); });
    return r;
}

