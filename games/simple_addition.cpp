#include "games/simple_addition.h"

#include <algorithm>

#include "framework/game_services.h"
#include "shell/artwork.h"

namespace {

constexpr int kPointsPerPair = 10;
constexpr int kPointsPerGroupCard = 5;
constexpr int kUndoPenalty = 5;
// A short pause lets the player see the last card of a removal selected before it goes.
constexpr uint32_t kRemovalPauseMs = 200;
constexpr int kStockMargin = 12;

}  // namespace

SimpleAdditionGame::SimpleAdditionGame(Artwork* artwork) : Game(artwork, kGameNumber) {}

// ---- Deal ----

void SimpleAdditionGame::NewGame(bool) {
    ResetForNewDeal();
    artwork->LoadTheme(Artwork::kPreferredTheme);
    ClearHotspots();
    fanDx = 0;
    fanDy = 15;
    fan2A = 10;
    fan2B = 0;
    SetStandardPanel();
    slots.fill(Card());
    selected.fill(0);
    selectedCount = 0;

    deck.SetPacks(1);
    deck.IncludeAll();
    deck.Shuffle();
    artwork->DrawGameTitle(kGameNumber);
    Draw(true);
    if (Services().setGameMusic) Services().setGameMusic();
    Refill();
    CheckGameOver();
    StartClock(0);
}

void SimpleAdditionGame::Refill() {
    for (int slot = 0; slot < kSlots && deck.Remaining() > 0; ++slot) {
        if (slots[slot].IsValid()) continue;
        const Card card = deck.DealNext();
        DrawStockArea(true);
        artwork->PresentDirty();
        AnimateCard(kStockX, kStockY, SlotX(slot), kSlotY, card, artwork->screenBuffer, true, true, -1);
        slots[slot] = card;
        PlaySound("flip.wav");
    }
    DrawStockArea(true);
    artwork->PresentDirty();
}

// ---- Drawing ----

void SimpleAdditionGame::DrawStockArea(bool present) {
    const int left = kStockX - kStockMargin, top = kStockY - kStockMargin;
    const int right = kStockX + artwork->cardWidth, bottom = kStockY + artwork->cardHeight;
    if (present) artwork->RestoreBackground(left, right, top, bottom);
    artwork->DrawStock(kStockX, kStockY, artwork->cardBack, deck, artwork->screenBuffer, false);
    if (present) artwork->AddDirty({left, top, right, bottom});
}

void SimpleAdditionGame::DrawSlot(int slot, bool present) {
    const int x = SlotX(slot), right = x + artwork->cardWidth, bottom = kSlotY + artwork->cardHeight;
    if (present) artwork->RestoreBackground(x, right, kSlotY, bottom);
    if (slots[slot].IsValid()) artwork->DrawCard(x, kSlotY, slots[slot], artwork->screenBuffer, selected[slot] != 0);
    else artwork->DrawPlaceholder(x, kSlotY, card_geometry::kPlaceholderEmptyPile, artwork->screenBuffer);
    if (present) artwork->AddDirty({x, kSlotY, right, bottom});
}

void SimpleAdditionGame::Draw(bool present) {
    artwork->RestoreBackground(0, 799, 0, 599);
    DrawStockArea(false);
    for (int slot = 0; slot < kSlots; ++slot) DrawSlot(slot, false);
    DrawStatus(false);
    // The panel stands over the right end of the menu bar, so it comes after it.
    DrawMenuBar();
    ForgetPanel();
    DrawTable(-1);
    if (present) artwork->Present();
}

// ---- Moves ----

bool SimpleAdditionGame::MaySelect(int slot) const {
    const Card card = slots[slot];
    if (!card.IsValid()) return false;
    if (selected[slot] || selectedCount == 0) return true;
    if (selectedCount >= kGroupSize) return false;
    // Every card selected so far must go with this one: all low, or all high of one suit.
    for (int other = 0; other < kSlots; ++other) {
        if (!selected[other]) continue;
        const Card chosen = slots[other];
        if (selectedCount == 1 && !IsHigh(chosen) && !IsHigh(card)) continue;
        if (!IsHigh(chosen) || !IsHigh(card) || chosen.Suit() != card.Suit()) return false;
    }
    return true;
}

void SimpleAdditionGame::OnLButtonDown(WPARAM keys, int x, int y) {
    if (paused || gameOver) return;
    for (int slot = 0; slot < kSlots; ++slot) {
        const int left = SlotX(slot);
        if (x < left || x > left + artwork->cardWidth || y < kSlotY || y > kSlotY + artwork->cardHeight) continue;
        if (selected[slot]) {
            SaveUndo();
            selected[slot] = 0;
            --selectedCount;
            DrawSlot(slot, true);
            artwork->PresentDirty();
        } else if (MaySelect(slot)) {
            SaveUndo();
            selected[slot] = 1;
            ++selectedCount;
            TryRemoval();
            Draw(true);
        }
    }
    Game::OnLButtonDown(keys, x, y);
    artwork->PresentDirty();
    CheckGameOver();
}

void SimpleAdditionGame::EmptySlot(int slot) {
    slots[slot] = Card();
    selected[slot] = 0;
    DrawSlot(slot, true);
}

void SimpleAdditionGame::TryRemoval() {
    int low = -1, high = -1;
    for (int slot = 0; slot < kSlots; ++slot) {
        if (!selected[slot]) continue;
        if (low < 0) low = slot;
        high = slot;
    }
    if (selectedCount >= 2 && low != high && slots[low].PipValue() + slots[high].PipValue() == kPairSum) {
        PauseBriefly(kRemovalPauseMs);
        EmptySlot(low);
        EmptySlot(high);
        artwork->PresentDirty();
        Refill();
        points += kPointsPerPair;
        selectedCount -= 2;
    } else if (selectedCount == kGroupSize) {
        int removed = 0;
        for (int slot = 0; slot < kSlots; ++slot) {
            if (!selected[slot]) continue;
            PauseBriefly(kRemovalPauseMs);
            EmptySlot(slot);
            artwork->PresentDirty();
            ++removed;
        }
        points += kPointsPerGroupCard * removed;
        selectedCount = 0;
        Refill();
    }
}

// Nothing is ever dragged: there are no pick-ups.
void SimpleAdditionGame::DropCards(DragRecord&, DropTarget&) {}
void SimpleAdditionGame::LiftCards(DragRecord&) {}
void SimpleAdditionGame::ReturnCards() {}
bool SimpleAdditionGame::CanDrop(DragRecord&, DropTarget&) { return false; }

// ---- Game over ----

bool SimpleAdditionGame::PairAvailable() const {
    for (int i = 0; i < kSlots; ++i) {
        if (!slots[i].IsValid()) continue;
        for (int j = i + 1; j < kSlots; ++j)
            if (slots[j].IsValid() && slots[i].PipValue() + slots[j].PipValue() == kPairSum) return true;
    }
    return false;
}

bool SimpleAdditionGame::GroupShowing() const {
    std::array<int, Card::kSuitCount> highCards{};
    for (Card card : slots)
        if (card.IsValid() && IsHigh(card)) ++highCards[card.Suit()];
    return std::any_of(highCards.begin(), highCards.end(), [](int count) { return count == kGroupSize; });
}

bool SimpleAdditionGame::CheckGameOver() {
    // The group test is skipped once the game stands as over.
    bool over = endedByUser || (!PairAvailable() && (gameOver || !GroupShowing()));
    gameOver = over;
    if (gameOver && !AutoGameOverOn() && !endedByUser) gameOver = IsWon();
    return gameOver;
}

bool SimpleAdditionGame::IsWon() {
    if (deck.Remaining() != 0) return false;
    return std::none_of(slots.begin(), slots.end(), [](Card card) { return card.IsValid(); });
}

// ---- Undo ----

void SimpleAdditionGame::SaveUndo() {
    UndoWriter writer = BeginUndoRecord();
    writer.Cards(slots.data(), kSlots);
    writer.Bytes().insert(writer.Bytes().end(), selected.begin(), selected.end());
    writer.Int(selectedCount);
    writer.Int(points);
    writer.Int(ElapsedSeconds());
    PushUndoRecord(writer);
}

void SimpleAdditionGame::Undo() {
    if (paused || gameOver) return;
    if (auto record = PopUndoRecord()) RestoreRecord(*record);
}

bool SimpleAdditionGame::RestoreRecord(std::span<const uint8_t> record) {
    UndoReader reader(record);
    if (!ReadBaseState(reader)) return false;
    std::array<Card, kSlots> readSlots;
    reader.Cards(readSlots.data(), kSlots);
    const auto flags = reader.Take(kSlots);
    int32_t readCount = 0, readPoints = 0, elapsed = 0;
    reader.IntIn(readCount, 0, kGroupSize);
    reader.IntIn(readPoints, -kMaxRecordPoints, kMaxRecordPoints);
    reader.IntIn(elapsed, 0, kMaxRecordSeconds);
    if (!flags || !reader.AtEnd()) return false;

    // Every card at most once, and flags only on slots that hold cards.
    PackTally tally;
    if (!tally.TakeStock(*reader.deck)) return false;
    std::array<uint8_t, kSlots> readSelected;
    int flagged = 0;
    for (int slot = 0; slot < kSlots; ++slot) {
        const Card card = readSlots[slot];
        readSelected[slot] = (*flags)[slot];
        if (readSelected[slot] > 1 || (readSelected[slot] && !card.IsValid())) return false;
        flagged += readSelected[slot];
        if (!tally.TakeSlot(card)) return false;
    }
    if (flagged != readCount) return false;

    CommitBaseState(reader);
    slots = readSlots;
    selected = readSelected;
    selectedCount = readCount;
    points = readPoints - kUndoPenalty;
    StartClock(elapsed);
    CheckGameOver();
    Draw(true);
    return true;
}
