#include "controls/ctlSprechblase/ctlSprechblase.h"

#include "platform/colors.h"
#include "platform/fonts.h"
#include "platform/runtime.h"
#include "platform/twips.h"

#include <QPainter>
#include <algorithm>
#include <cmath>

using platform::twipsToPx;

namespace {
constexpr int DesignWidth = 6690;
constexpr int DesignHeight = 4380;
constexpr int Pixel = platform::TwipsPerPixel;

int whole(double v) { return static_cast<int>(std::nearbyint(v)); }
}  // namespace

ctlSprechblase::ctlSprechblase(QWidget* parent) : QWidget(parent) {
    UserControl_Initialize();
    linie_[0].Visible = true;
    setFont(platform::vbFont(QStringLiteral("Comic Sans MS"), 12));
    // Outside the body and the tail the host shows through.
    setAttribute(Qt::WA_TranslucentBackground);
    setAutoFillBackground(false);
    // Created at its design size: this first redraw creates the tail's lines.
    platform::setTwips(this, platform::TwipsRect{0, 0, DesignWidth, DesignHeight});
    UserControl_Resize();
}

void ctlSprechblase::UserControl_Initialize() { mBorderWidth = 3; }

void ctlSprechblase::UserControl_Resize() { Neuzeichnen(); }

void ctlSprechblase::setWidth(int v) {
    if (v == Width()) return;
    platform::setTwWidth(this, v);
    UserControl_Resize();
}

void ctlSprechblase::setHeight(int v) {
    if (v == Height()) return;
    platform::setTwHeight(this, v);
    UserControl_Resize();
}

void ctlSprechblase::setMyBorderWidth(int32_t Wert) {
    if (Wert < 0) return;
    // The body's border width is a 16-bit value: a wider one is refused before it is kept,
    // so that later redraws do not fail on it.
    platform::CInt(Wert);
    mBorderWidth = Wert;
    Neuzeichnen();
}

void ctlSprechblase::setPfeilposition(int32_t Wert) {
    mPfeilposition = Wert;
    Neuzeichnen();
}

void ctlSprechblase::PunktX(int32_t Wert) { platform::setTwLeft(this, platform::CLng(double(Wert) - linie_[0].X1)); }

void ctlSprechblase::PunktY(int32_t Wert) { platform::setTwTop(this, platform::CLng(double(Wert) - linie_[0].Y1)); }

void ctlSprechblase::setTextMy(const QString& Wert) {
    label1_ = Wert;
    Neuzeichnen();
}

void ctlSprechblase::BlaseSetzen(int32_t Left, int32_t Top, int32_t Width, int32_t Height) {
    // Shapes and labels refuse negative sizes, as the host's controls do.
    if (Width < 0 || Height < 0) platform::raise(380);
    shape1_ = {Left, Top, Width, Height};
    if (Width - 360 < 0 || Height - 360 < 0) platform::raise(380);
    label1Rect_ = {Left + 180, Top + 180, Width - 360, Height - 360};
}

void ctlSprechblase::nachVorn(int i) {
    auto it = std::find(stapel_.begin(), stapel_.end(), i);
    if (it != stapel_.end()) stapel_.erase(it);
    stapel_.push_back(i);
}

void ctlSprechblase::kante(int i) {
    Linie& l = linie_[static_cast<size_t>(i)];
    l.BorderColor = platform::RGB(0, 0, 0);
    l.BorderWidth = platform::CInt(mBorderWidth);
    nachVorn(i);
}

void ctlSprechblase::Neuzeichnen() {
    const int W = Width();
    const int H = Height();
    if (W == 0) return;

    Linie& l0 = linie_[0];
    bool entlangX = true;
    bool bekannt = true;
    switch (mPfeilposition) {
    case 0:
        l0.X1 = 1200, l0.Y1 = 0, l0.X2 = 360, l0.Y2 = 750;
        BlaseSetzen(15, l0.Y2, W - 30, whole(double(H) - l0.Y2 - 30));
        break;
    case 1:
        l0.X1 = W - 30, l0.Y1 = 1500, l0.X2 = W - 630, l0.Y2 = 600;
        BlaseSetzen(15, 15, W - 630, H - 30);
        entlangX = false;
        break;
    case 2:
        l0.X1 = W - 30, l0.Y1 = H, l0.X2 = W - 930, l0.Y2 = H - 660;
        BlaseSetzen(15, 15, W - 30, l0.Y2);
        break;
    case 3:
        l0.X1 = 0, l0.Y1 = H, l0.X2 = 600, l0.Y2 = H - 900;
        BlaseSetzen(l0.X2, 15, whole(double(W) - l0.X2 - 30), H - 30);
        entlangX = false;
        break;
    default:
        bekannt = false;
    }

    if (bekannt) {
        const int basis = platform::CInt(entlangX ? l0.X2 : l0.Y2);
        for (int i = 1; i < LinienZahl; ++i) {
            Linie& l = linie_[static_cast<size_t>(i)];
            if (!mLinienGeladen) {
                l = l0;
                l.Visible = false;
                stapel_.push_back(i);
            } else {
                l.X1 = l0.X1, l.Y1 = l0.Y1, l.X2 = l0.X2, l.Y2 = l0.Y2;
            }
            const int16_t b = platform::CInt(double(basis) + Pixel * i);
            (entlangX ? l.X2 : l.Y2) = b;
            l.BorderColor = platform::RGB(255, 255, 255);
            l.BorderWidth = platform::CInt(mBorderWidth);
            nachVorn(i);
            l.Visible = true;
        }
    }
    // Without tail lines (a bad position before the first drawing) only the first edge exists.
    if (mLinienGeladen || bekannt) kante(LinienZahl - 1);
    kante(0);
    if (bekannt) mLinienGeladen = true;
    update();
}

void ctlSprechblase::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const auto px = [](int twips) { return twipsToPx(twips); };

    const int rand = std::max(0, twipsToPx(double(mBorderWidth) * Pixel));
    const QRectF body(px(shape1_.Left), px(shape1_.Top), px(shape1_.Width), px(shape1_.Height));
    if (body.width() > 0 && body.height() > 0) {
        p.setRenderHint(QPainter::Antialiasing, true);
        // The border lies inside the body's rectangle.
        const QRectF innen = body.adjusted(rand / 2.0, rand / 2.0, -rand / 2.0, -rand / 2.0);
        const double radius = std::min(body.width(), body.height()) / 6.0;
        p.setBrush(platform::vbColor(platform::vbWindowBackground));
        if (rand > 0)
            p.setPen(QPen(platform::vbColor(platform::vbBlack), rand, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        else
            p.setPen(Qt::NoPen);
        p.drawRoundedRect(innen, radius, radius);

        p.setPen(platform::vbColor(platform::vbWindowText));
        p.setFont(font());
        const QRectF text(px(label1Rect_.Left), px(label1Rect_.Top), px(label1Rect_.Width), px(label1Rect_.Height));
        p.drawText(text, Qt::AlignHCenter | Qt::AlignTop | Qt::TextWordWrap, label1_);
    }

    p.setRenderHint(QPainter::Antialiasing, false);
    for (int i : stapel_) {
        const Linie& l = linie_[static_cast<size_t>(i)];
        if (!l.Visible || l.BorderWidth <= 0) continue;
        p.setPen(QPen(platform::vbColor(l.BorderColor), l.BorderWidth, Qt::SolidLine, Qt::RoundCap));
        const QPoint basis(px(l.X2), px(l.Y2));
        p.drawLine(QPoint(px(l.X1), px(l.Y1)), basis);
        // An inner line opens the body's border: it goes on straight across the border
        // from the base, which lies on the border or one pixel inside it.
        if (i == 0 || i == LinienZahl - 1) continue;
        const Linie& l0 = linie_[0];
        const bool entlangX = l.X2 != l0.X2;
        const int richtung = entlangX ? (l.Y2 >= l.Y1 ? 1 : -1) : (l.X2 >= l.X1 ? 1 : -1);
        const QPoint schritt = entlangX ? QPoint(0, richtung) : QPoint(richtung, 0);
        p.setPen(QPen(platform::vbColor(l.BorderColor), l.BorderWidth, Qt::SolidLine, Qt::FlatCap));
        p.drawLine(basis - schritt, basis + schritt * (rand + 1));
    }
}
