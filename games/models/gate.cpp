#include "games/models/gate.h"

using Position = GateModel::Position;

Position GateModel::Deal(Deck& deck, const Rules& rules, DealShow<Position>* show) {
    tableau::ShufflePacks(deck, 1);
    Position p;
    static_cast<Rules&>(p) = rules;
    tableau::StartFoundations(deck, p.foundations, p.startRank, rules.startCard, rules.filledIn);
    tableau::ShowLaidOut(deck, p, show);
    for (int slot = 0; slot < kPostSlots; ++slot) {
        for (int post = 0; post < 2; ++post) {
            const Card card = deck.DealNext();
            if (!card.IsValid()) continue;
            const int index = p.postCount[post]++;
            p.posts[post][index] = card;
            tableau::ShowDealt(deck, p, show, kFirstPost + post, index);
        }
    }
    for (int pile = 0; pile < kPiles; ++pile) {
        const Card card = deck.DealNext();
        if (!card.IsValid()) break;
        p.tableau[pile][p.pileCount[pile]++] = card;
        tableau::ShowDealt(deck, p, show, kFirstPile + pile, 0);
    }
    p.stock.Load(deck);
    return p;
}

bool GateModel::FitsPile(const Position& p, int pile, Card lowest, int count, bool fromPost) {
    if (p.pileCount[pile] + count > kPileSlots) return false;
    if (p.pileCount[pile] == 0)
        return fromPost || lowest == p.PostTop(0) || lowest == p.PostTop(1) || p.postCount[0] == 0 ||
               p.postCount[1] == 0 || p.fillFromWaste;
    return CanPlay(p, lowest, p.tableau[pile][p.pileCount[pile] - 1], false);
}

void GateModel::Moves(const Position& p, MoveList& out) {
    out.clear();
    if (p.stock.count > 0 || p.RecycleAllowed()) out.push_back({PlayMove::kStock});
    if (p.wasteCount > 0)
        tableau::AddDrops<GateModel>(p, kWastePlace, p.wasteCount - 1, p.waste[p.wasteCount - 1], 1, out);
    for (int post = 0; post < 2; ++post)
        if (p.postCount[post] > 0)
            tableau::AddDrops<GateModel>(p, kFirstPost + post, p.postCount[post] - 1, p.PostTop(post), 1, out);
    for (int pile = 0; pile < kPiles; ++pile)
        tableau::ForEachPileStack(p.pileCount[pile], 0, p.movePartial != 0, [&](int k, int n) {
            tableau::AddDrops<GateModel>(p, kFirstPile + pile, k, p.tableau[pile][k], n, out);
        });
}

int GateModel::Apply(Position& p, const PlayMove& move) {
    const int32_t before = p.points;
    if (move.kind == PlayMove::kStock) {
        // Turning the waste over is free.
        if (p.stock.count > 0) {
            if (p.wasteCount < kWasteSlots) p.waste[p.wasteCount++] = p.stock.Deal();
        } else if (p.RecycleAllowed()) {
            p.stock.TakeWaste(p.waste.data(), p.wasteCount);
            ++p.recyclesUsed;
        }
    } else if (move.kind == PlayMove::kMove) {
        tableau::MoveCards(p, move, p.tableau, p.pileCount, kFirstFoundation, kFirstPile, [&](int from) {
            if (from == kWastePlace) return tableau::TakeTop(p.waste, p.wasteCount);
            return tableau::TakeTop(p.posts[from - kFirstPost], p.postCount[from - kFirstPost]);
        });
    }
    return p.points - before;
}

// Over once the stock has been seen through, no empty column waits for a post's card, and no
// card that can still come into play (waste, posts, stock, column tops and, with MovePartial,
// the cards a partial move would uncover) fits a column or a foundation.
bool GateModel::Over(const Position& p) {
    if (p.recyclesUsed == 0 && p.stock.count > 0) return false;
    if ((p.postCount[0] > 0 || p.postCount[1] > 0) && std::ranges::count(p.pileCount, 0) > 0) return false;
    tableau::Candidates<129> candidates;
    candidates.Add(p.PostTop(0));
    candidates.Add(p.PostTop(1));
    candidates.AddTurnable(p.stock, p.waste.data(), p.wasteCount, 1, p.RecycleAllowed());
    auto stacks = [&p](Card moving, Card onto) { return CanPlay(p, moving, onto, false); };
    for (int c = 0; c < candidates.count; ++c)
        if (p.TakesCard(candidates[c], stacks, [](Card) { return false; })) return false;
    tableau::AddUncoverable(candidates, p, p.movePartial, stacks);
    for (int c = 0; c < candidates.count; ++c)
        if (tableau::GoesHome(p.foundations, candidates[c], p.startRank)) return false;
    return true;
}

void GateModel::Encode(const Position& p, PositionCode& code) {
    tableau::EncodeStockAndWaste(code, p.stock, p.waste, p.wasteCount);
    for (int post = 0; post < 2; ++post) tableau::EncodePile(code, p.posts[post].data(), p.postCount[post]);
    tableau::EncodeTops(code, p.foundations);
    p.EncodePiles(code);
    code.Byte(static_cast<uint8_t>(p.startRank));
    tableau::EncodeRecycles(code, p.recyclesUsed, p.recycles);
    code.Byte(static_cast<uint8_t>(p.movePartial | p.filledIn << 1 | p.fillFromWaste << 2));
}

