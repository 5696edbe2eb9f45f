#pragma once
// Shared set-up of the main-screen tests: virtual time, a fresh start dialog and main
// screen per test, and song folders written on the spot.
#include "base/globals.h"
#include "base/modVirtualKeyboard.h"
#include "controls/Funbutton/Funbutton.h"
#include "kiosk/frmMain.h"
#include "kiosk/grid/FlexGrid.h"
#include "kiosk/logic/playlistdatei.h"
#include "platform/colors.h"
#include "platform/program.h"
#include "platform/screen.h"
#include "platform/settingsstore.h"
#include "platform/twips.h"
#include "platform/vbtimer.h"
#include "platform/virtualtime.h"
#include "settings/frmStart.h"
#include "settings/startcontrols.h"
#include "support/testenv.h"
#include "support/testmedia.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <gtest/gtest.h>
#include <vector>

class MainScreenTest : public ::testing::Test {
public:
    // A tag as this program writes it: the texts blank-padded to 30 characters.
    static testmedia::Id3v1 tag(const QString& title, const QString& artist, uint8_t genre = 0) {
        testmedia::Id3v1 t;
        t.rawTitle = title.toLatin1().leftJustified(30, ' ');
        t.rawArtist = artist.toLatin1().leftJustified(30, ' ');
        t.genre = genre;
        return t;
    }

protected:
    platform::VirtualTime vt;

    void SetUp() override {
        testenv::dialogs().reset();
        testenv::reportedErrors().clear();
        QFile::remove(platform::settingsFile(platform::appTitle()));
        // The kiosk keeps its playlist file while it runs: no test starts with another's queue.
        QFile::remove(kiosklogic::PlaylistDateiname());
        platform::setScreenSizeOverride(QSize(1024, 768));
        ProgrammEnde = false;
        IconsVersteckt = false;
        frmMain::resetForTests();
        frmStart::resetForTests();
    }
    void TearDown() override {
        frmMain::resetForTests();
        frmStart::resetForTests();
        frmStart::instance().hide();
        frmStart::resetForTests();
        ProgrammEnde = false;
        IconsVersteckt = false;
        platform::setScreenSizeOverride(QSize());
        testenv::dialogs().reset();
    }

    // A folder of n tagged songs "Lied 01" ... by "Band 01" ..., one second each.
    static QString songFolder(const QString& name, int n) {
        const QString dir = testenv::freshFolder(name);
        for (int i = 1; i <= n; ++i) {
            const QString nr = QStringLiteral("%1").arg(i, 2, 10, QLatin1Char('0'));
            testmedia::writeSilentMp3(dir + QStringLiteral("/song") + nr + QStringLiteral(".mp3"), 1000,
                                      tag(QStringLiteral("Lied ") + nr,
                                          QStringLiteral("Band ") + QString::number((i - 1) % 7 + 1),
                                          static_cast<uint8_t>(i % 20)));
        }
        return dir;
    }

    // The start dialog, loaded, with the song folder set.
    static frmStart& start(const QString& folder) {
        frmStart& s = frmStart::instance();
        s.Text1->setText(folder);
        return s;
    }
    void seconds(int s) { vt.advance(int64_t(s) * 1000); }
    static frmMain& main() { return frmMain::instance(); }
    // The main screen laid out for a window of the size with the grids' font size.
    static frmMain& sized(int wPx, int hPx, int font = 10) {
        frmMain& m = main();
        m.MSFlexGrid1->setFontSize(font);
        m.MSFlexGrid2->setFontSize(font);
        m.resize(wPx, hPx);
        m.Form_Resize();
        return m;
    }
};

// A key held down as the X server repeats it: the press, then per repeat a release and a
// press with one time stamp, and the release when it goes. Qt marks such a press as a repeat
// only when it has read it in time, so here every other one comes unmarked.
class HeldKey {
public:
    HeldKey(QWidget* target, int qtKey) : target_(target), key_(qtKey) { send(QEvent::KeyPress, false); }
    ~HeldKey() { send(QEvent::KeyRelease, false, 40), zeit_ += 1000; }
    void repeat(int n) {
        for (int i = 0; i < n; ++i) send(QEvent::KeyRelease, i % 2 == 0, 40), send(QEvent::KeyPress, i % 2 == 0);
    }

private:
    void send(QEvent::Type type, bool markiert, ulong nach = 0) {
        QKeyEvent e(type, key_, Qt::NoModifier, 100 + quint32(key_ % 100), 0, 0, QString(), markiert);
        e.setTimestamp(zeit_ += nach);
        QCoreApplication::sendEvent(target_, &e);
    }
    inline static ulong zeit_ = 1000;
    QWidget* target_;
    int key_;
};
inline void heldKey(QWidget* target, int qtKey, int repeats) { HeldKey(target, qtKey).repeat(repeats); }

// A press and release on the cell (row as shown, col) of a grid on show, as a finger taps it.
inline void tapCell(kioskgrid::FlexGrid& g, int row, int col, Qt::MouseButton b = Qt::LeftButton) {
    int x = 0;
    for (int i = 0; i < col; ++i) x += g.ColWidth(i);
    const int shown = row == 0 ? 0 : row - g.TopRow() + 1;
    const QPointF p((x + g.ColWidth(col) / 2.0) / platform::TwipsPerPixel,
                    (shown + 0.5) * g.RowHeight() / platform::TwipsPerPixel);
    QMouseEvent press(QEvent::MouseButtonPress, p, g.mapToGlobal(p), b, b, Qt::NoModifier);
    QCoreApplication::sendEvent(&g, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, p, g.mapToGlobal(p), b, Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&g, &release);
}

// Counts the pop-up menus shown and closes each without a choice.
struct MenuCount : testenv::FakeAnswerer {
    std::vector<const QMenu*> shown;
    QAction* menu(QMenu& m) override {
        shown.push_back(&m);
        return nullptr;
    }
};
