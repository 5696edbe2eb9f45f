#include "controls/Funbutton/modBilddrehen.h"

#include "base/ErrorHandler.h"
#include "platform/runtime.h"

#include <QPainter>
#include <cstring>

void PixelArray::redim(int width, int height, int32_t fill) {
    if (width < 0 || height < 0) platform::raise(9);
    px_.assign(static_cast<size_t>(width) * static_cast<size_t>(height), fill);
    w_ = width;
    h_ = height;
}

int PixelArray::ubound1() const {
    if (!dimensioned()) platform::raise(9);
    return w_ - 1;
}

int PixelArray::ubound2() const {
    if (!dimensioned()) platform::raise(9);
    return h_ - 1;
}

int32_t PixelArray::get(int x, int y) const {
    if (!inside(x, y)) platform::raise(9);
    return (*this)(x, y);
}

void PixelArray::set(int x, int y, int32_t v) {
    if (!inside(x, y)) platform::raise(9);
    (*this)(x, y) = v;
}

void PixelArray::fill(int32_t v) { std::fill(px_.begin(), px_.end(), v); }

namespace {

// The picture as 32 bits per pixel, transparent parts white.
QImage flattened(const QImage& src) {
    if (!src.hasAlphaChannel()) return src.convertToFormat(QImage::Format_RGB32);
    QImage out(src.size(), QImage::Format_RGB32);
    out.fill(Qt::white);
    QPainter g(&out);
    g.drawImage(0, 0, src);
    g.end();
    return out;
}

}  // namespace

void GetArrFromHdl(PixelArray& p, const QImage& Hdl) {
    ErrPtnr::CallStack("[modBilddrehen] Public Sub GetArrFromHdl(p&(), ByVal Hdl&)");
    ErrPtnr::CallStackParam("Hdl&", Hdl.isNull() ? qint64(0) : qint64(Hdl.cacheKey()));
    ErrPtnr::CallStackParam("p&()", TraceValue::array());
    withErrorHandler("modBilddrehen", "GetArrFromHdl", [&](ErrorHandler& on) {
        on([&] { p.redim(1, 1, 0); });
        if (Hdl.isNull() || Hdl.width() == 0 || Hdl.height() == 0) return;
        QImage img;
        on([&] { img = flattened(Hdl); });
        if (img.isNull()) return;
        on([&] {
            p.redim(img.width(), img.height());
            for (int y = 0; y < img.height(); ++y) {
                const auto* row = reinterpret_cast<const uint32_t*>(img.constScanLine(y));
                int32_t* dst = &p(0, y);
                // The top byte is alpha in the image; the array holds 0 there.
                for (int x = 0; x < img.width(); ++x) dst[x] = static_cast<int32_t>(row[x] & 0x00FFFFFFu);
            }
        });
    });
}

QImage ArrToImage(const PixelArray& p) {
    if (!p.dimensioned()) return QImage();
    QImage img(p.width(), p.height(), QImage::Format_RGB32);
    for (int y = 0; y < p.height(); ++y) {
        auto* row = reinterpret_cast<uint32_t*>(img.scanLine(y));
        const int32_t* src = p.data() + static_cast<size_t>(y) * p.width();
        for (int x = 0; x < p.width(); ++x) row[x] = static_cast<uint32_t>(src[x]) | 0xFF000000u;
    }
    return img;
}

void DrawArr(const PixelArray& p, QPainter& DstDc) {
    ErrPtnr::CallStack("[modBilddrehen] Public Sub DrawArr(p&(), DstDc&)");
    ErrPtnr::CallStackParam("DstDc&", TraceValue::object("QPainter"));
    ErrPtnr::CallStackParam("p&()", TraceValue::array());
    // Every failure here is passed over: nothing is reported.
    if (!p.dimensioned() || !DstDc.isActive()) return;
    try {
        DstDc.drawImage(0, 0, ArrToImage(p));
    } catch (...) {
    }
}
