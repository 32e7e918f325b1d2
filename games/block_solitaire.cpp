#include "games/block_solitaire.h"

#include <algorithm>

#include "framework/game_services.h"
#include "shell/artwork.h"

namespace {

constexpr int kPointsPerPair = 10;
constexpr int kUndoPenalty = 5;
// A short pause lets the player see the pair selected before it goes.
constexpr uint32_t kRemovalPauseMs = 200;
constexpr int kStockMargin = 12;

}  // namespace

BlockSolitaireGame::BlockSolitaireGame(Artwork* artwork) : Game(artwork, kGameNumber) {}

// ---- Deal ----

void BlockSolitaireGame::NewGame(bool) {
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

    // Ace to Ten only: forty cards.
    deck.SetPacks(1);
    deck.IncludeAll();
    // Each exclusion shuffles what is left.
    for (int rank : {Card::kJack, Card::kQueen, Card::kKing}) deck.ExcludeRank(rank);
    artwork->DrawGameTitle(kGameNumber);
    Draw(true);
    if (Services().setGameMusic) Services().setGameMusic();
    Refill();
    CheckGameOver();
    StartClock(0);
}

void BlockSolitaireGame::Refill() {
    for (int slot = 0; slot < kSlots && deck.Remaining() > 0; ++slot) {
        if (slots[slot].IsValid()) continue;
        const Card card = deck.DealNext();
        DrawStockArea(true);
        artwork->PresentDirty();
        AnimateCard(kStockX, kStockY, SlotX(slot), SlotY(slot), card, artwork->screenBuffer, true, true, -1);
        slots[slot] = card;
        PlaySound("flip.wav");
    }
    DrawStockArea(true);
    artwork->PresentDirty();
}

// ---- Drawing ----

void BlockSolitaireGame::DrawStockArea(bool present) {
    const int left = kStockX - kStockMargin, top = kStockY - kStockMargin;
    const int right = kStockX + artwork->cardWidth, bottom = kStockY + artwork->cardHeight;
    if (present) artwork->RestoreBackground(left, right, top, bottom);
    artwork->DrawStock(kStockX, kStockY, artwork->cardBack, deck, artwork->screenBuffer, false);
    if (present) artwork->AddDirty({left, top, right, bottom});
}

void BlockSolitaireGame::DrawSlot(int slot, bool present) {
    const int x = SlotX(slot), y = SlotY(slot), right = x + artwork->cardWidth, bottom = y + artwork->cardHeight;
    if (present) artwork->RestoreBackground(x, right, y, bottom);
    if (slots[slot].IsValid()) artwork->DrawCard(x, y, slots[slot], artwork->screenBuffer, selected[slot] != 0);
    else artwork->DrawPlaceholder(x, y, card_geometry::kPlaceholderEmptyPile, artwork->screenBuffer);
    if (present) artwork->AddDirty({x, y, right, bottom});
}

void BlockSolitaireGame::Draw(bool present) {
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

void BlockSolitaireGame::OnLButtonDown(WPARAM keys, int x, int y) {
    if (paused || gameOver) return;
    int hit = -1;
    for (int slot = 0; slot < kSlots; ++slot) {
        const int left = SlotX(slot), top = SlotY(slot);
        if (x < left || x > left + artwork->cardWidth || y < top || y > top + artwork->cardHeight) continue;
        hit = slot;
        if (selected[slot]) {
            SaveUndo();
            selected[slot] = 0;
            --selectedCount;
        } else if (slots[slot].IsValid() && selectedCount < 2) {
            SaveUndo();
            selected[slot] = 1;
            ++selectedCount;
            if (selectedCount == 2 && !TryPair()) {
                selected[slot] = 0;
                --selectedCount;
            }
        }
        DrawSlot(slot, true);
    }
    Game::OnLButtonDown(keys, x, y);
    if (hit >= 0) {
        DrawSlot(hit, true);
        artwork->PresentDirty();
    }
    CheckGameOver();
}

bool BlockSolitaireGame::TryPair() {
    int low = -1, high = -1;
    for (int slot = 0; slot < kSlots; ++slot) {
        if (!selected[slot]) continue;
        if (low < 0) low = slot;
        else high = slot;
    }
    if (low < 0 || high < 0 || slots[low].PipValue() + slots[high].PipValue() != kPairSum) return false;
    PauseBriefly(kRemovalPauseMs);
    for (int slot : {low, high}) {
        slots[slot] = Card();
        selected[slot] = 0;
        DrawSlot(slot, true);
    }
    artwork->PresentDirty();
    Refill();
    points += kPointsPerPair;
    selectedCount -= 2;
    return true;
}

// Nothing is ever dragged: there are no pick-ups.
void BlockSolitaireGame::DropCards(DragRecord&, DropTarget&) {}
void BlockSolitaireGame::LiftCards(DragRecord&) {}
void BlockSolitaireGame::ReturnCards() {}
bool BlockSolitaireGame::CanDrop(DragRecord&, DropTarget&) { return false; }

// ---- Game over ----

bool BlockSolitaireGame::PairAvailable() const {
    for (int i = 0; i < kSlots; ++i) {
        if (!slots[i].IsValid()) continue;
        for (int j = i + 1; j < kSlots; ++j)
            if (slots[j].IsValid() && slots[i].PipValue() + slots[j].PipValue() == kPairSum) return true;
    }
    return false;
}

bool BlockSolitaireGame::CheckGameOver() {
    gameOver = endedByUser || !PairAvailable();
    if (gameOver && !AutoGameOverOn() && !endedByUser) gameOver = IsWon();
    return gameOver;
}

bool BlockSolitaireGame::IsWon() {
    if (deck.Remaining() != 0) return false;
    return std::none_of(slots.begin(), slots.end(), [](Card card) { return card.IsValid(); });
}

// ---- Undo ----

void BlockSolitaireGame::SaveUndo() {
    UndoWriter writer = BeginUndoRecord();
    writer.Cards(slots.data(), kSlots);
    writer.Bytes().insert(writer.Bytes().end(), selected.begin(), selected.end());
    writer.Int(selectedCount);
    writer.Int(points);
    writer.Int(ElapsedSeconds());
    PushUndoRecord(writer);
}

void BlockSolitaireGame::Undo() {
    if (paused || gameOver) return;
    PlaySound("undo.wav");
    if (auto record = PopUndoRecord()) RestoreRecord(*record);
}

bool BlockSolitaireGame::RestoreRecord(std::span<const uint8_t> record) {
    UndoReader reader(record);
    if (!ReadBaseState(reader)) return false;
    std::array<Card, kSlots> readSlots;
    reader.Cards(readSlots.data(), kSlots);
    const auto flags = reader.Take(kSlots);
    int32_t readCount = 0, readPoints = 0, elapsed = 0;
    reader.IntIn(readCount, 0, 2);
    reader.IntIn(readPoints, -kMaxRecordPoints, kMaxRecordPoints);
    reader.IntIn(elapsed, 0, kMaxRecordSeconds);
    if (!flags || !reader.AtEnd()) return false;

    // Every card at most once, no court card, and flags only on slots that hold cards.
    PackTally tally;
    auto take = [&tally](Card card) {
        const bool court = card.Rank() == Card::kJack || card.Rank() == Card::kQueen || card.Rank() == Card::kKing;
        return !court && tally.Take(card);
    };
    const Deck& staged = *reader.deck;
    for (int i = 0; i < staged.Remaining(); ++i)
        if (!take(staged.Peek(i))) return false;
    std::array<uint8_t, kSlots> readSelected;
    int flagged = 0;
    for (int slot = 0; slot < kSlots; ++slot) {
        readSelected[slot] = (*flags)[slot];
        if (readSelected[slot] > 1 || (readSelected[slot] && !readSlots[slot].IsValid())) return false;
        flagged += readSelected[slot];
        if (readSlots[slot].IsValid() && !take(readSlots[slot])) return false;
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
