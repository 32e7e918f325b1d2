#include "games/poker_solitaire.h"

#include <algorithm>

#include "draw/draw.h"
#include "framework/game_services.h"
#include "shell/artwork.h"
#include "store/high_scores.h"
#include "store/settings_store.h"
#include "ui/toolkit.h"

namespace {

constexpr int kReserveCost = 3;
constexpr int32_t kMaxHandScore = 100;
// A pile grows up and to the left by one layer per five cards: this much room around it.
constexpr int kLayerRoomX = 22, kLayerRoomY = 11;
constexpr int kStraightLength = 5;
// Hand scores stand left of each row and above each column.
constexpr int kRowScoreOffsetX = 20;
constexpr double kRowScoreHeightShare = 0.55;
constexpr double kColumnScoreWidthShare = 0.45;
constexpr int kColumnScoreOffsetY = 10;

}  // namespace

PokerRules PokerRules::Read() {
    PokerRules rules;
    SettingsKey key(GameSettingsPath("Poker Solitaire"));
    const int32_t piles = ReadDwordValue(key, "ReservePiles", 0);
    rules.reservePiles = piles >= 0 && piles <= PokerSolitaireGame::kReservePiles ? piles : 0;
    const int32_t perPile = ReadDwordValue(key, "CardsPerPile", 1);
    rules.cardsPerPile = perPile >= 1 && perPile <= PokerSolitaireGame::kReserveSlots ? perPile : 1;
    rules.american = ReadStringValue(key, "Scoring", "American") == "American";
    return rules;
}

PokerSolitaireGame::PokerSolitaireGame(Artwork* artwork) : Game(artwork, kGameNumber) {}

PokerSolitaireGame::Hand PokerSolitaireGame::ClassifyHand(const std::array<Card, kSide>& hand) {
    const bool flush = std::all_of(hand.begin(), hand.end(), [&](Card c) { return c.Suit() == hand[0].Suit(); });
    bool four = false, three = false, straight = false;
    int pairs = 0, run = 0;
    for (int rank = 0; rank < Card::kRankCount; ++rank) {
        const int count = CountRank(hand.data(), rank, kSide);
        if (count >= 4) four = true;
        if (count == 3) three = true;
        if (count == 2) ++pairs;
        // The Ace is the highest index: Ten to Ace is a straight, Ace to Five is not.
        run = count > 0 ? run + 1 : 0;
        if (run >= kStraightLength) straight = true;
    }
    const bool ace = CountRank(hand.data(), Card::kAce, kSide) > 0;
    if (flush && straight && ace) return kRoyalFlush;
    if (flush && straight) return kStraightFlush;
    if (four) return kFourOfAKind;
    if (three && pairs >= 1) return kFullHouse;
    if (flush) return kFlush;
    if (straight) return kStraight;
    if (three) return kThreeOfAKind;
    if (pairs >= 2) return kTwoPair;
    if (pairs == 1) return kOnePair;
    return kNothing;
}

int PokerSolitaireGame::ScoreHand(const std::array<Card, kSide>& hand, bool american) {
    const Hand kind = ClassifyHand(hand);
    if (kind == kNothing) return 0;
    return american ? kAmericanTable[kind] : kEnglishTable[kind];
}

bool PokerSolitaireGame::GridFull() const {
    return std::all_of(grid.begin(), grid.end(), [](Card c) { return c.IsValid(); });
}

int PokerSolitaireGame::CellAt(int x, int y) {
    for (int i = 0; i < kCells; ++i)
        if (CellX(i) == x && CellY(i) == y) return i;
    return -1;
}

// ---- Deal ----

void PokerSolitaireGame::NewGame(bool restart) {
    ResetForNewDeal();
    if (!restart) {
        AddOptionsItem("&Game Settings...", kCommandGameSettings);
        AddViewItem("&Rules", kCommandRulesSummary);
    }
    artwork->LoadTheme(Artwork::kPreferredTheme);
    ClearHotspots();
    fanDx = 0;
    fanDy = kReserveStep;
    SetStandardPanel();
    liftSource = kNoSource;
    for (auto& pile : reserves) pile.fill(Card());
    reserveCounts.fill(0);
    current = lifted = Card();
    grid.fill(Card());
    handScores.fill(0);
    handTotal = 0;

    deck.SetPacks(1);
    deck.IncludeAll();
    deck.Shuffle();
    current = deck.DealNext();
    artwork->RestoreBackground(0, 799, 0, 599);
    artwork->DrawGameTitle(kGameNumber);
    Draw(true);
    if (Services().setGameMusic) Services().setGameMusic();
    StartClock(0);
}

// ---- Drawing ----

void PokerSolitaireGame::DrawStockArea(bool present) {
    const int left = kStockX - kLayerRoomX, top = kStockY - kLayerRoomY;
    const int right = kStockX + artwork->cardWidth, bottom = kStockY + artwork->cardHeight;
    if (present) artwork->RestoreBackground(left, right, top, bottom);
    artwork->DrawStock(kStockX, kStockY, artwork->cardBack, deck, artwork->screenBuffer, false);
    if (present) artwork->AddDirty({left, top, right, bottom});
}

void PokerSolitaireGame::DrawCardArea(int x, int y, Card card, bool placeholder, bool present) {
    if (present) artwork->RestoreBackground(x, x + artwork->cardWidth, y, y + artwork->cardHeight);
    if (card.IsValid()) artwork->DrawCard(x, y, card, artwork->screenBuffer);
    else if (placeholder) artwork->DrawPlaceholder(x, y, card_geometry::kPlaceholderEmptyPile, artwork->screenBuffer);
    if (present) artwork->AddDirty({x, y, x + artwork->cardWidth, y + artwork->cardHeight});
}

void PokerSolitaireGame::DrawReserveArea(int k, bool present) {
    const int x = ReserveX(k);
    const int bottom = ReserveCardY(kReserveSlots - 1) + artwork->cardHeight;
    if (present) artwork->RestoreBackground(x, x + artwork->cardWidth, kReserveY, bottom);
    const int screen = artwork->screenBuffer;
    if (reserveCounts[k] == 0) artwork->DrawPlaceholder(x, kReserveY, card_geometry::kPlaceholderEmptyPile, screen);
    for (int i = 0; i < reserveCounts[k]; ++i) artwork->DrawCard(x, ReserveCardY(i), reserves[k][i], screen);
    if (present) artwork->AddDirty({x, kReserveY, x + artwork->cardWidth, bottom});
}

void PokerSolitaireGame::DrawHandScores() {
    if (!gameOver || !GridFull()) return;
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

void PokerSolitaireGame::Draw(bool present) {
    const PokerRules rules = PokerRules::Read();
    artwork->RestoreBackground(0, 799, 0, 599);
    DrawStockArea(false);
    DrawCardArea(kCurrentX, kCurrentY, current, !gameOver, false);
    for (int k = 0; k < rules.reservePiles; ++k) DrawReserveArea(k, false);
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

void PokerSolitaireGame::OnLButtonDown(WPARAM keys, int x, int y) {
    if (paused || gameOver) return;
    // A press inside an empty cell places the current card there.
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
            LiftCards(record);
            AnimateCard(kCurrentX, kCurrentY, target.x, target.y, record.cards[0], artwork->screenBuffer, true, false, -1);
            DropCards(record, target);
        }
        return;
    }
    Game::OnLButtonDown(keys, x, y);
}

void PokerSolitaireGame::LiftCards(DragRecord& drag) {
    if (paused || gameOver) return;
    if (current.IsValid() && current == drag.cards[0]) {
        SaveUndo();
        lifted = current;
        liftSource = kCurrentSource;
        current = Card();
        DrawCardArea(kCurrentX, kCurrentY, current, true, true);
    } else {
        const PokerRules rules = PokerRules::Read();
        for (int k = 0; k < rules.reservePiles; ++k) {
            if (reserveCounts[k] == 0 || reserves[k][reserveCounts[k] - 1] != drag.cards[0]) continue;
            SaveUndo();
            lifted = reserves[k][--reserveCounts[k]];
            reserves[k][reserveCounts[k]] = Card();
            liftSource = kFirstReserveSource - k;
            DrawReserveArea(k, true);
            break;
        }
    }
    CheckGameOver();
}

bool PokerSolitaireGame::CanDrop(DragRecord&, DropTarget& target) {
    const int cell = CellAt(target.x, target.y);
    if (cell >= 0) return !grid[cell].IsValid();
    const PokerRules rules = PokerRules::Read();
    for (int k = 0; k < rules.reservePiles; ++k)
        if (target.x == ReserveX(k) && target.y == ReserveCardY(reserveCounts[k]))
            return reserveCounts[k] < rules.cardsPerPile;
    return false;
}

void PokerSolitaireGame::DropCards(DragRecord& drag, DropTarget& target) {
    if (liftSource == kNoSource || !lifted.IsValid() || drag.cards[0] != lifted) {
        CheckGameOver();
        return;
    }
    const int cell = CellAt(target.x, target.y);
    if (cell >= 0 && !grid[cell].IsValid()) {
        grid[cell] = lifted;
        DrawCardArea(CellX(cell), CellY(cell), grid[cell], true, true);
        PlaySound("tableau.wav");
    } else {
        for (int k = 0; k < kReservePiles; ++k) {
            if (target.x != ReserveX(k) || target.y != ReserveCardY(reserveCounts[k]) || reserveCounts[k] >= kReserveSlots)
                continue;
            reserves[k][reserveCounts[k]++] = lifted;
            points -= kReserveCost;
            DrawReserveArea(k, true);
            PlaySound("reserve.wav");
            break;
        }
    }
    lifted = Card();
    liftSource = kNoSource;
    artwork->PresentDirty();
    // A placed current card brings the next one; the grid's last cell ends the game, wherever
    // its card came from.
    if (!current.IsValid() || GridFull()) {
        if (!CheckGameOver()) {
            if (!current.IsValid()) {
                current = deck.DealNext();
                DrawStockArea(true);
                DrawCardArea(kCurrentX, kCurrentY, current, true, true);
                artwork->PresentDirty();
                CheckGameOver();
            }
        } else {
            ScoreGrid();
        }
    }
    CheckGameOver();
}

void PokerSolitaireGame::ScoreGrid() {
    const bool american = PokerRules::Read().american;
    handTotal = 0;
    for (int r = 0; r < kSide; ++r) {
        std::array<Card, kSide> row;
        for (int c = 0; c < kSide; ++c) row[c] = grid[r * kSide + c];
        handScores[r] = ScoreHand(row, american);
        handTotal += handScores[r];
    }
    for (int c = 0; c < kSide; ++c) {
        std::array<Card, kSide> column;
        for (int r = 0; r < kSide; ++r) column[r] = grid[r * kSide + c];
        handScores[kSide + c] = ScoreHand(column, american);
        handTotal += handScores[kSide + c];
    }
    points += handTotal;
    finalScore = kScoreNotComputed;
    FinishGame();
    // Playing again from the high-score table has dealt anew: nothing is left to label then.
    DrawHandScores();
    artwork->Present();
}

void PokerSolitaireGame::ReturnCards() {
    if (liftSource == kNoSource || !lifted.IsValid()) return;
    DropNewestUndoRecord();
    if (liftSource == kCurrentSource) {
        current = lifted;
    } else {
        const int k = kFirstReserveSource - liftSource;
        if (k >= 0 && k < kReservePiles && reserveCounts[k] < kReserveSlots) reserves[k][reserveCounts[k]++] = lifted;
    }
    lifted = Card();
    liftSource = kNoSource;
    CheckGameOver();
}

// ---- Game over ----

bool PokerSolitaireGame::CheckGameOver() {
    gameOver = endedByUser || GridFull();
    RegisterHotspots(PokerRules::Read());
    return gameOver;
}

void PokerSolitaireGame::RegisterHotspots(const PokerRules& rules) {
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

bool PokerSolitaireGame::IsWon() { return gameOver && finalScore >= TenthScore(GetName()); }

// ---- Undo ----

void PokerSolitaireGame::SaveUndo() {
    UndoWriter writer = BeginUndoRecord();
    writer.CardValue(current);
    writer.Cards(grid.data(), kCells);
    for (int32_t score : handScores) writer.Int(score);
    writer.Int(handTotal);
    for (const auto& pile : reserves) writer.Cards(pile.data(), kReserveSlots);
    for (int32_t count : reserveCounts) writer.Int(count);
    writer.Int(points);
    writer.Int(ElapsedSeconds());
    PushUndoRecord(writer);
}

void PokerSolitaireGame::Undo() {
    if (paused || gameOver) return;
    if (auto record = PopUndoRecord()) RestoreRecord(*record);
}

bool PokerSolitaireGame::RestoreRecord(std::span<const uint8_t> record) {
    UndoReader reader(record);
    if (!ReadBaseState(reader)) return false;
    Card readCurrent;
    std::array<Card, kCells> readGrid;
    std::array<int32_t, kHands> readScores;
    std::array<std::array<Card, kReserveSlots>, kReservePiles> readReserves;
    std::array<int32_t, kReservePiles> readCounts;
    int32_t readTotal = 0, readPoints = 0, elapsed = 0;
    reader.CardValue(readCurrent);
    reader.Cards(readGrid.data(), kCells);
    for (int32_t& score : readScores) reader.IntIn(score, 0, kMaxHandScore);
    reader.IntIn(readTotal, 0, kHands * kMaxHandScore);
    for (auto& pile : readReserves) reader.Cards(pile.data(), kReserveSlots);
    for (int32_t& count : readCounts) reader.IntIn(count, 0, kReserveSlots);
    reader.IntIn(readPoints, -kMaxRecordPoints, kMaxRecordPoints);
    reader.IntIn(elapsed, 0, kMaxRecordSeconds);
    if (!reader.AtEnd()) return false;

    // No card ever leaves play: stock, current card, grid and reserves hold the pack.
    PackTally tally;
    if (!tally.TakeStock(*reader.deck) || !tally.TakeSlot(readCurrent)) return false;
    for (Card card : readGrid)
        if (!tally.TakeSlot(card)) return false;
    for (int k = 0; k < kReservePiles; ++k)
        if (!tally.TakeCards(readReserves[k].data(), readCounts[k])) return false;
    if (!tally.WholePack()) return false;

    CommitBaseState(reader);
    current = readCurrent;
    grid = readGrid;
    handScores = readScores;
    handTotal = readTotal;
    reserves = readReserves;
    reserveCounts = readCounts;
    for (int k = 0; k < kReservePiles; ++k)
        for (int i = reserveCounts[k]; i < kReserveSlots; ++i) reserves[k][i] = Card();
    lifted = Card();
    liftSource = kNoSource;
    FinishUndo(readPoints, elapsed);
    return true;
}
