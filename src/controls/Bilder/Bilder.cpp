#include "controls/Bilder/Bilder.h"

#include <QPainter>
#include <QPainterPath>
#include <algorithm>

namespace Bilder {
namespace {

void pfeil(QPainter& p, const QRectF& r, bool hoch) {
    const double cx = r.center().x();
    const double w = r.width(), h = r.height();
    QPainterPath path;
    if (hoch) {
        path.moveTo(cx, r.top());
        path.lineTo(r.right(), r.top() + h * 0.5);
        path.lineTo(cx + w * 0.2, r.top() + h * 0.5);
        path.lineTo(cx + w * 0.2, r.bottom());
        path.lineTo(cx - w * 0.2, r.bottom());
        path.lineTo(cx - w * 0.2, r.top() + h * 0.5);
        path.lineTo(r.left(), r.top() + h * 0.5);
    } else {
        path.moveTo(cx, r.bottom());
        path.lineTo(r.right(), r.top() + h * 0.5);
        path.lineTo(cx + w * 0.2, r.top() + h * 0.5);
        path.lineTo(cx + w * 0.2, r.top());
        path.lineTo(cx - w * 0.2, r.top());
        path.lineTo(cx - w * 0.2, r.top() + h * 0.5);
        path.lineTo(r.left(), r.top() + h * 0.5);
    }
    path.closeSubpath();
    p.drawPath(path);
}

void uebernehmen(QPainter& p, const QRectF& r) {
    // A bent arrow: from the archive above down into the playlist.
    const double w = r.width(), h = r.height();
    QPainterPath path;
    path.moveTo(r.left() + w * 0.15, r.top());
    path.lineTo(r.left() + w * 0.45, r.top());
    path.lineTo(r.left() + w * 0.45, r.top() + h * 0.45);
    path.lineTo(r.left() + w * 0.65, r.top() + h * 0.45);
    path.lineTo(r.left() + w * 0.65, r.top() + h * 0.2);
    path.lineTo(r.right(), r.top() + h * 0.6);
    path.lineTo(r.left() + w * 0.65, r.bottom());
    path.lineTo(r.left() + w * 0.65, r.top() + h * 0.75);
    path.lineTo(r.left() + w * 0.15, r.top() + h * 0.75);
    path.closeSubpath();
    p.drawPath(path);
}

void muelleimer(QPainter& p, const QRectF& r) {
    const double w = r.width(), h = r.height();
    p.drawRect(QRectF(r.left() + w * 0.05, r.top() + h * 0.1, w * 0.9, h * 0.08));
    p.drawRect(QRectF(r.left() + w * 0.38, r.top(), w * 0.24, h * 0.12));
    QPainterPath body;
    body.moveTo(r.left() + w * 0.12, r.top() + h * 0.22);
    body.lineTo(r.right() - w * 0.12, r.top() + h * 0.22);
    body.lineTo(r.right() - w * 0.2, r.bottom());
    body.lineTo(r.left() + w * 0.2, r.bottom());
    body.closeSubpath();
    p.drawPath(body);
    // Grooves in white.
    p.save();
    p.setBrush(Qt::white);
    for (int i = 0; i < 3; ++i) {
        const double x = r.left() + w * (0.32 + 0.15 * i);
        p.drawRect(QRectF(x, r.top() + h * 0.32, w * 0.06, h * 0.56));
    }
    p.restore();
}

void schloss(QPainter& p, const QRectF& r, bool offen) {
    const double w = r.width(), h = r.height();
    QPen pen(Qt::black, std::max(2.0, w * 0.14));
    p.save();
    p.setPen(pen);
    p.setBrush(Qt::NoBrush);
    const QRectF bow(r.left() + w * 0.22, r.top() + (offen ? 0.0 : h * 0.06), w * 0.56, h * 0.55);
    if (offen)
        p.drawArc(bow.translated(w * 0.18, 0), 0 * 16, 180 * 16);
    else
        p.drawArc(bow, 0 * 16, 180 * 16);
    p.drawLine(QPointF(bow.right() + (offen ? w * 0.18 : 0), bow.center().y()),
               QPointF(bow.right() + (offen ? w * 0.18 : 0), bow.center().y() + h * (offen ? 0.02 : 0.12)));
    if (!offen) p.drawLine(QPointF(bow.left(), bow.center().y()), QPointF(bow.left(), bow.center().y() + h * 0.12));
    p.restore();
    p.drawRoundedRect(QRectF(r.left() + w * 0.08, r.top() + h * 0.45, w * 0.84, h * 0.55), w * 0.08, w * 0.08);
    p.save();
    p.setBrush(Qt::white);
    p.drawEllipse(QPointF(r.center().x(), r.top() + h * 0.68), w * 0.08, w * 0.08);
    p.drawRect(QRectF(r.center().x() - w * 0.03, r.top() + h * 0.68, w * 0.06, h * 0.18));
    p.restore();
}

void fragezeichen(QPainter& p, const QRectF& r) {
    const double w = r.width(), h = r.height();
    p.save();
    p.setPen(QPen(Qt::black, std::max(2.0, w * 0.18), Qt::SolidLine, Qt::FlatCap));
    p.setBrush(Qt::NoBrush);
    const QRectF bow(r.left() + w * 0.15, r.top(), w * 0.7, h * 0.45);
    p.drawArc(bow.adjusted(w * 0.09, w * 0.09, -w * 0.09, -w * 0.09), -60 * 16, 240 * 16);
    p.drawLine(QPointF(r.center().x(), r.top() + h * 0.43), QPointF(r.center().x(), r.top() + h * 0.68));
    p.restore();
    p.drawEllipse(QPointF(r.center().x(), r.bottom() - h * 0.1), w * 0.12, w * 0.12);
}

void smiley(QPainter& p, const QRectF& r) {
    const double d = std::min(r.width(), r.height());
    const QRectF c(r.center().x() - d / 2, r.center().y() - d / 2, d, d);
    p.drawEllipse(c);
    p.save();
    p.setBrush(Qt::white);
    p.setPen(Qt::NoPen);
    p.drawEllipse(QPointF(c.left() + d * 0.33, c.top() + d * 0.36), d * 0.08, d * 0.11);
    p.drawEllipse(QPointF(c.left() + d * 0.67, c.top() + d * 0.36), d * 0.08, d * 0.11);
    p.setPen(QPen(Qt::white, std::max(2.0, d * 0.08), Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(c.left() + d * 0.22, c.top() + d * 0.3, d * 0.56, d * 0.5), -20 * 16, -140 * 16);
    p.restore();
}

void note(QPainter& p, const QRectF& r) {
    const double w = r.width(), h = r.height();
    p.save();
    p.translate(r.left() + w * 0.35, r.bottom() - h * 0.16);
    p.rotate(-20);
    p.drawEllipse(QPointF(0, 0), w * 0.26, h * 0.15);
    p.restore();
    p.drawRect(QRectF(r.left() + w * 0.55, r.top(), w * 0.1, h * 0.82));
    QPainterPath flag;
    flag.moveTo(r.left() + w * 0.6, r.top());
    flag.cubicTo(r.left() + w * 0.7, r.top() + h * 0.2, r.right(), r.top() + h * 0.25, r.right() - w * 0.05, r.top() + h * 0.5);
    flag.cubicTo(r.right() - w * 0.1, r.top() + h * 0.35, r.left() + w * 0.75, r.top() + h * 0.3, r.left() + w * 0.6, r.top() + h * 0.25);
    flag.closeSubpath();
    p.drawPath(flag);
}

// A game anew: a board of three by three fields with a mark in the middle, and beside
// it an arrow going round.
void neuesSpiel(QPainter& p, const QRectF& r) {
    const double h = r.height();
    const QRectF brett(r.left(), r.top(), std::min(h, r.width() * 0.5), h);
    const double s = brett.width(), bar = std::max(2.0, s * 0.1);
    for (int i = 1; i <= 2; ++i) {
        p.drawRect(QRectF(brett.left() + i * s / 3 - bar / 2, brett.top(), bar, h));
        p.drawRect(QRectF(brett.left(), brett.top() + i * h / 3 - bar / 2, s, bar));
    }
    QPainterPath ring;
    ring.setFillRule(Qt::OddEvenFill);
    ring.addEllipse(brett.center(), s / 6 - bar / 2, h / 6 - bar / 2);
    ring.addEllipse(brett.center(), s / 12, h / 12);
    p.drawPath(ring);

    const double d = std::min(h, r.right() - brett.right() - s * 0.15);
    const QRectF kreis(r.right() - d, r.center().y() - d / 2, d, d);
    const double dicke = std::max(2.0, d * 0.18);
    p.save();
    p.setPen(QPen(Qt::black, dicke, Qt::SolidLine, Qt::FlatCap));
    p.setBrush(Qt::NoBrush);
    const QRectF bahn = kreis.adjusted(dicke / 2, dicke / 2, -dicke / 2, -dicke / 2);
    p.drawArc(bahn, 90 * 16, 270 * 16);
    p.restore();
    // The head at the arc's end, at the top, pointing left (onwards round the circle).
    const QPointF ende(bahn.center().x(), bahn.top());
    QPainterPath spitze;
    spitze.moveTo(ende.x() - dicke * 1.6, ende.y());
    spitze.lineTo(ende.x() + dicke * 0.2, ende.y() - dicke * 1.5);
    spitze.lineTo(ende.x() + dicke * 0.2, ende.y() + dicke * 1.5);
    spitze.closeSubpath();
    p.drawPath(spitze);
}

// A door frame on the right, and an arrow from it out to the left.
void schliessen(QPainter& p, const QRectF& r) {
    const double w = r.width(), h = r.height();
    const QRectF tuer(r.left() + w * 0.6, r.top(), w * 0.4, h);
    QPainterPath rahmen;
    rahmen.setFillRule(Qt::OddEvenFill);
    rahmen.addRect(tuer);
    rahmen.addRect(tuer.adjusted(w * 0.08, h * 0.12, -w * 0.08, 0));
    p.drawPath(rahmen);
    const double my = r.center().y(), schaft = h * 0.14, spitze = w * 0.3;
    QPainterPath pfeil;
    pfeil.moveTo(r.left(), my);
    pfeil.lineTo(r.left() + spitze, r.top() + h * 0.12);
    pfeil.lineTo(r.left() + spitze, my - schaft);
    pfeil.lineTo(tuer.center().x(), my - schaft);
    pfeil.lineTo(tuer.center().x(), my + schaft);
    pfeil.lineTo(r.left() + spitze, my + schaft);
    pfeil.lineTo(r.left() + spitze, r.bottom() - h * 0.12);
    pfeil.closeSubpath();
    p.drawPath(pfeil);
}

}  // namespace

QImage zeichne(Motiv m, int widthPx, int heightPx) {
    QImage img(std::max(widthPx, 1), std::max(heightPx, 1), QImage::Format_RGB32);
    img.fill(Qt::white);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::black);
    const double mx = img.width() * 0.14, my = img.height() * 0.14;
    const QRectF r(mx, my, img.width() - 2 * mx, img.height() - 2 * my);
    switch (m) {
    case Motiv::PfeilHoch: pfeil(p, r, true); break;
    case Motiv::PfeilRunter: pfeil(p, r, false); break;
    case Motiv::Uebernehmen: uebernehmen(p, r); break;
    case Motiv::Muelleimer: muelleimer(p, r); break;
    case Motiv::SchlossAuf: schloss(p, r, true); break;
    case Motiv::SchlossZu: schloss(p, r, false); break;
    case Motiv::Fragezeichen: fragezeichen(p, r); break;
    case Motiv::Smiley: smiley(p, r); break;
    case Motiv::Note: note(p, r); break;
    case Motiv::NeuesSpiel: neuesSpiel(p, r); break;
    case Motiv::Schliessen: schliessen(p, r); break;
    }
    return img;
}

}  // namespace Bilder
