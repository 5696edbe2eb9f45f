// The screen's layout from the window's size (all values in twips).
#include "controls/Funbutton/Funbutton.h"
#include "kiosk/frmMain.h"
#include "kiosk/grid/FlexGrid.h"
#include "kiosk/logic/spaltenbreiten.h"
#include "platform/runtime.h"
#include "platform/twips.h"
#include "platform/twipsgeom.h"

#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <algorithm>
#include <array>
#include <cmath>

using namespace platform;

namespace {
int whole(double v) { return static_cast<int>(std::nearbyint(v)); }
// A window smaller than the designed margins gives empty controls, not negative sizes.
int laenge(double v) { return std::max(0, whole(v)); }
}  // namespace

int32_t frmMain::Width() const { return pxToTwips(frameGeometry().width()); }

int32_t frmMain::Height() const { return pxToTwips(frameGeometry().height()); }

void frmMain::Form_Resize() {
    if (isMinimized()) return;
    const double W = Width();
    const double H = Height();
    kioskgrid::FlexGrid& G1 = *MSFlexGrid1;
    kioskgrid::FlexGrid& G2 = *MSFlexGrid2;
    auto& Nav = FunbuttonArchivNav;

    setTwLeft(txtSortierung, whole(W / 2 - TwWidth(txtSortierung) / 2.0));
    setTwLeft(Frame1, whole(W / 2 - TwWidth(Frame1) / 2.0));
    setTwTop(Frame1, whole(H / 2 - TwHeight(Frame1) / 2.0));
    // The button columns beside the playlist hang from its top and must end above the
    // note's lane under it, where the note travels along the bar. Where the playlist is
    // shorter than a column, it grows up into the archive (which keeps room for its two
    // arrows) and down into the margin under the bar; where even that is too little, the
    // lock gets a column of its own beside the playlist. A hidden lock (no password) needs
    // no room at all.
    const int linkeSpalte = TwHeight(Uebernehmen) + 180 + TwHeight(cmdSmilie) + 300 + TwHeight(cmdFragezeichen);
    const int rechteSpalte = TwHeight(cmdHoch[0]) + TwHeight(cmdHoch[1]) + TwHeight(cmdLoeschen);
    const bool schlossZeigt = !Schloss->isHidden() || !Schloss2->isHidden();
    const int schloss = schlossZeigt ? TwHeight(Schloss) : 0;
    const int g1Min = TwTop(Nav[0]) + TwHeight(Nav[0]) + TwHeight(Nav[1]) - G1.Top();
    constexpr int unterRand = 330;  // of the 390 under the bar
    int g1Hoehe = laenge(H / 2 - 900);
    int g2Hoehe = laenge(H / 2 - 1500);
    const int ausArchiv = std::max(0, g1Hoehe - g1Min);
    const bool schlossDaneben = schlossZeigt && rechteSpalte + schloss - 90 > g2Hoehe + ausArchiv + unterRand;
    const int schlossSpalte = schlossDaneben ? TwWidth(Schloss) + 300 : 0;
    const int fehlt = std::max(0, std::max(linkeSpalte, rechteSpalte + (schlossDaneben ? 0 : schloss)) - 90 - g2Hoehe);
    const int hoch = std::min(fehlt, ausArchiv);
    g1Hoehe -= hoch;
    // A window too small for a playlist at all keeps none.
    g2Hoehe += hoch + (g2Hoehe > 0 ? std::min(fehlt - hoch, unterRand) : 0);

    G1.setWidth(laenge(W - 600 - 1200));
    G1.setHeight(g1Hoehe);
    G2.setWidth(laenge(W - 4920 - schlossSpalte));
    G2.setTop(G1.Top() + G1.Height() + 300);
    G2.setHeight(g2Hoehe);
    Spaltenbreite();
    setTwLeft(Nav[0], G1.Left() + G1.Width() + 300);
    setTwLeft(Nav[1], G1.Left() + G1.Width() + 300);
    setTwTop(Nav[1], G1.Top() + G1.Height() - TwHeight(Nav[1]));
    const int spalte = G2.Left() + G2.Width() + 300 + schlossSpalte;
    const int navUnten = spalte + TwWidth(cmdHoch[0]) + 300;
    setTwLeft(Nav[2], navUnten);
    setTwLeft(Nav[3], navUnten);
    setTwTop(Nav[2], G2.Top() + 300);
    setTwTop(Nav[3], G2.Top() + G2.Height() - TwHeight(Nav[3]));
    setTwTop(Uebernehmen, G2.Top());
    setTwTop(cmdSmilie, TwTop(Uebernehmen) + TwHeight(Uebernehmen) + 180);
    setTwTop(cmdFragezeichen, TwTop(cmdSmilie) + TwHeight(cmdSmilie) + 300);
    setTwTop(cmdHoch[0], G2.Top());
    setTwTop(cmdHoch[1], TwTop(cmdHoch[0]) + TwHeight(cmdHoch[0]));
    setTwTop(cmdLoeschen, TwTop(cmdHoch[1]) + TwHeight(cmdHoch[1]));
    setTwTop(Schloss, schlossDaneben ? G2.Top() : TwTop(cmdLoeschen) + TwHeight(cmdLoeschen));
    // The closed lock stands where the open one does, or it would cover the playlist.
    setTwTop(Schloss2, TwTop(Schloss));
    setTwLeft(cmdHoch[0], spalte);
    for (QWidget* w : {static_cast<QWidget*>(cmdHoch[1]), static_cast<QWidget*>(cmdLoeschen)})
        setTwLeft(w, TwLeft(cmdHoch[0]));
    for (QWidget* w : {static_cast<QWidget*>(Schloss), static_cast<QWidget*>(Schloss2)})
        setTwLeft(w, schlossDaneben ? G2.Left() + G2.Width() + 300 : spalte);
    setTwTop(Positionsgrafik, G2.Top() + G2.Height() + 90);
    setTwTop(Balken, TwTop(Positionsgrafik) + TwHeight(Positionsgrafik) - 30);
    BalkentextPlatzieren();
    setTwTop(Label2, TwTop(Balken));
    setTwLeft(Label2, whole(W - 600 - TwWidth(Label2)));

    int count = 0;
    if (G1.Rows() > 2) {
        G1.setTopRow(1);
        for (int i = 1; i <= 20 && i < G1.Rows(); ++i)
            if (G1.RowIsVisible(i)) ++count;
    }
    ScrollAbstand = static_cast<int16_t>(count > 1 ? count / 2 : 5);
}

void frmMain::Spaltenbreite() {
    // The fourth column holds a duration or start time ("HH:mm" of minutes) under the bold
    // "Dauer" or "Start": at least its designed width, wider where large fonts need it.
    int c3 = MSFlexGrid1->FontSize() < 12 ? 800 : 1200;
    for (kioskgrid::FlexGrid* g : {MSFlexGrid1, MSFlexGrid2})
        for (const QString& kopf : {QStringLiteral("Dauer"), QStringLiteral("Start")})
            c3 = std::max({c3, g->CellWidthFor(kopf, true), g->CellWidthFor(QStringLiteral("00:00"), false)});
    // On a small screen with large fonts a header would be cut ("Interpre", "Gen"): its
    // column takes the header's width from the others.
    for (kioskgrid::FlexGrid* g : {MSFlexGrid1, MSFlexGrid2}) {
        const std::array<int, 3> kopf{g->CellWidthFor(QStringLiteral("Titel"), true),
                                      g->CellWidthFor(QStringLiteral("Interpret"), true),
                                      g->CellWidthFor(QStringLiteral("Genre"), true)};
        const std::array<int, 4> w = kiosklogic::Spaltenbreiten(g->Width(), c3, kopf);
        for (int c = 0; c < 4; ++c) g->setColWidth(c, w[c]);
    }
}
