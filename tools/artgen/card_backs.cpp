// The twenty-one card backs: geometric patterns, lattices, scrolls and the quill of the
// program's mark, each in its own colours inside a white margin or a fine light rim. Every
// pattern is the mirror image of itself about both centre lines of the card (the quill backs
// about the upright one only), so stacked and fanned backs look alike from any side.
#include <cmath>
#include <cstdlib>
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

// Every repeat is laid out from the panel's centre, so the frame cuts it alike on opposite
// sides. Repeats(half, step) is the last index k for which centre + k * step still touches a
// panel half as wide as half.
int Repeats(double half, double step) { return static_cast<int>(std::ceil(half / step)) + 1; }

// The line-work of several backs, drawn hair-thin (a third of a pixel at 1x is one device
// pixel at 3x) so it engraves rather than paints.
constexpr double kFineLine = 0.38;

// A guilloche rosette about (cx, cy): copies closed curves of radius r(θ) =
// radius + a·cos(lobes·θ) + b·cos(2·lobes·θ), each turned by a further fraction of one lobe,
// stretched vertically by aspect. With an even number of lobes every curve is symmetric about
// both axes and the set of turns is closed under mirroring, so the rosette is too.
void Guilloche(cairo_t* cr, double cx, double cy, double radius, double a, double b, int lobes, int copies,
               double aspect) {
    constexpr int kSteps = 720;
    for (int c = 0; c < copies; ++c) {
        const double turn = c * 2 * kPi / lobes / copies;
        for (int i = 0; i <= kSteps; ++i) {
            const double t = i * 2 * kPi / kSteps;
            const double r = radius + a * std::cos(lobes * (t - turn)) + b * std::cos(2 * lobes * (t - turn));
            const double x = cx + r * std::cos(t), y = cy + aspect * r * std::sin(t);
            if (i == 0) cairo_move_to(cr, x, y);
            else cairo_line_to(cr, x, y);
        }
        cairo_close_path(cr);
    }
}

// A guilloche band across the panel at height y: copies cosine curves of one wavelength,
// shifted by equal fractions of it and measured from the panel's centre line. An even number of
// copies makes the band its own mirror image both ways.
void GuillocheBand(cairo_t* cr, const Panel& p, double y, double amplitude, double wavelength, int copies) {
    for (int c = 0; c < copies; ++c) {
        const double phase = c * 2 * kPi / copies;
        for (double x = p.x - 1; x <= p.x + p.w + 1; x += 0.25) {
            const double wy = y + amplitude * std::cos((x - p.Cx()) * 2 * kPi / wavelength + phase);
            if (x == p.x - 1) cairo_move_to(cr, x, wy);
            else cairo_line_to(cr, x, wy);
        }
    }
}

// Draws a pattern with a handedness (scrolls, slanted stripes) four times, mirrored into each
// quarter of the panel, so it is book-matched about both centre lines. The quarters are cut
// along device pixel edges: the centre row and column, which the mirror maps onto themselves,
// are drawn whole from both sides and no half-covered seam shows.
template <typename Draw>
void Quartered(cairo_t* cr, const Panel& p, Draw draw) {
    double cx = p.Cx(), cy = p.Cy(), x0 = p.x, y0 = p.y, x1 = p.x + p.w, y1 = p.y + p.h;
    cairo_user_to_device(cr, &cx, &cy);
    cairo_user_to_device(cr, &x0, &y0);
    cairo_user_to_device(cr, &x1, &y1);
    for (int qx = -1; qx <= 1; qx += 2)
        for (int qy = -1; qy <= 1; qy += 2) {
            cairo_save(cr);
            cairo_matrix_t user;
            cairo_get_matrix(cr, &user);
            cairo_identity_matrix(cr);
            const double left = qx < 0 ? x0 : std::floor(cx), right = qx < 0 ? std::ceil(cx) : x1;
            const double top = qy < 0 ? y0 : std::floor(cy), bottom = qy < 0 ? std::ceil(cy) : y1;
            cairo_rectangle(cr, left, top, right - left, bottom - top);
            cairo_clip(cr);
            cairo_set_matrix(cr, &user);
            cairo_translate(cr, p.Cx(), p.Cy());
            cairo_scale(cr, -qx, -qy);
            cairo_translate(cr, -p.Cx(), -p.Cy());
            draw();
            cairo_restore(cr);
        }
}

// Two families of diagonals, both through the centre.
void Lattice(cairo_t* cr, const Panel& p, const BackStyle& s) {
    constexpr double kStep = 5;
    const int n = Repeats((p.w + p.h) / 2, kStep);
    for (int k = -n; k <= n; ++k) {
        const double x = p.Cx() + k * kStep;
        cairo_move_to(cr, x - p.h / 2, p.y);
        cairo_line_to(cr, x + p.h / 2, p.y + p.h);
        cairo_move_to(cr, x + p.h / 2, p.y);
        cairo_line_to(cr, x - p.h / 2, p.y + p.h);
    }
    Stroke(cr, s.ink, 0.7);
}

void Diamonds(cairo_t* cr, const Panel& p, const BackStyle& s) {
    constexpr double kStepX = 9, kStepY = 12;
    const int rows = Repeats(p.h, kStepY), cols = Repeats(p.w / 2, kStepX);
    for (int row = -rows; row <= rows; ++row)
        for (int col = -cols; col <= cols; ++col) {
            const double x = p.Cx() + (col + (row % 2 != 0 ? 0.5 : 0)) * kStepX;
            const double y = p.Cy() + row * kStepY / 2;
            cairo_move_to(cr, x, y - kStepY / 2 + 1);
            cairo_line_to(cr, x + kStepX / 2 - 1, y);
            cairo_line_to(cr, x, y + kStepY / 2 - 1);
            cairo_line_to(cr, x - kStepX / 2 + 1, y);
            cairo_close_path(cr);
            SetRgb(cr, std::abs(row) % 4 < 2 ? s.ink : Mix(s.ink, s.base, 0.5));
            cairo_fill(cr);
            cairo_arc(cr, x, y, 0.9, 0, 2 * kPi);
            SetRgb(cr, s.second);
            cairo_fill(cr);
        }
}

// Nested diamonds round a guilloche rosette.
void Concentric(cairo_t* cr, const Panel& p, const BackStyle& s) {
    for (int i = 4; i < 14; ++i) {
        const double rx = 2 + i * 3.4, ry = rx * 1.45;
        cairo_move_to(cr, p.Cx(), p.Cy() - ry);
        cairo_line_to(cr, p.Cx() + rx, p.Cy());
        cairo_line_to(cr, p.Cx(), p.Cy() + ry);
        cairo_line_to(cr, p.Cx() - rx, p.Cy());
        cairo_close_path(cr);
        Stroke(cr, i % 3 == 0 ? s.second : s.ink, i % 3 == 0 ? 1.1 : 0.7);
    }
    Guilloche(cr, p.Cx(), p.Cy(), 8.5, 2.6, 0.6, 8, 5, 1.45);
    Stroke(cr, s.second, kFineLine);
    Guilloche(cr, p.Cx(), p.Cy(), 4.5, 1.2, 0, 6, 3, 1.45);
    Stroke(cr, s.ink, kFineLine);
}

// Rows of curling scrolls joined by S-curves, book-matched about the centre lines.
void Scrolls(cairo_t* cr, const Panel& p, const BackStyle& s) {
    constexpr double kStepX = 11, kStepY = 11;
    Quartered(cr, p, [&] {
        for (int row = 0; row * kStepY < p.h / 2 + kStepY; ++row)
            for (int col = 0; col * kStepX < p.w / 2 + kStepX; ++col) {
                const double cx = p.Cx() - col * kStepX - (row % 2 != 0 ? kStepX / 2 : 0) - 4;
                const double cy = p.Cy() - row * kStepY - 4;
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
    });
}

// The program's mark: one feather upright on the centre line over fine guilloche bands.
void QuillBack(cairo_t* cr, const Panel& p, const BackStyle& s) {
    const int n = Repeats(p.h / 2, 6);
    for (int row = -n; row <= n; ++row) GuillocheBand(cr, p, p.Cy() + row * 6, 2.2, 12, 2);
    Stroke(cr, Mix(s.base, s.second, 0.4), kFineLine);
    cairo_save(cr);
    cairo_translate(cr, p.Cx(), p.y + p.h - 5);
    cairo_rotate(cr, -kPi / 2);
    Quill(cr, p.h - 9, s.ink, s.second);
    cairo_restore(cr);
}

// Small dots in staggered rows, every third one large.
void Dots(cairo_t* cr, const Panel& p, const BackStyle& s) {
    constexpr double kStep = 5;
    const int rows = Repeats(p.h / 2, kStep), cols = Repeats(p.w, kStep);
    // u counts half steps across, so the large dots fall on the same places mirrored.
    for (int row = -rows; row <= rows; ++row)
        for (int u = -cols; u <= cols; ++u) {
            if ((u + row) % 2 != 0) continue;
            const bool big = (std::abs(u) + std::abs(row)) % 6 == 0;
            cairo_arc(cr, p.Cx() + u * kStep / 2, p.Cy() + row * kStep, big ? 1.3 : 0.8, 0, 2 * kPi);
            SetRgb(cr, big ? s.second : s.ink);
            cairo_fill(cr);
        }
}

// Rows of waves, each in the opposite phase to the next so that they swell and pinch into a
// chain of cells, with a fine guilloche chain along the middle of each.
void Waves(cairo_t* cr, const Panel& p, const BackStyle& s) {
    constexpr double kRow = 5, kWave = 12;
    const int n = Repeats(p.h / 2, kRow);
    for (int row = -n; row < n; ++row) {
        const double y0 = p.Cy() + (row + 0.5) * kRow, sign = row % 2 == 0 ? 1 : -1;
        for (double x = p.x - 1; x <= p.x + p.w + 1; x += 0.25) {
            const double y = y0 + sign * 1.5 * std::cos((x - p.Cx()) * 2 * kPi / kWave);
            if (x == p.x - 1) cairo_move_to(cr, x, y);
            else cairo_line_to(cr, x, y);
        }
        const bool light = (row < 0 ? -1 - row : row) % 4 == 0;  // the same rows counted from either side
        Stroke(cr, light ? s.second : s.ink, light ? 0.9 : 0.7);
    }
    for (int row = -n; row <= n; ++row)
        if (row % 2 != 0) GuillocheBand(cr, p, p.Cy() + row * kRow, 0.9, kWave / 2, 2);
    Stroke(cr, s.second, kFineLine);
}

void Herringbone(cairo_t* cr, const Panel& p, const BackStyle& s) {
    constexpr double kCol = 6, kRow = 4;
    Quartered(cr, p, [&] {
        for (int col = 0; col * kCol < p.w / 2 + kCol; ++col)
            for (int row = -1; row * kRow < p.h / 2 + kRow; ++row) {
                const double x = p.Cx() - (col + 1) * kCol, y = p.Cy() - row * kRow - (col % 2) * 2;
                cairo_move_to(cr, x, y - (col % 2 == 0 ? 0 : kCol * 0.6));
                cairo_line_to(cr, x + kCol, y - (col % 2 == 0 ? kCol * 0.6 : 0));
            }
        Stroke(cr, s.ink, 1.0);
    });
}

// A star of points rays, one pointing straight up: with an even count it is its own mirror
// image both ways.
void Star(cairo_t* cr, double cx, double cy, double r, int points, double inner) {
    for (int i = 0; i < 2 * points; ++i) {
        const double a = -kPi / 2 + i * kPi / points;
        const double rr = i % 2 == 0 ? r : r * inner;
        if (i == 0) cairo_move_to(cr, cx + rr * std::cos(a), cy + rr * std::sin(a));
        else cairo_line_to(cr, cx + rr * std::cos(a), cy + rr * std::sin(a));
    }
    cairo_close_path(cr);
}

// Rows of large six-pointed stars and small four-pointed sparkles between, the stars kept whole
// inside the rule.
void Stars(cairo_t* cr, const Panel& p, const BackStyle& s) {
    constexpr double kStepX = 9, kStepY = 8.25;
    const double halfW = p.w / 2 - 2.5, halfH = p.h / 2 - 2.5;
    for (int row = -4; row <= 4; ++row)
        for (int col = -3; col <= 3; ++col) {
            const bool big = row % 2 == 0;
            const double x = p.Cx() + (col + (big ? 0 : 0.5)) * kStepX, y = p.Cy() + row * kStepY;
            const double r = big ? 3.4 : 2.0;
            if (std::abs(x - p.Cx()) + r > halfW || std::abs(y - p.Cy()) + r > halfH) continue;
            Star(cr, x, y, r, big ? 6 : 4, big ? 0.45 : 0.3);
            SetRgb(cr, big ? s.ink : s.second);
            cairo_fill(cr);
        }
}

void Rings(cairo_t* cr, const Panel& p, const BackStyle& s) {
    constexpr double kStep = 7;
    const int rows = Repeats(p.h / 2, kStep), cols = Repeats(p.w / 2, kStep);
    for (int row = -rows; row <= rows; ++row)
        for (int col = -cols; col <= cols; ++col) {
            cairo_new_sub_path(cr);
            cairo_arc(cr, p.Cx() + col * kStep, p.Cy() + row * kStep, kStep * 0.72, 0, 2 * kPi);
        }
    Stroke(cr, s.ink, 0.75);
}

// Slanted bands book-matched into chevrons.
void Stripes(cairo_t* cr, const Panel& p, const BackStyle& s) {
    constexpr double kBand = 8;
    Quartered(cr, p, [&] {
        const double top = p.y - 1, bottom = p.Cy() + 1, h = bottom - top;
        for (double d = -h; d < p.w / 2 + h; d += kBand) {
            const double x = p.Cx() - d;
            cairo_move_to(cr, x, bottom);
            cairo_line_to(cr, x - kBand / 2, bottom);
            cairo_line_to(cr, x - kBand / 2 - h * 0.6, top);
            cairo_line_to(cr, x - h * 0.6, top);
            cairo_close_path(cr);
        }
        SetRgb(cr, s.ink);
        cairo_fill(cr);
        for (double d = -h; d < p.w / 2 + h; d += kBand) {
            cairo_move_to(cr, p.Cx() - d - kBand * 0.75, bottom);
            cairo_line_to(cr, p.Cx() - d - kBand * 0.75 - h * 0.6, top);
        }
        Stroke(cr, s.second, 0.6);
    });
}

// Over-and-under cells of three threads, the middle cell on the card's centre.
void Weave(cairo_t* cr, const Panel& p, const BackStyle& s) {
    constexpr double kCell = 6;
    const int rows = Repeats(p.h / 2, kCell), cols = Repeats(p.w / 2, kCell);
    for (int row = -rows; row <= rows; ++row)
        for (int col = -cols; col <= cols; ++col) {
            const double x = p.Cx() + col * kCell, y = p.Cy() + row * kCell;
            for (double o : {-2.0, 0.0, 2.0}) {
                if ((row + col) % 2 == 0) {
                    cairo_move_to(cr, x - kCell / 2 + 0.5, y + o);
                    cairo_line_to(cr, x + kCell / 2 - 0.5, y + o);
                } else {
                    cairo_move_to(cr, x + o, y - kCell / 2 + 0.5);
                    cairo_line_to(cr, x + o, y + kCell / 2 - 0.5);
                }
            }
        }
    Stroke(cr, s.ink, 1.1);
}

void Chequer(cairo_t* cr, const Panel& p, const BackStyle& s) {
    constexpr double kCell = 4;
    const int rows = Repeats(p.h / 2, kCell), cols = Repeats(p.w / 2, kCell);
    for (int row = -rows; row <= rows; ++row)
        for (int col = -cols; col <= cols; ++col)
            if ((row + col) % 2 == 0)
                cairo_rectangle(cr, p.Cx() + col * kCell - kCell / 2, p.Cy() + row * kCell - kCell / 2, kCell, kCell);
    SetRgb(cr, s.ink);
    cairo_fill(cr);
    // A gold medallion in the middle: an engraved ring round a diamond.
    cairo_arc(cr, p.Cx(), p.Cy(), 11.5, 0, 2 * kPi);
    SetRgb(cr, s.base);
    cairo_fill_preserve(cr);
    Stroke(cr, s.second, 1.0);
    Guilloche(cr, p.Cx(), p.Cy(), 9, 1.3, 0, 12, 4, 1);
    Stroke(cr, s.second, kFineLine);
    SetRgb(cr, s.second);
    FillSuit(cr, kDiamond, p.Cx(), p.Cy(), 11);
}

// Eight petals in two colours, one colour at a time so that no petal lies over its mirror image.
void Rosette(cairo_t* cr, double cx, double cy, double r, const BackStyle& s) {
    for (int colour = 0; colour < 2; ++colour) {
        for (int i = colour; i < 8; i += 2) {
            cairo_save(cr);
            cairo_translate(cr, cx, cy);
            cairo_rotate(cr, i * kPi / 4);
            cairo_scale(cr, r * 0.22, r * 0.5);
            cairo_new_sub_path(cr);
            cairo_arc(cr, 0, -1, 1, 0, 2 * kPi);
            cairo_restore(cr);
        }
        SetRgb(cr, colour == 0 ? s.ink : s.second);
        cairo_fill(cr);
    }
    cairo_arc(cr, cx, cy, r * 0.22, 0, 2 * kPi);
    SetRgb(cr, s.base);
    cairo_fill_preserve(cr);
    Stroke(cr, s.ink, 0.8);
}

// A large flower in guilloche rings, and a whole small one in each corner.
void RosetteBack(cairo_t* cr, const Panel& p, const BackStyle& s) {
    Guilloche(cr, p.Cx(), p.Cy(), 22, 3, 0, 10, 6, 1.25);
    Stroke(cr, Mix(s.ink, s.base, 0.45), kFineLine);
    Guilloche(cr, p.Cx(), p.Cy(), 15.5, 1.5, 0.5, 16, 3, 1.25);
    Stroke(cr, Mix(s.second, s.base, 0.3), kFineLine);
    Rosette(cr, p.Cx(), p.Cy(), 12, s);
    for (double dx : {-1.0, 1.0})
        for (double dy : {-1.0, 1.0}) Rosette(cr, p.Cx() + dx * (p.w / 2 - 9.5), p.Cy() + dy * (p.h / 2 - 9.5), 7, s);
}

void Honeycomb(cairo_t* cr, const Panel& p, const BackStyle& s) {
    constexpr double kR = 4;
    const double dx = kR * std::sqrt(3.0), dy = kR * 1.5;
    const int rows = Repeats(p.h / 2, dy), cols = Repeats(p.w / 2, dx);
    for (int row = -rows; row <= rows; ++row)
        for (int col = -cols; col <= cols; ++col) {
            const double cx = p.Cx() + (col + (row % 2 != 0 ? 0.5 : 0)) * dx, cy = p.Cy() + row * dy;
            for (int k = 0; k < 6; ++k) {
                const double a = kPi / 6 + k * kPi / 3;
                if (k == 0) cairo_move_to(cr, cx + kR * std::cos(a), cy + kR * std::sin(a));
                else cairo_line_to(cr, cx + kR * std::cos(a), cy + kR * std::sin(a));
            }
            cairo_close_path(cr);
        }
    Stroke(cr, s.ink, 1.0);
}

// A sett of one broad band and three fine lines per twelve pixels, mirrored about each band.
void Tartan(cairo_t* cr, const Panel& p, const BackStyle& s) {
    constexpr double kSett = 12;
    const Rgb colours[3] = {s.ink, s.second, {0.95, 0.85, 0.4}};
    const double widths[3] = {5, 1, 0.6};
    const double offsets[3] = {0, 6, 3.5};  // centre of each stripe from the band's centre
    for (int pass = 0; pass < 2; ++pass) {
        const int n = Repeats((pass == 0 ? p.w : p.h) / 2, kSett);
        for (int k = 0; k < 3; ++k) {
            for (int i = -n; i <= n; ++i)
                for (double side : {-1.0, 1.0}) {
                    if (offsets[k] == 0 && side > 0) continue;
                    const double c = i * kSett + side * offsets[k] - widths[k] / 2;
                    if (pass == 0) cairo_rectangle(cr, p.Cx() + c, p.y, widths[k], p.h);
                    else cairo_rectangle(cr, p.x, p.Cy() + c, p.w, widths[k]);
                }
            SetRgba(cr, colours[k], 0.6);
            cairo_fill(cr);
        }
    }
}

// Rays centred on the axes and between them, fine engraved rays between those, and a boss in
// a guilloche ring.
void Sunburst(cairo_t* cr, const Panel& p, const BackStyle& s) {
    constexpr int kRays = 16;
    constexpr double kHalf = kPi / kRays / 2;
    for (int i = 0; i < kRays; ++i) {
        cairo_move_to(cr, p.Cx(), p.Cy());
        cairo_arc(cr, p.Cx(), p.Cy(), 80, i * 2 * kPi / kRays - kHalf, i * 2 * kPi / kRays + kHalf);
        cairo_close_path(cr);
    }
    SetRgb(cr, s.ink);
    cairo_fill(cr);
    for (int i = 0; i < 4 * kRays; ++i) {
        if (i % 4 == 0) continue;
        const double a = i * kPi / kRays / 2;
        cairo_move_to(cr, p.Cx() + 14 * std::cos(a), p.Cy() + 14 * std::sin(a));
        cairo_line_to(cr, p.Cx() + 80 * std::cos(a), p.Cy() + 80 * std::sin(a));
    }
    Stroke(cr, Mix(s.ink, s.base, 0.35), kFineLine);
    cairo_arc(cr, p.Cx(), p.Cy(), 13, 0, 2 * kPi);
    SetRgb(cr, s.base);
    cairo_fill(cr);
    Guilloche(cr, p.Cx(), p.Cy(), 11, 1.4, 0, 16, 4, 1);
    Stroke(cr, s.second, kFineLine);
    cairo_arc(cr, p.Cx(), p.Cy(), 8, 0, 2 * kPi);
    SetRgb(cr, s.second);
    cairo_fill_preserve(cr);
    Stroke(cr, s.base, 1.0);
    cairo_arc(cr, p.Cx(), p.Cy(), 4, 0, 2 * kPi);
    SetRgb(cr, s.base);
    cairo_fill(cr);
}

// Fish scales opening away from the centre lines.
void Scales(cairo_t* cr, const Panel& p, const BackStyle& s) {
    constexpr double kR = 4.5;
    Quartered(cr, p, [&] {
        for (int row = -1; row * kR < p.h / 2 + kR; ++row)
            for (int col = -1; col * 2 * kR < p.w / 2 + 2 * kR; ++col) {
                const double cx = p.Cx() - col * 2 * kR - (row % 2 != 0 ? kR : 0), cy = p.Cy() - row * kR;
                cairo_new_sub_path(cr);
                cairo_arc_negative(cr, cx, cy, kR, kPi, 0);
            }
        Stroke(cr, s.ink, 0.9);
    });
}

// Two quills, one the mirror image of the other, crossed in an engraved oval.
void CrossedQuills(cairo_t* cr, const Panel& p, const BackStyle& s) {
    Guilloche(cr, p.Cx(), p.Cy(), 19.5, 1.1, 0, 24, 3, 1.5);
    Stroke(cr, Mix(s.second, s.base, 0.25), kFineLine);
    cairo_save(cr);
    cairo_translate(cr, p.Cx(), p.Cy());
    cairo_scale(cr, 1, 1.5);
    cairo_arc(cr, 0, 0, 17, 0, 2 * kPi);
    cairo_restore(cr);
    Stroke(cr, s.second, 0.9);
    for (unsigned part : {kQuillVane, kQuillBarbs, kQuillShaft})
        for (double side : {-1.0, 1.0}) {
            cairo_save(cr);
            cairo_translate(cr, p.Cx(), p.Cy());
            cairo_scale(cr, side, 1);
            cairo_translate(cr, -12, 22);
            cairo_rotate(cr, -kPi / 2 + 0.42);
            Quill(cr, 48, s.ink, s.second, part);
            cairo_restore(cr);
        }
    const int n = static_cast<int>((p.w / 2 - 3) / 5);
    for (double cy : {p.y + 4, p.y + p.h - 4})
        for (int k = -n; k <= n; ++k) {
            cairo_new_sub_path(cr);
            cairo_arc(cr, p.Cx() + k * 5, cy, 0.9, 0, 2 * kPi);
        }
    SetRgb(cr, s.second);
    cairo_fill(cr);
}

// The four suits in staggered rows, every symbol whole; those in the lower half stand upside
// down, as the lower pips of a card do.
void Suits(cairo_t* cr, const Panel& p, const BackStyle& s) {
    constexpr double kStep = 9, kSize = 5;
    for (int row = 0; (row + 0.5) * kStep + kSize / 2 < p.h / 2 - 1; ++row)
        for (int col = 0; col * kStep + kSize / 2 < p.w / 2 - 1; ++col) {
            const double dx = (col + (row % 2 == 0 ? 0.5 : 0)) * kStep, dy = (row + 0.5) * kStep;
            if (dx + kSize / 2 > p.w / 2 - 1) continue;
            const int suit = (row * 2 + col) % 4;
            SetRgb(cr, (row + col) % 2 == 0 ? s.ink : s.second);
            for (double sx : {-1.0, 1.0}) {
                if (dx == 0 && sx > 0) continue;
                for (double sy : {-1.0, 1.0}) FillSuit(cr, suit, p.Cx() + sx * dx, p.Cy() + sy * dy, kSize, sy > 0);
            }
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
