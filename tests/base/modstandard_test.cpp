// The standard helpers, the folder picker and the task bar and desktop pair.
#include "base/modBrowseForFolder.h"
#include "base/modStandard.h"
#include "base/modVirtualKeyboard.h"
#include "platform/clock.h"
#include "platform/colors.h"
#include "platform/vbtimer.h"
#include "platform/virtualtime.h"
#include "support/testenv.h"

#include <QAbstractEventDispatcher>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

QString entry(int i) { return ErrPtnr::ring().at(i); }
QString declarationOf(int i) { return entry(i).mid(9); }  // after "HH:MM:SS "

// Records the dialog's answers for the duration of a test.
struct DialogAnswers {
    ErrPtnr::AnswerHook saved = ErrPtnr::answerHook();
    std::vector<QString> procedures;
    int answer = 2;
    DialogAnswers() {
        ErrPtnr::setAnswerHook([this](ErrPtnr& d) {
            procedures.push_back(d.lblError[1]->text() + QLatin1Char('.') + d.lblError[2]->text());
            return answer;
        });
    }
    ~DialogAnswers() { ErrPtnr::setAnswerHook(saved); }
};

TEST(Backslash, DropsOneTrailingSeparator) {
    EXPECT_EQ(Backslash(QString()), QString());
    EXPECT_EQ(Backslash(QStringLiteral("\\")), QString());
    EXPECT_EQ(Backslash(QStringLiteral("C:\\")), QStringLiteral("C:"));
    EXPECT_EQ(Backslash(QStringLiteral("C:\\Musik")), QStringLiteral("C:\\Musik"));
    EXPECT_EQ(Backslash(QStringLiteral("C:\\Musik\\\\")), QStringLiteral("C:\\Musik\\"));
    EXPECT_EQ(Backslash(QStringLiteral("/home/kiosk/Musik/")), QStringLiteral("/home/kiosk/Musik"));
    EXPECT_EQ(Backslash(QStringLiteral("/")), QString());
    EXPECT_EQ(declarationOf(1), QStringLiteral("[modStandard] Public Function Backslash(Pfad$) As String"));
    EXPECT_EQ(entry(2), QStringLiteral("\tPfad$:\t/"));
}

struct Failing {
    int v;
    operator QString() const { return QString::number(v); }
    bool operator<=(const Failing&) const { platform::raise(13); }
    bool operator>=(const Failing&) const { platform::raise(13); }
};

TEST(MinMax, TiesGiveTheFirstAndFailuresGoToTheDialog) {
    EXPECT_EQ(Min(300, 255), 255);
    EXPECT_EQ(Max(-5, 0), 0);
    EXPECT_EQ(declarationOf(1), QStringLiteral("[modStandard] Public Function Max(val1, val2)"));
    EXPECT_EQ(entry(2), QStringLiteral("\tval1:\t-5"));
    EXPECT_EQ(entry(3), QStringLiteral("\tval2:\t0"));
    EXPECT_EQ(Min(1.5, 1.5), 1.5);
    // Equal in value, told apart by their text: the first comes back.
    struct Tagged {
        int v;
        QString tag;
        operator QString() const { return tag; }
        bool operator<=(const Tagged& o) const { return v <= o.v; }
        bool operator>=(const Tagged& o) const { return v >= o.v; }
    };
    EXPECT_EQ(Min(Tagged{1, "a"}, Tagged{1, "b"}).tag, QStringLiteral("a"));
    EXPECT_EQ(Max(Tagged{1, "a"}, Tagged{1, "b"}).tag, QStringLiteral("a"));

    DialogAnswers dialog;
    EXPECT_EQ(Min(Failing{4}, Failing{5}).v, 0);  // left: an empty value
    EXPECT_EQ(Max(Failing{4}, Failing{5}).v, 0);
    EXPECT_EQ(dialog.procedures, (std::vector<QString>{QStringLiteral("modStandard.Min"), QStringLiteral("modStandard.Max")}));
}

TEST(ColorToRGB, SplitsKeepingTheSign) {
    const TypeFarbe c = ColorToRGB(0xFF8040);
    EXPECT_EQ(c.R, 64);
    EXPECT_EQ(c.G, 128);
    EXPECT_EQ(c.B, 255);
    const TypeFarbe z = ColorToRGB(0);
    EXPECT_EQ(z.R + z.G + z.B, 0);
    const TypeFarbe s = ColorToRGB(platform::vbWindowBackground);
    EXPECT_EQ(s.R, -251);
    EXPECT_EQ(s.G, -255);
    EXPECT_EQ(s.B, -255);
    EXPECT_EQ(declarationOf(1), QStringLiteral("[modStandard] Public Function ColorToRGB(ByVal Color As Long) As TypeFarbe"));
    EXPECT_EQ(entry(2), QStringLiteral("\tColor:\t-2147483643"));
}

TEST(Standard, CChkIDEModeShortPath) {
    EXPECT_EQ(CChk(true), 1);
    EXPECT_EQ(CChk(false), 0);
    EXPECT_EQ(entry(2), QStringLiteral("\tValue:\tFalse"));
    EXPECT_FALSE(IDEMode());
    EXPECT_EQ(declarationOf(1), QStringLiteral("[modStandard] Public Function IDEMode() As Boolean"));

    const QString dir = testenv::freshFolder(QStringLiteral("short"));
    const QString file = dir + QStringLiteral("/Lied Nr 1.mp3");
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.close();
    EXPECT_EQ(ShortPath(file), file);
    EXPECT_EQ(ShortPath(dir), dir);
    EXPECT_EQ(ShortPath(dir + QStringLiteral("/fehlt.mp3")), QString());
    EXPECT_EQ(ShortPath(QString()), QString());
}

TEST(MySleep, ServesEventsAtLeastOnce) {
    platform::VirtualTime vt;
    MySleep(0);
    EXPECT_EQ(vt.elapsed(), 1u);  // one pump
    MySleep(-20);
    EXPECT_EQ(vt.elapsed(), 2u);
    EXPECT_EQ(declarationOf(1), QStringLiteral("[modStandard] Public Sub MySleep(Millisec As Long)"));
    EXPECT_EQ(entry(2), QStringLiteral("\tMillisec:\t-20"));
}

TEST(MySleep, WaitsTheRequestedTimeAcrossTheCounterWrap) {
    platform::VirtualTime vt(QDateTime(QDate(2026, 12, 8), QTime(20, 0)), 0xFFFFFFFFu - 5);
    int ticks = 0;
    platform::VbTimer timer(nullptr, 10, true);
    timer.onTimer = [&] { ++ticks; };
    MySleep(50);
    EXPECT_EQ(vt.elapsed(), 50u);
    EXPECT_EQ(ticks, 5);  // timers run inside the wait
    vt.setPumpStep(7);
    MySleep(50);
    EXPECT_EQ(vt.elapsed(), 50u + 56u);  // the first reading at or past 50 ms
}

TEST(MySleep, ReentrantWaitsKeepTheirOwnStart) {
    platform::VirtualTime vt;
    platform::VbTimer timer(nullptr, 5, true);
    int inner = 0;
    timer.onTimer = [&] {
        if (inner++ == 0) MySleep(100);
    };
    MySleep(20);
    EXPECT_GE(vt.elapsed(), 105u);  // the inner wait ran to its end inside the outer one
}

TEST(MySleep, SleepsBetweenEventsAndServesThemAsTheyCome) {
    // The real clock: the wait must block in the event loop instead of pumping on.
    int blocked = 0;
    QAbstractEventDispatcher* d = QAbstractEventDispatcher::instance();
    ASSERT_NE(d, nullptr);
    const auto c = QObject::connect(d, &QAbstractEventDispatcher::aboutToBlock, [&] { ++blocked; });
    bool fired = false;
    QTimer soon;
    soon.setSingleShot(true);
    QObject::connect(&soon, &QTimer::timeout, [&] { fired = true; });
    soon.start(5);
    const uint32_t start = platform::tickCount();
    MySleep(30);
    const uint32_t waited = platform::tickCount() - start;
    QObject::disconnect(c);
    EXPECT_TRUE(fired);
    EXPECT_GE(waited, 30u);
    EXPECT_GE(blocked, 1);
}

TEST(ApiTimers, TickIntoTimerProcUntilKilled) {
    platform::VirtualTime vt;
    std::vector<std::pair<int32_t, int32_t>> ticks;  // id, message
    modStandard_detail::setTimerProcHook([&](int32_t hwnd, int32_t msg, int32_t id, int32_t) {
        EXPECT_EQ(hwnd, 7);
        ticks.emplace_back(id, msg);
    });
    EXPECT_EQ(vbSetTimer(7, 3, 100), 3);
    vt.advance(250);
    EXPECT_EQ(ticks.size(), 2u);
    EXPECT_EQ(ticks[0], std::make_pair(3, 0x113));
    // Setting the same timer again starts a full new interval.
    vt.advance(40);
    EXPECT_EQ(vbSetTimer(7, 3, 100), 3);
    vt.advance(90);
    EXPECT_EQ(ticks.size(), 2u);
    vt.advance(10);
    EXPECT_EQ(ticks.size(), 3u);
    EXPECT_TRUE(vbKillTimer(7, 3));
    vt.advance(500);
    EXPECT_EQ(ticks.size(), 3u);

    testenv::dialogs().reset();
    EXPECT_FALSE(vbKillTimer(7, 3));
    ASSERT_EQ(testenv::dialogs().messages.size(), 1u);
    EXPECT_EQ(testenv::dialogs().messages[0].prompt, QStringLiteral("Fehler \"vbKillTimer\"\r\nErr.LastDLLError: 1402"));
    EXPECT_EQ(testenv::dialogs().messages[0].icon(), platform::vbExclamation);
    testenv::dialogs().reset();
    modStandard_detail::setTimerProcHook(nullptr);
}

TEST(ApiTimers, WithoutWindowTheSystemChoosesTheIdAndATimerMayKillItself) {
    platform::VirtualTime vt;
    int32_t id = 0;
    int ticks = 0;
    modStandard_detail::setTimerProcHook([&](int32_t, int32_t, int32_t idEvent, int32_t) {
        ++ticks;
        EXPECT_EQ(idEvent, id);
        EXPECT_TRUE(vbKillTimer(0, idEvent));
    });
    id = vbSetTimer(0, 0, 1);
    EXPECT_NE(id, 0);
    vt.advance(9);
    EXPECT_EQ(ticks, 0);  // raised to the 10 ms minimum
    vt.advance(100);
    EXPECT_EQ(ticks, 1);
    modStandard_detail::setTimerProcHook(nullptr);
}

TEST(GetFolder, ReturnsAnExistingChosenFolderOrNothing) {
    auto& fake = testenv::dialogs();
    fake.reset();
    ErrPtnr::CallStack(QStringLiteral("[modTest] Public Sub Before()"));
    EXPECT_EQ(GetFolder(nullptr), QString());  // cancelled
    EXPECT_EQ(fake.folderTitles.back(), QStringLiteral("Ordner wählen"));
    EXPECT_EQ(declarationOf(1), QStringLiteral("[modBrowseForFolder] Public Function GetFolder(hwnd As Long,Optional "
                                               "DialogTitle As String = \"Ordner wählen\",Optional IDRoot As Long = 0,"
                                               "Optional StartOrdner As String) As String"));
    EXPECT_EQ(entry(2), QStringLiteral("\thwnd:\t0"));
    EXPECT_EQ(declarationOf(3), QStringLiteral("[modTest] Public Sub Before()"));  // left-out optionals not registered

    const QString dir = testenv::freshFolder(QStringLiteral("songs"));
    fake.folderAnswers = {dir, dir + QStringLiteral("/gibt es nicht")};
    EXPECT_EQ(GetFolder(nullptr, QStringLiteral("Musikordner"), 0), dir);
    EXPECT_EQ(fake.folderTitles.back(), QStringLiteral("Musikordner"));
    EXPECT_EQ(entry(2), QStringLiteral("\thwnd:\t0"));
    EXPECT_EQ(entry(3), QStringLiteral("\tDialogTitle:\tMusikordner"));
    EXPECT_EQ(entry(4), QStringLiteral("\tIDRoot:\t0"));
    EXPECT_EQ(GetFolder(nullptr), QString());  // not a folder
    fake.reset();
}

TEST(Desktop, WithoutX11NothingIsFound) {
    // The tests run offscreen: no task bar and no desktop view exist.
    ShowTaskbar();
    EXPECT_EQ(hTaskbar, 0u);
    HideTaskbar();
    EXPECT_EQ(hTaskbar, 0u);
    ShowTaskbar();
    EXPECT_TRUE(ToggleDesktopIcons(true));
    EXPECT_EQ(declarationOf(1),
              QStringLiteral("[modStandard] Public Function ToggleDesktopIcons(Optional ByVal NoInteract As Boolean) As Boolean"));
    EXPECT_EQ(entry(2), QStringLiteral("\tNoInteract:\tTrue"));
    EXPECT_TRUE(ToggleDesktopIcons(true));
    EXPECT_TRUE(ToggleDesktopIcons());
    EXPECT_FALSE(entry(2).startsWith(QLatin1Char('\t')));
    EXPECT_FALSE(IconsVersteckt);
}

}  // namespace
