// Simplicity: twelve piles of which only the top card shows, built down in alternating colours;
// four foundations built up in suit from a starting rank; a stock turned onto a waste one to
// three cards at a time. Both kinds of building wrap round between the King and the Ace.
#pragma once

#include <array>
#include <cstdint>
#include <span>

#include "cards/card_images.h"
#include "games/tableau_game.h"

// The rule values, read from the settings store whenever a rule needs them. Values outside their
// range read as the default.
struct SimplicityRules {
    static constexpr int32_t kUnlimitedRecycles = 99999;
    int32_t cardsDealt = 1;  // "CardsDealt", 1..3
    bool filledIn = false;   // "FilledIn"
    int32_t recycles = 0;    // "Recycles", 0..4 or kUnlimitedRecycles
    int32_t startCard = -1;  // "StartCard", -1 (a card from the deck) or a rank index

    static SimplicityRules Read();
    bool RecycleAllowed(int used) const { return recycles == kUnlimitedRecycles || used < recycles; }
};

// The rules as a model of play. Places: 0 the stock, 1 the waste, 2..5 the foundations, 6..17 the
// piles (the top row from the left, then the bottom row). kStock turns one to three cards onto
// the waste or gathers the waste back; a move picks up the top card of a pile or the waste.
// Encode leaves out the points and the cards dealt this turn (which only say how the waste is
// fanned).
struct SimplicityModel {
    static constexpr int kPiles = 12;
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
        // The rule values that govern play, one by one (SimplicityRules has padding).
        int32_t cardsDealt = 1, recycles = 0;

        bool RecycleAllowed() const {
            return recycles == SimplicityRules::kUnlimitedRecycles || recyclesUsed < recycles;
        }
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

    // Building by pip value, round the corner: up in suit on a foundation, down in alternating
    // colours on a pile.
    static bool CanPlay(Card card, Card top, bool toFoundation);
    static bool FitsPile(const Position& position, int pile, Card card);
    static bool FitsFoundation(const Position& position, int f, Card card);
};

class SimplicityGame : public ModelledTableauGame<SimplicityModel> {
public:
    static constexpr int kGameNumber = 18;
    static constexpr int kPiles = SimplicityModel::kPiles;
    static constexpr int kPilesPerRow = 6;
    static constexpr int kPileSlots = SimplicityModel::kPileSlots;
    static constexpr int kFoundations = SimplicityModel::kFoundations;
    static constexpr int kWasteSlots = SimplicityModel::kWasteSlots;
    static constexpr int kStockX = 60, kStockY = 80;
    static constexpr int kWasteX = 60, kWasteY = 190;
    static constexpr int kPileX = 260, kPilePitch = 70, kPileY[2] = {160, 270};
    static constexpr int kFoundationX[kFoundations] = {180, 690, 175, 690};
    static constexpr int kFoundationY[kFoundations] = {140, 140, 290, 290};
    static constexpr int kWasteFanStep = 10;
    static constexpr int kWasteSource = 12;
    static constexpr int kNoSource = -1;
    static constexpr size_t kRecordSize =
        kUndoGamePartOffset + 8 * (kPiles * kPileSlots + kFoundations + kWasteSlots) + 4 * (kPiles + 1 + 2) + 8;

    explicit SimplicityGame(Artwork* artwork);

    void NewGame(bool restart) override;
    void Draw(bool present) override;
    void DropCards(DragRecord& drag, DropTarget& target) override;
    void LiftCards(DragRecord& drag) override;
    void ReturnCards() override;
    bool CanDrop(DragRecord& drag, DropTarget& target) override;
    void SaveUndo() override;
    const char* GetName() override { return "Simplicity"; }
    void OnLButtonDown(WPARAM keys, int x, int y) override;
    double GetScoreFactor() override;
    // Won when the foundations are complete, whether or not the game is over.
    bool IsWon() override { return ModelWon(); }
    bool RestoreRecord(std::span<const uint8_t> record) override;

    static int PileX(int pile) { return kPileX + kPilePitch * (pile % kPilesPerRow); }
    static int PileY(int pile) { return kPileY[pile / kPilesPerRow]; }
    static int FoundationAt(int x, int y);
    static int PileAt(int x, int y);

private:
    void ReadRules(Position& p) const override;
    bool CardOrigin(int place, int index, int& x, int& y) const override;
    void RegisterHotspots() override;
    void WasteTopPosition(const SimplicityRules& rules, int& x, int& y) const;
    void DrawStockArea(bool present);
    void DrawWasteArea(bool present);
    void DrawPileArea(int pile, bool present);
    void DrawFoundationArea(int f, bool present);
    void DrawPlace(int place, bool present) override;
};
