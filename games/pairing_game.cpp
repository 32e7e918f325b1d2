#include "games/pairing_game.h"

#include <algorithm>

#include "artwork/artwork.h"
#include "framework/game_services.h"
#include "games/play_position.h"

// ---- The model ----

Card PairingModel::Top(const Position& position, int place) {
    const Card* cells = &position.cells[place * position.cellsPerPlace];
    for (int k = position.cellsPerPlace - 1; k >= 0; --k)
        if (cells[k].IsValid()) return cells[k];
    return Card();
}

bool PairingModel::PairAvailable(const Position& position) {
    for (int i = 0; i < position.places; ++i) {
        const Card a = Top(position, i);
        if (!a.IsValid()) continue;
        for (int j = i + 1; j < position.places; ++j)
            if (MakesPair(position, a, Top(position, j))) return true;
    }
    return false;
}

int PairingModel::GroupAt(const Position& position) {
    std::array<int, Card::kSuitCount> highCards{};
    std::array<int, Card::kSuitCount> firstPlace{};
    for (int place = 0; place < position.places; ++place) {
        const Card card = Top(position, place);
        if (!card.IsValid() || !IsHigh(card)) continue;
        if (highCards[card.Suit()]++ == 0) firstPlace[card.Suit()] = place;
        if (highCards[card.Suit()] == kGroupSize) return firstPlace[card.Suit()];
    }
    return -1;
}

bool PairingModel::TableEmpty(const Position& position) {
    for (int place = 0; place < position.places; ++place)
        if (Top(position, place).IsValid()) return false;
    return true;
}

namespace {

void TakeTop(PairingModel::Position& position, int place) {
    Card* cells = &position.cells[place * position.cellsPerPlace];
    for (int k = position.cellsPerPlace - 1; k >= 0; --k) {
        if (!cells[k].IsValid()) continue;
        cells[k] = Card();
        return;
    }
}

}  // namespace

void PairingModel::Refill(Position& position) {
    for (int place = 0; place < position.places && position.stockCount > 0; ++place) {
        if (Top(position, place).IsValid()) continue;
        Card* cells = &position.cells[place * position.cellsPerPlace];
        int count = 0;
        while (count < position.cellsPerPlace && cells[count].IsValid()) ++count;
        if (count < position.cellsPerPlace) cells[count] = play_position::Pop(position.stock, position.stockCount);
    }
}

void PairingModel::Moves(const Position& position, MoveList& out) {
    out.clear();
    for (int i = 0; i < position.places; ++i) {
        const Card a = Top(position, i);
        if (!a.IsValid()) continue;
        for (int j = i + 1; j < position.places; ++j)
            if (MakesPair(position, a, Top(position, j)))
                out.push_back({.kind = PlayMove::kMove, .from = static_cast<int8_t>(i), .to = static_cast<int8_t>(j)});
    }
    const int group = position.groups ? GroupAt(position) : -1;
    if (group >= 0)
        out.push_back({.kind = PlayMove::kSelect, .from = static_cast<int8_t>(group), .count = kGroupSize});
}

int PairingModel::Apply(Position& position, const PlayMove& move) {
    int scored = 0;
    if (move.kind == PlayMove::kMove) {
        TakeTop(position, move.from);
        TakeTop(position, move.to);
        scored = kPointsPerPair;
        if (position.refills) Refill(position);
    } else if (move.kind == PlayMove::kSelect) {
        const int suit = Top(position, move.from).Suit();
        for (int place = 0; place < position.places; ++place) {
            const Card card = Top(position, place);
            if (card.IsValid() && IsHigh(card) && card.Suit() == suit) {
                TakeTop(position, place);
                scored += kPointsPerGroupCard;
            }
        }
        Refill(position);
    }
    position.points += scored;
    return scored;
}

void PairingModel::Encode(const Position& position, PositionCode& out) {
    out.bytes.clear();
    play_position::EncodeCards(out, position.cells, position.places * position.cellsPerPlace);
    out.Byte(static_cast<uint8_t>(position.stockCount));
    play_position::EncodeCards(out, position.stock, position.stockCount);
}

namespace {

constexpr int kPointsPerPair = PairingModel::kPointsPerPair;
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
    if (low < 0 || high < 0 || !PairingModel::MakesPair(ModelPosition(), Top(low), Top(high))) return false;
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

PairingModel::Position PairingGame::ModelPosition() const {
    PairingModel::Position position;
    position.points = points;
    position.places = shape.places;
    position.cellsPerPlace = shape.cellsPerPlace;
    position.pairSum = shape.pairSum;
    position.refills = shape.refills;
    position.groups = shape.groups;
    position.stockCount = play_position::CopyStock(deck, position.stock);
    const std::vector<Card> cells = Cells();
    std::copy(cells.begin(), cells.end(), position.cells.begin());
    return position;
}

// The places of a move's cards that are still to be clicked; false when a selected place is
// not among its cards.
bool PairingGame::PlacesToClick(const PairingModel::Position& position, const PlayMove& move,
                                std::vector<int>& places) const {
    std::vector<int> cards;
    if (move.kind == PlayMove::kMove) {
        cards = {move.from, move.to};
    } else if (move.kind == PlayMove::kSelect) {
        const int suit = PairingModel::Top(position, move.from).Suit();
        for (int place = 0; place < shape.places; ++place) {
            const Card card = PairingModel::Top(position, place);
            if (card.IsValid() && PairingModel::IsHigh(card) && card.Suit() == suit) cards.push_back(place);
        }
    }
    int covered = 0;
    places.clear();
    for (int place : cards) {
        if (selected[place]) ++covered;
        else places.push_back(place);
    }
    return covered == selectedCount && !places.empty() && places.size() <= 2;
}

void PairingGame::PlayMoves(MoveList& out) {
    out.clear();
    if (paused || dragging || gameOver) return;
    const PairingModel::Position position = ModelPosition();
    MoveList all;
    PairingModel::Moves(position, all);
    std::vector<int> places;
    for (const PlayMove& move : all)
        if (PlacesToClick(position, move, places)) out.push_back(move);
}

bool PairingGame::GestureFor(const PlayMove& move, MoveGesture& gesture) {
    std::vector<int> places;
    if (!PlacesToClick(ModelPosition(), move, places)) return false;
    gesture.kind = places.size() == 2 ? MoveGesture::kTwoClicks : MoveGesture::kClick;
    ClickPoint(places.front(), gesture.fromX, gesture.fromY);
    ClickPoint(places.back(), gesture.toX, gesture.toY);
    return true;
}

std::string PairingGame::PositionBytes() { return play_position::RawBytes(ModelPosition()); }

bool PairingGame::CheckGameOver() {
    gameOver = endedByUser || (!PairAvailable() && !OtherRemovalShowing());
    if (gameOver && !AutoGameOverOn() && !endedByUser) gameOver = IsWon();
    return gameOver;
}

bool PairingGame::TableEmpty() const { return PairingModel::TableEmpty(ModelPosition()); }

bool PairingGame::IsWon() { return PairingModel::Won(ModelPosition()); }

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
