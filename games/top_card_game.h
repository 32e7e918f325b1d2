// The games whose piles show only their top card (Four Seasons, Simplicity): single cards dealt to
// the piles, four foundations built up in suit from a starting rank, a stock turned onto a waste
// one to three cards at a time. Both kinds of building wrap round between the King and the Ace.
// A game gives its pile count, its pile build rule, how the waste goes back to the stock, and
// where things lie on the table.
#pragma once

#include <algorithm>
#include <array>
#include <cstdint>

#include "games/tableau_game.h"

// The rule values, read from the settings store whenever a rule needs them ("CardsDealt" 1..3,
// "Recycles" 0..4 or no limit, "StartCard" -1 for a card from the deck or a rank index); values
// outside their range read as the default.
struct TopCardRules {
    // No recycles until the dialog stores a value.
    int32_t cardsDealt = 1, recycles = 0, filledIn = 0, startCard = -1;
    static constexpr tableau::RuleField<TopCardRules> kFields[] = {
        {&TopCardRules::cardsDealt, "CardsDealt"}, {&TopCardRules::recycles, "Recycles"},
        {&TopCardRules::filledIn, "FilledIn", true}, {&TopCardRules::startCard, "StartCard"}};

    // Filling the foundations makes the game easier, dealing more cards at a time harder.
    double ScoreFactor() const {
        double factor = filledIn ? 0.9 : 1.0;
        if (cardsDealt == 2) factor *= 1.1;
        if (cardsDealt == 3) factor *= 1.2;
        return factor;
    }
};

// The rules as a model of play. Places: 0 the stock, 1 the waste, 2..5 the foundations, then the
// piles. kStock turns cards onto the waste or takes the waste back; a move picks up the top card
// of a pile or the waste. Encode leaves out the points and the cards dealt this turn (which only
// say how the waste is fanned).
//
// Table gives kPiles, kAlternateColours (a pile builds down in alternating colours, else
// regardless of suit) and kGatherWaste (the waste goes back as it lies, else turned over).
template <typename Table>
struct TopCardModel {
    static constexpr int kPiles = Table::kPiles, kPileSlots = 13, kFoundations = 4, kWasteSlots = 48;
    static constexpr int kStockPlace = 0, kWastePlace = 1, kFirstFoundation = 2, kFirstPile = 6;

    using Rules = TopCardRules;
    struct Position : tableau::StockAndWaste<kFoundations, Card::kCardsPerPack, kWasteSlots>, Rules {
        std::array<std::array<Card, kPileSlots>, kPiles> piles{};
        std::array<int32_t, kPiles> pileCount{};
        int32_t dealtThisTurn = 0;
        int32_t startRank = -1;
        int32_t recyclesUsed = 0;
        int32_t points = 0;

        bool RecycleAllowed() const { return tableau::RecycleAllowed(recycles, recyclesUsed); }
        Card PileTop(int pile) const { return pileCount[pile] > 0 ? piles[pile][pileCount[pile] - 1] : Card(); }
    };

    // Building by rank, round the corner: up in suit on a foundation, down on a pile.
    static bool CanPlay(Card card, Card top, bool toFoundation) {
        if (!card.IsValid() || !top.IsValid()) return false;
        if (toFoundation) return card.Suit() == top.Suit() && card.Rank() == tableau::NextRank(top.Rank());
        if (Table::kAlternateColours && card.IsRed() == top.IsRed()) return false;
        return tableau::NextRank(card.Rank()) == top.Rank();
    }
    static bool FitsPile(const Position& p, int pile, Card card, int = 1) {
        if (p.pileCount[pile] >= kPileSlots) return false;
        return p.pileCount[pile] == 0 || CanPlay(card, p.PileTop(pile), false);
    }
    static bool FitsFoundation(const Position& p, int f, Card card, int = 1) {
        return tableau::FitsFoundationTop(p.foundations[f], card, 1, p.startRank);
    }

    static void Moves(const Position& p, MoveList& out) {
        out.clear();
        if (p.stock.count > 0 || p.RecycleAllowed()) out.push_back({PlayMove::kStock});
        // The top card of the waste and of each pile, to every place that takes it.
        auto drops = [&p, &out](int place, const Card* cards, int count) {
            if (count > 0) tableau::AddDrops<TopCardModel>(p, place, count - 1, cards[count - 1], 1, out);
        };
        drops(kWastePlace, p.waste.data(), p.wasteCount);
        for (int pile = 0; pile < kPiles; ++pile) drops(kFirstPile + pile, p.piles[pile].data(), p.pileCount[pile]);
    }

    static int Apply(Position& p, const PlayMove& move) {
        const int32_t before = p.points;
        if (move.kind == PlayMove::kStock) {
            // Turned over twice, the waste goes back as it lies (kGatherWaste).
            tableau::DealOrTurn(p, p.cardsDealt, p.RecycleAllowed(), p.dealtThisTurn, p.recyclesUsed,
                                Table::kGatherWaste);
        } else if (move.kind == PlayMove::kMove) {
            tableau::MoveCards(p, move, p.piles, p.pileCount, kFirstFoundation, kFirstPile, [&p](int) {
                p.dealtThisTurn = std::max(p.dealtThisTurn - 1, 0);
                return tableau::TakeTop(p.waste, p.wasteCount);
            });
        }
        return p.points - before;
    }

    static bool Won(const Position& p) { return tableau::FoundationsComplete(p.foundations, p.startRank); }

    static bool Over(const Position& p) {
        if (p.recyclesUsed == 0 && p.stock.count > 0) return false;
        auto goesHome = [&p](Card card) { return tableau::GoesHome(p.foundations, card, p.startRank); };
        // Cards that can come to the top of the waste without any other move.
        tableau::Candidates<129> candidates;
        candidates.AddTurnable(p.stock, p.waste.data(), p.wasteCount, p.cardsDealt, p.RecycleAllowed());
        // Such a card goes on an empty pile or on a pile's top that takes it.
        for (int c = 0; c < candidates.count; ++c)
            for (int pile = 0; pile < kPiles; ++pile)
                if (p.pileCount[pile] == 0 || CanPlay(candidates[c], p.PileTop(pile), false)) return false;
        for (int pile = 0; pile < kPiles; ++pile) candidates.Add(p.PileTop(pile));
        for (int c = 0; c < candidates.count; ++c)
            if (goesHome(candidates[c])) return false;

        // Look ahead: shifting a pile's cards onto the other piles may uncover a card that plays,
        // or empty the pile for the waste's top card.
        for (int k = 0; k < kPiles; ++k) {
            if (p.pileCount[k] == 0) continue;
            std::array<Card, kPiles> tops;
            for (int pile = 0; pile < kPiles; ++pile) tops[pile] = p.PileTop(pile);
            for (int index = p.pileCount[k] - 1; index >= 0; --index) {
                const Card exposed = p.piles[k][index];
                int onto = -1;
                for (int pile = 0; pile < kPiles && onto < 0; ++pile)
                    if (pile != k && CanPlay(exposed, tops[pile], false)) onto = pile;
                if (onto < 0) break;
                tops[onto] = exposed;
                if (index == 0 && p.wasteCount > 0) return false;
                if (index > 0 && goesHome(p.piles[k][index - 1])) return false;
            }
        }
        return true;
    }

    static void Encode(const Position& p, PositionCode& code) {
        tableau::EncodeStockAndWaste(code, p.stock, p.waste, p.wasteCount);
        tableau::EncodeTops(code, p.foundations);
        for (int pile = 0; pile < kPiles; ++pile) tableau::EncodePile(code, p.piles[pile].data(), p.pileCount[pile]);
        code.Byte(static_cast<uint8_t>(p.startRank));
        tableau::EncodeRecycles(code, p.recyclesUsed, p.recycles);
        code.Byte(static_cast<uint8_t>(p.cardsDealt));
    }
    static void Cards(const Position& p, CardTally& out) {
        tableau::AddCards(out, p, p.piles, p.pileCount, p.startRank);
    }
};

// The table: the game deals and keeps its undo record, the shared base does the rest from PlaceAt.
// Table gives kGameNumber, where things lie (kStockX/Y, kWasteX/Y, kPileX/Y, kFoundationX/Y), how
// many fan steps right of the waste's card its area reaches (kWasteFanSteps) and how the two games
// differ: kFlipOnStockDeal (a deal from the stock sounds a flip), kReturnRedrawsTable (a stack put
// back redraws the whole table), kUndoFitsFan (after an undo the waste fans out no more cards than
// it holds) and kUndoSoundFirst.
template <typename Table>
class TopCardGame : public ModelledTableauGame<TopCardModel<Table>>, public Table {
    using Base = ModelledTableauGame<TopCardModel<Table>>;

public:
    using Model = TopCardModel<Table>;
    using Position = typename Model::Position;
    using Table::kPiles;
    // The waste's area reaches up and left by its layers of depth.
    static constexpr int kWasteFanStep = 10, kWasteMarginX = 20, kWasteMarginY = 10;

    explicit TopCardGame(Artwork* artwork) : Base(artwork, Table::kGameNumber) {
        // The undo sounds, if at all, before the record is read (undoSoundFirst); a drop is silent.
        this->undoSoundFirst = Table::kUndoSoundFirst;
        this->restoreSounds = false;
        this->dropSounds = false;
        this->pressDecides = true;
        if (!Table::kFlipOnStockDeal) this->dealSound = nullptr;
    }

    void NewGame(bool restart) override {
        this->BeginTableauDeal(restart, 20, 25, kWasteFanStep);
        const TopCardRules rules = this->ReadRules();
        position.startRank = rules.startCard;
        if (rules.filledIn) this->StartFoundations(position.foundations, position.startRank, rules.startCard, true);
        this->ShowOpening();

        // Each card is dealt from the stock with a flip: one to each pile, then the starting card when
        // the rules chose no starting rank.
        for (int pile = 0; pile < kPiles; ++pile) {
            const Card card = this->DealTo(Model::kFirstPile + pile, false, "flip.wav");
            if (!card.IsValid()) break;
            position.piles[pile][position.pileCount[pile]++] = card;
        }
        if (position.startRank == -1) {
            position.foundations[0] = this->DealTo(Model::kFirstFoundation, false, "flip.wav");
            if (position.foundations[0].IsValid()) position.startRank = position.foundations[0].Rank();
        }
        this->DrawTable(true);
        this->CheckGameOver();
        this->StartClock(0);
    }

    using Base::position;

protected:
    using Base::artwork;
    using Place = tableau::Place;
    using typename Base::Fields;

    // The record keeps where a held card came from as a pile's index, the pile count for the waste
    // or -1 for none.
    void RecordFields(Fields& fields, Position& p, int32_t& recordPoints, int32_t& seconds) override {
        const int32_t held = this->heldSource;
        int32_t source = held == Base::kWasteSource ? kPiles : held == Base::kNoSource ? -1 : held - Model::kFirstPile;
        fields.Piles(p.piles, p.pileCount);
        fields.Cards(p.foundations);
        fields.Int(p.startRank, -1, Card::kRankCount - 1);
        fields.Pile(p.waste, p.wasteCount);
        fields.Int(source, -1, kPiles);
        fields.Clock(recordPoints, seconds);
    }
    // Every card once: stock, waste, piles, and each foundation from the starting rank up.
    bool AcceptRecord(PackTally& tally, Position& read) override {
        if (!tableau::TakePile(tally, read.waste, read.wasteCount) ||
            !tableau::TakePiles(tally, read.piles, read.pileCount) ||
            !tally.TakeFoundations(read.foundations, read.startRank) || !tally.WholePack())
            return false;
        if (Table::kUndoFitsFan) read.dealtThisTurn = std::min(read.dealtThisTurn, read.wasteCount);
        return true;
    }
    // A pile or a foundation shows its top card only, without the thickness of the cards under it.
    Place PlaceAt(int place) const override {
        const Position& p = position;
        const int f = place - Model::kFirstFoundation, pile = place - Model::kFirstPile;
        if (place == Model::kStockPlace)
            return Place::Stock(Table::kStockX, Table::kStockY, play_position::kLayerRoomX, play_position::kLayerRoomY,
                                tableau::RecycleAllowed(this->ReadRules().recycles, p.recyclesUsed));
        if (place == Model::kWastePlace)
            return Place::WasteAt(Table::kWasteX, Table::kWasteY, p.waste.data(), p.wasteCount,
                                  this->ReadRules().cardsDealt, p.dealtThisTurn, kWasteFanStep)
                .Drawn(kWasteMarginX, kWasteMarginY, Table::kWasteFanSteps * kWasteFanStep);
        if (f >= 0 && f < Model::kFoundations)
            return Place::Foundation(Table::kFoundationX[f], Table::kFoundationY[f], p.foundations[f]);
        if (pile >= 0 && pile < kPiles)
            return Place::Column(Table::kPileX[pile], Table::kPileY[pile], 0, p.piles[pile].data(), p.pileCount[pile]);
        return {};
    }
    // A pile offers its top card alone.
    typename Base::ColumnRuns RunsOf(int, const Place& at) const override { return {std::max(at.count - 1, 0), false}; }
    // A card lifted off the waste is one fewer of those fanned out.
    void AfterLift(int place) override {
        if (place == Model::kWastePlace) position.dealtThisTurn = std::max(position.dealtThisTurn - 1, 0);
    }
    void RedrawReturned(int source) override {
        if (Table::kReturnRedrawsTable) return this->Draw(true);
        this->DrawPlace(source == Base::kWasteSource ? Model::kWastePlace : source, true);
        artwork->PresentDirty();
    }
};
