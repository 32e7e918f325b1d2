#include "tools/artgen/card_paint.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <iterator>
#include <numbers>
#include <utility>
#include <vector>

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

void SuitOutline(cairo_t* cr, int suit, double cx, double cy, double height) {
    cairo_save(cr);
    cairo_translate(cr, cx, cy);
    cairo_scale(cr, height, height);
    if (suit == kHeart) HeartPath(cr);
    else if (suit == kDiamond) DiamondPath(cr);
    else SpadePath(cr);
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

void Quill(cairo_t* cr, double length, Rgb vane, Rgb shaft, unsigned parts) {
    const double l = length;
    // The vane's half-width a fraction t along: none on the bare quill below kVaneStart,
    // widest a little before the middle of the vane, tapering to the tip.
    constexpr double kVaneStart = 0.22;
    const double widest = 0.085 * l + 0.8;
    auto halfWidth = [&](double t) {
        if (t <= kVaneStart || t >= 1) return 0.0;
        const double u = (t - kVaneStart) / (1 - kVaneStart);
        return widest * std::pow(u, 0.45) * std::pow(1 - u, 0.75) / 0.452;
    };
    // Barbs run from the shaft towards the tip and end on the vane's edge.
    auto barbEnd = [&](double x) { return x + 0.9 * halfWidth(x / l); };
    // Where the vane is split: the edge turns in along a barb for half its length.
    constexpr double kSplits[] = {0.47, 0.71};
    const Rgb line = Mix(vane, Mix(shaft, {0, 0, 0}, 0.35), 0.6);
    if (parts & kQuillVane) {
        // One edge from the quill to the tip, as (x, distance from the shaft); the other edge is
        // its mirror image.
        std::vector<std::pair<double, double>> edge;
        size_t split = 0;
        constexpr int kSteps = 96;
        for (int i = 0; i <= kSteps; ++i) {
            const double x = (kVaneStart + (1 - kVaneStart) * i / kSteps) * l;
            if (split < std::size(kSplits) && x >= barbEnd(kSplits[split] * l)) {
                const double root = kSplits[split++] * l, w = halfWidth(root / l), out = barbEnd(root);
                edge.emplace_back(out, halfWidth(out / l));
                edge.emplace_back(root + 0.45 * w, 0.5 * w);
                edge.emplace_back(out + 1, halfWidth((out + 1) / l));
            }
            if (edge.empty() || x > edge.back().first) edge.emplace_back(x, halfWidth(x / l));
        }
        for (const auto& [x, w] : edge) cairo_line_to(cr, x, -w);
        for (auto it = edge.rbegin(); it != edge.rend(); ++it) cairo_line_to(cr, it->first, it->second);
        cairo_close_path(cr);
        SetRgb(cr, vane);
        cairo_fill_preserve(cr);
        SetRgb(cr, line);
        cairo_set_line_width(cr, 0.25 + 0.003 * l);
        cairo_stroke(cr);
    }
    if (parts & kQuillBarbs) {
        // About one barb every pixel and a quarter on each side.
        const double pitch = std::max(1.25, 0.018 * l);
        for (double x = kVaneStart * l + pitch; x < 0.97 * l; x += pitch) {
            const double w = halfWidth(x / l), end = barbEnd(x);
            for (int side : {-1, 1}) {
                cairo_move_to(cr, x, 0);
                cairo_curve_to(cr, x + 0.3 * w, side * 0.5 * w, end - 0.2 * w, side * halfWidth(end / l), end,
                               side * halfWidth(end / l));
            }
        }
        SetRgb(cr, line);
        cairo_set_line_width(cr, 0.25 + 0.003 * l);
        cairo_stroke(cr);
    }
    if (parts & kQuillShaft) {
        // The shaft tapering from the quill to the tip, cut to a nib at the quill's end.
        const double base = 0.012 * l + 0.45;
        cairo_move_to(cr, 0, 0);
        cairo_line_to(cr, 0.07 * l, -base);
        cairo_curve_to(cr, 0.4 * l, -base, 0.8 * l, -0.35 * base, 0.99 * l, 0);
        cairo_curve_to(cr, 0.8 * l, 0.35 * base, 0.4 * l, base, 0.07 * l, base);
        cairo_close_path(cr);
        SetRgb(cr, shaft);
        cairo_fill(cr);
    }
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
