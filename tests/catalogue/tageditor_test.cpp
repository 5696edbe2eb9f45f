// The tag editor: what it shows, what OK writes, what Abbrechen leaves, and its keys.
#include "catalogue/frmMP3Tags.h"
#include "catalogue/modMP3Tags.h"
#include "tags_support.h"

#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <gtest/gtest.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

using tagtest::contents;
using tagtest::songWith;
using tagtest::tagBlock;

namespace {

class TagEditorTest : public ::testing::Test {
protected:
    void TearDown() override {
        frmMP3Tags::setModalHook({});
        frmMP3Tags::unload();
    }
    // Opens the editor for path; the hook acts as the operator.
    static frmMP3Tags::Ausgang edit(const QString& path, const std::function<void(frmMP3Tags&)>& operatorActs) {
        frmMP3Tags::setModalHook(operatorActs);
        frmMP3Tags& t = frmMP3Tags::instance();
        t.FileNameString = path;
        const frmMP3Tags::Ausgang ausgang = t.ShowModal();
        EXPECT_FALSE(frmMP3Tags::loaded()) << "the dialog is destroyed after its showing";
        return ausgang;
    }
};

TEST_F(TagEditorTest, OpensWithTheTagAndWritesTheChosenGenreByte) {
    const QString p = songWith("bebob.mp3", tagBlock("Alt", "Band", 84));
    edit(p, [](frmMP3Tags& t) {
        EXPECT_EQ(t.ComboGenre->count(), 127);
        EXPECT_EQ(t.Text1->text(), "Alt");
        EXPECT_EQ(t.Text2->text(), "Band");
        EXPECT_EQ(t.txtDatei->text(), t.FileNameString);
        EXPECT_EQ(t.ComboGenre->currentText(), "Bebob");
        t.Text1->setText(QString(40, 'x'));
        t.Text2->setText("Neue Band");
        t.txtDatei->setText("/woanders.mp3");  // never used
        t.ComboGenre->setCurrentIndex(t.ComboGenre->findText("Latin"));
        t.cmdOK_Click();
        EXPECT_FALSE(t.cmdOK->isEnabled());
    });
    EXPECT_EQ(GetSongName(p), QString(30, 'x'));
    EXPECT_EQ(GetBand(p), "Neue Band");
    EXPECT_EQ(uint8_t(contents(p).back()), 85);
}

TEST_F(TagEditorTest, EveryKeinGenreEntryWritesByte124) {
    const QString p = songWith("kein.mp3", tagBlock("T", "B", 3));
    for (int entry = 124; entry <= 126; ++entry) {
        edit(p, [entry](frmMP3Tags& t) {
            ASSERT_EQ(t.ComboGenre->itemText(entry), "Kein Genre");
            t.ComboGenre->setCurrentIndex(entry);
            t.cmdOK_Click();
        });
        EXPECT_EQ(uint8_t(contents(p).back()), 124);
        edit(p, [](frmMP3Tags& t) { EXPECT_EQ(t.ComboGenre->currentIndex(), 124) << "the first of the three"; });
    }
}

// OK on a song without an ID3v1 tag (eyeD3 and mid3v2 write ID3v2 only) says so
// instead of closing as if it had written; the file and the operator's texts stay.
TEST_F(TagEditorTest, SongWithoutId3v1TagSaysSoOnOk) {
    const QString dir = testenv::freshFolder("notag");
    testmedia::TaggerStyle v2only{"Vorne", "Nur"};
    v2only.id3v1 = false;
    for (const QString& p : {testmedia::writeTaggerStyleMp3(dir + "/v2.mp3", 800, v2only),
                             testmedia::writeSilentMp3(dir + "/ohne.mp3", 500)}) {
        SCOPED_TRACE(p.toStdString());
        const QByteArray before = contents(p);
        testenv::dialogs().reset();
        const frmMP3Tags::Ausgang ausgang = edit(p, [&p](frmMP3Tags& t) {
            EXPECT_EQ(t.Text1->text(), "Unbekannter Titel");
            EXPECT_EQ(t.Text2->text(), "Unbekannter Interpret");
            EXPECT_EQ(t.ComboGenre->currentText(), "Kein Genre");
            t.Text1->setText("Neu");
            t.cmdOK_Click();
            ASSERT_EQ(testenv::dialogs().messages.size(), 1u);
            const auto& m = testenv::dialogs().messages[0];
            EXPECT_EQ(m.prompt, "Die Datei \"" + p +
                                    "\" hat kein ID3v1-Tag, das geändert werden könnte.\r\n"
                                    "Titel, Interpret und Genre wurden nicht geschrieben.");
            EXPECT_EQ(m.style, platform::vbExclamation);
            EXPECT_TRUE(frmMP3Tags::loaded());
            EXPECT_TRUE(t.cmdOK->isEnabled());
            EXPECT_EQ(t.Text1->text(), "Neu");
            t.cmdAbbrechen_Click();
        });
        EXPECT_EQ(ausgang, frmMP3Tags::Ausgang::Fehlgeschlagen) << "the archive row is not rebuilt";
        EXPECT_EQ(contents(p), before);
    }
}

// The real dialog where nothing activates it (no window manager, or one that leaves
// new windows inactive): its fields are there all the same, and OK writes the new
// title only, the genre byte 255 untouched.
TEST_F(TagEditorTest, FieldsAreFilledWhenShownEvenIfNeverActivated) {
    const QString p = testmedia::writeTaggerStyleMp3(testenv::freshFolder("inaktiv") + "/a.mp3", 800, {"Abc", "Band"});
    frmMP3Tags& t = frmMP3Tags::instance();
    t.FileNameString = p;
    struct NoActivation : QObject {
        bool eventFilter(QObject*, QEvent* e) override { return e->type() == QEvent::WindowActivate; }
    } noActivation;
    t.installEventFilter(&noActivation);
    QTimer::singleShot(0, [&t] {
        EXPECT_EQ(t.Text1->text(), "Abc");
        EXPECT_EQ(t.Text2->text(), "Band");
        EXPECT_EQ(t.ComboGenre->currentText(), "Kein Genre");
        t.Text1->setText("Abc (Live)");
        t.cmdOK->click();
    });
    QTimer guard;
    guard.setSingleShot(true);
    QObject::connect(&guard, &QTimer::timeout, [] { frmMP3Tags::unload(); });
    guard.start(5000);
    EXPECT_EQ(t.ShowModal(), frmMP3Tags::Ausgang::Geschrieben);
    EXPECT_TRUE(guard.isActive()) << "OK did not end the dialog";
    EXPECT_EQ(GetSongName(p), "Abc (Live)");
    EXPECT_EQ(GetBand(p), "Band");
    EXPECT_EQ(uint8_t(contents(p).back()), 255);
}

TEST_F(TagEditorTest, ReactivationKeepsEditsAndCancelWritesNothing) {
    const QString p = songWith("c.mp3", tagBlock("Titel", "Band", 1));
    const QByteArray before = contents(p);
    const frmMP3Tags::Ausgang ausgang = edit(p, [](frmMP3Tags& t) {
        t.Text1->setText("Ungesichert");
        t.Form_Activate();  // back from another window (an error dialog, a message)
        EXPECT_EQ(t.Text1->text(), "Ungesichert");
        t.cmdAbbrechen_Click();
    });
    EXPECT_EQ(ausgang, frmMP3Tags::Ausgang::Abgebrochen);
    edit(p, [](frmMP3Tags& t) { t.Text2->setText("Weg"); });  // closed without a press
    EXPECT_EQ(contents(p), before);
}

// Files as taggers write them, and our own: OK without a change, any number of times,
// leaves every byte as it was (NUL padding, genre 255 included).
TEST_F(TagEditorTest, OkWithoutChangeLeavesTheFileByteIdentical) {
    const QString dir = testenv::freshFolder("noop");
    testmedia::TaggerStyle v2only{"Vorne", "Nur"};
    v2only.id3v1 = false;
    const QStringList files = {
        testmedia::writeTaggerStyleMp3(dir + "/tagger.mp3", 800, {"Abc", "Band"}),
        testmedia::writeTaggerStyleMp3(dir + "/v2.mp3", 800, v2only),
        songWith("eigen.mp3", tagBlock("  Titel ", "Band", 84)),
        songWith("leer.mp3", tagBlock("", "", 124)),
    };
    for (const QString& p : files) {
        const QByteArray before = contents(p);
        for (int i = 0; i < 3; ++i)
            EXPECT_EQ(edit(p, [](frmMP3Tags& t) { t.cmdOK_Click(); }), frmMP3Tags::Ausgang::Abgebrochen);
        EXPECT_EQ(contents(p), before) << p.toStdString();
    }
}

TEST_F(TagEditorTest, AppendToANulPaddedTitleKeepsTheAppendedText) {
    const QString p = testmedia::writeTaggerStyleMp3(testenv::freshFolder("nul") + "/a.mp3", 800, {"Abc", "Band"});
    const QByteArray before = contents(p);
    const frmMP3Tags::Ausgang ausgang = edit(p, [](frmMP3Tags& t) {
        EXPECT_EQ(t.Text1->text(), "Abc");
        t.Text1->setText(t.Text1->text() + " (Live)");
        t.cmdOK_Click();
    });
    EXPECT_EQ(ausgang, frmMP3Tags::Ausgang::Geschrieben);
    EXPECT_EQ(GetSongName(p), "Abc (Live)");
    const QByteArray after = contents(p);
    EXPECT_EQ(after.right(128 - 33), before.right(128 - 33)) << "artist and genre untouched";
}

// A write that fails is said, naming the file; the dialog stays with the operator's
// texts, and closing it then reports the failure so the archive row stays as it was.
TEST_F(TagEditorTest, FailedWriteIsSaidAndNothingIsLost) {
    const struct {
        const char* name;
        std::function<std::shared_ptr<void>(const QString&)> breakIt;
        bool asRootToo;
    } cases[] = {
        {"read-only",
         [](const QString& p) {
             ::chmod(p.toUtf8().constData(), 0444);
             return std::shared_ptr<void>();
         },
         false},
        {"refused", [](const QString& p) { return std::make_shared<tagtest::FileFault>(p, EACCES); }, true},
        {"vanished",
         [](const QString& p) {
             QFile::remove(p);
             return std::shared_ptr<void>();
         },
         true},
        {"short write",
         [](const QString& p) { return std::make_shared<tagtest::FileSizeLimit>(rlim_t(contents(p).size() - 124)); },
         true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        if (!c.asRootToo && ::geteuid() == 0) continue;  // root writes read-only files; the fault case stands in
        const QString p = songWith("f.mp3", tagBlock("Alt", "Band", 17));
        testenv::dialogs().reset();
        const frmMP3Tags::Ausgang ausgang = edit(p, [&](frmMP3Tags& t) {
            t.Text1->setText("Neu");
            {
                const auto broken = c.breakIt(p);
                t.cmdOK_Click();
            }
            ASSERT_EQ(testenv::dialogs().messages.size(), 1u);
            EXPECT_TRUE(testenv::dialogs().messages[0].prompt.contains(p));
            EXPECT_TRUE(frmMP3Tags::loaded());
            EXPECT_TRUE(t.cmdOK->isEnabled());
            t.Form_Activate();
            EXPECT_EQ(t.Text1->text(), "Neu");
            t.cmdAbbrechen_Click();
        });
        EXPECT_EQ(ausgang, frmMP3Tags::Ausgang::Fehlgeschlagen);
        ::chmod(p.toUtf8().constData(), 0644);
    }
}

// The real modal loop, driven by keys from inside it: Enter presses OK, Escape Abbrechen.
TEST_F(TagEditorTest, EnterPressesOkAndEscapeAbbrechenInTheRealDialog) {
    const QString p = songWith("k.mp3", tagBlock("Titel", "Band", 1));
    auto runWithKey = [&](int key, const QString& title) {
        frmMP3Tags& t = frmMP3Tags::instance();
        t.FileNameString = p;
        QTimer::singleShot(0, [&t, key, title] {
            t.Text1->setText(title);
            // Up from the title goes to the path row, Down comes back.
            QKeyEvent up(QEvent::KeyPress, Qt::Key_Up, Qt::NoModifier);
            QApplication::sendEvent(t.Text1, &up);
            EXPECT_EQ(t.focusWidget(), t.txtDatei);
            QKeyEvent down(QEvent::KeyPress, Qt::Key_Down, Qt::NoModifier);
            QApplication::sendEvent(t.txtDatei, &down);
            EXPECT_EQ(t.focusWidget(), t.Text1);
            QKeyEvent k(QEvent::KeyPress, key, Qt::NoModifier);
            QApplication::sendEvent(t.Text1, &k);
        });
        // A stuck loop would end here instead of hanging the run.
        QTimer guard;
        guard.setSingleShot(true);
        QObject::connect(&guard, &QTimer::timeout, [] { frmMP3Tags::unload(); });
        guard.start(5000);
        t.ShowModal();
        EXPECT_TRUE(guard.isActive()) << "the key did not end the dialog";
    };
    runWithKey(Qt::Key_Escape, "Nicht gespeichert");
    EXPECT_EQ(GetSongName(p), "Titel");
    runWithKey(Qt::Key_Return, "Gespeichert");
    EXPECT_EQ(GetSongName(p), "Gespeichert");
}

}  // namespace
