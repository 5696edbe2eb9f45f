#pragma once
// Song files for the tag tests: audio bytes followed by a tag block written byte for byte.
#include "support/testenv.h"
#include "support/testmedia.h"

#include <QByteArray>
#include <QFile>
#include <QString>

namespace tagtest {

// A tag block: "TAG", then title, artist (each blank-padded to 30 bytes, or raw), genre byte.
inline QByteArray tagBlock(const QByteArray& title, const QByteArray& artist, uint8_t genre,
                           const QByteArray& marker = "TAG") {
    QByteArray b = marker;
    b += title.leftJustified(30, ' ', true);
    b += artist.leftJustified(30, ' ', true);
    b += QByteArray(30, 'A') + QByteArray("1999") + QByteArray(30, 'C');  // album, year, comment
    b += char(genre);
    return b;
}

inline QString songWith(const QString& name, const QByteArray& tag, int audioBytes = 1000) {
    return testmedia::writeBytes(testenv::freshFolder("tags") + "/" + name,
                                 testmedia::silentMp3Bytes(1000).left(audioBytes) + tag);
}

inline QByteArray contents(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

}  // namespace tagtest

#include "platform/binaryfile.h"

#include <csignal>
#include <sys/resource.h>

namespace tagtest {

// Opening or reading one file fails with an errno while the scope lives: the
// permission or device errors that root never sees.
struct FileFault {
    FileFault(const QString& path, int error) {
        platform::setFileFault([path, error](const QString& p) { return p == path ? error : 0; });
    }
    ~FileFault() { platform::setFileFault({}); }
};

// Files may not grow past limit bytes while the scope lives: a write across it is
// cut short, as on a full disk.
struct FileSizeLimit {
    explicit FileSizeLimit(rlim_t limit) {
        ::getrlimit(RLIMIT_FSIZE, &old);
        oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit l = old;
        l.rlim_cur = limit;
        ::setrlimit(RLIMIT_FSIZE, &l);
    }
    ~FileSizeLimit() {
        ::setrlimit(RLIMIT_FSIZE, &old);
        std::signal(SIGXFSZ, oldHandler);
    }
    rlimit old{};
    void (*oldHandler)(int) = nullptr;
};

}  // namespace tagtest
