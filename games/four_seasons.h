// Four Seasons: five single cards dealt in a cross build down regardless of suit, cards are
// turned from the stock to a waste that may be turned over a configurable number of times, and
// four foundations in the corners build up in suit from a starting rank. Both wrap round between
// King and Ace.
#pragma once

#include <array>
#include <cstdint>
#include <span>

#include "games/tableau_game.h"

// The rule values, read from the settings store whenever a rule needs them. Values outside their
// range read as the default.
struct FourSeasonsRules {
    static constexpr int32_t kUnlimitedRecycles = 99999;
    int32_t cardsDealt = 1;   // "CardsDealt", 1..3
    bool filledIn = false;    // "FilledIn"
    int32_t recycles = 0;     // "Recycles", 0..4 or kUnlimitedRecycles; none until the dialog stores one
    int32_t startCard = -1;   // "StartCard", -1 (a card from the deck) or a rank index

    static FourSeasonsRules Read();
    bool RecycleAllowed(int used) const { return recycles == kUnlimitedRecycles || used < recycles; }
};

// The rules as a model of play. Places: 0 the stock, 1 the waste, 2..5 the foundations (top left,
// top right, bottom left, bottom right), 6..10 the piles of the cross (top, centre, bottom, left,
// right). kStock turns one to three cards onto the waste or turns the waste over; a move picks up
// the top card of a pile or the waste. Encode leaves out the points and the cards dealt this turn
// (which only say how the waste is fanned).
struct FourSeasonsModel {
    static constexpr int kPiles = 5;
    static constexpr int kPileSlots = 13;
    static constexpr int kFoundations = 4;
    static constexpr int kWasteSlots = 48;
    static constexpr int kStockPlace = 0, kWastePlace = 1, kFirstFoundation = 2, kFirstPile = 6;

    struct Position {
        std::array<std::array<Card, kPileSlots>, kPiles> piles{};
        std::array<int32_t, kPiles> pileCount{};
        std::array<Card, kFoundations> foundations{};
        tableau::Stock<Card::kCardsPerPack> stock;
        std::array<Card, kWasteSlots> waste{};
        int32_t wasteCount = 0;
        int32_t dealtThisTurn = 0;
        int32_t startRank = -1;
        int32_t recyclesUsed = 0;
        int32_t points = 0;
        // The rule values that govern play, one by one (FourSeasonsRules has padding).
        int32_t cardsDealt = 1, recycles = 0;
    };

    static void Moves(const Position& position, MoveList& out);
    static int Apply(Position& position, const PlayMove& move);
    static bool Won(const Position& position);
    static bool Over(const Position& position);
    static void Encode(const Position& position, PositionCode& code);
    static void Cards(const Position& position, CardTally& out) {
        out.AddRun(position.stock.cards, position.stock.count);
        out.AddRun(position.waste, position.wasteCount);
        for (int pile = 0; pile < kPiles; ++pile) out.AddRun(position.piles[pile], position.pileCount[pile]);
        for (Card top : position.foundations) out.AddClimb(top, position.startRank, tableau::NextRank);
    }

    // Building rules on pip values: up in suit on a foundation (Ace on King), down regardless of
    // suit on a pile (King on Ace).
    static bool CanPlay(Card card, Card top, bool toFoundation);
    static bool FitsPile(const Position& position, int pile, Card card);
    static bool FitsFoundation(const Position& position, int f, Card card);
};

class FourSeasonsGame : public ModelledTableauGame<FourSeasonsModel> {
public:
    static constexpr int kGameNumber = 9;
    static constexpr int kPiles = FourSeasonsModel::kPiles;
    static constexpr int kPileSlots = FourSeasonsModel::kPileSlots;
    static constexpr int kFoundations = FourSeasonsModel::kFoundations;
    static constexpr int kWasteSlots = FourSeasonsModel::kWasteSlots;
    static constexpr int kStockX = 80, kStockY = 80;
    static constexpr int kWasteX = 180, kWasteY = 80;
    static constexpr int kWasteFanStep = 10;
    static constexpr int kPileX[kPiles] = {450, 450, 450, 370, 530};
    static constexpr int kPileY[kPiles] = {120, 230, 340, 230, 230};
    static constexpr int kFoundationX[kFoundations] = {345, 555, 345, 555};
    static constexpr int kFoundationY[kFoundations] = {105, 105, 335, 335};
    static constexpr int kWasteSource = 5;
    static constexpr int kNoSource = -1;
    // Size of an undo record: base part, pile cells, pile counts, foundation tops, starting rank,
    // waste cells, waste count, held source, points, elapsed seconds.
    static constexpr size_t kRecordSize = kUndoGamePartOffset + 8 * (kPiles * kPileSlots) + 4 * kPiles +
                                          8 * kFoundations + 4 + 8 * kWasteSlots + 4 * 4;

    explicit FourSeasonsGame(Artwork* artwork);

    void NewGame(bool restart) override;
    void Draw(bool present) override;
    void DropCards(DragRecord& drag, DropTarget& target) override;
    void LiftCards(DragRecord& drag) override;
    void ReturnCards() override;
    bool CanDrop(DragRecord& drag, DropTarget& target) override;
    void SaveUndo() override;
    const char* GetName() override { return "Four Seasons"; }
    void OnLButtonDown(WPARAM keys, int x, int y) override;
    double GetScoreFactor() override;
    // Won when the foundations are complete, whether or not the game is over.
    bool IsWon() override { return ModelWon(); }
    bool RestoreRecord(std::span<const uint8_t> record) override;

    // Where the waste's top card lies (and is picked up).
    void WasteTopPosition(const FourSeasonsRules& rules, int& x, int& y) const;
    static int PileAt(int x, int y);
    static int FoundationAt(int x, int y);

private:
    void ReadRules(Position& p) const override;
    bool CardOrigin(int place, int index, int& x, int& y) const override;
    void RegisterHotspots() override;
    void DrawStockArea(bool present);
    void DrawWasteArea(bool present);
    void DrawPileArea(int k, bool present);
    void DrawFoundationArea(int k, bool present);
    void DrawPlace(int place, bool present) override;
};
