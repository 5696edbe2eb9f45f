#include "platform/instancelock.h"

#include "platform/program.h"

#include <QFile>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

namespace platform {

InstanceLock::~InstanceLock() {
    if (fd_ >= 0) ::close(fd_);
}

namespace {
QString reasonOf(const char* what, int error) {
    return QString::fromUtf8(what) + QStringLiteral(" (") + QString::fromLocal8Bit(std::strerror(error)) +
           QLatin1Char(')');
}

// The process that holds an flock on the file, as the kernel lists it; 0 when not listed.
qint64 flockHolder(int fd) {
    struct stat st {};
    if (::fstat(fd, &st) != 0) return 0;
    QFile locks(QStringLiteral("/proc/locks"));
    if (!locks.open(QIODevice::ReadOnly | QIODevice::Text)) return 0;
    // "1: FLOCK  ADVISORY  WRITE 1234 08:01:5678 0 EOF"; a waiter's line has "->" after the number.
    const QByteArray id = QByteArray::number(major(st.st_dev), 16).rightJustified(2, '0') + ':' +
                          QByteArray::number(minor(st.st_dev), 16).rightJustified(2, '0') + ':' +
                          QByteArray::number(quint64(st.st_ino));
    // Read whole: a file of /proc tells no size.
    for (const QByteArray& line : locks.readAll().split('\n')) {
        const QList<QByteArray> f = line.simplified().split(' ');
        if (f.size() >= 6 && f[1] == "FLOCK" && f[5] == id) return f[4].toLongLong();
    }
    return 0;
}
}  // namespace

InstanceLock::Result InstanceLock::take(const QString& file) {
    if (fd_ >= 0) return Result::Taken;
    holder_ = 0;
    error_.clear();
    const QByteArray name = QFile::encodeName(file);
    // Close-on-exec: a file manager or mail program started by the kiosk must not keep the lock alive.
    int fd = ::open(name.constData(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOCTTY, 0600);
    bool writable = fd >= 0;
    if (fd < 0) {
        // A file there that may not be written (a read-only mount, a file locked away): flock
        // takes a read-only descriptor too. A file of another kind stays refused.
        const int error = errno;
        struct stat st {};
        if (::stat(name.constData(), &st) != 0) {
            error_ = reasonOf("nicht anlegbar", error);
            return Result::Failed;
        }
        if (!S_ISREG(st.st_mode)) {
            error_ = reasonOf("nicht zu öffnen", error);
            return Result::Failed;
        }
        fd = ::open(name.constData(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
        if (fd < 0) {
            error_ = reasonOf("vorhanden, aber nicht zu öffnen", errno);
            return Result::Failed;
        }
    }
    int r;
    while ((r = ::flock(fd, LOCK_EX | LOCK_NB)) != 0 && errno == EINTR) {
    }
    if (r != 0) {
        const int error = errno;
        if (error == EWOULDBLOCK) {
            // A holder on a read-only file could not write its number: the file may name an
            // earlier kiosk, so the kernel's list of locks goes first.
            holder_ = flockHolder(fd);
            if (holder_ == 0) {
                char text[32] = {};
                const ssize_t n = ::pread(fd, text, sizeof text - 1, 0);
                if (n > 0) holder_ = QByteArray(text, int(n)).trimmed().toLongLong();
            }
        }
        ::close(fd);
        if (error == EWOULDBLOCK) return Result::Held;
        error_ = reasonOf("nicht sperrbar", error);
        return Result::Failed;
    }
    // Who holds it, for the line of a second start; the lock itself does not depend on it.
    if (writable) {
        const QByteArray pid = QByteArray::number(qint64(::getpid())) + '\n';
        if (::ftruncate(fd, 0) == 0) (void)::pwrite(fd, pid.constData(), size_t(pid.size()), 0);
    }
    fd_ = fd;
    return Result::Taken;
}

QString instanceLockFile() { return dataPath() + QLatin1Char('/') + appTitle() + QStringLiteral(".lock"); }

}  // namespace platform
