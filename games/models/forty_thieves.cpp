#include "games/models/forty_thieves.h"

using Position = FortyThievesModel::Position;

// Filled in, both copies of a card go with its first exclusion; the second only reshuffles. A card
// dealt to foundation 0 first is one of them, so the deck ends with 96 cards.
Position FortyThievesModel::Deal(Deck& deck, const Rules& rules, DealShow<Position>* show) {
    tableau::ShufflePacks(deck, kPacks);
    Position p;
    static_cast<Rules&>(p) = rules;
    tableau::StartFoundations(deck, p.foundations, p.startRank, rules.startCard, rules.filledIn, true);
    tableau::ShowLaidOut(deck, p, show);
    const int width = rules.columnsInPlay;
    for (int row = 0; row < rules.rows; ++row)
        tableau::DealRowOnto(deck, p, kFirstPile, 0, width, row < rules.rowsFaceDown ? 0 : width, show);
    p.stock.Load(deck);
    return p;
}

bool FortyThievesModel::CanPlay(const Position& p, Card card, Card top, bool toFoundation) {
    if (!card.IsValid()) return false;
    if (!top.IsValid()) return !toFoundation || card.Rank() == p.startRank;
    // Up in suit on a foundation, down in suit on a column.
    const Card lower = toFoundation ? top : card, higher = toFoundation ? card : top;
    return card.Rank() != p.startRank && tableau::NextRank(lower.Rank()) == higher.Rank() && card.Suit() == top.Suit();
}

bool FortyThievesModel::FitsPile(const Position& p, int column, Card lowest, int count) {
    if (p.pileCount[column] + count > kPileSlots || p.AllFaceDown(column)) return false;
    const Card top = p.pileCount[column] > 0 ? p.tableau[column][p.pileCount[column] - 1] : Card();
    return CanPlay(p, lowest, top, false);
}

namespace {

using Model = FortyThievesModel;

// Whether moving the face-up cards of a column away one at a time from the top, each onto the top
// card of another column in play (whose top it then becomes), makes progress: the column is
// emptied, or a card it uncovers fits a foundation. Empty columns are not used as targets:
// filling one only moves the problem. Every step is a legal move, so a true answer is always a
// real sequence of moves.
bool ProgressBySingleMoves(const Position& p, int column) {
    std::array<Card, Model::kPiles> tops;
    for (int k = 0; k < p.columnsInPlay; ++k) tops[k] = p.FaceUpTop(k) ? p.tableau[k][p.pileCount[k] - 1] : Card();
    for (int i = p.pileCount[column] - 1; i >= p.faceDownCount[column]; --i) {
        const Card card = p.tableau[column][i];
        int to = -1;
        for (int k = 0; k < p.columnsInPlay && to < 0; ++k)
            if (k != column && tops[k].IsValid() && Model::CanPlay(p, card, tops[k], false)) to = k;
        if (to < 0) return false;
        tops[to] = card;
        if (i > p.faceDownCount[column] && tableau::GoesHome(p.foundations, p.tableau[column][i - 1], p.startRank))
            return true;
    }
    return true;
}

}  // namespace

// The pick-ups: the waste's top card, each column's top card and, with MovePartial, every longer
// face-up run.
void FortyThievesModel::Moves(const Position& p, MoveList& out) {
    out.clear();
    if (CanDeal(p) || CanRecycle(p)) out.push_back({PlayMove::kStock});
    p.AddFlips(kFirstPile, out);
    if (p.wasteCount > 0)
        tableau::AddDrops<FortyThievesModel>(p, kWastePlace, p.wasteCount - 1, p.waste[p.wasteCount - 1], 1, out,
                                             p.columnsInPlay);
    for (int column = 0; column < p.columnsInPlay; ++column) {
        const int count = p.pileCount[column];
        const int lowest = p.movePartial ? p.faceDownCount[column] : std::max(count - 1, p.faceDownCount[column]);
        tableau::ForEachPileStack(count, lowest, true, [&](int k, int n) {
            tableau::AddDrops<FortyThievesModel>(p, kFirstPile + column, k, p.tableau[column][k], n, out, p.columnsInPlay);
        });
    }
}

int FortyThievesModel::Apply(Position& p, const PlayMove& move) {
    const int32_t before = p.points;
    if (move.kind == PlayMove::kStock) {
        int32_t dealt = 0;
        tableau::DealOrTurn(p, 1, CanRecycle(p), dealt, p.recyclesUsed);
    } else if (move.kind == PlayMove::kFlip) {
        p.points += p.TurnTop(move.from - kFirstPile);
    } else if (move.kind == PlayMove::kMove) {
        tableau::MoveCards(p, move, p.tableau, p.pileCount, kFirstFoundation, kFirstPile,
                           [&](int) { return tableau::TakeTop(p.waste, p.wasteCount); });
        if (p.autoFlip) p.points += p.TurnFaceDownTops();
    }
    return p.points - before;
}

bool FortyThievesModel::Over(const Position& p) {
    if ((p.recyclesUsed == 0 && p.stock.count > 0) || p.AnyAllFaceDown()) return false;
    // The columns out of play are empty.
    const int inPlay = p.columnsInPlay;
    auto home = [&](Card card) { return tableau::GoesHome(p.foundations, card, p.startRank); };
    auto stacks = [&](Card moving, Card onto) { return CanPlay(p, moving, onto, false); };
    auto never = [](Card) { return false; };
    for (int column = 0; column < inPlay; ++column)
        if (p.FaceUpTop(column) && home(p.tableau[column][p.pileCount[column] - 1])) return false;

    // Cards that can still come into play from stock and waste.
    tableau::Candidates<129> candidates;
    candidates.AddTurnable(p.stock, p.waste.data(), p.wasteCount, 1, false);
    candidates.Add(p.stock.Peek(p.stock.count - 1));
    if (tableau::RecycleAllowed(p.recycle, p.recyclesUsed))
        for (int i = 0; i < p.wasteCount; ++i) candidates.Add(p.waste[i]);
    if (candidates.count > 0 && std::count(p.pileCount.begin(), p.pileCount.begin() + inPlay, 0) > 0) return false;
    for (int c = 0; c < candidates.count; ++c)
        if (p.TakesCard(candidates[c], stacks, never)) return false;

    // A face-up run moves whole onto another column; one card at a time, it must make progress.
    if (p.movePartial && tableau::ShiftHelps(p, p.startRank, false, stacks, never, {}, false)) return false;
    for (int c = 0; c < inPlay && !p.movePartial; ++c)
        if (p.FaceUpTop(c) && ProgressBySingleMoves(p, c)) return false;

    tableau::AddUncoverable(candidates, p, p.movePartial, stacks);
    for (int c = 0; c < candidates.count; ++c)
        if (home(candidates[c])) return false;
    return true;
}

void FortyThievesModel::Encode(const Position& p, PositionCode& code) {
    tableau::EncodeStockAndWaste(code, p.stock, p.waste, p.wasteCount);
    tableau::EncodeTops(code, p.foundations);
    p.EncodePiles(code, p.columnsInPlay);
    code.Byte(static_cast<uint8_t>(p.startRank));
    tableau::EncodeRecycles(code, p.recyclesUsed, p.recycle);
    code.Byte(static_cast<uint8_t>(p.columnsInPlay | p.movePartial << 4 | p.autoFlip << 5));
}

