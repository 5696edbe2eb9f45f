#include "base/ErrorHandler.h"

#include "base/modVirtualKeyboard.h"
#include "platform/desktop.h"
#include "platform/endsignals.h"

ErrObject& Err() {
    static ErrObject e;
    return e;
}

int ErrorHandler::handle(int number, const QString& description) {
    Err().Number = number;
    Err().Description = description;
    if (mode_ == Mode::ResumeNext) return 1;
    const int answer = ErrPtnr::OnError(module_, procedure_, 255);
    if (answer == 3) ProgrammAbbrechen();
    if (answer < 0 || answer > 2) return 2;
    return answer;
}

void ProgrammAbbrechen() {
    // Not through ToggleDesktopIcons: its tracing could end in the error dialog again.
    ShowTaskbar();
    if (IconsVersteckt) {
        platform::desktop::show(platform::desktop::findDesktopView());
        IconsVersteckt = false;
    }
    // A supervisor sees the failure in the exit status. A stop it asked for itself (systemctl stop,
    // a shut-down) answered a waiting dialog with this: that end is a normal one.
    platform::endProgramNow(platform::endRequested() ? 0 : 1);
}
