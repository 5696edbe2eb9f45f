#include "controls/FormX/FormX.h"

#include "platform/guard.h"
#include "platform/runtime.h"
#include "platform/twipsgeom.h"

#include <QEvent>
#include <QMenu>
#include <QMenuBar>
#include <QPainterPath>
#include <QWindow>
#include <cmath>

namespace {

// Setting an empty mask gives the whole window back; a window shaped to nothing gets a
// single pixel outside itself instead.
const QRegion& Unsichtbar() {
    static const QRegion r(-1, -1, 1, 1);
    return r;
}

QRegion RundesRechteck(const QRect& r, int ellipse) {
    QPainterPath pfad;
    pfad.addRoundedRect(QRectF(r), ellipse / 2.0, ellipse / 2.0);
    return QRegion(pfad.toFillPolygon().toPolygon());
}

}  // namespace

FormX::FormX(QWidget* parent) : QWidget(parent) {
    // Nothing of the control shows at run time.
    setAttribute(Qt::WA_DontShowOnScreen);
    hide();
    if (parent && parent->isWindow()) {
        eForm = parent;
        mFormName = parent->objectName();
        parent->installEventFilter(this);
    }
    UserControl_Resize();
}

// A window that closes or goes keeps its flags: changing them would show it again.
FormX::~FormX() { RemoveRegion(false); }

void FormX::ReadProperties(int32_t Transparent, bool TopMost) {
    mTransparent = Transparent;
    if (eForm) {
        mFormName = eForm->objectName();
        mPending = mTransparent != 0;
    }
    setTopMost(TopMost);
}

void FormX::setTransparent(int32_t New_Transparent) {
    if (New_Transparent < 0 || New_Transparent > 3) platform::raise(380);
    if (!eForm) {
        mTransparent = 0;
        return;
    }
    mTransparent = New_Transparent;
    if (mTransparent != 0)
        MakeRegion();
    else
        RemoveRegion();
}

void FormX::setTopMost(bool New_TopMost) {
    mTopMost = New_TopMost;
    ApplyTopMost();
}

void FormX::DragForm() {
    if (!eForm) return;
    if (QWindow* w = eForm->window()->windowHandle()) w->startSystemMove();
}

void FormX::Refresh() {
    if (mTransparent != 0 && eForm) MakeRegion();
}

void FormX::eForm_Load() {
    if (mGeladen) return;
    mGeladen = true;
    if (!mPending || !eForm) return;
    Rahmenlos(true);
    // Parked off screen until it is shaped, so it is never seen whole.
    mSavedLeft = platform::TwLeft(eForm);
    mSavedTop = platform::TwTop(eForm);
    platform::setTwLeft(eForm, -10000);
    platform::setTwTop(eForm, -10000);
}

void FormX::eForm_Resize() {
    if (mPending && eForm) {
        Refresh();
        platform::setTwLeft(eForm, mSavedLeft);
        platform::setTwTop(eForm, mSavedTop);
    }
    mPending = false;
}

void FormX::eForm_Unload() { RemoveRegion(false); }

bool FormX::eventFilter(QObject* o, QEvent* e) {
    if (o == eForm.data()) {
        platform::guardEvent("FormX", "eForm", [&] {
            switch (e->type()) {
            case QEvent::Polish: eForm_Load(); break;
            case QEvent::Resize: eForm_Resize(); break;
            case QEvent::Close: eForm_Unload(); break;
            default: break;
            }
        });
    }
    return QWidget::eventFilter(o, e);
}

void FormX::MakeRegion() {
    if (!eForm) return;
    mRgnBuild.reset();
    if (mTransparent != 3) {
        const auto controls = eForm->findChildren<QWidget*>();
        for (QWidget* c : controls) {
            if (c == this || c->isWindow()) continue;
            if (DoChildControlsInControl && c->objectName() == DoChildControlsInControl->objectName()) {
                for (QWidget* k : ChildControls) AddControlRegion(k, false);
            } else {
                AddControlRegion(c, true);
            }
        }
    }
    if (!mRgnBuild && mTransparent >= 2) mRgnBuild = QRegion();
    if (mRgnBuild) {
        mRgn = *mRgnBuild;
        Rahmenlos(true);
        eForm->setMask(mRgn->isEmpty() ? Unsichtbar() : *mRgn);
    } else {
        RemoveRegion();
    }
    mRgnBuild.reset();
}

void FormX::AddControlRegion(QWidget* c, bool mitContainertest) {
    if (!c || qobject_cast<QMenu*>(c) || qobject_cast<QMenuBar*>(c)) return;
    try {
        if (mitContainertest && c->parentWidget() != eForm.data()) return;
        if (c->isHidden()) return;
        // Controls inside a container are placed on the form's client area.
        const QPoint pos = eForm->isAncestorOf(c) ? c->mapTo(eForm.data(), QPoint(0, 0)) : c->pos();
        const QRect r(pos, c->size());
        if (IgnoreControl && c->objectName() == IgnoreControl->objectName()) return;
        QRegion teil;
        bool fertig = false;
        if (!ControlWithShapeProperty.isEmpty() && c->objectName() == ControlWithShapeProperty) {
            const int shape = c->property("Shape").toInt();
            if (shape == 2 || shape == 3) {
                teil = QRegion(r, QRegion::Ellipse);
                fertig = true;
            } else if (shape == 4 || shape == 5) {
                teil = RundesRechteck(r, static_cast<int>(std::nearbyint(r.height() / 2.0)));
                fertig = true;
            }
        }
        if (!fertig) {
            const int rand = c->property("BorderWidth").toInt();
            if (!ControlWithBorderWidthProperty.isEmpty() && c->objectName() == ControlWithBorderWidthProperty &&
                rand > 0)
                teil = QRegion(r).subtracted(QRegion(r.adjusted(rand, rand, -rand, -rand)));
            else
                teil = QRegion(r);
        }
        mRgnBuild = mRgnBuild ? mRgnBuild->united(teil) : teil;
    } catch (const platform::RuntimeError&) {
        // a control that cannot be measured is left out
    }
}

void FormX::RemoveRegion(bool RahmenZurueck) {
    if (!mRgn) return;
    mRgn.reset();
    if (!eForm) return;
    eForm->clearMask();
    if (RahmenZurueck) Rahmenlos(false);
}

void FormX::ApplyTopMost() { Fensterflag(Qt::WindowStaysOnTopHint, mTopMost); }

void FormX::Rahmenlos(bool an) {
    // Only a frame that this control took away is given back.
    if (an && !mRahmenGenommen && eForm && !eForm->windowFlags().testFlag(Qt::FramelessWindowHint)) {
        mRahmenGenommen = true;
        Fensterflag(Qt::FramelessWindowHint, true);
    } else if (!an && mRahmenGenommen) {
        mRahmenGenommen = false;
        Fensterflag(Qt::FramelessWindowHint, false);
    }
}

void FormX::Fensterflag(Qt::WindowType flag, bool an) {
    if (!eForm || eForm->windowFlags().testFlag(flag) == an) return;
    // Changing a flag hides the window: show it again where it was.
    const bool sichtbar = eForm->isVisible();
    eForm->setWindowFlag(flag, an);
    if (sichtbar) eForm->show();
}

void FormX::UserControl_Resize() {
    if (mInResize) return;
    mInResize = true;
    resize(32, 32);
    mInResize = false;
}

void FormX::resizeEvent(QResizeEvent*) {
    platform::guardEvent("FormX", "UserControl_Resize", [&] { UserControl_Resize(); });
}
