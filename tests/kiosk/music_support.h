#pragma once
// Shared set-up of the play-loop tests: the channels play into the silent output,
// which follows the virtual tick counter, so every advance of virtual time plays music.
#include "main_support.h"

#include "catalogue/modPlayer.h"
#include "platform/mixer.h"

#include <QSlider>
#include "platform/vbtimer.h"

class MusicTest : public MainScreenTest {
protected:
    void SetUp() override {
        MainScreenTest::SetUp();
        platform::Mixer::instance().select(platform::AudioOutput::Silent);
        dir = testenv::freshFolder(QStringLiteral("music"));
        frmStart& s = frmStart::instance();
        s.cmbAnzahl->setCurrentIndex(0);
        // The start dialog's countdown would run a hand-over after 40 seconds.
        s.TimerAutostart->setEnabled(false);
    }
    void TearDown() override {
        frmPlayer::unload();
        PlayerDateien.fill(QString());
        MainScreenTest::TearDown();
    }

    // A silent song of ms milliseconds, put into the archive; returns its archive row.
    int archiveSong(const QString& name, int32_t ms, const QString& dauer = QString()) {
        const QString path = testmedia::writeSilentMp3(dir + "/" + name, ms, tag(name, QStringLiteral("Band")));
        return archivePath(path, dauer);
    }
    int archivePath(const QString& path, const QString& dauer = QString()) {
        frmMain& m = main();
        m.EineZeileInsArchiv(path, 0);
        kioskgrid::FlexGrid& g = *m.MSFlexGrid1;
        const int r = g.Rows() - 1;
        g.setTextMatrix(r, 3, dauer);
        return r;
    }
    // Takes the archive row over into the playlist as a guest's press does.
    static void queue(int archiveRow) {
        frmMain& m = main();
        m.MSFlexGrid1->setRow(archiveRow);
        m.Uebernehmen_Click();
    }
    // Queues n songs of ms milliseconds, "s1.mp3" on; returns their paths in queue order.
    QStringList queueSongs(int n, int32_t ms) {
        for (int i = 1; i <= n; ++i) queue(archiveSong(QStringLiteral("s%1.mp3").arg(i), ms));
        return queuePaths();
    }
    static QStringList queuePaths() {
        QStringList l;
        for (int r = 1; r <= playlistRows(); ++r) l << playlist(r, 4);
        return l;
    }
    // Advances in timer ticks until pred holds or ms have passed; true when it held.
    template <class P>
    bool runUntil(P pred, int64_t ms) {
        const uint64_t end = vt.elapsed() + uint64_t(ms);
        while (vt.elapsed() < end) {
            if (pred()) return true;
            vt.advance(250);
        }
        return pred();
    }
    static QString playlist(int row, int col) { return main().MSFlexGrid2->TextMatrix(row, col); }
    static int playlistRows() { return main().MSFlexGrid2->Rows() - 1; }

    QString dir;
};

// The user's data folder, where the playlist file goes, moved to a fresh folder.
class ProgramFolderTest : public MusicTest {
protected:
    void SetUp() override {
        MusicTest::SetUp();
        prog = testenv::freshFolder(QStringLiteral("prog"));
        platform::setDataPathOverride(prog);
    }
    void TearDown() override {
        platform::setDataPathOverride(testenv::dataFolder());
        MusicTest::TearDown();
    }
    QByteArray file() const {
        QFile f(prog + "/Playlist.txt");
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<none>");
    }
    QString prog;
};

// The main screen on show with its play loop still: the guest's taps and keys alone.
class ShownScreenTest : public MusicTest {
protected:
    void SetUp() override {
        MusicTest::SetUp();
        frmMain& m = main();
        m.Timer1->setEnabled(false);
        m.show();
    }
};
