#include "games/models/quadrille.h"

namespace {
constexpr int kPointsPerCard = 5;
}  // namespace

using Position = QuadrilleModel::Position;

Position QuadrilleModel::Deal(Deck& deck, const Rules& rules, DealShow<Position>* show) {
    tableau::ShufflePacks(deck, 1);
    Position p;
    static_cast<Rules&>(p) = rules;
    if (rules.filledIn) {
        for (int k = 0; k < 4; ++k) {
            p.foundations[k] = NextCard(k, Card());
            p.foundations[4 + k] = NextCard(4 + k, Card());
            p.centre[k] = Card(kPileSuit[k], Card::kQueen);
            for (Card card : {p.foundations[k], p.foundations[4 + k], p.centre[k]}) deck.Exclude(card);
        }
        p.centreCount = kCentreSlots;
    }
    tableau::ShowLaidOut(deck, p, show);
    return p;
}

Card QuadrilleModel::NextCard(int pile, Card top) {
    const int* order = kOrder[pile / 4];
    if (!top.IsValid()) return Card(kPileSuit[pile % 4], order[0]);
    for (int i = 0; i + 1 < 6; ++i)
        if (order[i] == top.Rank()) return Card(top.Suit(), order[i + 1]);
    return Card();
}

bool QuadrilleModel::Fits(const Position& p, Card card, int to) {
    if (!card.IsValid()) return false;
    if (to == kCentrePlace) return card.Rank() == Card::kQueen && p.centreCount < kCentreSlots;
    const int pile = to - kFirstPile;
    return pile >= 0 && pile < kPiles && card == NextCard(pile, p.foundations[pile]);
}

void QuadrilleModel::Moves(const Position& p, MoveList& out) {
    out.clear();
    if (p.stock.count > 0 || p.RecycleAllowed()) out.push_back({PlayMove::kStock});
    if (p.wasteCount == 0) return;
    const Card card = p.waste[p.wasteCount - 1];
    for (int to = kCentrePlace; to < kFirstPile + kPiles; ++to)
        if (Fits(p, card, to)) out.push_back(tableau::MakeMove(kWastePlace, p.wasteCount - 1, to, 1));
}

int QuadrilleModel::Apply(Position& p, const PlayMove& move) {
    const int32_t before = p.points;
    if (move.kind == PlayMove::kStock) {
        tableau::DealOrTurn(p, p.cardsDealt, p.RecycleAllowed(), p.dealtThisTurn, p.recyclesUsed);
    } else if (move.kind == PlayMove::kMove && p.wasteCount > 0) {
        const Card card = tableau::TakeTop(p.waste, p.wasteCount);
        --p.dealtThisTurn;
        if (move.to == kCentrePlace) p.centre[p.centreCount++] = card;
        else p.foundations[move.to - kFirstPile] = card;
        p.points += kPointsPerCard;
    }
    return p.points - before;
}

// The eight piles complete; a Queen still on its way to the centre does not matter.
bool QuadrilleModel::Won(const Position& p) {
    for (int pile = 0; pile < kPiles; ++pile)
        if (p.foundations[pile] != Card(kPileSuit[pile % 4], kOrder[pile / 4][5])) return false;
    return true;
}

// Over once the stock has been seen through and no card that can come to the top of the waste
// without any other move can be played.
bool QuadrilleModel::Over(const Position& p) {
    if (p.recyclesUsed == 0 && p.stock.count > 0) return false;
    tableau::Candidates<128> candidates;
    candidates.AddTurnable(p.stock, p.waste.data(), p.wasteCount, p.cardsDealt, p.RecycleAllowed());
    for (int c = 0; c < candidates.count; ++c)
        for (int to = kCentrePlace; to < kFirstPile + kPiles; ++to)
            if (Fits(p, candidates[c], to)) return false;
    return true;
}

void QuadrilleModel::Encode(const Position& p, PositionCode& code) {
    tableau::EncodeStockAndWaste(code, p.stock, p.waste, p.wasteCount);
    tableau::EncodePile(code, p.centre.data(), p.centreCount);
    tableau::EncodeTops(code, p.foundations);
    tableau::EncodeRecycles(code, p.recyclesUsed, p.recycles);
    code.Byte(static_cast<uint8_t>(p.cardsDealt));
}

// A top its pile never reaches is named as a fault.
void QuadrilleModel::Cards(const Position& p, CardTally& out) {
    out.AddRun(p.stock.cards, p.stock.count);
    out.AddRun(p.waste, p.wasteCount);
    out.AddRun(p.centre, p.centreCount);
    for (int pile = 0; pile < kPiles; ++pile)
        if (!ForEachPileCard(pile, p.foundations[pile], [&out](Card card) {
                out.cards.push_back(card);
                return true;
            }))
            out.cards.push_back(Card());
}

