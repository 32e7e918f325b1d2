// Geometry and colours of the screens around the games: the selection screen's twenty game names
// and their highlight cells, the in-game title images, the title buttons and the six backdrop
// themes. The artwork generator draws its pictures from these constants and the shell reads
// them with the same ones, so the pictures and the code cannot drift apart.
#pragma once

#include <array>

#include "platform/rect.h"

namespace screen_layout {

inline constexpr int kScreenWidth = 800;
inline constexpr int kScreenHeight = 600;

// --- Selection screen ---

inline constexpr int kGameCount = 20;

// Item i starts game number i + 1 (the registry's names, alphabetical).
// Screen rectangle of each game name; the name is hit and highlighted inside it.
inline constexpr std::array<Rect, kGameCount> kGameMenuItems = {{
    Rect::FromSize(56, 169, 141, 32), Rect::FromSize(87, 207, 85, 32), Rect::FromSize(28, 252, 211, 32), Rect::FromSize(36, 295, 197, 32),
    Rect::FromSize(65, 331, 148, 32), Rect::FromSize(91, 366, 107, 32), Rect::FromSize(31, 401, 231, 32), Rect::FromSize(62, 441, 174, 32),
    Rect::FromSize(65, 480, 174, 32), Rect::FromSize(124, 513, 61, 32), Rect::FromSize(643, 171, 63, 32), Rect::FromSize(610, 209, 122, 32),
    Rect::FromSize(586, 247, 168, 32), Rect::FromSize(568, 284, 196, 32), Rect::FromSize(608, 320, 110, 32), Rect::FromSize(603, 359, 121, 32),
    Rect::FromSize(558, 397, 205, 32), Rect::FromSize(595, 438, 127, 32), Rect::FromSize(613, 479, 84, 32), Rect::FromSize(562, 518, 181, 31),
}};

// Highlight image ("artwork\hilight_title.bmp"): item i's highlighted look at (0, kHighlightPitch * i),
// the size of its rectangle; magenta elsewhere.
inline constexpr int kHighlightImageWidth = 235;
inline constexpr int kHighlightImageHeight = 707;
inline constexpr int kHighlightPitch = 35;
constexpr int HighlightCellY(int item) { return kHighlightPitch * item; }

// Title-button image ("artwork\titlebtn.bmp"), 256 x 111: one row of cells per button, cells at
// x 0 (normal), 84 (hover) and 168 (disabled and pressed).
inline constexpr int kTitleButtonImageWidth = 256;
inline constexpr int kTitleButtonImageHeight = 111;
inline constexpr int kTitleButtonWidth = 84;
inline constexpr int kTitleButtonHeight = 54;
inline constexpr int kTitleButtonNormalX = 0;
inline constexpr int kTitleButtonHoverX = 84;
inline constexpr int kTitleButtonDisabledX = 168;
inline constexpr int kTitleButtonPressedX = 168;
inline constexpr int kExitButtonRowY = 0;
inline constexpr int kPlayersButtonRowY = 54;
// Where the two buttons stand on the selection screen.
inline constexpr int kPlayersButtonX = 20, kPlayersButtonY = 15;
inline constexpr int kExitButtonX = 696, kExitButtonY = 15;

// Up/down arrow image ("artwork\updown.bmp").
inline constexpr int kUpDownImageWidth = 85;
inline constexpr int kUpDownImageHeight = 33;

// --- In-game titles ---

// In-game title image, 447 x 685: game n's title in rows (n - 1) * kTitleBandHeight ..
// n * kTitleBandHeight - 1, columns 0 .. width - 1, magenta around the letters.
inline constexpr int kTitleImageWidth = 447;
inline constexpr int kTitleImageHeight = 685;
inline constexpr int kTitleBandHeight = 34;
constexpr int TitleBandTop(int gameNumber) { return (gameNumber - 1) * kTitleBandHeight; }
// Width of each game's title, indexed by game number - 1.
inline constexpr std::array<int, kGameCount> kTitleWidths = {
    306, 237, 392, 395, 338, 283, 444, 368, 356, 218, 216, 287, 347, 400, 276, 306, 403, 310, 248, 378,
};
// The title is copied centred on this column with its bottom row at kTitleBottom, just below the
// menu bar.
inline constexpr int kTitleCentreX = 400;
inline constexpr int kTitleBottom = 68;

// --- Themes ---

inline constexpr int kThemeCount = 6;

struct Rgb {
    int r;
    int g;
    int b;
};

// The colours a theme draws words and marks in. Text (score panel, About and rules text, high
// scores), the control caption and its highlight are drawn on the dialog face, which is dark on
// every theme, so they are pale; the menu item and its highlight on the menu bar and drop-down
// panels; the table's own text and marks (a grid game's hand scores; hint outlines, legal
// targets and the keyboard's ring) on the table itself, dark on the light tables.
struct ThemeColors {
    Rgb text;
    Rgb control;
    Rgb controlHighlight;
    Rgb menuItem;
    Rgb menuItemHighlight;
    Rgb tableText;
    Rgb tableMark;
};

inline constexpr Rgb kGold{220, 180, 79};
inline constexpr Rgb kPaleGold{255, 220, 128};
inline constexpr Rgb kDeepGold{235, 190, 66};
inline constexpr Rgb kWhite{255, 255, 255};
inline constexpr Rgb kBlack{0, 0, 0};
inline constexpr Rgb kUmber{98, 93, 74};
// The light themes' dialog lettering, each in its status line's palette, and a brighter tone of
// it for captions under the pointer and the focus.
inline constexpr Rgb kCream{232, 216, 178};
inline constexpr Rgb kPaleCream{255, 245, 218};
inline constexpr Rgb kSilver{222, 222, 218};
inline constexpr Rgb kBlueWhite{212, 225, 240};
inline constexpr Rgb kPaleBlueWhite{246, 250, 255};

// Indexed by theme 0..5 (backdrop files 1..6).
inline constexpr std::array<ThemeColors, kThemeCount> kThemeColors = {{
    {kGold, kGold, kPaleGold, kGold, kPaleGold, kGold, kPaleGold},             // 1: green felt
    {kCream, kCream, kPaleCream, kBlack, kUmber, kBlack, kUmber},              // 2: parchment
    {kDeepGold, kDeepGold, kWhite, kDeepGold, kWhite, kDeepGold, kWhite},      // 3: midnight velvet
    {kSilver, kSilver, kWhite, kBlack, kUmber, kBlack, kUmber},                // 4: pale marble
    {kBlueWhite, kBlueWhite, kPaleBlueWhite, kBlack, kUmber, kBlack, kUmber},  // 5: linen
    {kGold, kGold, kPaleGold, kGold, kPaleGold, kGold, kPaleGold},             // 6: dark wood
}};

// The in-game title image of each theme.
inline constexpr std::array<const char*, kThemeCount> kTitleImageFiles = {
    "artwork\\ingame_title1_3_6.bmp", "artwork\\ingame_title2.bmp", "artwork\\ingame_title1_3_6.bmp",
    "artwork\\ingame_title4.bmp",     "artwork\\ingame_title5.bmp", "artwork\\ingame_title1_3_6.bmp",
};

// Top row of each theme's 15 x 13 check mark in "artwork\checks.bmp".
inline constexpr std::array<int, kThemeCount> kCheckRowOfTheme = {0, 13, 0, 26, 39, 0};

// The status texts of the game table sit in this band; every backdrop keeps it legible.
inline constexpr int kStatusTop = 550;
inline constexpr int kStatusBottom = 580;
// The backdrop's status rail reaches this far beyond the band (its rim and lower lip), and
// runs across between these columns.
inline constexpr int kStatusRailMargin = 6;
inline constexpr int kStatusRailLeft = 16;
inline constexpr int kStatusRailRight = 783;

}  // namespace screen_layout
