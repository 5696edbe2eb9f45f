#include "platform/guard.h"

#include <cstdio>
#include <cstdlib>

namespace platform {
namespace {
UnhandledReporter& reporter() {
    static UnhandledReporter r;
    return r;
}
std::function<void(int)>& endHandler() {
    static std::function<void(int)> h;
    return h;
}
}  // namespace

void setUnhandledReporter(UnhandledReporter r) { reporter() = std::move(r); }

void reportUnhandled(const char* object, const char* procedure, std::exception_ptr e) {
    if (reporter()) {
        try {
            reporter()(object, procedure, e);
        } catch (const ProgramEnd&) {
            throw;
        } catch (...) {
            // The reporter itself failed: nothing more can be done here.
        }
        return;
    }
    std::fprintf(stderr, "melotra: unhandled error in %s.%s\n", object, procedure);
}

void setEndProgramHandler(std::function<void(int)> h) { endHandler() = std::move(h); }

void endProgramNow(int code) {
    if (endHandler()) endHandler()(code);
    std::fflush(nullptr);
    std::_Exit(code);
}

}  // namespace platform
