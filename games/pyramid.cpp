#include "games/pyramid.h"

#include "games/game_rules.h"

#include <algorithm>

#include "framework/game_services.h"
#include "shell/artwork.h"
#include "store/settings_store.h"

namespace {

constexpr int kPointsPair = 5;
constexpr int kPointsKing = 3;
// Turning the talon back costs this twice, once before and once after the cards go back.
constexpr int kTurnCost = 5;
constexpr int kMaxWorkCards = 128;

// Top of the triangle for the four combinations of the two layout rules.
constexpr int kTopBothOn = 70, kTopBothOff = 150, kTopOtherwise = 110;

// Refresh areas (inclusive).
constexpr int kStockAreaLeft = 78, kStockAreaTop = 59, kStockAreaRight = 152, kStockAreaBottom = 152;
constexpr int kScreenBottom = 599;

}  // namespace

PyramidRules PyramidRules::Read() {
    PyramidRules rules;
    const RuleValues values(PyramidGame::kGameNumber);
    rules.sevenRows = values.On("SevenRows");
    rules.extraCards = values.On("ExtraCards");
    rules.recycles = values["Recycles"];
    return rules;
}

bool PyramidRules::ExtraCardsOn() {
    SettingsKey key(GameSettingsPath("Pyramid"));
    return ReadDwordValue(key, "ExtraCards", 0) != 0;
}

PyramidGame::PyramidGame(Artwork* artwork) : Game(artwork, kGameNumber) {}

bool PyramidGame::IsFree(int row, int k) const {
    if (row < 0 || row >= rows || k < 0 || k > row || !triangle[row][k].IsValid()) return false;
    if (row == rows - 1) return true;
    return !triangle[row + 1][k].IsValid() && !triangle[row + 1][k + 1].IsValid();
}

int PyramidGame::TalonCardY(int index) const {
    // The talon fans down by a fixed step while its top card fits on the screen, and closes up
    // when it would run past the bottom edge.
    int step = kTalonStep;
    if (talonCount > 1) step = std::min(step, (kScreenBottom - artwork->cardHeight - kTalonY) / (talonCount - 1));
    return kTalonY + step * index;
}

// ---- Deal ----

void PyramidGame::NewGame(bool restart) {
    BeginRuledDeal(restart);
    fanDx = 0;
    fanDy = kTalonStep;
    SetStandardPanel();
    const PyramidRules rules = PyramidRules::Read();
    rows = rules.sevenRows ? kMaxRows : kMaxRows - 1;
    recyclesAtDeal = rules.recycles;
    turnsLeft = rules.recycles;
    waste = Card();
    first = second = Selection();
    for (auto& row : triangle) row.fill(Card());
    extraRow.fill(Card());
    talon.fill(Card());
    talonCount = 0;
    artwork->RestoreBackground(0, 799, 0, 599);
    if (rules.sevenRows && rules.extraCards) topY = kTopBothOn;
    else if (!rules.sevenRows && !rules.extraCards) topY = kTopBothOff;
    else topY = kTopOtherwise;
    ClearHotspots();

    deck.SetPacks(1);
    deck.IncludeAll();
    deck.Shuffle();
    artwork->DrawGameTitle(kGameNumber);
    Draw(true);
    if (Services().setGameMusic) Services().setGameMusic();

    auto dealTo = [this](Card& slot, int x, int y) {
        const Card card = deck.DealNext();
        if (!card.IsValid()) return;
        DrawStockArea(true);
        AnimateCard(kStockX, kStockY, x, y, card, artwork->screenBuffer, true, true, -1);
        PlaySound("deal.wav");
        slot = card;
    };
    for (int row = 0; row < rows; ++row)
        for (int k = 0; k <= row; ++k) dealTo(triangle[row][k], SlotX(row, k), SlotY(row));
    if (rules.extraCards)
        for (int c = 0; c < rows; ++c) dealTo(extraRow[c], SlotX(rows - 1, c), ExtraY());
    CheckGameOver();
    StartClock(0);
}

// ---- Drawing ----

void PyramidGame::DrawStockArea(bool present) {
    if (present) artwork->RestoreBackground(kStockAreaLeft, kStockAreaRight, kStockAreaTop, kStockAreaBottom);
    artwork->DrawStock(kStockX, kStockY, artwork->cardBack, deck, artwork->screenBuffer, TurnsLeft());
    if (present) artwork->AddDirty({kStockAreaLeft, kStockAreaTop, kStockAreaRight, kStockAreaBottom});
}

void PyramidGame::DrawTriangleArea(bool present) {
    const bool extra = PyramidRules::ExtraCardsOn();
    const int left = SlotX(rows - 1, 0), right = SlotX(rows - 1, rows - 1) + artwork->cardWidth;
    const int bottom = (extra ? ExtraY() : SlotY(rows - 1)) + artwork->cardHeight;
    if (present) artwork->RestoreBackground(left, right, topY, bottom);
    const int screen = artwork->screenBuffer;
    for (int row = 0; row < rows; ++row)
        for (int k = 0; k <= row; ++k) artwork->DrawCard(SlotX(row, k), SlotY(row), triangle[row][k], screen, IsSelected(triangle[row][k]));
    if (extra)
        for (int c = 0; c < rows; ++c) artwork->DrawCard(SlotX(rows - 1, c), ExtraY(), extraRow[c], screen, IsSelected(extraRow[c]));
    if (present) artwork->AddDirty({left, topY, right, bottom});
}

void PyramidGame::DrawWasteArea(bool present) {
    const int right = kWasteX + artwork->cardWidth, bottom = kWasteY + artwork->cardHeight;
    if (present) artwork->RestoreBackground(kWasteX, right, kWasteY, bottom);
    if (waste.IsValid()) artwork->DrawCard(kWasteX, kWasteY, waste, artwork->screenBuffer, IsSelected(waste));
    else artwork->DrawPlaceholder(kWasteX, kWasteY, card_geometry::kPlaceholderEmptyPile, artwork->screenBuffer);
    if (present) artwork->AddDirty({kWasteX, kWasteY, right, bottom});
}

void PyramidGame::DrawTalonArea(bool present) {
    const int right = kTalonX + artwork->cardWidth;
    if (present) artwork->RestoreBackground(kTalonX, right, kTalonY, kScreenBottom);
    for (int i = 0; i < talonCount; ++i)
        artwork->DrawCard(kTalonX, TalonCardY(i), talon[i], artwork->screenBuffer, IsSelected(talon[i]));
    if (present) artwork->AddDirty({kTalonX, kTalonY, right, kScreenBottom});
}

void PyramidGame::RedrawTable() {
    DrawStockArea(true);
    DrawTriangleArea(true);
    DrawWasteArea(true);
    DrawTalonArea(true);
    artwork->PresentDirty();
}

void PyramidGame::Draw(bool present) {
    artwork->RestoreBackground(0, 799, 0, 599);
    DrawStockArea(false);
    DrawTriangleArea(false);
    DrawWasteArea(false);
    DrawTalonArea(false);
    DrawTableFrame(present);
}

// ---- Moves ----

void PyramidGame::OnLButtonDown(WPARAM, int x, int y) {
    if (paused || gameOver) return;
    if (x >= kStockX && x <= kStockX + artwork->cardWidth && y >= kStockY && y <= kStockY + artwork->cardHeight)
        PressStock();
    else
        PressCard(x, y);
}

void PyramidGame::PressStock() {
    if (!first.Empty() && first.card == waste) {
        // A press on the stock drops a selected waste card, whether or not a card is turned.
        first = Selection();
        DrawWasteArea(true);
        artwork->PresentDirty();
    }
    if (waste.IsValid() && (deck.Remaining() > 0 || TurnsLeft()) && talonCount < kTalonSlots) {
        talon[talonCount++] = waste;
        waste = Card();
        DrawTalonArea(true);
    }
    if (deck.Remaining() > 0) {
        SaveUndo();
        waste = deck.DealNext();
        CheckGameOver();
        DrawStockArea(true);
        DrawWasteArea(true);
        artwork->PresentDirty();
        PlaySound("flip.wav");
    } else if (TurnsLeft()) {
        SaveUndo();
        points -= kTurnCost;
        // From the top down, so the card turned first is dealt first again.
        for (int i = talonCount - 1; i >= 0; --i) {
            deck.PutBack(talon[i]);
            talon[i] = Card();
        }
        talonCount = 0;
        waste = Card();
        DrawStockArea(true);
        DrawWasteArea(true);
        DrawTalonArea(true);
        artwork->PresentDirty();
        PlaySound("shuffle.wav");
        --turnsLeft;
        points -= kTurnCost;
    }
    CheckGameOver();
    DropStaleSelection();
}

void PyramidGame::DropStaleSelection() {
    if (first.Empty()) return;
    for (const Hotspot& spot : pickups)
        if (spot.cards[0] == first.card && spot.x == first.x && spot.y == first.y) return;
    // The card was covered (the waste went onto a selected talon top) or left play.
    first = Selection();
    DrawTalonArea(true);
    DrawWasteArea(true);
    artwork->PresentDirty();
    CheckGameOver();
}

void PyramidGame::PressCard(int x, int y) {
    const Hotspot* spot = FindPickupAt(x, y);
    if (!spot) {
        CheckGameOver();
        return;
    }
    const Selection clicked{spot->x, spot->y, spot->cards[0]};
    if (!first.Empty() && clicked.card == first.card) {
        first = Selection();
    } else if (first.Empty()) {
        if (clicked.card.Rank() == Card::kKing) {
            SaveUndo();
            PlaySound("pair.wav");
            LiftSelection(*this, clicked);
            CheckGameOver();
            points += kPointsKing;
        } else {
            first = clicked;
        }
    } else {
        second = clicked;
        if (first.card.PipValue() + second.card.PipValue() == kPairSum) {
            SaveUndo();
            PlaySound("pair.wav");
            LiftSelection(*this, first);
            LiftSelection(*this, second);
            first = second = Selection();
            CheckGameOver();
            points += kPointsPair;
        } else {
            second = Selection();
            PlaySound("nomatch1.wav");
        }
    }
    RedrawTable();
    CheckGameOver();
}

void PyramidGame::LiftCards(DragRecord& drag) {
    if (paused || gameOver) return;
    const Card card = drag.cards[0];
    if (!card.IsValid()) return;
    if (card == waste) {
        waste = Card();
        return;
    }
    if (talonCount > 0 && talon[talonCount - 1] == card) {
        talon[--talonCount] = Card();
        return;
    }
    for (auto& row : triangle)
        for (Card& slot : row)
            if (slot == card) slot = Card();
    if (PyramidRules::ExtraCardsOn())
        for (Card& slot : extraRow)
            if (slot == card) slot = Card();
}

// Nothing is ever dragged: the press handler never starts a drag.
void PyramidGame::DropCards(DragRecord&, DropTarget&) {}
void PyramidGame::ReturnCards() {}
bool PyramidGame::CanDrop(DragRecord&, DropTarget&) { return true; }

void PyramidGame::OnMouseMove(WPARAM keys, int x, int y) {
    Game::OnMouseMove(keys, x, y);
    if (paused || gameOver) return;
    // The hand shows where a click does something; over a covered card it shows that it cannot.
    const bool onStock =
        x >= kStockX && x <= kStockX + artwork->cardWidth && y >= kStockY && y <= kStockY + artwork->cardHeight;
    if (onStock || FindPickupAt(x, y)) {
        ShowTablePointer(TablePointer::kPlayCard);
        return;
    }
    for (int row = 0; row < rows; ++row) {
        for (int k = 0; k <= row; ++k) {
            const int left = SlotX(row, k), top = SlotY(row);
            if (triangle[row][k].IsValid() && x >= left && x < left + kPickupWidth && y >= top && y < top + kPickupHeight) {
                ShowTablePointer(TablePointer::kNoCard);
                return;
            }
        }
    }
    ShowTablePointer(TablePointer::kArrow);
}

// ---- Game over ----

bool PyramidGame::DecideGameOver() const {
    if (endedByUser) return true;
    if (!first.Empty() || !second.Empty()) return false;
    const int stockSize = deck.Remaining();
    if (turnsLeft == recyclesAtDeal && stockSize > 0) return false;

    // Cards in the order they can still be turned up, then the cards lying free on the table.
    std::array<Card, kMaxWorkCards> work;
    int count = 0;
    auto add = [&](Card card) {
        if (card.IsValid() && count < kMaxWorkCards) work[count++] = card;
    };
    if (talonCount > 0) {
        if (TurnsLeft() || recyclesAtDeal == PyramidRules::kUnlimitedRecycles)
            for (int i = 0; i < talonCount; ++i) add(talon[i]);
        else
            add(talon[talonCount - 1]);
    }
    add(waste);
    for (int i = 0; i < stockSize; ++i) add(deck.Peek(i));
    const int last = count - 1;
    if (PyramidRules::ExtraCardsOn())
        for (int c = 0; c < rows; ++c) add(extraRow[c]);
    for (int row = 0; row < rows; ++row)
        for (int k = 0; k <= row; ++k)
            if (IsFree(row, k)) add(triangle[row][k]);

    for (int i = 0; i < count; ++i) {
        if (work[i].Rank() == Card::kKing) return false;
        for (int j = i + 1; j < count; ++j)
            if (work[i].PipValue() + work[j].PipValue() == kPairSum && (j > last || j == i + 1)) return false;
    }
    return true;
}

bool PyramidGame::CheckGameOver() {
    gameOver = DecideGameOver();
    if (gameOver && !AutoGameOverOn() && !endedByUser) gameOver = IsWon();
    RegisterPickups();
    return gameOver;
}

void PyramidGame::RegisterPickups() {
    pickups.clear();
    if (paused || gameOver) return;
    if (waste.IsValid()) AddPickup(kWasteX, kWasteY, &waste, 1);
    if (talonCount > 0) AddPickup(kTalonX, TalonCardY(talonCount - 1), &talon[talonCount - 1], 1);
    for (int row = 0; row < rows; ++row)
        for (int k = 0; k <= row; ++k)
            if (IsFree(row, k)) AddPickup(SlotX(row, k), SlotY(row), &triangle[row][k], 1);
    if (PyramidRules::ExtraCardsOn())
        for (int c = 0; c < rows; ++c)
            if (extraRow[c].IsValid()) AddPickup(SlotX(rows - 1, c), ExtraY(), &extraRow[c], 1);
}

bool PyramidGame::IsWon() {
    if (!gameOver) return false;
    for (const auto& row : triangle)
        for (Card card : row)
            if (card.IsValid()) return false;
    return true;
}

double PyramidGame::GetScoreFactor() {
    const double factor = rows == kMaxRows ? 1.5 : 1.0;
    return PyramidRules::ExtraCardsOn() ? factor * 0.75 : factor;
}

// ---- Undo ----

void PyramidGame::SaveUndo() {
    UndoWriter writer = BeginUndoRecord();
    for (const auto& row : triangle) writer.Cards(row.data(), kMaxRows);
    writer.Cards(extraRow.data(), kMaxRows);
    writer.Cards(talon.data(), kTalonSlots);
    writer.CardValue(waste);
    writer.Int(talonCount);
    writer.Int(points);
    writer.Int(ElapsedSeconds());
    PushUndoRecord(writer);
}

void PyramidGame::Undo() {
    if (paused || gameOver) return;
    if (auto record = PopUndoRecord()) RestoreRecord(*record);
}

bool PyramidGame::RestoreRecord(std::span<const uint8_t> record) {
    UndoReader reader(record);
    if (!ReadBaseState(reader)) return false;
    std::array<std::array<Card, kMaxRows>, kMaxRows> readTriangle;
    std::array<Card, kMaxRows> readExtra;
    std::array<Card, kTalonSlots> readTalon;
    Card readWaste;
    int32_t readTalonCount = 0, readPoints = 0, elapsed = 0;
    for (auto& row : readTriangle) reader.Cards(row.data(), kMaxRows);
    reader.Cards(readExtra.data(), kMaxRows);
    reader.Cards(readTalon.data(), kTalonSlots);
    reader.CardValue(readWaste);
    reader.IntIn(readTalonCount, 0, kTalonSlots);
    reader.IntIn(readPoints, -kMaxRecordPoints, kMaxRecordPoints);
    reader.IntIn(elapsed, 0, kMaxRecordSeconds);
    if (!reader.AtEnd()) return false;

    // Every card at most once, and only in slots of the current layout.
    PackTally tally;
    if (!tally.TakeStock(*reader.deck) || !tally.TakeSlot(readWaste)) return false;
    for (int i = 0; i < kTalonSlots; ++i) {
        const Card card = readTalon[i];
        if (i < readTalonCount ? !tally.Take(card) : card.IsValid()) return false;
    }
    for (int row = 0; row < kMaxRows; ++row) {
        for (int k = 0; k < kMaxRows; ++k) {
            const Card card = readTriangle[row][k];
            if (card.IsValid() && (row >= rows || k > row)) return false;
            if (!tally.TakeSlot(card)) return false;
        }
        if (readExtra[row].IsValid() && row >= rows) return false;
        if (!tally.TakeSlot(readExtra[row])) return false;
    }

    CommitBaseState(reader);
    triangle = readTriangle;
    extraRow = readExtra;
    talon = readTalon;
    talonCount = readTalonCount;
    waste = readWaste;
    first = second = Selection();
    FinishUndo(readPoints, elapsed);
    return true;
}
