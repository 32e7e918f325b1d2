// Deal numbers, redo and the keys that drive them, through the real message routing of a table.
#include <gtest/gtest.h>

#include <set>

#include "framework/deal_dialog.h"
#include "games/game_registry.h"
#include "tests/framework/game_fixture.h"
#include "tests/games/reference_deck.h"

namespace {

class PlayFeaturesTest : public GameTest {
protected:
    Game& StartDeal(const char* name, uint32_t number) {
        const GameDescriptor* entry = FindGameByName(name);
        EXPECT_NE(entry, nullptr);
        game = entry->create(artwork.get());
        game->Deal(false, number);
        sounds.clear();
        return *game;
    }

    // Plays the first offered move that is not a stock press (or that is one, when asked), else
    // the first; false when none.
    bool PlayOneMove(bool stock = false) {
        MoveList moves;
        game->PlayMoves(moves);
        if (moves.empty()) return false;
        size_t pick = 0;
        while (pick < moves.size() && (moves[pick].kind == PlayMove::kStock) != stock) ++pick;
        if (pick == moves.size()) pick = 0;
        MoveGesture gesture;
        if (!game->GestureFor(moves[pick], gesture)) return false;
        Perform(gesture);
        Tick();
        return true;
    }

    // The screen without the score panel (the points differ by the undo penalty).
    std::vector<Pixel> TableScreen() {
        Tick();
        const Pixel* pixels = BufferPixels(screen);
        std::vector<Pixel> shown(pixels, pixels + 800 * 600);
        for (int y = 0; y <= 50; ++y)
            for (int x = 620; x <= 750; ++x) shown[static_cast<size_t>(y) * 800 + x] = 0;
        return shown;
    }

    // The position with the points given back their undo penalties: everything else must match
    // byte for byte. Compared as a flag, so a failure does not print kilobytes.
    bool SamePosition(const std::string& expected, int penalties) {
        game->points += penalties * kUndoPenalty;
        const bool same = game->PositionBytes() == expected;
        game->points -= penalties * kUndoPenalty;
        return same;
    }
    static constexpr int kUndoPenalty = 5;

    // Every move offered now, except the stock's (an undo gives back its cards but not its turns
    // used), is made, undone, redone and undone again: each must bring back exactly the position
    // it left, the waste's fanned cards included, which the undo record itself leaves out.
    void TakeBackEachOfferedMove(const char* name) {
        MoveList moves;
        game->PlayMoves(moves);
        for (const PlayMove& move : moves) {
            MoveGesture gesture;
            if (move.kind == PlayMove::kStock || move.kind == PlayMove::kDeal || !game->GestureFor(move, gesture))
                continue;
            const std::string before = game->PositionBytes();
            const int beforePoints = game->points, records = game->undo.Count();
            Perform(gesture);
            Tick();
            const int pushed = game->undo.Count() - records;
            if (game->gameOver || pushed == 0) return;
            const std::string after = game->PositionBytes();
            const int afterPoints = game->points;
            for (int i = 0; i < pushed; ++i) Key('Z', true);
            EXPECT_EQ(game->points, beforePoints - kUndoPenalty) << name;
            EXPECT_TRUE(SamePosition(before, 1)) << name << " undo of move " << int(move.from) << "->" << int(move.to);
            for (int i = 0; i < pushed; ++i) Key('Y', true);
            EXPECT_TRUE(SamePosition(after, (afterPoints - game->points) / kUndoPenalty))
                << name << " redo of move " << int(move.from) << "->" << int(move.to);
            for (int i = 0; i < pushed; ++i) Key('Z', true);
        }
    }

    std::vector<Card> DealtOrder() const {
        std::vector<Card> order;
        for (int i = 0; i < game->deck.Total(); ++i) order.push_back(game->deck.OrderAt(i));
        return order;
    }
};

// Every game deals a number's modelled shuffle, also after another deal (the cards a deal leaves
// out of the shoe, foundation cards placed by rule, must not change how the next shuffle draws);
// Replay Deal deals the same cards again and New Game another number.
TEST_F(PlayFeaturesTest, ADealNumberGivesTheModelledShuffleAndReplaysTheSameCards) {
    using namespace reference_deck;
    for (const GameDescriptor& entry : RegisteredGames()) {
        for (uint32_t number : {12345u, 4000000000u}) {
            SCOPED_TRACE(std::string(entry.name) + " deal " + std::to_string(number));
            Game& table = StartDeal(entry.name, 92);
            table.Deal(true, number);
            ReferenceDeck reference(number);
            ModelFor(table.gameNumber)(reference);
            EXPECT_EQ(DealtOrder(), reference.order);
            EXPECT_EQ(table.dealNumber, number);
            const std::string first = table.PositionBytes();
            // Replay Deal: the same number and cards again, as a new deal with no moves made.
            const bool moved = PlayOneMove();  // a few deals offer none
            EXPECT_EQ(table.MovesMade(), moved ? 1 : 0);
            ASSERT_TRUE(Choose(kCommandReplayDeal));
            EXPECT_EQ(table.dealNumber, number);
            EXPECT_TRUE(table.PositionBytes() == first);
            EXPECT_EQ(table.MovesMade(), 0);
            // New Game draws another number.
            ASSERT_TRUE(Choose(kCommandNewGame));
            EXPECT_NE(table.dealNumber, number);
            EXPECT_FALSE(table.PositionBytes() == first);
            game.reset();
        }
    }
}

TEST_F(PlayFeaturesTest, ChooseDealAsksForANumberAndDealsIt) {
    Game& table = StartDeal("Klondike", 1);
    std::vector<uint32_t> offered;
    std::optional<uint32_t> answer = 987654;
    Services().chooseDeal = [&](uint32_t current) {
        offered.push_back(current);
        return answer;
    };
    ASSERT_TRUE(Choose(kCommandChooseDeal));
    EXPECT_EQ(offered, std::vector<uint32_t>{1});
    EXPECT_EQ(table.dealNumber, 987654u);
    // Cancelled: the deal goes on.
    ASSERT_TRUE(PlayOneMove());
    const std::string position = table.PositionBytes();
    answer.reset();
    ASSERT_TRUE(Choose(kCommandChooseDeal));
    EXPECT_EQ(table.dealNumber, 987654u);
    EXPECT_TRUE(table.PositionBytes() == position);
}

TEST(DealNumbers, ParseOnlyPlainDecimalNumbersOfThirtyTwoBits) {
    EXPECT_EQ(ParseDealNumber("12345"), 12345u);
    EXPECT_EQ(ParseDealNumber(" 0 "), 0u);
    EXPECT_EQ(ParseDealNumber("4294967295"), 4294967295u);
    for (const char* bad : {"", " ", "4294967296", "99999999999", "-1", "12a", "0x10", "1 2"})
        EXPECT_FALSE(ParseDealNumber(bad)) << bad;
}

// Redo restores the position, the screen and the undo files; a cancelled drag leaves the redo list,
// a new move clears it.
TEST_F(PlayFeaturesTest, RedoAfterUndoRestoresPositionScreenAndUndoFiles) {
    Game& table = StartDeal("Klondike", 20261206);
    for (int i = 0; i < 6; ++i) ASSERT_TRUE(PlayOneMove());
    const std::string position = table.PositionBytes();
    const std::vector<Pixel> shown = TableScreen();
    const auto files = UndoFileContents();
    const int points = table.points, moves = table.MovesMade();
    const auto fields = table.StatusFields();
    ASSERT_EQ(moves, 6);

    Key('Z', true);  // Ctrl+Z
    EXPECT_FALSE(SamePosition(position, 0));
    EXPECT_EQ(table.MovesMade(), moves - 1);
    EXPECT_TRUE(table.CanRedo());
    Key('Y', true);  // Ctrl+Y
    EXPECT_TRUE(SamePosition(position, 1));
    EXPECT_TRUE(TableScreen() == shown);
    EXPECT_EQ(table.StatusFields(), fields);
    EXPECT_TRUE(UndoFileContents() == files);
    EXPECT_EQ(table.MovesMade(), moves);
    // The undo penalty stands: undo and redo never raise the score.
    EXPECT_EQ(table.points, points - kUndoPenalty);
    EXPECT_FALSE(table.CanRedo());

    // Two back, two forward: Ctrl+Shift+Z and the menu items do the same.
    const int penalised = table.points;
    Key('Z', true);
    ASSERT_TRUE(Choose(kCommandUndo));
    Key('Z', true, true);
    ASSERT_TRUE(Choose(kCommandRedo));
    EXPECT_TRUE(SamePosition(position, 2));
    EXPECT_TRUE(UndoFileContents() == files);
    // Each undo cost its penalty once; the redos gave none back.
    EXPECT_EQ(table.points, penalised - kUndoPenalty);
    // Nothing left to redo: Ctrl+Y changes nothing; a plain Z is no command.
    Key('Y', true);
    Key('Z');
    EXPECT_TRUE(SamePosition(position, 2));

    // A pick-up put straight back is no move, and keeps what there is to redo.
    Key('Z', true);
    ASSERT_TRUE(table.CanRedo());
    ASSERT_FALSE(table.pickups.empty());
    const Hotspot spot = table.pickups.back();
    Click(spot.x + 5, spot.y + 5);
    EXPECT_TRUE(table.CanRedo());
    // Held over the score panel while the score changes, then let go: what comes back from under
    // the stack is the new panel.
    Move(spot.x + 5, spot.y + 5, false);
    Press(spot.x + 5, spot.y + 5);
    Move(690, 30);
    table.points += 7;
    Tick();
    Release(690, 30);
    EXPECT_TRUE(ScreenCoherent(table));
    EXPECT_TRUE(table.CanRedo());
    // A new move clears it.
    ASSERT_TRUE(PlayOneMove());
    EXPECT_FALSE(table.CanRedo());
    const std::string played = table.PositionBytes();
    Key('Y', true);
    EXPECT_TRUE(SamePosition(played, 0));
}

TEST_F(PlayFeaturesTest, EveryGameRedoesWhatItUndid) {
    for (const GameDescriptor& entry : RegisteredGames()) {
        Game& table = StartDeal(entry.name, 31337);
        const int dealt = table.undo.Count();
        int played = 0;
        while (played < 4 && !table.gameOver) {
            TakeBackEachOfferedMove(entry.name);
            // Every other move from the stock, so that cards lie on the waste.
            if (!PlayOneMove(played % 2 == 0)) break;
            ++played;
        }
        if (played == 0 || table.gameOver) continue;
        const std::string position = table.PositionBytes();
        const int points = table.points, moves = table.MovesMade();
        // Each move counts once, however many records it saved.
        EXPECT_EQ(moves, played) << entry.name;
        const int records = table.undo.Count() - dealt;
        for (int i = 0; i < records; ++i) Key('Z', true);
        EXPECT_EQ(table.MovesMade(), 0) << entry.name;
        for (int i = 0; i < records; ++i) Key('Y', true);
        EXPECT_EQ(table.MovesMade(), moves) << entry.name;
        EXPECT_FALSE(table.CanRedo());
        EXPECT_LE(table.points, points - kUndoPenalty) << entry.name;
        EXPECT_EQ((points - table.points) % kUndoPenalty, 0) << entry.name;
        EXPECT_TRUE(SamePosition(position, (points - table.points) / kUndoPenalty)) << entry.name;
        EXPECT_TRUE(ScreenCoherent(table)) << entry.name;
        game.reset();
    }
}

TEST_F(PlayFeaturesTest, TheStatusLineShowsDealMovesStockAndTime) {
    Game& table = StartDeal("Klondike", 12345);
    using Fields = std::array<std::string, 5>;
    EXPECT_EQ(table.StatusFields(), (Fields{"Deal 12345", "Moves 0", "Stock 24", "Time 0:00", ""}));
    // The fields are drawn: the strip is no longer bare backdrop.
    const Pixel* pixels = BufferPixels(screen);
    auto inked = [&](int left, int right) {
        int count = 0;
        for (int y = 552; y < 580; ++y)
            for (int x = left; x < right; ++x) count += pixels[y * 800 + x] != BufferPixels(artwork->background)[y * 800 + x];
        return count;
    };
    EXPECT_GT(inked(20, 210), 20);
    EXPECT_GT(inked(476, 628), 20);  // the time
    // A card held is not a move yet, nor is one dropped back where it came from.
    const Hotspot held = table.pickups.back();
    Press(held.x + 5, held.y + 5);
    ASSERT_TRUE(table.dragging);
    EXPECT_EQ(table.StatusFields()[1], "Moves 0");
    Release(held.x + 5, held.y + 5);
    EXPECT_EQ(table.StatusFields()[1], "Moves 0");
    MoveList moves;
    table.PlayMoves(moves);
    MoveGesture gesture;
    for (const PlayMove& move : moves)
        if (move.kind == PlayMove::kStock && table.GestureFor(move, gesture)) Perform(gesture);
    Wait(65000);
    Tick();
    const std::string stock = "Stock " + std::to_string(table.deck.Remaining());
    EXPECT_NE(stock, "Stock 24");
    EXPECT_EQ(table.StatusFields(), (Fields{"Deal 12345", "Moves 1", stock, "Time 1:05", ""}));
    EXPECT_TRUE(ScreenCoherent(table));
    // Paused, the time stands still; an hour shows hours.
    ASSERT_TRUE(Choose(kCommandPause));
    Wait(10000);
    Tick();
    EXPECT_EQ(table.StatusFields()[3], "Time 1:05");
    ASSERT_TRUE(Choose(kCommandPause));
    Wait(3600000);
    Tick();
    EXPECT_EQ(table.StatusFields()[3], "Time 1:01:05");
    // A game that deals every card at once shows no stock.
    for (const GameDescriptor& entry : RegisteredGames()) {
        Game& other = StartDeal(entry.name, 99);
        EXPECT_EQ(other.StatusFields()[2].empty(), other.deck.Remaining() == 0) << entry.name;
        EXPECT_TRUE(ScreenCoherent(other)) << entry.name;
    }
}

// Undo takes the clock back to the time of the position it restores; Redo gives that time back,
// and the time played between the two still counts.
TEST_F(PlayFeaturesTest, RedoGivesBackTheTimeUndoTookAndKeepsTheTimeSince) {
    Game& table = StartDeal("Klondike", 12345);
    Wait(41000);
    ASSERT_TRUE(PlayOneMove());
    Wait(29000);
    Tick();
    ASSERT_EQ(table.StatusFields()[3], "Time 1:10");
    Key('Z', true);
    Tick();
    EXPECT_EQ(table.StatusFields()[3], "Time 0:41");
    Wait(5000);
    Key('Y', true);
    Tick();
    EXPECT_EQ(table.StatusFields()[3], "Time 1:15");
    // Two back and two forward after a pause: the paused time counts nowhere.
    ASSERT_TRUE(PlayOneMove());
    Wait(10000);
    Tick();
    ASSERT_EQ(table.StatusFields()[3], "Time 1:25");
    Key('Z', true);
    Key('Z', true);
    Tick();
    EXPECT_EQ(table.StatusFields()[3], "Time 0:41");
    ASSERT_TRUE(Choose(kCommandPause));
    Wait(60000);
    ASSERT_TRUE(Choose(kCommandPause));
    Wait(3000);
    Key('Y', true);
    Key('Y', true);
    Tick();
    EXPECT_EQ(table.StatusFields()[3], "Time 1:28");
}

// One gesture, one undo record: a card double-clicked home leaves one new undo file, and one
// Undo brings back the position before the gesture.
TEST_F(PlayFeaturesTest, ADoubleClickHomeIsOneUndoRecord) {
    Game& table = StartDeal("Klondike", 12345);
    MoveGesture home;
    auto findHome = [&] {
        MoveList moves;
        table.PlayMoves(moves);
        for (const PlayMove& move : moves) {
            MoveGesture gesture;
            if (!table.GestureFor(move, gesture) || gesture.kind != MoveGesture::kDrag) continue;
            const DropTarget* target = table.FindDropTargetAt(gesture.toX, gesture.toY);
            if (target && target->kind == kAutoMoveKind) {
                home = gesture;
                return true;
            }
        }
        return false;
    };
    for (int i = 0; i < 40 && !findHome(); ++i) ASSERT_TRUE(PlayOneMove());
    const std::string position = table.PositionBytes();
    const auto files = UndoFileContents();
    const int moves = table.MovesMade();
    DoubleClick(home.fromX, home.fromY);
    ASSERT_FALSE(table.PositionBytes() == position);
    EXPECT_EQ(table.MovesMade(), moves + 1);
    auto after = UndoFileContents();
    EXPECT_EQ(after.size(), files.size() + 1);
    for (const auto& [name, bytes] : files) EXPECT_TRUE(after[name] == bytes) << name;
    Key('Z', true);
    EXPECT_TRUE(SamePosition(position, 1));
    EXPECT_EQ(table.MovesMade(), moves);
    after = UndoFileContents();
    for (const auto& [name, bytes] : files) EXPECT_TRUE(after[name] == bytes) << name;
}

}  // namespace
