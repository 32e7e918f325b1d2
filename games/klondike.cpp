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

// ---- The model ----

using Position = KlondikeModel::Position;
using tableau::NextRank;

bool KlondikeModel::CanStack(const Position& p, Card moving, Card onto, bool ontoFoundation) {
    if (moving.Rank() == p.startRank) return false;
    if (ontoFoundation) return moving.Rank() == NextRank(onto.Rank()) && moving.Suit() == onto.Suit();
    return onto.IsValid() && NextRank(moving.Rank()) == onto.Rank() && moving.IsRed() != onto.IsRed();
}

bool KlondikeModel::FitsFoundation(const Position& p, int f, Card lowest, int count) {
    if (count != 1) return false;
    if (!p.foundations[f].IsValid()) return lowest.Rank() == p.startRank;
    return CanStack(p, lowest, p.foundations[f], true);
}

bool KlondikeModel::FitsPile(const Position& p, int pile, Card lowest, int count) {
    if (p.pileCount[pile] + count > kPileSlots) return false;
    if (p.pileCount[pile] == 0) return !p.rules.tableauStart || NextRank(lowest.Rank()) == p.startRank;
    if (!p.FaceUpTop(pile)) return false;
    return CanStack(p, lowest, p.tableau[pile][p.pileCount[pile] - 1], false);
}

KlondikeModel::StockPress KlondikeModel::PressStock(const Position& p) {
    if (p.stock.count > 0) return StockPress::kDeal;
    return p.rules.TurnAllowed(p.turnsUsed) ? StockPress::kTurn : StockPress::kNothing;
}

namespace {

// Every place a stack picked up at (from, index) may go, except back where it came from.
void AddDrops(const Position& p, int from, int index, Card lowest, int count, MoveList& out) {
    PlayMove move = tableau::MakeMove(from, index, -1, count);
    for (int f = 0; f < KlondikeModel::kFoundations; ++f) {
        if (!KlondikeModel::FitsFoundation(p, f, lowest, count)) continue;
        move.to = static_cast<int8_t>(KlondikeModel::kFirstFoundation + f);
        out.push_back(move);
    }
    for (int pile = 0; pile < KlondikeModel::kPiles; ++pile) {
        if (KlondikeModel::kFirstPile + pile == from || !KlondikeModel::FitsPile(p, pile, lowest, count)) continue;
        move.to = static_cast<int8_t>(KlondikeModel::kFirstPile + pile);
        out.push_back(move);
    }
}

void FlipTop(Position& p, int pile) {
    p.points += kPointsTurnCard;
    --p.faceDownCount[pile];
}

}  // namespace

// The pick-ups are those of the table: the waste's top card, each pile's top card, and either
// every face-up run (MovePartial) or the whole face-up part of a pile.
void KlondikeModel::Moves(const Position& p, MoveList& out) {
    out.clear();
    if (PressStock(p) != StockPress::kNothing) out.push_back({PlayMove::kStock});
    for (int pile = 0; pile < kPiles; ++pile)
        if (p.AllFaceDown(pile)) out.push_back({PlayMove::kFlip, static_cast<int8_t>(kFirstPile + pile)});
    if (p.wasteCount > 0) AddDrops(p, kWastePlace, p.wasteCount - 1, p.waste[p.wasteCount - 1], 1, out);
    for (int pile = 0; pile < kPiles; ++pile) {
        tableau::ForEachPileStack(p.pileCount[pile], p.faceDownCount[pile], p.rules.movePartial, [&](int k, int n) {
            AddDrops(p, kFirstPile + pile, k, p.tableau[pile][k], n, out);
        });
    }
}

int KlondikeModel::Apply(Position& p, const PlayMove& move) {
    const int32_t before = p.points;
    if (move.kind == PlayMove::kStock) {
        const StockPress press = PressStock(p);
        if (press == StockPress::kDeal) {
            p.dealtThisTurn = p.stock.DealOnto(p.waste.data(), p.wasteCount, kWasteSlots, p.rules.cardsDealt);
        } else if (press == StockPress::kTurn) {
            p.points -= kTurnWasteCost;
            p.stock.TakeWaste(p.waste.data(), p.wasteCount);
            ++p.turnsUsed;
            p.dealtThisTurn = 0;
        }
    } else if (move.kind == PlayMove::kFlip) {
        FlipTop(p, move.from - kFirstPile);
    } else if (move.kind == PlayMove::kMove) {
        std::array<Card, kMaxStackCards> cards{};
        const int count = move.count;
        const bool fromWaste = move.from == kWastePlace;
        if (fromWaste) {
            cards[0] = p.waste[--p.wasteCount];
            p.waste[p.wasteCount] = Card();
            --p.dealtThisTurn;
        } else {
            auto& pile = p.tableau[move.from - kFirstPile];
            for (int i = 0; i < count; ++i) {
                cards[i] = pile[move.index + i];
                pile[move.index + i] = Card();
            }
            p.pileCount[move.from - kFirstPile] = move.index;
        }
        if (move.to < kFirstPile) {
            p.points += fromWaste ? kPointsWasteToFoundation : kPointsTableauToFoundation;
            p.foundations[move.to - kFirstFoundation] = cards[0];
        } else {
            const int pile = move.to - kFirstPile;
            if (fromWaste) p.points += kPointsPerWasteCard * count;
            for (int i = 0; i < count; ++i) p.tableau[pile][p.pileCount[pile]++] = cards[i];
        }
        if (p.rules.autoFlip)
            for (int pile = 0; pile < kPiles; ++pile)
                if (p.AllFaceDown(pile)) FlipTop(p, pile);
    }
    return p.points - before;
}

bool KlondikeModel::Won(const Position& p) {
    if (p.wasteCount != 0 || p.stock.count != 0) return false;
    for (int pile = 0; pile < kPiles; ++pile)
        if (p.pileCount[pile] != 0) return false;
    return true;
}

// Over when no face-down top waits to be turned, the stock has been seen through once, and no
// card that can still come into play (from stock and waste, the piles' tops and, with
// MovePartial, the cards a partial move would uncover) has anywhere useful to go.
bool KlondikeModel::Over(const Position& p) {
    for (int pile = 0; pile < kPiles; ++pile)
        if (p.AllFaceDown(pile)) return false;
    const int stockSize = p.stock.count;
    if (p.turnsUsed == 0 && stockSize > 0) return false;

    tableau::Candidates<128> candidates;
    auto add = [&](Card card) { candidates.Add(card); };
    candidates.AddTurnable(p.stock, p.waste.data(), p.wasteCount, p.rules.cardsDealt, p.rules.TurnAllowed(p.turnsUsed));
    if (stockSize > 0) add(p.stock.Peek(stockSize - 1));
    auto fillsEmptyPile = [&](Card card) { return !p.rules.tableauStart || NextRank(card.Rank()) == p.startRank; };

    for (int c = 0; c < candidates.count; ++c) {
        for (int pile = 0; pile < kPiles; ++pile) {
            if (p.pileCount[pile] == 0) {
                if (fillsEmptyPile(candidates[c])) return false;
            } else if (p.FaceUpTop(pile) && CanStack(p, candidates[c], p.tableau[pile][p.pileCount[pile] - 1], false)) {
                return false;
            }
        }
    }

    for (int i = 0; i < kPiles; ++i) {
        if (!p.FaceUpTop(i)) continue;
        const Card lowest = p.tableau[i][p.faceDownCount[i]];
        for (int j = 0; j < kPiles; ++j) {
            if (j == i) continue;
            if (p.FaceUpTop(j) && CanStack(p, lowest, p.tableau[j][p.pileCount[j] - 1], false)) {
                if (p.faceDownCount[i] > 0) return false;
                // Moving the whole pile empties it: worth it only if something can then fill it.
                if (!p.rules.tableauStart) return false;
                for (int c = 0; c < candidates.count; ++c)
                    if (NextRank(candidates[c].Rank()) == p.startRank) return false;
                for (int k = 0; k < kPiles; ++k) {
                    if (k == j || p.faceDownCount[k] == 0 || !p.FaceUpTop(k)) continue;
                    if (NextRank(p.tableau[k][p.faceDownCount[k]].Rank()) == p.startRank) return false;
                }
            }
            if (p.pileCount[j] == 0 && p.faceDownCount[i] > 0 && fillsEmptyPile(lowest)) return false;
        }
    }

    for (int pile = 0; pile < kPiles; ++pile)
        if (p.FaceUpTop(pile)) add(p.tableau[pile][p.pileCount[pile] - 1]);
    if (p.rules.movePartial) {
        for (int i = 0; i < kPiles; ++i) {
            for (int m = p.faceDownCount[i] + 1; m < p.pileCount[i]; ++m) {
                for (int j = 0; j < kPiles; ++j) {
                    if (j != i && p.FaceUpTop(j) && CanStack(p, p.tableau[i][m], p.tableau[j][p.pileCount[j] - 1], false))
                        add(p.tableau[i][m - 1]);
                }
            }
        }
    }
    for (int c = 0; c < candidates.count; ++c) {
        for (int f = 0; f < kFoundations; ++f) {
            if (candidates[c].Rank() == p.startRank) return false;
            if (p.foundations[f].IsValid() && CanStack(p, candidates[c], p.foundations[f], true)) return false;
        }
    }
    return true;
}

void KlondikeModel::Encode(const Position& p, PositionCode& code) {
    tableau::EncodeStockAndWaste(code, p.stock, p.waste, p.wasteCount);
    tableau::EncodeTops(code, p.foundations);
    for (int pile = 0; pile < kPiles; ++pile) {
        code.Byte(static_cast<uint8_t>(p.faceDownCount[pile]));
        tableau::EncodePile(code, p.tableau[pile].data(), p.pileCount[pile]);
    }
    code.Byte(static_cast<uint8_t>(p.startRank));
    code.Byte(static_cast<uint8_t>(std::min(p.turnsUsed, 255)));
    const KlondikeRules& r = p.rules;
    code.Byte(static_cast<uint8_t>(r.cardsDealt));
    code.Byte(static_cast<uint8_t>(std::min(r.recycles, 255)));
    code.Byte(static_cast<uint8_t>(r.filledIn | r.tableauStart << 1 | r.movePartial << 2 | r.autoFlip << 3));
}

// ---- The table ----

KlondikeGame::KlondikeGame(Artwork* artwork) : ModelledTableauGame(artwork, kGameNumber) { heldSource = kNoSource; }

Position KlondikeGame::CurrentPosition() const {
    Position p;
    p.tableau = tableau;
    p.pileCount = pileCount;
    p.faceDownCount = faceDownCount;
    p.foundations = foundations;
    p.stock.Load(deck);
    p.waste = waste;
    p.wasteCount = wasteCount;
    p.startRank = startRank;
    p.turnsUsed = turnsUsed;
    p.dealtThisTurn = dealtThisTurn;
    p.rules = KlondikeRules::Read();
    p.points = points;
    return p;
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
    DrawFoundationTop(kFoundationX[index], kFoundationY, foundations[index], startRank, present);
}

void KlondikeGame::DrawPileArea(int pile, bool present) {
    DrawFannedPile(PileX(pile), kTableauY, kTableauStep, tableau[pile].data(), pileCount[pile], faceDownCount[pile],
                   kScreenBottom, present);
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
    const Position position = CurrentPosition();
    if (OnStockTop(x, y, kStockX, kStockY)) {
        const KlondikeModel::StockPress press = KlondikeModel::PressStock(position);
        if (press == KlondikeModel::StockPress::kDeal) {
            SaveUndo();
            DealToWaste(position.rules);
        } else if (press == KlondikeModel::StockPress::kTurn) {
            SaveUndo();
            TurnWaste();
        } else {
            CheckGameOver();
        }
        return;
    }
    for (int pile = 0; pile < kPiles; ++pile) {
        if (!position.AllFaceDown(pile)) continue;
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
    const Position position = CurrentPosition();
    const int foundation = FoundationAt(target.x, target.y);
    if (foundation >= 0) return KlondikeModel::FitsFoundation(position, foundation, drag.cards[0], drag.count);
    const int pile = PileDropAt(target.x, target.y);
    return pile >= 0 && KlondikeModel::FitsPile(position, pile, drag.cards[0], drag.count);
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
    const Position position = CurrentPosition();
    if (!position.rules.autoFlip) return;
    for (int pile = 0; pile < kPiles; ++pile)
        if (position.AllFaceDown(pile)) TurnPileTop(pile);
}

// ---- Hotspots and tools ----

void KlondikeGame::RegisterHotspots() {
    const KlondikeRules rules = KlondikeRules::Read();
    pickups.clear();
    if (wasteCount > 0) {
        int x = 0, y = 0;
        WasteTopPosition(rules, x, y);
        AddPickup(x, y, &waste[wasteCount - 1], 1);
    }
    for (int pile = 0; pile < kPiles; ++pile) {
        tableau::ForEachPileStack(pileCount[pile], faceDownCount[pile], rules.movePartial, [&](int k, int n) {
            AddPickup(PileX(pile), CardY(k), &tableau[pile][k], n);
        });
    }
    dropTargets.clear();
    for (int i = 0; i < kFoundations; ++i)
        AddDropTarget(kFoundationX[i], kFoundationY, CardHitRect(kFoundationX[i], kFoundationY), kAutoMoveKind);
    for (int pile = 0; pile < kPiles; ++pile) {
        if (pileCount[pile] > 0 && !FaceUpTop(pile)) continue;
        const int y = CardY(pileCount[pile]);
        AddDropTarget(PileX(pile), y, CardHitRect(PileX(pile), y), kPlainTargetKind);
    }
}

bool KlondikeGame::CardOrigin(int place, int index, int& x, int& y) const {
    using Model = KlondikeModel;
    const int f = place - Model::kFirstFoundation, pile = place - Model::kFirstPile;
    if (place == Model::kStockPlace) {
        x = kStockX, y = kStockY;
    } else if (place == Model::kWastePlace) {
        WasteTopPosition(KlondikeRules::Read(), x, y);
    } else if (f >= 0 && f < kFoundations) {
        x = kFoundationX[f], y = kFoundationY;
    } else if (pile >= 0 && pile < kPiles) {
        x = PileX(pile), y = CardY(ResolveIndex(index, pileCount[pile]));
    } else {
        return false;
    }
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
