// Version record from uname, the printer into a PDF file, the desktop windows where
// there is no X11 session, the settings store, the XDG folders and the one-kiosk lock.
#include "platform/app.h"
#include "platform/desktop.h"
#include "platform/instancelock.h"
#include "platform/printer.h"
#include "platform/program.h"
#include "platform/settingsstore.h"
#include "platform/sysinfo.h"
#include "support/testenv.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcessEnvironment>
#include <QSettings>
#include <csignal>
#include <gtest/gtest.h>
#include <optional>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

TEST(OsVersion, FromTheKernelRelease) {
    const platform::OsVersion v = platform::versionFromUname(QStringLiteral("Linux"), QStringLiteral("6.18.44-fc-v1300"));
    EXPECT_EQ(v.major, 6u);
    EXPECT_EQ(v.minor, 18u);
    EXPECT_EQ(v.build, 44u);
    EXPECT_GT(v.platformId, 2u);  // none of the Windows ids
    EXPECT_EQ(v.csdVersion.size(), 128);
    EXPECT_EQ(v.csdVersion.left(6), QStringLiteral("Linux") + QChar(0));

    const platform::OsVersion odd = platform::versionFromUname(QStringLiteral("Linux"), QStringLiteral("7"));
    EXPECT_EQ(odd.major, 7u);
    EXPECT_EQ(odd.minor, 0u);
    EXPECT_EQ(odd.build, 0u);
    const platform::OsVersion none = platform::versionFromUname(QString(), QStringLiteral("weird"));
    EXPECT_EQ(none.major, 0u);
    EXPECT_EQ(none.csdVersion, QString(128, QChar(0)));

    EXPECT_GT(platform::osVersion().major, 0u);  // this machine
}

TEST(Printer, PrintsIntoAPdfFile) {
    const QString file = testenv::freshFolder(QStringLiteral("print")) + QStringLiteral("/protokoll.pdf");
    platform::setPrintToPdf(file);
    QStringList lines;
    for (int i = 0; i < 150; ++i) lines << QStringLiteral("\tZeile %1 mit Umlauten äöü").arg(i);  // more than one page
    EXPECT_TRUE(platform::printLines(lines));
    platform::setPrintToPdf(QString());
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray pdf = f.readAll();
    EXPECT_TRUE(pdf.startsWith("%PDF"));
    EXPECT_GE(pdf.count("/Type /Page\n") + pdf.count("/Type /Page\r") + pdf.count("/Type /Page "), 2);
}

TEST(Desktop, OffscreenFindsNoWindows) {
    namespace d = platform::desktop;
    EXPECT_EQ(d::findTaskbar(), 0u);
    EXPECT_EQ(d::findDesktopView(), 0u);
    EXPECT_FALSE(d::isVisible(0));
    d::hide(0);
    d::show(0);
    EXPECT_FALSE(d::isVisible(1));
}

}  // namespace

TEST(SettingsStore, AValueAlreadyStoredIsNotWrittenAgain) {
    const QString file = platform::settingsFile(QStringLiteral("App"));
    QFile::remove(file);
    const auto save = [](const char* key, const QString& value) {
        platform::SaveSetting(QStringLiteral("App"), QStringLiteral("Data"), QString::fromLatin1(key), value);
    };
    save("Pfad", QStringLiteral("/a"));
    // Every write replaces the file by a new one: the file held open keeps its name only without one.
    QFile held(file);
    ASSERT_TRUE(held.open(QIODevice::ReadOnly));
    const auto stillNamed = [&] {
        struct stat st {};
        return ::fstat(held.handle(), &st) == 0 && st.st_nlink > 0;
    };
    save("Pfad", QStringLiteral("/a"));
    EXPECT_TRUE(stillNamed());
    save("Leer", QString());
    save("Pfad", QStringLiteral("/b"));
    EXPECT_FALSE(stillNamed());
    EXPECT_EQ(platform::GetSetting(QStringLiteral("App"), QStringLiteral("Data"), QStringLiteral("Pfad"), QString()), "/b");
    EXPECT_EQ(platform::GetSetting(QStringLiteral("App"), QStringLiteral("Data"), QStringLiteral("Leer"), "x"), "");
    held.close();
    QFile::remove(file);
}

namespace {
QString settingOf(const char* key, const QString& section = QStringLiteral("Data")) {
    return platform::GetSetting(QStringLiteral("App"), section, QString::fromLatin1(key), QStringLiteral("<none>"));
}
void writeStore(const QByteArray& text) {
    const QString file = platform::settingsFile(QStringLiteral("App"));
    QDir().mkpath(QFileInfo(file).absolutePath());
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(text);
}
}  // namespace

TEST(SettingsStore, ValuesWrittenByHandLoadExactlyAsWritten) {
    writeStore("[Data]\n"
               "Pfad=/srv/Musik/Rock, Pop\n"
               "PW = abc;def  \r\n"
               "Winamp=/opt/AC\\DC/x\n"
               "Leer=\n"
               "; a comment\n"
               "Gleich=a=b\n"
               "Zitat=\"Rock\" Pop\n"
               "\n[Anders]\nPfad=nicht hier\n");
    EXPECT_EQ(settingOf("Pfad"), "/srv/Musik/Rock, Pop");
    EXPECT_EQ(settingOf("PW"), "abc;def");
    EXPECT_EQ(settingOf("Winamp"), "/opt/AC\\DC/x");
    EXPECT_EQ(settingOf("Leer"), "");
    EXPECT_EQ(settingOf("Gleich"), "a=b");
    EXPECT_EQ(settingOf("Zitat"), "\"Rock\" Pop");
    EXPECT_EQ(settingOf("Fehlt"), "<none>");
    EXPECT_EQ(settingOf("Pfad", QStringLiteral("Anders")), "nicht hier");

    // Stored anew, every value reads back as it was, and the rest of the file stays.
    const QStringList values{"/srv/Rock, Pop", "a;b", "C:\\win\\amp", "\\\\srv\\x", "\"q\"", "@at", " blank ",
                             "tab\there", "äöü €", "", "zeile\nzwei", "a\\\"b"};
    QList<QPair<QString, QString>> all;
    for (int i = 0; i < values.size(); ++i) all.append({QStringLiteral("K%1").arg(i), values[i]});
    ASSERT_TRUE(platform::SaveSettings(QStringLiteral("App"), QStringLiteral("Data"), all));
    for (int i = 0; i < values.size(); ++i)
        EXPECT_EQ(platform::GetSetting(QStringLiteral("App"), "Data", QStringLiteral("K%1").arg(i)), values[i]) << i;
    EXPECT_EQ(settingOf("Pfad"), "/srv/Musik/Rock, Pop");
    EXPECT_EQ(settingOf("Pfad", QStringLiteral("Anders")), "nicht hier");
}

TEST(SettingsStore, FilesOfEarlierVersionsStillLoad) {
    const QStringList values{"/srv/Rock, Pop", "C:\\win;amp \"q\"", "@at", " lead", "a\\b", "äöü", "a=b", "1"};
    const QString file = platform::settingsFile(QStringLiteral("App"));
    QFile::remove(file);
    {
        // Earlier versions wrote the store through Qt's INI writer.
        QSettings old(file, QSettings::IniFormat);
        for (int i = 0; i < values.size(); ++i) old.setValue(QStringLiteral("Data/K%1").arg(i), values[i]);
    }
    for (int i = 0; i < values.size(); ++i)
        EXPECT_EQ(platform::GetSetting(QStringLiteral("App"), "Data", QStringLiteral("K%1").arg(i)), values[i]) << i;
    QFile::remove(file);
}

TEST(SettingsStore, AStoreThatCannotBeWrittenSaysSoAndKeepsItsFile) {
    writeStore("[Data]\nPfad=/alt\n");
    {
        const testenv::FileSizeLimit full(20);
        EXPECT_FALSE(platform::SaveSetting(QStringLiteral("App"), "Data", "Pfad", QString(100, QLatin1Char('x'))));
    }
    EXPECT_EQ(settingOf("Pfad"), "/alt");
    EXPECT_TRUE(platform::SaveSetting(QStringLiteral("App"), "Data", "Pfad", "/alt"));  // nothing to write

    platform::setSettingsFolder(testenv::unwritableFolder());
    const bool saved = platform::SaveSetting(QStringLiteral("App"), "Data", "Pfad", "/neu");
    platform::setSettingsFolder(testenv::configFolder());
    EXPECT_FALSE(saved);
}

namespace {
const QString kApp = QStringLiteral("App");

// A store folder of the test's own, so that a store found unreadable is forgotten afterwards.
class OwnStoreFolder {
public:
    explicit OwnStoreFolder(const QString& name) { platform::setSettingsFolder(testenv::freshFolder(name)); }
    ~OwnStoreFolder() { platform::setSettingsFolder(testenv::configFolder()); }
    OwnStoreFolder(const OwnStoreFolder&) = delete;
    OwnStoreFolder& operator=(const OwnStoreFolder&) = delete;
    QString file() const {
        const QString f = platform::settingsFile(kApp);
        QDir().mkpath(QFileInfo(f).absolutePath());
        return f;
    }
};

QByteArray bytesOf(const QString& file) {
    QFile f(file);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeBytes(const QString& file, const QByteArray& bytes) {
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
}

mode_t modeOf(const QString& file) {
    struct stat st {};
    return ::lstat(QFile::encodeName(file).constData(), &st) == 0 ? st.st_mode : 0;
}

// The store gives the defaults, says why, and neither a save nor a reading changes the file.
void expectUnreadable(const QString& file, int number, const QString& reason) {
    const mode_t mode = modeOf(file);
    const QByteArray link = QFile::encodeName(QFileInfo(file).symLinkTarget());
    EXPECT_EQ(platform::GetSetting(kApp, "Data", "Pfad", "<default>"), "<default>");
    const std::optional<platform::SettingsUnreadable> u = platform::settingsUnreadable(kApp);
    ASSERT_TRUE(u);
    EXPECT_EQ(u->number, number);
    EXPECT_EQ(u->reason, reason);
    EXPECT_FALSE(platform::SaveSettings(kApp, "Data", {{"Pfad", "/neu"}, {"PW", "geheim"}}));
    EXPECT_EQ(modeOf(file), mode);
    EXPECT_EQ(QFile::encodeName(QFileInfo(file).symLinkTarget()), link);
}
}  // namespace

TEST(SettingsStore, AFileThatIsNoPlainFileIsNeitherReadNorWrittenOver) {
    {
        const OwnStoreFolder folder(QStringLiteral("ordner"));
        ASSERT_TRUE(QDir().mkpath(folder.file()));
        expectUnreadable(folder.file(), 75, QStringLiteral("sie ist ein Ordner"));
        EXPECT_TRUE(QDir(folder.file()).isEmpty());
    }
    {
        // A pipe held the start for good, with no window.
        const OwnStoreFolder folder(QStringLiteral("fifo"));
        ASSERT_EQ(::mkfifo(QFile::encodeName(folder.file()).constData(), 0600), 0);
        expectUnreadable(folder.file(), 75, QStringLiteral("sie ist eine Pipe (FIFO), keine gewöhnliche Datei"));
    }
    for (const char* device : {"/dev/zero", "/dev/null"}) {
        // /dev/zero grew the memory until the program aborted.
        SCOPED_TRACE(device);
        const OwnStoreFolder folder(QStringLiteral("geraet"));
        ASSERT_TRUE(QFile::link(QString::fromLatin1(device), folder.file()));
        expectUnreadable(folder.file(), 75, QStringLiteral("sie ist ein Gerät, keine gewöhnliche Datei"));
    }
    {
        const OwnStoreFolder folder(QStringLiteral("gross"));
        const QByteArray head = "[Data]\nPfad=/gross\n;";
        writeBytes(folder.file(), head + QByteArray(1024 * 1024 - head.size(), 'x'));
        EXPECT_EQ(platform::GetSetting(kApp, "Data", "Pfad"), "/gross");  // 1 MiB is still a settings file
        EXPECT_TRUE(platform::SaveSetting(kApp, "Data", "Pfad", "/gross"));
        writeBytes(folder.file(), head + QByteArray(1024 * 1024 + 1 - head.size(), 'x'));
        const QByteArray before = bytesOf(folder.file());
        expectUnreadable(folder.file(), 75, QStringLiteral("sie ist größer als 1 MiB"));
        EXPECT_EQ(bytesOf(folder.file()), before);
    }
}

TEST(SettingsStore, AFileWithoutReadPermissionIsNeitherReadNorWrittenOver) {
    const OwnStoreFolder folder(QStringLiteral("modus"));
    writeBytes(folder.file(), "[Data]\nPfad=/srv/musik\nPW=geheim\n");
    ASSERT_TRUE(QFile::setPermissions(folder.file(), QFileDevice::WriteOwner));
    const testenv::WithoutRootFileRights notRoot;
    if (QFile f(folder.file()); f.open(QIODevice::ReadOnly)) GTEST_SKIP() << "the test cannot give up reading any file";
    expectUnreadable(folder.file(), 70, QStringLiteral("kein Leserecht"));
    ASSERT_TRUE(QFile::setPermissions(folder.file(), QFileDevice::ReadOwner | QFileDevice::WriteOwner));
    EXPECT_EQ(bytesOf(folder.file()), "[Data]\nPfad=/srv/musik\nPW=geheim\n");
    // Unreadable once, left alone for the rest of the run, also when it could be read again.
    EXPECT_FALSE(platform::SaveSetting(kApp, "Data", "Pfad", "/neu"));
    EXPECT_EQ(bytesOf(folder.file()), "[Data]\nPfad=/srv/musik\nPW=geheim\n");
}

TEST(SettingsStore, TheFileIsTheOwnersAloneAfterEveryLoadAndSave) {
    const OwnStoreFolder folder(QStringLiteral("rechte"));
    const auto perms = [&] { return modeOf(folder.file()) & 07777; };
    writeBytes(folder.file(), "[Data]\nPW=geheim\n");
    ASSERT_TRUE(QFile::setPermissions(folder.file(), QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                         QFileDevice::ReadGroup | QFileDevice::ReadOther));
    EXPECT_EQ(platform::GetSetting(kApp, "Data", "PW"), "geheim");
    EXPECT_EQ(perms(), 0600u);
    ::chmod(QFile::encodeName(folder.file()).constData(), 0755);
    EXPECT_TRUE(platform::SaveSetting(kApp, "Data", "PW", "geheim"));  // nothing changed, nothing written
    EXPECT_EQ(perms(), 0600u);
    ::chmod(QFile::encodeName(folder.file()).constData(), 0666);
    EXPECT_TRUE(platform::SaveSetting(kApp, "Data", "PW", "anders"));
    EXPECT_EQ(perms(), 0600u);
}

TEST(SettingsStore, ValuesHoldingCommaSemicolonOrQuotesAreQuotedForThePreviousRelease) {
    const OwnStoreFolder folder(QStringLiteral("zitat"));
    const QStringList values{"/srv/Musik/Rock, Pop", "a;b", "Gruppe \"Vier\"", "\"", "Ärzte, die;\"x\"", "/srv/plain"};
    QList<QPair<QString, QString>> all;
    for (int i = 0; i < values.size(); ++i) all.append({QStringLiteral("K%1").arg(i), values[i]});
    ASSERT_TRUE(platform::SaveSettings(kApp, "Data", all));
    const QString text = QString::fromUtf8(bytesOf(folder.file()));
    EXPECT_TRUE(text.contains(QStringLiteral("K0=\"/srv/Musik/Rock, Pop\"\n"))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("K5=/srv/plain\n"))) << text.toStdString();
    // The previous release read the store through Qt's INI reader: bare, "," made a list and ";" a comment.
    QSettings previous(folder.file(), QSettings::IniFormat);
    for (int i = 0; i < values.size(); ++i) {
        EXPECT_EQ(previous.value(QStringLiteral("Data/K%1").arg(i)).toString(), values[i]) << i;
        EXPECT_EQ(platform::GetSetting(kApp, "Data", QStringLiteral("K%1").arg(i)), values[i]) << i;
    }
}

TEST(SettingsStore, AWindows1252FileReadsItsUmlautsAndASaveKeepsThem) {
    const OwnStoreFolder folder(QStringLiteral("ansi"));
    // Copied from an older installation: Windows-1252, CR LF.
    writeBytes(folder.file(), "[Data]\r\nPfad=/srv/M\xfcsik/\xc4rzte\r\nPW=Stra\xdf" "e\r\nWinamp=C:\\Preis 5\x80\r\n");
    EXPECT_EQ(platform::GetSetting(kApp, "Data", "Pfad"), QStringLiteral("/srv/Müsik/Ärzte"));
    EXPECT_EQ(platform::GetSetting(kApp, "Data", "PW"), QStringLiteral("Straße"));
    EXPECT_EQ(platform::GetSetting(kApp, "Data", "Winamp"), QStringLiteral("C:\\Preis 5€"));
    ASSERT_TRUE(platform::SaveSetting(kApp, "Data", "Zufall", "1"));
    const QByteArray saved = bytesOf(folder.file());
    EXPECT_FALSE(saved.contains("\xef\xbf\xbd")) << saved.toStdString();  // no replacement character
    EXPECT_TRUE(saved.contains("Pfad=/srv/M\xc3\xbcsik/\xc3\x84rzte\n")) << saved.toStdString();
    EXPECT_EQ(platform::GetSetting(kApp, "Data", "PW"), QStringLiteral("Straße"));
    EXPECT_EQ(platform::GetSetting(kApp, "Data", "Winamp"), QStringLiteral("C:\\Preis 5€"));
}

// One line added in an older editor changes no other line; Notepad's "Unicode" (UTF-16 with a
// byte-order mark, either order) reads too, and a save that changes a value writes UTF-8 in place.
TEST(SettingsStore, AMixedFileKeepsItsUtf8LinesAndAUtf16FileReadsAndSavesInPlace) {
    const OwnStoreFolder folder(QStringLiteral("gemischt"));
    for (const QByteArray bom : {"", "\xef\xbb\xbf"}) {
        writeBytes(folder.file(), bom + "[Data]\nPfad=/srv/M\xc3\xbcsik\n; ge\xe4ndert\nPW=Stra\xdf" "e\n");
        EXPECT_EQ(platform::GetSetting(kApp, "Data", "Pfad"), QStringLiteral("/srv/Müsik"));
        EXPECT_EQ(platform::GetSetting(kApp, "Data", "PW"), QStringLiteral("Straße"));
    }

    const QString text = QStringLiteral("[Data]\r\nPfad=/srv/Müsik €\r\nPW=abc\r\nZufall=1\r\n");
    const auto utf16 = [](const QString& t, bool little) {
        QByteArray b = little ? "\xff\xfe" : "\xfe\xff";
        for (QChar c : t) {
            const char lo = char(c.unicode() & 0xff), hi = char(c.unicode() >> 8);
            little ? b.append(lo).append(hi) : b.append(hi).append(lo);
        }
        return b;
    };
    for (const QByteArray& bytes : {utf16(text, true), utf16(text, false)}) {
        writeBytes(folder.file(), bytes);
        EXPECT_EQ(platform::GetSetting(kApp, "Data", "Pfad"), QStringLiteral("/srv/Müsik €"));
        EXPECT_EQ(platform::GetSetting(kApp, "Data", "Zufall"), QStringLiteral("1"));
        // As the hand-over stores them: the operator's values, one changed.
        ASSERT_TRUE(platform::SaveSettings(kApp, "Data", {{"Pfad", QStringLiteral("/srv/Müsik €")}, {"PW", "neu"},
                                                          {"Zufall", "1"}, {"Fading", "10"}}));
        EXPECT_EQ(bytesOf(folder.file()), "[Data]\nPfad=/srv/M\xc3\xbcsik \xe2\x82\xac\nPW=neu\nZufall=1\nFading=10\n");
    }
    // A half of a surrogate pair reads as the replacement character that a save writes.
    writeBytes(folder.file(), utf16(QStringLiteral("[Data]\nPW=a"), true) + "\x61\xdf");
    EXPECT_EQ(platform::GetSetting(kApp, "Data", "PW"), QStringLiteral("a\uFFFD"));
    ASSERT_TRUE(platform::SaveSetting(kApp, "Data", "Zufall", "0"));
    EXPECT_EQ(platform::GetSetting(kApp, "Data", "PW"), QStringLiteral("a\uFFFD"));
}

TEST(XdgFolders, RelativeOnesAreIgnored) {
    const QString home = testenv::freshFolder(QStringLiteral("home"));
    const QProcessEnvironment before = QProcessEnvironment::systemEnvironment();
    qputenv("HOME", home.toUtf8());
    qputenv("XDG_DATA_HOME", "relativ/daten");
    qputenv("XDG_CONFIG_HOME", "relativ/konfig");
    platform::prepareEnvironment();
    platform::setDataPathOverride(QString());
    platform::setSettingsFolder(QString());
    const QString data = platform::dataPath();
    const QString settings = platform::settingsFile(kApp);
    qputenv("XDG_DATA_HOME", (home + QStringLiteral("/daten")).toUtf8());
    platform::prepareEnvironment();
    const QString absoluteData = platform::dataPath();

    platform::setDataPathOverride(testenv::dataFolder());
    platform::setSettingsFolder(testenv::configFolder());
    for (const char* name : {"HOME", "XDG_DATA_HOME", "XDG_CONFIG_HOME"})
        before.contains(name) ? qputenv(name, before.value(name).toLocal8Bit()) : qunsetenv(name);
    EXPECT_EQ(data, home + QStringLiteral("/.local/share/") + platform::appTitle());
    EXPECT_EQ(settings, home + QStringLiteral("/.config/App/App.ini"));
    EXPECT_EQ(absoluteData, home + QStringLiteral("/daten/") + platform::appTitle());
}

TEST(InstanceLock, OneHolderAtATimeAndADeadOneBlocksNothing) {
    const QString file = testenv::freshFolder(QStringLiteral("sperre")) + QStringLiteral("/melotra.lock");
    using R = platform::InstanceLock::Result;
    {
        platform::InstanceLock first;
        ASSERT_EQ(first.take(file), R::Taken);
        platform::InstanceLock second;
        EXPECT_EQ(second.take(file), R::Held);
        EXPECT_EQ(second.holder(), qint64(::getpid()));
    }
    // A kiosk killed with -9 leaves its file behind, but not its lock.
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        platform::InstanceLock held;
        const char ok = held.take(file) == R::Taken ? '1' : '0';
        (void)::write(ready[1], &ok, 1);
        for (;;) ::pause();
    }
    char ok = 0;
    ASSERT_EQ(::read(ready[0], &ok, 1), 1);
    ::close(ready[0]);
    ::close(ready[1]);
    EXPECT_EQ(ok, '1');
    platform::InstanceLock whileAlive;
    EXPECT_EQ(whileAlive.take(file), R::Held);
    EXPECT_EQ(whileAlive.holder(), qint64(child));
    ::kill(child, SIGKILL);
    ::waitpid(child, nullptr, 0);
    EXPECT_TRUE(QFileInfo::exists(file));
    platform::InstanceLock next;
    EXPECT_EQ(next.take(file), R::Taken);
    EXPECT_EQ(bytesOf(file), QByteArray::number(qint64(::getpid())) + '\n');
}

// A data folder mounted read-only holds the file of an earlier run: the lock is taken all the
// same, and a second kiosk learns the holder from the system, not from the stale number.
TEST(InstanceLock, AFileThatMayNotBeWrittenIsLockedAndAMissingLockSaysWhy) {
    using R = platform::InstanceLock::Result;
    const QString folder = testenv::freshFolder(QStringLiteral("sperre_ro"));
    const QString file = folder + QStringLiteral("/melotra.lock");
    const QString locked = folder + QStringLiteral("/weggesperrt.lock");
    writeBytes(file, "999999\n");
    writeBytes(locked, "1\n");
    ::chmod(QFile::encodeName(file).constData(), 0400);
    ::chmod(QFile::encodeName(locked).constData(), 0);
    ::chmod(QFile::encodeName(folder).constData(), 0500);
    std::optional<R> first, second, made, opened;
    qint64 holder = 0;
    QString madeError, openedError;
    {
        const testenv::WithoutRootFileRights notRoot;
        platform::InstanceLock a, b, c, d;
        if (notRoot.holds()) {
            first = a.take(file);
            second = b.take(file);
            holder = b.holder();
            made = c.take(folder + QStringLiteral("/neu.lock"));
            madeError = c.error();
            opened = d.take(locked);
            openedError = d.error();
        }
    }
    ::chmod(QFile::encodeName(folder).constData(), 0700);
    if (!first) GTEST_SKIP() << "the test cannot give up root's file rights";
    EXPECT_EQ(first, R::Taken);
    EXPECT_EQ(second, R::Held);
    EXPECT_EQ(holder, qint64(::getpid()));
    EXPECT_EQ(bytesOf(file), "999999\n");
    EXPECT_EQ(made, R::Failed);
    EXPECT_TRUE(madeError.startsWith(QStringLiteral("nicht anlegbar ("))) << madeError.toStdString();
    EXPECT_EQ(opened, R::Failed);
    EXPECT_TRUE(openedError.startsWith(QStringLiteral("vorhanden, aber nicht zu öffnen ("))) << openedError.toStdString();
}
