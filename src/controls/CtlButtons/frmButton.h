#pragma once
// The test form of the shaped button's companions: a ticker and two speech bubbles.
#include "controls/ctlLaufschrift/ctlLaufschrift.h"
#include "controls/ctlSprechblase/ctlSprechblase.h"

#include <QWidget>
#include <array>

class frmButton : public QWidget {
    Q_OBJECT
public:
    static frmButton& instance();
    static bool loaded();

    ctlLaufschrift* ctlLaufschrift1;
    std::array<ctlSprechblase*, 2> ctlSprechblase2;

private:
    frmButton();
    void Form_Load() {}
};
