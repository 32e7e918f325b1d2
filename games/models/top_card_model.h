// The games whose piles show only their top card (Four Seasons, Simplicity): single cards dealt to
// the piles, four foundations built up in suit from a starting rank, a stock turned onto a waste
// one to three cards at a time. Both kinds of building wrap round between the King and the Ace.
// A game gives its pile count, its pile build rule and how the waste goes back to the stock.
#pragma once

#include <algorithm>
#include <array>
#include <cstdint>

#include "games/models/tableau_model.h"

// The rule values ("CardsDealt" 1..3, "Recycles" 0..4 or no limit, "StartCard" -1 for a card
// from the deck or a rank index); values outside their range read as the default.
struct TopCardRules {
    // No recycles until the dialog stores a value.
    int32_t cardsDealt = 1, recycles = 0, filledIn = 0, startCard = -1;
    static constexpr tableau::RuleField<TopCardRules> kFields[] = {
        Number(&TopCardRules::cardsDealt, "CardsDealt", {1, 3}),
        Number(&TopCardRules::recycles, "Recycles", kRecycleRange),
        OnOff(&TopCardRules::filledIn, "FilledIn"),
        Number(&TopCardRules::startCard, "StartCard", kStartCardRange)};

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
// Build gives kPiles, kAlternateColours (a pile builds down in alternating colours, else
// regardless of suit) and kGatherWaste (the waste goes back as it lies, else turned over).
template <typename Build>
struct TopCardModel {
    static constexpr int kPiles = Build::kPiles, kPileSlots = 13, kFoundations = 4, kWasteSlots = 48;
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

    // One pack: with FilledIn every foundation starts with its suit's card of the starting rank (with
    // none chosen, the rank of the deck's next card), taken out of the pack; then one card face up
    // to each pile, and with no starting rank yet the next card to the first foundation, its rank
    // the starting rank.
    static Position Deal(Deck& deck, const Rules& rules, DealShow<Position>* show = nullptr) {
        tableau::ShufflePacks(deck, 1);
        Position p;
        static_cast<Rules&>(p) = rules;
        p.startRank = rules.startCard;
        if (rules.filledIn) tableau::StartFoundations(deck, p.foundations, p.startRank, rules.startCard, true);
        tableau::ShowLaidOut(deck, p, show);
        for (int pile = 0; pile < kPiles; ++pile) {
            const Card card = deck.DealNext();
            if (!card.IsValid()) break;
            const int index = p.pileCount[pile]++;
            p.piles[pile][index] = card;
            tableau::ShowDealt(deck, p, show, kFirstPile + pile, index);
        }
        if (p.startRank == -1) {
            const Card card = deck.DealNext();
            if (card.IsValid()) {
                p.foundations[0] = card;
                p.startRank = card.Rank();
                tableau::ShowDealt(deck, p, show, kFirstFoundation, 0);
            }
        }
        p.stock.Load(deck);
        return p;
    }

    // Building by rank, round the corner: up in suit on a foundation, down on a pile.
    static bool CanPlay(Card card, Card top, bool toFoundation) {
        if (!card.IsValid() || !top.IsValid()) return false;
        if (toFoundation) return card.Suit() == top.Suit() && card.Rank() == tableau::NextRank(top.Rank());
        if (Build::kAlternateColours && card.IsRed() == top.IsRed()) return false;
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
                                Build::kGatherWaste);
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
