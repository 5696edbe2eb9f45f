// What a guest sees, checked on rendered pixels: every text reads against what lies behind
// it, every button's symbol fills its button, no caption is cut and no two buttons overlap.
#include "music_support.h"

#include "controls/ctlVirtuelleTastatur/ctlVirtuelleTastatur.h"
#include "game/frmTicTacToe.h"
#include "info/frmWerbung.h"
#include "platform/fonts.h"
#include "platform/twips.h"
#include "platform/twipsgeom.h"
#include "support/sicht.h"

#include <QCoreApplication>
#include <QPainter>

using platform::RGB;

namespace {

constexpr double Lesbar = 4.5;

// The ink of a text drawn alone in the font: what a cell must show of it.
int tintenbreite(const QString& text, const QFont& font) {
    QImage img(2000, 200, QImage::Format_RGB32);
    img.fill(Qt::white);
    {
        QPainter p(&img);
        p.setFont(font);
        p.setPen(Qt::black);
        p.drawText(QRect(10, 0, 1990, 200), Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, text);
    }
    return sicht::Tinte(img, img.rect(), Qt::white).width();
}

class Sight : public ShownScreenTest {
protected:
    void TearDown() override {
        frmWerbung::setShowHook({});
        frmTicTacToe::setShowHook({});
        ShownScreenTest::TearDown();
    }
    static QImage bild() {
        QCoreApplication::processEvents();
        return main().grab().toImage();
    }
};

TEST_F(Sight, TitleLabelsReadOnEveryBackground) {
    frmMain& m = main();
    const int32_t farben[] = {RGB(0, 0, 255),   RGB(255, 0, 0),     RGB(0, 120, 0),   RGB(119, 119, 119),
                              RGB(120, 120, 120), RGB(255, 255, 0), RGB(0, 255, 255), RGB(128, 0, 128),
                              RGB(0, 0, 0),     RGB(255, 255, 255), RGB(200, 60, 60), RGB(60, 140, 230)};
    for (int32_t hinten : farben) {
        m.Einfaerben(hinten, RGB(0, 255, 255));
        const QImage img = bild();
        for (QLabel* l : {m.Label1, m.Label3, m.Label4})
            EXPECT_GE(sicht::Spannweite(img, l->geometry()), Lesbar) << l->text().toStdString() << " on " << hinten;
    }
}

TEST_F(Sight, HeadersAndDurationsReadWholeAtEveryFontAndScreen) {
    frmMain& m = main();
    for (kioskgrid::FlexGrid* g : {m.MSFlexGrid1, m.MSFlexGrid2}) {
        g->setRows(3);
        g->setTextMatrix(1, 3, QStringLiteral("00:00"));
        g->setTextMatrix(2, 3, QStringLiteral("123:45"));  // a DJ mix
    }
    m.TabellenBeschriften(false);
    // With the lock beside the playlist on small screens its columns are narrowest.
    m.Schloss->show();
    for (QSize s : {QSize(800, 600), QSize(1024, 600), QSize(1024, 768), QSize(1280, 800), QSize(1920, 1080)})
        for (int font : {8, 10, 12, 18}) {
            sized(s.width(), s.height(), font);
            for (kioskgrid::FlexGrid* g : {m.MSFlexGrid1, m.MSFlexGrid2}) {
                QCoreApplication::processEvents();
                const QImage img = g->grab().toImage();
                const int rowPx = platform::twipsToPx(g->RowHeight());
                int left = 0;
                for (int c = 0; c < 4; ++c) {
                    const int x0 = platform::twipsToPx(left), x1 = platform::twipsToPx(left + g->ColWidth(c));
                    left += g->ColWidth(c);
                    for (int r = 0; r < 3; ++r) {
                        const QString t = g->TextMatrix(r, c);
                        if (t.isEmpty()) continue;
                        // The cell without its grid lines.
                        const QRect zelle(x0, r * rowPx, x1 - x0 - 1, rowPx - 1);
                        const QRect tinte = sicht::Tinte(img, zelle, img.pixelColor(zelle.topLeft() + QPoint(1, 1)));
                        const QFont f = platform::vbFont(g->FontName(), font, r == 0);
                        EXPECT_GE(tinte.width(), tintenbreite(t, f) - 1)
                            << t.toStdString() << " at " << s.width() << "x" << s.height() << " font " << font;
                    }
                }
            }
        }
}

TEST_F(Sight, TheBarsCaptionReadsWholeWhateverTheSongsLength) {
    frmMain& m = main();
    m.resize(1024, 768);
    m.Form_Resize();
    m.Einfaerben(RGB(0, 0, 255), RGB(0, 255, 255));
    m.Timer1->setEnabled(true);
    struct Lied {
        const char* name;
        int ms;
    };
    for (const Lied& l : {Lied{"kurz.mp3", 25000}, Lied{"Ein langer Liedtitel 1.mp3", 75000},
                          Lied{"drei Minuten.mp3", 180000}}) {
        const QString name = QString::fromUtf8(l.name);
        m.MSFlexGrid2->setRows(1);
        queue(archiveSong(name, l.ms));
        if (PlayerStatus(m.AktPlayer) != 2) m.Naechstes();
        ASSERT_TRUE(runUntil([&] { return m.Balkentext->text().contains(l.ms > 60000 ? name : QStringLiteral(":")); }, 3000))
            << l.name << " [" << m.Balkentext->text().toStdString() << "] rows " << playlistRows() << " status " << PlayerStatus(m.AktPlayer);
        m.Zeitbalken();
        const QImage img = bild();
        const QRect bar = m.Balken->geometry();
        // Under the note's lower edge, which reaches into the bar.
        const QRect caption = m.Balkentext->geometry().adjusted(0, 3, 0, -3);
        const QRect zeile(caption.left(), caption.top(), img.width() - caption.left(), caption.height());
        const QColor grund = img.pixelColor(caption.left() + 1, caption.top());
        const int soll = tintenbreite(m.Balkentext->text().trimmed(), m.Balkentext->font());
        EXPECT_GE(sicht::Tinte(img, zeile, grund).width(), soll - 1) << l.name << " bar " << bar.width();
        EXPECT_GE(sicht::Spannweite(img, caption), Lesbar) << l.name;
        // On to the next song.
        PlayerStop(m.AktPlayer);
        m.MSFlexGrid2->setRows(1);
        vt.advance(500);
    }
}

// A DJ mix of 101 minutes: the bar fills the width and no more, and the note, the
// guests' only pause, moves along it on the mix's own scale and stays on the screen.
TEST_F(Sight, TheNoteOfA101MinuteMixStaysOnTheScreenToItsEnd) {
    frmMain& m = main();
    testmedia::SilentOptions o;
    o.bitrateKbps = 32;
    o.tag = tag(QStringLiteral("DJ Mix"), QStringLiteral("Band"));
    queue(archivePath(testmedia::writeSilentMp3(dir + "/mix.mp3", 101 * 60000, o)));
    m.Timer1->setEnabled(true);
    ASSERT_TRUE(runUntil([&] { return PlayerStatus(m.AktPlayer) == 2 && m.Liedlaenge == 6060; }, 3000));
    m.Timer1->setEnabled(false);
    const int16_t k = m.AktPlayer;
    for (QSize s : {QSize(800, 600), QSize(1024, 768), QSize(1920, 1080)})
        for (int font : {8, 18}) {
            sized(s.width(), s.height(), font);
            m.BalkenLaenge = 0;  // as a mix started at this size
            const int W = m.Width() - 2 * platform::TwLeft(m.Balken);
            for (int sekunde : {0, 12 * 60, 50 * 60, 100 * 60, 6059}) {
                const std::string wo = std::to_string(s.width()) + "x" + std::to_string(s.height()) + " at " +
                                       std::to_string(sekunde) + " s, font " + std::to_string(font);
                PlayerStop(k);
                PlayerStartSetzen(k, sekunde * 1000);
                PlayerAbspielen(k);
                m.Zeitbalken();
                EXPECT_TRUE(m.Balkentext->text().contains(QStringLiteral("101:00   DJ Mix"))) << wo;
                const QRect bar = m.Balken->geometry(), note = m.Positionsgrafik->geometry();
                EXPECT_EQ(platform::TwWidth(m.Balken), W) << wo;
                EXPECT_LE(bar.right(), m.width() - 1) << wo;
                EXPECT_LE(note.right(), m.width() - 1) << wo;
                EXPECT_TRUE(m.Positionsgrafik->isVisible()) << wo;
                // Its centre over the playing position, until the screen's edge holds it.
                const double soll = bar.left() + double(sekunde) / 6060 * bar.width();
                if (soll + note.width() / 2.0 < m.width()) {
                    EXPECT_NEAR(note.center().x(), soll, 2) << wo;
                }
            }
        }
}

TEST_F(Sight, NoTwoButtonsOverlapAndTheNotesLaneStaysFree) {
    frmMain& m = main();
    // With a password the lock shows, without one it is hidden and needs no room.
    for (bool schloss : {true, false}) {
        m.Schloss->setVisible(schloss);
        for (QSize s : {QSize(800, 600), QSize(1024, 600), QSize(1024, 768), QSize(1280, 800), QSize(1366, 768),
                        QSize(1280, 1024), QSize(1920, 1080), QSize(2560, 1440)}) {
            sized(s.width(), s.height());
            const std::string wo =
                std::to_string(s.width()) + "x" + std::to_string(s.height()) + (schloss ? " lock" : "");
            std::vector<std::pair<QString, QRect>> knoepfe;
            for (Funbutton* b : m.touchButtons()) {
                if (b == m.Schloss2) {
                    EXPECT_EQ(b->geometry(), m.Schloss->geometry()) << wo;  // one of the two shows
                    continue;
                }
                if (b == m.Positionsgrafik || b->isHidden()) continue;
                knoepfe.emplace_back(b->objectName(), b->geometry());
                EXPECT_TRUE(m.rect().contains(b->geometry())) << b->objectName().toStdString() << " " << wo;
            }
            // The note travels along the bar, from its rest at the bar's left end to the right edge.
            const QRect note = m.Positionsgrafik->geometry();
            knoepfe.emplace_back(QStringLiteral("Bahn der Note"),
                                 QRect(note.left(), note.top(), m.width() - note.left(), note.height()));
            for (size_t i = 0; i < knoepfe.size(); ++i)
                for (size_t j = i + 1; j < knoepfe.size(); ++j)
                    EXPECT_FALSE(knoepfe[i].second.intersects(knoepfe[j].second))
                        << knoepfe[i].first.toStdString() << " / " << knoepfe[j].first.toStdString() << " at " << wo;
            EXPECT_LE(m.Balken->geometry().bottom(), m.height()) << wo;
        }
    }
}

// Both keyboards at every screen size: each key whole inside the screen, uncovered where
// a finger taps it, apart from the others and with its caption fitting; where the
// designed keyboard fits, it is the designed one.
TEST_F(Sight, EveryKeyOfBothKeyboardsLiesWholeOnEveryScreen) {
    frmMain& m = main();
    frmStart::instance().txtPasswort->setText(QStringLiteral("qay"));
    m.Schloss->show();
    m.MSFlexGrid1->setRows(3);
    ctlVirtuelleTastatur& k = *m.ctlVirtuelleTastatur1;
    for (QSize s : {QSize(640, 480), QSize(800, 600), QSize(1024, 600), QSize(1024, 768), QSize(1280, 1024),
                    QSize(1920, 1080)})
        for (int font : {8, 18})
            for (bool passwort : {false, true}) {
                sized(s.width(), s.height(), font);
                const std::string wo = std::to_string(s.width()) + "x" + std::to_string(s.height()) + " font " +
                                       std::to_string(font) + (passwort ? " password" : " search");
                if (passwort)
                    m.Schloss_Click();
                else
                    m.Sortieren(true, false);
                ASSERT_TRUE(k.isVisible()) << wo;
                std::vector<TastaturTaste*> tasten;
                for (int16_t n : k.loadedKeys())
                    if (k.cmdKey(n)->isVisibleTo(&k)) tasten.push_back(k.cmdKey(n));
                for (int16_t n = 200; n <= 202; ++n)
                    if (k.cmdSonder(n)->isVisibleTo(&k)) tasten.push_back(k.cmdSonder(n));
                ASSERT_EQ(tasten.size(), passwort ? 29u : 41u) << wo;
                QString alle;
                for (size_t i = 0; i < tasten.size(); ++i) {
                    TastaturTaste* t = tasten[i];
                    alle += t->text();
                    const QRect r(t->mapTo(&m, QPoint(0, 0)), t->size());
                    const std::string name = t->text().toStdString() + " " + wo;
                    EXPECT_TRUE(m.rect().contains(r)) << name;
                    EXPECT_EQ(m.childAt(r.center()), t) << name;
                    const int textbreite = t->fontMetrics().horizontalAdvance(t->text());
                    const int bild = t->icon().isNull() ? 0 : t->iconSize().width();
                    EXPECT_LE(std::max(textbreite, bild), t->width() - 8) << name;
                    EXPECT_LE(t->fontMetrics().height() + (bild ? t->iconSize().height() : 0), t->height()) << name;
                    for (size_t j = i + 1; j < tasten.size(); ++j)
                        EXPECT_FALSE(t->geometry().intersects(tasten[j]->geometry()))
                            << name << " / " << tasten[j]->text().toStdString();
                }
                for (QChar c : QStringLiteral("1QAÄ")) EXPECT_EQ(alle.contains(c), c != u'1' || !passwort) << wo;
                EXPECT_EQ(alle.contains(QStringLiteral("Löschen")), !passwort) << wo;
                // The designed keys wherever the designed keyboard fits.
                if (s.width() >= 1024 && s.height() >= 768) {
                    EXPECT_EQ(platform::TwWidth(tasten.front()), 1200) << wo;
                }
                vt.advance(6000);
                ASSERT_FALSE(k.isVisible()) << wo;
            }
}

TEST_F(Sight, TheKeyboardShowsItsOwnPanelBetweenAndBesideItsKeys) {
    frmMain& m = main();
    m.Einfaerben(RGB(0, 0, 255), RGB(0, 255, 255));
    ctlVirtuelleTastatur& k = *m.ctlVirtuelleTastatur1;
    k.HideSichtbar(false);
    k.LoeschenSichtbar(false);
    k.EnterSichtbar(false);
    k.KeyBackColor(RGB(0, 255, 255));
    k.Tastatur_Ini(0, QStringLiteral(" AB"));
    k.setLeft(600);
    k.setTop(600);
    k.show();
    const QImage img = bild();
    const QRect r = k.geometry();
    const QColor blau = platform::vbColor(RGB(0, 0, 255));
    // The half-key gap before "A", and the margins right of and under the keys.
    const QRect a = k.cmdKey(k.loadedKeys().front())->geometry().translated(r.topLeft());
    for (QPoint p : {QPoint(r.left() + 3, r.top() + 3), QPoint(r.right() - 2, r.top() + 3), QPoint(a.left() + 3, r.bottom() - 3)}) {
        EXPECT_NE(img.pixelColor(p), blau) << p.x() << "," << p.y();
        EXPECT_EQ(img.pixelColor(p), img.pixelColor(r.left() + 3, r.top() + 3));
    }
}

TEST_F(Sight, TheGamesButtonsShowASymbolThatFillsThem) {
    frmStart& s = frmStart::instance();
    s.PicFarbe->setBackColor(RGB(0, 255, 255));
    s.PicHintergrundfarbe->setBackColor(RGB(0, 0, 255));
    bool gezeigt = false;
    frmTicTacToe::setShowHook([&](frmTicTacToe& f) {
        gezeigt = true;
        for (Funbutton* b : {f.cmdNeu, f.cmdEnde}) {
            QCoreApplication::processEvents();
            const QImage img = b->grab().toImage();
            const QRect gemalt = sicht::Tinte(img, img.rect(), img.pixelColor(0, 0));
            const double anteil = sicht::Fuellanteil(img);
            EXPECT_GE(anteil, 0.45) << b->objectName().toStdString();
            // Centred on the button, not in a corner of it.
            EXPECT_NEAR(gemalt.center().x(), img.width() / 2.0, img.width() * 0.12);
            EXPECT_NEAR(gemalt.center().y(), img.height() / 2.0, img.height() * 0.12);
        }
    });
    frmTicTacToe::Anzeigen(&main());
    EXPECT_TRUE(gezeigt);
}

TEST_F(Sight, TheInformationPagesOkReadsOnItsButtonUpAndPressed) {
    bool gezeigt = false;
    frmWerbung::setShowHook([&](frmWerbung& f) {
        gezeigt = true;
        Funbutton& ok = f.FunbuttonOK();
        ok.show();
        QCoreApplication::processEvents();
        // The letters stand in the middle of the button's shape, shifted with it when pressed.
        const QRect mitte(18, 12, 26, 14);
        EXPECT_GE(sicht::Spannweite(ok.grab().toImage(), mitte), Lesbar);
        EXPECT_GE(sicht::Spannweite(ok.Flaeche(1), mitte.translated(4, 3)), Lesbar);
    });
    frmWerbung::Anzeigen(&main());
    EXPECT_TRUE(gezeigt);
}

}  // namespace
