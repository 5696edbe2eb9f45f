#include "controls/CtlButtons/CtlButtons.h"

#include "controls/CtlButtons/Fensterhandle.h"
#include "platform/colors.h"
#include "platform/fonts.h"
#include "platform/guard.h"
#include "platform/input.h"
#include "platform/runtime.h"
#include "platform/twips.h"
#include "platform/twipsgeom.h"

#include <QMouseEvent>
#include <QPainter>
#include <utility>

namespace {

constexpr int16_t Oval = 2;
constexpr int16_t Gerundet = 4;
constexpr int16_t Rechteck = 0;

int16_t Tasten(Qt::MouseButtons b) {
    int16_t t = 0;
    for (Qt::MouseButton k : {Qt::LeftButton, Qt::RightButton, Qt::MiddleButton})
        if (b & k) t = static_cast<int16_t>(t | platform::vbButton(k));
    return t;
}

// The runtime's mouse arguments: buttons, shift state and the place in the source's twips.
struct Mausdaten {
    int16_t Button, Shift;
    float X, Y;
};
Mausdaten Maus(const QMouseEvent* e, bool bewegung) {
    const QPointF p = e->position();
    return {bewegung ? Tasten(e->buttons()) : platform::vbButton(e->button()), platform::vbShift(e->modifiers()),
            static_cast<float>(platform::pxToTwips(p.x())), static_cast<float>(platform::pxToTwips(p.y()))};
}

void setzeHintergrund(QWidget* w, int32_t farbe) {
    QPalette pal = w->palette();
    pal.setColor(QPalette::Button, platform::vbColor(farbe));
    pal.setColor(QPalette::Window, platform::vbColor(farbe));
    w->setPalette(pal);
    w->setAutoFillBackground(true);
}

}  // namespace

CtlButtonsLabel::CtlButtonsLabel(QWidget* parent) : QLabel(parent) { setMouseTracking(true); }

void CtlButtonsLabel::mousePressEvent(QMouseEvent* e) {
    // Outside the outline the press belongs to what lies beneath.
    if (!Getroffen(e->position())) return e->ignore();
    gedrueckt_ = true;
    platform::guardEvent("CtlButtons", "Label1_MouseDown", [&] {
        const Mausdaten m = Maus(e, false);
        emit MouseDown(m.Button, m.Shift, m.X, m.Y);
    });
}

void CtlButtonsLabel::mouseMoveEvent(QMouseEvent* e) {
    if (!Getroffen(e->position())) return e->ignore();
    platform::guardEvent("CtlButtons", "Label1_MouseMove", [&] {
        const Mausdaten m = Maus(e, true);
        emit MouseMove(m.Button, m.Shift, m.X, m.Y);
    });
}

void CtlButtonsLabel::mouseReleaseEvent(QMouseEvent* e) {
    // Only the release of a press that this part took.
    if (!std::exchange(gedrueckt_, false)) return e->ignore();
    platform::guardEvent("CtlButtons", "Label1_MouseUp", [&] {
        const Mausdaten m = Maus(e, false);
        emit MouseUp(m.Button, m.Shift, m.X, m.Y);
        if (e->button() == Qt::LeftButton && rect().contains(e->position().toPoint()) && Getroffen(e->position()))
            emit Click();
    });
}

QPainterPath CtlButtonsShape::Umriss(const QRectF& r) const {
    QPainterPath pfad;
    if (Shape == Oval)
        pfad.addEllipse(r);
    else if (Shape == Gerundet)
        pfad.addRoundedRect(r, std::min(r.width(), r.height()) / 4.0, std::min(r.width(), r.height()) / 4.0);
    else
        pfad.addRect(r);
    return pfad;
}

void CtlButtonsShape::paintEvent(QPaintEvent*) {
    platform::guardEvent("CtlButtons", "Shape1_Paint", [&] {
        QPainter g(this);
        g.setRenderHint(QPainter::Antialiasing);
        const int bw = std::max<int>(BorderWidth, 1);
        g.setPen(QPen(platform::vbColor(BorderColor), bw));
        g.setBrush(platform::vbColor(FillColor));
        // The border lies inside the outline.
        g.drawPath(Umriss(QRectF(rect()).adjusted(bw / 2.0, bw / 2.0, -bw / 2.0, -bw / 2.0)));
    });
}

CtlButtons::CtlButtons(QWidget* parent)
    : QWidget(parent),
      command1_(new QPushButton(this)),
      label1_(new CtlButtonsLabel(this)),
      shape1_(new CtlButtonsShape(this)),
      picture1_(new CtlButtonsLabel(this)),
      mHwnd(neuesFensterhandle()) {
    label1_->setFont(platform::vbFont(QStringLiteral("MS Sans Serif"), 8));
    label1_->setAlignment(Qt::AlignCenter);
    label1_->resize(label1_->width(), label1_->fontMetrics().height());
    shape1_->hide();
    label1_->hide();
    picture1_->resize(0, 0);
    shape1_->lower();
    label1_->raise();
    mBackColor = platform::fromQColor(command1_->palette().color(QPalette::Button));
    // A fresh shape wears the button's colour with the runtime's border colour.
    shape1_->FillColor = mBackColor;
    shape1_->BorderColor = platform::vbWindowText;
    command1_->move(0, 0);
    shape1_->move(0, 0);
    label1_->move(0, 0);
    command1_->installEventFilter(this);

    connect(command1_, &QPushButton::clicked, this, &CtlButtons::Click);
    for (CtlButtonsLabel* quelle : {label1_, picture1_}) connect(quelle, &CtlButtonsLabel::Click, this, &CtlButtons::Click);
    connect(label1_, &CtlButtonsLabel::MouseDown, this, &CtlButtons::MouseDown);
    connect(label1_, &CtlButtonsLabel::MouseMove, this, &CtlButtons::MouseMove);
    connect(label1_, &CtlButtonsLabel::MouseUp, this, &CtlButtons::MouseUp);
    connect(shape1_, &CtlButtonsLabel::Click, this, &CtlButtons::Click);
    connect(shape1_, &CtlButtonsLabel::MouseDown, this, &CtlButtons::MouseDown);
    connect(shape1_, &CtlButtonsLabel::MouseMove, this, &CtlButtons::MouseMove);
    connect(shape1_, &CtlButtonsLabel::MouseUp, this, &CtlButtons::MouseUp);
    command1_->setMouseTracking(true);
}

void CtlButtons::Save() {
    const platform::TwipsRect r = platform::twips(this);
    mGespeichert.Left = platform::CInt(r.Left);
    mGespeichert.Top = platform::CInt(r.Top);
    mGespeichert.Height = platform::CInt(r.Height);
    mGespeichert.Width = platform::CInt(r.Width);
    mGespeichert.Caption = command1_->text();
}

void CtlButtons::Restore() {
    platform::setTwLeft(this, mGespeichert.Left);
    platform::setTwTop(this, mGespeichert.Top);
    platform::setTwHeight(this, mGespeichert.Height);
    platform::setTwWidth(this, mGespeichert.Width);
    command1_->setText(mGespeichert.Caption);
}

void CtlButtons::setBackColor(int32_t Wert) {
    mBackColor = Wert;
    setzeHintergrund(command1_, Wert);
    setzeHintergrund(label1_, Wert);
    shape1_->FillColor = Wert;
    shape1_->BorderColor = Wert;
    shape1_->update();
}

void CtlButtons::setStil(int16_t Wert) {
    mStil = Wert;
    if (Wert < 0 || Wert > 3) return;
    // A hidden control gets its resize only when shown: the parts take its size now, so
    // that the caption is centred on the shape's final height.
    if (shape1_->size() != size()) UserControl_Resize();
    command1_->setVisible(Wert == 0);
    label1_->setVisible(Wert == 1 || Wert == 2);
    shape1_->setVisible(Wert != 0);
    Mausziel();
    if (Wert == 0) return;
    if (Wert != 3) label1_->setText(command1_->text());
    shape1_->Shape = Wert == 1 ? Oval : Wert == 2 ? Gerundet : Rechteck;
    shape1_->BorderWidth = Wert == 3 ? 1 : mBorderWidth;
    shape1_->update();
    LabelZentrieren();
}

int16_t CtlButtons::Shape() const {
    switch (mStil) {
    case 1: return Oval;
    case 2: return Gerundet;
    default: return Rechteck;
    }
}

void CtlButtons::setCaption(const QString& Cap) {
    command1_->setText(Cap);
    label1_->setText(Cap);
}

void CtlButtons::setTransparent(bool Wert) {
    command1_->setVisible(!Wert);
    if (Wert) label1_->setText(QString());
    label1_->setVisible(Wert);
    Mausziel();
}

void CtlButtons::setBorderWidth(int16_t Wert) {
    mBorderWidth = Wert;
    if (Wert < 1) {
        command1_->show();
        label1_->hide();
        shape1_->BorderWidth = 2;
    } else {
        label1_->setText(QString());
        label1_->hide();
    }
    shape1_->update();
}

void CtlButtons::setEnabled(bool Wert) {
    command1_->setEnabled(Wert);
    label1_->setEnabled(Wert);
    // The drawn shape of looks 1 to 3 and the picture take presses too.
    shape1_->setEnabled(Wert);
    picture1_->setEnabled(Wert);
}

void CtlButtons::setMousePointer(int16_t Wert) {
    mMousePointer = Wert;
    std::optional<QCursor> c;
    switch (Wert) {
    case 0: break;
    case 2: c = QCursor(Qt::CrossCursor); break;
    case 3: c = QCursor(Qt::IBeamCursor); break;
    case 11: c = QCursor(Qt::WaitCursor); break;
    case 99: c = mMouseIcon; break;
    default: c = QCursor(Qt::ArrowCursor); break;
    }
    for (QWidget* w : {static_cast<QWidget*>(command1_), static_cast<QWidget*>(label1_)}) {
        if (c)
            w->setCursor(*c);
        else
            w->unsetCursor();
    }
}

void CtlButtons::setMouseIcon(const QCursor& Wert) {
    mMouseIcon = Wert;
    if (mMousePointer == 99) setMousePointer(99);
}

bool CtlButtons::PositionCheck(float X, float Y) const {
    const platform::TwipsRect r = platform::twips(this);
    return r.Left < X && X < r.Left + r.Width && r.Top < Y && Y < r.Top + r.Height;
}

void CtlButtons::Mausziel() {
    label1_->setAttribute(Qt::WA_TransparentForMouseEvents, !shape1_->isHidden());
}

void CtlButtons::LabelZentrieren() {
    label1_->move(label1_->x(), shape1_->y() + shape1_->height() / 2 - label1_->height() / 2);
}

void CtlButtons::UserControl_Resize() {
    command1_->resize(size());
    shape1_->resize(size());
    label1_->resize(width(), label1_->height());
}

void CtlButtons::resizeEvent(QResizeEvent*) {
    platform::guardEvent("CtlButtons", "UserControl_Resize", [&] { UserControl_Resize(); });
}

bool CtlButtons::eventFilter(QObject* o, QEvent* e) {
    if (o != command1_) return QWidget::eventFilter(o, e);
    const auto t = e->type();
    // The filter sees the presses of a disabled button too: a disabled button raises nothing.
    if (!command1_->isEnabled()) return QWidget::eventFilter(o, e);
    if (t == QEvent::MouseButtonPress || t == QEvent::MouseMove || t == QEvent::MouseButtonRelease) {
        platform::guardEvent("CtlButtons", "Command1_Mouse", [&] {
            const Mausdaten m = Maus(static_cast<QMouseEvent*>(e), t == QEvent::MouseMove);
            if (t == QEvent::MouseButtonPress)
                emit MouseDown(m.Button, m.Shift, m.X, m.Y);
            else if (t == QEvent::MouseMove)
                emit MouseMove(m.Button, m.Shift, m.X, m.Y);
            else
                emit MouseUp(m.Button, m.Shift, m.X, m.Y);
        });
    }
    return QWidget::eventFilter(o, e);
}
