// Quadrille: every card comes from the stock through the waste to one of nine piles round the
// centre of the table. Four piles build down in suit from the Five to the King (Five, Four,
// Three, Two, Ace, King), four build up in suit from the Six to the Jack, and the four Queens go
// to the centre pile.
#pragma once

#include "games/tableau_game.h"

// The rule values, read from the settings store whenever a rule needs them ("CardsDealt"
// 1..3, "FilledIn", "Recycles" 0..4 or no limit); values outside their range read as the default.
struct QuadrilleRules {
    static constexpr int32_t kUnlimitedRecycles = RuleValues::kUnlimitedRecycles;
    int32_t cardsDealt = 1, filledIn = 0, recycles = 2;
    static constexpr tableau::RuleField<QuadrilleRules> kFields[] = {{&QuadrilleRules::cardsDealt, "CardsDealt"},
                                                                     {&QuadrilleRules::filledIn, "FilledIn", true},
                                                                     {&QuadrilleRules::recycles, "Recycles"}};
    double ScoreFactor() const {
        double factor = filledIn ? 0.9 : 1.0;
        if (cardsDealt == 2) factor *= 1.1;
        if (cardsDealt == 3) factor *= 1.2;
        return factor;
    }
};

// The rules as a model of play. Places: 0 the stock, 1 the waste, 2 the centre, 3..6 the down
// piles, 7..10 the up piles (each family in the order of kPileSuit). kStock turns one to three
// cards onto the waste or turns the waste over; a move takes the waste's top card to a pile or
// the centre. Encode leaves out the points and the cards dealt this turn (which only say how the
// waste is fanned).
struct QuadrilleModel {
    static constexpr int kPiles = 4, kCentreSlots = 4, kWasteSlots = 52;
    // Pile k of each family belongs to this suit.
    static constexpr int kPileSuit[kPiles] = {3, 2, 0, 1};
    // Pile numbers of CanPlay: the centre, down piles 0..3 and up piles 10..13.
    static constexpr int kCentrePile = -1, kUpPileBase = 10;
    static constexpr int kStockPlace = 0, kWastePlace = 1, kCentrePlace = 2, kFirstDownPile = 3, kFirstUpPile = 7;

    using Rules = QuadrilleRules;
    struct Position : Rules {
        std::array<Card, kPiles> downTops{};
        std::array<Card, kPiles> upTops{};
        std::array<Card, kCentreSlots> centre{};
        int32_t centreCount = 0;
        tableau::Stock<Card::kCardsPerPack> stock;
        std::array<Card, kWasteSlots> waste{};
        int32_t wasteCount = 0;
        int32_t dealtThisTurn = 0;
        int32_t recyclesUsed = 0;
        int32_t points = 0;
    };

    static void Moves(const Position& position, MoveList& out);
    static int Apply(Position& position, const PlayMove& move);
    static bool Won(const Position& position);
    static bool Over(const Position& position);
    static void Encode(const Position& position, PositionCode& code);
    static void Cards(const Position& position, CardTally& out);

    // May the card go on that pile (kCentrePile, a down pile 0..3, or kUpPileBase + an up pile)
    // whose top is `top`?
    static bool CanPlay(Card card, Card top, int pile);
    // May the card go on place `to` (the centre or a pile)?
    static bool Fits(const Position& position, Card card, int to);
};

class QuadrilleGame : public ModelledTableauGame<QuadrilleModel> {
public:
    static constexpr int kGameNumber = 16;
    static constexpr auto& kPileSuit = QuadrilleModel::kPileSuit;
    // A down pile runs Five, Four, Three, Two, Ace, King; an up pile Six to Jack.
    static constexpr int kDownOrder[] = {3, 2, 1, 0, 12, 11};
    static constexpr int kUpOrder[] = {4, 5, 6, 7, 8, 9};
    static constexpr int kDownX[QuadrilleModel::kPiles] = {370, 510, 370, 230};
    static constexpr int kDownY[QuadrilleModel::kPiles] = {80, 240, 400, 240};
    static constexpr int kUpX[QuadrilleModel::kPiles] = {280, 460, 460, 280};
    static constexpr int kUpY[QuadrilleModel::kPiles] = {120, 120, 360, 360};
    static constexpr int kCentreX = 370, kCentreY = 240;
    static constexpr int kStockX = 70, kStockY = 60;
    static constexpr int kWasteX = 145, kWasteY = 60;
    static constexpr int kWasteFanStep = 10;

    explicit QuadrilleGame(Artwork* artwork);

    void NewGame(bool restart) override;

private:
    // A card lifted off the waste is one fewer of those dealt this turn.
    void AfterLift(int) override { --position.dealtThisTurn; }
    bool Fits(const Position& p, int place, const DragRecord& drag) const override {
        return drag.count == 1 && QuadrilleModel::Fits(p, drag.cards[0], place);
    }
    void RecordFields(Fields& fields, Position& p, int32_t& recordPoints, int32_t& seconds) override;
    bool AcceptRecord(PackTally& tally, Position& read) override;
    Place PlaceAt(int place) const override;
    void DrawOwnPlace(int place, bool present) override;
};

inline void QuadrilleModel::Cards(const Position& position, CardTally& out) {
    out.AddRun(position.stock.cards, position.stock.count);
    out.AddRun(position.waste, position.wasteCount);
    out.AddRun(position.centre, position.centreCount);
    // A pile holds its order's ranks up to its top; a top the order never reaches is a fault.
    auto pile = [&out](Card top, std::span<const int> order) {
        if (!top.IsValid()) return;
        for (int rank : order) {
            out.cards.emplace_back(top.Suit(), rank);
            if (rank == top.Rank()) return;
        }
        out.cards.push_back(Card());
    };
    for (int k = 0; k < QuadrilleModel::kPiles; ++k) {
        pile(position.downTops[k], QuadrilleGame::kDownOrder);
        pile(position.upTops[k], QuadrilleGame::kUpOrder);
    }
}
