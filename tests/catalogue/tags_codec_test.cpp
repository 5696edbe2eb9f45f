#include "catalogue/modMP3Tags.h"
#include "base/ErrPtnr.h"
#include "platform/cp1252.h"
#include "tags_support.h"

#include <QDir>
#include <QFileInfo>
#include <gtest/gtest.h>
#include <sys/stat.h>

using namespace tagtest;

namespace {

TEST(Cp1252, EveryByteReadsBackAsWritten) {
    QByteArray all;
    for (int b = 0; b < 256; ++b) all.append(char(b));
    const QString text = cp1252::decode(all);
    ASSERT_EQ(text.size(), 256);
    EXPECT_EQ(cp1252::encode(text), all);
}

TEST(Cp1252, WesternCharactersMapBothWays) {
    const QString text = QStringLiteral("€‚ƒ„…†‡ˆ‰Š‹ŒŽ‘’“”•–—˜™š›œžŸ äöüÄÖÜß éàç ÿ");
    const QByteArray bytes = cp1252::encode(text);
    EXPECT_EQ(bytes.size(), text.size());
    EXPECT_EQ(uint8_t(bytes[0]), 0x80);
    EXPECT_EQ(uint8_t(bytes[text.indexOf(QStringLiteral("Ÿ"))]), 0x9F);
    EXPECT_EQ(uint8_t(bytes[text.indexOf(QStringLiteral("ä"))]), 0xE4);
    EXPECT_EQ(uint8_t(bytes[text.indexOf(QStringLiteral("ß"))]), 0xDF);
    EXPECT_EQ(cp1252::decode(bytes), text);
}

TEST(Cp1252, CharactersOutsideBecomeOneQuestionMarkEach) {
    // U+0080 is a control character that Windows-1252 gives the euro sign's byte to.
    EXPECT_EQ(cp1252::encode(QStringLiteral("a中b") + QChar(0x0080) + QStringLiteral("Ω")), QByteArray("a?b??"));
    // A character beyond 16 bits is one character: one "?", and it counts once when cutting.
    EXPECT_EQ(cp1252::encode(QStringLiteral("x😀y")), QByteArray("x?y"));
    EXPECT_EQ(cp1252::encode(QStringLiteral("😀😀😀"), 2), QByteArray("??"));
    EXPECT_EQ(cp1252::encode(QStringLiteral("abcdef"), 4), QByteArray("abcd"));
}

TEST(Tags, FieldsOfATaggedFile) {
    const QString f = songWith("a.mp3", tagBlock("  Let It Be  ", "The Beatles", 17));
    EXPECT_EQ(GetSongName(f), "Let It Be");
    EXPECT_EQ(GetBand(f), "The Beatles");
    EXPECT_EQ(GetSongGenre(f), "Rock");
}

TEST(Tags, TextIsWindows1252) {
    const QString f = songWith("u.mp3", tagBlock("Gr\xfc\xdf Gott \x80", "M\xfcller \x96 S\xf6hne", 0));
    EXPECT_EQ(GetSongName(f), QStringLiteral("Grüß Gott €"));
    EXPECT_EQ(GetBand(f), QStringLiteral("Müller – Söhne"));
}

TEST(Tags, OnlyBlanksAreTrimmed) {
    const QString blanks = songWith("b.mp3", tagBlock(QByteArray(30, ' '), QByteArray(30, ' '), 1));
    EXPECT_EQ(GetSongName(blanks), "");  // blank field: empty, not the default
    EXPECT_EQ(GetBand(blanks), "");
}

// Taggers pad with NUL bytes: a field ends at its first NUL, then blanks are trimmed.
TEST(Tags, TextEndsAtTheFirstNul) {
    const struct {
        QByteArray field;
        const char* text;
    } cases[] = {
        {QByteArray("Abc") + QByteArray(27, '\0'), "Abc"},
        {QByteArray("  Abc ") + QByteArray(24, '\0'), "Abc"},
        {QByteArray("Abc\0Rest von fr\xfcher", 19) + QByteArray(11, '\0'), "Abc"},
        {QByteArray(30, '\0'), ""},
        {QByteArray("A\tB\x01C"), "A\tB\x01C"},  // other control bytes stay text
    };
    for (const auto& c : cases) {
        const QString f = songWith("n.mp3", tagBlock(c.field, c.field, 1));
        EXPECT_EQ(GetSongName(f), c.text) << c.field.toStdString();
        EXPECT_EQ(GetBand(f), c.text);
        EXPECT_EQ(ReadSongTags(f).title, c.text);
    }
}

TEST(Tags, FileShorterThanATagHasNone) {
    const QString f = songWith("s.mp3", tagBlock("Titel", "Band", 3).left(127), 0);
    ASSERT_EQ(QFileInfo(f).size(), 127);
    EXPECT_EQ(GetSongName(f), "Unbekannter Titel");
    EXPECT_EQ(GetBand(f), "Unbekannter Interpret");
    EXPECT_EQ(GetSongGenre(f), "Kein Genre");
    const QString empty = testmedia::writeBytes(testenv::freshFolder("tags") + "/e.mp3", {});
    EXPECT_EQ(GetSongName(empty), "Unbekannter Titel");
    EXPECT_EQ(GetBand(empty), "Unbekannter Interpret");
    EXPECT_EQ(GetSongGenre(empty), "Kein Genre");
}

TEST(Tags, FileOfExactlyATagIsRead) {
    const QString f = songWith("t.mp3", tagBlock("Titel", "Band", 3), 0);
    ASSERT_EQ(QFileInfo(f).size(), 128);
    EXPECT_EQ(GetSongName(f), "Titel");
    EXPECT_EQ(GetBand(f), "Band");
    EXPECT_EQ(GetSongGenre(f), "Dance");
}

TEST(Tags, MarkerMustBeUpperCase) {
    const QString f = songWith("l.mp3", tagBlock("Titel", "Band", 3, "tag"));
    EXPECT_EQ(GetSongName(f), "Unbekannter Titel");
    EXPECT_EQ(GetBand(f), "Unbekannter Interpret");
    EXPECT_EQ(GetSongGenre(f), "Kein Genre");
}

TEST(Tags, BrokenFilesGiveTheDefaults) {
    const QString dir = testenv::freshFolder("broken");
    for (const QString& f : {testmedia::writeGarbage(dir + "/g.mp3", 5000),
                             testmedia::writeTruncatedMp3(dir + "/t.mp3", 3000, 777)}) {
        EXPECT_EQ(GetSongName(f), "Unbekannter Titel");
        EXPECT_EQ(GetBand(f), "Unbekannter Interpret");
        EXPECT_EQ(GetSongGenre(f), "Kein Genre");
    }
}

TEST(Tags, MissingFileIsNeverCreated) {
    const QString f = testenv::freshFolder("missing") + "/weg.mp3";
    EXPECT_EQ(GetSongName(f), "Unbekannter Titel");
    EXPECT_EQ(GetBand(f), "");
    EXPECT_EQ(GetSongGenre(f), "Kein Genre");
    EXPECT_FALSE(QFileInfo::exists(f));
}

TEST(Tags, NoPlainFileNeitherHangsNorCrashes) {
    const QString dir = testenv::freshFolder("odd");
    const QString folder = dir + "/ordner.mp3";
    QDir().mkpath(folder);
    EXPECT_EQ(GetSongName(folder), "Unbekannter Titel");
    EXPECT_EQ(GetBand(folder), "");
    EXPECT_EQ(GetSongGenre(folder), "Kein Genre");

    // A pipe would block a plain open until someone writes to it.
    const QString pipe = dir + "/pipe.mp3";
    ASSERT_EQ(::mkfifo(pipe.toUtf8().constData(), 0644), 0);
    testenv::reportedErrors().clear();
    EXPECT_EQ(GetSongName(pipe), "Unbekannter Titel");
    EXPECT_EQ(GetSongGenre(pipe), "Kein Genre");
    GetBand(pipe);
    ASSERT_EQ(testenv::reportedErrors().size(), 1u);  // the reader's error reaches the tracer
    EXPECT_EQ(testenv::reportedErrors()[0].number, 75);
    SetSongName(pipe, "x");
    SetSongGenre(pipe, "Rock");
}

TEST(Genres, NumberingDiffersFromByte84On) {
    const auto genreOf = [](uint8_t byte) { return GetSongGenre(songWith("g.mp3", tagBlock("T", "B", byte))); };
    EXPECT_EQ(genreOf(0), "Blues");
    EXPECT_EQ(genreOf(81), "Folk/Rock");
    EXPECT_EQ(genreOf(83), "Swing");
    EXPECT_EQ(genreOf(84), "Bebob");
    EXPECT_EQ(genreOf(85), "Latin");
    EXPECT_EQ(genreOf(100), "Sprache");
    EXPECT_EQ(genreOf(123), "Euro-House");
    EXPECT_EQ(genreOf(124), "Kein Genre");
    EXPECT_EQ(genreOf(255), "Kein Genre");
}

TEST(Genres, NamesByIndex) {
    EXPECT_EQ(Genretabelle().size(), 124);
    EXPECT_EQ(GetSongGenreName(0), "Kein Genre");
    EXPECT_EQ(GetSongGenreName(-1), "Kein Genre");
    EXPECT_EQ(GetSongGenreName(125), "Kein Genre");
    EXPECT_EQ(GetSongGenreName(1), "Blues");
    EXPECT_EQ(GetSongGenreName(15), "R&B");
    EXPECT_EQ(GetSongGenreName(68), "Psychadelic");
    EXPECT_EQ(GetSongGenreName(79), "Rock & Roll");
    EXPECT_EQ(GetSongGenreName(124), "Euro-House");
    EXPECT_EQ(ErrPtnr::ring().at(1).section(' ', 1, -1),
              "[modMP3Tags] Public Function GetSongGenreName(GenreIndex As Integer) As String");
}

}  // namespace

namespace {

TEST(Tags, OneReadGivesWhatTheThreeReadersGive) {
    const QString dir = testenv::freshFolder("all");
    const QStringList files = {songWith("a.mp3", tagBlock(" Titel ", "Band", 85)),
                               songWith("k.mp3", tagBlock("T", "B", 3).left(100), 0),
                               testmedia::writeGarbage(dir + "/g.mp3", 400), dir + "/fehlt.mp3", dir};
    for (const QString& f : files) {
        const SongTags t = ReadSongTags(f);
        EXPECT_EQ(t.title, GetSongName(f)) << f.toStdString();
        EXPECT_EQ(t.artist, GetBand(f)) << f.toStdString();
        EXPECT_EQ(t.genre, GetSongGenre(f)) << f.toStdString();
    }
    ErrPtnr::ring().clear();
    ReadSongTags(files[0]);
    QStringList procs;
    for (const QString& e : ErrPtnr::ring().entries())
        if (!e.startsWith('\t')) procs.prepend(e.section(' ', 4, 4));
    EXPECT_EQ(procs, QStringList({"GetSongName(MP3Datei", "GetBand(MP3Datei", "GetSongGenreName(GenreIndex"}));
}

}  // namespace
