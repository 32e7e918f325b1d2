// Court card pictures: a crowned King with beard and sword, a Queen with tiara, long hair and
// a flower, a Jack with feathered cap and halberd. Each figure is drawn in its own units
// (s = one figure width) upwards from the dividing line, then again turned half a turn.
#include <algorithm>
#include <cmath>
#include <numbers>

#include "tools/artgen/card_paint.h"

namespace card_paint {

namespace {

constexpr double kPi = std::numbers::pi;
constexpr int kJack = 9;
constexpr int kQueen = 10;
constexpr int kKing = 11;

struct Palette {
    Rgb background;
    Rgb robeA, robeB;  // the two halves of the robe
    Rgb trim;          // gold
    Rgb collar;
    Rgb skin;
    Rgb hair;
    Rgb headwear;      // the Jack's cap
    Rgb blade;
    Rgb wood;
    Rgb flower;
    Rgb outline;
    bool outlined;
};

// Robe colours change with the suit, so the twelve courts are told apart at a glance.
Palette ClassicPalette(int suit, int rank) {
    const Rgb red{0.80, 0.13, 0.12}, blue{0.17, 0.29, 0.64}, gold{0.96, 0.77, 0.22}, black{0.12, 0.12, 0.14},
        green{0.16, 0.47, 0.27};
    const Rgb pairs[4][2] = {{blue, red}, {red, gold}, {green, red}, {gold, blue}};
    Palette p{};
    p.background = {0.995, 0.97, 0.88};
    p.robeA = pairs[suit][rank == kQueen ? 1 : 0];
    p.robeB = pairs[suit][rank == kQueen ? 0 : 1];
    p.trim = gold;
    p.collar = {1, 1, 1};
    p.skin = {0.99, 0.86, 0.72};
    p.hair = rank == kKing ? Rgb{0.55, 0.47, 0.40} : rank == kQueen ? Rgb{0.86, 0.62, 0.20} : Rgb{0.40, 0.24, 0.12};
    p.headwear = suit % 2 == 0 ? red : blue;
    p.blade = {0.86, 0.88, 0.92};
    p.wood = {0.45, 0.29, 0.14};
    p.flower = red;
    p.outline = black;
    p.outlined = true;
    return p;
}

Palette ModernPalette(int suit, int rank) {
    const Rgb teal{0.00, 0.52, 0.56}, navy{0.14, 0.20, 0.34}, coral{0.93, 0.38, 0.33}, gold{0.97, 0.73, 0.22},
        plum{0.45, 0.24, 0.45};
    const Rgb pairs[4][2] = {{teal, navy}, {coral, teal}, {navy, teal}, {plum, coral}};
    Palette p{};
    p.background = {0.91, 0.96, 0.96};
    p.robeA = pairs[suit][rank == kQueen ? 1 : 0];
    p.robeB = pairs[suit][rank == kQueen ? 0 : 1];
    p.trim = gold;
    p.collar = {1, 1, 1};
    p.skin = {0.98, 0.83, 0.70};
    p.hair = rank == kKing ? Rgb{0.62, 0.62, 0.66} : rank == kQueen ? Rgb{0.30, 0.20, 0.16} : Rgb{0.55, 0.33, 0.16};
    p.headwear = coral;
    p.blade = {0.80, 0.84, 0.88};
    p.wood = navy;
    p.flower = coral;
    p.outline = navy;
    p.outlined = false;
    return p;
}

// Maps figure units (u across from the centre, v upwards from the divider) to the frame.
class Figure {
public:
    Figure(cairo_t* cr, const Palette& palette, double cx, double base, double s)
        : cr(cr), palette(palette), cx(cx), base(base), s(s) {}

    double X(double u) const { return cx + u * s; }
    double Y(double v) const { return base - v * s; }
    void MoveTo(double u, double v) { cairo_move_to(cr, X(u), Y(v)); }
    void LineTo(double u, double v) { cairo_line_to(cr, X(u), Y(v)); }
    void CurveTo(double u1, double v1, double u2, double v2, double u3, double v3) {
        cairo_curve_to(cr, X(u1), Y(v1), X(u2), Y(v2), X(u3), Y(v3));
    }
    void Ellipse(double u, double v, double ru, double rv) {
        cairo_save(cr);
        cairo_translate(cr, X(u), Y(v));
        cairo_scale(cr, ru * s, rv * s);
        cairo_new_sub_path(cr);
        cairo_arc(cr, 0, 0, 1, 0, 2 * kPi);
        cairo_restore(cr);
    }
    void Rect(double u0, double v0, double u1, double v1) {
        cairo_rectangle(cr, X(u0), Y(v1), (u1 - u0) * s, (v1 - v0) * s);
    }
    // Fills the current path and, in the outlined style, traces it in a fine dark line.
    void Paint(Rgb colour) {
        SetRgb(cr, colour);
        if (palette.outlined) {
            cairo_fill_preserve(cr);
            SetRgb(cr, palette.outline);
            cairo_set_line_width(cr, 0.55);
            cairo_stroke(cr);
        } else {
            cairo_fill(cr);
        }
    }
    void Dot(double u, double v, double r, Rgb colour) {
        cairo_new_sub_path(cr);
        cairo_arc(cr, X(u), Y(v), r * s, 0, 2 * kPi);
        SetRgb(cr, colour);
        cairo_fill(cr);
    }
    void Line(double u0, double v0, double u1, double v1, double width, Rgb colour) {
        MoveTo(u0, v0);
        LineTo(u1, v1);
        cairo_set_line_width(cr, width * s);
        SetRgb(cr, colour);
        cairo_stroke(cr);
    }

    cairo_t* cr;
    const Palette& palette;
    double cx, base, s;
};

void Robe(Figure& f) {
    const Palette& p = f.palette;
    // Sloping shoulders reaching the frame's sides; the path runs below the divider so the
    // slanted clip never shows a gap.
    auto path = [&] {
        f.MoveTo(-0.8, -0.3);
        f.LineTo(-0.8, 0.30);
        f.CurveTo(-0.55, 0.38, -0.36, 0.43, -0.18, 0.44);
        f.LineTo(0.18, 0.44);
        f.CurveTo(0.36, 0.43, 0.55, 0.38, 0.8, 0.30);
        f.LineTo(0.8, -0.3);
        cairo_close_path(f.cr);
    };
    // Two coloured halves, the second sprinkled with small gold lozenges, then the outline.
    for (int side = 0; side < 2; ++side) {
        cairo_save(f.cr);
        f.Rect(side == 0 ? -1 : 0, -1, side == 0 ? 0 : 1, 1);
        cairo_clip(f.cr);
        path();
        SetRgb(f.cr, side == 0 ? p.robeA : p.robeB);
        cairo_fill_preserve(f.cr);
        if (side == 1) {
            cairo_clip(f.cr);
            SetRgb(f.cr, Mix(p.trim, p.robeB, 0.25));
            for (double v = -0.2; v < 0.45; v += 0.12)
                for (double u = 0.12 + (static_cast<int>((v + 0.2) / 0.12 + 0.5) % 2) * 0.07; u < 0.8; u += 0.14) {
                    f.MoveTo(u, v + 0.03);
                    f.LineTo(u + 0.025, v);
                    f.LineTo(u, v - 0.03);
                    f.LineTo(u - 0.025, v);
                    cairo_close_path(f.cr);
                }
            cairo_fill(f.cr);
        }
        cairo_new_path(f.cr);
        cairo_restore(f.cr);
    }
    path();
    if (p.outlined) {
        SetRgb(f.cr, p.outline);
        cairo_set_line_width(f.cr, 0.55);
        cairo_stroke(f.cr);
    } else {
        cairo_new_path(f.cr);
    }
    // A gold band down the front with buttons, and a trimmed yoke.
    f.Rect(-0.06, -0.3, 0.06, 0.43);
    f.Paint(p.trim);
    for (double v = 0.05; v < 0.36; v += 0.12) f.Dot(0, v, 0.022, p.outlined ? p.outline : p.robeB);
    f.MoveTo(-0.5, 0.33);
    f.CurveTo(-0.25, 0.20, 0.25, 0.20, 0.5, 0.33);
    cairo_set_line_width(f.cr, 0.05 * f.s);
    SetRgb(f.cr, p.trim);
    cairo_stroke(f.cr);
}

void Head(Figure& f, int rank) {
    const Palette& p = f.palette;
    // Hair behind the head: long for the Queen, short for the Jack, full for the King.
    if (rank == kQueen) {
        f.MoveTo(-0.17, 0.40);
        f.CurveTo(-0.26, 0.55, -0.22, 0.78, 0, 0.78);
        f.CurveTo(0.22, 0.78, 0.26, 0.55, 0.17, 0.40);
        cairo_close_path(f.cr);
    } else {
        f.Ellipse(0, 0.61, rank == kKing ? 0.17 : 0.155, rank == kKing ? 0.16 : 0.14);
    }
    f.Paint(p.hair);
    f.Ellipse(0, 0.59, 0.13, 0.15);
    f.Paint(p.skin);
    // Ruff collar over the neck.
    f.Ellipse(0, 0.43, 0.23, 0.055);
    f.Paint(p.collar);
    if (rank == kKing) {
        f.MoveTo(-0.115, 0.58);
        f.CurveTo(-0.12, 0.48, -0.05, 0.42, 0, 0.40);
        f.CurveTo(0.05, 0.42, 0.12, 0.48, 0.115, 0.58);
        f.CurveTo(0.05, 0.53, -0.05, 0.53, -0.115, 0.58);
        cairo_close_path(f.cr);
        f.Paint(p.hair);
    }
    const Rgb eyes = p.outlined ? p.outline : Rgb{0.15, 0.15, 0.2};
    f.Dot(-0.045, 0.60, 0.02, eyes);
    f.Dot(0.045, 0.60, 0.02, eyes);
    if (rank != kKing) f.Line(-0.03, 0.52, 0.03, 0.52, 0.025, {0.78, 0.25, 0.25});
}

void Headwear(Figure& f, int rank) {
    const Palette& p = f.palette;
    if (rank == kKing) {
        f.MoveTo(-0.15, 0.70);
        f.LineTo(-0.18, 0.94);
        f.LineTo(-0.085, 0.82);
        f.LineTo(0, 0.98);
        f.LineTo(0.085, 0.82);
        f.LineTo(0.18, 0.94);
        f.LineTo(0.15, 0.70);
        cairo_close_path(f.cr);
        f.Paint(p.trim);
        f.Dot(0, 0.755, 0.028, p.robeA.r > 0.5 && p.robeA.b < 0.3 ? Rgb{0.17, 0.29, 0.64} : Rgb{0.80, 0.13, 0.12});
    } else if (rank == kQueen) {
        f.MoveTo(-0.13, 0.71);
        f.LineTo(-0.14, 0.84);
        f.LineTo(-0.06, 0.78);
        f.LineTo(0, 0.88);
        f.LineTo(0.06, 0.78);
        f.LineTo(0.14, 0.84);
        f.LineTo(0.13, 0.71);
        cairo_close_path(f.cr);
        f.Paint(p.trim);
        for (double u : {-0.14, 0.0, 0.14}) f.Dot(u, u == 0 ? 0.89 : 0.85, 0.025, p.trim);
    } else {
        // A soft cap worn at a slant, with a feather.
        f.MoveTo(-0.19, 0.70);
        f.CurveTo(-0.20, 0.86, 0.16, 0.90, 0.23, 0.74);
        f.CurveTo(0.10, 0.70, -0.05, 0.68, -0.19, 0.70);
        cairo_close_path(f.cr);
        f.Paint(p.headwear);
        f.MoveTo(0.12, 0.80);
        f.CurveTo(0.22, 0.92, 0.32, 0.95, 0.40, 0.93);
        cairo_set_line_width(f.cr, 0.045 * f.s);
        SetRgb(f.cr, p.trim);
        cairo_stroke(f.cr);
    }
}

// What the figure holds: drawn before the robe when it stands behind the shoulder.
void ItemBehind(Figure& f, int rank) {
    const Palette& p = f.palette;
    if (rank == kKing) {
        f.MoveTo(0.33, 0.30);
        f.LineTo(0.33, 0.88);
        f.LineTo(0.36, 0.94);
        f.LineTo(0.39, 0.88);
        f.LineTo(0.39, 0.30);
        cairo_close_path(f.cr);
        f.Paint(p.blade);
    } else if (rank == kJack) {
        f.Line(0.37, -0.3, 0.37, 0.88, 0.035, p.wood);
        f.MoveTo(0.37, 0.86);
        f.CurveTo(0.50, 0.86, 0.52, 0.74, 0.50, 0.70);
        f.LineTo(0.37, 0.74);
        cairo_close_path(f.cr);
        f.Paint(p.blade);
        f.MoveTo(0.34, 0.88);
        f.LineTo(0.37, 0.98);
        f.LineTo(0.40, 0.88);
        cairo_close_path(f.cr);
        f.Paint(p.blade);
    }
}

void ItemInFront(Figure& f, int rank) {
    const Palette& p = f.palette;
    // The hand that holds the item.
    const double handU = rank == kQueen ? 0.31 : 0.36;
    const double handV = rank == kKing ? 0.22 : 0.24;
    if (rank == kKing) {
        f.Rect(0.27, 0.27, 0.45, 0.31);
        f.Paint(p.trim);
        f.Rect(0.345, 0.14, 0.375, 0.27);
        f.Paint(p.wood);
    } else if (rank == kQueen) {
        f.Line(0.30, 0.18, 0.36, 0.64, 0.03, {0.22, 0.52, 0.25});
        for (int petal = 0; petal < 5; ++petal) {
            const double a = petal * 2 * kPi / 5;
            f.Dot(0.36 + 0.045 * std::sin(a), 0.68 + 0.045 * std::cos(a), 0.04, p.flower);
        }
        f.Dot(0.36, 0.68, 0.03, p.trim);
    }
    f.Ellipse(handU, handV, 0.055, 0.045);
    f.Paint(p.skin);
}

}  // namespace

void DrawCourtPicture(cairo_t* cr, bool modern, int suit, int rank, Rgb suitColour, double x, double y, double w,
                      double h) {
    const Palette palette = modern ? ModernPalette(suit, rank) : ClassicPalette(suit, rank);
    const double cx = x + w / 2;
    const double cy = y + h / 2;
    // The classic divider slants, the modern one is level.
    const double slant = modern ? 0 : 0.07 * w;
    // One figure width, a little wider than a narrow frame so the shoulders fill it.
    const double s = std::min(w * 1.25, h / 2 * 0.92);

    cairo_save(cr);
    cairo_rectangle(cr, x, y, w, h);
    cairo_clip(cr);
    SetRgb(cr, palette.background);
    cairo_paint(cr);
    for (int turn = 0; turn < 2; ++turn) {
        cairo_save(cr);
        if (turn == 1) {
            cairo_translate(cr, cx, cy);
            cairo_rotate(cr, kPi);
            cairo_translate(cr, -cx, -cy);
        }
        cairo_move_to(cr, x, y);
        cairo_line_to(cr, x + w, y);
        cairo_line_to(cr, x + w, cy - slant);
        cairo_line_to(cr, x, cy + slant);
        cairo_close_path(cr);
        cairo_clip(cr);
        Figure figure(cr, palette, cx, cy, s);
        ItemBehind(figure, rank);
        Robe(figure);
        Head(figure, rank);
        Headwear(figure, rank);
        ItemInFront(figure, rank);
        // The suit in the upper corner of each half.
        SetRgb(cr, suitColour);
        FillSuit(cr, suit, figure.X(-0.33), figure.Y(0.84), std::max(0.2 * s, 5.5));
        cairo_restore(cr);
    }
    // The dividing line.
    cairo_move_to(cr, x, cy + slant);
    cairo_line_to(cr, x + w, cy - slant);
    SetRgb(cr, modern ? palette.trim : palette.outline);
    cairo_set_line_width(cr, modern ? 1.0 : 0.7);
    cairo_stroke(cr);
    cairo_restore(cr);
}

}  // namespace card_paint
