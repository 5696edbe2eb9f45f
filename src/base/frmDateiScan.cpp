// The song-folder scan of frmDatei.
#include "base/ErrPtnr.h"
#include "base/frmDatei.h"
#include "base/modStandard.h"
#include "platform/binaryfile.h"
#include "platform/clock.h"
#include "platform/dialogs.h"
#include "platform/guard.h"
#include "platform/runtime.h"

#include <QDir>
#include <QFileInfo>
#include <QScopedValueRollback>
#include <algorithm>
#include <cerrno>
#include <climits>
#include <dirent.h>
#include <fcntl.h>
#include <limits>
#include <optional>
#include <set>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>
#include <vector>

namespace {

bool g_running = false;
ScanReceiver* g_receiver = nullptr;  // the running scan's
unsigned g_generation = 0;           // the scan that may go on; an older one stops

struct Name {
    QString name;
    QString key;     // case-folded, for matching and ordering
    QByteArray raw;  // as the folder holds it
    bool operator<(const Name& o) const {
        const int c = key.compare(o.key);
        return c != 0 ? c < 0 : name < o.name;  // names that differ only in case keep a fixed order
    }
};

struct Scan {
    ScanReceiver& receiver;
    QString pattern;  // case-folded
    unsigned generation;
    std::set<std::pair<dev_t, ino_t>> visited;
    platform::PumpPacer pacer;
};

bool mustStop(const Scan& scan) { return scan.generation != g_generation || scan.receiver.stopRequested(); }

// "*" any run of characters, "?" exactly one; both strings case-folded.
bool matches(const QString& pattern, const QString& name) {
    const auto step = [](const QString& s, qsizetype i) {
        return i + 1 < s.size() && s[i].isHighSurrogate() && s[i + 1].isLowSurrogate() ? i + 2 : i + 1;
    };
    qsizetype p = 0, n = 0, starP = -1, starN = 0;
    while (n < name.size()) {
        if (p < pattern.size() && pattern[p] == QLatin1Char('*')) {
            starP = ++p;
            starN = n;
        } else if (p < pattern.size() && pattern[p] == QLatin1Char('?')) {
            p = step(pattern, p);
            n = step(name, n);
        } else if (p < pattern.size() && pattern[p] == name[n]) {
            ++p;
            ++n;
        } else if (starP >= 0) {
            p = starP;
            n = starN = step(name, starN);
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == QLatin1Char('*')) ++p;
    return p == pattern.size();
}

// Errors of the scan's single steps are passed over, except in the development
// environment, where they reach the caller.
template <class F>
void pass(bool ide, F&& step) {
    try {
        step();
    } catch (const platform::RuntimeError&) {
        if (ide) throw;
    } catch (const std::exception&) {
        if (ide) throw;
    }
}

int errorNumber(int e) {
    switch (e) {
    case ENOENT: return 76;
    case EACCES:
    case EPERM: return 70;
    default: return 75;
    }
}

// The path as the file system reports it: absolute, without "." and "..", no trailing "/".
QString folderPath(const QString& sFol) { return QDir::cleanPath(QFileInfo(sFol).absoluteFilePath()); }

QString join(const QString& folder, const QString& name) {
    return folder.endsWith(QLatin1Char('/')) ? folder + name : folder + QLatin1Char('/') + name;
}

struct FolderListing {
    std::vector<Name> files;    // matching the pattern
    std::vector<Name> folders;  // every subfolder, hidden ones too
};

// A name that is not valid UTF-8, as the trace file shows it: the bytes that are no
// character as \xHH, so the operator can find the file.
QString shownName(QByteArrayView raw) {
    QString out;
    for (qsizetype i = 0; i < raw.size();) {
        const auto c = static_cast<unsigned char>(raw[i]);
        const qsizetype n = c < 0x80 ? 1 : (c & 0xE0) == 0xC0 ? 2 : (c & 0xF0) == 0xE0 ? 3 : (c & 0xF8) == 0xF0 ? 4 : 0;
        if (n > 0 && i + n <= raw.size() && raw.sliced(i, n).isValidUtf8()) {
            out += QString::fromUtf8(raw.sliced(i, n));
            i += n;
        } else {
            out += QString::asprintf("\\x%02X", unsigned(c));
            ++i;
        }
    }
    return out;
}

const QString kNotUtf8 = QStringLiteral("Dateiname oder -nummer falsch: der Name ist kein gültiges UTF-8");
const QString kTooLong = QStringLiteral("Fehler beim Zugriff auf Pfad/Datei: der Pfad ist länger als erlaubt");

// One pass over the folder. A name that is not valid UTF-8 cannot be named by the
// program: a song or folder of such a name is passed over with a line in the trace file.
FolderListing list(const Scan& scan, int dirFd, const QString& folder) {
    FolderListing out;
    const int fd = ::dup(dirFd);
    if (fd < 0) platform::raise(errorNumber(errno));
    DIR* dir = ::fdopendir(fd);
    if (!dir) {
        ::close(fd);
        platform::raise(errorNumber(errno));
    }
    ::rewinddir(dir);
    while (const dirent* e = ::readdir(dir)) {
        const QByteArrayView raw(e->d_name);
        if (raw == "." || raw == "..") continue;
        bool isDir = e->d_type == DT_DIR;
        bool isFile = e->d_type == DT_REG;
        if (e->d_type == DT_LNK || e->d_type == DT_UNKNOWN) {
            struct stat st {};
            if (::fstatat(dirFd, e->d_name, &st, 0) == 0) {
                isDir = S_ISDIR(st.st_mode);
                isFile = S_ISREG(st.st_mode);
            } else {
                isFile = true;  // a dead link is listed; its length cannot be read
            }
        }
        if (!isDir && !isFile) continue;  // pipes, sockets, devices
        Name n{QString::fromUtf8(raw), {}, raw.toByteArray()};
        n.key = n.name.toCaseFolded();
        if (!isDir && !matches(scan.pattern, n.key)) continue;
        if (!raw.isValidUtf8()) {
            const QString shown = join(folder, shownName(raw));
            if (isDir)
                ErrPtnr::LogUnreadableFolder(shown, 52, kNotUtf8);
            else
                ErrPtnr::LogUnreadable(shown, 52, kNotUtf8);
            continue;
        }
        (isDir ? out.folders : out.files).push_back(std::move(n));
    }
    ::closedir(dir);
    std::sort(out.files.begin(), out.files.end());
    std::sort(out.folders.begin(), out.folders.end());
    return out;
}

class DirHandle {
public:
    // errno of a failed open in error().
    explicit DirHandle(const QByteArray& path)
        : error_(platform::fileFault(QString::fromUtf8(path))),
          fd_(error_ ? -1 : ::open(path.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)) {
        if (fd_ < 0 && !error_) error_ = errno;
    }
    ~DirHandle() {
        if (fd_ >= 0) ::close(fd_);
    }
    DirHandle(const DirHandle&) = delete;
    DirHandle& operator=(const DirHandle&) = delete;
    int fd() const { return fd_; }
    int error() const { return error_; }
    void close() {
        if (fd_ >= 0) ::close(fd_);
        fd_ = -1;
    }

private:
    int error_;
    int fd_;
};

void registerCall(const QString& sFol, const QString& sFile, int32_t nDirs, int32_t nFiles, bool WithSubfolders) {
    ErrPtnr::CallStack(QStringLiteral(
        "[frmDatei] Public Function FindFile(ByVal sFol As String, sFile As String,nDirs As Integer, nFiles As "
        "Integer, files() As String, WithSubfolders As Boolean) As Long"));
    ErrPtnr::CallStackParam(QStringLiteral("WithSubfolders"), WithSubfolders);
    ErrPtnr::CallStackParam(QStringLiteral("files()"), TraceValue::array());
    ErrPtnr::CallStackParam(QStringLiteral("nFiles"), nFiles);
    ErrPtnr::CallStackParam(QStringLiteral("nDirs"), nDirs);
    ErrPtnr::CallStackParam(QStringLiteral("sFile"), sFile);
    ErrPtnr::CallStackParam(QStringLiteral("sFol"), sFol);
}

constexpr int32_t kTotalLimit = 1500000000;

// The AppleDouble file that a Mac leaves beside every song ("._Lied.mp3") holds the
// song's Finder data, no audio. It is known by its first four bytes; only names of
// that form are read for them, as a read more per song would slow every scan.
bool isAppleDouble(const QByteArray& name, const platform::BinaryFile& f) {
    return name.startsWith("._") && f.length() >= 4 && f.read(1, 4) == QByteArrayView("\x00\x05\x16\x07", 4);
}

// Opens a listed song for reading, relative to its open folder. A song that cannot
// be read (no permission, gone since the listing, a path too long to be opened later)
// is passed over with one line in the trace file: a dialog would stop an unattended
// start-up. An AppleDouble file is no song and is passed over silently.
bool openSong(std::optional<platform::BinaryFile>& file, int dirFd, const Name& n, const QString& path,
              qsizetype folderBytes) {
    try {
        if (folderBytes + 1 + n.raw.size() >= PATH_MAX) throw platform::RuntimeError(75, kTooLong);
        file.emplace(dirFd, n.raw, path);
        if (!isAppleDouble(n.raw, *file)) return true;
    } catch (const platform::RuntimeError& e) {
        ErrPtnr::LogUnreadable(path, e.number(), e.description());
    }
    file.reset();
    return false;
}

// Serves window events once; true when the scan must stop.
bool yieldAndTest(Scan& scan) {
    scan.pacer.pump();
    return mustStop(scan);
}

int32_t scanFolder(Scan& scan, const QString& sFol, const QString& sFile, int32_t& nDirs, int32_t& nFiles,
                   QStringList& files, bool WithSubfolders) {
    if (sFol.isEmpty()) return 0;
    struct stat st {};
    const QByteArray native = sFol.toUtf8();
    const int statError = ::stat(native.constData(), &st) != 0 ? errno : 0;
    if (statError != 0 || !S_ISDIR(st.st_mode)) {
        // Such a folder can be neither opened nor shown: noted, not asked about.
        if (statError == ENAMETOOLONG) {
            ErrPtnr::LogUnreadableFolder(sFol, 75, kTooLong);
            return 0;
        }
        platform::MsgBox(QStringLiteral("Der angegebene Ordner \"") + sFol + QStringLiteral("\" wurde nicht gefunden!") +
                             QStringLiteral("\r\nBitte geben Sie beim Starten einen gültigen Ordner an!"),
                         platform::vbCritical + platform::vbOKOnly);
        return 0;
    }
    const QString folder = folderPath(sFol);
    if (sFol.contains(QLatin1String("System Volume Information"), Qt::CaseInsensitive)) return 0;
    // A link back into the tree reaches a folder already scanned: it ends there.
    if (!scan.visited.insert({st.st_dev, st.st_ino}).second) return 0;

    const QByteArray folderNative = folder.toUtf8();
    DirHandle dir(folderNative);
    if (dir.fd() < 0) {
        const int number = errorNumber(dir.error());
        ErrPtnr::LogUnreadableFolder(folder, number, platform::errorDescription(number));
        return 0;
    }
    const bool ide = IDEMode();
    int32_t total = 0;
    FolderListing listing;
    pass(ide, [&] { listing = list(scan, dir.fd(), folder); });

    for (const Name& n : listing.files) {
        const QString path = join(folder, n.name);
        std::optional<platform::BinaryFile> file;
        if (openSong(file, dir.fd(), n, path, folderNative.size())) {
            if (scan.receiver.wantsTotal())
                pass(ide, [&] { total = platform::CLng(double(total) + double(file->length()) / 1024.0); });  // halves to even
            if (nFiles < std::numeric_limits<int32_t>::max()) ++nFiles;
            pass(ide, [&] { scan.receiver.showFound(QStringLiteral("Gefundene Lieder: ") + QString::number(nFiles)); });
            if (mustStop(scan)) return total;
            pass(ide, [&] {
                files.resize(qsizetype(nFiles) + 1);
                files[nFiles] = path;
            });
            pass(ide, [&] { scan.receiver.songFound(path, *file); });
            file.reset();
        }
        if (yieldAndTest(scan)) return total;
    }
    dir.close();  // before the recursion, so a deep tree holds one folder open at a time
    ++nDirs;

    if (!WithSubfolders) return total;
    for (const Name& sub : listing.folders) {
        if (yieldAndTest(scan)) return total;
        const QString subPath = join(folder, sub.name);
        registerCall(subPath, sFile, nDirs, nFiles, WithSubfolders);
        const int32_t part = scanFolder(scan, subPath, sFile, nDirs, nFiles, files, WithSubfolders);
        if (total < kTotalLimit) pass(ide, [&] { total = platform::CLng(double(total) + double(part)); });
    }
    return total;
}

}  // namespace

bool frmDatei::scanRunning() { return g_running; }

void frmDatei::stopRunningScan() { ++g_generation; }

int32_t frmDatei::FindFile(QString sFol, const QString& sFile, int32_t& nDirs, int32_t& nFiles, QStringList& files,
                           const bool& WithSubfolders) {
    return FindFileWith(scanReceiver(), std::move(sFol), sFile, nDirs, nFiles, files, WithSubfolders);
}

int32_t frmDatei::FindFileWith(ScanReceiver& receiver, QString sFol, const QString& sFile, int32_t& nDirs,
                               int32_t& nFiles, QStringList& files, const bool& WithSubfolders) {
    registerCall(sFol, sFile, nDirs, nFiles, WithSubfolders);
    // The event serving inside a scan must not start a second one, unless the new one
    // replaces it: the running scan then stops at its next step, its rows left to the new one.
    if (g_running && !(g_receiver == &receiver && receiver.replacesRunningScan())) return 0;
    const QScopedValueRollback<bool> running(g_running, true);
    const QScopedValueRollback<ScanReceiver*> current(g_receiver, &receiver);
    Scan scan{receiver, sFile.toCaseFolded(), ++g_generation, {}, {}};
    return scanFolder(scan, sFol, sFile, nDirs, nFiles, files, WithSubfolders);
}
