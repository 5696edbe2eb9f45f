#pragma once
// The printer: one document of plain lines. Tests capture the lines or print
// into a PDF file instead of a real printer.
#include <QString>
#include <QStringList>
#include <functional>

namespace platform {

// Prints the lines as one document and ends the job; false when nothing could be printed.
bool printLines(const QStringList& lines);

// Tests: receives the lines instead of any printer; its result is printLines' result.
using PrintHook = std::function<bool(const QStringList&)>;
void setPrintHook(PrintHook h);
// Tests: print into this PDF file instead of the default printer ("" restores it).
void setPrintToPdf(const QString& file);

}  // namespace platform
