// The default palette. At 16 bits and above it matters for two things only: the transparent
// colour (entries 34 and 253 are magenta) and sprite files, whose pixels are palette indices.
// The artwork generator includes this header too, so sprites and their reader cannot disagree.
//
// Layout: entries 0..215 are the 6 x 6 x 6 colour cube (index = 36 r + 6 g + b, steps of 51),
// 216..251 are 36 greys from black to white, 252..255 are warm accents; entries 34 and 253 are
// then overwritten with magenta.
#pragma once

#include <array>
#include <cstdint>

struct PaletteEntry {
    uint8_t r, g, b;
};

constexpr int kTransparentIndexA = 34;
constexpr int kTransparentIndexB = 253;

constexpr std::array<PaletteEntry, 256> MakeDefaultPalette() {
    std::array<PaletteEntry, 256> p{};
    for (int i = 0; i < 216; ++i) {
        p[i] = {static_cast<uint8_t>(i / 36 * 51), static_cast<uint8_t>(i / 6 % 6 * 51),
                static_cast<uint8_t>(i % 6 * 51)};
    }
    for (int i = 0; i < 36; ++i) {
        auto v = static_cast<uint8_t>(i * 255 / 35);
        p[216 + i] = {v, v, v};
    }
    p[252] = {255, 170, 64};
    p[253] = {255, 0, 255};
    p[254] = {192, 160, 96};
    p[255] = {128, 96, 48};
    p[kTransparentIndexA] = {255, 0, 255};
    return p;
}

inline constexpr std::array<PaletteEntry, 256> kDefaultPalette = MakeDefaultPalette();
