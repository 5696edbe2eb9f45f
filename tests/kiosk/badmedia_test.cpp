// Files that are no songs lie among good ones: the scan, the archive fill and the
// play loop pass over every one of them without a dialog, and the good songs play.
#include "music_support.h"

#include <QFileInfo>
#include <algorithm>
#include <map>
#include <set>
#include <sys/stat.h>

namespace {

// tests/data/badmedia: empty, 100 bytes, a tag alone, cut-off audio, garbage after a
// frame header, an ID3v2 header that claims 256 MB.
QString corpusFolder() {
    QString dir = qEnvironmentVariable("MELOTRA_TEST_DATA");
    if (dir.isEmpty()) dir = QFileInfo(QStringLiteral(__FILE__)).absolutePath() + QStringLiteral("/../data");
    return dir + QStringLiteral("/badmedia");
}

using BadMedia = MusicTest;

TEST_F(BadMedia, ScanArchiveAndPlayLoopPassOverThemAndTheGoodSongsPlayToTheirEnd) {
    const QString bad = testenv::freshFolder(QStringLiteral("badmedia"));
    const QFileInfoList corpus = QDir(corpusFolder()).entryInfoList(QDir::Files);
    ASSERT_EQ(corpus.size(), 6);
    for (const QFileInfo& f : corpus) ASSERT_TRUE(QFile::copy(f.absoluteFilePath(), bad + "/" + f.fileName()));
    ASSERT_TRUE(QDir(bad).mkdir(QStringLiteral("x.mp3")));
    ASSERT_EQ(::mkfifo(QFile::encodeName(bad + "/y.mp3").constData(), 0644), 0);
    ASSERT_TRUE(QFile::link(bad + "/nirgends.mp3", bad + "/z.mp3"));
    const QString good1 = testmedia::writeSilentMp3(bad + "/gut1.mp3", 3000, tag(QStringLiteral("Gut eins"), "Band"));
    const QString good2 = testmedia::writeSilentMp3(bad + "/sub/gut2.mp3", 3000, tag(QStringLiteral("Gut zwei"), "Band"));
    const QString vanishing = testmedia::writeSilentMp3(bad + "/weg.mp3", 3000, tag(QStringLiteral("Weg"), "Band"));
    // A WAV renamed .mp3 whose dithered first seconds look like frame headers here and there.
    const QString wav = testmedia::writeBytes(bad + "/umbenannt.mp3", testmedia::toneWavBytes(60000, 440, 12000, 3000, 0));

    frmMain& m = main();
    m.FadingSekunden = 1;
    QString folder = bad;
    m.Einlesen(folder);
    kioskgrid::FlexGrid& g = *m.MSFlexGrid1;
    std::set<QString> archived;
    for (int r = 1; r < g.Rows(); ++r) archived.insert(g.TextMatrix(r, 4));
    for (const QString& p : {good1, good2, vanishing, wav}) EXPECT_TRUE(archived.count(p)) << p.toStdString();
    EXPECT_FALSE(archived.count(bad + "/x.mp3")) << "a folder is no song";
    // Its length is unknown, as that of any file that does not open.
    m.ZeitenEinlesen(false);
    std::map<QString, QString> dauer;
    for (int r = 1; r < g.Rows(); ++r) dauer[g.TextMatrix(r, 4)] = g.TextMatrix(r, 3);
    EXPECT_EQ(dauer[wav], "05:00");
    EXPECT_EQ(dauer[good1], "00:03");

    ASSERT_TRUE(QFile::remove(vanishing));
    for (int r = 1; r < g.Rows(); ++r)
        if (!g.TextMatrix(r, 4).isEmpty()) queue(r);
    ASSERT_GE(playlistRows(), 3);
    // Every song heard, with the furthest position it reached.
    std::map<QString, int32_t> played;
    const auto listen = [&] {
        for (int16_t k : {PlayerKanalA, PlayerKanalB})
            if (PlayerStatus(k) == 2 || PlayerPosition(k) > 0)
                played[PlayerDatei(k)] = std::max(played[PlayerDatei(k)], PlayerPosition(k));
    };
    runUntil(
        [&] {
            listen();
            return playlistRows() == 0 && PlayerStatus(PlayerKanalA) != 2 && PlayerStatus(PlayerKanalB) != 2;
        },
        120000);
    EXPECT_EQ(playlistRows(), 0);
    EXPECT_EQ(played[good1], 3000) << "the first good song was cut";
    EXPECT_EQ(played[good2], 3000) << "the second good song was cut";
    EXPECT_FALSE(played.count(vanishing));
    EXPECT_FALSE(played.count(wav)) << "the renamed WAV played";
    EXPECT_TRUE(testenv::reportedErrors().empty());
    for (const auto& e : testenv::reportedErrors())
        ADD_FAILURE() << e.number << " " << e.description.toStdString() << " in " << e.procedure.toStdString();
    EXPECT_TRUE(testenv::dialogs().messages.empty());
    for (const auto& msg : testenv::dialogs().messages) ADD_FAILURE() << msg.prompt.toStdString();
}

}  // namespace
