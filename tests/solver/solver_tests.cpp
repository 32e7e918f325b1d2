// The solver's answers checked against the games themselves: every win it finds for seeded deals
// of every game is played again through the on-screen game's mouse path and must win there; its
// "lost" answers on small positions agree with a search of every sequence of moves; a search
// stops at once when cancelled and keeps to its budgets.
#include <algorithm>
#include <chrono>
#include <functional>
#include <random>
#include <thread>
#include <unordered_set>

#include "games/accordion.h"
#include "games/agnes.h"
#include "games/auld_lang_syne.h"
#include "games/calculation.h"
#include "games/canfield.h"
#include "games/forty_thieves.h"
#include "games/four_seasons.h"
#include "games/gate.h"
#include "games/golf.h"
#include "games/klondike.h"
#include "games/models/model_registry.h"
#include "games/pyramid.h"
#include "games/simple_addition.h"
#include "games/spider.h"
#include "solver/build_games.h"
#include "solver/solver.h"
#include "store/settings_store.h"
#include "tests/games/autoplayer.h"

namespace {

// Deterministic budgets: positions, not time, so a slow (sanitised) build gives the same answers.
constexpr SolveBudget kReplayBudget{.nodes = 4000, .memoryBytes = size_t{16} << 20, .seconds = 1e6};
constexpr unsigned kSeeds[] = {3, 17};

class SolverReplay : public AutoplayerTest, public ::testing::WithParamInterface<int> {
protected:
    // Deal `seed` as the program deals it, with Auto Game Over on.
    void Deal(const GameDescriptor& entry, unsigned seed, bool first) {
        if (first) {
            game = entry.create(artwork.get());
            userPreferences.AutoGameOver = 1;
            game->AutoGameOverItem()->SetChecked(1);
        } else {
            game->ClearHotspots();
        }
        game->deck.Seed(seed);
        game->NewGame(!first);
    }

    // Plays the solver's moves with the mouse; each must be one the game offers at that point.
    // `ahead` runs before each move, for clicks its gesture does not make.
    void Replay(const MoveList& solution, const std::function<void(const PlayMove&)>& ahead = {}) {
        for (size_t i = 0; i < solution.size(); ++i) {
            SCOPED_TRACE("move " + std::to_string(i + 1) + " of " + std::to_string(solution.size()));
            if (ahead) ahead(solution[i]);
            MoveList offered;
            game->PlayMoves(offered);
            ASSERT_NE(std::find(offered.begin(), offered.end(), solution[i]), offered.end()) << Describe(solution[i]);
            MoveGesture gesture;
            ASSERT_TRUE(game->GestureFor(solution[i], gesture)) << Describe(solution[i]);
            Perform(gesture);
        }
        EXPECT_TRUE(game->gameOver);
        EXPECT_TRUE(game->IsWon());
    }

    // Solves the deal on the table, which the search must leave as it was; a win must replay.
    SolveResult SolveAndReplay(const GameDescriptor& entry, const std::function<void(const PlayMove&)>& ahead = {},
                               const SolveBudget& budget = kReplayBudget) {
        const std::string before = game->PositionBytes();
        const SolveResult result = Solve(*entry.model, before.data(), budget, MoveScoreFor(entry.number));
        EXPECT_LE(result.nodes, budget.nodes + 1);
        EXPECT_EQ(game->PositionBytes(), before);
        if (result.outcome == SolveOutcome::kWon) Replay(result.moves, ahead);
        return result;
    }
};

TEST_P(SolverReplay, WinsReplayThroughTheMouse) {
    const GameDescriptor& entry = *FindGame(GetParam());
    if (PlayedForPoints(entry.number)) GTEST_SKIP() << entry.name << " is played for points";
    int answered = 0;
    for (unsigned seed : kSeeds) {
        SCOPED_TRACE(std::string(entry.name) + " deal " + std::to_string(seed));
        Deal(entry, seed, seed == kSeeds[0]);
        answered += SolveAndReplay(entry).outcome != SolveOutcome::kUnknown;
        if (HasFailure()) return;
    }
    std::printf("%s: %d of %zu deals answered\n", entry.name, answered, std::size(kSeeds));
    game.reset();
}

INSTANTIATE_TEST_SUITE_P(RegisteredGames, SolverReplay, ::testing::ValuesIn(RegisteredGameNumbers()),
                         [](const ::testing::TestParamInfo<int>& info) { return GameTestName(info.param); });

// Klondike turning one card with unlimited recycles, the rules the solver finds most wins in; and
// Forty Thieves and Four Seasons, which hunt wins with beams once their depth-first share of the
// budget is spent: these deals are won so (the depth-first search alone leaves them unknown after
// 200,000 positions). The wins replay through the mouse.
TEST_F(SolverReplay, KlondikeDrawOneAndBeamWinsReplay) {
    {
        SettingsKey key(GameSettingsPath("Klondike"));
        WriteDwordValue(key, "CardsDealt", 1);
        WriteDwordValue(key, "Recycles", RuleValues::kUnlimitedRecycles);
    }
    struct Case {
        int game;
        std::vector<unsigned> seeds;
        uint64_t nodes;
        int minWon;
    };
    for (const Case& c : {Case{KlondikeGame::kGameNumber, {1, 2, 3, 4, 5, 6}, kReplayBudget.nodes, 3},
                          Case{FortyThievesGame::kGameNumber, {131}, 200'000, 1}, Case{FourSeasonsGame::kGameNumber, {33}, 200'000, 1}}) {
        const GameDescriptor& entry = *FindGame(c.game);
        int won = 0;
        for (unsigned seed : c.seeds) {
            SCOPED_TRACE(std::string(entry.name) + " deal " + std::to_string(seed));
            Deal(entry, seed, seed == c.seeds.front());
            won += SolveAndReplay(entry, {}, {.nodes = c.nodes, .memoryBytes = size_t{16} << 20, .seconds = 1e6}).outcome == SolveOutcome::kWon;
            if (HasFailure()) return;
        }
        EXPECT_GE(won, c.minWon) << entry.name;
    }
}

// Simple Addition's wins are made of removals taken as they come, pairs and groups of four high
// cards alike: they must replay through the clicks as well.
TEST_F(SolverReplay, SimpleAdditionWinsReplay) {
    const GameDescriptor& entry = *FindGame(SimpleAdditionGame::kGameNumber);
    int won = 0;
    for (unsigned seed = 1; seed <= 30; ++seed) {
        SCOPED_TRACE("deal " + std::to_string(seed));
        Deal(entry, seed, seed == 1);
        // A group takes four clicks, more than one gesture makes: the player clicks two of its
        // cards first, and the table then offers the group.
        auto& table = static_cast<SimpleAdditionGame&>(*game);
        const SolveResult result = SolveAndReplay(entry, [&](const PlayMove& move) {
            if (move.kind != PlayMove::kSelect) return;
            const int suit = table.Top(move.from).Suit();
            int clicked = 0;
            for (int slot = 0; slot < SimpleAdditionGame::kSlots && clicked < 2; ++slot)
                if (PairingModel::IsHigh(table.Top(slot)) && table.Top(slot).Suit() == suit) {
                    Click(SimpleAdditionGame::kSlotX + SimpleAdditionGame::kSlotPitch * slot + 30,
                          SimpleAdditionGame::kSlotY + 30);
                    ++clicked;
                }
        });
        ASSERT_NE(result.outcome, SolveOutcome::kUnknown);
        won += result.outcome == SolveOutcome::kWon;
        if (HasFailure()) return;
    }
    EXPECT_GE(won, 2);
}

// ---- "Lost" against a search of every sequence of moves ----

// Whether any sequence of moves wins: every move of every position reached, in the model's own
// order, with no ordering, pruning or safe moves; positions are told apart by their whole code.
// A game ends where its model says it is over, as on the table. (A stack of positions to expand
// rather than recursion: Spider's paths run thousands deep.) With a `limit`, the search stops at
// that many positions met, answering no win: the caller must ask whether `met` reached it.
bool AnyWin(const PlayModelOps& ops, const std::vector<uint64_t>& position, std::unordered_set<std::string>& met,
            size_t limit = SIZE_MAX) {
    std::vector<std::vector<uint64_t>> pending;
    PositionCode code;
    // Whether `next` wins; else it is queued if new and not over.
    const auto meet = [&](std::vector<uint64_t>&& next) {
        if (ops.won(next.data())) return true;
        if (ops.over(next.data())) return false;
        ops.encode(next.data(), code);
        if (met.insert(code.bytes).second) pending.push_back(std::move(next));
        return false;
    };
    if (meet(std::vector<uint64_t>(position))) return true;
    MoveList moves;
    while (!pending.empty() && met.size() < limit) {
        const std::vector<uint64_t> next = std::move(pending.back());
        pending.pop_back();
        ops.moves(next.data(), moves);
        for (const PlayMove& move : moves) {
            std::vector<uint64_t> child = next;
            ops.apply(child.data(), move);
            if (meet(std::move(child))) return true;
        }
    }
    return false;
}

template <typename Position>
std::vector<uint64_t> AsWords(const Position& position) {
    std::vector<uint64_t> words((sizeof position + 7) / 8);
    std::memcpy(words.data(), &position, sizeof position);
    return words;
}

// Distinct random cards.
std::vector<Card> Draw(std::mt19937& random, int count) {
    std::vector<Card> pack;
    for (int i = 0; i < Card::kCardsPerPack; ++i) pack.emplace_back(i / Card::kRankCount, i % Card::kRankCount);
    std::shuffle(pack.begin(), pack.end(), random);
    pack.resize(static_cast<size_t>(count));
    return pack;
}

constexpr SolveBudget kExhaustiveBudget{.nodes = 2'000'000, .seconds = 1e6};

// How many positions to compare, from which seed; the answers each kind must have at least
// (end games, where safe moves could lose a win, are mostly won); with a `limit`, positions the
// exhaustive search cannot finish within it are skipped.
struct Comparison {
    int minLost = 10, minWon = 10, trials = 300;
    unsigned seed = 99;
    size_t limit = SIZE_MAX;
};

// Checks the solver against the exhaustive search on positions made by `make`; a win it finds
// must win when played.
void CompareWithExhaustive(const PlayModelOps& ops, int gameNumber,
                           const std::function<std::vector<uint64_t>(std::mt19937&)>& make, Comparison with = {}) {
    std::mt19937 random(with.seed);
    int won = 0, lost = 0;
    for (int trial = 0; trial < with.trials; ++trial) {
        const std::vector<uint64_t> position = make(random);
        std::unordered_set<std::string> met;
        const bool winnable = AnyWin(ops, position, met, with.limit);
        if (met.size() >= with.limit) continue;
        const SolveResult result = Solve(ops, position.data(), kExhaustiveBudget, MoveScoreFor(gameNumber));
        ASSERT_NE(result.outcome, SolveOutcome::kUnknown) << "trial " << trial;
        ASSERT_EQ(result.outcome == SolveOutcome::kWon, winnable) << "trial " << trial;
        if (winnable) {
            std::vector<uint64_t> replay = position;
            for (const PlayMove& move : result.moves) ops.apply(replay.data(), move);
            EXPECT_TRUE(ops.won(replay.data())) << "trial " << trial;
        }
        (winnable ? won : lost)++;
    }
    EXPECT_GE(won, with.minWon);
    EXPECT_GE(lost, with.minLost);
}

// Accordion's dead end: cards that fall apart into groups sharing no suit and no rank.
TEST(SolverExhaustive, AccordionRowsAgree) {
    CompareWithExhaustive(*FindGame(AccordionGame::kGameNumber)->model, AccordionGame::kGameNumber, [](std::mt19937& random) {
        AccordionModel::Position p;
        const std::vector<Card> cards = Draw(random, 5 + static_cast<int>(random() % 5));
        std::copy(cards.begin(), cards.end(), p.cells.begin() + static_cast<int>(random() % 3));
        return AsWords(p);
    });
}

// Golf's dead ends: column cards left only stock cards to go on, and Kings that end a run.
TEST(SolverExhaustive, GolfTablesAgree) {
    CompareWithExhaustive(*FindGame(GolfGame::kGameNumber)->model, GolfGame::kGameNumber, [](std::mt19937& random) {
        GolfModel::Position p;
        p.wrapAround = static_cast<int32_t>(random() % 2);
        const int columns = 2 + static_cast<int>(random() % 3), depth = 2 + (random() % 3 == 0);
        const int stock = 4 + static_cast<int>(random() % 4);
        std::vector<Card> cards = Draw(random, columns * depth + stock + 1);
        // Kings more often than a pack gives them, for the runs they end.
        for (Card& card : cards)
            if (random() % 12 == 0) card = Card(card.Suit(), Card::kKing);
        size_t next = 0;
        for (int c = 0; c < columns; ++c) {
            for (int i = 0; i < depth; ++i) p.columns[c][i] = cards[next++];
            p.columnCount[c] = depth;
        }
        for (int i = 0; i < stock; ++i) p.stock[i] = cards[next++];
        p.stockCount = stock;
        p.pile[0] = cards[next];
        p.pileCount = 1;
        return AsWords(p);
    });
}

// Pyramid's dead ends (too few partners for a value, or partners only under or above the card)
// and safe removals (Kings, the last two cards of two partner values), with and without a
// recycle.
TEST(SolverExhaustive, PyramidTrianglesAgree) {
    CompareWithExhaustive(*FindGame(PyramidGame::kGameNumber)->model, PyramidGame::kGameNumber, [](std::mt19937& random) {
        PyramidModel::Position p;
        p.rows = 2 + static_cast<int>(random() % 3);
        p.recyclesAtDeal = p.turnsLeft = static_cast<int32_t>(random() % 2);
        const int stock = 6 + static_cast<int>(random() % 5);
        const std::vector<Card> cards = Draw(random, p.rows * (p.rows + 1) / 2 + stock);
        std::copy_n(cards.begin(), p.rows * (p.rows + 1) / 2, p.triangle.begin());
        std::copy(cards.end() - stock, cards.end(), p.stock.begin());
        p.stockCount = stock;
        return AsWords(p);
    });
}

// Simple Addition takes every removal at once: a few places, pairs and a group of high cards
// shuffled, with a stray card now and then.
TEST(SolverExhaustive, SimpleAdditionRowsAgree) {
    CompareWithExhaustive(*FindGame(SimpleAdditionGame::kGameNumber)->model, SimpleAdditionGame::kGameNumber, [](std::mt19937& random) {
        PairingModel::Position p;
        p.places = 3 + static_cast<int>(random() % 3);
        p.pairSum = SimpleAdditionGame::kPairSum;
        p.refills = p.groups = 1;
        std::vector<Card> cards;
        for (int pair = 0; pair < 4; ++pair) {
            const int rank = static_cast<int>(random() % 9);  // Two .. Ten less one, or the Ace
            const Card card(static_cast<int>(random() % 4), rank == 8 ? Card::kAce : rank);
            const int partner = SimpleAdditionGame::kPairSum - card.PipValue();
            cards.push_back(card);
            cards.emplace_back(static_cast<int>(random() % 4), partner == 1 ? Card::kAce : partner - 2);
        }
        const int suit = static_cast<int>(random() % 4);
        if (random() % 2)
            for (int rank = Card::kTen; rank <= Card::kKing; ++rank) cards.emplace_back(suit, rank);
        if (random() % 3 == 0) cards[random() % cards.size()] = Draw(random, 1)[0];
        std::shuffle(cards.begin(), cards.end(), random);
        const int onTable = std::min<int>(p.places, static_cast<int>(cards.size()));
        std::copy_n(cards.begin(), onTable, p.cells.begin());
        p.stockCount = static_cast<int32_t>(cards.size()) - onTable;
        std::copy(cards.begin() + onTable, cards.end(), p.stock.begin());
        return AsWords(p);
    }, {.minLost = 30});
}

// Auld Lang Syne's safe moves (a card one step above every foundation short of it) and dead ends
// (a card above every copy left of a rank it needs), near the end of a deal: the foundations a
// few cards short, the cards still out shuffled over the piles and the stock.
TEST(SolverExhaustive, AuldLangSyneEndGamesAgree) {
    CompareWithExhaustive(*FindGame(AuldLangSyneGame::kGameNumber)->model, AuldLangSyneGame::kGameNumber, [](std::mt19937& random) {
        AuldLangSyneModel::Position p;
        p.startRank = static_cast<int32_t>(random() % Card::kRankCount);
        std::vector<Card> cards;
        for (int f = 0; f < AuldLangSyneModel::kFoundations; ++f) {
            const int top = Card::kRankCount - 1 - static_cast<int>(random() % 5);
            p.foundations[f] = Card(f, (p.startRank + top) % Card::kRankCount);
            for (int step = top + 1; step < Card::kRankCount; ++step) cards.emplace_back(f, (p.startRank + step) % Card::kRankCount);
        }
        std::shuffle(cards.begin(), cards.end(), random);
        size_t next = 0;
        for (int pile = 0; pile < AuldLangSyneModel::kPiles; ++pile)
            for (int n = static_cast<int>(random() % 4); n > 0 && next < cards.size(); --n)
                p.piles[pile][p.pileCounts[pile]++] = cards[next++];
        for (; next < cards.size(); ++next) p.stock[p.stockCount++] = cards[next];
        return AsWords(p);
    });
}

// An end game of a pile-building game: `foundations` foundations (suits in turn) built up from
// `startRank`, then `left` cards taken back off them at random, shuffled.
struct EndGame {
    std::vector<Card> tops, left;
};

EndGame MakeEndGame(std::mt19937& random, int foundations, int startRank, int left) {
    std::vector<int> heights(static_cast<size_t>(foundations), Card::kRankCount);
    EndGame game;
    while (static_cast<int>(game.left.size()) < left) {
        const size_t f = random() % heights.size();
        if (heights[f] == 1) continue;
        game.left.emplace_back(static_cast<int>(f) % Card::kSuitCount, (startRank + --heights[f]) % Card::kRankCount);
    }
    std::shuffle(game.left.begin(), game.left.end(), random);
    for (size_t f = 0; f < heights.size(); ++f)
        game.tops.emplace_back(static_cast<int>(f) % Card::kSuitCount, (startRank + heights[f] - 1) % Card::kRankCount);
    return game;
}

// The pile-building games' own game-over tests look ahead only a little way and may call a game
// over that could still be won (they are the games' business); the safe moves are checked on the
// move rules alone, with no game ever over.
PlayModelOps NeverOver(const PlayModelOps& ops) {
    PlayModelOps copy = ops;
    copy.over = [](const void*) { return false; };
    return copy;
}

// Deals `cards` at random onto `pileCount` piles (counts in `counts`) and the stock: a card goes
// on a pile only where builds(card, top) lets it, as play could have put it there.
template <typename Piles, typename Counts, typename Stock, typename Builds>
void Scatter(std::mt19937& random, const std::vector<Card>& cards, Piles& piles, Counts& counts, int pileCount,
             Stock& stock, Builds&& builds) {
    for (Card card : cards) {
        const auto to = static_cast<size_t>(random() % static_cast<unsigned>(pileCount + 1));
        if (to < static_cast<size_t>(pileCount) && (counts[to] == 0 || builds(card, piles[to][static_cast<size_t>(counts[to] - 1)])))
            piles[to][static_cast<size_t>(counts[to]++)] = card;
        else
            stock.cards[static_cast<size_t>(stock.count++)] = card;
    }
}
constexpr auto kAnyOrder = [](Card, Card) { return true; };

// Deals some of the stock's cards onto the waste, as pressing it would.
template <typename Stock>
void TurnSome(std::mt19937& random, Stock& stock, Card* waste, int32_t& wasteCount) {
    for (int n = static_cast<int>(random() % static_cast<unsigned>(stock.count + 1)); n > 0; --n) waste[wasteCount++] = stock.Deal();
}

// The safe moves of the pile-building games (a card nothing can still need, played home; a
// face-down card turned) never lose a win the full search finds. In Klondike and Canfield this
// also checks the stock macro (any number of presses, then the waste's card) with waste turns
// limited or not, positions covered by ones with more turns left, and Klondike's dead ends (a
// card stuck over a lower one of its suit in a pile, or in the waste with no turn left). In
// Canfield a card going home may empty a pile the reserve then fills.
TEST(SolverExhaustive, CanfieldEndGamesAgree) {
    CompareWithExhaustive(NeverOver(*FindGame(CanfieldGame::kGameNumber)->model), CanfieldGame::kGameNumber, [](std::mt19937& random) {
        CanfieldModel::Position p;
        const int start = static_cast<int>(random() % Card::kRankCount);
        EndGame game = MakeEndGame(random, CanfieldModel::kFoundations, start, 12 + static_cast<int>(random() % 3));
        std::copy(game.tops.begin(), game.tops.end(), p.foundations.begin());
        p.baseCard = Card(0, start);
        for (int i = 1 + static_cast<int>(random() % 3); i > 0; --i)
            p.reserve[static_cast<size_t>(p.reserveCount++)] = game.left.back(), game.left.pop_back();
        Scatter(random, game.left, p.tableau, p.pileCount, CanfieldModel::kPiles, p.stock, CanfieldModel::BuildsDown);
        p.cardsDealt = 1 + static_cast<int>(random() % 3);
        p.recycles = std::array{0, 1, 2, CanfieldRules::kUnlimitedRecycles}[random() % 4];
        p.recyclesUsed = p.recycles == CanfieldRules::kUnlimitedRecycles ? 0 : static_cast<int>(random() % (p.recycles + 1));
        p.fillFromStock = static_cast<int>(random() % 2);
        p.movePartial = static_cast<int>(random() % 2);
        TurnSome(random, p.stock, p.waste.data(), p.wasteCount);
        return AsWords(p);
    }, {.minLost = 0});
}

TEST(SolverExhaustive, KlondikeEndGamesAgree) {
    CompareWithExhaustive(NeverOver(*FindGame(KlondikeGame::kGameNumber)->model), KlondikeGame::kGameNumber, [](std::mt19937& random) {
        KlondikeModel::Position p;
        EndGame game = MakeEndGame(random, KlondikeModel::kFoundations, p.startRank, 6 + static_cast<int>(random() % 3));
        std::copy(game.tops.begin(), game.tops.end(), p.foundations.begin());
        Scatter(random, game.left, p.tableau, p.pileCount, 3, p.stock, kAnyOrder);
        for (int pile = 0; pile < 3; ++pile)
            p.faceDownCount[static_cast<size_t>(pile)] = std::max(0, p.pileCount[static_cast<size_t>(pile)] - 1);
        p.rules.cardsDealt = 1 + static_cast<int>(random() % 3);
        p.rules.recycles = std::array{0, 1, 2, KlondikeRules::kUnlimitedRecycles}[random() % 4];
        p.turnsUsed = p.rules.recycles == KlondikeRules::kUnlimitedRecycles ? 0 : static_cast<int>(random() % (p.rules.recycles + 1));
        TurnSome(random, p.stock, p.waste.data(), p.wasteCount);
        return AsWords(p);
    });
}

// The start rank's card and the rank below it, which may go on it in the tableau, in play: each
// suit's foundation at any height (empty included), the next few cards of the suit out (the rest
// count as gone), on piles built by the rules with some face down, in the stock and the waste.
// Checks the start rank's card (never sure to be safe), whole piles and foundation cards moved to
// no purpose (dropped), the hasty attempts' cuts and the face-down cards the search turns itself.
TEST(SolverExhaustive, KlondikeWrapRoundAgrees) {
    using Model = KlondikeModel;
    CompareWithExhaustive(NeverOver(*FindGame(KlondikeGame::kGameNumber)->model), KlondikeGame::kGameNumber, [](std::mt19937& random) {
        Model::Position p;
        p.startRank = static_cast<int32_t>(random() % Card::kRankCount);
        std::vector<Card> out;
        for (int suit = 0; suit < Card::kSuitCount; ++suit) {
            const int top = std::array{-1, -1, 10, 11, static_cast<int>(random() % 12)}[random() % 5];
            if (top >= 0) p.foundations[static_cast<size_t>(suit)] = Card(suit, (p.startRank + top) % Card::kRankCount);
            for (int step = top + 1; step <= std::min(top + 3, 12) && out.size() < 9 && random() % 4; ++step)
                out.emplace_back(suit, (p.startRank + step) % Card::kRankCount);
        }
        std::shuffle(out.begin(), out.end(), random);
        Scatter(random, out, p.tableau, p.pileCount, 4, p.stock,
                [&p](Card card, Card top) { return Model::CanPlay(p, card, top, false); });
        for (size_t pile = 0; pile < 4; ++pile)
            p.faceDownCount[pile] = static_cast<int32_t>(random() % static_cast<unsigned>(p.pileCount[pile] + 1));
        p.rules.cardsDealt = 1 + static_cast<int>(random() % 3);
        p.rules.recycles = std::array{0, 1, 2, KlondikeRules::kUnlimitedRecycles}[random() % 4];
        p.rules.tableauStart = random() % 4 != 0;
        p.rules.movePartial = random() % 2;
        TurnSome(random, p.stock, p.waste.data(), p.wasteCount);
        return AsWords(p);
    });
}

// A card X on one of the two cards of a rank and colour, the other one (its twin) exposed on
// another pile, and X's own twin face down or home under another card: moving X across is
// dropped while the bared card can neither go home nor move on alone. The foundations sit at or
// just below the twins' ranks, so the bared card often can; the cards between are dealt face down
// under the first host, to two spare piles and to the stock. Both with the game ending only when
// no move is left and with its own test of the end, which does not count moving X across: a safe
// move there may lead to a position the game ends at while another order wins.
TEST(SolverExhaustive, KlondikeTwinHostsAgree) {
    using Model = KlondikeModel;
    const auto make = [](std::mt19937& random) {
        Model::Position p;
        p.startRank = static_cast<int32_t>(random() % Card::kRankCount);
        const auto card = [&p](int suit, int order) { return Card(suit, (p.startRank + order) % Card::kRankCount); };
        const int order = 2 + static_cast<int>(random() % 9);  // the twin hosts'
        const int hostSuit = static_cast<int>(random() % 2), movedSuit = 1 - hostSuit;
        const bool twinHome = random() % 2;
        // Each suit's foundation, and the cards between it and the twins' ranks (those above are gone).
        std::vector<Card> rest;
        for (int suit = 0; suit < Card::kSuitCount; ++suit) {
            const int low = suit == (movedSuit ^ 2) && twinHome ? order : -1;
            const int high = suit % 2 == hostSuit ? order : order - 1;
            const int top = std::max(low, high - 1 - static_cast<int>(random() % 2));
            if (top >= 0) p.foundations[static_cast<size_t>(suit)] = card(suit, top);
            for (int o = top + 1; o < high; ++o) rest.push_back(card(suit, o));
        }
        const Card h1 = card(hostSuit, order), h2 = card(hostSuit ^ 2, order), x = card(movedSuit, order - 1),
                   twin = card(movedSuit ^ 2, order - 1);
        const auto put = [&p](size_t pile, Card c) { p.tableau[pile][static_cast<size_t>(p.pileCount[pile]++)] = c; };
        std::shuffle(rest.begin(), rest.end(), random);
        if (!twinHome) put(2, twin);
        for (Card c : rest) {
            if (const size_t to = random() % 4; to < 3) put(to == 1 ? 3 : to, c);
            else p.stock.cards[static_cast<size_t>(p.stock.count++)] = c;
        }
        p.faceDownCount[0] = p.pileCount[0];
        put(0, h1), put(0, x), put(1, h2);
        for (size_t pile : {2, 3}) p.faceDownCount[pile] = std::max(0, p.pileCount[pile] - (random() % 2 ? 1 : 0));
        p.rules.cardsDealt = 1 + static_cast<int>(random() % 3);
        p.rules.recycles = static_cast<int>(random() % 2);
        p.rules.movePartial = random() % 2;
        TurnSome(random, p.stock, p.waste.data(), p.wasteCount);
        return AsWords(p);
    };
    const PlayModelOps& model = *FindGame(KlondikeGame::kGameNumber)->model;
    for (const PlayModelOps& ops : {NeverOver(model), model}) CompareWithExhaustive(ops, KlondikeGame::kGameNumber, make);
}

// Agnes end games with up to three cards on each of three reserve piles, four to seven tableau
// piles (with all seven in play none need be empty) and face-down cards in the tableau.
std::vector<uint64_t> AgnesEndGame(std::mt19937& random) {
    AgnesModel::Position p;
    p.startRank = static_cast<int>(random() % Card::kRankCount);
    EndGame game = MakeEndGame(random, AgnesModel::kFoundations, p.startRank, 7 + static_cast<int>(random() % 3));
    std::copy(game.tops.begin(), game.tops.end(), p.foundations.begin());
    for (int n = 3 + static_cast<int>(random() % 4); n > 0; --n) {
        const size_t pile = random() % 3;
        if (p.reserveCount[pile] < AgnesModel::kReserveSlots)
            p.reserve[pile][static_cast<size_t>(p.reserveCount[pile]++)] = game.left.back(), game.left.pop_back();
    }
    const int piles = 4 + static_cast<int>(random() % 4);
    const bool runs = random() % 2;  // the piles built as play builds them, so that runs can move
    Scatter(random, game.left, p.tableau, p.pileCount, piles, p.stock,
            [&](Card card, Card top) { return !runs || AgnesModel::CanPlay(p, card, top, false); });
    for (int pile = 0; pile < piles; ++pile)
        p.faceDownCount[static_cast<size_t>(pile)] = static_cast<int>(random() % static_cast<unsigned>(p.pileCount[static_cast<size_t>(pile)] + 1));
    p.rules.movePartial = random() % 2;
    p.rules.tableauStart = random() % 4 != 0;
    return AsWords(p);
}

// Besides the safe moves, the dead ends (cards that can leave only home, stuck over a lower one of
// their suit; cards whose every way out waits on themselves) must never drop a win.
TEST(SolverExhaustive, AgnesEndGamesAgree) {
    CompareWithExhaustive(NeverOver(*FindGame(AgnesGame::kGameNumber)->model), AgnesGame::kGameNumber, AgnesEndGame, {.minLost = 0});
}

// The search meets a dead end only as a move's result, where another path may still win; here
// every position along random plays is asked directly, so that a dead end found in a winnable
// position fails at once.
TEST(SolverExhaustive, AgnesDeadEndsHoldNoWin) {
    const PlayModelOps ops = NeverOver(*FindGame(AgnesGame::kGameNumber)->model);
    std::mt19937 random(7);
    int hopeless = 0;
    for (int trial = 0; trial < 1000; ++trial) {
        std::vector<uint64_t> position = AgnesEndGame(random);
        for (int step = 0; step < 12; ++step) {
            if (build_games::AgnesHopeless(position.data())) {
                std::unordered_set<std::string> met;
                ASSERT_FALSE(AnyWin(ops, position, met)) << "trial " << trial << " step " << step;
                ++hopeless;
            }
            MoveList moves;
            ops.moves(position.data(), moves);
            if (moves.empty()) break;
            ops.apply(position.data(), moves[random() % moves.size()]);
        }
    }
    EXPECT_GE(hopeless, 200);
}

// Forty Thieves and Four Seasons end games, the waste partly turned and some of its turns used:
// besides the safe moves this checks the codes that leave the turns used out (a position with
// more turns left covering one with fewer), and Four Seasons' doubtful swaps of tops (hasty
// attempts leave them out, so only the complete ones may answer lost).
std::vector<uint64_t> FortyThievesEndGame(std::mt19937& random) {
    FortyThievesModel::Position p;
    EndGame game = MakeEndGame(random, FortyThievesModel::kFoundations, p.startRank, 12 + static_cast<int>(random() % 3));
    std::copy(game.tops.begin(), game.tops.end(), p.foundations.begin());
    p.columnsInPlay = 3;
    Scatter(random, game.left, p.tableau, p.pileCount, p.columnsInPlay, p.stock, kAnyOrder);
    for (int c = 0; c < p.columnsInPlay; ++c)
        p.faceDownCount[static_cast<size_t>(c)] = static_cast<int>(random() % static_cast<unsigned>(p.pileCount[static_cast<size_t>(c)] + 1));
    p.recycle = static_cast<int>(random() % 2);
    p.recyclesUsed = static_cast<int>(random() % 2) * p.recycle;
    p.movePartial = static_cast<int>(random() % 4 == 0);
    TurnSome(random, p.stock, p.waste.data(), p.wasteCount);
    return AsWords(p);
}

std::vector<uint64_t> FourSeasonsEndGame(std::mt19937& random) {
    FourSeasonsModel::Position p;
    p.startRank = static_cast<int>(random() % Card::kRankCount);
    EndGame game = MakeEndGame(random, FourSeasonsModel::kFoundations, p.startRank, 12 + static_cast<int>(random() % 3));
    std::copy(game.tops.begin(), game.tops.end(), p.foundations.begin());
    Scatter(random, game.left, p.piles, p.pileCount, FourSeasonsModel::kPiles, p.stock,
            [](Card card, Card top) { return FourSeasonsModel::CanPlay(card, top, false); });
    p.cardsDealt = 1 + static_cast<int>(random() % 2) * 2;
    p.recycles = static_cast<int>(random() % 2);
    p.recyclesUsed = static_cast<int>(random() % 2) * p.recycles;
    TurnSome(random, p.stock, p.waste.data(), p.wasteCount);
    return AsWords(p);
}

TEST(SolverExhaustive, FortyThievesAndFourSeasonsEndGamesAgree) {
    for (const auto& [number, make] : {std::pair{FortyThievesGame::kGameNumber, &FortyThievesEndGame},
                                       std::pair{FourSeasonsGame::kGameNumber, &FourSeasonsEndGame}})
        CompareWithExhaustive(NeverOver(*FindGame(number)->model), number, make, {.minLost = 0});
}

// Spider end games: one suit of thirteen still out (the rest home), dealt at random to all ten
// columns, mostly face down, and to the stock. Checks the safe moves (a card turned, a complete
// suit home), the code (the stock by its size, the columns sorted once it is out) and the plain
// game-over test. End games the exhaustive search cannot finish in its limit are skipped; nearly
// all of the others are won, so this guards the safe moves and the code more than the losses.
TEST(SolverExhaustive, SpiderEndGamesAgree) {
    PlayModelOps ops = NeverOver(*FindGame(SpiderGame::kGameNumber)->model);
    // Once the stock is out the columns are alike: the exhaustive search codes them sorted, else it
    // cannot finish.
    ops.encode = [](const void* position, PositionCode& code) {
        const auto& p = *static_cast<const SpiderModel::Position*>(position);
        std::vector<std::string> columns;
        for (size_t c = 0; c < SpiderModel::kPiles; ++c) {
            columns.emplace_back(1, static_cast<char>(p.faceDownCount[c]));
            for (int i = 0; i < p.pileCount[c]; ++i) columns.back() += static_cast<char>(p.tableau[c][static_cast<size_t>(i)].Index());
            columns.back() += '\xff';
        }
        if (p.stock.count == 0) std::sort(columns.begin(), columns.end());
        code.bytes.assign(1, static_cast<char>(p.stock.count));
        for (const std::string& column : columns) code.bytes += column;
    };
    CompareWithExhaustive(ops, SpiderGame::kGameNumber, [](std::mt19937& random) {
        SpiderModel::Position p;
        for (int f = 0; f < SpiderModel::kFoundations; ++f)
            p.foundations[static_cast<size_t>(f)] = Card(f % Card::kSuitCount, Card::kAce);
        const size_t out = random() % SpiderModel::kFoundations;
        std::vector<Card> cards;
        for (int rank = 0; rank < Card::kRankCount; ++rank) cards.emplace_back(p.foundations[out].Suit(), rank);
        p.foundations[out] = Card();
        std::shuffle(cards.begin(), cards.end(), random);
        for (size_t i = 0; i < cards.size(); ++i) {
            const size_t column = i < SpiderModel::kPiles ? i : random() % (SpiderModel::kPiles + 2);
            if (column < SpiderModel::kPiles) p.tableau[column][static_cast<size_t>(p.pileCount[column]++)] = cards[i];
            else p.stock.cards[static_cast<size_t>(p.stock.count++)] = cards[i];
        }
        for (size_t column = 0; column < SpiderModel::kPiles; ++column)
            p.faceDownCount[column] = static_cast<int32_t>(random() % static_cast<unsigned>(p.pileCount[column] + 1));
        return AsWords(p);
    }, {.minLost = 0, .minWon = 30, .trials = 60, .seed = 5, .limit = 20'000});
}

// Spider's dead end at full size: along random plays from random deals, once some cards are found
// frozen (none can ever leave the card under it), no later play may move one of them, and the
// position stays a dead end.
TEST(SolverExhaustive, SpiderFrozenCardsNeverMove) {
    using Model = SpiderModel;
    const PlayModelOps& ops = *FindGame(SpiderGame::kGameNumber)->model;
    std::mt19937 random(11);
    int found = 0, checked = 0;
    for (int trial = 0; trial < 300 && found < 60; ++trial) {
        std::vector<Card> pack;
        for (int i = 0; i < 2 * Card::kCardsPerPack; ++i) pack.emplace_back(i % Card::kSuitCount, i / Card::kSuitCount % Card::kRankCount);
        std::shuffle(pack.begin(), pack.end(), random);
        Model::Position p;
        size_t next = 0;
        for (int row = 0; row < 6; ++row)
            for (size_t column = 0; column < (row == 4 ? 4u : 10u); ++column) {
                p.tableau[column][static_cast<size_t>(p.pileCount[column]++)] = pack[next++];
                if (row < 5) ++p.faceDownCount[column];
            }
        while (next < pack.size()) p.stock.cards[static_cast<size_t>(p.stock.count++)] = pack[next++];
        std::vector<std::pair<int, int>> frozen;
        std::vector<std::pair<Card, Card>> held;  // each frozen card and the card under it
        MoveList moves;
        for (int step = 0; step < 400; ++step) {
            if (held.empty() && build_games::SpiderHopeless(&p, &frozen)) {
                ++found;
                for (const auto& [column, height] : frozen)
                    held.emplace_back(p.tableau[column][height], height > 0 ? p.tableau[column][height - 1] : Card());
            } else if (!held.empty()) {
                ASSERT_TRUE(build_games::SpiderHopeless(&p)) << "trial " << trial << " step " << step;
                for (size_t k = 0; k < frozen.size(); ++k) {
                    const auto& [column, height] = frozen[k];
                    ASSERT_EQ(p.tableau[column][height], held[k].first) << "trial " << trial << " step " << step;
                    if (height > 0) {
                        ASSERT_EQ(p.tableau[column][height - 1], held[k].second);
                    }
                    ++checked;
                }
            }
            ops.moves(&p, moves);
            if (moves.empty()) break;
            ops.apply(&p, moves[random() % moves.size()]);
        }
    }
    EXPECT_GE(found, 30);
    EXPECT_GT(checked, 10'000);
}

// Gate's search codes its columns and foundations in a fixed order: it must still tell apart every
// two positions whose futures differ, posts, waste and the game's own end included.
TEST(SolverExhaustive, GateEndGamesAgree) {
    CompareWithExhaustive(*FindGame(GateGame::kGameNumber)->model, GateGame::kGameNumber, [](std::mt19937& random) {
        GateModel::Position p;
        p.startRank = static_cast<int>(random() % Card::kRankCount);
        EndGame game = MakeEndGame(random, GateModel::kFoundations, p.startRank, 6 + static_cast<int>(random() % 3));
        std::copy(game.tops.begin(), game.tops.end(), p.foundations.begin());
        Scatter(random, game.left, p.tableau, p.pileCount, 4, p.stock, kAnyOrder);
        for (int post = 0; post < 2; ++post)
            while (p.stock.count > 0 && random() % 2 == 0) p.posts[post][p.postCount[post]++] = p.stock.Deal();
        return AsWords(p);
    }, {.minLost = 5});
}

// Calculation's end games: foundations built part way under any starting choice, the cards left
// in random order on the waste piles, in hand and in the stock. The search codes them by rank
// with the waste piles in any order, and drops a move after which no order of foundation steps
// completes all four (even with the stock's cards free); neither may lose a win.
TEST(SolverExhaustive, CalculationEndGamesAgree) {
    using Model = CalculationModel;
    CompareWithExhaustive(*FindGame(CalculationGame::kGameNumber)->model, CalculationGame::kGameNumber, [](std::mt19937& random) {
        Model::Position p;
        const int choice = static_cast<int>(random() % 12);
        std::vector<Card> left;
        for (int f = 0; f < Model::kFoundations; ++f) {
            p.startRanks[f] = CalculationModel::StartRank(choice, f);
            p.foundationCounts[f] = Card::kRankCount - static_cast<int>(random() % 5);
            int rank = p.startRanks[f];
            for (int k = 1; k < Card::kRankCount; ++k) {
                rank = Model::FollowingRank(rank, f);
                if (k == p.foundationCounts[f] - 1) p.foundationTops[f] = Card(f, rank);
                if (k >= p.foundationCounts[f]) left.emplace_back(f, rank);
            }
            if (p.foundationCounts[f] == 1) p.foundationTops[f] = Card(f, p.startRanks[f]);
        }
        std::shuffle(left.begin(), left.end(), random);
        if (!left.empty() && random() % 2) p.current = left.back(), left.pop_back();
        for (Card card : left) {
            const auto pile = random() % (Model::kWastePiles + 2);
            if (pile < Model::kWastePiles) p.waste[pile][static_cast<size_t>(p.wasteCounts[pile]++)] = card;
            else p.stock[static_cast<size_t>(p.stockCount++)] = card;
        }
        return AsWords(p);
    });
}

// ---- "Lost" against the positions of a win ----

// No position along a win is answered lost: a pruning or a merge of positions may go wrong only on
// a deal's larger positions, which the end games above are too small to meet. Every tenth position
// of each line is searched with a small budget (unknown is fine).
TEST(SolverSoundness, NoPositionAlongAWinIsLost) {
    const SolveBudget deal{.nodes = 2'000'000, .seconds = 1e6};
    const SolveBudget along{.nodes = 40'000, .seconds = 1e6};
    for (const auto& [number, dealNumber] : {std::pair{KlondikeGame::kGameNumber, 390u}, std::pair{AgnesGame::kGameNumber, 23u},
                                             std::pair{FourSeasonsGame::kGameNumber, 24u}, std::pair{FortyThievesGame::kGameNumber, 4u}}) {
        const GameModel& game = *FindModel(number);
        std::vector<uint64_t> position((game.ops.positionSize + 7) / 8);
        game.deal(dealNumber, [](std::string_view) { return std::optional<int32_t>(); }, position.data());
        const SolveResult result = Solve(game.ops, position.data(), deal, MoveScoreFor(number));
        ASSERT_EQ(result.outcome, SolveOutcome::kWon) << game.name;
        for (size_t k = 0; k < result.moves.size(); ++k) {
            if (k % 10 == 0) {
                EXPECT_NE(Solve(game.ops, position.data(), along, MoveScoreFor(number)).outcome, SolveOutcome::kLost)
                    << game.name << " after " << k << " moves";
            }
            game.ops.apply(position.data(), result.moves[k]);
        }
    }
}

// ---- Budgets and cancelling ----

class SolverBudgets : public GameTest {
protected:
    // Klondike deal 1 at its default rules: the solver cannot settle it quickly.
    std::string HardPosition() {
        return DealSeeded(KlondikeGame::kGameNumber, 1).PositionBytes();
    }
    const PlayModelOps& ops = *FindGame(KlondikeGame::kGameNumber)->model;
};

TEST_F(SolverBudgets, EachBudgetEndsTheSearchUnknown) {
    const std::string position = HardPosition();
    const MoveScore score = MoveScoreFor(KlondikeGame::kGameNumber);

    const SolveResult byNodes = Solve(ops, position.data(), {.nodes = 3000, .seconds = 1e6}, score);
    EXPECT_EQ(byNodes.outcome, SolveOutcome::kUnknown);
    EXPECT_LE(byNodes.nodes, 3001u);

    const SolveResult byTime = Solve(ops, position.data(), {.nodes = ~uint64_t{0}, .seconds = 0.05}, score);
    EXPECT_EQ(byTime.outcome, SolveOutcome::kUnknown);
    EXPECT_LT(byTime.seconds, 1.0);

    // A table of 4,096 positions at most: each attempt stops once it is three quarters full.
    const SolveResult byMemory =
        Solve(ops, position.data(), {.nodes = ~uint64_t{0}, .memoryBytes = 65536, .seconds = 1e6}, score);
    EXPECT_EQ(byMemory.outcome, SolveOutcome::kUnknown);
    EXPECT_LT(byMemory.nodes, 4 * 8192u);
}

// A cancel stops the depth-first search, and Forty Thieves' beams, which start once a tenth of
// its budget is spent.
TEST_F(SolverBudgets, CancelStopsTheWorkerAtOnce) {
    const std::string klondike = HardPosition(), thieves = DealSeeded(FortyThievesGame::kGameNumber, 1).PositionBytes();
    struct Case {
        const std::string& position;
        int game;
        double seconds, cancelAfter;
    };
    for (const Case& c : {Case{klondike, KlondikeGame::kGameNumber, 1e6, 0.02}, Case{thieves, FortyThievesGame::kGameNumber, 5, 0.7}}) {
        SCOPED_TRACE(FindGame(c.game)->name);
        SolverJob job(*FindGame(c.game)->model, c.position.data(), {.nodes = ~uint64_t{0}, .seconds = c.seconds}, MoveScoreFor(c.game));
        std::this_thread::sleep_for(std::chrono::duration<double>(c.cancelAfter));
        EXPECT_FALSE(job.Done());
        const auto asked = std::chrono::steady_clock::now();
        job.Cancel();
        while (!job.Done() && std::chrono::steady_clock::now() - asked < std::chrono::seconds(5))
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        ASSERT_TRUE(job.Done());
        EXPECT_TRUE(job.Result().cancelled);
        EXPECT_EQ(job.Result().outcome, SolveOutcome::kUnknown);
    }
    // The owner may also just drop a running job.
    const SolveBudget generous{.nodes = ~uint64_t{0}, .seconds = 1e6};
    auto dropped = std::make_unique<SolverJob>(ops, klondike.data(), generous, MoveScoreFor(KlondikeGame::kGameNumber));
    dropped.reset();
}

TEST_F(SolverBudgets, AJobAnswersWithoutTheCallerWaiting) {
    const std::string position = DealSeeded(11, 3).PositionBytes();
    SolverJob job(*FindGame(11)->model, position.data(), SolveBudget{}, MoveScoreFor(11));
    while (!job.Done()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    EXPECT_EQ(job.Result().outcome, Solve(*FindGame(11)->model, position.data(), SolveBudget{}, MoveScoreFor(11)).outcome);
}

}  // namespace
