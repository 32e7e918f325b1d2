#include "games/canfield.h"

#include "games/game_rules.h"

#include <algorithm>

#include "framework/game_services.h"
#include "artwork/artwork.h"
#include "store/settings_store.h"

namespace {

constexpr int kPointsToFoundationFromHand = 10;  // from the waste or the reserve
constexpr int kPointsToFoundationFromPile = 5;
constexpr int kPointsPerCardFromHand = 5;
constexpr int kPointsAutoFill = 5;
constexpr int kRecycleCost = 5;
constexpr int kScreenBottom = 599;
// A squared pile grows up and to the left; these margins cover its thickest layer.
constexpr int kLayerMarginX = 12, kLayerMarginY = 6;

}  // namespace

CanfieldRules CanfieldRules::Read() {
    CanfieldRules rules;
    const RuleValues values(CanfieldGame::kGameNumber);
    rules.cardsDealt = values["CardsDealt"];
    rules.recycles = values["Recycles"];
    rules.movePartial = values.On("MovePartial");
    rules.fillFromStock = values.On("FillFromStock");
    return rules;
}

// ---- The model ----

using Position = CanfieldModel::Position;
using tableau::NextRank;

bool CanfieldModel::BuildsDown(Card moving, Card onto) {
    return onto.IsValid() && moving.Rank() != onto.Rank() && NextRank(moving.Rank()) == onto.Rank() &&
           moving.IsRed() != onto.IsRed();
}

bool CanfieldModel::BuildsUp(const Position& p, Card moving, int f) {
    if (!p.foundations[f].IsValid()) return moving.Rank() == p.baseCard.Rank();
    return moving.Rank() == NextRank(p.foundations[f].Rank()) && moving.Suit() == p.foundations[f].Suit();
}

bool CanfieldModel::FitsPile(const Position& p, int pile, Card lowest, int count, bool fromReserve) {
    // A pile's storage ends at 13 cards; wrap-around building could otherwise go on for ever.
    if (p.pileCount[pile] + count > kPileSlots) return false;
    if (p.pileCount[pile] == 0) return fromReserve || p.reserveCount == 0 || !p.fillFromStock;
    return BuildsDown(lowest, p.tableau[pile][p.pileCount[pile] - 1]);
}

namespace {

using Model = CanfieldModel;

void AddDrops(const Position& p, int from, int index, Card lowest, int count, MoveList& out) {
    for (int f = 0; f < Model::kFoundations; ++f)
        if (count == 1 && Model::BuildsUp(p, lowest, f))
            out.push_back(tableau::MakeMove(from, index, Model::kFirstFoundation + f, count));
    for (int pile = 0; pile < Model::kPiles; ++pile)
        if (Model::kFirstPile + pile != from && Model::FitsPile(p, pile, lowest, count, from == Model::kReservePlace))
            out.push_back(tableau::MakeMove(from, index, Model::kFirstPile + pile, count));
}

// Puts cards picked up from `from` on place `to`, scoring as the table does.
void Place(Position& p, int from, int to, const Card* cards, int count) {
    const bool fromHand = from == Model::kWastePlace || from == Model::kReservePlace;
    if (to < Model::kFirstPile) {
        p.foundations[to - Model::kFirstFoundation] = cards[0];
        p.points += fromHand ? kPointsToFoundationFromHand : kPointsToFoundationFromPile;
    } else {
        const int pile = to - Model::kFirstPile;
        if (fromHand) p.points += kPointsPerCardFromHand * count;
        for (int i = 0; i < count; ++i) p.tableau[pile][p.pileCount[pile]++] = cards[i];
    }
}

bool CanMove(const Position& p, Card card, bool toFoundations, bool toTableau) {
    if (!card.IsValid()) return false;
    if (toFoundations)
        for (int f = 0; f < Model::kFoundations; ++f)
            if (Model::BuildsUp(p, card, f)) return true;
    if (toTableau)
        for (int pile = 0; pile < Model::kPiles; ++pile)
            if (p.pileCount[pile] > 0 && Model::BuildsDown(card, p.tableau[pile][p.pileCount[pile] - 1])) return true;
    return false;
}

}  // namespace

void CanfieldModel::Moves(const Position& p, MoveList& out) {
    out.clear();
    if (p.stock.count > 0 || p.RecycleAllowed()) out.push_back({PlayMove::kStock});
    if (p.wasteCount > 0) AddDrops(p, kWastePlace, p.wasteCount - 1, p.waste[p.wasteCount - 1], 1, out);
    if (p.reserveCount > 0) AddDrops(p, kReservePlace, p.reserveCount - 1, p.reserve[p.reserveCount - 1], 1, out);
    for (int pile = 0; pile < kPiles; ++pile)
        tableau::ForEachPileStack(p.pileCount[pile], 0, p.movePartial != 0, [&](int k, int n) {
            AddDrops(p, kFirstPile + pile, k, p.tableau[pile][k], n, out);
        });
}

int CanfieldModel::Apply(Position& p, const PlayMove& move) {
    const int32_t before = p.points;
    if (move.kind == PlayMove::kStock) {
        if (p.stock.count > 0) {
            p.turnedCount = p.stock.DealOnto(p.waste.data(), p.wasteCount, kWasteSlots, p.cardsDealt);
        } else if (p.RecycleAllowed()) {
            p.points -= kRecycleCost;
            p.stock.TakeWaste(p.waste.data(), p.wasteCount);
            p.turnedCount = 0;
            ++p.recyclesUsed;
        }
        return p.points - before;
    }
    if (move.kind != PlayMove::kMove) return 0;
    std::array<Card, kMaxStackCards> cards{};
    const int count = move.count;
    if (move.from == kWastePlace) {
        cards[0] = p.waste[--p.wasteCount];
        p.waste[p.wasteCount] = Card();
        p.turnedCount = std::max(p.turnedCount - 1, 0);
    } else if (move.from == kReservePlace) {
        cards[0] = p.reserve[--p.reserveCount];
        p.reserve[p.reserveCount] = Card();
    } else {
        auto& pile = p.tableau[move.from - kFirstPile];
        for (int i = 0; i < count; ++i) {
            cards[i] = pile[move.index + i];
            pile[move.index + i] = Card();
        }
        p.pileCount[move.from - kFirstPile] = move.index;
    }
    Place(p, move.from, move.to, cards.data(), count);
    // The first empty pile takes the reserve's top card by itself.
    if (p.reserveCount > 0) {
        int pile = 0;
        while (pile < kPiles && p.pileCount[pile] > 0) ++pile;
        if (pile < kPiles) {
            const Card card = p.reserve[--p.reserveCount];
            p.reserve[p.reserveCount] = Card();
            Place(p, kReservePlace, kFirstPile + pile, &card, 1);
            p.points += kPointsAutoFill;
        }
    }
    return p.points - before;
}

bool CanfieldModel::Won(const Position& p) {
    if (p.reserveCount != 0 || p.wasteCount != 0 || p.stock.count != 0) return false;
    for (int pile = 0; pile < kPiles; ++pile)
        if (p.pileCount[pile] != 0) return false;
    return true;
}

bool CanfieldModel::Over(const Position& p) {
    const int stockSize = p.stock.count;
    if (p.recyclesUsed == 0 && stockSize > 0) return false;
    if (p.wasteCount > 0 && CanMove(p, p.waste[p.wasteCount - 1], true, true)) return false;
    if (p.reserveCount > 0 || stockSize > 0 || p.wasteCount > 0) {
        for (int pile = 0; pile < kPiles; ++pile)
            if (p.pileCount[pile] == 0) return false;
        if (p.reserveCount > 0 && CanMove(p, p.reserve[p.reserveCount - 1], true, true)) return false;
    }
    if (p.RecycleAllowed()) {
        for (int i = 0; i < p.wasteCount; ++i)
            if (CanMove(p, p.waste[i], true, true)) return false;
    }
    for (int i = 0; i < stockSize; ++i)
        if (CanMove(p, p.stock.Peek(i), true, true)) return false;
    for (int pile = 0; pile < kPiles; ++pile) {
        if (p.pileCount[pile] == 0) continue;
        if (CanMove(p, p.tableau[pile][p.pileCount[pile] - 1], true, false)) return false;
        for (int other = 0; other < kPiles; ++other) {
            if (other != pile && p.pileCount[other] > 0 && p.pileCount[other] + p.pileCount[pile] <= kPileSlots &&
                BuildsDown(p.tableau[pile][0], p.tableau[other][p.pileCount[other] - 1]))
                return false;
        }
    }
    return true;
}

void CanfieldModel::Encode(const Position& p, PositionCode& code) {
    tableau::EncodeStockAndWaste(code, p.stock, p.waste, p.wasteCount);
    tableau::EncodePile(code, p.reserve.data(), p.reserveCount);
    tableau::EncodeCard(code, p.baseCard);
    tableau::EncodeTops(code, p.foundations);
    for (int pile = 0; pile < kPiles; ++pile) tableau::EncodePile(code, p.tableau[pile].data(), p.pileCount[pile]);
    tableau::EncodeRecycles(code, p.recyclesUsed, p.recycles);
    code.Byte(static_cast<uint8_t>(p.cardsDealt | p.movePartial << 2 | p.fillFromStock << 3));
}

// ---- The table ----

CanfieldGame::CanfieldGame(Artwork* artwork) : ModelledTableauGame(artwork, kGameNumber) { heldSource = kNoSource; }

Position CanfieldGame::CurrentPosition() const {
    Position p;
    p.tableau = tableau;
    p.pileCount = pileCount;
    p.foundations = foundations;
    p.baseCard = baseCard;
    p.reserve = reserve;
    p.reserveCount = reserveCount;
    p.stock.Load(deck);
    p.waste = waste;
    p.wasteCount = wasteCount;
    p.turnedCount = turnedCount;
    p.recyclesUsed = recyclesUsed;
    p.points = points;
    const CanfieldRules rules = CanfieldRules::Read();
    p.cardsDealt = rules.cardsDealt;
    p.recycles = rules.recycles;
    p.movePartial = rules.movePartial;
    p.fillFromStock = rules.fillFromStock;
    return p;
}

int CanfieldGame::FoundationAt(int x, int y) {
    if (y != kFoundationY) return -1;
    for (int f = 0; f < kFoundations; ++f)
        if (ColumnX(f) == x) return f;
    return -1;
}

int CanfieldGame::PileDropAt(int x, int y) const {
    for (int pile = 0; pile < kPiles; ++pile)
        if (ColumnX(pile) == x && CardY(pileCount[pile]) == y) return pile;
    return -1;
}

void CanfieldGame::WasteTopPosition(const CanfieldRules& rules, int& x, int& y) const {
    if (rules.cardsDealt == 1) {
        x = LayerX(kWasteX, wasteCount);
        y = LayerY(kWasteY, wasteCount);
    } else {
        x = kWasteX + kWasteFanStep * std::max(turnedCount - 1, 0);
        y = kWasteY;
    }
}

// ---- Deal ----

void CanfieldGame::NewGame(bool restart) {
    BeginRuledDeal(restart);
    ClearHotspots();
    recyclesUsed = 0;
    turnedCount = 0;
    baseCard = Card();
    foundations.fill(Card());
    reserve.fill(Card());
    reserveCount = 0;
    waste.fill(Card());
    wasteCount = 0;
    for (auto& pile : tableau) pile.fill(Card());
    pileCount.fill(0);
    ClearHeld();
    fanDx = 0;
    fanDy = kTableauStep;
    fan2A = kWasteFanStep;
    fan2B = 0;
    SetStandardPanel();

    deck.SetPacks(1);
    deck.IncludeAll();
    deck.Shuffle();
    artwork->RestoreBackground(0, 799, 0, 599);
    artwork->DrawGameTitle(kGameNumber);
    Draw(true);
    if (Services().setGameMusic) Services().setGameMusic();

    const int screen = artwork->screenBuffer;
    for (int i = 0; i < kReserveSlots; ++i) {
        const Card card = deck.DealNext();
        if (!card.IsValid()) break;
        DrawStockArea(true);
        const bool faceUp = i == kReserveSlots - 1;
        AnimateCard(kStockX, kStockY, LayerX(kReserveX, i + 1), LayerY(kReserveY, i + 1), card, screen, true, true,
                    faceUp ? -1 : artwork->cardBack);
        reserve[reserveCount++] = card;
        PlaySound("deal.wav");
    }
    const Card base = deck.DealNext();
    if (base.IsValid()) {
        DrawStockArea(true);
        AnimateCard(kStockX, kStockY, ColumnX(0), kFoundationY, base, screen, true, true, -1);
        foundations[0] = base;
        baseCard = base;
        PlaySound("deal.wav");
    }
    for (int pile = 0; pile < kPiles; ++pile) {
        const Card card = deck.DealNext();
        if (!card.IsValid()) break;
        DrawStockArea(true);
        AnimateCard(kStockX, kStockY, ColumnX(pile), CardY(0), card, screen, true, true, -1);
        tableau[pile][pileCount[pile]++] = card;
        PlaySound("deal.wav");
    }
    Draw(true);
    StartClock(0);
}

// ---- Drawing ----

void CanfieldGame::DrawStockArea(bool present) {
    const CanfieldRules rules = CanfieldRules::Read();
    const int left = kStockX - kLayerMarginX - 10, top = kStockY - kLayerMarginY - 5;
    const int right = kStockX + artwork->cardWidth, bottom = kStockY + artwork->cardHeight;
    if (present) artwork->RestoreBackground(left, right, top, bottom);
    artwork->DrawStock(kStockX, kStockY, artwork->cardBack, deck, artwork->screenBuffer,
                       rules.RecycleAllowed(recyclesUsed));
    if (present) artwork->AddDirty({left, top, right, bottom});
}

void CanfieldGame::DrawWasteArea(bool present) {
    const CanfieldRules rules = CanfieldRules::Read();
    const int left = kWasteX - kLayerMarginX, top = kWasteY - kLayerMarginY;
    const int right = kWasteX + 2 * kWasteFanStep + artwork->cardWidth, bottom = kWasteY + artwork->cardHeight;
    if (present) artwork->RestoreBackground(left, right, top, bottom);
    const int screen = artwork->screenBuffer;
    if (wasteCount == 0) artwork->DrawPlaceholder(kWasteX, kWasteY, card_geometry::kPlaceholderEmptyPile, screen);
    else if (rules.cardsDealt == 1) artwork->DrawPile(kWasteX, kWasteY, waste.data(), wasteCount, screen, kNoFan);
    else
        artwork->DrawPile(kWasteX, kWasteY, waste.data(), wasteCount, screen, std::max(turnedCount, 1), kWasteFanStep, 0);
    if (present) artwork->AddDirty({left, top, right, bottom});
}

void CanfieldGame::DrawReserveArea(bool present) {
    const int left = kReserveX - kLayerMarginX, top = kReserveY - kLayerMarginY;
    const int right = kReserveX + artwork->cardWidth, bottom = kReserveY + artwork->cardHeight;
    if (present) artwork->RestoreBackground(left, right, top, bottom);
    const int screen = artwork->screenBuffer;
    // While the reserve's top card is in the hand, the cards under it are still unknown.
    const bool topInHand = dragging && heldSource == kReserveSource;
    const int shown = reserveCount + (topInHand ? 1 : 0);
    if (shown == 0 || (topInHand && reserveCount == 0)) {
        artwork->DrawPlaceholder(kReserveX, kReserveY, card_geometry::kPlaceholderEmptyPile, screen);
    } else {
        const int layers = PileLayers(reserveCount);
        for (int k = 0; k < layers; ++k) {
            const int x = kReserveX + kLayerStepX * k, y = kReserveY + kLayerStepY * k;
            if (k == layers - 1 && !topInHand) artwork->DrawCard(x, y, reserve[reserveCount - 1], screen);
            else artwork->DrawCardBack(x, y, artwork->cardBack, screen);
        }
    }
    if (present) artwork->AddDirty({left, top, right, bottom});
}

void CanfieldGame::DrawFoundationArea(int index, bool present) {
    const int x = ColumnX(index), y = kFoundationY;
    const int left = x - kLayerMarginX, top = y - kLayerMarginY;
    const int right = x + artwork->cardWidth, bottom = y + artwork->cardHeight;
    if (present) artwork->RestoreBackground(left, right, top, bottom);
    if (foundations[index].IsValid())
        artwork->DrawFoundation(x, y, foundations[index], artwork->screenBuffer, baseCard.Rank(), kDepthFromRanks);
    else
        artwork->DrawPlaceholder(x, y, card_geometry::kPlaceholderEmptyPile, artwork->screenBuffer);
    if (present) artwork->AddDirty({left, top, right, bottom});
}

void CanfieldGame::DrawPileArea(int pile, bool present) {
    const int x = ColumnX(pile);
    if (present) artwork->RestoreBackground(x, x + artwork->cardWidth, kTableauY, kScreenBottom);
    const int screen = artwork->screenBuffer;
    if (pileCount[pile] == 0) artwork->DrawPlaceholder(x, kTableauY, card_geometry::kPlaceholderEmptyPile, screen);
    for (int k = 0; k < pileCount[pile]; ++k) artwork->DrawCard(x, CardY(k), tableau[pile][k], screen);
    if (present) artwork->AddDirty({x, kTableauY, x + artwork->cardWidth, kScreenBottom});
}

void CanfieldGame::Draw(bool present) {
    artwork->RestoreBackground(0, 799, 0, 599);
    DrawStockArea(false);
    DrawWasteArea(false);
    for (int f = 0; f < kFoundations; ++f) DrawFoundationArea(f, false);
    for (int pile = 0; pile < kPiles; ++pile) DrawPileArea(pile, false);
    DrawReserveArea(false);
    DrawTableFrame(present);
    CheckGameOver();
}

// ---- Moves ----

void CanfieldGame::OnLButtonDown(WPARAM keys, int x, int y) {
    if (paused || gameOver) return;
    if (!OnStockTop(x, y, kStockX, kStockY)) {
        Game::OnLButtonDown(keys, x, y);
        return;
    }
    const Position position = CurrentPosition();
    if (position.stock.count > 0) {
        SaveUndo();
        turnedCount = 0;
        for (int i = 0; i < position.cardsDealt && wasteCount < kWasteSlots; ++i) {
            const Card card = deck.DealNext();
            if (!card.IsValid()) break;
            waste[wasteCount++] = card;
            ++turnedCount;
            PlaySound("flip.wav");
            DrawStockArea(true);
            DrawWasteArea(true);
            artwork->PresentDirty();
        }
        CheckGameOver();
    } else if (position.RecycleAllowed()) {
        SaveUndo();
        points -= kRecycleCost;
        ReturnWasteToStock(waste.data(), wasteCount);
        turnedCount = 0;
        ++recyclesUsed;
        DrawWasteArea(true);
        DrawStockArea(true);
        artwork->PresentDirty();
        CheckGameOver();
        PlaySound("shuffle.wav");
    }
}

void CanfieldGame::LiftCards(DragRecord& drag) {
    if (paused || gameOver) return;
    const Card first = drag.cards[0];
    if (wasteCount > 0 && first == waste[wasteCount - 1]) {
        SaveUndo();
        ClearHeld();
        held[0] = waste[--wasteCount];
        waste[wasteCount] = Card();
        heldCount = 1;
        heldSource = kWasteSource;
        turnedCount = std::max(turnedCount - 1, 0);
        DrawWasteArea(true);
        CheckGameOver();
        return;
    }
    if (reserveCount > 0 && first == reserve[reserveCount - 1]) {
        SaveUndo();
        ClearHeld();
        held[0] = reserve[--reserveCount];
        reserve[reserveCount] = Card();
        heldCount = 1;
        heldSource = kReserveSource;
        DrawReserveArea(true);
        CheckGameOver();
        return;
    }
    for (int pile = 0; pile < kPiles; ++pile) {
        if (ColumnX(pile) != drag.x) continue;
        for (int i = 0; i < pileCount[pile]; ++i) {
            if (CardY(i) != drag.y || tableau[pile][i] != first) continue;
            SaveUndo();
            ClearHeld();
            heldCount = pileCount[pile] - i;
            for (int k = 0; k < heldCount; ++k) {
                held[k] = tableau[pile][i + k];
                tableau[pile][i + k] = Card();
            }
            heldSource = pile;
            pileCount[pile] = i;
            DrawPileArea(pile, true);
            CheckGameOver();
            return;
        }
    }
}

bool CanfieldGame::CanDrop(DragRecord& drag, DropTarget& target) {
    const Position position = CurrentPosition();
    const int foundation = FoundationAt(target.x, target.y);
    if (foundation >= 0) return drag.count == 1 && CanfieldModel::BuildsUp(position, drag.cards[0], foundation);
    const int pile = PileDropAt(target.x, target.y);
    return pile >= 0 && CanfieldModel::FitsPile(position, pile, drag.cards[0], drag.count, heldSource == kReserveSource);
}

void CanfieldGame::DropCards(DragRecord& drag, DropTarget& target) {
    if (heldCount < 1 || drag.cards[0] != held[0]) {
        CheckGameOver();
        return;
    }
    const int foundation = FoundationAt(target.x, target.y);
    const int pile = foundation < 0 ? PileDropAt(target.x, target.y) : -1;
    const bool fromHand = heldSource == kWasteSource || heldSource == kReserveSource;
    if (foundation >= 0 && heldCount == 1) {
        foundations[foundation] = held[0];
        points += fromHand ? kPointsToFoundationFromHand : kPointsToFoundationFromPile;
        ClearHeld();
        PlaySound("foundation.wav");
        DrawFoundationArea(foundation, true);
    } else if (pile >= 0 && pileCount[pile] + heldCount <= kPileSlots) {
        if (fromHand) points += kPointsPerCardFromHand * heldCount;
        for (int i = 0; i < heldCount; ++i) tableau[pile][pileCount[pile]++] = held[i];
        ClearHeld();
        PlaySound("tableau.wav");
        DrawPileArea(pile, true);
    }
    DrawReserveArea(true);
    artwork->PresentDirty();
    CheckGameOver();
}

void CanfieldGame::ReturnCards() {
    if (heldSource == kNoSource || heldCount < 1) return;
    DropNewestUndoRecord();
    if (heldSource == kWasteSource) {
        if (wasteCount < kWasteSlots) waste[wasteCount++] = held[0];
        ++turnedCount;
        // The slide back drew the card where it was picked up, but the waste's depth may have
        // changed with its count: draw the waste again.
        DrawWasteArea(true);
        artwork->PresentDirty();
    } else if (heldSource == kReserveSource) {
        if (reserveCount < kReserveSlots) reserve[reserveCount++] = held[0];
    } else {
        for (int i = 0; i < heldCount && pileCount[heldSource] < kPileSlots; ++i)
            tableau[heldSource][pileCount[heldSource]++] = held[i];
    }
    ClearHeld();
    CheckGameOver();
}

void CanfieldGame::AfterMove() {
    if (reserveCount == 0) return;
    int pile = 0;
    while (pile < kPiles && pileCount[pile] > 0) ++pile;
    if (pile == kPiles) return;
    DragRecord record;
    record.x = LayerX(kReserveX, reserveCount);
    record.y = LayerY(kReserveY, reserveCount);
    record.cards[0] = reserve[reserveCount - 1];
    record.count = 1;
    dragging = true;
    LiftCards(record);
    AnimateCards(record.x, record.y, ColumnX(pile), CardY(0), 1, record.cards.data(), artwork->screenBuffer, true,
                 false);
    dragging = false;
    DropTarget target{ColumnX(pile), CardY(0), CardHitRect(ColumnX(pile), CardY(0)), kPlainTargetKind};
    DropCards(record, target);
    points += kPointsAutoFill;
    CheckGameOver();
}

// ---- Hotspots and tools ----

void CanfieldGame::RegisterHotspots() {
    const CanfieldRules rules = CanfieldRules::Read();
    pickups.clear();
    dropTargets.clear();
    if (paused || gameOver) return;
    if (wasteCount > 0) {
        int x = 0, y = 0;
        WasteTopPosition(rules, x, y);
        AddPickup(x, y, &waste[wasteCount - 1], 1);
    }
    if (reserveCount > 0)
        AddPickup(LayerX(kReserveX, reserveCount), LayerY(kReserveY, reserveCount), &reserve[reserveCount - 1], 1);
    for (int pile = 0; pile < kPiles; ++pile)
        tableau::ForEachPileStack(pileCount[pile], 0, rules.movePartial, [&](int k, int n) {
            AddPickup(ColumnX(pile), CardY(k), &tableau[pile][k], n);
        });
    for (int f = 0; f < kFoundations; ++f)
        AddDropTarget(ColumnX(f), kFoundationY, CardHitRect(ColumnX(f), kFoundationY), kAutoMoveKind);
    for (int pile = 0; pile < kPiles; ++pile) {
        const int y = CardY(pileCount[pile]);
        AddDropTarget(ColumnX(pile), y, CardHitRect(ColumnX(pile), y), kPlainTargetKind);
    }
}

bool CanfieldGame::CardOrigin(int place, int index, int& x, int& y) const {
    using Model = CanfieldModel;
    const int f = place - Model::kFirstFoundation, pile = place - Model::kFirstPile;
    if (place == Model::kStockPlace) {
        x = kStockX, y = kStockY;
    } else if (place == Model::kWastePlace) {
        WasteTopPosition(CanfieldRules::Read(), x, y);
    } else if (place == Model::kReservePlace) {
        x = LayerX(kReserveX, reserveCount), y = LayerY(kReserveY, reserveCount);
    } else if (f >= 0 && f < kFoundations) {
        x = ColumnX(f), y = kFoundationY;
    } else if (pile >= 0 && pile < kPiles) {
        x = ColumnX(pile), y = CardY(ResolveIndex(index, pileCount[pile]));
    } else {
        return false;
    }
    return true;
}

double CanfieldGame::GetScoreFactor() {
    const CanfieldRules rules = CanfieldRules::Read();
    double factor = rules.movePartial ? 0.95 : 1.0;
    if (rules.fillFromStock) factor *= 0.9;
    if (rules.cardsDealt == 2) factor *= 1.1;
    if (rules.cardsDealt == 3) factor *= 1.2;
    return factor;
}

// ---- Undo ----

void CanfieldGame::SaveUndo() {
    UndoWriter writer = BeginUndoRecord();
    writer.CardValue(baseCard);
    writer.Cards(foundations.data(), kFoundations);
    writer.Cards(waste.data(), kWasteSlots);
    writer.Int(wasteCount);
    writer.Cards(reserve.data(), kReserveSlots);
    writer.Int(reserveCount);
    for (const auto& pile : tableau) writer.Cards(pile.data(), kPileSlots);
    for (int32_t count : pileCount) writer.Int(count);
    writer.Int(points);
    writer.Int(ElapsedSeconds());
    PushUndoRecord(writer);
}

bool CanfieldGame::RestoreRecord(std::span<const uint8_t> record) {
    UndoReader reader(record);
    if (!ReadBaseState(reader)) return false;
    Card readBase;
    std::array<Card, kFoundations> readFoundations;
    std::array<Card, kWasteSlots> readWaste;
    std::array<Card, kReserveSlots> readReserve;
    std::array<std::array<Card, kPileSlots>, kPiles> readTableau;
    std::array<int32_t, kPiles> readCounts;
    int32_t readWasteCount = 0, readReserveCount = 0, readPoints = 0, elapsed = 0;
    reader.CardValue(readBase);
    reader.Cards(readFoundations.data(), kFoundations);
    reader.Cards(readWaste.data(), kWasteSlots);
    reader.IntIn(readWasteCount, 0, kWasteSlots);
    reader.Cards(readReserve.data(), kReserveSlots);
    reader.IntIn(readReserveCount, 0, kReserveSlots);
    for (auto& pile : readTableau) reader.Cards(pile.data(), kPileSlots);
    for (int32_t& count : readCounts) reader.IntIn(count, 0, kPileSlots);
    reader.IntIn(readPoints, -kMaxRecordPoints, kMaxRecordPoints);
    reader.IntIn(elapsed, 0, kMaxRecordSeconds);
    if (!reader.AtEnd() || !readBase.IsValid()) return false;

    // Every card in play exactly once: the foundations hold their suit from the base rank up to
    // their top card, and everything else is in the stock, waste, reserve or piles.
    PackTally tally;
    if (!tally.TakeStock(*reader.deck) || !tally.TakeCards(readWaste.data(), readWasteCount) ||
        !tally.TakeCards(readReserve.data(), readReserveCount))
        return false;
    for (int pile = 0; pile < kPiles; ++pile)
        if (!tally.TakeCards(readTableau[pile].data(), readCounts[pile])) return false;
    for (Card top : readFoundations)
        if (!tally.TakeFoundation(top, readBase.Rank())) return false;
    if (!tally.WholePack()) return false;

    CommitBaseState(reader);
    baseCard = readBase;
    foundations = readFoundations;
    waste = readWaste;
    wasteCount = readWasteCount;
    ClearPastCount(waste, wasteCount);
    reserve = readReserve;
    reserveCount = readReserveCount;
    ClearPastCount(reserve, reserveCount);
    tableau = readTableau;
    pileCount = readCounts;
    for (int pile = 0; pile < kPiles; ++pile)
        ClearPastCount(tableau[pile], pileCount[pile]);
    turnedCount = std::min(turnedCount, wasteCount);
    ClearHeld();
    FinishUndo(readPoints, elapsed);
    return true;
}
