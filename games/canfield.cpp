#include "games/canfield.h"

#include "artwork/artwork.h"

// ---- The model ----

using Position = CanfieldModel::Position;
using tableau::NextRank;

bool CanfieldModel::BuildsDown(Card moving, Card onto) {
    return onto.IsValid() && NextRank(moving.Rank()) == onto.Rank() && moving.IsRed() != onto.IsRed();
}

bool CanfieldModel::BuildsUp(const Position& p, Card moving, int f) {
    if (!p.foundations[f].IsValid()) return moving.Rank() == p.baseCard.Rank();
    return moving.Rank() == NextRank(p.foundations[f].Rank()) && moving.Suit() == p.foundations[f].Suit();
}

bool CanfieldModel::FitsPile(const Position& p, int pile, Card lowest, int count, bool fromReserve) {
    // A pile's storage ends at 13 cards; wrap-around building could otherwise go on for ever.
    if (p.pileCount[pile] + count > kPileSlots) return false;
    if (p.pileCount[pile] == 0) return fromReserve || p.reserveCount == 0 || !p.fillFromStock;
    return BuildsDown(lowest, p.tableau[pile][p.pileCount[pile] - 1]);
}

namespace {

constexpr int kPointsAutoFill = 5;
// A squared pile grows up and to the left; these margins cover its thickest layer.
constexpr int kLayerMarginX = 12, kLayerMarginY = 6;

using Model = CanfieldModel;

// Plays a move of cards (a move of the waste's top card leaves one card fewer turned this time).
void MoveCards(Position& p, const PlayMove& move) {
    tableau::MoveCards(p, move, p.tableau, p.pileCount, Model::kFirstFoundation, Model::kFirstPile, [&](int from) {
        if (from == Model::kReservePlace) return tableau::TakeTop(p.reserve, p.reserveCount);
        p.turnedCount = std::max(p.turnedCount - 1, 0);
        return tableau::TakeTop(p.waste, p.wasteCount);
    });
}

// Whether a card goes on a foundation or (toPiles) on a pile's top.
bool CanMove(const Position& p, Card card, bool toPiles) {
    if (!card.IsValid()) return false;
    for (int f = 0; f < Model::kFoundations; ++f)
        if (Model::BuildsUp(p, card, f)) return true;
    return toPiles && p.TakesCard(card, Model::BuildsDown, [](Card) { return false; });
}

}  // namespace

// Each card offered goes to the foundations it fits, then to the piles that take it in their
// order; the piles that take each card are found once per listing, since a solver lists the
// moves of every position it meets.
void CanfieldModel::Moves(const Position& p, MoveList& out) {
    out.clear();
    if (p.stock.count > 0 || p.RecycleAllowed()) out.push_back({PlayMove::kStock});
    std::array<uint8_t, Card::kCardsPerPack> hosts{};  // the piles each card may be built on
    uint8_t empty = 0;
    for (int pile = 0; pile < kPiles; ++pile) {
        if (p.pileCount[pile] == 0) {
            empty |= static_cast<uint8_t>(1 << pile);
            continue;
        }
        const Card top = p.tableau[pile][p.pileCount[pile] - 1];
        const int rank = (top.Rank() + Card::kRankCount - 1) % Card::kRankCount;
        for (int suit = 0; suit < Card::kSuitCount; ++suit)
            if (Card(suit, rank).IsRed() != top.IsRed()) hosts[Card(suit, rank).Index()] |= static_cast<uint8_t>(1 << pile);
    }
    const auto drops = [&](int from, int index, Card lowest, int count) {
        if (count == 1)
            for (int f = 0; f < kFoundations; ++f)
                if (BuildsUp(p, lowest, f)) out.push_back(tableau::MakeMove(from, index, kFirstFoundation + f, 1));
        const bool intoEmpty = from == kReservePlace || p.reserveCount == 0 || !p.fillFromStock;
        unsigned piles = hosts[lowest.Index()] | (intoEmpty ? empty : 0);
        if (from >= kFirstPile) piles &= ~(1u << (from - kFirstPile));
        for (int pile = 0; piles != 0; ++pile, piles >>= 1)
            if ((piles & 1) && p.pileCount[pile] + count <= kPileSlots)
                out.push_back(tableau::MakeMove(from, index, kFirstPile + pile, count));
    };
    if (p.wasteCount > 0) drops(kWastePlace, p.wasteCount - 1, p.waste[p.wasteCount - 1], 1);
    if (p.reserveCount > 0) drops(kReservePlace, p.reserveCount - 1, p.reserve[p.reserveCount - 1], 1);
    for (int pile = 0; pile < kPiles; ++pile)
        tableau::ForEachPileStack(p.pileCount[pile], 0, p.movePartial != 0, [&](int k, int n) {
            drops(kFirstPile + pile, k, p.tableau[pile][k], n);
        });
}

int CanfieldModel::Apply(Position& p, const PlayMove& move) {
    const int32_t before = p.points;
    Step(p, move);
    const int pile = EmptyPileForReserve(p);
    if (move.kind == PlayMove::kMove && pile >= 0) {
        MoveCards(p, tableau::MakeMove(kReservePlace, p.reserveCount - 1, kFirstPile + pile, 1));
        p.points += kPointsAutoFill;
    }
    return p.points - before;
}

int CanfieldModel::Step(Position& p, const PlayMove& move) {
    const int32_t before = p.points;
    if (move.kind == PlayMove::kStock)
        tableau::DealOrTurn(p, p.cardsDealt, p.RecycleAllowed(), p.turnedCount, p.recyclesUsed);
    else if (move.kind == PlayMove::kMove)
        MoveCards(p, move);
    return p.points - before;
}

int CanfieldModel::EmptyPileForReserve(const Position& p) {
    if (p.reserveCount == 0) return -1;
    for (int pile = 0; pile < kPiles; ++pile)
        if (p.pileCount[pile] == 0) return pile;
    return -1;
}

// Over when no card the stock, the waste or the reserve can still bring (with a turn of the waste
// left, every waste card) goes anywhere, no pile is empty while such cards are left, no pile's
// top goes home and no whole pile moves onto another.
bool CanfieldModel::Over(const Position& p) {
    if (p.recyclesUsed == 0 && p.stock.count > 0) return false;
    const bool cardsLeft = p.reserveCount > 0 || p.stock.count > 0 || p.wasteCount > 0;
    if (cardsLeft && std::ranges::count(p.pileCount, 0) > 0) return false;
    tableau::Candidates<128> cards;
    cards.AddTurnable(p.stock, p.waste.data(), p.wasteCount, 1, p.RecycleAllowed());
    if (p.reserveCount > 0) cards.Add(p.reserve[p.reserveCount - 1]);
    for (int c = 0; c < cards.count; ++c)
        if (CanMove(p, cards[c], true)) return false;
    for (int pile = 0; pile < kPiles; ++pile) {
        if (p.pileCount[pile] == 0) continue;
        if (CanMove(p, p.tableau[pile][p.pileCount[pile] - 1], false)) return false;
        for (int other = 0; other < kPiles; ++other)
            if (other != pile && p.pileCount[other] > 0 && p.pileCount[other] + p.pileCount[pile] <= kPileSlots &&
                BuildsDown(p.tableau[pile][0], p.tableau[other][p.pileCount[other] - 1]))
                return false;
    }
    return true;
}

void CanfieldModel::Encode(const Position& p, PositionCode& code) {
    tableau::EncodeStockAndWaste(code, p.stock, p.waste, p.wasteCount);
    tableau::EncodePile(code, p.reserve.data(), p.reserveCount);
    tableau::EncodeCard(code, p.baseCard);
    tableau::EncodeTops(code, p.foundations);
    p.EncodePiles(code);
    tableau::EncodeRecycles(code, p.recyclesUsed, p.recycles);
    code.Byte(static_cast<uint8_t>(p.cardsDealt | p.movePartial << 2 | p.fillFromStock << 3));
}

// ---- The table ----

void CanfieldGame::NewGame(bool restart) {
    BeginTableauDeal(restart, 0, kTableauStep, kWasteFanStep);
    ShowOpening();

    // The reserve counts each card before it comes, so that it flies to the layer it makes; the
    // last one lands face up.
    for (int i = 0; i < CanfieldModel::kReserveSlots; ++i) {
        position.reserveCount = i + 1;
        position.reserve[i] = DealTo(CanfieldModel::kReservePlace, i < CanfieldModel::kReserveSlots - 1);
    }
    position.foundations[0] = position.baseCard = DealTo(CanfieldModel::kFirstFoundation, false);
    DealRowOnto(position, CanfieldModel::kFirstPile, 0, CanfieldModel::kPiles, CanfieldModel::kPiles);
    Draw(true);
    StartClock(0);
}

TableauGame::Place CanfieldGame::PlaceAt(int place) const {
    using Model = CanfieldModel;
    const Position& p = position;
    const int f = place - Model::kFirstFoundation, pile = place - Model::kFirstPile;
    if (place == Model::kStockPlace)
        return Place::Stock(kStockX, kStockY, kLayerMarginX + 10, kLayerMarginY + 5,
                            tableau::RecycleAllowed(ReadRules().recycles, p.recyclesUsed));
    if (place == Model::kWastePlace)
        return Place::WasteAt(kWasteX, kWasteY, p.waste.data(), p.wasteCount, ReadRules().cardsDealt, p.turnedCount,
                              kWasteFanStep)
            .Drawn(kLayerMarginX, kLayerMarginY, 2 * kWasteFanStep);
    if (place == Model::kReservePlace)
        return Place::Reserve(LayerX(kReserveX, p.reserveCount), LayerY(kReserveY, p.reserveCount), 0, p.reserve.data(),
                              p.reserveCount);
    if (f >= 0 && f < CanfieldModel::kFoundations)
        return Place::Foundation(ColumnX(f), kFoundationY, p.foundations[f], p.baseCard.Rank())
            .Drawn(kLayerMarginX, kLayerMarginY, 0);
    if (pile >= 0 && pile < CanfieldModel::kPiles)
        return Place::Column(ColumnX(pile), kTableauY, kTableauStep, p.tableau[pile].data(), p.pileCount[pile]);
    return {};
}

void CanfieldGame::DrawOwnPlace(int, bool present) {
    const int left = kReserveX - kLayerMarginX, top = kReserveY - kLayerMarginY;
    const AreaRefresh refresh(artwork, {left, top, kReserveX + artwork->cardWidth, kReserveY + artwork->cardHeight}, present);
    const int screen = artwork->screenBuffer;
    // While the reserve's top card is in the hand, the cards under it are still unknown.
    const bool topInHand = dragging && heldSource == kReserveSource;
    if (position.reserveCount == 0) {
        artwork->DrawPlaceholder(kReserveX, kReserveY, card_geometry::kPlaceholderEmptyPile, screen);
        return;
    }
    const int layers = PileLayers(position.reserveCount);
    for (int k = 0; k < layers; ++k) {
        const int x = kReserveX + kLayerStepX * k, y = kReserveY + kLayerStepY * k;
        if (k == layers - 1 && !topInHand) artwork->DrawCard(x, y, position.reserve[position.reserveCount - 1], screen);
        else artwork->DrawCardBack(x, y, artwork->cardBack, screen);
    }
}

void CanfieldGame::OnStock() {
    const Position now = CurrentPosition();
    if (now.stock.count == 0 && !now.RecycleAllowed()) return;
    // A flip for each card turned; none turned, the waste was turned over.
    PressStock();
    for (int i = 0; i < position.turnedCount; ++i) PlaySound("flip.wav");
    CheckGameOver();
    if (now.stock.count == 0) PlaySound("shuffle.wav");
}

void CanfieldGame::AfterMove() {
    const int pile = CanfieldModel::EmptyPileForReserve(position);
    if (pile < 0) return;
    DragRecord record;
    CardOrigin(CanfieldModel::kReservePlace, kTopCard, record.x, record.y);
    record.cards[0] = position.reserve[position.reserveCount - 1];
    record.count = 1;
    dragging = true;
    // The reserve's card fills the gap as part of the player's move.
    JoinNextRecordToMove();
    LiftCards(record);
    AnimateCards(record.x, record.y, ColumnX(pile), CardY(0), 1, record.cards.data(), artwork->screenBuffer, true,
                 false);
    dragging = false;
    DropTarget target{ColumnX(pile), CardY(0), CardHitRect(ColumnX(pile), CardY(0)), kPlainTargetKind};
    DropCards(record, target);
    points += kPointsAutoFill;
    CheckGameOver();
}

void CanfieldGame::RecordFields(Fields& fields, Position& p, int32_t& recordPoints, int32_t& seconds) {
    fields.CardValue(p.baseCard);
    fields.Cards(p.foundations);
    fields.Pile(p.waste, p.wasteCount);
    fields.Pile(p.reserve, p.reserveCount);
    fields.Piles(p.tableau, p.pileCount);
    fields.Clock(recordPoints, seconds);
}

// Every card in play exactly once: the foundations hold their suit from the base rank up to their
// top card, and everything else is in the stock, waste, reserve or piles.
bool CanfieldGame::AcceptRecord(PackTally& tally, Position& read) {
    if (!read.baseCard.IsValid()) return false;
    if (!tableau::TakePile(tally, read.waste, read.wasteCount) ||
        !tableau::TakePile(tally, read.reserve, read.reserveCount) ||
        !tableau::TakePiles(tally, read.tableau, read.pileCount) ||
        !tally.TakeFoundations(read.foundations, read.baseCard.Rank()) || !tally.WholePack())
        return false;
    read.turnedCount = std::min(read.turnedCount, read.wasteCount);
    return true;
}
