// Agnes: seven tableau piles dealt as in Klondike and built down in alternating colours, a reserve
// of small piles fed by the stock (seven cards a click, the last two of the pack onto two further
// piles), and four foundations built up in suit from a starting rank, wrapping round from the Ace
// to the Two. There is no waste and no recycle.
#pragma once

#include <array>
#include <cstdint>
#include <span>

#include "cards/card_images.h"
#include "framework/game.h"

// The rule values, read from the settings store whenever a rule needs them. Values outside their
// range read as the default.
struct AgnesRules {
    bool movePartial = true;   // "MovePartial": any face-up run, not only the top or the whole face-up part
    bool autoFlip = false;     // "AutoFlip"
    bool filledIn = false;     // "FilledIn"
    bool tableauStart = true;  // "TableauStart": an empty pile takes only the rank below the starting rank
    int32_t startCard = -1;    // "StartCard", -1 (a card from the deck) or a rank index

    static AgnesRules Read();
};

class AgnesGame : public Game {
public:
    static constexpr int kGameNumber = 2;
    static constexpr int kPiles = 7;
    static constexpr int kPileSlots = 20;
    static constexpr int kFoundations = 4;
    static constexpr int kReservePiles = 9;
    // Stock clicks deal to the first seven reserve piles; the last two cards go to the other two.
    static constexpr int kDealtReservePiles = 7;
    static constexpr int kReserveSlots = 3;
    static constexpr int kStockX = 130, kStockY = 70;
    static constexpr int kFoundationX = 45, kFoundationY = 70, kFoundationPitch = 105;
    static constexpr int kTableauX = 275, kTableauPitch = 70, kTableauY = 215, kTableauStep = 15;
    static constexpr int kReserveX = 200, kReservePitch = 63, kReserveY = 70, kReserveStep = 15;
    static constexpr int kNoSource = -3;
    static constexpr int kReserveSource = 10;  // + the reserve pile
    static constexpr int kMaxCandidates = 129;
    static constexpr size_t kRecordSize = kUndoGamePartOffset +
                                          8 * (kFoundations + kMaxStackCards + kPiles * kPileSlots) + 4 * 2 * kPiles +
                                          8 + 8 * kReservePiles * kReserveSlots + 4 * 2 * kReservePiles + 4;

    explicit AgnesGame(Artwork* artwork);

    void NewGame(bool restart) override;
    void Draw(bool present) override;
    void DropCards(DragRecord& drag, DropTarget& target) override;
    void AfterMove() override;
    void LiftCards(DragRecord& drag) override;
    void ReturnCards() override;
    bool CanDrop(DragRecord& drag, DropTarget& target) override;
    bool CheckGameOver() override;
    void SaveUndo() override;
    const char* GetName() override { return "Agnes"; }
    void OnLButtonDown(WPARAM keys, int x, int y) override;
    void Undo() override;
    double GetScoreFactor() override;
    bool IsWon() override;

    // Reads an undo record and, only when it is whole and possible, puts the game in its position.
    bool RestoreRecord(std::span<const uint8_t> record) override;

    static int PileX(int pile) { return kTableauX + kTableauPitch * pile; }
    static int CardY(int index) { return kTableauY + kTableauStep * index; }
    static int FoundationY(int f) { return kFoundationY + kFoundationPitch * f; }
    static int ReserveX(int pile) { return kReserveX + kReservePitch * pile; }
    static int ReserveY(int index) { return kReserveY + kReserveStep * index; }
    static int NextRank(int rank) { return (rank + 1) % Card::kRankCount; }
    // May card go on top (a foundation's top when toFoundation)? The starting rank goes on nothing.
    bool CanPlay(Card card, Card top, bool toFoundation) const;
    // May card fill an empty tableau pile?
    bool FillsEmptyPile(Card card, const AgnesRules& rules) const;
    static int FoundationAt(int x, int y);
    // Which pile takes its next card at (x, y), or -1.
    int PileDropAt(int x, int y) const;

    // The position. Foundations hold only their top card.
    int32_t startRank = -1;
    std::array<Card, kFoundations> foundations{};
    std::array<std::array<Card, kPileSlots>, kPiles> tableau{};
    std::array<int32_t, kPiles> pileCount{};
    std::array<int32_t, kPiles> faceDownCount{};
    std::array<std::array<Card, kReserveSlots>, kReservePiles> reserve{};
    std::array<int32_t, kReservePiles> reserveCount{};
    // Each reserve pile's count before its latest card from the stock; kept for the undo record.
    std::array<int32_t, kReservePiles> reserveDealt{};
    std::array<Card, kMaxStackCards> held{};
    int32_t heldCount = 0;
    int32_t heldSource = kNoSource;

private:
    bool FaceUpTop(int pile) const { return pileCount[pile] > faceDownCount[pile]; }
    bool AllFaceDown(int pile) const { return pileCount[pile] > 0 && faceDownCount[pile] == pileCount[pile]; }
    bool DecideGameOver(const AgnesRules& rules) const;
    void RegisterHotspots(const AgnesRules& rules);
    void DrawStockArea(bool present);
    void DrawFoundationArea(int f, bool present);
    void DrawPileArea(int pile, bool present);
    void DrawReserveArea(int pile, bool present);
    void DealToReserve(int firstPile, int lastPile);
    void TurnPileTop(int pile);
    void ClearHeld();
};
