// The autoplayer: plays deals of every registered game through the mouse path (presses on
// pick-ups, drags to targets the game offers or to random places, clicks on the game's own click
// points, double clicks, undo and "End Game" from the menu) and checks after every action that
// each card is accounted for exactly once. A new game plugs in with one line in kCensus.
#include <cctype>
#include <cstdlib>
#include <fstream>
#include <span>
#include <map>
#include <random>

#include "games/accordion.h"
#include "games/agnes.h"
#include "games/forty_thieves.h"
#include "games/gate.h"
#include "games/simplicity.h"
#include "games/spider.h"
#include "games/auld_lang_syne.h"
#include "games/calculation.h"
#include "games/cribbage_solitaire.h"
#include "games/four_seasons.h"
#include "games/poker_solitaire.h"
#include "games/quadrille.h"
#include "games/canfield.h"
#include "games/game_registry.h"
#include "games/klondike.h"
#include "games/golf.h"
#include "games/pyramid.h"
#include "games/monte_carlo.h"
#include "games/take_fourteen.h"
#include "games/simple_addition.h"
#include "games/block_solitaire.h"
#include "platform/crt.h"
#include "tests/framework/game_fixture.h"

namespace {

// Where every card of a game is: the cards the state shows, and how many it no longer records
// (Accordion keeps only the top card of each pile, so covered cards leave the state).
struct Census {
    std::vector<Card> cards;
    int unrecorded = 0;
    int packs = 1;  // two-pack games hold two copies of every card
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

Census CanfieldCensus(Game& base) {
    auto& game = static_cast<CanfieldGame&>(base);
    Census census;
    for (int i = 0; i < game.deck.Remaining(); ++i) census.cards.push_back(game.deck.Peek(i));
    for (int i = 0; i < game.wasteCount; ++i) census.cards.push_back(game.waste[i]);
    for (int i = 0; i < game.reserveCount; ++i) census.cards.push_back(game.reserve[i]);
    for (int pile = 0; pile < CanfieldGame::kPiles; ++pile)
        for (int k = 0; k < game.pileCount[pile]; ++k) census.cards.push_back(game.tableau[pile][k]);
    for (Card top : game.foundations) {
        if (!top.IsValid()) continue;
        for (int rank = game.baseCard.Rank();; rank = CanfieldGame::NextRank(rank)) {
            census.cards.push_back(Card(top.Suit(), rank));
            if (rank == top.Rank() || census.cards.size() > 200) break;
        }
    }
    return census;
}

// Calculation keeps only each foundation's top: the cards beneath it are counted, not known.
Census CalculationCensus(Game& base) {
    auto& game = static_cast<CalculationGame&>(base);
    Census census;
    for (int i = 0; i < game.deck.Remaining(); ++i) census.cards.push_back(game.deck.Peek(i));
    if (game.current.IsValid()) census.cards.push_back(game.current);
    for (int k = 0; k < CalculationGame::kWastePiles; ++k)
        for (int i = 0; i < game.wasteCounts[k]; ++i) census.cards.push_back(game.waste[k][i]);
    for (int k = 0; k < CalculationGame::kFoundations; ++k) {
        census.cards.push_back(game.foundationTops[k]);
        census.unrecorded += game.foundationCounts[k] - 1;
    }
    return census;
}

// Auld Lang Syne's foundations take any suit: only their tops are known.
Census AuldLangSyneCensus(Game& base) {
    auto& game = static_cast<AuldLangSyneGame&>(base);
    Census census;
    for (int i = 0; i < game.deck.Remaining(); ++i) census.cards.push_back(game.deck.Peek(i));
    for (int k = 0; k < AuldLangSyneGame::kPiles; ++k)
        for (int i = 0; i < game.pileCounts[k]; ++i) census.cards.push_back(game.piles[k][i]);
    for (int k = 0; k < AuldLangSyneGame::kFoundations; ++k) {
        if (!game.foundations[k].IsValid()) continue;
        census.cards.push_back(game.foundations[k]);
        census.unrecorded += game.FoundationCount(k) - 1;
    }
    return census;
}

Census FourSeasonsCensus(Game& base) {
    auto& game = static_cast<FourSeasonsGame&>(base);
    Census census;
    for (int i = 0; i < game.deck.Remaining(); ++i) census.cards.push_back(game.deck.Peek(i));
    for (int i = 0; i < game.wasteCount; ++i) census.cards.push_back(game.waste[i]);
    for (int k = 0; k < FourSeasonsGame::kPiles; ++k)
        for (int i = 0; i < game.pileCounts[k]; ++i) census.cards.push_back(game.piles[k][i]);
    // A foundation holds its top's suit from the starting rank up to the top, round the corner.
    for (Card top : game.foundations) {
        if (!top.IsValid()) continue;
        for (int rank = game.startRank;; rank = (rank + 1) % Card::kRankCount) {
            census.cards.push_back(Card(top.Suit(), rank));
            if (rank == top.Rank() || census.cards.size() > 200) break;
        }
    }
    return census;
}

Census QuadrilleCensus(Game& base) {
    auto& game = static_cast<QuadrilleGame&>(base);
    Census census;
    for (int i = 0; i < game.deck.Remaining(); ++i) census.cards.push_back(game.deck.Peek(i));
    for (int i = 0; i < game.wasteCount; ++i) census.cards.push_back(game.waste[i]);
    for (int i = 0; i < game.centreCount; ++i) census.cards.push_back(game.centre[i]);
    auto pile = [&census](Card top, std::span<const int> order) {
        if (!top.IsValid()) return;
        for (int rank : order) {
            census.cards.push_back(Card(top.Suit(), rank));
            if (rank == top.Rank()) return;
        }
        census.cards.push_back(Card());  // a top its pile can never reach
    };
    for (int k = 0; k < QuadrilleGame::kPiles; ++k) {
        pile(game.downTops[k], QuadrilleGame::kDownOrder);
        pile(game.upTops[k], QuadrilleGame::kUpOrder);
    }
    return census;
}

// Games that take cards out of play record only what is still on the table.
Census RemainingCensus(std::vector<Card> cards, const Deck& deck) {
    Census census;
    for (int i = 0; i < deck.Remaining(); ++i) cards.push_back(deck.Peek(i));
    for (Card card : cards)
        if (card.IsValid()) census.cards.push_back(card);
    census.unrecorded = Card::kCardsPerPack - static_cast<int>(census.cards.size());
    return census;
}

Census GolfCensus(Game& base) {
    auto& game = static_cast<GolfGame&>(base);
    std::vector<Card> cards(game.foundation.begin(), game.foundation.begin() + game.foundationCount);
    for (int column = 0; column < GolfGame::kMaxColumns; ++column)
        for (int k = 0; k < game.columnCount[column]; ++k) cards.push_back(game.columns[column][k]);
    Census census = RemainingCensus(cards, game.deck);
    // Golf keeps every card: nothing may go missing.
    if (census.unrecorded != 0) census.cards.push_back(Card());
    return census;
}

Census PyramidCensus(Game& base) {
    auto& game = static_cast<PyramidGame&>(base);
    std::vector<Card> cards(game.talon.begin(), game.talon.begin() + game.talonCount);
    cards.push_back(game.waste);
    for (const auto& row : game.triangle) cards.insert(cards.end(), row.begin(), row.end());
    cards.insert(cards.end(), game.extraRow.begin(), game.extraRow.end());
    return RemainingCensus(cards, game.deck);
}

Census MonteCarloCensus(Game& base) {
    auto& game = static_cast<MonteCarloGame&>(base);
    return RemainingCensus({game.grid.begin(), game.grid.end()}, game.deck);
}

Census TakeFourteenCensus(Game& base) {
    auto& game = static_cast<TakeFourteenGame&>(base);
    std::vector<Card> cards;
    for (const auto& pile : game.piles) cards.insert(cards.end(), pile.begin(), pile.end());
    return RemainingCensus(cards, game.deck);
}

Census SimpleAdditionCensus(Game& base) {
    auto& game = static_cast<SimpleAdditionGame&>(base);
    return RemainingCensus({game.slots.begin(), game.slots.end()}, game.deck);
}

Census BlockSolitaireCensus(Game& base) {
    auto& game = static_cast<BlockSolitaireGame&>(base);
    return RemainingCensus({game.slots.begin(), game.slots.end()}, game.deck);
}

// Click points on every card place of the games that keep no pick-ups.
std::vector<std::pair<int, int>> TakeFourteenPoints() {
    std::vector<std::pair<int, int>> points;
    for (int pile = 0; pile < TakeFourteenGame::kPiles; ++pile)
        for (int k = 0; k < TakeFourteenGame::kPileSlots; ++k)
            points.emplace_back(TakeFourteenGame::PileX(pile) + 20, TakeFourteenGame::CardY(k) + 5);
    return points;
}
std::vector<std::pair<int, int>> SimpleAdditionPoints() {
    std::vector<std::pair<int, int>> points;
    for (int slot = 0; slot < SimpleAdditionGame::kSlots; ++slot)
        points.emplace_back(SimpleAdditionGame::SlotX(slot) + 20, SimpleAdditionGame::kSlotY + 30);
    return points;
}
std::vector<std::pair<int, int>> BlockSolitairePoints() {
    std::vector<std::pair<int, int>> points;
    for (int slot = 0; slot < BlockSolitaireGame::kSlots; ++slot)
        points.emplace_back(BlockSolitaireGame::SlotX(slot) + 20, BlockSolitaireGame::SlotY(slot) + 30);
    return points;
}

// The grid games never take a card out of play.
template <typename T>
Census GridCensus(Game& base) {
    auto& game = static_cast<T&>(base);
    Census census;
    for (int i = 0; i < game.deck.Remaining(); ++i) census.cards.push_back(game.deck.Peek(i));
    if (game.current.IsValid()) census.cards.push_back(game.current);
    for (Card card : game.grid)
        if (card.IsValid()) census.cards.push_back(card);
    for (int k = 0; k < T::kReservePiles; ++k)
        for (int i = 0; i < game.reserveCounts[k]; ++i) census.cards.push_back(game.reserves[k][i]);
    if constexpr (requires { game.starter; })
        if (game.starter.IsValid()) census.cards.push_back(game.starter);
    return census;
}

template <typename T>
std::vector<std::pair<int, int>> GridClicks() {
    std::vector<std::pair<int, int>> points;
    for (int i = 0; i < T::kCells; ++i) points.emplace_back(T::CellX(i) + 20, T::CellY(i) + 30);
    return points;
}

// Spider's foundations show only the last card put there, so the cards on them go unrecorded.
Census SpiderCensus(Game& base) {
    auto& game = static_cast<SpiderGame&>(base);
    Census census;
    census.packs = 2;
    for (int i = 0; i < game.deck.Remaining(); ++i) census.cards.push_back(game.deck.Peek(i));
    for (int column = 0; column < SpiderGame::kColumns; ++column)
        for (int i = 0; i < game.columnCount[column]; ++i) census.cards.push_back(game.columns[column][i]);
    census.unrecorded = 2 * Card::kCardsPerPack - static_cast<int>(census.cards.size());
    return census;
}

Census SimplicityCensus(Game& base) {
    auto& game = static_cast<SimplicityGame&>(base);
    Census census;
    for (int i = 0; i < game.deck.Remaining(); ++i) census.cards.push_back(game.deck.Peek(i));
    for (int i = 0; i < game.wasteCount; ++i) census.cards.push_back(game.waste[i]);
    for (int pile = 0; pile < SimplicityGame::kPiles; ++pile)
        for (int k = 0; k < game.pileCount[pile]; ++k) census.cards.push_back(game.piles[pile][k]);
    for (Card top : game.foundations) {
        if (!top.IsValid()) continue;
        for (int rank = game.startRank;; rank = SimplicityGame::NextRank(rank)) {
            census.cards.push_back(Card(top.Suit(), rank));
            if (rank == top.Rank() || census.cards.size() > 200) break;
        }
    }
    return census;
}

Census GateCensus(Game& base) {
    auto& game = static_cast<GateGame&>(base);
    Census census;
    for (int i = 0; i < game.deck.Remaining(); ++i) census.cards.push_back(game.deck.Peek(i));
    for (int i = 0; i < game.wasteCount; ++i) census.cards.push_back(game.waste[i]);
    for (int post = 0; post < 2; ++post)
        for (int i = 0; i < game.postCount[post]; ++i) census.cards.push_back(game.posts[post][i]);
    for (int column = 0; column < GateGame::kColumns; ++column)
        for (int i = 0; i < game.columnCount[column]; ++i) census.cards.push_back(game.columns[column][i]);
    for (Card top : game.foundations) {
        if (!top.IsValid()) continue;
        for (int rank = game.startRank;; rank = GateGame::NextRank(rank)) {
            census.cards.push_back(Card(top.Suit(), rank));
            if (rank == top.Rank() || census.cards.size() > 200) break;
        }
    }
    return census;
}

// Agnes keeps only each foundation's top; the foundation holds its suit from the starting rank up.
Census AgnesCensus(Game& base) {
    auto& game = static_cast<AgnesGame&>(base);
    Census census;
    for (int i = 0; i < game.deck.Remaining(); ++i) census.cards.push_back(game.deck.Peek(i));
    for (int pile = 0; pile < AgnesGame::kPiles; ++pile)
        for (int k = 0; k < game.pileCount[pile]; ++k) census.cards.push_back(game.tableau[pile][k]);
    for (int pile = 0; pile < AgnesGame::kReservePiles; ++pile)
        for (int k = 0; k < game.reserveCount[pile]; ++k) census.cards.push_back(game.reserve[pile][k]);
    for (Card top : game.foundations) {
        if (!top.IsValid()) continue;
        for (int rank = game.startRank;; rank = AgnesGame::NextRank(rank)) {
            census.cards.push_back(Card(top.Suit(), rank));
            if (rank == top.Rank() || census.cards.size() > 200) break;
        }
    }
    return census;
}

// Forty Thieves: two packs; each foundation holds its suit from the starting rank up to its top.
Census FortyThievesCensus(Game& base) {
    auto& game = static_cast<FortyThievesGame&>(base);
    Census census;
    census.packs = 2;
    for (int i = 0; i < game.deck.Remaining(); ++i) census.cards.push_back(game.deck.Peek(i));
    for (int i = 0; i < game.wasteCount; ++i) census.cards.push_back(game.waste[i]);
    for (int column = 0; column < FortyThievesGame::kColumns; ++column)
        for (int i = 0; i < game.columnCount[column]; ++i) census.cards.push_back(game.columns[column][i]);
    for (Card top : game.foundations) {
        if (!top.IsValid()) continue;
        for (int rank = game.startRank;; rank = FortyThievesGame::NextRank(rank)) {
            census.cards.push_back(Card(top.Suit(), rank));
            if (rank == top.Rank() || census.cards.size() > 250) break;
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
        {8, {&FortyThievesCensus, &Restore<FortyThievesGame>, {{FortyThievesGame::kStockX + 20, FortyThievesGame::kStockY + 30}}}},
        {2, {&AgnesCensus, &Restore<AgnesGame>, {{AgnesGame::kStockX + 20, AgnesGame::kStockY + 30}}}},
        {10, {&GateCensus, &Restore<GateGame>, {{GateGame::kStockX + 20, GateGame::kStockY + 30}}}},
        {18, {&SimplicityCensus, &Restore<SimplicityGame>, {{SimplicityGame::kStockX + 20, SimplicityGame::kStockY + 30}}}},
        {19, {&SpiderCensus, &Restore<SpiderGame>, {{SpiderGame::kStockX + 20, SpiderGame::kStockY + 30}}}},
        {7, {&GridCensus<CribbageSolitaireGame>, &Restore<CribbageSolitaireGame>, GridClicks<CribbageSolitaireGame>()}},
        {14, {&GridCensus<PokerSolitaireGame>, &Restore<PokerSolitaireGame>, GridClicks<PokerSolitaireGame>()}},
        {3, {&AuldLangSyneCensus, &Restore<AuldLangSyneGame>, {{AuldLangSyneGame::kStockX + 20, AuldLangSyneGame::kStockY + 30}}}},
        {5, {&CalculationCensus, &Restore<CalculationGame>, {{CalculationGame::kStockX + 20, CalculationGame::kStockY + 30}}}},
        {9, {&FourSeasonsCensus, &Restore<FourSeasonsGame>, {{FourSeasonsGame::kStockX + 20, FourSeasonsGame::kStockY + 30}}}},
        {16, {&QuadrilleCensus, &Restore<QuadrilleGame>, {{QuadrilleGame::kStockX + 20, QuadrilleGame::kStockY + 30}}}},
        {6, {&CanfieldCensus, &Restore<CanfieldGame>, {{CanfieldGame::kStockX + 20, CanfieldGame::kStockY + 30}}}},
        {1, {&AccordionCensus, &Restore<AccordionGame>, {}}},
        {12, {&KlondikeCensus, &Restore<KlondikeGame>, {{KlondikeGame::kStockX + 20, KlondikeGame::kStockY + 30}}}},
        {11, {&GolfCensus, &Restore<GolfGame>, {{GolfGame::kStockX + 20, GolfGame::kStockY + 30}}}},
        {15, {&PyramidCensus, &Restore<PyramidGame>, {{PyramidGame::kStockX + 20, PyramidGame::kStockY + 30}}}},
        {13, {&MonteCarloCensus, &Restore<MonteCarloGame>, {}}},
        {20, {&TakeFourteenCensus, &Restore<TakeFourteenGame>, TakeFourteenPoints()}},
        {17, {&SimpleAdditionCensus, &Restore<SimpleAdditionGame>, SimpleAdditionPoints()}},
        {4, {&BlockSolitaireCensus, &Restore<BlockSolitaireGame>, BlockSolitairePoints()}},
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
            if (++copies[card.Index()] > census.packs)
                return ::testing::AssertionFailure() << "card " << card.Suit() << "/" << card.Rank() << " twice";
        }
        if (static_cast<int>(census.cards.size()) + census.unrecorded != Card::kCardsPerPack * census.packs)
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
        // The press may rebuild the pick-up list (a game's CheckGameOver does), so only the
        // origin is kept, not the entry.
        const int spotX = spot->x, spotY = spot->y;
        const int x = spotX + 10 + static_cast<int>(random() % 30), y = spotY + 5 + static_cast<int>(random() % 10);
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
            toX = target.rect.left + 5 + (x - spotX) % 40;
            toY = target.rect.top + 5 + (y - spotY) % 40;
        } else {
            toX = 60 + static_cast<int>(random() % 680);
            toY = 60 + static_cast<int>(random() % 480);
        }
        Move(toX, toY);
        Release(toX, toY);
    }
};

// One test per registered game, so CTest spreads them over the cores.
class AutoplayerEveryGame : public AutoplayerTest, public ::testing::WithParamInterface<int> {};

TEST_P(AutoplayerEveryGame, PlaysToTheEndWithEveryCardAccountedFor) {
    const int deals = DealsPerGame();
    constexpr int kMaxActions = 150;
    const GameEntry& entry = *FindGame(GetParam());
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
    std::printf("%s: %d deals, %d won, %d blocked, %d ended by the player\n", entry.name, deals, won, blocked,
                endedByPlayer);
    game.reset();
    EXPECT_TRUE(UndoFiles().empty());
}

std::vector<int> RegisteredNumbers() {
    std::vector<int> numbers;
    for (const GameEntry& entry : RegisteredGames()) numbers.push_back(entry.number);
    return numbers;
}

INSTANTIATE_TEST_SUITE_P(RegisteredGames, AutoplayerEveryGame, ::testing::ValuesIn(RegisteredNumbers()),
                         [](const ::testing::TestParamInfo<int>& info) {
                             std::string name;
                             for (char c : std::string(FindGame(info.param)->name))
                                 if (std::isalnum(static_cast<unsigned char>(c))) name += c;
                             return name;
                         });

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
