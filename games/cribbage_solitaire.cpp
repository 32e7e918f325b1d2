#include "games/cribbage_solitaire.h"

#include <algorithm>
#include <string>

#include "draw/draw.h"
#include "framework/game_services.h"
#include "shell/artwork.h"
#include "store/high_scores.h"
#include "store/settings_store.h"
#include "ui/toolkit.h"

namespace {

constexpr int kReserveCost = 3;
// A pile grows up and to the left by one layer per five cards: this much room around it.
constexpr int kLayerRoomX = 22, kLayerRoomY = 11;
constexpr int kFifteen = 15;
constexpr int kFaceCardValue = 10;
// Hand scores stand left of each row and above each column.
constexpr int kRowScoreOffsetX = 20;
constexpr double kRowScoreHeightShare = 0.55;
constexpr double kColumnScoreWidthShare = 0.45;
constexpr int kColumnScoreOffsetY = 10;

int CountingValue(Card card) { return std::min(card.PipValue(), kFaceCardValue); }

// Subsets of cards[from..] that bring `sum` to exactly fifteen.
int Fifteens(const std::array<Card, 5>& cards, int from, int sum) {
    int found = 0;
    for (int i = from; i < static_cast<int>(cards.size()); ++i) {
        const int next = sum + CountingValue(cards[i]);
        if (next == kFifteen) ++found;
        else if (next < kFifteen) found += Fifteens(cards, i + 1, next);
    }
    return found;
}

}  // namespace

CribbageRules CribbageRules::Read() {
    CribbageRules rules;
    SettingsKey key(GameSettingsPath("Cribbage Solitaire"));
    const int32_t piles = ReadDwordValue(key, "ReservePiles", 0);
    rules.reservePiles = piles >= 0 && piles <= CribbageSolitaireGame::kReservePiles ? piles : 0;
    const int32_t perPile = ReadDwordValue(key, "CardsPerPile", 1);
    rules.cardsPerPile = perPile >= 1 && perPile <= CribbageSolitaireGame::kReserveSlots ? perPile : 1;
    return rules;
}

CribbageSolitaireGame::CribbageSolitaireGame(Artwork* artwork) : Game(artwork, kGameNumber) {}

int CribbageSolitaireGame::ScoreHand(const std::array<Card, 4>& hand, Card starter) {
    const std::array<Card, 5> all = {hand[0], hand[1], hand[2], hand[3], starter};
    int score = 0;
    for (Card card : hand)
        if (card.Rank() == Card::kJack && card.Suit() == starter.Suit()) {
            score += 1;  // his nobs
            break;
        }
    for (int i = 0; i < 5; ++i)
        for (int j = i + 1; j < 5; ++j)
            if (all[i].Rank() == all[j].Rank()) score += 2;
    if (std::all_of(hand.begin(), hand.end(), [&](Card c) { return c.Suit() == hand[0].Suit(); }))
        score += starter.Suit() == hand[0].Suit() ? 5 : 4;
    score += 2 * Fifteens(all, 0, 0);

    // Runs with the Ace low: walk Ace .. King keeping the length and how many ways it can be made.
    std::array<int, Card::kRankCount + 1> perPip{};
    for (Card card : all) ++perPip[card.PipValue()];
    int length = perPip[1] > 0 ? 1 : 0;
    int ways = perPip[1] == 2 || perPip[1] == 3 ? perPip[1] : 1;
    for (int pip = 2; pip <= Card::kRankCount; ++pip) {
        const int n = perPip[pip];
        if (n == 0) {
            if (length >= 3) score += length * ways;
            length = 0;
            ways = 1;
            continue;
        }
        ++length;
        if (n == 2) ways = ways == 1 ? ways + 1 : ways + 2;
        else if (n == 3) ways += 2;
    }
    if (length >= 3) score += length * ways;
    return score;
}

bool CribbageSolitaireGame::GridFull() const {
    return std::all_of(grid.begin(), grid.end(), [](Card c) { return c.IsValid(); });
}

bool CribbageSolitaireGame::CellAccepts(int i) const {
    if (i < 0 || i >= kCells) return false;
    if (std::none_of(grid.begin(), grid.end(), [](Card c) { return c.IsValid(); })) return true;
    if (grid[i].IsValid()) return false;
    const int row = i / kSide, column = i % kSide;
    for (int dr = -1; dr <= 1; ++dr) {
        for (int dc = -1; dc <= 1; ++dc) {
            const int r = row + dr, c = column + dc;
            if ((dr == 0 && dc == 0) || r < 0 || r >= kSide || c < 0 || c >= kSide) continue;
            if (grid[r * kSide + c].IsValid()) return true;
        }
    }
    return false;
}

int CribbageSolitaireGame::CellAt(int x, int y) {
    for (int i = 0; i < kCells; ++i)
        if (CellX(i) == x && CellY(i) == y) return i;
    return -1;
}

// ---- Deal ----

void CribbageSolitaireGame::NewGame(bool restart) {
    ResetForNewDeal();
    if (!restart) {
        AddOptionsItem("&Game Settings...", kCommandGameSettings);
        AddViewItem("&Rules", kCommandRulesSummary);
    }
    artwork->LoadTheme(Artwork::kPreferredTheme);
    ClearHotspots();
    grid.fill(Card());
    for (auto& pile : reserves) pile.fill(Card());
    reserveCounts.fill(0);
    handScores.fill(0);
    handTotal = 0;
    current = starter = dragged = Card();
    dragSource = kNoSource;
    fanDx = 0;
    fanDy = kReserveStep;
    SetStandardPanel();
    for (int i = 0; i < kCells; ++i) AddDropTarget(CellX(i), CellY(i), CardHitRect(CellX(i), CellY(i)), kPlainTargetKind);

    deck.SetPacks(1);
    deck.IncludeAll();
    deck.Shuffle();
    current = deck.DealNext();
    artwork->RestoreBackground(0, 799, 0, 599);
    artwork->DrawGameTitle(kGameNumber);
    Draw(true);
    if (Services().setGameMusic) Services().setGameMusic();
    DrawCardArea(kCurrentX, kCurrentY, current, true, true);
    artwork->PresentDirty();
    StartClock(0);
}

// ---- Drawing ----

void CribbageSolitaireGame::DrawStockArea(bool present) {
    const int left = kStockX - kLayerRoomX, top = kStockY - kLayerRoomY;
    const int right = kStockX + artwork->cardWidth, bottom = kStockY + artwork->cardHeight;
    if (present) artwork->RestoreBackground(left, right, top, bottom);
    artwork->DrawStock(kStockX, kStockY, artwork->cardBack, deck, artwork->screenBuffer, false);
    if (present) artwork->AddDirty({left, top, right, bottom});
}

void CribbageSolitaireGame::DrawCardArea(int x, int y, Card card, bool placeholder, bool present) {
    if (present) artwork->RestoreBackground(x, x + artwork->cardWidth, y, y + artwork->cardHeight);
    if (card.IsValid()) artwork->DrawCard(x, y, card, artwork->screenBuffer);
    else if (placeholder) artwork->DrawPlaceholder(x, y, card_geometry::kPlaceholderEmptyPile, artwork->screenBuffer);
    if (present) artwork->AddDirty({x, y, x + artwork->cardWidth, y + artwork->cardHeight});
}

void CribbageSolitaireGame::DrawReserveArea(int k, bool present) {
    const int x = ReserveX(k);
    const int bottom = ReserveCardY(kReserveSlots - 1) + artwork->cardHeight;
    if (present) artwork->RestoreBackground(x, x + artwork->cardWidth, kReserveY, bottom);
    const int screen = artwork->screenBuffer;
    if (reserveCounts[k] == 0) artwork->DrawPlaceholder(x, kReserveY, card_geometry::kPlaceholderEmptyPile, screen);
    for (int i = 0; i < reserveCounts[k]; ++i) artwork->DrawCard(x, ReserveCardY(i), reserves[k][i], screen);
    if (present) artwork->AddDirty({x, kReserveY, x + artwork->cardWidth, bottom});
}

void CribbageSolitaireGame::DrawHandScores() {
    if (!gameOver || !starter.IsValid()) return;
    SelectScreenBuffer();
    SetColor(artwork->TextColour());
    for (int r = 0; r < kSide; ++r) {
        const int cell = r * kSide;
        MoveTo(CellX(cell) - kRowScoreOffsetX, CellY(cell) + static_cast<int>(artwork->cardHeight * kRowScoreHeightShare));
        DrawRegularText(std::to_string(handScores[r]), 0, -1);
    }
    for (int c = 0; c < kSide; ++c) {
        MoveTo(CellX(c) + static_cast<int>(artwork->cardWidth * kColumnScoreWidthShare), CellY(c) - kColumnScoreOffsetY);
        DrawRegularText(std::to_string(handScores[kSide + c]), 0, -1);
    }
}

void CribbageSolitaireGame::Draw(bool present) {
    const CribbageRules rules = CribbageRules::Read();
    artwork->RestoreBackground(0, 799, 0, 599);
    DrawStockArea(false);
    DrawCardArea(kCurrentX, kCurrentY, current, !gameOver, false);
    for (int k = 0; k < rules.reservePiles; ++k) DrawReserveArea(k, false);
    if (gameOver) DrawCardArea(kStarterX, kStarterY, starter, false, false);
    for (int i = 0; i < kCells; ++i) DrawCardArea(CellX(i), CellY(i), grid[i], true, false);
    DrawHandScores();
    DrawStatus(false);
    // The panel stands over the right end of the menu bar, so it comes after it.
    DrawMenuBar();
    ForgetPanel();
    DrawTable(-1);
    if (present) artwork->Present();
    CheckGameOver();
}

// ---- Moves ----

void CribbageSolitaireGame::OnLButtonDown(WPARAM keys, int x, int y) {
    if (paused || gameOver) return;
    // A click on an empty cell places the current card there, when the cell may take it.
    for (int i = 0; i < kCells; ++i) {
        if (grid[i].IsValid()) continue;
        if (x < CellX(i) || x > CellX(i) + artwork->cardWidth || y < CellY(i) || y > CellY(i) + artwork->cardHeight)
            continue;
        DropTarget* found = FindDropTargetAt(x, y);
        if (!found || !current.IsValid()) return;
        DropTarget target = *found;
        DragRecord record;
        record.x = kCurrentX;
        record.y = kCurrentY;
        record.cards[0] = current;
        record.count = 1;
        if (CanDrop(record, target)) {
            SaveUndo();
            LiftCards(record);
            AnimateCard(kCurrentX, kCurrentY, target.x, target.y, record.cards[0], artwork->screenBuffer, true, false, -1);
            DropCards(record, target);
        }
        return;
    }
    Game::OnLButtonDown(keys, x, y);
}

void CribbageSolitaireGame::LiftCards(DragRecord& drag) {
    if (paused || gameOver) return;
    SaveUndo();
    if (current.IsValid() && current == drag.cards[0]) {
        dragged = current;
        dragSource = kCurrentSource;
        current = Card();
        DrawCardArea(kCurrentX, kCurrentY, current, true, true);
    } else {
        const CribbageRules rules = CribbageRules::Read();
        for (int k = 0; k < rules.reservePiles; ++k) {
            if (reserveCounts[k] == 0 || reserves[k][reserveCounts[k] - 1] != drag.cards[0]) continue;
            dragged = reserves[k][--reserveCounts[k]];
            reserves[k][reserveCounts[k]] = Card();
            dragSource = kFirstReserveSource - k;
            DrawReserveArea(k, true);
            break;
        }
    }
    CheckGameOver();
}

bool CribbageSolitaireGame::CanDrop(DragRecord&, DropTarget& target) {
    const int cell = CellAt(target.x, target.y);
    if (cell >= 0) return CellAccepts(cell);
    const CribbageRules rules = CribbageRules::Read();
    for (int k = 0; k < rules.reservePiles; ++k)
        if (target.x == ReserveX(k) && target.y == ReserveCardY(reserveCounts[k]))
            return reserveCounts[k] < rules.cardsPerPile;
    return false;
}

void CribbageSolitaireGame::DropCards(DragRecord& drag, DropTarget& target) {
    if (dragSource == kNoSource || !dragged.IsValid() || drag.cards[0] != dragged) {
        CheckGameOver();
        return;
    }
    const int cell = CellAt(target.x, target.y);
    if (cell >= 0 && !grid[cell].IsValid()) {
        grid[cell] = dragged;
        dragged = Card();
        dragSource = kNoSource;
        PlaySound("tableau.wav");
        DrawCardArea(CellX(cell), CellY(cell), grid[cell], true, true);
    } else {
        for (int k = 0; k < kReservePiles; ++k) {
            if (target.x != ReserveX(k) || target.y != ReserveCardY(reserveCounts[k]) || reserveCounts[k] >= kReserveSlots)
                continue;
            reserves[k][reserveCounts[k]++] = dragged;
            dragged = Card();
            dragSource = kNoSource;
            points -= kReserveCost;
            PlaySound("reserve.wav");
            DrawReserveArea(k, true);
            break;
        }
    }
    artwork->PresentDirty();
    if (!current.IsValid() || GridFull()) TurnNextCard();
    CheckGameOver();
}

void CribbageSolitaireGame::TurnNextCard() {
    if (!GridFull()) {
        current = deck.DealNext();
        DrawStockArea(true);
        DrawCardArea(kCurrentX, kCurrentY, current, true, true);
        artwork->PresentDirty();
        PlaySound("flip.wav");
        CheckGameOver();
        return;
    }
    starter = deck.DealNext();
    DrawStockArea(true);
    DrawCardArea(kStarterX, kStarterY, starter, false, true);
    artwork->PresentDirty();
    PlaySound("flip.wav");
    ScoreGame();
}

void CribbageSolitaireGame::ScoreGame() {
    if (!CheckGameOver() || !starter.IsValid()) return;
    handTotal = 0;
    for (int r = 0; r < kSide; ++r) {
        const std::array<Card, 4> row = {grid[r * kSide], grid[r * kSide + 1], grid[r * kSide + 2], grid[r * kSide + 3]};
        handScores[r] = ScoreHand(row, starter);
        handTotal += handScores[r];
    }
    for (int c = 0; c < kSide; ++c) {
        const std::array<Card, 4> column = {grid[c], grid[c + kSide], grid[c + 2 * kSide], grid[c + 3 * kSide]};
        handScores[kSide + c] = ScoreHand(column, starter);
        handTotal += handScores[kSide + c];
    }
    finalScore = kScoreNotComputed;
    points += handTotal;
    FinishGame();
    // Playing again from the high-score table has dealt anew: nothing is left to label then.
    DrawHandScores();
    artwork->Present();
}

void CribbageSolitaireGame::ReturnCards() {
    if (dragSource == kNoSource || !dragged.IsValid()) return;
    DropNewestUndoRecord();
    if (dragSource == kCurrentSource) {
        current = dragged;
    } else {
        const int k = kFirstReserveSource - dragSource;
        if (k >= 0 && k < kReservePiles && reserveCounts[k] < kReserveSlots) reserves[k][reserveCounts[k]++] = dragged;
    }
    dragged = Card();
    dragSource = kNoSource;
    CheckGameOver();
}

// ---- Game over ----

bool CribbageSolitaireGame::CheckGameOver() {
    // A full grid ends the game whatever the Auto Game Over preference says.
    gameOver = endedByUser || GridFull();
    RegisterHotspots(CribbageRules::Read());
    return gameOver;
}

void CribbageSolitaireGame::RegisterHotspots(const CribbageRules& rules) {
    pickups.clear();
    dropTargets.clear();
    if (!paused && !gameOver) {
        if (current.IsValid()) AddPickup(kCurrentX, kCurrentY, &current, 1);
        for (int k = 0; k < rules.reservePiles; ++k)
            if (reserveCounts[k] > 0)
                AddPickup(ReserveX(k), ReserveCardY(reserveCounts[k] - 1), &reserves[k][reserveCounts[k] - 1], 1);
    }
    for (int i = 0; i < kCells; ++i)
        if (!grid[i].IsValid()) AddDropTarget(CellX(i), CellY(i), CardHitRect(CellX(i), CellY(i)), kPlainTargetKind);
    for (int k = 0; k < rules.reservePiles; ++k) {
        const int y = ReserveCardY(reserveCounts[k]);
        AddDropTarget(ReserveX(k), y, CardHitRect(ReserveX(k), y), kReserveKind);
    }
}

bool CribbageSolitaireGame::IsWon() { return gameOver && finalScore >= TenthScore(GetName()); }

// ---- Undo ----

void CribbageSolitaireGame::SaveUndo() {
    UndoWriter writer = BeginUndoRecord();
    writer.CardValue(current);
    writer.Cards(grid.data(), kCells);
    writer.CardValue(starter);
    for (const auto& pile : reserves) writer.Cards(pile.data(), kReserveSlots);
    for (int32_t count : reserveCounts) writer.Int(count);
    writer.Int(points);
    writer.Int(ElapsedSeconds());
    PushUndoRecord(writer);
}

void CribbageSolitaireGame::Undo() {
    if (paused || gameOver) return;
    if (auto record = PopUndoRecord()) RestoreRecord(*record);
}

bool CribbageSolitaireGame::RestoreRecord(std::span<const uint8_t> record) {
    UndoReader reader(record);
    if (!ReadBaseState(reader)) return false;
    Card readCurrent, readStarter;
    std::array<Card, kCells> readGrid;
    std::array<std::array<Card, kReserveSlots>, kReservePiles> readReserves;
    std::array<int32_t, kReservePiles> readCounts;
    int32_t readPoints = 0, elapsed = 0;
    reader.CardValue(readCurrent);
    reader.Cards(readGrid.data(), kCells);
    reader.CardValue(readStarter);
    for (auto& pile : readReserves) reader.Cards(pile.data(), kReserveSlots);
    for (int32_t& count : readCounts) reader.IntIn(count, 0, kReserveSlots);
    reader.IntIn(readPoints, -kMaxRecordPoints, kMaxRecordPoints);
    reader.IntIn(elapsed, 0, kMaxRecordSeconds);
    if (!reader.AtEnd()) return false;

    // No card ever leaves play: stock, current card, starter, grid and reserves hold the pack.
    PackTally tally;
    if (!tally.TakeStock(*reader.deck) || !tally.TakeSlot(readCurrent) || !tally.TakeSlot(readStarter)) return false;
    for (Card card : readGrid)
        if (!tally.TakeSlot(card)) return false;
    for (int k = 0; k < kReservePiles; ++k)
        if (!tally.TakeCards(readReserves[k].data(), readCounts[k])) return false;
    if (!tally.WholePack()) return false;

    CommitBaseState(reader);
    current = readCurrent;
    grid = readGrid;
    starter = readStarter;
    reserves = readReserves;
    reserveCounts = readCounts;
    for (int k = 0; k < kReservePiles; ++k)
        for (int i = reserveCounts[k]; i < kReserveSlots; ++i) reserves[k][i] = Card();
    dragged = Card();
    dragSource = kNoSource;
    handScores.fill(0);
    handTotal = 0;
    FinishUndo(readPoints, elapsed);
    return true;
}
