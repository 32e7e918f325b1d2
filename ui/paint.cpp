#include "ui/paint.h"

#include <algorithm>
#include <cmath>

#include "ui/art_cells.h"
#include "ui/toolkit.h"

namespace {

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

Pixel Blend(Pixel under, Pixel over, double share) {
    Pixel out = under & ~0xFFFFFFu;
    for (int shift = 0; shift <= 16; shift += 8) {
        const double a = (under >> shift) & 0xFF, b = (over >> shift) & 0xFF;
        out |= static_cast<Pixel>(std::lround(a + (b - a) * share)) << shift;
    }
    return out;
}

namespace {

// Calls paint(device x, device y, logical x, logical y) for the device pixels of a logical
// rectangle that lie inside the screen buffer.
template <typename Paint>
void ForDevicePixels(int minx, int maxx, int miny, int maxy, Paint paint) {
    const int screen = ToolkitScreenBuffer();
    Pixel* pixels = BufferPixels(screen);
    if (pixels == nullptr) return;
    const int s = std::max(1, BufferScale(screen)), pitch = BufferWidth(screen);
    const int rows = BufferHeight(screen);
    for (int dy = std::max(0, miny * s); dy < std::min(rows, (maxy + 1) * s); ++dy)
        for (int dx = std::max(0, minx * s); dx < std::min(pitch, (maxx + 1) * s); ++dx)
            paint(pixels[static_cast<size_t>(dy) * static_cast<size_t>(pitch) + static_cast<size_t>(dx)],
                  (dx + 0.5) / s, (dy + 0.5) / s);
}

double Clamp01(double v) { return std::clamp(v, 0.0, 1.0); }

double SegmentDistance(double px, double py, double ax, double ay, double bx, double by) {
    const double vx = bx - ax, vy = by - ay;
    const double t = std::clamp(((px - ax) * vx + (py - ay) * vy) / (vx * vx + vy * vy), 0.0, 1.0);
    return std::hypot(px - ax - t * vx, py - ay - t * vy);
}

}  // namespace

double RoundedBox::At(double x, double y) const {
    const double qx = std::abs(x - (left + right) / 2) - ((right - left) / 2 - radius);
    const double qy = std::abs(y - (top + bottom) / 2) - ((bottom - top) / 2 - radius);
    return std::hypot(std::max(qx, 0.0), std::max(qy, 0.0)) + std::min(std::max(qx, qy), 0.0) - radius;
}

double Disc::At(double x, double y) const { return std::hypot(x - cx, y - cy) - radius; }

double Tick::At(double x, double y) const {
    return std::min(SegmentDistance(x, y, x0, y0, x1, y1), SegmentDistance(x, y, x1, y1, x2, y2)) - halfWidth;
}

void FillShape(int minx, int maxx, int miny, int maxy, const ShapeDistance& shape, Pixel colour, double opacity) {
    ForDevicePixels(minx, maxx, miny, maxy, [&](Pixel& p, double x, double y) {
        const double cover = Clamp01(0.5 - shape.At(x, y) * 2) * opacity;
        if (cover > 0) p = Blend(p, colour, cover);
    });
}

void StrokeShape(int minx, int maxx, int miny, int maxy, const ShapeDistance& shape, double width, Pixel colour,
                 double opacity) {
    ForDevicePixels(minx, maxx, miny, maxy, [&](Pixel& p, double x, double y) {
        const double d = shape.At(x, y);
        const double cover = Clamp01(std::min(0.5 - d * 2, 0.5 + (d + width) * 2)) * opacity;
        if (cover > 0) p = Blend(p, colour, cover);
    });
}

void DrawFocusRing(int minx, int maxx, int miny, int maxy) {
    const RoundedBox ring(minx, miny, maxx + 1, maxy + 1, 3);
    StrokeShape(minx, maxx, miny, maxy, ring, 1.2, CurrentTheme().controlHighlightColor);
}

void DrawThemedArrowButton(int minx, int maxx, int miny, int maxy, bool pressed, bool disabled, bool pointsUp) {
    const Pixel ink = disabled ? ToolkitColorValue(kColorShadow) : CurrentTheme().textColor;
    const RoundedBox plate(minx + 0.5, miny + 0.5, maxx + 0.5, maxy + 0.5, 2.5);
    FillShape(minx, maxx, miny, maxy, plate, ink, pressed ? 0.38 : 0.2);
    StrokeShape(minx, maxx, miny, maxy, plate, 1.0, ink, 0.8);
    const double cx = (minx + maxx + 1) / 2.0 + (pressed ? 0.5 : 0), cy = (miny + maxy + 1) / 2.0 + (pressed ? 0.5 : 0);
    const double rise = pointsUp ? -1.6 : 1.6;
    const Tick chevron(cx - 3, cy - rise, cx, cy + rise, cx + 3, cy - rise, 0.85);
    FillShape(minx, maxx, miny, maxy, chevron, ink);
}

bool ThemedControls() {
    return ArtAvailable(ThemeDialogArt(), art::kDialogFaceWidth, art::kPlateBottom + 1);
}

void ResetClip() { SetClip(0, MaxX(), 0, MaxY()); }

bool ThemeTextIsLight() { return Luminance(CurrentTheme().controlTextColor) >= 128; }

Pixel PlainFaceColor() { return ThemeTextIsLight() ? MapRgb(52, 56, 66) : ToolkitColorValue(kColorFace); }

Pixel PlainPlateColor() { return ThemeTextIsLight() ? MapRgb(30, 32, 40) : MapRgb(200, 200, 200); }

bool MenuTextIsLight() { return Luminance(CurrentTheme().menuItemColor) >= 128; }

Pixel PlainMenuFaceColor() { return MenuTextIsLight() ? MapRgb(52, 56, 66) : ToolkitColorValue(kColorFace); }
