#include "games/agnes.h"

#include "games/game_rules.h"

#include <algorithm>

#include "framework/game_services.h"
#include "artwork/artwork.h"
#include "store/settings_store.h"

namespace {

constexpr int kPointsToFoundation = 5;
constexpr int kPointsTurnCard = 5;
constexpr int kScreenBottom = 599;
// The stock grows up and to the left as it thickens; a foundation a little less.
constexpr int kStockMarginX = 22, kStockMarginY = 11;
constexpr int kFoundationMarginX = 4, kFoundationMarginY = 2;

}  // namespace

AgnesRules AgnesRules::Read() {
    AgnesRules rules;
    const RuleValues values(AgnesGame::kGameNumber);
    rules.movePartial = values.On("MovePartial");
    rules.autoFlip = values.On("AutoFlip");
    rules.filledIn = values.On("FilledIn");
    rules.tableauStart = values.On("TableauStart");
    rules.startCard = values["StartCard"];
    return rules;
}

AgnesGame::AgnesGame(Artwork* artwork) : Game(artwork, kGameNumber) {}

bool AgnesGame::CanPlay(Card card, Card top, bool toFoundation) const {
    if (!card.IsValid() || !top.IsValid() || card.Rank() == startRank) return false;
    if (toFoundation) return NextRank(top.Rank()) == card.Rank() && card.Suit() == top.Suit();
    return NextRank(card.Rank()) == top.Rank() && card.IsRed() != top.IsRed();
}

bool AgnesGame::FillsEmptyPile(Card card, const AgnesRules& rules) const {
    return !rules.tableauStart || NextRank(card.Rank()) == startRank;
}

int AgnesGame::FoundationAt(int x, int y) {
    if (x != kFoundationX) return -1;
    for (int f = 0; f < kFoundations; ++f)
        if (FoundationY(f) == y) return f;
    return -1;
}

int AgnesGame::PileDropAt(int x, int y) const {
    for (int pile = 0; pile < kPiles; ++pile)
        if (PileX(pile) == x && CardY(pileCount[pile]) == y) return pile;
    return -1;
}

void AgnesGame::ClearHeld() {
    held.fill(Card());
    heldCount = 0;
    heldSource = kNoSource;
}

// ---- Deal ----

void AgnesGame::NewGame(bool restart) {
    BeginRuledDeal(restart);
    ClearHotspots();
    fanDx = 0;
    fanDy = kTableauStep;
    fan2A = 10;
    fan2B = 0;
    SetStandardPanel();
    foundations.fill(Card());
    for (auto& pile : tableau) pile.fill(Card());
    pileCount.fill(0);
    faceDownCount.fill(0);
    for (auto& pile : reserve) pile.fill(Card());
    reserveCount.fill(0);
    reserveDealt.fill(0);
    ClearHeld();
    artwork->RestoreBackground(0, 799, 0, 599);
    artwork->Present();
    for (int f = 0; f < kFoundations; ++f)
        AddDropTarget(kFoundationX, FoundationY(f), CardHitRect(kFoundationX, FoundationY(f)), kAutoMoveKind);

    deck.SetPacks(1);
    deck.IncludeAll();
    deck.Shuffle();
    const AgnesRules rules = AgnesRules::Read();
    startRank = rules.startCard;
    if (!rules.filledIn && startRank == -1) {
        foundations[0] = deck.DealNext();
        startRank = foundations[0].Rank();
    } else if (rules.filledIn) {
        if (startRank == -1) startRank = deck.Peek(0).Rank();
        for (int suit = 0; suit < kFoundations; ++suit) {
            foundations[suit] = Card(suit, startRank);
            deck.Exclude(foundations[suit]);
        }
    }
    artwork->DrawGameTitle(kGameNumber);
    Draw(true);
    if (Services().setGameMusic) Services().setGameMusic();

    // Row by row: one card face up to pile `row`, then one face down to every pile to its right.
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

void AgnesGame::DrawStockArea(bool present) {
    const int left = kStockX - kStockMarginX, top = kStockY - kStockMarginY;
    const int right = kStockX + artwork->cardWidth, bottom = kStockY + artwork->cardHeight;
    if (present) artwork->RestoreBackground(left, right, top, bottom);
    artwork->DrawStock(kStockX, kStockY, artwork->cardBack, deck, artwork->screenBuffer, false);
    if (present) artwork->AddDirty({left, top, right, bottom});
}

void AgnesGame::DrawFoundationArea(int f, bool present) {
    const int x = kFoundationX, y = FoundationY(f);
    const int left = x - kFoundationMarginX, top = y - kFoundationMarginY;
    const int right = x + artwork->cardWidth, bottom = y + artwork->cardHeight;
    if (present) artwork->RestoreBackground(left, right, top, bottom);
    if (foundations[f].IsValid())
        artwork->DrawFoundation(x, y, foundations[f], artwork->screenBuffer, startRank, kDepthFromRanks);
    else
        artwork->DrawPlaceholder(x, y, card_geometry::kPlaceholderEmptyPile, artwork->screenBuffer);
    if (present) artwork->AddDirty({left, top, right, bottom});
}

void AgnesGame::DrawPileArea(int pile, bool present) {
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

// An empty reserve pile shows nothing: no card is ever played onto it.
void AgnesGame::DrawReserveArea(int pile, bool present) {
    const int x = ReserveX(pile);
    const int bottom = ReserveY(kReserveSlots - 1) + artwork->cardHeight;
    if (present) artwork->RestoreBackground(x, x + artwork->cardWidth, kReserveY, bottom);
    for (int k = 0; k < reserveCount[pile]; ++k) artwork->DrawCard(x, ReserveY(k), reserve[pile][k], artwork->screenBuffer);
    if (present) artwork->AddDirty({x, kReserveY, x + artwork->cardWidth, bottom});
}

void AgnesGame::Draw(bool present) {
    artwork->RestoreBackground(0, 799, 0, 599);
    DrawStockArea(false);
    for (int f = 0; f < kFoundations; ++f) DrawFoundationArea(f, false);
    for (int pile = 0; pile < kPiles; ++pile) DrawPileArea(pile, false);
    for (int pile = 0; pile < kReservePiles; ++pile) DrawReserveArea(pile, false);
    DrawTableFrame(present);
    CheckGameOver();
}

// ---- Moves ----

// One card from the stock onto each reserve pile firstPile..lastPile. A pile already holding its
// three cards (only possible with a fixed starting card and no filled-in foundations, when a
// fourth click deals the last three cards) passes its card to the next pile with room.
void AgnesGame::DealToReserve(int firstPile, int lastPile) {
    for (int pile = firstPile; pile <= lastPile; ++pile) {
        int to = pile;
        for (int step = 0; step < kReservePiles && reserveCount[to] >= kReserveSlots; ++step)
            to = (to + 1) % kReservePiles;
        if (reserveCount[to] >= kReserveSlots) return;
        const Card card = deck.DealNext();
        if (!card.IsValid()) return;
        const int index = reserveCount[to];
        reserveDealt[to] = index;
        DrawStockArea(true);
        AnimateCard(kStockX, kStockY, ReserveX(to), ReserveY(index), card, artwork->screenBuffer, true, true, -1);
        reserve[to][index] = card;
        ++reserveCount[to];
    }
}

void AgnesGame::TurnPileTop(int pile) {
    SaveUndo();
    points += kPointsTurnCard;
    --faceDownCount[pile];
    DrawPileArea(pile, true);
    artwork->PresentDirty();
    CheckGameOver();
}

void AgnesGame::OnLButtonDown(WPARAM keys, int x, int y) {
    if (paused || gameOver) return;
    if (OnStockTop(x, y, kStockX, kStockY)) {
        if (deck.Remaining() == 0) return;
        SaveUndo();
        DealToReserve(0, kDealtReservePiles - 1);
        CheckGameOver();
        DrawStockArea(true);
        for (int pile = 0; pile < kReservePiles; ++pile) DrawReserveArea(pile, true);
        artwork->PresentDirty();
        if (deck.Remaining() == kReservePiles - kDealtReservePiles) {
            SaveUndo();
            DealToReserve(kDealtReservePiles, kReservePiles - 1);
            CheckGameOver();
            DrawStockArea(true);
            for (int pile = kDealtReservePiles; pile < kReservePiles; ++pile) DrawReserveArea(pile, true);
            artwork->PresentDirty();
        }
        CheckGameOver();
        return;
    }
    for (int pile = 0; pile < kPiles; ++pile) {
        if (!AllFaceDown(pile)) continue;
        const int top = CardY(pileCount[pile] - 1);
        if (x >= PileX(pile) && x <= PileX(pile) + artwork->cardWidth && y >= top && y <= top + artwork->cardHeight) {
            TurnPileTop(pile);
            return;
        }
    }
    Game::OnLButtonDown(keys, x, y);
    CheckGameOver();
}

void AgnesGame::LiftCards(DragRecord& drag) {
    if (paused || gameOver) return;
    for (int pile = 0; pile < kReservePiles; ++pile) {
        const int count = reserveCount[pile];
        if (count == 0 || ReserveX(pile) != drag.x || ReserveY(count - 1) != drag.y) continue;
        if (reserve[pile][count - 1] != drag.cards[0]) continue;
        SaveUndo();
        ClearHeld();
        held[0] = reserve[pile][count - 1];
        reserve[pile][count - 1] = Card();
        --reserveCount[pile];
        heldCount = 1;
        heldSource = kReserveSource + pile;
        DrawReserveArea(pile, true);
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
            ClearHeld();
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

bool AgnesGame::CanDrop(DragRecord& drag, DropTarget& target) {
    const Card lowest = drag.cards[0];
    const int foundation = FoundationAt(target.x, target.y);
    if (foundation >= 0) {
        if (drag.count != 1) return false;
        if (!foundations[foundation].IsValid()) return lowest.Rank() == startRank;
        return CanPlay(lowest, foundations[foundation], true);
    }
    const int pile = PileDropAt(target.x, target.y);
    if (pile < 0 || pileCount[pile] + drag.count > kPileSlots) return false;
    if (pileCount[pile] == 0) return FillsEmptyPile(lowest, AgnesRules::Read());
    if (!FaceUpTop(pile)) return false;
    return CanPlay(lowest, tableau[pile][pileCount[pile] - 1], false);
}

void AgnesGame::DropCards(DragRecord& drag, DropTarget& target) {
    if (heldCount < 1 || drag.cards[0] != held[0]) {
        CheckGameOver();
        return;
    }
    const int foundation = FoundationAt(target.x, target.y);
    const int pile = foundation < 0 ? PileDropAt(target.x, target.y) : -1;
    if (foundation >= 0 && heldCount == 1) {
        points += kPointsToFoundation;
        foundations[foundation] = held[0];
        ClearHeld();
        PlaySound("foundation.wav");
        DrawFoundationArea(foundation, true);
        artwork->PresentDirty();
    } else if (pile >= 0 && pileCount[pile] + heldCount <= kPileSlots) {
        for (int i = 0; i < heldCount; ++i) tableau[pile][pileCount[pile]++] = held[i];
        DrawPileArea(pile, true);
        artwork->PresentDirty();
        PlaySound("tableau.wav");
        ClearHeld();
    }
    CheckGameOver();
}

void AgnesGame::ReturnCards() {
    if (heldSource == kNoSource || heldCount < 1) return;
    DropNewestUndoRecord();
    if (heldSource >= kReserveSource) {
        const int pile = heldSource - kReserveSource;
        if (reserveCount[pile] < kReserveSlots) reserve[pile][reserveCount[pile]++] = held[0];
    } else {
        for (int i = 0; i < heldCount && pileCount[heldSource] < kPileSlots; ++i)
            tableau[heldSource][pileCount[heldSource]++] = held[i];
    }
    ClearHeld();
    CheckGameOver();
}

void AgnesGame::AfterMove() {
    if (!AgnesRules::Read().autoFlip) return;
    for (int pile = 0; pile < kPiles; ++pile)
        if (AllFaceDown(pile)) TurnPileTop(pile);
}

// ---- Game over ----

bool AgnesGame::DecideGameOver(const AgnesRules& rules) const {
    if (endedByUser) return true;
    if (dragging || deck.Remaining() > 0) return false;
    for (int pile = 0; pile < kPiles; ++pile)
        if (AllFaceDown(pile)) return false;
    auto fitsFoundation = [&](Card card) {
        if (card.Rank() == startRank) return true;
        for (Card top : foundations)
            if (top.IsValid() && CanPlay(card, top, true)) return true;
        return false;
    };

    for (int r = 0; r < kReservePiles; ++r) {
        if (reserveCount[r] == 0) continue;
        const Card card = reserve[r][reserveCount[r] - 1];
        if (fitsFoundation(card)) return false;
        for (int pile = 0; pile < kPiles; ++pile) {
            if (FaceUpTop(pile) && CanPlay(card, tableau[pile][pileCount[pile] - 1], false)) return false;
            if (pileCount[pile] == 0 && FillsEmptyPile(card, rules)) return false;
        }
    }

    for (int c = 0; c < kPiles; ++c) {
        if (!FaceUpTop(c)) continue;
        const Card lowest = tableau[c][faceDownCount[c]];
        for (int k = 0; k < kPiles; ++k) {
            if (k == c) continue;
            if (FaceUpTop(k) && CanPlay(lowest, tableau[k][pileCount[k] - 1], false)) {
                if (faceDownCount[c] > 0) return false;
                // Moving the whole pile empties it: worth it only if something can then fill it.
                if (!rules.tableauStart) return false;
                for (int third = 0; third < kPiles; ++third) {
                    if (third == c || faceDownCount[third] == 0 || !FaceUpTop(third)) continue;
                    if (NextRank(tableau[third][faceDownCount[third]].Rank()) == startRank) return false;
                }
            }
            if (pileCount[k] == 0 && faceDownCount[c] > 0 && FillsEmptyPile(lowest, rules)) return false;
        }
    }

    std::array<Card, kMaxCandidates> candidates;
    int count = 0;
    auto add = [&](Card card) {
        if (card.IsValid() && count < kMaxCandidates) candidates[count++] = card;
    };
    for (int pile = 0; pile < kPiles; ++pile)
        if (FaceUpTop(pile)) add(tableau[pile][pileCount[pile] - 1]);
    if (rules.movePartial) {
        for (int c = 0; c < kPiles; ++c)
            for (int i = faceDownCount[c] + 1; i < pileCount[c]; ++i)
                for (int k = 0; k < kPiles; ++k)
                    if (k != c && FaceUpTop(k) && CanPlay(tableau[c][i], tableau[k][pileCount[k] - 1], false))
                        add(tableau[c][i - 1]);
    }
    for (int i = 0; i < count; ++i)
        if (fitsFoundation(candidates[i])) return false;
    return true;
}

bool AgnesGame::CheckGameOver() {
    const AgnesRules rules = AgnesRules::Read();
    gameOver = DecideGameOver(rules);
    if (gameOver && !AutoGameOverOn() && !endedByUser) gameOver = IsWon();
    RegisterHotspots(rules);
    return gameOver;
}

void AgnesGame::RegisterHotspots(const AgnesRules& rules) {
    pickups.clear();
    dropTargets.clear();
    if (paused || gameOver) return;
    for (int pile = 0; pile < kPiles; ++pile) {
        if (!FaceUpTop(pile)) continue;
        const int top = pileCount[pile] - 1, lowest = faceDownCount[pile];
        AddPickup(PileX(pile), CardY(top), &tableau[pile][top], 1);
        if (rules.movePartial) {
            for (int k = top - 1; k >= lowest; --k)
                if (pileCount[pile] - k <= kMaxStackCards) AddPickup(PileX(pile), CardY(k), &tableau[pile][k], pileCount[pile] - k);
        } else if (top > lowest && pileCount[pile] - lowest <= kMaxStackCards) {
            AddPickup(PileX(pile), CardY(lowest), &tableau[pile][lowest], pileCount[pile] - lowest);
        }
    }
    for (int pile = 0; pile < kReservePiles; ++pile) {
        const int count = reserveCount[pile];
        if (count > 0) AddPickup(ReserveX(pile), ReserveY(count - 1), &reserve[pile][count - 1], 1);
    }
    for (int f = 0; f < kFoundations; ++f)
        AddDropTarget(kFoundationX, FoundationY(f), CardHitRect(kFoundationX, FoundationY(f)), kAutoMoveKind);
    for (int pile = 0; pile < kPiles; ++pile) {
        if (AllFaceDown(pile)) continue;
        const int y = CardY(pileCount[pile]);
        AddDropTarget(PileX(pile), y, CardHitRect(PileX(pile), y), kPlainTargetKind);
    }
}

bool AgnesGame::IsWon() {
    if (!gameOver || heldCount != 0 || deck.Remaining() != 0) return false;
    for (int pile = 0; pile < kPiles; ++pile)
        if (pileCount[pile] != 0) return false;
    for (int pile = 0; pile < kReservePiles; ++pile)
        if (reserveCount[pile] != 0) return false;
    return true;
}

double AgnesGame::GetScoreFactor() {
    const AgnesRules rules = AgnesRules::Read();
    double factor = rules.movePartial ? 0.95 : 1.0;
    if (rules.filledIn) factor *= 0.9;
    if (rules.tableauStart) factor *= 1.25;
    return factor;
}

// ---- Undo ----

void AgnesGame::SaveUndo() {
    if (paused || gameOver) return;
    UndoWriter writer = BeginUndoRecord();
    writer.Cards(foundations.data(), kFoundations);
    writer.Cards(held.data(), kMaxStackCards);
    for (const auto& pile : tableau) writer.Cards(pile.data(), kPileSlots);
    for (int32_t count : pileCount) writer.Int(count);
    for (int32_t count : faceDownCount) writer.Int(count);
    writer.Int(points);
    writer.Int(ElapsedSeconds());
    for (const auto& pile : reserve) writer.Cards(pile.data(), kReserveSlots);
    for (int32_t count : reserveCount) writer.Int(count);
    for (int32_t dealt : reserveDealt) writer.Int(dealt);
    writer.Int(0);
    PushUndoRecord(writer);
}

void AgnesGame::Undo() {
    if (paused || gameOver) return;
    if (auto record = PopUndoRecord()) RestoreRecord(*record);
}

bool AgnesGame::RestoreRecord(std::span<const uint8_t> record) {
    UndoReader reader(record);
    if (!ReadBaseState(reader)) return false;
    std::array<Card, kFoundations> readFoundations;
    std::array<Card, kMaxStackCards> readHeld;
    std::array<std::array<Card, kPileSlots>, kPiles> readTableau;
    std::array<int32_t, kPiles> readCounts, readFaceDown;
    std::array<std::array<Card, kReserveSlots>, kReservePiles> readReserve;
    std::array<int32_t, kReservePiles> readReserveCounts, readDealt;
    int32_t readPoints = 0, elapsed = 0, last = 0;
    reader.Cards(readFoundations.data(), kFoundations);
    reader.Cards(readHeld.data(), kMaxStackCards);
    for (auto& pile : readTableau) reader.Cards(pile.data(), kPileSlots);
    for (int32_t& count : readCounts) reader.IntIn(count, 0, kPileSlots);
    for (int pile = 0; pile < kPiles; ++pile) reader.IntIn(readFaceDown[pile], 0, reader.Ok() ? readCounts[pile] : 0);
    reader.IntIn(readPoints, -kMaxRecordPoints, kMaxRecordPoints);
    reader.IntIn(elapsed, 0, kMaxRecordSeconds);
    for (auto& pile : readReserve) reader.Cards(pile.data(), kReserveSlots);
    for (int32_t& count : readReserveCounts) reader.IntIn(count, 0, kReserveSlots);
    for (int32_t& dealt : readDealt) reader.IntIn(dealt, 0, kReserveSlots);
    reader.IntIn(last, 0, 0);
    if (!reader.AtEnd()) return false;
    // Records are written between moves, never with cards in hand.
    for (Card card : readHeld)
        if (card.IsValid()) return false;

    // The record does not hold the starting rank; it is the one for which every card of the
    // pack is somewhere exactly once, each foundation holding its suit from the starting rank up
    // to its top. The current rank is tried first, since with empty foundations any rank fits.
    PackTally tally;
    if (!tally.TakeStock(*reader.deck)) return false;
    for (int pile = 0; pile < kPiles; ++pile)
        if (!tally.TakeCards(readTableau[pile].data(), readCounts[pile])) return false;
    for (int pile = 0; pile < kReservePiles; ++pile)
        if (!tally.TakeCards(readReserve[pile].data(), readReserveCounts[pile])) return false;
    const int32_t readStart = tally.FoundationStart(readFoundations, startRank);
    if (readStart < 0) return false;

    CommitBaseState(reader);
    startRank = readStart;
    foundations = readFoundations;
    tableau = readTableau;
    pileCount = readCounts;
    faceDownCount = readFaceDown;
    for (int pile = 0; pile < kPiles; ++pile)
        ClearPastCount(tableau[pile], pileCount[pile]);
    reserve = readReserve;
    reserveCount = readReserveCounts;
    reserveDealt = readDealt;
    for (int pile = 0; pile < kReservePiles; ++pile)
        ClearPastCount(reserve[pile], reserveCount[pile]);
    ClearHeld();
    FinishUndo(readPoints, elapsed);
    return true;
}
