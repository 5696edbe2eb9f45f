#pragma once
// What every test binary shares: a scratch folder as program folder and settings
// store, dialogs answered at once, the error dialog answered by a hook, and a
// program end that throws instead of leaving the process.
#include "platform/dialogs.h"

#include <QPointF>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <functional>
#include <deque>
#include <gtest/gtest.h>
#include <linux/capability.h>
#include <optional>
#include <unistd.h>
#include <vector>

class QWidget;

namespace testenv {

// Answers dialogs from queues; records every message box.
class FakeAnswerer : public platform::Answerer {
public:
    std::vector<platform::MessageRequest> messages;
    std::deque<int> messageAnswers;                   // default: OK / Yes
    std::deque<QString> folderAnswers;                // default: cancel ("")
    std::deque<std::optional<int32_t>> colorAnswers;  // default: cancel
    std::deque<std::optional<QString>> saveAnswers;   // default: cancel
    std::vector<QString> folderTitles;
    std::vector<QString> folderStarts;
    std::function<void()> duringDialog;               // runs inside each dialog (timers tick there)

    int message(const platform::MessageRequest& r) override;
    QString folder(const QString& title, const QString& start) override;
    std::optional<int32_t> color(int32_t initial) override;
    std::optional<QString> saveFile(const QString& title, const QString& proposed) override;
    void reset();
};

FakeAnswerer& dialogs();

// The folder that stands in for the program folder (cleared before each test binary).
QString programFolder();
// The folders that stand in for the user's data folder and settings folder.
QString dataFolder();
QString configFolder();
// The settings folder of the user who runs the tests, which no test may write into.
QString userConfigFolder();
// A path where no folder can be made (below a plain file), as a folder that cannot be written.
QString unwritableFolder();
// A fresh empty folder below the scratch area.
QString freshFolder(const QString& name);

// Root reads and writes any file: while this lives, the test's thread gives up the two rights
// that pass over file modes, so that the modes hold for it as for anybody else.
class WithoutRootFileRights {
public:
    WithoutRootFileRights();
    ~WithoutRootFileRights();
    WithoutRootFileRights(const WithoutRootFileRights&) = delete;
    WithoutRootFileRights& operator=(const WithoutRootFileRights&) = delete;
    // Whether file modes now hold for this thread (always for a user who is not root).
    bool holds() const { return dropped_ || ::geteuid() != 0; }

private:
    __user_cap_header_struct header_{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct saved_[2]{};
    bool dropped_ = false;
};

// Errors reported to the error dialog while the default hook is installed.
struct ReportedError {
    int number;
    QString description;
    QString module;
    QString procedure;
};
std::vector<ReportedError>& reportedErrors();
// Answer the default hook gives (2 unless a test changes it).
void setDefaultErrorAnswer(int answer);

// While it lives, the real dialogs run their own modal loops, and every 10 ms `answer`
// sees each visible top-level window: the test picks its dialog and answers it.
class RealDialogs {
public:
    explicit RealDialogs(std::function<void(QWidget*)> answer);
    ~RealDialogs();
    RealDialogs(const RealDialogs&) = delete;
    RealDialogs& operator=(const RealDialogs&) = delete;

private:
    platform::Answerer* fake_;
    QTimer timer_;
};

// Starts every test with a silent mixer: no click, beep or song of an earlier test is heard in it.
class CleanMixer : public ::testing::EmptyTestEventListener {
public:
    void OnTestStart(const ::testing::TestInfo&) override;
};

// A left press and release at a point of the widget, as a finger taps it.
void tap(QWidget* w, QPointF at = QPointF(5, 5));

// While it lives, a write that would make a file longer than `bytes` stops half way,
// as on a full disk.
class FileSizeLimit {
public:
    explicit FileSizeLimit(long bytes);
    ~FileSizeLimit();
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    long oldSoft_;
    void (*oldHandler_)(int);
};

class Environment : public ::testing::Environment {
public:
    void SetUp() override;
    void TearDown() override;
};

}  // namespace testenv
