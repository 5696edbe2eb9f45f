#pragma once
// Controls that hosts address by a window handle get a number of their own: no native
// window is created for it.
#include <cstdint>

inline int32_t neuesFensterhandle() {
    static int32_t naechstes = 0x10000;
    return naechstes += 4;
}
