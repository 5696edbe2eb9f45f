// The shut-down: quit, close box and the requests from outside (SIGTERM, SIGINT, SIGHUP)
// save the queue and stop the play loop; the file follows the queue while the kiosk runs.
#include "music_support.h"

#include "base/ErrorHandler.h"
#include "platform/endsignals.h"
#include "settings/startup.h"

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>
#include <csignal>
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

    // Played down to four rows, the queue would not come back: the file is gone.
    ASSERT_TRUE(runUntil([] { return playlistRows() == 4; }, 30000));
    vt.advance(1000);
    EXPECT_EQ(file(), "<none>");
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
    try {
        withErrorHandler(QStringLiteral("frmMain"), QStringLiteral("Naechstes"),
                         [](ErrorHandler& on) { on([] { platform::raise(5); }); });
    } catch (const platform::ProgramEnd&) {
        beendet = true;
    }
    ErrPtnr::setAnswerHook(hook);
    EXPECT_TRUE(beendet);
    EXPECT_LT(uhr.elapsed(), 2000);
    EXPECT_EQ(d.result(), 3);
    EXPECT_FALSE(d.isVisible());
    EXPECT_TRUE(ProgrammEnde);
    EXPECT_EQ(file(), text);
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

// The real program with its error dialog up and nobody at it: an unreadable queue file at
// the autostart (40 s) opens the dialog; SIGTERM then ends the run at once, as "Programm beenden".
TEST(ProgramSignals, TheBuiltProgramEndsOnSigtermUnderItsErrorDialog) {
    // Run as root, the program runs as nobody, for whom the queue file is unreadable.
    const bool root = ::geteuid() == 0;
    QTemporaryDir scratch(QDir::tempPath() + QStringLiteral("/melotra-signal-XXXXXX"));
    ASSERT_TRUE(scratch.isValid());
    const QString home = scratch.path();
    const QString prog = home + "/prog";
    const QString data = home + "/data";
    for (const QString& d : {prog, data + "/melotra", home + "/config/melotra", home + "/lieder"}) QDir().mkpath(d);
    ASSERT_TRUE(QFile::copy(QStringLiteral(MELOTRA_EXE), prog + "/melotra"));
    testmedia::writeBytes(home + "/config/melotra/melotra.ini",
                          "[Data]\nPfad=" + (home + "/lieder").toUtf8() + "\nPlayliste=1\nWindows=0\n");
    // Wherever the queue file is looked for, it cannot be read.
    for (const QString& f : {prog + "/Playlist.txt", data + "/melotra/Playlist.txt"})
        testmedia::writeBytes(f, "A;B;C;??:??;/x/a.mp3;01:00\r\n");
    QDirIterator all(home, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden, QDirIterator::Subdirectories);
    QStringList paths{home};
    while (all.hasNext()) paths << all.next();
    for (const QString& f : paths) {
        if (root) {
            ASSERT_EQ(::chown(QFile::encodeName(f).constData(), 65534, 65534), 0);
        }
        ::chmod(QFile::encodeName(f).constData(), f.endsWith("Playlist.txt") ? 0 : 0755);
    }
    if (root) {  // owned by nobody, it would still be nobody's to read: root keeps it
        for (const QString& f : {prog + "/Playlist.txt", data + "/melotra/Playlist.txt"}) {
            ASSERT_EQ(::chown(QFile::encodeName(f).constData(), 0, 0), 0);
        }
    }

    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    env.insert("SDL_AUDIODRIVER", "dummy");
    env.insert("HOME", home);
    env.insert("XDG_CONFIG_HOME", home + "/config");
    env.insert("XDG_DATA_HOME", data);
    env.insert("XDG_RUNTIME_DIR", home);
    QProcess p;
    p.setProcessEnvironment(env);
    if (root)
        p.setChildProcessModifier([] {
            if (::setgid(65534) != 0 || ::setuid(65534) != 0) ::_exit(99);
        });
    p.start(prog + "/melotra", {});
    ASSERT_TRUE(p.waitForStarted(10000));
    // The protocol is written just before the dialog shows.
    const auto protokoll = [&] {
        return QFile::exists(prog + "/melotra.EPT") || QFile::exists(data + "/melotra/melotra.EPT");
    };
    for (int i = 0; i < 600 && !protokoll() && p.state() == QProcess::Running; ++i) QThread::msleep(100);
    ASSERT_TRUE(protokoll()) << p.readAllStandardError().toStdString();
    QThread::msleep(300);
    ASSERT_EQ(p.state(), QProcess::Running);
    QElapsedTimer uhr;
    uhr.start();
    ASSERT_EQ(::kill(pid_t(p.processId()), SIGTERM), 0);
    const bool ended = p.waitForFinished(5000);
    if (!ended) p.kill();
    ASSERT_TRUE(ended);
    EXPECT_LT(uhr.elapsed(), 2000);
    EXPECT_EQ(p.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(p.exitCode(), 1);  // the dialog's "Programm beenden"
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
