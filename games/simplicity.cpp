#include "games/simplicity.h"

#include "games/game_rules.h"

#include <algorithm>

#include "framework/game_services.h"
#include "artwork/artwork.h"
#include "store/settings_store.h"

namespace {

constexpr int kPointsWasteToPile = 5;
constexpr int kPointsWasteToFoundation = 10;
constexpr int kPointsPileToFoundation = 5;
constexpr int kRecycleCost = 5;
constexpr int kStockMarginX = 22, kStockMarginY = 11;
constexpr int kWasteMarginX = 20, kWasteMarginY = 10;

}  // namespace

SimplicityRules SimplicityRules::Read() {
    SimplicityRules rules;
    const RuleValues values(SimplicityGame::kGameNumber);
    rules.cardsDealt = values["CardsDealt"];
    rules.filledIn = values.On("FilledIn");
    rules.recycles = values["Recycles"];
    rules.startCard = values["StartCard"];
    return rules;
}

// ---- The model ----

using Position = SimplicityModel::Position;
using tableau::NextRank;

bool SimplicityModel::CanPlay(Card card, Card top, bool toFoundation) {
    if (!card.IsValid() || !top.IsValid()) return false;
    // One pip up, with the Ace following the King, is one rank index up modulo 13.
    if (toFoundation) return card.Suit() == top.Suit() && card.Rank() == NextRank(top.Rank());
    return card.IsRed() != top.IsRed() && NextRank(card.Rank()) == top.Rank();
}

bool SimplicityModel::FitsPile(const Position& p, int pile, Card card) {
    if (p.pileCount[pile] >= kPileSlots) return false;
    if (p.pileCount[pile] == 0) return true;
    return CanPlay(card, p.piles[pile][p.pileCount[pile] - 1], false);
}

bool SimplicityModel::FitsFoundation(const Position& p, int f, Card card) {
    if (p.foundations[f].IsValid()) return CanPlay(card, p.foundations[f], true);
    return card.Rank() == p.startRank;
}

namespace {

using Model = SimplicityModel;

bool GoesHome(const Position& p, Card card) {
    if (card.Rank() == p.startRank) return true;
    for (Card top : p.foundations)
        if (top.IsValid() && Model::CanPlay(card, top, true)) return true;
    return false;
}

}  // namespace

void SimplicityModel::Moves(const Position& p, MoveList& out) {
    out.clear();
    if (p.stock.count > 0 || p.RecycleAllowed()) out.push_back({PlayMove::kStock});
    tableau::AddTopCardMoves<SimplicityModel>(p, out);
}

int SimplicityModel::Apply(Position& p, const PlayMove& move) {
    const int32_t before = p.points;
    if (move.kind == PlayMove::kStock) {
        if (p.stock.count > 0) {
            p.dealtThisTurn = p.stock.DealOnto(p.waste.data(), p.wasteCount, kWasteSlots, p.cardsDealt);
        } else if (p.RecycleAllowed()) {
            p.points -= kRecycleCost;
            p.stock.GatherWaste(p.waste.data(), p.wasteCount);
            ++p.recyclesUsed;
            p.dealtThisTurn = 0;
        }
    } else if (move.kind == PlayMove::kMove) {
        Card card;
        const bool fromWaste = move.from == kWastePlace;
        if (fromWaste) {
            card = p.waste[--p.wasteCount];
            p.waste[p.wasteCount] = Card();
            p.dealtThisTurn = std::max(p.dealtThisTurn - 1, 0);
        } else {
            const int pile = move.from - kFirstPile;
            card = p.piles[pile][--p.pileCount[pile]];
            p.piles[pile][p.pileCount[pile]] = Card();
        }
        if (move.to >= kFirstPile) {
            const int pile = move.to - kFirstPile;
            if (fromWaste) p.points += kPointsWasteToPile;
            p.piles[pile][p.pileCount[pile]++] = card;
        } else {
            p.points += fromWaste ? kPointsWasteToFoundation : kPointsPileToFoundation;
            p.foundations[move.to - kFirstFoundation] = card;
        }
    }
    return p.points - before;
}

bool SimplicityModel::Won(const Position& p) {
    return tableau::FoundationsComplete(p.foundations, p.startRank);
}

bool SimplicityModel::Over(const Position& p) {
    const int stockSize = p.stock.count;
    if (p.recyclesUsed == 0 && stockSize > 0) return false;

    tableau::Candidates<129> candidates;
    auto add = [&](Card card) { candidates.Add(card); };
    candidates.AddTurnable(p.stock, p.waste.data(), p.wasteCount, p.cardsDealt, p.RecycleAllowed());
    for (int c = 0; c < candidates.count; ++c) {
        for (int pile = 0; pile < kPiles; ++pile) {
            if (p.pileCount[pile] == 0) return false;
            if (CanPlay(candidates[c], p.piles[pile][p.pileCount[pile] - 1], false)) return false;
        }
    }
    for (int pile = 0; pile < kPiles; ++pile)
        if (p.pileCount[pile] > 0) add(p.piles[pile][p.pileCount[pile] - 1]);
    for (int c = 0; c < candidates.count; ++c)
        if (GoesHome(p, candidates[c])) return false;

    // Look ahead: could pile k be dug down, one card at a time, onto the other piles' tops?
    for (int k = 0; k < kPiles; ++k) {
        if (p.pileCount[k] == 0) continue;
        std::array<Card, kPiles> tops;
        for (int pile = 0; pile < kPiles; ++pile)
            tops[pile] = p.pileCount[pile] > 0 ? p.piles[pile][p.pileCount[pile] - 1] : Card();
        int index = p.pileCount[k] - 1;
        while (index >= 0) {
            const Card exposed = p.piles[k][index];
            int onto = -1;
            for (int pile = 0; pile < kPiles && onto < 0; ++pile)
                if (pile != k && CanPlay(exposed, tops[pile], false)) onto = pile;
            if (onto < 0) break;
            tops[onto] = exposed;
            --index;
            if (index < 0) {
                if (p.wasteCount > 0) return false;
            } else if (GoesHome(p, p.piles[k][index])) {
                return false;
            }
        }
    }
    return true;
}

void SimplicityModel::Encode(const Position& p, PositionCode& code) {
    tableau::EncodeStockAndWaste(code, p.stock, p.waste, p.wasteCount);
    tableau::EncodeTops(code, p.foundations);
    for (int pile = 0; pile < kPiles; ++pile) tableau::EncodePile(code, p.piles[pile].data(), p.pileCount[pile]);
    code.Byte(static_cast<uint8_t>(p.startRank));
    tableau::EncodeRecycles(code, p.recyclesUsed, p.recycles);
    code.Byte(static_cast<uint8_t>(p.cardsDealt));
}

// ---- The table ----

SimplicityGame::SimplicityGame(Artwork* artwork) : ModelledTableauGame(artwork, kGameNumber) {
    heldSource = kNoSource;
    undoSoundFirst = true;
}

void SimplicityGame::ReadRules(Position& p) const {
    const SimplicityRules rules = SimplicityRules::Read();
    p.cardsDealt = rules.cardsDealt;
    p.recycles = rules.recycles;
}

int SimplicityGame::FoundationAt(int x, int y) {
    for (int f = 0; f < kFoundations; ++f)
        if (kFoundationX[f] == x && kFoundationY[f] == y) return f;
    return -1;
}

int SimplicityGame::PileAt(int x, int y) {
    for (int pile = 0; pile < kPiles; ++pile)
        if (PileX(pile) == x && PileY(pile) == y) return pile;
    return -1;
}

void SimplicityGame::WasteTopPosition(const SimplicityRules& rules, int& x, int& y) const {
    WasteTop(kWasteX, kWasteY, position.wasteCount, rules.cardsDealt, position.dealtThisTurn, kWasteFanStep, x, y);
}

// ---- Deal ----

void SimplicityGame::NewGame(bool restart) {
    BeginRuledDeal(restart);
    ClearHotspots();
    fanDx = 20;
    fanDy = 25;
    fan2A = kWasteFanStep;
    fan2B = 0;
    SetStandardPanel();
    position = Position{};
    ClearHeld(kNoSource);

    deck.SetPacks(1);
    deck.IncludeAll();
    deck.Shuffle();
    artwork->RestoreBackground(0, 799, 0, 599);
    artwork->DrawGameTitle(kGameNumber);
    const SimplicityRules rules = SimplicityRules::Read();
    position.startRank = rules.startCard;
    if (rules.filledIn) {
        if (position.startRank == -1) position.startRank = deck.Peek(0).Rank();
        for (int suit = 0; suit < kFoundations; ++suit) {
            position.foundations[suit] = Card(suit, position.startRank);
            deck.Exclude(position.foundations[suit]);
        }
    }
    Draw(true);
    if (Services().setGameMusic) Services().setGameMusic();

    const int screen = artwork->screenBuffer;
    for (int pile = 0; pile < kPiles; ++pile) {
        const Card card = deck.DealNext();
        if (!card.IsValid()) break;
        DrawStockArea(true);
        AnimateCard(kStockX, kStockY, PileX(pile), PileY(pile), card, screen, true, true, -1);
        position.piles[pile][0] = card;
        position.pileCount[pile] = 1;
        PlaySound("flip.wav");
    }
    if (!position.foundations[0].IsValid() && rules.startCard == -1) {
        const Card card = deck.DealNext();
        if (card.IsValid()) {
            DrawStockArea(true);
            AnimateCard(kStockX, kStockY, kFoundationX[0], kFoundationY[0], card, screen, true, true, -1);
            position.foundations[0] = card;
            position.startRank = card.Rank();
            PlaySound("flip.wav");
        }
    }
    DrawStockArea(true);
    for (int pile = 0; pile < kPiles; ++pile) DrawPileArea(pile, true);
    for (int f = 0; f < kFoundations; ++f) DrawFoundationArea(f, true);
    artwork->PresentDirty();
    CheckGameOver();
    StartClock(0);
}

// ---- Drawing ----

void SimplicityGame::DrawStockArea(bool present) {
    const int left = kStockX - kStockMarginX, top = kStockY - kStockMarginY;
    const int right = kStockX + artwork->cardWidth, bottom = kStockY + artwork->cardHeight;
    if (present) artwork->RestoreBackground(left, right, top, bottom);
    artwork->DrawStock(kStockX, kStockY, artwork->cardBack, deck, artwork->screenBuffer,
                       SimplicityRules::Read().RecycleAllowed(position.recyclesUsed));
    if (present) artwork->AddDirty({left, top, right, bottom});
}

void SimplicityGame::DrawWasteArea(bool present) {
    const SimplicityRules rules = SimplicityRules::Read();
    const int left = kWasteX - kWasteMarginX, top = kWasteY - kWasteMarginY;
    const int right = kWasteX + 2 * kWasteFanStep + artwork->cardWidth, bottom = kWasteY + artwork->cardHeight;
    if (present) artwork->RestoreBackground(left, right, top, bottom);
    DrawWaste(kWasteX, kWasteY, position.waste.data(), position.wasteCount, rules.cardsDealt, position.dealtThisTurn,
              kWasteFanStep);
    if (present) artwork->AddDirty({left, top, right, bottom});
}

void SimplicityGame::DrawPileArea(int pile, bool present) {
    const int x = PileX(pile), y = PileY(pile);
    if (present) artwork->RestoreBackground(x, x + artwork->cardWidth, y, y + artwork->cardHeight);
    const int count = position.pileCount[pile];
    if (count > 0) artwork->DrawCard(x, y, position.piles[pile][count - 1], artwork->screenBuffer);
    else artwork->DrawPlaceholder(x, y, card_geometry::kPlaceholderEmptyPile, artwork->screenBuffer);
    if (present) artwork->AddDirty({x, y, x + artwork->cardWidth, y + artwork->cardHeight});
}

void SimplicityGame::DrawFoundationArea(int f, bool present) {
    const int x = kFoundationX[f], y = kFoundationY[f];
    if (present) artwork->RestoreBackground(x, x + artwork->cardWidth, y, y + artwork->cardHeight);
    if (position.foundations[f].IsValid()) artwork->DrawCard(x, y, position.foundations[f], artwork->screenBuffer);
    else artwork->DrawPlaceholder(x, y, card_geometry::kPlaceholderEmptyPile, artwork->screenBuffer);
    if (present) artwork->AddDirty({x, y, x + artwork->cardWidth, y + artwork->cardHeight});
}

void SimplicityGame::DrawPlace(int place, bool present) {
    using Model = SimplicityModel;
    if (place == Model::kStockPlace) DrawStockArea(present);
    else if (place == Model::kWastePlace) DrawWasteArea(present);
    else if (place < Model::kFirstPile) DrawFoundationArea(place - Model::kFirstFoundation, present);
    else DrawPileArea(place - Model::kFirstPile, present);
}

void SimplicityGame::Draw(bool present) {
    artwork->RestoreBackground(0, 799, 0, 599);
    DrawStockArea(false);
    for (int pile = 0; pile < kPiles; ++pile) DrawPileArea(pile, false);
    for (int f = 0; f < kFoundations; ++f) DrawFoundationArea(f, false);
    DrawWasteArea(false);
    DrawTableFrame(present);
}

// ---- Moves ----

void SimplicityGame::OnLButtonDown(WPARAM keys, int x, int y) {
    if (paused || gameOver) {
        CheckGameOver();
        return;
    }
    if (!OnStockTop(x, y, kStockX, kStockY)) {
        Game::OnLButtonDown(keys, x, y);
        CheckGameOver();
        return;
    }
    const Position now = CurrentPosition();
    if (now.stock.count > 0 || now.RecycleAllowed()) {
        PressStock();
    }
    CheckGameOver();
}

void SimplicityGame::LiftCards(DragRecord& drag) {
    if (paused || gameOver) return;
    const Card card = drag.cards[0];
    if (position.wasteCount > 0 && card == position.waste[position.wasteCount - 1]) {
        BeginLift(SimplicityModel::kWastePlace, position.wasteCount - 1, &card, 1, kWasteSource);
        position.waste[--position.wasteCount] = Card();
        position.dealtThisTurn = std::max(position.dealtThisTurn - 1, 0);
        DrawWasteArea(true);
        artwork->PresentDirty();
        CheckGameOver();
        return;
    }
    for (int pile = 0; pile < kPiles; ++pile) {
        if (position.pileCount[pile] == 0 || position.piles[pile][position.pileCount[pile] - 1] != card) continue;
        BeginLift(SimplicityModel::kFirstPile + pile, position.pileCount[pile] - 1, &card, 1, pile);
        position.piles[pile][--position.pileCount[pile]] = Card();
        DrawPileArea(pile, true);
        artwork->PresentDirty();
        CheckGameOver();
        return;
    }
}

bool SimplicityGame::CanDrop(DragRecord& drag, DropTarget& target) {
    if (drag.count != 1) return false;
    const Position p = CurrentPosition();
    const int pile = PileAt(target.x, target.y);
    if (pile >= 0) return SimplicityModel::FitsPile(p, pile, drag.cards[0]);
    const int f = FoundationAt(target.x, target.y);
    return f >= 0 && SimplicityModel::FitsFoundation(p, f, drag.cards[0]);
}

void SimplicityGame::DropCards(DragRecord& drag, DropTarget& target) {
    if (heldSource == kNoSource || drag.cards[0] != held[0]) {
        CheckGameOver();
        return;
    }
    const int pile = PileAt(target.x, target.y);
    const int f = pile < 0 ? FoundationAt(target.x, target.y) : -1;
    if (pile >= 0 && position.pileCount[pile] < kPileSlots) {
        DropHeld(SimplicityModel::kFirstPile + pile, kNoSource);
        DrawPileArea(pile, true);
        artwork->PresentDirty();
    } else if (f >= 0) {
        DropHeld(SimplicityModel::kFirstFoundation + f, kNoSource);
        DrawFoundationArea(f, true);
        artwork->PresentDirty();
    }
    CheckGameOver();
}

void SimplicityGame::ReturnCards() {
    if (heldSource == kNoSource) return;
    ReturnHeld(kNoSource);
    CheckGameOver();
    Draw(true);
}

// ---- Hotspots and tools ----

void SimplicityGame::RegisterHotspots() {
    const SimplicityRules rules = SimplicityRules::Read();
    pickups.clear();
    dropTargets.clear();
    if (paused || gameOver) return;
    if (position.wasteCount > 0) {
        int x = 0, y = 0;
        WasteTopPosition(rules, x, y);
        AddPickup(x, y, &position.waste[position.wasteCount - 1], 1);
    }
    for (int pile = 0; pile < kPiles; ++pile) {
        const int count = position.pileCount[pile];
        if (count > 0) AddPickup(PileX(pile), PileY(pile), &position.piles[pile][count - 1], 1);
    }
    for (int f = 0; f < kFoundations; ++f)
        AddDropTarget(kFoundationX[f], kFoundationY[f], CardHitRect(kFoundationX[f], kFoundationY[f]), kAutoMoveKind);
    for (int pile = 0; pile < kPiles; ++pile)
        AddDropTarget(PileX(pile), PileY(pile), CardHitRect(PileX(pile), PileY(pile)), kPlainTargetKind);
}

bool SimplicityGame::CardOrigin(int place, int, int& x, int& y) const {
    using Model = SimplicityModel;
    const int f = place - Model::kFirstFoundation, pile = place - Model::kFirstPile;
    if (place == Model::kStockPlace) {
        x = kStockX, y = kStockY;
    } else if (place == Model::kWastePlace) {
        WasteTopPosition(SimplicityRules::Read(), x, y);
    } else if (f >= 0 && f < kFoundations) {
        x = kFoundationX[f], y = kFoundationY[f];
    } else if (pile >= 0 && pile < kPiles) {
        x = PileX(pile), y = PileY(pile);
    } else {
        return false;
    }
    return true;
}

double SimplicityGame::GetScoreFactor() {
    const SimplicityRules rules = SimplicityRules::Read();
    double factor = rules.filledIn ? 0.9 : 1.0;
    if (rules.cardsDealt == 2) factor *= 1.1;
    if (rules.cardsDealt == 3) factor *= 1.2;
    return factor;
}

// ---- Undo ----

void SimplicityGame::SaveUndo() {
    UndoWriter writer = BeginUndoRecord();
    for (const auto& pile : position.piles) writer.Cards(pile.data(), kPileSlots);
    for (int32_t count : position.pileCount) writer.Int(count);
    writer.Cards(position.foundations.data(), kFoundations);
    writer.Int(position.startRank);
    writer.Cards(position.waste.data(), kWasteSlots);
    writer.Int(position.wasteCount);
    writer.Int(heldSource);
    writer.Int(points);
    writer.Int(ElapsedSeconds());
    PushUndoRecord(writer);
}

bool SimplicityGame::RestoreRecord(std::span<const uint8_t> record) {
    UndoReader reader(record);
    if (!ReadBaseState(reader)) return false;
    std::array<std::array<Card, kPileSlots>, kPiles> readPiles;
    std::array<int32_t, kPiles> readCounts;
    std::array<Card, kFoundations> readFoundations;
    std::array<Card, kWasteSlots> readWaste;
    int32_t readStart = 0, readWasteCount = 0, readSource = 0, readPoints = 0, elapsed = 0;
    for (auto& pile : readPiles) reader.Cards(pile.data(), kPileSlots);
    for (int32_t& count : readCounts) reader.IntIn(count, 0, kPileSlots);
    reader.Cards(readFoundations.data(), kFoundations);
    reader.IntIn(readStart, -1, Card::kRankCount - 1);
    reader.Cards(readWaste.data(), kWasteSlots);
    reader.IntIn(readWasteCount, 0, kWasteSlots);
    reader.IntIn(readSource, kNoSource, kWasteSource);
    reader.IntIn(readPoints, -kMaxRecordPoints, kMaxRecordPoints);
    reader.IntIn(elapsed, 0, kMaxRecordSeconds);
    if (!reader.AtEnd()) return false;

    // Every card once: stock, waste, piles, and each foundation from the starting rank up.
    PackTally tally;
    if (!tally.TakeStock(*reader.deck) || !tally.TakeCards(readWaste.data(), readWasteCount)) return false;
    for (int pile = 0; pile < kPiles; ++pile)
        if (!tally.TakeCards(readPiles[pile].data(), readCounts[pile])) return false;
    if (!tally.TakeFoundations(readFoundations, readStart)) return false;
    if (!tally.WholePack()) return false;

    CommitBaseState(reader);
    Position& p = position;
    p.piles = readPiles;
    p.pileCount = readCounts;
    for (int pile = 0; pile < kPiles; ++pile) ClearPastCount(p.piles[pile], p.pileCount[pile]);
    p.foundations = readFoundations;
    p.startRank = readStart;
    p.waste = readWaste;
    p.wasteCount = readWasteCount;
    ClearPastCount(p.waste, p.wasteCount);
    p.dealtThisTurn = std::min(p.dealtThisTurn, p.wasteCount);
    ClearHeld(kNoSource);
    FinishUndo(readPoints, elapsed, false);
    return true;
}
