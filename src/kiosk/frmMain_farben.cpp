// The screen's colours from the two colours of the settings.
#include "base/ErrPtnr.h"
#include "base/globals.h"
#include "base/modStandard.h"
#include "controls/Funbutton/Funbutton.h"
#include "kiosk/frmMain.h"
#include "kiosk/grid/FlexGrid.h"
#include "platform/clock.h"
#include "platform/colors.h"
#include "settings/frmStart.h"
#include "settings/startcontrols.h"

#include <QFrame>
#include <QLabel>
#include <algorithm>

namespace {
void setRole(QWidget* w, QPalette::ColorRole role, int32_t colour) {
    QPalette p = w->palette();
    p.setColor(role, platform::vbColor(colour));
    w->setPalette(p);
}
int32_t role(const QWidget* w, QPalette::ColorRole r) { return platform::fromQColor(w->palette().color(r)); }
}  // namespace

void frmMain::setBackColor(int32_t c) {
    backColor_ = c;
    setRole(this, QPalette::Window, c);
}

int32_t frmMain::BalkenFarbe(const QWidget* Balken) { return role(Balken, QPalette::Window); }

// The grid colours that follow the arrow button's shadow colour, read at each use.
void frmMain::setGridColoursFromShadow() {
    auto S = [this] { return FunbuttonArchivNav[0]->Schattenfarbe(); };
    auto P = [] { return frmStart::instance().PicFarbe->BackColor(); };
    MSFlexGrid1->setBackColorBkg(S());
    MSFlexGrid2->setBackColorBkg(S());
    MSFlexGrid1->setForeColorSel(S());
    MSFlexGrid1->setBackColorSel(P());
    MSFlexGrid1->setForeColorFixed(S());
    MSFlexGrid1->setBackColorFixed(P());
    MSFlexGrid2->setForeColorFixed(S());
    MSFlexGrid2->setBackColorFixed(P());
    MSFlexGrid2->setForeColorSel(S());
    MSFlexGrid2->setBackColorSel(P());
}

void frmMain::Einfaerben(int32_t Hintergrund, int32_t Vordergrund) {
    ErrPtnr::CallStack(QStringLiteral("[frmMain] Private Sub Einfaerben(Hintergrund As Long, Vordergrund As Long)"));
    ErrPtnr::CallStackParam(QStringLiteral("Vordergrund"), Vordergrund);
    ErrPtnr::CallStackParam(QStringLiteral("Hintergrund"), Hintergrund);
    frmStart& s = frmStart::instance();

    setGridColoursFromShadow();

    setRole(Frame1, QPalette::Window, s.PicHintergrundfarbe->BackColor());
    setRole(lblStartmeldung, QPalette::WindowText, s.PicFarbe->BackColor());
    setRole(lblStartmeldung2, QPalette::WindowText, s.PicFarbe->BackColor());

    setBackColor(Hintergrund);
    MSFlexGrid1->setBackColor(BackColor());
    MSFlexGrid2->setBackColor(BackColor());
    MSFlexGrid1->setForeColor(Vordergrund);
    MSFlexGrid2->setForeColor(Vordergrund);

    for (Funbutton* b : touchButtons()) {
        if (b == cmdFragezeichen) setRole(Balken, QPalette::Window, Vordergrund);
        b->ColorMy = Vordergrund;
    }

    platform::pumpEvents();

    if (Uebernehmen->IniState() == 0 && !ProgrammEnde) {
        for (Funbutton* b : touchButtons()) b->Ini(80);
        // At the first hand-over the load event's run initialised the buttons and the
        // explicit run then coloured the grids from the fresh shadow colour.
        if (twoRuns_) setGridColoursFromShadow();
    }

    // Black or white by the background's brightness: a single strong channel (pure blue)
    // is still a dark background.
    const int32_t titel = platform::fromQColor(platform::LesbareSchrift(platform::vbColor(BackColor())));
    for (QLabel* l : {Label1, Label2, Label3, Label4}) setRole(l, QPalette::WindowText, titel);
}

void frmMain::TimerFarbe_Timer() {
    ErrPtnr::CallStack(QStringLiteral("[frmMain] Private Sub TimerFarbe_Timer()"));
    const TypeFarbe f = ColorToRGB(BackColor());
    const int32_t neu = platform::RGB(std::min(f.R, 255), std::min(f.G, 255), std::min(f.B + 10, 255));
    setBackColor(neu);
    int32_t vorder = frmStart::instance().PicFarbe->BackColor();
    int32_t hinter = neu;
    Einfaerben(hinter, vorder);
}
