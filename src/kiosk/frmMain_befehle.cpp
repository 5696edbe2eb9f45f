// frmMain: operator commands.
#include "kiosk/frmMain.h"

#include "base/ErrPtnr.h"
#include "base/ErrorHandler.h"
#include "base/globals.h"
#include "catalogue/frmMP3Tags.h"
#include "catalogue/modPlayer.h"
#include "kiosk/grid/FlexGrid.h"
#include "platform/clock.h"
#include "platform/dialogs.h"
#include "platform/shell.h"
#include "settings/frmStart.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QScopedValueRollback>

namespace {
// The start dialog is only closed: the screens read its controls until the end.
void unloadStart() {
    if (!frmStart::loaded()) return;
    frmStart& s = frmStart::instance();
    QCloseEvent ev;
    QCoreApplication::sendEvent(&s, &ev);
    s.hide();
}
}  // namespace

void frmMain::connectBefehle() {}

int frmMain::befehlsZeile() const {
    const kioskgrid::FlexGrid& g = *MSFlexGrid1;
    const int r = g.Row();
    if (r < 1 || r >= g.Rows() || g.TextMatrix(r, 4).isEmpty()) return 0;
    return r;
}

void frmMain::menuBeenden_Click() {
    ErrPtnr::CallStack(QStringLiteral("[frmMain] Public Sub menuBeenden_Click()"));
    ProgrammEnde = true;
    unloadStart();
    if (frmPlayer::loaded()) frmPlayer::unload();
    frmMP3Tags::unload();
    close();
}

void frmMain::menuBeendenMitWinamp_Click() {
    ErrPtnr::CallStack(QStringLiteral("[frmMain] Public Sub menuBeendenMitWinamp_Click()"));
    unloadStart();
    frmMP3Tags::unload();
    close();
}

void frmMain::menuNeuEinlesen_Click() {
    // A request while the archive is being filled runs once that fill is over:
    // a fill nested in the scan's waits would leave every song in the archive twice.
    if (neuEinlesenLaeuft_) {
        neuEinlesenNochmal_ = true;
        return;
    }
    {
        const QScopedValueRollback<bool> laeuft(neuEinlesenLaeuft_, true);
        do {
            neuEinlesenNochmal_ = false;
            TabelleLeeren(MSFlexGrid1);
            QString ordner = frmStart::instance().Text1->text();
            Einlesen(ordner);
        } while (neuEinlesenNochmal_ && !ProgrammEnde);
    }
    ZeitenEinlesenAbgeschlossen = false;
    ZeitenEinlesen(false);
}

void frmMain::menuExplorerAnzeigen_Click() {
    ErrPtnr::CallStack(QStringLiteral("[frmMain] Public Sub menuExplorerAnzeigen_Click()"));
    // The file manager in the song folder (at home while that is missing); a failure gives no message.
    const QString ordner = frmStart::instance().Text1->text();
    platform::openFolder(QFileInfo(ordner).isDir() ? ordner : QDir::homePath());
}

void frmMain::menuDateiEntfernen_Click() {
    ErrPtnr::CallStack(QStringLiteral("[frmMain] Public Sub menuDateiEntfernen_Click()"));
    // Without a song row there is nothing to ask about.
    if (befehlsZeile() == 0) return;
    if (platform::MsgBox(QStringLiteral("Dieses Lied wirklich löschen?"), platform::vbYesNo + platform::vbQuestion) !=
        platform::vbYes)
        return;
    const int r = befehlsZeile();
    if (r == 0) return;
    const QString f = MSFlexGrid1->TextMatrix(r, 4);
    if (PlayerDatei(AktPlayer) == f) {
        // Released, not only stopped: a stopped song never reaches its end, so the
        // play loop would wait for it for ever; an idle channel lets it go on.
        PlayerOeffnen(AktPlayer, QString());
        platform::pumpEvents();
    }
    withErrorHandler(QStringLiteral("frmMain"), QStringLiteral("menuDateiEntfernen_Click"), [&](ErrorHandler& on) {
        on.resumeNext();
        on([&] { QFile::remove(f); });
    });
    menuNeuEinlesen_Click();
}

void frmMain::menuTags_Click() {
    ErrPtnr::CallStack(QStringLiteral("[frmMain] Public Sub menuTags_Click()"));
    kioskgrid::FlexGrid& g = *MSFlexGrid1;
    // The header or the blank row of an empty archive is no song: its rewrite would add a phantom row.
    const int r = befehlsZeile();
    if (r == 0) return;
    const QString f = g.TextMatrix(r, 4);
    frmMP3Tags& editor = frmMP3Tags::instance();
    editor.FileNameString = f;
    // The editor is gone afterwards. After a failed write the row keeps its texts.
    if (editor.ShowModal() == frmMP3Tags::Ausgang::Fehlgeschlagen) return;
    // A scan going on behind the dialog may have moved the song away from row r.
    if (r >= g.Rows() || g.TextMatrix(r, 4) != f) return;
    EineZeileInsArchiv(f, r);
    if (r > 0 && r < g.Rows() - 1) {
        g.setRow(r);
        g.setCol(0);
        g.setColSel(g.Cols() - 1);
    }
}

void frmMain::Zurueck() { frmStart::instance().menuZurueck_Click(); }
