// The play loop with its crossfade, the time bar, the take-over of archive songs
// into the playlist and the states of the guest's buttons.
#include "kiosk/frmMain.h"

#include "base/ErrPtnr.h"
#include "base/ErrorHandler.h"
#include "base/globals.h"
#include "catalogue/modMP3Tags.h"
#include "catalogue/modPlayer.h"
#include "controls/Funbutton/Funbutton.h"
#include "kiosk/grid/FlexGrid.h"
#include "kiosk/logic/abspielen.h"
#include "kiosk/logic/zeittext.h"
#include "platform/clock.h"
#include "platform/colors.h"
#include "platform/guard.h"
#include "platform/runtime.h"
#include "platform/sound.h"
#include "platform/twips.h"
#include "platform/twipsgeom.h"
#include "platform/vbtimer.h"
#include "settings/frmStart.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <algorithm>

namespace {

bool SchlossIst(const Funbutton* Schloss, const char* zustand) {
    return Schloss->property("Tag").toString() == QLatin1String(zustand);
}

// Selects the row and brings it to the top of the view; the scroll bar shows only for the move.
void NachOben(kioskgrid::FlexGrid& g, int zeile) {
    g.setRow(zeile);
    g.setScrollBars(2);
    g.setTopRow(zeile);
    g.setScrollBars(0);
}

void GanzeZeile(kioskgrid::FlexGrid& g) {
    g.setCol(0);
    g.setColSel(g.Cols() - 1);
}

// The grid keeps its header row; a single data row goes by cutting the row count.
// A guest's marking stays on the song it was on, so a move or a delete hits that song;
// when the marked song itself goes, nothing stays marked (row 0, the header).
void ErsteZeileEntfernen(kioskgrid::FlexGrid& g) {
    const int markiert = g.Row();
    if (g.Rows() >= 3)
        g.RemoveItem(1);
    else
        g.setRows(1);
    if (markiert > 1 && markiert - 1 < g.Rows()) {
        g.setRow(markiert - 1);
        GanzeZeile(g);
    } else {
        g.setRow(0);
    }
}

// The other one of the two playback channels.
int16_t AndererKanal(int16_t k) { return k == 0 ? 1 : 0; }

// The channel's exact length in milliseconds, 0 without a song.
int32_t LaengeMs(int16_t k) { return frmPlayer::instance().MMControl1(k).length(); }

}  // namespace

void frmMain::connectMusik() {
    connect(Uebernehmen, &Funbutton::Click, this,
            [this] { platform::guardEvent("frmMain", "Uebernehmen_Click", [this] { Uebernehmen_Click(); }); });
    connect(Positionsgrafik, &Funbutton::Click, this, [this] {
        platform::guardEvent("frmMain", "Positionsgrafik_Click", [this] { Positionsgrafik_Click(); });
    });
    setCurrentChannelSource([this] { return AktPlayer; });
    TimerWechsel = new platform::VbTimer(this, 0, false);
    TimerWechsel->onTimer = [this] {
        TimerWechsel->setEnabled(false);
        // It only sharpens Timer1: a loop whose timer was stopped stays stopped.
        if (!Timer1->Enabled()) return;
        Wechsel();
        WechselZeitGeben();
    };
}

void frmMain::disconnectMusik() { setCurrentChannelSource(nullptr); }

// ---- play loop ------------------------------------------------------------------

void frmMain::Timer1_Timer() {
    // Once the shut-down has begun the queue is saved: nothing may start, drop or reopen anything.
    if (ProgrammEnde) return;
    ErrPtnr::CallStack(QStringLiteral("[frmMain] Private Sub Timer1_Timer()"));
    Zeitbalken();
    const QDateTime jetzt = platform::now();
    const int letzte = LetzteMinute.isValid() ? LetzteMinute.time().minute() : 0;
    if (jetzt.time().minute() != letzte) {
        Uhrzeiten();
        LetzteMinute = jetzt;
    }
    Wechsel();
    WechselZeitGeben();
}

namespace {
kiosklogic::Kanalzustand KanalLesen(int16_t k) {
    const int16_t andere = AndererKanal(k);
    const int16_t status = PlayerStatus(k);
    const int16_t statusAndere = PlayerStatus(andere);
    kiosklogic::Kanalzustand kanal;
    kanal.laengeSek = PlayerLaenge(k);
    kanal.positionMs = PlayerPosition(k);
    kanal.laengeMs = LaengeMs(k);
    kanal.hatDatei = !PlayerDatei(k).isEmpty();
    kanal.ausgespielt = kanal.hatDatei && status == 0;
    kanal.vorherigesSpielt = statusAndere == 2;
    kanal.vorherigesRestMs = LaengeMs(andere) - PlayerPosition(andere);
    kanal.pausiert = status == 1 || statusAndere == 1;
    return kanal;
}
}  // namespace

void frmMain::Wechsel() {
    if (ProgrammEnde) return;
    if (!kiosklogic::EndeErreicht(KanalLesen(AktPlayer), FadingSekunden)) return;
    kioskgrid::FlexGrid& G2 = *MSFlexGrid2;
    if (G2.Rows() - 1 > 0) {
        if (AktuelleDatei == G2.TextMatrix(1, 4)) {
            ErsteZeileEntfernen(G2);
            AktuelleDatei.clear();
        }
        // After the queue ran dry the other channel may still play the last song out:
        // a song queued meanwhile starts here, on the free channel, and that one ends by itself.
        const int16_t andere = AndererKanal(AktPlayer);
        if (PlayerStatus(andere) != 2) AktPlayer = andere;
        Naechstes();
        EnableButtons();
    } else {
        if (PlayerStatus(AktPlayer) == 0) PlayerOeffnen(AktPlayer, QString());
        ZufallNochmal();
    }
}

// A random pick that found nothing to play (the song folder away, the archive empty while the
// start dialog is open) is tried again while the fill is on and nothing sounds, until a song plays:
// with the lock closed no guest could start the music again.
void frmMain::ZufallNochmal() {
    if (!zufallFehlt_) return;
    if (!frmStart::instance().chkZufall->isChecked()) {
        zufallFehlt_ = false;  // switched off: the kiosk idles as it always did
        return;
    }
    if (PlayerStatus(0) != 0 || PlayerStatus(1) != 0) return;
    if (int32_t(platform::tickCount() - zufallNochmalAb_) < 0) return;
    Naechstes();
    EnableButtons();
}

void frmMain::WechselZeitGeben() {
    TimerWechsel->setEnabled(false);
    // A stopped loop stays stopped (shut-down, or a test that holds it).
    if (ProgrammEnde || !Timer1->Enabled()) return;
    const int32_t ms = kiosklogic::MsBisEnde(KanalLesen(AktPlayer), FadingSekunden);
    // Farther ends are aimed at again by the ticks before them.
    if (ms < 0 || ms > 1000) return;
    TimerWechsel->setInterval(ms);
    TimerWechsel->setEnabled(true);
}

void frmMain::Naechstes() {
    ErrPtnr::CallStack(QStringLiteral("[frmMain] Private Sub Naechstes()"));
    kioskgrid::FlexGrid& G1 = *MSFlexGrid1;
    kioskgrid::FlexGrid& G2 = *MSFlexGrid2;
    const bool zufall = frmStart::instance().chkZufall->isChecked();
    const auto zufallsLied = [&] {
        const double r = Zufallszahl ? Zufallszahl() : kiosklogic::Rnd();
        // Whole-number arithmetic of 32 bits: archives beyond 32 767 songs are common.
        const int32_t n = kiosklogic::Zufallszeile(G1.Rows(), r, KlingendeZeilen());
        if (n >= 1) {
            const int alt = G1.Row();
            G1.setRow(n);
            // The operator's background music: a closed lock keeps guests out, not this.
            MarkierteUebernehmen();
            G1.setRow(alt);
            GanzeZeile(G1);
        }
    };
    if (G2.Rows() == 1) {
        if (!zufall) return;
        zufallsLied();
    }
    // A song that cannot be opened is dropped and the next one tried on the same, free channel:
    // the other channel still plays the song before out and must not be touched.
    int zufallsVersuche = 1;
    while (G2.Rows() > 1 && G2.TextMatrix(1, 4) != AktuelleDatei) {
        const QString pfad = G2.TextMatrix(1, 4);
        PlayerOeffnen(AktPlayer, pfad);
        if (!PlayerDatei(AktPlayer).isEmpty()) {
            Startzeit = kiosklogic::Datumswert(platform::now());
            AktuelleZeile = 1;
            AktuelleDatei = pfad;
            PlayerAbspielen(AktPlayer);
            // A song before that was paused in its overlap (and the row after it deleted) is not
            // woken later over this one.
            const int16_t andere = AndererKanal(AktPlayer);
            if (PlayerStatus(andere) == 1) PlayerStop(andere);
            platform::blockingSleep(500);
            Liedlaenge = PlayerLaenge(AktPlayer);
            break;
        }
        ErsteZeileEntfernen(G2);
        // The last queued song was unplayable: a random song takes its turn, a few tries at most.
        if (G2.Rows() == 1 && zufall && zufallsVersuche++ < 5) zufallsLied();
    }
    if (G2.Rows() > 1) {
        zufallFehlt_ = false;
        Uhrzeiten();
    } else if (zufall) {  // every pick found nothing to play
        if (!zufallFehlt_)
            ErrPtnr::LogLine(QStringLiteral("Zufällige Lieder: keines ließ sich abspielen, neuer Versuch alle ") +
                             QString::number(kZufallNochmalMs / 1000) + QStringLiteral(" Sekunden"));
        zufallFehlt_ = true;
        zufallNochmalAb_ = platform::tickCount() + kZufallNochmalMs;
    }
}

// The archive rows of the songs that sound now, playing or paused, on either channel: the song
// playing out after a hand-over, or the one still playing after its row was deleted.
std::vector<int32_t> frmMain::KlingendeZeilen() const {
    QStringList pfade;
    for (int16_t k = 0; k < 2; ++k)
        if (PlayerStatus(k) != 0 && !PlayerDatei(k).isEmpty()) pfade << PlayerDatei(k);
    std::vector<int32_t> zeilen;
    if (pfade.isEmpty()) return zeilen;
    const kioskgrid::FlexGrid& G1 = *MSFlexGrid1;
    for (int z = 1; z < G1.Rows(); ++z)
        if (pfade.contains(G1.TextMatrix(z, 4))) zeilen.push_back(z);
    return zeilen;
}

void frmMain::Pause() {
    ErrPtnr::CallStack(QStringLiteral("[frmMain] Private Sub Pause()"));
    // What is heard: both songs during an overlap, the song before alone while a short song waits
    // for its end. Resumed is what was paused, so no song is left frozen to sound later.
    std::array<int16_t, 2> status{PlayerStatus(0), PlayerStatus(1)};
    const auto irgendein = [&](int16_t s) { return status[0] == s || status[1] == s; };
    if (irgendein(2)) {
        for (int16_t k = 0; k < 2; ++k)
            if (status[size_t(k)] == 2) PlayerPause(k);
    } else if (irgendein(1)) {
        for (int16_t k = 0; k < 2; ++k)
            if (status[size_t(k)] == 1) PlayerAbspielen(k);
    } else {
        PlayerAbspielen(AktPlayer);
    }
    WechselZeitGeben();
}

void frmMain::Positionsgrafik_Click() {
    ErrPtnr::CallStack(QStringLiteral("[frmMain] Private Sub Positionsgrafik_Click()"));
    if (frmStart::instance().chkPause->isChecked()) Pause();
}

// ---- time bar ---------------------------------------------------------------------

void frmMain::Zeitbalken() {
    ErrPtnr::CallStack(QStringLiteral("[frmMain] Private Sub Zeitbalken()"));
    using namespace platform;
    withErrorHandler(QStringLiteral("frmMain"), QStringLiteral("Zeitbalken"), [&](ErrorHandler& on) {
        on.resumeNext();
        int32_t W = 0;
        on([&] { W = CLng(double(Width()) - 2.0 * TwLeft(Balken)); });
        // 600 seconds fill the width; a longer song (a DJ mix) fills it too, and its note
        // moves on the song's own scale: bar and note stay on the screen.
        const double skala = std::max(600.0, double(Liedlaenge));
        const auto skalieren = [&] {
            if (BalkenLaenge == Liedlaenge) return;
            on([&] { BalkenLaenge = CInt(Liedlaenge); });
            on([&] { setTwWidth(Balken, CLng(Liedlaenge / skala * W)); });
        };
        skalieren();
        int16_t status = 0;
        on([&] { status = PlayerStatus(AktPlayer); });
        // The note blinks while the music is paused, also when the paused song is the one before.
        on([&] { Positionsgrafik->setBlinken(status == 1 || PlayerStatus(AndererKanal(AktPlayer)) == 1); });
        const double links = TwLeft(Balken) - TwWidth(Positionsgrafik) / 2.0;
        if (status != 2) {
            if (status == 1) return;
            on([&] { Positionsgrafik->show(); });
            on([&] { setTwLeft(Positionsgrafik, CLng(links)); });
            on([&] { Balkentext->setText(QString()); });
            on([&] { BalkentextPlatzieren(); });
            return;
        }
        skalieren();
        on([&] {
            const QString T = kiosklogic::DauerText(Liedlaenge);
            Balkentext->setText(Liedlaenge > 60
                                    ? QStringLiteral(" ") + T + QStringLiteral("   ") + MSFlexGrid2->TextMatrix(1, 0)
                                    : QStringLiteral(" ") + T);
        });
        on([&] { BalkentextPlatzieren(); });
        on([&] {
            const double anteil = std::min(1.0, PlayerPosition(AktPlayer) / 1000.0 / skala);
            // At the end its right half would stand past the bar's margin, off the screen.
            const double rechts = pxToTwips(width()) - TwWidth(Positionsgrafik);
            setTwLeft(Positionsgrafik, CLng(std::min(links + anteil * W, rechts)));
        });
    });
}

void frmMain::BalkentextPlatzieren() {
    const QRect bar = Balken->geometry();
    const int rand = platform::twipsToPx(60);
    const int breite = Balkentext->fontMetrics().horizontalAdvance(Balkentext->text()) + 2;
    const bool aufBalken = rand + breite <= bar.width();
    const QColor hinten = aufBalken ? Balken->palette().color(QPalette::Window) : palette().color(QPalette::Window);
    const int links = aufBalken ? bar.left() + rand : bar.right() + 1 + rand;
    Balkentext->setGeometry(links, bar.top(), breite, bar.height());
    QPalette p = Balkentext->palette();
    p.setColor(QPalette::WindowText, platform::LesbareSchrift(hinten));
    Balkentext->setPalette(p);
}

// ---- take-over --------------------------------------------------------------------

void frmMain::Uebernehmen_Click() {
    ErrPtnr::CallStack(QStringLiteral("[frmMain] Private Sub Uebernehmen_Click()"));
    Uebernehmen->setEnabled(SchlossIst(Schloss, "Auf"));
    if (!Uebernehmen->Enabled()) return;
    MarkierteUebernehmen();
}

void frmMain::MarkierteUebernehmen() {
    kioskgrid::FlexGrid& G1 = *MSFlexGrid1;
    kioskgrid::FlexGrid& G2 = *MSFlexGrid2;
    const int a = G1.Row();
    const auto fertig = [&] {
        GanzeZeile(G2);
        Uhrzeiten();
    };
    [&] {
        if (G1.Rows() - 1 < 1 || a < 1) return;
        const int16_t n = static_cast<int16_t>(frmStart::instance().cmbAnzahl->currentIndex());
        if (n > 0 && G2.Rows() - 1 >= n) {
            Startmeldung(QStringLiteral("Begrenzung auf ") + QString::number(n) +
                             (n == 1 ? QStringLiteral(" Lied!") : QStringLiteral(" Lieder!")),
                         QString(), 2000);
            return;
        }
        if (G1.TextMatrix(a, 0).isEmpty()) return;
        const QString pfad = G1.TextMatrix(a, 4);
        for (int i = G2.Rows() - 1; i >= 1; --i) {
            if (G2.TextMatrix(i, 4) != pfad) continue;
            NachOben(G2, i);
            Startmeldung(QStringLiteral("Bereits in Playliste vorhanden!"), QString(), 2000);
            fertig();
            return;
        }
        G2.AddItem(G1.TextMatrix(a, 0));
        const int neu = G2.Rows() - 1;
        G2.setTextMatrix(neu, 1, G1.TextMatrix(a, 1));
        G2.setTextMatrix(neu, 2, G1.TextMatrix(a, 2));
        G2.setTextMatrix(neu, 3, QStringLiteral("??:??"));
        G2.setTextMatrix(neu, 4, pfad);
        const QString dauer = G1.TextMatrix(a, 3);
        G2.setTextMatrix(neu, 5, dauer.isEmpty() ? kiosklogic::StandardDauer : dauer);
        NachOben(G2, neu);
        lblStartmeldung2->setText(QString());
        lblStartmeldung->setText(QString());
        fertig();
    }();
    EnableButtons();
}

// ---- button states ----------------------------------------------------------------

void frmMain::EnableButtons() {
    ErrPtnr::CallStack(QStringLiteral("[frmMain] Public Sub EnableButtons()"));
    const kioskgrid::FlexGrid& G1 = *MSFlexGrid1;
    const kioskgrid::FlexGrid& G2 = *MSFlexGrid2;
    Uebernehmen->setEnabled(true);
    cmdHoch[0]->setEnabled(true);
    cmdHoch[1]->setEnabled(true);
    cmdLoeschen->setEnabled(true);
    for (Funbutton* b : FunbuttonArchivNav) b->setEnabled(true);

    const int r2 = G2.Row();
    if (r2 == 1 || r2 == 2) cmdHoch[0]->setEnabled(false);
    if (r2 == 1 || r2 == G2.Rows() - 1) cmdHoch[1]->setEnabled(false);
    if (G2.Rows() - 1 <= 0) {
        cmdHoch[0]->setEnabled(false);
        cmdHoch[1]->setEnabled(false);
    }
    if (G2.Rows() == 1) {
        const int16_t status = PlayerStatus(AktPlayer);
        if (status == 0 || status == 1) cmdLoeschen->setEnabled(false);
    } else if (r2 < 1) {
        // Queued songs but none marked (the marked one went): nothing to delete or move.
        cmdHoch[0]->setEnabled(false);
        cmdHoch[1]->setEnabled(false);
        cmdLoeschen->setEnabled(false);
    }
    if (G1.Row() < 2) FunbuttonArchivNav[0]->setEnabled(false);
    if (G1.Row() == G1.Rows() - 1) FunbuttonArchivNav[1]->setEnabled(false);
    if (G1.Rows() == 1) {
        FunbuttonArchivNav[0]->setEnabled(false);
        FunbuttonArchivNav[1]->setEnabled(false);
    }
    if (r2 <= 1) FunbuttonArchivNav[2]->setEnabled(false);
    if (r2 == G2.Rows() - 1) FunbuttonArchivNav[3]->setEnabled(false);
    if (G2.Rows() == 1) {
        FunbuttonArchivNav[2]->setEnabled(false);
        FunbuttonArchivNav[3]->setEnabled(false);
    }
    if (SchlossIst(Schloss, "Zu")) {
        Uebernehmen->setEnabled(false);
        cmdHoch[0]->setEnabled(false);
        cmdHoch[1]->setEnabled(false);
        cmdLoeschen->setEnabled(false);
    }
}
