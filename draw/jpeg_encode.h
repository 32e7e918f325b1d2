// JPEG encoding of a 0x00RRGGBB picture, for the artwork generator and for tests that need a
// JPEG to decode. Lives in the drawing layer because it is the one place that sees libjpeg-turbo.
#pragma once

#include <cstdint>
#include <vector>

// Quality 1..100. Chroma subsampling (4:2:0) suits photographs; pass false to keep full colour
// resolution (4:4:4) for pictures with sharp coloured edges. Empty on failure.
std::vector<uint8_t> EncodeJpeg(const uint32_t* pixels, int width, int height, int quality,
                                bool subsampleChroma = true);
