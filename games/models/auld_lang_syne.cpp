#include "games/models/auld_lang_syne.h"

#include <algorithm>

AuldLangSyneParts::Position AuldLangSyneParts::Deal(Deck& deck, const Rules& rules, DealShow<Position>* show) {
    play_position::ShufflePack(deck);
    Position position;
    position.startRank = rules.startCard;
    if (position.startRank == -1) {
        position.foundations[0] = deck.DealNext();
        position.startRank = position.foundations[0].Rank();
    }
    if (rules.filledIn)
        for (int suit = 0; suit < kFoundations; ++suit) {
            position.foundations[suit] = Card(suit, position.startRank);
            deck.Exclude(position.foundations[suit]);
        }
    position.stockCount = play_position::CopyStock(deck, position.stock);
    if (show) show->Shown(position);
    // The first row, as a press on the stock deals it, each card shown as it lands.
    struct DealHooks : play_position::NoHooks {
        Deck& deck;
        const Position& position;
        DealShow<Position>* show;
        void Dealt(int pile) {
            deck.DealNext();
            if (show) show->Dealt(position, kPilePlace + pile, position.pileCounts[pile] - 1);
        }
    } hooks{{}, deck, position, show};
    Play(position, {.kind = PlayMove::kStock, .from = kStockPlace}, hooks);
    return position;
}

bool AuldLangSyneParts::Fits(const Position& position, Card card, int foundation) {
    if (!card.IsValid()) return false;
    const Card top = position.foundations[foundation];
    if (!top.IsValid()) return card.Rank() == position.startRank;
    // The starting rank again would be a fourteenth card: a foundation stops after thirteen.
    return card.Rank() == (top.Rank() + 1) % Card::kRankCount && card.Rank() != position.startRank;
}

int AuldLangSyneParts::TargetFor(const Position& position, int pile) {
    const int count = position.pileCounts[pile];
    if (count == 0) return -1;
    for (int f = 0; f < kFoundations; ++f)
        if (Fits(position, position.piles[pile][count - 1], f)) return f;
    return -1;
}

template <>
void AuldLangSyneModel::Cards(const Position& position, CardTally& out) {
    out.AddRun(position.stock, position.stockCount);
    for (int k = 0; k < kPiles; ++k) out.AddRun(position.piles[k], position.pileCounts[k]);
    for (int f = 0; f < kFoundations; ++f)
        if (const int count = FoundationCount(position, f)) {
            out.cards.push_back(position.foundations[f]);
            out.unnamed += count - 1;
        }
}

template <>
void AuldLangSyneModel::Moves(const Position& position, MoveList& out) {
    out.clear();
    const bool room = std::any_of(position.pileCounts.begin(), position.pileCounts.end(), [](int32_t n) { return n < kPileSlots; });
    if (position.stockCount > 0 && room) out.push_back({.kind = PlayMove::kStock, .from = kStockPlace});
    for (int pile = 0; pile < kPiles; ++pile) {
        const int target = TargetFor(position, pile);
        if (target >= 0)
            out.push_back({.kind = PlayMove::kMove, .from = static_cast<int8_t>(kPilePlace + pile),
                           .to = static_cast<int8_t>(kFoundationPlace + target)});
    }
}

template <>
bool AuldLangSyneModel::Won(const Position& position) {
    return position.stockCount == 0 &&
           std::all_of(position.pileCounts.begin(), position.pileCounts.end(), [](int32_t n) { return n == 0; });
}

template <>
bool AuldLangSyneModel::Over(const Position& position) {
    if (position.stockCount > 0) return false;
    for (int pile = 0; pile < kPiles; ++pile)
        if (TargetFor(position, pile) >= 0) return false;
    return true;
}

template <>
void AuldLangSyneModel::Encode(const Position& position, PositionCode& out) {
    using namespace play_position;
    out.bytes.clear();
    out.Byte(static_cast<uint8_t>(position.startRank));
    EncodeCards(out, position.foundations, kFoundations);
    EncodePiles(out, position.piles, position.pileCounts);
    EncodePile(out, position.stock, position.stockCount);
}
