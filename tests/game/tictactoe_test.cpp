// The game: turns, wins, the idle close, its colours, and the main screen's openers.
#include "controls/Funbutton/Funbutton.h"
#include "game/ctlSmilie.h"
#include "game/frmTicTacToe.h"
#include "game_support.h"
#include "info/frmWerbung.h"
#include "kiosk/main_support.h"

#include <functional>
#include <vector>

namespace {

class GameTest : public MainScreenTest {
protected:
    void SetUp() override {
        MainScreenTest::SetUp();
        // The start dialog's countdown would hand over to the main screen meanwhile.
        frmStart::instance().TimerAutostart->setEnabled(false);
    }
    void TearDown() override {
        frmTicTacToe::setShowHook(nullptr);
        frmWerbung::setShowHook(nullptr);
        MainScreenTest::TearDown();
    }

    // Plays the game in place of the modal loop.
    void spiele(const std::function<void(frmTicTacToe&)>& body) {
        bool ran = false;
        frmTicTacToe::setShowHook([&](frmTicTacToe& f) {
            ran = true;
            body(f);
        });
        frmTicTacToe::Anzeigen();
        EXPECT_TRUE(ran);
        EXPECT_EQ(frmTicTacToe::current(), nullptr);
    }
    static void zuege(frmTicTacToe& f, std::initializer_list<int> zellen) {
        for (int i : zellen) gametest::tap(f.ctlSmilie1[static_cast<size_t>(i)]);
    }
    static int32_t farbe(frmTicTacToe& f, int i) { return f.ctlSmilie1[static_cast<size_t>(i)]->Farbe(); }
    static bool sichtbar(frmTicTacToe& f, int i) { return f.ctlSmilie1[static_cast<size_t>(i)]->VisibleMy(); }
    static bool lacht(frmTicTacToe& f, int i) { return f.ctlSmilie1[static_cast<size_t>(i)]->shape("Shape4(0)").visible; }
};


}  // namespace

TEST_F(GameTest, TurnsAlternateAndATakenCellOnlyRestartsTheIdleTimer) {
    spiele([&](frmTicTacToe& f) {
        EXPECT_TRUE(f.isVisible());
        for (int i = 0; i < 9; ++i) EXPECT_FALSE(sichtbar(f, i));
        zuege(f, {4});
        EXPECT_EQ(farbe(f, 4), frmTicTacToe::Gelb);
        EXPECT_EQ(f.Spieler, 2);
        seconds(15);
        zuege(f, {4});  // taken: no mark, still green's turn, but the 20 s start again
        EXPECT_EQ(farbe(f, 4), frmTicTacToe::Gelb);
        EXPECT_EQ(f.Spieler, 2);
        seconds(15);
        EXPECT_TRUE(f.isVisible());
        zuege(f, {0});
        EXPECT_EQ(farbe(f, 0), frmTicTacToe::Gruen);
        seconds(19);
        EXPECT_TRUE(frmTicTacToe::visible());
        seconds(1);
        EXPECT_FALSE(frmTicTacToe::visible());  // the abandoned game has closed
    });
}

TEST_F(GameTest, MiddleColumnWinPalesTheRestAndStopsThePlay) {
    spiele([&](frmTicTacToe& f) {
        zuege(f, {1, 0, 4, 2, 3, 5, 7});  // yellow 1 4 3 7, green 0 2 5
        EXPECT_TRUE(f.SpielEnde);
        for (int i : {1, 4, 7}) {
            EXPECT_EQ(farbe(f, i), frmTicTacToe::Gelb) << i;
            EXPECT_TRUE(lacht(f, i)) << i;
        }
        EXPECT_EQ(farbe(f, 3), frmTicTacToe::GelbBlass);
        EXPECT_TRUE(lacht(f, 3));
        for (int i : {0, 2, 5}) {
            EXPECT_EQ(farbe(f, i), frmTicTacToe::GruenBlass) << i;
            EXPECT_FALSE(lacht(f, i)) << i;
        }
        zuege(f, {6});
        EXPECT_FALSE(sichtbar(f, 6));

        // A new game: yellow begins on a cleared board.
        gametest::tap(f.cmdNeu);
        EXPECT_FALSE(f.SpielEnde);
        EXPECT_FALSE(sichtbar(f, 1));
        zuege(f, {6});
        EXPECT_EQ(farbe(f, 6), frmTicTacToe::Gelb);
        EXPECT_TRUE(lacht(f, 6));
    });
}

TEST_F(GameTest, GreenWinsTheMiddleRowAndYellowFrowns) {
    spiele([&](frmTicTacToe& f) {
        zuege(f, {0, 3, 1, 4, 8, 5});  // yellow 0 1 8, green 3 4 5
        EXPECT_TRUE(f.SpielEnde);
        for (int i : {3, 4, 5}) {
            EXPECT_EQ(farbe(f, i), frmTicTacToe::Gruen) << i;
            EXPECT_TRUE(lacht(f, i)) << i;
        }
        for (int i : {0, 1, 8}) {
            EXPECT_EQ(farbe(f, i), frmTicTacToe::GelbBlass) << i;
            EXPECT_FALSE(lacht(f, i)) << i;
        }
        zuege(f, {2});
        EXPECT_FALSE(sichtbar(f, 2));
    });
}

TEST_F(GameTest, OnlyTheFirstCompletedLineStaysBright) {
    spiele([&](frmTicTacToe& f) {
        zuege(f, {0, 3, 1, 5, 4, 7, 6, 8, 2});  // the last mark completes row 0 1 2 and diagonal 2 4 6
        EXPECT_TRUE(f.SpielEnde);
        for (int i : {0, 1, 2}) EXPECT_EQ(farbe(f, i), frmTicTacToe::Gelb) << i;
        for (int i : {4, 6}) EXPECT_EQ(farbe(f, i), frmTicTacToe::GelbBlass) << i;
    });
}

TEST_F(GameTest, FullBoardWithoutALineChangesNothing) {
    spiele([&](frmTicTacToe& f) {
        zuege(f, {0, 1, 2, 4, 3, 5, 7, 6, 8});
        EXPECT_FALSE(f.SpielEnde);
        for (int i : {0, 2, 3, 7, 8}) EXPECT_EQ(farbe(f, i), frmTicTacToe::Gelb) << i;
        for (int i : {1, 4, 5, 6}) EXPECT_EQ(farbe(f, i), frmTicTacToe::Gruen) << i;
        for (int i = 0; i < 9; ++i) EXPECT_TRUE(lacht(f, i)) << i;
    });
}

TEST_F(GameTest, TakesTheStartDialogsColoursAndClosesByItsButton) {
    frmStart& s = frmStart::instance();
    s.PicHintergrundfarbe->setBackColor(platform::RGB(0, 0, 128));
    s.PicFarbe->setBackColor(platform::RGB(200, 30, 30));
    spiele([&](frmTicTacToe& f) {
        EXPECT_EQ(f.windowTitle(), "Tic Tac Toe");
        EXPECT_EQ(f.BackColor(), platform::RGB(0, 0, 128));
        EXPECT_EQ(f.cmdNeu->ColorMy, platform::RGB(200, 30, 30));
        EXPECT_NE(f.cmdNeu->IniState(), 0);
        EXPECT_EQ(f.ctlSmilie1[8]->shape("shpRechteck").fill, platform::RGB(0, 0, 128));
        EXPECT_EQ(frmTicTacToe::Fuellfarbe(f.Shape1[0]), platform::vbWhite);
        for (size_t i = 4; i < 8; ++i) EXPECT_EQ(frmTicTacToe::Fuellfarbe(f.Shape1[i]), f.cmdNeu->Schattenfarbe());
        gametest::tap(f.cmdEnde);
        EXPECT_FALSE(f.isVisible());
    });
}

TEST_F(GameTest, SmileyButtonOpensTheGameEachTimeAndLabelsWaitForTheHelpTour) {
    frmMain& m = main();
    int spiele = 0;
    frmTicTacToe::setShowHook([&](frmTicTacToe& f) {
        ++spiele;
        // Modal: while it shows, a further release does not open a second game.
        emit m.cmdSmilie->MouseUp(1, 0, 0, 0);
        gametest::tap(f.cmdEnde);
    });
    emit m.cmdSmilie->MouseUp(1, 0, 0, 0);
    emit m.cmdSmilie->MouseUp(1, 0, 0, 0);
    EXPECT_EQ(spiele, 2);

    int seiten = 0;
    frmWerbung::setShowHook([&](frmWerbung&) { ++seiten; });
    m.HilfeLaeuft = true;
    gametest::tap(m.Label5, {5, 5});
    gametest::tap(m.Label4, {5, 5});
    EXPECT_EQ(seiten, 0);
    m.HilfeLaeuft = false;
    gametest::tap(m.Label5, {5, 5});
    gametest::tap(m.Label4, {5, 5});
    EXPECT_EQ(seiten, 2);
    EXPECT_TRUE(testenv::reportedErrors().empty());
}
