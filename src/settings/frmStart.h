#pragma once
// The start dialog: the program's first window and, for the whole run, the live
// holder of the settings. Other forms read its controls at the moment they need a
// value and keep no copies.
#include "settings/startcontrols.h"

#include <QDialog>
#include <QPointer>
#include <array>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <utility>
#include <vector>

class QAction;
class QCheckBox;
class QComboBox;
class QLineEdit;
class QMenu;
class QPushButton;
class QSlider;

namespace platform {
class VbTimer;
}

class frmStart : public QDialog {
    Q_OBJECT
public:
    // The global instance; the first access (and the first after an unload) loads it.
    static frmStart& instance();
    static bool loaded();
    // Tests: unloads the dialog and forgets that the countdown has fired, so the
    // next instance() loads a fresh dialog. The widget itself is kept.
    static void resetForTests();

    // Brings the start dialog back over the running main screen.
    void menuZurueck_Click();
    // Tests: runs instead of the modal loop of menuZurueck_Click, with the dialog shown;
    // a dialog still shown when it returns is closed like "Beenden".
    using ZurueckHook = std::function<void(frmStart&)>;
    static void setZurueckHook(ZurueckHook h);

    // Stores the first `count` settings in table order (all 17 by default). A store
    // that cannot be written is told once a run; the caller goes on all the same.
    void EinstellungenSpeichern(int count = 17);

    // The operator's context menu, popped up by the main screen.
    QMenu* menuKontext = nullptr;
    QAction* menuBeenden = nullptr;
    QAction* menuTags = nullptr;
    QAction* menuLoeschen = nullptr;
    QAction* menuExplorerAnzeigen = nullptr;
    QAction* menuNeuEinlesen = nullptr;
    QAction* menuZurueck = nullptr;

    // The settings.
    QCheckBox* chkZufall = nullptr;
    QCheckBox* chkPlayliste = nullptr;
    QCheckBox* chkPlaylistDoppelklick = nullptr;
    QCheckBox* chkFenster = nullptr;
    QCheckBox* chkSmilie = nullptr;
    QCheckBox* chkMuelleimer = nullptr;
    QCheckBox* chkPause = nullptr;
    QCheckBox* chkRechteMaustaste = nullptr;
    QCheckBox* chkWindowsBlockieren = nullptr;
    QComboBox* cmbAnzahl = nullptr;          // ListIndex = song limit, 0 "unbegrenzt"
    QComboBox* cmbSchriftgroesse = nullptr;  // the entry's text is the grid font size
    QSlider* Slider1 = nullptr;              // crossfade seconds
    ColourSwatch* PicFarbe = nullptr;
    ColourSwatch* PicHintergrundfarbe = nullptr;
    QLineEdit* txtPasswort = nullptr;
    QLineEdit* txtWinAmpPfad = nullptr;
    QLineEdit* Text1 = nullptr;  // song folder

    // Status lines written by the hand-over and the song scan.
    QLabel* Label2 = nullptr;
    ClickLabel* lblAbbrechen = nullptr;
    QLabel* lblGefunden = nullptr;

    QLabel* Label1 = nullptr;
    QLabel* Label3 = nullptr;
    QLabel* Label4 = nullptr;
    QLabel* Label5 = nullptr;
    QLabel* Label6 = nullptr;
    QLabel* Label7 = nullptr;
    QLabel* Label8 = nullptr;
    QLabel* Label9 = nullptr;
    QLabel* lblWinamp = nullptr;
    std::array<QPushButton*, 2> cmdFarbe{};
    QPushButton* cmdDurchsuchen = nullptr;
    QPushButton* cmdBeenden = nullptr;
    QPushButton* cmdAbbrechen = nullptr;
    QPushButton* cmdOK = nullptr;
    platform::VbTimer* TimerAutostart = nullptr;

    int16_t autostartZaehler() const { return AutostartZaehler; }
    // How long a box of a hand-over that the countdown started waits for an answer.
    static constexpr int UnattendedBoxMs = 15000;

    // Event handlers, public so that the hand-over, the main screen and tests can raise them.
    void cmdOK_Click();
    void cmdAbbrechen_Click();
    void cmdBeenden_Click();
    void TimerAutostart_Timer();
    void cmdDurchsuchen_Click();
    void cmdFarbe_Click(int16_t Index);
    void txtPasswort_KeyPress(int16_t& KeyAscii);
    void txtPasswort_KeyDown(int16_t KeyCode, int16_t Shift);
    void lblAbbrechen_Click();
    void cmbAnzahl_Change();

    // Unloads the dialog; the widget stays, since other forms read its controls.
    void Unload();

protected:
    void showEvent(QShowEvent* e) override;
    void closeEvent(QCloseEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;
    void reject() override;

private:
    frmStart();
    void buildControls();
    void buildMenu();
    void resetControls();
    void Form_Load();
    void Form_Activate();
    void AutostartZuruecksetzen();
    // The control behind each row of the settings table.
    struct Binding {
        QLineEdit* text = nullptr;
        QCheckBox* check = nullptr;
        ColourSwatch* colour = nullptr;
        QSlider* slider = nullptr;
        QComboBox* list = nullptr;
    };
    QString defaultText(int index) const;
    void loadSetting(int index);
    QString storedText(int index) const;
    bool refuseDarkColours();

    // The main screen's part of the two hand-overs; it comes with the main screen.
    // HandOverLock keeps the buttons disabled while the dialog shows a hand-over.
    class HandOverLock {
    public:
        HandOverLock(std::initializer_list<QPushButton*> buttons);
        ~HandOverLock();

    private:
        std::vector<std::pair<QPushButton*, bool>> buttons_;
    };
    // Up to showing the main screen; false when the hand-over stopped before.
    bool mainScreenHandOver();
    // The hand-over's reading of song lengths and the start times after it.
    void mainScreenLengths();
    void mainScreenWithoutScan();
    // A modal window or a pop-up menu other than the dialog itself is open.
    bool modalOffen() const;

    void menuBeenden_Click();
    void menuTags_Click();
    void menuLoeschen_Click();
    void menuExplorerAnzeigen_Click();
    void menuNeuEinlesen_Click();
    void menuBeendenMitWinamp_Click();
    void LeereProzedur();

    std::array<Binding, 17> bindings_{};
    int16_t AutostartZaehler = 0;
    QString programFolder_;
    bool loaded_ = false;
    // Once OK has run, the countdown stays off for the rest of the run.
    bool autostartOff_ = false;
    // The boxes of the load while they are open: the screen-size warning and the notice that
    // the settings could not be read. A hand-over closes them.
    QPointer<QWidget> aufloesungsWarnung_;
    QPointer<QWidget> lesefehlerHinweis_;
    void ladeHinweiseSchliessen();
    // A settings file that exists but cannot be read: a box and a protocol line, once a run.
    void lesefehlerMelden();
    bool lesefehlerGemeldet_ = false;
    // Set while menuZurueck_Click waits for the dialog.
    bool zurueckLaeuft_ = false;
    // Set while the countdown presses OK: nobody may be there to answer a box.
    bool countdownOK_ = false;
    bool speicherfehlerGemeldet_ = false;
};
