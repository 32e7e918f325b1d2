// Reader for Windows ".cur" cursor files (the format the artwork's cursors are kept in).
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

struct CursorImage {
    int width = 0;
    int height = 0;
    int hotX = 0;
    int hotY = 0;
    std::vector<uint32_t> pixels;  // 0xAARRGGBB, row-major from the top
};

// Decodes the first image of a cursor file held in memory. Returns false (and leaves image
// untouched) for anything that is not a well-formed cursor: wrong magic, truncation, sizes
// beyond 256 x 256, unsupported bit depths.
bool DecodeCursor(const uint8_t* data, size_t size, CursorImage* image);
