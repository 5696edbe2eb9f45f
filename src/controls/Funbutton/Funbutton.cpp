#include "platform/input.h"
#include "controls/Funbutton/Funbutton.h"

#include "base/modStandard.h"
#include "controls/Funbutton/FunbuttonFlaechen.h"
#include "controls/Funbutton/modBilddrehen.h"
#include "platform/colors.h"
#include "platform/guard.h"
#include "platform/twips.h"

#include <QContextMenuEvent>
#include <QFontMetrics>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {

using platform::vbButton;
using platform::vbShift;


// The position within the face, in twips.
float twipsX(const QMouseEvent* e) { return static_cast<float>(e->position().x() * platform::TwipsPerPixel); }
float twipsY(const QMouseEvent* e) { return static_cast<float>(e->position().y() * platform::TwipsPerPixel); }

// The colour with each part taken as its magnitude (system colours split negative).
int32_t Betrag(int32_t colour) {
    const TypeFarbe f = ColorToRGB(colour);
    return platform::RGB(std::abs(f.R), std::abs(f.G), std::abs(f.B));
}

float gerundet(float v) { return static_cast<float>(std::nearbyint(v)); }

}  // namespace

Funbutton::Funbutton(QWidget* parent)
    : QWidget(parent), timerBlinken_(this, 500), timerRepeat_(this, 150), timerVerzoegerung_(this, 500) {
    timerBlinken_.onTimer = [this] { TimerBlinken_Timer(); };
    timerRepeat_.onTimer = [this] { TimerRepeat_Timer(); };
    timerVerzoegerung_.onTimer = [this] { TimerVerzoegerung_Timer(); };
    setFocusPolicy(Qt::StrongFocus);
    // The operator menu of the form must not open over a button.
    setContextMenuPolicy(Qt::PreventContextMenu);
    // A touch arrives as a left press through Qt's touch-to-mouse synthesis.
}

Funbutton::~Funbutton() = default;

// ---- properties -------------------------------------------------------------

void Funbutton::setBlinken(bool Wert) {
    if (Wert == mBlinken) return;
    mBlinken = Wert;
    timerBlinken_.setEnabled(Wert);
    zeige(Picture1, !Wert);
    mBlinkPhase = 0;
}

void Funbutton::setEnabled(bool Wert) {
    mEnabled = Wert;
    if (timerRepeat_.Enabled() && mGedrueckt != 0 && !Wert) {
        Durchkreuzen();
    }
}

void Funbutton::setEnabledRechts(bool Wert) {
    mEnabledRechts = Wert;
    if (!Wert && mGedrueckt != 0 && mMaustaste == 2) {
        Durchkreuzen();
    }
}

void Funbutton::setEnabledLinks(bool Wert) {
    mEnabledLinks = Wert;
    if (!Wert && mGedrueckt != 0 && mMaustaste == 1) {
        Durchkreuzen();
    }
}

void Funbutton::setColor(int32_t Wert) {
    shapeFill_ = Wert;
    shapeFilled_ = true;
    update();
}

void Funbutton::setPictureMy(const QImage& Pic) {
    mPictureMy = Pic;
    Ini(100);
}

void Funbutton::setX(int32_t Wert) {
    mX = Wert;
    move(platform::twipsToPx(Wert - mBreite / 2.0), pos().y());
}

void Funbutton::setY(int32_t Wert) {
    mY = Wert;
    move(pos().x(), platform::twipsToPx(Wert - mHoehe / 2.0));
}

// ---- rendering ----------------------------------------------------------------

int32_t Funbutton::ContainerFarbe() const {
    const QWidget* c = parentWidget();
    const QPalette& pal = c ? c->palette() : palette();
    return platform::fromQColor(pal.color(c ? c->backgroundRole() : QPalette::Window));
}

void Funbutton::Ini(int16_t Prozent) {
    const QSize size = this->size();
    // Resized faces keep what they held, on the background.
    const int32_t bg = Betrag(ContainerFarbe());
    const int r = bg & 0xFF, g = (bg >> 8) & 0xFF, b = (bg >> 16) & 0xFF;
    for (QImage& face : faces_) {
        if (face.size() == size) continue;
        QImage neu(size.isEmpty() ? QSize(1, 1) : size, QImage::Format_RGB32);
        neu.fill(platform::vbColor(bg));
        if (!face.isNull()) QPainter(&neu).drawImage(0, 0, face);
        face = neu;
    }
    faceSize_ = size;

    auto anteil = [](int part) { return static_cast<int>(std::nearbyint(part / 100.0 * 40.0)); };
    mSchattenfarbe = platform::RGB(anteil(r), anteil(g), anteil(b));

    ZeichneFlaechen(50, 8, 6, ColorMy);

    backColor_ = bg;
    GroesseVonFlaeche();
    mX = static_cast<int32_t>(std::nearbyint(pos().x() * platform::TwipsPerPixel + mBreite / 2.0));
    mY = static_cast<int32_t>(std::nearbyint(pos().y() * platform::TwipsPerPixel + mHoehe / 2.0));
    mIniState = Prozent;
    update();
}

void Funbutton::ZeichneFlaechen(int32_t p, int16_t OffsetX, int16_t OffsetY, int32_t Farbe) {
    if (mPictureMy.isNull()) return;
    PixelArray S, N, D, R;
    GetArrFromHdl(S, mPictureMy);
    GetArrFromHdl(N, mPictureMy);
    GetArrFromHdl(D, mPictureMy);
    GetArrFromHdl(R, mPictureMy);
    ::ZeichneFlaechen(p, OffsetX, OffsetY, Farbe, ContainerFarbe(), S, N, D, R);
    FlaechenSetzen(N, D, R);
    Beschriften(p, OffsetX, OffsetY);
}

void Funbutton::setBeschriftung(const QString& Text, const QFont& Schrift) {
    beschriftung_ = Text;
    beschriftungSchrift_ = Schrift;
}

void Funbutton::Beschriften(int32_t p, int16_t OffsetX, int16_t OffsetY) {
    if (beschriftung_.isEmpty()) return;
    // The shape's extent on the face: the picture's non-white part at the scale p.
    QRect form;
    for (int y = 0; y < mPictureMy.height(); ++y)
        for (int x = 0; x < mPictureMy.width(); ++x)
            if (!IstTransparent(static_cast<int32_t>(mPictureMy.pixel(x, y) & 0xFFFFFF))) form |= QRect(x, y, 1, 1);
    if (form.isEmpty()) return;
    const QRectF feld(form.left() * p / 100.0, form.top() * p / 100.0, form.width() * p / 100.0, form.height() * p / 100.0);
    for (size_t i = 0; i < faces_.size(); ++i) {
        // The pressed face shows the shape shifted by half the offsets.
        const QRectF hier = i == Picture2 ? feld.translated(OffsetX / 2.0, OffsetY / 2.0) : feld;
        QImage& face = faces_[i];
        const QRect text = QFontMetrics(beschriftungSchrift_)
                               .boundingRect(hier.toRect(), Qt::AlignCenter, beschriftung_)
                               .intersected(face.rect());
        // The shade under the letters decides: the darkest and lightest shade must both read.
        double hell = 0, dunkel = 1;
        for (int y = text.top(); y <= text.bottom(); ++y)
            for (int x = text.left(); x <= text.right(); ++x) {
                const double l = platform::Leuchtdichte(face.pixelColor(x, y));
                hell = std::max(hell, l);
                dunkel = std::min(dunkel, l);
            }
        const QColor schrift =
            platform::Kontrast(dunkel, 0) >= platform::Kontrast(hell, 1) ? QColor(Qt::black) : QColor(Qt::white);
        QPainter g(&face);
        g.setRenderHint(QPainter::TextAntialiasing);
        g.setFont(beschriftungSchrift_);
        g.setPen(schrift);
        g.drawText(hier, Qt::AlignCenter, beschriftung_);
    }
}

void Funbutton::FlaechenSetzen(const PixelArray& N, const PixelArray& D, const PixelArray& R) {
    const PixelArray* arrays[3] = {&N, &D, &R};
    const QColor bg = platform::vbColor(Betrag(ContainerFarbe()));
    for (size_t i = 0; i < 3; ++i) {
        faces_[i].fill(bg);
        QPainter dc(&faces_[i]);
        DrawArr(*arrays[i], dc);
    }
}

void Funbutton::ZeichneFlaechenAlt(int32_t p, int16_t OffsetX, int16_t OffsetY, int32_t Farbe) {
    if (mPictureMy.isNull()) return;
    PixelArray S, N, D, R;
    GetArrFromHdl(S, mPictureMy);
    ::ZeichneFlaechenAlt(p, OffsetX, OffsetY, Farbe, ContainerFarbe(), S, N, D, R);
    FlaechenSetzen(N, D, R);
}

void Funbutton::ZeichneSchattenAlt(int32_t, const PixelArray& S, PixelArray& T) { ::ZeichneSchattenAlt(S, T, ContainerFarbe()); }

void Funbutton::SchattenAufBild(const QImage& Bitmap, QImage& Ziel) { ::SchattenAufBild(Bitmap, Ziel, ContainerFarbe()); }

void Funbutton::MakeMask(const QImage& PicIn, QImage& PicMask) { ::MakeMask(PicIn, PicMask); }

void Funbutton::ZeichneRand(QImage& Pic, int16_t Breite, int32_t Farbe) { ::ZeichneRand(Pic, Breite, Farbe); }

void Funbutton::BildVerschieben(QImage& Host, const QImage& Bild) {
    ::BildVerschieben(Host, picHidden_, picXMask_, Bild, mSprite);
}

void Funbutton::BilderSkalieren(int16_t Prozent) {
    QImage eins, zwei;
    ::BilderSkalieren(mPictureMy, Prozent, eins, zwei);
    for (auto [i, bild] : {std::pair<size_t, const QImage*>{0, &eins}, {1, &zwei}}) {
        if (faces_[i].isNull() || bild->isNull()) continue;
        QPainter(&faces_[i]).drawImage(0, 0, *bild);
    }
    update();
}

void Funbutton::paintEvent(QPaintEvent*) {
    QPainter g(this);
    if (backColor_) g.fillRect(rect(), platform::vbColor(*backColor_));
    if (shapeFilled_) g.fillRect(rect(), platform::vbColor(shapeFill_));
    if (hasFocus()) {
        g.setPen(platform::vbColor(shapeBorder_));
        g.drawRect(rect().adjusted(0, 0, -1, -1));
    }
    for (size_t i = 0; i < 3; ++i)
        if (visible_[i] && !faces_[i].isNull()) g.drawImage(0, 0, faces_[i]);
}

void Funbutton::zeige(Face f, bool on) {
    if (visible_[f] == on) return;
    visible_[f] = on;
    update();
}

void Funbutton::Durchkreuzen() {
    zeige(Picture2, false);
    zeige(Picture3, true);
}

void Funbutton::Ruhebild() {
    zeige(Picture1, true);
    zeige(Picture2, false);
    zeige(Picture3, false);
}

void Funbutton::GroesseVonFlaeche() {
    const QSize s = faceSize_.value_or(size());
    resize(s);
    mBreite = s.width() * platform::TwipsPerPixel;
    mHoehe = s.height() * platform::TwipsPerPixel;
}

// ---- press and release ----------------------------------------------------------

void Funbutton::Druecken(int16_t Button, int16_t Shift, float X, float Y) {
    mGedrueckt = 1;
    mMaustaste = Button;
    const bool angenommen = (Button == 2 || !OnlyRight) && mEnabled;
    if (angenommen) {
        timerVerzoegerung_.setEnabled(true);
        zeige(Picture2, true);
    } else {
        zeige(Picture3, true);
    }
    zeige(Picture1, false);
    X = gerundet(X);
    Y = gerundet(Y);
    GroesseVonFlaeche();

    // A handler may close the form that holds the button.
    QPointer<Funbutton> self(this);
    emit MouseDown(Button, Shift, X, Y);
    if (!self) return;
    emit Click();
    if (!self) return;
    if ((Button != 2 && OnlyRight) || !mEnabled) emit ClickDisabled();
}

void Funbutton::Loslassen(int16_t Button, int16_t Shift, float X, float Y) {
    mGedrueckt = 0;
    // Every release ends the delay and the repeat, also on a disabled button.
    timerVerzoegerung_.setEnabled(false);
    timerRepeat_.setEnabled(false);
    Ruhebild();
    X = gerundet(X);
    Y = gerundet(Y);
    GroesseVonFlaeche();
    if (!mEnabled) return;
    emit MouseUp(Button, Shift, X, Y);
}

void Funbutton::PressAbbrechen() {
    if (mGedrueckt == 0 && !timerVerzoegerung_.Enabled() && !timerRepeat_.Enabled()) return;
    mGedrueckt = 0;
    timerVerzoegerung_.setEnabled(false);
    timerRepeat_.setEnabled(false);
    Ruhebild();
}

bool Funbutton::event(QEvent* e) {
    // A modal window took the input (the release goes there), or the grab was taken away.
    if (e->type() == QEvent::WindowBlocked || e->type() == QEvent::UngrabMouse) PressAbbrechen();
    return QWidget::event(e);
}

void Funbutton::hideEvent(QHideEvent* e) {
    PressAbbrechen();
    QWidget::hideEvent(e);
}

// ---- timers ---------------------------------------------------------------------

void Funbutton::TimerVerzoegerung_Timer() {
    timerVerzoegerung_.setEnabled(false);
    // Without repeat a held press gives no further Click.
    if (mRepeatEnabled) timerRepeat_.setEnabled(true);
}

void Funbutton::TimerRepeat_Timer() {
    QPointer<Funbutton> self(this);
    emit Click();
    if (!self) return;
    if (!(mEnabled && mGedrueckt >= 1 && mRepeatEnabled)) timerRepeat_.setEnabled(false);
}

void Funbutton::TimerBlinken_Timer() {
    if (mBlinkPhase != 0) {
        mBlinkPhase = 0;
        zeige(Picture1, false);
    } else {
        mBlinkPhase = 1;
        zeige(Picture1, true);
    }
}

// ---- input ------------------------------------------------------------------------

void Funbutton::mousePressEvent(QMouseEvent* e) {
    e->accept();
    platform::guardEvent("Funbutton", "UserControl_MouseDown", [&] {
        pressOnSurface_ = !visible_[Picture1] && !visible_[Picture2] && !visible_[Picture3];
        Druecken(vbButton(e->button()), vbShift(e->modifiers()), twipsX(e), twipsY(e));
    });
}

void Funbutton::mouseReleaseEvent(QMouseEvent* e) {
    e->accept();
    QPointer<Funbutton> self(this);
    platform::guardEvent("Funbutton", "UserControl_MouseUp", [&] {
        const bool surfaceClick = pressOnSurface_ && rect().contains(e->position().toPoint());
        pressOnSurface_ = false;
        Loslassen(vbButton(e->button()), vbShift(e->modifiers()), twipsX(e), twipsY(e));
        if (self && surfaceClick) setColor(platform::vbBlue);
    });
}

void Funbutton::mouseDoubleClickEvent(QMouseEvent* e) {
    // Only the left button double-clicks; a fast second press of another is a press.
    if (e->button() != Qt::LeftButton) {
        mousePressEvent(e);
        return;
    }
    e->accept();
    // A fast second tap on the face counts as a full press; the system's release follows.
    if (!visible_[Picture1] || visible_[Picture2] || visible_[Picture3]) return;
    QPointer<Funbutton> self(this);
    platform::guardEvent("Funbutton", "Picture1_DblClick", [&] {
        Druecken(1, 0, 0, 0);
        if (self) Loslassen(1, 0, 0, 0);
    });
}

void Funbutton::mouseMoveEvent(QMouseEvent* e) { e->accept(); }

void Funbutton::contextMenuEvent(QContextMenuEvent* e) { e->accept(); }

void Funbutton::focusInEvent(QFocusEvent* e) {
    shapeBorder_ = platform::vbWhite;
    update();
    QWidget::focusInEvent(e);
}

void Funbutton::focusOutEvent(QFocusEvent* e) {
    shapeBorder_ = platform::vbBlack;
    update();
    QWidget::focusOutEvent(e);
}
