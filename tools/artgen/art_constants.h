// Names and sizes of the generated data files that the game code must agree with. The
// generator writes exactly these names; the program opens them by the same constants.
#pragma once

#include "ui/typography.h"

// Bitmap fonts (docs/formats.md), one per text style.
inline constexpr const char* kDialogFontFile = typography::kLabel.file;      // captions, labels, edit fields
inline constexpr const char* kSystemFontFile = typography::kBody.file;       // running text, menu-bar titles
inline constexpr const char* kSystemBoldFontFile = typography::kTitle.file;  // dialog titles
inline constexpr const char* kCardFontFile = typography::kSmall.file;        // status text on the card table

// Glyph counts the formats allow: characters 32..127, or every byte value.
inline constexpr int kAsciiGlyphCount = 96;
inline constexpr int kFullGlyphCount = 256;

// The spin field's arrow sprites, all of one size.
inline constexpr char kSpinUpSprite[] = "icon06w.spr";
inline constexpr char kSpinUpDisabledSprite[] = "icon07w.spr";
inline constexpr char kSpinDownSprite[] = "icon08w.spr";
inline constexpr char kSpinDownDisabledSprite[] = "icon09w.spr";
inline constexpr int kSpinArrowWidth = 9;
inline constexpr int kSpinArrowHeight = 4;

// The desktop icon (installed, never read by the program) and the copied help text.
inline constexpr char kAppIconFile[] = "icon.png";
inline constexpr int kAppIconSize = 256;
inline constexpr char kWindowIconFile[] = "icon32.bmp";
inline constexpr int kWindowIconSize = 32;
// The same for windows shown at a large scale.
inline constexpr char kLargeWindowIconFile[] = "icon256.bmp";
inline constexpr int kLargeWindowIconSize = 256;
// The installed icon theme: one PNG per size and one SVG, named after the desktop entry.
inline constexpr int kDesktopIconSizes[] = {16, 24, 32, 48, 64, 128, 256, 512};
inline constexpr char kDesktopIconName[] = "quillfen-solitaire.png";
inline constexpr char kScalableIconName[] = "quillfen-solitaire.svg";
inline constexpr char kHelpTextFile[] = "HELP.TXT";

// Picture files are looked up as "artwork\name" by the program, so the folder always exists.
inline constexpr char kArtworkFolder[] = "artwork";

// Device scales the art is drawn at: 1x files under their own names, and "name@2x" and
// "name@3x" beside them (docs/formats.md).
inline constexpr int kLargestScale = 3;
