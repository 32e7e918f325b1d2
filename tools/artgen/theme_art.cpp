// The six table themes. Every surface is procedural (smooth noise with a fixed seed per theme),
// so the pictures are the same on every build, and each theme's pieces share one palette: the
// table, its menu bar, its dialogs and its drop-down panels look like parts of one object.
#include "tools/artgen/theme_art.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <vector>

#include "cards/card_geometry.h"
#include "tools/artgen/bmp_writer.h"
#include "tools/artgen/card_art.h"
#include "games/game_registry.h"
#include "artwork/screen_layout.h"
#include "ui/art_cells.h"

namespace sl = screen_layout;

namespace {

constexpr double kPi = 3.14159265358979323846;

constexpr Rgbf kGoldAccent{0.86, 0.70, 0.31};

// The light themes' chrome: sepia rimmed in vellum, charcoal in silver, navy in pale steel.
const std::array<ThemeLook, sl::kThemeCount> kLooks = {{
    {"felt", Texture::Felt, {0.07, 0.33, 0.17}, kGoldAccent, true, 11, {0.07, 0.33, 0.17}, kGoldAccent},
    {"parchment", Texture::Parchment, {0.64, 0.48, 0.28}, {0.42, 0.27, 0.12}, false, 23, {0.30, 0.20, 0.10},
     {0.88, 0.77, 0.56}},
    {"velvet", Texture::Velvet, {0.07, 0.10, 0.28}, {0.92, 0.75, 0.28}, true, 37, {0.07, 0.10, 0.28},
     {0.92, 0.75, 0.28}},
    {"marble", Texture::Marble, {0.50, 0.50, 0.49}, {0.30, 0.29, 0.28}, false, 41, {0.19, 0.19, 0.20},
     {0.80, 0.80, 0.81}},
    {"linen", Texture::Linen, {0.37, 0.45, 0.54}, {0.22, 0.30, 0.40}, false, 53, {0.11, 0.15, 0.24},
     {0.66, 0.75, 0.87}},
    {"wood", Texture::Wood, {0.29, 0.16, 0.08}, kGoldAccent, true, 67, {0.29, 0.16, 0.08}, kGoldAccent},
}};

// Where the status texts stand: a recessed rail keeps their pale colours readable on every table.
constexpr double kRailLeft = 16, kRailTop = 546, kRailWidth = 768, kRailHeight = 38, kRailRadius = 9;

// The rounded corner of a card cell, shared with the card pictures' look.
constexpr double kCellCornerRadius = 4.5;

constexpr int kStripHeight = art::kDialogArtHeight - art::kStripTop;
constexpr int kPlateWidth = art::kPlateRight - art::kPlateLeft + 1;
constexpr int kPlateHeight = art::kPlateBottom - art::kPlateTop + 1;
constexpr int kFaceHeight = art::kButtonFaceBottom - art::kButtonFaceTop + 1;
constexpr int kFrameWidth = 8;  // the dialogs cut their right and bottom borders 8 pixels wide

constexpr int kChecksWidth = art::kCheckWidth;
constexpr int kChecksHeight = 4 * art::kCheckHeight;
constexpr int kDropDownRows = art::kDropDownImageHeight;

uint32_t Pack(Rgbf c) { return PackRgb(c.r, c.g, c.b); }

void SetSource(cairo_t* cr, Rgbf c, double alpha = 1.0) { cairo_set_source_rgba(cr, c.r, c.g, c.b, alpha); }

// Lettering colour of the light themes: a warm near-black.
constexpr Rgbf kInk{0.10, 0.07, 0.04};

}  // namespace

const ThemeLook& ThemeLookOf(int theme) { return kLooks[static_cast<size_t>(std::clamp(theme, 0, 5))]; }

namespace {

// Noise stretched along one of kStreakAngles fixed directions: long along it, short across it,
// for fibres and brushed pile. The directions are fixed for the whole picture: turning the
// coordinates from place to place would swing far ones round the origin and draw whorls.
constexpr int kStreakAngles = 6;

struct Direction {
    double c, s;
};
// The fixed directions' cosines and sines, worked out once.
const std::array<Direction, kStreakAngles>& StreakDirections() {
    static const std::array<Direction, kStreakAngles> directions = [] {
        std::array<Direction, kStreakAngles> d{};
        for (int k = 0; k < kStreakAngles; ++k)
            d[static_cast<size_t>(k)] = {std::cos(k * kPi / kStreakAngles), std::sin(k * kPi / kStreakAngles)};
        return d;
    }();
    return directions;
}

double StreakNoise(double x, double y, int direction, double along, double across, uint32_t seed) {
    const Direction d = StreakDirections()[static_cast<size_t>(direction)];
    const uint32_t own = seed + static_cast<uint32_t>(direction);
    return ValueNoise((x * d.c + y * d.s) / along, (y * d.c - x * d.s) / across, own);
}

// Streaks that follow a direction varying from place to place: the streaks of the fixed
// directions, each weighted by how close it lies to the local one (angles modulo a half turn).
double FlowStreaks(double x, double y, double direction, double along, double across, uint32_t seed) {
    const double c2 = std::cos(2.0 * direction), s2 = std::sin(2.0 * direction);
    double sum = 0, total = 0;
    for (int k = 0; k < kStreakAngles; ++k) {
        // cos(2 (direction - angle k)), from the double angle formulas.
        const Direction d = StreakDirections()[static_cast<size_t>(k)];
        const double closeness = std::max(0.0, c2 * (d.c * d.c - d.s * d.s) + s2 * (2 * d.c * d.s));
        const double weight = closeness * closeness * closeness * closeness * closeness * closeness;
        if (weight < 0.01) continue;
        sum += weight * StreakNoise(x, y, k, along, across, seed);
        total += weight;
    }
    return total > 0 ? sum / total : 0.0;
}

// Grain finer than any device pixel: a different value for every device pixel at scales up to
// 6, so the larger scales get detail of their own instead of blocks of the logical pixel's.
double FineGrain(double x, double y, uint32_t seed) {
    return Grain(static_cast<int>(std::floor(x * 6.0)), static_cast<int>(std::floor(y * 6.0)), seed);
}

// A soft line where a smooth field crosses zero: 1 on the line, falling to 0 at about width.
double Ridge(double field, double width) {
    const double t = field / width;
    return std::exp(-t * t);
}

// The costly, slowly varying parts of a material at a point (clouds, the fields whose zero lines
// are veins, the lay of a pile). They change little across a logical pixel, so the larger
// scales take them from the logical pixels' corners and add only the fine detail per device
// pixel, where it is drawn at its full sharpness.
struct SmoothFields {
    std::array<double, 8> v{};
};

SmoothFields Blend(const SmoothFields& a, const SmoothFields& b, double t) {
    SmoothFields out;
    for (size_t i = 0; i < out.v.size(); ++i) out.v[i] = a.v[i] + (b.v[i] - a.v[i]) * t;
    return out;
}

bool HasSmoothFields(Texture texture) {
    return texture == Texture::Marble || texture == Texture::Parchment || texture == Texture::Velvet;
}

// Polished grey marble: clouded ground, main veins that swell, thin out and fade along their
// course with a darker core, a web of fine pale secondary veins, and the soft gloss of polish.
SmoothFields MarbleFields(uint32_t s, double x, double y) {
    // Warping the coordinates bends every vein the same way, as the stone's layers were folded.
    const double wx = x + 140.0 * Fractal(x / 300.0, y / 300.0, 3, s + 11);
    const double wy = y + 140.0 * Fractal(x / 300.0 + 7.3, y / 300.0 - 2.1, 3, s + 12);
    SmoothFields f;
    f.v[0] = Fractal(x / 260.0, y / 220.0, 4, s + 9);  // clouds
    // Main veins are the zero lines of a field stretched along the diagonal, so they run one way
    // but wander; where the field is flat they widen.
    f.v[1] = Fractal((wx * 0.8 + wy * 0.6) / 520.0, (wy * 0.8 - wx * 0.6) / 230.0, 4, s + 20);
    f.v[2] = 0.018 + 0.030 * (0.5 + 0.5 * ValueNoise(x / 170.0, y / 170.0, s + 21));                   // width
    f.v[3] = std::clamp(0.25 + 0.9 * (0.5 + ValueNoise(x / 140.0, y / 140.0, s + 22)), 0.0, 1.0);      // depth
    // Secondary veins: thin, pale, only in patches, thinning and fading along their course.
    f.v[4] = Fractal((wx * 0.8 + wy * 0.6) / 210.0, (wy * 0.8 - wx * 0.6) / 80.0, 3, s + 30);
    f.v[5] = Fractal(wx / 70.0, wy / 45.0, 2, s + 32);
    f.v[6] = std::clamp(0.5 + 2.2 * Fractal(x / 210.0, y / 210.0, 2, s + 31), 0.0, 1.0);  // patches
    f.v[7] = 0.5 + ValueNoise(x / 60.0, y / 60.0, s + 34);                                // taper
    return f;
}

Rgbf MarbleFinish(const ThemeLook& look, const SmoothFields& f, double x, double y) {
    const double cloud = f.v[0], main = f.v[1], width = f.v[2], depth = f.v[3];
    const double fine = f.v[4], hairField = f.v[5], patch = f.v[6], taper = f.v[7];
    const double core = Ridge(main, width) * depth;
    const double bed = Ridge(main, width * 4.0) * depth;  // the vein's stain spreading into the stone
    const double thread =
        Ridge(fine, 0.004 + 0.010 * std::clamp(taper, 0.0, 1.0)) * patch * std::clamp(taper, 0.2, 1.0);
    const double hair = Ridge(hairField, 0.006) * patch * 0.4;
    Rgbf c = Scale(look.base, 1.0 + 0.10 * cloud + 0.012 * FineGrain(x, y, look.seed + 33));
    c = Mix(c, Rgbf{0.40, 0.41, 0.42}, 0.35 * bed);
    c = Mix(c, Rgbf{0.23, 0.235, 0.25}, 0.85 * core);
    c = Mix(c, Rgbf{0.70, 0.70, 0.68}, 0.35 * thread + 0.2 * hair);
    // Polish: a broad, soft reflection across the upper left of the slab.
    const double along = (x * 0.8 - y * 0.6 - 60.0) / 260.0;
    return Scale(c, 1.0 + 0.05 * std::exp(-along * along));
}

// Parchment: a skin's mottled tone, with lighter and darker clouds and a few small stains, and
// short fibres lying every which way that catch the light.
SmoothFields ParchmentFields(uint32_t s, double x, double y) {
    SmoothFields f;
    f.v[0] = Fractal(x / 170.0, y / 140.0, 5, s);      // blotches
    f.v[1] = Fractal(x / 38.0, y / 34.0, 3, s + 3);    // mottling
    // Foxing: a few soft brown spots where two noises peak together.
    const double peaks = Fractal(x / 18.0, y / 18.0, 3, s + 4) + Fractal(x / 90.0, y / 90.0, 2, s + 5);
    f.v[2] = std::clamp((peaks - 0.55) * 2.0, 0.0, 1.0);
    f.v[3] = 2.0 * kPi * Fractal(x / 200.0, y / 200.0, 2, s + 6);  // the fibres' direction
    f.v[4] = Fractal(x / 60.0, y / 60.0, 3, s + 40);                 // how ragged the aged margin is
    return f;
}

Rgbf ParchmentFinish(const ThemeLook& look, const SmoothFields& f, double x, double y) {
    const uint32_t s = look.seed;
    const double blotch = f.v[0], mottle = f.v[1], spot = f.v[2];
    // Short fibres following the slowly turning direction, over a finer felt of them at random.
    const double fibre = FlowStreaks(x, y, f.v[3], 6.0, 0.8, s + 7) + 0.5 * ValueNoise(x / 0.8, y / 0.8, s + 12);
    const Rgbf stain{0.50, 0.35, 0.18}, pale{0.72, 0.57, 0.36};
    Rgbf c = Mix(look.base, pale, std::clamp(-blotch * 1.2, 0.0, 0.6));
    c = Mix(c, stain, std::clamp(blotch * 1.3, 0.0, 0.7) + 0.25 * std::max(0.0, mottle));
    c = Mix(c, Rgbf{0.47, 0.31, 0.15}, 0.45 * spot * spot);
    const double g = Grain(static_cast<int>(std::floor(x)), static_cast<int>(std::floor(y)), s);
    return Scale(c, 1.0 + 0.045 * mottle + 0.03 * fibre + 0.01 * g);
}

// The darker, irregular margin of a sheet of parchment, where the skin has aged the most.
Rgbf AgedEdge(const SmoothFields& f, Rgbf c, double x, double y) {
    const double edge = std::min({x, y, sl::kScreenWidth - x, sl::kScreenHeight - y});
    const double ragged = edge + 22.0 * f.v[4];
    const double age = std::exp(-std::max(0.0, ragged) / 55.0);
    return Mix(c, Rgbf{0.36, 0.22, 0.09}, 0.75 * age);
}

// Velvet: a dense pile whose lay turns slowly across the cloth, so it catches the light in broad
// soft sheens and dark troughs, with brush marks along the lay and a fine pile on top.
SmoothFields VelvetFields(uint32_t s, double x, double y) {
    SmoothFields f;
    f.v[0] = 0.8 + 2.6 * Fractal(x / 380.0, y / 320.0, 3, s);  // the pile's lay
    f.v[1] = FlowStreaks(x, y, f.v[0], 60.0, 14.0, s + 2);     // broad brush marks
    return f;
}

Rgbf VelvetFinish(const ThemeLook& look, const SmoothFields& f, double x, double y) {
    const uint32_t s = look.seed;
    const double lay = f.v[0], light = -0.4;
    const double facing = 0.5 + 0.5 * std::cos(2.0 * (lay - light));
    const double brush = f.v[1] + 0.4 * FlowStreaks(x, y, lay, 12.0, 2.0, s + 8);
    // The pile: a tuft of its own at every device pixel.
    const double pile = FineGrain(x, y, s + 20);
    const double sheen = std::clamp(facing * facing * (0.9 + 0.35 * brush), 0.0, 1.2);
    const Rgbf shadow = Scale(look.base, 0.85), lit{0.22, 0.28, 0.58};
    return Scale(Mix(shadow, lit, 0.55 * sheen), 1.0 + 0.05 * brush + 0.05 * pile);
}

SmoothFields FieldsOf(const ThemeLook& look, double x, double y) {
    switch (look.texture) {
        case Texture::Marble: return MarbleFields(look.seed, x, y);
        case Texture::Parchment: return ParchmentFields(look.seed, x, y);
        default: return VelvetFields(look.seed, x, y);  // the only other texture with fields
    }
}

Rgbf FinishOf(const ThemeLook& look, const SmoothFields& f, double x, double y) {
    switch (look.texture) {
        case Texture::Marble: return MarbleFinish(look, f, x, y);
        case Texture::Parchment: return ParchmentFinish(look, f, x, y);
        default: return VelvetFinish(look, f, x, y);
    }
}

}  // namespace

// Coordinates are logical pixels; between whole numbers for art at a device scale above 1, where
// the grain stays that of the logical pixel and planks keep their logical seams.
Rgbf SurfaceAt(const ThemeLook& look, double x, double y, bool seams) {
    const uint32_t s = look.seed;
    const double g = Grain(static_cast<int>(std::floor(x)), static_cast<int>(std::floor(y)), s);
    switch (look.texture) {
        case Texture::Felt: {
            const double mottle = Fractal(x / 110.0, y / 110.0, 3, s);
            const double fibre = ValueNoise(x / 2.3, y / 2.3, s + 7);
            return Scale(look.base, 1.0 + 0.09 * mottle + 0.05 * fibre + 0.035 * g);
        }
        case Texture::Velvet:
        case Texture::Parchment:
        case Texture::Marble:
            return FinishOf(look, FieldsOf(look, x, y), x, y);
        case Texture::Wood: {
            const int plank = static_cast<int>(std::floor(y / 120));
            const double warp = Fractal(x / 260.0, y / 35.0 + plank * 5.3, 3, s);
            const double rings = std::sin(y * 0.33 + warp * 9.0 + plank * 1.7);
            const double streak = ValueNoise(x / 45.0, y * 1.3, s + 3);
            double f = 1.0 + 0.10 * rings * rings - 0.05 + 0.06 * streak + 0.025 * g;
            const int inPlank = static_cast<int>(std::floor(y)) - plank * 120;
            if (seams && inPlank == 0) f *= 0.55;  // the seam between two planks
            if (seams && inPlank == 1) f *= 1.12;
            const Rgbf warm{look.base.r * 1.08, look.base.g * 0.98, look.base.b * 0.9};
            return Scale(Mix(look.base, warm, 0.5 + 0.5 * warp), f);
        }
        case Texture::Linen: {
            const double warpThread = 0.5 + 0.5 * std::sin(x * kPi / 1.5);
            const double weftThread = 0.5 + 0.5 * std::sin(y * kPi / 1.5);
            const double slubX = ValueNoise(x / 1.5, y / 30.0, s);
            const double slubY = ValueNoise(x / 30.0, y / 1.5, s + 1);
            const double cloud = Fractal(x / 200.0, y / 200.0, 2, s + 2);
            const double f = 1.0 + 0.025 * (warpThread - weftThread) + 0.03 * slubX + 0.03 * slubY + 0.04 * cloud +
                             0.015 * g;
            return Scale(look.base, f);
        }
    }
    return look.base;
}

Rgbf FieldAt(const ThemeLook& look, double x, double y) {
    // Menus are quieter than the table: the same material, darker (or lighter) and calmer.
    const Rgbf s = SurfaceAt(look, x + 211, y + 97, false);
    if (!look.dark) {
        // The light themes' tables are mid tones so cards stand out; their menus are a pale
        // wash of the same material, so calm that veins and threads never run behind text.
        return Mix(Mix(s, look.base, 0.8), Rgbf{1, 0.99, 0.95}, 0.68);
    }
    const Rgbf calm = Mix(s, look.base, 0.45);
    return Scale(calm, look.texture == Texture::Velvet ? 0.85 : 0.72);
}

Rgbf ChromeFieldAt(const ThemeLook& look, double x, double y) {
    if (look.dark) return FieldAt(look, x, y);
    // The material's own light and shade, calmed, carried over to the deep tone channel by
    // channel. Marble turns to a black stone whose veins are paler than the ground; linen's
    // fine weave is drawn up so it still shows in the dark.
    const Rgbf calm = Mix(SurfaceAt(look, x + 211, y + 97, false), look.base, 0.5);
    const double weave = look.texture == Texture::Linen ? 1.8 : 1.0;
    const auto carry = [&](double c, double base, double deep) {
        const double shade = weave * (c / base - 1.0);
        return deep * (look.texture == Texture::Marble ? 1.0 - shade : 1.0 + shade);
    };
    return {carry(calm.r, look.base.r, look.deep.r), carry(calm.g, look.base.g, look.deep.g),
            carry(calm.b, look.base.b, look.deep.b)};
}

// --- Backdrops ---

Picture RenderBackdrop(int theme, int scale) {
    const ThemeLook& look = ThemeLookOf(theme);
    Picture picture(sl::kScreenWidth * scale, sl::kScreenHeight * scale);
    if (HasSmoothFields(look.texture)) {
        // The smooth fields at every logical pixel's corner, mixed for the device pixels between.
        const int columns = sl::kScreenWidth + 1;
        std::vector<SmoothFields> corners(static_cast<size_t>(columns) * (sl::kScreenHeight + 1));
        for (int y = 0; y <= sl::kScreenHeight; ++y)
            for (int x = 0; x < columns; ++x) corners[static_cast<size_t>(y) * columns + x] = FieldsOf(look, x, y);
        ShadeAtScale(&picture, scale, [&](double x, double y) {
            const int ix = static_cast<int>(x), iy = static_cast<int>(y);
            const SmoothFields* top = &corners[static_cast<size_t>(iy) * columns + ix];
            const double tx = x - ix, ty = y - iy;
            const SmoothFields f = Blend(Blend(top[0], top[1], tx), Blend(top[columns], top[columns + 1], tx), ty);
            const Rgbf c = FinishOf(look, f, x, y);
            return look.texture == Texture::Parchment ? AgedEdge(f, c, x, y) : c;
        });
    } else {
        ShadeAtScale(&picture, scale, [&](double x, double y) { return SurfaceAt(look, x, y); });
    }
    Vignette(&picture, look.dark ? 0.55 : 0.32);
    OpaqueCanvas canvas(&picture, scale);
    cairo_t* cr = canvas.cr();
    // The status rail: a recessed band with a light lower lip, darkening a dark table and on a
    // light one a deep tone of its own material (sepia, charcoal, navy) that its pale lettering
    // reads on.
    RoundedRectPath(cr, kRailLeft, kRailTop, kRailWidth, kRailHeight, kRailRadius);
    if (look.dark) {
        cairo_set_source_rgba(cr, 0, 0, 0, 0.42);
    } else {
        const Rgbf rail = look.texture == Texture::Marble ? Rgbf{0.20, 0.20, 0.21}
                          : look.texture == Texture::Linen ? Rgbf{0.11, 0.15, 0.22}
                                                            : Rgbf{0.26, 0.17, 0.08};
        SetSource(cr, rail, 0.90);
    }
    cairo_fill(cr);
    RoundedRectPath(cr, kRailLeft + 0.5, kRailTop + 0.5, kRailWidth - 1, kRailHeight - 1, kRailRadius);
    cairo_set_line_width(cr, 1.0);
    cairo_set_source_rgba(cr, 0, 0, 0, 0.45);
    cairo_stroke(cr);
    cairo_move_to(cr, kRailLeft + kRailRadius, kRailTop + kRailHeight + 0.5);
    cairo_line_to(cr, kRailLeft + kRailWidth - kRailRadius, kRailTop + kRailHeight + 0.5);
    SetSource(cr, look.accent, look.dark ? 0.35 : 0.25);
    cairo_stroke(cr);
    return picture;
}

// --- Menu bar image ---

namespace {

// (x, y) in logical pixels; the edge rows are whole logical rows at every scale.
Rgbf BarAt(const ThemeLook& look, double x, double y) {
    // Dark themes get a darker bar than the table, light ones a lighter one; the light edge at
    // the top and the accent rule at the bottom frame it.
    const Rgbf field = FieldAt(look, x, y);
    const double t = y / static_cast<double>(art::kMenuBarHeight - 1);
    Rgbf c = look.dark ? Scale(field, 0.95 - 0.25 * t) : Scale(field, 1.04 - 0.10 * t);
    const int row = static_cast<int>(std::floor(y));
    if (row == 0) c = Mix(c, Rgbf{1, 1, 1}, look.dark ? 0.12 : 0.4);
    if (row == art::kMenuBarHeight - 2) c = Mix(c, look.accent, 0.75);
    if (row == art::kMenuBarHeight - 1) c = Scale(c, 0.45);
    return c;
}

// Menu titles are placed at y 2 of the bar.
constexpr int kTitleOffsetInBar = 2;

Picture RenderMenuBarImage(const ThemeLook& look, int scale) {
    const int s = scale;
    // The 1x file keeps the picture's full size; the scaled ones only the rows read.
    Picture image(art::kMenuBarImageWidth * s, (s == 1 ? art::kMenuBarImageHeight : art::kMenuBarArtHeight) * s);
    Picture bar(art::kMenuBarImageWidth * s, art::kMenuBarHeight * s);
    ShadeAtScale(&bar, s, [&](double x, double y) { return BarAt(look, x, y); });
    image.Blit(bar, 0, art::kMenuBarTop * s);
    // Title backgrounds: the bar itself, a soft raised plate on hover, a sunken plate when open.
    for (int cell = 0; cell < 3; ++cell) {
        const int left = cell * art::kMenuTitleWidth;
        Picture title(art::kMenuTitleWidth * s, art::kMenuTitleHeight * s);
        // A title sits at y 2 of the bar, so its row r shows bar row r + 2; the rows that reach
        // below the bar stay magenta so the table shows through them.
        ShadeAtScale(&title, s, [&](double x, double y) {
            return BarAt(look, x + 300, std::min(y + kTitleOffsetInBar, art::kMenuBarHeight - 1.0 / s));
        });
        for (int y = (art::kMenuBarHeight - kTitleOffsetInBar) * s; y < title.height; ++y)
            for (int x = 0; x < title.width; ++x) title.At(x, y) = kMagenta;
        if (cell > 0) {
            OpaqueCanvas canvas(&title, s);
            cairo_t* cr = canvas.cr();
            const bool open = cell == 2;
            RoundedRectPath(cr, 2.5, 2.5, art::kMenuTitleWidth - 5, art::kMenuTitleHeight - 7, 5);
            if (open) {
                cairo_set_source_rgba(cr, 0, 0, 0, look.dark ? 0.40 : 0.14);
            } else {
                cairo_set_source_rgba(cr, 1, 1, 1, look.dark ? 0.10 : 0.35);
            }
            cairo_fill_preserve(cr);
            SetSource(cr, look.accent, open ? 0.9 : 0.6);
            cairo_set_line_width(cr, 1.0);
            cairo_stroke(cr);
        }
        image.Blit(title, left * s, art::kMenuTitleTop * s);
    }
    return image;
}

// --- Dialog face, plate and buttons ---

// The rim's bevel through rows 1..3 of the frame and the shadow's fall through rows 5..7, at a
// distance d from the edge in logical pixels (whole at 1x, between them at larger scales, where
// the bevel and the shadow are drawn finer).
double RimShade(double d) {
    return d <= 2 ? 1.25 - 0.25 * std::max(d - 1, 0.0) : 1.0 - 0.22 * std::min(d - 2, 1.0);
}
double ShadowShade(double d) { return 0.62 + 0.12 * std::clamp(d - 5, 0.0, 2.0); }

}  // namespace

Picture RenderDialogFace(int theme, int scale) {
    const ThemeLook& look = ThemeLookOf(theme);
    const int s = scale;
    Picture face(art::kDialogFaceWidth * s, art::kDialogFaceHeight * s);
    ShadeSmoothAtScale(&face, s, [&](double x, double y) { return ChromeFieldAt(look, x, y); });
    const int w = face.width, h = face.height;
    // The frame, 8 pixels on every side: a dark outer line, a bevelled rim in the chrome's
    // metal, a dark line, and a soft shadow falling onto the field.
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const int nearest = std::min(std::min(x, y), std::min(w - 1 - x, h - 1 - y));
            const int d = nearest / s;  // the frame row, in logical pixels
            if (d >= kFrameWidth) continue;
            // The device pixel's centre, measured so that a 1x pixel sits on a whole number.
            const double fine = (nearest + 0.5) / s - 0.5;
            const Rgbf here = RgbOf(face.At(x, y));
            // The top and left catch the light, up to the mitres at the top-right and bottom-left
            // corners, so a frame cut to any size keeps its lit top edge all along.
            const bool lit = std::min(x, y) == nearest;
            Rgbf c;
            if (d == 0) {
                c = Scale(here, 0.25);
            } else if (d <= 3) {
                const double shade = RimShade(fine) * (lit ? 1.08 : 0.88);
                c = Scale(look.rim, shade * (1.0 + 0.04 * Grain(x / s, y / s, 5)));
            } else if (d == 4) {
                c = Scale(here, 0.3);
            } else {
                c = Scale(here, ShadowShade(fine));
            }
            face.At(x, y) = Pack(c);
        }
    return face;
}

namespace {

// A button's face: lighter than the field it stands on, leaning to the chrome's middle colour.
Rgbf ButtonMiddle(const ThemeLook& look, Rgbf field) {
    return Mix(Scale(field, 1.55), look.deep, 0.3);
}

// A face of a push button, 206 x 107. Buttons of any size are cut from its left and top parts
// and its last 8 columns and 9 rows, so all shading lies in bands along the edges and the
// middle is even: the cut never shows.
Picture RenderButtonFace(const ThemeLook& look, bool pressed, int scale) {
    const int w = art::kButtonFaceWidth, h = kFaceHeight;
    const Rgbf field = ChromeFieldAt(look, 400, 300);
    Rgbf mid = ButtonMiddle(look, field);
    if (pressed) mid = Scale(mid, 0.75);
    AlphaCanvas canvas(w * scale, h * scale);
    cairo_t* cr = canvas.cr();
    cairo_scale(cr, scale, scale);
    SetSource(cr, field);
    cairo_paint(cr);
    constexpr double kRadius = 5;
    RoundedRectPath(cr, 0.5, 0.5, w - 1, h - 1, kRadius);
    cairo_pattern_t* fill = cairo_pattern_create_linear(0, 0, 0, h);
    const Rgbf top = pressed ? Scale(mid, 0.86) : Mix(mid, Rgbf{1, 1, 1}, 0.12);
    const Rgbf bottom = pressed ? Scale(mid, 1.05) : Scale(mid, 0.72);
    const double e = 1.0 / h;
    cairo_pattern_add_color_stop_rgb(fill, 0, top.r, top.g, top.b);
    cairo_pattern_add_color_stop_rgb(fill, 11 * e, mid.r, mid.g, mid.b);
    cairo_pattern_add_color_stop_rgb(fill, 98 * e, mid.r, mid.g, mid.b);
    cairo_pattern_add_color_stop_rgb(fill, 1, bottom.r, bottom.g, bottom.b);
    cairo_set_source(cr, fill);
    cairo_fill_preserve(cr);
    cairo_pattern_destroy(fill);
    cairo_set_line_width(cr, 1.0);
    cairo_set_source_rgba(cr, 0, 0, 0, 0.85);
    cairo_stroke(cr);
    // The metal rim just inside the outline.
    RoundedRectPath(cr, 1.5, 1.5, w - 3, h - 3, kRadius - 1);
    SetSource(cr, look.rim, pressed ? 0.55 : 0.85);
    cairo_stroke(cr);
    // A highlight under the top edge of a raised button, a shadow under the top of a pressed one.
    cairo_move_to(cr, kRadius, 2.5 + (pressed ? 0 : 0.0));
    cairo_line_to(cr, w - kRadius, 2.5);
    cairo_set_source_rgba(cr, pressed ? 0 : 1, pressed ? 0 : 1, pressed ? 0 : 1, pressed ? 0.35 : 0.25);
    cairo_stroke(cr);
    Picture out = canvas.Key(Pack(field), 0.0);
    // Fine grain, the same everywhere, so the material reads as real.
    for (int y = 0; y < out.height; ++y)
        for (int x = 0; x < out.width; ++x) {
            const Rgbf c = Scale(RgbOf(out.At(x, y)), 1.0 + 0.025 * Grain(x / scale, y / scale, look.seed + 99));
            out.At(x, y) = Pack(c);
        }
    return out;
}

// Fills the current path (keeping it) with a gradient from top at y 0 to bottom at y height.
void FillDownward(cairo_t* cr, double height, Rgbf top, Rgbf bottom) {
    cairo_pattern_t* fill = cairo_pattern_create_linear(0, 0, 0, height);
    cairo_pattern_add_color_stop_rgb(fill, 0, top.r, top.g, top.b);
    cairo_pattern_add_color_stop_rgb(fill, 1, bottom.r, bottom.g, bottom.b);
    cairo_set_source(cr, fill);
    cairo_fill_preserve(cr);
    cairo_pattern_destroy(fill);
}

Picture RenderTitlePlate(const ThemeLook& look, int scale) {
    const Rgbf field = ChromeFieldAt(look, 400, 20);
    AlphaCanvas canvas(kPlateWidth * scale, kPlateHeight * scale);
    cairo_t* cr = canvas.cr();
    cairo_scale(cr, scale, scale);
    const double r = kPlateHeight / 2.0 - 0.5;
    RoundedRectPath(cr, 0.5, 0.5, kPlateWidth - 1, kPlateHeight - 1, r);
    const Rgbf fillMid = Scale(field, 0.55);
    FillDownward(cr, kPlateHeight, Scale(fillMid, 0.8), Scale(fillMid, 1.25));
    cairo_set_line_width(cr, 1.0);
    cairo_set_source_rgba(cr, 0, 0, 0, 0.7);
    cairo_stroke(cr);
    RoundedRectPath(cr, 1.8, 1.8, kPlateWidth - 3.6, kPlateHeight - 3.6, r - 1.3);
    SetSource(cr, look.rim, 0.9);
    cairo_set_line_width(cr, 1.3);
    cairo_stroke(cr);
    // Small lozenges at both ends finish the plate.
    for (const double cx : {14.0, kPlateWidth - 14.0}) {
        const double cy = kPlateHeight / 2.0;
        cairo_move_to(cr, cx - 4, cy);
        cairo_line_to(cr, cx, cy - 3.5);
        cairo_line_to(cr, cx + 4, cy);
        cairo_line_to(cr, cx, cy + 3.5);
        cairo_close_path(cr);
        SetSource(cr, look.rim, 0.9);
        cairo_fill(cr);
    }
    return canvas.Key(Pack(field), 0.5);
}

Picture RenderDropDownColumn(const ThemeLook& look, int scale) {
    Picture panel(art::kDropDownPanelWidth * scale, kDropDownRows * scale);
    const int w = art::kDropDownPanelWidth, h = kDropDownRows;
    const SmoothField field(w, h, scale, [&](double x, double y) { return FieldAt(look, x + 37, y + 11); });
    const double s = scale;
    for (int py = 0; py < panel.height; ++py)
        for (int px = 0; px < panel.width; ++px) panel.At(px, py) = Pack([&] {
            const double y = py / s;
            Rgbf c = field.At(px, py);
            c = look.dark ? Scale(c, 0.9) : c;
            // Two-pixel rims: dark outside, accent inside; the bottom rim lies in the last four
            // rows that close every panel whatever its height. The rims are whole logical pixels;
            // across the accent rim the light falls off from its outer edge (finer at larger
            // scales, its middle value at 1x), and the bar's shadow falls smoothly.
            const int nearest = std::min(std::min(px, panel.width - 1 - px), std::min(py, panel.height - 1 - py));
            const int d = nearest / scale;
            if (d == 0) return Scale(c, 0.3);
            if (d == 1) return Scale(look.accent, 0.95 + 0.2 * (1.0 - ((nearest + 0.5) / s - 0.5)));
            if (d == 2) return Scale(c, 0.7);
            const double fall = y + 0.5 / s - 0.5;  // a whole number at 1x
            if (fall <= 4) return Scale(c, 0.8 + 0.05 * fall);
            return c;
        }());
    return panel;
}

void DrawCheck(cairo_t* cr, double top, Rgbf colour, bool shadow) {
    auto stroke = [&](double dx, double dy) {
        cairo_move_to(cr, 2.5 + dx, top + 6.5 + dy);
        cairo_line_to(cr, 6.0 + dx, top + 10.5 + dy);
        cairo_line_to(cr, 12.5 + dx, top + 2.5 + dy);
    };
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    cairo_set_line_width(cr, 2.4);
    if (shadow) {
        stroke(0.8, 0.9);
        cairo_set_source_rgba(cr, 0, 0, 0, 0.6);
        cairo_stroke(cr);
    }
    stroke(0, 0);
    SetSource(cr, colour);
    cairo_stroke(cr);
}

// Check marks for the themes' drop-down panels: gold for the dark themes, then themes 2, 4, 5.
Picture RenderChecks(int scale) {
    AlphaCanvas canvas(kChecksWidth * scale, kChecksHeight * scale);
    cairo_t* cr = canvas.cr();
    cairo_scale(cr, scale, scale);
    DrawCheck(cr, 0, Rgbf{0.96, 0.80, 0.40}, true);
    DrawCheck(cr, art::kCheckHeight * 1, kInk, false);
    DrawCheck(cr, art::kCheckHeight * 2, kInk, false);
    DrawCheck(cr, art::kCheckHeight * 3, kInk, false);
    Picture out(kChecksWidth * scale, kChecksHeight * scale);
    const int mattes[4] = {0, 1, 3, 4};
    const int rowHeight = art::kCheckHeight * scale;
    for (int row = 0; row < 4; ++row) {
        const ThemeLook& look = ThemeLookOf(mattes[row]);
        const Picture keyed = canvas.Key(Pack(FieldAt(look, 100, 100)), 0.35);
        out.Blit(keyed.Crop(0, row * rowHeight, out.width, rowHeight), 0, row * rowHeight);
    }
    return out;
}

// --- Control sheet ---

// The colours the controls of a theme are drawn in, shared by the sheet's pictures and swatches.
struct ControlColours {
    Rgbf field;      // the dialog face the controls sit on
    Rgbf well;       // inside an unchecked box or circle
    Rgbf rim;        // the ring round a box, circle or small button
    Rgbf mark;       // fill of a checked box, dot of a chosen option
    Rgbf tick;       // the tick over that fill
    Rgbf ink;        // arrows on small buttons: the theme's text colour
    Rgbf plateTop, plateBottom;  // the small buttons' face
    Rgbf fieldFill, fieldText, selection, selectionText;
};

Rgbf FromRgb(const sl::Rgb& c) { return {c.r / 255.0, c.g / 255.0, c.b / 255.0}; }

ControlColours ControlColoursOf(int theme) {
    const ThemeLook& look = ThemeLookOf(theme);
    ControlColours c;
    c.field = ChromeFieldAt(look, 400, 300);
    c.ink = FromRgb(sl::kThemeColors[static_cast<size_t>(theme)].text);
    c.rim = look.rim;
    c.mark = look.rim;
    c.well = Scale(c.field, 0.55);
    c.tick = Scale(c.field, 0.35);
    c.fieldFill = Scale(c.field, 0.5);
    c.fieldText = c.ink;
    c.selection = Scale(look.rim, 0.8);
    c.selectionText = Scale(c.field, 0.3);
    const Rgbf mid = ButtonMiddle(look, c.field);
    c.plateTop = Mix(mid, Rgbf{1, 1, 1}, 0.12);
    c.plateBottom = Scale(mid, 0.72);
    return c;
}

// The state's drawing is done between these two: disabled controls are the same picture faded.
void BeginState(cairo_t* cr, bool disabled) {
    if (disabled) cairo_push_group(cr);
}
void EndState(cairo_t* cr, bool disabled) {
    if (!disabled) return;
    cairo_pop_group_to_source(cr);
    cairo_paint_with_alpha(cr, 0.45);
}

void CheckBoxPicture(cairo_t* cr, const ControlColours& c, double w, bool on, bool pressed) {
    RoundedRectPath(cr, 0.6, 0.6, w - 1.2, w - 1.2, 2.6);
    SetSource(cr, on ? (pressed ? Scale(c.mark, 0.85) : c.mark) : (pressed ? Scale(c.well, 0.85) : c.well));
    cairo_fill_preserve(cr);
    cairo_set_line_width(cr, 1.2);
    SetSource(cr, c.rim);
    cairo_stroke(cr);
    if (!on) return;
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    cairo_set_line_width(cr, 1.9);
    cairo_move_to(cr, 3.4, 6.7);
    cairo_line_to(cr, 5.6, 9.0);
    cairo_line_to(cr, 9.7, 3.9);
    SetSource(cr, c.tick);
    cairo_stroke(cr);
}

void OptionPicture(cairo_t* cr, const ControlColours& c, double w, bool on, bool pressed) {
    const double r = w / 2;
    cairo_arc(cr, r, r, r - 0.6, 0, 2 * kPi);
    SetSource(cr, pressed ? Scale(c.well, 0.85) : c.well);
    cairo_fill_preserve(cr);
    cairo_set_line_width(cr, 1.2);
    SetSource(cr, c.rim);
    cairo_stroke(cr);
    if (!on) return;
    cairo_arc(cr, r, r, 2.7, 0, 2 * kPi);
    SetSource(cr, c.mark);
    cairo_fill(cr);
}

// A small rounded button with a chevron pointing up or down.
void PushPicture(cairo_t* cr, const ControlColours& c, double w, double h, bool up, bool pressed, double chevron) {
    RoundedRectPath(cr, 0.5, 0.5, w - 1, h - 1, 2.5);
    FillDownward(cr, h, pressed ? Scale(c.plateBottom, 0.9) : c.plateTop, pressed ? c.plateTop : c.plateBottom);
    cairo_set_line_width(cr, 1.0);
    SetSource(cr, c.rim, 0.9);
    cairo_stroke(cr);
    const double cx = w / 2 + (pressed ? 0.5 : 0), cy = h / 2 + (pressed ? 0.5 : 0);
    const double rise = (up ? -1 : 1) * chevron * 0.55;
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    cairo_set_line_width(cr, 1.6);
    cairo_move_to(cr, cx - chevron, cy - rise);
    cairo_line_to(cr, cx, cy + rise);
    cairo_line_to(cr, cx + chevron, cy - rise);
    SetSource(cr, c.ink);
    cairo_stroke(cr);
}

// Draws one cell's picture at its place in the strip: colour premultiplied (over black) in the
// cell, coverage as grey kControlAlphaOffset rows below.
template <typename Draw>
void PutCell(Picture* strip, const art::ControlCell& cell, int scale, Draw draw) {
    AlphaCanvas canvas(cell.width * scale, cell.height * scale);
    cairo_t* cr = canvas.cr();
    cairo_scale(cr, scale, scale);
    draw(cr);
    const Picture colour = canvas.Key(0, 0.0);
    const int left = cell.left * scale, top = (cell.top - art::kStripTop) * scale;
    for (int y = 0; y < colour.height; ++y)
        for (int x = 0; x < colour.width; ++x) {
            const double a = canvas.Alpha(x, y);
            strip->At(left + x, top + y) = a > 0 ? colour.At(x, y) : 0;
            strip->At(left + x, top + art::kControlAlphaOffset * scale + y) = PackRgb(a, a, a);
        }
}

void RenderControlSheet(Picture* strip, int theme, int scale) {
    const ControlColours c = ControlColoursOf(theme);
    for (int state = 0; state < art::kMarkStates; ++state) {
        const bool on = state % 2 == 1, disabled = state >= art::kMarkDisabledOff;
        const bool pressed = state == art::kMarkPressedOff || state == art::kMarkPressedOn;
        const art::ControlCell box = art::CheckBoxCell(state), option = art::OptionButtonCell(state);
        PutCell(strip, box, scale, [&](cairo_t* cr) {
            BeginState(cr, disabled);
            CheckBoxPicture(cr, c, box.width, on, pressed);
            EndState(cr, disabled);
        });
        PutCell(strip, option, scale, [&](cairo_t* cr) {
            BeginState(cr, disabled);
            OptionPicture(cr, c, option.width, on, pressed);
            EndState(cr, disabled);
        });
    }
    for (int state = 0; state < art::kPushStates; ++state) {
        const bool pressed = state == art::kPushPressed, disabled = state == art::kPushDisabled;
        for (const bool up : {true, false}) {
            const art::ControlCell arrow = art::SpinArrowCell(up, state);
            PutCell(strip, arrow, scale, [&](cairo_t* cr) {
                BeginState(cr, disabled);
                PushPicture(cr, c, arrow.width, arrow.height, up, pressed, 3.0);
                EndState(cr, disabled);
            });
        }
        const art::ControlCell drop = art::DropButtonCell(state);
        PutCell(strip, drop, scale, [&](cairo_t* cr) {
            BeginState(cr, disabled);
            PushPicture(cr, c, drop.width, drop.height, false, pressed, 3.5);
            EndState(cr, disabled);
        });
    }
    const Rgbf swatches[art::kFieldSwatches] = {c.fieldFill, c.fieldText, c.selection, c.selectionText};
    for (int which = 0; which < art::kFieldSwatches; ++which) {
        const art::ControlCell cell = art::FieldSwatchCell(which);
        for (int y = 0; y < cell.height * scale; ++y)
            for (int x = 0; x < cell.width * scale; ++x)
                strip->At(cell.left * scale + x, (cell.top - art::kStripTop) * scale + y) = Pack(swatches[which]);
    }
}

// --- Placeholders ---

void PlaceholderCell(cairo_t* cr, const ThemeLook& look, double x0, int kind) {
    namespace cg = card_geometry;
    const double w = cg::kCardWidth + 1, h = cg::kCardHeight + 1;
    const Rgbf surface = SurfaceAt(look, 300, 300);
    const Rgbf inside = look.dark ? Scale(surface, 0.62) : Scale(surface, 0.86);
    RoundedRectPath(cr, x0, 0, w, h, kCellCornerRadius);
    SetSource(cr, inside);
    cairo_fill(cr);
    // A faint inner shadow along the top and left makes the place look recessed.
    RoundedRectPath(cr, x0 + 1.5, 1.5, w - 3, h - 3, kCellCornerRadius - 1);
    cairo_set_line_width(cr, 1.2);
    SetSource(cr, look.dark ? look.accent : Scale(look.accent, 0.9), kind == 1 ? 0.35 : 0.7);
    cairo_stroke(cr);
    const double cx = x0 + w / 2, cy = h / 2;
    const Rgbf mark = look.accent;
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    if (kind == 1) {
        // Exhausted stock: a dim cross.
        cairo_set_line_width(cr, 2.2);
        cairo_move_to(cr, cx - 9, cy - 9);
        cairo_line_to(cr, cx + 9, cy + 9);
        cairo_move_to(cr, cx + 9, cy - 9);
        cairo_line_to(cr, cx - 9, cy + 9);
        SetSource(cr, mark, 0.45);
        cairo_stroke(cr);
    } else if (kind == 2) {
        // Stock that turns over again: a circular arrow.
        const double r = 12;
        cairo_set_line_width(cr, 3.0);
        cairo_arc(cr, cx, cy, r, -0.25 * kPi, 1.45 * kPi);
        SetSource(cr, mark, 0.9);
        cairo_stroke(cr);
        const double a = -0.25 * kPi;
        const double tx = cx + r * std::cos(a), ty = cy + r * std::sin(a);
        cairo_move_to(cr, tx + 6.5, ty - 1.5);
        cairo_line_to(cr, tx - 1.0, ty - 6.5);
        cairo_line_to(cr, tx - 0.5, ty + 4.5);
        cairo_close_path(cr);
        cairo_fill(cr);
    }
}

}  // namespace

Picture RenderPlaceholders(int theme, int scale) {
    namespace cg = card_geometry;
    const ThemeLook& look = ThemeLookOf(theme);
    AlphaCanvas canvas(cg::kPlaceholderSheetWidth * scale, cg::kPlaceholderSheetHeight * scale);
    cairo_scale(canvas.cr(), scale, scale);
    for (int cell = 0; cell < cg::kPlaceholderCellCount; ++cell)
        PlaceholderCell(canvas.cr(), look, cg::kPlaceholderCellX[cell], cell);
    Picture out = canvas.Key(Pack(SurfaceAt(look, 300, 300)), 0.5);
    // The corners are cut exactly like the cards' corners, so a card laid on a place covers it:
    // the fixed staircase at 1x, the pixels whose centre lies outside the arc at larger scales.
    const auto cut = [scale](int x, int y) {
        if (scale == 1) return card_art::IsCornerPixel(x, y);
        const double px = (x + 0.5) / scale, py = (y + 0.5) / scale, r = kCellCornerRadius;
        const double dx = std::max({r - px, px - (card_art::kCellWidth - r), 0.0});
        const double dy = std::max({r - py, py - (card_art::kCellHeight - r), 0.0});
        return dx > 0 && dy > 0 && dx * dx + dy * dy > r * r;
    };
    for (int cell = 0; cell < cg::kPlaceholderCellCount; ++cell)
        for (int y = 0; y < card_art::kCellHeight * scale; ++y)
            for (int x = 0; x < card_art::kCellWidth * scale; ++x) {
                uint32_t& p = out.At(cg::kPlaceholderCellX[cell] * scale + x, y);
                if (cut(x, y)) {
                    p = kMagenta;
                } else if (p == kMagenta) {
                    p = Pack(look.accent);
                }
            }
    return out;
}

Picture RenderDialogStrip(int theme, int scale) {
    const ThemeLook& look = ThemeLookOf(theme);
    const int s = scale;
    Picture strip(art::kDialogArtWidth * s, kStripHeight * s);
    strip.Blit(RenderTitlePlate(look, s), art::kPlateLeft * s, (art::kPlateTop - art::kStripTop) * s);
    strip.Blit(RenderButtonFace(look, false, s), 0, (art::kButtonFaceTop - art::kStripTop) * s);
    strip.Blit(RenderButtonFace(look, true, s), art::kPressedButtonFaceLeft * s, (art::kButtonFaceTop - art::kStripTop) * s);
    RenderControlSheet(&strip, theme, s);
    return strip;
}

// --- In-game titles ---

namespace {

// Lettering size; every title is then stretched or squeezed slightly to its exact width.
constexpr double kTitleFontSize = 29;
constexpr double kTitleBaseline = 24;
constexpr double kOrnamentGap = 9;
constexpr double kMinOrnament = 18;
constexpr double kMaxTextStretch = 1.12;

// A tapering rule from the text out to a dot at the band's edge.
void Ornament(cairo_t* cr, double inner, double outer, double cy) {
    const double dir = outer > inner ? 1.0 : -1.0;
    const double dotR = 3.0;
    const double dotX = outer - dir * dotR;
    cairo_new_sub_path(cr);
    cairo_arc(cr, dotX, cy, dotR, 0, 2 * kPi);
    cairo_close_path(cr);
    // The rule: thin at the text, swelling, thin again before the dot.
    const double a = inner, b = dotX - dir * dotR * 1.4;
    const double m = a + (b - a) * 0.6;
    cairo_move_to(cr, a, cy);
    cairo_curve_to(cr, (a + m) / 2, cy - 0.4, m, cy - 1.6, m, cy - 1.6);
    cairo_curve_to(cr, m, cy - 1.6, (m + b) / 2, cy - 0.6, b, cy);
    cairo_curve_to(cr, (m + b) / 2, cy + 0.6, m, cy + 1.6, m, cy + 1.6);
    cairo_curve_to(cr, m, cy + 1.6, (a + m) / 2, cy + 0.4, a, cy);
    cairo_close_path(cr);
}

}  // namespace

Picture RenderTitleImage(bool gold, uint32_t matte, int scale) {
    AlphaCanvas canvas(sl::kTitleImageWidth * scale, sl::kTitleImageHeight * scale);
    cairo_t* cr = canvas.cr();
    cairo_scale(cr, scale, scale);
    UseFont(cr, Font::SerifBold, kTitleFontSize);
    for (int i = 0; i < sl::kGameCount; ++i) {
        const char* name = FindGame(i + 1)->name;
        const double w = sl::kTitleWidths[static_cast<size_t>(i)];
        const double top = sl::TitleBandTop(i + 1);
        cairo_save(cr);
        cairo_rectangle(cr, 0, top, w, sl::kTitleBandHeight);
        cairo_clip(cr);
        cairo_translate(cr, 0, top);
        cairo_text_extents_t e;
        cairo_text_extents(cr, name, &e);
        const double room = w - 2 * (kMinOrnament + kOrnamentGap);
        const double sx = std::min(room / e.width, kMaxTextStretch);
        const double textWidth = e.width * sx;
        const double textLeft = (w - textWidth) / 2;
        cairo_new_path(cr);
        cairo_save(cr);
        cairo_translate(cr, textLeft, kTitleBaseline);
        cairo_scale(cr, sx, 1.0);
        cairo_move_to(cr, -e.x_bearing, 0);
        cairo_text_path(cr, name);
        cairo_restore(cr);
        const double cy = kTitleBaseline - 8.5;
        Ornament(cr, textLeft - kOrnamentGap, 0, cy);
        Ornament(cr, textLeft + textWidth + kOrnamentGap, w, cy);
        if (gold) {
            FillGold(cr, kTitleBaseline - 21, kTitleBaseline + 4);
        } else {
            cairo_path_t* path = cairo_copy_path(cr);
            cairo_new_path(cr);
            cairo_save(cr);
            cairo_translate(cr, 0.6, 1.0);
            cairo_append_path(cr, path);
            cairo_set_source_rgba(cr, 1, 1, 1, 0.55);
            cairo_fill(cr);
            cairo_restore(cr);
            cairo_append_path(cr, path);
            SetSource(cr, kInk);
            cairo_fill(cr);
            cairo_path_destroy(path);
        }
        cairo_restore(cr);
    }
    Picture out = canvas.Key(matte, 0.4);
    // The program centres each title by its listed width, so the ink must reach both end columns.
    for (int i = 0; i < sl::kGameCount; ++i) {
        const int w = sl::kTitleWidths[static_cast<size_t>(i)] * scale;
        const int top = sl::TitleBandTop(i + 1) * scale;
        for (const int column : {0, w - 1}) {
            int best = -1;
            double bestAlpha = 0;
            bool inked = false;
            for (int y = top; y < top + sl::kTitleBandHeight * scale; ++y) {
                inked = inked || out.At(column, y) != kMagenta;
                if (canvas.Alpha(column, y) > bestAlpha) {
                    bestAlpha = canvas.Alpha(column, y);
                    best = y;
                }
            }
            if (!inked && best >= 0) out.At(column, best) = gold ? 0xC8A04A : 0x1A120A;
        }
    }
    return out;
}

// The in-game titles with gold lettering and those of the light themes, and the drop-down
// panels' check marks, by their file names.
std::vector<std::pair<std::string, Picture>> RenderScalablePictures(int scale) {
    std::vector<std::pair<std::string, Picture>> titles;
    titles.emplace_back("ingame_title1_3_6.bmp", RenderTitleImage(true, 0x1C1E1A, scale));
    titles.emplace_back("checks.bmp", RenderChecks(scale));
    for (const int theme : {1, 3, 4})
        titles.emplace_back("ingame_title" + std::to_string(theme + 1) + ".bmp",
                            RenderTitleImage(false, Pack(ThemeLookOf(theme).base), scale));
    return titles;
}

bool RenderScaledThemeArt(const std::filesystem::path& fontRoot, int scale, std::vector<ArtFile>* files,
                          std::string* error) {
    if (!LoadFonts(fontRoot, error)) return false;
    for (int theme = 0; theme < sl::kThemeCount; ++theme) {
        char name[32];
        std::snprintf(name, sizeof name, "backdrop%d.jpg", theme + 1);
        const std::filesystem::path path = ScaledArtPath(std::filesystem::path("artwork") / name, scale);
        std::vector<uint8_t> jpeg = EncodeJpegPicture(RenderBackdrop(theme, scale), 90);
        if (jpeg.empty()) {
            *error = "cannot encode " + path.string();
            return false;
        }
        files->emplace_back(path, std::move(jpeg));
    }
    // The theme's own pictures: the menu bar, dialog face and strip and the placeholders, and
    // the drop-down panels of all themes in one picture, laid out as at 1x. Pictures with
    // magenta for transparency are PNG, which keeps it exact.
    std::vector<std::pair<std::string, Picture>> pictures = RenderScalablePictures(scale);
    std::vector<std::pair<std::string, Picture>> faces;
    Picture menus(art::kMenusPictureWidth * scale, art::kMenusPictureHeight * scale, 0x202020);
    for (int theme = 0; theme < sl::kThemeCount; ++theme) {
        const ThemeLook& look = ThemeLookOf(theme);
        const std::string n = std::to_string(theme + 1);
        pictures.emplace_back("menu" + n + ".bmp", RenderMenuBarImage(look, scale));
        pictures.emplace_back("dialog" + n + ".bmp", RenderDialogStrip(theme, scale));
        pictures.emplace_back("placeholder" + n + ".bmp", RenderPlaceholders(theme, scale));
        faces.emplace_back("dialog" + n + ".jpg", RenderDialogFace(theme, scale));
        menus.Blit(RenderDropDownColumn(look, scale), theme * art::kMenusColumnWidth * scale, 0);
    }
    faces.emplace_back("menus.jpg", std::move(menus));
    for (const auto& [name, picture] : pictures) {
        const std::filesystem::path path = ScaledArtPath(std::filesystem::path("artwork") / name, scale);
        std::vector<uint8_t> png = EncodePng24(picture.pixels.data(), picture.width, picture.height);
        if (png.empty()) {
            *error = "cannot encode " + path.string();
            return false;
        }
        files->emplace_back(path, std::move(png));
    }
    for (const auto& [name, picture] : faces) {
        const std::filesystem::path path = ScaledArtPath(std::filesystem::path("artwork") / name, scale);
        std::vector<uint8_t> jpeg = EncodeJpegPicture(picture, 92, false);
        if (jpeg.empty()) {
            *error = "cannot encode " + path.string();
            return false;
        }
        files->emplace_back(path, std::move(jpeg));
    }
    return true;
}

bool RenderThemeArt(const std::filesystem::path& fontRoot, std::vector<ArtFile>* files, std::string* error) {
    if (!LoadFonts(fontRoot, error)) return false;
    const std::string folder = "artwork/";
    auto name = [&](const char* pattern, int n) {
        char buffer[64];
        std::snprintf(buffer, sizeof buffer, pattern, n);
        return folder + buffer;
    };
    const size_t first = files->size();
    Picture menus(art::kMenusPictureWidth, art::kMenusPictureHeight, 0x202020);
    for (int theme = 0; theme < sl::kThemeCount; ++theme) {
        const ThemeLook& look = ThemeLookOf(theme);
        const int n = theme + 1;
        files->emplace_back(name("backdrop%d.jpg", n), EncodeJpegPicture(RenderBackdrop(theme), 90));
        files->emplace_back(name("menu%d.bmp", n), EncodeBmp(RenderMenuBarImage(look, 1)));
        files->emplace_back(name("dialog%d.jpg", n), EncodeJpegPicture(RenderDialogFace(theme), 92, false));
        files->emplace_back(name("dialog%d.bmp", n), EncodeBmp(RenderDialogStrip(theme)));
        files->emplace_back(name("placeholder%d.bmp", n), EncodeBmp(RenderPlaceholders(theme)));
        menus.Blit(RenderDropDownColumn(look, 1), theme * art::kMenusColumnWidth, 0);
    }
    files->emplace_back(folder + "menus.jpg", EncodeJpegPicture(menus, 92, false));
    for (const auto& [title, picture] : RenderScalablePictures(1)) files->emplace_back(folder + title, EncodeBmp(picture));
    for (size_t i = first; i < files->size(); ++i)
        if ((*files)[i].second.empty()) {
            *error = "cannot encode " + (*files)[i].first.string();
            return false;
        }
    return true;
}
