#include "platform/colors.h"

#include <QApplication>
#include <QPalette>
#include <algorithm>
#include <cmath>

namespace platform {

QColor vbColor(int32_t value) {
    const uint32_t v = static_cast<uint32_t>(value);
    if (v & 0x80000000u) {
        const QPalette p = QApplication::instance() ? QApplication::palette() : QPalette();
        switch (v & 0xFF) {
        case 5: return p.color(QPalette::Base);
        case 8: return p.color(QPalette::Text);
        case 0x0F: return p.color(QPalette::Button);
        case 0x12: return p.color(QPalette::ButtonText);
        case 0x0D: return p.color(QPalette::Highlight);
        case 0x0E: return p.color(QPalette::HighlightedText);
        default: return p.color(QPalette::Window);
        }
    }
    return QColor(v & 0xFF, (v >> 8) & 0xFF, (v >> 16) & 0xFF);
}

int32_t fromQColor(const QColor& c) { return RGB(c.red(), c.green(), c.blue()); }

double Leuchtdichte(const QColor& c) {
    auto linear = [](int v) {
        const double s = v / 255.0;
        return s <= 0.03928 ? s / 12.92 : std::pow((s + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * linear(c.red()) + 0.7152 * linear(c.green()) + 0.0722 * linear(c.blue());
}

double Kontrast(double l1, double l2) { return (std::max(l1, l2) + 0.05) / (std::min(l1, l2) + 0.05); }

QColor LesbareSchrift(const QColor& hintergrund) {
    // Black and white read equally well at a luminance of about 0.18.
    const double l = Leuchtdichte(hintergrund);
    return Kontrast(l, 0) >= Kontrast(l, 1) ? QColor(Qt::black) : QColor(Qt::white);
}

}  // namespace platform
