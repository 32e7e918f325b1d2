// Drawing helpers shared by the dialogs and controls: bevels, sunken fields, focus rings,
// smooth marks, and the plain look used when the theme's artwork is missing.
#pragma once

#include "draw/draw.h"

// Raised (light top-left, dark bottom-right) or sunken two-pixel bevel on the rectangle's edge.
void DrawBevel(int minx, int maxx, int miny, int maxy, bool raised);
// The sunken field of check boxes, edit fields and lists: a two-pixel rim in the field colours
// of the colour table, and the interior filled with fill.
void DrawSunkenField(int minx, int maxx, int miny, int maxy, Pixel fill);
// The focus mark of buttons, captions and fields: a thin rounded ring in the theme's highlight
// colour just inside the rectangle.
void DrawFocusRing(int minx, int maxx, int miny, int maxy);

// under with over mixed in by share (0..1).
Pixel Blend(Pixel under, Pixel over, double share);

// Smooth shapes for the themed controls, drawn over what the screen buffer holds at every
// device pixel: colour is blended in by the shape's coverage there (0..1), which comes from a
// signed distance in logical pixels (negative inside).
struct ShapeDistance {
    virtual ~ShapeDistance() = default;
    virtual double At(double x, double y) const = 0;
};
// Fills the shape (coverage from the distance, faded over half a pixel) inside the bounding
// rectangle, at opacity.
void FillShape(int minx, int maxx, int miny, int maxy, const ShapeDistance& shape, Pixel colour, double opacity = 1);
// Strokes the shape's outline as a band of width inward from its edge.
void StrokeShape(int minx, int maxx, int miny, int maxy, const ShapeDistance& shape, double width, Pixel colour,
                 double opacity = 1);

struct RoundedBox : ShapeDistance {
    double left, top, right, bottom, radius;
    RoundedBox(double l, double t, double r, double b, double rad) : left(l), top(t), right(r), bottom(b), radius(rad) {}
    double At(double x, double y) const override;
};
struct Disc : ShapeDistance {
    double cx, cy, radius;
    Disc(double x, double y, double r) : cx(x), cy(y), radius(r) {}
    double At(double x, double y) const override;
};
// A tick: two strokes from (x0, y0) to the corner (x1, y1) and on to (x2, y2), half-width thick.
struct Tick : ShapeDistance {
    double x0, y0, x1, y1, x2, y2, halfWidth;
    Tick(double ax, double ay, double bx, double by, double cx, double cy, double w)
        : x0(ax), y0(ay), x1(bx), y1(by), x2(cx), y2(cy), halfWidth(w) {}
    double At(double x, double y) const override;
};

// A small themed button (spin arrows, a list's drop button) over the face already drawn there:
// a plate tinted and ringed in the theme's text colour and a smooth chevron pointing up or down.
void DrawThemedArrowButton(int minx, int maxx, int miny, int maxy, bool pressed, bool disabled, bool pointsUp);

// True when the dialogs draw from the theme's art: controls then take the theme's colours
// instead of the plain grey look.
bool ThemedControls();
// Clip back to the whole screen buffer after clipped text.
void ResetClip();

// Without artwork, faces are drawn plainly in a colour that suits the theme's text colour:
// dark faces under light text, light grey faces under dark text.
bool ThemeTextIsLight();
Pixel PlainFaceColor();
Pixel PlainPlateColor();
// The same for the menu bar and drop-down panels, whose text may be dark where the dialogs'
// is light (the light themes keep light menus above their tables).
bool MenuTextIsLight();
Pixel PlainMenuFaceColor();
