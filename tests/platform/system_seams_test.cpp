// Version record from uname, the printer into a PDF file, and the desktop
// windows where there is no X11 session.
#include "platform/desktop.h"
#include "platform/printer.h"
#include "platform/settingsstore.h"
#include "platform/sysinfo.h"
#include "support/testenv.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <gtest/gtest.h>
#include <sys/stat.h>

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
