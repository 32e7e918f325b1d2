#include "games/gate.h"

#include "artwork/artwork.h"

namespace {

constexpr int32_t kMaxRecycles = 1'000'000;
constexpr int kStockMarginX = 22, kStockMarginY = 11;
constexpr int kWasteMarginX = 12, kWasteMarginY = 6;

}  // namespace

// ---- The model ----

using Position = GateModel::Position;
using tableau::NextRank;

bool GateModel::FitsColumn(const Position& p, int column, Card lowest, int count, bool fromPost) {
    if (p.columnCount[column] + count > kColumnSlots) return false;
    if (p.columnCount[column] == 0) return fromPost || p.postCount[0] == 0 || p.postCount[1] == 0 || p.fillFromWaste;
    return CanPlay(p, lowest, p.columns[column][p.columnCount[column] - 1], false);
}

namespace {

void AddDrops(const Position& p, int from, int index, Card lowest, int count, MoveList& out) {
    const bool fromPost = from == GateModel::kFirstPost || from == GateModel::kFirstPost + 1;
    for (int f = 0; f < GateModel::kFoundations; ++f)
        if (GateModel::FitsFoundation(p, f, lowest, count))
            out.push_back(tableau::MakeMove(from, index, GateModel::kFirstFoundation + f, count));
    for (int column = 0; column < GateModel::kColumns; ++column)
        if (GateModel::kFirstColumn + column != from && GateModel::FitsColumn(p, column, lowest, count, fromPost))
            out.push_back(tableau::MakeMove(from, index, GateModel::kFirstColumn + column, count));
}

}  // namespace

void GateModel::Moves(const Position& p, MoveList& out) {
    out.clear();
    if (p.stock.count > 0 || p.RecycleAllowed()) out.push_back({PlayMove::kStock});
    if (p.wasteCount > 0) AddDrops(p, kWastePlace, p.wasteCount - 1, p.waste[p.wasteCount - 1], 1, out);
    for (int post = 0; post < 2; ++post)
        if (p.postCount[post] > 0)
            AddDrops(p, kFirstPost + post, p.postCount[post] - 1, p.posts[post][p.postCount[post] - 1], 1, out);
    for (int column = 0; column < kColumns; ++column)
        tableau::ForEachPileStack(p.columnCount[column], 0, p.movePartial != 0, [&](int k, int n) {
            AddDrops(p, kFirstColumn + column, k, p.columns[column][k], n, out);
        });
}

int GateModel::Apply(Position& p, const PlayMove& move) {
    const int32_t before = p.points;
    if (move.kind == PlayMove::kStock) {
        if (p.stock.count > 0) {
            if (p.wasteCount < kWasteSlots) p.waste[p.wasteCount++] = p.stock.Deal();
        } else if (p.RecycleAllowed()) {
            p.stock.TakeWaste(p.waste.data(), p.wasteCount);
            ++p.recyclesUsed;
        }
    } else if (move.kind == PlayMove::kMove) {
        // The waste's or a post's top card, or a run of a column.
        tableau::MoveCards(p, move, p.columns, p.columnCount, kFirstFoundation, kFirstColumn, [&](int from) {
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
    const int stockSize = p.stock.count;
    if (p.recyclesUsed == 0 && stockSize > 0) return false;
    if (p.postCount[0] > 0 || p.postCount[1] > 0)
        for (int column = 0; column < kColumns; ++column)
            if (p.columnCount[column] == 0) return false;

    tableau::Candidates<129> candidates;
    auto add = [&](Card card) { candidates.Add(card); };
    for (int post = 0; post < 2; ++post)
        if (p.postCount[post] > 0) add(p.posts[post][p.postCount[post] - 1]);
    candidates.AddTurnable(p.stock, p.waste.data(), p.wasteCount, 1, p.RecycleAllowed());
    for (int c = 0; c < candidates.count; ++c)
        for (int column = 0; column < kColumns; ++column)
            if (p.columnCount[column] > 0 && CanPlay(p, candidates[c], p.columns[column][p.columnCount[column] - 1], false))
                return false;

    for (int column = 0; column < kColumns; ++column)
        if (p.columnCount[column] > 0) add(p.columns[column][p.columnCount[column] - 1]);
    if (p.movePartial) {
        for (int column = 0; column < kColumns; ++column)
            for (int i = 1; i < p.columnCount[column]; ++i)
                for (int other = 0; other < kColumns; ++other)
                    if (other != column && p.columnCount[other] > 0 &&
                        CanPlay(p, p.columns[column][i], p.columns[other][p.columnCount[other] - 1], false))
                        add(p.columns[column][i - 1]);
    }
    for (int c = 0; c < candidates.count; ++c)
        if (tableau::GoesHome(p.foundations, candidates[c], p.startRank)) return false;
    return true;
}

void GateModel::Encode(const Position& p, PositionCode& code) {
    tableau::EncodeStockAndWaste(code, p.stock, p.waste, p.wasteCount);
    for (int post = 0; post < 2; ++post) tableau::EncodePile(code, p.posts[post].data(), p.postCount[post]);
    tableau::EncodeTops(code, p.foundations);
    for (int column = 0; column < kColumns; ++column)
        tableau::EncodePile(code, p.columns[column].data(), p.columnCount[column]);
    code.Byte(static_cast<uint8_t>(p.startRank));
    tableau::EncodeRecycles(code, p.recyclesUsed, p.recycles);
    code.Byte(static_cast<uint8_t>(p.movePartial | p.filledIn << 1 | p.fillFromWaste << 2));
}

// ---- The table ----

GateGame::GateGame(Artwork* artwork) : ModelledTableauGame(artwork, kGameNumber) {
    undoSoundFirst = true;
    liftSavesUndo = false;
    pressDecides = true;
}

bool GateGame::Fits(const Position& p, int place, const DragRecord& drag) const {
    const Card first = drag.cards[0];
    const int column = place - GateModel::kFirstColumn;
    if (column < 0) return GateModel::FitsFoundation(p, place - GateModel::kFirstFoundation, first, drag.count);
    // Before a double click lifts it, a post's card is still on its post.
    const bool fromPost = heldSource == kLeftPostSource || heldSource == kRightPostSource ||
                          (p.postCount[0] > 0 && first == p.posts[0][p.postCount[0] - 1]) ||
                          (p.postCount[1] > 0 && first == p.posts[1][p.postCount[1] - 1]);
    return GateModel::FitsColumn(p, column, first, drag.count, fromPost);
}

int GateGame::PostTopY(int post) const {
    const int n = position.postCount[post];
    return PostSlotY(std::max(n - 1, 0)) - n / kCardsPerLayer;
}

// ---- Deal ----

void GateGame::NewGame(bool restart) {
    BeginTableauDeal(restart, 0, kColumnStep, kWasteFanStep);
    const Rules rules = ReadRules();
    StartFoundations(position.foundations, position.startRank, rules.startCard, rules.filledIn);
    ShowOpening();

    const int screen = artwork->screenBuffer;
    auto dealTo = [&](int x, int y) {
        const Card card = deck.DealNext();
        if (!card.IsValid()) return card;
        DrawPlace(GateModel::kStockPlace, true);
        AnimateCard(kStockX, kStockY, x, y, card, screen, true, true, -1);
        PlaySound("flip.wav");
        return card;
    };
    for (int slot = 0; slot < GateModel::kPostSlots; ++slot) {
        for (int post = 0; post < 2; ++post) {
            const Card card = dealTo(PostX(post), PostSlotY(slot));
            if (card.IsValid()) position.posts[post][position.postCount[post]++] = card;
        }
    }
    for (int column = 0; column < GateModel::kColumns; ++column) {
        const Card card = dealTo(ColumnX(column), CardY(0));
        if (!card.IsValid()) break;
        position.columns[column][position.columnCount[column]++] = card;
    }
    Draw(true);
    CheckGameOver();
    StartClock(0);
}

// ---- Drawing ----

TableauGame::Place GateGame::PlaceAt(int place) const {
    using Model = GateModel;
    const Position& p = position;
    const int post = place - Model::kFirstPost, f = place - Model::kFirstFoundation;
    const int column = place - Model::kFirstColumn;
    if (place == Model::kStockPlace)
        return Place::Stock(kStockX, kStockY, kStockMarginX, kStockMarginY,
                            tableau::RecycleAllowed(ReadRules().recycles, p.recyclesUsed));
    if (place == Model::kWastePlace)
        return Place::WasteAt(kWasteX, kWasteY, p.waste.data(), p.wasteCount).Drawn(kWasteMarginX, kWasteMarginY, 0);
    // A post offers its last card a little raised (its depth), at its own slot when drawn.
    if (post == 0 || post == 1) return Place::Reserve(PostX(post), PostTopY(post), 0, p.posts[post].data(), p.postCount[post]);
    if (f >= 0 && f < GateModel::kFoundations) return Place::Foundation(FoundationX(f), kFoundationY, p.foundations[f]);
    if (column >= 0 && column < GateModel::kColumns)
        return Place::Column(ColumnX(column), kColumnY, kColumnStep, p.columns[column].data(), p.columnCount[column]);
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

// ---- Moves ----

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
    if (source >= GateModel::kFirstColumn) return;
    DrawPlace(source == kWasteSource ? GateModel::kWastePlace : source, true);
    artwork->PresentDirty();
}

// ---- Undo ----

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
    fields.Piles(p.columns, p.columnCount);
    fields.Points(recordPoints);
    fields.Int(p.recyclesUsed, 0, kMaxRecycles);
    fields.Seconds(seconds);
}

// Every card once: stock, waste, posts, columns, and each foundation from the starting rank up.
bool GateGame::AcceptRecord(PackTally& tally, Position& read) {
    return tableau::TakePile(tally, read.waste, read.wasteCount) &&
           tableau::TakePiles(tally, read.posts, read.postCount) &&
           tableau::TakePiles(tally, read.columns, read.columnCount) &&
           tally.TakeFoundations(read.foundations, read.startRank) && tally.WholePack();
}
