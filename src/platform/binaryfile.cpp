#include "platform/binaryfile.h"

#include "platform/runtime.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace {

FileFault& fault() {
    static FileFault f;
    return f;
}

}  // namespace

int fileFault(const QString& path) { return fault() ? fault()(path) : 0; }

void setFileFault(FileFault f) { fault() = std::move(f); }

BinaryFile::BinaryFile(const QString& path, bool forWriting) : path_(path) {
    open(AT_FDCWD, path.toUtf8().constData(), forWriting ? O_RDWR : O_RDONLY);
}

BinaryFile::BinaryFile(int dirFd, const QByteArray& name, const QString& path) : path_(path) {
    open(dirFd, name.constData(), O_RDONLY);
}

void BinaryFile::open(int dirFd, const char* name, int flags) {
    if (const int e = fileFault(path_)) raiseFileError(e);
    fd_ = ::openat(dirFd, name, flags | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd_ < 0) raiseFileError(errno);
    struct stat st {};
    const int error = ::fstat(fd_, &st) != 0 ? fileErrorNumber(errno) : !S_ISREG(st.st_mode) ? 75 : 0;
    if (error) {
        // A constructor that raises gets no destructor.
        ::close(fd_);
        fd_ = -1;
        raise(error);
    }
    length_ = st.st_size;
}

BinaryFile::~BinaryFile() {
    if (fd_ >= 0) ::close(fd_);
}

QByteArray BinaryFile::read(int64_t pos, int n) const {
    if (pos < 1) raise(52);
    if (const int e = fileFault(path_)) raiseFileError(e);
    QByteArray b(n, Qt::Uninitialized);
    ssize_t got;
    do {
        got = ::pread(fd_, b.data(), static_cast<size_t>(n), pos - 1);
    } while (got < 0 && errno == EINTR);
    if (got < 0) raiseFileError(errno);
    if (got < n) raise(62);
    return b;
}

void BinaryFile::write(int64_t pos, const QByteArray& bytes) const {
    if (pos < 1) raise(52);
    ssize_t put;
    do {
        put = ::pwrite(fd_, bytes.constData(), static_cast<size_t>(bytes.size()), pos - 1);
    } while (put < 0 && errno == EINTR);
    if (put < 0) raiseFileError(errno);
    if (put < bytes.size()) raise(61);
}

}  // namespace platform
