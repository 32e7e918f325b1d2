// The review sheets of the card art: the front sheets enlarged twice on a dark and a light
// table (magenta shown as the table, as the game's transparent copy does), the selected
// twins, the backs enlarged twice and the two cursors enlarged four times; and the twelve
// court cards of every design at 1x (enlarged three times) beside the same cards at 3x.
#include <cairo.h>

#include <algorithm>
#include <cstddef>
#include <cstring>

#include "tools/artgen/artgen.h"
#include "tools/artgen/bmp_writer.h"
#include "tools/artgen/card_art.h"
#include "tools/artgen/card_paint.h"
#include "tools/artgen/cursor_art.h"

namespace fs = std::filesystem;

namespace {

constexpr int kMargin = 12;
constexpr int kZoom = 2;
constexpr int kCursorZoom = 4;
constexpr int kBacksPerRow = 11;
constexpr uint32_t kFelt = 0x1E5C34;
constexpr uint32_t kParchment = 0xE8DCC0;
constexpr uint32_t kPage = 0x808080;

// An RGB surface of the pixels with magenta replaced by the table colour.
cairo_surface_t* SurfaceOf(const std::vector<uint32_t>& pixels, int width, int height, uint32_t table) {
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, width, height);
    cairo_surface_flush(surface);
    unsigned char* data = cairo_image_surface_get_data(surface);
    const int stride = cairo_image_surface_get_stride(surface);
    if (data == nullptr) return surface;
    for (int y = 0; y < height; ++y) {
        auto* row = reinterpret_cast<uint32_t*>(data + static_cast<ptrdiff_t>(y) * stride);
        for (int x = 0; x < width; ++x) {
            const uint32_t p = pixels[static_cast<size_t>(y * width + x)];
            row[x] = p == card_art::kMagenta ? table : p;
        }
    }
    cairo_surface_mark_dirty(surface);
    return surface;
}

// Paints source enlarged by zoom with its top-left at (x, y), pixels kept square.
void PaintZoomed(cairo_t* cr, cairo_surface_t* source, double x, double y, double zoom, double sx = 0,
                 double sy = 0, double w = -1, double h = -1) {
    cairo_save(cr);
    cairo_translate(cr, x, y);
    cairo_scale(cr, zoom, zoom);
    cairo_set_source_surface(cr, source, -sx, -sy);
    cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_NEAREST);
    if (w > 0) {
        cairo_rectangle(cr, 0, 0, w, h);
        cairo_fill(cr);
    } else {
        cairo_paint(cr);
    }
    cairo_restore(cr);
}

bool LoadBmp(const fs::path& path, std::vector<uint32_t>* pixels, int* w, int* h, std::string* error) {
    std::vector<uint8_t> bytes;
    if (!ReadWholeFile(path, &bytes) || !DecodeBmp24(bytes, pixels, w, h)) {
        *error = "cannot read " + path.string();
        return false;
    }
    return true;
}

}  // namespace

bool WriteCardArtSheet(const fs::path& dataDir, const fs::path& png, std::string* error) {
    using namespace card_geometry;
    const int width = kFrontSheetWidth * kZoom + 2 * kMargin;
    const int frontsHeight = kFrontDesignCount * (kFrontSheetHeight * kZoom + kMargin);
    const int darkHeight = 2 * (kFrontSheetHeight + kMargin);
    const int backsHeight = 2 * (kBacksSheetHeight * kZoom + kMargin);
    const int cursorsHeight = kCursorSize * kCursorZoom + kMargin;
    const int height = kMargin + frontsHeight + darkHeight + backsHeight + cursorsHeight + kMargin;

    cairo_surface_t* sheet = cairo_image_surface_create(CAIRO_FORMAT_RGB24, width, height);
    cairo_t* cr = cairo_create(sheet);
    card_paint::SetRgb(cr, {(kPage >> 16) / 255.0, ((kPage >> 8) & 0xFF) / 255.0, (kPage & 0xFF) / 255.0});
    cairo_paint(cr);

    bool ok = true;
    int y = kMargin;
    std::vector<uint32_t> pixels;
    int w = 0, h = 0;
    for (int d = 0; d < kFrontDesignCount && ok; ++d) {
        ok = LoadBmp(dataDir / card_art::DataFilePath(kFrontFiles[d]), &pixels, &w, &h, error);
        if (!ok) break;
        cairo_surface_t* front = SurfaceOf(pixels, w, h, d % 2 == 0 ? kFelt : kParchment);
        PaintZoomed(cr, front, kMargin, y, kZoom);
        cairo_surface_destroy(front);
        y += kFrontSheetHeight * kZoom + kMargin;
    }
    for (int d = 0; d < kFrontDesignCount && ok; ++d) {
        ok = LoadBmp(dataDir / card_art::DataFilePath(kDarkFrontFiles[d]), &pixels, &w, &h, error);
        if (!ok) break;
        cairo_surface_t* dark = SurfaceOf(pixels, w, h, kFelt);
        PaintZoomed(cr, dark, kMargin + (d % 2) * (kFrontSheetWidth + kMargin), y + (d / 2) * (kFrontSheetHeight + kMargin), 1);
        cairo_surface_destroy(dark);
    }
    y += darkHeight;
    if (ok) ok = LoadBmp(dataDir / card_art::DataFilePath(kBacksFile), &pixels, &w, &h, error);
    if (ok) {
        cairo_surface_t* backs = SurfaceOf(pixels, w, h, kFelt);
        for (int row = 0; row < 2; ++row) {
            const int first = row * kBacksPerRow;
            const int count = std::min(kBacksPerRow, kBackCount - first);
            PaintZoomed(cr, backs, kMargin, y, kZoom, BackCellX(first) - 1, 0, count * kCellPitchX, kBacksSheetHeight);
            y += kBacksSheetHeight * kZoom + kMargin;
        }
        cairo_surface_destroy(backs);
        int x = kMargin;
        for (const CursorPicture& picture : {DrawPlayCardCursor(), DrawNoCardCursor()}) {
            for (uint32_t table : {kFelt, kParchment}) {
                cairo_surface_t* cursor = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, kCursorSize, kCursorSize);
                cairo_surface_flush(cursor);
                unsigned char* data = cairo_image_surface_get_data(cursor);
                const int stride = cairo_image_surface_get_stride(cursor);
                for (int cy = 0; cy < kCursorSize && data; ++cy)
                    for (int cx = 0; cx < kCursorSize; ++cx) {
                        // Back to cairo's premultiplied form.
                        const uint32_t p = picture.pixels[static_cast<size_t>(cy * kCursorSize + cx)];
                        const uint32_t a = p >> 24;
                        uint32_t q = a << 24;
                        for (int shift = 0; shift <= 16; shift += 8) q |= (((p >> shift) & 0xFF) * a / 255) << shift;
                        reinterpret_cast<uint32_t*>(data + static_cast<ptrdiff_t>(cy) * stride)[cx] = q;
                    }
                cairo_surface_mark_dirty(cursor);
                cairo_rectangle(cr, x, y, kCursorSize * kCursorZoom, kCursorSize * kCursorZoom);
                card_paint::SetRgb(cr, {(table >> 16) / 255.0, ((table >> 8) & 0xFF) / 255.0, (table & 0xFF) / 255.0});
                cairo_fill(cr);
                PaintZoomed(cr, cursor, x, y, kCursorZoom);
                cairo_surface_destroy(cursor);
                x += kCursorSize * kCursorZoom + kMargin;
            }
        }
    }
    cairo_destroy(cr);
    if (ok && cairo_surface_write_to_png(sheet, png.c_str()) != CAIRO_STATUS_SUCCESS) {
        *error = "cannot write " + png.string();
        ok = false;
    }
    cairo_surface_destroy(sheet);
    return ok;
}

bool WriteCourtSheet(const fs::path& dataDir, const fs::path& png, std::string* error) {
    using namespace card_geometry;
    constexpr int kCourtZoom = 3;
    constexpr int kGap = 6;
    const int cellW = card_art::kCellWidth * kCourtZoom, cellH = card_art::kCellHeight * kCourtZoom;
    const int width = kMargin * 2 + 12 * (cellW + kGap);
    const int height = kMargin * 2 + kFrontDesignCount * 2 * (cellH + kGap);
    cairo_surface_t* sheet = cairo_image_surface_create(CAIRO_FORMAT_RGB24, width, height);
    cairo_t* cr = cairo_create(sheet);
    card_paint::SetRgb(cr, {(kPage >> 16) / 255.0, ((kPage >> 8) & 0xFF) / 255.0, (kPage & 0xFF) / 255.0});
    cairo_paint(cr);
    bool ok = true;
    for (int d = 0; d < kFrontDesignCount && ok; ++d) {
        std::vector<uint32_t> pixels;
        int w = 0, h = 0;
        ok = LoadBmp(dataDir / card_art::DataFilePath(kFrontFiles[d]), &pixels, &w, &h, error);
        if (!ok) break;
        cairo_surface_t* oneX = SurfaceOf(pixels, w, h, kFelt);
        const fs::path threeXPath = dataDir / ScaledArtPath(card_art::DataFilePath(kFrontFiles[d]), 3);
        cairo_surface_t* threeX = cairo_image_surface_create_from_png(threeXPath.c_str());
        if (cairo_surface_status(threeX) != CAIRO_STATUS_SUCCESS) {
            *error = "cannot read " + threeXPath.string();
            ok = false;
        } else {
            // Magenta shown as the table, as at 1x.
            cairo_surface_flush(threeX);
            unsigned char* data = cairo_image_surface_get_data(threeX);
            const int stride = cairo_image_surface_get_stride(threeX);
            for (int y = 0; y < cairo_image_surface_get_height(threeX); ++y)
                for (int x = 0; x < cairo_image_surface_get_width(threeX); ++x) {
                    uint32_t& p = reinterpret_cast<uint32_t*>(data + static_cast<ptrdiff_t>(y) * stride)[x];
                    if ((p & 0xFFFFFF) == card_art::kMagenta) p = (p & 0xFF000000) | kFelt;
                }
            cairo_surface_mark_dirty(threeX);
        }
        for (int suit = 0; suit < kFrontRows && ok; ++suit)
            for (int rank = 9; rank <= 11; ++rank) {
                const int x = kMargin + (suit * 3 + rank - 9) * (cellW + kGap);
                const int y = kMargin + d * 2 * (cellH + kGap);
                PaintZoomed(cr, oneX, x, y, kCourtZoom, FrontCellX(rank), FrontCellY(suit), card_art::kCellWidth,
                            card_art::kCellHeight);
                PaintZoomed(cr, threeX, x, y + cellH + kGap, 1, FrontCellX(rank) * 3, FrontCellY(suit) * 3, cellW, cellH);
            }
        cairo_surface_destroy(oneX);
        cairo_surface_destroy(threeX);
    }
    cairo_destroy(cr);
    if (ok && cairo_surface_write_to_png(sheet, png.c_str()) != CAIRO_STATUS_SUCCESS) {
        *error = "cannot write " + png.string();
        ok = false;
    }
    cairo_surface_destroy(sheet);
    return ok;
}
