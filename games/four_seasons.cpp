#include "games/four_seasons.h"

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
// A pile grows up and to the left by one layer per five cards: this much room around it.
constexpr int kLayerRoomX = 22, kLayerRoomY = 11;
constexpr int kWasteRoomX = 20, kWasteRoomY = 10;
constexpr int kMaxWasteFan = 3;

}  // namespace

FourSeasonsRules FourSeasonsRules::Read() {
    FourSeasonsRules rules;
    const RuleValues values(FourSeasonsGame::kGameNumber);
    rules.cardsDealt = values["CardsDealt"];
    rules.filledIn = values.On("FilledIn");
    rules.recycles = values["Recycles"];
    rules.startCard = values["StartCard"];
    return rules;
}

// ---- The model ----

using Position = FourSeasonsModel::Position;

bool FourSeasonsModel::CanPlay(Card card, Card top, bool toFoundation) {
    if (!card.IsValid() || !top.IsValid()) return false;
    if (toFoundation)
        return card.Suit() == top.Suit() &&
               (card.PipValue() == top.PipValue() + 1 || (card.Rank() == Card::kAce && top.Rank() == Card::kKing));
    return card.PipValue() + 1 == top.PipValue() || (card.Rank() == Card::kKing && top.Rank() == Card::kAce);
}

bool FourSeasonsModel::FitsPile(const Position& p, int pile, Card card) {
    if (p.pileCount[pile] >= kPileSlots) return false;
    if (p.pileCount[pile] == 0) return true;
    return CanPlay(card, p.piles[pile][p.pileCount[pile] - 1], false);
}

bool FourSeasonsModel::FitsFoundation(const Position& p, int f, Card card) {
    if (p.foundations[f].IsValid()) return CanPlay(card, p.foundations[f], true);
    return card.Rank() == p.startRank;
}

namespace {

using Model = FourSeasonsModel;

bool FitsStartedFoundation(const Position& p, Card card) {
    if (card.Rank() == p.startRank) return true;
    for (Card top : p.foundations)
        if (Model::CanPlay(card, top, true)) return true;
    return false;
}

}  // namespace

void FourSeasonsModel::Moves(const Position& p, MoveList& out) {
    out.clear();
    if (p.stock.count > 0 || p.recyclesUsed < p.recycles) out.push_back({PlayMove::kStock});
    tableau::AddTopCardMoves<FourSeasonsModel>(p, out);
}

int FourSeasonsModel::Apply(Position& p, const PlayMove& move) {
    const int32_t before = p.points;
    if (move.kind == PlayMove::kStock) {
        if (p.stock.count > 0) {
            p.dealtThisTurn = p.stock.DealOnto(p.waste.data(), p.wasteCount, kWasteSlots, p.cardsDealt);
        } else if (p.recyclesUsed < p.recycles) {
            p.points -= kRecycleCost;
            p.stock.TakeWaste(p.waste.data(), p.wasteCount);
            ++p.recyclesUsed;
            p.dealtThisTurn = 0;
        }
    } else if (move.kind == PlayMove::kMove) {
        Card card;
        const bool fromWaste = move.from == kWastePlace;
        if (fromWaste) {
            card = p.waste[--p.wasteCount];
            p.waste[p.wasteCount] = Card();
            --p.dealtThisTurn;
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

bool FourSeasonsModel::Won(const Position& p) {
    return tableau::FoundationsComplete(p.foundations, p.startRank);
}

bool FourSeasonsModel::Over(const Position& p) {
    const int stockSize = p.stock.count;
    if (p.recyclesUsed == 0 && stockSize > 0) return false;

    // Cards that can come to the top of the waste without any other move.
    tableau::Candidates<129> candidates;
    auto add = [&](Card card) { candidates.Add(card); };
    candidates.AddTurnable(p.stock, p.waste.data(), p.wasteCount, p.cardsDealt,
                           p.recycles == FourSeasonsRules::kUnlimitedRecycles || p.recyclesUsed < p.recycles);
    for (int c = 0; c < candidates.count; ++c) {
        for (int k = 0; k < kPiles; ++k) {
            if (p.pileCount[k] == 0) return false;
            if (CanPlay(candidates[c], p.piles[k][p.pileCount[k] - 1], false)) return false;
        }
    }

    for (int k = 0; k < kPiles; ++k)
        if (p.pileCount[k] > 0) add(p.piles[k][p.pileCount[k] - 1]);
    for (int c = 0; c < candidates.count; ++c)
        if (FitsStartedFoundation(p, candidates[c])) return false;

    // Look ahead: shifting a pile's cards onto the other piles may uncover a card that plays, or
    // empty the pile for the waste's top card.
    for (int k = 0; k < kPiles; ++k) {
        if (p.pileCount[k] == 0) continue;
        std::array<Card, kPiles> tops;
        for (int j = 0; j < kPiles; ++j) tops[j] = p.pileCount[j] > 0 ? p.piles[j][p.pileCount[j] - 1] : Card();
        for (int index = p.pileCount[k] - 1; index >= 0; --index) {
            const Card exposed = p.piles[k][index];
            int onto = -1;
            for (int j = 0; j < kPiles && onto < 0; ++j)
                if (j != k && CanPlay(exposed, tops[j], false)) onto = j;
            if (onto < 0) break;
            tops[onto] = exposed;
            const Card below = index > 0 ? p.piles[k][index - 1] : Card();
            if (below.IsValid() && FitsStartedFoundation(p, below)) return false;
            if (!below.IsValid() && p.wasteCount > 0) return false;
        }
    }
    return true;
}

void FourSeasonsModel::Encode(const Position& p, PositionCode& code) {
    tableau::EncodeStockAndWaste(code, p.stock, p.waste, p.wasteCount);
    tableau::EncodeTops(code, p.foundations);
    for (int pile = 0; pile < kPiles; ++pile) tableau::EncodePile(code, p.piles[pile].data(), p.pileCount[pile]);
    code.Byte(static_cast<uint8_t>(p.startRank));
    tableau::EncodeRecycles(code, p.recyclesUsed, p.recycles);
    code.Byte(static_cast<uint8_t>(p.cardsDealt));
}

// ---- The table ----

FourSeasonsGame::FourSeasonsGame(Artwork* artwork) : ModelledTableauGame(artwork, kGameNumber) {
    heldSource = kNoSource;
}

void FourSeasonsGame::ReadRules(Position& p) const {
    const FourSeasonsRules rules = FourSeasonsRules::Read();
    p.cardsDealt = rules.cardsDealt;
    p.recycles = rules.recycles;
}

int FourSeasonsGame::PileAt(int x, int y) {
    for (int k = 0; k < kPiles; ++k)
        if (kPileX[k] == x && kPileY[k] == y) return k;
    return -1;
}

int FourSeasonsGame::FoundationAt(int x, int y) {
    for (int k = 0; k < kFoundations; ++k)
        if (kFoundationX[k] == x && kFoundationY[k] == y) return k;
    return -1;
}

void FourSeasonsGame::WasteTopPosition(const FourSeasonsRules& rules, int& x, int& y) const {
    WasteTop(kWasteX, kWasteY, position.wasteCount, rules.cardsDealt, position.dealtThisTurn, kWasteFanStep, x, y);
}

// ---- Deal ----

void FourSeasonsGame::NewGame(bool restart) {
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
    const FourSeasonsRules rules = FourSeasonsRules::Read();
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

    for (int k = 0; k < kPiles; ++k) {
        const Card card = deck.DealNext();
        if (!card.IsValid()) break;
        position.piles[k][0] = card;
        position.pileCount[k] = 1;
        DrawStockArea(true);
        artwork->PresentDirty();
        AnimateCard(kStockX, kStockY, kPileX[k], kPileY[k], card, artwork->screenBuffer, true, true, -1);
        PlaySound("flip.wav");
    }
    if (!position.foundations[0].IsValid() && rules.startCard == -1) {
        const Card card = deck.DealNext();
        if (card.IsValid()) {
            position.foundations[0] = card;
            position.startRank = card.Rank();
            DrawStockArea(true);
            artwork->PresentDirty();
            AnimateCard(kStockX, kStockY, kFoundationX[0], kFoundationY[0], card, artwork->screenBuffer, true, true, -1);
            PlaySound("flip.wav");
        }
    }
    DrawStockArea(true);
    for (int k = 0; k < kPiles; ++k) DrawPileArea(k, true);
    for (int k = 0; k < kFoundations; ++k) DrawFoundationArea(k, true);
    artwork->PresentDirty();
    CheckGameOver();
    StartClock(0);
}

// ---- Drawing ----

void FourSeasonsGame::DrawStockArea(bool present) {
    const int left = kStockX - kLayerRoomX, top = kStockY - kLayerRoomY;
    const int right = kStockX + artwork->cardWidth, bottom = kStockY + artwork->cardHeight;
    if (present) artwork->RestoreBackground(left, right, top, bottom);
    const bool canTurn = position.recyclesUsed < FourSeasonsRules::Read().recycles;
    artwork->DrawStock(kStockX, kStockY, artwork->cardBack, deck, artwork->screenBuffer, canTurn);
    if (present) artwork->AddDirty({left, top, right, bottom});
}

void FourSeasonsGame::DrawWasteArea(bool present) {
    const FourSeasonsRules rules = FourSeasonsRules::Read();
    const int left = kWasteX - kWasteRoomX, top = kWasteY - kWasteRoomY;
    const int right = kWasteX + kMaxWasteFan * kWasteFanStep + artwork->cardWidth, bottom = kWasteY + artwork->cardHeight;
    if (present) artwork->RestoreBackground(left, right, top, bottom);
    DrawWaste(kWasteX, kWasteY, position.waste.data(), position.wasteCount, rules.cardsDealt, position.dealtThisTurn,
              kWasteFanStep);
    if (present) artwork->AddDirty({left, top, right, bottom});
}

void FourSeasonsGame::DrawPileArea(int k, bool present) {
    const int x = kPileX[k], y = kPileY[k];
    if (present) artwork->RestoreBackground(x, x + artwork->cardWidth, y, y + artwork->cardHeight);
    const int count = position.pileCount[k];
    if (count > 0) artwork->DrawCard(x, y, position.piles[k][count - 1], artwork->screenBuffer);
    else artwork->DrawPlaceholder(x, y, card_geometry::kPlaceholderEmptyPile, artwork->screenBuffer);
    if (present) artwork->AddDirty({x, y, x + artwork->cardWidth, y + artwork->cardHeight});
}

// A foundation shows its top card only, without the thickness of the cards under it.
void FourSeasonsGame::DrawFoundationArea(int k, bool present) {
    const int x = kFoundationX[k], y = kFoundationY[k];
    const int left = x, top = y;
    const int right = x + artwork->cardWidth, bottom = y + artwork->cardHeight;
    if (present) artwork->RestoreBackground(left, right, top, bottom);
    if (position.foundations[k].IsValid())
        artwork->DrawCard(x, y, position.foundations[k], artwork->screenBuffer);
    else
        artwork->DrawPlaceholder(x, y, card_geometry::kPlaceholderEmptyPile, artwork->screenBuffer);
    if (present) artwork->AddDirty({left, top, right, bottom});
}

void FourSeasonsGame::DrawPlace(int place, bool present) {
    using Model = FourSeasonsModel;
    if (place == Model::kStockPlace) DrawStockArea(present);
    else if (place == Model::kWastePlace) DrawWasteArea(present);
    else if (place < Model::kFirstPile) DrawFoundationArea(place - Model::kFirstFoundation, present);
    else DrawPileArea(place - Model::kFirstPile, present);
}

void FourSeasonsGame::Draw(bool present) {
    artwork->RestoreBackground(0, 799, 0, 599);
    DrawStockArea(false);
    for (int k = 0; k < kPiles; ++k) DrawPileArea(k, false);
    for (int k = 0; k < kFoundations; ++k) DrawFoundationArea(k, false);
    DrawWasteArea(false);
    DrawTableFrame(present);
}

// ---- Moves ----

void FourSeasonsGame::OnLButtonDown(WPARAM keys, int x, int y) {
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
    if (now.stock.count > 0 || now.recyclesUsed < now.recycles) {
        PressStock();
        if (now.stock.count > 0) PlaySound("flip.wav");
    }
    CheckGameOver();
}

void FourSeasonsGame::LiftCards(DragRecord& drag) {
    if (paused || gameOver) return;
    const Card card = drag.cards[0];
    if (position.wasteCount > 0 && position.waste[position.wasteCount - 1] == card) {
        BeginLift(FourSeasonsModel::kWastePlace, position.wasteCount - 1, &card, 1, kWasteSource);
        position.waste[--position.wasteCount] = Card();
        --position.dealtThisTurn;
        DrawWasteArea(true);
        artwork->PresentDirty();
        CheckGameOver();
        return;
    }
    for (int k = 0; k < kPiles; ++k) {
        if (position.pileCount[k] == 0 || position.piles[k][position.pileCount[k] - 1] != card) continue;
        BeginLift(FourSeasonsModel::kFirstPile + k, position.pileCount[k] - 1, &card, 1, k);
        position.piles[k][--position.pileCount[k]] = Card();
        DrawPileArea(k, true);
        artwork->PresentDirty();
        CheckGameOver();
        return;
    }
}

bool FourSeasonsGame::CanDrop(DragRecord& drag, DropTarget& target) {
    const Card card = drag.cards[0];
    if (drag.count != 1 || !card.IsValid()) return false;
    const Position p = CurrentPosition();
    const int pile = PileAt(target.x, target.y);
    if (pile >= 0) return FourSeasonsModel::FitsPile(p, pile, card);
    const int foundation = FoundationAt(target.x, target.y);
    return foundation >= 0 && FourSeasonsModel::FitsFoundation(p, foundation, card);
}

void FourSeasonsGame::DropCards(DragRecord& drag, DropTarget& target) {
    if (heldSource == kNoSource || drag.cards[0] != held[0]) {
        CheckGameOver();
        return;
    }
    const int pile = PileAt(target.x, target.y);
    const int foundation = pile < 0 ? FoundationAt(target.x, target.y) : -1;
    if (pile >= 0 && position.pileCount[pile] < kPileSlots) {
        DropHeld(FourSeasonsModel::kFirstPile + pile, kNoSource);
        DrawPileArea(pile, true);
        artwork->PresentDirty();
    } else if (foundation >= 0) {
        DropHeld(FourSeasonsModel::kFirstFoundation + foundation, kNoSource);
        DrawFoundationArea(foundation, true);
        artwork->PresentDirty();
    }
    CheckGameOver();
}

void FourSeasonsGame::ReturnCards() {
    if (heldSource == kNoSource) return;
    const int source = heldSource;
    ReturnHeld(kNoSource);
    if (source == kWasteSource) DrawWasteArea(true);
    else DrawPileArea(source, true);
    CheckGameOver();
    artwork->PresentDirty();
}

// ---- Hotspots and tools ----

void FourSeasonsGame::RegisterHotspots() {
    const FourSeasonsRules rules = FourSeasonsRules::Read();
    pickups.clear();
    dropTargets.clear();
    if (!paused && !gameOver) {
        if (position.wasteCount > 0) {
            int x = 0, y = 0;
            WasteTopPosition(rules, x, y);
            AddPickup(x, y, &position.waste[position.wasteCount - 1], 1);
        }
        for (int k = 0; k < kPiles; ++k) {
            const int count = position.pileCount[k];
            if (count > 0) AddPickup(kPileX[k], kPileY[k], &position.piles[k][count - 1], 1);
        }
    }
    for (int k = 0; k < kFoundations; ++k)
        AddDropTarget(kFoundationX[k], kFoundationY[k], CardHitRect(kFoundationX[k], kFoundationY[k]), kAutoMoveKind);
    for (int k = 0; k < kPiles; ++k)
        AddDropTarget(kPileX[k], kPileY[k], CardHitRect(kPileX[k], kPileY[k]), kPlainTargetKind);
}

bool FourSeasonsGame::CardOrigin(int place, int, int& x, int& y) const {
    using Model = FourSeasonsModel;
    const int f = place - Model::kFirstFoundation, pile = place - Model::kFirstPile;
    if (place == Model::kStockPlace) {
        x = kStockX, y = kStockY;
    } else if (place == Model::kWastePlace) {
        WasteTopPosition(FourSeasonsRules::Read(), x, y);
    } else if (f >= 0 && f < kFoundations) {
        x = kFoundationX[f], y = kFoundationY[f];
    } else if (pile >= 0 && pile < kPiles) {
        x = kPileX[pile], y = kPileY[pile];
    } else {
        return false;
    }
    return true;
}

double FourSeasonsGame::GetScoreFactor() {
    const FourSeasonsRules rules = FourSeasonsRules::Read();
    double factor = rules.filledIn ? 0.9 : 1.0;
    if (rules.cardsDealt == 2) factor *= 1.1;
    if (rules.cardsDealt == 3) factor *= 1.2;
    return factor;
}

// ---- Undo ----

void FourSeasonsGame::SaveUndo() {
    if (paused || gameOver) return;
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

bool FourSeasonsGame::RestoreRecord(std::span<const uint8_t> record) {
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
    reader.IntIn(readStart, 0, Card::kRankCount - 1);
    reader.Cards(readWaste.data(), kWasteSlots);
    reader.IntIn(readWasteCount, 0, kWasteSlots);
    reader.IntIn(readSource, kNoSource, kWasteSource);
    reader.IntIn(readPoints, -kMaxRecordPoints, kMaxRecordPoints);
    reader.IntIn(elapsed, 0, kMaxRecordSeconds);
    if (!reader.AtEnd()) return false;

    // Every card in play exactly once: stock, waste, piles, and each foundation from the
    // starting rank up to its top in the top's suit.
    PackTally tally;
    if (!tally.TakeStock(*reader.deck) || !tally.TakeCards(readWaste.data(), readWasteCount)) return false;
    for (int k = 0; k < kPiles; ++k)
        if (!tally.TakeCards(readPiles[k].data(), readCounts[k])) return false;
    if (!tally.TakeFoundations(readFoundations, readStart)) return false;
    if (!tally.WholePack()) return false;

    CommitBaseState(reader);
    Position& p = position;
    p.piles = readPiles;
    p.pileCount = readCounts;
    for (int k = 0; k < kPiles; ++k) ClearPastCount(p.piles[k], p.pileCount[k]);
    p.foundations = readFoundations;
    p.startRank = readStart;
    p.waste = readWaste;
    p.wasteCount = readWasteCount;
    ClearPastCount(p.waste, p.wasteCount);
    ClearHeld(kNoSource);
    // Four Seasons takes back a move silently: the penalty and the redraw, but no sound.
    FinishUndo(readPoints, elapsed, false);
    return true;
}
