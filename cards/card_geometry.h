// Geometry of the card artwork: the sizes of the sheets and where each cell lies in them. The
// artwork generator draws its sheets from these constants and the game cuts cards out of them
// with the same ones, so the pictures and the code cannot drift apart.
#pragma once

namespace card_geometry {

// A drawn card covers the inclusive rectangle (x, y) .. (x + kCardWidth, y + kCardHeight), so
// it is one pixel wider and taller than these numbers; games lay out and hit-test with them.
inline constexpr int kCardWidth = 52;
inline constexpr int kCardHeight = 82;

// Cells in every sheet sit on this pitch; a cell's pixels are the inclusive card rectangle.
inline constexpr int kCellPitchX = 54;
inline constexpr int kCellPitchY = 84;

// Front sheets: 13 columns (Ace, Two, ..., King) by 4 rows of suits.
inline constexpr int kFrontColumns = 13;
inline constexpr int kFrontRows = 4;
inline constexpr int kFrontSheetWidth = 702;
inline constexpr int kFrontSheetHeight = 336;
// Every front cell starts one pixel in from its column's left edge.
inline constexpr int kFrontCellInsetX = 1;
// The suit shown in each row, top to bottom.
inline constexpr int kSuitOfRow[kFrontRows] = {2, 3, 0, 1};
// The row of each suit (the inverse of kSuitOfRow).
inline constexpr int kRowOfSuit[kFrontRows] = {2, 3, 0, 1};

// Left and top edge of the cell of a card with rank index 0..12 (12 = Ace) and suit 0..3.
// The Ace comes first in the sheet although its rank index is the highest.
constexpr int FrontCellX(int rank) {
    return (rank == 12 ? 0 : (rank + 1) * kCellPitchX) + kFrontCellInsetX;
}
constexpr int FrontCellY(int suit) { return kRowOfSuit[suit] * kCellPitchY; }

// Backs sheet: 21 backs in one row, back i with its left edge at kCellPitchX * i + 1, top 0.
inline constexpr int kBackCount = 21;
inline constexpr int kBacksSheetWidth = 1135;
inline constexpr int kBacksSheetHeight = 85;
inline constexpr int kBackCellInsetX = 1;
constexpr int BackCellX(int back) { return kCellPitchX * back + kBackCellInsetX; }

// Placeholder sheet: three cells side by side, all with top edge 0.
inline constexpr int kPlaceholderSheetWidth = 161;
inline constexpr int kPlaceholderSheetHeight = 85;
inline constexpr int kPlaceholderEmptyPile = 0;     // an empty pile
inline constexpr int kPlaceholderStockDone = 1;     // an empty stock that cannot be turned again
inline constexpr int kPlaceholderStockTurn = 2;     // an empty stock that can still be turned over
inline constexpr int kPlaceholderCellCount = 3;
inline constexpr int kPlaceholderCellX[kPlaceholderCellCount] = {0, 54, 107};

// The strip with one sample card of each front design, side by side.
inline constexpr int kFrontDesignCount = 4;
inline constexpr int kFrontPreviewWidth = 212;
inline constexpr int kFrontPreviewHeight = 84;

// Number of table backgrounds, each with its own placeholder file.
inline constexpr int kBackgroundCount = 6;

// File names, as the program spells them (resolved against the data folder).
inline constexpr const char* kFrontFiles[kFrontDesignCount] = {
    "artwork\\deck1.bmp", "artwork\\deck1_lg.bmp", "artwork\\deck2.bmp", "artwork\\deck2_lg.bmp"};
inline constexpr const char* kDarkFrontFiles[kFrontDesignCount] = {
    "artwork\\deck1_dark.bmp", "artwork\\deck1_lg_dark.bmp", "artwork\\deck2_dark.bmp",
    "artwork\\deck2_lg_dark.bmp"};
inline constexpr const char* kBacksFile = "artwork\\backs.bmp";
// printf pattern; %d is the background number + 1 (files 1..6).
inline constexpr const char* kPlaceholderFilePattern = "artwork\\placeholder%d.bmp";
// The small bitmap font of the card table (rules summaries, status lines).
inline constexpr const char* kCardTableFontFile = "beng8pt.FGF";

}  // namespace card_geometry

namespace card_geometry {
// The last cell of every sheet must lie wholly inside it.
static_assert(FrontCellX(11) + kCardWidth < kFrontSheetWidth);
static_assert(FrontCellY(1) + kCardHeight < kFrontSheetHeight);
static_assert(BackCellX(kBackCount - 1) + kCardWidth < kBacksSheetWidth);
static_assert(kPlaceholderCellX[kPlaceholderCellCount - 1] + kCardWidth < kPlaceholderSheetWidth);
static_assert(kCardHeight < kBacksSheetHeight && kCardHeight < kPlaceholderSheetHeight);
static_assert(kFrontDesignCount * kCardWidth <= kFrontPreviewWidth && kCardHeight < kFrontPreviewHeight);
constexpr bool RowTablesAreInverse() {
    for (int row = 0; row < kFrontRows; ++row)
        if (kRowOfSuit[kSuitOfRow[row]] != row) return false;
    return true;
}
static_assert(RowTablesAreInverse());
}  // namespace card_geometry
