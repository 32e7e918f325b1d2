// The table (a fixed logical size, drawn at a device scale of 1, 2 or 3) shown in a window of any
// size: where it sits, how window pixels map back to logical ones, and the resampling of changed
// rectangles into a window-sized picture. Rectangles here are the program's Rect (inclusive edges),
// in window or frame pixels as each function says. Free of SDL so that both back ends share it and tests
// can check it directly.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/backend.h"
#include "platform/fresh_pages.h"
#include "platform/host_events.h"
#include "platform/messages.h"
#include "platform/window_placement.h"

// The smallest of 1, 2, 3 at or above the scale at which the table fills width x height.
int ChooseDeviceScale(int width, int height, int logicalWidth, int logicalHeight);

// The largest size of the table's shape that fits in nine tenths of a usable desktop area.
void DefaultWindowSize(int usableWidth, int usableHeight, int logicalWidth, int logicalHeight, int* width,
                       int* height);

// How the window left at `remembered` (its frame's corner, its inside's size) opens on a display
// whose usable area is `usable` (window pixels, inclusive edges): where the whole window lies within
// the area, at its remembered size and place; else centred at the default size (a window left on a
// larger display never opens partly off a smaller one), or, never placed, at its remembered size
// where that fits. Never smaller than half the table.
WindowPlacement OpeningPlacement(const WindowPlacement& remembered, const Rect& usable, int logicalWidth, int logicalHeight);

class ScaledWindow {
public:
    // Frame of logicalWidth x logicalHeight logical pixels drawn at deviceScale, shown in a window
    // of windowWidth x windowHeight. wholeFactor keeps the table at a whole multiple of its
    // logical size with plain pixel copies (the classic window); otherwise it is scaled to fit,
    // keeping its shape, and filtered. Keeps the frame already stored when only the window changes.
    void Configure(int logicalWidth, int logicalHeight, int deviceScale, int windowWidth, int windowHeight,
                   bool wholeFactor);

    // Keeps the window and the frame's content, now held at another device scale (each new pixel
    // from the old pixel over the same place); the caller redraws the window with RenderAll.
    void ChangeFrameScale(int newDeviceScale);

    int LogicalWidth() const { return logicalWidth; }
    int LogicalHeight() const { return logicalHeight; }
    int DeviceScale() const { return deviceScale; }
    int WindowWidth() const { return windowWidth; }
    int WindowHeight() const { return windowHeight; }
    // Where the table lies in the window.
    Rect Table() const { return table; }
    // True when device pixels land on window pixels one to one.
    bool Unscaled() const { return table.Width() == frameWidth && table.Height() == frameHeight; }

    // Copies a rectangle of a 0x00RRGGBB buffer (numbers in device pixels, the source corner moving
    // with a clipped destination) into the stored frame; returns the part of the frame changed.
    Rect Store(const uint32_t* pixels, int pitchPixels, int sourceX, int sourceY, int width, int height,
                    int destX, int destY);
    // The same copy, adding to `changed` only the frame rectangles whose pixels differ from what
    // the frame held, a band of rows at a time: a whole-screen present after a small change then
    // filters only the change.
    void StoreChanges(const uint32_t* pixels, int pitchPixels, int sourceX, int sourceY, int width, int height,
                      int destX, int destY, std::vector<Rect>& changed);
    // When Unscaled: the same rectangle copied straight into the window picture, one copy instead
    // of two; the stored frame falls behind until CatchUp. Returns the window rectangle changed.
    Rect StoreDirect(const uint32_t* pixels, int pitchPixels, int sourceX, int sourceY, int width, int height,
                          int destX, int destY, uint32_t* out, int outPitch);
    // Takes the table back into the frame from the window picture direct stores went to (while
    // that picture is still the one of the current layout). Nothing to do unless behind.
    void CatchUp(const uint32_t* out, int outPitch);
    bool Behind() const { return behind; }
    // True while nothing has been stored since the frame was made: it is all black.
    bool Blank() const { return blank; }
    // Draws what a changed frame rectangle affects into a window-sized picture (0x00RRGGBB rows of
    // outPitch pixels) and returns that window rectangle.
    Rect Render(const Rect& frameRect, uint32_t* out, int outPitch) const;
    // Draws the whole window: the margins, then the table. The margins continue the margin
    // picture when there is one, else they take the given colour.
    void RenderAll(uint32_t marginColor, uint32_t* out, int outPitch) const;
    // The margins alone (the table's pixels are left as they are).
    void RenderMargins(uint32_t marginColor, uint32_t* out, int outPitch) const;

    // The picture the margins continue (0x00RRGGBB rows, normally the table's backdrop at the
    // frame's scale): mirrored at the table's edges, so there is no step across them, and darkened
    // outwards at the rate the picture itself darkens towards its edges, so a vignette runs on.
    // An empty picture gives plain margins again. A shared picture is read whenever the margins
    // are drawn, so its owner keeps it as it was given (bands aside) or sends it again.
    void SetMarginPicture(MarginPicture picture);
    bool HasMarginPicture() const { return margin.picture.Valid(); }

    // Maps a window position to logical pixels, clamped to the table; false when it lies in a margin.
    bool ToLogical(int windowX, int windowY, int* x, int* y) const;
    // The window pixels covering an inclusive logical rectangle.
    Rect ToWindow(const Rect& logical) const;

private:
    // Per output pixel along one axis: the first source pixel and the weights (summing to 256)
    // of `stride` consecutive source pixels.
    struct Taps {
        std::vector<int> first;
        std::vector<uint16_t> weights;
        int stride = 1;
        // Each weight four times over, one per 16-bit lane of a spread pixel: what the filter
        // across a row multiplies with (columns only).
        std::vector<uint16_t> laneWeights;
    };
    static Taps BuildTaps(int sourceSize, int targetSize, bool nearest);
    Rect AffectedWindowRect(const Rect& frameRect) const;
    // Along one axis: the table position (0..tableLength-1) a margin position t (table-relative)
    // mirrors, and how much darker it is there (x256).
    struct MarginAxisPoint {
        int at = 0;
        int darkening = 256;
    };
    static MarginAxisPoint MarginAxis(int t, int tableLength, const std::vector<int>& light, int pictureLength);

    struct Margin {
        MarginPicture picture;
        // Mean brightness of each column and row (x256), smoothed: how the picture darkens.
        std::vector<int> columnLight, rowLight;
    };
    Margin margin;

    int logicalWidth = 0, logicalHeight = 0, deviceScale = 1;
    int windowWidth = 0, windowHeight = 0;
    int frameWidth = 0, frameHeight = 0;
    bool wholeFactor = false;
    Rect table{0, 0, -1, -1};  // empty until Configure
    PixelVector frame;
    bool behind = false;  // direct stores went past the frame
    bool blank = true;    // nothing stored since the frame was made
    Taps columns, rows;
};

// Moves a mouse event's window position into logical pixels. False for a press in a margin, which
// the program never sees; moves and releases there are clamped to the table's edge so that a drag
// still follows the pointer and ends.
bool MapMouseEvent(const ScaledWindow& view, HostEvent* event);

// Fills a WindowPicture's geometry from the view (the caller copies the pixels).
void DescribeWindow(const ScaledWindow& view, WindowPicture* picture);
