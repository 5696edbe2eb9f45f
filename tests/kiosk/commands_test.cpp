// The operator's commands: delete, tag editor, rescan and the return to the start dialog.
#include "music_support.h"

#include "base/frmDatei.h"
#include "catalogue/frmMP3Tags.h"
#include "catalogue/modMP3Tags.h"

#include <QLineEdit>
#include <QSet>
#include <QTimer>

namespace {

class Commands : public MusicTest {
protected:
    void TearDown() override {
        frmMP3Tags::setModalHook({});
        frmStart::setZurueckHook({});
        MusicTest::TearDown();
    }
    static int archiveRows() { return main().MSFlexGrid1->Rows() - 1; }
    // The archive's paths, each once; fails on a song listed twice.
    static QSet<QString> archivePaths() {
        QSet<QString> s;
        const kioskgrid::FlexGrid& g = *main().MSFlexGrid1;
        for (int r = 1; r < g.Rows(); ++r) {
            EXPECT_FALSE(s.contains(g.TextMatrix(r, 4))) << "listed twice: " << g.TextMatrix(r, 4).toStdString();
            s.insert(g.TextMatrix(r, 4));
        }
        return s;
    }
    static int rowOf(const QString& path) {
        const kioskgrid::FlexGrid& g = *main().MSFlexGrid1;
        for (int r = 1; r < g.Rows(); ++r)
            if (g.TextMatrix(r, 4) == path) return r;
        return 0;
    }
};

TEST_F(Commands, DeleteAsksAndAPlayingSongMakesWayForTheNext) {
    frmMain& m = main();
    m.FadingSekunden = 2;
    const QString a = testmedia::writeSilentMp3(dir + "/a.mp3", 60000, tag("A", "Band"));
    const QString b = testmedia::writeSilentMp3(dir + "/b.mp3", 60000, tag("B", "Band"));
    frmStart::instance().Text1->setText(dir);
    m.menuNeuEinlesen_Click();
    ASSERT_EQ(archiveRows(), 2);
    queue(rowOf(a));
    queue(rowOf(b));
    ASSERT_TRUE(runUntil([&] { return PlayerDatei(m.AktPlayer) == a; }, 2000));

    m.MSFlexGrid1->setRow(rowOf(a));
    testenv::dialogs().messageAnswers.push_back(platform::vbNo);
    m.menuDateiEntfernen_Click();
    ASSERT_EQ(testenv::dialogs().messages.size(), 1u);
    EXPECT_EQ(testenv::dialogs().messages[0].prompt, "Dieses Lied wirklich löschen?");
    EXPECT_EQ(testenv::dialogs().messages[0].style, platform::vbYesNo + platform::vbQuestion);
    EXPECT_TRUE(QFile::exists(a));
    EXPECT_EQ(PlayerDatei(m.AktPlayer), a);

    testenv::dialogs().messageAnswers.push_back(platform::vbYes);
    m.menuDateiEntfernen_Click();
    EXPECT_FALSE(QFile::exists(a));
    EXPECT_EQ(archivePaths(), QSet<QString>{b});
    EXPECT_EQ(m.MSFlexGrid1->TextMatrix(1, 3), "01:00");
    // The deleted song does not hold the queue: the next one starts.
    EXPECT_TRUE(runUntil([&] { return PlayerDatei(m.AktPlayer) == b && PlayerStatus(m.AktPlayer) == 2; }, 3000));
    EXPECT_EQ(playlist(1, 4), b);
}

TEST_F(Commands, TagEditRewritesTheRowAndNoSongRowOpensNothing) {
    frmMain& m = main();
    m.Timer1->setEnabled(false);
    archiveSong("a.mp3", 1000);
    const int last = archiveSong("b.mp3", 1000);
    m.MSFlexGrid1->setRow(last);
    int shown = 0;
    frmMP3Tags::setModalHook([&](frmMP3Tags& t) {
        ++shown;
        t.Text1->setText("Neuer Titel");
        t.cmdOK_Click();
    });
    m.menuTags_Click();
    EXPECT_EQ(shown, 1);
    EXPECT_EQ(m.MSFlexGrid1->TextMatrix(last, 0), "Neuer Titel");
    EXPECT_EQ(m.MSFlexGrid1->Rows() - 1, 2);

    // After "Zurück" only the blank row is left: nothing to edit, no phantom song.
    frmStart::setZurueckHook([](frmStart& s) { s.cmdBeenden_Click(); });
    frmStart::instance().menuZurueck_Click();
    ASSERT_EQ(m.MSFlexGrid1->Rows(), 2);
    m.MSFlexGrid1->setRow(1);
    m.menuTags_Click();
    m.menuDateiEntfernen_Click();
    EXPECT_EQ(shown, 1);
    EXPECT_TRUE(testenv::dialogs().messages.empty());
    EXPECT_EQ(m.MSFlexGrid1->Rows(), 2);
    EXPECT_EQ(m.MSFlexGrid1->TextMatrix(1, 0), "");
}

// Row numbers past 32,767: the editor changes the row it was opened on, and the
// remembered archive row follows it.
TEST_F(Commands, TagEditOnRow40000) {
    frmMain& m = main();
    m.Timer1->setEnabled(false);
    const int first = archiveSong("a.mp3", 1000);
    kioskgrid::FlexGrid& g = *m.MSFlexGrid1;
    const QString p = testmedia::writeTaggerStyleMp3(dir + "/weit.mp3", 1000, {"Weit", "Hinten"});
    g.setRows(40002);
    g.setTextMatrix(40000, 4, p);
    g.setTextMatrix(40000, 3, "00:01");
    g.setRow(40000);
    int16_t enter = 13;
    frmMP3Tags::setModalHook([&](frmMP3Tags& t) {
        EXPECT_EQ(t.FileNameString, p);
        t.Text1->setText("Ganz weit");
        t.cmdOK_Click();
    });
    m.MSFlexGrid1_KeyDown(enter, 0);
    EXPECT_EQ(m.ArchivZeile, 40000);
    EXPECT_EQ(g.TextMatrix(40000, 0), "Ganz weit");
    EXPECT_EQ(g.TextMatrix(40000, 1), "Hinten");
    EXPECT_EQ(g.TextMatrix(40000, 3), "00:01");
    EXPECT_EQ(g.TextMatrix(first, 0), "a.mp3");
    EXPECT_EQ(g.Rows(), 40002);
    EXPECT_EQ(g.Row(), 40000);
    EXPECT_TRUE(testenv::reportedErrors().empty());
}

// A rescan asked for while one runs: no song twice, every length the song's own.
TEST_F(Commands, RescanDuringARescanListsEverySongOnceWithItsOwnLength) {
    frmMain& m = main();
    for (int i = 1; i <= 6; ++i)
        testmedia::writeSilentMp3(dir + QStringLiteral("/s%1.mp3").arg(i), i * 1000, tag(QString::number(i), "Band"));
    frmStart::instance().Text1->setText(dir);
    int nested = 0;
    platform::VbTimer again(nullptr, 5, true);
    // Once during the scans, then twice inside the length pass's probes.
    again.onTimer = [&] {
        if (nested == 0 || (nested < 3 && !PlayerDatei(PlayerKanalProbe).isEmpty())) {
            ++nested;
            m.menuNeuEinlesen_Click();
        }
    };
    m.menuNeuEinlesen_Click();
    again.setEnabled(false);
    EXPECT_GE(nested, 3);
    ASSERT_EQ(archivePaths().size(), 6);
    for (int r = 1; r <= 6; ++r) {
        const int seconds = QFileInfo(m.MSFlexGrid1->TextMatrix(r, 4)).baseName().mid(1).toInt();
        EXPECT_EQ(m.MSFlexGrid1->TextMatrix(r, 3), QStringLiteral("00:%1").arg(seconds, 2, 10, QLatin1Char('0')));
    }
    EXPECT_TRUE(m.ZeitenEinlesenAbgeschlossen);
}

TEST_F(Commands, ZurueckEmptiesTheArchiveAndOkRebuildsItFromTheNewFolder) {
    frmMain& m = main();
    archiveSong("alt.mp3", 60000);
    queue(1);
    ASSERT_TRUE(runUntil([&] { return PlayerStatus(m.AktPlayer) == 2; }, 2000));
    const QString neu = songFolder("neu", 3);
    frmStart::setZurueckHook([&](frmStart& s) {
        EXPECT_TRUE(s.isVisible());
        EXPECT_EQ(m.MSFlexGrid1->Rows(), 2);
        EXPECT_EQ(m.MSFlexGrid1->TextMatrix(0, 0), "") << "headers cleared too";
        EXPECT_EQ(playlistRows(), 1) << "the playlist is left alone";
        s.Text1->setText(neu);
        s.cmdOK_Click();
        EXPECT_FALSE(s.isVisible());
    });
    frmStart::instance().menuZurueck_Click();
    EXPECT_EQ(archiveRows(), 3);
    EXPECT_EQ(m.MSFlexGrid1->TextMatrix(0, 0), "Titel");
    EXPECT_EQ(platform::GetSetting(platform::appTitle(), "Data", "Pfad", ""), neu);
}

// F11 (or "Zurück") and OK, or "Nicht durchsuchen": the guests' queue and the song playing go on,
// also with "letzte Playliste einlesen" on and an older file.
TEST_F(Commands, ZurueckKeepsTheQueueAndTheSongPlaying) {
    frmMain& m = main();
    m.FadingSekunden = 2;
    const QStringList pfade = queueSongs(6, 30000);
    ASSERT_TRUE(runUntil([&] { return m.AktuelleDatei == pfade[0]; }, 2000));
    frmStart& s = frmStart::instance();
    s.chkPlayliste->setChecked(true);
    s.Text1->setText(dir);
    for (const bool ok : {true, false}) {
        kiosklogic::PlaylistSchreiben(kiosklogic::PlaylistDateiname(),
                                      {{"Alt", "B", "C", "??:??", dir + "/alt.mp3", "01:00"}});
        vt.advance(2000);
        const int32_t vorher = PlayerPosition(m.AktPlayer);
        frmStart::setZurueckHook([ok](frmStart& d) {
            if (ok)
                d.cmdOK_Click();
            else
                d.cmdAbbrechen_Click();
        });
        m.Form_KeyDown(122, 0);
        EXPECT_EQ(queuePaths(), pfade) << ok;
        EXPECT_EQ(m.AktuelleDatei, pfade[0]) << ok;
        EXPECT_EQ(PlayerDatei(m.AktPlayer), pfade[0]) << ok;
        EXPECT_EQ(PlayerStatus(m.AktPlayer), 2) << ok;
        EXPECT_GE(PlayerPosition(m.AktPlayer), vorher) << ok;
    }
    ASSERT_TRUE(runUntil([&] { return m.AktuelleDatei == pfade[1]; }, 30000));
    EXPECT_EQ(queuePaths(), pfade.mid(1));
}

// F11 and OK while "Neu einlesen" fills the archive: the hand-over's scan takes over, so the
// archive ends whole and the count is true; "Beenden" leaves it empty, no rescan going on.
TEST_F(Commands, ZurueckDuringARescanEndsWithTheWholeArchiveAndItsCount) {
    frmMain& m = main();
    frmStart& s = frmStart::instance();
    s.Text1->setText(songFolder("viele", 24));
    bool modal = false;
    for (const bool ok : {true, false}) {
        int mitten = -1;
        // OK is pressed in the dialog's own modal loop; "Beenden" through the hook.
        if (!ok) frmStart::setZurueckHook([](frmStart& d) { d.cmdBeenden_Click(); });
        platform::VbTimer f11(nullptr, 5, true);
        f11.onTimer = [&] {
            if (mitten >= 0 || archiveRows() < 5 || !frmDatei::scanRunning()) return;
            mitten = archiveRows();
            if (ok)
                QTimer::singleShot(0, s.cmdOK, [&] {
                    modal = s.isVisible() && s.isModal();
                    s.cmdOK->click();
                });
            m.Form_KeyDown(122, 0);
        };
        m.menuNeuEinlesen_Click();
        f11.setEnabled(false);
        EXPECT_GE(mitten, 5) << ok;
        EXPECT_LT(mitten, 24) << ok;
        if (ok) {
            EXPECT_TRUE(modal);
            EXPECT_EQ(archivePaths().size(), 24);
            EXPECT_EQ(m.lblStartmeldung->text(), "24 Lieder gefunden!");
        } else {
            EXPECT_EQ(m.MSFlexGrid1->Rows(), 2);
            EXPECT_EQ(m.MSFlexGrid1->TextMatrix(1, 4), "");
        }
    }
}

TEST_F(Commands, QuitEndsLoopsAndUnloadsTheForms) {
    frmMain& m = main();
    frmMP3Tags::instance();
    m.menuBeenden_Click();
    EXPECT_TRUE(ProgrammEnde);
    EXPECT_FALSE(frmStart::loaded());
    EXPECT_FALSE(frmPlayer::loaded());
    EXPECT_FALSE(frmMP3Tags::loaded());
}

}  // namespace
