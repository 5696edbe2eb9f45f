// The real message box in its nested event loop: while nobody watches, it answers
// itself with its default button once its time has passed on the program's clock.
#include "platform/dialogs.h"
#include "platform/program.h"
#include "platform/virtualtime.h"
#include "support/sicht.h"
#include "support/testenv.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QFile>
#include <QMessageBox>
#include <QPointer>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

class RealMessageBox : public ::testing::Test {
protected:
    void SetUp() override { platform::setAnswerer(nullptr); }
    void TearDown() override { platform::setAnswerer(&testenv::dialogs()); }

    // Runs `inside` once the box is up; a box still open after two real seconds is
    // closed by the test, so that a fault fails instead of hanging.
    static void whileOpen(std::function<void(QMessageBox&)> inside) {
        // The poll deletes itself once the box is up (it holds no reference to itself).
        auto* poll = new QTimer;
        poll->setInterval(5);
        QObject::connect(poll, &QTimer::timeout, [poll, inside] {
            QMessageBox* box = nullptr;
            for (QWidget* w : QApplication::topLevelWidgets())
                if (auto* b = qobject_cast<QMessageBox*>(w); b && b->isVisible()) box = b;
            if (!box) return;
            poll->stop();
            poll->deleteLater();
            QPointer<QMessageBox> open(box);
            inside(*box);
            QTimer::singleShot(2000, [open] {
                if (open) open->done(0);
            });
        });
        poll->start();
    }
};

// Every pixel of the window's outer ring stands out from its grey inside.
void expectFrame(const QImage& img, const char* what) {
    ASSERT_GT(img.width(), 20) << what;
    const QColor grund = img.pixelColor(8, img.height() / 2);
    QList<QPoint> ring;
    for (int x = 0; x < img.width(); ++x) ring << QPoint(x, 0) << QPoint(x, img.height() - 1);
    for (int y = 0; y < img.height(); ++y) ring << QPoint(0, y) << QPoint(img.width() - 1, y);
    int blass = 0;
    for (QPoint p : ring) blass += sicht::Kontrast(img.pixelColor(p), grund) < 3.0 ? 1 : 0;
    EXPECT_EQ(blass, 0) << what << ": of " << ring.size() << " pixels of the edge";
}

// Without a window manager (here the offscreen platform) no window gets a frame from
// outside: message boxes and dialogs draw their own, so they stand out from the grey
// dialog under them.
TEST_F(RealMessageBox, BoxesAndDialogsDrawAFrameOfTheirOwn) {
    const QPointer<QWidget> warnung = platform::showMessage(
        nullptr, QStringLiteral("Dieses Programm benötigt mindestens eine Auflösung von 1024 x 768 Pixel!"),
        platform::vbExclamation);
    ASSERT_TRUE(warnung);
    QCoreApplication::processEvents();
    expectFrame(warnung->grab().toImage(), "warning");
    warnung->close();

    bool gesehen = false;
    whileOpen([&](QMessageBox& box) {
        expectFrame(box.grab().toImage(), "question");
        gesehen = true;
        box.done(0);
    });
    platform::MsgBox(QStringLiteral("Dieses Lied wirklich löschen?"), platform::vbYesNo | platform::vbQuestion);
    EXPECT_TRUE(gesehen);

    // The error dialog, the tag editor and the file and colour dialogs are dialogs too.
    QDialog dialog;
    dialog.resize(400, 300);
    dialog.show();
    QCoreApplication::processEvents();
    expectFrame(dialog.grab().toImage(), "dialog");
}

// The lines of the protocol file that say a box answered itself.
int selfAnswerLines() {
    QFile f(platform::dataPath() + QStringLiteral("/") + platform::appTitle() + QStringLiteral(".EPT"));
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()).count(QStringLiteral("selbst beantwortet")) : 0;
}

TEST_F(RealMessageBox, UnattendedItAnswersWithItsDefaultAfterItsTimeOnTheVirtualClock) {
    platform::VirtualTime vt;
    const int lines = selfAnswerLines();
    struct Case {
        int style;
        int answer;
    };
    for (const Case c : {Case{platform::vbOKOnly | platform::vbCritical, platform::vbOK},
                         Case{platform::vbYesNo | platform::vbQuestion, platform::vbYes}}) {
        const platform::UnattendedMessages unattended(15000);
        bool openAt14999 = false;
        whileOpen([&](QMessageBox& box) {
            vt.advance(14999);
            openAt14999 = box.isVisible();
            vt.advance(1);
        });
        QElapsedTimer real;
        real.start();
        EXPECT_EQ(platform::MsgBox(QStringLiteral("Der angegebene Ordner wurde nicht gefunden!"), c.style), c.answer);
        EXPECT_TRUE(openAt14999);
        EXPECT_LT(real.elapsed(), 1500);  // closed by its own timer, not by the test's
        EXPECT_FALSE(QApplication::activeModalWidget());
    }
    EXPECT_EQ(selfAnswerLines() - lines, 2);  // one line for each box
}

TEST_F(RealMessageBox, OverAnotherProgramItTakesNoFocusAndClosesItself) {
    platform::VirtualTime vt;
    bool modal = true, activates = true, openAt4999 = false;
    whileOpen([&](QMessageBox& box) {
        // A modal window would take the keyboard from the running kiosk, for good without a window manager.
        modal = box.isModal() || QApplication::activeModalWidget();
        activates = !box.testAttribute(Qt::WA_ShowWithoutActivating) ||
                    !(box.windowFlags() & Qt::WindowDoesNotAcceptFocus);
        vt.advance(4999);
        openAt4999 = box.isVisible();
        vt.advance(1);
    });
    QElapsedTimer real;
    real.start();
    const int lines = selfAnswerLines();
    EXPECT_EQ(platform::MsgBoxBeside(QStringLiteral("Melotra läuft bereits."), platform::vbExclamation, 5000),
              platform::vbOK);
    EXPECT_EQ(selfAnswerLines(), lines);  // the protocol is the running kiosk's
    EXPECT_LT(real.elapsed(), 1500);
    EXPECT_FALSE(modal);
    EXPECT_FALSE(activates);
    EXPECT_TRUE(openAt4999);
}

TEST_F(RealMessageBox, WithSomebodyThereItWaitsForTheAnswer) {
    platform::VirtualTime vt;
    {
        const platform::UnattendedMessages unattended(15000);
    }  // over: boxes wait again
    bool stillOpen = false;
    whileOpen([&](QMessageBox& box) {
        vt.advance(3600000);
        stillOpen = box.isVisible();
        for (QAbstractButton* b : box.buttons())
            if (b->text() == QStringLiteral("&Nein")) b->click();
    });
    EXPECT_EQ(platform::MsgBox(QStringLiteral("Dieses Lied wirklich löschen?"), platform::vbYesNo), platform::vbNo);
    EXPECT_TRUE(stillOpen);
}

}  // namespace
