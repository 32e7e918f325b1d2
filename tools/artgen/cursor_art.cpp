#include "tools/artgen/cursor_art.h"

#include <cstddef>
#include <numbers>

#include "tools/artgen/card_paint.h"

using namespace card_paint;

namespace {

constexpr double kPi = std::numbers::pi;
constexpr size_t kFileHeaderBytes = 6;
constexpr size_t kEntryBytes = 16;
constexpr size_t kInfoHeaderBytes = 40;
constexpr uint16_t kCursorType = 2;
constexpr Rgb kInk{0.05, 0.05, 0.07};
constexpr Rgb kWhite{1, 1, 1};
constexpr Rgb kCardRed{0.80, 0.07, 0.11};

// cairo keeps premultiplied colour; cursor files keep it straight.
CursorPicture Unpremultiply(Canvas& canvas, int size, int hotX, int hotY) {
    CursorPicture picture;
    picture.size = size;
    picture.hotX = hotX;
    picture.hotY = hotY;
    picture.pixels = canvas.Pixels();
    for (uint32_t& p : picture.pixels) {
        const uint32_t a = p >> 24;
        if (a == 0) {
            p = 0;
            continue;
        }
        uint32_t out = a << 24;
        for (int shift = 0; shift <= 16; shift += 8) {
            const uint32_t c = (p >> shift) & 0xFF;
            out |= ((c * 255 + a / 2) / a) << shift;
        }
        p = out;
    }
    return picture;
}

void Put16(std::vector<uint8_t>& b, size_t at, uint32_t v) {
    b[at] = static_cast<uint8_t>(v);
    b[at + 1] = static_cast<uint8_t>(v >> 8);
}

void Put32(std::vector<uint8_t>& b, size_t at, uint32_t v) {
    Put16(b, at, v & 0xFFFF);
    Put16(b, at + 2, v >> 16);
}

}  // namespace

CursorPicture DrawPlayCardCursor(int scale) {
    Canvas canvas(kCursorSize * scale, kCursorSize * scale, true);
    cairo_t* cr = canvas.Context();
    cairo_scale(cr, scale, scale);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    // A small card held below the arrow, tilted as if carried.
    cairo_save(cr);
    cairo_translate(cr, 19.5, 20.5);
    cairo_rotate(cr, 0.22);
    RoundedRect(cr, -6.5, -9, 13, 18, 2);
    SetRgb(cr, kWhite);
    cairo_fill_preserve(cr);
    SetRgb(cr, kInk);
    cairo_set_line_width(cr, 1.2);
    cairo_stroke(cr);
    SetRgb(cr, kCardRed);
    FillSuit(cr, kHeart, 0, 0.3, 8);
    cairo_restore(cr);
    // The arrow, tip on the hot spot.
    cairo_move_to(cr, 1.5, 1.5);
    cairo_line_to(cr, 1.5, 19.5);
    cairo_line_to(cr, 5.8, 15.4);
    cairo_line_to(cr, 8.8, 22.0);
    cairo_line_to(cr, 11.6, 20.8);
    cairo_line_to(cr, 8.7, 14.4);
    cairo_line_to(cr, 14.5, 14.4);
    cairo_close_path(cr);
    SetRgb(cr, kWhite);
    cairo_fill_preserve(cr);
    SetRgb(cr, kInk);
    cairo_set_line_width(cr, 1.0);
    cairo_stroke(cr);
    return Unpremultiply(canvas, kCursorSize * scale, scale, scale);
}

CursorPicture DrawNoCardCursor(int scale) {
    Canvas canvas(kCursorSize * scale, kCursorSize * scale, true);
    cairo_t* cr = canvas.Context();
    cairo_scale(cr, scale, scale);
    constexpr double kCentre = kCursorSize / 2.0;
    constexpr double kRadius = 10.5;
    const double bar = kRadius * std::numbers::sqrt2 / 2;
    // A white halo first so the red sign shows on any table.
    for (int pass = 0; pass < 2; ++pass) {
        cairo_new_path(cr);
        cairo_arc(cr, kCentre, kCentre, kRadius, 0, 2 * kPi);
        cairo_move_to(cr, kCentre - bar, kCentre - bar);
        cairo_line_to(cr, kCentre + bar, kCentre + bar);
        SetRgb(cr, pass == 0 ? kWhite : Rgb{0.82, 0.08, 0.10});
        cairo_set_line_width(cr, pass == 0 ? 6.5 : 3.5);
        cairo_stroke(cr);
    }
    return Unpremultiply(canvas, kCursorSize * scale, kCursorSize * scale / 2, kCursorSize * scale / 2);
}

std::vector<uint8_t> EncodeCursor(const CursorPicture& picture) {
    const int size = picture.size;
    if (size <= 0 || size > 255) return {};
    const size_t colourBytes = static_cast<size_t>(size) * size * 4;
    // Mask rows are padded to four bytes.
    const size_t maskRow = (size + 31) / 32 * 4;
    const size_t maskBytes = maskRow * size;
    const size_t imageOffset = kFileHeaderBytes + kEntryBytes;
    const size_t imageBytes = kInfoHeaderBytes + colourBytes + maskBytes;
    std::vector<uint8_t> b(imageOffset + imageBytes, 0);
    if (picture.pixels.size() != static_cast<size_t>(size) * size) return {};

    Put16(b, 2, kCursorType);
    Put16(b, 4, 1);  // one image
    b[6] = static_cast<uint8_t>(size);
    b[7] = static_cast<uint8_t>(size);
    Put16(b, 10, static_cast<uint32_t>(picture.hotX));
    Put16(b, 12, static_cast<uint32_t>(picture.hotY));
    Put32(b, 14, static_cast<uint32_t>(imageBytes));
    Put32(b, 18, static_cast<uint32_t>(imageOffset));

    const size_t info = imageOffset;
    Put32(b, info, kInfoHeaderBytes);
    Put32(b, info + 4, size);
    Put32(b, info + 8, 2 * size);  // colour image and mask stacked
    Put16(b, info + 12, 1);
    Put16(b, info + 14, 32);
    Put32(b, info + 20, static_cast<uint32_t>(colourBytes + maskBytes));

    const size_t colour = info + kInfoHeaderBytes;
    const size_t mask = colour + colourBytes;
    for (int y = 0; y < size; ++y) {
        const size_t stored = static_cast<size_t>(size - 1 - y);  // bottom-up
        for (int x = 0; x < size; ++x) {
            const uint32_t p = picture.pixels[static_cast<size_t>(y * size + x)];
            Put32(b, colour + (stored * size + static_cast<size_t>(x)) * 4, p);  // B, G, R, A in memory
            if ((p >> 24) == 0) b[mask + stored * maskRow + static_cast<size_t>(x / 8)] |= static_cast<uint8_t>(0x80 >> (x % 8));
        }
    }
    return b;
}
