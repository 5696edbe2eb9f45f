#include "platform/instancelock.h"

#include "platform/program.h"

#include <QFile>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace platform {

InstanceLock::~InstanceLock() {
    if (fd_ >= 0) ::close(fd_);
}

InstanceLock::Result InstanceLock::take(const QString& file) {
    if (fd_ >= 0) return Result::Taken;
    holder_ = 0;
    error_.clear();
    // Close-on-exec: a file manager or mail program started by the kiosk must not keep the lock alive.
    const int fd = ::open(QFile::encodeName(file).constData(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOCTTY, 0600);
    if (fd < 0) {
        error_ = QString::fromLocal8Bit(std::strerror(errno));
        return Result::Failed;
    }
    int r;
    while ((r = ::flock(fd, LOCK_EX | LOCK_NB)) != 0 && errno == EINTR) {
    }
    if (r != 0) {
        const int error = errno;
        if (error == EWOULDBLOCK) {
            char text[32] = {};
            const ssize_t n = ::pread(fd, text, sizeof text - 1, 0);
            if (n > 0) holder_ = QByteArray(text, int(n)).trimmed().toLongLong();
        }
        ::close(fd);
        if (error == EWOULDBLOCK) return Result::Held;
        error_ = QString::fromLocal8Bit(std::strerror(error));
        return Result::Failed;
    }
    // Who holds it, for the line of a second start; the lock itself does not depend on it.
    const QByteArray pid = QByteArray::number(qint64(::getpid())) + '\n';
    if (::ftruncate(fd, 0) == 0) (void)::pwrite(fd, pid.constData(), size_t(pid.size()), 0);
    fd_ = fd;
    return Result::Taken;
}

QString instanceLockFile() { return dataPath() + QLatin1Char('/') + appTitle() + QStringLiteral(".lock"); }

}  // namespace platform
