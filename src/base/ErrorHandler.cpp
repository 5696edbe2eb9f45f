#include "base/ErrorHandler.h"

ErrObject& Err() {
    static ErrObject e;
    return e;
}

int ErrorHandler::handle(int number, const QString& description) {
    Err().Number = number;
    Err().Description = description;
    if (mode_ == Mode::ResumeNext) return 1;
    const int answer = ErrPtnr::OnError(module_, procedure_, 255);
    if (answer == 3) platform::endProgramNow();
    if (answer < 0 || answer > 2) return 2;
    return answer;
}
