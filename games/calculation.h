// Calculation: four foundations build upward by steps of one, two, three and four, modulo
// thirteen and regardless of suit. Cards come one at a time from the stock and go either to a
// foundation or onto one of four waste piles, whose top cards may later go to a foundation only.
#pragma once

#include <array>
#include <cstdint>
#include <span>

#include "framework/game.h"

class CalculationGame : public Game {
public:
    static constexpr int kGameNumber = 5;
    static constexpr int kFoundations = 4;
    static constexpr int kWastePiles = 4;
    static constexpr int kWasteSlots = 48;
    static constexpr int kChoices = 13;
    static constexpr int kDefaultChoice = 12;       // "A, 2, 3, 4"
    static constexpr int kAllKingsChoice = 11;      // "K, K, K, K"
    static constexpr int kStockX = 100, kStockY = 80;
    static constexpr int kCurrentX = 180, kCurrentY = 80;
    static constexpr int kFoundationY = 80;
    static constexpr int kWasteY = 170;
    static constexpr int kPileLeft = 270, kPilePitch = 70;
    static constexpr int kWasteFanStep = 15;
    static constexpr int kCurrentSource = 4;
    static constexpr int kNoSource = -3;
    // Size of an undo record: base part, foundation tops, waste cells, waste counts, current
    // card, foundation counts, points, elapsed seconds.
    static constexpr size_t kRecordSize =
        kUndoGamePartOffset + 8 * (kFoundations + kWastePiles * kWasteSlots) + 4 * kWastePiles + 8 +
        4 * kFoundations + 8;

    explicit CalculationGame(Artwork* artwork);

    void NewGame(bool restart) override;
    void Draw(bool present) override;
    void DropCards(DragRecord& drag, DropTarget& target) override;
    void LiftCards(DragRecord& drag) override;
    void ReturnCards() override;
    bool CanDrop(DragRecord& drag, DropTarget& target) override;
    bool CheckGameOver() override;
    void SaveUndo() override;
    const char* GetName() override { return "Calculation"; }
    void OnLButtonDown(WPARAM keys, int x, int y) override;
    void Undo() override;
    bool IsWon() override;

    // Reads an undo record and, only when it is whole and possible, puts the game in its position.
    bool RestoreRecord(std::span<const uint8_t> record) override;

    static int PileX(int k) { return kPileLeft + kPilePitch * k; }
    static int WasteCardY(int index) { return kWasteY + kWasteFanStep * index; }
    // The rank index foundation k starts with under a starting-card choice.
    static int StartRank(int choice, int foundation);
    // The rank that may follow `top` on foundation k (step k + 1, modulo 13).
    static int FollowingRank(int top, int foundation);
    // The choice stored in "StartingCard" (the default when missing or out of range).
    static int ReadChoice();
    // May this card go on foundation k now?
    bool Fits(Card card, int foundation) const;

    std::array<Card, kFoundations> foundationTops{};
    std::array<int32_t, kFoundations> startRanks{};
    std::array<int32_t, kFoundations> foundationCounts{};
    std::array<std::array<Card, kWasteSlots>, kWastePiles> waste{};
    std::array<int32_t, kWastePiles> wasteCounts{};
    Card current;
    Card dragged;
    int32_t dragSource = kNoSource;

private:
    bool DecideGameOver() const;
    void RegisterHotspots();
    void DrawStockArea(bool present);
    void DrawCurrentArea(bool present);
    void DrawFoundationArea(int k, bool present);
    void DrawWasteArea(int k, bool present);
    static int FoundationAt(int x, int y);
    static int WasteColumnAt(int x);
};
