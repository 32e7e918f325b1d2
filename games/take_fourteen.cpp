#include "games/take_fourteen.h"

#include <algorithm>

#include "framework/game_services.h"
#include "shell/artwork.h"

namespace {

constexpr int kPointsPerPair = 10;
constexpr int kUndoPenalty = 5;
// Four rounds to every pile, then a fifth card to the first four: 52 cards.
constexpr int kFullRounds = 4;
constexpr int kPilesInLastRound = 4;
constexpr int kStockMargin = 12;
constexpr int kPileAreaBottom = TakeFourteenGame::kPileY + TakeFourteenGame::kFanStep * 4 + 82;

}  // namespace

TakeFourteenGame::TakeFourteenGame(Artwork* artwork) : Game(artwork, kGameNumber) {}

int TakeFourteenGame::PileCount(int pile) const {
    int count = 0;
    while (count < kPileSlots && piles[pile][count].IsValid()) ++count;
    return count;
}

Card TakeFourteenGame::Top(int pile) const {
    const int count = PileCount(pile);
    return count > 0 ? piles[pile][count - 1] : Card();
}

// ---- Deal ----

void TakeFourteenGame::NewGame(bool) {
    ResetForNewDeal();
    artwork->LoadTheme(Artwork::kPreferredTheme);
    ClearHotspots();
    fanDx = kPilePitch;
    fanDy = kFanStep;
    fan2A = 10;
    fan2B = 0;
    SetStandardPanel();
    for (auto& pile : piles) pile.fill(Card());
    selected.fill(0);
    selectedCount = 0;

    deck.SetPacks(1);
    deck.IncludeAll();
    deck.Shuffle();
    artwork->DrawGameTitle(kGameNumber);
    Draw(true);
    if (Services().setGameMusic) Services().setGameMusic();

    for (int round = 0; round <= kFullRounds; ++round) {
        const int pilesThisRound = round < kFullRounds ? kPiles : kPilesInLastRound;
        for (int pile = 0; pile < pilesThisRound; ++pile) {
            const Card card = deck.DealNext();
            if (!card.IsValid()) continue;
            DrawStockArea(true);
            artwork->PresentDirty();
            AnimateCard(kStockX, kStockY, PileX(pile), CardY(round), card, artwork->screenBuffer, true, true, -1);
            piles[pile][round] = card;
            PlaySound("flip.wav");
        }
    }
    DrawStockArea(true);
    artwork->PresentDirty();
    CheckGameOver();
    StartClock(0);
}

// ---- Drawing ----

void TakeFourteenGame::DrawStockArea(bool present) {
    const int left = kStockX - kStockMargin, top = kStockY - kStockMargin;
    const int right = kStockX + artwork->cardWidth, bottom = kStockY + artwork->cardHeight;
    if (present) artwork->RestoreBackground(left, right, top, bottom);
    artwork->DrawStock(kStockX, kStockY, artwork->cardBack, deck, artwork->screenBuffer, false);
    if (present) artwork->AddDirty({left, top, right, bottom});
}

void TakeFourteenGame::DrawPile(int pile, bool present) {
    const int x = PileX(pile), right = x + artwork->cardWidth;
    if (present) artwork->RestoreBackground(x, right, kPileY, kPileAreaBottom);
    const int screen = artwork->screenBuffer;
    const int count = PileCount(pile);
    if (count == 0) artwork->DrawPlaceholder(x, kPileY, card_geometry::kPlaceholderEmptyPile, screen);
    for (int k = 0; k < count; ++k) artwork->DrawCard(x, CardY(k), piles[pile][k], screen, k == count - 1 && selected[pile]);
    if (present) artwork->AddDirty({x, kPileY, right, kPileAreaBottom});
}

void TakeFourteenGame::Draw(bool present) {
    artwork->RestoreBackground(0, 799, 0, 599);
    DrawStockArea(false);
    for (int pile = 0; pile < kPiles; ++pile) DrawPile(pile, false);
    DrawStatus(false);
    // The panel stands over the right end of the menu bar, so it comes after it.
    DrawMenuBar();
    ForgetPanel();
    DrawTable(-1);
    if (present) artwork->Present();
}

// ---- Moves ----

void TakeFourteenGame::OnLButtonDown(WPARAM keys, int x, int y) {
    if (paused || gameOver) return;
    for (int pile = 0; pile < kPiles; ++pile) {
        const int count = PileCount(pile);
        if (count == 0) continue;
        const int top = CardY(count - 1);
        if (x < PileX(pile) || x > PileX(pile) + artwork->cardWidth || y < top || y > top + artwork->cardHeight) continue;
        if (selected[pile]) {
            SaveUndo();
            selected[pile] = 0;
            --selectedCount;
        } else if (selectedCount < 2) {
            SaveUndo();
            selected[pile] = 1;
            ++selectedCount;
            if (selectedCount == 2 && !TryPair()) {
                selected[pile] = 0;
                --selectedCount;
            }
        }
        DrawPile(pile, true);
    }
    Game::OnLButtonDown(keys, x, y);
    if (selectedCount > 2) {
        selected.fill(0);
        selectedCount = 0;
    }
    artwork->PresentDirty();
    CheckGameOver();
}

bool TakeFourteenGame::TryPair() {
    int low = -1, high = -1;
    for (int pile = 0; pile < kPiles; ++pile) {
        if (!selected[pile]) continue;
        if (low < 0) low = pile;
        else high = pile;
    }
    if (low < 0 || high < 0 || Top(low).PipValue() + Top(high).PipValue() != kPairSum) return false;
    for (int pile : {low, high}) {
        piles[pile][PileCount(pile) - 1] = Card();
        selected[pile] = 0;
        DrawPile(pile, true);
    }
    artwork->PresentDirty();
    points += kPointsPerPair;
    selectedCount -= 2;
    return true;
}

// Nothing is ever dragged: there are no pick-ups.
void TakeFourteenGame::DropCards(DragRecord&, DropTarget&) {}
void TakeFourteenGame::LiftCards(DragRecord&) {}
void TakeFourteenGame::ReturnCards() {}
bool TakeFourteenGame::CanDrop(DragRecord&, DropTarget&) { return false; }

// ---- Game over ----

bool TakeFourteenGame::PairAvailable() const {
    for (int i = 0; i < kPiles; ++i) {
        const Card a = Top(i);
        if (!a.IsValid()) continue;
        for (int j = i + 1; j < kPiles; ++j) {
            const Card b = Top(j);
            if (b.IsValid() && a.PipValue() + b.PipValue() == kPairSum) return true;
        }
    }
    return false;
}

bool TakeFourteenGame::CheckGameOver() {
    gameOver = endedByUser || !PairAvailable();
    if (gameOver && !AutoGameOverOn() && !endedByUser) gameOver = IsWon();
    return gameOver;
}

bool TakeFourteenGame::IsWon() {
    for (int pile = 0; pile < kPiles; ++pile)
        if (piles[pile][0].IsValid()) return false;
    return true;
}

// ---- Undo ----

void TakeFourteenGame::SaveUndo() {
    UndoWriter writer = BeginUndoRecord();
    for (const auto& pile : piles) writer.Cards(pile.data(), kPileSlots);
    writer.Bytes().insert(writer.Bytes().end(), selected.begin(), selected.end());
    writer.Int(selectedCount);
    writer.Int(points);
    writer.Int(ElapsedSeconds());
    PushUndoRecord(writer);
}

void TakeFourteenGame::Undo() {
    if (paused || gameOver) return;
    PlaySound("undo.wav");
    if (auto record = PopUndoRecord()) RestoreRecord(*record);
}

bool TakeFourteenGame::RestoreRecord(std::span<const uint8_t> record) {
    UndoReader reader(record);
    if (!ReadBaseState(reader)) return false;
    std::array<std::array<Card, kPileSlots>, kPiles> readPiles;
    for (auto& pile : readPiles) reader.Cards(pile.data(), kPileSlots);
    const auto flags = reader.Take(kPiles);
    int32_t readCount = 0, readPoints = 0, elapsed = 0;
    reader.IntIn(readCount, 0, 2);
    reader.IntIn(readPoints, -kMaxRecordPoints, kMaxRecordPoints);
    reader.IntIn(elapsed, 0, kMaxRecordSeconds);
    if (!flags || !reader.AtEnd()) return false;

    // Every card at most once, piles without holes, and flags only on piles that hold cards.
    PackTally tally;
    if (!tally.TakeStock(*reader.deck)) return false;
    std::array<uint8_t, kPiles> readSelected;
    int flagged = 0;
    for (int pile = 0; pile < kPiles; ++pile) {
        bool ended = false;
        for (Card card : readPiles[pile]) {
            if (!card.IsValid()) {
                ended = true;
                continue;
            }
            if (ended || !tally.Take(card)) return false;
        }
        readSelected[pile] = (*flags)[pile];
        if (readSelected[pile] > 1 || (readSelected[pile] && !readPiles[pile][0].IsValid())) return false;
        flagged += readSelected[pile];
    }
    if (flagged != readCount) return false;

    CommitBaseState(reader);
    piles = readPiles;
    selected = readSelected;
    selectedCount = readCount;
    points = readPoints - kUndoPenalty;
    StartClock(elapsed);
    CheckGameOver();
    Draw(true);
    return true;
}
