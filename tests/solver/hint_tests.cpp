// Hints through the real menu: the solver's next move outlined for two seconds in the theme's
// colour, at the cost of an undo, with the deal, the undo journal and the table under the outlines
// left as they were; "No moves left." when nothing can be played.
#include <chrono>
#include <thread>

#include "games/golf.h"
#include "shell/hint_search.h"
#include "solver/solver.h"
#include "tests/games/autoplayer.h"

namespace {

class HintTest : public AutoplayerTest {
protected:
    void SetUp() override {
        AutoplayerTest::SetUp();
        Services().startHintSearch = StartSolverHint;
    }

    // Golf deal 3: the solver wins it within a few dozen positions, so the hint is its first move.
    void StartGolf(unsigned seed = 3) { DealSeeded(GolfGame::kGameNumber, seed); }

    // The panel timer until the search has answered (it runs on its own thread, in real time).
    void WaitForHint() {
        const auto start = std::chrono::steady_clock::now();
        while (!game->Hint().Visible() && std::chrono::steady_clock::now() - start < std::chrono::seconds(5)) {
            Tick();
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
    }

    std::vector<Pixel> Screen() const {
        const Pixel* pixels = BufferPixels(screen);
        return {pixels, pixels + static_cast<size_t>(BufferWidth(screen)) * BufferHeight(screen)};
    }
    Pixel At(const std::vector<Pixel>& pixels, int x, int y) const {
        const int scale = BufferScale(screen);
        return pixels[static_cast<size_t>(y * scale) * BufferWidth(screen) + x * scale];
    }
};

TEST_F(HintTest, OutlinesTheSolutionsNextMoveForTwoSeconds) {
    StartGolf();
    const PlayModelOps& ops = *FindGame(GolfGame::kGameNumber)->model;
    const std::string position = game->PositionBytes();
    const SolveResult solution = Solve(ops, position.data(), {.seconds = 5}, MoveScoreFor(GolfGame::kGameNumber));
    ASSERT_EQ(solution.outcome, SolveOutcome::kWon);
    MoveGesture gesture;
    ASSERT_TRUE(game->GestureFor(solution.moves.front(), gesture));

    const std::vector<Pixel> before = Screen();
    const int points = game->points, records = game->undo.Count();
    ASSERT_TRUE(Choose(kCommandHint));
    WaitForHint();
    ASSERT_TRUE(game->Hint().Visible());
    const Rect source = game->Hint().Source();
    EXPECT_TRUE(source.Contains(gesture.fromX, gesture.fromY));
    // Golf plays a card with a click: only the card is outlined.
    EXPECT_EQ(gesture.kind, MoveGesture::kClick);
    EXPECT_TRUE(game->Hint().Target().Empty());
    // An undo's price; nothing else changed.
    EXPECT_EQ(game->points, points - 5);
    EXPECT_TRUE(PositionCopy(ops, game->PositionBytes()).Code() == PositionCopy(ops, position).Code());
    EXPECT_EQ(game->undo.Count(), records);
    const screen_layout::Rgb theme = artwork->ThemeColours().controlHighlight;
    const Pixel highlight = MapRgb(theme.r, theme.g, theme.b);
    int lit = 0;
    const std::vector<Pixel> shown = Screen();
    for (int x = source.left - 3; x <= source.right + 3; ++x) lit += At(shown, x, source.top - 3) == highlight;
    EXPECT_GT(lit, 10) << "the outline's dashes are in the theme colour";

    // The dashes march while it shows; after two seconds the table is as it was.
    Wait(150);
    Tick();
    EXPECT_NE(Screen(), shown);
    Wait(2000);
    Tick();
    EXPECT_FALSE(game->Hint().Visible());
    const std::vector<Pixel> after = Screen();
    for (int y = source.top - 3; y <= source.bottom + 3; ++y)
        for (int x = source.left - 3; x <= source.right + 3; ++x)
            ASSERT_EQ(At(after, x, y), At(before, x, y)) << x << ", " << y;
}

TEST_F(HintTest, ADragOutlinesWhereTheCardsGoToo) {
    // Gate deal 3 begins with a drag in its solution.
    const GameDescriptor& gate = *FindGameByName("Gate");
    DealSeeded(gate.number, 3);
    const std::string position = game->PositionBytes();
    const SolveResult solution = Solve(*gate.model, position.data(), {.seconds = 5}, MoveScoreFor(gate.number));
    ASSERT_EQ(solution.outcome, SolveOutcome::kWon);
    MoveGesture gesture;
    ASSERT_TRUE(game->GestureFor(solution.moves.front(), gesture));
    ASSERT_EQ(gesture.kind, MoveGesture::kDrag);
    ASSERT_TRUE(Choose(kCommandHint));
    WaitForHint();
    ASSERT_TRUE(game->Hint().Visible());
    EXPECT_TRUE(game->Hint().Source().Contains(gesture.fromX, gesture.fromY));
    EXPECT_TRUE(game->Hint().Target().Contains(gesture.toX, gesture.toY));
}

TEST_F(HintTest, APressOrAnotherCommandEndsIt) {
    StartGolf();
    ASSERT_TRUE(Choose(kCommandHint));
    WaitForHint();
    ASSERT_TRUE(game->Hint().Visible());
    Click(5, 590);
    EXPECT_FALSE(game->Hint().Visible());

    ASSERT_TRUE(Choose(kCommandHint));
    WaitForHint();
    ASSERT_TRUE(game->Hint().Visible());
    ASSERT_TRUE(Choose(kCommandPause));
    EXPECT_FALSE(game->Hint().Visible());
    // Paused, there is nothing to hint.
    ASSERT_TRUE(Choose(kCommandHint));
    Tick();
    EXPECT_FALSE(game->Hint().Visible());
}

TEST_F(HintTest, NoMovesLeft) {
    userPreferences.AutoGameOver = 0;
    StartGolf();
    game->AutoGameOverItem()->SetChecked(0);
    // Turn the whole stock, playing nothing: Golf is then blocked but, without Auto Game Over, not over.
    for (int turns = 0; turns < 60; ++turns) {
        MoveList moves;
        game->PlayMoves(moves);
        if (moves.empty() || moves.front().kind != PlayMove::kStock) break;
        MoveGesture gesture;
        ASSERT_TRUE(game->GestureFor(moves.front(), gesture));
        Perform(gesture);
    }
    MoveList moves;
    game->PlayMoves(moves);
    if (!moves.empty()) GTEST_SKIP() << "this deal still has a play once the stock is out";
    const int points = game->points;
    messages.clear();
    ASSERT_TRUE(Choose(kCommandHint));
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0], "No moves left.");
    EXPECT_EQ(game->points, points);
    EXPECT_FALSE(game->Hint().Visible());
}

}  // namespace
