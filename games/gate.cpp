#include "games/gate.h"

#include "artwork/artwork.h"

namespace {

constexpr int32_t kMaxRecycles = 1'000'000;
constexpr int kWasteMarginX = 12, kWasteMarginY = 6;

}  // namespace

// ---- The model ----

using Position = GateModel::Position;

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

// ---- The table ----

void GateGame::NewGame(bool restart) {
    BeginTableauDeal(restart, 0, kColumnStep, kWasteFanStep);
    const Rules rules = ReadRules();
    StartFoundations(position.foundations, position.startRank, rules.startCard, rules.filledIn);
    ShowOpening();

    for (int slot = 0; slot < GateModel::kPostSlots; ++slot) {
        for (int post = 0; post < 2; ++post) {
            const Card card = deck.DealNext();
            if (!card.IsValid()) continue;
            DrawPlace(GateModel::kStockPlace, true);
            AnimateCard(kStockX, kStockY, PostX(post), PostSlotY(slot), card, artwork->screenBuffer, true, true, -1);
            PlaySound("flip.wav");
            position.posts[post][position.postCount[post]++] = card;
        }
    }
    for (int pile = 0; pile < GateModel::kPiles; ++pile) {
        const Card card = DealTo(GateModel::kFirstPile + pile, false, "flip.wav");
        if (!card.IsValid()) break;
        position.tableau[pile][position.pileCount[pile]++] = card;
    }
    Draw(true);
    CheckGameOver();
    StartClock(0);
}

TableauGame::Place GateGame::PlaceAt(int place) const {
    using Model = GateModel;
    const Position& p = position;
    const int post = place - Model::kFirstPost, f = place - Model::kFirstFoundation, pile = place - Model::kFirstPile;
    if (place == Model::kStockPlace)
        return Place::Stock(kStockX, kStockY, play_position::kLayerRoomX, play_position::kLayerRoomY,
                            tableau::RecycleAllowed(ReadRules().recycles, p.recyclesUsed));
    if (place == Model::kWastePlace)
        return Place::WasteAt(kWasteX, kWasteY, p.waste.data(), p.wasteCount).Drawn(kWasteMarginX, kWasteMarginY, 0);
    // A post offers its last card a little raised (its depth), at its own slot when drawn.
    if (post == 0 || post == 1) return Place::Reserve(PostX(post), PostTopY(post), 0, p.posts[post].data(), p.postCount[post]);
    if (f >= 0 && f < GateModel::kFoundations) return Place::Foundation(FoundationX(f), kFoundationY, p.foundations[f]);
    if (pile >= 0 && pile < GateModel::kPiles)
        return Place::Column(ColumnX(pile), kColumnY, kColumnStep, p.tableau[pile].data(), p.pileCount[pile]);
    return {};
}

void GateGame::DrawOwnPlace(int place, bool present) {
    const int screen = artwork->screenBuffer;
    const int post = place - GateModel::kFirstPost, x = PostX(post);
    const int top = kPostY - kWasteMarginY, bottom = PostSlotY(GateModel::kPostSlots - 1) + artwork->cardHeight;
    const AreaRefresh refresh(artwork, {x, top, x + artwork->cardWidth, bottom}, present);
    // Every card stands at its slot; only the pick-up of the last one is raised.
    for (int slot = 0; slot < position.postCount[post]; ++slot)
        artwork->DrawCard(x, PostSlotY(slot), position.posts[post][slot], screen);
}

// Every press off the stock writes a record, whether or not a drag follows: LiftCards writes none
// of its own, and a refused drag drops this one again.
void GateGame::OnLButtonDown(WPARAM keys, int x, int y) {
    if (paused || gameOver) return;
    if (OnStockTop(x, y, kStockX, kStockY)) return OnStock();
    SaveUndo();
    Game::OnLButtonDown(keys, x, y);
    CheckGameOver();
}

// The waste or a post is drawn again: a post's slide back ends at the raised pick-up, but its card
// stands at its slot. A column's needs nothing.
void GateGame::RedrawReturned(int source) {
    if (source >= GateModel::kFirstPile) return;
    DrawPlace(source == kWasteSource ? GateModel::kWastePlace : source, true);
    artwork->PresentDirty();
}

void GateGame::RecordFields(Fields& fields, Position& p, int32_t& recordPoints, int32_t& seconds) {
    // The waste's position travels with its cards, as a 36th pair.
    int32_t wasteX = kWasteX, wasteY = kWasteY;
    fields.Int(p.startRank, 0, Card::kRankCount - 1);
    fields.Cards(p.foundations);
    fields.Cards(p.waste);
    fields.Int(wasteX);
    fields.Int(wasteY);
    fields.Int(p.wasteCount, 0, GateModel::kWasteSlots);
    fields.Piles(p.posts, p.postCount);
    fields.Piles(p.tableau, p.pileCount);
    fields.Points(recordPoints);
    fields.Int(p.recyclesUsed, 0, kMaxRecycles);
    fields.Seconds(seconds);
}

// Every card once: stock, waste, posts, columns, and each foundation from the starting rank up.
bool GateGame::AcceptRecord(PackTally& tally, Position& read) {
    return tableau::TakePile(tally, read.waste, read.wasteCount) &&
           tableau::TakePiles(tally, read.posts, read.postCount) &&
           tableau::TakePiles(tally, read.tableau, read.pileCount) &&
           tally.TakeFoundations(read.foundations, read.startRank) && tally.WholePack();
}
