// The running count of a scan: shown at most every 50 ms, the last count always.
#include "main_support.h"

#include "base/ScanReceiver.h"

namespace {

using ScanCount = MainScreenTest;

TEST_F(ScanCount, IsPacedAndEndsWithTheRightCount) {
    frmStart& s = start(songFolder("pace", 3));
    frmMain& m = main();
    ScanReceiver& r = scanReceiver();  // the main screen's
    const QString n[] = {"Gefundene Lieder: 1", "Gefundene Lieder: 2", "Gefundene Lieder: 3"};
    r.showFound(n[0]);
    EXPECT_EQ(s.lblGefunden->text(), n[0]);  // the first at once
    vt.advance(49);
    r.showFound(n[1]);
    EXPECT_EQ(s.lblGefunden->text(), n[0]);  // held back
    vt.advance(1);
    r.showFound(n[2]);
    EXPECT_EQ(s.lblGefunden->text(), n[2]);

    // A whole scan ends with its own count, however fast it ran.
    s.lblGefunden->clear();
    QString folder = s.Text1->text();
    m.Einlesen(folder);
    EXPECT_EQ(s.lblGefunden->text(), n[2]);
}

}  // namespace
