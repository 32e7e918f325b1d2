// Play by keyboard through the real message routing: the ring's stops and their order, the first
// moves of every game made with keys against the mouse, lifted cards shown raised, a refused place,
// Escape, the marks on the places held cards may go, and the keys and labels of the menus.
#include <gtest/gtest.h>

#include <deque>
#include <map>

#include "framework/keyboard_play.h"
#include "games/game_registry.h"
#include "games/klondike.h"
#include "tests/framework/game_fixture.h"

namespace {

class KeyboardPlayTest : public GameTest {
protected:
    KeyboardPlay& Keys() { return game->Keyboard(); }

    // Presses arrow keys along the shortest path to `target`; the first key shows the ring.
    ::testing::AssertionResult GoTo(int target) {
        if (!Keys().Active()) Key(VK_RIGHT);
        if (target < 0) return ::testing::AssertionFailure() << "no stop there";
        std::map<int, std::pair<int, int>> came;  // stop -> (previous stop, key)
        std::deque<int> queue{Keys().Focus()};
        came[Keys().Focus()] = {-1, 0};
        const std::pair<KeyboardPlay::Direction, int> arrows[] = {
            {KeyboardPlay::kLeft, VK_LEFT}, {KeyboardPlay::kRight, VK_RIGHT}, {KeyboardPlay::kUp, VK_UP}, {KeyboardPlay::kDown, VK_DOWN}};
        while (!queue.empty() && !came.count(target)) {
            const int at = queue.front();
            queue.pop_front();
            for (auto [direction, key] : arrows) {
                const int next = Keys().Neighbour(at, direction);
                if (came.emplace(next, std::pair{at, key}).second) queue.push_back(next);
            }
        }
        if (!came.count(target)) return ::testing::AssertionFailure() << "stop " << target << " cannot be reached";
        std::vector<int> path;
        for (int at = target; came[at].first >= 0; at = came[at].first) path.insert(path.begin(), came[at].second);
        for (int key : path) Key(key);
        if (Keys().Focus() != target) return ::testing::AssertionFailure() << "the arrows ended on " << Keys().Focus();
        return ::testing::AssertionSuccess();
    }

    // Makes a model move with keys only, the way its mouse gesture would.
    void PlayByKeys(const PlayMove& move) {
        MoveGesture gesture;
        ASSERT_TRUE(game->GestureFor(move, gesture));
        if (move.kind == PlayMove::kStock || move.kind == PlayMove::kDeal) {
            Key('D');
            return;
        }
        ASSERT_TRUE(GoTo(Keys().StopAt(gesture.fromX, gesture.fromY)));
        Key(VK_SPACE);
        if (gesture.kind == MoveGesture::kDrag) {
            ASSERT_TRUE(Keys().Lifted());
            ASSERT_TRUE(GoTo(Keys().StopAt(gesture.toX, gesture.toY)));
            Key(VK_RETURN);
        } else if (gesture.kind == MoveGesture::kTwoClicks) {
            ASSERT_TRUE(GoTo(Keys().StopAt(gesture.toX, gesture.toY)));
            Key(VK_SPACE);
        }
        EXPECT_FALSE(Keys().Lifted());
    }
};

// The first moves of every game made with keys give the position the mouse gives.
TEST_F(KeyboardPlayTest, EveryGamePlaysByKeysAsByTheMouse) {
    for (const GameDescriptor& entry : RegisteredGames()) {
        SCOPED_TRACE(entry.name);
        std::vector<std::string> byMouse;
        DealSeeded(entry.number, 7);
        MoveList played;
        for (int step = 0; step < 4; ++step) {
            MoveList moves;
            game->PlayMoves(moves);
            if (moves.empty()) break;
            // A move that is not the stock, when there is one: those exercise the ring.
            const auto pick = std::find_if(moves.begin(), moves.end(), [](const PlayMove& m) {
                return m.kind != PlayMove::kStock && m.kind != PlayMove::kDeal;
            });
            played.push_back(pick != moves.end() ? *pick : moves.front());
            MoveGesture gesture;
            ASSERT_TRUE(game->GestureFor(played.back(), gesture));
            Perform(gesture);
            byMouse.push_back(game->PositionBytes());
        }
        ASSERT_FALSE(played.empty());
        DealSeeded(entry.number, 7);
        for (size_t i = 0; i < played.size(); ++i) {
            PlayByKeys(played[i]);
            if (HasFatalFailure()) return;
            EXPECT_TRUE(game->PositionBytes() == byMouse[i])
                << "move " << i + 1 << ": kind " << int(played[i].kind) << " from " << int(played[i].from) << " to "
                << int(played[i].to);
        }
        Move(400, 590, false);  // the mouse takes the ring away: the table is left as drawn
        EXPECT_TRUE(WindowShowsScreen());
        EXPECT_TRUE(ScreenCoherent(*game));
        game.reset();
    }
}

// Cards lifted by the keyboard stand raised over a shadow until they are put down; a place that
// refuses them sounds so and keeps them in hand; Escape puts them back and otherwise leaves the table.
TEST_F(KeyboardPlayTest, LiftedCardsShowRaisedARefusedPlaceKeepsThemAndEscapePutsThemBack) {
    DealSeeded(KlondikeGame::kGameNumber, 3);
    const std::string dealt = game->PositionBytes();
    const int records = game->undo.Count();
    // The top card of the rightmost tableau pile.
    Key(VK_RIGHT);
    const int last = static_cast<int>(Keys().Stops().size()) - 1;
    ASSERT_TRUE(GoTo(last));
    const FocusStop stop = Keys().Stops()[Keys().Focus()];
    const Hotspot top = *game->FindPickupAt(stop.x, stop.y);
    Move(400, 590, false);  // the ring away, to see the table as it lies
    const std::vector<Pixel> lying = ScreenPixels();
    Key(VK_RIGHT);
    ASSERT_TRUE(GoTo(last));
    Key(VK_SPACE);
    ASSERT_TRUE(Keys().Lifted());
    ASSERT_TRUE(game->dragging);
    EXPECT_TRUE(game->HeldRaised());
    // The card's picture stands six pixels higher; below it its shadow darkens the table.
    const std::vector<Pixel> raised = ScreenPixels();
    for (int y = top.y + 1; y < top.y + 40; y += 7)
        EXPECT_EQ(PixelAt(raised, top.x + 26, y), PixelAt(lying, top.x + 26, y + Game::kRaise)) << y;
    const Pixel under = PixelAt(lying, top.x + 26, top.y + 84), shadow = PixelAt(raised, top.x + 26, top.y + 84);
    EXPECT_LT((shadow & 0xFF) + ((shadow >> 8) & 0xFF), (under & 0xFF) + ((under >> 8) & 0xFF)) << "a shadow";
    Key('Z', true);  // no undo with cards in the air
    EXPECT_TRUE(game->dragging);

    // A place that does not take the card: the refusal sound, the card still held and raised.
    DragRecord held = game->dragRecord;
    int refusing = -1;
    for (int i = 0; i < static_cast<int>(Keys().Stops().size()); ++i) {
        const FocusStop& stop = Keys().Stops()[i];
        if (artwork->CardRect(held.x, held.y).Contains(stop.x, stop.y)) continue;  // where it came from
        DropTarget* target = game->FindDropTargetAt(stop.x, stop.y);
        if (target && !game->CanDrop(held, *target)) refusing = i;
    }
    ASSERT_GE(refusing, 0);
    ASSERT_TRUE(GoTo(refusing));  // the ring moves among the drop targets while the cards are held
    sounds.clear();
    Key(VK_SPACE);
    EXPECT_EQ(sounds, std::vector<std::string>{"invalid.wav"});
    EXPECT_TRUE(Keys().Lifted());
    EXPECT_TRUE(game->dragging);
    EXPECT_TRUE(game->HeldRaised());
    // Escape puts it down where it lay, leaving nothing of the shadow or the marks.
    sounds.clear();
    Key(VK_ESCAPE);
    EXPECT_FALSE(game->dragging);
    EXPECT_FALSE(Keys().Lifted());
    EXPECT_FALSE(game->HeldRaised());
    EXPECT_TRUE(game->PositionBytes() == dealt);
    EXPECT_EQ(game->undo.Count(), records);
    EXPECT_TRUE(sounds.empty());
    EXPECT_EQ(leftGame, 0);
    Move(400, 590, false);
    EXPECT_TRUE(ScreenCoherent(*game));
    // With nothing lifted Escape keeps its meaning: back to the selection screen.
    Key(VK_ESCAPE);
    EXPECT_EQ(leftGame, 1);
}

// While cards are held, by the mouse or the keyboard, a thin outline marks each place that takes
// them; letting go takes every mark away. "Show Targets" turns them off for the player.
TEST_F(KeyboardPlayTest, HeldCardsMarkEveryPlaceThatTakesThem) {
    userPreferences.CurrentPlayer = FindOrAddPlayer("Tester");
    for (unsigned seed = 1; seed < 40; ++seed) {
        DealSeeded(KlondikeGame::kGameNumber, seed);
        // A stack with more than one place to go.
        MoveList moves;
        game->PlayMoves(moves);
        std::map<std::pair<int, int>, std::vector<MoveGesture>> byStack;
        for (const PlayMove& move : moves) {
            MoveGesture gesture;
            if (move.kind == PlayMove::kMove && game->GestureFor(move, gesture))
                byStack[{move.from, move.index}].push_back(gesture);
        }
        const auto many = std::find_if(byStack.begin(), byStack.end(), [](const auto& entry) { return entry.second.size() > 1; });
        if (many == byStack.end()) continue;
        const std::vector<MoveGesture>& legal = many->second;
        const MoveGesture& first = legal.front();
        const screen_layout::Rgb rgb = artwork->ThemeColours().tableMark;
        const Pixel highlight = MapRgb(rgb.r, rgb.g, rgb.b);

        Move(first.fromX, first.fromY, false);
        Press(first.fromX, first.fromY);
        Move(first.fromX + 200, 500);
        ASSERT_TRUE(game->dragging);
        const std::vector<Rect>& marks = game->Targets().Cards();
        EXPECT_EQ(marks.size(), legal.size());
        for (const MoveGesture& gesture : legal)
            EXPECT_EQ(std::count_if(marks.begin(), marks.end(), [&](const Rect& r) { return r.Contains(gesture.toX, gesture.toY); }), 1);
        const std::vector<Pixel> shown = ScreenPixels();
        for (const Rect& mark : marks) EXPECT_EQ(PixelAt(shown, mark.left + 20, mark.top - TargetMarks::kMargin), highlight);
        Release(first.fromX + 200, 500);
        EXPECT_FALSE(game->Targets().Visible());
        EXPECT_TRUE(ScreenCoherent(*game));

        // Lifted with the keyboard, the same marks.
        Key(VK_RIGHT);
        ASSERT_TRUE(GoTo(Keys().StopAt(first.fromX, first.fromY)));
        Key(VK_SPACE);
        ASSERT_TRUE(Keys().Lifted());
        EXPECT_EQ(game->Targets().Cards().size(), legal.size());
        ASSERT_TRUE(GoTo(Keys().StopAt(first.toX, first.toY)));
        Key(VK_SPACE);
        EXPECT_FALSE(game->dragging);
        EXPECT_FALSE(game->Targets().Visible());
        Move(400, 590, false);
        EXPECT_TRUE(ScreenCoherent(*game));

        // Turned off, and kept so for the player.
        ASSERT_TRUE(game->ShowTargetsItem()->IsChecked());
        ASSERT_TRUE(Choose(kCommandShowTargets));
        EXPECT_FALSE(game->ShowTargetsItem()->IsChecked());
        {
            SettingsKey key(PlayerPreferencesPath(userPreferences.CurrentPlayer));
            EXPECT_EQ(ReadDwordValue(key, "ShowTargets", 9), 0);
        }
        userPreferences.ShowTargets = 1;
        LoadPreferences();
        EXPECT_EQ(userPreferences.ShowTargets, 0u);
        DealSeeded(KlondikeGame::kGameNumber, seed);
        EXPECT_FALSE(game->ShowTargetsItem()->IsChecked());
        Move(first.fromX, first.fromY, false);
        Press(first.fromX, first.fromY);
        EXPECT_TRUE(game->dragging);
        EXPECT_FALSE(game->Targets().Visible());
        Release(first.fromX, first.fromY);
        return;
    }
    FAIL() << "no deal offers a stack two places";
}

TEST_F(KeyboardPlayTest, MenusOpenWithAltAndShowTheirShortcutKeys) {
    DealSeeded(KlondikeGame::kGameNumber, 3);
    // Alt tapped alone, or with a letter, as the system sends it.
    const auto alt = [this](int letter) {
        Post(WM_SYSKEYDOWN, VK_MENU, 0, 0);
        if (letter) {
            Post(WM_SYSKEYDOWN, static_cast<WPARAM>(letter), 0, 0);
            Post(WM_SYSKEYUP, static_cast<WPARAM>(letter), 0, 0);
        }
        Post(WM_SYSKEYUP, VK_MENU, 0, 0);
    };
    // Alt tapped alone opens the Game menu with its first item lit; tapped again it closes.
    alt(0);
    ASSERT_TRUE(game->GameCommandsMenu()->IsPanelOpen());
    EXPECT_EQ(game->GameCommandsMenu()->DropDown()->Highlighted(), game->GameCommandsMenu()->Item(0));
    alt(0);
    EXPECT_FALSE(game->IsMenuOpen());
    // Alt with a title's letter opens that menu, and the items' letters choose.
    alt('H');
    ASSERT_TRUE(game->HelpMenu()->IsPanelOpen());
    std::vector<std::string> rules;
    Services().rulesText = [&](const std::string& name) { rules.push_back(name); };
    Key('R');
    EXPECT_FALSE(game->IsMenuOpen());
    EXPECT_EQ(rules, std::vector<std::string>{"Klondike"});
    // F1 and Ctrl+N outside the menus.
    Key(VK_F1);
    EXPECT_EQ(rules.size(), 2u);
    const uint32_t deal = game->dealNumber;
    Key('N', true);
    EXPECT_NE(game->dealNumber, deal);
}

}  // namespace
