#include "base/frmDatei.h"
#include "platform/program.h"
#include "platform/settingsstore.h"
#include "support/testenv.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <unistd.h>

namespace {

TEST(FileWatch, DigitsOfAName) {
    EXPECT_EQ(frmDatei::GetRealString("Protokoll12a"), "Protokolla");
    EXPECT_EQ(frmDatei::GetRealInteger("Protokoll12a"), 12);
    EXPECT_EQ(frmDatei::GetRealString("2024"), "");
    EXPECT_EQ(frmDatei::GetRealInteger("ohne"), 0);
    EXPECT_EQ(frmDatei::GetRealInteger("a0b0c7"), 7);
    EXPECT_EQ(frmDatei::GetRealInteger("x32767"), 32767);
}

TEST(FileWatch, NumberAbove16BitsGoesToTheErrorDialog) {
    testenv::reportedErrors().clear();
    EXPECT_EQ(frmDatei::GetRealInteger("Datei32768"), 0);
    EXPECT_EQ(frmDatei::GetRealInteger("1234567890123456789012345"), 0);
    ASSERT_EQ(testenv::reportedErrors().size(), 2u);
    EXPECT_EQ(testenv::reportedErrors()[0].number, 6);
    EXPECT_EQ(testenv::reportedErrors()[0].module, "frmDatei");
    EXPECT_EQ(testenv::reportedErrors()[0].procedure, "GetRealInteger");
}

TEST(FileWatch, FileInUseOnlyWhileLockedOrUnopenable) {
    const QString dir = testenv::freshFolder("inuse");
    const QString f = dir + "/log.txt";
    QFile(f).open(QIODevice::WriteOnly);
    EXPECT_FALSE(frmDatei::FileInUse(f));
    const int fd = ::open(f.toUtf8().constData(), O_RDONLY);
    ASSERT_EQ(::flock(fd, LOCK_EX), 0);
    EXPECT_TRUE(frmDatei::FileInUse(f));
    ::close(fd);
    EXPECT_FALSE(frmDatei::FileInUse(f));
    EXPECT_TRUE(frmDatei::FileInUse(dir + "/fehlt.txt"));
    EXPECT_FALSE(QFileInfo::exists(dir + "/fehlt.txt"));
}

// Records what the save dialog was shown with.
struct SaveRecorder : testenv::FakeAnswerer {
    QStringList titles, proposals;
    std::optional<QString> saveFile(const QString& title, const QString& proposed) override {
        titles << title;
        proposals << proposed;
        return FakeAnswerer::saveFile(title, proposed);
    }
};

struct CountingReceiver : ScanReceiver {
    int rows = 0, captions = 0;
    void EineZeileInsArchiv(const QString&, int32_t) override { ++rows; }
    void showFound(const QString&) override { ++captions; }
};

class FileWatchForm : public ::testing::Test {
protected:
    void SetUp() override {
        platform::setAnswerer(&dialogs);
        setScanReceiver(&archive);
        dir = testenv::freshFolder("watch1");
        watched = write("Protokoll3.txt", "neu");
        write("Protokoll7.txt", "alt");
        write("Protokoll12.txt", "alt");
        write("Protokolla.txt", "alt");
        write("Anderes99.txt", "alt");
        platform::SaveSetting(platform::appTitle(), "Data", "File", watched);
    }
    void TearDown() override {
        frmDatei::unload();
        setScanReceiver(nullptr);
        platform::setAnswerer(&testenv::dialogs());
    }
    QString write(const QString& name, const QByteArray& text) {
        QFile f(dir + "/" + name);
        f.open(QIODevice::WriteOnly);
        f.write(text);
        return f.fileName();
    }
    void touchLater(const QString& path, int seconds) {
        QFile f(path);
        f.open(QIODevice::ReadWrite);
        f.setFileTime(QFileInfo(path).lastModified().addSecs(seconds), QFileDevice::FileModificationTime);
    }
    SaveRecorder dialogs;
    CountingReceiver archive;
    QString dir, watched;
};

TEST_F(FileWatchForm, LoadTakesTheWatchedFileFromTheSettings) {
    frmDatei& f = frmDatei::instance();
    EXPECT_EQ(f.windowTitle(), "Datei Inspektor");
    EXPECT_EQ(f.Text1->text(), watched);
    EXPECT_EQ(f.Dateizeit, QFileInfo(watched).lastModified());
    f.Text1->setText(dir + "/Anderes99.txt");
    f.Command1_Click();
    EXPECT_EQ(platform::GetSetting(platform::appTitle(), "Data", "File"), dir + "/Anderes99.txt");
}

TEST_F(FileWatchForm, UnchangedFileOffersNothing) {
    frmDatei::instance().Timer1_Timer();
    EXPECT_TRUE(dialogs.titles.isEmpty());
}

TEST_F(FileWatchForm, ChangedFileIsOfferedUnderTheNextNumber) {
    frmDatei& f = frmDatei::instance();
    touchLater(watched, 5);
    const QString target = dir + "/Kopie.txt";
    dialogs.saveAnswers.push_back(target);
    f.Timer1_Timer();
    ASSERT_EQ(dialogs.proposals.size(), 1);
    // Digits of the folder's name or the extension do not count.
    EXPECT_EQ(dialogs.proposals[0], "Protokoll13.txt");
    EXPECT_EQ(dialogs.titles[0], watched + " speichern");
    QFile copy(target);
    ASSERT_TRUE(copy.open(QIODevice::ReadOnly));
    EXPECT_EQ(copy.readAll(), "neu");
    // Listing the numbered files adds nothing to the kiosk's archive.
    EXPECT_EQ(archive.rows, 0);
    EXPECT_EQ(archive.captions, 0);
    f.Timer1_Timer();  // seen: no second offer
    EXPECT_EQ(dialogs.proposals.size(), 1);
}

TEST_F(FileWatchForm, FileInUseIsTriedAgainOnTheNextTick) {
    frmDatei& f = frmDatei::instance();
    touchLater(watched, 5);
    const int fd = ::open(watched.toUtf8().constData(), O_RDONLY);
    ASSERT_EQ(::flock(fd, LOCK_EX), 0);
    f.Timer1_Timer();
    EXPECT_TRUE(dialogs.titles.isEmpty());
    ::close(fd);
    f.Timer1_Timer();  // cancelled: nothing copied
    EXPECT_EQ(dialogs.titles.size(), 1);
    EXPECT_EQ(QDir(dir).entryList(QDir::Files).size(), 5);
}

TEST_F(FileWatchForm, MissingWatchedFileWaitsForIt) {
    const QString later = dir + "/Neu1.log";
    platform::SaveSetting(platform::appTitle(), "Data", "File", later);
    frmDatei& f = frmDatei::instance();
    f.Timer1_Timer();
    EXPECT_TRUE(dialogs.titles.isEmpty());
    write("Neu1.log", "x");
    f.Timer1_Timer();
    ASSERT_EQ(dialogs.proposals.size(), 1);
    EXPECT_EQ(dialogs.proposals[0], "Neu2.log");
}

}  // namespace
