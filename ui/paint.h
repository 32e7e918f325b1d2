// Drawing helpers shared by the dialogs and controls: bevels, sunken fields, dotted focus
// rectangles, and the plain look used when the theme's artwork is missing.
#pragma once

#include "draw/draw.h"

// Raised (light top-left, dark bottom-right) or sunken two-pixel bevel on the rectangle's edge.
void DrawBevel(int minx, int maxx, int miny, int maxy, bool raised);
// The sunken field of check boxes, edit fields and lists: a two-pixel rim in the field colours
// of the colour table, and the interior filled with fill.
void DrawSunkenField(int minx, int maxx, int miny, int maxy, Pixel fill);
// A dotted rectangle (every other pixel), the focus mark of buttons and captions.
void DrawDottedRect(int minx, int maxx, int miny, int maxy);
// Clip back to the whole screen buffer after clipped text.
void ResetClip();

// Without artwork, faces are drawn plainly in a colour that suits the theme's text colour:
// dark faces under light text, light grey faces under dark text.
bool ThemeTextIsLight();
Pixel PlainFaceColor();
Pixel PlainPlateColor();
