#include "tests/games/card_census.h"

#include <cctype>

#include "games/game_registry.h"

#include <array>
#include <span>

#include "framework/game.h"
#include "games/accordion.h"
#include "games/agnes.h"
#include "games/auld_lang_syne.h"
#include "games/block_solitaire.h"
#include "games/calculation.h"
#include "games/canfield.h"
#include "games/cribbage_solitaire.h"
#include "games/forty_thieves.h"
#include "games/four_seasons.h"
#include "games/gate.h"
#include "games/golf.h"
#include "games/klondike.h"
#include "games/monte_carlo.h"
#include "games/poker_solitaire.h"
#include "games/pyramid.h"
#include "games/quadrille.h"
#include "games/simple_addition.h"
#include "games/simplicity.h"
#include "games/spider.h"
#include "games/take_fourteen.h"

namespace {

void AddStock(Census& census, const Deck& deck) {
    for (int i = 0; i < deck.Remaining(); ++i) census.cards.push_back(deck.Peek(i));
}

template <size_t N>
void AddRun(Census& census, const std::array<Card, N>& cards, int count) {
    for (int i = 0; i < count && i < static_cast<int>(N); ++i) census.cards.push_back(cards[i]);
}

// A foundation built in suit holds every card of its top's suit from the starting rank up to the
// top. A top the climb never reaches adds an impossible card, which the check reports.
template <typename Next>
void AddSuitFoundation(Census& census, Card top, int startRank, Next next) {
    if (!top.IsValid()) return;
    int rank = startRank;
    for (int step = 0; step < Card::kRankCount; ++step, rank = next(rank)) {
        census.cards.push_back(Card(top.Suit(), rank));
        if (rank == top.Rank()) return;
    }
    census.cards.push_back(Card());
}

Census AccordionCensus(Game& base) {
    auto& game = static_cast<AccordionGame&>(base);
    Census census;
    for (Card card : game.cells)
        if (card != Card()) census.cards.push_back(card);
    if (game.liftedCell >= 0) census.cards.push_back(game.heldCard);
    // Accordion keeps only the top card of each pile: covered cards leave the state.
    census.unrecorded = Card::kCardsPerPack - static_cast<int>(census.cards.size());
    return census;
}

Census KlondikeCensus(Game& base) {
    auto& game = static_cast<KlondikeGame&>(base);
    Census census;
    AddStock(census, game.deck);
    AddRun(census, game.position.waste, game.position.wasteCount);
    for (int pile = 0; pile < KlondikeGame::kPiles; ++pile) AddRun(census, game.position.tableau[pile], game.position.pileCount[pile]);
    AddRun(census, game.held, game.heldCount);
    for (Card top : game.position.foundations) AddSuitFoundation(census, top, game.position.startRank, tableau::NextRank);
    return census;
}

Census CanfieldCensus(Game& base) {
    auto& game = static_cast<CanfieldGame&>(base);
    Census census;
    AddStock(census, game.deck);
    AddRun(census, game.position.waste, game.position.wasteCount);
    AddRun(census, game.position.reserve, game.position.reserveCount);
    for (int pile = 0; pile < CanfieldGame::kPiles; ++pile) AddRun(census, game.position.tableau[pile], game.position.pileCount[pile]);
    AddRun(census, game.held, game.heldCount);
    for (Card top : game.position.foundations)
        AddSuitFoundation(census, top, game.position.baseCard.Rank(), tableau::NextRank);
    return census;
}

// Calculation keeps only each foundation's top: the cards beneath it are counted, not known.
Census CalculationCensus(Game& base) {
    auto& game = static_cast<CalculationGame&>(base);
    Census census;
    AddStock(census, game.deck);
    if (game.current.IsValid()) census.cards.push_back(game.current);
    for (int k = 0; k < CalculationGame::kWastePiles; ++k) AddRun(census, game.waste[k], game.wasteCounts[k]);
    for (int k = 0; k < CalculationGame::kFoundations; ++k) {
        census.cards.push_back(game.foundationTops[k]);
        census.unrecorded += game.foundationCounts[k] - 1;
    }
    if (game.dragSource != CalculationGame::kNoSource) census.cards.push_back(game.dragged);
    return census;
}

// Auld Lang Syne's foundations take any suit: only their tops are known.
Census AuldLangSyneCensus(Game& base) {
    auto& game = static_cast<AuldLangSyneGame&>(base);
    Census census;
    AddStock(census, game.deck);
    for (int k = 0; k < AuldLangSyneGame::kPiles; ++k) AddRun(census, game.piles[k], game.pileCounts[k]);
    for (int k = 0; k < AuldLangSyneGame::kFoundations; ++k) {
        if (!game.foundations[k].IsValid()) continue;
        census.cards.push_back(game.foundations[k]);
        census.unrecorded += game.FoundationCount(k) - 1;
    }
    if (game.dragSource != AuldLangSyneGame::kNoSource) census.cards.push_back(game.dragged);
    return census;
}

Census FourSeasonsCensus(Game& base) {
    auto& game = static_cast<FourSeasonsGame&>(base);
    Census census;
    AddStock(census, game.deck);
    AddRun(census, game.position.waste, game.position.wasteCount);
    for (int k = 0; k < FourSeasonsGame::kPiles; ++k) AddRun(census, game.position.piles[k], game.position.pileCount[k]);
    if (game.heldSource != FourSeasonsGame::kNoSource) census.cards.push_back(game.held[0]);
    // The foundations climb round the corner, King to Ace.
    for (Card top : game.position.foundations)
        AddSuitFoundation(census, top, game.position.startRank, [](int rank) { return (rank + 1) % Card::kRankCount; });
    return census;
}

Census QuadrilleCensus(Game& base) {
    auto& game = static_cast<QuadrilleGame&>(base);
    Census census;
    AddStock(census, game.deck);
    AddRun(census, game.position.waste, game.position.wasteCount);
    AddRun(census, game.position.centre, game.position.centreCount);
    AddRun(census, game.held, game.heldCount);
    auto pile = [&census](Card top, std::span<const int> order) {
        if (!top.IsValid()) return;
        for (int rank : order) {
            census.cards.push_back(Card(top.Suit(), rank));
            if (rank == top.Rank()) return;
        }
        census.cards.push_back(Card());  // a top its pile can never reach
    };
    for (int k = 0; k < QuadrilleGame::kPiles; ++k) {
        pile(game.position.downTops[k], QuadrilleGame::kDownOrder);
        pile(game.position.upTops[k], QuadrilleGame::kUpOrder);
    }
    return census;
}

// Games that take cards out of play record only what is still on the table.
Census RemainingCensus(std::vector<Card> cards, const Deck& deck) {
    Census census;
    AddStock(census, deck);
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
    if (game.heldColumn != GolfGame::kNoColumn) cards.push_back(game.heldCard);
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

// The grid games never take a card out of play.
template <typename T>
Census GridCensus(Game& base) {
    auto& game = static_cast<T&>(base);
    Census census;
    AddStock(census, game.deck);
    if (game.current.IsValid()) census.cards.push_back(game.current);
    for (Card card : game.grid)
        if (card.IsValid()) census.cards.push_back(card);
    for (int k = 0; k < T::kReservePiles; ++k) AddRun(census, game.reserves[k], game.reserveCounts[k]);
    if constexpr (requires { game.starter; })
        if (game.starter.IsValid()) census.cards.push_back(game.starter);
    if (game.dragSource != T::kNoSource) census.cards.push_back(game.dragged);
    return census;
}

// Spider's foundations show only the last card put there, so the cards on them go unrecorded.
Census SpiderCensus(Game& base) {
    auto& game = static_cast<SpiderGame&>(base);
    Census census;
    census.packs = 2;
    AddStock(census, game.deck);
    for (int column = 0; column < SpiderGame::kColumns; ++column)
        AddRun(census, game.position.columns[column], game.position.columnCount[column]);
    AddRun(census, game.held, game.heldCount);
    census.unrecorded = 2 * Card::kCardsPerPack - static_cast<int>(census.cards.size());
    return census;
}

Census SimplicityCensus(Game& base) {
    auto& game = static_cast<SimplicityGame&>(base);
    Census census;
    AddStock(census, game.deck);
    AddRun(census, game.position.waste, game.position.wasteCount);
    for (int pile = 0; pile < SimplicityGame::kPiles; ++pile) AddRun(census, game.position.piles[pile], game.position.pileCount[pile]);
    if (game.heldSource != SimplicityGame::kNoSource) census.cards.push_back(game.held[0]);
    for (Card top : game.position.foundations) AddSuitFoundation(census, top, game.position.startRank, tableau::NextRank);
    return census;
}

Census GateCensus(Game& base) {
    auto& game = static_cast<GateGame&>(base);
    Census census;
    AddStock(census, game.deck);
    AddRun(census, game.position.waste, game.position.wasteCount);
    for (int post = 0; post < 2; ++post) AddRun(census, game.position.posts[post], game.position.postCount[post]);
    for (int column = 0; column < GateGame::kColumns; ++column)
        AddRun(census, game.position.columns[column], game.position.columnCount[column]);
    AddRun(census, game.held, game.heldCount);
    for (Card top : game.position.foundations) AddSuitFoundation(census, top, game.position.startRank, tableau::NextRank);
    return census;
}

Census AgnesCensus(Game& base) {
    auto& game = static_cast<AgnesGame&>(base);
    Census census;
    AddStock(census, game.deck);
    for (int pile = 0; pile < AgnesGame::kPiles; ++pile) AddRun(census, game.position.tableau[pile], game.position.pileCount[pile]);
    for (int pile = 0; pile < AgnesGame::kReservePiles; ++pile)
        AddRun(census, game.position.reserve[pile], game.position.reserveCount[pile]);
    AddRun(census, game.held, game.heldCount);
    for (Card top : game.position.foundations) AddSuitFoundation(census, top, game.position.startRank, tableau::NextRank);
    return census;
}

// Forty Thieves: two packs, so two foundations of each suit.
Census FortyThievesCensus(Game& base) {
    auto& game = static_cast<FortyThievesGame&>(base);
    Census census;
    census.packs = 2;
    AddStock(census, game.deck);
    AddRun(census, game.position.waste, game.position.wasteCount);
    for (int column = 0; column < FortyThievesGame::kColumns; ++column)
        AddRun(census, game.position.columns[column], game.position.columnCount[column]);
    AddRun(census, game.held, game.heldCount);
    for (Card top : game.position.foundations) AddSuitFoundation(census, top, game.position.startRank, tableau::NextRank);
    return census;
}

}  // namespace

CensusFunction CensusFor(int gameNumber) {
    switch (gameNumber) {
    case AccordionGame::kGameNumber: return &AccordionCensus;
    case AgnesGame::kGameNumber: return &AgnesCensus;
    case AuldLangSyneGame::kGameNumber: return &AuldLangSyneCensus;
    case BlockSolitaireGame::kGameNumber: return &BlockSolitaireCensus;
    case CalculationGame::kGameNumber: return &CalculationCensus;
    case CanfieldGame::kGameNumber: return &CanfieldCensus;
    case CribbageSolitaireGame::kGameNumber: return &GridCensus<CribbageSolitaireGame>;
    case FortyThievesGame::kGameNumber: return &FortyThievesCensus;
    case FourSeasonsGame::kGameNumber: return &FourSeasonsCensus;
    case GateGame::kGameNumber: return &GateCensus;
    case GolfGame::kGameNumber: return &GolfCensus;
    case KlondikeGame::kGameNumber: return &KlondikeCensus;
    case MonteCarloGame::kGameNumber: return &MonteCarloCensus;
    case PokerSolitaireGame::kGameNumber: return &GridCensus<PokerSolitaireGame>;
    case PyramidGame::kGameNumber: return &PyramidCensus;
    case QuadrilleGame::kGameNumber: return &QuadrilleCensus;
    case SimpleAdditionGame::kGameNumber: return &SimpleAdditionCensus;
    case SimplicityGame::kGameNumber: return &SimplicityCensus;
    case SpiderGame::kGameNumber: return &SpiderCensus;
    case TakeFourteenGame::kGameNumber: return &TakeFourteenCensus;
    default: return nullptr;
    }
}

std::string CensusProblem(const Census& census) {
    std::array<int, Card::kCardsPerPack> copies{};
    for (Card card : census.cards) {
        if (!card.IsValid()) return "an impossible card in play";
        if (++copies[card.Index()] > census.packs)
            return "card " + std::to_string(card.Suit()) + "/" + std::to_string(card.Rank()) + " in play too often";
    }
    if (static_cast<int>(census.cards.size()) + census.unrecorded != Card::kCardsPerPack * census.packs)
        return std::to_string(census.cards.size()) + " cards in play, " + std::to_string(census.unrecorded) +
               " unrecorded";
    return {};
}

std::vector<int> RegisteredGameNumbers() {
    std::vector<int> numbers;
    for (const GameDescriptor& entry : RegisteredGames()) numbers.push_back(entry.number);
    return numbers;
}

std::string GameTestName(int gameNumber) {
    std::string name;
    if (const GameDescriptor* entry = FindGame(gameNumber))
        for (char c : std::string(entry->name))
            if (std::isalnum(static_cast<unsigned char>(c))) name += c;
    return name;
}
