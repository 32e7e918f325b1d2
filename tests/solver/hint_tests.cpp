// Hints through the real menu: the solver's next move outlined for two seconds in the theme's
// colour, at the cost of an undo, with the deal, the undo journal and the table under the outlines
// left as they were; the outlines on the cards exactly where every table draws them, the move in
// words on the status line, an answer that waits for an open menu; "No moves left." when nothing
// can be played.
#include <algorithm>
#include <array>
#include <chrono>
#include <thread>
#include <tuple>

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

    // Asks for a hint, then the panel timer until the search has answered (it runs on its own
    // thread, in real time): whether the outlines show.
    bool ShowHint() {
        if (!Choose(kCommandHint)) return false;
        const auto start = std::chrono::steady_clock::now();
        while (!game->Hint().Visible() && std::chrono::steady_clock::now() - start < std::chrono::seconds(5)) {
            Tick();
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        return game->Hint().Visible();
    }

    // How the player makes the solver's first move from the table's position.
    MoveGesture FirstSolutionGesture() {
        const std::string position = game->PositionBytes();
        const SolveResult solution = Solve(*FindGame(GolfGame::kGameNumber)->model, position.data(), {.seconds = 5},
                                           MoveScoreFor(GolfGame::kGameNumber));
        MoveGesture gesture;
        EXPECT_EQ(solution.outcome, SolveOutcome::kWon);
        EXPECT_TRUE(!solution.moves.empty() && game->GestureFor(solution.moves.front(), gesture));
        return gesture;
    }

    // A search whose answer the test gives, when the test says it is ready.
    struct ScriptedSearch : HintSearch {
        bool& ready;
        Answer answer;
        PlayMove move;
        ScriptedSearch(bool& ready, Answer answer, PlayMove move) : ready(ready), answer(answer), move(move) {}
        bool Ready() override { return ready; }
        Answer Move(PlayMove& out) override {
            out = move;
            return answer;
        }
    };
    void AnswerWith(HintSearch::Answer answer, PlayMove move = {}) {
        Services().startHintSearch = [this, answer, move](Game&) {
            return std::make_unique<ScriptedSearch>(searchDone, answer, move);
        };
    }
    bool searchDone = true;

    // Every card, back and placeholder a full redraw puts on the screen, in drawing order.
    std::vector<CardImages::DrawnCell> DrawnTable() {
        std::vector<CardImages::DrawnCell> cells;
        artwork->drawnCells = &cells;
        game->Draw(false);
        artwork->drawnCells = nullptr;
        std::erase_if(cells, [this](const CardImages::DrawnCell& cell) { return cell.target != screen; });
        return cells;
    }
    // The uppermost drawn cell at a point; none is an empty rectangle.
    static CardImages::DrawnCell TopAt(const std::vector<CardImages::DrawnCell>& cells, int x, int y) {
        for (auto cell = cells.rbegin(); cell != cells.rend(); ++cell)
            if (cell->rect.Contains(x, y)) return *cell;
        return {Rect{0, 0, -1, -1}, Card(), -1};
    }
    static Rect LastDrawn(const std::vector<CardImages::DrawnCell>& cells, Card card) {
        for (auto cell = cells.rbegin(); cell != cells.rend(); ++cell)
            if (cell->card == card) return cell->rect;
        return {0, 0, -1, -1};
    }
};

// The outlines show for two seconds and leave the table as it was; a press, another command or
// Undo and Redo by their keys end them sooner.
TEST_F(HintTest, OutlinesTheSolutionsNextMoveUntilTimeOrThePlayerEndsIt) {
    StartGolf();
    const PlayModelOps& ops = *FindGame(GolfGame::kGameNumber)->model;
    const std::string position = game->PositionBytes();
    const MoveGesture gesture = FirstSolutionGesture();
    const std::vector<Pixel> before = ScreenPixels();
    const int points = game->points, records = game->undo.Count();
    ASSERT_TRUE(ShowHint());
    const Rect source = game->Hint().Source();
    EXPECT_TRUE(source.Contains(gesture.fromX, gesture.fromY));
    // Golf plays a card with a click: the card, and the pile it goes onto.
    EXPECT_EQ(gesture.kind, MoveGesture::kClick);
    EXPECT_FALSE(game->Hint().Target().Empty());
    // An undo's price; nothing else changed.
    EXPECT_EQ(game->points, points - 5);
    EXPECT_TRUE(PositionCopy(ops, game->PositionBytes()).Code() == PositionCopy(ops, position).Code());
    EXPECT_EQ(game->undo.Count(), records);
    const screen_layout::Rgb theme = artwork->ThemeColours().tableMark;
    const Pixel highlight = MapRgb(theme.r, theme.g, theme.b);
    int lit = 0;
    const std::vector<Pixel> shown = ScreenPixels();
    for (int x = source.left - 3; x <= source.right + 3; ++x) lit += PixelAt(shown, x, source.top - 3) == highlight;
    EXPECT_GT(lit, 10) << "the outline's dashes are in the theme colour";

    // The dashes march while it shows; after two seconds the table is as it was.
    Wait(150);
    Tick();
    EXPECT_NE(ScreenPixels(), shown);
    Wait(2000);
    Tick();
    EXPECT_FALSE(game->Hint().Visible());
    const std::vector<Pixel> after = ScreenPixels();
    for (int y = source.top - 3; y <= source.bottom + 3; ++y)
        for (int x = source.left - 3; x <= source.right + 3; ++x)
            ASSERT_EQ(PixelAt(after, x, y), PixelAt(before, x, y)) << x << ", " << y;

    ASSERT_TRUE(ShowHint());
    Click(5, 590);
    EXPECT_FALSE(game->Hint().Visible());
    ASSERT_TRUE(ShowHint());
    ASSERT_TRUE(Choose(kCommandPause));
    EXPECT_FALSE(game->Hint().Visible());
    // Paused, there is nothing to hint.
    ASSERT_TRUE(Choose(kCommandHint));
    Tick();
    EXPECT_FALSE(game->Hint().Visible());

    // Undo and Redo by their keys end it as their menu items do, before the table changes under it.
    ASSERT_TRUE(Choose(kCommandPause));
    Perform(gesture);
    for (int key : {'Z', 'Y'}) {
        ASSERT_TRUE(ShowHint());
        Key(key, true);
        EXPECT_FALSE(game->Hint().Visible());
        Wait(2500);
        EXPECT_TRUE(ScreenCoherent(*game)) << static_cast<char>(key);
    }
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

// In every game, for a stock press, a move and any other kind of move the deal offers: the
// outlines lie on the rectangles where the table draws the cards that move and the card (or the
// empty place) they go to, and the status line names them. Where the cards are drawn is read from
// the drawing itself, before and after the move is made with the mouse.
TEST_F(HintTest, EveryTableOutlinesTheCardsWhereItDrawsThemAndSaysTheMove) {
    for (const GameDescriptor& entry : RegisteredGames()) {
        SCOPED_TRACE(entry.name);
        DealSeeded(entry.number, 11);
        MoveList offered;
        game->PlayMoves(offered);
        // One move of each kind, the longest run of the moves.
        std::vector<PlayMove> picks;
        for (const PlayMove& move : offered) {
            auto same = std::find_if(picks.begin(), picks.end(), [&](const PlayMove& m) { return m.kind == move.kind; });
            if (same == picks.end()) picks.push_back(move);
            else if (move.count > same->count) *same = move;
        }
        ASSERT_FALSE(picks.empty());
        for (const PlayMove& move : picks) {
            SCOPED_TRACE(Describe(move));
            DealSeeded(entry.number, 11);
            MoveGesture gesture;
            ASSERT_TRUE(game->GestureFor(move, gesture));
            const std::vector<CardImages::DrawnCell> before = DrawnTable();
            AnswerWith(HintSearch::Answer::kMove, move);
            ASSERT_TRUE(Choose(kCommandHint));
            Tick();
            ASSERT_TRUE(game->Hint().Visible());
            const Rect source = game->Hint().Source(), target = game->Hint().Target();
            const std::string words = game->HintWords();
            Perform(gesture);
            EXPECT_FALSE(game->Hint().Visible());
            EXPECT_TRUE(game->HintWords().empty());
            const std::vector<CardImages::DrawnCell> after = DrawnTable();

            if (move.kind != PlayMove::kMove || gesture.kind == MoveGesture::kTwoClicks) {
                // A press on one card or the stock, or two cards clicked: where the clicks land.
                EXPECT_EQ(source, TopAt(before, gesture.fromX, gesture.fromY).rect);
                const Rect partner = gesture.kind == MoveGesture::kTwoClicks ? TopAt(before, gesture.toX, gesture.toY).rect
                                                                            : Rect{0, 0, -1, -1};
                EXPECT_EQ(target, partner);
                if (move.kind == PlayMove::kStock) {
                    EXPECT_TRUE(words == "Turn the stock" || words == "Deal a new row") << words;
                }
                if (gesture.kind == MoveGesture::kTwoClicks) {
                    EXPECT_NE(words.find(CardInWords(TopAt(before, gesture.fromX, gesture.fromY).card)), std::string::npos) << words;
                    EXPECT_NE(words.find(CardInWords(TopAt(before, gesture.toX, gesture.toY).card)), std::string::npos) << words;
                }
                continue;
            }
            // The cards that went somewhere else (not those that filled the place they left), and
            // where the lowest of them landed.
            std::vector<std::tuple<Rect, Rect, Card>> went;  // where each was and is drawn
            for (const CardImages::DrawnCell& cell : before) {
                const Rect was = LastDrawn(before, cell.card), now = LastDrawn(after, cell.card);
                if (cell.card.IsValid() && was == cell.rect && !now.Empty() && !was.Meets(now)) went.emplace_back(was, now, cell.card);
            }
            Rect moved{0, 0, -1, -1}, landed{0, 0, -1, -1};
            Card lowest;
            for (const auto& [was, now, card] : went) {
                if (std::any_of(went.begin(), went.end(), [&](const auto& other) { return now.Meets(std::get<0>(other)); })) continue;
                moved = moved.Empty() ? was : Rect{std::min(moved.left, was.left), std::min(moved.top, was.top),
                                                  std::max(moved.right, was.right), std::max(moved.bottom, was.bottom)};
                if (landed.Empty() || now.top < landed.top) landed = now, lowest = card;
            }
            ASSERT_FALSE(moved.Empty()) << "no card moved";
            EXPECT_EQ(source, moved);
            // The card or empty place the cards went to, as it was drawn.
            const CardImages::DrawnCell onto = TopAt(before, (landed.left + landed.right) / 2, (landed.top + landed.bottom) / 2);
            EXPECT_EQ(target, onto.rect.Empty() ? landed : onto.rect);
            EXPECT_EQ(words.rfind("Move " + CardInWords(lowest), 0), 0u) << words;
            if (onto.card.IsValid() && words.find("foundation") == std::string::npos) {
                EXPECT_NE(words.find(CardInWords(onto.card)), std::string::npos) << words;
            }
        }
        game.reset();
    }
}

TEST_F(HintTest, TheStatusLineSaysWhenNothingIsWorthShowing) {
    StartGolf();
    const auto fields = game->StatusFields();
    AnswerWith(HintSearch::Answer::kCannotWin);
    const int points = game->points;
    ASSERT_TRUE(Choose(kCommandHint));
    Tick();
    EXPECT_FALSE(game->Hint().Visible());
    EXPECT_EQ(game->HintWords(), "No helpful move: the deal cannot be won from here");
    EXPECT_EQ(game->points, points);
    // The words stay as long as an outline would, then the fields come back.
    Wait(1900);
    Tick();
    EXPECT_FALSE(game->HintWords().empty());
    Wait(200);
    Tick();
    EXPECT_TRUE(game->HintWords().empty());
    EXPECT_EQ(game->StatusFields()[0], fields[0]);
    EXPECT_TRUE(ScreenCoherent(*game));

    AnswerWith(HintSearch::Answer::kNothingFound);
    ASSERT_TRUE(Choose(kCommandHint));
    Tick();
    EXPECT_EQ(game->HintWords(), "No hint found in time");
    Click(5, 590);  // a press ends the hint and its words
    EXPECT_TRUE(game->HintWords().empty());
    EXPECT_TRUE(ScreenCoherent(*game));

    // Golf's first card goes to its foundation, the pile.
    PlayMove golfMove;
    MoveList moves;
    game->PlayMoves(moves);
    for (const PlayMove& move : moves)
        if (move.kind == PlayMove::kMove) golfMove = move;
    MoveGesture gesture;
    ASSERT_TRUE(game->GestureFor(golfMove, gesture));
    const Card card = TopAt(DrawnTable(), gesture.fromX, gesture.fromY).card;
    AnswerWith(HintSearch::Answer::kMove, golfMove);
    ASSERT_TRUE(Choose(kCommandHint));
    Tick();
    EXPECT_EQ(game->HintWords(), "Move " + CardInWords(card) + " to a foundation");
}

// An answer that comes while a menu is open waits for it to close: nothing is drawn over the
// menu, and nothing of the menu is put back on the table when the outlines go.
TEST_F(HintTest, AnAnswerWaitsWhileAMenuIsOpen) {
    DealSeeded(FindGameByName("Block Solitaire")->number, 5);
    MoveList moves;
    game->PlayMoves(moves);
    ASSERT_FALSE(moves.empty());
    searchDone = false;
    AnswerWith(HintSearch::Answer::kMove, moves.front());
    ASSERT_TRUE(Choose(kCommandHint));
    Menu* options = game->OptionsMenu();
    Click(options->GetX() + options->GetWidth() / 2, options->GetY() + options->GetHeight() / 2);
    ASSERT_TRUE(game->IsMenuOpen());
    const std::vector<Pixel> withMenu = ScreenPixels();
    searchDone = true;
    Tick();
    Wait(150);
    Tick();
    EXPECT_FALSE(game->Hint().Visible());
    EXPECT_TRUE(ScreenPixels() == withMenu) << "drawn over the open menu";
    Key(VK_ESCAPE);
    ASSERT_FALSE(game->IsMenuOpen());
    Tick();
    EXPECT_TRUE(game->Hint().Visible());
    Wait(2100);
    Tick();
    EXPECT_FALSE(game->Hint().Visible());
    EXPECT_TRUE(ScreenCoherent(*game));
}

// The verdict on the status line: asked again for every new position (the old search given up),
// kept without a search after a move from a position that cannot be won, and gone with its
// option, which is kept per player.
TEST_F(HintTest, TheVerdictFollowsThePositionAndItsOption) {
    using Verdict = VerdictSearch::Verdict;
    struct Scripted : VerdictSearch {
        const Verdict& answer;
        const bool& ready;
        int& live;
        Scripted(const Verdict& answer, const bool& ready, int& live) : answer(answer), ready(ready), live(live) { ++live; }
        ~Scripted() override { --live; }
        bool Ready() override { return ready; }
        Verdict Answer() override { return answer; }
    };
    Verdict answer = Verdict::kWinnable;
    bool ready = true;
    int started = 0, live = 0;
    Services().startVerdictSearch = [&](Game&) {
        ++started;
        return std::make_unique<Scripted>(answer, ready, live);
    };
    // Through Deal, as the menu deals: the status line is on.
    const auto dealGolf = [this] {
        game = FindGame(GolfGame::kGameNumber)->create(artwork.get());
        game->Deal(false, 3);
    };
    dealGolf();
    Tick();
    EXPECT_EQ(game->StatusFields()[4], "Winnable");
    EXPECT_TRUE(ScreenCoherent(*game));
    answer = Verdict::kCannotWin;
    ready = false;
    PlayFirstMove();
    Tick();
    EXPECT_EQ(game->StatusFields()[4], "");
    EXPECT_EQ(live, 1);
    PlayFirstMove();
    Tick();
    EXPECT_EQ(live, 1);  // the search for the position left was given up
    EXPECT_EQ(started, 3);
    ready = true;
    Tick();
    EXPECT_EQ(game->StatusFields()[4], "Cannot be won");
    // A move from a position that cannot be won keeps the verdict, with no search; an undo leads
    // back to a position no move reaches from there (Golf's moves cannot be undone by play), so
    // it is asked about afresh.
    Services().playModel = [](int number) { return FindGame(number) ? FindGame(number)->model : nullptr; };
    answer = Verdict::kNone;
    PlayFirstMove();
    Tick();
    EXPECT_EQ(game->StatusFields()[4], "Cannot be won");
    EXPECT_EQ(started, 3);
    ASSERT_TRUE(Choose(kCommandUndo));
    Tick();
    EXPECT_EQ(started, 4);
    EXPECT_EQ(game->StatusFields()[4], "");

    answer = Verdict::kWinnable;
    ASSERT_TRUE(Choose(kCommandShowVerdict));
    EXPECT_FALSE(game->ShowVerdictItem()->IsChecked());
    EXPECT_EQ(userPreferences.ShowVerdict, 0u);
    PlayFirstMove();
    Tick();
    EXPECT_EQ(game->StatusFields()[4], "");
    EXPECT_EQ(started, 4);
    EXPECT_EQ(live, 0);
    ASSERT_TRUE(Choose(kCommandShowVerdict));
    Tick();
    EXPECT_EQ(game->StatusFields()[4], "Winnable");
    EXPECT_TRUE(ScreenCoherent(*game));

    // The solver itself, on a deal it wins within a few dozen positions.
    Services().startVerdictSearch = StartSolverVerdict;
    dealGolf();
    Tick();
    EXPECT_EQ(game->StatusFields()[4], "Winnable");
}

}  // namespace
