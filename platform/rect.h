// The one rectangle type of the program. Its edges are inclusive: it covers the pixels (left, top)
// to (right, bottom), both corners included, so a card at (x, y) covers {x, y, x + 52, y + 82}.
// Its coordinates are logical table pixels everywhere above the drawing layer; the platform layer
// uses it for window and frame pixels too. A rectangle with right < left or bottom < top covers
// nothing.
#pragma once

struct Rect {
    int left = 0, top = 0, right = 0, bottom = 0;

    // The rectangle of width x height pixels whose top-left pixel is (x, y).
    static constexpr Rect FromSize(int x, int y, int width, int height) {
        return {x, y, x + width - 1, y + height - 1};
    }
    constexpr int Width() const { return right - left + 1; }
    constexpr int Height() const { return bottom - top + 1; }
    constexpr bool Empty() const { return right < left || bottom < top; }
    constexpr bool Contains(int x, int y) const { return x >= left && x <= right && y >= top && y <= bottom; }
    // Whether the two share a pixel.
    constexpr bool Meets(const Rect& o) const {
        return !Empty() && !o.Empty() && left <= o.right && o.left <= right && top <= o.bottom && o.top <= bottom;
    }
    bool operator==(const Rect&) const = default;
};
