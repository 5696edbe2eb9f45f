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
#include "platform/runtime.h"

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

QList<kiosklogic::Playlistsatz> frmMain::Warteschlange() const {
    const kioskgrid::FlexGrid& G2 = *MSFlexGrid2;
    QList<kiosklogic::Playlistsatz> saetze;
    for (int i = 1; i < G2.Rows(); ++i)
        saetze.append({G2.TextMatrix(i, 0), G2.TextMatrix(i, 1), G2.TextMatrix(i, 2), G2.TextMatrix(i, 3),
                       G2.TextMatrix(i, 4), G2.TextMatrix(i, 5)});
    return saetze;
}

void frmMain::LaufendeLiederMelden() {
    sicherung_.gespielt(AktuelleDatei);
    for (const int16_t k : {PlayerKanalA, PlayerKanalB})
        if (PlayerStatus(k) == 2) sicherung_.gespielt(PlayerDatei(k));
}

namespace {
using Schritt = kiosklogic::PlaylistSicherung::Schritt;

void Ausfuehren(Schritt schritt, const QList<kiosklogic::Playlistsatz>& saetze) {
    // Written to a temporary file and renamed over the old one: a power cut leaves the old list or the new.
    if (schritt == Schritt::Schreiben) kiosklogic::PlaylistSchreiben(kiosklogic::PlaylistDateiname(), saetze);
    if (schritt == Schritt::Entfernen) kiosklogic::PlaylistVerwerfen();
}
}  // namespace

void frmMain::PlaylistSpeichern() {
    ErrPtnr::CallStack(QStringLiteral("[frmMain] Public Sub PlaylistSpeichern()"));
    LaufendeLiederMelden();
    const QList<kiosklogic::Playlistsatz> saetze = Warteschlange();
    const Schritt schritt = sicherung_.schritt(saetze, true);
    // A failed write leaves the last list intact.
    withErrorHandler(QStringLiteral("frmMain"), QStringLiteral("PlaylistSpeichern"), [&](ErrorHandler& on) {
        on([&] {
            Ausfuehren(schritt, saetze);
            sicherung_.getan(schritt, saetze);
        });
    });
}

void frmMain::TimerPlaylist_Timer() {
    // The shut-down saves the queue itself.
    if (ProgrammEnde) return;
    LaufendeLiederMelden();
    const QList<kiosklogic::Playlistsatz> saetze = Warteschlange();
    const Schritt schritt = sicherung_.schritt(saetze);
    if (schritt == Schritt::Nichts) return;
    // No dialog over the guests' screen: a failure goes to the error protocol once and the
    // next second tries again; the shut-down reports it as usual.
    try {
        Ausfuehren(schritt, saetze);
    } catch (const platform::RuntimeError& e) {
        if (!sicherungFehlgeschlagen_)
            ErrPtnr::LogFehler(QStringLiteral("Playliste nicht gesichert: \"") + kiosklogic::PlaylistDateiname() +
                                   QStringLiteral("\""),
                               e.number(), e.description());
        sicherungFehlgeschlagen_ = true;
        return;
    }
    sicherungFehlgeschlagen_ = false;
    sicherung_.getan(schritt, saetze);
}

void frmMain::LetztePlaylisteEinlesen() {
    if (MSFlexGrid2->Rows() > 1) return;
    PlaylistEinlesen();
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
    sicherung_.gelesen(saetze);
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
    // The list comes back with its first song marked; labelling keeps that marking.
    if (G2.Rows() > 1) G2.setRow(1);
    TabellenBeschriften(false);
    Uhrzeiten();
}
