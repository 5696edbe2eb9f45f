// The tic-tac-toe form: board, placing marks, the win check and the idle close.
#include "game/frmTicTacToe.h"

#include "controls/Bilder/Bilder.h"
#include "controls/Funbutton/Funbutton.h"
#include "game/ctlSmilie.h"
#include "platform/colors.h"
#include "platform/dialogs.h"
#include "platform/guard.h"
#include "platform/toplevel.h"
#include "platform/twipsgeom.h"
#include "platform/vbtimer.h"
#include "settings/frmStart.h"
#include "settings/startcontrols.h"

#include <memory>

namespace {

frmTicTacToe* g_current = nullptr;
frmTicTacToe::ShowHook g_hook;

void setFill(QWidget* w, int32_t colour) {
    QPalette pal = w->palette();
    pal.setColor(QPalette::Window, platform::vbColor(colour));
    w->setPalette(pal);
    w->setAutoFillBackground(true);
    w->setProperty("fill", colour);
}

// The rows, the columns, then the two diagonals: the first complete one wins.
constexpr std::array<std::array<int, 3>, 8> kLinien{{
    {0, 1, 2}, {3, 4, 5}, {6, 7, 8}, {0, 3, 6}, {1, 4, 7}, {2, 5, 8}, {0, 4, 8}, {2, 4, 6},
}};

}  // namespace

frmTicTacToe* frmTicTacToe::current() { return g_current; }
bool frmTicTacToe::visible() { return g_current && g_current->isVisible(); }
void frmTicTacToe::setShowHook(ShowHook hook) { g_hook = std::move(hook); }

int32_t frmTicTacToe::Fuellfarbe(const QWidget* bar) { return bar->property("fill").toInt(); }

void frmTicTacToe::Anzeigen(QWidget* parent) {
    const platform::ModalScope modal;
    std::unique_ptr<frmTicTacToe> f(new frmTicTacToe(parent));
    g_current = f.get();
    f->setModal(true);
    f->show();
    platform::guardEvent("frmTicTacToe", "Form_Activate", [&] { f->Form_Activate(); });
    if (g_hook)
        g_hook(*f);
    else if (f->isVisible())
        f->exec();  // ends when the game is hidden
    g_current = nullptr;
    // The modal loop has returned: nothing runs inside the form any more.
}

frmTicTacToe::frmTicTacToe(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Tic Tac Toe"));
    platform::bringToFrontWhenShown(this);
    setFixedSize(9210 / 15, 6585 / 15);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    for (int i = 0; i < 9; ++i) {
        ctlSmilie* c = new ctlSmilie(this);
        c->setObjectName(QStringLiteral("ctlSmilie1_%1").arg(i));
        platform::setTwGeometry(c, 720 + (i % 3) * 1920, 600 + (i / 3) * 1920, 1515, 1515);
        connect(c, &ctlSmilie::Click, this, [this, i] {
            platform::guardEvent("frmTicTacToe", "ctlSmilie1_Click", [&] { ctlSmilie1_Click(static_cast<int16_t>(i)); });
        });
        ctlSmilie1[static_cast<size_t>(i)] = c;
    }
    const std::array<std::array<int, 4>, 8> bars{{
        {2340, 540, 255, 5475}, {4260, 540, 255, 5475}, {660, 2220, 5475, 255}, {660, 4140, 5475, 255},
        {60, 60, 255, 6435}, {8880, 60, 255, 6435}, {60, 60, 9075, 255}, {60, 6240, 9075, 255},
    }};
    for (size_t i = 0; i < bars.size(); ++i) {
        QWidget* b = new QWidget(this);
        platform::setTwGeometry(b, bars[i][0], bars[i][1], bars[i][2], bars[i][3]);
        setFill(b, platform::vbWhite);
        Shape1[i] = b;
    }
    cmdNeu = new Funbutton(this);
    platform::setTwGeometry(cmdNeu, 6960, 600, 1815, 975);
    // Twice the button's size, as the main screen's buttons: the faces render the picture
    // at half its size, so the symbol fills the button.
    cmdNeu->ReadPictureMy(Bilder::zeichne(Bilder::Motiv::NeuesSpiel, 2 * cmdNeu->width(), 2 * cmdNeu->height()));
    cmdEnde = new Funbutton(this);
    platform::setTwGeometry(cmdEnde, 6960, 4980, 1815, 975);
    cmdEnde->ReadPictureMy(Bilder::zeichne(Bilder::Motiv::Schliessen, 2 * cmdEnde->width(), 2 * cmdEnde->height()));
    connect(cmdNeu, &Funbutton::Click, this,
            [this] { platform::guardEvent("frmTicTacToe", "cmdNeu_Click", [this] { cmdNeu_Click(); }); });
    connect(cmdEnde, &Funbutton::Click, this,
            [this] { platform::guardEvent("frmTicTacToe", "cmdEnde_Click", [this] { cmdEnde_Click(); }); });

    Timer1 = new platform::VbTimer(this, 20000, true);
    Timer1->onTimer = [this] { platform::guardEvent("frmTicTacToe", "Timer1_Timer", [this] { Timer1_Timer(); }); };

    platform::guardEvent("frmTicTacToe", "Form_Load", [this] { Form_Load(); });
}

frmTicTacToe::~frmTicTacToe() {
    if (g_current == this) g_current = nullptr;
}

void frmTicTacToe::Form_Load() {
    frmStart& s = frmStart::instance();
    backColor_ = s.PicHintergrundfarbe->BackColor();
    setFill(this, backColor_);
    cmdEnde->ColorMy = s.PicFarbe->BackColor();
    cmdNeu->ColorMy = s.PicFarbe->BackColor();
    if (cmdEnde->IniState() == 0) cmdEnde->Ini(80);
    if (cmdNeu->IniState() == 0) cmdNeu->Ini(80);
    for (ctlSmilie* c : ctlSmilie1) c->Ini();
    NeuesSpiel();
    for (size_t i = 4; i < 8; ++i) setFill(Shape1[i], cmdNeu->Schattenfarbe());
}

void frmTicTacToe::Form_Activate() {
    // A button that could not be drawn leaves no way to play: the game closes at once.
    if (cmdNeu->IniState() == 0) hide();
}

void frmTicTacToe::NeuesSpiel() {
    Spieler = 1;
    for (ctlSmilie* c : ctlSmilie1) c->setVisibleMy(false);
    SpielEnde = false;
}

void frmTicTacToe::TimerNeuStarten() {
    Timer1->setEnabled(false);
    Timer1->setEnabled(true);
}

void frmTicTacToe::ctlSmilie1_Click(int16_t Index) {
    TimerNeuStarten();
    ctlSmilie* c = ctlSmilie1.at(static_cast<size_t>(Index));
    if (c->VisibleMy() || SpielEnde) return;
    c->setVisibleMy(true);
    if (Spieler == 1) {
        c->setFarbe(Gelb);
        Spieler = 2;
    } else {
        c->setFarbe(Gruen);
        Spieler = 1;
    }
    GewinnPruefen();
}

void frmTicTacToe::GewinnPruefen() {
    for (const int32_t farbe : {Gelb, Gruen}) {
        std::array<bool, 9> Linie{};
        bool gefunden = false;
        for (const auto& l : kLinien) {
            bool komplett = true;
            for (int i : l) {
                ctlSmilie* c = ctlSmilie1[static_cast<size_t>(i)];
                komplett = komplett && c->VisibleMy() && c->Farbe() == farbe;
            }
            if (!komplett) continue;
            for (int i : l) Linie[static_cast<size_t>(i)] = true;
            gefunden = true;
            break;
        }
        if (!gefunden) continue;
        SpielEnde = true;
        const int32_t gegner = farbe == Gelb ? Gruen : Gelb;
        for (size_t i = 0; i < 9; ++i) {
            ctlSmilie* c = ctlSmilie1[i];
            if (c->VisibleMy() && c->Farbe() == gegner) c->Mund(false);
            if (Linie[i]) continue;
            if (c->Farbe() == Gelb)
                c->setFarbe(GelbBlass);
            else if (c->Farbe() == Gruen)
                c->setFarbe(GruenBlass);
        }
    }
}

void frmTicTacToe::cmdNeu_Click() {
    TimerNeuStarten();
    NeuesSpiel();
}

void frmTicTacToe::Unload() {
    Timer1->setEnabled(false);
    hide();  // ends the modal loop; the opener destroys the form
}

void frmTicTacToe::cmdEnde_Click() { Unload(); }

void frmTicTacToe::Timer1_Timer() { Unload(); }
