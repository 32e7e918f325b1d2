#include "ui/paint.h"

#include "ui/toolkit.h"

namespace {
constexpr int kDotPattern = 0x5555;

int Luminance(Pixel p) {
    const int r = (p >> 16) & 0xFF, g = (p >> 8) & 0xFF, b = p & 0xFF;
    return (r * 299 + g * 587 + b * 114) / 1000;
}

void HorizontalLine(int minx, int maxx, int y) { FillRect(minx, maxx, y, y); }
void VerticalLine(int x, int miny, int maxy) { FillRect(x, x, miny, maxy); }
}  // namespace

void DrawBevel(int minx, int maxx, int miny, int maxy, bool raised) {
    const Pixel outerLight = raised ? ToolkitColorValue(kColorHighlight) : ToolkitColorValue(kColorShadow);
    const Pixel outerDark = raised ? ToolkitColorValue(kColorDarkEdge) : ToolkitColorValue(kColorHighlight);
    const Pixel innerLight = raised ? ToolkitColorValue(kColorFace) : ToolkitColorValue(kColorDarkEdge);
    const Pixel innerDark = raised ? ToolkitColorValue(kColorShadow) : ToolkitColorValue(kColorFace);
    SetColor(outerLight);
    HorizontalLine(minx, maxx - 1, miny);
    VerticalLine(minx, miny, maxy - 1);
    SetColor(outerDark);
    HorizontalLine(minx, maxx, maxy);
    VerticalLine(maxx, miny, maxy);
    SetColor(innerLight);
    HorizontalLine(minx + 1, maxx - 2, miny + 1);
    VerticalLine(minx + 1, miny + 1, maxy - 2);
    SetColor(innerDark);
    HorizontalLine(minx + 1, maxx - 1, maxy - 1);
    VerticalLine(maxx - 1, miny + 1, maxy - 1);
}

void DrawSunkenField(int minx, int maxx, int miny, int maxy, Pixel fill) {
    SetColor(fill);
    FillRect(minx + 2, maxx - 2, miny + 2, maxy - 2);
    SetColor(ToolkitColorValue(kColorFieldShadow));
    HorizontalLine(minx, maxx - 1, miny);
    VerticalLine(minx, miny, maxy - 1);
    SetColor(ToolkitColorValue(kColorFieldLight));
    HorizontalLine(minx, maxx, maxy);
    VerticalLine(maxx, miny, maxy);
    SetColor(ToolkitColorValue(kColorFieldDark));
    HorizontalLine(minx + 1, maxx - 2, miny + 1);
    VerticalLine(minx + 1, miny + 1, maxy - 2);
    SetColor(ToolkitColorValue(kColorFace));
    HorizontalLine(minx + 1, maxx - 1, maxy - 1);
    VerticalLine(maxx - 1, miny + 1, maxy - 1);
}

void DrawDottedRect(int minx, int maxx, int miny, int maxy) {
    MoveTo(minx, miny);
    DrawDashedLineTo(maxx, miny, kDotPattern);
    DrawDashedLineTo(maxx, maxy, kDotPattern);
    DrawDashedLineTo(minx, maxy, kDotPattern);
    DrawDashedLineTo(minx, miny, kDotPattern);
}

void ResetClip() { SetClip(0, MaxX(), 0, MaxY()); }

bool ThemeTextIsLight() { return Luminance(CurrentTheme().controlTextColor) >= 128; }

Pixel PlainFaceColor() { return ThemeTextIsLight() ? MapRgb(52, 56, 66) : ToolkitColorValue(kColorFace); }

Pixel PlainPlateColor() { return ThemeTextIsLight() ? MapRgb(30, 32, 40) : MapRgb(200, 200, 200); }
