#include "tools/artgen/fonts.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_DRIVER_H
#include FT_MODULE_H

#include <algorithm>
#include <array>
#include <cstring>

#include "tools/artgen/art_constants.h"

namespace {

constexpr char kFontMagic[4] = {'Q', 'F', 'G', 'F'};
constexpr int kFontVersion = 1;
constexpr size_t kFontHeaderSize = 16;
constexpr int kMaxGlyphSide = 64;
constexpr int kMaxLineHeight = 64;
constexpr int kMaxSpacing = 8;
constexpr int kEscapeChar = 127;  // takes the next byte with it; never drawn
constexpr int kFirstPrintable = 32;

// Text in the program is single-byte. The upper half is Latin-1, except that 128..159 carry
// the typographic extras of the usual Western single-byte code page (euro sign, curly quotes,
// dashes) instead of control codes.
constexpr std::array<uint16_t, 32> kUpperControlMap = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

// The Unicode character drawn for a byte, or 0 when the byte has no glyph.
uint32_t CodePointOf(int byte) {
    if (byte < kFirstPrintable || byte == kEscapeChar) return 0;
    if (byte >= 128 && byte < 160) return kUpperControlMap[byte - 128];
    return static_cast<uint32_t>(byte);
}

// One rendered glyph before it is placed in its cell: ink relative to the pen position.
struct InkGlyph {
    bool present = false;
    int advance = 0;
    int left = 0;  // ink's first column relative to the pen
    int top = 0;   // ink's first row above the baseline
    int width = 0;
    int rows = 0;
    std::vector<uint8_t> ink;
};

class FreeTypeFace {
public:
    ~FreeTypeFace() {
        if (face) FT_Done_Face(face);
        if (library) FT_Done_FreeType(library);
    }
    FT_Library library = nullptr;
    FT_Face face = nullptr;
};

bool RenderGlyph(FT_Face face, uint32_t codePoint, InkGlyph* glyph) {
    FT_UInt index = FT_Get_Char_Index(face, codePoint);
    if (index == 0) return false;
    if (FT_Load_Glyph(face, index, FT_LOAD_DEFAULT | FT_LOAD_TARGET_NORMAL) != 0) return false;
    FT_GlyphSlot slot = face->glyph;
    if (FT_Render_Glyph(slot, FT_RENDER_MODE_NORMAL) != 0) return false;
    const FT_Bitmap& bitmap = slot->bitmap;
    if (bitmap.width > 0 && bitmap.pixel_mode != FT_PIXEL_MODE_GRAY) return false;

    glyph->present = true;
    glyph->advance = static_cast<int>((slot->advance.x + 32) >> 6);
    glyph->left = slot->bitmap_left;
    glyph->top = slot->bitmap_top;
    glyph->width = static_cast<int>(bitmap.width);
    glyph->rows = static_cast<int>(bitmap.rows);
    glyph->ink.resize(static_cast<size_t>(glyph->width) * glyph->rows);
    for (int y = 0; y < glyph->rows; ++y) {
        const uint8_t* row = bitmap.buffer + static_cast<ptrdiff_t>(y) * bitmap.pitch;
        std::copy(row, row + glyph->width, glyph->ink.begin() + static_cast<ptrdiff_t>(y) * glyph->width);
    }
    return true;
}

// The advance, widened when the ink reaches past it. Ink that starts left of the pen (a 'j'
// tail) is moved into the cell rather than cut off: the format has no negative offsets.
int NaturalCellWidth(const InkGlyph& glyph) {
    return std::max(glyph.advance, std::max(glyph.left, 0) + glyph.width);
}

void PutU16(std::vector<uint8_t>& out, int value) {
    out.push_back(static_cast<uint8_t>(value & 0xFF));
    out.push_back(static_cast<uint8_t>((value >> 8) & 0xFF));
}

}  // namespace

std::span<const FontRecipe> FontRecipes() {
    // DejaVu's hinting instructions were written for screens, so its small sizes stay crisp
    // and its digits are lining. The condensed cuts keep captions and the status line short.
    namespace t = typography;
    static constexpr FontRecipe kRecipes[] = {
        {t::kLabel.file, t::kLabel.face, t::kLabel.pixelSize, kFullGlyphCount, 0, true},
        {t::kBody.file, t::kBody.face, t::kBody.pixelSize, kFullGlyphCount, 0, true},
        {t::kTitle.file, t::kTitle.face, t::kTitle.pixelSize, kFullGlyphCount, 0, true},
        {t::kSmall.file, t::kSmall.face, t::kSmall.pixelSize, kFullGlyphCount, 0},
    };
    return kRecipes;
}

namespace {

// Every glyph of a font's character range rendered at one pixel size, and the extent of their ink.
struct RenderedFace {
    std::vector<InkGlyph> glyphs;
    int ascent = 1;
    int descent = 0;
};

bool RenderFace(const FontRecipe& recipe, const std::filesystem::path& fontRoot, int pixelSize, int firstChar,
                RenderedFace* rendered, std::string* error) {
    const std::filesystem::path facePath = fontRoot / recipe.faceFile;
    FreeTypeFace ft;
    if (FT_Init_FreeType(&ft.library) != 0) {
        *error = "cannot start FreeType";
        return false;
    }
    // The classic interpreter applies the faces' horizontal hints too, which the default one
    // ignores; at eleven pixels that is the difference between sharp and smeared stems. It
    // also makes the output independent of the interpreter a distribution picks by default.
    FT_UInt version = TT_INTERPRETER_VERSION_35;
    FT_Property_Set(ft.library, "truetype", "interpreter-version", &version);
    if (!std::filesystem::is_regular_file(facePath) ||
        FT_New_Face(ft.library, facePath.c_str(), 0, &ft.face) != 0) {
        *error = "font file missing or unreadable: " + facePath.string() + " (needed for " +
                 recipe.fileName + ")";
        return false;
    }
    if (FT_Set_Pixel_Sizes(ft.face, 0, static_cast<FT_UInt>(pixelSize)) != 0) {
        *error = "cannot size " + facePath.string();
        return false;
    }
    rendered->glyphs.assign(static_cast<size_t>(recipe.glyphCount), InkGlyph{});
    for (int i = 0; i < recipe.glyphCount; ++i) {
        InkGlyph& glyph = rendered->glyphs[static_cast<size_t>(i)];
        uint32_t codePoint = CodePointOf(firstChar + i);
        if (codePoint == 0 || !RenderGlyph(ft.face, codePoint, &glyph)) continue;
        if (glyph.rows > 0 && (!recipe.asciiMetrics || firstChar + i < 128)) {
            rendered->ascent = std::max(rendered->ascent, glyph.top);
            rendered->descent = std::max(rendered->descent, glyph.rows - glyph.top);
        }
    }
    if (!rendered->glyphs[' ' - firstChar].present || !rendered->glyphs['0' - firstChar].present) {
        *error = facePath.string() + " lacks basic Latin characters";
        return false;
    }
    return true;
}

bool IsDigit(int c) { return c >= '0' && c <= '9'; }

}  // namespace

// The 1x font decides every cell: its width, the line height and the baseline. A font for a
// larger scale renders the face at scale times the pixel size and puts each glyph into a cell
// exactly scale times the 1x cell, so text measured with the 1x font lines up at every scale.
bool RenderFont(const FontRecipe& recipe, const std::filesystem::path& fontRoot,
                std::vector<uint8_t>* fgf, std::string* error, int scale) {
    const bool full = recipe.glyphCount == kFullGlyphCount;
    const int firstChar = full ? 0 : kFirstPrintable;
    RenderedFace base;
    if (!RenderFace(recipe, fontRoot, recipe.pixelSize, firstChar, &base, error)) return false;
    const int lineHeight = base.ascent + base.descent;
    if (lineHeight > kMaxLineHeight) {
        *error = std::string(recipe.fileName) + ": line height too large for the format";
        return false;
    }
    // Digits share one width so that scores and clocks do not shift as their values change.
    int digitWidth = 0;
    for (char c = '0'; c <= '9'; ++c) digitWidth = std::max(digitWidth, NaturalCellWidth(base.glyphs[c - firstChar]));
    std::vector<int> cellWidths(static_cast<size_t>(recipe.glyphCount), 0);
    for (int i = 0; i < recipe.glyphCount; ++i) {
        if (!base.glyphs[i].present) continue;
        cellWidths[i] = std::min(IsDigit(firstChar + i) ? digitWidth : NaturalCellWidth(base.glyphs[i]), kMaxGlyphSide);
    }

    RenderedFace large;
    if (scale > 1 && !RenderFace(recipe, fontRoot, recipe.pixelSize * scale, firstChar, &large, error)) return false;
    const RenderedFace& ink = scale > 1 ? large : base;

    std::vector<uint8_t> out(std::begin(kFontMagic), std::end(kFontMagic));
    PutU16(out, kFontVersion);
    PutU16(out, recipe.glyphCount);
    PutU16(out, firstChar);
    out.push_back(static_cast<uint8_t>(static_cast<int8_t>(std::clamp(recipe.spacing, -kMaxSpacing, kMaxSpacing) * scale)));
    out.push_back(static_cast<uint8_t>(base.ascent * scale));
    PutU16(out, lineHeight * scale);
    PutU16(out, 0);

    for (int i = 0; i < recipe.glyphCount; ++i) {
        const InkGlyph& glyph = ink.glyphs[i];
        if (!base.glyphs[i].present) {
            out.push_back(0);
            out.push_back(0);
            continue;
        }
        const int cellWidth = cellWidths[i] * scale;
        const int cellHeight = lineHeight * scale;
        int inkX = std::max(glyph.left, 0);
        if (IsDigit(firstChar + i)) inkX += (cellWidth - NaturalCellWidth(glyph)) / 2;
        // Ink above the cell moves down into the room below the ink, as far as there is some.
        int drop = 0;
        if (recipe.asciiMetrics && glyph.present) {
            const int above = glyph.top - base.ascent * scale;
            const int room = cellHeight - (base.ascent * scale - glyph.top + glyph.rows);
            if (above > 0 && room > 0) drop = std::min(above, room);
        }
        out.push_back(static_cast<uint8_t>(cellWidth));
        out.push_back(static_cast<uint8_t>(cellHeight));
        const size_t cellStart = out.size();
        out.resize(cellStart + static_cast<size_t>(cellWidth) * cellHeight, 0);
        if (!glyph.present) continue;
        for (int y = 0; y < glyph.rows; ++y) {
            int row = base.ascent * scale - glyph.top + y + drop;
            if (row < 0 || row >= cellHeight) continue;
            for (int x = 0; x < glyph.width; ++x) {
                int column = inkX + x;
                if (column < 0) continue;
                if (column >= cellWidth) break;
                out[cellStart + static_cast<size_t>(row) * cellWidth + column] =
                    glyph.ink[static_cast<size_t>(y) * glyph.width + x];
            }
        }
    }
    *fgf = std::move(out);
    return true;
}

const BitmapGlyph* BitmapFont::Glyph(unsigned char c) const {
    int index = c - firstChar;
    if (index < 0 || index >= static_cast<int>(glyphs.size())) return nullptr;
    return &glyphs[static_cast<size_t>(index)];
}

std::optional<BitmapFont> ParseFont(std::span<const uint8_t> bytes) {
    auto u16 = [&](size_t at) { return bytes[at] | (bytes[at + 1] << 8); };
    if (bytes.size() < kFontHeaderSize || std::memcmp(bytes.data(), kFontMagic, 4) != 0) return std::nullopt;
    if (u16(4) != kFontVersion) return std::nullopt;
    BitmapFont font;
    int count = u16(6);
    font.firstChar = u16(8);
    font.spacing = static_cast<int8_t>(bytes[10]);
    font.baseline = bytes[11];
    font.lineHeight = u16(12);
    bool shapeOk = (count == kAsciiGlyphCount && font.firstChar == kFirstPrintable) ||
                   (count == kFullGlyphCount && font.firstChar == 0);
    if (!shapeOk || font.lineHeight < 1 || font.lineHeight > kMaxLineHeight ||
        font.spacing < -kMaxSpacing || font.spacing > kMaxSpacing)
        return std::nullopt;
    size_t at = kFontHeaderSize;
    for (int i = 0; i < count; ++i) {
        if (bytes.size() - at < 2) return std::nullopt;
        BitmapGlyph glyph;
        glyph.width = bytes[at];
        glyph.height = bytes[at + 1];
        at += 2;
        if (glyph.width > kMaxGlyphSide || glyph.height > font.lineHeight) return std::nullopt;
        size_t size = static_cast<size_t>(glyph.width) * glyph.height;
        if (bytes.size() - at < size) return std::nullopt;
        glyph.coverage.assign(bytes.begin() + static_cast<ptrdiff_t>(at),
                              bytes.begin() + static_cast<ptrdiff_t>(at + size));
        at += size;
        font.glyphs.push_back(std::move(glyph));
    }
    if (at != bytes.size()) return std::nullopt;
    return font;
}
