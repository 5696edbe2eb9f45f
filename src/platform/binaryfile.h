#pragma once
// Binary access to a song file, as the forms runtime's "Open ... For Binary" gives it:
// positions count from 1, a failure is a runtime error by its errno (fileErrorNumber).
// Never creates a file; anything but a plain file (a folder, a pipe) is refused, so that
// no read can block.
#include <QByteArray>
#include <QString>
#include <cstdint>
#include <functional>

namespace platform {

class BinaryFile {
public:
    BinaryFile(const QString& path, bool forWriting);
    // For reading, the entry name of the open folder dirFd; path is its full path,
    // which errors and the test hook go by. The scan opens its songs this way: no
    // lookup of the whole path per file.
    BinaryFile(int dirFd, const QByteArray& name, const QString& path);
    ~BinaryFile();
    BinaryFile(const BinaryFile&) = delete;
    BinaryFile& operator=(const BinaryFile&) = delete;

    int64_t length() const { return length_; }
    // n bytes from position pos; fewer than n is error 62.
    QByteArray read(int64_t pos, int n) const;
    // Fewer bytes written than given is error 61.
    void write(int64_t pos, const QByteArray& bytes) const;

private:
    void open(int dirFd, const char* name, int flags);

    QString path_;
    int fd_ = -1;
    int64_t length_ = 0;
};

// Tests: opening or reading the files the hook picks, and writing those of wholefile.h, fails
// with the errno it returns (0: no fault), as a bad disk or a missing permission makes it fail.
using FileFault = std::function<int(const QString& path)>;
void setFileFault(FileFault f);
// The errno the hook gives for path (0: no fault); the scan asks it for its folders.
int fileFault(const QString& path);

}  // namespace platform
