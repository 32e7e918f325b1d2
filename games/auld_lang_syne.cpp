#include "games/auld_lang_syne.h"

#include <algorithm>

// ---- The model ----

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

// ---- The game ----

AuldLangSyneGame::PlaceView AuldLangSyneGame::View(int place) const {
    if (place == kStockPlace) return {.x = kStockX, .y = kStockY};
    if (place < kPilePlace) {
        const int k = place - kFoundationPlace;
        return {.x = ColumnX(k), .y = kFoundationY, .cards = &position.foundations[k], .count = 1, .targetKind = kAutoMoveKind};
    }
    const int k = place - kPilePlace;
    return {.x = ColumnX(k), .y = kPileY, .dy = kPileStep, .cards = position.piles[k].data(),
            .count = position.pileCounts[k] - (lifted == place), .pickup = true};
}

void AuldLangSyneGame::StartDeal() {
    fanDy = kPileStep;
    position.startRank = Rule("StartCard");
    if (position.startRank == -1) {
        position.foundations[0] = deck.DealNext();
        position.startRank = position.foundations[0].Rank();
    }
    if (RuleOn("FilledIn"))
        for (int suit = 0; suit < kFoundations; ++suit) {
            position.foundations[suit] = Card(suit, position.startRank);
            deck.Exclude(position.foundations[suit]);
        }
}

// A press on the stock: a card onto each pile, each sliding there from the stock.
void AuldLangSyneGame::DealRow() {
    struct SlideHooks : play_position::NoHooks {
        AuldLangSyneGame& game;
        void Dealt(int pile) {
            const Card card = game.deck.DealNext();
            game.DrawPlace(kStockPlace, true);
            game.artwork->PresentDirty();
            game.AnimateCard(kStockX, kStockY, ColumnX(pile), CardY(game.position.pileCounts[pile] - 1), card,
                             game.artwork->screenBuffer, true, true, -1);
            game.PlaySound("deal.wav");
        }
    } hooks{{}, *this};
    LoadStock();
    AuldLangSyneModel::Play(position, {.kind = PlayMove::kStock, .from = kStockPlace}, hooks);
    CheckGameOver();
}

void AuldLangSyneGame::DrawPlace(int place, bool present) {
    const int k = place - kFoundationPlace;
    if (place == kStockPlace) play_position::DrawStockArea(*this, kStockX, kStockY, present);
    else if (place >= kPilePlace) DrawView(place, present, true, play_position::kScreenBottom);
    else play_position::DrawFoundationArea(*this, ColumnX(k), kFoundationY, position.foundations[k], position.startRank,
                                           kDepthFromRanks, present);
}

// A foundation shows its top on the layers of its depth.
Rect AuldLangSyneGame::DrawnTop(int place) const {
    const int k = place - kFoundationPlace;
    if (place == kStockPlace || place >= kPilePlace || !position.foundations[k].IsValid()) return ModelTable::DrawnTop(place);
    return artwork->CardRect(artwork->FoundationTopPosition(ColumnX(k), kFoundationY, position.foundations[k],
                                                            position.startRank, kDepthFromRanks));
}

// A card on its way is out of play until it lands.
bool AuldLangSyneGame::OverNow() const {
    AuldLangSyneModel::Position shown = position;
    if (const int pile = lifted - kPilePlace; lifted != kNothingLifted)
        play_position::Pop(shown.piles[pile], shown.pileCounts[pile]);
    return AuldLangSyneModel::Over(shown);
}

bool AuldLangSyneGame::RecordPart(play_position::RecordFields& fields, Position& read) {
    fields.Cards(read.foundations);
    fields.Piles(read.piles);
    fields.Counts(read.pileCounts, 0, kPileSlots);
    for (int k = 0; k < kPiles; ++k) ClearPastCount(read.piles[k], read.pileCounts[k]);
    return true;
}
