// Bitmap fonts: rendering outline faces into the ".fgf" format with FreeType, and reading the
// format back for the sample sheet.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <vector>

struct FontRecipe {
    const char* fileName;  // name in the data folder
    const char* faceFile;  // outline font, relative to the font root
    int pixelSize;         // em size in pixels
    int glyphCount;        // 96 (characters 32..127) or 256 (every byte value)
    int spacing;           // extra pixels after each character
    // Line height and baseline from the ASCII characters alone, so a font that gained the upper
    // half keeps its metrics; an accented capital taller than the cell sits lower to fit it.
    bool asciiMetrics = false;
};

std::span<const FontRecipe> FontRecipes();

// Renders one font into the bytes of an ".fgf" file, for a device scale (1, 2 or 3): at scale s
// every cell, the line height and the baseline are exactly s times those of the 1x font.
bool RenderFont(const FontRecipe& recipe, const std::filesystem::path& fontRoot,
                std::vector<uint8_t>* fgf, std::string* error, int scale = 1);

struct BitmapGlyph {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> coverage;  // width x height, row by row from the top
};

struct BitmapFont {
    int firstChar = 0;
    int spacing = 0;
    int baseline = 0;
    int lineHeight = 0;
    std::vector<BitmapGlyph> glyphs;

    const BitmapGlyph* Glyph(unsigned char c) const;  // null when the font lacks it
};

// Reads ".fgf" bytes; nullopt when they break the format in any way.
std::optional<BitmapFont> ParseFont(std::span<const uint8_t> bytes);
