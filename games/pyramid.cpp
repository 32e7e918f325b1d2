#include "games/pyramid.h"

#include <algorithm>

// ---- The model ----

bool PyramidParts::IsFree(const Position& position, int row, int k) {
    if (row < 0 || row >= position.rows || k < 0 || k > row || !position.triangle[TriangleIndex(row, k)].IsValid())
        return false;
    if (row == position.rows - 1) return true;
    return !position.triangle[TriangleIndex(row + 1, k)].IsValid() && !position.triangle[TriangleIndex(row + 1, k + 1)].IsValid();
}

Card PyramidParts::Available(const Position& position, int place) {
    if (place == kWastePlace) return position.waste;
    if (place == kTalonPlace) return position.talonCount > 0 ? position.talon[position.talonCount - 1] : Card();
    if (place >= kExtraPlace) {
        const int c = place - kExtraPlace;
        return position.extraCards && c < position.rows ? position.extra[c] : Card();
    }
    if (place < kTrianglePlace) return Card();
    const int row = RowOf(place);
    return IsFree(position, row, place - TrianglePlace(row, 0)) ? position.triangle[place - kTrianglePlace] : Card();
}

template <>
void PyramidModel::Moves(const Position& position, MoveList& out) {
    out.clear();
    if (position.stockCount > 0 || position.turnsLeft >= 1) out.push_back({.kind = PlayMove::kStock, .from = kStockPlace});
    std::array<int8_t, kExtraPlace + kMaxRows> places{};
    std::array<Card, kExtraPlace + kMaxRows> cards{};
    int count = 0;
    for (int place = kWastePlace; place < kExtraPlace + kMaxRows; ++place) {
        const Card card = Available(position, place);
        if (!card.IsValid()) continue;
        places[count] = static_cast<int8_t>(place);
        cards[count++] = card;
    }
    if (position.selected >= 0) {
        const Card waiting = Available(position, position.selected);
        for (int i = 0; i < count; ++i)
            if (MakesPair(waiting, cards[i]))
                out.push_back({.kind = PlayMove::kMove, .from = static_cast<int8_t>(position.selected), .to = places[i]});
        return;
    }
    for (int i = 0; i < count; ++i) {
        if (cards[i].Rank() == Card::kKing) out.push_back({.kind = PlayMove::kSelect, .from = places[i]});
        for (int j = i + 1; j < count; ++j)
            if (MakesPair(cards[i], cards[j])) out.push_back({.kind = PlayMove::kMove, .from = places[i], .to = places[j]});
    }
}

namespace {

void TakeCard(PyramidModel::Position& position, int place) {
    if (place == PyramidModel::kWastePlace) position.waste = Card();
    else if (place == PyramidModel::kTalonPlace) play_position::Pop(position.talon, position.talonCount);
    else if (place >= PyramidModel::kExtraPlace) position.extra[place - PyramidModel::kExtraPlace] = Card();
    else if (place >= PyramidModel::kTrianglePlace) position.triangle[place - PyramidModel::kTrianglePlace] = Card();
}

}  // namespace

template <>
int PyramidModel::ApplyOwn(Position& position, const PlayMove& move) {
    int scored = 0;
    if (move.kind == PlayMove::kStock) {
        // A waiting waste card is let go; a waiting talon card too once the talon changes.
        const int talonBefore = position.talonCount;
        if (position.selected == kWastePlace) position.selected = -1;
        StackWaste(position);
        scored = TurnStock(position);
        if (position.selected == kTalonPlace && position.talonCount != talonBefore) position.selected = -1;
    } else if (move.kind == PlayMove::kSelect || move.kind == PlayMove::kMove) {
        position.selected = -1;
        TakeCard(position, move.from);
        if (move.kind == PlayMove::kMove) TakeCard(position, move.to);
        scored = move.kind == PlayMove::kMove ? kPointsPair : kPointsKing;
    }
    position.points += scored;
    return scored;
}

bool PyramidParts::StackWaste(Position& position) {
    const bool canTurn = position.stockCount > 0 || position.turnsLeft >= 1;
    if (!position.waste.IsValid() || !canTurn || position.talonCount >= Card::kCardsPerPack) return false;
    play_position::Push(position.talon, position.talonCount, position.waste);
    position.waste = Card();
    return true;
}

int PyramidParts::TurnStock(Position& position) {
    if (position.stockCount > 0) {
        position.waste = play_position::Pop(position.stock, position.stockCount);
        return 0;
    }
    if (position.turnsLeft < 1) return 0;
    // The talon turned over: the card turned first is turned first again.
    while (position.talonCount > 0)
        play_position::Push(position.stock, position.stockCount, play_position::Pop(position.talon, position.talonCount));
    position.waste = Card();
    --position.turnsLeft;
    return -2 * kTurnCost;
}

template <>
bool PyramidModel::Over(const Position& position) {
    if (position.selected >= 0) return false;
    if (position.turnsLeft == position.recyclesAtDeal && position.stockCount > 0) return false;
    // Cards in the order they can still be turned up, then the cards lying free on the table: a
    // King anywhere, two free cards, or a turned card with the next one or a free card still make
    // a removal.
    constexpr int kMaxWork = 128;
    std::array<Card, kMaxWork> work;
    int count = 0;
    auto add = [&](Card card) {
        if (card.IsValid() && count < kMaxWork) work[count++] = card;
    };
    if (position.talonCount > 0) {
        if (position.turnsLeft >= 1 || position.recyclesAtDeal == RuleValues::kUnlimitedRecycles)
            for (int i = 0; i < position.talonCount; ++i) add(position.talon[i]);
        else
            add(position.talon[position.talonCount - 1]);
    }
    add(position.waste);
    for (int i = position.stockCount - 1; i >= 0; --i) add(position.stock[i]);
    const int last = count - 1;
    if (position.extraCards)
        for (int c = 0; c < position.rows; ++c) add(position.extra[c]);
    for (int row = 0; row < position.rows; ++row)
        for (int k = 0; k <= row; ++k)
            if (IsFree(position, row, k)) add(position.triangle[TriangleIndex(row, k)]);

    for (int i = 0; i < count; ++i) {
        if (work[i].Rank() == Card::kKing) return false;
        for (int j = i + 1; j < count; ++j)
            if (MakesPair(work[i], work[j]) && (j > last || j == i + 1)) return false;
    }
    return true;
}

template <>
void PyramidModel::Encode(const Position& position, PositionCode& out) {
    using namespace play_position;
    out.bytes.clear();
    out.Byte(static_cast<uint8_t>(position.rows));
    out.Byte(static_cast<uint8_t>(position.extraCards));
    EncodeInt(out, position.recyclesAtDeal);
    EncodeInt(out, position.turnsLeft);
    EncodeCards(out, position.triangle, kTriangleSlots);
    EncodeCards(out, position.extra, kMaxRows);
    EncodeCard(out, position.waste);
    EncodePile(out, position.talon, position.talonCount);
    EncodePile(out, position.stock, position.stockCount);
}

template <>
bool PyramidModel::Won(const Position& position) {
    return Over(position) && Cleared(position);
}

template <>
void PyramidModel::Cards(const Position& position, CardTally& out) {
    out.AddRun(position.stock, position.stockCount);
    out.AddRun(position.talon, position.talonCount);
    out.Add(position.waste);
    for (Card card : position.triangle) out.Add(card);
    for (Card card : position.extra) out.Add(card);
    out.RestUnnamed();
}

PyramidModel::Position PyramidGame::ModelPosition() const {
    PyramidModel::Position now = ModelTable::ModelPosition();
    now.extraCards = RuleOn("ExtraCards");
    now.selected = -1;
    for (int place = kWastePlace; place < kPlaces && !first.Empty(); ++place)
        if (PyramidModel::Available(now, place) == first.card) now.selected = place;
    return now;
}

PyramidGame::PlaceView PyramidGame::View(int place) const {
    if (place == kStockPlace) return {.x = kStockX, .y = kStockY};
    if (place == kTalonPlace) {
        // The talon fans down by a fixed step while its top card fits on the screen, and closes
        // up when it would run past the bottom edge.
        const int count = position.talonCount, room = play_position::kScreenBottom - artwork->cardHeight - kTalonY;
        return {.x = kTalonX, .y = kTalonY, .dy = count <= 1 ? kTalonStep : std::min(kTalonStep, room / (count - 1)),
                .cards = position.talon.data(), .count = count, .pickup = true};
    }
    // The waste's card, an extra row's and a free triangle card are shown as available.
    const int count = PyramidModel::Available(position, place).IsValid();
    if (place == kWastePlace)
        return {.x = kWasteX, .y = kWasteY, .cards = &position.waste, .count = count, .pickup = true};
    if (place >= kExtraPlace) {
        const int c = place - kExtraPlace;
        return {.x = SlotX(position.rows - 1, c), .y = ExtraY(), .cards = &position.extra[c], .count = count,
                .pickup = true};
    }
    const int row = PyramidModel::RowOf(place), k = place - PyramidModel::TrianglePlace(row, 0);
    return {.x = SlotX(row, k), .y = SlotY(row), .cards = &position.triangle[place - kTrianglePlace], .count = count,
            .pickup = true};
}

// ---- Deal ----

void PyramidGame::StartDeal() {
    const bool sevenRows = RuleOn("SevenRows"), extraCards = RuleOn("ExtraCards");
    position.rows = sevenRows ? kMaxRows : kMaxRows - 1;
    position.extraCards = extraCards;
    position.recyclesAtDeal = position.turnsLeft = Rule("Recycles");
    // The seventh row and the extra row each lift the triangle to make room.
    topY = kLowestTopY - kTopLift * (sevenRows + extraCards);
}

void PyramidGame::Deal() {
    auto dealTo = [this](Card& slot, int x, int y) { DealFaceUp(slot, kStockX, kStockY, x, y, TurnsLeft()); };
    const int rows = position.rows;
    for (int row = 0; row < rows; ++row)
        for (int k = 0; k <= row; ++k) dealTo(TriangleCard(row, k), SlotX(row, k), SlotY(row));
    if (position.extraCards)
        for (int c = 0; c < rows; ++c) dealTo(position.extra[c], SlotX(rows - 1, c), ExtraY());
}

// ---- Drawing ----

// The triangle and the extra row, covered cards too, the selected card darkened.
void PyramidGame::DrawAreas(bool present) {
    play_position::DrawStockArea(*this, kStockX, kStockY, present, TurnsLeft());
    const bool extra = RuleOn("ExtraCards");
    const int rows = position.rows;
    const int right = SlotX(rows - 1, rows - 1) + artwork->cardWidth;
    const int bottom = (extra ? ExtraY() : SlotY(rows - 1)) + artwork->cardHeight;
    play_position::DrawArea(*this, SlotX(rows - 1, 0), topY, right, bottom, present, [&] {
        auto draw = [&](int x, int y, Card card) {
            artwork->DrawCard(x, y, card, artwork->screenBuffer, card.IsValid() && card == first.card);
        };
        for (int row = 0; row < rows; ++row)
            for (int k = 0; k <= row; ++k) draw(SlotX(row, k), SlotY(row), TriangleCard(row, k));
        for (int c = 0; c < rows && extra; ++c) draw(SlotX(rows - 1, c), ExtraY(), position.extra[c]);
    });
    DrawPlace(kWastePlace, present);
    DrawPlace(kTalonPlace, present);
}

// ---- Moves ----

// A press on the stock turns it; a King leaves alone, a pair on its second card.
void PyramidGame::OnLButtonDown(WPARAM, int x, int y) {
    if (paused || gameOver) return;
    if (OnCard(x, y, kStockX, kStockY)) return PressStock();
    const Hotspot* spot = FindPickupAt(x, y);
    if (!spot) {
        CheckGameOver();
        return;
    }
    if (const std::optional<PlayMove> move = PickForPair(*spot)) {
        SaveUndo();
        PlaySound("pair.wav");
        points += PyramidModel::Apply(position, *move);
    }
    DrawAreas(true);
    artwork->PresentDirty();
    CheckGameOver();
}

void PyramidGame::PressStock() {
    if (!first.Empty() && first.card == position.waste) {
        // A press on the stock drops a selected waste card, whether or not a card is turned.
        first = CardSelection();
        DrawPlace(kWastePlace, true);
        artwork->PresentDirty();
    }
    LoadStock();
    if (PyramidModel::StackWaste(position)) DrawPlace(kTalonPlace, true);
    const bool canTurn = TurnsLeft();
    if (position.stockCount > 0 || canTurn) {
        // The undo record is taken with the waste card already on the talon.
        SaveUndo();
        const bool turnOver = position.stockCount == 0;
        points += PyramidModel::TurnStock(position);
        if (turnOver)
            for (int i = 0; i < position.stockCount; ++i) deck.PutBack(position.stock[i]);
        else
            deck.DealNext();
        // The stock shows whether it could be turned before this turn.
        play_position::DrawStockArea(*this, kStockX, kStockY, true, turnOver ? canTurn : TurnsLeft());
        DrawPlace(kWastePlace, true);
        if (turnOver) DrawPlace(kTalonPlace, true);
        artwork->PresentDirty();
        PlaySound(turnOver ? "shuffle.wav" : "flip.wav");
    }
    CheckGameOver();
    // A selection goes once its card is covered (the waste went onto a selected talon top) or
    // left play.
    auto shown = [&](const Hotspot& spot) {
        return spot.cards[0] == first.card && spot.x == first.x && spot.y == first.y;
    };
    if (first.Empty() || std::any_of(pickups.begin(), pickups.end(), shown)) return;
    first = CardSelection();
    DrawPlace(kTalonPlace, true);
    DrawPlace(kWastePlace, true);
    artwork->PresentDirty();
    CheckGameOver();
}

void PyramidGame::OnMouseMove(WPARAM keys, int x, int y) {
    Game::OnMouseMove(keys, x, y);
    if (paused || gameOver) return;
    // The hand shows where a click does something; over a covered card it shows that it cannot.
    if (OnCard(x, y, kStockX, kStockY) || FindPickupAt(x, y)) {
        ShowTablePointer(TablePointer::kPlayCard);
        return;
    }
    bool covered = false;
    for (int row = 0; row < position.rows; ++row)
        for (int k = 0; k <= row; ++k) {
            const Rect pickup = Rect::FromSize(SlotX(row, k), SlotY(row), kPickupWidth, kPickupHeight);
            covered = covered || (TriangleCard(row, k).IsValid() && pickup.Contains(x, y));
        }
    ShowTablePointer(covered ? TablePointer::kNoCard : TablePointer::kArrow);
}

bool PyramidGame::OverNow() const {
    const PyramidModel::Position now = ModelPosition();
    return (first.Empty() || now.selected >= 0) && PyramidModel::Over(now);
}

double PyramidGame::GetScoreFactor() {
    const double factor = position.rows == kMaxRows ? 1.5 : 1.0;
    return RuleOn("ExtraCards") ? factor * 0.75 : factor;
}

// ---- Undo ----

// The triangle as seven slots a row, the extra row, the talon, the waste and the talon's count.
// Slots outside the current layout, and the talon's past its count, must be empty.
bool PyramidGame::RecordPart(play_position::RecordFields& fields, Position& read) {
    bool inLayout = true;
    for (int row = 0; row < kMaxRows; ++row) {
        std::array<Card, kMaxRows> slots{};
        for (int k = 0; k <= row; ++k) slots[k] = read.triangle[PyramidModel::TriangleIndex(row, k)];
        fields.Cards(slots);
        for (int k = 0; k < kMaxRows; ++k) {
            if (k <= row) read.triangle[PyramidModel::TriangleIndex(row, k)] = slots[k];
            inLayout = inLayout && (!slots[k].IsValid() || (row < read.rows && k <= row));
        }
    }
    fields.Cards(read.extra);
    fields.Cards(read.talon);
    fields.Card1(read.waste);
    fields.Int(read.talonCount, 0, Card::kCardsPerPack);
    for (int c = read.rows; c < kMaxRows; ++c) inLayout = inLayout && !read.extra[c].IsValid();
    const auto pastTalon = read.talon.begin() + read.talonCount;
    return inLayout && std::none_of(pastTalon, read.talon.end(), [](Card card) { return card.IsValid(); });
}
