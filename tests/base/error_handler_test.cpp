#include "base/ErrorHandler.h"
#include "base/modVirtualKeyboard.h"
#include "platform/desktop.h"
#include "support/testenv.h"

#include <QLabel>
#include <gtest/gtest.h>

namespace {

struct Answers {
    std::deque<int> queue;
    int calls = 0;
    ErrPtnr::AnswerHook saved = ErrPtnr::answerHook();
    Answers() {
        ErrPtnr::setAnswerHook([this](ErrPtnr&) {
            ++calls;
            if (queue.empty()) return 2;
            int a = queue.front();
            queue.pop_front();
            return a;
        });
    }
    // The test environment's hook records what later tests look at: put it back.
    ~Answers() { ErrPtnr::setAnswerHook(saved); }
};

int failingTwice(int& attempts) {
    if (++attempts <= 2) platform::raise(6);
    return 7;
}

TEST(ErrorHandler, RetryRepeatsTheFailingStatement) {
    Answers a;
    a.queue = {0, 0};
    int attempts = 0, result = 0;
    withErrorHandler("modTest", "Retry", result, [&](ErrorHandler& on) { on([&] { result = failingTwice(attempts); }); });
    EXPECT_EQ(result, 7);
    EXPECT_EQ(attempts, 3);
    EXPECT_EQ(a.calls, 2);
}

TEST(ErrorHandler, NextSkipsOnlyTheFailingStatement) {
    Answers a;
    a.queue = {1};
    std::vector<int> ran;
    withErrorHandler("modTest", "Next", [&](ErrorHandler& on) {
        on([&] { ran.push_back(1); });
        on([&] { platform::raise(13); ran.push_back(2); });
        on([&] { ran.push_back(3); });
    });
    EXPECT_EQ(ran, (std::vector<int>{1, 3}));
    EXPECT_EQ(Err().Number, 13);
}

TEST(ErrorHandler, LeaveReturnsThePartialResult) {
    Answers a;
    a.queue = {2};
    QString result;
    const QString r = withErrorHandler("modTest", "Leave", result, [&](ErrorHandler& on) {
        on([&] { result = "teil"; });
        on([&] { platform::raise(9); });
        on([&] { result = "ganz"; });
    });
    EXPECT_EQ(r, "teil");
}

int innerWithoutHandler() {
    platform::raise(11);
    return 1;
}

int innerWithHandler(std::vector<QString>& log) {
    int result = 5;
    return withErrorHandler("modInner", "Inner", result, [&](ErrorHandler& on) {
        on([&] { platform::raise(6); });
        log.push_back("inner goes on");
    });
}

TEST(ErrorHandler, AnErrorWithoutHandlerReachesTheCallersHandler) {
    Answers a;
    a.queue = {1};
    testenv::reportedErrors().clear();
    int result = -1;
    withErrorHandler("modOuter", "Outer", result, [&](ErrorHandler& on) { on([&] { result = innerWithoutHandler(); }); });
    EXPECT_EQ(result, -1);  // the skipped statement assigned nothing
    EXPECT_EQ(a.calls, 1);
    EXPECT_EQ(Err().Number, 11);
}

TEST(ErrorHandler, TheDialogNamesTheHandlerThatCaughtTheError) {
    Answers a;
    a.queue = {2};
    QString shown;
    ErrPtnr::setAnswerHook([&](ErrPtnr& d) {
        shown = d.lblError[0]->text() + " " + d.lblError[1]->text() + "." + d.lblError[2]->text();
        return 2;
    });
    int result = 4;
    EXPECT_EQ(withErrorHandler("modOuter", "Outer", result, [&](ErrorHandler& on) {
                  on([&] { result = innerWithoutHandler(); });
                  on([&] { result = 99; });
              }),
              4);
    EXPECT_EQ(shown, "11 (Division durch Null) modOuter.Outer");
}

TEST(ErrorHandler, LeavingAnInnerProcedureDoesNotLeaveTheOuter) {
    Answers a;
    a.queue = {2};
    std::vector<QString> log;
    int outer = 0;
    withErrorHandler("modOuter", "Outer", outer, [&](ErrorHandler& on) {
        on([&] { outer = innerWithHandler(log); });
        on([&] { outer += 1; });
    });
    EXPECT_EQ(outer, 6);
    EXPECT_TRUE(log.empty());
}

TEST(ErrorHandler, EndGivesTheDesktopBackAndEndsAtOnceWithAFailureStatus) {
    // The kiosk has hidden the task bar and the desktop view.
    const uintptr_t taskbarBefore = hTaskbar;
    hTaskbar = 1;
    IconsVersteckt = true;
    std::vector<std::pair<platform::desktop::Handle, bool>> calls;
    platform::desktop::setShowHideHook([&](platform::desktop::Handle h, bool shown) { calls.emplace_back(h, shown); });
    platform::setEndProgramHandler([](int code) { throw platform::ProgramEnd{code}; });

    Answers a;
    a.queue = {3};
    bool after = false;
    int code = 0;
    try {
        withErrorHandler("modTest", "End", [&](ErrorHandler& on) {
            on([&] { platform::raise(5); });
            after = true;
        });
    } catch (const platform::ProgramEnd& e) {
        code = e.code;
    }
    platform::setEndProgramHandler([](int) { throw platform::ProgramEnd{}; });
    platform::desktop::setShowHideHook({});
    hTaskbar = taskbarBefore;

    EXPECT_FALSE(after);
    EXPECT_NE(code, 0);
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(calls[0], std::make_pair(platform::desktop::Handle(1), true));  // the task bar
    EXPECT_TRUE(calls[1].second);                                            // the desktop view
    EXPECT_FALSE(IconsVersteckt);
}

TEST(ErrorHandler, ResumeNextIgnoresErrorsWithoutDialog) {
    Answers a;
    int n = 0;
    withErrorHandler("modTest", "Resume", [&](ErrorHandler& on) {
        on.resumeNext();
        on([&] { platform::raise(53); });
        on([&] { ++n; });
    });
    EXPECT_EQ(n, 1);
    EXPECT_EQ(a.calls, 0);
}

}  // namespace
