#include "info/frmWerbung.h"

#include "base/globals.h"
#include "base/modStandard.h"
#include "controls/Funbutton/Funbutton.h"
#include "platform/clock.h"
#include "platform/colors.h"
#include "platform/dialogs.h"
#include "platform/fonts.h"
#include "platform/guard.h"
#include "platform/screen.h"
#include "platform/toplevel.h"

#include <QCloseEvent>
#include <QEventLoop>
#include <QFontMetricsF>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPointer>
#include <QRadialGradient>
#include <QTimer>
#include <cmath>
#include <memory>

namespace {

constexpr int32_t Hintergrund = 0xFF8080;  // &HFF8080
constexpr int32_t Grau = 0xC0C0C0;
constexpr int Seitenbreite = 697;
constexpr int Seitenhoehe = 522;
constexpr int Startlinks = 1000;  // beyond the page's right edge

frmWerbung::ShowHook& showHook() {
    static frmWerbung::ShowHook hook;
    return hook;
}

int ganz(double v) { return static_cast<int>(std::nearbyint(v)); }

// ---- the pictures ------------------------------------------------------------------

// A picture's ground: a gradient from a to b.
QImage grund(QSize size, QPointF a, QPointF b, QColor von, QColor bis, QColor mitte = QColor()) {
    QImage img(size, QImage::Format_RGB32);
    QLinearGradient g(a, b);
    g.setColorAt(0, von);
    if (mitte.isValid()) g.setColorAt(0.5, mitte);
    g.setColorAt(1, bis);
    QPainter(&img).fillRect(img.rect(), g);
    return img;
}

// The kiosk in a venue: a cabinet with a touch screen under stage lights.
QImage bildKiosk() {
    QImage img = grund({209, 158}, {0, 0}, {0, 158}, QColor(40, 20, 70), QColor(120, 50, 90));
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    for (int i = 0; i < 3; ++i) {  // light cones
        QRadialGradient licht(40 + i * 65, 0, 90);
        licht.setColorAt(0, QColor(255, 230, 150, 120));
        licht.setColorAt(1, QColor(255, 230, 150, 0));
        p.setBrush(licht);
        p.setPen(Qt::NoPen);
        p.drawEllipse(QPointF(40 + i * 65, 0), 90, 90);
    }
    p.fillRect(QRect(0, 130, 209, 28), QColor(60, 35, 25));  // floor
    QLinearGradient gehaeuse(70, 0, 140, 0);
    gehaeuse.setColorAt(0, QColor(150, 150, 160));
    gehaeuse.setColorAt(0.5, QColor(230, 230, 240));
    gehaeuse.setColorAt(1, QColor(120, 120, 130));
    p.setBrush(gehaeuse);
    p.setPen(QPen(QColor(30, 30, 30), 1));
    p.drawRoundedRect(QRectF(70, 28, 70, 112), 8, 8);
    QLinearGradient schirm(0, 36, 0, 90);
    schirm.setColorAt(0, QColor(60, 140, 255));
    schirm.setColorAt(1, QColor(10, 40, 120));
    p.setBrush(schirm);
    p.drawRect(QRectF(78, 36, 54, 54));
    p.setPen(QPen(QColor(255, 255, 255, 200), 2));
    for (int y = 44; y < 86; y += 8) p.drawLine(84, y, 126, y);  // song rows
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(40, 40, 40));
    for (int i = 0; i < 3; ++i) p.drawEllipse(QPointF(88 + i * 17, 112), 6, 6);  // speakers
    return img;
}

// Headphones and notes: the listening station.
QImage bildKopfhoerer() {
    QImage img = grund({209, 158}, {0, 0}, {209, 158}, QColor(255, 200, 90), QColor(230, 90, 40));
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(30, 30, 40), 10, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(50, 22, 110, 110), 20 * 16, 140 * 16);  // head band
    p.setPen(QPen(QColor(20, 20, 25), 2));
    QLinearGradient muschel(0, 70, 0, 130);
    muschel.setColorAt(0, QColor(90, 90, 100));
    muschel.setColorAt(1, QColor(20, 20, 25));
    p.setBrush(muschel);
    p.drawRoundedRect(QRectF(40, 70, 32, 56), 12, 12);
    p.drawRoundedRect(QRectF(138, 70, 32, 56), 12, 12);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 255, 255, 210));
    const QPointF noten[] = {{100, 60}, {118, 44}, {96, 108}};
    for (const QPointF& n : noten) {
        p.drawEllipse(n, 6, 4.5);
        p.drawRect(QRectF(n.x() + 4, n.y() - 22, 2.5, 22));
    }
    return img;
}

// The strip at the place of the first contact line: the line as a lettering.
QImage bildStreifen(const QString& text) {
    QImage img = grund({233, 30}, {0, 0}, {233, 0}, QColor(20, 30, 140), QColor(20, 30, 140), QColor(90, 40, 200));
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QColor(255, 220, 60));
    p.setFont(platform::vbFont(QStringLiteral("Arial"), 15, true));
    p.drawText(img.rect(), Qt::AlignCenter, text);
    return img;
}

// The OK button's shape: black on white, as the button's face renderer reads it. The
// letters are printed onto the faces by the button itself.
QImage bildOK(int w, int h) {
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(Qt::white);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::black);
    p.drawRoundedRect(QRectF(2, 2, w - 20, h - 16), 20, 20);
    return img;
}

}  // namespace

// ---- content -----------------------------------------------------------------------

QStringList frmWerbung::Block1() {
    return {QStringLiteral("Melotra Kiosk"),
            QStringLiteral("Die Musikbox für Ihr Lokal:"),
            QStringLiteral("- Tausende Lieder auf Knopfdruck"),
            QStringLiteral("- Große Tasten, leicht zu bedienen"),
            QStringLiteral("- Suche über die Bildschirmtastatur"),
            QStringLiteral("- Weiche Überblendung zwischen den Liedern"),
            QStringLiteral("- Playliste bleibt beim Neustart erhalten"),
            QStringLiteral("- Sperre gegen unbefugte Bedienung"),
            QStringLiteral("Fragen Sie nach unserem Mietangebot!")};
}

QStringList frmWerbung::Block2() {
    return {QStringLiteral("Melotra Hörstation"),
            QStringLiteral("Reinhören ohne Warten:"),
            QStringLiteral("- Kopfhörer für bis zu vier Gäste"),
            QStringLiteral("- Jedes Lied vorab anhören"),
            QStringLiteral("- Passt in jede Ecke"),
            QStringLiteral("- Robustes Gehäuse"),
            QStringLiteral("- Lautstärke für jeden Platz"),
            QStringLiteral("- Läuft mit derselben Musiksammlung"),
            QStringLiteral("- Aufbau und Wartung durch uns"),
            QStringLiteral("Jetzt auch als Tischgerät!")};
}

QString frmWerbung::Kontakt1() { return QStringLiteral("Melotra Musik"); }
QString frmWerbung::Kontakt2() { return QStringLiteral("Tel. 01234 / 56 78 90"); }

// ---- the page ----------------------------------------------------------------------

void frmWerbung::setShowHook(ShowHook hook) { showHook() = std::move(hook); }

void frmWerbung::Anzeigen(QWidget* parent) {
    const platform::ModalScope modal;
    std::unique_ptr<frmWerbung> f(new frmWerbung(parent));
    f->Form_Load();
    const QSize scr = platform::screenSizePx();
    f->move((scr.width() - f->width()) / 2, (scr.height() - f->height()) / 2);
    f->show();
    if (showHook()) {
        showHook()(*f);
    } else {
        QEventLoop loop;
        f->loop_ = &loop;
        QPointer<frmWerbung> self(f.get());
        QTimer::singleShot(0, f.get(), [self] {
            if (self) platform::guardEvent("frmWerbung", "Form_Activate", [&] { self->Form_Activate(); });
        });
        // Returns only once the opening sequence has unwound too: it runs inside this loop.
        if (!f->mGeschlossen) loop.exec();
        f->loop_ = nullptr;
    }
    f->timer1_.setEnabled(false);
}

frmWerbung::frmWerbung(QWidget* parent)
    : QWidget(parent, Qt::Dialog | Qt::FramelessWindowHint), timer1_(this, 50, true) {
    setWindowTitle(QStringLiteral("Weitere Produkte"));
    setWindowModality(Qt::ApplicationModal);
    platform::bringToFrontWhenShown(this);
    setFixedSize(Seitenbreite, Seitenhoehe);
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, platform::vbColor(Hintergrund));
    pal.setColor(QPalette::WindowText, Qt::black);
    setPalette(pal);
    printFont_ = platform::vbFont(QStringLiteral("MS Sans Serif"), 9.75);
    setFont(printFont_);

    print_ = QImage(Seitenbreite, Seitenhoehe, QImage::Format_ARGB32_Premultiplied);
    print_.fill(Qt::transparent);

    const QRect orte[3] = {{16, 16, 205, 155}, {16, 184, 205, 155}, {236, 368, 233, 30}};
    for (int i = 0; i < 3; ++i) {
        auto* box = new QLabel(this);
        box->setGeometry(orte[i]);
        destBild_[i] = QImage(orte[i].size(), QImage::Format_RGB32);
        destBild_[i].fill(platform::vbColor(Grau));
        box->setPixmap(QPixmap::fromImage(destBild_[i]));
        picDest_[i] = box;
    }
    picDest_[2]->hide();
    picInfo_ = {bildKiosk(), bildKopfhoerer(), bildStreifen(Kontakt1())};

    lblText_ = new QLabel(this);
    lblText_->setAlignment(Qt::AlignLeft | Qt::AlignTop);  // lands exactly where it is printed
    lblText_->hide();

    funbuttonOK_ = new Funbutton(this);
    funbuttonOK_->setGeometry(324, 456, 69, 45);
    // The face renderer draws the shape at half its size.
    funbuttonOK_->ReadPictureMy(bildOK(2 * 69, 2 * 45));
    funbuttonOK_->setBeschriftung(QStringLiteral("OK"), platform::vbFont(QStringLiteral("Arial"), 12, true));
    funbuttonOK_->hide();
    connect(funbuttonOK_, &Funbutton::MouseUp, this, [this](int16_t b, int16_t s, float x, float y) {
        platform::guardEvent("frmWerbung", "FunbuttonOK_MouseUp", [&] { FunbuttonOK_MouseUp(b, s, x, y); });
    });
    timer1_.onTimer = [this] { platform::guardEvent("frmWerbung", "Timer1_Timer", [&] { Timer1_Timer(); }); };
}

frmWerbung::~frmWerbung() = default;

void frmWerbung::Form_Load() {
    funbuttonOK_->ColorMy = platform::RGB(0, 0, 255);
    funbuttonOK_->setSchattenfarbe(Hintergrund);
    funbuttonOK_->Ini(100);
    mBlendWert = 250;
    mAbbruch = false;
    mBlendAbnehmend = true;
    mBildIndex = 0;
    mBlendAktiv = false;
}

void frmWerbung::Form_Activate() {
    // The sequence runs once: a window that covered the page and went away activates it again.
    if (mAktiviert) return;
    mAktiviert = true;
    BlendeStarten(0);
    timer1_.setEnabled(true);
    TextAnimieren(Block1(), 250, static_cast<int16_t>(picDest_[0]->y()));
    if (Beendet()) return;
    BlendeStarten(1);
    TextAnimieren(Block2(), 250, static_cast<int16_t>(picDest_[1]->y()));
    if (Beendet()) return;
    ZeileAnimieren(Kontakt1(), 20, static_cast<int16_t>(positionslabel1_.x()),
                   static_cast<int16_t>(positionslabel1_.y()), false);
    if (Beendet()) return;
    picDest_[2]->show();
    BlendeStarten(2);
    ZeileAnimieren(Kontakt2(), 14, static_cast<int16_t>(positionslabel2_.x()),
                   static_cast<int16_t>(positionslabel2_.y()), true);
    if (Beendet()) return;
    funbuttonOK_->show();
}

void frmWerbung::BlendeStarten(int16_t Index) {
    mBildIndex = Index;
    mBlendAktiv = true;
    mBlendAbnehmend = true;
    mBlendWert = 250;
}

void frmWerbung::SchriftSetzen(const QFont& f) {
    printFont_ = f;
    lblText_->setFont(f);
}

bool frmWerbung::Beendet() const { return mAbbruch || mGeschlossen || ProgrammEnde; }

bool frmWerbung::Fliegen(const QString& Stueck, int cx, int ly, int Schritt, int Warten) {
    lblText_->setText(Stueck);
    lblText_->setGeometry(Startlinks, ly, width(), ganz(QFontMetricsF(printFont_, &print_).height()) + 2);
    lblText_->raise();
    lblText_->show();
    int x = Startlinks;
    while (x > cx) {
        x = std::max(x - Schritt, cx);
        lblText_->move(x, ly);
        MySleep(Warten);
        if (Beendet()) {
            // The program's end leaves no page behind that nobody can close.
            if (!mAbbruch) Schliessen();
            return false;
        }
    }
    lblText_->hide();
    return true;
}

void frmWerbung::Drucken(const QString& Text) {
    QPainter p(&print_);
    p.setRenderHint(QPainter::TextAntialiasing);
    p.setFont(printFont_);
    p.setPen(palette().color(QPalette::WindowText));
    const QFontMetricsF fm(printFont_, &print_);
    p.drawText(QPointF(printPos_.x(), printPos_.y() + fm.ascent()), Text);
    drucke_.push_back({Text, printPos_});
    printPos_.rx() += ganz(fm.horizontalAdvance(Text));
    update();
}

void frmWerbung::TextAnimieren(const QStringList& Zeilen, int16_t X, int16_t Y) {
    int cx = X, ly = Y;
    printPos_ = {cx, ly};
    for (int i = 0; i < Zeilen.size(); ++i) {
        QFont f = printFont_;
        f.setBold(i == 0);
        SchriftSetzen(f);
        if (!Fliegen(Zeilen[i], cx, ly, 50, 20)) return;
        Drucken(Zeilen[i] + QLatin1Char(' '));
        ly += ganz(QFontMetricsF(printFont_, &print_).height());  // the height of a blank
        cx = X;
        printPos_ = {cx, ly};
    }
}

void frmWerbung::ZeileAnimieren(const QString& Text, float Groesse, int16_t X, int16_t Y, bool Gesperrt) {
    int cx = X;
    const int ly = Y;
    printPos_ = {cx, ly};
    SchriftSetzen(platform::vbFont(QStringLiteral("Arial"), Groesse, true));
    for (const QChar c : Text) {
        if (!Fliegen(QString(c), cx, ly, 25, 10)) return;
        Drucken(Gesperrt ? QString(c) + QLatin1Char(' ') : QString(c));
        cx = printPos_.x();
    }
}

void frmWerbung::Timer1_Timer() {
    if (mAbbruch) {
        timer1_.setEnabled(false);
        return;
    }
    if (!mBlendAktiv) return;
    if (mBlendAbnehmend) {
        mBlendWert = static_cast<int16_t>(mBlendWert - 10);
        if (mBlendWert < 11) {
            mBlendAktiv = false;
            mBlendAbnehmend = false;
        }
    } else {
        mBlendWert = static_cast<int16_t>(mBlendWert + 10);
        if (mBlendWert >= 250) mBlendAbnehmend = true;
    }
    const size_t i = static_cast<size_t>(mBildIndex);
    if (i >= destBild_.size()) return;
    QImage& ziel = destBild_[i];
    ziel.fill(platform::vbColor(Grau));
    {
        QPainter p(&ziel);
        p.setOpacity(((255 - mBlendWert) & 0xFF) / 255.0);
        p.drawImage(QPoint(0, 0), picInfo_[i]);
    }
    picDest_[i]->setPixmap(QPixmap::fromImage(ziel));
}

void frmWerbung::FunbuttonOK_MouseUp(int16_t, int16_t, float, float) {
    timer1_.setEnabled(false);
    mAbbruch = true;
    platform::pumpEvents();
    Schliessen();
}

void frmWerbung::Schliessen() {
    if (mGeschlossen) return;
    mGeschlossen = true;
    timer1_.setEnabled(false);
    hide();
    if (loop_) loop_->quit();
}

void frmWerbung::closeEvent(QCloseEvent* e) {
    // Closed from outside (window manager, program end): the same end as OK.
    mAbbruch = true;
    Schliessen();
    e->accept();
}

void frmWerbung::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.drawImage(QPoint(0, 0), print_);
}
