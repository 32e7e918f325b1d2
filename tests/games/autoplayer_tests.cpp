// The autoplayer: plays deals of every registered game through the mouse path (presses on
// pick-ups, drags to targets the game offers or to random places, clicks on the game's own click
// points, double clicks, undo and "End Game" from the menu) and checks after every action that
// each card is accounted for exactly once. A new game plugs in with one line in kCensus.
#include <cstdlib>
#include <fstream>
#include <span>
#include <map>
#include <random>

#include "games/accordion.h"
#include "games/game_registry.h"
#include "games/klondike.h"
#include "platform/crt.h"
#include "tests/framework/game_fixture.h"

namespace {

// Where every card of a game is: the cards the state shows, and how many it no longer records
// (Accordion keeps only the top card of each pile, so covered cards leave the state).
struct Census {
    std::vector<Card> cards;
    int unrecorded = 0;
};

Census AccordionCensus(Game& base) {
    auto& game = static_cast<AccordionGame&>(base);
    Census census;
    for (Card card : game.cells)
        if (card != Card()) census.cards.push_back(card);
    census.unrecorded = Card::kCardsPerPack - static_cast<int>(census.cards.size());
    return census;
}

Census KlondikeCensus(Game& base) {
    auto& game = static_cast<KlondikeGame&>(base);
    Census census;
    for (int i = 0; i < game.deck.Remaining(); ++i) census.cards.push_back(game.deck.Peek(i));
    for (int i = 0; i < game.wasteCount; ++i) census.cards.push_back(game.waste[i]);
    for (int pile = 0; pile < KlondikeGame::kPiles; ++pile)
        for (int k = 0; k < game.pileCount[pile]; ++k) census.cards.push_back(game.tableau[pile][k]);
    // A foundation holds every card of its top card's suit from the starting rank up to the top.
    for (Card top : game.foundations) {
        if (!top.IsValid()) continue;
        for (int rank = game.startRank;; rank = KlondikeGame::NextRank(rank)) {
            census.cards.push_back(Card(top.Suit(), rank));
            if (rank == top.Rank() || census.cards.size() > 200) break;
        }
    }
    return census;
}

template <typename T>
bool Restore(Game& game, std::span<const uint8_t> record) {
    return static_cast<T&>(game).RestoreRecord(record);
}

struct Player {
    Census (*census)(Game&);
    bool (*restore)(Game&, std::span<const uint8_t>);  // the game's undo record reader
    std::vector<std::pair<int, int>> clickPoints;  // places a click does something (a stock)
};

const std::map<int, Player>& Players() {
    static const std::map<int, Player> players = {
        {1, {&AccordionCensus, &Restore<AccordionGame>, {}}},
        {12, {&KlondikeCensus, &Restore<KlondikeGame>, {{KlondikeGame::kStockX + 20, KlondikeGame::kStockY + 30}}}},
    };
    return players;
}

int DealsPerGame() {
    if (const char* text = std::getenv("QUILLFEN_AUTOPLAY_DEALS")) return std::max(1, std::atoi(text));
    return 200;
}

class AutoplayerTest : public GameTest {
protected:
    ::testing::AssertionResult Accounted(Game& game, const Player& player) {
        const Census census = player.census(game);
        std::array<int, Card::kCardsPerPack> copies{};
        for (Card card : census.cards) {
            if (!card.IsValid()) return ::testing::AssertionFailure() << "an impossible card in play";
            if (++copies[card.Index()] > 1)
                return ::testing::AssertionFailure() << "card " << card.Suit() << "/" << card.Rank() << " twice";
        }
        if (static_cast<int>(census.cards.size()) + census.unrecorded != Card::kCardsPerPack)
            return ::testing::AssertionFailure() << census.cards.size() << " cards in play";
        return ::testing::AssertionSuccess();
    }

    // One action through the mouse or the menu.
    void Act(Game& game, const Player& player, std::mt19937& random) {
        const int roll = static_cast<int>(random() % 100);
        if (roll < 4) {
            Choose(kCommandUndo);
            return;
        }
        if (roll < 20 && !player.clickPoints.empty()) {
            const auto [x, y] = player.clickPoints[random() % player.clickPoints.size()];
            Click(x, y);
            return;
        }
        if (game.pickups.empty()) return;
        auto spot = game.pickups.begin();
        std::advance(spot, random() % game.pickups.size());
        const int x = spot->x + 10 + static_cast<int>(random() % 30), y = spot->y + 5 + static_cast<int>(random() % 10);
        if (roll < 30) {
            DoubleClick(x, y);
            return;
        }
        Move(x, y, false);
        Press(x, y);
        if (!game.dragging) {
            Release(x, y);
            return;
        }
        // Mostly a target the game accepts, sometimes anywhere.
        std::vector<DropTarget> legal;
        for (DropTarget& target : game.dropTargets)
            if (game.CanDrop(game.dragRecord, target)) legal.push_back(target);
        // Foundation moves first, when there are any: random play then finishes more deals.
        std::vector<DropTarget> home;
        for (const DropTarget& target : legal)
            if (target.kind == kAutoMoveKind) home.push_back(target);
        if (!home.empty() && roll < 70) legal = home;
        int toX, toY;
        if (!legal.empty() && roll < 90) {
            const DropTarget& target = legal[random() % legal.size()];
            toX = target.rect.left + 5 + (x - spot->x) % 40;
            toY = target.rect.top + 5 + (y - spot->y) % 40;
        } else {
            toX = 60 + static_cast<int>(random() % 680);
            toY = 60 + static_cast<int>(random() % 480);
        }
        Move(toX, toY);
        Release(toX, toY);
    }
};

TEST_F(AutoplayerTest, EveryGameIsPlayedToTheEndWithEveryCardAccountedFor) {
    const int deals = DealsPerGame();
    constexpr int kMaxActions = 150;
    int endedByThemselves = 0;
    for (const GameEntry& entry : RegisteredGames()) {
        SCOPED_TRACE(entry.name);
        auto found = Players().find(entry.number);
        ASSERT_NE(found, Players().end()) << "add the game's census to the autoplayer";
        const Player& player = found->second;
        game = entry.create(artwork.get());
        int won = 0, blocked = 0, endedByPlayer = 0;
        for (int deal = 0; deal < deals; ++deal) {
            crt::srand(static_cast<unsigned>(deal * 7919 + entry.number));
            std::mt19937 random(static_cast<unsigned>(deal));
            // Half the deals run with Auto Game Over, half end blocked games by hand.
            userPreferences.AutoGameOver = deal % 2;
            game->AutoGameOverItem()->SetChecked(deal % 2);
            if (deal == 0) game->NewGame(false);
            else {
                game->ClearHotspots();
                game->NewGame(true);
            }
            const int sequences = game->EndSequenceCount();
            ASSERT_TRUE(Accounted(*game, player)) << "deal " << deal << " after the deal";
            for (int action = 0; action < kMaxActions && !game->gameOver; ++action) {
                Act(*game, player, random);
                ASSERT_TRUE(game) << "the game went away";
                ASSERT_FALSE(game->dragging);
                ASSERT_TRUE(Accounted(*game, player)) << "deal " << deal << " action " << action;
            }
            if (!game->gameOver) {
                ASSERT_TRUE(Choose(kCommandEndGame));
                ++endedByPlayer;
            } else {
                Tick();
                if (game->IsWon()) ++won;
                else ++blocked;
            }
            ASSERT_TRUE(game->gameOver);
            ASSERT_EQ(game->EndSequenceCount(), sequences + 1) << "deal " << deal << " ended once";
            ASSERT_NE(game->finalScore, Game::kScoreNotComputed);
        }
        EXPECT_EQ(won + blocked + endedByPlayer, deals);
        endedByThemselves += won + blocked;
        std::printf("%s: %d deals, %d won, %d blocked, %d ended by the player\n", entry.name, deals, won, blocked,
                    endedByPlayer);
        game.reset();
        EXPECT_TRUE(UndoFiles().empty());
    }
    EXPECT_GT(endedByThemselves, 0) << "Auto Game Over ends blocked deals";
}

// Damaged records: every game's reader refuses what it cannot use, never reads out of bounds
// (AddressSanitizer watches), and a record it accepts leaves every card accounted for.
TEST_F(AutoplayerTest, DamagedUndoRecordsAreRefusedOrLeaveAPossiblePosition) {
    std::mt19937 random(42);
    for (const GameEntry& entry : RegisteredGames()) {
        SCOPED_TRACE(entry.name);
        const Player& player = Players().at(entry.number);
        game = entry.create(artwork.get());
        crt::srand(5);
        game->NewGame(false);
        for (int action = 0; action < 40; ++action) Act(*game, player, random);
        game->SaveUndo();
        std::ifstream file(UndoJournal::RecordPath(game->undo.Count()), std::ios::binary);
        const std::vector<uint8_t> good((std::istreambuf_iterator<char>(file)), {});
        ASSERT_GT(good.size(), kUndoGamePartOffset);
        ASSERT_TRUE(player.restore(*game, good));
        int accepted = 0;
        for (int trial = 0; trial < 3000; ++trial) {
            std::vector<uint8_t> record = good;
            const int damage = static_cast<int>(random() % 4);
            if (damage == 0) record.resize(random() % record.size());
            else {
                for (int flips = 1 + static_cast<int>(random() % 4); flips > 0; --flips) {
                    // Mostly the game's own part, where its counts and cards are.
                    const size_t at = random() % 2 ? kUndoGamePartOffset + random() % (record.size() - kUndoGamePartOffset)
                                                   : random() % record.size();
                    record[at] = damage == 1 ? static_cast<uint8_t>(random()) : record[at] ^ 0x01;
                }
            }
            if (player.restore(*game, record)) {
                ++accepted;
                ASSERT_TRUE(Accounted(*game, player)) << "trial " << trial;
                ASSERT_TRUE(player.restore(*game, good));
            }
        }
        std::printf("%s: %d of 3000 damaged records accepted\n", entry.name, accepted);
        game.reset();
    }
}

}  // namespace
