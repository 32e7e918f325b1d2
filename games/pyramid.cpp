#include "games/pyramid.h"

#include <algorithm>

// ---- The game ----

PyramidModel::Position PyramidGame::ModelPosition() const {
    PyramidModel::Position now = ModelTable::ModelPosition();
    now.selected = -1;
    for (int place = Model::kWastePlace; place < Model::kPlaces && !first.Empty(); ++place)
        if (PyramidModel::Available(now, place) == first.card) now.selected = place;
    return now;
}

PyramidGame::PlaceView PyramidGame::View(int place) const {
    if (place == Model::kStockPlace) return {.x = kStockX, .y = kStockY};
    if (place == Model::kTalonPlace) {
        // The talon fans down by a fixed step while its top card fits on the screen, and closes
        // up when it would run past the bottom edge.
        const int count = position.talonCount, room = play_position::kScreenBottom - artwork->cardHeight - kTalonY;
        return {.x = kTalonX, .y = kTalonY, .dy = count <= 1 ? kTalonStep : std::min(kTalonStep, room / (count - 1)),
                .cards = position.talon.data(), .count = count, .pickup = true};
    }
    // The waste's card, an extra row's and a free triangle card are shown as available.
    const int count = PyramidModel::Available(position, place).IsValid();
    if (place == Model::kWastePlace)
        return {.x = kWasteX, .y = kWasteY, .cards = &position.waste, .count = count, .pickup = true};
    if (place >= Model::kExtraPlace) {
        const int c = place - Model::kExtraPlace;
        return {.x = SlotX(position.rows - 1, c), .y = ExtraY(), .cards = &position.extra[c], .count = count,
                .pickup = true};
    }
    const int row = PyramidModel::RowOf(place), k = place - PyramidModel::TrianglePlace(row, 0);
    return {.x = SlotX(row, k), .y = SlotY(row), .cards = &position.triangle[place - Model::kTrianglePlace], .count = count,
            .pickup = true};
}

// ---- Deal ----

void PyramidGame::ShowLaidOut(const Position& now) {
    // The seventh row and the extra row each lift the triangle to make room.
    topY = kLowestTopY - kTopLift * ((now.rows == Model::kMaxRows) + now.extraCards);
    ModelTable::ShowLaidOut(now);
}

void PyramidGame::ShowDealt(const Position& now, int place, int) {
    position = now;
    const PlaceView to = View(place);
    play_position::DrawStockArea(*this, kStockX, kStockY, true, TurnsLeft());
    AnimateCard(kStockX, kStockY, to.x, to.y, *to.cards, {.fast = true});
    PlaySound("deal.wav");
}

// ---- Drawing ----

// The triangle and the extra row, covered cards too, the selected card darkened.
void PyramidGame::DrawAreas(bool present) {
    play_position::DrawStockArea(*this, kStockX, kStockY, present, TurnsLeft());
    const bool extra = position.extraCards;
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
    DrawPlace(Model::kWastePlace, present);
    DrawPlace(Model::kTalonPlace, present);
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
        DrawPlace(Model::kWastePlace, true);
        artwork->PresentDirty();
    }
    LoadStock();
    if (PyramidModel::StackWaste(position)) DrawPlace(Model::kTalonPlace, true);
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
        DrawPlace(Model::kWastePlace, true);
        if (turnOver) DrawPlace(Model::kTalonPlace, true);
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
    DrawPlace(Model::kTalonPlace, true);
    DrawPlace(Model::kWastePlace, true);
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

double PyramidGame::GetScoreFactor() { return rules.ScoreFactor(); }

// ---- Undo ----

// The triangle as seven slots a row, the extra row, the talon, the waste and the talon's count.
// Slots outside the current layout, and the talon's past its count, must be empty.
bool PyramidGame::RecordPart(play_position::RecordFields& fields, Position& read) {
    bool inLayout = true;
    for (int row = 0; row < Model::kMaxRows; ++row) {
        std::array<Card, Model::kMaxRows> slots{};
        for (int k = 0; k <= row; ++k) slots[k] = read.triangle[PyramidModel::TriangleIndex(row, k)];
        fields.Cards(slots);
        for (int k = 0; k < Model::kMaxRows; ++k) {
            if (k <= row) read.triangle[PyramidModel::TriangleIndex(row, k)] = slots[k];
            inLayout = inLayout && (!slots[k].IsValid() || (row < read.rows && k <= row));
        }
    }
    fields.Cards(read.extra);
    fields.Cards(read.talon);
    fields.Card1(read.waste);
    fields.Int(read.talonCount, 0, Card::kCardsPerPack);
    for (int c = read.rows; c < Model::kMaxRows; ++c) inLayout = inLayout && !read.extra[c].IsValid();
    const auto pastTalon = read.talon.begin() + read.talonCount;
    return inLayout && std::none_of(pastTalon, read.talon.end(), [](Card card) { return card.IsValid(); });
}
