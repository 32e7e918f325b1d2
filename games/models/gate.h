// Gate: two gate posts of five cards at the sides of the table feed eight columns built down in
// alternating colours; a stock is turned one card at a time onto a waste; four foundations build
// up in suit from a starting rank, wrapping round from the Ace to the Two.
#pragma once

#include "games/models/tableau_model.h"

// The rule values ("Recycles" 0..4 or no limit, "StartCard" -1 for a card from the deck or a rank
// index, and check boxes).
struct GateRules {
    int32_t recycles = 0, movePartial = 0, filledIn = 0, fillFromWaste = 0, startCard = -1;
    static constexpr tableau::RuleField<GateRules> kFields[] = {
        Number(&GateRules::recycles, "Recycles", kRecycleRange),
        OnOff(&GateRules::movePartial, "MovePartial"),
        OnOff(&GateRules::filledIn, "FilledIn"),
        OnOff(&GateRules::fillFromWaste, "FillFromWaste"),
        Number(&GateRules::startCard, "StartCard", kStartCardRange)};
    double ScoreFactor() const {
        double factor = movePartial ? 0.95 : 1.0;
        if (filledIn) factor *= 0.9;
        if (fillFromWaste) factor *= 0.75;
        return factor;
    }
};

// The rules as a model of play. Places: 0 the stock, 1 the waste, 2 and 3 the left and right
// posts, 4..7 the foundations, 8..15 the columns from the left. kStock turns one card onto the
// waste or turns the waste over; a move picks up `count` cards from `index` of a column, or the
// top card of the waste or a post. Encode leaves out the points.
struct GateModel {
    static constexpr int kFoundations = 4, kPostSlots = 5, kPiles = 8, kPileSlots = 13, kWasteSlots = 35;
    static constexpr int kStockPlace = 0, kWastePlace = 1, kFirstPost = 2, kFirstFoundation = 4, kFirstPile = 8;

    using Rules = GateRules;
    // The columns are fanned piles with no face-down cards.
    struct Position : tableau::FannedPiles<kPiles, kPileSlots>,
                      tableau::StockAndWaste<kFoundations, Card::kCardsPerPack, kWasteSlots>, Rules {
        std::array<std::array<Card, kPostSlots>, 2> posts{};
        std::array<int32_t, 2> postCount{};
        int32_t startRank = -1;
        int32_t recyclesUsed = 0;
        int32_t points = 0;

        bool RecycleAllowed() const { return tableau::RecycleAllowed(recycles, recyclesUsed); }
        Card PostTop(int post) const { return postCount[post] > 0 ? posts[post][postCount[post] - 1] : Card(); }
    };

    // One pack: the foundations started (with no starting rank chosen, the first card dealt to the
    // first one; every suit's card of that rank with FilledIn), five cards to each post, a slot
    // of both at a time, then one card face up to each column.
    static Position Deal(Deck& deck, const Rules& rules, DealShow<Position>* show = nullptr);
    static void Moves(const Position& position, MoveList& out);
    static int Apply(Position& position, const PlayMove& move);
    static bool Won(const Position& p) { return tableau::FoundationsComplete(p.foundations, p.startRank); }
    static bool Over(const Position& position);
    static void Encode(const Position& position, PositionCode& code);
    static void Cards(const Position& p, CardTally& out) {
        tableau::AddCards(out, p, p.tableau, p.pileCount, p.startRank);
        for (int post = 0; post < 2; ++post) out.AddRun(p.posts[post], p.postCount[post]);
    }

    // May card go on top (a foundation's top when toFoundation)? The starting rank goes on nothing.
    static bool CanPlay(const Position& p, Card card, Card top, bool toFoundation) {
        return tableau::BuildsAlternating(card, top, toFoundation, p.startRank);
    }
    static bool FitsFoundation(const Position& p, int f, Card lowest, int count) {
        return tableau::FitsFoundationTop(p.foundations[f], lowest, count, p.startRank);
    }
    // An empty column takes a post's card (one still on its post, or one lifted off it: fromPost),
    // or any card once a post is empty (or with FillFromWaste).
    static bool FitsPile(const Position& position, int pile, Card lowest, int count, bool fromPost = false);
};

