// What the fuzz targets share: the small screen the picture readers draw into, and the seed
// files a target writes for itself when QUILLFEN_FUZZ_SEEDS names a folder.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "draw/draw.h"

// One 64 x 48 buffer for the whole run, with the transparent colours of the artwork; pictures
// larger than it are clipped. Puts the pen where the readers draw from.
inline void SmallScreen() {
    static const bool ready = [] {
        SelectBuffer(CreateBuffer(64, 48));
        SetTransparentColor(34, 1);
        SetTransparentColor(253, 1);
        return true;
    }();
    (void)ready;
    MoveTo(8, 40);
}

// The folder to write seeds into, or null when none is asked for.
inline const char* SeedFolder() { return std::getenv("QUILLFEN_FUZZ_SEEDS"); }

inline void WriteSeed(const char* folder, const std::string& name, const void* data, size_t size) {
    std::ofstream(std::string(folder) + "/" + name, std::ios::binary)
        .write(static_cast<const char*>(data), static_cast<std::streamsize>(size));
}
inline void WriteSeed(const char* folder, const std::string& name, const std::vector<uint8_t>& bytes) {
    WriteSeed(folder, name, bytes.data(), bytes.size());
}
