#pragma once
// Small general routines every subsystem calls.
#include "base/ErrPtnr.h"
#include "base/ErrorHandler.h"

#include <QString>
#include <cstdint>
#include <functional>
#include <optional>

struct TypeFarbe {
    int32_t R = 0;
    int32_t G = 0;
    int32_t B = 0;
};

bool IDEMode();
int16_t CChk(bool Value);
// Waits at least Millisec ms on the tick counter while serving window events.
void MySleep(int32_t Millisec);
QString Backslash(const QString& Pfad);
TypeFarbe ColorToRGB(int32_t Color);
// The path itself when it exists, "" otherwise (no short names on this system).
QString ShortPath(const QString& path);
// Flips the desktop view; True when the call made it visible.
bool ToggleDesktopIcons(std::optional<bool> NoInteract = std::nullopt);

// Window timers with a callback (only the scrolling text control uses them).
int32_t vbSetTimer(int32_t hwnd, int32_t TimerID, int32_t Interval);
bool vbKillTimer(int32_t hwnd, int32_t TimerID);
void TimerProc(int32_t hwnd, int32_t uMsg, int32_t idEvent, int32_t dwTime);

namespace modStandard_detail {
void registerMinMax(const char* name, const TraceValue& val1, const TraceValue& val2);
// Tests: sees every tick that reaches TimerProc.
void setTimerProcHook(std::function<void(int32_t hwnd, int32_t uMsg, int32_t idEvent, int32_t dwTime)> h);
}

// On a tie both return val1; a failing comparison goes to the error dialog
// (left: an empty value).
template <class T>
T Min(const T& val1, const T& val2) {
    modStandard_detail::registerMinMax("Min", TraceValue(val1), TraceValue(val2));
    T result{};
    return withErrorHandler(QStringLiteral("modStandard"), QStringLiteral("Min"), result,
                            [&](ErrorHandler& on) { on([&] { result = val1 <= val2 ? val1 : val2; }); });
}
template <class T>
T Max(const T& val1, const T& val2) {
    modStandard_detail::registerMinMax("Max", TraceValue(val1), TraceValue(val2));
    T result{};
    return withErrorHandler(QStringLiteral("modStandard"), QStringLiteral("Max"), result,
                            [&](ErrorHandler& on) { on([&] { result = val1 >= val2 ? val1 : val2; }); });
}
