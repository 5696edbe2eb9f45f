// The controls of the main screen as the form is designed: places and sizes in twips,
// captions, and the pictures of the touch buttons.
#include "controls/Bilder/Bilder.h"
#include "controls/Funbutton/Funbutton.h"
#include "controls/ctlVirtuelleTastatur/ctlVirtuelleTastatur.h"
#include "kiosk/frmMain.h"
#include "kiosk/grid/FlexGrid.h"
#include "platform/colors.h"
#include "platform/fonts.h"
#include "platform/textbox.h"
#include "platform/twips.h"
#include "platform/twipsgeom.h"

#include <QFrame>
#include <QLabel>
#include <QLineEdit>

using platform::setTwGeometry;

namespace {
constexpr int DesignWidth = 15360;
constexpr int DesignHeight = 11520;

QLabel* label(QWidget* parent, const char* caption, int left, int top, int width, int height, double points,
              bool bold = false) {
    auto* l = new QLabel(QString::fromUtf8(caption), parent);
    l->setFont(platform::vbFont(QStringLiteral("Arial"), points, bold));
    setTwGeometry(l, left, top, width, height);
    return l;
}

void setForeColor(QWidget* w, int32_t colour) {
    QPalette p = w->palette();
    p.setColor(QPalette::WindowText, platform::vbColor(colour));
    w->setPalette(p);
}
}  // namespace

void frmMain::buildControls() {
    setAutoFillBackground(true);
    resize(platform::twipsToPx(DesignWidth), platform::twipsToPx(DesignHeight));

    auto grid = [this](int left, int top) {
        auto* g = new kioskgrid::FlexGrid(this);
        g->setCols(6);
        g->setRows(2);
        g->setFixedRows(1);
        setTwGeometry(g, left, top, 4800, 2400);
        return g;
    };
    MSFlexGrid1 = grid(240, 540);
    MSFlexGrid2 = grid(2040, 6300);
    // The playlist starts with its header row alone; later hand-overs leave the queue as it is.
    MSFlexGrid2->setRows(1);

    auto button = [this](const char* name) {
        auto* b = new Funbutton(this);
        b->setObjectName(QString::fromLatin1(name));
        return b;
    };
    Uebernehmen = button("Uebernehmen");
    cmdHoch[0] = button("cmdHoch(0)");
    cmdHoch[1] = button("cmdHoch(1)");
    cmdLoeschen = button("cmdLoeschen");
    for (int i = 0; i < 4; ++i) FunbuttonArchivNav[i] = button(("FunbuttonArchivNav(" + std::to_string(i) + ")").c_str());
    Schloss = button("Schloss");
    Schloss2 = button("Schloss2");
    cmdSmilie = button("cmdSmilie");
    Positionsgrafik = button("Positionsgrafik");
    cmdFragezeichen = button("cmdFragezeichen");
    // The lock starts open: Schloss shows, Schloss2 (closed) waits at its place.
    Schloss->setProperty("Tag", QStringLiteral("Auf"));
    Schloss2->setProperty("Tag", QStringLiteral("Auf"));
    Schloss2->hide();

    Balken = new QWidget(this);
    Balken->setAutoFillBackground(true);
    // On the form, not inside the bar: a short song's bar would cut its caption.
    Balkentext = new QLabel(this);
    Balkentext->setFont(platform::vbFont(QStringLiteral("Arial"), 8, true));

    Label1 = label(this, "Melotra", 240, 90, 1335, 390, 14, true);
    Label2 = label(this, "", 0, 0, 3585, 435, 8);
    Label3 = label(this, "Musikarchiv", 1680, 210, 1935, 255, 10, true);
    Label4 = label(this, "Informationen über", 3720, 210, 1755, 255, 10);
    Label5 = label(this, "weitere Produkte", 5460, 210, 2235, 255, 10);
    {
        QFont f = Label5->font();
        f.setUnderline(true);
        Label5->setFont(f);
    }
    setForeColor(Label5, platform::RGB(255, 128, 0));
    Label4->setCursor(Qt::PointingHandCursor);
    Label5->setCursor(Qt::PointingHandCursor);

    {
        // Search and password box alike show what the on-screen keyboard typed: no edit menu
        // (a right click or a long press), no paste of any kind, no drop. A pasted password
        // would open the lock without its keyboard.
        auto* box = new platform::FilterTextBox(this);
        box->pasteFilter = [](const QString&) { return QString(); };
        box->setContextMenuPolicy(Qt::PreventContextMenu);
        box->setAcceptDrops(false);
        txtSortierung = box;
    }
    txtSortierung->setFont(platform::vbFont(QStringLiteral("Arial"), 12));
    txtEingabe = new QLineEdit(this);
    txtEingabe->setFont(platform::vbFont(QStringLiteral("Arial"), 12));
    ctlVirtuelleTastatur1 = new ctlVirtuelleTastatur(this);

    Frame1 = new QFrame(this);
    Frame1->setFrameShape(QFrame::Box);
    Frame1->setLineWidth(2);
    Frame1->setAutoFillBackground(true);
    lblStartmeldung = label(Frame1, "", 120, 240, 6315, 735, 18, true);
    lblStartmeldung->setAlignment(Qt::AlignCenter);
    lblStartmeldung2 = label(Frame1, "", 240, 1080, 6075, 1095, 10);
    lblStartmeldung2->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    lblStartmeldung2->setWordWrap(true);
}

void frmMain::placeDesign() {
    setTwGeometry(Uebernehmen, 420, 6300, 1515, 1245);
    setTwGeometry(cmdSmilie, 480, 7725, 1215, 915);
    setTwGeometry(cmdFragezeichen, 420, 8940, 1215, 1095);
    setTwGeometry(cmdHoch[0], 12780, 6300, 1035, 1185);
    setTwGeometry(cmdHoch[1], 12780, 7485, 1035, 1035);
    setTwGeometry(cmdLoeschen, 12780, 8520, 1095, 1275);
    setTwGeometry(Schloss, 12780, 9795, 1035, 1425);
    setTwGeometry(Schloss2, 12780, 9795, 1035, 1425);
    const std::array<int, 4> navHeights{1275, 1215, 1275, 1215};
    const std::array<int, 4> navTops{1020, 4185, 6600, 9345};
    for (int i = 0; i < 4; ++i) setTwGeometry(FunbuttonArchivNav[i], 14100, navTops[i], 1095, navHeights[i]);
    // The note stands centred over the bar's left end until a song plays.
    setTwGeometry(Positionsgrafik, 300 - 675 / 2 - 1, 10650, 675, 750);
    setTwGeometry(Balken, 300, 11370, 0, 360);
    setTwGeometry(Balkentext, 360, 11370, 0, 360);
    setTwGeometry(txtSortierung, 5543, 60, 4275, 435);
    setTwGeometry(txtEingabe, 5543, 600, 4275, 435);
    setTwGeometry(Frame1, 4403, 4583, 6555, 2355);
    ctlVirtuelleTastatur1->setLeft(240);
    ctlVirtuelleTastatur1->setTop(6300);
}

void frmMain::paintButtonPictures() {
    using Bilder::Motiv;
    const std::array<Motiv, 13> motive{Motiv::Uebernehmen, Motiv::PfeilHoch,    Motiv::PfeilRunter, Motiv::Muelleimer,
                                       Motiv::PfeilHoch,   Motiv::PfeilRunter,  Motiv::PfeilHoch,   Motiv::PfeilRunter,
                                       Motiv::SchlossAuf,  Motiv::SchlossZu,    Motiv::Smiley,      Motiv::Note,
                                       Motiv::Fragezeichen};
    const std::array<Funbutton*, 13> buttons = touchButtons();
    // Twice the button's size: the faces render the picture at half its size.
    for (size_t i = 0; i < buttons.size(); ++i)
        buttons[i]->ReadPictureMy(Bilder::zeichne(motive[i], 2 * buttons[i]->width(), 2 * buttons[i]->height()));
}
