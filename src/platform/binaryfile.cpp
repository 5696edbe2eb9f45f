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

int injected(const QString& path) { return fault() ? fault()(path) : 0; }

}  // namespace

int fileErrorNumber(int e) {
    switch (e) {
    case ENOENT:
    case ENOTDIR: return 53;
    case EACCES:
    case EPERM:
    case EROFS: return 70;
    case EIO: return 57;
    case ENOSPC:
    case EFBIG:
    case EDQUOT: return 61;
    default: return 75;
    }
}

void setFileFault(FileFault f) { fault() = std::move(f); }

BinaryFile::BinaryFile(const QString& path, bool forWriting) : path_(path) {
    if (const int e = injected(path)) raise(fileErrorNumber(e));
    const QByteArray name = path.toUtf8();
    fd_ = ::open(name.constData(), (forWriting ? O_RDWR : O_RDONLY) | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd_ < 0) raise(fileErrorNumber(errno));
    struct stat st {};
    if (::fstat(fd_, &st) != 0) raise(fileErrorNumber(errno));
    if (!S_ISREG(st.st_mode)) raise(75);
    length_ = st.st_size;
}

void checkReadable(const QString& path, int dirFd, const QByteArray& name) {
    if (const int e = injected(path)) raise(fileErrorNumber(e));
    if (::faccessat(dirFd, name.constData(), R_OK, 0) != 0) raise(fileErrorNumber(errno));
}

BinaryFile::~BinaryFile() {
    if (fd_ >= 0) ::close(fd_);
}

QByteArray BinaryFile::read(int64_t pos, int n) const {
    if (pos < 1) raise(52);
    if (const int e = injected(path_)) raise(fileErrorNumber(e));
    QByteArray b(n, Qt::Uninitialized);
    ssize_t got;
    do {
        got = ::pread(fd_, b.data(), static_cast<size_t>(n), pos - 1);
    } while (got < 0 && errno == EINTR);
    if (got < 0) raise(fileErrorNumber(errno));
    if (got < n) raise(62);
    return b;
}

void BinaryFile::write(int64_t pos, const QByteArray& bytes) const {
    if (pos < 1) raise(52);
    ssize_t put;
    do {
        put = ::pwrite(fd_, bytes.constData(), static_cast<size_t>(bytes.size()), pos - 1);
    } while (put < 0 && errno == EINTR);
    if (put < 0) raise(fileErrorNumber(errno));
    if (put < bytes.size()) raise(61);
}

}  // namespace platform
