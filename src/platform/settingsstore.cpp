#include "platform/settingsstore.h"

#include "platform/cp1252.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSaveFile>
#include <QStandardPaths>
#include <QStringList>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {
namespace {
QString& folderOverride() {
    static QString f;
    return f;
}

// A settings file is a few kilobytes; a link to a device that never ends must not fill the memory.
constexpr qint64 MaxStoreBytes = 1024 * 1024;
constexpr mode_t OwnerOnly = S_IRUSR | S_IWUSR;

// The stores found unreadable in this run: left alone until the program ends.
QHash<QString, SettingsUnreadable>& unreadableStores() {
    static QHash<QString, SettingsUnreadable> h;
    return h;
}

class Fd {
public:
    explicit Fd(int fd) : fd_(fd) {}
    ~Fd() {
        if (fd_ >= 0) ::close(fd_);
    }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    int get() const { return fd_; }

private:
    int fd_;
};

QString kindOf(mode_t mode) {
    if (S_ISDIR(mode)) return QStringLiteral("sie ist ein Ordner");
    if (S_ISFIFO(mode)) return QStringLiteral("sie ist eine Pipe (FIFO), keine gewöhnliche Datei");
    if (S_ISCHR(mode) || S_ISBLK(mode)) return QStringLiteral("sie ist ein Gerät, keine gewöhnliche Datei");
    if (S_ISSOCK(mode)) return QStringLiteral("sie ist ein Socket, keine gewöhnliche Datei");
    return QStringLiteral("sie ist keine gewöhnliche Datei");
}

QString systemReason(int error) {
    if (error == EACCES || error == EPERM) return QStringLiteral("kein Leserecht");
    return QStringLiteral("Lesefehler: ") + QString::fromLocal8Bit(std::strerror(error));
}

// Only the owner may read the password: group and others lose their rights (and nobody executes it).
void narrowToOwner(int fd, const struct stat& st) {
    const mode_t mode = st.st_mode & 07777;
    if ((mode & ~OwnerOnly) != 0) (void)::fchmod(fd, mode & OwnerOnly);
}

struct StoreText {
    QStringList lines;
    std::optional<SettingsUnreadable> unreadable;
};

StoreText refuse(const QString& path, int number, const QString& reason) {
    const SettingsUnreadable u{number, reason};
    unreadableStores().insert(path, u);
    return {{}, u};
}

// Regular files only, opened without blocking (a pipe would hold the start) and read up to a bound.
StoreText readStore(const QString& path) {
    if (const auto it = unreadableStores().constFind(path); it != unreadableStores().constEnd()) return {{}, *it};
    const Fd fd(::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    if (fd.get() < 0) {
        const int error = errno;
        // No file yet: the first start.
        if (error == ENOENT || error == ENOTDIR) return {};
        return refuse(path, error == EACCES || error == EPERM ? 70 : 75, systemReason(error));
    }
    struct stat st {};
    if (::fstat(fd.get(), &st) != 0) return refuse(path, 75, systemReason(errno));
    if (!S_ISREG(st.st_mode)) return refuse(path, 75, kindOf(st.st_mode));
    const QString tooBig = QStringLiteral("sie ist größer als 1 MiB");
    if (st.st_size > MaxStoreBytes) return refuse(path, 75, tooBig);
    QByteArray bytes;
    char chunk[16384];
    for (;;) {
        const ssize_t n = ::read(fd.get(), chunk, sizeof chunk);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return refuse(path, 75, systemReason(errno));
        if (n == 0) break;
        bytes.append(chunk, n);
        // Grown since the look at its size.
        if (bytes.size() > MaxStoreBytes) return refuse(path, 75, tooBig);
    }
    narrowToOwner(fd.get(), st);

    // A save that changes a value writes the lines back in UTF-8.
    return {cp1252::fileLines(bytes), std::nullopt};
}

bool isSectionLine(const QString& trimmed) {
    return trimmed.size() >= 2 && trimmed.startsWith(QLatin1Char('[')) && trimmed.endsWith(QLatin1Char(']'));
}

bool isComment(const QString& trimmed) {
    return trimmed.startsWith(QLatin1Char(';')) || trimmed.startsWith(QLatin1Char('#'));
}

// Where a key stands in a section: the line of its last entry (the one that counts),
// and the line after the section's last entry.
struct Place {
    qsizetype keyLine = -1;
    qsizetype sectionEnd = -1;  // -1: no such section
};

Place find(const QStringList& lines, const QString& section, const QString& key) {
    Place p;
    bool inSection = false;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QString t = lines[i].trimmed();
        if (isSectionLine(t)) {
            inSection = t.mid(1, t.size() - 2).trimmed() == section;
            if (inSection && p.sectionEnd < 0) p.sectionEnd = i + 1;
            continue;
        }
        if (!inSection || t.isEmpty()) continue;
        p.sectionEnd = i + 1;
        if (isComment(t)) continue;
        const qsizetype eq = t.indexOf(QLatin1Char('='));
        if (eq > 0 && t.left(eq).trimmed() == key) p.keyLine = i;
    }
    return p;
}

QString valueOf(const QString& line) {
    const QString t = line.trimmed();
    return settingValueFromText(t.mid(t.indexOf(QLatin1Char('=')) + 1).trimmed());
}

int hexDigit(QChar c) {
    const char16_t u = c.unicode();
    if (u >= u'0' && u <= u'9') return u - u'0';
    if (u >= u'a' && u <= u'f') return u - u'a' + 10;
    if (u >= u'A' && u <= u'F') return u - u'A' + 10;
    return -1;
}

// The escapes of a quoted value; an unknown one stays as it stands.
QString unescape(QStringView s) {
    QString out;
    out.reserve(s.size());
    for (qsizetype i = 0; i < s.size(); ++i) {
        if (s[i] != u'\\' || i + 1 >= s.size()) {
            out += s[i];
            continue;
        }
        const QChar c = s[++i];
        switch (c.unicode()) {
        case u'a': out += QChar(7); break;
        case u'b': out += QChar(8); break;
        case u'f': out += QChar(12); break;
        case u'n': out += QChar(10); break;
        case u'r': out += QChar(13); break;
        case u't': out += QChar(9); break;
        case u'v': out += QChar(11); break;
        case u'"':
        case u'\'':
        case u'\\':
        case u'?': out += c; break;
        case u'x': {
            char16_t v = 0;
            int n = 0;
            while (n < 4 && i + 1 < s.size() && hexDigit(s[i + 1]) >= 0) {
                v = static_cast<char16_t>(v * 16 + hexDigit(s[++i]));
                ++n;
            }
            if (n == 0)
                out += QStringLiteral("\\x");
            else
                out += QChar(v);
            break;
        }
        case u'0': out += QChar(0); break;
        default:
            out += u'\\';
            out += c;
        }
    }
    return out;
}
}  // namespace

QString settingValueFromText(const QString& text) {
    if (text.size() >= 2 && text.startsWith(QLatin1Char('"')) && text.endsWith(QLatin1Char('"')))
        return unescape(QStringView(text).mid(1, text.size() - 2));
    QString t = text;
    // Earlier versions doubled a leading "@" and wrote "\\" and "\"" outside quotation marks.
    if (t.startsWith(QStringLiteral("@@"))) t.remove(0, 1);
    bool pairs = t.contains(QLatin1Char('\\'));
    for (qsizetype i = 0; pairs && i < t.size(); ++i) {
        if (t[i] != u'\\') continue;
        pairs = i + 1 < t.size() && (t[i + 1] == u'\\' || t[i + 1] == u'"');
        ++i;
    }
    return pairs ? unescape(t) : t;
}

QString settingValueToText(const QString& value) {
    bool quote = !value.isEmpty() && (value.front().isSpace() || value.back().isSpace() ||
                                      value.startsWith(QLatin1Char('@')));
    // The previous release read "," as a list (a folder "Rock, Pop" came back empty), ";" as a
    // comment and dropped bare quotation marks: such values go between quotation marks.
    for (QChar c : value)
        quote = quote || c == u'\\' || c == u',' || c == u';' || c == u'"' || c.unicode() < 32 || c.unicode() == 127;
    if (!quote) return value;
    QString out = QStringLiteral("\"");
    for (QChar c : value) {
        switch (c.unicode()) {
        case u'\\': out += QStringLiteral("\\\\"); break;
        case u'"': out += QStringLiteral("\\\""); break;
        case 9: out += QStringLiteral("\\t"); break;
        case 10: out += QStringLiteral("\\n"); break;
        case 13: out += QStringLiteral("\\r"); break;
        default:
            if (c.unicode() < 32 || c.unicode() == 127)
                out += QStringLiteral("\\x%1").arg(int(c.unicode()), 4, 16, QLatin1Char('0'));
            else
                out += c;
        }
    }
    return out + QLatin1Char('"');
}

void setSettingsFolder(const QString& folder) {
    folderOverride() = folder;
    unreadableStores().clear();
}

QString settingsFile(const QString& app) {
    QString base = folderOverride();
    if (base.isEmpty()) base = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    return base + QLatin1Char('/') + app + QLatin1Char('/') + app + QStringLiteral(".ini");
}

QString GetSetting(const QString& app, const QString& section, const QString& key, const QString& deflt) {
    const QStringList lines = readStore(settingsFile(app)).lines;
    const Place p = find(lines, section, key);
    return p.keyLine < 0 ? deflt : valueOf(lines[p.keyLine]);
}

std::optional<SettingsUnreadable> settingsUnreadable(const QString& app) {
    return readStore(settingsFile(app)).unreadable;
}

bool SaveSetting(const QString& app, const QString& section, const QString& key, const QString& value) {
    return SaveSettings(app, section, {{key, value}});
}

bool SaveSettings(const QString& app, const QString& section, const QList<QPair<QString, QString>>& values) {
    const QString path = settingsFile(app);
    StoreText store = readStore(path);
    // Defaults written over a file that could not be read would lose its settings for good.
    if (store.unreadable) return false;
    QStringList& lines = store.lines;
    bool changed = false;
    for (const auto& [key, value] : values) {
        const Place p = find(lines, section, key);
        const QString line = key + QLatin1Char('=') + settingValueToText(value);
        if (p.keyLine >= 0) {
            if (valueOf(lines[p.keyLine]) == value) continue;
            lines[p.keyLine] = line;
        } else if (p.sectionEnd >= 0) {
            lines.insert(p.sectionEnd, line);
        } else {
            if (!lines.isEmpty() && !lines.last().trimmed().isEmpty()) lines << QString();
            lines << QLatin1Char('[') + section + QLatin1Char(']') << line;
        }
        changed = true;
    }
    // A value already stored costs no write (the hand-over stores all settings every time);
    // the reading has narrowed the file to its owner.
    if (!changed) return true;
    if (!QDir().mkpath(QFileInfo(path).absolutePath())) return false;
    // Written beside the old file and renamed over it: a full disk leaves the old settings whole.
    // Unbuffered, so that a short write is seen before the commit.
    QSaveFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) return false;
    // The store holds the lock password in plain text: owner only.
    f.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    const QByteArray bytes = (lines.join(QLatin1Char('\n')) + QLatin1Char('\n')).toUtf8();
    return f.write(bytes) == bytes.size() && f.commit();
}

}  // namespace platform
