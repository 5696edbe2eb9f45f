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

namespace {
template <class Set>
void change(QWidget* w, Set set) {
    TwipsRect r = twips(w);
    set(r);
    setTwips(w, r);
}
}  // namespace

void setTwLeft(QWidget* w, int v) { change(w, [v](TwipsRect& r) { r.Left = v; }); }
void setTwTop(QWidget* w, int v) { change(w, [v](TwipsRect& r) { r.Top = v; }); }
void setTwWidth(QWidget* w, int v) { change(w, [v](TwipsRect& r) { r.Width = v; }); }
void setTwHeight(QWidget* w, int v) { change(w, [v](TwipsRect& r) { r.Height = v; }); }
void setTwGeometry(QWidget* w, int left, int top, int width, int height) { setTwips(w, TwipsRect{left, top, width, height}); }

}  // namespace platform
