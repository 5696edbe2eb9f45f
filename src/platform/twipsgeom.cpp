#include "platform/twipsgeom.h"

#include "platform/runtime.h"
#include "platform/twips.h"

#include <QVariant>

namespace platform {
namespace {
const char* const kKey = "melotraTwips";
}

TwipsRect twips(const QWidget* w) {
    const QVariant v = w->property(kKey);
    if (v.isValid()) {
        const QList<QVariant> l = v.toList();
        return TwipsRect{l[0].toInt(), l[1].toInt(), l[2].toInt(), l[3].toInt()};
    }
    const QRect g = w->geometry();
    return TwipsRect{g.x() * TwipsPerPixel, g.y() * TwipsPerPixel, g.width() * TwipsPerPixel, g.height() * TwipsPerPixel};
}

void setTwips(QWidget* w, const TwipsRect& r) {
    if (r.Width < 0 || r.Height < 0) raise(380);
    w->setProperty(kKey, QList<QVariant>{r.Left, r.Top, r.Width, r.Height});
    w->setGeometry(twipsToPx(r.Left), twipsToPx(r.Top), twipsToPx(r.Width), twipsToPx(r.Height));
}

void setTwLeft(QWidget* w, int v) {
    TwipsRect r = twips(w);
    r.Left = v;
    setTwips(w, r);
}
void setTwTop(QWidget* w, int v) {
    TwipsRect r = twips(w);
    r.Top = v;
    setTwips(w, r);
}
void setTwWidth(QWidget* w, int v) {
    TwipsRect r = twips(w);
    r.Width = v;
    setTwips(w, r);
}
void setTwHeight(QWidget* w, int v) {
    TwipsRect r = twips(w);
    r.Height = v;
    setTwips(w, r);
}
void setTwGeometry(QWidget* w, int left, int top, int width, int height) { setTwips(w, TwipsRect{left, top, width, height}); }

}  // namespace platform
