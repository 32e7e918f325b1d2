// The desktop icon: two fanned playing cards, a red heart on the face card, and a quill laid
// across them, the program's own mark. Drawn with vector shapes only (no text), so the result
// does not depend on the fonts of the machine.
#include <cairo-svg.h>
#include <cairo.h>

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <numbers>
#include <string>
#include <system_error>
#include <utility>

#include "tools/artgen/art_constants.h"
#include "tools/artgen/artgen.h"
#include "tools/artgen/bmp_writer.h"
#include "tools/artgen/sprites.h"

namespace {

constexpr double kCardWidth = 118;
constexpr double kCardHeight = 166;
constexpr double kCardCorner = 12;

double Radians(double degrees) { return degrees * std::numbers::pi / 180.0; }

void RoundedRect(cairo_t* cr, double x, double y, double w, double h, double r) {
    cairo_new_sub_path(cr);
    cairo_arc(cr, x + w - r, y + r, r, Radians(-90), 0);
    cairo_arc(cr, x + w - r, y + h - r, r, 0, Radians(90));
    cairo_arc(cr, x + r, y + h - r, r, Radians(90), Radians(180));
    cairo_arc(cr, x + r, y + r, r, Radians(180), Radians(270));
    cairo_close_path(cr);
}

// A heart of the given height centred on (cx, cy).
void Heart(cairo_t* cr, double cx, double cy, double size) {
    const double s = size / 2;
    cairo_move_to(cr, cx, cy + s);
    cairo_curve_to(cr, cx - 0.2 * s, cy + 0.55 * s, cx - s, cy + 0.2 * s, cx - s, cy - 0.35 * s);
    cairo_curve_to(cr, cx - s, cy - 0.9 * s, cx - 0.2 * s, cy - 1.05 * s, cx, cy - 0.5 * s);
    cairo_curve_to(cr, cx + 0.2 * s, cy - 1.05 * s, cx + s, cy - 0.9 * s, cx + s, cy - 0.35 * s);
    cairo_curve_to(cr, cx + s, cy + 0.2 * s, cx + 0.2 * s, cy + 0.55 * s, cx, cy + s);
    cairo_close_path(cr);
}

// Places a card rotated about the point below the fan where the two cards meet.
void BeginCard(cairo_t* cr, double degrees) {
    cairo_save(cr);
    cairo_translate(cr, 118, 232);
    cairo_rotate(cr, Radians(degrees));
    cairo_translate(cr, -kCardWidth / 2, -kCardHeight - 8);
}

void CardShadowAndEdge(cairo_t* cr) {
    RoundedRect(cr, 3, 4, kCardWidth, kCardHeight, kCardCorner);
    cairo_set_source_rgba(cr, 0, 0, 0, 0.28);
    cairo_fill(cr);
    RoundedRect(cr, 0, 0, kCardWidth, kCardHeight, kCardCorner);
}

// Below this many pixels the back's lattice and the feather's barbs blur into noise, so the
// small icons leave them out.
constexpr int kDetailedIconSize = 48;

void DrawCardBack(cairo_t* cr, bool detailed) {
    BeginCard(cr, -16);
    CardShadowAndEdge(cr);
    cairo_set_source_rgb(cr, 0.96, 0.95, 0.90);
    cairo_fill_preserve(cr);
    cairo_set_source_rgb(cr, 0.25, 0.22, 0.18);
    cairo_set_line_width(cr, 2);
    cairo_stroke(cr);
    RoundedRect(cr, 9, 9, kCardWidth - 18, kCardHeight - 18, kCardCorner - 6);
    cairo_set_source_rgb(cr, 0.12, 0.32, 0.42);
    if (!detailed) {
        cairo_fill(cr);
        cairo_restore(cr);
        return;
    }
    cairo_fill_preserve(cr);
    // A lattice of thin lines clipped to the inner panel.
    cairo_save(cr);
    cairo_clip(cr);
    cairo_set_source_rgba(cr, 0.85, 0.78, 0.55, 0.7);
    cairo_set_line_width(cr, 1.6);
    for (double d = -kCardHeight; d < kCardWidth + kCardHeight; d += 13) {
        cairo_move_to(cr, d, 0);
        cairo_line_to(cr, d + kCardHeight, kCardHeight);
        cairo_move_to(cr, d, kCardHeight);
        cairo_line_to(cr, d + kCardHeight, 0);
    }
    cairo_stroke(cr);
    cairo_restore(cr);
    cairo_restore(cr);
}

void DrawCardFront(cairo_t* cr) {
    BeginCard(cr, 12);
    CardShadowAndEdge(cr);
    cairo_set_source_rgb(cr, 1, 1, 0.98);
    cairo_fill_preserve(cr);
    cairo_set_source_rgb(cr, 0.25, 0.22, 0.18);
    cairo_set_line_width(cr, 2);
    cairo_stroke(cr);
    cairo_set_source_rgb(cr, 0.80, 0.08, 0.12);
    Heart(cr, kCardWidth / 2, kCardHeight / 2 - 4, 58);
    Heart(cr, 17, 20, 16);
    Heart(cr, kCardWidth - 17, kCardHeight - 20, 16);
    cairo_fill(cr);
    cairo_restore(cr);
}

// A feather from the nib at the lower left to its tip at the upper right, drawn along a local
// axis so the vane can be described by its length.
void DrawQuill(cairo_t* cr, bool detailed) {
    constexpr double kLength = 200;
    cairo_save(cr);
    cairo_translate(cr, 150, 250);
    cairo_rotate(cr, Radians(-68));
    // Vane: widest two thirds of the way up, barbs shown by notches along the edge.
    cairo_move_to(cr, 46, 0);
    cairo_curve_to(cr, 90, -30, 170, -22, kLength, -2);
    cairo_curve_to(cr, 170, 20, 100, 24, 46, 0);
    cairo_close_path(cr);
    cairo_set_source_rgb(cr, 0.93, 0.86, 0.66);
    cairo_fill_preserve(cr);
    cairo_set_source_rgb(cr, 0.45, 0.33, 0.18);
    cairo_set_line_width(cr, 2.5);
    cairo_stroke(cr);
    cairo_set_line_width(cr, 1.6);
    for (double t = 80; detailed && t < 185; t += 17) {
        cairo_move_to(cr, t, 0);
        cairo_line_to(cr, t + 12, -14 + (t - 80) / 12);
        cairo_move_to(cr, t + 6, 0);
        cairo_line_to(cr, t + 18, 13 - (t - 80) / 12);
    }
    cairo_stroke(cr);
    // Shaft and nib.
    cairo_move_to(cr, 6, 0);
    cairo_line_to(cr, kLength - 8, -1);
    cairo_set_line_width(cr, 3);
    cairo_stroke(cr);
    cairo_move_to(cr, 0, 0);
    cairo_line_to(cr, 14, -3.5);
    cairo_line_to(cr, 14, 3.5);
    cairo_close_path(cr);
    cairo_set_source_rgb(cr, 0.15, 0.12, 0.10);
    cairo_fill(cr);
    cairo_restore(cr);
}

cairo_status_t AppendToVector(void* closure, const unsigned char* data, unsigned int length) {
    auto* bytes = static_cast<std::vector<uint8_t>*>(closure);
    bytes->insert(bytes->end(), data, data + length);
    return CAIRO_STATUS_SUCCESS;
}

// The whole mark, drawn on a kAppIconSize square scaled to size pixels.
void DrawIcon(cairo_t* cr, int size) {
    const bool detailed = size >= kDetailedIconSize;
    cairo_scale(cr, static_cast<double>(size) / kAppIconSize, static_cast<double>(size) / kAppIconSize);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    DrawCardBack(cr, detailed);
    DrawCardFront(cr);
    DrawQuill(cr, detailed);
}

}  // namespace

std::vector<uint8_t> RenderIconPng(int size) {
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, size, size);
    cairo_t* cr = cairo_create(surface);
    DrawIcon(cr, size);
    std::vector<uint8_t> png;
    bool ok = cairo_status(cr) == CAIRO_STATUS_SUCCESS &&
              cairo_surface_write_to_png_stream(surface, AppendToVector, &png) == CAIRO_STATUS_SUCCESS;
    cairo_destroy(cr);
    cairo_surface_destroy(surface);
    if (!ok) png.clear();
    return png;
}

std::vector<uint8_t> RenderAppIcon() { return RenderIconPng(kAppIconSize); }

std::vector<uint8_t> RenderIconSvg() {
    std::vector<uint8_t> svg;
    cairo_surface_t* surface =
        cairo_svg_surface_create_for_stream(AppendToVector, &svg, kAppIconSize, kAppIconSize);
    cairo_svg_surface_set_document_unit(surface, CAIRO_SVG_UNIT_PX);
    cairo_t* cr = cairo_create(surface);
    DrawIcon(cr, kAppIconSize);
    const bool drawn = cairo_status(cr) == CAIRO_STATUS_SUCCESS;
    cairo_destroy(cr);
    // The document is complete only once the surface is finished.
    cairo_surface_finish(surface);
    const bool ok = drawn && cairo_surface_status(surface) == CAIRO_STATUS_SUCCESS;
    cairo_surface_destroy(surface);
    if (!ok) svg.clear();
    return svg;
}

bool WriteDesktopIcons(const std::filesystem::path& folder, std::string* error) {
    std::vector<std::pair<std::filesystem::path, std::vector<uint8_t>>> files;
    for (const int size : kDesktopIconSizes) {
        const std::string square = std::to_string(size) + "x" + std::to_string(size);
        files.emplace_back(folder / square / "apps" / kDesktopIconName, RenderIconPng(size));
    }
    files.emplace_back(folder / "scalable" / "apps" / kScalableIconName, RenderIconSvg());
    for (const auto& [path, bytes] : files) {
        if (bytes.empty()) {
            *error = "cannot draw " + path.string();
            return false;
        }
        std::error_code ec;
        std::filesystem::create_directories(path.parent_path(), ec);
        if (ec) {
            *error = "cannot create " + path.parent_path().string() + ": " + ec.message();
            return false;
        }
        if (!WriteFileAtomically(path, bytes, error)) return false;
    }
    return true;
}

std::vector<uint8_t> RenderWindowIcon(int size) {
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, size, size);
    cairo_t* cr = cairo_create(surface);
    DrawIcon(cr, size);
    cairo_surface_flush(surface);
    // A BMP has no alpha: mostly transparent pixels become magenta (the window system's key),
    // partly covered ones are blended over a mid grey that suits light and dark title bars.
    std::vector<uint32_t> pixels(static_cast<size_t>(size) * size);
    const unsigned char* data = cairo_image_surface_get_data(surface);
    const int stride = cairo_image_surface_get_stride(surface);
    for (int y = 0; y < size; ++y) {
        const auto* row = reinterpret_cast<const uint32_t*>(data + static_cast<ptrdiff_t>(y) * stride);
        for (int x = 0; x < size; ++x) {
            const uint32_t argb = row[x];
            const uint32_t alpha = argb >> 24;
            uint32_t out = 0xFF00FF;
            if (alpha >= 96) {
                // cairo stores premultiplied colour: add the grey for the uncovered part.
                const uint32_t grey = 128 * (255 - alpha) / 255;
                const uint32_t r = std::min<uint32_t>(255, ((argb >> 16) & 0xFF) + grey);
                const uint32_t g = std::min<uint32_t>(255, ((argb >> 8) & 0xFF) + grey);
                const uint32_t b = std::min<uint32_t>(255, (argb & 0xFF) + grey);
                out = (r << 16) | (g << 8) | b;
                if (out == 0xFF00FF) out = 0xFE00FF;
            }
            pixels[static_cast<size_t>(y) * size + x] = out;
        }
    }
    cairo_destroy(cr);
    cairo_surface_destroy(surface);
    return EncodeBmp24(pixels.data(), size, size);
}
