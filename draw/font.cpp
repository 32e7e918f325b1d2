// Bitmap fonts (".fgf", format in docs/formats.md): loading, measuring and drawing, and the
// system-font text of DrawWinText, which shares the drawing code.

#include <algorithm>
#include <memory>

#include "draw/draw.h"
#include "draw/draw_internal.h"
#include "platform/paths.h"

using namespace draw_internal;

namespace {

constexpr size_t kFontHeaderSize = 16;
constexpr int kFontVersion = 1;
constexpr int kMaxSpacing = 8;
// Limits of a 1x font; a font made for device scale s may be s times as large.
constexpr int kMaxLineHeight = 64;
constexpr int kMaxGlyphSide = 64;
// In a string, this byte takes the next one with it and the pair is neither measured nor drawn.
constexpr uint8_t kEscapeByte = 127;

std::array<std::unique_ptr<Font>, kMaxFonts> fonts;  // slot n lives at index n - 1
int selectedSlot = 0;

std::unique_ptr<Font> ParseFont(const uint8_t* data, size_t size, int scale = 1) {
    if (data == nullptr || size < kFontHeaderSize) return nullptr;
    if (data[0] != 'Q' || data[1] != 'F' || data[2] != 'G' || data[3] != 'F') return nullptr;
    const int version = ReadU16(data + 4), count = ReadU16(data + 6), first = ReadU16(data + 8);
    const int spacing = static_cast<int8_t>(data[10]);
    const int baseline = data[11];
    const int lineHeight = ReadU16(data + 12);
    if (version != kFontVersion || ReadU16(data + 14) != 0) return nullptr;
    if (!((count == 96 && first == 32) || (count == 256 && first == 0))) return nullptr;
    if (spacing < -kMaxSpacing * scale || spacing > kMaxSpacing * scale) return nullptr;
    if (lineHeight < 1 || lineHeight > kMaxLineHeight * scale || baseline > lineHeight) return nullptr;

    auto font = std::make_unique<Font>();
    font->spacing = spacing;
    font->lineHeight = lineHeight;
    size_t at = kFontHeaderSize;
    for (int i = 0; i < count; ++i) {
        if (at + 2 > size) return nullptr;
        const int width = data[at], height = data[at + 1];
        at += 2;
        if (width > kMaxGlyphSide * scale || height > kMaxGlyphSide * scale || height > lineHeight) return nullptr;
        const size_t bytes = static_cast<size_t>(width) * height;
        if (bytes > size - at) return nullptr;
        Font::Glyph& glyph = font->glyphs[first + i];
        glyph.width = static_cast<uint8_t>(width);
        glyph.height = static_cast<uint8_t>(height);
        glyph.offset = static_cast<uint32_t>(font->coverage.size());
        font->coverage.insert(font->coverage.end(), data + at, data + at + bytes);
        at += bytes;
    }
    for (int c = 0; c < 256; ++c) font->advance[c] = static_cast<int16_t>(font->glyphs[c].width + spacing);
    return font;
}

const Font* SelectedFontData() { return selectedSlot > 0 ? fonts[selectedSlot - 1].get() : nullptr; }

int MeasureWidth(const Font& font, const char* text, int length) {
    if (text == nullptr) return 0;
    const auto* bytes = reinterpret_cast<const uint8_t*>(text);
    int width = 0;
    for (int i = 0; i < length; ++i) {
        if (bytes[i] == kEscapeByte) {
            ++i;
            continue;
        }
        width += font.advance[bytes[i]];
    }
    return width;
}

int MeasureHeight(const Font& font, const char* text, int length) {
    if (text == nullptr) return 0;
    const auto* bytes = reinterpret_cast<const uint8_t*>(text);
    int height = 0;
    for (int i = 0; i < length; ++i) {
        if (bytes[i] == kEscapeByte) {
            ++i;
            continue;
        }
        height = std::max<int>(height, font.glyphs[bytes[i]].height);
    }
    return height;
}

// out = dst + (src - dst) * a / 255 for each channel.
Pixel Blend(Pixel dst, Pixel src, int alpha) {
    Pixel out = 0;
    for (int shift = 0; shift <= 16; shift += 8) {
        const int d = static_cast<int>((dst >> shift) & 0xFF), s = static_cast<int>((src >> shift) & 0xFF);
        out |= static_cast<Pixel>(d + (s - d) * alpha / 255) << shift;
    }
    return out;
}

// Draws text anchored at the cursor per the justification and returns the x just past its end.
// Each glyph's top row is the top of the text; the text's height is its tallest glyph.
int64_t DrawWithFont(const Font& font, const char* text, int length, int xjust, int yjust) {
    const DrawState& s = State();
    const int width = MeasureWidth(font, text, length);
    const int height = MeasureHeight(font, text, length);
    int64_t left = s.cursorX, top = s.cursorY;
    if (xjust == 0) left -= width / 2;
    else if (xjust > 0) left -= width - 1;
    if (yjust == 0) top -= height / 2;
    else if (yjust < 0) top -= height - 1;

    Buffer* b = Active();
    if (b == nullptr || text == nullptr) return left + width;
    // The pen moves in logical pixels by the font's own advances; the glyphs drawn at each pen
    // position come from the device-scale cells, which are exactly scale times as large.
    const Font& device = DeviceGlyphs(font);
    const int scale = Scale();
    const int64_t deviceTop = top * scale;
    const auto* bytes = reinterpret_cast<const uint8_t*>(text);
    int64_t pen = left;
    for (int i = 0; i < length; ++i) {
        if (bytes[i] == kEscapeByte) {
            ++i;
            continue;
        }
        const Font::Glyph& glyph = device.glyphs[bytes[i]];
        const int64_t devicePen = pen * scale;
        // Only the part of the glyph inside the clip is visited.
        const int64_t x0 = std::max<int64_t>(devicePen, b->clipMinX);
        const int64_t x1 = std::min<int64_t>(devicePen + glyph.width - 1, b->clipMaxX);
        const int64_t y0 = std::max<int64_t>(deviceTop, b->clipMinY);
        const int64_t y1 = std::min<int64_t>(deviceTop + glyph.height - 1, b->clipMaxY);
        for (int64_t y = y0; y <= y1; ++y) {
            const uint8_t* coverage = device.coverage.data() + glyph.offset + (y - deviceTop) * glyph.width;
            Pixel* row = b->Row(static_cast<int>(y));
            for (int64_t x = x0; x <= x1; ++x) {
                const int alpha = coverage[x - devicePen];
                if (alpha == 255) row[x] = s.color;
                else if (alpha != 0) row[x] = Blend(row[x], s.color, alpha);
            }
        }
        pen += font.advance[bytes[i]];
    }
    return pen;
}

int Justification(int value) { return value < 0 ? -1 : value > 0 ? 1 : 0; }

}  // namespace

namespace draw_internal {

bool MatchesAtScale(const Font& font, const Font& scaled, int scale) {
    for (int c = 0; c < 256; ++c) {
        if (scaled.glyphs[c].width != font.glyphs[c].width * scale ||
            scaled.glyphs[c].height != font.glyphs[c].height * scale)
            return false;
    }
    return true;
}

std::unique_ptr<Font> EnlargeFont(const Font& font, int scale) {
    auto large = std::make_unique<Font>();
    large->spacing = font.spacing * scale;
    large->lineHeight = font.lineHeight * scale;
    for (int c = 0; c < 256; ++c) {
        const Font::Glyph& from = font.glyphs[c];
        Font::Glyph& to = large->glyphs[c];
        to.width = static_cast<uint16_t>(from.width * scale);
        to.height = static_cast<uint16_t>(from.height * scale);
        to.offset = static_cast<uint32_t>(large->coverage.size());
        for (int y = 0; y < to.height; ++y)
            for (int x = 0; x < to.width; ++x)
                large->coverage.push_back(font.coverage[from.offset + (y / scale) * from.width + x / scale]);
        large->advance[c] = static_cast<int16_t>(to.width + large->spacing);
    }
    return large;
}

const Font& DeviceGlyphs(const Font& font) {
    const int scale = Scale();
    if (scale == 1) return font;
    if (!font.device || font.deviceScale != scale) {
        std::vector<uint8_t> bytes;
        std::unique_ptr<Font> scaled;
        if (!font.path.empty() && ReadScaledFileBytes(font.path.c_str(), bytes)) scaled = ParseFont(bytes.data(), bytes.size(), scale);
        if (!scaled || !MatchesAtScale(font, *scaled, scale)) scaled = EnlargeFont(font, scale);
        font.device = std::move(scaled);
        font.deviceScale = scale;
    }
    return *font.device;
}

}  // namespace draw_internal

int LoadFontMemory(const uint8_t* data, size_t size) {
    std::unique_ptr<Font> font = ParseFont(data, size);
    if (!font) return 0;
    for (int slot = 1; slot <= kMaxFonts; ++slot) {
        if (fonts[slot - 1]) continue;
        fonts[slot - 1] = std::move(font);
        return slot;
    }
    return 0;
}

// At a device scale above 1 the font's "@Nx" file supplies the glyphs that are drawn (read when
// first drawn at that scale), when it matches the 1x font cell for cell; the 1x file always
// supplies the measurements.
int LoadFont(const char* path) {
    std::vector<uint8_t> bytes;
    const int slot = ReadFileBytes(path, bytes) ? LoadFontMemory(bytes.data(), bytes.size()) : 0;
    if (slot > 0) fonts[slot - 1]->path = path;
    else ReportUnusableDataFile(path, "its text is not drawn");
    return slot;
}

bool AttachScaledFontMemory(int slot, const uint8_t* data, size_t size) {
    if (slot < 1 || slot > kMaxFonts || !fonts[slot - 1] || Scale() == 1) return false;
    std::unique_ptr<Font> scaled = ParseFont(data, size, Scale());
    const Font& font = *fonts[slot - 1];
    if (!scaled || !MatchesAtScale(font, *scaled, Scale())) return false;
    font.device = std::move(scaled);
    font.deviceScale = Scale();
    return true;
}

void SelectFont(int slot) {
    if (slot >= 1 && slot <= kMaxFonts && fonts[slot - 1]) selectedSlot = slot;
}

int SelectedFont() { return SelectedFontData() != nullptr ? selectedSlot : 0; }

void UnloadFont(int slot) {
    if (slot == -1) {
        for (auto& font : fonts) font.reset();
        selectedSlot = 0;
        return;
    }
    if (slot < 1 || slot > kMaxFonts) return;
    fonts[slot - 1].reset();
    if (slot == selectedSlot) selectedSlot = 0;
}

void SetTextJustify(int xjust, int yjust) {
    State().textJustX = Justification(xjust);
    State().textJustY = Justification(yjust);
}

void DrawText(const char* text, int length) {
    if (const Font* font = SelectedFontData()) DrawWithFont(*font, text, length, State().textJustX, State().textJustY);
}

// Every drawing operation honours the clip rectangle, so this is DrawText under another name;
// the edit field calls it to make its intent plain.
void DrawTextClipped(const char* text, int length) { DrawText(text, length); }

int TextWidth(const char* text, int length) {
    const Font* font = SelectedFontData();
    return font != nullptr ? MeasureWidth(*font, text, length) : 0;
}

int TextHeight(const char* text, int length) {
    const Font* font = SelectedFontData();
    return font != nullptr ? MeasureHeight(*font, text, length) : 0;
}

void SetWinTextJustify(int xjust, int yjust) {
    State().winTextJustX = Justification(xjust);
    State().winTextJustY = Justification(yjust);
}

void DrawWinText(const char* text, int length) {
    Buffer* b = Active();
    if (b == nullptr) return;
    const int64_t end = DrawWithFont(SystemFont(), text, length, State().winTextJustX, State().winTextJustY);
    State().cursorX = static_cast<int>(std::clamp<int64_t>(end, INT32_MIN, b->width / Scale() - 1));
}
