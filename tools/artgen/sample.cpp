// The review sheet: every font's sample lines at their real size on the background they are
// used on, the same lines enlarged, the arrow sprites enlarged, and the icon.
#include <cairo.h>

#include <algorithm>
#include <cstring>

#include "draw/palette.h"
#include "tools/artgen/art_constants.h"
#include "tools/artgen/artgen.h"
#include "tools/artgen/fonts.h"
#include "tools/artgen/sprites.h"

namespace fs = std::filesystem;

namespace {

constexpr int kSheetWidth = 1000;
constexpr int kMargin = 10;
constexpr int kZoom = 3;
constexpr int kSpriteZoom = 8;
constexpr uint32_t kSheetColour = 0xFFFFFF;
constexpr uint32_t kDialogFace = 0xC0C0C0;
constexpr uint32_t kTableGreen = 0x1E6B2E;

// Text in byte strings as the program stores it (single-byte, upper half as in the fonts).
// A hex escape swallows following hex digits, hence the split literals.
constexpr const char* kUiLines[] = {
    "Quillfen Solitaire   OK   Cancel   Help   New game   Undo",
    "The quick brown fox jumps over the lazy dog. Rules, Options...",
    "ABCDEFGHIJKLMNOPQRSTUVWXYZ abcdefghijklmnopqrstuvwxyz",
    "0123456789  Score: 1,250  Time 12:07  [x] (y) {z} @#$%&*+-=/\\|_~'\"`^<>?!;",
    "Illegal 1lI0O  Wiggly jumpy quilt  Minimum width",
};
constexpr const char* kCardLines[] = {
    "Score: 1,250   Moves: 48   Time: 0:07:15   Stock: 24   Redeals: 2",
    "Foundations build up by suit from Ace to King. Wastepile 0123456789",
    ("Latin-1: caf\xE9 na\xEF" "ve \xC6r\xF8 \xC5" "lborg \xDC" "ber Stra\xDF" "e \xA3" "12 \xA9 \xB1 \xB0 \xBD \xBF \xA1"),
    ("Extras: \x80" "5 \x93quoted\x94 \x91single\x92 a \x96 b \x97 c \x85 \x95 \x99 \x8C\x9C \x8A\x9A"),
};

class Sheet {
public:
    Sheet(int width, int height) : width_(width), height_(height), pixels_(static_cast<size_t>(width * height), kSheetColour) {}

    void Fill(int x, int y, int w, int h, uint32_t colour) {
        for (int row = std::max(y, 0); row < std::min(y + h, height_); ++row)
            for (int col = std::max(x, 0); col < std::min(x + w, width_); ++col) At(col, row) = colour;
    }

    // Blends coverage in the colour the same way the drawing layer does: a straight mix.
    void Blend(int x, int y, uint32_t colour, int coverage) {
        if (x < 0 || y < 0 || x >= width_ || y >= height_ || coverage == 0) return;
        uint32_t& p = At(x, y);
        uint32_t mixed = 0;
        for (int shift = 0; shift <= 16; shift += 8) {
            int back = (p >> shift) & 0xFF;
            int front = (colour >> shift) & 0xFF;
            mixed |= static_cast<uint32_t>(back + (front - back) * coverage / 255) << shift;
        }
        p = mixed;
    }

    // Returns the pen's x after the text.
    int Text(const BitmapFont& font, int x, int y, const char* text, uint32_t colour) {
        for (const char* c = text; *c; ++c) {
            const BitmapGlyph* glyph = font.Glyph(static_cast<unsigned char>(*c));
            if (!glyph) continue;
            for (int gy = 0; gy < glyph->height; ++gy)
                for (int gx = 0; gx < glyph->width; ++gx)
                    Blend(x + gx, y + gy, colour, glyph->coverage[static_cast<size_t>(gy * glyph->width + gx)]);
            x += glyph->width + font.spacing;
        }
        return x;
    }

    // Copies a rectangle enlarged by a whole factor, pixel for pixel.
    void Enlarge(int sx, int sy, int w, int h, int dx, int dy, int zoom) {
        for (int y = 0; y < h * zoom; ++y)
            for (int x = 0; x < w * zoom; ++x) {
                int tx = dx + x, ty = dy + y;
                if (tx < width_ && ty < height_) At(tx, ty) = At(sx + x / zoom, sy + y / zoom);
            }
    }

    uint32_t& At(int x, int y) { return pixels_[static_cast<size_t>(y * width_ + x)]; }
    int Width() const { return width_; }
    int Height() const { return height_; }

private:
    int width_;
    int height_;
    std::vector<uint32_t> pixels_;
};

struct FontSample {
    const char* fileName;
    std::vector<const char*> lines;
    uint32_t background;
    std::vector<uint32_t> colours;  // cycled per line
};

}  // namespace

bool WriteSampleSheet(const fs::path& dataDir, const fs::path& png, std::string* error) {
    const std::vector<const char*> uiLines(std::begin(kUiLines), std::end(kUiLines));
    const std::vector<const char*> cardLines(std::begin(kCardLines), std::end(kCardLines));
    const FontSample samples[] = {
        {kDialogFontFile, uiLines, kDialogFace, {0x000000}},
        {kSystemFontFile, uiLines, kDialogFace, {0x000000}},
        {kSystemBoldFontFile, uiLines, kDialogFace, {0x000000, 0x000080}},
        {kCardFontFile, cardLines, kTableGreen, {0xFFFFFF, 0xFFFF00}},
    };
    std::vector<BitmapFont> fonts;
    for (const FontSample& sample : samples) {
        std::vector<uint8_t> bytes;
        std::optional<BitmapFont> font;
        if (!ReadWholeFile(dataDir / sample.fileName, &bytes) || !(font = ParseFont(bytes))) {
            *error = "cannot read font " + (dataDir / sample.fileName).string();
            return false;
        }
        fonts.push_back(std::move(*font));
    }

    // Each block: the lines at real size, then the first half of the block enlarged.
    int height = kMargin;
    for (size_t i = 0; i < fonts.size(); ++i) {
        int block = static_cast<int>(samples[i].lines.size()) * fonts[i].lineHeight + 2 * kMargin;
        height += block + 2 * fonts[i].lineHeight * kZoom + 3 * kMargin;
    }
    height += kSpriteZoom * kSpinArrowHeight + 2 * kMargin + kAppIconSize + kMargin;
    Sheet sheet(kSheetWidth, height);

    int y = kMargin;
    for (size_t i = 0; i < fonts.size(); ++i) {
        const FontSample& sample = samples[i];
        const BitmapFont& font = fonts[i];
        int blockHeight = static_cast<int>(sample.lines.size()) * font.lineHeight + 2 * kMargin;
        sheet.Fill(0, y, kSheetWidth, blockHeight, sample.background);
        sheet.Text(font, kSheetWidth - 110, y + 2, sample.fileName, 0x800000);
        for (size_t line = 0; line < sample.lines.size(); ++line)
            sheet.Text(font, kMargin, y + kMargin + static_cast<int>(line) * font.lineHeight, sample.lines[line],
                       sample.colours[line % sample.colours.size()]);
        int zoomedY = y + blockHeight + kMargin;
        sheet.Enlarge(kMargin, y + kMargin, (kSheetWidth - 2 * kMargin) / kZoom, 2 * font.lineHeight, kMargin,
                      zoomedY, kZoom);
        y = zoomedY + 2 * font.lineHeight * kZoom + 2 * kMargin;
    }

    // Sprites on the light-grey button face they are drawn over.
    int x = kMargin;
    for (const char* name : {kSpinUpSprite, kSpinUpDisabledSprite, kSpinDownSprite, kSpinDownDisabledSprite}) {
        std::vector<uint8_t> bytes;
        std::optional<Sprite> sprite;
        if (!ReadWholeFile(dataDir / name, &bytes) || !(sprite = DecodeSprite(bytes))) {
            *error = "cannot read sprite " + (dataDir / name).string();
            return false;
        }
        sheet.Fill(x, y, (sprite->width + 2) * kSpriteZoom, (sprite->height + 2) * kSpriteZoom, kDialogFace);
        for (int sy = 0; sy < sprite->height; ++sy)
            for (int sx = 0; sx < sprite->width; ++sx) {
                int index = sprite->indices[static_cast<size_t>(sy * sprite->width + sx)];
                if (index == kTransparentIndexA || index == kTransparentIndexB) continue;
                const PaletteEntry& e = kDefaultPalette[static_cast<size_t>(index)];
                sheet.Fill(x + (sx + 1) * kSpriteZoom, y + (sy + 1) * kSpriteZoom, kSpriteZoom, kSpriteZoom,
                           static_cast<uint32_t>(e.r << 16 | e.g << 8 | e.b));
            }
        x += (sprite->width + 4) * kSpriteZoom;
    }
    y += (kSpinArrowHeight + 2) * kSpriteZoom + kMargin;

    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, sheet.Width(), sheet.Height());
    cairo_surface_flush(surface);
    unsigned char* data = cairo_image_surface_get_data(surface);
    const int stride = cairo_image_surface_get_stride(surface);
    for (int row = 0; row < sheet.Height(); ++row)
        std::memcpy(data + static_cast<ptrdiff_t>(row) * stride, &sheet.At(0, row), static_cast<size_t>(sheet.Width()) * 4);
    cairo_surface_mark_dirty(surface);

    cairo_surface_t* icon = cairo_image_surface_create_from_png((dataDir / kAppIconFile).c_str());
    cairo_t* cr = cairo_create(surface);
    cairo_set_source_surface(cr, icon, kMargin, y);
    cairo_paint(cr);
    cairo_destroy(cr);
    cairo_surface_destroy(icon);
    bool ok = cairo_surface_write_to_png(surface, png.c_str()) == CAIRO_STATUS_SUCCESS;
    cairo_surface_destroy(surface);
    if (!ok) *error = "cannot write " + png.string();
    return ok;
}
