// frmMain: playlist editing, keys and pointer.
#include "kiosk/frmMain.h"

#include "base/ErrPtnr.h"
#include "base/ErrorHandler.h"
#include "catalogue/modPlayer.h"
#include "controls/Funbutton/Funbutton.h"
#include "kiosk/grid/FlexGrid.h"
#include "platform/clock.h"
#include "platform/dialogs.h"
#include "platform/guard.h"
#include "platform/input.h"
#include "platform/runtime.h"
#include "platform/twips.h"
#include "settings/frmStart.h"

#include <QCheckBox>
#include <QCursor>
#include <QMenu>
#include <QMouseEvent>

namespace {

enum class Druck { Handeln, Nichts, LoeschenSperren };

// The touch buttons act on the press. With "only with the right button" set and right
// clicks switched off, no press can act.
Druck Druckregel(int16_t Button) {
    const frmStart& s = frmStart::instance();
    const bool nurRechts = s.chkMuelleimer->isChecked();
    const bool rechteAus = s.chkRechteMaustaste->isChecked();
    if (Button == 2) {
        if (!rechteAus) return Druck::Handeln;
        return nurRechts ? Druck::LoeschenSperren : Druck::Nichts;
    }
    return nurRechts ? Druck::Nichts : Druck::Handeln;
}

// The arguments of a mouse event for the tracer, last first.
void MausParameter(int16_t Button, int16_t Shift, float X, float Y) {
    ErrPtnr::CallStackParam(QStringLiteral("Y"), Y);
    ErrPtnr::CallStackParam(QStringLiteral("X"), X);
    ErrPtnr::CallStackParam(QStringLiteral("Shift"), Shift);
    ErrPtnr::CallStackParam(QStringLiteral("Button"), Button);
}

void GanzeZeileMarkieren(kioskgrid::FlexGrid& g, int zeile) {
    g.setRow(zeile);
    g.setCol(0);
    g.setColSel(g.Cols() - 1);
}

void Scrollen(kioskgrid::FlexGrid& g, int top) {
    g.setScrollBars(2);
    g.setTopRow(top);
    g.setScrollBars(0);
}

// Presses on the free area of the form; a press on a control is that control's own.
class FormMaus : public QObject {
public:
    explicit FormMaus(frmMain* m) : QObject(m), m_(m) {}
    bool eventFilter(QObject* watched, QEvent* e) override {
        if (watched == m_ && e->type() == QEvent::MouseButtonPress) {
            const auto* me = static_cast<QMouseEvent*>(e);
            const QPoint p = me->position().toPoint();
            if (!m_->childAt(p)) {
                const int16_t button = platform::vbButton(me->button());
                const int16_t shift = platform::vbShift(me->modifiers());
                const float x = float(p.x() * platform::TwipsPerPixel);
                const float y = float(p.y() * platform::TwipsPerPixel);
                platform::guardEvent("frmMain", "Form_MouseDown", [&] { m_->Form_MouseDown(button, shift, x, y); });
            }
        }
        return false;
    }

private:
    frmMain* m_;
};

}  // namespace

void frmMain::connectBearbeiten() {
    for (int16_t i = 0; i < 2; ++i) {
        connect(cmdHoch[i], &Funbutton::MouseDown, this, [this, i](int16_t b, int16_t s, float x, float y) {
            platform::guardEvent("frmMain", "cmdHoch_MouseDown", [&] { cmdHoch_MouseDown(i, b, s, x, y); });
        });
        connect(cmdHoch[i], &Funbutton::ClickDisabled, this, [this, i] {
            platform::guardEvent("frmMain", "cmdHoch_ClickDisabled", [&] { cmdHoch_ClickDisabled(i); });
        });
    }
    connect(cmdLoeschen, &Funbutton::MouseDown, this, [this](int16_t b, int16_t s, float x, float y) {
        platform::guardEvent("frmMain", "cmdLoeschen_MouseDown", [&] { cmdLoeschen_MouseDown(b, s, x, y); });
    });
    kioskgrid::FlexGrid* g = MSFlexGrid2;
    connect(g, &kioskgrid::FlexGrid::DblClick, this,
            [this] { platform::guardEvent("frmMain", "MSFlexGrid2_DblClick", [this] { MSFlexGrid2_DblClick(); }); });
    connect(g, &kioskgrid::FlexGrid::KeyDown, this, [this](int16_t& k, int16_t s) {
        platform::guardEvent("frmMain", "MSFlexGrid2_KeyDown", [&] { MSFlexGrid2_KeyDown(k, s); });
    });
    connect(g, &kioskgrid::FlexGrid::MouseDown, this, [this](int16_t b, int16_t s, float x, float y) {
        platform::guardEvent("frmMain", "MSFlexGrid2_MouseDown", [&] { MSFlexGrid2_MouseDown(b, s, x, y); });
    });
    connect(g, &kioskgrid::FlexGrid::SelChange, this,
            [this] { platform::guardEvent("frmMain", "MSFlexGrid2_SelChange", [this] { MSFlexGrid2_SelChange(); }); });
    connect(g, &kioskgrid::FlexGrid::Validate, this, [this](bool& c) {
        platform::guardEvent("frmMain", "MSFlexGrid2_Validate", [&] { MSFlexGrid2_Validate(c); });
    });
    installEventFilter(new FormMaus(this));
}

// ---- moving rows ------------------------------------------------------------------

void frmMain::cmdHoch_MouseDown(int16_t Index, int16_t Button, int16_t, float, float) {
    if (Druckregel(Button) == Druck::Handeln && cmdHoch[Index]->Enabled()) cmdHoch_Click(Index);
}

void frmMain::cmdHoch_ClickDisabled(int16_t Index) {
    ErrPtnr::CallStack(QStringLiteral("[frmMain] Private Sub cmdHoch_ClickDisabled(Index As Integer)"));
    ErrPtnr::CallStackParam(QStringLiteral("Index"), Index);
    MSFlexGrid2->SetFocus();
}

void frmMain::cmdHoch_Click(int16_t Index) {
    ErrPtnr::CallStack(QStringLiteral("[frmMain] Private Sub cmdHoch_Click(Index As Integer)"));
    ErrPtnr::CallStackParam(QStringLiteral("Index"), Index);
    if (!cmdHoch[Index]->Enabled()) return;
    kioskgrid::FlexGrid& g = *MSFlexGrid2;
    const int r = g.Row();
    if (g.Rows() - 1 >= 1 && !g.Text().isEmpty()) {
        // Row 1 is playing or next: it never moves, and nothing moves into it.
        const bool hoch = Index == 0 && r >= 3;
        const bool runter = Index == 1 && r >= 2 && r < g.Rows() - 1;
        if (hoch || runter) {
            std::array<QString, 6> zeile;
            for (int c = 0; c < 6; ++c) zeile[c] = g.TextMatrix(r, c);
            const int ziel = hoch ? r - 1 : r + 1;
            g.RemoveItem(r);
            g.AddItem(zeile[0], ziel);
            for (int c = 1; c < 6; ++c) g.setTextMatrix(ziel, c, zeile[c]);
            GanzeZeileMarkieren(g, ziel);
            if (hoch)
                Scrollen(g, ziel >= 5 ? ziel - 4 : 1);
            else if (ziel - g.TopRow() + 1 >= 5)
                Scrollen(g, ziel - 4);
            for (int i = 0; i < 2; ++i) {
                platform::pumpEvents();
                g.SetFocus();
            }
        }
    }
    Uhrzeiten();
}

// ---- deleting rows ----------------------------------------------------------------

void frmMain::cmdLoeschen_MouseDown(int16_t Button, int16_t Shift, float X, float Y) {
    ErrPtnr::CallStack(QStringLiteral(
        "[frmMain] Private Sub cmdLoeschen_MouseDown(Button As Integer, Shift As Integer, X As Single, Y As Single)"));
    MausParameter(Button, Shift, X, Y);
    switch (Druckregel(Button)) {
    case Druck::Handeln:
        if (cmdLoeschen->Enabled()) Loeschen();
        break;
    case Druck::LoeschenSperren:
        cmdLoeschen->setEnabled(false);
        break;
    case Druck::Nichts:
        break;
    }
}

void frmMain::Loeschen() {
    ErrPtnr::CallStack(QStringLiteral("[frmMain] Private Sub Loeschen()"));
    kioskgrid::FlexGrid& g = *MSFlexGrid2;
    if (g.Rows() > 1) {
        const int r = g.Row();
        if (r >= 1 && !g.TextMatrix(r, 0).isEmpty()) {
            if (g.Rows() < 3)
                g.setRows(1);
            else
                g.RemoveItem(r);
            g.setScrollBars(2);
            if (g.Row() >= 5)
                g.setTopRow(g.Row() - 4);
            else if (g.Rows() > 1)
                g.setTopRow(1);
            g.setScrollBars(0);
            platform::pumpEvents();
            g.SetFocus();
            if (r == AktuelleZeile) {
                AktuelleZeile = 0;
                AktuelleDatei.clear();
            }
        }
    } else {
        // Nothing queued: the trash can stops the song that plays out.
        PlayerStop(AktPlayer);
        PlayerOeffnen(AktPlayer, QString());
        AktuelleZeile = 0;
        AktuelleDatei.clear();
    }
    Naechstes();
    EnableButtons();
    Uhrzeiten();
}

// ---- the playlist grid ------------------------------------------------------------

// Shows the marked playlist song in the archive, sorted by artist, at the distance from
// the top of the view that the old marked row had.
void frmMain::MSFlexGrid2_DblClick() {
    withErrorHandler(QStringLiteral("frmMain"), QStringLiteral("MSFlexGrid2_DblClick"), [&](ErrorHandler& on) {
        on.resumeNext();
        kioskgrid::FlexGrid& G1 = *MSFlexGrid1;
        kioskgrid::FlexGrid& G2 = *MSFlexGrid2;
        QString key;
        int32_t d = 0;
        on([&] { key = G2.TextMatrix(G2.Row(), 4); });
        on([&] { d = platform::CLng(double(ArchivZeile) - G1.TopRow()); });
        on([&] { SortierSpalte = 1; });
        on([&] { Sortieren(false, false); });
        int i = 0;
        for (int r = 1; r < G1.Rows(); ++r) {
            if (G1.TextMatrix(r, 4) == key) {
                i = r;
                break;
            }
        }
        if (i > 0) {
            on([&] { G1.setRow(i); });
            on([&] { G1.setRowSel(i); });
            if (i - d > 0 && i - d < G1.Rows())
                on([&] { Scrollen(G1, i - d); });
            else if (i >= 1 && i < d)
                on([&] { Scrollen(G1, i); });
            on([&] { G1.setCol(0); });
            on([&] { G1.setColSel(G1.Cols() - 1); });
            on([&] { ArchivZeile = platform::CLng(G1.Row()); });
        }
        on([&] { G1.SetFocus(); });
    });
}

void frmMain::MSFlexGrid2_KeyDown(int16_t& KeyCode, int16_t) {
    // Once per press: a held Enter would sort the archive over and over.
    if (KeyCode == 13 && !MSFlexGrid2->KeyIsRepeat()) MSFlexGrid2_DblClick();
}

void frmMain::MSFlexGrid2_MouseDown(int16_t Button, int16_t Shift, float X, float Y) {
    ErrPtnr::CallStack(QStringLiteral(
        "[frmMain] Private Sub MSFlexGrid2_MouseDown(Button As Integer, Shift As Integer, X As Single, Y As Single)"));
    MausParameter(Button, Shift, X, Y);
    KontextmenueZeigen(Button);
}

void frmMain::MSFlexGrid2_SelChange() {
    ErrPtnr::CallStack(QStringLiteral("[frmMain] Private Sub MSFlexGrid2_SelChange()"));
    // A drag never marks more than one row.
    MSFlexGrid2->setRowSel(MSFlexGrid2->Row());
    // A row marked by a tap or a key is the one the trash can, Delete and the moves act on.
    EnableButtons();
}

void frmMain::MSFlexGrid2_Validate(bool& Cancel) {
    ErrPtnr::CallStack(QStringLiteral("[frmMain] Private Sub MSFlexGrid2_Validate(Cancel As Boolean)"));
    ErrPtnr::CallStackParam(QStringLiteral("Cancel"), Cancel);
    EnableButtons();
}

// ---- pointer ----------------------------------------------------------------------

void frmMain::Form_MouseDown(int16_t Button, int16_t, float, float) { KontextmenueZeigen(Button); }

void frmMain::KontextmenueZeigen(int16_t Button) {
    if (Button != 2) return;
    frmStart& s = frmStart::instance();
    if (s.chkRechteMaustaste->isChecked()) return;
    // Returns after the chosen command; the music and the timers go on meanwhile.
    platform::popupMenu(s.menuKontext, QCursor::pos());
}
