// The start dialog's hand-over to the main screen: with the scan of the song folder
// (OK) or without it ("Nicht durchsuchen").
#include "base/globals.h"
#include "controls/Funbutton/Funbutton.h"
#include "kiosk/frmMain.h"
#include "kiosk/grid/FlexGrid.h"
#include "platform/clock.h"
#include "platform/toplevel.h"
#include "platform/vbtimer.h"
#include "settings/frmStart.h"

#include <QCheckBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

frmStart::HandOverLock::HandOverLock(std::initializer_list<QPushButton*> buttons) {
    for (QPushButton* b : buttons) {
        buttons_.emplace_back(b, b->isEnabled());
        b->setEnabled(false);
    }
}

frmStart::HandOverLock::~HandOverLock() {
    for (auto& [b, on] : buttons_) b->setEnabled(on);
}

bool frmStart::mainScreenHandOver() {
    // A quit served by the dialog's yield ends the hand-over here.
    if (ProgrammEnde) return false;
    frmMain::FormLoadFromHandOver();
    platform::pumpEvents();
    if (ProgrammEnde) return false;
    frmMain& m = frmMain::instance();

    Label2->setText(QStringLiteral("Lieder werden gesucht und eingelesen. Bitte warten..."));
    QString ordner = Text1->text();
    m.Einlesen(ordner);
    if (ProgrammEnde) return false;

    m.Frame1->show();
    m.Frame1->raise();
    m.TimerStartmeldung->setInterval(5000);
    m.lblStartmeldung2->setText(QString());
    const int n = m.MSFlexGrid1->Rows() - 1;
    if (n == 1 && m.MSFlexGrid1->TextMatrix(1, 0).isEmpty()) {
        m.lblStartmeldung->setText(QStringLiteral("0 Lieder gefunden!"));
        m.MSFlexGrid1->setRows(1);
        m.TimerStartmeldung->setInterval(10000);
        m.lblStartmeldung2->setText(QStringLiteral("Bitte im Kontextmenü (rechte Maustaste) \"Zurück\" anklicken und "
                                                   "anschließend einen Ordner mit MP3-Dateien angeben!"));
    } else if (n == 1) {
        m.lblStartmeldung->setText(QStringLiteral("1 Lied gefunden!"));
    } else {
        m.lblStartmeldung->setText(QString::number(n) + QStringLiteral(" Lieder gefunden!"));
    }
    m.TimerStartmeldung->setEnabled(true);

    if (chkPlayliste->isChecked()) m.LetztePlaylisteEinlesen();
    hide();
    if (chkFenster->isChecked()) platform::maximize(&m);
    if (chkRechteMaustaste->isChecked())
        for (Funbutton* b : m.findChildren<Funbutton*>()) b->setEnabledRechts(false);
    m.show();
    return true;
}

void frmStart::mainScreenLengths() {
    frmMain& m = frmMain::instance();
    m.ZeitenEinlesen(false);
    if (ProgrammEnde) return;
    m.Uhrzeiten();
}

void frmStart::mainScreenWithoutScan() {
    if (chkFenster->isChecked()) platform::maximize(&frmMain::instance());
    hide();
    frmMain& m = frmMain::instance();
    m.Frame1->hide();
    m.show();
    if (chkPlayliste->isChecked()) m.LetztePlaylisteEinlesen();
}
