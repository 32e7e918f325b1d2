// The screens around the games: logo, selection screen with its highlight cells and buttons,
// win and lose screens, the exit screen and its button, and the up/down arrows.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "tools/artgen/screen_canvas.h"

// Up/down image ("artwork\updown.bmp", 85 x 33): up arrows in the top row and down arrows in the
// row below, cells of 17 x 16 for the states normal, hover, pressed and disabled from the left.
inline constexpr int kUpDownCellWidth = 17;
inline constexpr int kUpDownCellHeight = 16;
inline constexpr int kUpDownStates = 4;

// Exit screen button picture ("artwork\exit_btn.bmp", 274 x 213): 91 x 39 cells in the row at
// y 78, hover at x 0, pressed (and disabled) at x 91, normal at x 182.
inline constexpr int kExitButtonImageWidth = 274;
inline constexpr int kExitButtonImageHeight = 213;
inline constexpr int kExitButtonWidth = 91;
inline constexpr int kExitButtonHeight = 39;
inline constexpr int kExitButtonRow = 78;
inline constexpr int kExitButtonHoverX = 0;
inline constexpr int kExitButtonPressedX = 91;
inline constexpr int kExitButtonNormalX = 182;
// Where the exit screen shows the button.
inline constexpr int kExitButtonScreenX = 596;
inline constexpr int kExitButtonScreenY = 505;

bool RenderScreenArt(const std::filesystem::path& fontRoot, std::vector<ArtFile>* files, std::string* error);
// Every screen picture drawn again at device scale 2 or 3 ("name@Nx.jpg", or "name@Nx.png" for
// the pictures whose 1x file is a BMP).
bool RenderScaledScreenArt(const std::filesystem::path& fontRoot, int scale, std::vector<ArtFile>* files,
                           std::string* error);

// The pieces, for the tests and the review sheets.
Picture RenderSelectionScreen(int scale = 1);
Picture RenderHighlights(int scale = 1);
Picture RenderTitleButtons(int scale = 1);
Picture RenderExitButtons(int scale = 1);
Picture RenderWinScreen(int scale = 1);
Picture RenderLoseScreen(int scale = 1);
Picture RenderExitBackground(int scale = 1);

