// Windows over the kiosk come to the front at every showing, the maximised kiosk
// covers the screen without a window manager, and the refusal beep is a real tone.
#include "platform/beeptone.h"
#include "platform/desktop.h"
#include "platform/dialogs.h"
#include "platform/mixer.h"
#include "platform/screen.h"
#include "platform/toplevel.h"
#include "support/testenv.h"

#include <QFile>
#include <QFileDialog>
#include <QGuiApplication>
#include <QScreen>
#include <QWindow>
#include <QWidget>
#include <algorithm>
#include <cstdlib>
#include <gtest/gtest.h>

namespace {

struct RaiseLog {
    std::vector<QWidget*> raised;
    std::vector<QWidget*> focused;
    RaiseLog() {
        platform::setBringToFrontHook([this](QWidget* w) { raised.push_back(w); });
        platform::setGiveFocusHook([this](QWidget* w) { focused.push_back(w); });
    }
    ~RaiseLog() {
        platform::setBringToFrontHook({});
        platform::setGiveFocusHook({});
    }
};

TEST(TopLevel, EveryShowingOfAWindowBringsItToTheFront) {
    RaiseLog log;
    QWidget owner;
    QWidget w;
    platform::bringToFrontWhenShown(&w, &owner);
    owner.show();
    w.show();
    EXPECT_EQ(log.raised, std::vector<QWidget*>{&w});
    // Hidden, it gives the focus back to the window below, which is not raised: a file
    // manager opened meanwhile stays above the kiosk. An X11 window mapped again keeps
    // its old place in the stack, so the next showing raises it anew.
    w.hide();
    EXPECT_EQ(log.raised, std::vector<QWidget*>{&w});
    EXPECT_EQ(log.focused, std::vector<QWidget*>{&owner});
    w.show();
    EXPECT_EQ(log.raised, (std::vector<QWidget*>{&w, &w}));
    ASSERT_TRUE(w.windowHandle());
    EXPECT_EQ(w.windowHandle()->transientParent(), owner.windowHandle());
}

TEST(TopLevel, MaximisedWithoutAWindowManagerTakesTheWholeScreen) {
    ASSERT_FALSE(platform::desktop::windowManagerRunning());  // offscreen: nobody answers
    QWidget w;
    w.resize(300, 200);
    platform::maximize(&w);
    w.show();
    // The offscreen platform draws a frame around the window's area; X11 without a manager none.
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    EXPECT_EQ(w.frameGeometry().topLeft(), screen.topLeft());
    EXPECT_EQ(w.size(), screen.size());
}

TEST(BeepTone, TheBeepSoundsThroughTheMixerAndEndsSoftly) {
    const std::vector<int16_t> tone = platform::beepTone();
    ASSERT_FALSE(tone.empty());
    EXPECT_EQ(tone.size() % 2, 0u);
    // Soft edges: no click where the tone starts or stops.
    EXPECT_LT(std::abs(tone.front()), 200);
    EXPECT_LT(std::abs(tone.back()), 200);

    platform::TestAudioOutput out;
    const int before = platform::beepCount();
    platform::beep();
    EXPECT_EQ(platform::beepCount(), before + 1);
    const std::vector<int16_t> heard = out.pull(200);
    int peak = 0;
    for (int16_t v : heard) peak = std::max(peak, std::abs(int(v)));
    EXPECT_GT(peak, 5000);
    const std::vector<int16_t> after = out.pull(100);
    EXPECT_TRUE(std::all_of(after.begin(), after.end(), [](int16_t v) { return v == 0; }));
}

// A test that ends with its beep still sounding: the next test must not hear it.
TEST(BeepTone, ABeepLeftSoundingByOneTest) {
    platform::beep();
    platform::TestAudioOutput out;
    const std::vector<int16_t> heard = out.pull(20);
    EXPECT_TRUE(std::any_of(heard.begin(), heard.end(), [](int16_t v) { return v != 0; }));
}

TEST(BeepTone, IsNotHeardInTheNextTest) {
    platform::TestAudioOutput out;
    const std::vector<int16_t> heard = out.pull(200);
    EXPECT_TRUE(std::all_of(heard.begin(), heard.end(), [](int16_t v) { return v == 0; }));
}

}  // namespace

namespace {

// The real folder picker, run in its own loop; a timer notes where it opened and cancels it.
QString pickerOpensIn(const QString& start) {
    QString shown;
    const testenv::RealDialogs real([&](QWidget* w) {
        if (auto* d = qobject_cast<QFileDialog*>(w)) {
            shown = d->directory().absolutePath();
            d->reject();
        }
    });
    EXPECT_EQ(platform::pickFolder(nullptr, QStringLiteral("Ordner wählen"), start), QString());
    return shown;
}

}  // namespace

TEST(FolderPicker, OpensInTheGivenFolderOrItsNearestExistingParent) {
    const QString lieder = testenv::freshFolder(QStringLiteral("lieder"));
    EXPECT_EQ(pickerOpensIn(lieder), lieder);
    EXPECT_EQ(pickerOpensIn(lieder + QStringLiteral("/fehlt/auch")), lieder);
}

// Qt's file dialog keeps a history of the folders it showed in the user's settings folder;
// the tests' pickers keep theirs in the scratch area.
TEST(FolderPicker, KeepsNothingInTheSettingsFolderOfWhoeverRunsTheTests) {
    const QString lieder = testenv::freshFolder(QStringLiteral("heim"));
    EXPECT_EQ(pickerOpensIn(lieder), lieder);
    QFile qt(testenv::userConfigFolder() + QStringLiteral("/QtProject.conf"));
    if (qt.open(QIODevice::ReadOnly)) {
        EXPECT_FALSE(qt.readAll().contains(QFile::encodeName(lieder)));
    }
}
