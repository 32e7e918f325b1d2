// Drawing pieces shared by the card fronts, the court figures, the backs and the cursors:
// colours, the four suit symbols and rounded rectangles, all as cairo paths.
#pragma once

#include <cairo.h>

#include <cstdint>
#include <vector>

namespace card_paint {

struct Rgb {
    double r, g, b;
};

inline void SetRgb(cairo_t* cr, Rgb c) { cairo_set_source_rgb(cr, c.r, c.g, c.b); }
inline void SetRgba(cairo_t* cr, Rgb c, double alpha) { cairo_set_source_rgba(cr, c.r, c.g, c.b, alpha); }
Rgb Mix(Rgb a, Rgb b, double t);

// Which symbol each suit number shows: 0 spade, 1 heart, 2 club, 3 diamond. Suits 1 and 3 are
// the red ones.
inline constexpr int kSpade = 0;
inline constexpr int kHeart = 1;
inline constexpr int kClub = 2;
inline constexpr int kDiamond = 3;
inline bool IsRed(int suit) { return suit == kHeart || suit == kDiamond; }

// Fills the symbol of suit centred on (cx, cy), height pixels tall, in the current source.
// Upside-down symbols are the ones in the lower half of a card.
void FillSuit(cairo_t* cr, int suit, double cx, double cy, double height, bool upsideDown = false);
// Adds the outline of an upright spade, heart or diamond placed as FillSuit places it to the
// current path, for a contour round a pip (a club is filled in overlapping pieces instead).
void SuitOutline(cairo_t* cr, int suit, double cx, double cy, double height);

// Adds a closed rounded rectangle to the current path.
void RoundedRect(cairo_t* cr, double x, double y, double w, double h, double radius);

// A quill feather lying along the x axis from the nib at (0, 0) to its tip at (length, 0): a
// tapering shaft, and a vane of barbs on both sides, split in two places. parts picks what to
// draw: overlapping quills draw each part of all of them before the next, so none lies on top.
enum QuillPart : unsigned { kQuillVane = 1, kQuillBarbs = 2, kQuillShaft = 4, kQuillAll = 7 };
void Quill(cairo_t* cr, double length, Rgb vane, Rgb shaft, unsigned parts = kQuillAll);

// A court card's frame: the rectangle (x, y, w, h) less its top left corner up to
// (notchRight, notchBottom), where the index stands, and that corner turned half a turn about
// the rectangle's centre.
struct CourtFrame {
    double x, y, w, h;
    double notchRight, notchBottom;
};
// Adds the frame's outline, moved inset pixels inwards, to the current path.
void CourtFramePath(cairo_t* cr, const CourtFrame& frame, double inset);

// The picture inside a court card's frame: the figure of this suit and rank (each of the twelve
// its own) drawn twice, the second turned half a turn about the frame's centre, as on printed
// court cards. rank is 9 (Jack), 10 (Queen) or 11 (King); modern selects the flat drawing, the
// level divider and cooler colours; suitColour is the card's red or black.
void DrawCourtPicture(cairo_t* cr, bool modern, int suit, int rank, Rgb suitColour, const CourtFrame& frame);

// The back pattern number back (0..20) filling a card of card_geometry's size at (0, 0).
void DrawBack(cairo_t* cr, int back);

// Card-sized RGB canvas: pixels read back as 0x00RRGGBB.
class Canvas {
public:
    Canvas(int width, int height, bool alpha = false);
    ~Canvas();
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;
    cairo_t* Context() const { return cr; }
    // All pixels, top row first, as cairo holds them: premultiplied 0xAARRGGBB (alpha 0xFF
    // on a canvas without alpha).
    std::vector<uint32_t> Pixels();
    bool Ok() const;

private:
    int width;
    int height;
    cairo_surface_t* surface;
    cairo_t* cr;
};

}  // namespace card_paint
