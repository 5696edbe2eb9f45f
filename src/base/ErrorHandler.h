#pragma once
// Procedures with an error handler. A runtime error is a C++ exception; the handler
// hands it to the error dialog and obeys the answer:
//   0 retry the failing statement, 1 go on with the next, 2 leave the procedure with
//   the result it holds, 3 end the program at once (any other answer leaves, like 2).
// An error in a procedure without a handler travels to its caller's handler.
//
//   int Foo(int x) {
//       ErrPtnr::CallStack("[modX] Public Function Foo(x As Long) As Long");
//       ErrPtnr::CallStackParam("x", x);
//       int result = 0;
//       return withErrorHandler("modX", "Foo", result, [&](ErrorHandler& on) {
//           on([&] { result = step1(x); });
//           on([&] { result += step2(); });
//       });
//   }
#include "base/Err.h"
#include "base/ErrPtnr.h"
#include "platform/guard.h"
#include "platform/runtime.h"

#include <QString>
#include <exception>
#include <type_traits>
#include <utility>

// The error dialog's "Programm beenden": gives the desktop back that the kiosk hid
// and ends at once, with a failure status when a person chose it; no other shut-down
// work runs. Given for an end asked from outside (a signal), the status is 0.
[[noreturn]] void ProgrammAbbrechen();

class ErrorHandler {
public:
    enum class Mode { Dialog, ResumeNext };  // ResumeNext: errors of single statements are ignored

    ErrorHandler(QString module, QString procedure) : module_(std::move(module)), procedure_(std::move(procedure)) {}

    // Switches to "errors of single statements are ignored" (On Error Resume Next) and back.
    void resumeNext(bool on = true) { mode_ = on ? Mode::ResumeNext : Mode::Dialog; }

    // Runs one statement under the handler; returns its value, or a default value
    // when the statement was skipped.
    template <class F>
    auto operator()(F&& statement) -> std::invoke_result_t<F&> {
        using R = std::invoke_result_t<F&>;
        for (;;) {
            int answer;
            try {
                if constexpr (std::is_void_v<R>) {
                    statement();
                    return;
                } else {
                    return statement();
                }
            } catch (const platform::RuntimeError& e) {
                answer = handle(e.number(), e.description());
            } catch (const platform::ProgramEnd&) {
                throw;
            } catch (const Leave&) {
                throw;
            } catch (const std::bad_alloc&) {
                answer = handle(7, platform::errorDescription(7));
            } catch (const std::exception& e) {
                answer = handle(5, QString::fromUtf8(e.what()));
            }
            if (answer == 0) continue;  // retry
            if (answer == 1) {
                if constexpr (std::is_void_v<R>)
                    return;
                else
                    return R{};
            }
            throw Leave{this};
        }
    }

    // Thrown to leave the procedure (answer 2); caught by withErrorHandler.
    struct Leave {
        const ErrorHandler* owner;
    };

    const QString& module() const { return module_; }
    const QString& procedure() const { return procedure_; }

private:
    int handle(int number, const QString& description);

    QString module_;
    QString procedure_;
    Mode mode_ = Mode::Dialog;
};

// Runs the body of a procedure with an error handler; returns `result` as it stands
// when the body ends or is left.
template <class R, class Body>
R withErrorHandler(const QString& module, const QString& procedure, R& result, Body&& body) {
    ErrorHandler on(module, procedure);
    try {
        body(on);
    } catch (const ErrorHandler::Leave& l) {
        if (l.owner != &on) throw;
    }
    return result;
}

template <class Body>
void withErrorHandler(const QString& module, const QString& procedure, Body&& body) {
    ErrorHandler on(module, procedure);
    try {
        body(on);
    } catch (const ErrorHandler::Leave& l) {
        if (l.owner != &on) throw;
    }
}
