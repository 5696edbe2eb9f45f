#include "base/ErrPtnr.h"
#include "base/frmDatei.h"
#include "base/globals.h"
#include "platform/binaryfile.h"
#include "support/testenv.h"
#include "support/testmedia.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <climits>
#include <fcntl.h>
#include <functional>
#include <gtest/gtest.h>
#include <unistd.h>
#include <vector>

namespace {

void touch(const QString& path, qint64 size = 0) {
    QDir().mkpath(path.section('/', 0, -2));
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly)) << path.toStdString();
    if (size > 0) {
        ASSERT_TRUE(f.resize(size));
    }
}

// Stands in for the main screen and the start dialog.
struct FakeReceiver : ScanReceiver {
    QStringList rows;
    QStringList captions;
    bool stop = false;
    std::function<void()> onRow;
    void EineZeileInsArchiv(const QString& Datei, int32_t optYRow) override {
        EXPECT_EQ(optYRow, 0);
        rows << Datei;
        if (onRow) onRow();
    }
    void showFound(const QString& caption) override { captions << caption; }
    bool stopRequested() const override { return stop; }
};

// Lines of the trace file that name path.
int traceLinesAbout(const QString& path) {
    QFile f(ErrPtnr::instance().traceFilePath());
    if (!f.open(QIODevice::ReadOnly)) return 0;
    return int(QString::fromUtf8(f.readAll()).split(QStringLiteral("\r\n")).filter(path).size());
}

class Scan : public ::testing::Test {
protected:
    // A song file that cannot be read is passed over without a dialog, with one line in
    // the trace file, and the scan goes on; a second scan does the same.
    void expectPassedOver(const std::function<void()>& scanIt, const QString& bad, const QStringList& good) {
        testenv::reportedErrors().clear();
        for (int round = 1; round <= 2; ++round) {
            const int before = traceLinesAbout(bad);
            scanIt();
            EXPECT_EQ(traceLinesAbout(bad) - before, 1) << "round " << round;
            EXPECT_EQ(receiver.rows, good) << "round " << round;
            EXPECT_FALSE(files.contains(bad));
            EXPECT_EQ(nFiles, good.size());
            receiver.rows.clear();
            files.clear();
            nFiles = nDirs = 0;
        }
        EXPECT_TRUE(testenv::dialogs().messages.empty());
        EXPECT_TRUE(testenv::reportedErrors().empty());
    }
    void SetUp() override {
        setScanReceiver(&receiver);
        testenv::dialogs().reset();
        root = testenv::freshFolder("songs");
    }
    void TearDown() override { setScanReceiver(nullptr); }
    int32_t scan(const QString& folder, bool sub = true, const QString& pattern = "*.mp3") {
        return frmDatei::FindFile(folder, pattern, nDirs, nFiles, files, sub);
    }
    QStringList names() const {
        QStringList n;
        for (const QString& r : receiver.rows) n << r.mid(root.size() + 1);
        return n;
    }
    FakeReceiver receiver;
    QString root;
    int32_t nDirs = 0, nFiles = 0;
    QStringList files;
};

TEST_F(Scan, FilesFirstThenSubfoldersEachSortedWithoutCase) {
    for (const char* n : {"b.mp3", "A.mp3", "c.MP3", "Zeta/z.mp3", "Zeta/y.mp3", "alpha/x.mp3", "alpha/deep/w.mp3"})
        touch(root + "/" + n);
    scan(root);
    EXPECT_EQ(names(), QStringList({"A.mp3", "b.mp3", "c.MP3", "alpha/x.mp3", "alpha/deep/w.mp3", "Zeta/y.mp3",
                                    "Zeta/z.mp3"}));
    EXPECT_EQ(nFiles, 7);
    EXPECT_EQ(nDirs, 4);
    ASSERT_EQ(files.size(), 8);
    EXPECT_EQ(files[0], "");
    EXPECT_EQ(files.mid(1), receiver.rows);
    EXPECT_EQ(receiver.captions.last(), "Gefundene Lieder: 7");
}

TEST_F(Scan, PatternIgnoresCaseAndKnowsOnlyStarAndQuestionMark) {
    for (const char* n : {"LIVE.MP3", "live.mp3.txt", "a.mp", ".versteckt.mp3", "x[1].mp3", "ab.mp3", "abc.mp3"})
        touch(root + "/" + n);
    scan(root);
    EXPECT_EQ(names(), QStringList({".versteckt.mp3", "ab.mp3", "abc.mp3", "LIVE.MP3", "x[1].mp3"}));
    receiver.rows.clear();
    scan(root, true, "A?.Mp3");
    EXPECT_EQ(names(), QStringList({"ab.mp3"}));
}

// "?" is a character like any other in a Linux name. A name that is not UTF-8 cannot
// be named by the program: a song or folder of such a name is passed over with one
// line each, another file silently. AppleDouble files are no songs, by their bytes.
TEST_F(Scan, ForeignNamesAndAppleDoubleFiles) {
    testmedia::writeSilentMp3(root + "/Lied.mp3", 500);
    testmedia::writeAppleDouble(root + "/._Lied.mp3");
    testmedia::writeSilentMp3(root + "/._Echt.mp3", 500);  // a song of that name stays a song
    touch(root + "/Wer bin ich?.mp3");
    const QByteArray top = QFile::encodeName(root);
    const QByteArray badFile = top + "/Caf\xe9.mp3", badOther = top + "/Bild\xe9.jpg", badDir = top + "/Mappe\xe4";
    for (const QByteArray& f : {badFile, badOther}) ::close(::open(f.constData(), O_CREAT | O_WRONLY, 0644));
    ASSERT_EQ(::mkdir(badDir.constData(), 0755), 0);
    ::close(::open((badDir + "/drin.mp3").constData(), O_CREAT | O_WRONLY, 0644));
    for (int round = 1; round <= 2; ++round) {
        const int fileLines = traceLinesAbout(root + "/Caf\\xE9.mp3\"");
        const int folderLines = traceLinesAbout("Ordner nicht lesbar, übergangen: \"" + root + "/Mappe\\xE4\"");
        const int otherLines = traceLinesAbout("Bild");
        receiver.rows.clear();
        nFiles = 0;
        scan(root);
        EXPECT_EQ(names(), QStringList({"._Echt.mp3", "Lied.mp3", "Wer bin ich?.mp3"}));
        EXPECT_EQ(nFiles, 3);
        EXPECT_EQ(traceLinesAbout(root + "/Caf\\xE9.mp3\"") - fileLines, 1);
        EXPECT_EQ(traceLinesAbout("Ordner nicht lesbar, übergangen: \"" + root + "/Mappe\\xE4\"") - folderLines, 1);
        EXPECT_EQ(traceLinesAbout("Bild"), otherLines);
        EXPECT_EQ(traceLinesAbout("._Lied.mp3"), 0);
    }
    EXPECT_TRUE(testenv::dialogs().messages.empty());
    // Qt could not name them either when it clears the scratch folder.
    for (const QByteArray& f : {badFile, badOther, badDir + "/drin.mp3"}) ::unlink(f.constData());
    ::rmdir(badDir.constData());
}

// A folder deeper than a path can name: one line in the trace file, never the
// "not found" box that would hold an unattended start-up. What lies above is listed.
TEST_F(Scan, FolderPathLongerThanTheSystemAllowsIsPassedOverWithOneLine) {
    touch(root + "/oben.mp3");
    // Made step by step relative to the folder above: the whole path is never named.
    const QByteArray part(200, 'o');
    std::vector<int> fds{::open(QFile::encodeName(root).constData(), O_RDONLY | O_DIRECTORY)};
    QString deep = root, firstTooLong;
    QStringList expected{"oben.mp3"};
    while (firstTooLong.isEmpty() || deep.size() < PATH_MAX + 400) {
        ASSERT_EQ(::mkdirat(fds.back(), part.constData(), 0755), 0);
        fds.push_back(::openat(fds.back(), part.constData(), O_RDONLY | O_DIRECTORY));
        ASSERT_GE(fds.back(), 0);
        ::close(::openat(fds.back(), "lied.mp3", O_CREAT | O_WRONLY, 0644));
        deep += "/" + QString::fromLatin1(part);
        if (deep.size() >= PATH_MAX && firstTooLong.isEmpty()) firstTooLong = deep;
        if (firstTooLong.isEmpty() && (deep + "/lied.mp3").size() < PATH_MAX)
            expected << (deep + "/lied.mp3").mid(root.size() + 1);
    }
    for (const QString& top : {root, firstTooLong}) {
        const int before = traceLinesAbout("Ordner nicht lesbar, übergangen: \"" + firstTooLong + "\"");
        receiver.rows.clear();
        scan(top);
        EXPECT_EQ(traceLinesAbout("Ordner nicht lesbar, übergangen: \"" + firstTooLong + "\"") - before, 1);
        if (top == root) {
            EXPECT_EQ(names(), expected);
        }
        for (const QString& r : receiver.rows) EXPECT_TRUE(QFile::exists(r));
    }
    EXPECT_TRUE(testenv::dialogs().messages.empty());
    // Removed the way it was made: Qt names whole paths.
    for (size_t i = fds.size() - 1; i > 0; --i) {
        ::unlinkat(fds[i], "lied.mp3", 0);
        ::close(fds[i]);
        ::unlinkat(fds[i - 1], part.constData(), AT_REMOVEDIR);
    }
    ::close(fds[0]);
}

TEST_F(Scan, WithoutSubfoldersOnlyTheTopFolder) {
    touch(root + "/a.mp3");
    touch(root + "/sub/b.mp3");
    scan(root, false);
    EXPECT_EQ(names(), QStringList({"a.mp3"}));
    EXPECT_EQ(nDirs, 1);
}

TEST_F(Scan, EmptyMissingAndSystemVolumeFolders) {
    EXPECT_EQ(scan(""), 0);
    EXPECT_TRUE(testenv::dialogs().messages.empty());

    touch(root + "/System volume INFORMATION/x/a.mp3", 4096);
    EXPECT_EQ(scan(root + "/System volume INFORMATION/x"), 0);
    EXPECT_TRUE(testenv::dialogs().messages.empty());
    EXPECT_EQ(scan(root), 0);  // below the top folder it is passed over as well
    EXPECT_EQ(nFiles, 0);

    const QString missing = root + "/gibtsnicht";
    EXPECT_EQ(scan(missing), 0);
    ASSERT_EQ(testenv::dialogs().messages.size(), 1u);
    const auto& m = testenv::dialogs().messages[0];
    EXPECT_EQ(m.prompt, "Der angegebene Ordner \"" + missing +
                            "\" wurde nicht gefunden!\r\nBitte geben Sie beim Starten einen gültigen Ordner an!");
    EXPECT_EQ(m.style, platform::vbCritical);
    EXPECT_EQ(nFiles, 0);
    EXPECT_TRUE(receiver.rows.isEmpty());
}

TEST_F(Scan, KilobyteTotalRoundsHalvesToEven) {
    touch(root + "/a.mp3", 1536);
    touch(root + "/b.mp3", 1536);
    EXPECT_EQ(scan(root), 4);  // 1.5 -> 2, 3.5 -> 4
    const QString small = testenv::freshFolder("small");
    touch(small + "/a.mp3", 512);
    touch(small + "/b.mp3", 512);
    touch(small + "/sub/c.mp3", 2048);
    EXPECT_EQ(scan(small), 2);  // 0.5 -> 0 twice, then the subfolder's 2
}

TEST_F(Scan, PastTheSizeLimitSubfoldersCountButAddNoSize) {
    const qint64 huge = qint64(1562500000) * 1024;  // sparse: 1,562,500,000 KB
    QFile f(root + "/gross.mp3");
    if (!f.open(QIODevice::WriteOnly) || !f.resize(huge)) GTEST_SKIP() << "no sparse files here";
    f.close();
    touch(root + "/sub/klein.mp3", 1536);
    EXPECT_EQ(scan(root), 1562500000);
    EXPECT_EQ(nFiles, 2);
    EXPECT_EQ(receiver.rows.size(), 2);
    // A second file would overflow the total: its size is passed over, the file is not.
    QFile g(root + "/gross2.mp3");
    ASSERT_TRUE(g.open(QIODevice::WriteOnly) && g.resize(huge));
    g.close();
    nFiles = 0;
    EXPECT_EQ(scan(root), 1562500000);
    EXPECT_EQ(nFiles, 3);
}

TEST_F(Scan, CountersGoPast16Bits) {
    touch(root + "/a.mp3");
    nFiles = 32767;
    nDirs = 32767;
    scan(root);
    EXPECT_EQ(nFiles, 32768);
    EXPECT_EQ(nDirs, 32768);
    EXPECT_EQ(files[32768], root + "/a.mp3");
    EXPECT_EQ(receiver.captions.last(), "Gefundene Lieder: 32768");
}

TEST_F(Scan, QuitStopsAtTheNextFileAndAfterEachYield) {
    for (const char* n : {"a.mp3", "b.mp3", "c.mp3", "sub/d.mp3", "sub2/e.mp3"}) touch(root + "/" + n);
    receiver.onRow = [&] {
        if (receiver.rows.size() == 2) receiver.stop = true;
    };
    scan(root);
    EXPECT_EQ(receiver.rows.size(), 2);
    EXPECT_EQ(nFiles, 2);

    // Quit arriving with the count: that file is counted but not stored or added.
    struct CountStop : FakeReceiver {
        void showFound(const QString& c) override {
            FakeReceiver::showFound(c);
            if (captions.size() == 3) stop = true;
        }
    } counting;
    setScanReceiver(&counting);
    nFiles = 0;
    files.clear();
    scan(root);
    EXPECT_EQ(counting.rows.size(), 2);
    EXPECT_EQ(nFiles, 3);
    EXPECT_EQ(files.size(), 3);
    EXPECT_EQ(counting.captions.last(), "Gefundene Lieder: 3");
}

TEST_F(Scan, ServesWindowEventsWhileItRuns) {
    for (const char* n : {"a.mp3", "b.mp3"}) touch(root + "/" + n);
    bool served = false;
    QMetaObject::invokeMethod(qApp, [&] { served = true; }, Qt::QueuedConnection);
    bool servedBeforeSecond = false;
    receiver.onRow = [&] {
        if (receiver.rows.size() == 2) servedBeforeSecond = served;
    };
    scan(root);
    EXPECT_TRUE(servedBeforeSecond);
}

TEST_F(Scan, ASecondScanWhileOneRunsIsRefused) {
    touch(root + "/a.mp3");
    touch(root + "/b.mp3");
    int32_t d = 0, n = 0, inner = -1;
    QStringList innerFiles;
    receiver.onRow = [&] {
        EXPECT_TRUE(frmDatei::scanRunning());
        inner = frmDatei::FindFile(root, "*.mp3", d, n, innerFiles, true);
    };
    scan(root);
    EXPECT_EQ(inner, 0);
    EXPECT_EQ(n, 0);
    EXPECT_EQ(receiver.rows.size(), 2);
    EXPECT_FALSE(frmDatei::scanRunning());
}

TEST_F(Scan, LinkBackIntoTheTreeEndsThere) {
    touch(root + "/a.mp3");
    touch(root + "/sub/b.mp3");
    ASSERT_EQ(::symlink("..", (root + "/sub/zurueck").toUtf8().constData()), 0);
    const QString outside = testenv::freshFolder("outside");
    touch(outside + "/c.mp3");
    ASSERT_EQ(::symlink(outside.toUtf8().constData(), (root + "/sub/aussen").toUtf8().constData()), 0);
    ASSERT_EQ(::symlink("weg.mp3", (root + "/tot.mp3").toUtf8().constData()), 0);
    scan(root);
    // A dead link has nothing to read: passed over like a file that has gone.
    EXPECT_EQ(names(), QStringList({"a.mp3", "sub/b.mp3", "sub/aussen/c.mp3"}));
}

// A folder without permission: one line in the trace file each scan, the rest is listed.
TEST_F(Scan, FolderWithoutPermissionIsPassedOverWithOneLine) {
    touch(root + "/a.mp3");
    touch(root + "/zu/b.mp3");
    touch(root + "/zu/tiefer/c.mp3");
    touch(root + "/z.mp3");
    const QString zu = root + "/zu";
    const QString line = "Ordner nicht lesbar, übergangen: \"" + zu + "\"";
    const auto scanTwice = [&] {
        for (int round = 1; round <= 2; ++round) {
            const int before = traceLinesAbout(line);
            receiver.rows.clear();
            scan(root);
            EXPECT_EQ(names(), QStringList({"a.mp3", "z.mp3"}));
            EXPECT_EQ(traceLinesAbout(line) - before, 1);
        }
    };
    // As root every folder opens: the fault stands in for the missing permission.
    platform::setFileFault([zu](const QString& p) { return p == zu ? EACCES : 0; });
    scanTwice();
    // The same as the top folder: no "not found" box.
    const int before = traceLinesAbout(line);
    receiver.rows.clear();
    scan(zu);
    EXPECT_TRUE(receiver.rows.isEmpty());
    EXPECT_EQ(traceLinesAbout(line) - before, 1);
    platform::setFileFault({});
    if (::geteuid() != 0) {
        ::chmod(zu.toUtf8().constData(), 0);
        scanTwice();
        ::chmod(zu.toUtf8().constData(), 0755);
    }
    EXPECT_TRUE(testenv::dialogs().messages.empty());
}

TEST_F(Scan, FileWithoutReadPermissionIsPassedOver) {
    touch(root + "/a.mp3", 300);
    touch(root + "/b.mp3", 300);
    touch(root + "/c.mp3", 300);
    ::chmod((root + "/b.mp3").toUtf8().constData(), 0);
    const testenv::WithoutRootFileRights notRoot;
    if (!notRoot.holds()) GTEST_SKIP() << "root reads every file; the device-error case covers the same road";
    expectPassedOver([&] { scan(root); }, root + "/b.mp3", {root + "/a.mp3", root + "/c.mp3"});
}

TEST_F(Scan, FileWithADeviceErrorOrGoneSinceTheListingIsPassedOver) {
    touch(root + "/a.mp3", 300);
    touch(root + "/b.mp3", 300);
    touch(root + "/c.mp3", 300);
    const QString bad = root + "/b.mp3";
    platform::setFileFault([bad](const QString& p) { return p == bad ? EIO : 0; });
    expectPassedOver([&] { scan(root); }, bad, {root + "/a.mp3", root + "/c.mp3"});
    platform::setFileFault({});

    // Removed after the listing, while the first row was being added.
    receiver.onRow = [&] { QFile::remove(bad); };
    expectPassedOver(
        [&] {
            touch(bad, 300);
            scan(root);
        },
        bad, {root + "/a.mp3", root + "/c.mp3"});
}

TEST_F(Scan, SubfolderVanishingDuringTheScan) {
    touch(root + "/a.mp3");
    touch(root + "/b/b.mp3");
    touch(root + "/c/c.mp3");
    receiver.onRow = [&] {
        if (receiver.rows.size() == 1) QDir(root + "/b").removeRecursively();
    };
    scan(root);
    EXPECT_EQ(names(), QStringList({"a.mp3", "c/c.mp3"}));
    ASSERT_EQ(testenv::dialogs().messages.size(), 1u);
    EXPECT_TRUE(testenv::dialogs().messages[0].prompt.contains(root + "/b\""));
}

TEST_F(Scan, RegistersEveryLevelWithTheTracer) {
    touch(root + "/sub/a.mp3");
    ErrPtnr::ring().clear();
    scan(root);
    QStringList decl;
    for (const QString& e : ErrPtnr::ring().entries())
        if (e.contains("FindFile")) decl << e.section(' ', 1, -1);
    ASSERT_EQ(decl.size(), 2);
    EXPECT_EQ(decl[0],
              "[frmDatei] Public Function FindFile(ByVal sFol As String, sFile As String,nDirs As Integer, nFiles "
              "As Integer, files() As String, WithSubfolders As Boolean) As Long");
    const QStringList e = ErrPtnr::ring().entries();
    qsizetype top = -1;  // the top call's entry is the oldest
    for (qsizetype i = 0; i < e.size(); ++i)
        if (e[i].contains("FindFile")) top = i;
    ASSERT_GE(e.size(), top + 7);
    // Registered last parameter first, so they read in declaration order.
    EXPECT_TRUE(e[top + 1].contains("sFol") && e[top + 1].contains(root));
    EXPECT_TRUE(e[top + 2].contains("sFile"));
    EXPECT_TRUE(e[top + 5].contains("files()"));
    EXPECT_TRUE(e[top + 6].contains("WithSubfolders"));
}

}  // namespace
