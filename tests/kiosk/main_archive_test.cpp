// Filling the archive grid, its headers, and the message frame.
#include "main_support.h"

#include "base/ErrPtnr.h"
#include "platform/binaryfile.h"

namespace {

using Archive = MainScreenTest;

QString song(const QString& dir, const QString& name, const QString& title, const QString& artist, uint8_t genre = 0) {
    return testmedia::writeSilentMp3(dir + "/" + name, 1000, MainScreenTest::tag(title, artist, genre));
}

TEST_F(Archive, FirstSongReplacesThePlaceholderRow) {
    const QString dir = testenv::freshFolder("fill");
    frmMain& m = main();
    kioskgrid::FlexGrid& g = *m.MSFlexGrid1;
    ASSERT_EQ(g.Rows(), 2);
    m.EineZeileInsArchiv(song(dir, "a.mp3", "Erstes", "Band A", 17), 0);
    EXPECT_EQ(g.Rows(), 2);
    EXPECT_EQ(g.TextMatrix(1, 0), "Erstes");
    EXPECT_EQ(g.TextMatrix(1, 1), "Band A");
    EXPECT_EQ(g.TextMatrix(1, 3), "");
    EXPECT_EQ(g.TextMatrix(1, 4), dir + "/a.mp3");
    EXPECT_EQ(g.TextMatrix(1, 5), "Band AErstes");
    m.EineZeileInsArchiv(song(dir, "b.mp3", "Zweites", "Band B"), 0);
    EXPECT_EQ(g.Rows(), 3);
    EXPECT_EQ(g.TextMatrix(2, 0), "Zweites");
    EXPECT_EQ(g.Row(), 2);
}

TEST_F(Archive, BlankTitleIsUnbekanntAndAFileWithoutTagKeepsTheReadersTexts) {
    const QString dir = testenv::freshFolder("unknown");
    frmMain& m = main();
    kioskgrid::FlexGrid& g = *m.MSFlexGrid1;
    m.EineZeileInsArchiv(song(dir, "blank.mp3", "", "Niemand"), 0);
    EXPECT_EQ(g.TextMatrix(1, 0), "Unbekannt");
    EXPECT_EQ(g.TextMatrix(1, 5), "NiemandUnbekannt");
    m.EineZeileInsArchiv(testmedia::writeSilentMp3(dir + "/notag.mp3", 1000), 0);
    EXPECT_EQ(g.TextMatrix(2, 0), "Unbekannter Titel");
    EXPECT_EQ(g.TextMatrix(2, 1), "Unbekannter Interpret");
    EXPECT_EQ(g.TextMatrix(2, 2), "Kein Genre");
}

TEST_F(Archive, SemicolonsGoInTheTextsButThePathStaysTheFilesOwn) {
    const QString dir = testenv::freshFolder("semi;colon");
    frmMain& m = main();
    kioskgrid::FlexGrid& g = *m.MSFlexGrid1;
    const QString path = song(dir, "a;b.mp3", "Eins;Zwei", "Drei;Vier");
    m.EineZeileInsArchiv(path, 0);
    EXPECT_EQ(g.TextMatrix(1, 0), "Eins_Zwei");
    EXPECT_EQ(g.TextMatrix(1, 1), "Drei_Vier");
    EXPECT_EQ(g.TextMatrix(1, 5), "Drei_VierEins_Zwei");
    EXPECT_EQ(g.TextMatrix(1, 4), path);
    EXPECT_TRUE(QFile::exists(g.TextMatrix(1, 4)));
    EXPECT_EQ(frmMain::SemikolonErsetzen(";;a;"), "__a_");
    EXPECT_EQ(frmMain::SemikolonErsetzen(""), "");
}

TEST_F(Archive, RewritingARowKeepsItsDurationAndAddsNoRow) {
    const QString dir = songFolder("rewrite", 6);
    frmMain& m = main();
    QString folder = dir;
    m.Einlesen(folder);
    kioskgrid::FlexGrid& g = *m.MSFlexGrid1;
    ASSERT_EQ(g.Rows(), 7);
    g.setTextMatrix(5, 3, "03:20");
    const QString f = g.TextMatrix(5, 4);
    song(dir, QFileInfo(f).fileName(), "Neu", "Andere");
    m.EineZeileInsArchiv(f, 5);
    EXPECT_EQ(g.Rows(), 7);
    EXPECT_EQ(g.TextMatrix(5, 0), "Neu");
    EXPECT_EQ(g.TextMatrix(5, 1), "Andere");
    EXPECT_EQ(g.TextMatrix(5, 3), "03:20");
    EXPECT_EQ(g.TextMatrix(5, 5), "AndereNeu");
}

TEST_F(Archive, EinlesenFillsInFolderOrderAndSelectsTheFirstRow) {
    const QString dir = songFolder("order", 3);
    song(dir + "/sub", "z.mp3", "Unten", "Tief");
    frmMain& m = main();
    QString folder = dir;
    m.Einlesen(folder);
    kioskgrid::FlexGrid& g = *m.MSFlexGrid1;
    ASSERT_EQ(g.Rows(), 5);
    EXPECT_EQ(g.TextMatrix(1, 0), "Lied 01");
    EXPECT_EQ(g.TextMatrix(4, 0), "Unten");
    EXPECT_EQ(g.Row(), 1);
    EXPECT_EQ(g.Col(), 0);
    EXPECT_EQ(g.ColSel(), 5);
    EXPECT_EQ(g.TopRow(), 1);
    EXPECT_EQ(g.TextMatrix(0, 0), "Titel");
    EXPECT_TRUE(testenv::reportedErrors().empty());
}

// Songs tagged by common tools: clean texts in the grid, whatever the padding.
TEST_F(Archive, TaggerStyleSongsShowCleanTexts) {
    const QString dir = testenv::freshFolder("tagger");
    testmedia::writeTaggerStyleMp3(dir + "/a.mp3", 1000, {"Abc", "Band"});
    testmedia::TaggerStyle v1only{"Nur hinten", "Band"};
    v1only.id3v2 = false;
    v1only.genre = 17;
    testmedia::writeTaggerStyleMp3(dir + "/b.mp3", 1000, v1only);
    frmMain& m = main();
    QString folder = dir;
    m.Einlesen(folder);
    kioskgrid::FlexGrid& g = *m.MSFlexGrid1;
    ASSERT_EQ(g.Rows(), 3);
    const QStringList expected[2] = {{"Abc", "Band", "Kein Genre", "BandAbc"},
                                     {"Nur hinten", "Band", "Rock", "BandNur hinten"}};
    for (int r = 1; r <= 2; ++r)
        EXPECT_EQ(QStringList({g.TextMatrix(r, 0), g.TextMatrix(r, 1), g.TextMatrix(r, 2), g.TextMatrix(r, 5)}),
                  expected[r - 1]);
}

// A song that cannot be read gets no row and no dialog, only a line in the trace
// file; a rescan does the same, and a rewrite keeps the row it has.
TEST_F(Archive, UnreadableSongIsPassedOverWithoutADialog) {
    const QString dir = songFolder("bad", 3);
    const QString bad = dir + "/song02.mp3";
    platform::setFileFault([bad](const QString& p) { return p == bad ? EIO : 0; });
    const auto traceLines = [&] {
        QFile f(ErrPtnr::instance().traceFilePath());
        return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()).count(bad) : 0;
    };
    const qsizetype before = traceLines();
    frmMain& m = main();
    kioskgrid::FlexGrid& g = *m.MSFlexGrid1;
    start(dir);
    m.menuNeuEinlesen_Click();
    ASSERT_EQ(g.Rows(), 3);
    EXPECT_EQ(g.TextMatrix(2, 0), "Lied 03");
    m.menuNeuEinlesen_Click();
    EXPECT_EQ(g.Rows(), 3);
    EXPECT_EQ(traceLines() - before, 2);

    // Readable at the scan, unreadable at the rewrite: the row stays as it was.
    platform::setFileFault([&](const QString& p) { return p == g.TextMatrix(1, 4) ? EACCES : 0; });
    m.EineZeileInsArchiv(g.TextMatrix(1, 4), 1);
    EXPECT_EQ(g.TextMatrix(1, 0), "Lied 01");
    platform::setFileFault({});
    EXPECT_TRUE(testenv::dialogs().messages.empty());
    EXPECT_TRUE(testenv::reportedErrors().empty());
}

TEST_F(Archive, BlankFolderChangesNothingAndAnEmptyTreeLeavesThePlaceholder) {
    frmMain& m = main();
    kioskgrid::FlexGrid& g = *m.MSFlexGrid1;
    m.EineZeileInsArchiv(song(testenv::freshFolder("keep"), "k.mp3", "Bleibt", "X"), 0);
    QString blank = "   ";
    m.Einlesen(blank);
    EXPECT_EQ(g.TextMatrix(1, 0), "Bleibt");

    m.TabelleLeeren(m.MSFlexGrid1);
    QString empty = testenv::freshFolder("empty");
    m.Einlesen(empty);
    EXPECT_EQ(g.Rows(), 2);
    EXPECT_EQ(g.TextMatrix(1, 0), "");
}

TEST_F(Archive, TabelleLeerenLeavesHeadersAndOneBlankRow) {
    const QString dir = songFolder("clear", 4);
    frmMain& m = main();
    QString folder = dir;
    m.Einlesen(folder);
    m.TabelleLeeren(m.MSFlexGrid1);
    kioskgrid::FlexGrid& g = *m.MSFlexGrid1;
    EXPECT_EQ(g.Rows(), 2);
    EXPECT_EQ(g.FixedRows(), 1);
    EXPECT_EQ(g.TextMatrix(1, 0), "");
    const QStringList heads{"Titel", "Interpret", "Genre", "Dauer", "", ""};
    for (int c = 0; c < 6; ++c) EXPECT_EQ(g.TextMatrix(0, c), heads[c]);
    EXPECT_EQ(m.MSFlexGrid2->TextMatrix(0, 3), "Start");
    g.setRow(0);
    for (int c = 0; c < 4; ++c) {
        g.setCol(c);
        EXPECT_TRUE(g.CellFontBold());
        EXPECT_EQ(g.ColAlignment(c), 1);
    }
}

// The trash can acts on the marked row: labelling keeps the guest's marking, and a reloaded
// list comes back with its first song marked.
TEST_F(Archive, LabellingThePlaylistKeepsItsMarkingAndAReloadedListMarksItsFirstSong) {
    frmMain& m = main();
    kioskgrid::FlexGrid& p = *m.MSFlexGrid2;
    p.setRows(4);
    p.setRow(3);
    m.TabellenBeschriften(true);
    EXPECT_EQ(p.Row(), 3);
    EXPECT_EQ(p.Col(), 0);
    EXPECT_EQ(p.ColSel(), p.Cols() - 1);
    kiosklogic::PlaylistSchreiben(kiosklogic::PlaylistDateiname(),
                                  {{"a", "A", "Pop", "??:??", "/a.mp3", "03:00"},
                                   {"b", "B", "Pop", "??:??", "/b.mp3", "03:00"}});
    m.PlaylistEinlesen();
    ASSERT_EQ(p.Rows(), 3);
    EXPECT_EQ(p.Row(), 1);
    EXPECT_EQ(p.ColSel(), p.Cols() - 1);
    m.EnableButtons();
    EXPECT_TRUE(m.cmdLoeschen->Enabled());
    QFile::remove(kiosklogic::PlaylistDateiname());
}

TEST_F(Archive, ASecondMessageReplacesTheTextsAndRestartsTheFullTime) {
    frmMain& m = main();
    m.Startmeldung("Erste", "", 2000);
    EXPECT_TRUE(m.Frame1->isVisibleTo(&m));
    vt.advance(1500);
    m.Startmeldung("Zweite", "Zeile", 2000);
    vt.advance(1500);
    EXPECT_TRUE(m.Frame1->isVisibleTo(&m));
    EXPECT_EQ(m.lblStartmeldung->text(), "Zweite");
    vt.advance(500);
    EXPECT_FALSE(m.Frame1->isVisibleTo(&m));
    EXPECT_FALSE(m.TimerStartmeldung->Enabled());
    // The texts stay until the next message.
    EXPECT_EQ(m.lblStartmeldung2->text(), "Zeile");
}

}  // namespace
