#pragma once
// Windows-1252, the code page of the tag texts: one byte per character.
// Bytes 81, 8D, 8F, 90 and 9D have no character of their own and stand for the
// control characters of the same number, so every byte reads back as written.
#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringList>

namespace cp1252 {

QString decode(QByteArrayView bytes);
// One byte per character (a character outside the code page becomes "?"), at most
// maxChars characters; characters are code points, so a surrogate pair is one.
QByteArray encode(const QString& text, qsizetype maxChars = -1);

// The lines of one of the program's own files, which an operator may edit, without their
// line ends.
// UTF-16 with a byte-order mark (Windows Notepad's "Unicode") reads as that. Otherwise each
// line is UTF-8, or Windows-1252 where it is no valid UTF-8: one line added in an older
// editor changes no other line. A leading UTF-8 byte-order mark is dropped.
QStringList fileLines(const QByteArray& bytes);

}  // namespace cp1252
