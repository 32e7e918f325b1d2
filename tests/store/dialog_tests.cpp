// The Player Select and High Scores dialogs, run modally on the scripted back end against a
// fresh settings file.
#include "store/dialogs/high_scores_dialog.h"
#include "store/dialogs/player_dialog.h"
#include "store/dialogs/statistics_dialog.h"
#include "store_fixture.h"

namespace {

TEST_F(DialogTest, AnEmptyNameIsRefusedAndTheDialogStaysOpen) {
    bool refusalShown = false;
    backend.PressKey(50, kHidEnter);  // OK with no name: the message box opens over the dialog
    backend.After(50, [&] {
        // The message box is drawn in the middle of the screen, over the dialog.
        refusalShown = backend.PresentCount() > 0;
    });
    backend.PressKey(50, kHidEnter);  // closes the message box
    Type({kHidB, kHidO, kHidEnter});
    EXPECT_TRUE(SelectPlayer());
    EXPECT_TRUE(refusalShown);
    EXPECT_EQ(userPreferences.HumanName, "bo");
    EXPECT_TRUE(backend.ScriptDone());
}

TEST_F(DialogTest, HighScoresResetRemovesTheTable) {
    ASSERT_TRUE(AddScore("Golf", "ann", 300));
    ASSERT_TRUE(AddScore("Golf", "bo", 500));
    // "&Reset" of the menu form sits at (216, 310) inside the dialog at (200, 100).
    backend.Click(50, 200 + 216 + 45, 100 + 310 + 15);
    ShowHighScores("Golf", 0);
    EXPECT_EQ(CountScores("Golf"), 0);
    EXPECT_FALSE(KeyExists(ScoresPath("Golf")));
}

// A player name longer than its column is cut short: nothing may be drawn right of the dialog,
// where closing it would leave the text on the table.
TEST_F(DialogTest, ALongNameStaysInsideItsColumn) {
    ASSERT_TRUE(AddScore("Golf", std::string(60, 'm'), 300));
    bool untouchedRightOfDialog = false;
    backend.After(50, [&] {
        const Pixel* now = BufferPixels(screen);
        untouchedRightOfDialog = true;
        for (int y = 100; y < 460; ++y)
            for (int x = 561; x < 800; ++x) untouchedRightOfDialog = untouchedRightOfDialog && now[y * 800 + x] == 0x123456;
    });
    backend.PressKey(10, kHidEscape);
    SelectBuffer(screen);
    SetColor(0x123456);
    FillRect(0, 799, 0, 599);
    HighScoresDialog dialog("Golf", 0, false);
    dialog.RunModal();
    EXPECT_TRUE(untouchedRightOfDialog);
}

TEST_F(DialogTest, EndOfGameFormOffersPlayAgainAndHighlightsTheFirstEqualScore) {
    ASSERT_TRUE(AddScore("Golf", "ann", 400));
    ASSERT_TRUE(AddScore("Golf", "bo", 400));
    HighScoresDialog dialog("Golf", 400, true);
    ASSERT_EQ(dialog.Entries().size(), 2u);
    EXPECT_EQ(HighlightedPlace(dialog.Entries(), 400), 0);
    // "&Play Again" at (120, 317), 120 x 30.
    backend.Click(50, 200 + 120 + 60, 100 + 317 + 15);
    EXPECT_EQ(dialog.RunModal(), HighScoresDialog::kPlayAgain);
    EXPECT_EQ(CountScores("Golf"), 2);
}

// All games in one table with the current one highlighted; Reset asks, and only Yes forgets.
TEST_F(DialogTest, StatisticsHighlightTheCurrentGameAndResetAsksFirst) {
    userPreferences.CurrentPlayer = 20;
    CountDealPlayed(20, "Golf");
    CountDealWon(20, "Golf", 90, 75);
    const std::vector<std::string> names = {"Agnes", "Golf", "Spider"};
    // The rows lie 19 pixels apart from 74 pixels into the dialog at (30, 40), text around each
    // row's y; Golf's row is the second. The current row lies on a band tinted towards the text
    // colour, which shows left of the names.
    auto distanceToText = [&](int row) {
        const Pixel p = BufferPixels(screen)[(40 + 74 + 19 * row) * 800 + 30 + 24 - 3], t = CurrentTheme().textColor;
        int sum = 0;
        for (int shift : {0, 8, 16}) sum += std::abs(static_cast<int>(p >> shift & 0xFF) - static_cast<int>(t >> shift & 0xFF));
        return sum;
    };
    bool highlightOnGolfOnly = false;
    std::vector<int32_t> playedAfterNo, playedAfterYes;
    backend.After(50, [&] {
        highlightOnGolfOnly = distanceToText(1) + 30 < std::min(distanceToText(0), distanceToText(2));
    });
    // "&Reset" at (400, 470), 90 x 30: the question comes first, and No keeps the figures;
    // so does Enter, whose default is No.
    for (const int answer : {kHidN, kHidEnter}) {
        backend.Click(10, 30 + 400 + 45, 40 + 470 + 15);
        backend.PressKey(50, answer);
        backend.After(50, [&] { playedAfterNo.push_back(ReadStatistics(20, "Golf").played); });
    }
    backend.Click(10, 30 + 400 + 45, 40 + 470 + 15);
    backend.PressKey(50, kHidY);
    backend.After(50, [&] { playedAfterYes.push_back(ReadStatistics(20, "Golf").played); });
    backend.PressKey(50, kHidEscape);
    StatisticsDialog dialog(names, "Golf", 20);
    ASSERT_EQ(dialog.Figures().size(), 3u);
    EXPECT_EQ(dialog.Figures()[1].won, 1);
    EXPECT_EQ(dialog.RunModal(), StatisticsDialog::kClosed);
    EXPECT_TRUE(highlightOnGolfOnly);
    EXPECT_EQ(playedAfterNo, (std::vector<int32_t>{1, 1}));
    EXPECT_EQ(playedAfterYes, std::vector<int32_t>{0});
    EXPECT_EQ(dialog.Figures()[1].played, 0);
    EXPECT_EQ(StatisticsDialog::Duration(75), "1:15");
    EXPECT_EQ(StatisticsDialog::Duration(7384), "2:03:04");
}

}  // namespace
