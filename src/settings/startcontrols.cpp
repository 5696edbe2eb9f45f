#include "settings/startcontrols.h"

#include "platform/colors.h"

#include <QMouseEvent>
#include <QPainter>

ColourSwatch::ColourSwatch(QWidget* parent) : QFrame(parent) {
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setLineWidth(1);
}

void ColourSwatch::setBackColor(int32_t colour) {
    if (colour == backColor_) return;
    backColor_ = colour;
    update();
}

void ColourSwatch::paintEvent(QPaintEvent* e) {
    QPainter p(this);
    p.fillRect(contentsRect(), platform::vbColor(backColor_));
    p.end();
    QFrame::paintEvent(e);
}

void ClickLabel::mouseReleaseEvent(QMouseEvent* e) {
    QLabel::mouseReleaseEvent(e);
    if (e->button() == Qt::LeftButton && rect().contains(e->position().toPoint())) emit clicked();
}
