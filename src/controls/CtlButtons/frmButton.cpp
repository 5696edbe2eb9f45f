#include "controls/CtlButtons/frmButton.h"

namespace {
frmButton* g_instance = nullptr;
}

frmButton::frmButton()
    : ctlLaufschrift1(new ctlLaufschrift(this)), ctlSprechblase2{new ctlSprechblase(this), new ctlSprechblase(this)} {
    setObjectName(QStringLiteral("frmButton"));
    setWindowTitle(QStringLiteral("Form1"));
    resize(480, 360);
    ctlLaufschrift1->setGeometry(8, 8, 464, 22);
    ctlSprechblase2[0]->move(16, 48);
    ctlSprechblase2[1]->move(240, 48);
    Form_Load();
}

frmButton& frmButton::instance() {
    if (!g_instance) g_instance = new frmButton();
    return *g_instance;
}

bool frmButton::loaded() { return g_instance != nullptr; }
