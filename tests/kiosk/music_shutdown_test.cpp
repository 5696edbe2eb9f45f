// The shut-down: quit, close box and the requests from outside (SIGTERM, SIGINT, SIGHUP)
// save the queue and stop the play loop; the file follows the queue while the kiosk runs.
#include "music_support.h"

#include "base/ErrorHandler.h"
#include "base/frmDatei.h"
#include "catalogue/frmMP3Tags.h"
#include "controls/ctlVirtuelleTastatur/ctlVirtuelleTastatur.h"
#include "game/frmTicTacToe.h"
#include "info/frmWerbung.h"
#include "platform/binaryfile.h"
#include "platform/endsignals.h"
#include "settings/startup.h"

#include <QApplication>
#include <QColorDialog>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QMessageBox>
#include <QProcess>
#include <QThread>
#include <QTimer>
#include <cerrno>
#include <csignal>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

namespace {

class ShutDown : public ProgramFolderTest {
protected:
    void TearDown() override {
        platform::releaseEndRequests();
        ProgramFolderTest::TearDown();
    }
    // A new run of the program in the same test.
    void neuerLauf() {
        TearDown();
        SetUp();
    }
    // Five songs queued, the first one playing; returns the expected file text.
    QByteArray fiveSongsPlaying() {
        frmMain& m = main();
        m.FadingSekunden = 5;
        for (const char* n : {"Grüße.mp3", "b.mp3", "c.mp3", "d.mp3", "e.mp3"}) queue(archiveSong(n, 60000));
        EXPECT_TRUE(runUntil([] { return PlayerStatus(1) == 2; }, 1000));
        QString text;
        for (int r = 1; r <= playlistRows(); ++r) {
            QStringList felder;
            for (int c = 0; c < 6; ++c) felder << playlist(r, c);
            text += felder.join(';') + "\r\n";
        }
        return text.toUtf8();
    }
    // After the shut-down nothing moves any more, however long the loop would have run.
    void expectTheLoopStopped(const QByteArray& gespeichert) {
        frmMain& m = main();
        EXPECT_TRUE(ProgrammEnde);
        EXPECT_FALSE(m.Timer1->Enabled());
        EXPECT_FALSE(frmPlayer::loaded());
        vt.advance(300000);
        m.Timer1->fire();
        EXPECT_FALSE(frmPlayer::loaded());  // no channel was reopened
        EXPECT_EQ(playlistRows(), 5);
        EXPECT_EQ(file(), gespeichert);
    }
};

TEST_F(ShutDown, CloseBoxAndQuitSaveTheQueueAndStopTheLoop) {
    for (const bool quit : {false, true}) {
        if (quit) neuerLauf();
        const QByteArray text = fiveSongsPlaying();
        ASSERT_TRUE(text.startsWith("Gr\xc3\xbc\xc3\x9f" "e.mp3;Band;"));  // UTF-8
        if (quit)
            main().menuBeenden_Click();
        else
            main().close();
        EXPECT_EQ(file(), text) << quit;
        expectTheLoopStopped(text);
    }
}

TEST_F(ShutDown, FewerThanFiveRowsRemoveTheFileOnceOneOfItsSongsPlayed) {
    QByteArray alt;
    for (int i = 1; i <= 6; ++i) {
        const QString p = testmedia::writeSilentMp3(dir + QStringLiteral("/%1.mp3").arg(i), 60000);
        alt += QStringLiteral("T%1;B;C;??:??;%2;01:00\r\n").arg(i).arg(p).toUtf8();
    }
    const auto neuMitDatei = [&] {
        neuerLauf();
        testmedia::writeBytes(kiosklogic::PlaylistDateiname(), alt);
    };
    neuMitDatei();
    frmStart::instance().chkPlayliste->setChecked(true);
    frmMain::FormLoadFromHandOver();
    // Ended in the middle of the hand-over, before the list was read: it is the queue itself.
    main().close();
    EXPECT_EQ(file(), alt);

    // Read, its first song played, four rows left: the list played, it does not come back.
    neuMitDatei();
    frmStart::instance().chkPlayliste->setChecked(true);
    frmMain::FormLoadFromHandOver();
    main().PlaylistEinlesen();
    ASSERT_TRUE(runUntil([] { return PlayerStatus(1) == 2; }, 1000));
    main().Timer1->setEnabled(false);
    main().MSFlexGrid2->setRows(5);
    main().close();
    EXPECT_EQ(file(), "<none>");

    // Without reading the list at start, a short queue that played removes it as well.
    neuMitDatei();
    queue(archiveSong("a.mp3", 60000));
    ASSERT_TRUE(runUntil([] { return PlayerStatus(1) == 2; }, 1000));
    main().close();
    EXPECT_EQ(file(), "<none>");
    frmMain::resetForTests();
    main().PlaylistEinlesen();
    EXPECT_EQ(playlistRows(), 0);
}

// A power cut or a kill: within a second of every change the file holds the queue.
TEST_F(ShutDown, TheFileFollowsTheQueueSoAKillLosesNothing) {
    frmMain& m = main();
    m.FadingSekunden = 2;
    const QStringList pfade = queueSongs(8, 6000);
    const auto dateiPfade = [] {
        QStringList l;
        for (const kiosklogic::Playlistsatz& s : kiosklogic::PlaylistLesen(kiosklogic::PlaylistDateiname())) l << s.pfad;
        return l;
    };
    vt.advance(1000);
    EXPECT_EQ(dateiPfade(), pfade);
    ASSERT_TRUE(runUntil([] { return playlistRows() == 7; }, 6000));
    vt.advance(1000);
    EXPECT_EQ(dateiPfade(), pfade.mid(1));
    EXPECT_EQ(QDir(QFileInfo(kiosklogic::PlaylistDateiname()).path()).entryList(QDir::Files),
              QStringList{QFileInfo(kiosklogic::PlaylistDateiname()).fileName()});  // no temporary file left

    // Killed: no shut-down ran. The next start plays the queue from where it was.
    ASSERT_FALSE(ProgrammEnde);
    const QByteArray gerettet = file();
    neuerLauf();
    testmedia::writeBytes(kiosklogic::PlaylistDateiname(), gerettet);
    frmStart::instance().chkPlayliste->setChecked(true);
    main().FadingSekunden = 2;
    main().LetztePlaylisteEinlesen();
    ASSERT_EQ(playlistRows(), 7);
    EXPECT_TRUE(runUntil([&] { return PlayerDatei(1) == pfade[1] && PlayerStatus(1) == 2; }, 1000));

    // Played down to four rows, the file still holds the queue; the end removes it, as a queue
    // that played never comes back.
    ASSERT_TRUE(runUntil([] { return playlistRows() == 4; }, 30000));
    vt.advance(1000);
    EXPECT_EQ(dateiPfade(), pfade.mid(4));
    main().close();
    EXPECT_EQ(file(), "<none>");
}

// Killed with four songs queued (a power cut, kill -9): the next start has them back.
TEST_F(ShutDown, AKillWithFourSongsQueuedLeavesThemForTheNextStart) {
    main().FadingSekunden = 2;
    const QStringList pfade = queueSongs(4, 60000);
    vt.advance(1000);
    ASSERT_FALSE(ProgrammEnde);  // no shut-down ran
    const QByteArray gerettet = file();
    neuerLauf();
    testmedia::writeBytes(kiosklogic::PlaylistDateiname(), gerettet);
    frmStart::instance().chkPlayliste->setChecked(true);
    main().LetztePlaylisteEinlesen();
    EXPECT_EQ(queuePaths(), pfade);
    EXPECT_TRUE(runUntil([&] { return PlayerDatei(1) == pfade[0] && PlayerStatus(1) == 2; }, 1000));
}

// A save that fails while the kiosk runs puts no dialog over the guests' screen: one line in the
// error protocol, and the next second tries again.
TEST_F(ShutDown, AFailingSaveIsLoggedOnceAndTriedAgain) {
    ASSERT_TRUE(QDir().mkpath(kiosklogic::PlaylistDateiname()));  // a folder where the file goes
    queueSongs(5, 60000);
    vt.advance(3000);
    EXPECT_TRUE(testenv::reportedErrors().empty());
    QFile ept(platform::dataPath() + "/" + platform::appTitle() + ".EPT");
    ASSERT_TRUE(ept.open(QIODevice::ReadOnly));
    EXPECT_EQ(ept.readAll().count("Playliste nicht gesichert: \"" + kiosklogic::PlaylistDateiname().toUtf8()), 1);
    ASSERT_TRUE(QDir().rmdir(kiosklogic::PlaylistDateiname()));
    vt.advance(1000);
    EXPECT_EQ(kiosklogic::PlaylistLesen(kiosklogic::PlaylistDateiname()).size(), 5);
}

// Songs that cannot be opened at start (music drive not mounted, folder renamed): the queue is
// kept for the next start, which plays it once the songs are there again.
TEST_F(ShutDown, AQueueWhoseSongsAreMissingAtStartComesBackOnceTheyAreThere) {
    const QString laufwerk = testenv::freshFolder(QStringLiteral("laufwerk"));
    QList<kiosklogic::Playlistsatz> liste;
    for (int i = 1; i <= 6; ++i) {
        const QString p = testmedia::writeSilentMp3(laufwerk + QStringLiteral("/l%1.mp3").arg(i), 20000);
        liste.append({QStringLiteral("L%1").arg(i), "B", "Rock", "??:??", p, "00:20"});
    }
    kiosklogic::PlaylistSchreiben(kiosklogic::PlaylistDateiname(), liste);
    const QByteArray gespeichert = file();
    ASSERT_TRUE(QDir().rename(laufwerk, laufwerk + "_weg"));
    start(testenv::freshFolder(QStringLiteral("leer"))).chkPlayliste->setChecked(true);
    frmStart::instance().cmdOK_Click();
    ASSERT_EQ(main().lblStartmeldung->text(), "0 Lieder gefunden!");
    EXPECT_TRUE(runUntil([] { return playlistRows() == 0; }, 3000));  // none can be opened
    vt.advance(5000);
    EXPECT_EQ(file(), gespeichert);
    main().close();
    EXPECT_EQ(file(), gespeichert);

    ASSERT_TRUE(QDir().rename(laufwerk + "_weg", laufwerk));
    neuerLauf();
    testmedia::writeBytes(kiosklogic::PlaylistDateiname(), gespeichert);
    start(testenv::freshFolder(QStringLiteral("leer2"))).chkPlayliste->setChecked(true);
    frmStart::instance().cmdOK_Click();
    ASSERT_EQ(playlistRows(), 6);
    EXPECT_TRUE(runUntil([&] { return PlayerDatei(1) == liste[0].pfad && PlayerStatus(1) == 2; }, 1000));
}

// Installed where its user cannot write: the queue goes to the user's data folder, and a
// list that an earlier version kept beside the executable is read once.
TEST_F(ShutDown, TheQueueGoesToTheDataFolderAndAnEarlierListBesideTheProgramIsReadOnce) {
    const QString programm = testenv::freshFolder(QStringLiteral("installiert"));
    struct Zurueck {
        ~Zurueck() { platform::setAppPathOverride(testenv::programFolder()); }
    } zurueck;
    platform::setAppPathOverride(programm);
    QByteArray alt;
    for (int i = 1; i <= 6; ++i) {
        const QString p = testmedia::writeSilentMp3(dir + QStringLiteral("/alt%1.mp3").arg(i), 60000);
        alt += QStringLiteral("T%1;B;C;??:??;%2;01:00\r\n").arg(i).arg(p).toUtf8();
    }
    testmedia::writeBytes(programm + "/Playlist.txt", alt);
    const auto neben = [&] {
        QFile f(programm + "/Playlist.txt");
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<none>");
    };

    // Five songs at the end: written to the data folder, the earlier list untouched.
    frmStart::instance().chkPlayliste->setChecked(true);
    frmMain::FormLoadFromHandOver();
    main().PlaylistEinlesen();
    EXPECT_EQ(playlistRows(), 6);
    main().MSFlexGrid2->setRows(1);
    const QByteArray text = fiveSongsPlaying();
    main().close();
    EXPECT_EQ(file(), text);
    EXPECT_EQ(neben(), alt);
    frmMain::resetForTests();
    main().PlaylistEinlesen();
    EXPECT_EQ(playlistRows(), 5);

    // A short queue at the end of a run that played the earlier list: it does not come back.
    neuerLauf();
    frmStart::instance().chkPlayliste->setChecked(true);
    frmMain::FormLoadFromHandOver();
    main().PlaylistEinlesen();
    EXPECT_EQ(playlistRows(), 6);
    ASSERT_TRUE(runUntil([] { return PlayerStatus(1) == 2; }, 1000));
    main().Timer1->setEnabled(false);
    main().MSFlexGrid2->setRows(3);
    main().close();
    EXPECT_EQ(file(), "");
    frmMain::resetForTests();
    main().PlaylistEinlesen();
    EXPECT_EQ(playlistRows(), 0);
    EXPECT_EQ(neben(), alt);
}

TEST_F(ShutDown, EachSignalRunsTheProgramsOwnShutDown) {
    for (const int sig : {SIGTERM, SIGINT, SIGHUP}) {
        if (sig != SIGTERM) neuerLauf();
        frmStart::instance().chkWindowsBlockieren->setChecked(true);
        frmMain::FormLoadFromHandOver();
        ASSERT_TRUE(IconsVersteckt);
        const QByteArray text = fiveSongsPlaying();
        EndeVonAussenAbfangen();
        // The handler only marks the request; the shut-down runs in the event loop.
        ASSERT_EQ(std::raise(sig), 0);
        EXPECT_FALSE(ProgrammEnde);
        for (int i = 0; i < 100 && !ProgrammEnde; ++i) QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        EXPECT_TRUE(ProgrammEnde) << sig;
        EXPECT_FALSE(IconsVersteckt) << sig;  // the desktop is given back
        EXPECT_EQ(file(), text) << sig;
        expectTheLoopStopped(text);
    }
}

TEST_F(ShutDown, ASignalUnderTheErrorDialogSavesTheQueueAndAnswersProgrammBeenden) {
    const QByteArray text = fiveSongsPlaying();
    EndeVonAussenAbfangen();
    const ErrPtnr::AnswerHook hook = ErrPtnr::answerHook();
    ErrPtnr::setAnswerHook(nullptr);  // the real dialog in its nested loop
    ErrPtnr& d = ErrPtnr::instance();
    QByteArray savedWhileOpen;
    QTimer::singleShot(0, &d, [&] { std::raise(SIGTERM); });
    QTimer::singleShot(0, &d, [&] { ASSERT_TRUE(d.isVisible()); });
    QTimer rescue;  // only should the test fail: never hang
    rescue.setSingleShot(true);
    QObject::connect(&rescue, &QTimer::timeout, &d, [&] { d.cmdContinue[2]->click(); });
    rescue.start(3000);
    QElapsedTimer uhr;
    uhr.start();
    bool beendet = false;
    int status = -1;
    try {
        withErrorHandler(QStringLiteral("frmMain"), QStringLiteral("Naechstes"),
                         [](ErrorHandler& on) { on([] { platform::raise(5); }); });
    } catch (const platform::ProgramEnd& e) {
        beendet = true;
        status = e.code;
    }
    ErrPtnr::setAnswerHook(hook);
    EXPECT_TRUE(beendet);
    EXPECT_EQ(status, 0);  // a stop that systemd asked for is no failure
    EXPECT_LT(uhr.elapsed(), 2000);
    EXPECT_EQ(d.result(), 3);
    EXPECT_FALSE(d.isVisible());
    EXPECT_TRUE(ProgrammEnde);
    EXPECT_EQ(file(), text);
}

// The autostart with nobody at the kiosk: the queue file of the last run cannot be read, so the
// error dialog waits over the hand-over. A SIGTERM then ends the run at once, as its "Programm
// beenden" would, but with status 0: the end was asked for, nothing failed.
TEST_F(ShutDown, ASignalEndsAnAutostartWaitingUnderTheErrorDialog) {
    const QString liste = prog + "/Playlist.txt";
    testmedia::writeBytes(liste, "A;B;C;??:??;/x/a.mp3;01:00\r\n");
    ASSERT_EQ(::chmod(QFile::encodeName(liste).constData(), 0), 0);
    const testenv::WithoutRootFileRights ohne;
    ASSERT_FALSE(QFile(liste).open(QIODevice::ReadOnly));
    frmStart& s = start(dir);
    s.chkPlayliste->setChecked(true);
    s.chkWindowsBlockieren->setChecked(false);
    s.TimerAutostart->setEnabled(true);
    s.show();
    EndeVonAussenAbfangen();
    const ErrPtnr::AnswerHook hook = ErrPtnr::answerHook();
    ErrPtnr::setAnswerHook(nullptr);  // the real dialog in its nested loop

    // Once the dialog waits, its protocol written before it showed, the signal comes.
    const QString protokoll = platform::dataPath() + "/" + platform::appTitle() + ".EPT";
    bool protokolliert = false;
    QElapsedTimer uhr;
    QTimer warten;
    QObject::connect(&warten, &QTimer::timeout, [&] {
        if (uhr.isValid() || !ErrPtnr::exists() || !ErrPtnr::instance().isVisible()) return;
        protokolliert = QFile::exists(protokoll);
        uhr.start();
        std::raise(SIGTERM);
    });
    warten.start(10);
    QTimer rescue;  // only should the test fail: never hang
    rescue.setSingleShot(true);
    QObject::connect(&rescue, &QTimer::timeout, [] {
        if (ErrPtnr::exists()) ErrPtnr::instance().cmdContinue[2]->click();
    });
    rescue.start(5000);
    int status = -1;
    try {
        seconds(40);
    } catch (const platform::ProgramEnd& e) {
        status = e.code;
    }
    warten.stop();
    ErrPtnr::setAnswerHook(hook);
    ASSERT_TRUE(uhr.isValid()) << "no error dialog at the autostart";
    EXPECT_TRUE(protokolliert);
    EXPECT_LT(uhr.elapsed(), 2000);
    EXPECT_EQ(status, 0);
    EXPECT_FALSE(ErrPtnr::instance().isVisible());
    EXPECT_TRUE(ProgrammEnde);
    EXPECT_FALSE(main().isVisible());
    ::chmod(QFile::encodeName(liste).constData(), 0644);
    EXPECT_EQ(file(), "A;B;C;??:??;/x/a.mp3;01:00\r\n");  // the queue of the last run stays
}

template <class W>
bool modalOffen() {
    return qobject_cast<W*>(QApplication::activeModalWidget()) != nullptr;
}

// One signal ends every state at once, also when the queue cannot be saved (a full disk): the failed
// save is one protocol line and one line on standard error, no dialog waits for a person, and every
// nested loop returns. The real dialogs run their own loops; nobody answers them.
TEST_F(ShutDown, ASignalEndsEveryStateAlsoWhenTheSaveFails) {
    struct Zustand {
        const char* name;
        std::function<void()> oeffnen;
        bool (*offen)();
        bool kiosk = true;
    };
    const std::vector<Zustand> zustaende{
        {"tag editor", [] { main().menuTags_Click(); }, modalOffen<frmMP3Tags>},
        {"question box", [] { main().menuDateiEntfernen_Click(); }, modalOffen<QMessageBox>},
        {"game", [] { frmTicTacToe::Anzeigen(&main()); }, frmTicTacToe::visible},
        {"information page", [] { frmWerbung::Anzeigen(&main()); }, modalOffen<frmWerbung>},
        {"start dialog over the kiosk", [] { frmStart::instance().menuZurueck_Click(); }, modalOffen<frmStart>},
        {"error dialog", [] { withErrorHandler("frmMain", "Naechstes", [](ErrorHandler& on) { on([] { platform::raise(5); }); }); },
         [] { return ErrPtnr::exists() && ErrPtnr::instance().isVisible(); }},
        {"help tour", [] { main().cmdFragezeichen_Click(); }, [] { return main().HilfeLaeuft; }},
        {"keyboard sliding", [] { main().Sortieren(true, false); },
         [] { return !main().ctlVirtuelleTastatur1->isHidden() && main().ctlVirtuelleTastatur1->Top() > main().TastaturZielTop; }},
        {"scan", [] { main().menuNeuEinlesen_Click(); }, frmDatei::scanRunning},
        {"start dialog counting down, colour dialog open", [] { frmStart::instance().cmdFarbe_Click(0); },
         modalOffen<QColorDialog>, false},
    };
    const ErrPtnr::AnswerHook hook = ErrPtnr::answerHook();
    for (const Zustand& z : zustaende) {
        neuerLauf();
        QString lied;
        if (z.kiosk) {
            fiveSongsPlaying();
            frmStart::instance().Text1->setText(dir);
            lied = main().MSFlexGrid1->TextMatrix(main().MSFlexGrid1->Row(), 4);
        } else {
            frmStart::instance().show();
            frmStart::instance().TimerAutostart->setEnabled(true);
            vt.advance(35000);
            ASSERT_TRUE(frmStart::instance().Label2->isVisible());  // "Autostart in 5 Sekunden"
        }
        EndeVonAussenAbfangen();
        platform::setFileFault([](const QString& p) { return p == kiosklogic::PlaylistDateiname() ? ENOSPC : 0; });
        ErrPtnr::setAnswerHook(nullptr);
        std::optional<testenv::RealDialogs> echt(std::in_place, [](QWidget*) {});
        QTimer signal;  // SIGTERM once the state is up
        QObject::connect(&signal, &QTimer::timeout, [&] {
            if (z.offen() && (signal.stop(), true)) std::raise(SIGTERM);
        });
        signal.start(0);
        QTimer rettung;  // only should the test fail: never hang
        QObject::connect(&rettung, &QTimer::timeout, [] {
            ProgrammEnde = true;
            main().HilfeLaeuft = false;
            if (ErrPtnr::exists() && ErrPtnr::instance().isVisible()) ErrPtnr::instance().cmdContinue[2]->click();
            while (QWidget* w = QApplication::activeModalWidget()) w->hide();
        });
        rettung.start(4000);
        testing::internal::CaptureStderr();
        QElapsedTimer uhr;
        uhr.start();
        try {
            z.oeffnen();
        } catch (const platform::ProgramEnd& e) {
            EXPECT_EQ(ErrPtnr::instance().result(), 3) << z.name;  // the waiting error dialog: "Programm beenden"
            EXPECT_EQ(e.code, 0) << z.name;
        }
        const qint64 ms = uhr.elapsed();
        const QString err = QString::fromStdString(testing::internal::GetCapturedStderr());
        echt.reset();
        platform::setFileFault({});
        ErrPtnr::setAnswerHook(hook);
        EXPECT_FALSE(signal.isActive()) << z.name;
        EXPECT_LT(ms, 2000) << z.name;
        EXPECT_TRUE(ProgrammEnde) << z.name;
        EXPECT_FALSE(QApplication::activeModalWidget()) << z.name;
        EXPECT_FALSE(frmStart::loaded()) << z.name;
        if (!z.kiosk) continue;
        EXPECT_TRUE(QFile::exists(lied)) << z.name;  // the question was not answered with "Ja"
        QFile ept(prog + "/" + platform::appTitle() + ".EPT");
        ASSERT_TRUE(ept.open(QIODevice::ReadOnly)) << z.name;
        const QString protokoll = QString::fromUtf8(ept.readAll());
        EXPECT_EQ(protokoll.count("Beim Beenden auf Anforderung übergangen: frmMain.PlaylistSpeichern\tFehler-Nr: 61 "
                                  "(Datenträger voll)"), 1) << z.name;
        EXPECT_FALSE(protokoll.contains("Prozedur:\tPlaylistSpeichern")) << z.name;  // no dialog's protocol
        EXPECT_EQ(err.count("frmMain.PlaylistSpeichern"), 1) << z.name << err.toStdString();
    }
}

// An error dialog does not hold an autostart that nobody watches: an unreadable queue file opens it,
// it answers itself after 15 s with "Fortsetzen mit nächsten Befehl", and the kiosk shows. A hand-over
// started by a person keeps its dialog until somebody answers.
TEST_F(ShutDown, AnErrorDialogOfTheAutostartAnswersItselfAfter15Seconds) {
    const ErrPtnr::AnswerHook hook = ErrPtnr::answerHook();
    for (const bool autostart : {true, false}) {
        if (!autostart) neuerLauf();
        testmedia::writeBytes(kiosklogic::PlaylistDateiname(), "A;B;C;??:??;/x/a.mp3;01:00\r\n");
        platform::setFileFault([](const QString& p) { return p == kiosklogic::PlaylistDateiname() ? EACCES : 0; });
        ErrPtnr::setAnswerHook(nullptr);
        frmStart& s = start(dir);
        s.chkPlayliste->setChecked(true);
        s.show();
        ErrPtnr& d = ErrPtnr::instance();
        bool offen = false, kiosk = true, selbst = false;
        QTimer dialog;
        QObject::connect(&dialog, &QTimer::timeout, [&] {
            if (!d.isVisible()) return;
            dialog.stop();
            EXPECT_EQ(d.lblError[0]->text(), "70 (Zugriff verweigert)");
            vt.advance(14999);
            offen = d.isVisible();
            kiosk = main().isVisible();
            vt.advance(1);
            selbst = !d.isVisible();
            if (d.isVisible()) d.cmdContinue[1]->click();  // the person at the kiosk
        });
        dialog.start(0);
        if (autostart) {
            s.TimerAutostart->setEnabled(true);
            vt.advance(39000);
            s.TimerAutostart->fire();  // the 40th second: OK
        } else {
            s.cmdOK_Click();
        }
        platform::setFileFault({});
        ErrPtnr::setAnswerHook(hook);
        EXPECT_FALSE(dialog.isActive());
        EXPECT_TRUE(offen);
        EXPECT_FALSE(kiosk);
        EXPECT_EQ(selbst, autostart);
        EXPECT_EQ(d.result(), 1);
        EXPECT_TRUE(main().isVisible());
        EXPECT_EQ(playlistRows(), 0);
        QFile ept(prog + "/" + platform::appTitle() + ".EPT");
        ASSERT_TRUE(ept.open(QIODevice::ReadOnly));
        EXPECT_EQ(QString::fromUtf8(ept.readAll()).count("Unbeaufsichtigt nach 15 s selbst beantwortet mit \"Fortsetzen "
                                                          "mit nächsten Befehl\": frmMain.PlaylistEinlesen\tFehler-Nr: "
                                                          "70 (Zugriff verweigert)"),
                  autostart ? 1 : 0);
    }
}

TEST_F(ShutDown, ARequestBeforeTheHandOverEndsTheRunWithoutAMainScreen) {
    testmedia::writeBytes(prog + "/Playlist.txt", "A;B;C;??:??;/x/a.mp3;01:00\r\n");
    ASSERT_TRUE(frmStart::loaded());
    ASSERT_FALSE(frmMain::loaded());
    BeendenVonAussen();
    EXPECT_TRUE(ProgrammEnde);  // a hand-over under way stops before the main screen
    EXPECT_FALSE(frmStart::loaded());
    EXPECT_FALSE(frmMain::loaded());
    EXPECT_EQ(file(), "A;B;C;??:??;/x/a.mp3;01:00\r\n");
}

#ifdef MELOTRA_EXE
// The real program, at its start dialog: each signal ends it at once with status 0.
TEST(ProgramSignals, TheBuiltProgramEndsCleanlyOnEachSignal) {
    const QString home = testenv::freshFolder(QStringLiteral("signal_home"));
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    env.insert("SDL_AUDIODRIVER", "dummy");
    env.insert("HOME", home);
    env.insert("XDG_CONFIG_HOME", home + "/config");
    // Its own data folder: a kiosk running elsewhere holds the lock of the user's.
    env.insert("XDG_DATA_HOME", home + "/data");
    for (const int sig : {SIGTERM, SIGINT, SIGHUP}) {
        QProcess p;
        p.setProcessEnvironment(env);
        p.start(QStringLiteral(MELOTRA_EXE), {});
        ASSERT_TRUE(p.waitForStarted(10000));
        // Ready once the process catches the signal (the caught set in /proc); bounded.
        const QString status = QStringLiteral("/proc/%1/status").arg(p.processId());
        const auto faengt = [&] {
            QFile f(status);
            if (!f.open(QIODevice::ReadOnly)) return false;
            for (const QByteArray& z : f.readAll().split('\n'))
                if (z.startsWith("SigCgt:")) return ((z.mid(7).trimmed().toULongLong(nullptr, 16) >> (sig - 1)) & 1) != 0;
            return false;
        };
        for (int i = 0; i < 1000 && !faengt(); ++i) QThread::msleep(10);
        ASSERT_TRUE(faengt()) << sig;
        QElapsedTimer uhr;
        uhr.start();
        ASSERT_EQ(::kill(pid_t(p.processId()), sig), 0);
        ASSERT_TRUE(p.waitForFinished(5000)) << sig;
        EXPECT_LT(uhr.elapsed(), 2000) << sig;
        EXPECT_EQ(p.exitStatus(), QProcess::NormalExit) << sig;
        EXPECT_EQ(p.exitCode(), 0) << sig;
    }
}

// Started where there is no display, the program says so in one line and ends with an
// error status (Qt alone would abort); with the offscreen platform it needs none.
TEST(ProgramSignals, TheBuiltProgramWithoutADisplaySaysSoInOneLine) {
    const QString home = testenv::freshFolder(QStringLiteral("nodisplay_home"));
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("SDL_AUDIODRIVER", "dummy");
    env.insert("HOME", home);
    env.insert("XDG_CONFIG_HOME", home + "/config");
    env.insert("XDG_DATA_HOME", home + "/data");
    env.remove("WAYLAND_DISPLAY");
    for (const QString& display : {QString(), QStringLiteral(":9997")}) {
        for (const char* platform : {"", "xcb"}) {
            QProcessEnvironment e = env;
            if (display.isEmpty()) e.remove("DISPLAY");
            else e.insert("DISPLAY", display);
            if (*platform) e.insert("QT_QPA_PLATFORM", platform);
            else e.remove("QT_QPA_PLATFORM");
            QProcess p;
            p.setProcessEnvironment(e);
            p.start(QStringLiteral(MELOTRA_EXE), {});
            ASSERT_TRUE(p.waitForFinished(10000)) << display.toStdString() << platform;
            EXPECT_EQ(p.exitStatus(), QProcess::NormalExit) << display.toStdString() << platform;
            EXPECT_NE(p.exitCode(), 0) << display.toStdString() << platform;
            const QString err = QString::fromLocal8Bit(p.readAllStandardError()).trimmed();
            EXPECT_FALSE(err.contains(u'\n')) << err.toStdString();
            EXPECT_TRUE(err.contains(QStringLiteral("DISPLAY"))) << err.toStdString();
        }
    }
}
#endif

}  // namespace
