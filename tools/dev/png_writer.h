// A minimal PNG writer for looking at the screen buffer: 8-bit RGB, compressed with zlib.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Encodes width x height 0x00RRGGBB pixels (rows of the given pitch in pixels) as a PNG file;
// empty when zlib fails.
std::vector<uint8_t> EncodePng(const uint32_t* pixels, int width, int height, int pitch);
bool WritePng(const std::string& path, const uint32_t* pixels, int width, int height, int pitch);
