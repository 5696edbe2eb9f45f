// The operator's way through the running kiosk: the menu's commands, the start
// dialog brought back at any moment, and the countdown held while the operator is busy.
#include "music_support.h"

#include "catalogue/frmMP3Tags.h"
#include "platform/shell.h"
#include "platform/toplevel.h"

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QScreen>

namespace {

// Answers the operator menu with the entry of the given caption ("" closes it).
class MenuAnswerer : public testenv::FakeAnswerer {
public:
    QString choice;
    QStringList captions;            // of the menu shown last
    std::function<void()> duringMenu;  // runs while the menu is open
    QAction* menu(QMenu& m) override {
        captions.clear();
        QAction* chosen = nullptr;
        for (QAction* a : m.actions()) {
            captions << (a->isSeparator() ? QStringLiteral("-") : a->text());
            if (!a->isSeparator() && a->text() == choice) chosen = a;
        }
        if (duringMenu) duringMenu();
        return chosen;
    }
};

class OperatorWay : public MusicTest {
protected:
    MenuAnswerer answers;
    std::vector<QWidget*> raised;

    void SetUp() override {
        MusicTest::SetUp();
        platform::setAnswerer(&answers);
        platform::setBringToFrontHook([this](QWidget* w) { raised.push_back(w); });
    }
    void TearDown() override {
        platform::setBringToFrontHook({});
        platform::setShellInterceptor({});
        frmMP3Tags::setModalHook({});
        frmStart::setZurueckHook({});
        MusicTest::TearDown();
        platform::setAnswerer(&testenv::dialogs());
    }
    bool wasRaised(QWidget* w) const { return std::find(raised.begin(), raised.end(), w) != raised.end(); }
    static void key(Qt::Key k) {
        QKeyEvent press(QEvent::KeyPress, k, Qt::NoModifier);
        QWidget* target = QApplication::focusWidget();
        if (!target || target->window() != &main()) target = &main();  // the window may not be active offscreen
        QCoreApplication::sendEvent(target, &press);
    }
    // A folder of songs of 1, 2, ... n seconds, so that each length tells its song.
    QString lengthsFolder(const QString& name, int n) {
        const QString d = testenv::freshFolder(name);
        for (int i = 1; i <= n; ++i)
            testmedia::writeSilentMp3(d + QStringLiteral("/s%1.mp3").arg(i), i * 1000,
                                      tag(name + QString::number(i), QStringLiteral("Band")));
        return d;
    }
    // Every archive row is a song of the folder with its own length.
    static void expectArchiveOf(const QString& folder, int n) {
        const kioskgrid::FlexGrid& g = *main().MSFlexGrid1;
        ASSERT_EQ(g.Rows() - 1, n);
        for (int r = 1; r <= n; ++r) {
            const QFileInfo f(g.TextMatrix(r, 4));
            EXPECT_EQ(f.absolutePath(), QDir(folder).absolutePath());
            const int seconds = f.baseName().mid(1).toInt();
            EXPECT_EQ(g.TextMatrix(r, 3), QStringLiteral("00:%1").arg(seconds, 2, 10, QLatin1Char('0')));
        }
    }
};

TEST_F(OperatorWay, MenuEntriesRunTheirCommandBeforeThePopUpReturns) {
    frmMain& m = main();
    frmStart& s = frmStart::instance();
    const QString songs = lengthsFolder("menu", 2);
    s.Text1->setText(songs);
    QString ordner = songs;
    m.Einlesen(ordner);
    int tagEditor = 0, zurueck = 0;
    QStringList shell;
    frmMP3Tags::setModalHook([&](frmMP3Tags&) { ++tagEditor; });
    frmStart::setZurueckHook([&](frmStart&) { ++zurueck; });
    platform::setShellInterceptor([&](const QUrl& u) {
        shell << u.toString();
        return true;
    });
    answers.messageAnswers = {platform::vbNo};

    // Each entry, chosen from the menu, and what shows that its command has run.
    const std::vector<std::pair<QString, std::function<bool()>>> entries{
        {QStringLiteral("&MP3-Tags editieren"), [&] { return tagEditor == 1; }},
        {QStringLiteral("&Löschen"),
         [&] { return answers.messages.size() == 1 && answers.messages[0].prompt == "Dieses Lied wirklich löschen?"; }},
        // The file manager opens in the song folder.
        {QStringLiteral("&Explorer anzeigen"),
         [&] { return shell == QStringList{QUrl::fromLocalFile(songs).toString()}; }},
        {QStringLiteral("&Neu einlesen"), [&] { return m.ZeitenEinlesenAbgeschlossen && m.MSFlexGrid1->Rows() == 3; }},
        {QStringLiteral("&Zurück"), [&] { return zurueck == 1 && m.MSFlexGrid1->TextMatrix(1, 4).isEmpty(); }},
        {QStringLiteral("&Beenden"), [&] { return ProgrammEnde; }},
    };
    for (const auto& [caption, done] : entries) {
        m.MSFlexGrid1->setRow(1);
        m.ZeitenEinlesenAbgeschlossen = false;
        answers.choice = caption;
        m.Form_MouseDown(2, 0, 0, 0);
        EXPECT_TRUE(done()) << caption.toStdString();
        EXPECT_EQ(answers.captions, QStringList({"&Beenden", "-", "&MP3-Tags editieren", "-", "&Löschen", "-",
                                                 "&Explorer anzeigen", "-", "&Neu einlesen", "-", "&Zurück"}));
    }
    EXPECT_TRUE(QFile::exists(songs + "/s1.mp3")) << "the delete was answered No";
    EXPECT_TRUE(testenv::reportedErrors().empty());
}

TEST_F(OperatorWay, ArchiveRightClickOpensTheMenuUnlessSwitchedOff) {
    frmMain& m = main();
    int zurueck = 0;
    frmStart::setZurueckHook([&](frmStart&) { ++zurueck; });
    answers.choice = QStringLiteral("&Zurück");
    m.MSFlexGrid1_MouseDown(2, 0, 0, 0);
    EXPECT_EQ(zurueck, 1);
    frmStart::instance().chkRechteMaustaste->setChecked(true);
    answers.captions.clear();
    m.MSFlexGrid1_MouseDown(2, 0, 0, 0);
    m.Form_MouseDown(2, 0, 0, 0);
    EXPECT_TRUE(answers.captions.isEmpty());
    EXPECT_EQ(zurueck, 1);
}

TEST_F(OperatorWay, F11DuringTheLengthPassShowsTheDialogOnTopAndItsOkHandsOverAgain) {
    frmStart& s = frmStart::instance();
    const QString erst = lengthsFolder("erst", 6);
    const QString neu = lengthsFolder("neu", 3);
    s.Text1->setText(erst);
    bool dialogOnTop = false, buttonsWork = false;
    int f11 = 0;
    frmStart::setZurueckHook([&](frmStart& d) {
        dialogOnTop = d.isVisible() && wasRaised(&d);
        buttonsWork = d.cmdOK->isEnabled() && d.cmdBeenden->isEnabled() && d.cmdAbbrechen->isEnabled();
        d.Text1->setText(neu);
        d.cmdOK->click();  // a disabled button would refuse the click
        EXPECT_FALSE(d.isVisible());
    });
    platform::VbTimer probe(nullptr, 5, true);
    probe.onTimer = [&] {
        // Inside the hand-over's length pass, while a song is being probed.
        if (f11 == 0 && main().isVisible() && !PlayerDatei(PlayerKanalProbe).isEmpty()) {
            ++f11;
            key(Qt::Key_F11);
        }
    };
    s.cmdOK_Click();
    probe.setEnabled(false);
    ASSERT_EQ(f11, 1);
    EXPECT_TRUE(dialogOnTop);
    EXPECT_TRUE(buttonsWork);
    expectArchiveOf(neu, 3);
    EXPECT_EQ(platform::GetSetting(platform::appTitle(), "Data", "Pfad", ""), neu);
    EXPECT_TRUE(main().isVisible());
    EXPECT_TRUE(wasRaised(&main())) << "the kiosk takes the focus for its keys";
    EXPECT_TRUE(s.cmdOK->isEnabled());
    EXPECT_TRUE(testenv::reportedErrors().empty());
}

TEST_F(OperatorWay, MaximisedKioskCoversTheScreen) {
    frmStart& s = frmStart::instance();
    s.Text1->setText(lengthsFolder("gross", 1));
    s.chkFenster->setChecked(true);
    s.cmdOK_Click();
    frmMain& m = main();
    EXPECT_EQ(m.frameGeometry().topLeft(), m.screen()->geometry().topLeft());
    EXPECT_EQ(m.size(), m.screen()->geometry().size());
}

TEST_F(OperatorWay, CountdownHoldsUnderTheTagEditorAndTheOperatorMenu) {
    frmStart& s = frmStart::instance();
    s.Text1->setText(lengthsFolder("halt", 1));
    s.TimerAutostart->setEnabled(true);
    seconds(20);
    ASSERT_EQ(s.autostartZaehler(), 20);

    frmMP3Tags::setModalHook([&](frmMP3Tags&) { seconds(45); });
    frmMP3Tags& editor = frmMP3Tags::instance();
    editor.FileNameString = s.Text1->text() + "/s1.mp3";
    editor.ShowModal();
    EXPECT_EQ(s.autostartZaehler(), 20) << "editor";
    answers.duringMenu = [&] { seconds(45); };
    platform::popupMenu(s.menuKontext, QPoint());
    EXPECT_EQ(s.autostartZaehler(), 20);
    EXPECT_FALSE(frmMain::loaded());

    seconds(20);
    EXPECT_TRUE(frmMain::loaded()) << "counting goes on afterwards";
}

}  // namespace
