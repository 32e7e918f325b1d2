#include "tools/artgen/card_paint.h"

#include <cstddef>
#include <numbers>

namespace card_paint {

namespace {

constexpr double kPi = std::numbers::pi;

// The symbols are described in a unit box: height 1 from y = -0.5 (top) to 0.5 (bottom).
void HeartPath(cairo_t* cr) {
    cairo_move_to(cr, 0, 0.5);
    cairo_curve_to(cr, -0.10, 0.30, -0.47, 0.10, -0.47, -0.17);
    cairo_curve_to(cr, -0.47, -0.44, -0.12, -0.56, 0, -0.27);
    cairo_curve_to(cr, 0.12, -0.56, 0.47, -0.44, 0.47, -0.17);
    cairo_curve_to(cr, 0.47, 0.10, 0.10, 0.30, 0, 0.5);
    cairo_close_path(cr);
}

// The sides bow inwards a little, as printed diamonds do.
void DiamondPath(cairo_t* cr) {
    cairo_move_to(cr, 0, -0.5);
    cairo_curve_to(cr, -0.10, -0.33, -0.24, -0.14, -0.39, 0);
    cairo_curve_to(cr, -0.24, 0.14, -0.10, 0.33, 0, 0.5);
    cairo_curve_to(cr, 0.10, 0.33, 0.24, 0.14, 0.39, 0);
    cairo_curve_to(cr, 0.24, -0.14, 0.10, -0.33, 0, -0.5);
    cairo_close_path(cr);
}

void SpadePath(cairo_t* cr) {
    cairo_move_to(cr, 0, -0.5);
    cairo_curve_to(cr, -0.12, -0.30, -0.47, -0.14, -0.47, 0.10);
    cairo_curve_to(cr, -0.47, 0.31, -0.21, 0.38, -0.05, 0.22);
    cairo_curve_to(cr, -0.06, 0.36, -0.13, 0.45, -0.25, 0.5);
    cairo_line_to(cr, 0.25, 0.5);
    cairo_curve_to(cr, 0.13, 0.45, 0.06, 0.36, 0.05, 0.22);
    cairo_curve_to(cr, 0.21, 0.38, 0.47, 0.31, 0.47, 0.10);
    cairo_curve_to(cr, 0.47, -0.14, 0.12, -0.30, 0, -0.5);
    cairo_close_path(cr);
}

// Three leaves and a flared stem, filled one by one: overlapping parts of one colour need no
// common outline.
void FillClub(cairo_t* cr) {
    constexpr double kLeaf = 0.205;
    cairo_arc(cr, 0, -0.285, kLeaf, 0, 2 * kPi);
    cairo_fill(cr);
    cairo_arc(cr, -0.245, 0.075, kLeaf, 0, 2 * kPi);
    cairo_fill(cr);
    cairo_arc(cr, 0.245, 0.075, kLeaf, 0, 2 * kPi);
    cairo_fill(cr);
    cairo_move_to(cr, -0.09, -0.05);
    cairo_line_to(cr, 0.09, -0.05);
    cairo_line_to(cr, 0.05, 0.15);
    cairo_curve_to(cr, 0.06, 0.34, 0.13, 0.45, 0.25, 0.5);
    cairo_line_to(cr, -0.25, 0.5);
    cairo_curve_to(cr, -0.13, 0.45, -0.06, 0.34, -0.05, 0.15);
    cairo_close_path(cr);
    cairo_fill(cr);
}

}  // namespace

Rgb Mix(Rgb a, Rgb b, double t) { return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t}; }

void FillSuit(cairo_t* cr, int suit, double cx, double cy, double height, bool upsideDown) {
    cairo_save(cr);
    cairo_translate(cr, cx, cy);
    if (upsideDown) cairo_rotate(cr, kPi);
    cairo_scale(cr, height, height);
    switch (suit) {
    case kHeart:
        HeartPath(cr);
        cairo_fill(cr);
        break;
    case kDiamond:
        DiamondPath(cr);
        cairo_fill(cr);
        break;
    case kSpade:
        SpadePath(cr);
        cairo_fill(cr);
        break;
    default:
        FillClub(cr);
        break;
    }
    cairo_restore(cr);
}

void RoundedRect(cairo_t* cr, double x, double y, double w, double h, double radius) {
    cairo_new_sub_path(cr);
    cairo_arc(cr, x + w - radius, y + radius, radius, -kPi / 2, 0);
    cairo_arc(cr, x + w - radius, y + h - radius, radius, 0, kPi / 2);
    cairo_arc(cr, x + radius, y + h - radius, radius, kPi / 2, kPi);
    cairo_arc(cr, x + radius, y + radius, radius, kPi, 3 * kPi / 2);
    cairo_close_path(cr);
}

void Quill(cairo_t* cr, double length, Rgb vane, Rgb shaft) {
    const double l = length;
    // Vane: widest two thirds of the way up, starting a quarter along the shaft.
    cairo_move_to(cr, 0.22 * l, 0);
    cairo_curve_to(cr, 0.45 * l, -0.16 * l, 0.85 * l, -0.11 * l, l, -0.01 * l);
    cairo_curve_to(cr, 0.85 * l, 0.10 * l, 0.50 * l, 0.12 * l, 0.22 * l, 0);
    cairo_close_path(cr);
    SetRgb(cr, vane);
    cairo_fill(cr);
    SetRgb(cr, shaft);
    cairo_set_line_width(cr, l * 0.012 + 0.35);
    for (double t = 0.40; t < 0.92; t += 0.085) {
        cairo_move_to(cr, t * l, 0);
        cairo_line_to(cr, (t + 0.06) * l, -(0.07 - (t - 0.4) * 0.05) * l);
        cairo_move_to(cr, (t + 0.03) * l, 0);
        cairo_line_to(cr, (t + 0.09) * l, (0.065 - (t - 0.4) * 0.05) * l);
    }
    cairo_stroke(cr);
    cairo_set_line_width(cr, l * 0.018 + 0.4);
    cairo_move_to(cr, 0.03 * l, 0);
    cairo_line_to(cr, 0.96 * l, -0.005 * l);
    cairo_stroke(cr);
    // The nib.
    cairo_move_to(cr, 0, 0);
    cairo_line_to(cr, 0.08 * l, -0.022 * l);
    cairo_line_to(cr, 0.08 * l, 0.022 * l);
    cairo_close_path(cr);
    cairo_fill(cr);
}

Canvas::Canvas(int width, int height, bool alpha)
    : width(width),
      height(height),
      surface(cairo_image_surface_create(alpha ? CAIRO_FORMAT_ARGB32 : CAIRO_FORMAT_RGB24, width, height)),
      cr(cairo_create(surface)) {}

Canvas::~Canvas() {
    cairo_destroy(cr);
    cairo_surface_destroy(surface);
}

bool Canvas::Ok() const {
    return cairo_status(cr) == CAIRO_STATUS_SUCCESS && cairo_surface_status(surface) == CAIRO_STATUS_SUCCESS;
}

std::vector<uint32_t> Canvas::Pixels() {
    cairo_surface_flush(surface);
    const unsigned char* data = cairo_image_surface_get_data(surface);
    if (data == nullptr) return {};
    const int stride = cairo_image_surface_get_stride(surface);
    const uint32_t opaque = cairo_image_surface_get_format(surface) == CAIRO_FORMAT_RGB24 ? 0xFF000000u : 0;
    std::vector<uint32_t> pixels(static_cast<size_t>(width) * static_cast<size_t>(height));
    for (int y = 0; y < height; ++y) {
        const auto* row = reinterpret_cast<const uint32_t*>(data + static_cast<ptrdiff_t>(y) * stride);
        for (int x = 0; x < width; ++x) pixels[static_cast<size_t>(y * width + x)] = row[x] | opaque;
    }
    return pixels;
}

}  // namespace card_paint
