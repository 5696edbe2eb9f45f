// The on-screen keyboard as the main screen uses it: layouts, key presses, special keys.
#include "base/ErrPtnr.h"
#include "controls/ctlVirtuelleTastatur/ctlVirtuelleTastatur.h"
#include "platform/mixer.h"
#include "platform/program.h"
#include "platform/twipsgeom.h"
#include "support/testenv.h"

#include <QApplication>
#include <QDataStream>
#include <QFile>
#include <QLineEdit>
#include <QMouseEvent>
#include <QRegularExpression>
#include <QSet>
#include <gtest/gtest.h>

namespace {

const QStringList kSuche = {QStringLiteral(" 1234567890"), QStringLiteral("QWERTZUIOPÜBS"),
                            QStringLiteral(" ASDFGHJKLÖÄ"), QStringLiteral("  YXCVBNMSpace")};
const QStringList kSchloss = {QStringLiteral("QWERTZUIOPÜ"), QStringLiteral(" ASDFGHJKLÖÄ"),
                              QStringLiteral("  YXCVBNM")};

// As the search slide-in and the lock entry of the main screen prepare the keyboard.
void layOut(ctlVirtuelleTastatur& k, const QStringList& rows, bool loeschen, int32_t farbe = 0xC0FFC0) {
    k.LoeschenSichtbar(loeschen);
    k.HideSichtbar(false);
    k.EnterSichtbar(false);
    k.KeyHeight(1200);
    k.KeyWidth(1200);
    k.KeyBackColor(farbe);
    for (int i = 0; i < rows.size(); ++i) k.Tastatur_Ini(static_cast<int16_t>(i), rows[i]);
}

void press(QWidget* key) {
    ASSERT_NE(key, nullptr);
    testenv::tap(key);
}

struct Host {
    QWidget form;
    QLineEdit* box;
    ctlVirtuelleTastatur* kb;
    QStringList clicks;
    Host() {
        form.resize(1024, 768);
        box = new QLineEdit(&form);
        kb = new ctlVirtuelleTastatur(&form);
        QObject::connect(kb, &ctlVirtuelleTastatur::KeyClick, &form, [this](const QString& d) { clicks << d; });
        form.show();
        form.activateWindow();
        box->setFocus();
        QApplication::processEvents();
    }
};

QString traceEntry(int i) { return ErrPtnr::ring().at(i).mid(9); }  // without the time of day

TEST(KeyboardControl, WorkedExampleSearchKeyboard) {
    ctlVirtuelleTastatur k;
    layOut(k, kSuche, true);
    struct Row {
        int top;
        QString caps;
        int firstLeft;
        int firstNumber;
    };
    const Row rows[] = {{0, QStringLiteral("1234567890"), 600, 2},
                        {1200, QStringLiteral("QWERTZUIOPÜ"), 0, 12},
                        {2400, QStringLiteral("ASDFGHJKLÖÄ"), 600, 24},
                        {3600, QStringLiteral("YXCVBNM"), 1200, 37}};
    std::vector<int16_t> expectedNumbers;
    for (const Row& r : rows) {
        for (int i = 0; i < r.caps.size(); ++i) {
            const int16_t n = static_cast<int16_t>(r.firstNumber + i);
            expectedNumbers.push_back(n);
            const TastaturTaste* key = k.cmdKey(n);
            ASSERT_NE(key, nullptr) << n;
            EXPECT_EQ(key->text(), QString(r.caps[i])) << n;
            EXPECT_EQ(platform::TwLeft(key), r.firstLeft + 1200 * i) << n;
            EXPECT_EQ(platform::TwTop(key), r.top) << n;
            EXPECT_FALSE(key->isHidden());
        }
    }
    expectedNumbers.push_back(44);
    EXPECT_EQ(k.loadedKeys(), expectedNumbers);
    const TastaturTaste* space = k.cmdKey(44);
    EXPECT_EQ(space->text(), QStringLiteral(" "));
    EXPECT_EQ(platform::TwLeft(space), 9600);
    EXPECT_EQ(platform::TwWidth(space), 3600);
    const platform::TwipsRect bs = platform::twips(k.cmdSonder(201));
    EXPECT_EQ(bs.Left, 13200);
    EXPECT_EQ(bs.Top, 1200);
    EXPECT_EQ(bs.Width, 1710);
    EXPECT_EQ(bs.Height, 1200);
    EXPECT_FALSE(k.cmdSonder(201)->isHidden());
    EXPECT_TRUE(k.cmdSonder(200)->isHidden());
    EXPECT_TRUE(k.cmdSonder(202)->isHidden());
    EXPECT_TRUE(k.cmdKey(0)->isHidden());
    EXPECT_EQ(k.Width(), 15000);
    EXPECT_EQ(k.Height(), 5160);
    EXPECT_EQ(k.width(), 1000);
    EXPECT_EQ(k.height(), 344);
}

TEST(KeyboardControl, TwentyAlternatingLayoutsLeaveOnlyTheLatestKeys) {
    Host h;
    for (int round = 0; round < 20; ++round) {
        const bool suche = round % 2 == 0;
        layOut(*h.kb, suche ? kSuche : kSchloss, suche);
        QString expected;
        for (const QString& r : suche ? kSuche : kSchloss) expected += r;
        expected.remove(QLatin1Char(' ')).remove(QStringLiteral("BS"));
        if (suche) expected.replace(QStringLiteral("Space"), QStringLiteral(" "));

        QString shown;
        for (const int16_t n : h.kb->loadedKeys()) {
            ASSERT_LT(n, 200);
            ASSERT_FALSE(h.kb->cmdKey(n)->isHidden());
            shown += h.kb->cmdKey(n)->text();
        }
        EXPECT_EQ(shown, expected) << round;
        EXPECT_EQ(h.kb->Width(), suche ? 15000 : 13890) << round;
        EXPECT_EQ(h.kb->Height(), suche ? 5160 : 3960) << round;
        EXPECT_EQ(h.kb->cmdSonder(201)->isHidden(), !suche);
        // No hidden pile of old keys under the new ones: the widgets stay bounded.
        const auto keys = h.kb->findChildren<TastaturTaste*>();
        int visible = 0;
        for (auto* key : keys) visible += key->isHidden() ? 0 : 1;
        EXPECT_LE(keys.size(), 4 + 40);
        EXPECT_EQ(visible, expected.size() + (suche ? 1 : 0));

        // Every key of the new layout reports its caption.
        h.clicks.clear();
        for (const int16_t n : h.kb->loadedKeys()) press(h.kb->cmdKey(n));
        EXPECT_EQ(h.clicks.join(QString()), expected) << round;
    }
}

TEST(KeyboardControl, KeysNeverTakeTheFocusAndReportTheirCaption) {
    Host h;
    layOut(*h.kb, kSuche, true);
    ASSERT_EQ(QApplication::focusWidget(), h.box);
    press(h.kb->cmdKey(12));  // "Q"
    press(h.kb->cmdKey(44));  // Space
    press(h.kb->cmdSonder(201));
    EXPECT_EQ(h.clicks, (QStringList{QStringLiteral("Q"), QStringLiteral(" "), QStringLiteral("{BACKSPACE}")}));
    EXPECT_EQ(QApplication::focusWidget(), h.box);
    EXPECT_TRUE(h.box->text().isEmpty());  // the host writes the text, not the keyboard
}

// Taps made while the program was busy (a song starting blocks it for half a second) wait in the
// queue and arrive inside the event pump of the first press: each key is told in the order tapped.
TEST(KeyboardControl, TapsQueuedWhileBusyKeepTheirOrder) {
    Host h;
    layOut(*h.kb, kSuche, true);
    const auto queued = [](QWidget* key) {
        const QPointF at(5, 5);
        QCoreApplication::postEvent(key, new QMouseEvent(QEvent::MouseButtonPress, at, key->mapToGlobal(at),
                                                         Qt::LeftButton, Qt::LeftButton, Qt::NoModifier));
        QCoreApplication::postEvent(key, new QMouseEvent(QEvent::MouseButtonRelease, at, key->mapToGlobal(at),
                                                         Qt::LeftButton, Qt::NoButton, Qt::NoModifier));
    };
    queued(h.kb->cmdKey(16));       // "T"
    queued(h.kb->cmdKey(17));       // "Z"
    queued(h.kb->cmdSonder(201));   // Löschen
    queued(h.kb->cmdKey(18));       // "U"
    QApplication::processEvents();
    EXPECT_EQ(h.clicks, (QStringList{QStringLiteral("T"), QStringLiteral("Z"), QStringLiteral("{BACKSPACE}"),
                                     QStringLiteral("U")}));
}

TEST(KeyboardControl, EnterSendsReturnToTheFocusedTextBox) {
    Host h;
    h.kb->EnterSichtbar(false);
    h.kb->KeyWidth(1200);
    h.kb->KeyHeight(1200);
    h.kb->Tastatur_Ini(0, QStringLiteral("ABEnter"));
    EXPECT_FALSE(h.kb->cmdSonder(200)->isHidden());  // a row that places it shows it anyway
    int returns = 0;
    QObject::connect(h.box, &QLineEdit::returnPressed, [&] { ++returns; });
    h.box->setText(QStringLiteral("abc"));
    press(h.kb->cmdSonder(200));
    EXPECT_EQ(returns, 1);
    EXPECT_TRUE(h.clicks.isEmpty());
    EXPECT_EQ(h.box->text(), QStringLiteral("abc"));
    EXPECT_EQ(QApplication::focusWidget(), h.box);
}

TEST(KeyboardControl, HideHidesOnlyTheKeyboard) {
    Host h;
    h.kb->HideSichtbar(true);
    h.kb->Tastatur_Ini(0, QStringLiteral("XHide"));
    h.kb->setLeft(3000);
    h.kb->setTop(6000);
    h.kb->show();
    ASSERT_TRUE(h.kb->isVisible());
    press(h.kb->cmdSonder(202));
    EXPECT_FALSE(h.kb->isVisible());
    EXPECT_EQ(h.kb->Left(), 0);
    EXPECT_EQ(h.kb->Top(), -5000);
    EXPECT_TRUE(h.form.isVisible());
    EXPECT_TRUE(h.box->isVisible());
    EXPECT_TRUE(h.clicks.isEmpty());
}

TEST(KeyboardControl, BeforeTheFirstLayoutTheDesignKeysShow) {
    ctlVirtuelleTastatur k;
    EXPECT_EQ(k.Width(), 6390);
    EXPECT_EQ(k.Height(), 3900);
    EXPECT_EQ(k.cmdKey(0)->text(), QStringLiteral("A"));
    EXPECT_FALSE(k.cmdKey(0)->isHidden());
    EXPECT_EQ(k.cmdSonder(200)->text(), QStringLiteral("Eingabe"));
    EXPECT_EQ(k.cmdSonder(201)->text(), QStringLiteral("Löschen"));
    EXPECT_EQ(k.cmdSonder(202)->text(), QStringLiteral("Tastatur ausblenden"));
    for (int16_t i = 200; i <= 202; ++i) {
        EXPECT_FALSE(k.cmdSonder(i)->isHidden());
        EXPECT_EQ(k.cmdSonder(i)->focusPolicy(), Qt::NoFocus);
    }
    EXPECT_TRUE(k.loadedKeys().empty());
}

TEST(KeyboardControl, KeyBackColorAfterTheLayoutRecoloursOnlyTemplateAndSpecialKeys) {
    ctlVirtuelleTastatur k;
    k.KeyBackColor(0x0000FF);
    k.Tastatur_Ini(0, QStringLiteral("AB"));
    k.KeyBackColor(0x00FF00);
    EXPECT_EQ(k.cmdKey(1)->BackColor(), 0x0000FF);
    EXPECT_EQ(k.cmdKey(2)->BackColor(), 0x0000FF);
    EXPECT_EQ(k.cmdKey(0)->BackColor(), 0x00FF00);
    EXPECT_EQ(k.cmdSonder(200)->BackColor(), 0x00FF00);
    EXPECT_EQ(k.cmdKey(1)->palette().color(QPalette::Button), QColor(255, 0, 0));
}

TEST(KeyboardControl, LaterRowsWithoutRowZeroAddKeys) {
    ctlVirtuelleTastatur k;
    k.Tastatur_Ini(1, QStringLiteral("AB"));
    k.Tastatur_Ini(1, QStringLiteral("AB"));
    EXPECT_EQ(k.loadedKeys(), (std::vector<int16_t>{1, 2, 3, 4}));
    k.Tastatur_Ini(0, QStringLiteral("C"));
    EXPECT_EQ(k.loadedKeys(), (std::vector<int16_t>{1}));
    EXPECT_EQ(k.cmdKey(1)->text(), QStringLiteral("C"));
}

TEST(KeyboardControl, LetterKeyNumbered200OrMoreReportsNothing) {
    Host h;
    h.kb->KeyWidth(2);
    h.kb->Tastatur_Ini(1, QString(200, QLatin1Char(' ')) + QStringLiteral("X"));
    ASSERT_EQ(h.kb->loadedKeys(), (std::vector<int16_t>{201}));
    press(h.kb->cmdKey(201));
    EXPECT_TRUE(h.clicks.isEmpty());
}

TEST(KeyboardControl, PlaySoundWithoutTheSoundFileStaysSilent) {
    Host h;
    QFile::remove(platform::appPath() + QStringLiteral("/klick.wav"));
    testenv::reportedErrors().clear();
    h.kb->PlaySound = true;
    h.kb->Tastatur_Ini(0, QStringLiteral("ABS"));
    press(h.kb->cmdKey(1));
    press(h.kb->cmdSonder(201));
    EXPECT_EQ(h.clicks, (QStringList{QStringLiteral("A"), QStringLiteral("{BACKSPACE}")}));
    EXPECT_TRUE(testenv::reportedErrors().empty());
}

// A short loud 16-bit mono WAV at the mixer's rate.
void writeClick(const QString& path) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    QDataStream d(&f);
    d.setByteOrder(QDataStream::LittleEndian);
    const quint32 samples = 4410;
    f.write("RIFF");
    d << quint32(36 + samples * 2);
    f.write("WAVEfmt ");
    d << quint32(16) << quint16(1) << quint16(1) << quint32(platform::kMixRate) << quint32(platform::kMixRate * 2)
      << quint16(2) << quint16(16);
    f.write("data");
    d << quint32(samples * 2);
    for (quint32 i = 0; i < samples; ++i) d << qint16(i % 20 < 10 ? 12000 : -12000);
}

bool audible(const std::vector<int16_t>& pcm) {
    for (int16_t v : pcm)
        if (v != 0) return true;
    return false;
}

TEST(KeyboardControl, ClickSoundOnlyWhenPlaySoundIsOn) {
    platform::TestAudioOutput out;
    const QString wav = platform::appPath() + QStringLiteral("/klick.wav");
    writeClick(wav);
    Host h;
    h.kb->Tastatur_Ini(0, QStringLiteral("ABS"));
    out.pull(200);
    press(h.kb->cmdKey(1));
    EXPECT_FALSE(audible(out.pull(50)));
    h.kb->PlaySound = true;
    press(h.kb->cmdKey(1));
    EXPECT_TRUE(audible(out.pull(50)));
    out.pull(200);
    press(h.kb->cmdSonder(201));
    EXPECT_TRUE(audible(out.pull(50)));
    QFile::remove(wav);
}

TEST(KeyboardControl, RegistersWithTheTracer) {
    Host h;
    h.kb->KeyWidth(1100);
    EXPECT_EQ(traceEntry(1), QStringLiteral("[ctlVirtuelleTastatur] Public Property Let KeyWidth(Wert As Integer)"));
    EXPECT_EQ(ErrPtnr::ring().at(2), QStringLiteral("\tWert:\t1100"));

    h.kb->EnterSichtbar(false);
    EXPECT_EQ(traceEntry(1), QStringLiteral("[ctlVirtuelleTastatur] Public Property Let EnterSichtbar(Wert As Boolean)"));
    EXPECT_EQ(ErrPtnr::ring().at(2), QStringLiteral("\tWert:\tFalse"));

    h.kb->Tastatur_Ini(2, QStringLiteral("AB"));
    EXPECT_EQ(traceEntry(1), QStringLiteral("[ctlVirtuelleTastatur] Private Sub Tastatur_Sub(t$, X%, Y%)"));
    EXPECT_EQ(ErrPtnr::ring().at(2), QStringLiteral("\tt$:\tAB"));
    EXPECT_EQ(ErrPtnr::ring().at(3), QStringLiteral("\tX%:\t0"));
    EXPECT_EQ(ErrPtnr::ring().at(4), QStringLiteral("\tY%:\t1830"));  // template height 915 * 2
    EXPECT_EQ(traceEntry(5), QStringLiteral("[ctlVirtuelleTastatur] Public Sub Tastatur_Ini(Zeile%, Buchstaben$)"));
    EXPECT_EQ(ErrPtnr::ring().at(6), QStringLiteral("\tZeile%:\t2"));
    EXPECT_EQ(ErrPtnr::ring().at(7), QStringLiteral("\tBuchstaben$:\tAB"));

    h.kb->hide();
    h.kb->show();
    EXPECT_EQ(traceEntry(1), QStringLiteral("[ctlVirtuelleTastatur] Private Sub UserControl_Show()"));

    press(h.kb->cmdKey(1));
    QStringList tail;
    for (int i = 1; i <= ErrPtnr::ring().size(); ++i) tail << ErrPtnr::ring().at(i);
    const int down = tail.indexOf(QRegularExpression(QStringLiteral(".*cmdKey_MouseDown.*")));
    ASSERT_GE(down, 0);
    EXPECT_EQ(tail[down].mid(9), QStringLiteral("[ctlVirtuelleTastatur] Private Sub cmdKey_MouseDown(Index As Integer, "
                                                "Button As Integer, Shift As Integer, X As Single, Y As Single)"));
    EXPECT_EQ(tail[down + 1], QStringLiteral("\tIndex:\t1"));
    EXPECT_EQ(tail[down + 2], QStringLiteral("\tButton:\t1"));
    EXPECT_EQ(tail[down + 3], QStringLiteral("\tShift:\t0"));
    EXPECT_EQ(tail[down + 4], QStringLiteral("\tX:\t75"));
    EXPECT_EQ(tail[down + 5], QStringLiteral("\tY:\t75"));
    // The click comes on release, after the press.
    EXPECT_EQ(tail[down - 2].mid(9), QStringLiteral("[ctlVirtuelleTastatur] Private Sub cmdKey_Click(Index As Integer)"));
    EXPECT_EQ(tail[down - 1], QStringLiteral("\tIndex:\t1"));

    press(h.kb->cmdSonder(201));
    EXPECT_EQ(traceEntry(1), QStringLiteral("[ctlVirtuelleTastatur] Private Sub cmdSonder_MouseDown(Index As Integer, "
                                            "Button As Integer, Shift As Integer, X As Single, Y As Single)"));
    EXPECT_EQ(ErrPtnr::ring().at(2), QStringLiteral("\tIndex:\t201"));

    ctlVirtuelleTastatur fresh;
    EXPECT_EQ(traceEntry(1), QStringLiteral("[ctlVirtuelleTastatur] Private Sub UserControl_Initialize()"));
}

TEST(KeyboardControl, ErrorsGoToTheTracerUnderTheControlsName) {
    ctlVirtuelleTastatur k;
    testenv::reportedErrors().clear();
    testenv::setDefaultErrorAnswer(1);
    k.KeyHeight(-5);
    k.KeyWidth(1200);
    k.Tastatur_Ini(1, QString(30, QLatin1Char('W')) + QStringLiteral("Q"));
    testenv::setDefaultErrorAnswer(2);
    ASSERT_EQ(testenv::reportedErrors().size(), 2u);
    EXPECT_EQ(testenv::reportedErrors()[0].number, 380);
    EXPECT_EQ(testenv::reportedErrors()[0].module, QStringLiteral("ctlVirtuelleTastatur"));
    EXPECT_EQ(testenv::reportedErrors()[0].procedure, QStringLiteral("KeyHeight [LET]"));
    EXPECT_EQ(testenv::reportedErrors()[1].number, 6);
    EXPECT_EQ(testenv::reportedErrors()[1].procedure, QStringLiteral("Tastatur_Sub"));
    EXPECT_EQ(k.loadedKeys().size(), 28u);  // the keys up to the overflow stand
    EXPECT_EQ(platform::TwHeight(k.cmdKey(0)), 915);
}

}  // namespace
