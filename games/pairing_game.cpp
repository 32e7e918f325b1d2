#include "games/pairing_game.h"

#include <algorithm>

#include "framework/game_services.h"
#include "artwork/artwork.h"

namespace {

constexpr int kPointsPerPair = 10;
constexpr int kUndoPenalty = 5;
// A full pack stands ten layers high: its top card sits 20 pixels left of and 10 above the base.
constexpr int kStockMarginX = 22, kStockMarginY = 11;

}  // namespace

PairingGame::PairingGame(Artwork* artwork, int gameNumber, const Shape& layout)
    : Game(artwork, gameNumber), selected(layout.places), shape(layout) {}

// ---- Deal ----

void PairingGame::NewGame(bool) {
    ResetForNewDeal();
    artwork->LoadTheme(Artwork::kPreferredTheme);
    ClearHotspots();
    fanDx = shape.fanDx;
    fanDy = shape.fanDy;
    fan2A = 10;
    fan2B = 0;
    SetStandardPanel();
    SetCells(std::vector<Card>(shape.places * shape.cellsPerPlace));
    std::fill(selected.begin(), selected.end(), 0);
    selectedCount = 0;

    deck.SetPacks(1);
    deck.IncludeAll();
    deck.Shuffle();
    ExcludeCards();
    artwork->DrawGameTitle(gameNumber);
    Draw(true);
    if (Services().setGameMusic) Services().setGameMusic();
    Deal();
    CheckGameOver();
    StartClock(0);
}

void PairingGame::Refill() {
    for (int place = 0; place < shape.places && deck.Remaining() > 0; ++place)
        if (!Top(place).IsValid()) DealTo(place);
    DrawStockArea(true);
    artwork->PresentDirty();
}

void PairingGame::DealCard(Card& cell, int x, int y) {
    const Card card = deck.DealNext();
    if (!card.IsValid()) return;
    DrawStockArea(true);
    artwork->PresentDirty();
    AnimateCard(kStockX, kStockY, x, y, card, artwork->screenBuffer, true, true, -1);
    cell = card;
    PlaySound("flip.wav");
}

// ---- Drawing ----

void PairingGame::DrawStockArea(bool present) {
    const int left = kStockX - kStockMarginX, top = kStockY - kStockMarginY;
    const int right = kStockX + artwork->cardWidth, bottom = kStockY + artwork->cardHeight;
    if (present) artwork->RestoreBackground(left, right, top, bottom);
    artwork->DrawStock(kStockX, kStockY, artwork->cardBack, deck, artwork->screenBuffer, false);
    if (present) artwork->AddDirty({left, top, right, bottom});
}

void PairingGame::DrawSlot(int x, int y, Card card, bool chosen, bool present) {
    const int right = x + artwork->cardWidth, bottom = y + artwork->cardHeight;
    if (present) artwork->RestoreBackground(x, right, y, bottom);
    if (card.IsValid()) artwork->DrawCard(x, y, card, artwork->screenBuffer, chosen);
    else artwork->DrawPlaceholder(x, y, card_geometry::kPlaceholderEmptyPile, artwork->screenBuffer);
    if (present) artwork->AddDirty({x, y, right, bottom});
}

void PairingGame::Draw(bool present) {
    artwork->RestoreBackground(0, 799, 0, 599);
    DrawStockArea(false);
    for (int place = 0; place < shape.places; ++place) DrawPlace(place, false);
    DrawTableFrame(present);
}

// ---- Moves ----

bool PairingGame::OnCard(int x, int y, int left, int top) const {
    return x >= left && x <= left + artwork->cardWidth && y >= top && y <= top + artwork->cardHeight;
}

void PairingGame::ClickPlace(int place) {
    if (selected[place]) {
        SaveUndo();
        selected[place] = 0;
        --selectedCount;
    } else if (Top(place).IsValid() && selectedCount < 2) {
        SaveUndo();
        selected[place] = 1;
        ++selectedCount;
        if (selectedCount == 2 && !TryPair()) {
            selected[place] = 0;
            --selectedCount;
        }
    }
    DrawPlace(place, true);
}

bool PairingGame::TryPair() {
    int low = -1, high = -1;
    for (int place = 0; place < shape.places; ++place) {
        if (!selected[place]) continue;
        if (low < 0) low = place;
        else high = place;
    }
    if (low < 0 || high < 0 || Top(low).PipValue() + Top(high).PipValue() != shape.pairSum) return false;
    if (shape.refills) PauseBriefly(kRemovalPauseMs);
    TakeOutTop(low);
    TakeOutTop(high);
    artwork->PresentDirty();
    if (shape.refills) Refill();
    points += kPointsPerPair;
    selectedCount -= 2;
    return true;
}

void PairingGame::TakeOutTop(int place) {
    RemoveTop(place);
    selected[place] = 0;
    DrawPlace(place, true);
}

// ---- Game over ----

bool PairingGame::PairAvailable() const {
    for (int i = 0; i < shape.places; ++i) {
        const Card a = Top(i);
        if (!a.IsValid()) continue;
        for (int j = i + 1; j < shape.places; ++j) {
            const Card b = Top(j);
            if (b.IsValid() && a.PipValue() + b.PipValue() == shape.pairSum) return true;
        }
    }
    return false;
}

bool PairingGame::CheckGameOver() {
    gameOver = endedByUser || (!PairAvailable() && !OtherRemovalShowing());
    if (gameOver && !AutoGameOverOn() && !endedByUser) gameOver = IsWon();
    return gameOver;
}

bool PairingGame::TableEmpty() const {
    for (int place = 0; place < shape.places; ++place)
        if (Top(place).IsValid()) return false;
    return true;
}

bool PairingGame::IsWon() { return deck.Remaining() == 0 && TableEmpty(); }

// ---- Undo ----

void PairingGame::SaveUndo() {
    UndoWriter writer = BeginUndoRecord();
    const std::vector<Card> cells = Cells();
    writer.Cards(cells.data(), static_cast<int>(cells.size()));
    writer.Bytes().insert(writer.Bytes().end(), selected.begin(), selected.end());
    writer.Int(selectedCount);
    writer.Int(points);
    writer.Int(ElapsedSeconds());
    PushUndoRecord(writer);
}

void PairingGame::Undo() {
    if (paused || gameOver) return;
    if (shape.undoSound) PlaySound("undo.wav");
    if (auto record = PopUndoRecord()) RestoreRecord(*record);
}

bool PairingGame::CellsPossible(std::span<const Card> cells, const Deck& stock) const {
    PackTally tally;
    return tally.TakeStock(stock) &&
           std::all_of(cells.begin(), cells.end(), [&](Card card) { return tally.TakeSlot(card); });
}

bool PairingGame::RestoreRecord(std::span<const uint8_t> record) {
    UndoReader reader(record);
    if (!ReadBaseState(reader)) return false;
    std::vector<Card> cells(shape.places * shape.cellsPerPlace);
    reader.Cards(cells.data(), static_cast<int>(cells.size()));
    const auto flags = reader.Take(shape.places);
    int32_t readCount = 0, readPoints = 0, elapsed = 0;
    reader.IntIn(readCount, 0, shape.maxSelected);
    reader.IntIn(readPoints, -kMaxRecordPoints, kMaxRecordPoints);
    reader.IntIn(elapsed, 0, kMaxRecordSeconds);
    if (!flags || !reader.AtEnd() || !CellsPossible(cells, *reader.deck)) return false;
    // Flags only on places that hold cards, and as many as the count.
    int flagged = 0;
    for (int place = 0; place < shape.places; ++place) {
        const uint8_t flag = (*flags)[place];
        if (flag > 1 || (flag && !cells[place * shape.cellsPerPlace].IsValid())) return false;
        flagged += flag;
    }
    if (flagged != readCount) return false;

    CommitBaseState(reader);
    SetCells(cells);
    selected.assign(flags->begin(), flags->end());
    selectedCount = readCount;
    points = readPoints - kUndoPenalty;
    StartClock(elapsed);
    CheckGameOver();
    Draw(true);
    return true;
}

// ---- Selection through pick-ups ----

void LiftSelection(Game& game, const CardSelection& selection) {
    DragRecord record;
    record.x = selection.x;
    record.y = selection.y;
    record.cards[0] = selection.card;
    record.count = 1;
    game.LiftCards(record);
}
