// Where the toolkit takes its pictures from inside the theme's art buffers. The artwork
// generator includes this header too, so the pictures and the code reading them cannot drift.
#pragma once

namespace art {

// Dialog art buffer, 801 x 741: the 800 x 600 dialog face at the top, then the strip.
constexpr int kDialogArtWidth = 801;
constexpr int kDialogArtHeight = 741;
constexpr int kDialogFaceWidth = 800;
constexpr int kDialogFaceHeight = 600;
constexpr int kStripTop = 600;
// Title plate, 313 x 24.
constexpr int kPlateLeft = 288, kPlateRight = 600, kPlateTop = 600, kPlateBottom = 623;
// Button faces, 206 x 107 each: normal at x 0..205, pressed at x 206..411, rows 628..734.
// Buttons are cut from them: the left part and the last 8 columns (right edge), the top rows and
// the last 8 rows from 726 (bottom edge), so a face must read well when cut that way.
constexpr int kButtonFaceTop = 628, kButtonFaceBottom = 734;
constexpr int kButtonFaceWidth = 206;
constexpr int kPressedButtonFaceLeft = 206;
constexpr int kButtonFaceEdge = 8;

// Menu-bar image, 801 x 901 ("menu%d.bmp").
constexpr int kMenuBarImageWidth = 801;
constexpr int kMenuBarImageHeight = 901;
// The bar strip drawn along the top of the table: rows 0..28, columns 0..799.
constexpr int kMenuBarHeight = 29;
constexpr int kMenuBarTop = 0;
// Menu title backgrounds, 96 x 29 each, in a row at y 30: normal, hover, open. The title text is
// drawn over them by the program. They are copied transparently (magenta shows what is under the
// title), because a title at y 2 reaches two rows below the strip.
constexpr int kMenuTitleWidth = 96;
constexpr int kMenuTitleHeight = 29;
constexpr int kMenuTitleTop = 30;
constexpr int kMenuTitleNormalLeft = 0;
constexpr int kMenuTitleHoverLeft = 96;
constexpr int kMenuTitleOpenLeft = 192;

// Drop-down image, 220 x 481: the panel picture in columns 0..199 (rows 0..480), the theme's check
// mark at x 201..215, y 0..12. A panel of height h takes rows 0..h-5 from the top of the picture
// and its last four rows from rows 477..480, so the picture's bottom edge closes any panel.
constexpr int kDropDownImageWidth = 220;
constexpr int kDropDownImageHeight = 481;
constexpr int kDropDownPanelWidth = 200;
constexpr int kDropDownBottomEdge = 4;
// Likewise across: a panel of width w takes columns 0..w-5 and the picture's last four columns
// (196..199), so the right edge closes a panel narrower than the picture (the game's are 199).
constexpr int kDropDownRightEdge = 4;
constexpr int kCheckLeft = 201, kCheckTop = 0, kCheckWidth = 15, kCheckHeight = 13;
// "menus.jpg" is 1216 x 482 with one 200-pixel panel column per theme; "checks.bmp" has the 15 x 13
// marks in rows 0..12 (themes 1, 3, 6), 13..25 (2), 26..38 (4), 39..51 (5).
constexpr int kMenusPictureWidth = 1216, kMenusPictureHeight = 482, kMenusColumnWidth = 200;

}  // namespace art
