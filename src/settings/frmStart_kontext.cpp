// The operator's context menu: its entries forward to the main screen's commands,
// and "Zurück" brings the start dialog back over the running kiosk.
#include "base/frmDatei.h"
#include "kiosk/frmMain.h"
#include "kiosk/grid/FlexGrid.h"
#include "platform/toplevel.h"
#include "settings/frmStart.h"

#include <QScopedValueRollback>

namespace {
frmStart::ZurueckHook g_zurueckHook;
}

void frmStart::setZurueckHook(ZurueckHook h) { g_zurueckHook = std::move(h); }

void frmStart::menuZurueck_Click() {
    // An OK rebuilds the archive from the scan's starting state: header and one blank row.
    // A rescan still filling it stops: its rows would land in the emptied grid.
    frmDatei::stopRunningScan();
    kioskgrid::FlexGrid& g = *frmMain::instance().MSFlexGrid1;
    g.Clear();
    g.setRows(2);
    g.setFixedRows(1);
    if (zurueckLaeuft_) {
        // The dialog's earlier showing still waits below, in a hand-over that goes on
        // reading song lengths; a second modal loop cannot start, so it is only shown,
        // not modal: that loop ends meanwhile, and a window whose modality ends while it
        // is shown would stay registered as modal once hidden, blocking the kiosk.
        setAttribute(Qt::WA_ShowModal, false);
        show();
        platform::bringToFront(this);
        return;
    }
    const QScopedValueRollback<bool> laeuft(zurueckLaeuft_, true);
    if (g_zurueckHook) {
        show();
        g_zurueckHook(*this);
        if (isVisible()) close();
        return;
    }
    // Still shown from such a showing: shown anew, so that the modal state takes hold.
    if (isVisible()) hide();
    exec();
}

void frmStart::menuBeenden_Click() { frmMain::instance().menuBeenden_Click(); }
void frmStart::menuTags_Click() { frmMain::instance().menuTags_Click(); }
void frmStart::menuLoeschen_Click() { frmMain::instance().menuDateiEntfernen_Click(); }
void frmStart::menuExplorerAnzeigen_Click() { frmMain::instance().menuExplorerAnzeigen_Click(); }
void frmStart::menuNeuEinlesen_Click() { frmMain::instance().menuNeuEinlesen_Click(); }
void frmStart::menuBeendenMitWinamp_Click() { frmMain::instance().menuBeendenMitWinamp_Click(); }
void frmStart::LeereProzedur() {}
