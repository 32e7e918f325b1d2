// The twenty-one card backs: geometric patterns, lattices, scrolls and the quill of the
// program's mark, each in its own colours inside a white margin or a fine light rim.
#include <cmath>
#include <numbers>

#include "tools/artgen/card_art.h"
#include "tools/artgen/card_paint.h"

namespace card_paint {

namespace {

constexpr double kPi = std::numbers::pi;
constexpr double kW = card_art::kCellWidth;
constexpr double kH = card_art::kCellHeight;
constexpr double kCornerRadius = 4.5;
constexpr Rgb kEdge{0.28, 0.27, 0.25};
constexpr Rgb kMargin{0.985, 0.98, 0.965};
constexpr Rgb kCream{0.96, 0.91, 0.76};
constexpr Rgb kGold{0.90, 0.74, 0.36};
constexpr Rgb kWhite{1, 1, 1};

// The panel the pattern fills.
struct Panel {
    double x, y, w, h;
    double Cx() const { return x + w / 2; }
    double Cy() const { return y + h / 2; }
};

enum class Pattern {
    kLattice, kDiamonds, kConcentric, kScrolls, kQuill, kDots, kWaves, kHerringbone, kStars, kRings, kStripes,
    kWeave, kChequer, kRosette, kHoneycomb, kTartan, kSunburst, kScales, kCrossedQuills, kSuits
};

struct BackStyle {
    Pattern pattern;
    Rgb base;
    Rgb ink;
    Rgb second;
    bool margin;  // a white margin around the panel, as on traditional backs
};

constexpr Rgb kNavy{0.10, 0.17, 0.38}, kBlue{0.14, 0.33, 0.62}, kRed{0.66, 0.09, 0.12}, kGreen{0.08, 0.38, 0.22},
    kPurple{0.33, 0.16, 0.45}, kMaroon{0.45, 0.08, 0.14}, kTeal{0.02, 0.40, 0.42}, kOrange{0.85, 0.42, 0.10},
    kBrown{0.40, 0.25, 0.13}, kSlate{0.22, 0.25, 0.30}, kOlive{0.36, 0.40, 0.16}, kBlack{0.10, 0.10, 0.12};

constexpr BackStyle kBackStyles[card_geometry::kBackCount] = {
    {Pattern::kLattice, kBlue, {0.80, 0.88, 1.0}, kWhite, true},
    {Pattern::kLattice, kRed, {1.0, 0.82, 0.78}, kWhite, true},
    {Pattern::kDiamonds, kGreen, {0.15, 0.52, 0.32}, kGold, true},
    {Pattern::kConcentric, kPurple, {0.72, 0.58, 0.86}, kGold, true},
    {Pattern::kScrolls, kMaroon, kGold, kCream, true},
    {Pattern::kQuill, kNavy, kCream, kGold, false},
    {Pattern::kDots, kTeal, {0.55, 0.85, 0.84}, kWhite, true},
    {Pattern::kWaves, {0.12, 0.36, 0.58}, {0.70, 0.86, 0.96}, kWhite, false},
    {Pattern::kHerringbone, kBrown, {0.80, 0.62, 0.40}, kCream, true},
    {Pattern::kStars, kNavy, {0.98, 0.86, 0.45}, kWhite, false},
    {Pattern::kRings, kGreen, {0.70, 0.88, 0.62}, kWhite, true},
    {Pattern::kStripes, kRed, kGold, kCream, false},
    {Pattern::kWeave, kSlate, {0.66, 0.72, 0.80}, kWhite, true},
    {Pattern::kChequer, kBlack, kRed, kGold, true},
    {Pattern::kRosette, kMaroon, kGold, kCream, false},
    {Pattern::kHoneycomb, kOrange, {1.0, 0.86, 0.55}, kBrown, true},
    {Pattern::kTartan, kGreen, kNavy, kRed, false},
    {Pattern::kSunburst, kBlue, {0.30, 0.52, 0.82}, kGold, false},
    {Pattern::kScales, kTeal, {0.45, 0.78, 0.76}, kWhite, true},
    {Pattern::kCrossedQuills, kOlive, kCream, kGold, false},
    {Pattern::kSuits, kPurple, {0.82, 0.72, 0.92}, kWhite, true},
};

void Stroke(cairo_t* cr, Rgb colour, double width) {
    SetRgb(cr, colour);
    cairo_set_line_width(cr, width);
    cairo_stroke(cr);
}

void Lattice(cairo_t* cr, const Panel& p, const BackStyle& s) {
    constexpr double kStep = 5;
    for (double d = -p.h; d < p.w + p.h; d += kStep) {
        cairo_move_to(cr, p.x + d, p.y);
        cairo_line_to(cr, p.x + d + p.h, p.y + p.h);
        cairo_move_to(cr, p.x + d, p.y + p.h);
        cairo_line_to(cr, p.x + d + p.h, p.y);
    }
    Stroke(cr, s.ink, 0.7);
}

void Diamonds(cairo_t* cr, const Panel& p, const BackStyle& s) {
    constexpr double kStepX = 9, kStepY = 12;
    for (int row = -1; row * kStepY / 2 < p.h + kStepY; ++row)
        for (int col = -1; col * kStepX < p.w + kStepX; ++col) {
            const double x = p.x + col * kStepX + (row % 2 != 0 ? kStepX / 2 : 0);
            const double y = p.y + row * kStepY / 2;
            cairo_move_to(cr, x, y - kStepY / 2 + 1);
            cairo_line_to(cr, x + kStepX / 2 - 1, y);
            cairo_line_to(cr, x, y + kStepY / 2 - 1);
            cairo_line_to(cr, x - kStepX / 2 + 1, y);
            cairo_close_path(cr);
            SetRgb(cr, (row + 8) % 4 < 2 ? s.ink : Mix(s.ink, s.base, 0.5));
            cairo_fill(cr);
            cairo_arc(cr, x, y, 0.9, 0, 2 * kPi);
            SetRgb(cr, s.second);
            cairo_fill(cr);
        }
}

void Concentric(cairo_t* cr, const Panel& p, const BackStyle& s) {
    for (int i = 0; i < 14; ++i) {
        const double rx = 2 + i * 3.4, ry = rx * 1.45;
        cairo_move_to(cr, p.Cx(), p.Cy() - ry);
        cairo_line_to(cr, p.Cx() + rx, p.Cy());
        cairo_line_to(cr, p.Cx(), p.Cy() + ry);
        cairo_line_to(cr, p.Cx() - rx, p.Cy());
        cairo_close_path(cr);
        Stroke(cr, i % 3 == 0 ? s.second : s.ink, i % 3 == 0 ? 1.1 : 0.7);
    }
}

// Rows of curling scrolls joined by S-curves.
void Scrolls(cairo_t* cr, const Panel& p, const BackStyle& s) {
    constexpr double kStepX = 11, kStepY = 11;
    for (int row = 0; row * kStepY < p.h + kStepY; ++row)
        for (int col = -1; col * kStepX < p.w + kStepX; ++col) {
            const double cx = p.x + col * kStepX + (row % 2 != 0 ? kStepX / 2 : 0) + 3;
            const double cy = p.y + row * kStepY + 3;
            const double flip = row % 2 == 0 ? 1 : -1;
            // A spiral of growing radius, then a tail sweeping to the next scroll.
            for (double a = 0; a < 3 * kPi; a += 0.2) {
                const double r = 0.6 + a * 0.42;
                const double x = cx + flip * r * std::cos(a), y = cy + r * std::sin(a);
                if (a == 0) cairo_move_to(cr, x, y);
                else cairo_line_to(cr, x, y);
            }
            cairo_rel_curve_to(cr, flip * 2, 3, flip * 5, 4, flip * 7, 1);
            Stroke(cr, s.ink, 0.85);
        }
}

void QuillBack(cairo_t* cr, const Panel& p, const BackStyle& s) {
    // A scatter of faint dots, then the feather laid corner to corner.
    for (int row = 0; row < 20; ++row)
        for (int col = 0; col < 12; ++col) {
            cairo_arc(cr, p.x + col * 4.5 + (row % 2) * 2.25, p.y + row * 4.5, 0.45, 0, 2 * kPi);
            cairo_new_sub_path(cr);
        }
    SetRgba(cr, s.second, 0.45);
    cairo_fill(cr);
    cairo_save(cr);
    cairo_translate(cr, p.x + 7, p.y + p.h - 8);
    cairo_rotate(cr, -std::atan2(p.h - 14, p.w - 12));
    Quill(cr, std::hypot(p.w - 12, p.h - 14) + 2, s.ink, s.second);
    cairo_restore(cr);
}

void Dots(cairo_t* cr, const Panel& p, const BackStyle& s) {
    constexpr double kStep = 5;
    for (int row = 0; row * kStep < p.h + kStep; ++row)
        for (int col = -1; col * kStep < p.w + kStep; ++col) {
            const bool big = (row + col) % 3 == 0;
            cairo_arc(cr, p.x + col * kStep + (row % 2) * kStep / 2 + 1, p.y + row * kStep + 1, big ? 1.3 : 0.8, 0,
                      2 * kPi);
            SetRgb(cr, big ? s.second : s.ink);
            cairo_fill(cr);
        }
}

void Waves(cairo_t* cr, const Panel& p, const BackStyle& s) {
    for (int row = 0; row * 4.5 < p.h + 5; ++row) {
        const double y0 = p.y + row * 4.5;
        for (double x = p.x - 2; x <= p.x + p.w + 2; x += 0.5) {
            const double y = y0 + 1.6 * std::sin((x - p.x) * 2 * kPi / 11 + row * 0.9);
            if (x == p.x - 2) cairo_move_to(cr, x, y);
            else cairo_line_to(cr, x, y);
        }
        Stroke(cr, row % 4 == 0 ? s.second : s.ink, row % 4 == 0 ? 1.0 : 0.7);
    }
}

void Herringbone(cairo_t* cr, const Panel& p, const BackStyle& s) {
    constexpr double kCol = 6, kRow = 4;
    for (int col = 0; col * kCol < p.w + kCol; ++col)
        for (int row = -1; row * kRow < p.h + kRow; ++row) {
            const double x = p.x + col * kCol, y = p.y + row * kRow + (col % 2) * 2;
            cairo_move_to(cr, x, y + (col % 2 == 0 ? 0 : kCol * 0.6));
            cairo_line_to(cr, x + kCol, y + (col % 2 == 0 ? kCol * 0.6 : 0));
        }
    Stroke(cr, s.ink, 1.0);
}

void Star(cairo_t* cr, double cx, double cy, double r) {
    for (int i = 0; i < 10; ++i) {
        const double a = -kPi / 2 + i * kPi / 5;
        const double rr = i % 2 == 0 ? r : r * 0.42;
        if (i == 0) cairo_move_to(cr, cx + rr * std::cos(a), cy + rr * std::sin(a));
        else cairo_line_to(cr, cx + rr * std::cos(a), cy + rr * std::sin(a));
    }
    cairo_close_path(cr);
}

void Stars(cairo_t* cr, const Panel& p, const BackStyle& s) {
    constexpr double kStep = 9;
    for (int row = 0; row * kStep < p.h + kStep; ++row)
        for (int col = -1; col * kStep < p.w + kStep; ++col) {
            const bool big = row % 2 == 0;
            Star(cr, p.x + col * kStep + (big ? 0 : kStep / 2) + 4, p.y + row * kStep + 3, big ? 3.2 : 1.8);
            SetRgb(cr, big ? s.ink : s.second);
            cairo_fill(cr);
        }
}

void Rings(cairo_t* cr, const Panel& p, const BackStyle& s) {
    constexpr double kStep = 7;
    for (int row = 0; row * kStep < p.h + kStep; ++row)
        for (int col = 0; col * kStep < p.w + kStep; ++col) {
            cairo_new_sub_path(cr);
            cairo_arc(cr, p.x + col * kStep, p.y + row * kStep, kStep * 0.72, 0, 2 * kPi);
        }
    Stroke(cr, s.ink, 0.75);
}

void Stripes(cairo_t* cr, const Panel& p, const BackStyle& s) {
    constexpr double kBand = 8;
    for (double d = -p.h; d < p.w + p.h; d += kBand) {
        cairo_move_to(cr, p.x + d, p.y);
        cairo_line_to(cr, p.x + d + kBand / 2, p.y);
        cairo_line_to(cr, p.x + d + kBand / 2 - p.h * 0.6, p.y + p.h);
        cairo_line_to(cr, p.x + d - p.h * 0.6, p.y + p.h);
        cairo_close_path(cr);
    }
    SetRgb(cr, s.ink);
    cairo_fill(cr);
    for (double d = -p.h; d < p.w + p.h; d += kBand) {
        cairo_move_to(cr, p.x + d + kBand * 0.75, p.y);
        cairo_line_to(cr, p.x + d + kBand * 0.75 - p.h * 0.6, p.y + p.h);
    }
    Stroke(cr, s.second, 0.6);
}

void Weave(cairo_t* cr, const Panel& p, const BackStyle& s) {
    constexpr double kCell = 6;
    for (int row = 0; row * kCell < p.h; ++row)
        for (int col = 0; col * kCell < p.w; ++col) {
            const double x = p.x + col * kCell, y = p.y + row * kCell;
            for (int k = 0; k < 3; ++k) {
                const double o = 1 + k * 2;
                if ((row + col) % 2 == 0) {
                    cairo_move_to(cr, x + 0.5, y + o);
                    cairo_line_to(cr, x + kCell - 0.5, y + o);
                } else {
                    cairo_move_to(cr, x + o, y + 0.5);
                    cairo_line_to(cr, x + o, y + kCell - 0.5);
                }
            }
        }
    Stroke(cr, s.ink, 1.1);
}

void Chequer(cairo_t* cr, const Panel& p, const BackStyle& s) {
    constexpr double kCell = 4;
    for (int row = 0; row * kCell < p.h; ++row)
        for (int col = 0; col * kCell < p.w; ++col)
            if ((row + col) % 2 == 0) cairo_rectangle(cr, p.x + col * kCell, p.y + row * kCell, kCell, kCell);
    SetRgb(cr, s.ink);
    cairo_fill(cr);
    // A gold medallion in the middle.
    cairo_arc(cr, p.Cx(), p.Cy(), 9, 0, 2 * kPi);
    SetRgb(cr, s.base);
    cairo_fill_preserve(cr);
    Stroke(cr, s.second, 1.2);
    SetRgb(cr, s.second);
    FillSuit(cr, kSpade, p.Cx(), p.Cy(), 10);
}

void Rosette(cairo_t* cr, double cx, double cy, double r, const BackStyle& s) {
    for (int i = 0; i < 8; ++i) {
        cairo_save(cr);
        cairo_translate(cr, cx, cy);
        cairo_rotate(cr, i * kPi / 4);
        cairo_scale(cr, r * 0.22, r * 0.5);
        cairo_arc(cr, 0, -1, 1, 0, 2 * kPi);
        cairo_restore(cr);
        SetRgb(cr, i % 2 == 0 ? s.ink : s.second);
        cairo_fill(cr);
    }
    cairo_arc(cr, cx, cy, r * 0.22, 0, 2 * kPi);
    SetRgb(cr, s.base);
    cairo_fill_preserve(cr);
    Stroke(cr, s.ink, 0.8);
}

void RosetteBack(cairo_t* cr, const Panel& p, const BackStyle& s) {
    for (int i = 1; i < 8; ++i) {
        cairo_new_sub_path(cr);
        cairo_arc(cr, p.Cx(), p.Cy(), 12 + i * 4, 0, 2 * kPi);
    }
    Stroke(cr, Mix(s.ink, s.base, 0.55), 0.7);
    Rosette(cr, p.Cx(), p.Cy(), 15, s);
    for (double cx : {p.x + 3, p.x + p.w - 3})
        for (double cy : {p.y + 3, p.y + p.h - 3}) Rosette(cr, cx, cy, 8, s);
}

void Honeycomb(cairo_t* cr, const Panel& p, const BackStyle& s) {
    constexpr double kR = 4;
    const double dx = kR * std::sqrt(3.0), dy = kR * 1.5;
    for (int row = -1; row * dy < p.h + dy; ++row)
        for (int col = -1; col * dx < p.w + dx; ++col) {
            const double cx = p.x + col * dx + (row % 2 != 0 ? dx / 2 : 0), cy = p.y + row * dy;
            for (int k = 0; k < 6; ++k) {
                const double a = kPi / 6 + k * kPi / 3;
                if (k == 0) cairo_move_to(cr, cx + kR * std::cos(a), cy + kR * std::sin(a));
                else cairo_line_to(cr, cx + kR * std::cos(a), cy + kR * std::sin(a));
            }
            cairo_close_path(cr);
        }
    Stroke(cr, s.ink, 1.0);
}

void Tartan(cairo_t* cr, const Panel& p, const BackStyle& s) {
    for (int pass = 0; pass < 2; ++pass)
        for (double o = 0; o < (pass == 0 ? p.w : p.h); o += 12) {
            const Rgb colours[3] = {s.ink, s.second, {0.95, 0.85, 0.4}};
            const double widths[3] = {5, 1, 0.6};
            const double offsets[3] = {0, 7, 9.5};
            for (int k = 0; k < 3; ++k) {
                if (pass == 0) cairo_rectangle(cr, p.x + o + offsets[k], p.y, widths[k], p.h);
                else cairo_rectangle(cr, p.x, p.y + o + offsets[k], p.w, widths[k]);
                SetRgba(cr, colours[k], 0.6);
                cairo_fill(cr);
            }
        }
}

void Sunburst(cairo_t* cr, const Panel& p, const BackStyle& s) {
    constexpr int kRays = 32;
    for (int i = 0; i < kRays; i += 2) {
        cairo_move_to(cr, p.Cx(), p.Cy());
        cairo_arc(cr, p.Cx(), p.Cy(), 80, i * 2 * kPi / kRays, (i + 1) * 2 * kPi / kRays);
        cairo_close_path(cr);
    }
    SetRgb(cr, s.ink);
    cairo_fill(cr);
    cairo_arc(cr, p.Cx(), p.Cy(), 8, 0, 2 * kPi);
    SetRgb(cr, s.second);
    cairo_fill_preserve(cr);
    Stroke(cr, s.base, 1.0);
    cairo_arc(cr, p.Cx(), p.Cy(), 4, 0, 2 * kPi);
    SetRgb(cr, s.base);
    cairo_fill(cr);
}

void Scales(cairo_t* cr, const Panel& p, const BackStyle& s) {
    constexpr double kR = 4.5;
    for (int row = -1; row * kR < p.h + kR; ++row)
        for (int col = -1; col * 2 * kR < p.w + 2 * kR; ++col) {
            const double cx = p.x + col * 2 * kR + (row % 2 != 0 ? kR : 0), cy = p.y + row * kR;
            cairo_new_sub_path(cr);
            cairo_arc(cr, cx, cy, kR, 0, kPi);
        }
    Stroke(cr, s.ink, 0.9);
}

void CrossedQuills(cairo_t* cr, const Panel& p, const BackStyle& s) {
    // A framed oval with two quills crossed in it.
    cairo_save(cr);
    cairo_translate(cr, p.Cx(), p.Cy());
    cairo_scale(cr, 1, 1.5);
    cairo_arc(cr, 0, 0, 19, 0, 2 * kPi);
    cairo_restore(cr);
    Stroke(cr, s.second, 1.0);
    for (int side = -1; side <= 1; side += 2) {
        cairo_save(cr);
        cairo_translate(cr, p.Cx() - side * 12, p.Cy() + 22);
        cairo_rotate(cr, -kPi / 2 + side * 0.42);
        Quill(cr, 48, s.ink, s.second);
        cairo_restore(cr);
    }
    for (double cy : {p.y + 4, p.y + p.h - 4}) {
        for (double cx = p.x + 3; cx < p.x + p.w; cx += 5) {
            cairo_new_sub_path(cr);
            cairo_arc(cr, cx, cy, 0.9, 0, 2 * kPi);
        }
    }
    SetRgb(cr, s.second);
    cairo_fill(cr);
}

void Suits(cairo_t* cr, const Panel& p, const BackStyle& s) {
    constexpr double kStep = 9;
    for (int row = 0; row * kStep < p.h + kStep; ++row)
        for (int col = 0; col * kStep < p.w + kStep; ++col) {
            const int suit = (row * 2 + col) % 4;
            SetRgb(cr, (row + col) % 2 == 0 ? s.ink : s.second);
            FillSuit(cr, suit, p.x + col * kStep + (row % 2) * kStep / 2 + 2, p.y + row * kStep + 4, 5);
        }
}

void DrawPattern(cairo_t* cr, const Panel& p, const BackStyle& s) {
    switch (s.pattern) {
    case Pattern::kLattice: Lattice(cr, p, s); break;
    case Pattern::kDiamonds: Diamonds(cr, p, s); break;
    case Pattern::kConcentric: Concentric(cr, p, s); break;
    case Pattern::kScrolls: Scrolls(cr, p, s); break;
    case Pattern::kQuill: QuillBack(cr, p, s); break;
    case Pattern::kDots: Dots(cr, p, s); break;
    case Pattern::kWaves: Waves(cr, p, s); break;
    case Pattern::kHerringbone: Herringbone(cr, p, s); break;
    case Pattern::kStars: Stars(cr, p, s); break;
    case Pattern::kRings: Rings(cr, p, s); break;
    case Pattern::kStripes: Stripes(cr, p, s); break;
    case Pattern::kWeave: Weave(cr, p, s); break;
    case Pattern::kChequer: Chequer(cr, p, s); break;
    case Pattern::kRosette: RosetteBack(cr, p, s); break;
    case Pattern::kHoneycomb: Honeycomb(cr, p, s); break;
    case Pattern::kTartan: Tartan(cr, p, s); break;
    case Pattern::kSunburst: Sunburst(cr, p, s); break;
    case Pattern::kScales: Scales(cr, p, s); break;
    case Pattern::kCrossedQuills: CrossedQuills(cr, p, s); break;
    case Pattern::kSuits: Suits(cr, p, s); break;
    }
}

}  // namespace

void DrawBack(cairo_t* cr, int back) {
    const BackStyle& style = kBackStyles[back];
    RoundedRect(cr, 0, 0, kW, kH, kCornerRadius);
    SetRgb(cr, kEdge);
    cairo_fill(cr);
    // Every back has a light rim inside its edge (a wide margin or a one-pixel line), so backs
    // stacked or fanned on a dark table stay apart.
    RoundedRect(cr, 1, 1, kW - 2, kH - 2, kCornerRadius - 1);
    SetRgb(cr, kMargin);
    cairo_fill(cr);

    const Panel panel = style.margin ? Panel{4, 4, kW - 8, kH - 8} : Panel{2, 2, kW - 4, kH - 4};
    cairo_save(cr);
    if (style.margin) {
        RoundedRect(cr, panel.x, panel.y, panel.w, panel.h, 2);
    } else {
        RoundedRect(cr, panel.x, panel.y, panel.w, panel.h, kCornerRadius - 2);
    }
    SetRgb(cr, style.base);
    cairo_fill_preserve(cr);
    cairo_clip(cr);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    DrawPattern(cr, panel, style);
    cairo_restore(cr);

    // A fine rule: round the panel inside the margin, or set in from the edge.
    if (style.margin) {
        RoundedRect(cr, panel.x + 0.5, panel.y + 0.5, panel.w - 1, panel.h - 1, 1.5);
        Stroke(cr, Mix(style.base, {0, 0, 0}, 0.3), 1.0);
    } else {
        RoundedRect(cr, 3.5, 3.5, kW - 7, kH - 7, 2);
        Stroke(cr, style.second, 1.0);
    }
}

}  // namespace card_paint
