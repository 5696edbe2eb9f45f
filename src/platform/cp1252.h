#pragma once
// Windows-1252, the code page of the tag texts: one byte per character.
// Bytes 81, 8D, 8F, 90 and 9D have no character of their own and stand for the
// control characters of the same number, so every byte reads back as written.
#include <QByteArray>
#include <QByteArrayView>
#include <QString>

namespace cp1252 {

QString decode(QByteArrayView bytes);
// One byte per character (a character outside the code page becomes "?"), at most
// maxChars characters; characters are code points, so a surrogate pair is one.
QByteArray encode(const QString& text, qsizetype maxChars = -1);

// The text of one of the program's own files: UTF-8, or Windows-1252 when the bytes are
// no valid UTF-8 (older versions and Windows editors wrote the Windows code page); a
// leading byte-order mark is dropped.
QString fileText(const QByteArray& bytes);

}  // namespace cp1252
