// The smiley cell: shapes, their colours and visibility, and the press event.
#include "game/ctlSmilie.h"

#include "base/ErrPtnr.h"
#include "base/ErrorHandler.h"
#include "platform/colors.h"
#include "platform/guard.h"
#include "platform/input.h"
#include "platform/twipsgeom.h"

#include <QMouseEvent>
#include <QPainter>
#include <stdexcept>

namespace {

const QString kModul = QStringLiteral("ctlSmilie");
const QString kGewonnen = QStringLiteral("Gewonnen");
const QString kVerloren = QStringLiteral("Verloren");
constexpr int32_t kGelb = 0x00FFFF;

ctlSmilie::Shape maskShape(const QString& name, int l, int t, int w, int h, const QString& tag) {
    return {name, false, QRect(l, t, w, h), true, kGelb, false, 1, tag, true};
}

ctlSmilie::Shape mouth(const QString& name, int l, int t, int w, int h, const QString& tag) {
    return {name, true, QRect(l, t, w, h), false, 0, true, 4, tag, true};
}

ctlSmilie::Shape eye(const QString& name, int l, int t) {
    return {name, true, QRect(l, t, 150, 390), true, platform::vbBlack, true, 1, QString(), true};
}

}  // namespace

ctlSmilie::ctlSmilie(QWidget* parent) : QWidget(parent) {
    // Topmost first: the frown's masks cover the eyes, which cover the smile's masks.
    const QString S5 = QStringLiteral("Shape5(%1)");
    shapes_ = {
        maskShape(S5.arg(5), 360, 1020, 795, 315, kVerloren),
        maskShape(S5.arg(8), 1080, 960, 255, 255, kVerloren),
        maskShape(S5.arg(9), 180, 960, 255, 255, kVerloren),
        maskShape(S5.arg(10), 480, 1200, 555, 195, kVerloren),
        maskShape(S5.arg(11), 1020, 1020, 255, 255, kVerloren),
        maskShape(S5.arg(12), 240, 1020, 255, 255, kVerloren),
        eye(QStringLiteral("Shape2(0)"), 420, 300),
        eye(QStringLiteral("Shape2(1)"), 900, 300),
        maskShape(S5.arg(0), 180, 540, 255, 315, kGewonnen),
        maskShape(S5.arg(1), 1080, 540, 255, 315, kGewonnen),
        maskShape(S5.arg(2), 240, 360, 315, 315, kGewonnen),
        maskShape(S5.arg(3), 960, 360, 315, 315, kGewonnen),
        maskShape(S5.arg(4), 360, 180, 795, 315, kGewonnen),
        mouth(QStringLiteral("Shape4(0)"), 240, 240, 1035, 1035, kGewonnen),
        mouth(QStringLiteral("Shape4(1)"), 240, 780, 1035, 555, kVerloren),
        {QStringLiteral("Shape1(0)"), true, QRect(0, 0, 1515, 1515), true, kGelb, false, 1, QString(), true},
        {QStringLiteral("shpRechteck"), false, QRect(0, 0, 1530, 1530), true, platform::vbButtonFace, false, 1,
         QString(), true},
    };
    platform::setTwGeometry(this, 0, 0, 1530, 1530);
    UserControl_Initialize();
}

const ctlSmilie::Shape& ctlSmilie::shape(const QString& name) const {
    for (const Shape& s : shapes_)
        if (s.name == name) return s;
    throw std::out_of_range("ctlSmilie: no such shape");
}

ctlSmilie::Shape& ctlSmilie::shapeRef(const QString& name) { return const_cast<Shape&>(shape(name)); }

void ctlSmilie::Ini() {
    ErrPtnr::CallStack(QStringLiteral("[ctlSmilie] Public Sub Ini()"));
    withErrorHandler(kModul, QStringLiteral("Ini"), [&](ErrorHandler& on) {
        on.resumeNext();
        on([&] {
            const QWidget* form = parentWidget() ? parentWidget() : this;
            shapeRef(QStringLiteral("shpRechteck")).fill =
                platform::fromQColor(form->palette().color(form->backgroundRole()));
        });
        update();
    });
}

void ctlSmilie::setFarbe(int32_t Wert) {
    ErrPtnr::CallStack(QStringLiteral("[ctlSmilie] Public Property Let Farbe(Wert As Long)"));
    ErrPtnr::CallStackParam(QStringLiteral("Wert"), Wert);
    withErrorHandler(kModul, QStringLiteral("Farbe [LET]"), [&](ErrorHandler& on) {
        on([&] { mFarbe = Wert; });
        // The masks must keep the face colour, or the mouth outlines would show through.
        for (Shape& s : shapes_) {
            if (s.outlined || s.name == QLatin1String("shpRechteck")) continue;
            on([&] { s.fill = Wert; });
        }
        update();
    });
}

int32_t ctlSmilie::Farbe() {
    ErrPtnr::CallStack(QStringLiteral("[ctlSmilie] Public Property Get Farbe() As Long"));
    int32_t result = 0;
    return withErrorHandler(kModul, QStringLiteral("Farbe [GET]"), result,
                            [&](ErrorHandler& on) { on([&] { result = mFarbe; }); });
}

void ctlSmilie::Mund(bool Gewonnen) {
    ErrPtnr::CallStack(QStringLiteral("[ctlSmilie] Public Sub Mund(Gewonnen As Boolean)"));
    ErrPtnr::CallStackParam(QStringLiteral("Gewonnen"), Gewonnen);
    withErrorHandler(kModul, QStringLiteral("Mund"), [&](ErrorHandler& on) {
        if (!mVisibleMy) return;
        for (Shape& s : shapes_) {
            if (s.tag == kGewonnen) on([&] { s.visible = Gewonnen; });
            if (s.tag == kVerloren) on([&] { s.visible = !Gewonnen; });
        }
        update();
    });
}

void ctlSmilie::setVisibleMy(bool Wert) {
    ErrPtnr::CallStack(QStringLiteral("[ctlSmilie] Public Property Let VisibleMy(Wert As Boolean)"));
    ErrPtnr::CallStackParam(QStringLiteral("Wert"), Wert);
    withErrorHandler(kModul, QStringLiteral("VisibleMy [LET]"), [&](ErrorHandler& on) {
        on([&] { mVisibleMy = Wert; });
        on([&] { VisibleMy2(Wert); });
    });
}

bool ctlSmilie::VisibleMy() {
    ErrPtnr::CallStack(QStringLiteral("[ctlSmilie] Public Property Get VisibleMy() As Boolean"));
    bool result = false;
    return withErrorHandler(kModul, QStringLiteral("VisibleMy [GET]"), result,
                            [&](ErrorHandler& on) { on([&] { result = mVisibleMy; }); });
}

void ctlSmilie::UserControl_Click() {
    ErrPtnr::CallStack(QStringLiteral("[ctlSmilie] Private Sub UserControl_Click()"));
    withErrorHandler(kModul, QStringLiteral("UserControl_Click"), [](ErrorHandler&) {});
}

void ctlSmilie::UserControl_Initialize() {
    ErrPtnr::CallStack(QStringLiteral("[ctlSmilie] Private Sub UserControl_Initialize()"));
    withErrorHandler(kModul, QStringLiteral("UserControl_Initialize"), [&](ErrorHandler& on) {
        on([&] { mVisibleMy = true; });
        on([&] { mFarbe = shapeRef(QStringLiteral("Shape1(0)")).fill; });
        on([&] { mGewonnen = true; });
        on([&] { Mund(mGewonnen); });
    });
}

void ctlSmilie::VisibleMy2(bool Wert) {
    ErrPtnr::CallStack(QStringLiteral("[ctlSmilie] Private Sub VisibleMy2(Wert As Boolean)"));
    ErrPtnr::CallStackParam(QStringLiteral("Wert"), Wert);
    withErrorHandler(kModul, QStringLiteral("VisibleMy2"), [&](ErrorHandler& on) {
        for (Shape& s : shapes_) on([&] { s.visible = Wert; });
        on([&] { shapeRef(QStringLiteral("shpRechteck")).visible = true; });
        on([&] { Mund(mGewonnen); });
        update();
    });
}

void ctlSmilie::UserControl_MouseDown(int16_t Button, int16_t Shift, float X, float Y) {
    ErrPtnr::CallStack(QStringLiteral(
        "[ctlSmilie] Private Sub UserControl_MouseDown(Button As Integer, Shift As Integer, X As Single, Y As Single)"));
    ErrPtnr::CallStackParam(QStringLiteral("Y"), Y);
    ErrPtnr::CallStackParam(QStringLiteral("X"), X);
    ErrPtnr::CallStackParam(QStringLiteral("Shift"), Shift);
    ErrPtnr::CallStackParam(QStringLiteral("Button"), Button);
    withErrorHandler(kModul, QStringLiteral("UserControl_MouseDown"),
                     [&](ErrorHandler& on) { on([&] { emit Click(); }); });
}

void ctlSmilie::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing, false);
    auto px = [](const QRect& tw) { return QRectF(tw.left() / 15.0, tw.top() / 15.0, tw.width() / 15.0, tw.height() / 15.0); };
    // Bottom shape first, so higher shapes cover it.
    for (auto it = shapes_.rbegin(); it != shapes_.rend(); ++it) {
        const Shape& s = *it;
        if (!s.visible) continue;
        QRectF r = px(s.twips);
        if (s.outlined) {
            // The line lies inside the shape's bounds.
            const double half = s.lineWidthPx / 2.0;
            r.adjust(half, half, -half, -half);
            QPen pen(Qt::black, s.lineWidthPx);
            p.setPen(pen);
        } else {
            p.setPen(Qt::NoPen);
        }
        p.setBrush(s.filled ? QBrush(platform::vbColor(s.fill)) : QBrush(Qt::NoBrush));
        if (s.oval)
            p.drawEllipse(r);
        else
            p.drawRect(r);
    }
}

void ctlSmilie::mousePressEvent(QMouseEvent* e) {
    platform::guardEvent("ctlSmilie", "UserControl_MouseDown", [&] {
        const QPointF tw = e->position() * 15.0;
        UserControl_MouseDown(platform::vbButton(e->button()), platform::vbShift(e->modifiers()),
                              static_cast<float>(tw.x()), static_cast<float>(tw.y()));
    });
}

void ctlSmilie::mouseReleaseEvent(QMouseEvent* e) {
    if (rect().contains(e->position().toPoint()))
        platform::guardEvent("ctlSmilie", "UserControl_Click", [&] { UserControl_Click(); });
}
