// The pictures of the touch buttons: every symbol fills the button it is drawn for, at
// the sizes the main screen and the game give their buttons.
#include "controls/Bilder/Bilder.h"
#include "controls/Funbutton/Funbutton.h"
#include "platform/colors.h"
#include "platform/twipsgeom.h"

#include <QWidget>
#include <gtest/gtest.h>

namespace {

using Bilder::Motiv;

struct Knopf {
    const char* name;
    Motiv motiv;
    int breite, hoehe;  // twips
};

// The smallest and the widest of each symbol's buttons.
const Knopf Knoepfe[] = {
    {"Uebernehmen", Motiv::Uebernehmen, 1515, 1245}, {"cmdHoch(0)", Motiv::PfeilHoch, 1035, 1185},
    {"cmdHoch(1)", Motiv::PfeilRunter, 1035, 1035},  {"ArchivNav(0)", Motiv::PfeilHoch, 1095, 1275},
    {"ArchivNav(1)", Motiv::PfeilRunter, 1095, 1215}, {"cmdLoeschen", Motiv::Muelleimer, 1095, 1275},
    {"Schloss", Motiv::SchlossAuf, 1035, 1425},      {"Schloss2", Motiv::SchlossZu, 1035, 1425},
    {"cmdSmilie", Motiv::Smiley, 1215, 915},         {"Positionsgrafik", Motiv::Note, 675, 750},
    {"cmdFragezeichen", Motiv::Fragezeichen, 1215, 1095}, {"cmdNeu", Motiv::NeuesSpiel, 1815, 975},
    {"cmdEnde", Motiv::Schliessen, 1815, 975},
};

TEST(Bilder, EverySymbolFillsItsButton) {
    QWidget form;
    form.resize(400, 300);
    for (const Knopf& k : Knoepfe) {
        auto* b = new Funbutton(&form);
        platform::setTwGeometry(b, 0, 0, k.breite, k.hoehe);
        b->ColorMy = platform::RGB(60, 140, 230);
        // Twice the button's size, as the screens draw them: the faces render the picture at half its size.
        b->ReadPictureMy(Bilder::zeichne(k.motiv, 2 * b->width(), 2 * b->height()));
        b->Ini(80);
        const QImage& f = b->Flaeche(0);
        ASSERT_EQ(f.size(), b->size()) << k.name;
        const QRgb grund = f.pixel(0, 0);
        QRect gezeichnet;
        for (int y = 0; y < f.height(); ++y)
            for (int x = 0; x < f.width(); ++x)
                if (f.pixel(x, y) != grund) gezeichnet |= QRect(x, y, 1, 1);
        EXPECT_GE(gezeichnet.width(), f.width() * 6 / 10) << k.name;
        EXPECT_GE(gezeichnet.height(), f.height() * 6 / 10) << k.name;
        EXPECT_LE(gezeichnet.left(), f.width() / 4) << k.name;
        EXPECT_GE(gezeichnet.right(), f.width() * 3 / 4) << k.name;
        delete b;
    }
}

}  // namespace
