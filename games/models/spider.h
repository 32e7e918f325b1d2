// Spider: two packs, ten columns built down in suit, eight foundations that take complete suits
// (or, when the rules allow it, single cards built up in suit), and a stock that deals one card
// onto every column at a click. Ranks form a cycle cut just below the starting card.
#pragma once

#include <vector>

#include "games/models/tableau_model.h"

// The rule values ("SuitAssembled": only complete suits go to a foundation; "RowsFaceDown" 0..5;
// "StartCard" -1 or a rank index).
struct SpiderRules {
    int32_t suitAssembled = 1, rowsFaceDown = 5, startCard = 12, autoFlip = 0;
    static constexpr tableau::RuleField<SpiderRules> kFields[] = {
        OnOff(&SpiderRules::suitAssembled, "SuitAssembled"),
        Number(&SpiderRules::rowsFaceDown, "RowsFaceDown", {0, 5}),
        Number(&SpiderRules::startCard, "StartCard", kStartCardRange),
        OnOff(&SpiderRules::autoFlip, "AutoFlip")};
    double ScoreFactor() const {
        double factor = suitAssembled ? 1.5 : 1.0;
        if (rowsFaceDown > 0) factor *= 1.0 + 0.05 * rowsFaceDown;
        return factor;
    }
};

// The rules as a model of play. Places: 0 the stock, 1..8 the foundations, 9..18 the columns from
// the left. kStock deals a card onto every column; kFlip turns a column's face-down top card; a
// move picks up `count` cards from `index` of a column (its top card, or a same-suit run). Encode
// leaves out the points.
struct SpiderModel {
    static constexpr int kPacks = 2, kPiles = 10, kPileSlots = 30, kFoundationSlots = 10, kFoundations = 8;
    static constexpr int kSuitLength = Card::kRankCount;
    static constexpr int kStockPlace = 0, kFirstFoundation = 1, kFirstPile = 9;
    using Rules = SpiderRules;

    struct Position : tableau::FannedPiles<kPiles, kPileSlots> {
        std::array<Card, kFoundationSlots> foundations{};
        tableau::Stock<Deck::kMaxCards> stock;
        int32_t startCard = Card::kAce;
        int32_t points = 0;
        // The rule values in force; the starting card above is the deal's.
        SpiderRules rules;
    };

    static Position Deal(Deck& deck, const Rules& rules, DealShow<Position>* show = nullptr);
    static void Moves(const Position& position, MoveList& out);
    static int Apply(Position& position, const PlayMove& move);
    static bool Won(const Position& p) { return p.stock.count == 0 && tableau::AllEmpty(p.pileCount); }
    static bool Over(const Position& position);
    static void Encode(const Position& position, PositionCode& code);
    static int FaceDown(const Position& p) { return p.FaceDownCards(); }
    static void Cards(const Position& position, CardTally& out) {
        // The foundations show only the last card put there: the cards on them go unnamed.
        out.packs = kPacks;
        out.AddRun(position.stock.cards, position.stock.count);
        for (int column = 0; column < kPiles; ++column) out.AddRun(position.tableau[column], position.pileCount[column]);
        out.RestUnnamed();
    }

    // May card c go on t (the no-card value for an empty place)?
    static bool CanPlace(Card c, Card t, bool toFoundation, int startCard);
    // May these count cards, deepest first, go on foundation f, or on a column?
    static bool FitsFoundation(const Position& position, int f, const Card* cards, int count);
    static bool FitsPile(const Position& position, int column, Card lowest, int count);
    // The same-suit run at the top of a column, going no lower than index lowest.
    static int RunLength(const Position& position, int column, int lowest);

    // The game-over search's starting point: the face-up cards of each column, bottom first, and
    // whether face-down cards lie under them.
    struct SearchStart {
        std::array<std::vector<Card>, kPiles> columns;
        std::array<bool, kPiles> hadFaceDown{};
    };
    // Whether moving runs between columns can reach progress: a complete suit, a column with
    // face-down cards emptied, or (when single cards and runs may go home) a run whose deepest
    // card fits a foundation. Exhaustive; positionsSeen, when given, receives the number of
    // distinct positions visited.
    static bool SearchProgress(const SearchStart& start, const std::array<Card, kFoundationSlots>& foundations,
                               int startCard, bool suitAssembled, size_t* positionsSeen = nullptr);
};

