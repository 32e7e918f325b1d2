// Court card pictures: twelve figures, each with its own pose, attribute, headwear, hair, beard
// and garment pattern, drawn half-length upwards from the dividing line and again turned half
// a turn. A figure is drawn in its own units (one unit about two thirds of the frame's width)
// with v upwards; a figure that holds its attribute on the left is the same drawing mirrored.
#include <algorithm>
#include <cmath>
#include <numbers>

#include "tools/artgen/card_paint.h"

namespace card_paint {

namespace {

constexpr double kPi = std::numbers::pi;
constexpr int kJack = 9;
constexpr int kQueen = 10;

enum class Item { Sword, Axe, Orb, Sceptre, Lily, Rose, Leaf, Fan, Lance, Torch, Halberd, Bow };
enum class Hat { Spiked, Arched, Fleuron, CrownedCap, Tiara, Veiled, Pearls, Hood, FeatherCap, Beret, Brimmed, Helmet };
enum class Hair { Short, Curls, Bob, Long, Braids, Fringe };
enum class Beard { None, Long, Forked, Short, Moustache };
enum class Pattern { Lozenges, Ermine, Checks, Stripes, Dots, Scallops, Chevrons, Crosses, Bands, Zigzag, Quarters, Diagonals };

// Robe colours by number: 0 red, 1 blue, 2 gold, 3 green, 4 purple (each design has its own
// shades of these).
struct Court {
    Item item;
    Hat hat;
    Hair hair;
    Beard beard;
    Pattern pattern;
    int side;      // +1 holds the attribute on the right of the picture, -1 on the left
    double turn;   // where the face looks: -1 away from the attribute .. 1 towards it
    int robe;      // the patterned half
    int lining;    // the half with the arm
    Rgb hairColour;
};

constexpr Rgb kGrey{0.66, 0.64, 0.62}, kBrown{0.42, 0.25, 0.12}, kBlack{0.16, 0.13, 0.12},
    kGinger{0.78, 0.42, 0.14}, kFair{0.93, 0.72, 0.30}, kAuburn{0.55, 0.20, 0.10};

// Rows by suit (spade, heart, club, diamond), columns Jack, Queen, King.
constexpr Court kCourts[4][3] = {
    {{Item::Lance, Hat::FeatherCap, Hair::Short, Beard::None, Pattern::Bands, 1, 0.5, 1, 2, kBrown},
     {Item::Lily, Hat::Tiara, Hair::Long, Beard::None, Pattern::Dots, -1, 0.3, 1, 2, kFair},
     {Item::Sword, Hat::Spiked, Hair::Short, Beard::Long, Pattern::Lozenges, 1, 0, 1, 0, kGrey}},
    {{Item::Torch, Hat::Beret, Hair::Curls, Beard::None, Pattern::Zigzag, -1, -0.5, 0, 3, kBlack},
     {Item::Rose, Hat::Veiled, Hair::Long, Beard::None, Pattern::Scallops, 1, -0.4, 0, 1, kBlack},
     {Item::Axe, Hat::Arched, Hair::Curls, Beard::Forked, Pattern::Ermine, -1, 0.5, 0, 2, kBrown}},
    {{Item::Halberd, Hat::Brimmed, Hair::Bob, Beard::None, Pattern::Quarters, 1, -0.3, 3, 1, kFair},
     {Item::Leaf, Hat::Pearls, Hair::Braids, Beard::None, Pattern::Chevrons, -1, 0, 3, 2, kGinger},
     {Item::Orb, Hat::Fleuron, Hair::Short, Beard::Short, Pattern::Checks, 1, -0.5, 3, 0, kBlack}},
    {{Item::Bow, Hat::Helmet, Hair::Fringe, Beard::None, Pattern::Diagonals, -1, 0.4, 2, 0, kAuburn},
     {Item::Fan, Hat::Hood, Hair::Fringe, Beard::None, Pattern::Crosses, 1, 0.4, 4, 0, kAuburn},
     {Item::Sceptre, Hat::CrownedCap, Hair::Bob, Beard::Moustache, Pattern::Stripes, -1, -0.3, 4, 2, kGinger}},
};

struct Palette {
    Rgb background;
    Rgb robes[5];
    Rgb trim;  // gold
    Rgb collar;
    Rgb skin;
    Rgb blade;
    Rgb wood;
    Rgb leaf;
    Rgb flame;
    Rgb outline;
};

Palette ClassicPalette() {
    return {{0.995, 0.97, 0.88},
            {{0.80, 0.13, 0.12}, {0.17, 0.29, 0.64}, {0.96, 0.77, 0.22}, {0.16, 0.47, 0.27}, {0.45, 0.22, 0.55}},
            {0.96, 0.77, 0.22},
            {1, 1, 1},
            {0.99, 0.86, 0.72},
            {0.86, 0.88, 0.92},
            {0.45, 0.29, 0.14},
            {0.22, 0.52, 0.25},
            {0.98, 0.52, 0.12},
            {0.12, 0.12, 0.14}};
}

Palette ModernPalette() {
    return {{0.91, 0.96, 0.96},
            {{0.93, 0.38, 0.33}, {0.14, 0.20, 0.34}, {0.97, 0.73, 0.22}, {0.00, 0.52, 0.56}, {0.45, 0.24, 0.45}},
            {0.97, 0.73, 0.22},
            {1, 1, 1},
            {0.98, 0.83, 0.70},
            {0.80, 0.84, 0.88},
            {0.14, 0.20, 0.34},
            {0.18, 0.60, 0.42},
            {0.98, 0.55, 0.20},
            {0.14, 0.20, 0.34}};
}

// The pieces of one figure. The cairo matrix maps figure units to the frame, so every path
// below is in figure units and mirrors with the figure.
class Figure {
public:
    Figure(cairo_t* cr, const Palette& palette, const Court& court, double unit)
        : cr(cr), p(palette), c(court), unit(unit) {}

    void Draw(int rank) {
        ItemBehind();
        if (c.hat == Hat::Veiled || c.hat == Hat::Hood) HeadCovering();
        HairBehind();
        Robe(rank);
        Head();
        Beards();
        Headwear();
        ItemInFront();
    }

private:
    void Ellipse(double u, double v, double ru, double rv) {
        cairo_save(cr);
        cairo_translate(cr, u, v);
        cairo_scale(cr, ru, rv);
        cairo_new_sub_path(cr);
        cairo_arc(cr, 0, 0, 1, 0, 2 * kPi);
        cairo_restore(cr);
    }
    void Poly(std::initializer_list<std::pair<double, double>> points) {
        bool first = true;
        for (const auto& [u, v] : points) {
            if (first) cairo_move_to(cr, u, v);
            else cairo_line_to(cr, u, v);
            first = false;
        }
        cairo_close_path(cr);
    }
    // Fills the current path and traces it in a fine outline, which keeps the pieces apart at
    // 1x.
    void Paint(Rgb colour) {
        SetRgb(cr, colour);
        cairo_fill_preserve(cr);
        SetRgb(cr, p.outline);
        cairo_set_line_width(cr, 0.5 / unit);
        cairo_stroke(cr);
    }
    void Dot(double u, double v, double r, Rgb colour) {
        cairo_new_sub_path(cr);
        cairo_arc(cr, u, v, r, 0, 2 * kPi);
        SetRgb(cr, colour);
        cairo_fill(cr);
    }
    void Line(double u0, double v0, double u1, double v1, double width, Rgb colour) {
        cairo_move_to(cr, u0, v0);
        cairo_line_to(cr, u1, v1);
        cairo_set_line_width(cr, width);
        SetRgb(cr, colour);
        cairo_stroke(cr);
    }
    // A staff with a dark edge, so it reads against any robe.
    void Staff(double u, double v0, double v1, double width) {
        Line(u, v0, u, v1, width + 1.0 / unit, p.outline);
        Line(u, v0, u, v1, width, p.wood);
    }
    Rgb RobeColour() const { return p.robes[c.robe]; }
    Rgb LiningColour() const { return p.robes[c.lining]; }

    void ShoulderPath(int rank) {
        const double top = rank == kQueen ? 0.40 : 0.44;
        cairo_move_to(cr, -0.8, -0.3);
        cairo_line_to(cr, -0.8, 0.28);
        cairo_curve_to(cr, -0.55, 0.36, -0.36, top - 0.01, -0.18, top);
        cairo_line_to(cr, 0.18, top);
        cairo_curve_to(cr, 0.36, top - 0.01, 0.55, 0.36, 0.8, 0.28);
        cairo_line_to(cr, 0.8, -0.3);
        cairo_close_path(cr);
    }

    // The robe: the patterned half away from the attribute, the plain lining on the arm's side,
    // a gold band down the front and the neckline of the rank.
    void Robe(int rank) {
        for (int half = 0; half < 2; ++half) {
            cairo_save(cr);
            cairo_rectangle(cr, half == 0 ? -1 : 0, -1, 1, 2);
            cairo_clip(cr);
            ShoulderPath(rank);
            SetRgb(cr, half == 0 ? RobeColour() : LiningColour());
            cairo_fill_preserve(cr);
            if (half == 0) {
                cairo_clip(cr);
                GarmentPattern();
            }
            cairo_new_path(cr);
            cairo_restore(cr);
        }
        ShoulderPath(rank);
        SetRgb(cr, p.outline);
        cairo_set_line_width(cr, 0.5 / unit);
        cairo_stroke(cr);
        cairo_rectangle(cr, -0.055, -0.3, 0.11, 0.72);
        Paint(p.trim);
        if (rank == kQueen) {
            // A square neckline with a necklace.
            Poly({{-0.17, 0.41}, {-0.12, 0.30}, {0.12, 0.30}, {0.17, 0.41}});
            Paint(p.skin);
            for (double u = -0.09; u <= 0.091; u += 0.045) Dot(u, 0.34 - std::abs(u) * 0.3, 0.018, p.trim);
        } else if (rank == kJack) {
            // A pointed white collar.
            Poly({{-0.17, 0.45}, {-0.02, 0.43}, {-0.10, 0.33}});
            Paint(p.collar);
            Poly({{0.17, 0.45}, {0.02, 0.43}, {0.10, 0.33}});
            Paint(p.collar);
        } else {
            // The King's ruff.
            Ellipse(0, 0.44, 0.22, 0.055);
            Paint(p.collar);
        }
    }

    // Fills the current clip (the robe's patterned half) with the figure's pattern.
    void GarmentPattern() {
        const Rgb ink = Mix(p.trim, RobeColour(), 0.2);
        SetRgb(cr, ink);
        cairo_set_line_width(cr, 0.035);
        switch (c.pattern) {
        case Pattern::Lozenges:
            for (double v = -0.2; v < 0.45; v += 0.12)
                for (double u = -0.74 + std::fmod(v + 0.2, 0.24) / 0.12 * 0.07; u < 0; u += 0.14)
                    Poly({{u, v + 0.04}, {u + 0.03, v}, {u, v - 0.04}, {u - 0.03, v}});
            cairo_fill(cr);
            break;
        case Pattern::Ermine:
            // White fur with black tails.
            SetRgb(cr, p.collar);
            cairo_paint(cr);
            for (double v = -0.2; v < 0.45; v += 0.13)
                for (double u = -0.72 + std::fmod(v + 0.2, 0.26) / 0.13 * 0.08; u < 0; u += 0.16) {
                    Dot(u, v + 0.02, 0.025, p.outline);
                    Poly({{u - 0.02, v + 0.01}, {u + 0.02, v + 0.01}, {u, v - 0.06}});
                    SetRgb(cr, p.outline);
                    cairo_fill(cr);
                }
            break;
        case Pattern::Checks:
            for (double v = -0.3; v < 0.45; v += 0.11)
                for (double u = -0.77 + std::fmod(v + 0.3, 0.22) / 0.11 * 0.11; u < 0; u += 0.22)
                    cairo_rectangle(cr, u, v, 0.11, 0.11);
            cairo_fill(cr);
            break;
        case Pattern::Stripes:
            for (double u = -0.72; u < 0; u += 0.12) cairo_rectangle(cr, u, -0.3, 0.05, 0.8);
            cairo_fill(cr);
            break;
        case Pattern::Dots:
            for (double v = -0.2; v < 0.45; v += 0.1)
                for (double u = -0.72 + std::fmod(v + 0.2, 0.2) / 0.1 * 0.06; u < 0; u += 0.12) Dot(u, v, 0.025, ink);
            break;
        case Pattern::Scallops:
            for (double v = -0.2; v < 0.45; v += 0.1)
                for (double u = -0.8; u < 0; u += 0.12) {
                    cairo_new_sub_path(cr);
                    cairo_arc_negative(cr, u + 0.06, v, 0.06, kPi, 0);
                }
            cairo_stroke(cr);
            break;
        case Pattern::Chevrons:
            for (double v = -0.25; v < 0.5; v += 0.12) {
                cairo_move_to(cr, -0.8, v);
                for (double u = -0.8; u < 0; u += 0.2) {
                    cairo_line_to(cr, u + 0.1, v + 0.07);
                    cairo_line_to(cr, u + 0.2, v);
                }
            }
            cairo_set_line_width(cr, 0.04);
            cairo_stroke(cr);
            break;
        case Pattern::Crosses:
            for (double v = -0.2; v < 0.45; v += 0.12)
                for (double u = -0.7 + std::fmod(v + 0.2, 0.24) / 0.12 * 0.07; u < 0; u += 0.14) {
                    cairo_rectangle(cr, u - 0.04, v - 0.013, 0.08, 0.026);
                    cairo_rectangle(cr, u - 0.013, v - 0.04, 0.026, 0.08);
                }
            cairo_fill(cr);
            break;
        case Pattern::Bands:
            for (double v = -0.25; v < 0.5; v += 0.14) cairo_rectangle(cr, -1, v, 1, 0.05);
            cairo_fill(cr);
            break;
        case Pattern::Zigzag:
            for (double v = -0.25; v < 0.5; v += 0.13) {
                cairo_move_to(cr, -0.8, v);
                bool up = true;
                for (double u = -0.76; u < 0.04; u += 0.04, up = !up) cairo_line_to(cr, u, up ? v + 0.05 : v);
            }
            cairo_set_line_width(cr, 0.035);
            cairo_stroke(cr);
            break;
        case Pattern::Quarters:
            // Parti-coloured: the lower quarter in the lining's colour, edged with gold.
            cairo_rectangle(cr, -1, -1, 1, 1.14);
            SetRgb(cr, LiningColour());
            cairo_fill(cr);
            Line(-1, 0.14, 0, 0.14, 0.04, p.trim);
            break;
        case Pattern::Diagonals:
            for (double u = -1.4; u < 0.2; u += 0.14) {
                cairo_move_to(cr, u, -0.3);
                cairo_line_to(cr, u + 0.8, 0.5);
            }
            cairo_set_line_width(cr, 0.045);
            cairo_stroke(cr);
            break;
        }
    }

    // A veil or hood lies behind the hair and the shoulders' top edge.
    void HeadCovering() {
        if (c.hat == Hat::Veiled) {
            cairo_move_to(cr, -0.25, 0.30);
            cairo_curve_to(cr, -0.26, 0.70, -0.18, 0.84, 0, 0.84);
            cairo_curve_to(cr, 0.18, 0.84, 0.26, 0.70, 0.25, 0.30);
            cairo_close_path(cr);
            Paint(Mix(p.collar, LiningColour(), 0.12));
        } else {
            cairo_move_to(cr, -0.24, 0.38);
            cairo_curve_to(cr, -0.27, 0.76, -0.16, 0.88, 0, 0.88);
            cairo_curve_to(cr, 0.16, 0.88, 0.27, 0.76, 0.24, 0.38);
            cairo_close_path(cr);
            Paint(LiningColour());
        }
    }

    void HairBehind() {
        switch (c.hair) {
        case Hair::Short:
        case Hair::Fringe:
            Ellipse(0, 0.63, 0.165, 0.16);
            break;
        case Hair::Curls:
            for (int i = 0; i <= 8; ++i) {
                const double a = kPi * (-0.15 + 1.3 * i / 8.0);
                cairo_new_sub_path(cr);
                cairo_arc(cr, 0.16 * std::cos(a), 0.62 + 0.15 * std::sin(a), 0.055, 0, 2 * kPi);
            }
            break;
        case Hair::Bob:
            cairo_move_to(cr, -0.185, 0.49);
            cairo_curve_to(cr, -0.23, 0.84, 0.23, 0.84, 0.185, 0.49);
            cairo_close_path(cr);
            break;
        case Hair::Long:
            cairo_move_to(cr, -0.19, 0.34);
            cairo_curve_to(cr, -0.27, 0.55, -0.24, 0.80, 0, 0.80);
            cairo_curve_to(cr, 0.24, 0.80, 0.27, 0.55, 0.19, 0.34);
            cairo_close_path(cr);
            break;
        case Hair::Braids:
            Ellipse(0, 0.63, 0.16, 0.155);
            for (double side : {-1.0, 1.0})
                for (double v = 0.52; v > 0.27; v -= 0.065) {
                    cairo_new_sub_path(cr);
                    cairo_arc(cr, side * (0.17 + (0.52 - v) * 0.12), v, 0.038, 0, 2 * kPi);
                }
            break;
        }
        if (c.hat == Hat::Hood) {
            cairo_new_path(cr);
            return;
        }
        Paint(c.hairColour);
    }

    void Head() {
        Ellipse(0, 0.61, 0.14, 0.16);
        Paint(p.skin);
        const double look = c.turn * 0.035;
        if (c.hair == Hair::Fringe && c.hat != Hat::Hood) {
            cairo_move_to(cr, -0.14, 0.66);
            cairo_curve_to(cr, -0.08, 0.70, 0.06, 0.70, 0.14, 0.66);
            cairo_line_to(cr, 0.14, 0.74);
            cairo_line_to(cr, -0.14, 0.74);
            cairo_close_path(cr);
            SetRgb(cr, c.hairColour);
            cairo_fill(cr);
        }
        Dot(-0.05 + look, 0.625, 0.02, p.outline);
        Dot(0.05 + look, 0.625, 0.02, p.outline);
        Line(look * 1.2, 0.60, look * 1.6 + 0.01, 0.56, 0.02, Mix(p.skin, p.outline, 0.45));
        if (c.beard == Beard::None) Line(-0.03 + look, 0.52, 0.03 + look, 0.52, 0.025, {0.78, 0.25, 0.25});
    }

    void Beards() {
        const Rgb hair = c.hairColour;
        switch (c.beard) {
        case Beard::None:
            return;
        case Beard::Long:
            cairo_move_to(cr, -0.13, 0.58);
            cairo_curve_to(cr, -0.15, 0.40, -0.05, 0.30, 0, 0.26);
            cairo_curve_to(cr, 0.05, 0.30, 0.15, 0.40, 0.13, 0.58);
            cairo_curve_to(cr, 0.05, 0.52, -0.05, 0.52, -0.13, 0.58);
            break;
        case Beard::Forked:
            cairo_move_to(cr, -0.13, 0.58);
            cairo_curve_to(cr, -0.14, 0.42, -0.10, 0.36, -0.06, 0.32);
            cairo_line_to(cr, 0, 0.40);
            cairo_line_to(cr, 0.06, 0.32);
            cairo_curve_to(cr, 0.10, 0.36, 0.14, 0.42, 0.13, 0.58);
            cairo_curve_to(cr, 0.05, 0.52, -0.05, 0.52, -0.13, 0.58);
            break;
        case Beard::Short:
            cairo_move_to(cr, -0.135, 0.60);
            cairo_curve_to(cr, -0.13, 0.46, 0.13, 0.46, 0.135, 0.60);
            cairo_curve_to(cr, 0.06, 0.52, -0.06, 0.52, -0.135, 0.60);
            break;
        case Beard::Moustache:
            cairo_move_to(cr, -0.11, 0.51);
            cairo_curve_to(cr, -0.06, 0.57, 0.06, 0.57, 0.11, 0.51);
            cairo_curve_to(cr, 0.05, 0.535, -0.05, 0.535, -0.11, 0.51);
            break;
        }
        cairo_close_path(cr);
        Paint(hair);
    }

    void Crown(double base, double height, int points) {
        cairo_move_to(cr, -0.15, base);
        cairo_line_to(cr, -0.17, base + height);
        for (int i = 1; i < points; ++i) {
            const double u = -0.17 + 0.34 * i / points;
            cairo_line_to(cr, u - 0.17 / points, base + height * 0.5);
            cairo_line_to(cr, u, base + height * (i % 2 == 1 && points % 2 == 0 ? 1.15 : 1.0));
        }
        cairo_line_to(cr, 0.17 - 0.17 / points, base + height * 0.5);
        cairo_line_to(cr, 0.17, base + height);
        cairo_line_to(cr, 0.15, base);
        cairo_close_path(cr);
        Paint(p.trim);
    }

    void Headwear() {
        const Rgb jewel = p.robes[c.robe == 0 ? 1 : 0];
        switch (c.hat) {
        case Hat::Spiked:
            Crown(0.70, 0.26, 4);
            Dot(0, 0.755, 0.03, jewel);
            break;
        case Hat::Arched:
            // A velvet cap under two gold arches, a cross on top.
            cairo_move_to(cr, -0.15, 0.76);
            cairo_curve_to(cr, -0.16, 0.93, 0.16, 0.93, 0.15, 0.76);
            cairo_close_path(cr);
            Paint(LiningColour());
            cairo_move_to(cr, -0.15, 0.77);
            cairo_curve_to(cr, -0.10, 0.95, 0.10, 0.95, 0.15, 0.77);
            cairo_move_to(cr, 0, 0.77);
            cairo_line_to(cr, 0, 0.90);
            cairo_set_line_width(cr, 0.035);
            SetRgb(cr, p.trim);
            cairo_stroke(cr);
            Line(0, 0.89, 0, 1.02, 0.03, p.trim);
            Line(-0.04, 0.97, 0.04, 0.97, 0.03, p.trim);
            cairo_rectangle(cr, -0.16, 0.70, 0.32, 0.075);
            Paint(p.trim);
            break;
        case Hat::Fleuron:
            cairo_rectangle(cr, -0.16, 0.70, 0.32, 0.09);
            Paint(p.trim);
            for (double u : {-0.12, 0.0, 0.12}) {
                const double v = u == 0 ? 0.88 : 0.85;
                Dot(u, v, 0.035, p.trim);
                Dot(u - 0.035, v - 0.035, 0.025, p.trim);
                Dot(u + 0.035, v - 0.035, 0.025, p.trim);
            }
            Dot(0, 0.745, 0.025, jewel);
            break;
        case Hat::CrownedCap:
            Ellipse(0, 0.80, 0.15, 0.15);
            Paint(LiningColour());
            Crown(0.70, 0.12, 5);
            Dot(0, 0.96, 0.03, p.trim);
            break;
        case Hat::Tiara:
            Crown(0.71, 0.14, 3);
            for (double u : {-0.14, 0.0, 0.14}) Dot(u, u == 0 ? 0.87 : 0.86, 0.025, p.trim);
            break;
        case Hat::Veiled:
            Crown(0.72, 0.10, 5);
            break;
        case Hat::Pearls:
            cairo_move_to(cr, -0.16, 0.70);
            cairo_curve_to(cr, -0.14, 0.82, 0.14, 0.82, 0.16, 0.70);
            cairo_set_line_width(cr, 0.03);
            SetRgb(cr, p.trim);
            cairo_stroke(cr);
            for (int i = 0; i <= 6; ++i) {
                const double a = kPi * (0.12 + 0.76 * i / 6.0);
                Dot(-0.17 * std::cos(a), 0.70 + 0.10 * std::sin(a), 0.024, p.collar);
            }
            for (int petal = 0; petal < 5; ++petal) {
                const double a = petal * 2 * kPi / 5;
                Dot(-0.17 + 0.035 * std::sin(a), 0.76 + 0.035 * std::cos(a), 0.03, p.robes[0]);
            }
            break;
        case Hat::Hood:
            // A gold circlet across the brow, and the hood's edge framing the face.
            cairo_new_sub_path(cr);
            cairo_arc(cr, 0, 0.61, 0.175, 0, 2 * kPi);
            cairo_set_line_width(cr, 0.04);
            SetRgb(cr, Mix(LiningColour(), p.outline, 0.3));
            cairo_stroke(cr);
            cairo_rectangle(cr, -0.15, 0.70, 0.30, 0.045);
            Paint(p.trim);
            Dot(0, 0.722, 0.028, p.robes[1]);
            break;
        case Hat::FeatherCap:
            cairo_move_to(cr, -0.19, 0.70);
            cairo_curve_to(cr, -0.20, 0.88, 0.16, 0.92, 0.23, 0.74);
            cairo_curve_to(cr, 0.10, 0.70, -0.05, 0.68, -0.19, 0.70);
            cairo_close_path(cr);
            Paint(RobeColour());
            cairo_move_to(cr, 0.10, 0.82);
            cairo_curve_to(cr, 0.20, 0.95, 0.32, 0.98, 0.42, 0.95);
            cairo_set_line_width(cr, 0.05);
            SetRgb(cr, p.collar);
            cairo_stroke(cr);
            break;
        case Hat::Beret:
            cairo_save(cr);
            cairo_translate(cr, 0.04, 0.77);
            cairo_rotate(cr, -0.18);
            Ellipse(0, 0, 0.23, 0.075);
            cairo_restore(cr);
            Paint(LiningColour());
            Dot(0.16, 0.76, 0.03, p.trim);
            break;
        case Hat::Brimmed:
            cairo_move_to(cr, -0.12, 0.72);
            cairo_line_to(cr, -0.11, 0.90);
            cairo_curve_to(cr, -0.04, 0.93, 0.04, 0.93, 0.11, 0.90);
            cairo_line_to(cr, 0.12, 0.72);
            cairo_close_path(cr);
            Paint(LiningColour());
            cairo_rectangle(cr, -0.12, 0.74, 0.24, 0.04);
            Paint(p.trim);
            Ellipse(0, 0.72, 0.27, 0.045);
            Paint(LiningColour());
            break;
        case Hat::Helmet:
            cairo_move_to(cr, -0.18, 0.68);
            cairo_curve_to(cr, -0.19, 0.93, 0.19, 0.93, 0.18, 0.68);
            cairo_close_path(cr);
            Paint(p.blade);
            cairo_move_to(cr, 0, 0.86);
            cairo_curve_to(cr, 0.08, 1.02, 0.22, 1.0, 0.30, 0.92);
            cairo_curve_to(cr, 0.20, 0.92, 0.08, 0.90, 0, 0.86);
            cairo_close_path(cr);
            Paint(LiningColour());
            Line(-0.18, 0.70, 0.18, 0.70, 0.035, Mix(p.blade, p.outline, 0.4));
            break;
        }
    }

    // Long attributes stand behind the shoulder; the hand and small ones are drawn last.
    void ItemBehind() {
        switch (c.item) {
        case Item::Sword:
            Poly({{0.35, 0.30}, {0.35, 0.90}, {0.385, 0.97}, {0.42, 0.90}, {0.42, 0.30}});
            Paint(p.blade);
            break;
        case Item::Axe:
            Staff(0.42, -0.3, 0.92, 0.04);
            cairo_move_to(cr, 0.42, 0.90);
            cairo_curve_to(cr, 0.58, 0.96, 0.66, 0.86, 0.64, 0.74);
            cairo_curve_to(cr, 0.58, 0.78, 0.50, 0.78, 0.42, 0.74);
            cairo_close_path(cr);
            Paint(p.blade);
            break;
        case Item::Lily:
            Line(0.40, -0.3, 0.40, 0.86, 0.03, p.trim);
            for (double side : {-1.0, 1.0}) {
                cairo_move_to(cr, 0.40, 0.86);
                cairo_curve_to(cr, 0.40 + side * 0.10, 0.86, 0.40 + side * 0.10, 0.96, 0.40 + side * 0.03, 0.98);
                cairo_curve_to(cr, 0.40 + side * 0.06, 0.92, 0.40 + side * 0.03, 0.88, 0.40, 0.88);
                cairo_close_path(cr);
                Paint(p.trim);
            }
            Poly({{0.40, 1.04}, {0.43, 0.94}, {0.40, 0.86}, {0.37, 0.94}});
            Paint(p.trim);
            break;
        case Item::Lance:
            Staff(0.42, -0.3, 1.0, 0.035);
            Poly({{0.42, 1.08}, {0.455, 0.98}, {0.385, 0.98}});
            Paint(p.blade);
            Poly({{0.43, 0.95}, {0.68, 0.88}, {0.43, 0.80}});
            Paint(LiningColour());
            break;
        case Item::Halberd:
            Staff(0.40, -0.3, 0.92, 0.04);
            cairo_move_to(cr, 0.40, 0.88);
            cairo_curve_to(cr, 0.55, 0.88, 0.58, 0.74, 0.55, 0.68);
            cairo_line_to(cr, 0.40, 0.73);
            cairo_close_path(cr);
            Paint(p.blade);
            Poly({{0.35, 0.80}, {0.31, 0.78}, {0.35, 0.74}});
            Paint(p.blade);
            Poly({{0.37, 0.90}, {0.40, 1.02}, {0.43, 0.90}});
            Paint(p.blade);
            break;
        case Item::Bow:
            cairo_move_to(cr, 0.46, 0.02);
            cairo_curve_to(cr, 0.70, 0.25, 0.70, 0.72, 0.46, 0.95);
            cairo_set_line_width(cr, 0.06);
            SetRgb(cr, p.outline);
            cairo_stroke_preserve(cr);
            cairo_set_line_width(cr, 0.035);
            SetRgb(cr, p.wood);
            cairo_stroke(cr);
            Line(0.46, 0.02, 0.46, 0.95, 0.012, p.outline);
            break;
        default:
            break;
        }
    }

    void ItemInFront() {
        double hand[2] = {0.38, 0.24};
        switch (c.item) {
        case Item::Sword:
            cairo_rectangle(cr, 0.29, 0.27, 0.19, 0.04);
            Paint(p.trim);
            cairo_rectangle(cr, 0.37, 0.14, 0.03, 0.13);
            Paint(p.wood);
            hand[0] = 0.385;
            hand[1] = 0.21;
            break;
        case Item::Axe:
        case Item::Lance:
            hand[0] = 0.42;
            hand[1] = 0.26;
            break;
        case Item::Halberd:
            hand[0] = 0.40;
            hand[1] = 0.26;
            break;
        case Item::Lily:
            hand[0] = 0.40;
            hand[1] = 0.30;
            break;
        case Item::Orb:
            hand[0] = 0.27;
            hand[1] = 0.19;
            Ellipse(0.27, 0.32, 0.10, 0.10);
            Paint(p.trim);
            Line(0.17, 0.32, 0.37, 0.32, 0.025, Mix(p.trim, p.outline, 0.5));
            Line(0.27, 0.42, 0.27, 0.52, 0.025, p.trim);
            Line(0.235, 0.48, 0.305, 0.48, 0.025, p.trim);
            break;
        case Item::Sceptre:
            hand[0] = 0.36;
            hand[1] = 0.24;
            Line(0.36, 0.12, 0.36, 0.78, 0.035, p.trim);
            Poly({{0.36, 0.92}, {0.41, 0.82}, {0.36, 0.76}, {0.31, 0.82}});
            Paint(p.robes[1]);
            Dot(0.36, 0.94, 0.025, p.trim);
            break;
        case Item::Rose:
            hand[0] = 0.27;
            hand[1] = 0.22;
            Line(0.27, 0.22, 0.34, 0.54, 0.03, p.leaf);
            cairo_save(cr);
            cairo_translate(cr, 0.30, 0.40);
            cairo_rotate(cr, 0.7);
            Ellipse(0.05, 0, 0.06, 0.025);
            cairo_restore(cr);
            SetRgb(cr, p.leaf);
            cairo_fill(cr);
            for (int petal = 0; petal < 5; ++petal) {
                const double a = petal * 2 * kPi / 5;
                Dot(0.34 + 0.045 * std::sin(a), 0.58 + 0.045 * std::cos(a), 0.042, p.robes[0]);
            }
            Dot(0.34, 0.58, 0.03, Mix(p.robes[0], p.outline, 0.35));
            break;
        case Item::Leaf:
            hand[0] = 0.33;
            hand[1] = 0.24;
            cairo_move_to(cr, 0.33, 0.24);
            cairo_curve_to(cr, 0.36, 0.50, 0.42, 0.70, 0.46, 0.90);
            cairo_set_line_width(cr, 0.025);
            SetRgb(cr, p.leaf);
            cairo_stroke(cr);
            for (int i = 0; i < 4; ++i) {
                const double t = 0.35 + 0.18 * i;
                const double u = 0.34 + 0.12 * (t - 0.24) / 0.66 * 0.8, v = t;
                for (double side : {-1.0, 1.0}) {
                    if (i == 3 && side > 0) continue;
                    cairo_save(cr);
                    cairo_translate(cr, u, v);
                    cairo_rotate(cr, side * 0.9 + 1.5);
                    Ellipse(0.06, 0, 0.07, 0.028);
                    cairo_restore(cr);
                    Paint(p.leaf);
                }
            }
            break;
        case Item::Fan:
            hand[0] = 0.30;
            hand[1] = 0.26;
            cairo_move_to(cr, 0.30, 0.28);
            cairo_arc(cr, 0.30, 0.28, 0.24, kPi * 0.2, kPi * 0.8);
            cairo_close_path(cr);
            Paint(Mix(p.collar, p.trim, 0.35));
            for (int rib = 0; rib <= 6; ++rib) {
                const double a = kPi * (0.2 + 0.6 * rib / 6.0);
                Line(0.30, 0.28, 0.30 + 0.24 * std::cos(a), 0.28 + 0.24 * std::sin(a), 0.012,
                     Mix(p.trim, p.outline, 0.4));
            }
            break;
        case Item::Torch:
            hand[0] = 0.36;
            hand[1] = 0.22;
            Staff(0.36, 0.10, 0.62, 0.04);
            Poly({{0.30, 0.66}, {0.42, 0.66}, {0.39, 0.60}, {0.33, 0.60}});
            Paint(p.trim);
            cairo_move_to(cr, 0.36, 0.96);
            cairo_curve_to(cr, 0.30, 0.86, 0.28, 0.72, 0.36, 0.67);
            cairo_curve_to(cr, 0.44, 0.72, 0.42, 0.86, 0.36, 0.96);
            cairo_close_path(cr);
            Paint(p.flame);
            Ellipse(0.36, 0.74, 0.03, 0.05);
            SetRgb(cr, p.trim);
            cairo_fill(cr);
            break;
        case Item::Bow:
            hand[0] = 0.47;
            hand[1] = 0.48;
            break;
        }
        // The sleeve from the shoulder to the hand, then the hand.
        cairo_move_to(cr, 0.50, 0.30);
        cairo_line_to(cr, hand[0], hand[1]);
        cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
        cairo_set_line_width(cr, 0.13 + 1.0 / unit);
        SetRgb(cr, p.outline);
        cairo_stroke_preserve(cr);
        cairo_set_line_width(cr, 0.13);
        SetRgb(cr, Mix(LiningColour(), p.outline, 0.15));
        cairo_stroke(cr);
        cairo_set_line_cap(cr, CAIRO_LINE_CAP_BUTT);
        Ellipse(hand[0], hand[1], 0.055, 0.048);
        Paint(p.skin);
    }

    cairo_t* cr;
    const Palette& p;
    const Court& c;
    double unit;
};

}  // namespace

void DrawCourtPicture(cairo_t* cr, bool modern, int suit, int rank, Rgb suitColour, double x, double y, double w,
                      double h) {
    const Palette palette = modern ? ModernPalette() : ClassicPalette();
    const Court& court = kCourts[suit][rank - kJack];
    const double cx = x + w / 2;
    const double cy = y + h / 2;
    // The classic divider slants, the modern one is level.
    const double slant = modern ? 0 : 0.07 * w;
    // One figure unit, a little wider than a narrow frame so the shoulders fill it.
    const double unit = std::min(w * 1.25, h / 2 * 0.92);

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
        cairo_save(cr);
        cairo_translate(cr, cx, cy);
        cairo_scale(cr, court.side * unit, -unit);
        Figure(cr, palette, court, unit).Draw(rank);
        cairo_restore(cr);
        // The suit in the upper corner away from the attribute.
        SetRgb(cr, suitColour);
        FillSuit(cr, suit, cx - court.side * 0.44 * unit, cy - 0.86 * unit, std::max(0.2 * unit, 5.5));
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
