#pragma once
// The program's own small files (the playlist, the error protocol), read and written whole.
// A failure is a runtime error by what the system said (fileErrorNumber): a folder that cannot
// be written is 70, a full disk 61, a missing folder 76, a missing file to read 53. The test
// hook of binaryfile.h (setFileFault) fails them as it fails the song files.
#include <QByteArray>
#include <QString>

namespace platform {

QByteArray readWholeFile(const QString& path);
// Written to a temporary file beside the old one and renamed over it: a crash, a power cut or
// a full disk leaves the old file or the new one, never a part. A missing folder is not made.
void replaceWholeFile(const QString& path, const QByteArray& bytes);
// Appended whole or not at all: a short write is cut off again, so the file never ends in
// the middle of a line. The file is made when missing.
void appendWholeFile(const QString& path, const QByteArray& bytes);

}  // namespace platform
