#include "base/modStandard.h"

#include "platform/clock.h"
#include "platform/desktop.h"
#include "platform/dialogs.h"
#include "platform/program.h"
#include "platform/vbtimer.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <climits>
#include <memory>
#include <vector>

namespace {
const QString Module = QStringLiteral("modStandard");
}

bool IDEMode() {
    ErrPtnr::CallStack(QStringLiteral("[modStandard] Public Function IDEMode() As Boolean"));
    return platform::ideModeBuild();
}

int16_t CChk(bool Value) {
    ErrPtnr::CallStack(QStringLiteral("[modStandard] Public Function CChk(Value As Boolean) As Integer"));
    ErrPtnr::CallStackParam(QStringLiteral("Value"), Value);
    int16_t result = 0;
    return withErrorHandler(Module, QStringLiteral("CChk"), result, [&](ErrorHandler& on) {
        on([&] { result = Value ? 1 : 0; });
    });
}

void MySleep(int32_t Millisec) {
    ErrPtnr::CallStack(QStringLiteral("[modStandard] Public Sub MySleep(Millisec As Long)"));
    ErrPtnr::CallStackParam(QStringLiteral("Millisec"), Millisec);
    withErrorHandler(Module, QStringLiteral("MySleep"), [&](ErrorHandler& on) {
        on([&] {
            const uint32_t start = platform::tickCount();
            platform::pumpEvents();
            // Sleeps between events instead of pumping on: no core spins while it waits.
            for (;;) {
                const uint32_t elapsed = platform::tickCount() - start;  // unsigned: right across the wrap
                if (Millisec <= 0 || elapsed >= static_cast<uint32_t>(Millisec)) break;
                platform::waitEvents(int(static_cast<uint32_t>(Millisec) - elapsed));
            }
        });
    });
}

QString Backslash(const QString& Pfad) {
    ErrPtnr::CallStack(QStringLiteral("[modStandard] Public Function Backslash(Pfad$) As String"));
    ErrPtnr::CallStackParam(QStringLiteral("Pfad$"), Pfad);
    QString result;
    return withErrorHandler(Module, QStringLiteral("Backslash"), result, [&](ErrorHandler& on) {
        on([&] {
            result = Pfad;
            // Paths here are written with "/": it counts as the trailing separator too.
            if (result.endsWith(QLatin1Char('\\')) || result.endsWith(QLatin1Char('/'))) result.chop(1);
        });
    });
}

TypeFarbe ColorToRGB(int32_t Color) {
    ErrPtnr::CallStack(QStringLiteral("[modStandard] Public Function ColorToRGB(ByVal Color As Long) As TypeFarbe"));
    ErrPtnr::CallStackParam(QStringLiteral("Color"), Color);
    TypeFarbe result;
    return withErrorHandler(Module, QStringLiteral("ColorToRGB"), result, [&](ErrorHandler& on) {
        // C++ division truncates and % keeps the dividend's sign, as the runtime's \ and Mod.
        on([&] { result.R = Color % 256; });
        on([&] { Color /= 256; });
        on([&] { result.G = Color % 256; });
        on([&] { Color /= 256; });
        on([&] { result.B = Color % 256; });
    });
}

QString ShortPath(const QString& path) {
    if (path.isEmpty() || !QFileInfo::exists(path)) return QString();
    return path;
}

bool ToggleDesktopIcons(std::optional<bool> NoInteract) {
    ErrPtnr::CallStack(
        QStringLiteral("[modStandard] Public Function ToggleDesktopIcons(Optional ByVal NoInteract As Boolean) As Boolean"));
    if (NoInteract) ErrPtnr::CallStackParam(QStringLiteral("NoInteract"), *NoInteract);
    bool result = false;
    return withErrorHandler(Module, QStringLiteral("ToggleDesktopIcons"), result, [&](ErrorHandler& on) {
        // The desktop windows hold the icons themselves: with or without NoInteract
        // the same windows are toggled.
        platform::desktop::Handle h = 0;
        on([&] { h = platform::desktop::findDesktopView(); });
        on([&] {
            if (platform::desktop::isVisible(h)) {
                platform::desktop::hide(h);
                result = false;
            } else {
                platform::desktop::show(h);
                result = true;
            }
        });
    });
}

// Window timers: a table of timers keyed by window handle and id, ticking into TimerProc.
namespace {
constexpr int32_t WM_TIMER = 0x113;
constexpr int32_t MinimumInterval = 10;
constexpr int32_t ErrorNoMessageLoop = 1400;
constexpr int32_t ErrorInvalidTimer = 1402;

struct ApiTimer {
    int32_t hwnd;
    int32_t id;
    std::unique_ptr<platform::VbTimer> timer;
};
std::vector<ApiTimer> g_timers;
// A timer killed from its own tick cannot be destroyed inside it: kept here until the next call.
std::vector<std::unique_ptr<platform::VbTimer>> g_killed;
int g_firing = 0;
int32_t g_nextId = 1;
std::function<void(int32_t, int32_t, int32_t, int32_t)> g_timerProcHook;

std::vector<ApiTimer>::iterator findTimer(int32_t hwnd, int32_t id) {
    for (auto it = g_timers.begin(); it != g_timers.end(); ++it)
        if (it->hwnd == hwnd && it->id == id) return it;
    return g_timers.end();
}

void buryKilled() {
    if (g_firing == 0) g_killed.clear();
}

void reportTimerFailure(const QString& firstLine, int32_t code) {
    platform::MsgBox(firstLine + QStringLiteral("\r\nErr.LastDLLError: ") + QString::number(code),
                     platform::vbOKOnly | platform::vbExclamation, platform::appTitle());
}
}  // namespace

void modStandard_detail::setTimerProcHook(std::function<void(int32_t, int32_t, int32_t, int32_t)> h) {
    g_timerProcHook = std::move(h);
}

int32_t vbSetTimer(int32_t hwnd, int32_t TimerID, int32_t Interval) {
    buryKilled();
    if (!QCoreApplication::instance()) {
        reportTimerFailure(QStringLiteral("Fehler: \"vbSetTimer\""), ErrorNoMessageLoop);
        return 0;
    }
    // As the system's timers: a negative interval is a huge unsigned one, short ones are raised to 10 ms.
    const int interval = Interval < 0 ? INT_MAX : std::max(Interval, MinimumInterval);
    auto it = findTimer(hwnd, TimerID);
    if (it == g_timers.end()) {
        int32_t id = TimerID;
        if (hwnd == 0) {  // without a window the id is the system's choice
            while (g_nextId == 0 || findTimer(0, g_nextId) != g_timers.end()) ++g_nextId;
            id = g_nextId++;
        }
        auto timer = std::make_unique<platform::VbTimer>();
        platform::VbTimer* t = timer.get();
        t->onTimer = [hwnd, id] {
            ++g_firing;
            TimerProc(hwnd, WM_TIMER, id, static_cast<int32_t>(platform::tickCount()));
            --g_firing;
        };
        g_timers.push_back(ApiTimer{hwnd, id, std::move(timer)});
        it = g_timers.end() - 1;
    }
    it->timer->setEnabled(false);
    it->timer->setInterval(interval);
    it->timer->setEnabled(true);
    return it->id != 0 ? it->id : 1;
}

bool vbKillTimer(int32_t hwnd, int32_t TimerID) {
    buryKilled();
    auto it = findTimer(hwnd, TimerID);
    if (it == g_timers.end()) {
        reportTimerFailure(QStringLiteral("Fehler \"vbKillTimer\""), ErrorInvalidTimer);
        return false;
    }
    it->timer->setEnabled(false);
    g_killed.push_back(std::move(it->timer));
    g_timers.erase(it);
    buryKilled();
    return true;
}

void TimerProc(int32_t hwnd, int32_t uMsg, int32_t idEvent, int32_t dwTime) {
    if (g_timerProcHook) g_timerProcHook(hwnd, uMsg, idEvent, dwTime);
}

void modStandard_detail::registerMinMax(const char* name, const TraceValue& val1, const TraceValue& val2) {
    ErrPtnr::CallStack(QStringLiteral("[modStandard] Public Function ") + QLatin1String(name) +
                       QStringLiteral("(val1, val2)"));
    ErrPtnr::CallStackParam(QStringLiteral("val2"), val2);
    ErrPtnr::CallStackParam(QStringLiteral("val1"), val1);
}
