// Auld Lang Syne: each stock click deals one card onto each of four piles, and only the piles'
// top cards can be played, onto four foundations that build upward from a starting rank
// regardless of suit. There is no building on the piles and no redeal. Cards move by a click.
#pragma once

#include <array>
#include <cstdint>

#include "games/play_position.h"

// The rules as a model of play. The deal reads the rule values "StartCard" (-1 for the first card
// of the deck, else a rank index) and "FilledIn" (the foundations start filled). Places: 0 the stock, 1 + f foundation f, 5 + k pile k. A press
// on the stock (a card onto each pile) is a kStock; a pile's top card played onto the first
// foundation it fits is a kMove, made by clicking the card.
struct AuldLangSyneParts {
    static constexpr int kPiles = 4, kPileSlots = 13, kFoundations = 4;
    static constexpr int kStockPlace = 0, kFoundationPlace = 1, kPilePlace = 5, kPlaces = 9;
    static constexpr int kPointsPerFoundationCard = 5;

    struct Position {
        int32_t points = 0;
        int32_t startRank = Card::kAce;
        int32_t stockCount = 0;
        std::array<int32_t, kPiles> pileCounts{};
        std::array<Card, kFoundations> foundations{};  // their top cards
        std::array<std::array<Card, kPileSlots>, kPiles> piles{};
        std::array<Card, Card::kCardsPerPack> stock{};  // the last card is dealt next
    };

    // May this card go on foundation f now? Suits play no part.
    static bool Fits(const Position& position, Card card, int foundation);
    // How many cards lie on foundation f (its top counted round from the starting rank).
    static int FoundationCount(const Position& position, int foundation) {
        const Card top = position.foundations[foundation];
        return top.IsValid() ? (top.Rank() - position.startRank + Card::kRankCount) % Card::kRankCount + 1 : 0;
    }
    // The first foundation the top card of the pile fits, or -1.
    static int TargetFor(const Position& position, int pile);

    // Apply, showing each card the stock deals through the hooks (play_position::NoHooks).
    template <typename Hooks>
    static int Play(Position& position, const PlayMove& move, Hooks& hooks) {
        if (move.kind == PlayMove::kStock) {
            for (int pile = 0; pile < kPiles && position.stockCount > 0; ++pile) {
                if (position.pileCounts[pile] >= kPileSlots) continue;
                play_position::Push(position.piles[pile], position.pileCounts[pile],
                                    play_position::Pop(position.stock, position.stockCount));
                hooks.Dealt(pile);
            }
            return 0;
        }
        if (move.kind != PlayMove::kMove) return 0;
        const int pile = move.from - kPilePlace;
        position.foundations[move.to - kFoundationPlace] = play_position::Pop(position.piles[pile], position.pileCounts[pile]);
        position.points += kPointsPerFoundationCard;
        return kPointsPerFoundationCard;
    }
};
// Won with the stock and the piles empty. The code holds everything but the points, so positions
// reached by different paths meet in a search. The foundations take any suit: only their tops
// are known, counted up from the start rank.
using AuldLangSyneModel = PlayModel<AuldLangSyneParts>;

class AuldLangSyneGame : public ModelTable<AuldLangSyneModel, 3, kSettlesOnDraw> {
public:
    static constexpr int kStockX = 130, kStockY = 110;
    static constexpr int kColumnX = 330, kColumnPitch = 70;
    static constexpr int kFoundationY = 80;
    static constexpr int kPileY = 180, kPileStep = 20;

    using ModelTable::ModelTable;

    // The starting rank (with none chosen, the first card's, on foundation 0), the foundations
    // filled with it when the rule says so; then the first row dealt.
    void StartDeal() override;
    void Deal() override { DealRow(); }
    // There is no dragging: a click on a top card that fits a foundation plays it there.
    void OnLButtonDown(WPARAM, int x, int y) override { ClickToPlay(x, y, kStockX, kStockY, [this] { DealRow(); }); }
    double GetScoreFactor() override { return RuleOn("FilledIn") ? 0.75 : 1.0; }

    static int ColumnX(int k) { return kColumnX + kColumnPitch * k; }
    static int CardY(int index) { return kPileY + kPileStep * index; }

private:
    void DealRow();
    void DrawPlace(int place, bool present) override;
    // The piles' top cards are picked up (by a click) and played onto the foundations.
    PlaceView View(int place) const override;
    bool OverNow() const override;
    Play HowPlayed() const override { return kClicks; }
    Rect DrawnTop(int place) const override;
    bool StockDealsRow() const override { return true; }
    bool RecordPart(play_position::RecordFields& fields, Position& read) override;
};
