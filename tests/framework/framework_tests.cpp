// The game framework through Accordion and Klondike on the headless table: score formula, the
// drag's drop-back rule, the end-of-game sequence, the menu commands and the undo journal.
#include "games/accordion.h"
#include "games/klondike.h"
#include "tests/framework/game_fixture.h"

namespace {

using Cells = std::array<Card, AccordionModel::kCells>;

// Centre of an Accordion cell: where a press picks its card up.
int CentreX(int cell) { return AccordionGame::CellX(cell) + 26; }
int CentreY(int cell) { return AccordionGame::CellY(cell) + 40; }

// A position with no move at all: every card differs from its neighbours in suit and rank.
void MakeBlocked(AccordionGame& game) {
    game.position.cells.fill(Card());
    game.position.cells[0] = Card(0, 0);
    game.position.cells[1] = Card(1, 1);
    game.position.cells[2] = Card(2, 2);
    game.CheckGameOver();
}

using FrameworkTest = GameTest;

// A drag: a card dragged clear of its old place shows as its two places, sent together, not as
// the box around both with the table between; a short step sends the one box around both places.
// Dropped back within nine pixels it goes home silently, at ten it is an invalid move.
TEST_F(FrameworkTest, DropBackWithinNinePixelsIsSilentAndDragStepsShowTheirPlaces) {
    AccordionGame& game = Start<AccordionGame>();
    const Cells before = game.position.cells;
    const int x = CentreX(20), y = CentreY(20);
    Drag(x, y, x + 9, y + 9);
    EXPECT_FALSE(Played("invalid.wav"));
    EXPECT_EQ(game.position.cells, before);
    EXPECT_FALSE(game.dragging);
    EXPECT_FALSE(backend->PointerConfined()) << "the clip ends with the drag";

    Drag(x, y, x + 10, y);
    EXPECT_TRUE(Played("invalid.wav"));
    EXPECT_EQ(game.position.cells, before);
    EXPECT_EQ(game.undo.Count(), 0) << "cancelled drags drop their records";

    // A card dragged clear of its old place shows as its two places, sent together, not as the
    // box around both with the table between; a short step sends the one box around both.
    const int farX = CentreX(0), farY = CentreY(0);
    Move(farX, farY, false);
    Press(farX, farY);
    Move(farX + 200, farY + 150);
    const std::vector<Rect> far = backend->LastPresentGroup();
    ASSERT_EQ(far.size(), 2u);
    EXPECT_FALSE(far[0].Meets(far[1]));
    EXPECT_EQ(far[0].Width(), far[1].Width());
    EXPECT_EQ(far[0].Height(), far[1].Height());
    EXPECT_LT(far[0].Width(), 200);
    Move(farX + 203, farY + 152);
    const std::vector<Rect> near = backend->LastPresentGroup();
    ASSERT_EQ(near.size(), 1u);
    EXPECT_EQ(near[0].Width(), far[0].Width() + 3);
    EXPECT_EQ(near[0].Height(), far[0].Height() + 2);
    Release(farX + 203, farY + 152);
}

TEST_F(FrameworkTest, FinalScoreIsComputedOnceAndTheSequenceRunsOnce) {
    AccordionGame& game = Start<AccordionGame>();
    game.position.cells.fill(Card());
    game.position.cells[3] = Card(2, 5);
    game.points = 40;
    game.CheckGameOver();
    Tick();
    EXPECT_EQ(game.EndSequenceCount(), 1);
    ASSERT_EQ(highScoreDialogs.size(), 1u);
    const int32_t final = game.finalScore;
    EXPECT_EQ(highScoreDialogs[0], final);
    EXPECT_EQ(endMusic, std::vector<bool>{true});
    EXPECT_EQ(endScreens, std::vector<bool>{true});
    EXPECT_TRUE(messages.empty()) << "a win has no \"no moves\" message";
    Wait(60'000);
    Tick();
    Tick();
    EXPECT_EQ(game.EndSequenceCount(), 1);
    EXPECT_EQ(game.finalScore, final);
    EXPECT_EQ(game.PanelLabel(), "Final Score");
    EXPECT_EQ(game.PanelValue(), std::to_string(final));
}

TEST_F(FrameworkTest, BlockedGameWithAutoGameOverSaysNoMovesAndEndGameDoesNot) {
    AccordionGame& game = Start<AccordionGame>();
    MakeBlocked(game);
    EXPECT_TRUE(game.gameOver);
    Tick();
    EXPECT_EQ(messages, std::vector<std::string>{"There are no moves left."});
    EXPECT_EQ(endScreens, std::vector<bool>{false});

    messages.clear();
    endScreens.clear();
    userPreferences.AutoGameOver = 0;
    ASSERT_TRUE(Choose(kCommandNewGame));
    MakeBlocked(game);
    EXPECT_FALSE(game.gameOver) << "with Auto Game Over off a blocked deal waits";
    Tick();
    EXPECT_TRUE(messages.empty());
    highScoreResult = HighScoresDialog::kPlayAgain;
    ASSERT_TRUE(Choose(kCommandEndGame));
    EXPECT_TRUE(messages.empty()) << "ending a game by hand needs no message";
    EXPECT_EQ(endScreens, std::vector<bool>{false});
    EXPECT_EQ(endMusic.back(), false);
    // "Play Again" dealt anew.
    EXPECT_FALSE(game.gameOver);
    EXPECT_FALSE(game.endedByUser);
    EXPECT_EQ(game.finalScore, Game::kScoreNotComputed);
}

TEST_F(FrameworkTest, PauseStopsTheClockAndEndGameWaitsForResume) {
    AccordionGame& game = Start<AccordionGame>();
    Wait(12'000);
    ASSERT_TRUE(Choose(kCommandPause));
    EXPECT_TRUE(game.IsPaused());
    EXPECT_EQ(game.GameCommandsMenu()->Item(2)->GetText(), "Resume");
    EXPECT_EQ(game.PanelLabel(), "Game");
    EXPECT_EQ(game.PanelValue(), "Paused");
    Wait(30'000);
    Press(CentreX(5), CentreY(5));
    EXPECT_FALSE(game.dragging) << "the table ignores input while paused";
    Release(CentreX(5), CentreY(5));

    ASSERT_TRUE(Choose(kCommandEndGame));
    EXPECT_TRUE(game.endedByUser);
    EXPECT_TRUE(game.gameOver);
    EXPECT_EQ(game.EndSequenceCount(), 0) << "the end waits for Resume";
    ASSERT_TRUE(Choose(kCommandPause));
    EXPECT_EQ(game.GameCommandsMenu()->Item(2)->GetText(), "Pause");
    EXPECT_EQ(game.EndSequenceCount(), 1);
    EXPECT_EQ(game.ElapsedSeconds(), 12) << "paused time does not count";
}

TEST_F(FrameworkTest, NewGameKeepsOneOfEachGameItemAndMainMenuIsEscape) {
    KlondikeGame& game = Start<KlondikeGame>();
    ASSERT_TRUE(Choose(kCommandNewGame));
    ASSERT_TRUE(Choose(kCommandNewGame));
    auto count = [](Menu* menu, int id) {
        int n = 0;
        for (int i = 0; i < menu->ItemCount(); ++i) n += menu->Item(i)->CommandId() == id;
        return n;
    };
    EXPECT_EQ(count(game.OptionsMenu(), kCommandGameSettings), 1);
    EXPECT_EQ(count(game.ViewMenu(), kCommandRulesSummary), 1);
    EXPECT_EQ(game.GameCommandsMenu()->ItemCount(), 12);

    // Leave through the menu after a few moves: the shell sees Escape, and no undo file stays.
    Click(KlondikeGame::kStockX + 20, KlondikeGame::kStockY + 20);
    Click(KlondikeGame::kStockX + 20, KlondikeGame::kStockY + 20);
    EXPECT_FALSE(UndoFiles().empty());
    ASSERT_TRUE(Choose(kCommandMainMenu));
    EXPECT_EQ(leftGame, 1);
    EXPECT_EQ(GameTest::game, nullptr);
    EXPECT_TRUE(UndoFiles().empty());
}

// ---- Undo journal ----

using UndoTest = GameTest;

TEST_F(UndoTest, UndoAfterNewGameGoesBackIntoThePreviousDeal) {
    AccordionGame& game = Start<AccordionGame>();
    const Cells before = game.position.cells;
    PlayFirstMove();
    ASSERT_TRUE(Choose(kCommandNewGame));
    EXPECT_NE(game.position.cells, before);
    EXPECT_EQ(game.undo.Count(), 1);
    ASSERT_TRUE(Choose(kCommandUndo));
    EXPECT_EQ(game.position.cells, before);
}

TEST_F(UndoTest, ShortOrImpossibleRecordsAreRefusedWithoutTouchingTheGame) {
    AccordionGame& game = Start<AccordionGame>();
    PlayFirstMove();
    const std::vector<uint8_t> good = test_support::ReadBytes(UndoJournal::RecordPath(1));
    ASSERT_EQ(good.size(), 1408u);
    std::vector<uint8_t> badCard = good, twice = good, longer = good, hugeList = good;
    badCard[960] = 4;  // suit 4 does not exist
    std::copy(good.begin() + 960, good.begin() + 968, twice.begin() + 968);  // cell 1 = cell 0
    longer.push_back(0);
    hugeList[952] = 0xFF, hugeList[955] = 0x7F;
    const std::vector<uint8_t> records[] = {{good.begin(), good.begin() + 1407}, {good.begin(), good.begin() + 100}, {},
                                            badCard, twice, longer, hugeList};
    const Cells after = game.position.cells;
    const int points = game.points;
    for (const std::vector<uint8_t>& record : records) {
        EXPECT_FALSE(game.RestoreRecord(record)) << "record " << &record - records;
        EXPECT_EQ(game.position.cells, after);
        EXPECT_EQ(game.points, points);
    }

    // Through the journal: a damaged file lowers the counter and changes nothing else.
    test_support::WriteBytes(UndoJournal::RecordPath(1), good.data(), 500);
    ASSERT_TRUE(Choose(kCommandUndo));
    EXPECT_EQ(game.position.cells, after);
    EXPECT_EQ(game.undo.Count(), 0);
    EXPECT_TRUE(game.RestoreRecord(good)) << "the whole record is accepted";
}

}  // namespace
