#include "platform/printer.h"

#include "platform/fonts.h"
#include "platform/program.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPrinter>

namespace platform {
namespace {
PrintHook g_hook;
QString g_pdf;
}  // namespace

void setPrintHook(PrintHook h) { g_hook = std::move(h); }
void setPrintToPdf(const QString& file) { g_pdf = file; }

bool printLines(const QStringList& lines) {
    if (g_hook) return g_hook(lines);
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(appTitle());
    if (!g_pdf.isEmpty()) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(g_pdf);
    } else if (!printer.isValid() || printer.outputFormat() != QPrinter::NativeFormat) {
        return false;  // no system printer: Qt would fall back to a nameless PDF
    }
    QPainter p;
    if (!p.begin(&printer)) return false;
    // A fixed-pitch face keeps the 20-blank continuation lines aligned.
    p.setFont(vbFont(QStringLiteral("Courier New"), 9));
    const QRect page = printer.pageLayout().paintRectPixels(printer.resolution());
    const int lineHeight = QFontMetrics(p.font(), &printer).lineSpacing();
    int y = 0;
    for (const QString& line : lines) {
        if (y + lineHeight > page.height()) {
            if (!printer.newPage()) return false;
            y = 0;
        }
        p.drawText(QRect(0, y, page.width(), lineHeight), Qt::TextExpandTabs | Qt::TextSingleLine, line);
        y += lineHeight;
    }
    return p.end();
}

}  // namespace platform
