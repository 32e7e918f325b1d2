// Court card pictures: twelve double-ended figures, each with its own face, pose, headwear,
// hair, beard, costume and attribute, drawn half-length upwards from the dividing line and
// again turned half a turn. The classic front draws them as engraved figures (outlined pieces
// in two or three tones of each colour, folds and fine line-work where the scale allows); the
// modern front draws each as flat geometric shapes without outlines. A figure is drawn in its
// own units (one unit is half the frame's height) with v upwards; a figure that holds its
// attribute on the left is the same drawing mirrored.
#include <algorithm>
#include <array>
#include <cmath>
#include <initializer_list>
#include <numbers>
#include <utility>

#include "tools/artgen/card_paint.h"

namespace card_paint {

namespace {

constexpr double kPi = std::numbers::pi;
constexpr int kJack = 9;
constexpr int kQueen = 10;
constexpr int kKing = 11;
constexpr Rgb kWhite{1, 1, 1};

enum class Item { Sword, Axe, Orb, Sceptre, Lily, Rose, Leaf, Fan, Lance, Torch, Halberd, Bow };
enum class Hat { Spiked, Arched, Fleuron, CrownedCap, Tiara, Veiled, Pearls, Hood, FeatherCap, Beret, Brimmed, Helmet };
enum class Hair { Short, Curls, Bob, Long, Braids, Fringe };
enum class Beard { None, Long, Forked, Short, Moustache };
enum class Pattern { Lozenges, Ermine, Checks, Stripes, Dots, Scallops, Chevrons, Crosses, Bands, Zigzag, Quarters, Diagonals };
// What the hand without the attribute does, each figure its own: lies flat on the chest, rests
// on the belt, gathers the mantle's edge, holds a gauntlet, grips a dagger's hilt, holds a book,
// is raised open, holds a hunting horn, a hand mirror, a purse, a rolled charter or an arrow.
enum class Gesture { Chest, Belt, Cloak, Glove, Hilt, Book, Palm, Horn, Mirror, Purse, Scroll, Arrow };
// The nose's shape: straight, hooked at the bridge, short and turned up, or broad at the wings.
enum class Nose { Straight, Hooked, Snub, Broad };

// Robe colours by number: 0 red, 1 blue, 2 gold, 3 green, 4 purple (each design has its own
// shades of these).
struct Court {
    Item item;
    Hat hat;
    Hair hair;
    Beard beard;
    Pattern pattern;
    Gesture gesture;
    double turn;   // where the face looks: -1 away from the attribute .. 1 towards it
    double tilt;   // the head's lean in radians, positive towards the attribute
    double eyes;   // half the distance between the eyes
    double nose;   // the nose's length
    double smile;  // the mouth's curve: negative stern, positive smiling
    int robe;      // the mantle
    int lining;    // the sleeves and the front of the gown
    Rgb hairColour;
    Nose noseShape;
    double jaw;    // the jaw's width against the cheeks': narrow for the young, broad for the old
    double arch;   // how high the brows arch: 0 straight and low .. 1 high and round
    int iris;      // the eyes' colour: 0 brown, 1 blue, 2 green, 3 grey
    double raise;  // how much higher than the attribute's usual place the hand holds it
    double lean;   // how far the attribute leans from its usual angle, towards the head when positive
};

constexpr Rgb kGrey{0.66, 0.64, 0.62}, kBrown{0.42, 0.25, 0.12}, kBlack{0.16, 0.13, 0.12},
    kGinger{0.78, 0.42, 0.14}, kFair{0.93, 0.72, 0.30}, kAuburn{0.55, 0.20, 0.10};

// Rows by suit (spade, heart, club, diamond), columns Jack, Queen, King.
constexpr Court kCourts[4][3] = {
    {{Item::Lance, Hat::FeatherCap, Hair::Short, Beard::None,
      Pattern::Bands, Gesture::Hilt, 0.5, 0.1, 0.050, 0.05, 0.4, 1, 3, kBrown,
      Nose::Straight, 0.80, 0.5, 1, -0.05, 0},
     {Item::Lily, Hat::Tiara, Hair::Long, Beard::None,
      Pattern::Dots, Gesture::Book, 0.3, -0.08, 0.055, 0.035, 0.3, 1, 4, kFair,
      Nose::Straight, 0.72, 0.8, 2, 0.03, -0.06},
     {Item::Sword, Hat::Spiked, Hair::Short, Beard::Long,
      Pattern::Lozenges, Gesture::Palm, 0, 0.04, 0.050, 0.06, -0.2, 1, 0, kGrey,
      Nose::Hooked, 1.0, 0.2, 1, 0.04, -0.12}},
    {{Item::Torch, Hat::Beret, Hair::Curls, Beard::None,
      Pattern::Zigzag, Gesture::Horn, -0.5, -0.12, 0.047, 0.045, 0.2, 0, 3, kBlack,
      Nose::Snub, 0.85, 0.6, 0, 0.10, 0},
     {Item::Rose, Hat::Veiled, Hair::Long, Beard::None,
      Pattern::Scallops, Gesture::Mirror, -0.4, 0.11, 0.052, 0.04, 0.5, 0, 1, kBlack,
      Nose::Straight, 0.75, 0.7, 0, 0.06, 0.1},
     {Item::Axe, Hat::Arched, Hair::Curls, Beard::Forked,
      Pattern::Ermine, Gesture::Glove, 0.5, 0.06, 0.048, 0.055, -0.4, 0, 2, kBrown,
      Nose::Broad, 1.05, 0.1, 0, 0, 0}},
    {{Item::Halberd, Hat::Brimmed, Hair::Bob, Beard::None,
      Pattern::Quarters, Gesture::Purse, -0.3, -0.07, 0.052, 0.04, 0, 3, 1, kFair,
      Nose::Hooked, 0.9, 0.3, 3, 0.02, -0.14},
     {Item::Leaf, Hat::Pearls, Hair::Braids, Beard::None,
      Pattern::Chevrons, Gesture::Cloak, 0, 0.08, 0.050, 0.03, 0.4, 3, 2, kGinger,
      Nose::Snub, 0.78, 0.9, 2, 0, -0.1},
     {Item::Orb, Hat::Fleuron, Hair::Short, Beard::Short,
      Pattern::Checks, Gesture::Scroll, -0.5, -0.09, 0.055, 0.05, 0.1, 3, 0, kBlack,
      Nose::Straight, 1.0, 0.4, 0, 0.02, 0}},
    {{Item::Bow, Hat::Helmet, Hair::Fringe, Beard::None,
      Pattern::Diagonals, Gesture::Arrow, 0.4, 0.12, 0.048, 0.05, -0.1, 2, 0, kAuburn,
      Nose::Broad, 0.88, 0.4, 2, 0, 0},
     {Item::Fan, Hat::Hood, Hair::Fringe, Beard::None,
      Pattern::Crosses, Gesture::Chest, 0.4, -0.1, 0.050, 0.035, 0.2, 4, 0, kAuburn,
      Nose::Straight, 0.74, 0.6, 1, 0.05, 0.1},
     {Item::Sceptre, Hat::CrownedCap, Hair::Bob, Beard::Moustache,
      Pattern::Stripes, Gesture::Belt, -0.3, 0.05, 0.052, 0.06, -0.3, 4, 2, kGinger,
      Nose::Hooked, 0.95, 0.3, 3, -0.02, -0.1}},
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
    Rgb lips;
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
            {0.12, 0.12, 0.14},
            {0.78, 0.25, 0.25}};
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
            {0.14, 0.20, 0.34},
            {0.86, 0.30, 0.32}};
}

struct Point {
    double u, v;
};

// Paths and strokes in figure units shared by both drawings.
class Pen {
public:
    Pen(cairo_t* cr, double pixel) : cr(cr), pixel(pixel) {}
    virtual ~Pen() = default;

protected:
    // Fills the current path as one piece in the drawing's own manner (inked, or flat in two
    // tones).
    virtual void Piece(Rgb colour) = 0;
    void Ellipse(double u, double v, double ru, double rv) {
        cairo_save(cr);
        cairo_translate(cr, u, v);
        cairo_scale(cr, ru, rv);
        cairo_new_sub_path(cr);
        cairo_arc(cr, 0, 0, 1, 0, 2 * kPi);
        cairo_restore(cr);
    }
    void Poly(std::initializer_list<Point> points) {
        bool first = true;
        for (const Point& q : points) {
            if (first) cairo_move_to(cr, q.u, q.v);
            else cairo_line_to(cr, q.u, q.v);
            first = false;
        }
        cairo_close_path(cr);
    }
    void Fill(Rgb colour) {
        SetRgb(cr, colour);
        cairo_fill(cr);
    }
    void Dot(double u, double v, double r, Rgb colour) {
        cairo_new_sub_path(cr);
        cairo_arc(cr, u, v, r, 0, 2 * kPi);
        Fill(colour);
    }
    void Line(double u0, double v0, double u1, double v1, double width, Rgb colour) {
        cairo_move_to(cr, u0, v0);
        cairo_line_to(cr, u1, v1);
        Stroke(width, colour);
    }
    void Stroke(double width, Rgb colour) {
        cairo_set_line_width(cr, width);
        SetRgb(cr, colour);
        cairo_stroke(cr);
    }
    // A limb from a shoulder through an elbow to a wrist, widths w0 at the shoulder and w1 at
    // the wrist, as one closed path bent smoothly at the elbow.
    void LimbPath(Point s, Point e, Point h, double w0, double w1) {
        auto normal = [](Point a, Point b) {
            const double du = b.u - a.u, dv = b.v - a.v, l = std::hypot(du, dv);
            return Point{-dv / l, du / l};
        };
        const Point n0 = normal(s, e), n1 = normal(e, h);
        Point ne{n0.u + n1.u, n0.v + n1.v};
        const double l = std::hypot(ne.u, ne.v);
        ne = {ne.u / l, ne.v / l};
        const double wm = (w0 + w1) / 2;
        cairo_move_to(cr, s.u + n0.u * w0 / 2, s.v + n0.v * w0 / 2);
        cairo_curve_to(cr, e.u + ne.u * wm / 2, e.v + ne.v * wm / 2, e.u + ne.u * wm / 2, e.v + ne.v * wm / 2,
                       h.u + n1.u * w1 / 2, h.v + n1.v * w1 / 2);
        cairo_line_to(cr, h.u - n1.u * w1 / 2, h.v - n1.v * w1 / 2);
        cairo_curve_to(cr, e.u - ne.u * wm / 2, e.v - ne.v * wm / 2, e.u - ne.u * wm / 2, e.v - ne.v * wm / 2,
                       s.u - n0.u * w0 / 2, s.v - n0.v * w0 / 2);
        cairo_close_path(cr);
    }

    // The thing the hand without the attribute holds, at the hand's place at, laid along angle:
    // drawn before the hand, which closes over it. Pieces in the drawing's own manner; lines
    // in the drawing's ink.
    void Prop(Gesture gesture, Point at, double angle, const Palette& p, Rgb lining, Rgb ink, bool fine) {
        cairo_save(cr);
        cairo_translate(cr, at.u, at.v);
        cairo_rotate(cr, angle);
        const double mirror = std::cos(angle) < -0.1 ? -1 : 1;  // keeps a prop's top side up
        cairo_scale(cr, 1, mirror);
        switch (gesture) {
        case Gesture::Hilt:
            // A dagger in its sheath at the hip: the fist on the grip, the pommel above it.
            Poly({{0.03, -0.03}, {0.30, -0.018}, {0.33, 0}, {0.30, 0.018}, {0.03, 0.03}});
            Piece(Mix(p.wood, ink, 0.35));
            Poly({{0.25, -0.02}, {0.33, 0}, {0.25, 0.02}});
            Piece(p.trim);
            cairo_rectangle(cr, -0.10, -0.016, 0.12, 0.032);
            Piece(p.wood);
            cairo_rectangle(cr, 0.01, -0.065, 0.03, 0.13);
            Piece(p.trim);
            cairo_new_sub_path(cr);
            cairo_arc(cr, -0.115, 0, 0.028, 0, 2 * kPi);
            Piece(p.trim);
            break;
        case Gesture::Book: {
            // A book held upright against the chest, its pages' edge on the hand's side.
            cairo_rotate(cr, -angle);
            cairo_translate(cr, 0.0, 0.11);
            cairo_rotate(cr, 0.15 * mirror);
            cairo_rectangle(cr, -0.085, -0.11, 0.17, 0.22);
            Piece(Mix(p.collar, p.trim, 0.25));
            cairo_rectangle(cr, -0.085, -0.11, 0.15, 0.22);
            Piece(Mix(p.robes[0], ink, 0.35));
            cairo_rectangle(cr, -0.055, -0.075, 0.09, 0.15);
            Piece(Mix(p.robes[0], ink, 0.2));
            for (double u : {-0.085, 0.065})
                for (double v : {-0.11, 0.08}) {
                    cairo_rectangle(cr, u, v, 0.03, 0.03);
                    Piece(p.trim);
                }
            if (fine)
                for (double v : {-0.095, -0.06, -0.025, 0.01, 0.045, 0.08}) Line(0.07, v, 0.08, v + 0.01, pixel, ink);
            break;
        }
        case Gesture::Horn:
            // A hunting horn of ivory, the mouthpiece in the hand and the bell curving down and
            // out, banded in gold.
            cairo_scale(cr, 1.2, 1.2);
            cairo_move_to(cr, -0.05, 0.014);
            cairo_curve_to(cr, 0.06, 0.035, 0.17, 0.025, 0.275, -0.08);
            cairo_line_to(cr, 0.19, -0.14);
            cairo_curve_to(cr, 0.14, -0.04, 0.06, -0.012, -0.05, -0.012);
            cairo_close_path(cr);
            Piece(Mix(p.collar, p.trim, 0.3));
            Line(0.075, 0.03, 0.08, -0.022, 0.02, p.trim);
            Line(0.165, 0.012, 0.14, -0.05, 0.022, p.trim);
            cairo_save(cr);
            cairo_translate(cr, 0.232, -0.11);
            cairo_rotate(cr, 0.6);
            cairo_scale(cr, 0.05, 0.017);
            cairo_new_sub_path(cr);
            cairo_arc(cr, 0, 0, 1, 0, 2 * kPi);
            cairo_restore(cr);
            Piece(Mix(p.trim, ink, 0.45));
            break;
        case Gesture::Mirror:
            // A hand mirror held up by its handle: a gold rim round the glass and its shine.
            cairo_rectangle(cr, -0.02, -0.014, 0.12, 0.028);
            Piece(p.trim);
            cairo_new_sub_path(cr);
            cairo_arc(cr, 0.17, 0, 0.07, 0, 2 * kPi);
            Piece(p.trim);
            cairo_new_sub_path(cr);
            cairo_arc(cr, 0.17, 0, 0.052, 0, 2 * kPi);
            Piece(Mix(p.blade, kWhite, 0.3));
            Line(0.15, 0.03, 0.19, -0.005, fine ? 2.5 * pixel : 0.02, kWhite);
            break;
        case Gesture::Purse:
            // A purse hanging from its drawstring, a tassel at the bottom.
            Line(-0.02, 0, 0.05, 0, 0.02, Mix(p.trim, ink, 0.3));
            cairo_move_to(cr, 0.04, -0.025);
            cairo_curve_to(cr, 0.07, -0.10, 0.20, -0.10, 0.20, 0);
            cairo_curve_to(cr, 0.20, 0.10, 0.07, 0.10, 0.04, 0.025);
            cairo_close_path(cr);
            Piece(Mix(lining, ink, 0.25));
            cairo_rectangle(cr, 0.04, -0.035, 0.025, 0.07);
            Piece(p.trim);
            cairo_new_sub_path(cr);
            cairo_arc(cr, 0.22, 0, 0.022, 0, 2 * kPi);
            Piece(p.trim);
            if (fine)
                for (double y : {-0.03, 0.0, 0.03}) Line(0.075, y * 0.6, 0.18, y * 1.5, pixel, ink);
            break;
        case Gesture::Scroll:
            // A rolled charter across the hand, a red ribbon and seal hanging from it.
            cairo_move_to(cr, 0.0, 0.0);
            cairo_curve_to(cr, 0.02, -0.10, -0.03, -0.16, 0.02, -0.22);
            Stroke(0.022, p.robes[0]);
            cairo_new_sub_path(cr);
            cairo_arc(cr, 0.02, -0.23, 0.03, 0, 2 * kPi);
            Piece(Mix(p.robes[0], ink, 0.25));
            cairo_rectangle(cr, -0.15, -0.035, 0.30, 0.07);
            Piece(Mix(p.background, kWhite, 0.5));
            for (double u : {-0.15, 0.15}) {
                cairo_save(cr);
                cairo_translate(cr, u, 0);
                cairo_scale(cr, 0.018, 0.035);
                cairo_new_sub_path(cr);
                cairo_arc(cr, 0, 0, 1, 0, 2 * kPi);
                cairo_restore(cr);
                Piece(Mix(p.background, p.wood, 0.3));
            }
            if (fine) Line(-0.13, 0.012, 0.13, 0.012, pixel, Mix(p.background, ink, 0.4));
            break;
        case Gesture::Arrow:
            // An arrow through the fist: the head forward, the fletching behind.
            Line(-0.26, 0, 0.22, 0, 0.018, p.wood);
            Poly({{0.20, -0.03}, {0.29, 0}, {0.20, 0.03}});
            Piece(p.blade);
            for (double y : {-1.0, 1.0}) {
                Poly({{-0.27, 0.008 * y}, {-0.22, 0.045 * y}, {-0.14, 0.045 * y}, {-0.17, 0.008 * y}});
                Piece(lining);
            }
            break;
        default:
            break;
        }
        cairo_restore(cr);
    }

    cairo_t* cr;
    double pixel;  // one device pixel in figure units
};

// Where a figure holds its attribute. Long ones rise beside the head in the hand on the right of
// the picture; small ones (and the axe and bow) are shown in the hand on the left, below the
// index's corner. The attribute is drawn in its own units, where the hand grips it at HandOf,
// moved to grip, turned by angle and scaled by size (mirrored in the left hand).
struct Hold {
    Point grip;
    double angle;
    double size;
    bool left;
};

Hold ItemHold(Item item) {
    switch (item) {
    case Item::Sword:
        return {{0.40, 0.22}, -0.08, 1.0, false};
    case Item::Sceptre:
        return {{0.41, 0.22}, -0.07, 1.0, false};
    case Item::Lance:
        return {{0.42, 0.20}, -0.06, 0.95, false};
    case Item::Halberd:
        return {{0.42, 0.22}, -0.03, 0.92, false};
    case Item::Torch:
        return {{0.41, 0.24}, -0.07, 1.0, false};
    case Item::Lily:
        return {{0.41, 0.24}, -0.06, 0.92, false};
    case Item::Axe:
        return {{-0.16, 0.16}, 0.42, 0.80, true};
    case Item::Bow:
        return {{-0.36, 0.22}, 0.0, 0.70, true};
    case Item::Orb:
        return {{-0.20, 0.24}, 0.0, 1.1, true};
    case Item::Rose:
        return {{-0.16, 0.26}, 0.15, 1.0, true};
    case Item::Leaf:
        return {{-0.18, 0.22}, 0.1, 0.85, true};
    case Item::Fan:
        return {{-0.20, 0.24}, 0.1, 1.0, true};
    }
    return {{0.43, 0.2}, 0, 1, false};
}

// The figure's own hold: its attribute's usual one, raised and leant as the figure's pose says
// (a lean turns the top towards the head in either hand).
Hold HoldOf(const Court& court) {
    Hold hold = ItemHold(court.item);
    hold.grip.v += court.raise;
    hold.angle += hold.left ? -court.lean : court.lean;
    return hold;
}

// Where the hand of each attribute grips it in the attribute's own units.
Point HandOf(Item item) {
    switch (item) {
    case Item::Sword:
        return {0.385, 0.21};
    case Item::Axe:
    case Item::Lance:
        return {0.42, 0.26};
    case Item::Halberd:
        return {0.40, 0.26};
    case Item::Lily:
        return {0.40, 0.30};
    case Item::Orb:
        return {0.27, 0.19};
    case Item::Sceptre:
        return {0.36, 0.24};
    case Item::Rose:
        return {0.27, 0.22};
    case Item::Leaf:
        return {0.33, 0.24};
    case Item::Fan:
        return {0.30, 0.26};
    case Item::Torch:
        return {0.36, 0.22};
    case Item::Bow:
        return {0.47, 0.48};
    }
    return {0.38, 0.24};
}

// Where the hand without the attribute is, on the other side from the attribute's, and the
// way its fingers point: along the chest, on the belt or hip, at the mantle's edge, or raised.
struct Rest {
    Point at;
    double angle;
};

Rest RestOf(const Court& court) {
    const bool right = ItemHold(court.item).left;
    const double out = right ? 0.30 : 0.0;   // the chest's near edge on that side
    const double side = right ? 1 : -1;      // outwards
    const double across = right ? kPi : 0;   // fingers towards the body's middle
    switch (court.gesture) {
    case Gesture::Chest:
        return {{out + 0.01, 0.27}, across + side * 0.5};
    case Gesture::Belt:
        return {{out - 0.05, 0.09}, across};
    case Gesture::Cloak:
        return {{right ? 0.50 : -0.42, 0.06}, kPi / 2};
    case Gesture::Glove:
        return {{right ? 0.37 : -0.13, 0.16}, across};
    case Gesture::Hilt:
        return {{out + side * 0.12, 0.18}, right ? kPi + 0.6 : -0.6};
    case Gesture::Book:
        return {{out + 0.04, 0.17}, across + side * 0.2};
    case Gesture::Palm:
        return {{right ? 0.46 : -0.23, 0.40}, kPi / 2 - side * 0.15};
    case Gesture::Horn:
        return {{out + side * 0.08, 0.27}, across + side * 0.35};
    case Gesture::Mirror:
        return {{out + 0.06, 0.22}, kPi / 2 - side * 0.35};
    case Gesture::Purse:
        return {{out + side * 0.06, 0.25}, -kPi / 2};
    case Gesture::Scroll:
        return {{out + 0.02, 0.21}, across - side * 0.4};
    case Gesture::Arrow:
        return {{out + 0.03, 0.20}, kPi / 2 - side * 0.6};
    }
    return {{out, 0.2}, 0};
}

// The layout every figure shares, in figure units (v up from the dividing line, one unit half
// the frame's height): the head right of the middle, clear of the index's corner, the body
// turned a little so that the shoulders' middle lies between the head and the frame's middle.
constexpr double kHeadU = 0.24;
constexpr double kNeckV = 0.50;
constexpr double kAxisU = 0.08;    // the middle of the shoulders
constexpr double kWaistU = 0.10;   // the middle of the body at the dividing line
constexpr double kShoulderV = 0.40;
constexpr double kBottom = -0.3;   // the costume reaches past the slanted dividing line
// Where the suit stands in the upper half: by the left shoulder below the index, or beside the
// head when the left hand holds the attribute.
constexpr Point kSuitBelowIndex{-0.46, 0.55};
constexpr Point kSuitBesideHead{0.49, 0.86};

// Puts the origin at a hand at `at`, the fingers along +u at `angle` and the thumb's side (+v)
// towards the body's middle, or up when the hand lies across the body.
void TurnToHand(cairo_t* cr, Point at, double angle) {
    cairo_translate(cr, at.u, at.v);
    cairo_rotate(cr, angle);
    const double yu = -std::sin(angle), yv = std::cos(angle);
    cairo_scale(cr, 1, (kAxisU + 0.1 - at.u) * yu + 0.15 * yv >= 0 ? 1 : -1);
}

// The classic figure: every piece outlined in dark ink, each colour in a base, a shadow, a deep
// shadow and a light tone; folds, hatching and the face's finer features only at 2x and 3x,
// where a line can be thinner than the pieces it sits on.
class Figure : public Pen {
public:
    Figure(cairo_t* cr, const Palette& palette, const Court& court, int rank, double pixel, bool fine)
        : Pen(cr, pixel), p(palette), c(court), rank(rank), fine(fine), hold(HoldOf(court)),
          outline((fine ? 1.2 : 0.7) * pixel), hairline(0.9 * pixel) {}

    void Draw() {
        InItemUnits([this] { ItemBehind(); });
        Mantle();
        // The other hand and what it holds or does.
        const Rest rest = RestOf(c);
        const double restForearm = Arm(rest.at, hold.left ? 1 : -1);
        if (c.gesture == Gesture::Glove) Glove(rest.at);
        Prop(c.gesture, rest.at, rest.angle, p, LiningColour(), p.outline, fine);
        if (c.gesture == Gesture::Chest || c.gesture == Gesture::Palm) {
            OpenHand(rest.at, rest.angle);
        } else {
            Hand(rest.at, restForearm, true);
        }
        // The head, its collar and headwear, leaning as the figure's pose says.
        cairo_save(cr);
        cairo_translate(cr, kHeadU, kNeckV);
        cairo_rotate(cr, c.tilt);
        cairo_scale(cr, kHeadScale, kHeadScale);
        cairo_translate(cr, 0, -0.47);
        if (c.hat == Hat::Veiled || c.hat == Hat::Hood) HeadCovering();
        HairBehind();
        Collar();
        Neck();
        Head();
        Beards();
        Headwear();
        cairo_restore(cr);
        const double forearm = Arm(hold.grip, hold.left ? -1 : 1);
        InItemUnits([this] { ItemInFront(); });
        // The fist closes across the attribute's shaft, from the side the forearm comes.
        const double mirror = hold.left ? -1 : 1;
        Point across{std::cos(hold.angle), mirror * std::sin(hold.angle)};
        if (across.u * std::cos(forearm) + across.v * std::sin(forearm) < 0) across = {-across.u, -across.v};
        Hand(hold.grip, std::atan2(across.v, across.u), true);
    }

private:
    void Piece(Rgb colour) override { Paint(colour); }
    Rgb Shadow(Rgb colour) const { return Mix(colour, p.outline, 0.30); }
    Rgb Deep(Rgb colour) const { return Mix(colour, p.outline, 0.52); }
    Rgb Light(Rgb colour) const { return Mix(colour, kWhite, 0.38); }
    Rgb RobeColour() const { return p.robes[c.robe]; }
    Rgb LiningColour() const { return p.robes[c.lining]; }

    // Runs draw with the attribute's own units placed in the hand.
    template <typename F>
    void InItemUnits(F draw) {
        const Point at = HandOf(c.item);
        cairo_save(cr);
        cairo_translate(cr, hold.grip.u, hold.grip.v);
        cairo_rotate(cr, hold.angle);
        cairo_scale(cr, hold.left ? -hold.size : hold.size, hold.size);
        cairo_translate(cr, -at.u, -at.v);
        draw();
        cairo_restore(cr);
    }

    // Fills the current path and traces it in the dark outline, which keeps the pieces apart at
    // 1x.
    void Paint(Rgb colour) {
        SetRgb(cr, colour);
        cairo_fill_preserve(cr);
        Ink();
    }
    void Ink() {
        SetRgb(cr, p.outline);
        cairo_set_line_width(cr, outline);
        cairo_stroke(cr);
    }
    // A fold: a thin dark line with a light one beside it, at 2x and 3x only.
    void Fold(double u0, double v0, double cu, double cv, double u1, double v1, Rgb colour) {
        if (!fine) return;
        cairo_move_to(cr, u0, v0);
        cairo_curve_to(cr, cu, cv, cu, cv, u1, v1);
        Stroke(hairline, Deep(colour));
        cairo_move_to(cr, u0 + 0.014, v0);
        cairo_curve_to(cr, cu + 0.014, cv, cu + 0.014, cv, u1 + 0.014, v1);
        Stroke(hairline, Light(colour));
    }
    // A staff with a dark edge, so it reads against any robe.
    void Staff(double u, double v0, double v1, double width) {
        Line(u, v0, u, v1, width + 2 * outline, p.outline);
        Line(u, v0, u, v1, width, p.wood);
        if (fine) Line(u - width * 0.25, v0, u - width * 0.25, v1, width * 0.3, Light(p.wood));
    }

    static constexpr double kHeadScale = 0.95;

    // Half the shoulders' width: kings broad, queens narrow.
    double Shoulder() const { return rank == kQueen ? 0.45 : rank == kKing ? 0.51 : 0.48; }
    // The body's middle at height v, between the shoulders' and the waist's.
    static double AxisAt(double v) { return kWaistU + (kAxisU - kWaistU) * v / kShoulderV; }

    // The mantle from the neck over both rounded shoulders and straight down the arms to the
    // dividing line, a strip of the background left beside it at the frame's edges.
    void MantlePath() {
        const double l = kAxisU - Shoulder(), r = kAxisU + Shoulder();
        cairo_move_to(cr, kHeadU - 0.09, kNeckV + 0.01);
        cairo_curve_to(cr, kHeadU - 0.18, kNeckV - 0.03, l + 0.24, kShoulderV + 0.02, l + 0.09, kShoulderV - 0.01);
        cairo_curve_to(cr, l + 0.01, kShoulderV - 0.03, l - 0.03, kShoulderV - 0.08, l - 0.035, kShoulderV - 0.14);
        cairo_curve_to(cr, l - 0.04, 0.10, l - 0.08, 0.0, l - 0.12, kBottom);
        cairo_line_to(cr, r + 0.12, kBottom);
        cairo_curve_to(cr, r + 0.08, 0.0, r + 0.04, 0.10, r + 0.035, kShoulderV - 0.14);
        cairo_curve_to(cr, r + 0.03, kShoulderV - 0.07, r - 0.01, kShoulderV - 0.01, r - 0.09, kShoulderV + 0.01);
        cairo_curve_to(cr, r - 0.22, kShoulderV + 0.03, kHeadU + 0.18, kNeckV - 0.03, kHeadU + 0.09, kNeckV + 0.01);
        cairo_close_path(cr);
    }
    // The gown showing between the mantle's edges, leaning with the body.
    void PanelPath() {
        Poly({{kHeadU - 0.08, kNeckV + 0.01}, {kHeadU + 0.08, kNeckV + 0.01}, {AxisAt(kBottom) + 0.26, kBottom},
              {AxisAt(kBottom) - 0.24, kBottom}});
    }
    // The mantle's turned-back edge on one side of the gown.
    void LapelPath(double side) {
        const double top = kHeadU + side * 0.08, foot = AxisAt(kBottom) + (side > 0 ? 0.26 : -0.24);
        Poly({{top, kNeckV + 0.01}, {top + side * 0.07, kNeckV + 0.01}, {foot + side * 0.10, kBottom}, {foot, kBottom}});
    }

    // The mantle in light on the shoulders and shadow on the far side and down its folds; its
    // turned-back edges (ermine for kings, gold for queens, the lining for jacks); the gown
    // between them in the figure's pattern, shaded on its far side, and a belt.
    void Mantle() {
        const Rgb robe = RobeColour();
        const double l = kAxisU - Shoulder(), r = kAxisU + Shoulder();
        MantlePath();
        cairo_save(cr);
        cairo_clip_preserve(cr);
        Fill(robe);
        // The far side in shadow, its edge in deep shadow; light along the near shoulder.
        cairo_move_to(cr, r - 0.10, kShoulderV + 0.06);
        cairo_curve_to(cr, r - 0.16, 0.20, r - 0.08, 0.0, r - 0.02, kBottom);
        cairo_line_to(cr, 1, kBottom);
        cairo_line_to(cr, 1, 1);
        cairo_close_path(cr);
        Fill(Shadow(robe));
        if (fine) {
            // Engraved hatching across the shadow, each stroke from the shadow's edge out to the
            // mantle's, which the clip ends.
            for (double v = kBottom; v < kShoulderV; v += 0.035) {
                const double u = r - 0.11 + (0.3 - v) * 0.14;
                cairo_move_to(cr, u, v);
                cairo_line_to(cr, u + 0.3, v + 0.12);
            }
            Stroke(hairline * 0.8, Deep(robe));
        }
        cairo_move_to(cr, r + 0.02, kShoulderV);
        cairo_curve_to(cr, r - 0.02, 0.20, r + 0.04, 0.0, r + 0.08, kBottom);
        cairo_line_to(cr, 1, kBottom);
        cairo_line_to(cr, 1, 1);
        cairo_close_path(cr);
        Fill(Deep(robe));
        cairo_move_to(cr, l - 0.2, kBottom);
        cairo_curve_to(cr, l - 0.06, 0.0, l - 0.04, 0.2, l + 0.02, kShoulderV - 0.05);
        cairo_line_to(cr, -1, kShoulderV);
        cairo_line_to(cr, -1, kBottom);
        cairo_close_path(cr);
        Fill(Shadow(robe));
        cairo_save(cr);
        cairo_translate(cr, l + 0.17, kShoulderV + 0.04);
        cairo_rotate(cr, 0.25);
        Ellipse(0, 0, 0.17, 0.035);
        cairo_restore(cr);
        Fill(Light(robe));
        for (double t : {0.25, 0.5, 0.72}) {
            const double u = l + 0.05 + t * (kHeadU - 0.1 - l);
            Fold(u, kShoulderV - 0.02 + t * 0.05, u - 0.05 - t * 0.04, 0.1, u - 0.1 - t * 0.1, kBottom, robe);
        }
        for (double t : {0.35, 0.7}) {
            const double u = kHeadU + 0.12 + t * (r - kHeadU - 0.12);
            Fold(u, kShoulderV + 0.05 - t * 0.04, u + 0.03, 0.1, u + 0.06 + t * 0.04, kBottom, Shadow(robe));
        }
        cairo_restore(cr);
        MantlePath();
        Ink();

        PanelPath();
        cairo_save(cr);
        cairo_clip_preserve(cr);
        Fill(LiningColour());
        cairo_save(cr);
        cairo_translate(cr, AxisAt(0.1) - 0.0, 0);
        GarmentPattern();
        cairo_restore(cr);
        // The gown's shade on the side away from the light, and the shadow the mantle casts.
        Poly({{kHeadU + 0.02, kNeckV}, {kHeadU + 0.10, kNeckV}, {AxisAt(kBottom) + 0.28, kBottom},
              {AxisAt(kBottom) + 0.08, kBottom}});
        SetRgba(cr, p.outline, 0.25);
        cairo_fill(cr);
        if (fine) {
            for (double t : {0.3, 0.6}) {
                const double top = kHeadU - 0.06 + t * 0.12;
                Fold(top, kNeckV - 0.05, top - 0.06, 0.15, AxisAt(kBottom) - 0.2 + t * 0.4, kBottom,
                     LiningColour());
            }
        }
        cairo_restore(cr);
        PanelPath();
        Ink();

        if (rank != kQueen) {
            // The belt across the gown, a buckle in the middle.
            const double a = AxisAt(0.05);
            Poly({{a - 0.24, 0.09}, {a + 0.26, 0.10}, {a + 0.27, 0.02}, {a - 0.25, 0.01}});
            Paint(rank == kKing ? p.trim : Shadow(p.wood));
            if (fine) Line(a - 0.24, 0.075, a + 0.26, 0.085, hairline, Light(rank == kKing ? p.trim : p.wood));
            cairo_rectangle(cr, a - 0.045, 0.005, 0.09, 0.10);
            Paint(p.trim);
            cairo_rectangle(cr, a - 0.02, 0.03, 0.04, 0.05);
            Paint(Deep(p.trim));
        } else {
            // A girdle of gold links falling down the gown.
            for (double v = 0.30; v > kBottom; v -= 0.07) Dot(AxisAt(v) + 0.01, v, 0.022, p.trim);
        }
        for (double side : {-1.0, 1.0}) {
            LapelPath(side);
            if (rank == kKing) {
                cairo_save(cr);
                cairo_clip_preserve(cr);
                Fill(p.collar);
                // Ermine: black tails scattered down the white fur.
                for (int i = 0; i < 6; ++i) {
                    const double v = kNeckV - 0.07 - i * 0.13;
                    const double u = AxisAt(v) + (kHeadU - kAxisU) * (v / kNeckV) + side * (0.12 + (kNeckV - v) * 0.2);
                    if (fine) {
                        Poly({{u - 0.016, v + 0.02}, {u + 0.016, v + 0.02}, {u, v - 0.045}});
                        Fill(p.outline);
                    } else {
                        Dot(u, v, 0.022, p.outline);
                    }
                }
                cairo_restore(cr);
                LapelPath(side);
                Ink();
            } else {
                const Rgb edge = rank == kQueen ? p.trim : Light(LiningColour());
                Fill(edge);
                if (fine) {
                    // A line of stitching down the edge's middle.
                    cairo_move_to(cr, kHeadU + side * 0.115, kNeckV);
                    cairo_line_to(cr, AxisAt(kBottom) + (side > 0 ? 0.31 : -0.29), kBottom);
                    cairo_set_dash(cr, std::array<double, 2>{0.018, 0.014}.data(), 2, 0);
                    Stroke(hairline, Deep(edge));
                    cairo_set_dash(cr, nullptr, 0, 0);
                }
                LapelPath(side);
                Ink();
            }
        }
        if (rank == kKing) {
            // A chain of office across the chest.
            for (int i = 0; i <= 8; ++i) {
                const double t = i / 8.0, u = kHeadU - 0.20 + t * 0.38;
                const double v = kNeckV - 0.06 - std::sin(t * kPi) * 0.14;
                Dot(u, v, fine ? 0.018 : 0.02, i % 2 == 0 ? p.trim : Shadow(p.trim));
            }
            Ellipse(kHeadU - 0.01, kNeckV - 0.24, 0.04, 0.045);
            Paint(p.trim);
            Dot(kHeadU - 0.01, kNeckV - 0.24, 0.018, p.robes[c.robe == 0 ? 1 : 0]);
        }
    }

    // Fills the current clip (the gown) with the figure's pattern.
    void GarmentPattern() {
        const Rgb ink = rank == kKing ? p.trim : Mix(p.trim, LiningColour(), 0.15);
        const double lw = fine ? 0.025 : 0.04;
        SetRgb(cr, ink);
        cairo_set_line_width(cr, lw);
        switch (c.pattern) {
        case Pattern::Lozenges:
            for (double v = -0.35; v < 0.5; v += 0.12)
                for (double u = -0.3 + std::fmod(v + 0.35, 0.24) / 0.12 * 0.07; u < 0.3; u += 0.14)
                    Poly({{u, v + 0.045}, {u + 0.035, v}, {u, v - 0.045}, {u - 0.035, v}});
            cairo_fill(cr);
            break;
        case Pattern::Ermine:
            SetRgb(cr, p.collar);
            cairo_paint(cr);
            for (double v = -0.35; v < 0.5; v += 0.13)
                for (double u = -0.28 + std::fmod(v + 0.35, 0.26) / 0.13 * 0.08; u < 0.3; u += 0.16) {
                    Dot(u, v + 0.02, 0.022, p.outline);
                    Poly({{u - 0.018, v + 0.01}, {u + 0.018, v + 0.01}, {u, v - 0.055}});
                    Fill(p.outline);
                }
            break;
        case Pattern::Checks:
            for (double v = -0.4; v < 0.5; v += 0.1)
                for (double u = -0.3 + std::fmod(v + 0.4, 0.2) / 0.1 * 0.1; u < 0.3; u += 0.2)
                    cairo_rectangle(cr, u, v, 0.1, 0.1);
            cairo_fill(cr);
            break;
        case Pattern::Stripes:
            for (double u = -0.27; u < 0.3; u += 0.11) cairo_rectangle(cr, u, -0.4, 0.045, 0.9);
            cairo_fill(cr);
            break;
        case Pattern::Dots:
            for (double v = -0.35; v < 0.5; v += 0.1)
                for (double u = -0.3 + std::fmod(v + 0.35, 0.2) / 0.1 * 0.055; u < 0.3; u += 0.11) Dot(u, v, 0.024, ink);
            break;
        case Pattern::Scallops:
            for (double v = -0.35; v < 0.5; v += 0.1)
                for (double u = -0.33; u < 0.3; u += 0.12) {
                    cairo_new_sub_path(cr);
                    cairo_arc_negative(cr, u + 0.06, v, 0.06, kPi, 0);
                }
            cairo_stroke(cr);
            break;
        case Pattern::Chevrons:
            for (double v = -0.35; v < 0.55; v += 0.12) {
                cairo_move_to(cr, -0.3, v - 0.1);
                cairo_line_to(cr, 0, v);
                cairo_line_to(cr, 0.3, v - 0.1);
            }
            cairo_set_line_width(cr, lw * 1.3);
            cairo_stroke(cr);
            break;
        case Pattern::Crosses:
            for (double v = -0.35; v < 0.5; v += 0.12)
                for (double u = -0.28 + std::fmod(v + 0.35, 0.24) / 0.12 * 0.07; u < 0.3; u += 0.14) {
                    cairo_rectangle(cr, u - 0.04, v - 0.013, 0.08, 0.026);
                    cairo_rectangle(cr, u - 0.013, v - 0.04, 0.026, 0.08);
                }
            cairo_fill(cr);
            break;
        case Pattern::Bands:
            for (double v = -0.35; v < 0.5; v += 0.14) cairo_rectangle(cr, -0.4, v, 0.8, 0.05);
            cairo_fill(cr);
            break;
        case Pattern::Zigzag:
            for (double v = -0.35; v < 0.5; v += 0.13) {
                cairo_move_to(cr, -0.32, v);
                bool up = true;
                for (double u = -0.28; u < 0.34; u += 0.05, up = !up) cairo_line_to(cr, u, up ? v + 0.05 : v);
            }
            cairo_stroke(cr);
            break;
        case Pattern::Quarters:
            // Parti-coloured: one side in the mantle's colour, edged with gold.
            cairo_rectangle(cr, -1, -1, 1, 2);
            Fill(RobeColour());
            Line(0, -1, 0, 1, 0.035, p.trim);
            break;
        case Pattern::Diagonals:
            for (double u = -0.9; u < 0.4; u += 0.12) {
                cairo_move_to(cr, u, -0.4);
                cairo_line_to(cr, u + 0.9, 0.5);
            }
            cairo_set_line_width(cr, lw * 1.4);
            cairo_stroke(cr);
            break;
        }
    }


    // A sleeve's piece from a to b, widths w0 and w1 at its ends and wm at its middle.
    void PuffPath(Point a, Point b, double w0, double wm, double w1) {
        const double du = b.u - a.u, dv = b.v - a.v, l = std::hypot(du, dv);
        const Point n{-dv / l, du / l}, m{(a.u + b.u) / 2, (a.v + b.v) / 2};
        const double bulge = wm * 0.66;
        cairo_move_to(cr, a.u + n.u * w0 / 2, a.v + n.v * w0 / 2);
        cairo_curve_to(cr, m.u - du * 0.25 + n.u * bulge, m.v - dv * 0.25 + n.v * bulge, m.u + du * 0.25 + n.u * bulge,
                       m.v + dv * 0.25 + n.v * bulge, b.u + n.u * w1 / 2, b.v + n.v * w1 / 2);
        cairo_line_to(cr, b.u - n.u * w1 / 2, b.v - n.v * w1 / 2);
        cairo_curve_to(cr, m.u + du * 0.25 - n.u * bulge, m.v + dv * 0.25 - n.v * bulge, m.u - du * 0.25 - n.u * bulge,
                       m.v - dv * 0.25 - n.v * bulge, a.u - n.u * w0 / 2, a.v - n.v * w0 / 2);
        cairo_close_path(cr);
    }

    // An arm on the right (side 1) or left (-1) of the picture: the mantle's wide sleeve
    // falling from the shoulder to the elbow, its opening showing the dark lining, and the
    // fitted forearm of the gown coming out of it to a cuff, each shaded on its underside.
    // Returns the forearm's direction for the hand.
    double Arm(Point hand, double side) {
        const Rgb colour = LiningColour(), robe = RobeColour();
        const double edge = kAxisU + side * Shoulder();
        const Point el{edge - side * 0.09, std::clamp(hand.v - 0.16, 0.03, 0.12)};
        const double du = hand.u - el.u, dv = hand.v - el.v, len = std::hypot(du, dv);
        const Point d{du / len, dv / len}, n{-d.v, d.u};
        const Point wrist{hand.u - d.u * 0.06, hand.v - d.v * 0.06};
        // The hanging sleeve from under the mantle's shoulder to its opening round the elbow.
        const Point top{edge - side * 0.03, kShoulderV - 0.06};
        const auto sleevePath = [&] {
            cairo_move_to(cr, top.u - side * 0.05, top.v);
            cairo_curve_to(cr, top.u - side * 0.07, el.v + 0.12, el.u + n.u * 0.13, el.v + n.v * 0.13 + 0.04,
                           el.u + n.u * 0.12, el.v + n.v * 0.12);
            cairo_line_to(cr, el.u - n.u * 0.12, el.v - n.v * 0.12);
            cairo_curve_to(cr, el.u - n.u * 0.13 + side * 0.04, el.v - n.v * 0.13, top.u + side * 0.06, el.v,
                           top.u + side * 0.05, top.v);
            cairo_close_path(cr);
        };
        // Its shading and folds lie inside it, so they need no clip (clips are what make a
        // figure slow to draw on the screens' many cards).
        sleevePath();
        Fill(Shadow(robe));
        cairo_move_to(cr, top.u - side * 0.03, top.v - 0.02);
        cairo_curve_to(cr, top.u - side * 0.05, el.v + 0.10, el.u + n.u * 0.085, el.v + n.v * 0.085 + 0.03,
                       el.u + n.u * 0.075, el.v + n.v * 0.075);
        Stroke(0.03, Light(robe));
        if (fine) Fold(top.u, top.v - 0.02, top.u - side * 0.01, el.v + 0.06, el.u, el.v + 0.02, robe);
        sleevePath();
        Ink();
        // The opening, edged as the mantle is (ermine, gold or the lining), its hollow dark, and
        // the forearm coming out of it.
        const Rgb rim = rank == kKing ? p.collar : rank == kQueen ? p.trim : Light(colour);
        const double along = std::atan2(d.v, d.u);
        cairo_save(cr);
        cairo_translate(cr, el.u, el.v);
        cairo_rotate(cr, along);
        Ellipse(0, 0, 0.04, 0.125);
        cairo_restore(cr);
        Paint(rim);
        if (rank == kKing)
            for (double t : {-0.07, 0.0, 0.07}) Dot(el.u + n.u * t - d.u * 0.02, el.v + n.v * t - d.v * 0.02, 0.011, p.outline);
        cairo_save(cr);
        cairo_translate(cr, el.u + d.u * 0.012, el.v + d.v * 0.012);
        cairo_rotate(cr, along);
        Ellipse(0, 0, 0.022, 0.085);
        cairo_restore(cr);
        Fill(Deep(robe));
        const Point from{el.u + d.u * 0.01, el.v + d.v * 0.01};
        const Point mid{(from.u + wrist.u) / 2, (from.v + wrist.v) / 2};
        LimbPath(from, mid, wrist, 0.12, 0.095);
        Fill(colour);
        // The shade along the forearm's lower edge, inside it.
        const double under = d.u >= 0 ? -0.028 : 0.028;
        LimbPath({from.u + n.u * under, from.v + n.v * under}, {mid.u + n.u * under, mid.v + n.v * under},
                 {wrist.u + n.u * under, wrist.v + n.v * under}, 0.07, 0.04);
        Fill(Shadow(colour));
        if (fine)
            for (double t : {0.4, 0.7}) {
                const Point q{from.u + (wrist.u - from.u) * t, from.v + (wrist.v - from.v) * t};
                cairo_move_to(cr, q.u + n.u * 0.05 - d.u * 0.01, q.v + n.v * 0.05 - d.v * 0.01);
                cairo_curve_to(cr, q.u + d.u * 0.02, q.v + d.v * 0.02, q.u + d.u * 0.02, q.v + d.v * 0.02,
                               q.u - n.u * 0.05 - d.u * 0.01, q.v - n.v * 0.05 - d.v * 0.01);
                Stroke(hairline, Deep(colour));
            }
        LimbPath(from, mid, wrist, 0.12, 0.095);
        Ink();
        // The cuff.
        const Point a{wrist.u - d.u * 0.05, wrist.v - d.v * 0.05};
        const double nu = n.u * 0.07, nv = n.v * 0.07;
        Poly({{a.u + nu, a.v + nv}, {wrist.u + nu, wrist.v + nv}, {wrist.u - nu, wrist.v - nv}, {a.u - nu, a.v - nv}});
        Paint(rank == kKing ? p.collar : rank == kQueen ? p.trim : Light(p.collar));
        if (fine && rank == kKing) Dot((a.u + wrist.u) / 2, (a.v + wrist.v) / 2, 0.012, p.outline);
        return std::atan2(dv, du);
    }

    // A hand at (u, v), the fingers pointing along angle: a fist round what it holds, or the
    // flat of the hand laid on the chest. Knuckles and nails are lined at 2x and 3x.
    void Hand(Point at, double angle, bool fist) {
        cairo_save(cr);
        cairo_translate(cr, at.u, at.v);
        cairo_rotate(cr, angle);
        const double flip = std::cos(angle) < 0 ? -1 : 1;  // keeps the thumb on top
        cairo_scale(cr, 1, flip);
        const Rgb skin = p.skin;
        if (fist) {
            // The back of the hand, and the curled fingers as four knuckles along its far side.
            cairo_move_to(cr, -0.06, -0.05);
            cairo_line_to(cr, 0.035, -0.05);
            for (int k = 0; k < 4; ++k) {
                const double y = -0.05 + 0.025 * k;
                cairo_curve_to(cr, 0.07, y, 0.07, y + 0.025, 0.035, y + 0.025);
            }
            cairo_line_to(cr, -0.06, 0.05);
            cairo_close_path(cr);
            Paint(skin);
            if (fine) {
                for (double y : {-0.025, 0.0, 0.025}) Line(0.015, y, 0.05, y, hairline, Deep(skin));
                cairo_rectangle(cr, -0.06, -0.05, 0.03, 0.1);
                SetRgba(cr, Shadow(skin), 0.6);
                cairo_fill(cr);
            }
            // The thumb across the fingers.
            cairo_save(cr);
            cairo_translate(cr, 0.005, 0.032);
            cairo_rotate(cr, -0.2);
            Ellipse(0, 0, 0.045, 0.02);
            cairo_restore(cr);
            Paint(Mix(skin, kWhite, 0.15));
        } else {
            Ellipse(-0.01, 0, 0.05, 0.046);
            Paint(skin);
            RoundedRect(cr, 0.0, -0.042, 0.10, 0.078, 0.03);
            Paint(skin);
            if (fine)
                for (double y : {-0.022, -0.002, 0.018}) Line(0.035, y, 0.10, y, hairline, Shadow(skin));
            cairo_save(cr);
            cairo_translate(cr, 0.01, 0.045);
            cairo_rotate(cr, 0.35);
            Ellipse(0, 0, 0.04, 0.018);
            cairo_restore(cr);
            Paint(skin);
        }
        cairo_restore(cr);
    }

    // An open hand at (u, v), the fingers along angle, the thumb turned towards the body's
    // middle: four fingers and the thumb inked apart, then the palm laid over their roots; the
    // palm's crease and the nails at 2x and 3x.
    void OpenHand(Point at, double angle) {
        cairo_save(cr);
        TurnToHand(cr, at, angle);
        const Rgb skin = p.skin;
        struct Digit {
            double y, length, spread, width;
        };
        constexpr Digit kDigits[] = {{0.030, 0.070, 0.10, 0.024}, {0.010, 0.082, 0.03, 0.025},
                                     {-0.011, 0.078, -0.04, 0.024}, {-0.031, 0.062, -0.12, 0.021}};
        const auto digits = [&](double grow) {
            for (const Digit& d : kDigits) {
                cairo_move_to(cr, 0.015, d.y);
                cairo_line_to(cr, 0.015 + d.length * std::cos(d.spread), d.y + d.length * std::sin(d.spread));
                cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
                Stroke(d.width + grow, grow > 0 ? p.outline : skin);
            }
            cairo_move_to(cr, -0.025, 0.035);
            cairo_line_to(cr, 0.025, 0.085);
            Stroke(0.026 + grow, grow > 0 ? p.outline : skin);
            cairo_set_line_cap(cr, CAIRO_LINE_CAP_BUTT);
        };
        digits(2 * outline);
        digits(0);
        const auto palm = [&] {
            cairo_move_to(cr, -0.05, -0.035);
            cairo_curve_to(cr, -0.02, -0.05, 0.02, -0.045, 0.03, -0.035);
            cairo_line_to(cr, 0.03, 0.042);
            cairo_curve_to(cr, 0.0, 0.05, -0.03, 0.05, -0.05, 0.035);
            cairo_close_path(cr);
        };
        palm();
        Fill(skin);
        cairo_move_to(cr, 0.03, -0.035);
        cairo_curve_to(cr, 0.02, -0.045, -0.02, -0.05, -0.05, -0.035);
        Stroke(outline, p.outline);
        if (fine) {
            cairo_move_to(cr, -0.03, 0.02);
            cairo_curve_to(cr, -0.01, 0.0, 0.0, -0.01, 0.02, -0.01);
            Stroke(hairline, Shadow(skin));
            for (const Digit& d : kDigits) {
                const double l = d.length - 0.01;
                Dot(0.015 + l * std::cos(d.spread), d.y + l * std::sin(d.spread), d.width * 0.28,
                    Mix(skin, kWhite, 0.45));
                const double k = 0.045;
                Line(0.015 + k * std::cos(d.spread) - 0.006, d.y + k * std::sin(d.spread) - d.width * 0.3,
                     0.015 + k * std::cos(d.spread) - 0.006, d.y + k * std::sin(d.spread) + d.width * 0.3, hairline,
                     Shadow(skin));
            }
        }
        cairo_restore(cr);
    }

    // A gauntlet hanging from the fist at h by its flared cuff, its fingers lined at 2x and 3x.
    void Glove(Point h) {
        const Rgb leather = Mix(p.wood, p.collar, 0.45);
        cairo_move_to(cr, h.u - 0.02, h.v - 0.02);
        cairo_curve_to(cr, h.u - 0.05, h.v - 0.10, h.u - 0.03, h.v - 0.20, h.u - 0.01, h.v - 0.27);
        cairo_line_to(cr, h.u + 0.07, h.v - 0.25);
        cairo_curve_to(cr, h.u + 0.06, h.v - 0.18, h.u + 0.05, h.v - 0.10, h.u + 0.04, h.v - 0.02);
        cairo_close_path(cr);
        Paint(leather);
        if (fine)
            for (double t : {0.0, 0.025, 0.05}) Line(h.u + t - 0.005, h.v - 0.19, h.u + t, h.v - 0.27, hairline, Deep(leather));
        Poly({{h.u - 0.05, h.v - 0.03}, {h.u + 0.07, h.v - 0.03}, {h.u + 0.05, h.v - 0.10}, {h.u - 0.04, h.v - 0.10}});
        Paint(p.trim);
    }

    void Collar() {
        if (rank == kQueen) {
            // A square neckline with a necklace and pendant.
            Poly({{-0.17, 0.50}, {-0.12, 0.34}, {0.12, 0.34}, {0.17, 0.50}});
            Paint(p.skin);
            if (fine) {
                cairo_move_to(cr, -0.13, 0.49);
                cairo_curve_to(cr, -0.08, 0.38, 0.08, 0.38, 0.13, 0.49);
                Stroke(hairline * 1.5, p.trim);
            }
            for (double u = -0.08; u <= 0.081; u += 0.04) Dot(u, 0.43 - (0.08 - std::abs(u)) * 0.5, 0.016, p.trim);
            Dot(0, 0.375, 0.028, p.robes[c.robe == 0 ? 1 : 0]);
        } else if (rank == kJack) {
            // A pointed white collar.
            for (double side : {-1.0, 1.0}) {
                Poly({{side * 0.17, 0.52}, {side * 0.015, 0.49}, {side * 0.12, 0.36}});
                Paint(p.collar);
            }
        } else {
            // The king's ruff, pleated at 2x and 3x.
            Ellipse(0, 0.49, 0.22, 0.06);
            Paint(p.collar);
            if (fine)
                for (double u = -0.18; u <= 0.181; u += 0.045) {
                    Line(u, 0.45, u * 1.1, 0.53, hairline, Shadow(p.collar));
                }
        }
    }

    void Neck() {
        cairo_rectangle(cr, -0.05, 0.45, 0.10, 0.1);
        Paint(Shadow(p.skin));
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
        if (!fine) {
            Paint(c.hairColour);
            return;
        }
        // At 2x and 3x the hair falls in strands from the crown, or winds in its curls.
        cairo_path_t* path = cairo_copy_path(cr);
        cairo_save(cr);
        cairo_clip(cr);
        SetRgb(cr, c.hairColour);
        cairo_paint(cr);
        if (c.hair == Hair::Curls) {
            for (int i = 0; i <= 8; ++i) {
                const double a = kPi * (-0.15 + 1.3 * i / 8.0);
                cairo_new_sub_path(cr);
                cairo_arc(cr, 0.16 * std::cos(a), 0.62 + 0.15 * std::sin(a), 0.03, a, a + kPi * 1.2);
            }
            Stroke(hairline, Shadow(c.hairColour));
        } else {
            Strands(0.80, c.hair == Hair::Long ? 0.30 : 0.45, c.hair == Hair::Long ? 1.3 : 1.1);
        }
        cairo_restore(cr);
        cairo_append_path(cr, path);
        cairo_path_destroy(path);
        Ink();
    }

    // The face's outline: a rounded brow and cheeks, narrowing to the chin as the figure's jaw
    // says.
    void FacePath() {
        const double w = 0.14, jw = 0.10 * c.jaw, chin = 0.042 * c.jaw;
        cairo_move_to(cr, -w, 0.63);
        cairo_curve_to(cr, -w, 0.72, -0.08, 0.77, 0, 0.77);
        cairo_curve_to(cr, 0.08, 0.77, w, 0.72, w, 0.63);
        cairo_curve_to(cr, w, 0.55, jw + 0.02, 0.48, chin, 0.452);
        cairo_curve_to(cr, chin * 0.4, 0.444, -chin * 0.4, 0.444, -chin, 0.452);
        cairo_curve_to(cr, -jw - 0.02, 0.48, -w, 0.55, -w, 0.63);
        cairo_close_path(cr);
    }

    static constexpr double kEyeV = 0.635;
    double Look() const { return c.turn * 0.035; }
    double MouthV() const { return kEyeV - c.nose - 0.055; }
    Rgb Iris() const {
        constexpr Rgb kIris[] = {{0.38, 0.22, 0.10}, {0.20, 0.42, 0.70}, {0.25, 0.50, 0.30}, {0.45, 0.50, 0.55}};
        return kIris[c.iris];
    }
    // An eye's opening at u: almond for jacks, wide for queens, heavy-lidded for kings.
    void EyePath(double u, double open) {
        const double w = 0.027;
        cairo_move_to(cr, u - w, kEyeV);
        cairo_curve_to(cr, u - w * 0.4, kEyeV + open * 1.6, u + w * 0.4, kEyeV + open * 1.6, u + w, kEyeV + 0.003);
        cairo_curve_to(cr, u + w * 0.4, kEyeV - open * 1.1, u - w * 0.4, kEyeV - open * 1.1, u - w, kEyeV);
        cairo_close_path(cr);
    }

    // The face: skin shaded on the side it turns from, and eyes, brows, nose and mouth placed
    // and shaped by the figure's own measures, so no two faces are alike. At 1x the features
    // are dots and strokes; at 2x and 3x each eye has its white, iris, pupil, lids and shine,
    // the brows taper, the nose has its bridge and wing, and the lips their two parts.
    void Head() {
        FacePath();
        Paint(p.skin);
        const double look = Look(), toward = c.turn >= 0 ? 1 : -1;
        if (fine) {
            cairo_save(cr);
            FacePath();
            cairo_clip(cr);
            Ellipse(-toward * 0.17 + look, 0.60, 0.09, 0.22);
            SetRgba(cr, Shadow(p.skin), 0.55);
            cairo_fill(cr);
            Ellipse(look, 0.455, 0.07, 0.025);
            SetRgba(cr, Shadow(p.skin), 0.5);
            cairo_fill(cr);
            for (double side : {-1.0, 1.0}) {
                Ellipse(side * (c.eyes + 0.02) + look, 0.565, 0.032, 0.024);
                SetRgba(cr, Mix(p.skin, p.lips, 0.6), rank == kQueen ? 0.55 : rank == kJack ? 0.3 : 0.18);
                cairo_fill(cr);
            }
            cairo_restore(cr);
        }
        if (c.hair == Hair::Fringe && c.hat != Hat::Hood) {
            cairo_move_to(cr, -0.14, 0.66);
            cairo_curve_to(cr, -0.08, 0.70, 0.06, 0.70, 0.14, 0.66);
            cairo_line_to(cr, 0.14, 0.76);
            cairo_line_to(cr, -0.14, 0.76);
            cairo_close_path(cr);
            Fill(c.hairColour);
            if (fine)
                for (double u = -0.12; u < 0.13; u += 0.03)
                    Line(u, 0.75, u + 0.01 * toward, 0.685, hairline, Shadow(c.hairColour));
        }
        const double open = rank == kQueen ? 0.016 : rank == kKing ? 0.011 : 0.013;
        const Rgb brow = Mix(c.hairColour, p.outline, 0.4);
        for (double side : {-1.0, 1.0}) {
            const double u = side * c.eyes + look;
            // The brow: its inner end lowered by a stern mouth, its middle lifted by the arch.
            const double inner = kEyeV + 0.034 + c.smile * 0.01, outer = kEyeV + 0.034 + c.arch * 0.004;
            const double top = kEyeV + 0.045 + c.arch * 0.02;
            cairo_move_to(cr, u - side * 0.026, inner);
            cairo_curve_to(cr, u - side * 0.008, top, u + side * 0.012, top, u + side * 0.036, outer);
            if (fine) {
                Stroke(hairline * (rank == kKing ? 2.4 : rank == kJack ? 1.9 : 1.3), brow);
                EyePath(u, open);
                Fill(Mix(kWhite, p.skin, 0.15));
                cairo_save(cr);
                EyePath(u, open);
                cairo_clip(cr);
                const double iu = u + look * 0.35;
                Dot(iu, kEyeV + 0.002, 0.0125, Iris());
                Dot(iu, kEyeV + 0.002, 0.006, p.outline);
                Dot(iu + 0.004, kEyeV + 0.007, 0.0028, kWhite);
                cairo_restore(cr);
                // The upper lid in ink, the lower one faint; a crease above a king's heavy lid,
                // a queen's lashes at the outer corner.
                cairo_move_to(cr, u - 0.027, kEyeV);
                cairo_curve_to(cr, u - 0.011, kEyeV + open * 1.6, u + 0.011, kEyeV + open * 1.6, u + 0.027, kEyeV + 0.003);
                Stroke(hairline * 1.5, p.outline);
                cairo_move_to(cr, u - 0.022, kEyeV - 0.004);
                cairo_curve_to(cr, u - 0.01, kEyeV - open * 1.1, u + 0.01, kEyeV - open * 1.1, u + 0.022, kEyeV - 0.002);
                Stroke(hairline * 0.7, Mix(p.skin, p.outline, 0.4));
                if (rank == kKing || c.arch < 0.35) {
                    cairo_move_to(cr, u - 0.022, kEyeV + 0.016);
                    cairo_curve_to(cr, u - 0.008, kEyeV + 0.027, u + 0.01, kEyeV + 0.027, u + 0.026, kEyeV + 0.016);
                    Stroke(hairline * 0.7, Mix(p.skin, p.outline, 0.35));
                }
                if (rank == kQueen)
                    for (double t : {0.0, 1.0})
                        Line(u + side * (0.022 + t * 0.006), kEyeV + 0.008 + t * 0.002, u + side * (0.032 + t * 0.008),
                             kEyeV + 0.018 - t * 0.002, hairline, p.outline);
                if (rank == kKing) {
                    cairo_move_to(cr, u - 0.015, kEyeV - 0.03);
                    cairo_curve_to(cr, u - 0.005, kEyeV - 0.037, u + 0.008, kEyeV - 0.036, u + 0.02, kEyeV - 0.028);
                    Stroke(hairline * 0.8, Mix(p.skin, p.outline, 0.3));
                }
            } else {
                Stroke(0.018, Mix(brow, p.skin, 0.35));
                Ellipse(u + look * 0.2, kEyeV, 0.021, 0.019);
                Fill(p.outline);
            }
        }
        if (fine && c.hat != Hat::Hood && c.hat != Hat::Veiled && c.hair != Hair::Long && c.hair != Hair::Bob) {
            // An ear on the side the face turns from, where the hair leaves it bare.
            const double ear = -toward * 0.138;
            Ellipse(ear, 0.615, 0.022, 0.035);
            Paint(Mix(p.skin, p.lips, 0.15));
            cairo_move_to(cr, ear * 0.98, 0.595);
            cairo_curve_to(cr, ear * 1.06, 0.61, ear * 1.06, 0.625, ear * 0.98, 0.635);
            Stroke(hairline, Shadow(p.skin));
        }
        Nose();
        if (c.beard == Beard::None) Mouth();
    }

    // The nose from between the eyes to its tip, pointing the way the face turns: straight,
    // hooked, short and turned up, or broad, with its wing and nostril at 2x and 3x.
    void Nose() {
        const double look = Look(), toward = c.turn >= 0 ? 1 : -1;
        const double base = look * 1.3, top = kEyeV - 0.008;
        const double tipV = kEyeV - c.nose - (c.noseShape == Nose::Snub ? -0.006 : 0.0);
        const double tipU = base + toward * (c.noseShape == Nose::Snub ? 0.012 : 0.018);
        const Rgb ink = Mix(p.skin, p.outline, fine ? 0.55 : 0.4);
        if (!fine) {
            cairo_move_to(cr, base, top);
            cairo_line_to(cr, tipU, tipV);
            cairo_line_to(cr, base - toward * 0.008, tipV - 0.008);
            Stroke(0.02, ink);
            return;
        }
        double bulge = 0;
        if (c.noseShape == Nose::Hooked) bulge = 0.018;
        if (c.noseShape == Nose::Snub) bulge = -0.008;
        // The shade down the bridge on the far side.
        Poly({{base - toward * 0.006, top}, {tipU, tipV}, {base - toward * 0.02, tipV + 0.01}});
        SetRgba(cr, Shadow(p.skin), 0.45);
        cairo_fill(cr);
        cairo_move_to(cr, base + toward * 0.004, top);
        cairo_curve_to(cr, base + toward * (0.01 + bulge), (top + tipV) / 2 + 0.01, tipU + toward * 0.002,
                       tipV + 0.012, tipU, tipV);
        const double wing = c.noseShape == Nose::Broad ? 0.032 : 0.022;
        cairo_curve_to(cr, tipU - toward * 0.006, tipV - 0.008, base - toward * wing * 0.5, tipV - 0.008,
                       base - toward * wing * 0.6, tipV + 0.002);
        Stroke(hairline * 1.2, ink);
        // The wing on the near side and the nostrils.
        cairo_move_to(cr, tipU - toward * 0.004, tipV + 0.014);
        cairo_curve_to(cr, tipU + toward * 0.01, tipV + 0.01, tipU + toward * 0.008, tipV - 0.002, tipU - toward * 0.002,
                       tipV - 0.003);
        Stroke(hairline * 0.8, Mix(p.skin, p.outline, 0.4));
        for (double d : {0.0, 1.0}) Dot(tipU - toward * (0.008 + d * wing * 0.6), tipV - 0.002, 0.0045, Deep(p.skin));
        Dot(tipU - toward * 0.004, tipV + 0.006, 0.004, Mix(p.skin, kWhite, 0.5));
        if (rank == kKing) {
            // Lines of age from the nose's wings to the mouth's corners.
            for (double side : {-1.0, 1.0}) {
                cairo_move_to(cr, look + side * 0.035, tipV + 0.002);
                cairo_curve_to(cr, look + side * 0.05, tipV - 0.02, look + side * 0.05, MouthV() + 0.01, look + side * 0.045,
                               MouthV() - 0.005);
                Stroke(hairline * 0.8, Mix(p.skin, p.outline, 0.3));
            }
        }
    }

    // The mouth under the nose, its corners lifted by a smile or lowered by a stern look: at 2x
    // and 3x the upper lip with its bow and the fuller lower lip, parted by a dark line. Under a
    // beard only the lower lip shows, below the moustache.
    void Mouth() {
        const double look = Look(), v = MouthV(), lift = c.smile * 0.014;
        const double w = 0.032 + (rank == kKing ? 0.004 : 0.0) + std::max(c.smile, 0.0) * 0.008;
        if (!fine) {
            cairo_move_to(cr, -w + look, v + lift);
            cairo_curve_to(cr, -0.01 + look, v - lift, 0.01 + look, v - lift, w + look, v + lift);
            Stroke(0.026, p.lips);
            return;
        }
        const double full = rank == kQueen ? 0.024 : rank == kJack ? 0.017 : 0.015;
        const auto lipLine = [&] {
            cairo_curve_to(cr, look + w * 0.4, v - lift * 0.8, look - w * 0.4, v - lift * 0.8, look - w, v + lift);
        };
        if (c.beard == Beard::None || c.beard == Beard::Moustache) {
            cairo_move_to(cr, look - w, v + lift);
            cairo_curve_to(cr, look - w * 0.6, v + 0.006, look - 0.014, v + 0.016, look - 0.007, v + 0.013);
            cairo_line_to(cr, look, v + 0.009);
            cairo_line_to(cr, look + 0.007, v + 0.013);
            cairo_curve_to(cr, look + 0.014, v + 0.016, look + w * 0.6, v + 0.006, look + w, v + lift);
            lipLine();
            cairo_close_path(cr);
            Fill(Mix(p.lips, p.outline, 0.12));
        }
        cairo_move_to(cr, look - w * 0.85, v + lift * 0.9);
        cairo_curve_to(cr, look - w * 0.5, v - full, look + w * 0.5, v - full, look + w * 0.85, v + lift * 0.9);
        cairo_curve_to(cr, look + w * 0.4, v - lift * 0.8, look - w * 0.4, v - lift * 0.8, look - w * 0.85, v + lift * 0.9);
        cairo_close_path(cr);
        Fill(Mix(p.lips, kWhite, 0.12));
        cairo_move_to(cr, look - w, v + lift);
        cairo_curve_to(cr, look - w * 0.4, v - lift * 0.8, look + w * 0.4, v - lift * 0.8, look + w, v + lift);
        Stroke(hairline * 1.1, Mix(p.lips, p.outline, 0.5));
        // The shade under the lower lip.
        cairo_move_to(cr, look - 0.012, v - full - 0.012);
        cairo_curve_to(cr, look - 0.004, v - full - 0.016, look + 0.004, v - full - 0.016, look + 0.012, v - full - 0.012);
        Stroke(hairline * 0.8, Shadow(p.skin));
    }

    // Strands drawn across the current clip in the hair's shadow, from the crown outwards.
    void Strands(double v0, double v1, double spread) {
        for (double u = -0.2; u <= 0.201; u += 0.03) {
            cairo_move_to(cr, u * 0.5, v0);
            cairo_curve_to(cr, u * 0.9, (v0 + v1) / 2 + 0.05, u * spread, (v0 + v1) / 2, u * spread, v1);
        }
        Stroke(hairline * 0.8, Shadow(c.hairColour));
    }

    void Beards() {
        const Rgb hair = c.hairColour;
        const double look = Look(), v = MouthV();
        // The beard leaves the lower lip bare below the moustache.
        switch (c.beard) {
        case Beard::None:
            return;
        case Beard::Long:
            cairo_move_to(cr, -0.135, 0.60);
            cairo_curve_to(cr, -0.15, 0.40, -0.05, 0.30, 0, 0.26);
            cairo_curve_to(cr, 0.05, 0.30, 0.15, 0.40, 0.135, 0.60);
            break;
        case Beard::Forked:
            cairo_move_to(cr, -0.135, 0.60);
            cairo_curve_to(cr, -0.14, 0.42, -0.10, 0.36, -0.06, 0.32);
            cairo_line_to(cr, 0, 0.40);
            cairo_line_to(cr, 0.06, 0.32);
            cairo_curve_to(cr, 0.10, 0.36, 0.14, 0.42, 0.135, 0.60);
            break;
        case Beard::Short:
            cairo_move_to(cr, -0.137, 0.61);
            cairo_curve_to(cr, -0.14, 0.44, 0.14, 0.44, 0.137, 0.61);
            break;
        case Beard::Moustache:
            break;
        }
        if (c.beard != Beard::Moustache) {
            // The beard's upper edge runs from the cheek under the mouth.
            cairo_curve_to(cr, 0.10, 0.55, look + 0.05, v - 0.01, look, v - 0.028);
            cairo_curve_to(cr, look - 0.05, v - 0.01, -0.10, 0.55, -0.135 - (c.beard == Beard::Short ? 0.002 : 0), 0.60);
            cairo_close_path(cr);
            if (fine) {
                cairo_path_t* path = cairo_copy_path(cr);
                cairo_save(cr);
                cairo_clip(cr);
                SetRgb(cr, hair);
                cairo_paint(cr);
                for (double u = -0.14; u <= 0.141; u += 0.028) {
                    cairo_move_to(cr, u, 0.60);
                    cairo_curve_to(cr, u * 1.05, 0.48, u * 0.7, 0.38, u * 0.3, 0.26);
                }
                Stroke(hairline * 0.8, Shadow(hair));
                for (double u = -0.125; u <= 0.13; u += 0.056) {
                    cairo_move_to(cr, u, 0.57);
                    cairo_curve_to(cr, u * 1.02, 0.47, u * 0.75, 0.40, u * 0.4, 0.32);
                }
                Stroke(hairline * 0.7, Light(hair));
                cairo_restore(cr);
                cairo_append_path(cr, path);
                cairo_path_destroy(path);
                Ink();
            } else {
                Paint(hair);
            }
            Mouth();
        } else {
            Mouth();
        }
        // The moustache over the upper lip: drooping with a long beard, its ends curled up
        // with a forked one or alone, trimmed with a short one.
        const double droop = c.beard == Beard::Long ? 0.035 : c.beard == Beard::Short ? 0.012 : -0.02;
        const double reach = c.beard == Beard::Moustache ? 0.085 : c.beard == Beard::Short ? 0.055 : 0.07;
        for (double side : {-1.0, 1.0}) {
            cairo_move_to(cr, look, v + 0.025);
            cairo_curve_to(cr, look + side * 0.03, v + 0.034, look + side * reach * 0.8, v + 0.016, look + side * reach,
                           v - droop);
            cairo_curve_to(cr, look + side * reach * 0.7, v + 0.002, look + side * 0.02, v + 0.008, look, v + 0.012);
            cairo_close_path(cr);
        }
        Paint(hair);
        if (fine) Line(look, v + 0.012, look, v + 0.024, hairline, Shadow(hair));
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

    // The parts of the attribute in front of the hand, in the attribute's own units.
    void ItemInFront() {
        switch (c.item) {
        case Item::Sword:
            cairo_rectangle(cr, 0.29, 0.27, 0.19, 0.04);
            Paint(p.trim);
            cairo_rectangle(cr, 0.37, 0.14, 0.03, 0.13);
            Paint(p.wood);
            break;
        case Item::Axe:
        case Item::Lance:
            break;
        case Item::Halberd:
            break;
        case Item::Lily:
            break;
        case Item::Orb:
            Ellipse(0.27, 0.32, 0.10, 0.10);
            Paint(p.trim);
            Line(0.17, 0.32, 0.37, 0.32, 0.025, Mix(p.trim, p.outline, 0.5));
            Line(0.27, 0.42, 0.27, 0.52, 0.025, p.trim);
            Line(0.235, 0.48, 0.305, 0.48, 0.025, p.trim);
            break;
        case Item::Sceptre:
            Line(0.36, 0.12, 0.36, 0.78, 0.035, p.trim);
            Poly({{0.36, 0.92}, {0.41, 0.82}, {0.36, 0.76}, {0.31, 0.82}});
            Paint(p.robes[1]);
            Dot(0.36, 0.94, 0.025, p.trim);
            break;
        case Item::Rose:
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
            break;
        }
    }

    const Palette& p;
    const Court& c;
    int rank;
    bool fine;
    Hold hold;
    double outline;   // the ink round every piece
    double hairline;  // folds, seams and features at 2x and 3x
};

// The modern figure: flat geometric shapes with no ink round them, each colour in a base and a
// shadow tone split along straight lines; at 2x and 3x a fine inset line traces the main
// shapes. The costume is parti-coloured down the middle with a column of the figure's motif.
class FlatFigure : public Pen {
public:
    FlatFigure(cairo_t* cr, const Palette& palette, const Court& court, int rank, double pixel, bool fine)
        : Pen(cr, pixel), p(palette), c(court), rank(rank), fine(fine), hold(HoldOf(court)) {}

    void Draw() {
        // A pale disc behind the head.
        Dot(kHeadU, kNeckV + 0.24, 0.25, Mix(p.background, p.trim, 0.25));
        InItemUnits(false);
        Body();
        // The other hand and what it holds or does.
        const Rest rest = RestOf(c);
        const double restForearm = Arm(rest.at, hold.left ? 1 : -1);
        if (c.gesture == Gesture::Glove) Glove(rest.at);
        Prop(c.gesture, rest.at, rest.angle, p, Lining(), p.outline, fine);
        if (c.gesture == Gesture::Chest || c.gesture == Gesture::Palm) {
            OpenHand(rest.at, rest.angle);
        } else {
            Fist(rest.at, restForearm);
        }
        cairo_save(cr);
        cairo_translate(cr, kHeadU, kNeckV - 0.04);
        cairo_rotate(cr, c.tilt);
        cairo_scale(cr, 0.92, 0.92);
        cairo_translate(cr, 0, -0.40);
        HairBack();
        Neckline();
        Head();
        Crown();
        cairo_restore(cr);
        InItemUnits(true);
        Fist(hold.grip, Arm(hold.grip, hold.left ? -1 : 1));
    }

private:
    // A prop's piece: its base colour, and its shadow tone below its own middle line.
    void Piece(Rgb colour) override {
        cairo_save(cr);
        cairo_clip_preserve(cr);
        Fill(colour);
        cairo_rectangle(cr, -2, 0, 4, 2);
        Fill(Shadow(colour));
        cairo_restore(cr);
    }
    Rgb Shadow(Rgb colour) const { return Mix(colour, p.outline, 0.28); }
    Rgb Light(Rgb colour) const { return Mix(colour, kWhite, 0.35); }
    Rgb Robe() const { return p.robes[c.robe]; }
    Rgb Lining() const { return p.robes[c.lining]; }
    // A fine line just inside the current path, at 2x and 3x.
    void Inset(Rgb colour) {
        if (!fine) {
            cairo_new_path(cr);
            return;
        }
        cairo_save(cr);
        cairo_clip_preserve(cr);
        cairo_set_line_width(cr, 3 * pixel);
        SetRgb(cr, colour);
        cairo_stroke(cr);
        cairo_restore(cr);
    }
    // Fills the current path in two tones: the base, and the shadow beyond the line u = split.
    void TwoTone(Rgb colour, double split) {
        cairo_save(cr);
        cairo_clip_preserve(cr);
        Fill(colour);
        cairo_rectangle(cr, split, -2, 4, 4);
        Fill(Shadow(colour));
        cairo_restore(cr);
    }

    // The attribute's front or back layer, its own units placed in the hand as the classic
    // figure places them.
    void InItemUnits(bool front) {
        const Point at = Grip();
        cairo_save(cr);
        cairo_translate(cr, hold.grip.u, hold.grip.v);
        cairo_rotate(cr, hold.angle);
        cairo_scale(cr, hold.left ? -hold.size : hold.size, hold.size);
        cairo_translate(cr, -at.u, -at.v);
        Attribute(front);
        cairo_restore(cr);
    }

    double Shoulder() const { return rank == kQueen ? 0.44 : rank == kKing ? 0.50 : 0.47; }
    // The costume's middle line, from the neck down to the dividing line.
    static double Middle(double v) { return kHeadU + (kHeadU - AxisBottom()) * (v - kNeckV) / (kNeckV - kBottom); }
    static double AxisBottom() { return kWaistU + (kAxisU - kWaistU) * kBottom / kShoulderV; }

    void BodyPath() {
        const double l = kAxisU - Shoulder(), r = kAxisU + Shoulder(), round = 0.16, top = kShoulderV - 0.04;
        cairo_move_to(cr, kHeadU - 0.09, kNeckV - 0.03);
        cairo_line_to(cr, l + round, top);
        cairo_arc(cr, l + round, top - round, round, kPi / 2, kPi);
        cairo_line_to(cr, l - 0.06, kBottom);
        cairo_line_to(cr, r + 0.06, kBottom);
        cairo_line_to(cr, r, top - round);
        cairo_arc(cr, r - round, top - round, round, 0, kPi / 2);
        cairo_line_to(cr, kHeadU + 0.09, kNeckV - 0.03);
        cairo_close_path(cr);
    }

    // Parti-coloured down the middle line: the robe's colour on the left, the lining's on the
    // right, each in shadow at its outer edge; a column of motifs down the middle and a band at
    // the waist.
    void Body() {
        const double l = kAxisU - Shoulder(), r = kAxisU + Shoulder();
        for (int half = 0; half < 2; ++half) {
            cairo_save(cr);
            const double edge = half == 0 ? -2 : 2;
            Poly({{edge, 1}, {Middle(1), 1}, {Middle(-1), -1}, {edge, -1}});
            cairo_clip(cr);
            BodyPath();
            if (half == 0) {
                TwoTone(Robe(), 2);
                BodyPath();
                cairo_clip(cr);
                Poly({{l - 0.1, 0.14}, {l + 0.26, kBottom}, {l - 0.1, kBottom}});
                Fill(Shadow(Robe()));
            } else {
                TwoTone(Lining(), r - 0.2);
            }
            cairo_restore(cr);
        }
        BodyPath();
        Inset(Light(Robe()));
        // The motif column.
        Poly({{Middle(kNeckV) - 0.08, kNeckV}, {Middle(kNeckV) + 0.08, kNeckV}, {Middle(kBottom) + 0.08, kBottom},
              {Middle(kBottom) - 0.08, kBottom}});
        Fill(p.collar);
        SetRgb(cr, rank == kKing ? p.outline : Robe());
        for (double v = kBottom + 0.06; v < kNeckV - 0.12; v += 0.12) Motif(Middle(v), v);
        if (rank != kQueen) {
            cairo_rectangle(cr, l - 0.04, 0.02, r - l + 0.08, 0.07);
            Fill(p.trim);
            cairo_rectangle(cr, Middle(0.05) - 0.045, 0.01, 0.09, 0.09);
            Fill(Shadow(p.trim));
        }
    }

    // One motif of the figure's pattern centred on (u, v), in the current source.
    void Motif(double u, double v) {
        const double r = 0.045;
        switch (c.pattern) {
        case Pattern::Lozenges:
            Poly({{u, v + r}, {u + r, v}, {u, v - r}, {u - r, v}});
            break;
        case Pattern::Ermine:
            Poly({{u - r * 0.6, v + r}, {u + r * 0.6, v + r}, {u, v - r}});
            break;
        case Pattern::Checks:
            cairo_rectangle(cr, u - r, v - r, r, r);
            cairo_rectangle(cr, u, v, r, r);
            break;
        case Pattern::Stripes:
            cairo_rectangle(cr, u - r * 0.3, v - 0.06, r * 0.6, 0.12);
            break;
        case Pattern::Dots:
            cairo_new_sub_path(cr);
            cairo_arc(cr, u, v, r * 0.7, 0, 2 * kPi);
            break;
        case Pattern::Scallops:
            cairo_new_sub_path(cr);
            cairo_arc(cr, u, v, r, kPi, 2 * kPi);
            break;
        case Pattern::Chevrons:
            Poly({{u - r, v}, {u, v + r}, {u + r, v}, {u + r, v - r * 0.6}, {u, v + r * 0.4}, {u - r, v - r * 0.6}});
            break;
        case Pattern::Crosses:
            cairo_rectangle(cr, u - r, v - r * 0.3, 2 * r, r * 0.6);
            cairo_rectangle(cr, u - r * 0.3, v - r, r * 0.6, 2 * r);
            break;
        case Pattern::Bands:
            cairo_rectangle(cr, u - 0.08, v - r * 0.4, 0.16, r * 0.8);
            break;
        case Pattern::Zigzag:
            Poly({{u - r, v - r}, {u, v + r}, {u + r, v - r}, {u + r * 0.5, v - r}, {u, v}, {u - r * 0.5, v - r}});
            break;
        case Pattern::Quarters:
            cairo_rectangle(cr, u - r, v - r, r, 2 * r);
            break;
        case Pattern::Diagonals:
            Poly({{u - r, v - r}, {u - r * 0.3, v - r}, {u + r, v + r}, {u + r * 0.3, v + r}});
            break;
        }
        cairo_fill(cr);
    }

    void Neckline() {
        const Rgb colour = rank == kKing ? p.collar : p.trim;
        if (rank == kKing) {
            // A broad white collar, squared.
            cairo_rectangle(cr, -0.22, 0.33, 0.44, 0.09);
            Fill(colour);
            cairo_rectangle(cr, 0, 0.33, 0.22, 0.09);
            Fill(Shadow(colour));
        } else if (rank == kQueen) {
            cairo_new_sub_path(cr);
            cairo_arc_negative(cr, 0, 0.42, 0.16, 0, kPi);
            cairo_close_path(cr);
            TwoTone(colour, 0.0);
            Dot(0, 0.33, 0.035, p.robes[c.robe == 0 ? 1 : 0]);
        } else {
            Poly({{-0.16, 0.42}, {0, 0.28}, {0.16, 0.42}});
            TwoTone(p.collar, 0.0);
        }
    }

    void HairBack() {
        const Rgb hair = c.hairColour;
        switch (c.hair) {
        case Hair::Long:
            cairo_rectangle(cr, -0.2, 0.30, 0.40, 0.34);
            TwoTone(hair, 0.06);
            break;
        case Hair::Braids:
            for (double side : {-1.0, 1.0})
                for (double v = 0.52; v > 0.28; v -= 0.08) Dot(side * 0.19, v, 0.045, side > 0 ? Shadow(hair) : hair);
            break;
        case Hair::Bob:
            cairo_rectangle(cr, -0.2, 0.48, 0.40, 0.16);
            TwoTone(hair, 0.06);
            break;
        case Hair::Curls:
            for (int i = 0; i <= 6; ++i) {
                const double a = kPi * (-0.1 + 1.2 * i / 6.0);
                Dot(0.18 * std::cos(a), 0.62 + 0.17 * std::sin(a), 0.06, i > 3 ? hair : Shadow(hair));
            }
            break;
        default:
            break;
        }
        if (c.hat == Hat::Hood) {
            Dot(0, 0.64, 0.22, Shadow(Lining()));
        } else if (c.hat == Hat::Veiled) {
            Poly({{0, 0.92}, {0.24, 0.30}, {-0.24, 0.30}});
            TwoTone(Mix(p.collar, Lining(), 0.15), 0.02);
        }
    }

    // The face's outline: a half disc over the cheeks, cut straight to a chin as wide as the
    // figure's jaw.
    void FacePath() {
        const double jaw = 0.07 * c.jaw, chin = 0.045 * c.jaw;
        cairo_move_to(cr, 0.16, 0.62);
        cairo_arc(cr, 0, 0.62, 0.16, 0, kPi);
        cairo_line_to(cr, -0.15, 0.54);
        cairo_line_to(cr, -jaw - 0.02, 0.47);
        cairo_line_to(cr, -chin, 0.445);
        cairo_line_to(cr, chin, 0.445);
        cairo_line_to(cr, jaw + 0.02, 0.47);
        cairo_line_to(cr, 0.15, 0.54);
        cairo_close_path(cr);
    }

    // The face in flat shapes: the skin in two tones split on the side it turns from, cheeks
    // as discs, eyes as lenses with an iris and a lid, brows as slanted bars, a nose of the
    // figure's shape and lips in two parts; at 1x the eyes are squares and the mouth a bar.
    void Head() {
        cairo_rectangle(cr, -0.05, 0.38, 0.10, 0.12);
        Fill(Shadow(p.skin));
        const double look = c.turn * 0.04, toward = c.turn >= 0 ? 1 : -1;
        FacePath();
        cairo_save(cr);
        cairo_clip_preserve(cr);
        Fill(p.skin);
        if (toward > 0) cairo_rectangle(cr, -2, -2, 2 - 0.09 + look, 4);
        else cairo_rectangle(cr, 0.09 + look, -2, 4, 4);
        Fill(Shadow(p.skin));
        cairo_restore(cr);
        // Hair on top: a cap of it, cut straight across the brow.
        const Rgb hair = c.hairColour;
        if (c.hat != Hat::Hood) {
            cairo_new_sub_path(cr);
            cairo_arc(cr, 0, 0.62, 0.165, kPi * (c.hair == Hair::Fringe ? 0.08 : 0.12),
                      kPi * (c.hair == Hair::Fringe ? 0.92 : 0.88));
            cairo_close_path(cr);
            TwoTone(hair, 0.08);
        }
        const double eyeV = 0.64;
        for (double side : {-1.0, 1.0}) {
            const double u = side * c.eyes + look;
            if (!fine) {
                cairo_rectangle(cr, u - 0.022, eyeV - 0.012, 0.044, 0.032);
                Fill(p.outline);
                continue;
            }
            Dot(side * (c.eyes + 0.025) + look, 0.555, 0.03, Mix(p.skin, p.lips, rank == kQueen ? 0.4 : 0.25));
            // The eye: a lens of white, the iris and pupil inside it, the lid a dark bar over it.
            const double w = 0.028, open = rank == kQueen ? 0.024 : rank == kKing ? 0.016 : 0.02;
            const auto lens = [&] {
                cairo_move_to(cr, u - w, eyeV);
                cairo_line_to(cr, u - w * 0.4, eyeV + open * 0.7);
                cairo_line_to(cr, u + w * 0.5, eyeV + open * 0.7);
                cairo_line_to(cr, u + w, eyeV);
                cairo_line_to(cr, u + w * 0.4, eyeV - open * 0.5);
                cairo_line_to(cr, u - w * 0.4, eyeV - open * 0.5);
                cairo_close_path(cr);
            };
            lens();
            Fill(kWhite);
            cairo_save(cr);
            lens();
            cairo_clip(cr);
            constexpr Rgb kIris[] = {{0.38, 0.22, 0.10}, {0.20, 0.42, 0.70}, {0.25, 0.50, 0.30}, {0.45, 0.50, 0.55}};
            cairo_rectangle(cr, u + look * 0.3 - 0.013, eyeV - 0.02, 0.026, 0.04);
            Fill(kIris[c.iris]);
            cairo_rectangle(cr, u + look * 0.3 - 0.006, eyeV - 0.02, 0.012, 0.04);
            Fill(p.outline);
            cairo_restore(cr);
            Poly({{u - w - 0.004, eyeV}, {u - w * 0.4, eyeV + open * 0.7 + 0.008}, {u + w * 0.5, eyeV + open * 0.7 + 0.008},
                  {u + w + 0.006, eyeV + 0.002}, {u + w * 0.5, eyeV + open * 0.7}, {u - w * 0.4, eyeV + open * 0.7}});
            Fill(p.outline);
            if (rank == kQueen) {
                Poly({{u + side * w, eyeV}, {u + side * (w + 0.014), eyeV + 0.016}, {u + side * (w - 0.004), eyeV + 0.01}});
                Fill(p.outline);
            }
            // The brow: a bar sloping down to the nose when stern, arched when the figure's
            // brows are high.
            const double inner = eyeV + 0.036 + c.smile * 0.012, outer = eyeV + 0.04 + c.arch * 0.01;
            const double thick = rank == kKing ? 0.016 : rank == kJack ? 0.013 : 0.009;
            const double peak = eyeV + 0.048 + c.arch * 0.018;
            Poly({{u - side * 0.028, inner}, {u + side * 0.006, peak}, {u + side * 0.036, outer},
                  {u + side * 0.036, outer + thick * 0.6}, {u + side * 0.006, peak + thick}, {u - side * 0.028, inner + thick}});
            Fill(Mix(hair, p.outline, 0.35));
        }
        // The nose: a wedge of shadow from between the eyes to the tip, turned the way the face
        // looks, short for a snub nose, hooked or broad at the wings.
        const double tipV = 0.60 - c.nose + (c.noseShape == Nose::Snub ? 0.008 : 0.0);
        const double reach = c.noseShape == Nose::Hooked ? 0.04 : c.noseShape == Nose::Broad ? 0.035 : 0.028;
        const double wing = c.noseShape == Nose::Broad ? 0.025 : 0.008;
        Poly({{look, 0.63}, {look + toward * reach, tipV}, {look - toward * wing, tipV}});
        Fill(Shadow(p.skin));
        if (fine) {
            if (c.noseShape == Nose::Hooked) {
                Poly({{look, 0.63}, {look + toward * 0.018, 0.60}, {look + toward * 0.006, 0.63}});
                Fill(Shadow(p.skin));
            }
            cairo_rectangle(cr, look - toward * 0.012 - 0.005, tipV - 0.004, 0.01, 0.008);
            Fill(Mix(Shadow(p.skin), p.outline, 0.3));
        }
        const double mouthV = 0.57 - c.nose, mouthW = 0.036 + c.smile * 0.015;
        switch (c.beard) {
        case Beard::None:
        case Beard::Moustache:
            break;
        case Beard::Long:
            Poly({{-0.15, 0.60}, {0.15, 0.60}, {0, 0.26}});
            TwoTone(hair, 0.03);
            break;
        case Beard::Forked:
            Poly({{-0.15, 0.60}, {0.15, 0.60}, {0.08, 0.34}, {0, 0.44}, {-0.08, 0.34}});
            TwoTone(hair, 0.03);
            break;
        case Beard::Short:
            cairo_new_sub_path(cr);
            cairo_arc_negative(cr, 0, 0.60, 0.155, 0, kPi);
            cairo_close_path(cr);
            TwoTone(hair, 0.05);
            break;
        }
        if (!fine) {
            cairo_rectangle(cr, look - mouthW, mouthV - 0.012, 2 * mouthW, 0.024);
            Fill(p.lips);
        } else {
            // The upper lip a dark band with a notch at its middle, the lower lip a half disc;
            // a smile lifts the corners.
            const double lift = c.smile * 0.012;
            Poly({{look - mouthW, mouthV + lift}, {look - 0.01, mouthV + 0.012}, {look, mouthV + 0.007},
                  {look + 0.01, mouthV + 0.012}, {look + mouthW, mouthV + lift}, {look, mouthV - 0.002}});
            Fill(Mix(p.lips, p.outline, 0.25));
            cairo_move_to(cr, look - mouthW * 0.75, mouthV - 0.002);
            cairo_curve_to(cr, look - mouthW * 0.5, mouthV - (rank == kQueen ? 0.03 : 0.022), look + mouthW * 0.5,
                           mouthV - (rank == kQueen ? 0.03 : 0.022), look + mouthW * 0.75, mouthV - 0.002);
            cairo_close_path(cr);
            Fill(p.lips);
        }
        if (c.beard != Beard::None) {
            // The moustache: two slanted blades meeting under the nose, ends up or down.
            const double droop = c.beard == Beard::Long ? 0.03 : c.beard == Beard::Moustache ? -0.025 : 0.005;
            for (double side : {-1.0, 1.0}) {
                Poly({{look, mouthV + 0.03}, {look + side * 0.09, mouthV - droop}, {look + side * 0.07, mouthV - droop + 0.012},
                      {look, mouthV + 0.012}});
                Fill(side * toward > 0 ? hair : Shadow(hair));
            }
        }
    }

    // Headwear as ruled shapes: crowns as zigzags, caps as half discs and bars.
    void Crown() {
        const Rgb gold = p.trim;
        const Rgb jewel = p.robes[c.robe == 0 ? 1 : 0];
        switch (c.hat) {
        case Hat::Spiked:
            Poly({{-0.17, 0.74}, {-0.17, 0.96}, {-0.085, 0.84}, {0, 0.95}, {0.085, 0.84}, {0.17, 0.96}, {0.17, 0.74}});
            TwoTone(gold, 0.04);
            Dot(0, 0.79, 0.03, jewel);
            break;
        case Hat::Arched:
            cairo_new_sub_path(cr);
            cairo_arc(cr, 0, 0.78, 0.16, 0, kPi);
            cairo_close_path(cr);
            TwoTone(Lining(), 0.04);
            cairo_rectangle(cr, -0.17, 0.74, 0.34, 0.07);
            TwoTone(gold, 0.04);
            cairo_rectangle(cr, -0.015, 0.80, 0.03, 0.18);
            cairo_rectangle(cr, -0.05, 0.92, 0.10, 0.03);
            Fill(gold);
            break;
        case Hat::Fleuron:
            cairo_rectangle(cr, -0.17, 0.74, 0.34, 0.08);
            TwoTone(gold, 0.04);
            for (double u : {-0.12, 0.0, 0.12}) Dot(u, u == 0 ? 0.89 : 0.86, 0.045, u > 0 ? Shadow(gold) : gold);
            Dot(0, 0.78, 0.025, jewel);
            break;
        case Hat::CrownedCap:
            cairo_new_sub_path(cr);
            cairo_arc(cr, 0, 0.78, 0.15, 0, kPi);
            cairo_close_path(cr);
            TwoTone(Lining(), 0.04);
            Poly({{-0.17, 0.74}, {-0.17, 0.86}, {-0.1, 0.8}, {0, 0.88}, {0.1, 0.8}, {0.17, 0.86}, {0.17, 0.74}});
            TwoTone(gold, 0.04);
            Dot(0, 0.95, 0.035, gold);
            break;
        case Hat::Tiara:
            Poly({{-0.16, 0.74}, {0, 0.92}, {0.16, 0.74}});
            TwoTone(gold, 0.0);
            Dot(0, 0.80, 0.03, jewel);
            break;
        case Hat::Veiled:
            cairo_rectangle(cr, -0.16, 0.74, 0.32, 0.08);
            TwoTone(gold, 0.04);
            break;
        case Hat::Pearls:
            for (int i = 0; i <= 6; ++i) {
                const double a = kPi * (0.1 + 0.8 * i / 6.0);
                Dot(-0.17 * std::cos(a), 0.72 + 0.12 * std::sin(a), 0.03, p.collar);
            }
            Dot(-0.17, 0.78, 0.05, p.robes[0]);
            break;
        case Hat::Hood:
            cairo_rectangle(cr, -0.16, 0.72, 0.32, 0.05);
            Fill(gold);
            break;
        case Hat::FeatherCap:
            Poly({{-0.19, 0.72}, {0.22, 0.72}, {0.0, 0.90}});
            TwoTone(Robe(), 0.06);
            Poly({{0.05, 0.82}, {0.40, 0.98}, {0.12, 0.80}});
            Fill(p.collar);
            break;
        case Hat::Beret:
            cairo_rectangle(cr, -0.22, 0.74, 0.46, 0.09);
            TwoTone(Lining(), 0.08);
            Dot(0.18, 0.79, 0.03, gold);
            break;
        case Hat::Brimmed:
            cairo_rectangle(cr, -0.12, 0.74, 0.24, 0.18);
            TwoTone(Lining(), 0.04);
            cairo_rectangle(cr, -0.28, 0.72, 0.56, 0.04);
            Fill(Shadow(Lining()));
            cairo_rectangle(cr, -0.12, 0.77, 0.24, 0.03);
            Fill(gold);
            break;
        case Hat::Helmet:
            cairo_new_sub_path(cr);
            cairo_arc(cr, 0, 0.70, 0.18, 0, kPi);
            cairo_close_path(cr);
            TwoTone(p.blade, 0.05);
            Poly({{0, 0.86}, {0.30, 0.96}, {0.26, 0.86}});
            Fill(Lining());
            break;
        }
    }

    // Where the attribute's hand holds it.
    Point Grip() const {
        switch (c.item) {
        case Item::Orb:
        case Item::Rose:
        case Item::Fan:
            return {0.28, 0.18};
        case Item::Bow:
            return {0.46, 0.42};
        default:
            return {0.40, 0.22};
        }
    }

    // A sleeve bent square at the elbow: straight down from the shoulder, then across to the
    // wrist, in the colour of the other half, ending in a gold cuff. Returns the forearm's
    // direction for the hand.
    double Arm(Point h, double side) {
        const double u0 = kAxisU + side * (Shoulder() - 0.1);
        const double elbowV = std::min(h.v - 0.16, 0.04);
        const double du = h.u - u0, dv = h.v - elbowV, len = std::hypot(du, dv);
        const Point d{du / len, dv / len};
        const Point wrist{h.u - d.u * 0.075, h.v - d.v * 0.075};
        cairo_move_to(cr, u0, kShoulderV - 0.06);
        cairo_line_to(cr, u0, elbowV);
        cairo_line_to(cr, wrist.u, wrist.v);
        cairo_set_line_join(cr, CAIRO_LINE_JOIN_MITER);
        const Rgb colour = side > 0 ? Robe() : Lining();
        Stroke(0.13, colour);
        cairo_move_to(cr, u0 + side * 0.035, kShoulderV - 0.08);
        cairo_line_to(cr, u0 + side * 0.035, elbowV);
        Stroke(0.06, Shadow(colour));
        cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
        // The cuff: a gold band across the wrist, its far half in shadow.
        const Point n{-d.v, d.u};
        const Point a{wrist.u - d.u * 0.05, wrist.v - d.v * 0.05}, b{wrist.u + d.u * 0.01, wrist.v + d.v * 0.01};
        Poly({{a.u + n.u * 0.075, a.v + n.v * 0.075}, {b.u + n.u * 0.075, b.v + n.v * 0.075}, {b.u, b.v}, {a.u, a.v}});
        Fill(p.trim);
        Poly({{a.u, a.v}, {b.u, b.v}, {b.u - n.u * 0.075, b.v - n.v * 0.075}, {a.u - n.u * 0.075, a.v - n.v * 0.075}});
        Fill(Shadow(p.trim));
        return std::atan2(d.v, d.u);
    }

    // A fist closed round what it holds, the forearm along angle: the back of the hand, four
    // curled fingers as rounded bars across the grip, the thumb laid over them.
    void Fist(Point at, double angle) {
        cairo_save(cr);
        cairo_translate(cr, at.u, at.v);
        cairo_rotate(cr, angle);
        cairo_scale(cr, 1, std::cos(angle) < 0 ? -1 : 1);  // keeps the thumb on top
        const Rgb skin = p.skin;
        RoundedRect(cr, -0.06, -0.05, 0.085, 0.10, 0.02);
        Fill(skin);
        cairo_rectangle(cr, -0.06, -0.05, 0.085, 0.035);
        Fill(Shadow(skin));
        for (int k = 0; k < 4; ++k) {
            const double y = -0.05 + k * 0.025;
            RoundedRect(cr, 0.005, y + 0.001, 0.06, 0.023, 0.011);
            Fill(k % 2 == 0 ? skin : Mix(skin, Shadow(skin), 0.5));
        }
        cairo_save(cr);
        cairo_translate(cr, -0.01, 0.038);
        cairo_rotate(cr, -0.25);
        RoundedRect(cr, -0.035, -0.013, 0.075, 0.026, 0.013);
        cairo_restore(cr);
        Fill(Light(skin));
        cairo_restore(cr);
    }

    // An open hand, the fingers along angle: a square palm, four fingers as rounded bars with
    // a pixel's gap between them, the thumb turned towards the body's middle.
    void OpenHand(Point at, double angle) {
        cairo_save(cr);
        TurnToHand(cr, at, angle);
        const Rgb skin = p.skin;
        RoundedRect(cr, -0.05, -0.045, 0.08, 0.09, 0.015);
        Fill(skin);
        cairo_rectangle(cr, -0.05, -0.045, 0.08, 0.03);
        Fill(Shadow(skin));
        const double lengths[] = {0.06, 0.075, 0.07, 0.055};
        const double gap = std::max(pixel, 0.004);
        for (int k = 0; k < 4; ++k) {
            const double w = (0.09 - 3 * gap) / 4, y = -0.045 + k * (w + gap);
            RoundedRect(cr, 0.02, y, lengths[k], w, w / 2);
            Fill(k == 0 ? Shadow(skin) : skin);
        }
        cairo_save(cr);
        cairo_translate(cr, -0.02, 0.045);
        cairo_rotate(cr, 0.75);
        RoundedRect(cr, 0, -0.012, 0.065, 0.024, 0.012);
        cairo_restore(cr);
        Fill(Light(skin));
        cairo_restore(cr);
    }

    // A gauntlet hanging from the fist by its flared cuff.
    void Glove(Point h) {
        const Rgb leather = Mix(p.wood, p.collar, 0.45);
        Poly({{h.u - 0.03, h.v - 0.03}, {h.u - 0.01, h.v - 0.27}, {h.u + 0.07, h.v - 0.25}, {h.u + 0.04, h.v - 0.03}});
        Fill(leather);
        Poly({{h.u + 0.015, h.v - 0.03}, {h.u + 0.03, h.v - 0.26}, {h.u + 0.07, h.v - 0.25}, {h.u + 0.04, h.v - 0.03}});
        Fill(Shadow(leather));
        Poly({{h.u - 0.05, h.v - 0.03}, {h.u + 0.07, h.v - 0.03}, {h.u + 0.05, h.v - 0.11}, {h.u - 0.04, h.v - 0.11}});
        Fill(p.trim);
    }

    // The attribute, in two layers: the long ones stand behind the body, the small ones and
    // heads of the long ones in front of it.
    void Attribute(bool front) {
        const Point g = Grip();
        const double u = g.u;
        auto staff = [&](double top) {
            if (front) return;
            cairo_rectangle(cr, u - 0.025, -0.4, 0.05, top + 0.4);
            TwoTone(p.wood, u);
        };
        switch (c.item) {
        case Item::Sword:
            if (!front) {
                Poly({{u - 0.035, 0.28}, {u - 0.035, 0.86}, {u, 0.94}, {u + 0.035, 0.86}, {u + 0.035, 0.28}});
                TwoTone(p.blade, u);
            } else {
                cairo_rectangle(cr, u - 0.1, 0.26, 0.2, 0.04);
                Fill(p.trim);
            }
            break;
        case Item::Axe:
            staff(0.9);
            if (!front) {
                cairo_move_to(cr, u, 0.88);
                cairo_arc(cr, u, 0.78, 0.12, -kPi / 2, kPi / 2);
                cairo_close_path(cr);
                TwoTone(p.blade, u + 0.06);
            }
            break;
        case Item::Orb:
            if (front) {
                cairo_new_sub_path(cr);
                cairo_arc(cr, u, 0.32, 0.1, 0, 2 * kPi);
                TwoTone(p.trim, u + 0.03);
                cairo_rectangle(cr, u - 0.1, 0.31, 0.2, 0.02);
                cairo_rectangle(cr, u - 0.012, 0.42, 0.024, 0.1);
                cairo_rectangle(cr, u - 0.04, 0.47, 0.08, 0.022);
                Fill(Shadow(p.trim));
            }
            break;
        case Item::Sceptre:
            if (front) {
                cairo_rectangle(cr, u - 0.02, 0.1, 0.04, 0.66);
                Fill(p.trim);
                Poly({{u, 0.92}, {u + 0.06, 0.82}, {u, 0.72}, {u - 0.06, 0.82}});
                TwoTone(p.robes[1], u);
            }
            break;
        case Item::Lily:
            staff(0.84);
            if (!front)
                for (double side : {-1.0, 0.0, 1.0}) {
                    Poly({{u + side * 0.07, 0.84}, {u + side * 0.09, 0.98}, {u + side * 0.02, 0.84}});
                    Fill(p.trim);
                }
            break;
        case Item::Rose:
            if (front) {
                Line(u, g.v, u + 0.06, 0.52, 0.03, p.leaf);
                Dot(u + 0.06, 0.56, 0.07, p.robes[0]);
                Dot(u + 0.06, 0.56, 0.035, Shadow(p.robes[0]));
            }
            break;
        case Item::Leaf:
            staff(0.7);
            if (!front)
                for (int i = 0; i < 3; ++i) {
                    const double v = 0.44 + 0.16 * i;
                    Poly({{u, v}, {u - 0.1, v + 0.06}, {u - 0.02, v + 0.08}});
                    Fill(p.leaf);
                    Poly({{u, v + 0.06}, {u + 0.1, v + 0.12}, {u + 0.02, v + 0.14}});
                    Fill(Shadow(p.leaf));
                }
            break;
        case Item::Fan:
            if (front) {
                cairo_move_to(cr, u, 0.2);
                cairo_arc(cr, u, 0.2, 0.26, kPi * 0.25, kPi * 0.75);
                cairo_close_path(cr);
                TwoTone(Light(p.trim), u);
                for (int rib = 1; rib < 4; ++rib) {
                    const double a = kPi * (0.25 + 0.5 * rib / 4.0);
                    Line(u, 0.2, u + 0.26 * std::cos(a), 0.2 + 0.26 * std::sin(a), 0.015, Shadow(p.trim));
                }
            }
            break;
        case Item::Lance:
            staff(0.96);
            if (!front) {
                Poly({{u + 0.025, 0.92}, {u + 0.30, 0.86}, {u + 0.025, 0.78}});
                Fill(Lining());
            }
            break;
        case Item::Torch:
            if (front) {
                cairo_rectangle(cr, u - 0.025, 0.1, 0.05, 0.5);
                Fill(p.wood);
                Poly({{u - 0.06, 0.62}, {u + 0.06, 0.62}, {u + 0.04, 0.58}, {u - 0.04, 0.58}});
                Fill(p.trim);
                Poly({{u - 0.07, 0.64}, {u + 0.07, 0.64}, {u, 0.9}});
                TwoTone(p.flame, u);
            }
            break;
        case Item::Halberd:
            staff(0.96);
            if (!front) {
                Poly({{u + 0.025, 0.86}, {u + 0.16, 0.84}, {u + 0.16, 0.68}, {u + 0.025, 0.72}});
                TwoTone(p.blade, u + 0.09);
                Poly({{u - 0.025, 0.80}, {u - 0.09, 0.76}, {u - 0.025, 0.74}});
                Fill(p.blade);
            }
            break;
        case Item::Bow:
            if (!front) {
                cairo_new_sub_path(cr);
                cairo_arc(cr, u - 0.2, 0.48, 0.44, -kPi * 0.3, kPi * 0.3);
                Stroke(0.045, p.wood);
                const double a = kPi * 0.3;
                Line(u - 0.2 + 0.44 * std::cos(a), 0.48 - 0.44 * std::sin(a), u - 0.2 + 0.44 * std::cos(a),
                     0.48 + 0.44 * std::sin(a), 0.012, p.outline);
            }
            break;
        }
    }

    const Palette& p;
    const Court& c;
    int rank;
    bool fine;
    Hold hold;
};

}  // namespace

void CourtFramePath(cairo_t* cr, const CourtFrame& f, double inset) {
    // The turned corner's inner point.
    const double turnedU = 2 * f.x + f.w - f.notchRight, turnedV = 2 * f.y + f.h - f.notchBottom;
    const double right = f.x + f.w - inset, bottom = f.y + f.h - inset;
    cairo_move_to(cr, f.notchRight + inset, f.y + inset);
    cairo_line_to(cr, right, f.y + inset);
    cairo_line_to(cr, right, turnedV - inset);
    cairo_line_to(cr, turnedU - inset, turnedV - inset);
    cairo_line_to(cr, turnedU - inset, bottom);
    cairo_line_to(cr, f.x + inset, bottom);
    cairo_line_to(cr, f.x + inset, f.notchBottom + inset);
    cairo_line_to(cr, f.notchRight + inset, f.notchBottom + inset);
    cairo_close_path(cr);
}

void DrawCourtPicture(cairo_t* cr, bool modern, int suit, int rank, Rgb suitColour, const CourtFrame& frame) {
    const Palette palette = modern ? ModernPalette() : ClassicPalette();
    const Court& court = kCourts[suit][rank - kJack];
    const double x = frame.x, y = frame.y, w = frame.w, h = frame.h;
    const double cx = x + w / 2;
    const double cy = y + h / 2;
    // The classic divider slants, the modern one is level.
    const double slant = modern ? 0 : 0.05 * w;
    // One figure unit is half the frame's height; the device scale decides how fine a line may be.
    const double unit = h / 2;
    double dx = 1, dy = 0;
    cairo_user_to_device_distance(cr, &dx, &dy);
    const double scale = std::hypot(dx, dy);
    const double pixel = 1 / (unit * scale);
    const bool fine = scale > 1.5;
    const Point suitAt = HoldOf(court).left ? kSuitBesideHead : kSuitBelowIndex;

    cairo_save(cr);
    CourtFramePath(cr, frame, 0);
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
        cairo_scale(cr, unit, -unit);
        cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
        if (modern) {
            FlatFigure(cr, palette, court, rank, pixel, fine).Draw();
        } else {
            Figure(cr, palette, court, rank, pixel, fine).Draw();
        }
        cairo_restore(cr);
        SetRgb(cr, suitColour);
        FillSuit(cr, suit, cx + suitAt.u * unit, cy - suitAt.v * unit, std::max(0.16 * unit, 5.5));
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
