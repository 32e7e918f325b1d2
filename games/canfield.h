// Canfield: a reserve of thirteen cards, four foundations that all start at the rank of the first
// card dealt to them and build up in suit round the corner (King, Ace, Two), four tableau piles
// built down in alternating colours with the same wrap-around, and a stock turned onto a waste one
// to three cards at a time with a limited number of passes. An empty tableau pile is filled from
// the reserve automatically; once the reserve is empty it takes any card or stack that may move,
// from the waste or from another pile.
#pragma once

#include "cards/card_images.h"
#include "games/tableau_game.h"

// The rule values ("CardsDealt" 1..3, "Recycles" 0..4 or no limit, and check boxes).
struct CanfieldRules {
    static constexpr int32_t kUnlimitedRecycles = RuleValues::kUnlimitedRecycles;
    int32_t cardsDealt = 1, recycles = 0, movePartial = 0, fillFromStock = 1;
    static constexpr tableau::RuleField<CanfieldRules> kFields[] = {
        {&CanfieldRules::cardsDealt, "CardsDealt"}, {&CanfieldRules::recycles, "Recycles"},
        {&CanfieldRules::movePartial, "MovePartial", true}, {&CanfieldRules::fillFromStock, "FillFromStock", true}};
    double ScoreFactor() const {
        double factor = movePartial ? 0.95 : 1.0;
        if (fillFromStock) factor *= 0.9;
        if (cardsDealt == 2) factor *= 1.1;
        if (cardsDealt == 3) factor *= 1.2;
        return factor;
    }
};

// The rules as a model of play. Places: 0 the stock, 1 the waste, 2 the reserve, 3..6 the
// foundations, 7..10 the tableau piles from the left. kStock turns one to three cards onto the
// waste or turns the waste over; a move picks up `count` cards from `index` of a pile, or the top
// card of the waste or the reserve. After every move an empty pile is filled from the reserve.
// Encode leaves out the points and the cards turned this time (which only say how the waste is
// fanned).
struct CanfieldModel {
    static constexpr int kFoundations = 4, kPiles = 4, kPileSlots = 13, kReserveSlots = 13, kWasteSlots = 35;
    static constexpr int kStockPlace = 0, kWastePlace = 1, kReservePlace = 2, kFirstFoundation = 3, kFirstPile = 7;

    using Rules = CanfieldRules;
    // The piles are fanned piles with no face-down cards.
    struct Position : tableau::FannedPiles<kPiles, kPileSlots>,
                      tableau::StockAndWaste<kFoundations, Card::kCardsPerPack, kWasteSlots>, Rules {
        Card baseCard;
        std::array<Card, kReserveSlots> reserve{};
        int32_t reserveCount = 0;
        int32_t turnedCount = 0;
        int32_t recyclesUsed = 0;
        int32_t points = 0;

        bool RecycleAllowed() const { return tableau::RecycleAllowed(recycles, recyclesUsed); }
    };

    static void Moves(const Position& position, MoveList& out);
    // A move, then the reserve's top card to the first empty pile (EmptyPileForReserve), by itself.
    static int Apply(Position& position, const PlayMove& move);
    // A move alone, without the reserve's card that follows it; the points it scores.
    static int Step(Position& position, const PlayMove& move);
    // The pile that would take the reserve's top card, or -1.
    static int EmptyPileForReserve(const Position& position);
    static bool Won(const Position& p) {
        return p.reserveCount == 0 && p.wasteCount == 0 && p.stock.count == 0 && tableau::AllEmpty(p.pileCount);
    }
    static bool Over(const Position& position);
    static void Encode(const Position& position, PositionCode& code);
    // The reserve shows only its top card.
    static int FaceDown(const Position& p) { return p.reserveCount > 1 ? p.reserveCount - 1 : 0; }
    static void Cards(const Position& p, CardTally& out) {
        tableau::AddCards(out, p, p.tableau, p.pileCount, p.baseCard.Rank());
        out.AddRun(p.reserve, p.reserveCount);
    }

    // May this card go on a tableau pile whose top is onto (a real card)?
    static bool BuildsDown(Card moving, Card onto);
    // May this card go on foundation f?
    static bool BuildsUp(const Position& position, Card moving, int f);
    // An empty pile takes a card from anywhere only once the reserve is empty (or without
    // FillFromStock); before that only the reserve's card.
    static bool FitsPile(const Position& position, int pile, Card lowest, int count, bool fromReserve);
};

class CanfieldGame : public ModelledTableauGame<CanfieldModel> {
public:
    static constexpr int kGameNumber = 6;
    static constexpr int kStockX = 100, kStockY = 80;
    static constexpr int kWasteX = 170, kWasteY = 80;
    static constexpr int kReserveX = 100, kReserveY = 170;
    static constexpr int kRowX = 330, kRowPitch = 70;
    static constexpr int kFoundationY = 80;
    static constexpr int kTableauY = 170, kTableauStep = 15;
    static constexpr int kWasteFanStep = 10, kReserveSource = CanfieldModel::kReservePlace;

    explicit CanfieldGame(Artwork* artwork) : ModelledTableauGame(artwork, kGameNumber) {
        checkAfterPickUp = false;
        // The reserve's card that may follow a drop is a move of its own (AfterMove).
        dropApply = &CanfieldModel::Step;
    }

    void NewGame(bool restart) override;
    void AfterMove() override;

    static int ColumnX(int k) { return kRowX + kRowPitch * k; }
    static int CardY(int index) { return kTableauY + kTableauStep * index; }
    // Where the top card of a squared pile of n cards lies.
    static int LayerX(int x, int n) { return x + kLayerStepX * (n / kCardsPerLayer); }
    static int LayerY(int y, int n) { return y + kLayerStepY * (n / kCardsPerLayer); }

private:
    void OnStock() override;
    bool Fits(const Position& p, int place, const DragRecord& drag) const override {
        const int pile = place - CanfieldModel::kFirstPile;
        if (pile >= 0) return CanfieldModel::FitsPile(p, pile, drag.cards[0], drag.count, heldSource == kReserveSource);
        return drag.count == 1 && CanfieldModel::BuildsUp(p, drag.cards[0], place - CanfieldModel::kFirstFoundation);
    }
    // The reserve is drawn again after every drop: its card may follow the move (AfterMove).
    void AfterDrop() override { DrawPlace(CanfieldModel::kReservePlace, true); }
    void RecordFields(Fields& fields, Position& p, int32_t& recordPoints, int32_t& seconds) override;
    bool AcceptRecord(PackTally& tally, Position& read) override;
    Place PlaceAt(int place) const override;
    // A card lifted off the waste is one fewer of those turned last.
    void AfterLift(int place) override {
        if (place == CanfieldModel::kWastePlace) position.turnedCount = std::max(position.turnedCount - 1, 0);
    }
    void DrawOwnPlace(int place, bool present) override;
};
