#include "catalogue/modMP3Tags.h"
#include "catalogue/modPlayer.h"
#include "base/ErrPtnr.h"
#include "tags_support.h"

#include <QFileInfo>
#include <gtest/gtest.h>

using namespace tagtest;

namespace {

// The file with the 30 bytes at offset 'at' of the tag replaced.
QByteArray withField(const QByteArray& file, int at, const QByteArray& bytes) {
    QByteArray b = file;
    b.replace(b.size() - 128 + at, bytes.size(), bytes);
    return b;
}

TEST(TagWriters, TitleIsCutOrPaddedTo30) {
    const QString f = songWith("w.mp3", tagBlock("Alt", "Band", 5));
    const QByteArray before = contents(f);
    SetSongName(f, "ABCDEFGHIJKLMNOPQRSTUVWXYZ123456789");
    EXPECT_EQ(contents(f), withField(before, 3, "ABCDEFGHIJKLMNOPQRSTUVWXYZ1234"));
    SetSongName(f, "Neu");
    EXPECT_EQ(contents(f), withField(before, 3, QByteArray("Neu") + QByteArray(27, ' ')));
    EXPECT_EQ(GetSongName(f), "Neu");
}

TEST(TagWriters, ArtistIsEncodedAsWindows1252) {
    const QString f = songWith("w.mp3", tagBlock("Titel", "Alt", 5));
    const QByteArray before = contents(f);
    // 29 characters and an emoji: cut counts characters, so the emoji is the 30th.
    SetBand(f, QStringLiteral("Müller & Söhne – Café Ÿ 12345😀 zu viel"));
    EXPECT_EQ(contents(f), withField(before, 33, "M\xfcller & S\xf6hne \x96 Caf\xe9 \x9f 12345?"));
    EXPECT_EQ(GetBand(f), QStringLiteral("Müller & Söhne – Café Ÿ 12345?"));
    EXPECT_EQ(GetSongName(f), "Titel");
}

TEST(TagWriters, GenreByName) {
    const QString f = songWith("w.mp3", tagBlock("Titel", "Band", 0));
    const QByteArray before = contents(f);
    SetSongGenre(f, "Latin");
    EXPECT_EQ(contents(f), withField(before, 127, QByteArray(1, char(85))));
    SetSongGenre(f, "Kein Genre");
    EXPECT_EQ(contents(f), withField(before, 127, QByteArray(1, char(124))));
    SetSongGenre(f, "latin");
    SetSongGenre(f, "Schlager");
    EXPECT_EQ(contents(f), withField(before, 127, QByteArray(1, char(124))));
    // The lookup asks the table name by name, each ask registered with the tracer.
    EXPECT_TRUE(ErrPtnr::ring().entries().join('\n').contains("GetSongGenreName"));
}

TEST(TagWriters, NeverCreateOrExtendAFile) {
    const QString dir = testenv::freshFolder("nocreate");
    const QString missing = dir + "/weg.mp3";
    SetSongName(missing, "x");
    SetBand(missing, "x");
    SetSongGenre(missing, "Rock");
    EXPECT_FALSE(QFileInfo::exists(missing));

    const QString untagged = testmedia::writeSilentMp3(dir + "/ohne.mp3", 2000);
    const QString shortFile = testmedia::writeShortFile(dir + "/kurz.mp3", 127);
    const QString tiny = testmedia::writeBytes(dir + "/tag.mp3", "TAG");
    for (const QString& f : {untagged, shortFile, tiny}) {
        const QByteArray before = contents(f);
        SetSongName(f, "x");
        SetBand(f, "x");
        SetSongGenre(f, "Rock");
        EXPECT_EQ(contents(f), before) << f.toStdString();
    }
}

// The current channel is the main screen's; here a plain variable stands in for it.
class TagWriteWhilePlaying : public ::testing::Test {
protected:
    void SetUp() override {
        setCurrentChannelSource([this] { return current; });
        song = testmedia::writeSilentMp3(testenv::freshFolder("play") + "/lied.mp3", 180000,
                                         testmedia::Id3v1{"Alt", "Band", 17, {}, {}, {}, {}, {}});
    }
    void TearDown() override {
        for (int16_t k = 0; k < 3; ++k) PlayerOeffnen(k, QString());
        setCurrentChannelSource(nullptr);
    }
    void startAt(int16_t k, int32_t ms) {
        PlayerOeffnen(k, song);
        ASSERT_EQ(PlayerDatei(k), song);
        PlayerStartSetzen(k, ms);
        PlayerAbspielen(k);
    }
    int16_t current = 1;
    QString song;
};

TEST_F(TagWriteWhilePlaying, PlayingSongPlaysOnFromItsPosition) {
    startAt(1, 83000);
    SetSongName(song, "Neu");
    EXPECT_EQ(GetSongName(song), "Neu");
    EXPECT_EQ(PlayerDatei(1), song);
    EXPECT_EQ(PlayerStatus(1), 2);
    EXPECT_GE(PlayerPosition(1), 83000);
    EXPECT_LT(PlayerPosition(1), 90000);
}

TEST_F(TagWriteWhilePlaying, PausedSongStaysPaused) {
    startAt(1, 83000);
    PlayerPause(1);
    const int32_t at = PlayerPosition(1);
    SetBand(song, "Neu");
    SetSongGenre(song, "Latin");
    EXPECT_EQ(GetBand(song), "Neu");
    EXPECT_EQ(GetSongGenre(song), "Latin");
    EXPECT_EQ(PlayerStatus(1), 1);
    EXPECT_EQ(PlayerDatei(1), song);
    PlayerAbspielen(1);
    EXPECT_GE(PlayerPosition(1), at);
    EXPECT_LT(PlayerPosition(1), at + 5000);
}

TEST_F(TagWriteWhilePlaying, SongAtPositionZeroKeepsItsChannel) {
    PlayerOeffnen(1, song);
    ASSERT_EQ(PlayerPosition(1), 0);
    SetSongName(song, "Neu");
    EXPECT_EQ(PlayerDatei(1), song);
    EXPECT_EQ(PlayerStatus(1), 0);
    PlayerAbspielen(1);
    EXPECT_EQ(PlayerStatus(1), 2);
}

TEST_F(TagWriteWhilePlaying, OnlyTheCurrentChannelIsReleased) {
    startAt(0, 5000);
    SetSongName(song, "Neu");  // written although the other channel holds the file
    EXPECT_EQ(GetSongName(song), "Neu");
    EXPECT_EQ(PlayerStatus(0), 2);
    EXPECT_EQ(PlayerStatus(1), 0);
    EXPECT_EQ(PlayerDatei(1), "");
}

}  // namespace

namespace {

TEST_F(TagWriteWhilePlaying, AllFieldsWithOneRelease) {
    startAt(1, 83000);
    int asked = 0;
    setCurrentChannelSource([&] {
        ++asked;
        return current;
    });
    EXPECT_TRUE(WriteSongTags(song, {QStringLiteral("T"), QStringLiteral("B"), QStringLiteral("Latin")}));
    EXPECT_EQ(asked, 1) << "the channel is released once for the three fields";
    EXPECT_EQ(ReadSongTags(song).genre, "Latin");
    EXPECT_EQ(PlayerDatei(1), song);
    EXPECT_EQ(PlayerStatus(1), 2);
    EXPECT_GE(PlayerPosition(1), 83000);
}

}  // namespace
