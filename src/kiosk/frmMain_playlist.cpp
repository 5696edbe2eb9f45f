// Song lengths of the archive, start times of the playlist, and the playlist file
// that carries the queue over a restart.
#include "kiosk/frmMain.h"

#include "base/ErrPtnr.h"
#include "base/ErrorHandler.h"
#include "base/globals.h"
#include "base/modStandard.h"
#include "catalogue/modPlayer.h"
#include "kiosk/grid/FlexGrid.h"
#include "kiosk/logic/playlistdatei.h"
#include "kiosk/logic/zeittext.h"
#include "platform/clock.h"

#include <QStringList>

// ---- song lengths -----------------------------------------------------------------

void frmMain::ZeitenEinlesen(bool NurSichtbareZeilen) {
    ErrPtnr::CallStack(QStringLiteral("[frmMain] Private Sub ZeitenEinlesen()"));
    if (ProgrammEnde) return;
    MySleep(100);
    kioskgrid::FlexGrid& G1 = *MSFlexGrid1;
    const int n = G1.Rows() - 1;
    platform::PumpPacer pacer;
    for (int i = 1; i <= n; ++i) {
        if (ProgrammEnde) return;
        pacer.pump();
        if (!NurSichtbareZeilen && ZeitenNeustart) {
            i = 1;
            ZeitenNeustart = false;
        }
        if (i < G1.Rows() && G1.TextMatrix(i, 3).isEmpty() && (!NurSichtbareZeilen || G1.RowIsVisible(i))) {
            const QString datei = G1.TextMatrix(i, 4);
            const int32_t L = LiedLaengeErmitteln(datei);
            if (ProgrammEnde) return;
            // The probe yields: a sort, search or rescan meanwhile may have put another song in row i,
            // and a pass run meanwhile (a new hand-over) has used the probe channel and filled the row.
            if (i < G1.Rows() && G1.TextMatrix(i, 4) == datei && G1.TextMatrix(i, 3).isEmpty())
                G1.setTextMatrix(i, 3, kiosklogic::DauerText(L));
        }
        pacer.pump();
    }
    if (!NurSichtbareZeilen) {
        ZeitenEinlesenAbgeschlossen = true;
        ZeitenNeustart = false;
    }
}

// ---- start times ------------------------------------------------------------------

void frmMain::Uhrzeiten() {
    ErrPtnr::CallStack(QStringLiteral("[frmMain] Private Sub Uhrzeiten()"));
    kioskgrid::FlexGrid& G2 = *MSFlexGrid2;
    QStringList dauern;
    for (int i = 1; i < G2.Rows(); ++i) dauern << G2.TextMatrix(i, 5);
    const QStringList zeiten = kiosklogic::Startzeiten(kiosklogic::Datumswert(platform::now()),
                                                       PlayerPosition(AktPlayer), Startzeit, dauern, FadingSekunden);
    for (int i = 1; i < G2.Rows(); ++i) G2.setTextMatrix(i, 3, zeiten[i - 1]);
}

// ---- playlist file ----------------------------------------------------------------

void frmMain::PlaylistSpeichern() {
    ErrPtnr::CallStack(QStringLiteral("[frmMain] Public Sub PlaylistSpeichern()"));
    const kioskgrid::FlexGrid& G2 = *MSFlexGrid2;
    if (!kiosklogic::PlaylistSpeichernLohnt(G2.Rows() - 1)) {
        // An older, longer list must not come back at the next start in place of this short one;
        // but one that this run has not read in yet is the queue itself (a shut-down during the scan).
        if (!playlistUngelesen_) kiosklogic::PlaylistVerwerfen();
        return;
    }
    QList<kiosklogic::Playlistsatz> saetze;
    for (int i = 1; i < G2.Rows(); ++i)
        saetze.append({G2.TextMatrix(i, 0), G2.TextMatrix(i, 1), G2.TextMatrix(i, 2), G2.TextMatrix(i, 3),
                       G2.TextMatrix(i, 4), G2.TextMatrix(i, 5)});
    // The new file replaces the old one in one step, so a failed write leaves the last list intact.
    withErrorHandler(QStringLiteral("frmMain"), QStringLiteral("PlaylistSpeichern"), [&](ErrorHandler& on) {
        on([&] { kiosklogic::PlaylistSchreiben(kiosklogic::PlaylistDateiname(), saetze); });
    });
}

void frmMain::PlaylistEinlesen() {
    ErrPtnr::CallStack(QStringLiteral("[frmMain] Public Sub PlaylistEinlesen()"));
    kioskgrid::FlexGrid& G2 = *MSFlexGrid2;
    // Read before anything is cleared: an unreadable file is reported and leaves queue and
    // headers as they are, and the hand-over that called us goes on instead of stopping halfway.
    QList<kiosklogic::Playlistsatz> saetze;
    bool gelesen = false;
    withErrorHandler(QStringLiteral("frmMain"), QStringLiteral("PlaylistEinlesen"), [&](ErrorHandler& on) {
        on([&] {
            saetze = kiosklogic::PlaylistLesen(kiosklogic::PlaylistLesedatei());
            gelesen = true;
        });
    });
    if (!gelesen) return;
    playlistUngelesen_ = false;
    // Rows left from before a return to the start dialog would stand as blank rows above the list.
    G2.setRows(1);
    G2.Clear();
    for (const kiosklogic::Playlistsatz& s : saetze) {
        G2.AddItem(s.titel);
        const int r = G2.Rows() - 1;
        G2.setTextMatrix(r, 0, s.titel);
        G2.setTextMatrix(r, 4, s.pfad);
        G2.setTextMatrix(r, 1, s.interpret);
        G2.setTextMatrix(r, 2, s.genre);
        G2.setTextMatrix(r, 3, s.start);
        G2.setTextMatrix(r, 5, s.dauer);
    }
    TabellenBeschriften(false);
    Uhrzeiten();
}
