#include "platform/wholefile.h"

#include "platform/binaryfile.h"
#include "platform/runtime.h"

#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {
namespace {

struct Fd {
    int fd;
    ~Fd() {
        if (fd >= 0) ::close(fd);
    }
};

// 0, or the errno of the write that failed.
int writeAll(int fd, const QByteArray& bytes) {
    for (qsizetype done = 0; done < bytes.size();) {
        const ssize_t n = ::write(fd, bytes.constData() + done, size_t(bytes.size() - done));
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return errno;
        if (n == 0) return ENOSPC;
        done += n;
    }
    return 0;
}

// Why a file cannot be made in a folder that is not there: its nearest existing ancestor is a
// file, or a folder that cannot be written (so the folder could not be made), or it is missing.
int missingFolderErrno(const QString& folder) {
    QString p = folder;
    while (!QFileInfo::exists(p)) {
        const QString up = QFileInfo(p).absolutePath();
        if (up == p) return ENOENT;
        p = up;
    }
    if (!QFileInfo(p).isDir()) return ENOTDIR;
    if (const int e = fileFault(p)) return e;
    if (::faccessat(AT_FDCWD, QFile::encodeName(p).constData(), W_OK | X_OK, AT_EACCESS) != 0) return errno;
    return ENOENT;
}

[[noreturn]] void raiseWriteError(int e, const QString& path) {
    raiseFileError(e == ENOENT ? missingFolderErrno(QFileInfo(path).absolutePath()) : e, FileAccess::Write);
}

}  // namespace

QByteArray readWholeFile(const QString& path) {
    if (const int e = fileFault(path)) raiseFileError(e);
    const Fd f{::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK)};
    if (f.fd < 0) raiseFileError(errno);
    QByteArray bytes;
    char buffer[65536];
    for (;;) {
        const ssize_t n = ::read(f.fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) raiseFileError(errno);
        if (n == 0) return bytes;
        bytes.append(buffer, n);
    }
}

void replaceWholeFile(const QString& path, const QByteArray& bytes) {
    if (const int e = fileFault(path)) raiseWriteError(e, path);
    // A link is followed: the file it names is replaced, the link stays.
    QFileInfo file(path);
    for (int depth = 0; depth < 40 && file.isSymLink(); ++depth) file.setFile(file.symLinkTarget());
    const QString real = file.absoluteFilePath();
    const QByteArray target = QFile::encodeName(real);
    QByteArray temp;
    int fd = -1;
    for (int n = 0; fd < 0 && n < 100; ++n) {
        temp = target + ".tmp" + QByteArray::number(::getpid()) + '_' + QByteArray::number(n);
        fd = ::open(temp.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOCTTY, 0666);
        if (fd < 0 && errno != EEXIST) break;
    }
    if (fd < 0) raiseWriteError(errno, real);
    // The old file's permissions stay, but its owner can always read and write the new one
    // (a file found read-only or at mode 000, or a umask that leaves the owner nothing).
    struct stat old {};
    if (::stat(target.constData(), &old) == 0 || ::fstat(fd, &old) == 0) {
        [[maybe_unused]] const int kept = ::fchmod(fd, (old.st_mode & 07777) | S_IRUSR | S_IWUSR);
    }
    int e = writeAll(fd, bytes);
    // On the disk before the rename: after a power cut the name holds the old list or the new one.
    if (!e && ::fdatasync(fd) != 0 && errno != EINVAL) e = errno;
    if (::close(fd) != 0 && !e) e = errno;
    if (!e && ::rename(temp.constData(), target.constData()) != 0) e = errno;
    if (e) {
        ::unlink(temp.constData());
        raiseWriteError(e, real);
    }
}

void appendWholeFile(const QString& path, const QByteArray& bytes) {
    if (const int e = fileFault(path)) raiseWriteError(e, path);
    const Fd f{::open(QFile::encodeName(path).constData(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC | O_NOCTTY, 0666)};
    if (f.fd < 0) raiseWriteError(errno, path);
    struct stat st {};
    const bool plain = ::fstat(f.fd, &st) == 0 && S_ISREG(st.st_mode);
    if (const int e = writeAll(f.fd, bytes)) {
        if (plain) {
            [[maybe_unused]] const int cut = ::ftruncate(f.fd, st.st_size);
        }
        raiseWriteError(e, path);
    }
}

}  // namespace platform
