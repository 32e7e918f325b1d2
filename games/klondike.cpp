#include "games/klondike.h"

#include "games/game_rules.h"

#include <algorithm>

#include "framework/game_services.h"
#include "artwork/artwork.h"
#include "store/settings_store.h"

namespace {

constexpr int kPointsWasteToFoundation = 10;
constexpr int kPointsTableauToFoundation = 5;
constexpr int kPointsPerWasteCard = 5;
constexpr int kPointsTurnCard = 5;
constexpr int kTurnWasteCost = 5;

// Refresh areas of the table parts (inclusive).
constexpr int kStockAreaLeft = 78, kStockAreaTop = 69, kStockAreaRight = 152, kStockAreaBottom = 162;
constexpr int kWasteAreaLeft = 172, kWasteAreaTop = 76, kWasteAreaRight = 262, kWasteAreaBottom = 162;
constexpr int kFoundationMarginX = 4, kFoundationMarginY = 2;
constexpr int kScreenBottom = 599;

}  // namespace

KlondikeRules KlondikeRules::Read() {
    KlondikeRules rules;
    const RuleValues values(KlondikeGame::kGameNumber);
    rules.cardsDealt = values["CardsDealt"];
    rules.recycles = values["Recycles"];
    rules.startCard = values["StartCard"];
    rules.filledIn = values.On("FilledIn");
    rules.tableauStart = values.On("TableauStart");
    rules.movePartial = values.On("MovePartial");
    rules.autoFlip = values.On("AutoFlip");
    return rules;
}

KlondikeGame::KlondikeGame(Artwork* artwork) : Game(artwork, kGameNumber) {}

bool KlondikeGame::CanStack(Card moving, Card onto, bool ontoFoundation) const {
    if (moving.Rank() == startRank) return false;
    if (ontoFoundation) return moving.Rank() == NextRank(onto.Rank()) && moving.Suit() == onto.Suit();
    return onto.IsValid() && NextRank(moving.Rank()) == onto.Rank() && moving.IsRed() != onto.IsRed();
}

int KlondikeGame::FoundationAt(int x, int y) {
    if (y != kFoundationY) return -1;
    for (int i = 0; i < kFoundations; ++i)
        if (kFoundationX[i] == x) return i;
    return -1;
}

int KlondikeGame::PileDropAt(int x, int y) const {
    for (int pile = 0; pile < kPiles; ++pile)
        if (PileX(pile) == x && CardY(pileCount[pile]) == y) return pile;
    return -1;
}

void KlondikeGame::WasteTopPosition(const KlondikeRules& rules, int& x, int& y) const {
    if (rules.cardsDealt > 1) {
        x = kWasteX + kWasteFanStep * std::max(dealtThisTurn - 1, 0);
        y = kWasteY;
    } else {
        x = kWasteX + kLayerStepX * (wasteCount / kCardsPerLayer);
        y = kWasteY + kLayerStepY * (wasteCount / kCardsPerLayer);
    }
}

// ---- Deal ----

void KlondikeGame::NewGame(bool restart) {
    BeginRuledDeal(restart, "&Rules...");
    const KlondikeRules rules = KlondikeRules::Read();
    startRank = rules.startCard;
    ClearHotspots();
    turnsUsed = 0;
    dealtThisTurn = 0;
    fanDx = 0;
    fanDy = kTableauStep;
    fan2A = kWasteFanStep;
    fan2B = 0;
    SetStandardPanel();
    foundations.fill(Card());
    held.fill(Card());
    heldCount = 0;
    heldSource = kNoSource;
    waste.fill(Card());
    wasteCount = 0;
    for (auto& pile : tableau) pile.fill(Card());
    pileCount.fill(0);
    faceDownCount.fill(0);
    artwork->RestoreBackground(0, 799, 0, 599);
    for (int i = 0; i < kFoundations; ++i)
        AddDropTarget(kFoundationX[i], kFoundationY, CardHitRect(kFoundationX[i], kFoundationY), kAutoMoveKind);

    deck.SetPacks(1);
    deck.IncludeAll();
    deck.Shuffle();
    if (startRank == -1) {
        foundations[0] = deck.DealNext();
        startRank = foundations[0].Rank();
    }
    if (rules.filledIn) {
        for (int suit = 0; suit < kFoundations; ++suit) {
            foundations[suit] = Card(suit, startRank);
            deck.Exclude(foundations[suit]);
        }
    }
    artwork->DrawGameTitle(kGameNumber);
    Draw(true);
    if (Services().setGameMusic) Services().setGameMusic();

    // Row by row: one card face up to pile i, then one face down to every pile to its right.
    bool exhausted = false;
    for (int row = 0; row < kPiles && !exhausted; ++row) {
        for (int pile = row; pile < kPiles; ++pile) {
            const Card card = deck.DealNext();
            if (!card.IsValid()) {
                exhausted = true;
                break;
            }
            const bool faceDown = pile != row;
            const int index = pileCount[pile];
            tableau[pile][index] = card;
            ++pileCount[pile];
            if (faceDown) ++faceDownCount[pile];
            DrawStockArea(true);
            AnimateCard(kStockX, kStockY, PileX(pile), CardY(index), card, artwork->screenBuffer, true, true,
                        faceDown ? artwork->cardBack : -1);
            PlaySound("deal.wav");
        }
    }
    CheckGameOver();
    StartClock(0);
}

// ---- Drawing ----

void KlondikeGame::DrawStockArea(bool present) {
    const KlondikeRules rules = KlondikeRules::Read();
    if (present) artwork->RestoreBackground(kStockAreaLeft, kStockAreaRight, kStockAreaTop, kStockAreaBottom);
    artwork->DrawStock(kStockX, kStockY, artwork->cardBack, deck, artwork->screenBuffer, rules.TurnAllowed(turnsUsed));
    if (present) artwork->AddDirty({kStockAreaLeft, kStockAreaTop, kStockAreaRight, kStockAreaBottom});
}

void KlondikeGame::DrawWasteArea(bool present) {
    const KlondikeRules rules = KlondikeRules::Read();
    if (present) artwork->RestoreBackground(kWasteAreaLeft, kWasteAreaRight, kWasteAreaTop, kWasteAreaBottom);
    const int screen = artwork->screenBuffer;
    if (wasteCount == 0) {
        artwork->DrawPlaceholder(kWasteX, kWasteY, card_geometry::kPlaceholderEmptyPile, screen);
    } else if (rules.cardsDealt == 1) {
        artwork->DrawPile(kWasteX, kWasteY, waste.data(), wasteCount, screen, kNoFan);
    } else {
        artwork->DrawPile(kWasteX, kWasteY, waste.data(), wasteCount, screen, dealtThisTurn > 0 ? dealtThisTurn : 1,
                          kWasteFanStep, 0);
    }
    if (present) artwork->AddDirty({kWasteAreaLeft, kWasteAreaTop, kWasteAreaRight, kWasteAreaBottom});
}

void KlondikeGame::DrawFoundationArea(int index, bool present) {
    const int x = kFoundationX[index], y = kFoundationY;
    const int left = x - kFoundationMarginX, top = y - kFoundationMarginY;
    const int right = x + artwork->cardWidth, bottom = y + artwork->cardHeight;
    if (present) artwork->RestoreBackground(left, right, top, bottom);
    if (foundations[index].IsValid())
        artwork->DrawFoundation(x, y, foundations[index], artwork->screenBuffer, startRank, kDepthFromRanks);
    else
        artwork->DrawPlaceholder(x, y, card_geometry::kPlaceholderEmptyPile, artwork->screenBuffer);
    if (present) artwork->AddDirty({left, top, right, bottom});
}

void KlondikeGame::DrawPileArea(int pile, bool present) {
    const int x = PileX(pile);
    if (present) artwork->RestoreBackground(x, x + artwork->cardWidth, kTableauY, kScreenBottom);
    const int screen = artwork->screenBuffer;
    if (pileCount[pile] == 0) artwork->DrawPlaceholder(x, kTableauY, card_geometry::kPlaceholderEmptyPile, screen);
    for (int k = 0; k < pileCount[pile]; ++k) {
        if (k < faceDownCount[pile]) artwork->DrawCardBack(x, CardY(k), artwork->cardBack, screen);
        else artwork->DrawCard(x, CardY(k), tableau[pile][k], screen);
    }
    if (present) artwork->AddDirty({x, kTableauY, x + artwork->cardWidth, kScreenBottom});
}

void KlondikeGame::Draw(bool present) {
    artwork->RestoreBackground(0, 799, 0, 599);
    DrawStockArea(false);
    DrawWasteArea(false);
    for (int i = 0; i < kFoundations; ++i) DrawFoundationArea(i, false);
    for (int pile = 0; pile < kPiles; ++pile) DrawPileArea(pile, false);
    DrawTableFrame(present);
    CheckGameOver();
}

// ---- Moves ----

void KlondikeGame::DealToWaste(const KlondikeRules& rules) {
    dealtThisTurn = 0;
    for (int i = 0; i < rules.cardsDealt && wasteCount < kWasteSlots; ++i) {
        const Card card = deck.DealNext();
        if (!card.IsValid()) break;
        waste[wasteCount++] = card;
        ++dealtThisTurn;
    }
    CheckGameOver();
    DrawStockArea(true);
    DrawWasteArea(true);
    artwork->PresentDirty();
    PlaySound("flip.wav");
}

void KlondikeGame::TurnWaste() {
    points -= kTurnWasteCost;
    ReturnWasteToStock(waste.data(), wasteCount);
    DrawStockArea(true);
    DrawWasteArea(true);
    PlaySound("shuffle.wav");
    CheckGameOver();
    ++turnsUsed;
    DrawWasteArea(true);
    DrawStockArea(true);
    artwork->PresentDirty();
    dealtThisTurn = 0;
    CheckGameOver();
}

void KlondikeGame::TurnPileTop(int pile) {
    SaveUndo();
    points += kPointsTurnCard;
    --faceDownCount[pile];
    DrawPileArea(pile, true);
    artwork->PresentDirty();
    CheckGameOver();
}

void KlondikeGame::OnLButtonDown(WPARAM keys, int x, int y) {
    if (paused || gameOver) return;
    const KlondikeRules rules = KlondikeRules::Read();
    if (OnStockTop(x, y, kStockX, kStockY)) {
        if (deck.Remaining() > 0) {
            SaveUndo();
            DealToWaste(rules);
        } else if (rules.TurnAllowed(turnsUsed)) {
            SaveUndo();
            TurnWaste();
        } else {
            CheckGameOver();
        }
        return;
    }
    for (int pile = 0; pile < kPiles; ++pile) {
        if (pileCount[pile] < 1 || faceDownCount[pile] != pileCount[pile]) continue;
        const int top = CardY(pileCount[pile] - 1);
        if (x >= PileX(pile) && x <= PileX(pile) + artwork->cardWidth && y >= top && y <= top + artwork->cardHeight) {
            TurnPileTop(pile);
            return;
        }
    }
    Game::OnLButtonDown(keys, x, y);
    CheckGameOver();
}

void KlondikeGame::LiftCards(DragRecord& drag) {
    if (paused || gameOver) return;
    if (wasteCount > 0 && drag.cards[0] == waste[wasteCount - 1]) {
        SaveUndo();
        held.fill(Card());
        held[0] = waste[--wasteCount];
        waste[wasteCount] = Card();
        heldCount = 1;
        heldSource = kWasteSource;
        --dealtThisTurn;
        DrawWasteArea(true);
        CheckGameOver();
        return;
    }
    for (int pile = 0; pile < kPiles; ++pile) {
        if (PileX(pile) != drag.x) continue;
        for (int k = faceDownCount[pile]; k < pileCount[pile]; ++k) {
            if (CardY(k) != drag.y || tableau[pile][k] != drag.cards[0]) continue;
            const int count = pileCount[pile] - k;
            if (count > kMaxStackCards) return;
            SaveUndo();
            held.fill(Card());
            for (int i = 0; i < count; ++i) {
                held[i] = tableau[pile][k + i];
                tableau[pile][k + i] = Card();
            }
            heldCount = count;
            heldSource = pile;
            pileCount[pile] = k;
            DrawPileArea(pile, true);
            CheckGameOver();
            return;
        }
    }
}

bool KlondikeGame::CanDrop(DragRecord& drag, DropTarget& target) {
    const KlondikeRules rules = KlondikeRules::Read();
    const Card lowest = drag.cards[0];
    const int foundation = FoundationAt(target.x, target.y);
    if (foundation >= 0) {
        if (drag.count != 1) return false;
        if (!foundations[foundation].IsValid()) return lowest.Rank() == startRank;
        return CanStack(lowest, foundations[foundation], true);
    }
    const int pile = PileDropAt(target.x, target.y);
    if (pile < 0 || pileCount[pile] + drag.count > kPileSlots) return false;
    if (pileCount[pile] == 0) return !rules.tableauStart || NextRank(lowest.Rank()) == startRank;
    if (!FaceUpTop(pile)) return false;
    return CanStack(lowest, tableau[pile][pileCount[pile] - 1], false);
}

void KlondikeGame::DropCards(DragRecord& drag, DropTarget& target) {
    if (heldCount < 1 || drag.cards[0] != held[0]) {
        CheckGameOver();
        return;
    }
    const int foundation = FoundationAt(target.x, target.y);
    const int pile = foundation < 0 ? PileDropAt(target.x, target.y) : -1;
    if (foundation >= 0 && heldCount == 1) {
        points += heldSource == kWasteSource ? kPointsWasteToFoundation : kPointsTableauToFoundation;
        foundations[foundation] = held[0];
        held[0] = Card();
        heldSource = kNoSource;
        heldCount = 0;
        DrawFoundationArea(foundation, true);
        artwork->PresentDirty();
        PlaySound("foundation.wav");
        CheckGameOver();
    } else if (pile >= 0 && pileCount[pile] + heldCount <= kPileSlots) {
        if (heldSource == kWasteSource) points += kPointsPerWasteCard * heldCount;
        for (int i = 0; i < heldCount; ++i) {
            tableau[pile][pileCount[pile]++] = held[i];
            held[i] = Card();
        }
        DrawPileArea(pile, true);
        artwork->PresentDirty();
        PlaySound("tableau.wav");
        heldSource = kNoSource;
        heldCount = 0;
        CheckGameOver();
    } else {
        CheckGameOver();
    }
}

void KlondikeGame::ReturnCards() {
    if (heldSource == kNoSource || heldCount < 1) return;
    DropNewestUndoRecord();
    if (heldSource == kWasteSource) {
        if (wasteCount < kWasteSlots) waste[wasteCount++] = held[0];
        ++dealtThisTurn;
        // The slide back drew the card where it was picked up, but the waste's depth may have
        // changed with its count: draw the waste again.
        DrawWasteArea(true);
        artwork->PresentDirty();
    } else {
        for (int i = 0; i < heldCount && pileCount[heldSource] < kPileSlots; ++i)
            tableau[heldSource][pileCount[heldSource]++] = held[i];
    }
    held.fill(Card());
    heldSource = kNoSource;
    heldCount = 0;
    CheckGameOver();
}

void KlondikeGame::AfterMove() {
    if (!KlondikeRules::Read().autoFlip) return;
    for (int pile = 0; pile < kPiles; ++pile)
        if (pileCount[pile] >= 1 && faceDownCount[pile] == pileCount[pile]) TurnPileTop(pile);
}

// ---- Game over ----

bool KlondikeGame::DecideGameOver(const KlondikeRules& rules) const {
    if (endedByUser) return true;
    if (dragging) return false;
    for (int pile = 0; pile < kPiles; ++pile)
        if (pileCount[pile] > 0 && faceDownCount[pile] == pileCount[pile]) return false;
    const int stockSize = deck.Remaining();
    if (turnsUsed == 0 && stockSize > 0) return false;

    // Cards that can still come into play from stock and waste.
    std::array<Card, kMaxCandidates> candidates;
    int count = 0;
    auto add = [&](Card card) {
        if (card.IsValid() && count < kMaxCandidates) candidates[count++] = card;
    };
    if (wasteCount > 0) add(waste[wasteCount - 1]);
    const int step = rules.cardsDealt;
    for (int offset = step - 1; offset < stockSize; offset += step) add(deck.Peek(offset));
    if (stockSize > 0) add(deck.Peek(stockSize - 1));
    if (rules.TurnAllowed(turnsUsed)) {
        for (int index = step - 1; index < wasteCount + stockSize; index += step)
            add(index < wasteCount ? waste[index] : deck.Peek(index - wasteCount));
    }
    auto fillsEmptyPile = [&](Card card) { return !rules.tableauStart || NextRank(card.Rank()) == startRank; };

    for (int c = 0; c < count; ++c) {
        for (int pile = 0; pile < kPiles; ++pile) {
            if (pileCount[pile] == 0) {
                if (fillsEmptyPile(candidates[c])) return false;
            } else if (FaceUpTop(pile) && CanStack(candidates[c], tableau[pile][pileCount[pile] - 1], false)) {
                return false;
            }
        }
    }

    for (int i = 0; i < kPiles; ++i) {
        if (!FaceUpTop(i)) continue;
        const Card lowest = tableau[i][faceDownCount[i]];
        for (int j = 0; j < kPiles; ++j) {
            if (j == i) continue;
            if (FaceUpTop(j) && CanStack(lowest, tableau[j][pileCount[j] - 1], false)) {
                if (faceDownCount[i] > 0) return false;
                // Moving the whole pile empties it: worth it only if something can then fill it.
                if (!rules.tableauStart) return false;
                for (int c = 0; c < count; ++c)
                    if (NextRank(candidates[c].Rank()) == startRank) return false;
                for (int k = 0; k < kPiles; ++k) {
                    if (k == j || faceDownCount[k] == 0 || !FaceUpTop(k)) continue;
                    if (NextRank(tableau[k][faceDownCount[k]].Rank()) == startRank) return false;
                }
            }
            if (pileCount[j] == 0 && faceDownCount[i] > 0 && fillsEmptyPile(lowest)) return false;
        }
    }

    for (int pile = 0; pile < kPiles; ++pile)
        if (FaceUpTop(pile)) add(tableau[pile][pileCount[pile] - 1]);
    if (rules.movePartial) {
        for (int i = 0; i < kPiles; ++i) {
            for (int m = faceDownCount[i] + 1; m < pileCount[i]; ++m) {
                for (int j = 0; j < kPiles; ++j) {
                    if (j != i && FaceUpTop(j) && CanStack(tableau[i][m], tableau[j][pileCount[j] - 1], false))
                        add(tableau[i][m - 1]);
                }
            }
        }
    }
    for (int c = 0; c < count; ++c) {
        for (int f = 0; f < kFoundations; ++f) {
            if (candidates[c].Rank() == startRank) return false;
            if (foundations[f].IsValid() && CanStack(candidates[c], foundations[f], true)) return false;
        }
    }
    return true;
}

bool KlondikeGame::CheckGameOver() {
    const KlondikeRules rules = KlondikeRules::Read();
    gameOver = DecideGameOver(rules);
    if (gameOver && !AutoGameOverOn() && !endedByUser) gameOver = IsWon();
    RegisterPickups(rules);
    RegisterDropTargets();
    return gameOver;
}

void KlondikeGame::RegisterPickups(const KlondikeRules& rules) {
    pickups.clear();
    if (wasteCount > 0) {
        int x = 0, y = 0;
        WasteTopPosition(rules, x, y);
        AddPickup(x, y, &waste[wasteCount - 1], 1);
    }
    for (int pile = 0; pile < kPiles; ++pile) {
        if (!FaceUpTop(pile)) continue;
        const int top = pileCount[pile] - 1;
        AddPickup(PileX(pile), CardY(top), &tableau[pile][top], 1);
        const int lowest = faceDownCount[pile];
        if (rules.movePartial) {
            for (int k = top - 1; k >= lowest; --k)
                if (pileCount[pile] - k <= kMaxStackCards) AddPickup(PileX(pile), CardY(k), &tableau[pile][k], pileCount[pile] - k);
        } else if (top > lowest && pileCount[pile] - lowest <= kMaxStackCards) {
            AddPickup(PileX(pile), CardY(lowest), &tableau[pile][lowest], pileCount[pile] - lowest);
        }
    }
}

void KlondikeGame::RegisterDropTargets() {
    dropTargets.clear();
    for (int i = 0; i < kFoundations; ++i)
        AddDropTarget(kFoundationX[i], kFoundationY, CardHitRect(kFoundationX[i], kFoundationY), kAutoMoveKind);
    for (int pile = 0; pile < kPiles; ++pile) {
        if (pileCount[pile] > 0 && !FaceUpTop(pile)) continue;
        const int y = CardY(pileCount[pile]);
        AddDropTarget(PileX(pile), y, CardHitRect(PileX(pile), y), kPlainTargetKind);
    }
}

bool KlondikeGame::IsWon() {
    if (!gameOver || wasteCount != 0 || deck.Remaining() != 0) return false;
    for (int pile = 0; pile < kPiles; ++pile)
        if (pileCount[pile] != 0) return false;
    return true;
}

double KlondikeGame::GetScoreFactor() {
    const KlondikeRules rules = KlondikeRules::Read();
    double factor = rules.movePartial ? 0.95 : 1.0;
    if (rules.tableauStart) factor *= 1.25;
    if (rules.filledIn) factor *= 0.9;
    if (rules.cardsDealt == 2) factor *= 1.1;
    if (rules.cardsDealt == 3) factor *= 1.2;
    return factor;
}

// ---- Undo ----

void KlondikeGame::SaveUndo() {
    UndoWriter writer = BeginUndoRecord();
    writer.Cards(foundations.data(), kFoundations);
    writer.Cards(held.data(), kMaxStackCards);
    writer.Cards(waste.data(), kWasteSlots);
    writer.Int(wasteCount);
    for (const auto& pile : tableau) writer.Cards(pile.data(), kPileSlots);
    for (int32_t count : pileCount) writer.Int(count);
    for (int32_t count : faceDownCount) writer.Int(count);
    writer.Int(points);
    writer.Int(ElapsedSeconds());
    PushUndoRecord(writer);
}

void KlondikeGame::Undo() {
    if (paused || gameOver) return;
    if (auto record = PopUndoRecord()) RestoreRecord(*record);
}

bool KlondikeGame::RestoreRecord(std::span<const uint8_t> record) {
    UndoReader reader(record);
    if (!ReadBaseState(reader)) return false;
    std::array<Card, kFoundations> readFoundations;
    std::array<Card, kMaxStackCards> readHeld;
    std::array<Card, kWasteSlots> readWaste;
    std::array<std::array<Card, kPileSlots>, kPiles> readTableau;
    std::array<int32_t, kPiles> readCounts, readFaceDown;
    int32_t readWasteCount = 0, readPoints = 0, elapsed = 0;
    reader.Cards(readFoundations.data(), kFoundations);
    reader.Cards(readHeld.data(), kMaxStackCards);
    reader.Cards(readWaste.data(), kWasteSlots);
    reader.IntIn(readWasteCount, 0, kWasteSlots);
    for (auto& pile : readTableau) reader.Cards(pile.data(), kPileSlots);
    for (int32_t& count : readCounts) reader.IntIn(count, 0, kPileSlots);
    for (int pile = 0; pile < kPiles; ++pile) reader.IntIn(readFaceDown[pile], 0, reader.Ok() ? readCounts[pile] : 0);
    reader.IntIn(readPoints, -kMaxRecordPoints, kMaxRecordPoints);
    reader.IntIn(elapsed, 0, kMaxRecordSeconds);
    if (!reader.AtEnd()) return false;

    // Every card of the pack exactly once: stock, waste, piles, and each foundation's cards from
    // the starting rank up to its top (a foundation keeps only its top card).
    PackTally tally;
    if (!tally.TakeStock(*reader.deck) || !tally.TakeCards(readWaste.data(), readWasteCount)) return false;
    for (int pile = 0; pile < kPiles; ++pile)
        if (!tally.TakeCards(readTableau[pile].data(), readCounts[pile])) return false;
    // The record does not hold the starting rank, and an undo may reach back into the previous
    // deal, whose rank could differ: the rank is the one under which the foundations complete the
    // pack, the current one first.
    const int32_t recordRank = tally.FoundationStart(readFoundations, startRank);
    if (recordRank < 0) return false;

    CommitBaseState(reader);
    startRank = recordRank;
    foundations = readFoundations;
    held.fill(Card());
    heldCount = 0;
    heldSource = kNoSource;
    waste = readWaste;
    wasteCount = readWasteCount;
    ClearPastCount(waste, wasteCount);
    tableau = readTableau;
    pileCount = readCounts;
    faceDownCount = readFaceDown;
    FinishUndo(readPoints, elapsed);
    return true;
}
