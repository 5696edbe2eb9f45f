#pragma once
// The pending runtime error (the runtime's Err object): set when a handler catches
// an error, read by the error dialog.
#include <QString>

struct ErrObject {
    int Number = 0;
    QString Description;
    void Clear() {
        Number = 0;
        Description.clear();
    }
};

ErrObject& Err();
