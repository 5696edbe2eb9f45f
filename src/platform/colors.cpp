#include "platform/colors.h"

#include <QApplication>
#include <QPalette>

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

}  // namespace platform
