// The hand-over from the start dialog to the main screen, the countdown and shut-down.
#include "main_support.h"

#include "base/ErrPtnr.h"
#include "kiosk/logic/playlistdatei.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMessageBox>
#include <QPushButton>
#include <QSlider>

namespace {

using HandOver = MainScreenTest;

int countTrace(const QString& text) {
    int n = 0;
    for (const QString& e : ErrPtnr::ring().entries())
        if (e.contains(text)) ++n;
    return n;
}

TEST_F(HandOver, OkStoresScansAndReportsTwoSongsForFiveSeconds) {
    const QString dir = songFolder("two", 2);
    frmStart& s = start(dir);
    s.show();
    s.Slider1->setValue(7);
    s.cmdOK_Click();

    EXPECT_EQ(platform::GetSetting(platform::appTitle(), "Data", "Pfad", "<none>"), dir);
    ASSERT_TRUE(frmMain::loaded());
    frmMain& m = main();
    EXPECT_EQ(m.FadingSekunden, 7);
    EXPECT_EQ(m.MSFlexGrid1->Rows(), 3);
    EXPECT_EQ(m.MSFlexGrid1->TextMatrix(1, 0), "Lied 01");
    EXPECT_EQ(m.MSFlexGrid1->TextMatrix(0, 3), "Dauer");
    EXPECT_EQ(s.lblGefunden->text(), "Gefundene Lieder: 2");
    EXPECT_EQ(m.lblStartmeldung->text(), "2 Lieder gefunden!");
    EXPECT_EQ(m.lblStartmeldung2->text(), "");
    EXPECT_TRUE(m.isVisible());
    EXPECT_FALSE(s.isVisible());
    EXPECT_TRUE(s.cmdOK->isEnabled());
    EXPECT_TRUE(s.cmdBeenden->isEnabled());
    EXPECT_TRUE(s.cmdAbbrechen->isEnabled());
    EXPECT_EQ(m.MSFlexGrid2->Rows(), 1);

    // The message's time runs from before the length pass, which takes a moment of its own.
    EXPECT_EQ(m.TimerStartmeldung->Interval(), 5000);
    vt.advance(4500);
    EXPECT_TRUE(m.Frame1->isVisible());
    vt.advance(500);
    EXPECT_FALSE(m.Frame1->isVisible());
    EXPECT_TRUE(testenv::reportedErrors().empty());
}

TEST_F(HandOver, NothingFoundCutsTheArchiveAndShowsTheHintForTenSeconds) {
    frmStart& s = start(testenv::freshFolder("none"));
    s.cmdOK_Click();
    frmMain& m = main();
    EXPECT_EQ(m.lblStartmeldung->text(), "0 Lieder gefunden!");
    EXPECT_EQ(m.lblStartmeldung2->text(),
              "Bitte im Kontextmenü (rechte Maustaste) \"Zurück\" anklicken und anschließend einen Ordner mit "
              "MP3-Dateien angeben!");
    EXPECT_EQ(m.MSFlexGrid1->Rows(), 1);
    EXPECT_EQ(m.TimerStartmeldung->Interval(), 10000);
    vt.advance(9500);
    EXPECT_TRUE(m.Frame1->isVisible());
    vt.advance(500);
    EXPECT_FALSE(m.Frame1->isVisible());
}

TEST_F(HandOver, AStoreThatCannotBeWrittenStopsNoStartAndIsToldToTheOperatorOnce) {
    platform::setSettingsFolder(testenv::unwritableFolder());
    frmStart& s = start(songFolder("nostore", 2));
    s.show();
    testing::internal::CaptureStderr();
    seconds(40);  // the countdown presses OK: nobody is there to answer a box
    const std::string err = testing::internal::GetCapturedStderr();
    ASSERT_TRUE(frmMain::loaded());
    EXPECT_TRUE(main().isVisible());
    EXPECT_EQ(main().lblStartmeldung->text(), "2 Lieder gefunden!");
    EXPECT_TRUE(testenv::dialogs().messages.empty());
    EXPECT_NE(err.find("settings not saved"), std::string::npos);
    // The operator's own OK, back in the dialog, tells it once a run; the kiosk starts all the same.
    frmStart::setZurueckHook([](frmStart& d) { d.cmdOK_Click(); });
    for (int i = 0; i < 2; ++i) {
        testing::internal::CaptureStderr();
        s.menuZurueck_Click();
        testing::internal::GetCapturedStderr();
    }
    frmStart::setZurueckHook({});
    platform::setSettingsFolder(testenv::configFolder());
    ASSERT_EQ(testenv::dialogs().messages.size(), 1u);
    EXPECT_TRUE(testenv::dialogs().messages[0].prompt.startsWith("Die Einstellungen konnten nicht in der Datei '"));
    EXPECT_EQ(testenv::dialogs().messages[0].icon(), platform::vbExclamation);
    EXPECT_TRUE(main().isVisible());
    EXPECT_EQ(main().lblStartmeldung->text(), "2 Lieder gefunden!");
}

TEST_F(HandOver, OneSongIsOneLied) {
    start(songFolder("one", 1)).cmdOK_Click();
    EXPECT_EQ(main().lblStartmeldung->text(), "1 Lied gefunden!");
    EXPECT_EQ(main().MSFlexGrid1->Rows(), 2);
}

TEST_F(HandOver, CountdownPressesOkAtFortySeconds) {
    frmStart& s = start(songFolder("countdown", 2));
    s.show();
    seconds(39);
    EXPECT_FALSE(frmMain::loaded());
    seconds(1);
    ASSERT_TRUE(frmMain::loaded());
    EXPECT_EQ(main().lblStartmeldung->text(), "2 Lieder gefunden!");
    EXPECT_TRUE(main().isVisible());
    // The first OK switches the countdown off for the rest of the run.
    EXPECT_FALSE(s.TimerAutostart->Enabled());
}

TEST_F(HandOver, AnAutostartAnswersItsOwnBoxesAndAPersonsHandOverKeepsThem) {
    // The music drive is not mounted yet; the queue of the last run is to be reloaded.
    const QString fehlt = testenv::freshFolder("drive") + "/Musik";
    QByteArray liste;
    for (int i = 1; i <= 5; ++i) liste += QStringLiteral("T%1;B;C;??:??;%2/%1.mp3;01:00\r\n").arg(i).arg(fehlt).toUtf8();
    testmedia::writeBytes(kiosklogic::PlaylistDateiname(), liste);
    frmStart& s = start(fehlt);
    s.chkPlayliste->setChecked(true);
    s.show();
    seconds(40);
    ASSERT_EQ(testenv::dialogs().messages.size(), 1u);
    const platform::MessageRequest box = testenv::dialogs().messages[0];
    EXPECT_TRUE(box.prompt.startsWith("Der angegebene Ordner \"" + fehlt + "\" wurde nicht gefunden!"));
    EXPECT_EQ(box.timeoutMs, 15000);
    ASSERT_TRUE(frmMain::loaded());
    frmMain& m = main();
    EXPECT_TRUE(m.isVisible());
    EXPECT_EQ(m.lblStartmeldung->text(), "0 Lieder gefunden!");
    EXPECT_EQ(m.MSFlexGrid2->Rows(), 6);
    EXPECT_EQ(m.MSFlexGrid2->TextMatrix(1, 0), "T1");

    // Boxes after the kiosk is up belong to the people at it.
    platform::MsgBox("Dieses Lied wirklich löschen?", platform::vbYesNo);
    EXPECT_EQ(testenv::dialogs().messages.back().timeoutMs, 0);
    // The operator's own OK from the dialog brought back waits for the operator.
    frmStart::setZurueckHook([](frmStart& d) { d.cmdOK_Click(); });
    s.menuZurueck_Click();
    frmStart::setZurueckHook({});
    ASSERT_EQ(testenv::dialogs().messages.size(), 3u);
    EXPECT_EQ(testenv::dialogs().messages[2].prompt, box.prompt);
    EXPECT_EQ(testenv::dialogs().messages[2].timeoutMs, 0);
}

// The real box of the missing song folder in its own loop: at an autostart it answers itself after
// 15 s and says so in one protocol line, as the error dialog does; a person's answer writes none.
TEST_F(HandOver, ABoxThatAnswersItselfSaysSoInTheProtocol) {
    const QString fehlt = testenv::freshFolder("drive") + "/Musik";
    const QString ept = platform::dataPath() + "/" + platform::appTitle() + ".EPT";
    const QString zeile = "Unbeaufsichtigt nach 15 s selbst beantwortet mit \"OK\": Der angegebene Ordner \"" + fehlt +
                          "\" wurde nicht gefunden! Bitte geben Sie beim Starten einen gültigen Ordner an!";
    auto zeilen = [&] {
        QFile f(ept);
        return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()).count(zeile) : 0;
    };
    QFile::remove(ept);
    for (const bool autostart : {true, false}) {
        if (!autostart) {
            TearDown();
            SetUp();
        }
        frmStart& s = start(fehlt);
        s.show();
        bool gesehen = false, offenBei14999 = false;
        {
            const testenv::RealDialogs echt([&](QWidget* w) {
                auto* box = qobject_cast<QMessageBox*>(w);
                if (gesehen || !box || !box->text().startsWith("Der angegebene Ordner")) return;
                gesehen = true;
                if (!autostart) return box->defaultButton()->click();  // the person at the kiosk
                vt.advance(14999);
                offenBei14999 = box->isVisible();
                vt.advance(1);
            });
            if (autostart) {
                seconds(39);
                s.TimerAutostart->fire();  // the 40th second: OK
            } else {
                s.cmdOK_Click();
            }
        }
        EXPECT_TRUE(gesehen) << autostart;
        EXPECT_EQ(offenBei14999, autostart);
        EXPECT_EQ(main().lblStartmeldung->text(), "0 Lieder gefunden!") << autostart;
        EXPECT_EQ(zeilen(), 1) << autostart;  // the autostart's line, and none for the person
    }
}

TEST_F(HandOver, NichtDurchsuchenStopsTheCountdownForTheRestOfTheRun) {
    frmStart& s = start(songFolder("later", 2));
    s.show();
    seconds(35);
    s.cmdAbbrechen_Click();
    frmMain& m = main();
    EXPECT_TRUE(m.isVisible());
    EXPECT_FALSE(s.isVisible());
    EXPECT_FALSE(m.Frame1->isVisible());
    EXPECT_EQ(m.MSFlexGrid1->Rows(), 2);
    EXPECT_EQ(m.MSFlexGrid1->TextMatrix(1, 0), "");
    // Loaded once: the grids keep the buttons' shadow colour from before their initialisation.
    EXPECT_EQ(m.MSFlexGrid1->BackColorBkg(), 0);
    EXPECT_EQ(m.Uebernehmen->IniState(), 80);
    EXPECT_TRUE(s.lblAbbrechen->isHidden());

    // No hidden hand-over: nothing rescans behind the kiosk.
    seconds(45);
    EXPECT_EQ(m.MSFlexGrid1->Rows(), 2);
    EXPECT_EQ(m.MSFlexGrid1->TextMatrix(1, 0), "");
    EXPECT_FALSE(m.Frame1->isVisible());

    // Nor after "Beenden" in the dialog brought back, which loads it anew.
    frmStart::setZurueckHook([](frmStart& d) { d.cmdBeenden->click(); });
    s.menuZurueck_Click();
    frmStart::setZurueckHook({});
    EXPECT_FALSE(frmStart::loaded());
    EXPECT_FALSE(frmStart::instance().TimerAutostart->Enabled());
    seconds(45);
    EXPECT_EQ(m.MSFlexGrid1->Rows(), 2);
    EXPECT_EQ(m.MSFlexGrid1->TextMatrix(1, 0), "");
}

TEST_F(HandOver, FirstHandOverEndsAsTheDoubleLoadDid) {
    frmStart& s = start(songFolder("double", 2));
    s.PicFarbe->setBackColor(platform::RGB(200, 100, 250));
    s.cmdOK_Click();
    frmMain& m = main();
    for (Funbutton* b : m.touchButtons()) {
        EXPECT_EQ(b->IniState(), 80);
        EXPECT_EQ(b->ColorMy, platform::RGB(200, 100, 250));
    }
    const int32_t shadow = m.FunbuttonArchivNav[0]->Schattenfarbe();
    EXPECT_NE(shadow, 0);
    for (kioskgrid::FlexGrid* g : {m.MSFlexGrid1, m.MSFlexGrid2}) {
        EXPECT_EQ(g->BackColorBkg(), shadow);
        EXPECT_EQ(g->ForeColorSel(), shadow);
        EXPECT_EQ(g->ForeColorFixed(), shadow);
        EXPECT_EQ(g->BackColorSel(), platform::RGB(200, 100, 250));
        EXPECT_EQ(g->BackColorFixed(), platform::RGB(200, 100, 250));
    }
    EXPECT_FALSE(m.cmdHoch[0]->Enabled());
    EXPECT_FALSE(m.cmdHoch[1]->Enabled());
    EXPECT_TRUE(m.FunbuttonArchivNav[3]->RepeatEnabled());
}

TEST_F(HandOver, RightButtonOptionSwitchesEveryTouchButtonOffForTheRightButton) {
    frmStart& s = start(songFolder("right", 2));
    s.chkRechteMaustaste->setChecked(true);
    s.cmdOK_Click();
    const auto buttons = main().findChildren<Funbutton*>();
    EXPECT_EQ(buttons.size(), 13);
    for (Funbutton* b : buttons) {
        EXPECT_FALSE(b->EnabledRechts()) << b->objectName().toStdString();
        EXPECT_TRUE(b->EnabledLinks());
    }
    EXPECT_EQ(main().lblStartmeldung->text(), "2 Lieder gefunden!");
}

TEST_F(HandOver, OptionsHideTheLockAndTheGameAndSetOnlyRight) {
    frmStart& s = start(testenv::freshFolder("opts"));
    s.txtPasswort->setText("   ");
    s.chkSmilie->setChecked(false);
    s.chkMuelleimer->setChecked(true);
    s.cmdOK_Click();
    frmMain& m = main();
    EXPECT_TRUE(m.Schloss->isHidden());
    EXPECT_TRUE(m.cmdSmilie->isHidden());
    EXPECT_TRUE(m.cmdLoeschen->OnlyRight);
    EXPECT_TRUE(m.cmdHoch[0]->OnlyRight && m.cmdHoch[1]->OnlyRight);
    EXPECT_FALSE(m.Uebernehmen->OnlyRight);
    // Hidden buttons are initialised all the same.
    EXPECT_EQ(m.cmdSmilie->IniState(), 80);

    // A later hand-over never brings them back.
    s.txtPasswort->setText("geheim");
    s.chkSmilie->setChecked(true);
    s.chkMuelleimer->setChecked(false);
    s.cmdOK_Click();
    EXPECT_TRUE(m.Schloss->isHidden());
    EXPECT_TRUE(m.cmdSmilie->isHidden());
    EXPECT_TRUE(m.cmdLoeschen->OnlyRight);
}

TEST_F(HandOver, KioskModeTogglesTheDesktopOnceAndBackAtShutDown) {
    frmStart& s = start(testenv::freshFolder("kiosk"));
    s.chkWindowsBlockieren->setChecked(true);
    frmMain::FormLoadFromHandOver();
    EXPECT_TRUE(IconsVersteckt);
    // Without an X11 session no task bar is found: the handle stays 0 and showing it does nothing.
    EXPECT_EQ(hTaskbar, 0u);
    // Later hand-overs (the buttons are initialised by now, so the trace keeps every entry).
    ErrPtnr::ring().clear();
    frmMain::FormLoadFromHandOver();
    EXPECT_EQ(countTrace("ToggleDesktopIcons"), 0);
    EXPECT_EQ(countTrace("[frmMain] Public Sub Form_Load()"), 1);

    main().close();
    EXPECT_FALSE(IconsVersteckt);
    EXPECT_TRUE(ProgrammEnde);
    EXPECT_EQ(countTrace("ToggleDesktopIcons"), 1);
    EXPECT_EQ(countTrace("[frmMain] Private Sub Form_QueryUnload(Cancel As Integer, UnloadMode As Integer)"), 1);
    // Asked to close again, the shut-down does not run a second time.
    main().close();
    EXPECT_EQ(countTrace("ToggleDesktopIcons"), 1);
}

TEST_F(HandOver, KioskModeSwitchedOnLaterHidesTheDesktopOnce) {
    start(testenv::freshFolder("later")).chkWindowsBlockieren->setChecked(false);
    frmMain::FormLoadFromHandOver();
    EXPECT_FALSE(IconsVersteckt);
    frmStart::instance().chkWindowsBlockieren->setChecked(true);
    ErrPtnr::ring().clear();
    frmMain::FormLoadFromHandOver();
    frmMain::FormLoadFromHandOver();
    EXPECT_EQ(countTrace("ToggleDesktopIcons"), 1);
    EXPECT_TRUE(IconsVersteckt);
}

TEST_F(HandOver, KioskModeOffLeavesTheDesktopAlone) {
    start(testenv::freshFolder("nokiosk")).chkWindowsBlockieren->setChecked(false);
    frmMain::FormLoadFromHandOver();
    ErrPtnr::ring().clear();
    frmMain::FormLoadFromHandOver();
    main().close();
    EXPECT_EQ(countTrace("ToggleDesktopIcons"), 0);
    EXPECT_FALSE(IconsVersteckt);
}

TEST_F(HandOver, FontSizeThatIsNoNumberEndsFormLoadWithItsOwnMessage) {
    frmStart& s = start(testenv::freshFolder("font"));
    s.cmbSchriftgroesse->setEditable(true);
    s.cmbSchriftgroesse->setEditText("groß");
    frmMain::FormLoadFromHandOver();
    ASSERT_EQ(testenv::dialogs().messages.size(), 1u);
    EXPECT_EQ(testenv::dialogs().messages[0].prompt,
              "Beim Laden des Hauptfensters ist ein Fehler aufgetreten!\r\nFehler: 13\r\nTypen unverträglich");
    EXPECT_EQ(testenv::dialogs().messages[0].style & 0xF0, platform::vbCritical);
    EXPECT_TRUE(testenv::reportedErrors().empty());
}

TEST_F(HandOver, ButtonsTakeNoInputWhileTheHandOverRuns) {
    frmStart& s = start(songFolder("locked", 3));
    std::vector<bool> seen;
    platform::VbTimer probe(nullptr, 1, true);
    probe.onTimer = [&] {
        if (s.cmdOK->isEnabled()) return;  // before or after the hand-over
        seen.push_back(s.cmdBeenden->isEnabled() || s.cmdAbbrechen->isEnabled());
        s.cmdAbbrechen->click();  // refused: the button is disabled
    };
    s.cmdOK_Click();
    probe.setEnabled(false);
    ASSERT_FALSE(seen.empty());
    for (bool on : seen) EXPECT_FALSE(on);
    EXPECT_TRUE(s.cmdBeenden->isEnabled());
    EXPECT_TRUE(s.cmdAbbrechen->isEnabled());
    EXPECT_EQ(main().lblStartmeldung->text(), "3 Lieder gefunden!");
}

TEST_F(HandOver, QuitDuringTheScanStopsItAndLeavesTheScreenAlone) {
    frmStart& s = start(songFolder("quit", 30));
    int pumps = 0;
    platform::VbTimer probe(nullptr, 1, true);
    probe.onTimer = [&] {
        if (frmMain::loaded() && main().MSFlexGrid1->Rows() >= 6 && ++pumps == 1) main().close();
    };
    s.cmdOK_Click();
    probe.setEnabled(false);
    ASSERT_TRUE(frmMain::loaded());
    EXPECT_TRUE(ProgrammEnde);
    EXPECT_LT(main().MSFlexGrid1->Rows(), 31);
    EXPECT_FALSE(main().isVisible());
    EXPECT_NE(main().lblStartmeldung->text(), "30 Lieder gefunden!");
    EXPECT_TRUE(testenv::reportedErrors().empty());
}

}  // namespace

namespace {

TEST_F(HandOver, F12QuitsFromTheFocusedGrid) {
    start(songFolder("f12", 2)).cmdOK_Click();
    frmMain& m = main();
    m.MSFlexGrid1->SetFocus();
    QKeyEvent press(QEvent::KeyPress, Qt::Key_F12, Qt::NoModifier);
    QWidget* target = QApplication::focusWidget();
    if (!target || target->window() != &m) target = &m;  // the window may not be active offscreen
    QCoreApplication::sendEvent(target, &press);
    EXPECT_TRUE(ProgrammEnde);
    EXPECT_FALSE(m.isVisible());
    EXPECT_FALSE(frmStart::loaded());
    // Other keys do not quit.
    ProgrammEnde = false;
    frmMain::resetForTests();
    frmMain& n = main();
    QKeyEvent f11(QEvent::KeyPress, Qt::Key_F10, Qt::NoModifier);
    QCoreApplication::sendEvent(&n, &f11);
    EXPECT_FALSE(ProgrammEnde);
}

}  // namespace
