#include "games/models/calculation.h"

#include <algorithm>

namespace {

// The Kings of "K, K, K, K" always get these suits, so the four starting cards differ.
constexpr int kKingSuits[CalculationParts::kFoundations] = {2, 3, 0, 1};

}  // namespace

CalculationParts::Position CalculationParts::Deal(Deck& deck, const Rules& rules, DealShow<Position>* show) {
    play_position::ShufflePack(deck);
    Position position;
    position.foundationCounts.fill(1);
    for (int k = 0; k < kFoundations; ++k) {
        position.startRanks[k] = StartRank(rules.startingCard, k);
        const int suit = rules.startingCard == kAllKingsChoice ? kKingSuits[k] : deck.Random() % Card::kSuitCount;
        position.foundationTops[k] = Card(suit, position.startRanks[k]);
    }
    for (Card start : position.foundationTops) deck.Exclude(start);
    position.stockCount = play_position::CopyStock(deck, position.stock);
    if (show) show->Shown(position);
    return position;
}

int CalculationParts::StartRank(int choice, int foundation) {
    // Choice c starts foundation k on the pip value (c + 2) x (k + 1) modulo 13, 0 being the King.
    int pip = (choice + 2) * (foundation + 1) % Card::kRankCount;
    if (pip == 0) pip = Card::kRankCount;
    return pip == 1 ? Card::kAce : pip - 2;
}

bool CalculationParts::Fits(const Position& position, Card card, int foundation) {
    const Card top = position.foundationTops[foundation];
    if (!card.IsValid() || !top.IsValid()) return false;
    // The start rank would begin a fourteenth card: a complete foundation takes nothing.
    return card.Rank() == FollowingRank(top.Rank(), foundation) && card.Rank() != position.startRanks[foundation];
}

template <>
void CalculationModel::Moves(const Position& position, MoveList& out) {
    out.clear();
    if (!position.current.IsValid() && position.stockCount > 0) out.push_back({.kind = PlayMove::kStock, .from = kStockPlace});
    auto add = [&out](int from, int to) {
        out.push_back({.kind = PlayMove::kMove, .from = static_cast<int8_t>(from), .to = static_cast<int8_t>(to)});
    };
    for (int f = 0; f < kFoundations; ++f)
        if (Fits(position, position.current, f)) add(kCurrentPlace, kFoundationPlace + f);
    if (position.current.IsValid())
        for (int k = 0; k < kWastePiles; ++k)
            if (position.wasteCounts[k] < kWasteSlots) add(kCurrentPlace, kWastePlace + k);
    for (int k = 0; k < kWastePiles; ++k)
        for (int f = 0; f < kFoundations; ++f)
            if (Fits(position, WasteTop(position, k), f)) add(kWastePlace + k, kFoundationPlace + f);
}

template <>
int CalculationModel::ApplyOwn(Position& position, const PlayMove& move) {
    if (move.kind == PlayMove::kStock) {
        if (position.current.IsValid() || position.stockCount == 0) return 0;
        position.current = play_position::Pop(position.stock, position.stockCount);
        return 0;
    }
    if (move.kind != PlayMove::kMove) return 0;
    Card card = position.current;
    if (move.from == kCurrentPlace) position.current = Card();
    else card = play_position::Pop(position.waste[move.from - kWastePlace], position.wasteCounts[move.from - kWastePlace]);
    if (move.to >= kWastePlace) {
        play_position::Push(position.waste[move.to - kWastePlace], position.wasteCounts[move.to - kWastePlace], card);
        return 0;
    }
    const int foundation = move.to - kFoundationPlace;
    position.foundationTops[foundation] = card;
    ++position.foundationCounts[foundation];
    position.points += kPointsPerFoundationCard;
    return kPointsPerFoundationCard;
}

template <>
bool CalculationModel::Won(const Position& position) {
    return !position.current.IsValid() && position.stockCount == 0 &&
           std::all_of(position.wasteCounts.begin(), position.wasteCounts.end(), [](int32_t n) { return n == 0; });
}

template <>
bool CalculationModel::Over(const Position& position) {
    if (position.stockCount > 0) return false;
    for (int f = 0; f < kFoundations; ++f) {
        if (Fits(position, position.current, f)) return false;
        for (int k = 0; k < kWastePiles; ++k)
            if (Fits(position, WasteTop(position, k), f)) return false;
    }
    return true;
}

template <>
void CalculationModel::Encode(const Position& position, PositionCode& out) {
    using namespace play_position;
    out.bytes.clear();
    for (int f = 0; f < kFoundations; ++f) {
        out.Byte(static_cast<uint8_t>(position.startRanks[f]));
        out.Byte(static_cast<uint8_t>(position.foundationCounts[f]));
        EncodeCard(out, position.foundationTops[f]);
    }
    EncodeCard(out, position.current);
    EncodePiles(out, position.waste, position.wasteCounts);
    EncodePile(out, position.stock, position.stockCount);
}

template <>
void CalculationModel::Cards(const Position& position, CardTally& out) {
    out.AddRun(position.stock, position.stockCount);
    out.Add(position.current);
    for (int k = 0; k < kWastePiles; ++k) out.AddRun(position.waste[k], position.wasteCounts[k]);
    for (int k = 0; k < kFoundations; ++k) {
        out.cards.push_back(position.foundationTops[k]);
        out.unnamed += position.foundationCounts[k] - 1;
    }
}
