#pragma once
// Binary access to a song file, as the forms runtime's "Open ... For Binary" gives it:
// positions count from 1, a failure is a runtime error (53 missing, 70 no permission,
// 57 device error, 75 anything else). Never creates a file; anything but a plain file
// (a folder, a pipe) is refused, so that no read can block.
#include <QByteArray>
#include <QString>
#include <cstdint>
#include <functional>

namespace platform {

class BinaryFile {
public:
    BinaryFile(const QString& path, bool forWriting);
    ~BinaryFile();
    BinaryFile(const BinaryFile&) = delete;
    BinaryFile& operator=(const BinaryFile&) = delete;

    int64_t length() const { return length_; }
    // n bytes from position pos; fewer than n is error 62.
    QByteArray read(int64_t pos, int n) const;
    // Fewer bytes written than given is error 61.
    void write(int64_t pos, const QByteArray& bytes) const;

private:
    QString path_;
    int fd_ = -1;
    int64_t length_ = 0;
};

// Raises what opening the file for reading would raise, without opening it: the scan
// asks this of every song, so it looks the name up in its open folder only.
void checkReadable(const QString& path, int dirFd, const QByteArray& name);

// The runtime error number for an errno of a file operation.
int fileErrorNumber(int e);

// Tests: opening or reading the files the hook picks fails with the errno it returns
// (0: no fault), as a bad disk or a missing permission makes it fail.
using FileFault = std::function<int(const QString& path)>;
void setFileFault(FileFault f);

}  // namespace platform
