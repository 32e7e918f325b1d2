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

// The control sheet, in the strip right of the button faces: each control picture in
// premultiplied colour, and its coverage as a grey level kControlAlphaOffset rows below, so the
// toolkit blends the smooth edges over whatever face lies under the control.
struct ControlCell {
    int left, top, width, height;
};
constexpr int kControlSheetLeft = 420, kControlSheetTop = 628;
constexpr int kControlAlphaOffset = 56;
// Check boxes and option buttons: off, on, pressed off, pressed on, disabled off, disabled on.
enum MarkState { kMarkOff, kMarkOn, kMarkPressedOff, kMarkPressedOn, kMarkDisabledOff, kMarkDisabledOn, kMarkStates };
// Spin arrows and the drop-down button: normal, pressed, disabled.
enum PushState { kPushNormal, kPushPressed, kPushDisabled, kPushStates };
constexpr ControlCell CheckBoxCell(int state) { return {kControlSheetLeft + 14 * state, 628, 13, 13}; }
constexpr ControlCell OptionButtonCell(int state) { return {kControlSheetLeft + 14 * state, 642, 12, 12}; }
constexpr ControlCell SpinArrowCell(bool up, int state) {
    return {kControlSheetLeft + 16 * state + (up ? 0 : 16 * kPushStates), 656, 15, 10};
}
constexpr ControlCell DropButtonCell(int state) { return {520 + 18 * state, 628, 17, 21}; }
// 4 x 4 swatches of the fields' colours (no coverage): the fill of edit fields and lists, their
// text, and a list's selection band and its text.
enum FieldSwatch { kFieldFill, kFieldText, kListSelection, kListSelectionText, kFieldSwatches };
constexpr ControlCell FieldSwatchCell(int which) { return {520 + 6 * which, 656, 4, 4}; }
constexpr int kControlSheetRight = 520 + 18 * kPushStates - 1;
constexpr int kControlSheetBottom = kControlSheetTop + kControlAlphaOffset + 43;
static_assert(kControlSheetLeft >= kPressedButtonFaceLeft + kButtonFaceWidth);
static_assert(kControlSheetBottom < kDialogArtHeight && kControlSheetRight < kDialogArtWidth);

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
// The rows of the menu-bar image anything reads: the bar and the title cells under it. The
// picture's other rows are magenta; the 2x and 3x files leave them out, since decoding them at
// start was a fifth of the start-up at 3x.
constexpr int kMenuBarArtHeight = kMenuTitleTop + kMenuTitleHeight + 1;

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
