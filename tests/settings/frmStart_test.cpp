#include "settings/frmStart.h"
#include "settings/settingslogic.h"
#include "settings/startup.h"
#include "support/testenv.h"

#include "platform/colors.h"
#include "platform/instancelock.h"
#include "platform/program.h"
#include "platform/screen.h"
#include "platform/settingsstore.h"
#include "platform/twips.h"
#include "platform/vbtimer.h"
#include "platform/virtualtime.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QDropEvent>
#include <QGuiApplication>
#include <QMenu>
#include <QMimeData>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QMessageBox>
#include <QPointer>
#include <QProcessEnvironment>
#include <QTimer>
#include <QDir>
#include <QFile>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSettings>
#include <QSlider>
#include <QStandardPaths>
#include <functional>
#include <memory>
#include <gtest/gtest.h>

using platform::RGB;

namespace {


class StartDialog : public ::testing::Test {
protected:
    platform::VirtualTime vt;

    void SetUp() override {
        testenv::dialogs().reset();
        QFile::remove(platform::settingsFile(platform::appTitle()));
        platform::setScreenSizeOverride(QSize(1024, 768));
        frmStart::resetForTests();
    }
    void TearDown() override {
        frmStart::resetForTests();
        platform::setScreenSizeOverride(QSize());
        testenv::dialogs().reset();
    }

    static void store(const char* key, const QString& value) {
        platform::SaveSetting(platform::appTitle(), QStringLiteral("Data"), QString::fromLatin1(key), value);
    }
    static QString stored(const char* key) {
        return platform::GetSetting(platform::appTitle(), QStringLiteral("Data"), QString::fromLatin1(key),
                                    QStringLiteral("<missing>"));
    }
    static std::vector<platform::MessageRequest>& messages() { return testenv::dialogs().messages; }
    static void advanceSeconds(platform::VirtualTime& t, int s) { t.advance(int64_t(s) * 1000); }
    static bool countdownShown(frmStart& f) { return !f.Label2->isHidden() && !f.lblAbbrechen->isHidden(); }
};

TEST_F(StartDialog, EmptyStoreLoadsEveryDefault) {
    frmStart& f = frmStart::instance();
    EXPECT_FALSE(f.chkZufall->isChecked());
    EXPECT_FALSE(f.chkPlaylistDoppelklick->isChecked());
    EXPECT_TRUE(f.chkFenster->isChecked());
    EXPECT_TRUE(f.chkSmilie->isChecked());
    EXPECT_FALSE(f.chkMuelleimer->isChecked());
    EXPECT_FALSE(f.chkPlayliste->isChecked());
    EXPECT_FALSE(f.chkRechteMaustaste->isChecked());
    EXPECT_TRUE(f.chkPause->isChecked());
    EXPECT_TRUE(f.chkWindowsBlockieren->isChecked());
    EXPECT_EQ(f.PicFarbe->BackColor(), RGB(0, 255, 255));
    EXPECT_EQ(f.PicHintergrundfarbe->BackColor(), RGB(0, 0, 255));
    EXPECT_EQ(f.Slider1->value(), 10);
    EXPECT_EQ(f.cmbAnzahl->currentIndex(), 0);
    EXPECT_EQ(f.cmbAnzahl->currentText(), QStringLiteral("unbegrenzt"));
    EXPECT_EQ(f.cmbAnzahl->count(), 11);
    EXPECT_EQ(f.cmbSchriftgroesse->currentText(), QStringLiteral("18"));
    EXPECT_EQ(f.txtPasswort->text(), QString());
    const QString music = QStandardPaths::writableLocation(QStandardPaths::MusicLocation);
    EXPECT_EQ(f.Text1->text(), QDir(music).exists() && !music.isEmpty() ? music : QDir::homePath());
    EXPECT_EQ(f.txtWinAmpPfad->text(), testenv::programFolder() + QStringLiteral("/winamp/winamp.exe"));
    EXPECT_EQ(f.Label1->text(), QStringLiteral("Folgenden Ordner samt Unterordnern nach MP3-Dateien durchsuchen:"));
    // Loading the folder text counts as input: the countdown line is hidden before the first showing.
    EXPECT_TRUE(f.Label2->isHidden());
    EXPECT_TRUE(f.lblAbbrechen->isHidden());
    EXPECT_TRUE(f.TimerAutostart->Enabled());
    EXPECT_TRUE(messages().empty());
    // Nothing is written back before OK.
    EXPECT_FALSE(QFile::exists(platform::settingsFile(platform::appTitle())));
}

TEST_F(StartDialog, StoredTextsAreConvertedAndRejectedOnesFallBackToTheDefault) {
    struct Case {
        const char* key;
        const char* text;
        std::function<int(frmStart&)> read;
        int expected;
    };
    auto chkZufall = [](frmStart& f) { return int(f.chkZufall->isChecked()); };
    auto chkPause = [](frmStart& f) { return int(f.chkPause->isChecked()); };
    auto farbe = [](frmStart& f) { return int(f.PicFarbe->BackColor()); };
    auto fading = [](frmStart& f) { return f.Slider1->value(); };
    auto anzahl = [](frmStart& f) { return f.cmbAnzahl->currentIndex(); };
    auto groesse = [](frmStart& f) { return f.cmbSchriftgroesse->currentIndex(); };
    const std::vector<Case> cases{
        {"Zufall", "1", chkZufall, 1},         {"Zufall", "0", chkZufall, 0},
        {"Zufall", "True", chkZufall, 1},      {"Zufall", "tRUE", chkZufall, 1},
        {"Zufall", "-1", chkZufall, 1},        {"Zufall", "Ja", chkZufall, 0},
        {"Pause", "0", chkPause, 0},           {"Pause", "False", chkPause, 0},
        {"Pause", "kaputt", chkPause, 1},      {"Pause", "", chkPause, 1},
        {"Farbe", "255", farbe, 255},          {"Farbe", "16777215", farbe, 0xFFFFFF},
        {"Farbe", "grün", farbe, RGB(0, 255, 255)}, {"Farbe", "-1", farbe, RGB(0, 255, 255)},
        {"Farbe", "16777216", farbe, RGB(0, 255, 255)},
        // Colours that OK refuses would stop the autostart for good.
        {"Farbe", "0", farbe, RGB(0, 255, 255)}, {"Farbe", "4539717", farbe, RGB(0, 255, 255)},
        {"Farbe", "70", farbe, RGB(70, 0, 0)},
        {"Fading", "0", fading, 0},            {"Fading", "30", fading, 30},
        {"Fading", "31", fading, 10},          {"Fading", "-1", fading, 10},
        {"Fading", "zehn", fading, 10},        {"Anzahl", "10", anzahl, 10},
        {"Anzahl", "11", anzahl, 0},           {"Anzahl", "-1", anzahl, 0},
        {"Anzahl", "x", anzahl, 0},            {"S", "0", groesse, 0},
        {"S", "4", groesse, 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.key) + " = \"" + c.text + "\"");
        QFile::remove(platform::settingsFile(platform::appTitle()));
        store(c.key, QString::fromUtf8(c.text));
        frmStart::resetForTests();
        EXPECT_EQ(c.read(frmStart::instance()), c.expected);
        EXPECT_TRUE(frmStart::loaded());
    }
}

TEST_F(StartDialog, StoresAllSeventeenSettingsInTheirStoredForm) {
    frmStart& f = frmStart::instance();
    f.Text1->setText(QStringLiteral("/musik/Rock"));
    f.txtPasswort->setText(QStringLiteral("Geheim"));
    f.chkZufall->setChecked(true);
    f.chkFenster->setChecked(false);
    f.PicFarbe->setBackColor(RGB(200, 100, 50));
    f.Slider1->setValue(7);
    f.cmbAnzahl->setCurrentIndex(5);
    f.cmbSchriftgroesse->setCurrentIndex(1);
    f.EinstellungenSpeichern();

    QSettings ini(platform::settingsFile(platform::appTitle()), QSettings::IniFormat);
    ini.beginGroup(QStringLiteral("Data"));
    EXPECT_EQ(ini.childKeys().size(), 17);
    const std::vector<std::pair<const char*, QString>> expected{
        {"Pfad", "/musik/Rock"}, {"PW", "Geheim"},        {"Zufall", "1"},
        {"Doppelklick", "0"},    {"Maximieren", "0"},     {"Farbe", QString::number(RGB(200, 100, 50))},
        {"Hintergrundfarbe", "16711680"}, {"Fading", "7"}, {"Spiel", "1"},
        {"Anzahl", "5"},         {"Muelleimer", "0"},     {"Playliste", "0"},
        {"RechteMaus", "0"},     {"Pause", "1"},          {"Winamp", f.txtWinAmpPfad->text()},
        {"Windows", "1"},        {"S", "1"},
    };
    for (const auto& [key, value] : expected)
        EXPECT_EQ(ini.value(QString::fromLatin1(key)).toString(), value) << key;

    // What was stored loads back unchanged.
    frmStart::resetForTests();
    frmStart& g = frmStart::instance();
    EXPECT_EQ(g.Text1->text(), QStringLiteral("/musik/Rock"));
    EXPECT_TRUE(g.chkZufall->isChecked());
    EXPECT_FALSE(g.chkFenster->isChecked());
    EXPECT_EQ(g.PicFarbe->BackColor(), RGB(200, 100, 50));
    EXPECT_EQ(g.Slider1->value(), 7);
    EXPECT_EQ(g.cmbAnzahl->currentIndex(), 5);
    EXPECT_EQ(g.cmbSchriftgroesse->currentText(), QStringLiteral("10"));
}

TEST_F(StartDialog, NichtDurchsuchenStoresOnlyTheFirstFour) {
    frmStart& f = frmStart::instance();
    f.Text1->setText(QStringLiteral("/musik"));
    f.cmdAbbrechen_Click();
    QSettings ini(platform::settingsFile(platform::appTitle()), QSettings::IniFormat);
    ini.beginGroup(QStringLiteral("Data"));
    QStringList keys = ini.childKeys();
    keys.sort();
    EXPECT_EQ(keys, (QStringList{"Doppelklick", "PW", "Pfad", "Zufall"}));
    EXPECT_EQ(stored("Pfad"), QStringLiteral("/musik"));
}

TEST_F(StartDialog, ColourDarknessRuleAtItsBoundary) {
    frmStart& f = frmStart::instance();
    auto& d = testenv::dialogs();
    const QString hint = QStringLiteral("\r\nBitte eine andere Farbe wählen.");

    d.colorAnswers = {RGB(69, 69, 69)};
    f.cmdFarbe_Click(0);
    ASSERT_EQ(messages().size(), 1u);
    EXPECT_EQ(messages()[0].prompt, QStringLiteral("Die Buttonfarbe ist zu dunkel!") + hint);
    EXPECT_EQ(messages()[0].icon(), platform::vbExclamation);
    EXPECT_EQ(f.PicFarbe->BackColor(), RGB(0, 255, 255));

    d.colorAnswers = {RGB(0, 0, 0)};
    f.cmdFarbe_Click(1);
    ASSERT_EQ(messages().size(), 2u);
    EXPECT_EQ(messages()[1].prompt, QStringLiteral("Die Hintergrundfarbe ist zu dunkel!") + hint);
    EXPECT_EQ(f.PicHintergrundfarbe->BackColor(), RGB(0, 0, 255));

    d.colorAnswers = {RGB(70, 0, 0), RGB(0, 0, 70), std::nullopt};
    f.cmdFarbe_Click(0);
    f.cmdFarbe_Click(1);
    EXPECT_EQ(f.PicFarbe->BackColor(), RGB(70, 0, 0));
    EXPECT_EQ(f.PicHintergrundfarbe->BackColor(), RGB(0, 0, 70));
    f.cmdFarbe_Click(1);  // cancelled
    EXPECT_EQ(f.PicHintergrundfarbe->BackColor(), RGB(0, 0, 70));
    EXPECT_EQ(messages().size(), 2u);
}

TEST_F(StartDialog, OkRefusesAnEmptyFolderAndDarkStoredColoursAndStoresNothing) {
    struct Case {
        const char* name;
        const char* pfad;
        int32_t farbe;
        int32_t hintergrund;
        QString message;
    };
    const std::vector<Case> cases{
        {"blank folder", "   ", RGB(0, 255, 255), RGB(0, 0, 255),
         QStringLiteral("Bitte einen gültigen Pfad für die Lieder angeben!")},
        {"dark button colour", "/m", 0, RGB(0, 0, 255),
         QStringLiteral("Die Buttonfarbe ist zu dunkel!\r\nBitte eine andere Farbe wählen.")},
        {"dark background", "/m", RGB(0, 255, 255), 4539717,
         QStringLiteral("Die Hintergrundfarbe ist zu dunkel!\r\nBitte eine andere Farbe wählen.")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QFile::remove(platform::settingsFile(platform::appTitle()));
        store("Pfad", QString::fromLatin1(c.pfad));
        frmStart::resetForTests();
        frmStart& f = frmStart::instance();
        // A stored dark colour loads as its default: only a swatch set otherwise can be dark.
        f.PicFarbe->setBackColor(c.farbe);
        f.PicHintergrundfarbe->setBackColor(c.hintergrund);
        messages().clear();
        f.cmdOK_Click();
        ASSERT_EQ(messages().size(), 1u);
        EXPECT_EQ(messages()[0].prompt, c.message);
        EXPECT_EQ(messages()[0].icon(), platform::vbExclamation);
        EXPECT_EQ(stored("Zufall"), QStringLiteral("<missing>"));
        EXPECT_TRUE(f.cmdOK->isEnabled());
        EXPECT_TRUE(f.TimerAutostart->Enabled());
    }
}

TEST_F(StartDialog, PasswordBoxKeepsLettersAndBackspaceOnlyAndBeepsForTheRest) {
    frmStart& f = frmStart::instance();
    auto type = [&](int key, const QString& text) {
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
        QCoreApplication::sendEvent(f.txtPasswort, &press);
    };
    const int beeps = platform::beepCount();
    type(Qt::Key_A, "a");
    type(Qt::Key_B, "B");
    type(Qt::Key_Z, "z");
    type(Qt::Key_1, "1");
    type(Qt::Key_Adiaeresis, QString::fromUtf8("ä"));
    type(Qt::Key_Space, " ");
    EXPECT_EQ(f.txtPasswort->text(), QStringLiteral("aBz"));
    EXPECT_EQ(platform::beepCount() - beeps, 3);
    type(Qt::Key_Backspace, QStringLiteral("\b"));
    EXPECT_EQ(f.txtPasswort->text(), QStringLiteral("aB"));
    EXPECT_EQ(platform::beepCount() - beeps, 3);

    // The characters next to the four boundary letters are refused.
    for (int code : {int('@'), int('['), int('`'), int('{'), 0xDF, 9, 13}) {
        int16_t k = static_cast<int16_t>(code);
        f.txtPasswort_KeyPress(k);
        EXPECT_EQ(k, 0) << code;
    }
    for (int code : {int('A'), int('Z'), int('a'), int('z'), 8}) {
        int16_t k = static_cast<int16_t>(code);
        f.txtPasswort_KeyPress(k);
        EXPECT_EQ(k, code);
    }
}

// Text that comes in by any other way than a typed key obeys the same filter: the letters stay, and
// a paste that loses characters beeps once. The menu is the box's real context menu.
TEST_F(StartDialog, APasteIntoThePasswordBoxKeepsItsLettersOnly) {
    frmStart& f = frmStart::instance();
    QLineEdit& box = *f.txtPasswort;
    QClipboard& clipboard = *QGuiApplication::clipboard();
    auto key = [&](int k, Qt::KeyboardModifiers m, const QString& text) {
        QKeyEvent press(QEvent::KeyPress, k, m, text);
        QCoreApplication::sendEvent(&box, &press);
    };
    const std::vector<std::pair<const char*, std::function<void()>>> ways{
        {"Ctrl+V", [&] { key(Qt::Key_V, Qt::ControlModifier, QStringLiteral("\x16")); }},
        {"Shift+Insert", [&] { key(Qt::Key_Insert, Qt::ShiftModifier, QString()); }},
        {"menu", [&] {
             QContextMenuEvent e(QContextMenuEvent::Mouse, QPoint(5, 5), box.mapToGlobal(QPoint(5, 5)));
             QCoreApplication::sendEvent(&box, &e);
             auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
             ASSERT_TRUE(menu);
             for (QAction* a : menu->actions())
                 if (a->text().startsWith(QStringLiteral("Einf"))) a->trigger();
             menu->close();
         }},
        {"drop", [&] {
             QMimeData text;
             text.setText(clipboard.text());
             const QPoint at(box.width() - 2, 5);
             QDragEnterEvent enter(at, Qt::CopyAction, &text, Qt::LeftButton, Qt::NoModifier);
             QCoreApplication::sendEvent(&box, &enter);
             QDropEvent e(at, Qt::CopyAction, &text, Qt::LeftButton, Qt::NoModifier);
             QCoreApplication::sendEvent(&box, &e);
         }},
    };
    for (const auto& [way, paste] : ways) {
        for (const char* pasted : {"Geheim 1!", "abc"}) {
            box.setText(QStringLiteral("Ab"));
            clipboard.setText(QString::fromUtf8(pasted));
            const int beeps = platform::beepCount();
            paste();
            const bool letters = QByteArray(pasted) == "abc";
            EXPECT_EQ(box.text(), letters ? QStringLiteral("Ababc") : QStringLiteral("AbGeheim")) << way;
            EXPECT_EQ(platform::beepCount() - beeps, letters ? 0 : 1) << way;
        }
    }
    EXPECT_FALSE(QApplication::activePopupWidget());
    clipboard.clear();
}

TEST_F(StartDialog, WhichInputsRestartTheCountdown) {
    struct Case {
        const char* input;
        std::function<void(frmStart&)> act;
        bool restarts;
    };
    auto toggle = [](QCheckBox* frmStart::*c) {
        return [c](frmStart& f) { (f.*c)->setChecked(!(f.*c)->isChecked()); };
    };
    auto key = [](frmStart& f) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_1, Qt::NoModifier, "1");  // even a refused key
        QCoreApplication::sendEvent(f.txtPasswort, &press);
    };
    const std::vector<Case> cases{
        {"chkZufall", toggle(&frmStart::chkZufall), true},
        {"chkPlayliste", toggle(&frmStart::chkPlayliste), true},
        {"chkPlaylistDoppelklick", toggle(&frmStart::chkPlaylistDoppelklick), true},
        {"chkFenster", toggle(&frmStart::chkFenster), true},
        {"chkSmilie", toggle(&frmStart::chkSmilie), true},
        {"chkMuelleimer", toggle(&frmStart::chkMuelleimer), true},
        {"chkPause", toggle(&frmStart::chkPause), true},
        {"chkRechteMaustaste", toggle(&frmStart::chkRechteMaustaste), true},
        {"cmbAnzahl", [](frmStart& f) { f.cmbAnzahl->setCurrentIndex(4); }, true},
        {"Slider1", [](frmStart& f) { f.Slider1->setValue(3); }, true},
        {"Text1", [](frmStart& f) { f.Text1->setText(QStringLiteral("/anders")); }, true},
        {"txtPasswort key", key, true},
        {"lblAbbrechen", [](frmStart& f) { emit f.lblAbbrechen->clicked(); }, true},
        {"cmdFarbe cancelled", [](frmStart& f) { f.cmdFarbe[1]->click(); }, true},
        {"cmdDurchsuchen cancelled", [](frmStart& f) { f.cmdDurchsuchen->click(); }, true},
        {"chkWindowsBlockieren", toggle(&frmStart::chkWindowsBlockieren), false},
        {"cmbSchriftgroesse", [](frmStart& f) { f.cmbSchriftgroesse->setCurrentIndex(0); }, false},
        {"txtWinAmpPfad", [](frmStart& f) { f.txtWinAmpPfad->setText(QStringLiteral("/opt/p")); }, false},
        {"setting a check box to its own value", [](frmStart& f) { f.chkFenster->setChecked(true); }, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.input);
        frmStart::resetForTests();
        frmStart& f = frmStart::instance();
        advanceSeconds(vt, 35);
        ASSERT_TRUE(countdownShown(f));
        c.act(f);
        EXPECT_EQ(f.autostartZaehler(), c.restarts ? 0 : 35);
        EXPECT_EQ(countdownShown(f), !c.restarts);
        EXPECT_TRUE(f.TimerAutostart->Enabled());
    }
}

TEST_F(StartDialog, CountdownShowsTheLastTenSecondsAndPressesOkAtForty) {
    frmStart& f = frmStart::instance();
    advanceSeconds(vt, 29);
    EXPECT_FALSE(countdownShown(f));
    advanceSeconds(vt, 1);
    EXPECT_TRUE(countdownShown(f));
    EXPECT_EQ(f.Label2->text(), QStringLiteral("Autostart in 10 Sekunden"));
    advanceSeconds(vt, 8);
    EXPECT_EQ(f.Label2->text(), QStringLiteral("Autostart in 2 Sekunden"));
    advanceSeconds(vt, 1);
    EXPECT_EQ(f.Label2->text(), QStringLiteral("Autostart in 1 Sekunde"));
    EXPECT_EQ(stored("Pfad"), QStringLiteral("<missing>"));
    advanceSeconds(vt, 1);
    EXPECT_EQ(stored("Pfad"), f.Text1->text());  // OK ran: all settings stored
    EXPECT_FALSE(f.TimerAutostart->Enabled());
    EXPECT_FALSE(countdownShown(f));
    advanceSeconds(vt, 60);
    EXPECT_FALSE(countdownShown(f));
}

TEST_F(StartDialog, CountdownHandsOverWithADarkColourInAHandEditedStore) {
    store("Pfad", testenv::freshFolder(QStringLiteral("lieder")));
    store("Farbe", QStringLiteral("0"));
    store("Hintergrundfarbe", QStringLiteral("0"));
    frmStart& f = frmStart::instance();
    advanceSeconds(vt, 40);
    EXPECT_TRUE(messages().empty());
    EXPECT_EQ(stored("Farbe"), QStringLiteral("16776960"));
    EXPECT_EQ(stored("Hintergrundfarbe"), QStringLiteral("16711680"));
    EXPECT_FALSE(f.TimerAutostart->Enabled());
}

TEST_F(StartDialog, CountdownPressingOkOnAnEmptyFolderWarnsOnceAndStaysOff) {
    store("Pfad", QString());
    frmStart& f = frmStart::instance();
    QString lineAtOk;
    testenv::dialogs().duringDialog = [&] { lineAtOk = f.Label2->text(); };
    advanceSeconds(vt, 40);
    ASSERT_EQ(messages().size(), 1u);
    EXPECT_EQ(messages()[0].prompt, QStringLiteral("Bitte einen gültigen Pfad für die Lieder angeben!"));
    EXPECT_EQ(lineAtOk, QStringLiteral("Autostart in 0 Sekunden"));
    EXPECT_TRUE(f.cmdOK->isEnabled());
    EXPECT_FALSE(f.TimerAutostart->Enabled());
    advanceSeconds(vt, 120);
    EXPECT_EQ(messages().size(), 1u);
}

TEST_F(StartDialog, OpenDialogsHoldTheCountdown) {
    frmStart& f = frmStart::instance();
    testenv::dialogs().duringDialog = [&] { advanceSeconds(vt, 50); };
    advanceSeconds(vt, 20);
    f.cmdFarbe_Click(0);         // cancelled after 50 s
    f.cmdDurchsuchen_Click();    // cancelled after 50 s
    EXPECT_EQ(f.autostartZaehler(), 0);
    EXPECT_TRUE(f.TimerAutostart->Enabled());
    testenv::dialogs().duringDialog = nullptr;
    advanceSeconds(vt, 39);
    EXPECT_EQ(f.autostartZaehler(), 39);
    EXPECT_EQ(stored("Pfad"), QStringLiteral("<missing>"));
}

TEST_F(StartDialog, SliderSitsOnTheRowOfItsLabels) {
    frmStart& f = frmStart::instance();
    EXPECT_EQ(f.Slider1->y(), platform::twipsToPx(2760));
    EXPECT_EQ(f.Slider1->y(), f.Label7->y());
}

TEST_F(StartDialog, ScreenWarningBelow1024By768) {
    const QString warning = QStringLiteral("Dieses Programm benötigt mindestens eine Auflösung von 1024 x 768 Pixel!");
    struct Case {
        QSize size;
        bool warns;
    };
    for (const Case& c : {Case{{1024, 768}, false}, Case{{1023, 768}, true}, Case{{1024, 767}, true},
                          Case{{1920, 1080}, false}}) {
        SCOPED_TRACE(QStringLiteral("%1x%2").arg(c.size.width()).arg(c.size.height()).toStdString());
        messages().clear();
        platform::setScreenSizeOverride(c.size);
        frmStart::resetForTests();
        frmStart& f = frmStart::instance();
        ASSERT_EQ(messages().size(), c.warns ? 1u : 0u);
        if (c.warns) {
            EXPECT_EQ(messages()[0].prompt, warning);
            EXPECT_EQ(messages()[0].icon(), platform::vbExclamation);
        }
        EXPECT_TRUE(frmStart::loaded());
        EXPECT_EQ(f.autostartZaehler(), 0);
        EXPECT_TRUE(f.TimerAutostart->Enabled());
    }
}

TEST_F(StartDialog, TheScreenWarningHoldsNeitherTheLoadNorTheCountdownAndTheAutostartClosesIt) {
    const QString warning = QStringLiteral("Dieses Programm benötigt mindestens eine Auflösung von 1024 x 768 Pixel!");
    auto warningBox = [&]() -> QMessageBox* {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* b = qobject_cast<QMessageBox*>(w); b && b->isVisible() && b->text() == warning) return b;
        return nullptr;
    };
    store("Pfad", testenv::freshFolder(QStringLiteral("lieder")));
    platform::setScreenSizeOverride(QSize(800, 600));
    platform::setAnswerer(nullptr);
    // A box that held the load would be closed here after two real seconds, and fail below.
    QTimer::singleShot(2000, [&] {
        if (QMessageBox* b = warningBox()) b->done(0);
    });
    frmStart& f = frmStart::instance();
    f.show();
    QPointer<QMessageBox> box = warningBox();
    ASSERT_TRUE(box);
    EXPECT_FALSE(box->isModal());
    advanceSeconds(vt, 39);
    EXPECT_EQ(f.autostartZaehler(), 39);
    EXPECT_TRUE(box && box->isVisible());
    advanceSeconds(vt, 1);
    platform::setAnswerer(&testenv::dialogs());
    EXPECT_EQ(stored("Pfad"), f.Text1->text());  // the autostart ran
    EXPECT_FALSE(box && box->isVisible());
}

// Without a window manager the window activated last keeps the keyboard, and X activates a window
// only once it is on the screen: the warning came up first, the start dialog shown after it took the
// keyboard, and the Return meant for the warning pressed OK. Once the dialog is up the warning holds
// the keyboard; its Return closes it alone, and the keyboard goes back to the dialog.
TEST_F(StartDialog, ReturnOnTheScreenWarningClosesTheWarningAlone) {
    const QString warning = QStringLiteral("Dieses Programm benötigt mindestens eine Auflösung von 1024 x 768 Pixel!");
    store("Pfad", testenv::freshFolder(QStringLiteral("lieder")));
    platform::setScreenSizeOverride(QSize(800, 600));
    const testenv::RealDialogs echt([](QWidget*) {});  // nobody answers
    frmStart& f = frmStart::instance();
    QCoreApplication::processEvents();  // the warning is up first, and active
    QPointer<QMessageBox> box;
    // Should the test fail, no window of it stays for the next one.
    const std::unique_ptr<QPointer<QMessageBox>, void (*)(QPointer<QMessageBox>*)> aufraeumen(&box, [](auto* b) {
        if (*b) (*b)->close();
        frmStart::instance().hide();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    });
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* b = qobject_cast<QMessageBox*>(w); b && b->isVisible() && b->text() == warning) box = b;
    ASSERT_TRUE(box);
    f.show();
    // The window system's answers to the two activations come in turns of the event loop.
    for (int i = 0; i < 3; ++i) QCoreApplication::processEvents();
    ASSERT_EQ(QApplication::activeWindow(), box.data());
    for (const QEvent::Type t : {QEvent::KeyPress, QEvent::KeyRelease}) {
        QKeyEvent e(t, Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"));
        ASSERT_TRUE(QApplication::focusWidget());
        QCoreApplication::sendEvent(QApplication::focusWidget(), &e);
        QCoreApplication::processEvents();
    }
    EXPECT_FALSE(box && box->isVisible());
    EXPECT_EQ(stored("Zufall"), QStringLiteral("<missing>"));  // no hand-over stored the settings
    EXPECT_TRUE(f.cmdOK->isEnabled());
    EXPECT_TRUE(f.TimerAutostart->Enabled());
    EXPECT_TRUE(f.isVisible());
    EXPECT_EQ(QApplication::activeWindow(), &f);
}

TEST_F(StartDialog, AStoreThatCannotBeWrittenIsToldOnceInARealBox) {
    frmStart& f = frmStart::instance();
    f.Text1->setText(QStringLiteral("/musik/neu"));
    platform::setSettingsFolder(testenv::unwritableFolder());
    QStringList shown;
    std::string err;
    {
        // The real message box, answered inside its own loop.
        const testenv::RealDialogs real([&](QWidget* w) {
            if (auto* box = qobject_cast<QMessageBox*>(w)) {
                shown << box->text();
                box->buttons().constFirst()->click();
            }
        });
        testing::internal::CaptureStderr();
        f.EinstellungenSpeichern();
        f.EinstellungenSpeichern(4);
        err = testing::internal::GetCapturedStderr();
    }
    const QString file = platform::settingsFile(platform::appTitle());
    platform::setSettingsFolder(testenv::configFolder());
    ASSERT_EQ(shown.size(), 1);
    EXPECT_EQ(shown[0], QStringLiteral("Die Einstellungen konnten nicht in der Datei '") + file +
                            QStringLiteral("' gespeichert werden!\nSie gelten nur bis zum Programmende."));
    // Each failed save is one line on standard error.
    const std::string line = "melotra: settings not saved to " + file.toStdString() + "\n";
    const size_t first = err.find(line);
    ASSERT_NE(first, std::string::npos) << err;
    EXPECT_NE(err.find(line, first + 1), std::string::npos) << err;
    EXPECT_EQ(f.Text1->text(), QStringLiteral("/musik/neu"));  // the settings of this run stay
}

TEST_F(StartDialog, ASettingsFileThatCannotBeReadIsToldAndTheAutostartLeavesItAlone) {
    platform::setSettingsFolder(testenv::freshFolder(QStringLiteral("einstellungen")));
    const QString file = platform::settingsFile(platform::appTitle());
    ASSERT_TRUE(QDir().mkpath(file));  // a folder where the file should be
    const QString protocol = platform::dataPath() + QLatin1Char('/') + platform::appTitle() + QStringLiteral(".EPT");
    QFile::remove(protocol);
    QString text;
    auto notice = [&]() -> QMessageBox* {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* b = qobject_cast<QMessageBox*>(w); b && b->isVisible() && b->text() == text) return b;
        return nullptr;
    };
    platform::setAnswerer(nullptr);
    frmStart& f = frmStart::instance();
    // What the run does without its settings: no lock, the default folder, and nothing stored.
    text = QStringLiteral("Die Einstellungen konnten nicht aus der Datei '") + file +
           QStringLiteral("' gelesen werden: sie ist ein Ordner.\nDas Programm startet mit den "
                          "Standardeinstellungen: Die Passwortsperre ist aus, die Lieder kommen aus dem "
                          "Standardordner '") +
           f.Text1->text() +
           QStringLiteral("'.\nIn diesem Lauf wird keine Einstellung gespeichert, auch keine Änderung in diesem "
                          "Fenster; die Datei bleibt unverändert.");
    f.show();
    QPointer<QMessageBox> box = notice();
    const bool shown = box;
    const bool modal = box && box->isModal();
    const bool defaults = f.chkFenster->isChecked() && f.txtPasswort->text().isEmpty();
    f.Text1->setText(testenv::freshFolder(QStringLiteral("lieder")));
    // Nobody there: the countdown goes on beside the box, and the hand-over closes it.
    advanceSeconds(vt, 40);
    const bool closed = !box || !box->isVisible();
    const bool handedOver = !f.isVisible() && !f.TimerAutostart->Enabled();
    platform::setAnswerer(&testenv::dialogs());
    frmStart::resetForTests();
    const bool stillAFolder = QFileInfo(file).isDir() && QDir(file).isEmpty();
    platform::setSettingsFolder(testenv::configFolder());

    EXPECT_TRUE(shown);
    EXPECT_FALSE(modal);
    EXPECT_TRUE(defaults);
    EXPECT_TRUE(handedOver);
    EXPECT_TRUE(closed);
    EXPECT_TRUE(stillAFolder);
    QFile ept(protocol);
    ASSERT_TRUE(ept.open(QIODevice::ReadOnly));
    const QString lines = QString::fromUtf8(ept.readAll());
    EXPECT_TRUE(lines.contains(QStringLiteral("\tEinstellungen nicht lesbar, Standardeinstellungen geladen: \"") + file +
                               QStringLiteral("\" (sie ist ein Ordner)\tFehler-Nr: 75 (Fehler beim Zugriff auf Pfad/Datei)\r\n")))
        << lines.toStdString();
    EXPECT_TRUE(lines.contains(QStringLiteral("\tEinstellungen nicht gespeichert: \"") + file +
                               QStringLiteral("\" war beim Start nicht lesbar (sie ist ein Ordner) und bleibt bis "
                                              "zum Programmende unverändert\r\n")))
        << lines.toStdString();
}

TEST_F(StartDialog, ARelativeMusicFolderOfTheDesktopIsIgnored) {
    const QString home = testenv::freshFolder(QStringLiteral("home"));
    QDir().mkpath(home + QStringLiteral("/Music"));
    QDir().mkpath(home + QStringLiteral("/.config"));
    {
        QFile dirs(home + QStringLiteral("/.config/user-dirs.dirs"));
        ASSERT_TRUE(dirs.open(QIODevice::WriteOnly));
        dirs.write("XDG_MUSIC_DIR=\"Musik\"\n");
    }
    // Taken as it stands, "Musik" would be the folder of that name where the program was started.
    const QString working = testenv::freshFolder(QStringLiteral("arbeit"));
    QDir().mkpath(working + QStringLiteral("/Musik"));
    const QString oldWorking = QDir::currentPath();
    const QProcessEnvironment before = QProcessEnvironment::systemEnvironment();
    qputenv("HOME", home.toUtf8());
    qputenv("XDG_CONFIG_HOME", (home + QStringLiteral("/.config")).toUtf8());
    QDir::setCurrent(working);
    const QString folder = frmStart::instance().Text1->text();
    QDir::setCurrent(oldWorking);
    for (const char* name : {"HOME", "XDG_CONFIG_HOME"})
        before.contains(name) ? qputenv(name, before.value(name).toLocal8Bit()) : qunsetenv(name);
    EXPECT_EQ(folder, home + QStringLiteral("/Music"));
}

TEST(Startup, ASecondKioskOfTheSameUserSaysSoAndEndsTouchingNothing) {
    frmStart::resetForTests();
    testenv::dialogs().reset();
    QFile::remove(platform::settingsFile(platform::appTitle()));
    platform::InstanceLock first;
    ASSERT_EQ(first.take(platform::instanceLockFile()), platform::InstanceLock::Result::Taken);
    const QStringList before = QDir(platform::dataPath()).entryList(QDir::Files);
    // A second kiosk that ran would be stopped here instead of ending by itself.
    QTimer stop;
    stop.setSingleShot(true);
    QObject::connect(&stop, &QTimer::timeout, qApp, &QCoreApplication::quit);
    stop.start(0);
    testing::internal::CaptureStderr();
    const int status = melotraMain(*qApp);
    const std::string err = testing::internal::GetCapturedStderr();
    const bool dialogLoaded = frmStart::loaded();
    frmStart::resetForTests();

    const QString line = QStringLiteral("Melotra läuft bereits (Prozess %1); ein zweites Melotra wird nicht gestartet.")
                             .arg(QCoreApplication::applicationPid());
    EXPECT_EQ(status, 3);
    EXPECT_EQ(err, line.toStdString() + "\n");
    ASSERT_EQ(testenv::dialogs().messages.size(), 1u);
    EXPECT_EQ(testenv::dialogs().messages[0].prompt, line);
    EXPECT_EQ(testenv::dialogs().messages[0].icon(), platform::vbExclamation);
    EXPECT_GT(testenv::dialogs().messages[0].timeoutMs, 0);  // it closes itself
    EXPECT_TRUE(testenv::dialogs().messages[0].leavesFocus);  // the running kiosk keeps its keys
    EXPECT_FALSE(dialogLoaded);
    EXPECT_FALSE(QFile::exists(platform::settingsFile(platform::appTitle())));
    EXPECT_EQ(QDir(platform::dataPath()).entryList(QDir::Files), before);
    testenv::dialogs().reset();
}

TEST_F(StartDialog, FolderButtonTakesThePickedFolderOnly) {
    frmStart& f = frmStart::instance();
    const QString before = f.Text1->text();
    f.cmdDurchsuchen_Click();  // cancelled
    EXPECT_EQ(f.Text1->text(), before);
    const QString lieder = testenv::freshFolder(QStringLiteral("lieder"));
    testenv::dialogs().folderAnswers = {lieder};
    f.cmdDurchsuchen_Click();
    EXPECT_EQ(f.Text1->text(), lieder);
    ASSERT_EQ(testenv::dialogs().folderTitles.size(), 2u);
    EXPECT_EQ(testenv::dialogs().folderTitles[0], QStringLiteral("Ordner wählen"));
    // The picker opens in the folder that the dialog shows.
    EXPECT_EQ(testenv::dialogs().folderStarts, (std::vector<QString>{before, before}));
    f.cmdDurchsuchen_Click();
    EXPECT_EQ(testenv::dialogs().folderStarts.back(), lieder);
}

TEST_F(StartDialog, ShowingClearsTheStatusLinesAndClosingUnloads) {
    frmStart& f = frmStart::instance();
    f.Label2->setText(QStringLiteral("alt"));
    f.lblGefunden->setText(QStringLiteral("12 Lieder"));
    f.show();
    EXPECT_EQ(f.Label2->text(), QString());
    EXPECT_EQ(f.lblGefunden->text(), QString());

    // Closing discards what was not stored; the next access loads the store again.
    f.chkZufall->setChecked(true);
    f.cmdBeenden_Click();
    EXPECT_FALSE(f.isVisible());
    EXPECT_FALSE(frmStart::loaded());
    EXPECT_FALSE(f.TimerAutostart->Enabled());
    EXPECT_FALSE(frmStart::instance().chkZufall->isChecked());
    EXPECT_TRUE(frmStart::instance().TimerAutostart->Enabled());
}

TEST_F(StartDialog, AfterTheFirstOkAReloadedDialogHasNoCountdown) {
    frmStart& f = frmStart::instance();
    f.Text1->setText(QStringLiteral("/musik"));
    f.cmdOK_Click();
    EXPECT_FALSE(f.TimerAutostart->Enabled());
    EXPECT_TRUE(f.cmdOK->isEnabled());
    f.cmdBeenden_Click();
    frmStart& g = frmStart::instance();
    EXPECT_EQ(g.Text1->text(), QStringLiteral("/musik"));
    EXPECT_FALSE(g.TimerAutostart->Enabled());
}

}  // namespace
