#pragma once
// One kiosk per user at a time: an exclusive lock (flock) on a file in the user's data
// folder. The system drops the lock when its process ends in any way, a kill -9 included,
// so a kiosk that died never blocks the next start.
#include <QString>

namespace platform {

class InstanceLock {
public:
    enum class Result { Taken, Held, Failed };
    InstanceLock() = default;
    ~InstanceLock();
    InstanceLock(const InstanceLock&) = delete;
    InstanceLock& operator=(const InstanceLock&) = delete;

    // Takes the lock on the file (made when missing) without waiting; a file that may not be
    // written (a read-only data folder) is locked all the same. Held: another process has it;
    // Failed: the file cannot be made, opened or locked (error() says which, and why).
    Result take(const QString& file);
    // After Held: the holder's process id as the system lists the lock (else as the holder
    // wrote it into the file), 0 when unknown.
    qint64 holder() const { return holder_; }
    // German, as in "nicht anlegbar (Read-only file system)".
    QString error() const { return error_; }

private:
    int fd_ = -1;
    qint64 holder_ = 0;
    QString error_;
};

// The lock file of this program: <data folder>/<executable name>.lock.
QString instanceLockFile();

}  // namespace platform
