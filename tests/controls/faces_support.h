#pragma once
// Pictures for the touch button tests, drawn in code: black shapes on white.
#include "controls/Funbutton/modBilddrehen.h"

#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <cstdint>

namespace faces_test {

inline QImage weiss(int w, int h) {
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(Qt::white);
    return img;
}

inline QImage schwarz(int w, int h) {
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(Qt::black);
    return img;
}

// A round button shape with an arrow cut out, as the kiosk's pictures look.
inline QImage pfeilknopf(int size) {
    QImage img = weiss(size, size);
    QPainter g(&img);
    g.setPen(Qt::NoPen);
    g.setBrush(Qt::black);
    g.drawEllipse(QRectF(size * 0.05, size * 0.05, size * 0.9, size * 0.9));
    QPainterPath pfeil;
    pfeil.moveTo(size * 0.5, size * 0.2);
    pfeil.lineTo(size * 0.8, size * 0.55);
    pfeil.lineTo(size * 0.62, size * 0.55);
    pfeil.lineTo(size * 0.62, size * 0.8);
    pfeil.lineTo(size * 0.38, size * 0.8);
    pfeil.lineTo(size * 0.38, size * 0.55);
    pfeil.lineTo(size * 0.2, size * 0.55);
    pfeil.closeSubpath();
    g.setBrush(Qt::white);
    g.drawPath(pfeil);
    return img;
}

inline PixelArray lies(const QImage& img) {
    PixelArray p;
    GetArrFromHdl(p, img);
    return p;
}

// A colour value (&HBBGGRR) and the same colour in pixel order.
inline int32_t pix(int r, int g, int b) { return (r << 16) | (g << 8) | b; }

}  // namespace faces_test
