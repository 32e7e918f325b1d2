// The card pictures: four front designs with their selected twins, and the sheet of backs.
// Every card is drawn with cairo into a cell of card_geometry's size; its rounded corners are
// exact magenta so the game's transparent copy leaves the table showing there.
#pragma once

#include <cairo.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "cards/card_geometry.h"

namespace card_art {

// The transparent colour of every sheet, as 0x00RRGGBB.
inline constexpr uint32_t kMagenta = 0xFF00FF;

// The rounded corners: row r from the top (and from the bottom) of a card has kCornerCut[r]
// magenta pixels at its left and at its right end. All fronts and backs share this shape.
inline constexpr int kCornerCut[] = {3, 2, 1};
inline constexpr int kCornerRows = 3;

// A card cell is kCardWidth + 1 by kCardHeight + 1 pixels (the inclusive rectangle).
inline constexpr int kCellWidth = card_geometry::kCardWidth + 1;
inline constexpr int kCellHeight = card_geometry::kCardHeight + 1;

// True for the pixels of a cell, (0, 0) at its top left, that lie outside the rounded card.
constexpr bool IsCornerPixel(int x, int y) {
    const int row = y < kCornerRows ? y : kCellHeight - 1 - y;
    if (row < 0 || row >= kCornerRows) return false;
    return x < kCornerCut[row] || x >= kCellWidth - kCornerCut[row];
}

// The selected twin (the "dark" sheets, also the guide cards): every pixel mixed by
// kSelectTintShare toward kSelectTint, and a kSelectOutlineWidth-pixel outline of
// kSelectOutline along the card's rounded edge, so a chosen card reads as picked, not disabled.
inline constexpr uint32_t kSelectTint = 0xF2B83A;
inline constexpr uint32_t kSelectOutline = 0xC98A0E;
inline constexpr double kSelectTintShare = 0.35;
inline constexpr double kSelectOutlineWidth = 2.5;

// Distance of a logical point of a cell from the rounded card's outer edge (negative outside).
double EdgeDistance(double x, double y);

// A data file as the program names it ("artwork\\deck1.bmp"), as a path below the data folder.
std::filesystem::path DataFilePath(const char* programName);

// Cards for pictures that show them (the win, lose, exit and selection screens), drawn by the
// same code as the table's sheets into the cell (0, 0)..(kCellWidth, kCellHeight) of the
// current cairo matrix, clipped to the rounded card, so a screen may show them enlarged or
// turned. Suits as in card_paint (0 spade, 1 heart, 2 club, 3 diamond), ranks 0 (Two) to 12
// (Ace). An upright card at whole logical pixels is the table's cell pixel for pixel.
// LoadIndexFaces must have succeeded with the same font root first.
bool LoadIndexFaces(const std::filesystem::path& fontRoot, std::string* error);
void DrawCardFront(cairo_t* cr, int design, int suit, int rank);
void DrawCardBack(cairo_t* cr, int back);

// A front design: 0 classic, 1 classic with large indices, 2 modern, 3 modern with large
// indices, in the order of card_geometry::kFrontFiles.
inline constexpr int kDesignCount = card_geometry::kFrontDesignCount;

}  // namespace card_art

using ArtFileList = std::vector<std::pair<std::filesystem::path, std::vector<uint8_t>>>;

// Renders the eight front sheets and the backs sheet at a device scale (1, 2 or 3) and appends
// them to files: BMP files at 1x, "name@2x.png" and "name@3x.png" at the larger scales. The
// index glyphs come from the DejaVu faces below fontRoot; a missing face fails with a message in
// *error.
bool RenderCardArt(const std::filesystem::path& fontRoot, ArtFileList* files, std::string* error, int scale = 1);

// Draws the front sheets of dataDir enlarged twice, their selected twins, the backs and the
// cursors into one PNG for review.
bool WriteCardArtSheet(const std::filesystem::path& dataDir, const std::filesystem::path& png,
                       std::string* error);

// Draws the twelve court cards of every front design at 1x, enlarged three times, above the
// same cards at 3x, into one PNG for review.
bool WriteCourtSheet(const std::filesystem::path& dataDir, const std::filesystem::path& png, std::string* error);
