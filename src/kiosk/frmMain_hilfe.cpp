// frmMain: help tour.
#include "base/ErrPtnr.h"
#include "base/globals.h"
#include "base/modStandard.h"
#include "controls/Funbutton/Funbutton.h"
#include "controls/ctlSprechblase/ctlSprechblase.h"
#include "kiosk/frmMain.h"
#include "kiosk/grid/FlexGrid.h"
#include "platform/clock.h"
#include "platform/guard.h"
#include "platform/runtime.h"
#include "platform/twipsgeom.h"

#include <QPointer>
#include <algorithm>
#include <functional>

namespace {

struct Punkt {
    int32_t X = 0, Y = 0;
};

Punkt mitte(const QWidget* w) {
    const platform::TwipsRect r = platform::twips(w);
    return {platform::CLng(r.Left + r.Width / 2.0), platform::CLng(r.Top + r.Height / 2.0)};
}

// One stop of the tour; a size of 0 keeps the size of the stop before.
struct Station {
    int32_t Pfeilposition;
    int Hoehe, Breite;
    std::function<Punkt(frmMain&)> ziel;
    const char* text;
    int32_t ms;
};

}  // namespace

void frmMain::connectHilfe() {
    ctlSprechblase1 = new ctlSprechblase(this);
    ctlSprechblase1->hide();
    connect(cmdFragezeichen, &Funbutton::Click, this,
            [this] { platform::guardEvent("frmMain", "cmdFragezeichen_Click", [this] { cmdFragezeichen_Click(); }); });
}

void frmMain::cmdFragezeichen_Click() {
    ErrPtnr::CallStack(QStringLiteral("[frmMain] Private Sub cmdFragezeichen_Click()"));
    if (HilfeLaeuft) return;
    HilfeLaeuft = true;

    const auto kopf = [](int spalte) {
        return [spalte](frmMain& m) {
            const kioskgrid::FlexGrid& g1 = *m.MSFlexGrid1;
            const double x = spalte == 0 ? 1800 : g1.Left() + g1.ColWidth(0) + g1.ColWidth(1) / 2.0;
            return Punkt{platform::CLng(x), g1.Top() + 300};
        };
    };
    const auto nav = [](int i) { return [i](frmMain& m) { return mitte(m.FunbuttonArchivNav[size_t(i)]); }; };
    const auto hoch = [](int i) { return [i](frmMain& m) { return mitte(m.cmdHoch[size_t(i)]); }; };

    const Station stationen[] = {
        {0, 2400, 3600, kopf(0), "Hier klicken, um nach Titel zu sortieren und Lieder zu suchen.", 4000},
        {0, 2400, 3600, kopf(1), "Hier klicken, um nach Interpret zu sortieren und Lieder zu suchen.", 3000},
        {3, 1800, 0, [](frmMain& m) { return mitte(m.Uebernehmen); },
         "Markiertes Lied vom Archiv in die Playliste übernehmen.", 5000},
        {1, 0, 0, nav(0), "Hier und auf die anderen Pfeile klicken, um hoch oder runter zu gehen.", 3000},
        {1, 0, 0, nav(1), "Die Pfeile gedrückt halten, um schneller zu scrollen.", 3000},
        {1, 1500, 3000, hoch(0), "Zum Umsortieren der Lieder in der Playliste.", 3000},
        {1, 1500, 3000, hoch(1), "Zum Umsortieren der Lieder in der Playliste.", 3000},
        {1, 1800, 2400, [](frmMain& m) { return mitte(m.cmdLoeschen); },
         "Markiertes Lied aus der Playliste löschen.", 5000},
    };

    // The screen is never destroyed while the program runs; should it be anyway, the
    // tour must not touch it after a wait. Leaving early by an error must not lock the
    // help for the rest of the run.
    struct Ende {
        QPointer<frmMain> m;
        ~Ende() {
            if (!m) return;
            m->ctlSprechblase1->hide();
            m->HilfeLaeuft = false;
        }
    } ende{this};

    bool erste = true;
    for (const Station& s : stationen) {
        if (!erste && !HilfeLaeuft) break;
        erste = false;
        ctlSprechblase& b = *ctlSprechblase1;
        b.setPfeilposition(s.Pfeilposition);
        if (s.Hoehe) b.setHeight(s.Hoehe);
        if (s.Breite) b.setWidth(s.Breite);
        const Punkt p = s.ziel(*this);
        b.PunktX(p.X);
        b.PunktY(p.Y);
        b.setTextMy(QString::fromUtf8(s.text));
        b.raise();
        b.show();
        // Waits in short steps, so that a shut-down meanwhile ends the tour at once.
        const uint32_t ab = platform::tickCount();
        for (uint32_t gewartet = 0; gewartet < uint32_t(s.ms) && !ProgrammEnde; gewartet = platform::tickCount() - ab)
            MySleep(int32_t(std::min<uint32_t>(250, uint32_t(s.ms) - gewartet)));
        if (!ende.m || ProgrammEnde) return;
        b.hide();
    }
}
