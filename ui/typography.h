// The program's one typography: one sans-serif family in four styles, from the dialog title down
// to the status line. The artwork generator renders each style's bitmap font from this table and
// the toolkit draws each kind of text in its style, so sizes and weights are decided here only.
#pragma once

namespace typography {

struct TextStyle {
    const char* file;  // bitmap font in the data folder
    const char* face;  // outline face it is rendered from, below the system font folder
    int pixelSize;     // em size at 1x
};

// Dialog titles on their plates.
inline constexpr TextStyle kTitle{"systm12b.fgf", "truetype/dejavu/DejaVuSans-Bold.ttf", 14};
// Captions, labels, menu items, field text and the headings of the rules.
inline constexpr TextStyle kLabel{"windb_10.fgf", "truetype/dejavu/DejaVuSansCondensed-Bold.ttf", 12};
// Running text: the rules and the menu-bar titles.
inline constexpr TextStyle kBody{"systm12.fgf", "truetype/dejavu/DejaVuSans.ttf", 12};
// The status line on the table and the rules summary's lines.
inline constexpr TextStyle kSmall{"beng8pt.FGF", "truetype/dejavu/DejaVuSansCondensed.ttf", 11};

}  // namespace typography
