// Version record from uname, the printer into a PDF file, and the desktop
// windows where there is no X11 session.
#include "platform/desktop.h"
#include "platform/printer.h"
#include "platform/settingsstore.h"
#include "platform/sysinfo.h"
#include "support/testenv.h"

#include <QFile>
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
