// The two pointers of the Pyramid game: a hand carrying a card (a move is possible here) and
// a "no" sign (nothing to pick up), written as Windows ".cur" files.
#pragma once

#include <cstdint>
#include <vector>

inline constexpr char kPlayCardCursorFile[] = "playcard.cur";
inline constexpr char kNoCardCursorFile[] = "nocard.cur";
inline constexpr int kCursorSize = 32;

struct CursorPicture {
    int hotX = 0;
    int hotY = 0;
    std::vector<uint32_t> pixels;  // kCursorSize squared, 0xAARRGGBB with straight alpha, top row first
};

CursorPicture DrawPlayCardCursor();
CursorPicture DrawNoCardCursor();

// A cursor file with one 32-bit image and its AND mask (set where fully transparent).
std::vector<uint8_t> EncodeCursor(const CursorPicture& picture);
