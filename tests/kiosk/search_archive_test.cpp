// Sorting, the sliding search keyboard, the arrow buttons and the password lock.
#include "music_support.h"

#include "base/ErrPtnr.h"
#include "controls/ctlVirtuelleTastatur/ctlVirtuelleTastatur.h"
#include "platform/twips.h"
#include "platform/twipsgeom.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QDropEvent>
#include <QGuiApplication>
#include <QLineEdit>
#include <QMimeData>
#include <QKeyEvent>
#include <QMouseEvent>

namespace {

class Search : public ShownScreenTest {
protected:
    // Archive rows by texts only: title, artist, genre, duration (a known one, so nothing is
    // probed); column 5 as the fill makes it.
    static void rows(std::initializer_list<std::array<const char*, 4>> texts) {
        kioskgrid::FlexGrid& g = *main().MSFlexGrid1;
        g.setRows(1);
        for (const auto& t : texts) {
            g.AddItem(QString::fromUtf8(t[0]));
            const int r = g.Rows() - 1;
            for (int c = 1; c < 3; ++c) g.setTextMatrix(r, c, QString::fromUtf8(t[c]));
            g.setTextMatrix(r, 3, *t[3] ? QString::fromUtf8(t[3]) : QStringLiteral("03:00"));
            g.setTextMatrix(r, 5, QString::fromUtf8(t[1]) + QString::fromUtf8(t[0]));
        }
    }
    static QString title(int r) { return main().MSFlexGrid1->TextMatrix(r, 0); }
    static void keys(const QString& s) {
        for (QChar c : s) main().ctlVirtuelleTastatur1_KeyClick(QString(c));
    }
    // A left press on the header cell of column c, as the guest taps it.
    static void tapHeader(int c) {
        kioskgrid::FlexGrid& g = *main().MSFlexGrid1;
        int x = 0;
        for (int i = 0; i < c; ++i) x += g.ColWidth(i);
        const QPointF p((x + g.ColWidth(c) / 2.0) / platform::TwipsPerPixel, 2);
        QMouseEvent press(QEvent::MouseButtonPress, p, g.mapToGlobal(p), Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(&g, &press);
        QMouseEvent release(QEvent::MouseButtonRelease, p, g.mapToGlobal(p), Qt::LeftButton, Qt::NoButton,
                            Qt::NoModifier);
        QCoreApplication::sendEvent(&g, &release);
    }
};

TEST_F(Search, InterpretSortsByArtistThenTitleKeepsTheMarkedSongAndSearchesTheArtistOnly) {
    frmMain& m = main();
    rows({{"Zebra", "Abba", "Pop", ""}, {"Bolero", "Ravel", "Klassik", ""}, {"Anna", "Abba", "Pop", ""},
          {"abba", "Queen", "Rock", ""}});
    m.MSFlexGrid1->setRow(2);
    m.ArchivZeile = 2;
    tapHeader(1);
    EXPECT_EQ(m.SortierSpalte, 1);
    EXPECT_EQ(title(1), "Anna");
    EXPECT_EQ(title(2), "Zebra");
    EXPECT_EQ(title(3), "abba");
    EXPECT_EQ(title(4), "Bolero");
    // Bolero stays marked at its new place.
    EXPECT_EQ(m.MSFlexGrid1->Row(), 4);
    EXPECT_EQ(m.ArchivZeile, 4);
    EXPECT_TRUE(m.MSFlexGrid1->Redraw());
    // The keyboard has slid up to its place and the box in from the left.
    EXPECT_TRUE(m.ctlVirtuelleTastatur1->isVisible());
    EXPECT_TRUE(m.txtSortierung->isVisible());
    EXPECT_LE(m.ctlVirtuelleTastatur1->Top(), m.TastaturZielTop);
    EXPECT_EQ(m.txtSortierung->maxLength(), 10);
    // "ab" finds the artist Abba, not the title "abba"; the search ignores case.
    keys("ab");
    EXPECT_EQ(m.txtSortierung->text(), "AB");
    EXPECT_EQ(m.MSFlexGrid1->Row(), 1);
    EXPECT_EQ(m.ArchivZeile, 1);
    keys("x");
    EXPECT_EQ(m.MSFlexGrid1->Row(), 1);  // no hit: the marking stays
    m.ctlVirtuelleTastatur1_KeyClick("{BACKSPACE}");
    keys("Q");
    EXPECT_EQ(m.txtSortierung->text(), "ABQ");
    for (int i = 0; i < 4; ++i) m.ctlVirtuelleTastatur1_KeyClick("{BACKSPACE}");
    EXPECT_EQ(m.txtSortierung->text(), "");
    keys("qUEEN");
    EXPECT_EQ(m.MSFlexGrid1->Row(), 3);
    keys("ABCDEFG");
    EXPECT_EQ(m.txtSortierung->text(), "QUEENABCDE");
}

TEST_F(Search, SecondTapKeepsTheTextAndTheTickFiveSecondsAfterTheLastKeyHidesBoth) {
    frmMain& m = main();
    rows({{"b", "x", "", ""}, {"a", "y", "", ""}});
    tapHeader(0);
    keys("B");
    const int left = platform::TwLeft(m.txtSortierung);
    tapHeader(2);
    EXPECT_EQ(m.txtSortierung->text(), "B");
    EXPECT_EQ(platform::TwLeft(m.txtSortierung), left);
    keys("X");
    EXPECT_EQ(m.txtSortierung->text(), "BX");
    vt.advance(4900);
    keys("Y");
    vt.advance(4900);
    EXPECT_TRUE(m.ctlVirtuelleTastatur1->isVisible());
    vt.advance(500);
    EXPECT_FALSE(m.ctlVirtuelleTastatur1->isVisible());
    EXPECT_FALSE(m.txtSortierung->isVisible());
    EXPECT_FALSE(m.Timer2->Enabled());
    // Dauer sorts without the keyboard.
    tapHeader(3);
    EXPECT_EQ(m.SortierSpalte, 3);
    EXPECT_FALSE(m.ctlVirtuelleTastatur1->isVisible());
}

TEST_F(Search, EmptyArchiveAndARememberedRowTheGridNoLongerHas) {
    frmMain& m = main();
    m.MSFlexGrid1->setRows(1);
    m.Sortieren(true, true);
    keys("A");
    EXPECT_EQ(m.ArchivZeile, 0);
    // After a rescan cut the grid, the old row number points past its end.
    rows({{"b", "x", "", ""}, {"a", "y", "", ""}});
    m.ArchivZeile = 40;
    m.Sortieren(false, true);
    EXPECT_TRUE(testenv::reportedErrors().empty());
    EXPECT_TRUE(m.MSFlexGrid1->Redraw());
    EXPECT_EQ(title(1), "a");
    EXPECT_EQ(m.MSFlexGrid1->Row(), 1);
}

TEST_F(Search, ArrowButtonsKeepTheMarginAndOnlyFocusAtTheEnd) {
    frmMain& m = main();
    kioskgrid::FlexGrid& g = *m.MSFlexGrid1;
    g.setRows(61);
    for (int r = 1; r <= 60; ++r) {
        g.setTextMatrix(r, 0, QString::number(r));
        g.setTextMatrix(r, 3, QStringLiteral("03:00"));
    }
    m.ScrollAbstand = 3;
    g.setRow(1);
    g.setTopRow(1);
    m.FunbuttonArchivNav_Click(1);
    m.FunbuttonArchivNav_Click(1);
    EXPECT_EQ(g.Row(), 3);
    EXPECT_EQ(g.TopRow(), 1);
    m.FunbuttonArchivNav_Click(1);
    EXPECT_EQ(g.Row(), 4);
    EXPECT_EQ(g.TopRow(), 2);
    EXPECT_EQ(m.ArchivZeile, 4);
    g.setRow(60);
    m.FunbuttonArchivNav_Click(1);
    EXPECT_EQ(g.Row(), 60);
    EXPECT_FALSE(m.FunbuttonArchivNav[1]->Enabled());
}

TEST_F(Search, SpacePlaysTheMarkedSongAtOnceInAnEmptiedPlaylist) {
    frmMain& m = main();
    const int a = archiveSong("a.mp3", 60000);
    const int b = archiveSong("b.mp3", 60000);
    const int c = archiveSong("c.mp3", 60000);
    queue(a);
    queue(b);
    m.MSFlexGrid1->setRow(c);
    int16_t key = 32;
    m.MSFlexGrid1_KeyDown(key, 0);
    ASSERT_EQ(playlistRows(), 1);
    EXPECT_EQ(playlist(1, 4), m.MSFlexGrid1->TextMatrix(c, 4));
    EXPECT_EQ(m.MSFlexGrid2->TextMatrix(0, 0), "Titel");
    m.Timer1->setEnabled(true);
    EXPECT_TRUE(runUntil([&] { return PlayerDatei(m.AktPlayer) == playlist(1, 4); }, 2000));
}

TEST_F(Search, PasswordInAnyCaseLocksAndUnlocks) {
    frmMain& m = main();
    frmStart::instance().txtPasswort->setText("geheim");
    rows({{"Gold", "", "", ""}, {"Alpha", "", "", ""}});
    const int unterLoeschen = platform::TwTop(m.cmdLoeschen) + platform::TwHeight(m.cmdLoeschen) + 120;
    m.Schloss_Click();
    EXPECT_TRUE(m.ctlVirtuelleTastatur1->isVisible());
    EXPECT_EQ(m.txtSortierung->maxLength(), 99);
    EXPECT_EQ(m.PasswordChar(), "#");
    m.MSFlexGrid1->setRow(2);
    keys("GEHEI");
    EXPECT_EQ(m.Schloss->property("Tag").toString(), "Auf");
    // The typed letters drive no search: the marked song stays.
    EXPECT_EQ(title(m.MSFlexGrid1->Row()), "Alpha");
    keys("m");
    EXPECT_EQ(m.Schloss->property("Tag").toString(), "Zu");
    EXPECT_FALSE(m.Schloss->isVisible());
    EXPECT_TRUE(m.Schloss2->isVisible());
    EXPECT_EQ(platform::TwTop(m.Schloss), unterLoeschen);
    EXPECT_EQ(platform::TwTop(m.Schloss2), unterLoeschen);
    EXPECT_FALSE(m.Uebernehmen->Enabled());
    EXPECT_FALSE(m.txtSortierung->isVisible());
    EXPECT_FALSE(m.ctlVirtuelleTastatur1->isVisible());
    EXPECT_EQ(m.txtSortierung->text(), "");
    // A wrong text changes nothing; a new entry starts empty.
    m.Schloss2_Click();
    keys("GEHX");
    EXPECT_EQ(m.Schloss->property("Tag").toString(), "Zu");
    m.Schloss2_Click();
    EXPECT_EQ(m.txtSortierung->text(), "");
    keys("GEHEIM");
    EXPECT_EQ(m.Schloss->property("Tag").toString(), "Auf");
    EXPECT_TRUE(m.Schloss->isVisible());
    // The next search slide-in brings the box back to search mode.
    vt.advance(6000);
    m.Sortieren(true, false);
    EXPECT_EQ(m.PasswordChar(), "");
    EXPECT_EQ(m.txtSortierung->maxLength(), 10);
}

// The lock's box shows what the on-screen keyboard typed, nothing else: no edit menu on a right click
// or a long press, no paste, no drop, in password and search mode alike. A pasted password flipped
// the lock without its keyboard; the keyboard still does.
TEST_F(Search, TheLocksBoxOpensNoMenuAndTakesNoPaste) {
    frmMain& m = main();
    frmStart::instance().txtPasswort->setText("geheim");
    rows({{"Gold", "", "", ""}});
    QLineEdit& box = *m.txtSortierung;
    QGuiApplication::clipboard()->setText(QStringLiteral("GEHEIM"));
    for (const bool passwort : {true, false}) {
        if (passwort) {
            m.Schloss_Click();
        } else {
            vt.advance(6000);
            m.Sortieren(true, false);
        }
        ASSERT_TRUE(box.isVisible());
        box.setFocus();
        for (const auto grund : {QContextMenuEvent::Mouse, QContextMenuEvent::Keyboard}) {
            QContextMenuEvent menu(grund, QPoint(5, 5), box.mapToGlobal(QPoint(5, 5)));
            QCoreApplication::sendEvent(&box, &menu);
            EXPECT_FALSE(QApplication::activePopupWidget()) << passwort;
            if (QWidget* offen = QApplication::activePopupWidget()) offen->close();
        }
        for (const auto& [k, mod] : {std::pair{Qt::Key_V, Qt::ControlModifier}, std::pair{Qt::Key_Insert, Qt::ShiftModifier}}) {
            QKeyEvent paste(QEvent::KeyPress, k, mod);
            QCoreApplication::sendEvent(&box, &paste);
        }
        QMimeData text;
        text.setText(QStringLiteral("GEHEIM"));
        QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &text, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(&box, &enter);
        QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &text, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(&box, &drop);
        EXPECT_EQ(box.text(), "") << passwort;
        EXPECT_EQ(m.Schloss->property("Tag").toString(), "Auf") << passwort;
    }
    QGuiApplication::clipboard()->clear();
    keys("G");
    EXPECT_EQ(box.text(), "G");  // the search keyboard types
    vt.advance(6000);
    m.Schloss_Click();
    keys("GEHEIM");
    EXPECT_EQ(m.Schloss->property("Tag").toString(), "Zu");
}

// The trace goes into the error dialog, its files, print-outs and mails: while the password
// keyboard is up, neither a letter nor a key's number (which spells the letter) is in it.
TEST_F(Search, ThePasswordNeverReachesTheTrace) {
    frmMain& m = main();
    frmStart::instance().txtPasswort->setText("geheim");
    rows({{"Gold", "", "", ""}});
    // A tap on the visible key with this caption, as the guest's finger makes it; its number.
    const auto tap = [&](const QString& caption) {
        for (TastaturTaste* k : m.ctlVirtuelleTastatur1->findChildren<TastaturTaste*>()) {
            if (!k->isVisible() || k->text() != caption) continue;
            const int nummer = k->Index();
            testenv::tap(k);
            return nummer;
        }
        ADD_FAILURE() << caption.toStdString();
        return -1;
    };
    const auto traced = [](const QString& name, const QString& value) {
        return ErrPtnr::ring().entries().contains(QLatin1Char('\t') + name + QStringLiteral(":\t") + value);
    };
    m.Schloss_Click();
    for (const QString c : {"G", "E", "H", "E", "I"}) {
        const int nummer = tap(c);
        EXPECT_EQ(m.txtSortierung->text().right(1), c);
        EXPECT_FALSE(traced("Index", QString::number(nummer))) << c.toStdString();
        EXPECT_FALSE(traced("Daten", c)) << c.toStdString();
        EXPECT_TRUE(traced("Index", "#"));
    }
    tap("M");
    EXPECT_EQ(m.Schloss->property("Tag").toString(), "Zu");
    // The search keyboard's keys are traced as before.
    vt.advance(6000);
    m.Sortieren(true, false);
    const int nummer = tap("G");
    EXPECT_TRUE(traced("Index", QString::number(nummer)));
    EXPECT_TRUE(traced("Daten", "G"));
}

// The keys of a keyboard plugged into the kiosk: while the password entry is up none of
// them reaches the trace, whichever control has the focus.
TEST_F(Search, PhysicalKeysDuringThePasswordEntryStayOutOfTheTrace) {
    frmMain& m = main();
    frmStart::instance().txtPasswort->setText("geheim");
    rows({{"Gold", "", "", ""}, {"Hallo", "", "", ""}});
    const auto type = [&](QWidget* w) {
        ErrPtnr::ring().clear();
        w->setFocus();
        for (QChar c : QStringLiteral("GEHEI")) {
            QKeyEvent e(QEvent::KeyPress, Qt::Key_A + (c.unicode() - u'A'), Qt::NoModifier, QString(c));
            QCoreApplication::sendEvent(w, &e);
        }
        // The arguments in the trace that show a letter of it, or a key code that spells one.
        QStringList verraten;
        for (const QString& e : ErrPtnr::ring().entries())
            for (QChar c : QStringLiteral("GEHI"))
                if (e.startsWith(u'\t') && (e.section(u'\t', 2).contains(c) || e.endsWith(QString::number(c.unicode()))))
                    verraten << e;
        return verraten.join(u' ').toStdString();
    };
    m.Schloss_Click();
    for (QWidget* w : std::initializer_list<QWidget*>{m.MSFlexGrid1, m.MSFlexGrid2, m.txtSortierung})
        EXPECT_EQ(type(w), "") << w->objectName().toStdString();
    // Once the entry has ended, the archive's keys are traced as before.
    vt.advance(6000);
    ASSERT_FALSE(m.txtSortierung->isVisible());
    EXPECT_NE(type(m.MSFlexGrid1), "");
}

TEST_F(Search, SlidesStopWhenTheProgramEnds) {
    frmMain& m = main();
    rows({{"a", "", "", ""}});
    ProgrammEnde = true;
    const uint64_t t0 = vt.elapsed();
    m.Sortieren(true, false);
    m.Timer2_Timer();
    EXPECT_LT(vt.elapsed() - t0, 150u);
}

}  // namespace
