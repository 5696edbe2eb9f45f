#pragma once
// No exception may leave a Qt event handler. Handlers run their body through
// guardEvent; a runtime error that no procedure handled is handed to the reporter
// that the error tracer installs (it shows the error dialog).
#include <exception>
#include <functional>

namespace platform {

using UnhandledReporter = std::function<void(const char* object, const char* procedure, std::exception_ptr)>;
void setUnhandledReporter(UnhandledReporter r);
void reportUnhandled(const char* object, const char* procedure, std::exception_ptr e);

// Thrown to end the program at once (the error dialog's "Programm beenden").
struct ProgramEnd {
    int code = 0;
};
// Ends the program at once with the exit status, without any shut-down work. Tests replace it.
[[noreturn]] void endProgramNow(int code = 0);
void setEndProgramHandler(std::function<void(int code)> h);  // must not return normally: throw

template <class F>
void guardEvent(const char* object, const char* procedure, F&& body) {
    try {
        body();
    } catch (const ProgramEnd&) {
        throw;  // only tests see it: the real handler never returns
    } catch (...) {
        reportUnhandled(object, procedure, std::current_exception());
    }
}

}  // namespace platform
