// The two pointers of the Pyramid game: a hand carrying a card (a move is possible here) and
// a "no" sign (nothing to pick up), written as Windows ".cur" files.
#pragma once

#include <cstdint>
#include <vector>

inline constexpr char kPlayCardCursorFile[] = "playcard.cur";
inline constexpr char kNoCardCursorFile[] = "nocard.cur";
inline constexpr int kCursorSize = 32;

struct CursorPicture {
    int size = kCursorSize;  // kCursorSize times the device scale
    int hotX = 0;
    int hotY = 0;
    std::vector<uint32_t> pixels;  // size squared, 0xAARRGGBB with straight alpha, top row first
};

// The pointers for a device scale (1, 2 or 3): scale times as large, drawn from the same shapes.
CursorPicture DrawPlayCardCursor(int scale = 1);
CursorPicture DrawNoCardCursor(int scale = 1);

// A cursor file with one 32-bit image and its AND mask (set where fully transparent).
std::vector<uint8_t> EncodeCursor(const CursorPicture& picture);
