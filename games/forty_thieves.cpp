#include "games/forty_thieves.h"

#include "games/game_rules.h"

#include <algorithm>

#include "framework/game_services.h"
#include "artwork/artwork.h"
#include "store/settings_store.h"

namespace {

constexpr int kPointsWasteToFoundation = 10;
constexpr int kPointsColumnToFoundation = 5;
constexpr int kPointsPerWasteCard = 5;
constexpr int kPointsTurnCard = 5;
constexpr int kRecycleCost = 5;
constexpr int kScreenBottom = 599;
// A squared pile grows up and to the left by a layer every five cards; the margins cover the
// thickest stock (104 cards) and waste (65 cards) and the thickest foundation.
constexpr int kStockMarginX = 44, kStockMarginY = 22;
constexpr int kWasteMarginX = 26, kWasteMarginY = 13;
constexpr int kFoundationMarginX = 4, kFoundationMarginY = 2;

}  // namespace

FortyThievesRules FortyThievesRules::Read() {
    FortyThievesRules rules;
    const RuleValues values(FortyThievesGame::kGameNumber);
    rules.movePartial = values.On("MovePartial");
    rules.autoFlip = values.On("AutoFlip");
    rules.filledIn = values.On("FilledIn");
    rules.rows = values["Rows"];
    // The face-down rows are read after the rows, since their range follows the rows.
    const int32_t faceDown = values.Unchecked("RowsFaceDown");
    rules.rowsFaceDown = faceDown >= 0 && faceDown < rules.rows ? faceDown : 0;
    rules.columns = values["Columns"];
    rules.recycle = values["Recycle"];
    rules.startCard = values["StartCard"];
    return rules;
}

FortyThievesGame::FortyThievesGame(Artwork* artwork) : Game(artwork, kGameNumber) {}

bool FortyThievesGame::CanPlay(Card card, Card top, bool toFoundation) const {
    if (!card.IsValid()) return false;
    if (toFoundation) {
        if (!top.IsValid()) return card.Rank() == startRank;
        return card.Rank() != startRank && NextRank(top.Rank()) == card.Rank() && card.Suit() == top.Suit();
    }
    if (!top.IsValid()) return true;
    return card.Rank() != startRank && NextRank(card.Rank()) == top.Rank() && card.Suit() == top.Suit();
}

void FortyThievesGame::WasteTopPosition(int& x, int& y) const {
    const int layer = wasteCount / kCardsPerLayer;
    x = kWasteX + kLayerStepX * layer;
    y = kWasteY + kLayerStepY * layer;
}

int FortyThievesGame::FoundationAt(int x, int y) {
    if (y != kFoundationY) return -1;
    for (int f = 0; f < kFoundations; ++f)
        if (FoundationX(f) == x) return f;
    return -1;
}

int FortyThievesGame::ColumnDropAt(int x, int y, int columnsInPlay) const {
    for (int column = 0; column < columnsInPlay; ++column)
        if (ColumnX(column, columnsInPlay) == x && CardY(columnCount[column]) == y) return column;
    return -1;
}

void FortyThievesGame::ClearHeld() {
    held.fill(Card());
    heldCount = 0;
    heldSource = kNoSource;
}

// ---- Deal ----

void FortyThievesGame::NewGame(bool restart) {
    BeginRuledDeal(restart);
    const FortyThievesRules rules = FortyThievesRules::Read();
    startRank = rules.startCard;
    ClearHotspots();
    fanDx = 0;
    fanDy = kColumnStep;
    fan2A = fan2B = 0;
    SetStandardPanel();
    recyclesUsed = 0;
    foundations.fill(Card());
    waste.fill(Card());
    wasteCount = 0;
    for (auto& column : columns) column.fill(Card());
    columnCount.fill(0);
    faceDownCount.fill(0);
    ClearHeld();
    artwork->RestoreBackground(0, 799, 0, 599);

    deck.SetPacks(2);
    deck.IncludeAll();
    deck.Shuffle();
    if (startRank == -1) {
        foundations[0] = deck.DealNext();
        startRank = foundations[0].Rank();
    }
    if (rules.filledIn) {
        // Both copies of a card go with its first exclusion; the second only reshuffles. A card
        // dealt to foundation 0 above is one of them, so the deck ends with 96 cards.
        for (int f = 0; f < kFoundations; ++f) {
            foundations[f] = Card(f % Card::kSuitCount, startRank);
            deck.Exclude(foundations[f]);
        }
    }
    artwork->DrawGameTitle(kGameNumber);
    Draw(true);
    if (Services().setGameMusic) Services().setGameMusic();

    bool exhausted = false;
    for (int row = 0; row < rules.rows && !exhausted; ++row) {
        const bool faceDown = row < rules.rowsFaceDown;
        for (int column = 0; column < rules.columns; ++column) {
            const Card card = deck.DealNext();
            if (!card.IsValid()) {
                exhausted = true;
                break;
            }
            const int index = columnCount[column];
            columns[column][index] = card;
            ++columnCount[column];
            if (faceDown) ++faceDownCount[column];
            DrawStockArea(true);
            AnimateCard(kStockX, kStockY, ColumnX(column, rules.columns), CardY(index), card, artwork->screenBuffer, true,
                        true, faceDown ? artwork->cardBack : -1);
            PlaySound("deal.wav");
        }
    }
    CheckGameOver();
    StartClock(0);
}

// ---- Drawing ----

void FortyThievesGame::DrawStockArea(bool present) {
    const int left = kStockX - kStockMarginX, top = kStockY - kStockMarginY;
    const int right = kStockX + artwork->cardWidth, bottom = kStockY + artwork->cardHeight;
    if (present) artwork->RestoreBackground(left, right, top, bottom);
    artwork->DrawStock(kStockX, kStockY, artwork->cardBack, deck, artwork->screenBuffer,
                       recyclesUsed < FortyThievesRules::Read().recycle);
    if (present) artwork->AddDirty({left, top, right, bottom});
}

void FortyThievesGame::DrawWasteArea(bool present) {
    const int left = kWasteX - kWasteMarginX, top = kWasteY - kWasteMarginY;
    const int right = kWasteX + artwork->cardWidth, bottom = kWasteY + artwork->cardHeight;
    if (present) artwork->RestoreBackground(left, right, top, bottom);
    const int screen = artwork->screenBuffer;
    if (wasteCount == 0) artwork->DrawPlaceholder(kWasteX, kWasteY, card_geometry::kPlaceholderEmptyPile, screen);
    else artwork->DrawPile(kWasteX, kWasteY, waste.data(), wasteCount, screen, kNoFan);
    if (present) artwork->AddDirty({left, top, right, bottom});
}

void FortyThievesGame::DrawFoundationArea(int f, bool present) {
    const int x = FoundationX(f), y = kFoundationY;
    const int left = x - kFoundationMarginX, top = y - kFoundationMarginY;
    const int right = x + artwork->cardWidth, bottom = y + artwork->cardHeight;
    if (present) artwork->RestoreBackground(left, right, top, bottom);
    if (foundations[f].IsValid())
        artwork->DrawFoundation(x, y, foundations[f], artwork->screenBuffer, startRank, kDepthFromRanks);
    else
        artwork->DrawPlaceholder(x, y, card_geometry::kPlaceholderEmptyPile, artwork->screenBuffer);
    if (present) artwork->AddDirty({left, top, right, bottom});
}

void FortyThievesGame::DrawColumnArea(int column, bool present) {
    const int x = ColumnX(column, FortyThievesRules::Read().columns);
    if (present) artwork->RestoreBackground(x, x + artwork->cardWidth, kColumnY, kScreenBottom);
    const int screen = artwork->screenBuffer;
    if (columnCount[column] == 0) artwork->DrawPlaceholder(x, kColumnY, card_geometry::kPlaceholderEmptyPile, screen);
    for (int i = 0; i < columnCount[column]; ++i) {
        if (i < faceDownCount[column]) artwork->DrawCardBack(x, CardY(i), artwork->cardBack, screen);
        else artwork->DrawCard(x, CardY(i), columns[column][i], screen);
    }
    if (present) artwork->AddDirty({x, kColumnY, x + artwork->cardWidth, kScreenBottom});
}

void FortyThievesGame::Draw(bool present) {
    const int columnsInPlay = FortyThievesRules::Read().columns;
    artwork->RestoreBackground(0, 799, 0, 599);
    DrawStockArea(false);
    DrawWasteArea(false);
    for (int f = 0; f < kFoundations; ++f) DrawFoundationArea(f, false);
    for (int column = 0; column < columnsInPlay; ++column) DrawColumnArea(column, false);
    DrawTableFrame(present);
    CheckGameOver();
}

// ---- Moves ----

void FortyThievesGame::TurnColumnTop(int column) {
    SaveUndo();
    points += kPointsTurnCard;
    --faceDownCount[column];
    DrawColumnArea(column, true);
    artwork->PresentDirty();
    CheckGameOver();
}

void FortyThievesGame::OnLButtonDown(WPARAM keys, int x, int y) {
    if (paused || gameOver) return;
    const FortyThievesRules rules = FortyThievesRules::Read();
    if (OnStockTop(x, y, kStockX, kStockY)) {
        // A full waste (only with small layouts) takes no more cards until some have been played.
        if (deck.Remaining() > 0 && wasteCount < kWasteSlots) {
            SaveUndo();
            const Card card = deck.DealNext();
            if (card.IsValid()) waste[wasteCount++] = card;
            CheckGameOver();
            DrawStockArea(true);
            DrawWasteArea(true);
            artwork->PresentDirty();
            PlaySound("flip.wav");
        } else if (deck.Remaining() == 0 && recyclesUsed < rules.recycle) {
            SaveUndo();
            points -= kRecycleCost;
            ReturnWasteToStock(waste.data(), wasteCount);
            DrawStockArea(true);
            DrawWasteArea(true);
            artwork->PresentDirty();
            CheckGameOver();
            PlaySound("shuffle.wav");
            ++recyclesUsed;
        }
        return;
    }
    for (int column = 0; column < rules.columns; ++column) {
        if (!AllFaceDown(column)) continue;
        const int x0 = ColumnX(column, rules.columns), top = CardY(columnCount[column] - 1);
        if (x >= x0 && x <= x0 + artwork->cardWidth && y >= top && y <= top + artwork->cardHeight) {
            TurnColumnTop(column);
            return;
        }
    }
    Game::OnLButtonDown(keys, x, y);
}

void FortyThievesGame::LiftCards(DragRecord& drag) {
    if (paused || gameOver) return;
    if (wasteCount > 0 && drag.cards[0] == waste[wasteCount - 1]) {
        int x = 0, y = 0;
        WasteTopPosition(x, y);
        if (drag.x == x && drag.y == y) {
            SaveUndo();
            ClearHeld();
            held[0] = waste[--wasteCount];
            waste[wasteCount] = Card();
            heldCount = 1;
            heldSource = kWasteSource;
            DrawWasteArea(true);
            CheckGameOver();
            return;
        }
    }
    const int columnsInPlay = FortyThievesRules::Read().columns;
    for (int column = 0; column < columnsInPlay; ++column) {
        if (ColumnX(column, columnsInPlay) != drag.x) continue;
        for (int i = faceDownCount[column]; i < columnCount[column]; ++i) {
            if (CardY(i) != drag.y || columns[column][i] != drag.cards[0]) continue;
            const int count = columnCount[column] - i;
            if (count > kMaxStackCards) return;
            SaveUndo();
            ClearHeld();
            for (int k = 0; k < count; ++k) {
                held[k] = columns[column][i + k];
                columns[column][i + k] = Card();
            }
            heldCount = count;
            heldSource = column;
            columnCount[column] = i;
            DrawColumnArea(column, true);
            CheckGameOver();
            return;
        }
    }
}

bool FortyThievesGame::CanDrop(DragRecord& drag, DropTarget& target) {
    const int foundation = FoundationAt(target.x, target.y);
    if (foundation >= 0) return drag.count == 1 && CanPlay(drag.cards[0], foundations[foundation], true);
    const int columnsInPlay = FortyThievesRules::Read().columns;
    const int column = ColumnDropAt(target.x, target.y, columnsInPlay);
    if (column < 0 || columnCount[column] + drag.count > kColumnSlots || AllFaceDown(column)) return false;
    const Card top = columnCount[column] > 0 ? columns[column][columnCount[column] - 1] : Card();
    return CanPlay(drag.cards[0], top, false);
}

void FortyThievesGame::DropCards(DragRecord& drag, DropTarget& target) {
    if (heldCount < 1 || drag.cards[0] != held[0]) {
        CheckGameOver();
        return;
    }
    const int foundation = FoundationAt(target.x, target.y);
    const int columnsInPlay = FortyThievesRules::Read().columns;
    const int column = foundation < 0 ? ColumnDropAt(target.x, target.y, columnsInPlay) : -1;
    if (column >= 0 && columnCount[column] + heldCount <= kColumnSlots) {
        if (heldSource == kWasteSource) points += kPointsPerWasteCard * heldCount;
        const int x = ColumnX(column, columnsInPlay);
        for (int i = 0; i < heldCount; ++i) {
            const int index = columnCount[column]++;
            columns[column][index] = held[i];
            artwork->DrawCard(x, CardY(index), held[i], artwork->screenBuffer);
            PlaySound("tableau.wav");
        }
        ClearHeld();
        DrawColumnArea(column, true);
    } else if (foundation >= 0 && heldCount == 1) {
        points += heldSource == kWasteSource ? kPointsWasteToFoundation : kPointsColumnToFoundation;
        foundations[foundation] = held[0];
        ClearHeld();
        PlaySound("foundation.wav");
        DrawFoundationArea(foundation, true);
    }
    artwork->PresentDirty();
    CheckGameOver();
}

void FortyThievesGame::ReturnCards() {
    if (heldSource == kNoSource || heldCount < 1) return;
    DropNewestUndoRecord();
    if (heldSource == kWasteSource) {
        if (wasteCount < kWasteSlots) waste[wasteCount++] = held[0];
        // The slide back drew the card where it was picked up, but the waste's depth may have
        // changed with its count: draw the waste again.
        DrawWasteArea(true);
        artwork->PresentDirty();
    } else {
        for (int i = 0; i < heldCount && columnCount[heldSource] < kColumnSlots; ++i)
            columns[heldSource][columnCount[heldSource]++] = held[i];
    }
    ClearHeld();
    CheckGameOver();
}

void FortyThievesGame::AfterMove() {
    if (!FortyThievesRules::Read().autoFlip) return;
    for (int column = 0; column < kColumns; ++column)
        if (AllFaceDown(column)) TurnColumnTop(column);
}

// ---- Game over ----

// Whether moving the face-up cards of a column away one at a time from the top, each onto the top
// card of another column in play (whose top it then becomes), makes progress: the column is
// emptied, or a card it uncovers fits a foundation. Empty columns are not used as targets:
// filling one only moves the problem. Every step is a legal move, so a true answer is always a
// real sequence of moves.
bool FortyThievesGame::ProgressBySingleMoves(int column, int columnsInPlay) const {
    std::array<Card, kColumns> tops;
    for (int k = 0; k < columnsInPlay; ++k) tops[k] = FaceUpTop(k) ? columns[k][columnCount[k] - 1] : Card();
    for (int i = columnCount[column] - 1; i >= faceDownCount[column]; --i) {
        const Card card = columns[column][i];
        int to = -1;
        for (int k = 0; k < columnsInPlay && to < 0; ++k)
            if (k != column && tops[k].IsValid() && CanPlay(card, tops[k], false)) to = k;
        if (to < 0) return false;
        tops[to] = card;
        if (i > faceDownCount[column] && FitsFoundation(columns[column][i - 1])) return true;
    }
    return true;
}

bool FortyThievesGame::FitsFoundation(Card card) const {
    if (card.Rank() == startRank) return true;
    for (Card top : foundations)
        if (top.IsValid() && CanPlay(card, top, true)) return true;
    return false;
}

bool FortyThievesGame::DecideGameOver(const FortyThievesRules& rules) const {
    if (endedByUser) return true;
    const int stockSize = deck.Remaining();
    if (dragging || (recyclesUsed == 0 && stockSize > 0)) return false;
    const int inPlay = rules.columns;
    for (int column = 0; column < inPlay; ++column)
        if (AllFaceDown(column)) return false;
    for (int column = 0; column < inPlay; ++column)
        if (FaceUpTop(column) && FitsFoundation(columns[column][columnCount[column] - 1])) return false;

    // Cards that can still come into play from stock and waste.
    std::array<Card, kMaxCandidates> candidates;
    int count = 0;
    auto add = [&](Card card) {
        if (card.IsValid() && count < kMaxCandidates) candidates[count++] = card;
    };
    if (wasteCount > 0) add(waste[wasteCount - 1]);
    for (int i = 0; i < stockSize; ++i) add(deck.Peek(i));
    if (stockSize > 0) add(deck.Peek(stockSize - 1));
    if (rules.RecycleAllowed(recyclesUsed))
        for (int i = 0; i < wasteCount; ++i) add(waste[i]);
    if (count > 0) {
        for (int column = 0; column < inPlay; ++column)
            if (columnCount[column] == 0) return false;
        for (int c = 0; c < count; ++c)
            for (int column = 0; column < inPlay; ++column)
                if (FaceUpTop(column) && CanPlay(candidates[c], columns[column][columnCount[column] - 1], false))
                    return false;
    }

    if (rules.movePartial) {
        for (int c = 0; c < inPlay; ++c) {
            if (!FaceUpTop(c)) continue;
            const Card lowest = columns[c][faceDownCount[c]];
            for (int k = 0; k < inPlay; ++k)
                if (k != c && FaceUpTop(k) && CanPlay(lowest, columns[k][columnCount[k] - 1], false)) return false;
        }
    } else {
        for (int c = 0; c < inPlay; ++c)
            if (FaceUpTop(c) && ProgressBySingleMoves(c, inPlay)) return false;
    }

    for (int column = 0; column < inPlay; ++column)
        if (FaceUpTop(column)) add(columns[column][columnCount[column] - 1]);
    if (rules.movePartial) {
        for (int c = 0; c < inPlay; ++c)
            for (int i = faceDownCount[c] + 1; i < columnCount[c]; ++i)
                for (int k = 0; k < inPlay; ++k)
                    if (k != c && FaceUpTop(k) && CanPlay(columns[c][i], columns[k][columnCount[k] - 1], false))
                        add(columns[c][i - 1]);
    }
    for (int c = 0; c < count; ++c)
        if (FitsFoundation(candidates[c])) return false;
    return true;
}

bool FortyThievesGame::CheckGameOver() {
    const FortyThievesRules rules = FortyThievesRules::Read();
    gameOver = DecideGameOver(rules);
    if (gameOver && !AutoGameOverOn() && !endedByUser) gameOver = IsWon();
    RegisterHotspots(rules);
    return gameOver;
}

void FortyThievesGame::RegisterHotspots(const FortyThievesRules& rules) {
    pickups.clear();
    dropTargets.clear();
    if (paused || gameOver) return;
    const int inPlay = rules.columns;
    if (wasteCount > 0) {
        int x = 0, y = 0;
        WasteTopPosition(x, y);
        AddPickup(x, y, &waste[wasteCount - 1], 1);
    }
    for (int column = 0; column < inPlay; ++column) {
        if (!FaceUpTop(column)) continue;
        const int x = ColumnX(column, inPlay), top = columnCount[column] - 1;
        AddPickup(x, CardY(top), &columns[column][top], 1);
        if (!rules.movePartial) continue;
        for (int i = top - 1; i >= faceDownCount[column]; --i)
            if (columnCount[column] - i <= kMaxStackCards) AddPickup(x, CardY(i), &columns[column][i], columnCount[column] - i);
    }
    for (int f = 0; f < kFoundations; ++f)
        AddDropTarget(FoundationX(f), kFoundationY, CardHitRect(FoundationX(f), kFoundationY), kAutoMoveKind);
    for (int column = 0; column < inPlay; ++column) {
        if (AllFaceDown(column)) continue;
        const int x = ColumnX(column, inPlay), y = CardY(columnCount[column]);
        AddDropTarget(x, y, CardHitRect(x, y), kPlainTargetKind);
    }
}

bool FortyThievesGame::IsWon() {
    if (!gameOver || wasteCount != 0 || heldCount != 0 || deck.Remaining() != 0) return false;
    for (int column = 0; column < kColumns; ++column)
        if (columnCount[column] != 0) return false;
    return true;
}

double FortyThievesGame::GetScoreFactor() {
    const FortyThievesRules rules = FortyThievesRules::Read();
    double factor = rules.movePartial ? 0.95 : 1.0;
    if (rules.filledIn) factor *= 0.9;
    // Each face-down row and each row beyond the first adds 5%; each column short of ten costs 5%.
    factor *= 1.0 + 0.05 * rules.rowsFaceDown;
    factor *= 1.0 + 0.05 * (rules.rows - 1);
    factor *= 1.0 - 0.05 * (kColumns - rules.columns);
    return factor;
}

// ---- Undo ----

void FortyThievesGame::SaveUndo() {
    if (paused || gameOver) return;
    UndoWriter writer = BeginUndoRecord();
    writer.Cards(foundations.data(), kFoundations);
    writer.Cards(waste.data(), kWasteSlots);
    writer.Int(wasteCount);
    for (const auto& column : columns) writer.Cards(column.data(), kColumnSlots);
    for (int32_t count : columnCount) writer.Int(count);
    for (int32_t count : faceDownCount) writer.Int(count);
    writer.Int(points);
    writer.Int(ElapsedSeconds());
    PushUndoRecord(writer);
}

void FortyThievesGame::Undo() {
    if (paused || gameOver) return;
    if (auto record = PopUndoRecord()) RestoreRecord(*record);
}

bool FortyThievesGame::RestoreRecord(std::span<const uint8_t> record) {
    UndoReader reader(record);
    if (!ReadBaseState(reader)) return false;
    std::array<Card, kFoundations> readFoundations;
    std::array<Card, kWasteSlots> readWaste;
    std::array<std::array<Card, kColumnSlots>, kColumns> readColumns;
    std::array<int32_t, kColumns> readCounts, readFaceDown;
    int32_t readWasteCount = 0, readPoints = 0, elapsed = 0;
    reader.Cards(readFoundations.data(), kFoundations);
    reader.Cards(readWaste.data(), kWasteSlots);
    reader.IntIn(readWasteCount, 0, kWasteSlots);
    for (auto& column : readColumns) reader.Cards(column.data(), kColumnSlots);
    for (int32_t& count : readCounts) reader.IntIn(count, 0, kColumnSlots);
    for (int column = 0; column < kColumns; ++column)
        reader.IntIn(readFaceDown[column], 0, reader.Ok() ? readCounts[column] : 0);
    reader.IntIn(readPoints, -kMaxRecordPoints, kMaxRecordPoints);
    reader.IntIn(elapsed, 0, kMaxRecordSeconds);
    if (!reader.AtEnd()) return false;
    // A record of a deal with more columns than are in play now would leave cards out of reach.
    const int inPlay = FortyThievesRules::Read().columns;
    for (int column = inPlay; column < kColumns; ++column)
        if (readCounts[column] != 0) return false;

    // The record does not hold the starting rank; it is the one for which every card of the two
    // packs is somewhere exactly twice, each foundation holding its suit from the starting rank
    // up to its top. The current rank is tried first, since with empty foundations any rank fits.
    PackTally tally(2);
    if (!tally.TakeStock(*reader.deck) || !tally.TakeCards(readWaste.data(), readWasteCount)) return false;
    for (int column = 0; column < kColumns; ++column)
        if (!tally.TakeCards(readColumns[column].data(), readCounts[column])) return false;
    const int32_t readStart = tally.FoundationStart(readFoundations, startRank);
    if (readStart < 0) return false;

    CommitBaseState(reader);
    startRank = readStart;
    foundations = readFoundations;
    waste = readWaste;
    wasteCount = readWasteCount;
    ClearPastCount(waste, wasteCount);
    columns = readColumns;
    columnCount = readCounts;
    faceDownCount = readFaceDown;
    for (int column = 0; column < kColumns; ++column)
        ClearPastCount(columns[column], columnCount[column]);
    ClearHeld();
    FinishUndo(readPoints, elapsed);
    return true;
}
