#include "support/sicht.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace sicht {

double Leuchtdichte(QColor c) {
    auto kanal = [](int v) {
        const double s = v / 255.0;
        return s <= 0.03928 ? s / 12.92 : std::pow((s + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * kanal(c.red()) + 0.7152 * kanal(c.green()) + 0.0722 * kanal(c.blue());
}

double Kontrast(QColor a, QColor b) {
    const double la = Leuchtdichte(a), lb = Leuchtdichte(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

double Spannweite(const QImage& img, const QRect& area) {
    const QRect r = area.intersected(img.rect());
    double lo = 1, hi = 0;
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x) {
            const double l = Leuchtdichte(img.pixelColor(x, y));
            lo = std::min(lo, l);
            hi = std::max(hi, l);
        }
    return hi < lo ? 1.0 : (hi + 0.05) / (lo + 0.05);
}

QRect Tinte(const QImage& img, const QRect& area, QColor grund) {
    const QRect r = area.intersected(img.rect());
    QRect box;
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x) {
            const QColor c = img.pixelColor(x, y);
            const int d = std::abs(c.red() - grund.red()) + std::abs(c.green() - grund.green()) +
                          std::abs(c.blue() - grund.blue());
            if (d > 60) box |= QRect(x, y, 1, 1);
        }
    return box;
}

double Fuellanteil(const QImage& img, QPoint grundAn) {
    const QRect box = Tinte(img, img.rect(), img.pixelColor(grundAn));
    return double(box.width()) * box.height() / (double(img.width()) * img.height());
}

}  // namespace sicht
