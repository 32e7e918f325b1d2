// 24-bit uncompressed Windows BMP output for the generated artwork. Pictures whose corners or
// surroundings are meant to be transparent use exact magenta (0xFF00FF), which survives
// this lossless format unchanged.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

// Encodes width x height pixels given top row first as 0x00RRGGBB into a bottom-up 24-bit BMP.
// Returns an empty vector when the size is not positive or too large to describe.
std::vector<uint8_t> EncodeBmp24(const uint32_t* pixels0x00RRGGBB, int width, int height);

// Reads back a 24-bit uncompressed BMP (either row order) as 0x00RRGGBB pixels, top row first,
// for the review sheets. Returns false for anything else or for a truncated file.
bool DecodeBmp24(const std::vector<uint8_t>& bytes, std::vector<uint32_t>* pixels, int* width, int* height);

// Encodes the same pixels as an 8-bit RGB PNG: the compact lossless form of the 2x and 3x
// artwork. Empty on failure.
std::vector<uint8_t> EncodePng24(const uint32_t* pixels0x00RRGGBB, int width, int height);

// The name of the art file for a device scale: the name itself at 1x; "name@2x.png" for
// "name.bmp" (PNG keeps the larger sheets small), "name@2x.ext" for any other name at scale 2.
std::filesystem::path ScaledArtPath(const std::filesystem::path& name, int scale);

// Encodes as above and writes the file atomically (temporary file, then rename).
bool WriteBmp24(const std::string& path, const uint32_t* pixels0x00RRGGBB, int width, int height);
