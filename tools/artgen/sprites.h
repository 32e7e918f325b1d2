// Small palette pictures (".spr", docs/formats.md) and the desktop icon.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <vector>

struct Sprite {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> indices;  // default-palette indices, row by row from the top
};

struct NamedSprite {
    const char* fileName;
    Sprite sprite;
};

// The spin field's four arrows, in a fixed order, drawn for a device scale (1, 2 or 3).
std::vector<NamedSprite> SpinArrowSprites(int scale = 1);

std::vector<uint8_t> EncodeSprite(const Sprite& sprite);
std::optional<Sprite> DecodeSprite(std::span<const uint8_t> bytes);

// The 256 x 256 desktop icon as PNG bytes; empty when cairo fails.
std::vector<uint8_t> RenderAppIcon();
// The desktop icon at any size as PNG bytes, and as an SVG document; empty when cairo fails.
std::vector<uint8_t> RenderIconPng(int size);
std::vector<uint8_t> RenderIconSvg();
// Writes the icon theme's files below folder: NxN/apps/<name>.png for every desktop size and
// scalable/apps/<name>.svg, the layout of an icon theme such as hicolor.
bool WriteDesktopIcons(const std::filesystem::path& folder, std::string* error);
// The same mark as a small 24-bit BMP for the window, magenta where it is transparent.
std::vector<uint8_t> RenderWindowIcon(int size);
