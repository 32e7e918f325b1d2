// The card fronts and backs. Each card is rendered once into a canvas of one cell, the
// rounded corners are cut out in exact magenta, and the selected twin is computed from the
// same pixels, so the two sheets of a design always show the same card.
#include "tools/artgen/card_art.h"

#include <cairo-ft.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>

#include "tools/artgen/bmp_writer.h"
#include "tools/artgen/card_paint.h"

namespace fs = std::filesystem;
using namespace card_paint;
using card_art::kCellHeight;
using card_art::kCellWidth;
using card_art::kMagenta;

namespace {

constexpr double kPi = std::numbers::pi;
constexpr double kCentreX = kCellWidth / 2.0;
constexpr double kCentreY = kCellHeight / 2.0;
// Matches card_art::kCornerCut: pixels that this arc leaves mostly uncovered are the cut ones.
constexpr double kCornerRadius = 4.5;
constexpr int kRankCount = 13;
constexpr int kJack = 9;
constexpr int kAce = 12;
constexpr const char* kRankText[kRankCount] = {"2", "3", "4", "5", "6", "7", "8", "9", "10", "J", "Q", "K", "A"};

// The card edge is blended against this mid tone rather than magenta, so the anti-aliased
// rim reads well on dark and light tables alike and no pink fringe survives the cut.
constexpr Rgb kTableTone{0.40, 0.42, 0.40};

// Cap height of the DejaVu faces as a fraction of the em, to size indices by their ink.
constexpr double kCapHeightPerEm = 0.729;

// Where the pieces of a front go. Each index sets rank and suit side by side inside the top
// 14 pixels, 2 pixels in from the edge, so a card covered down to a 15-pixel fan still shows
// both; the pips start below it with a gap of at least two pixels. The court frame fills the
// face but for the index's corner and its turned twin, kept two pixels clear of the index ink.
// The large-index layouts give the index more room and draw the pips smaller and closer
// together.
struct Layout {
    double rankCentreX;
    double rankTop;
    double rankCapHeight;
    double rankMaxWidth;
    double suitCentreX;
    double suitCentreY;
    double suitHeight;
    double pipColumnStep;  // distance of the side columns from the centre
    double pipTop;         // centre of the top row of pips
    double pipHeight;
    double aceHeight;
    CourtFrame frame;  // court picture
};

// The lowest the ink of an index may reach, leaving anti-aliasing inside the top 14 pixels.
constexpr double kIndexBottom = 13.5;

constexpr Layout kNormalLayout{7, 3, 8.5, 9, 16.5, 7.25, 8.5, 10, 21, 9, 28, {3, 3, 47, 77, 23, 16}};
constexpr Layout kLargeLayout{8.5, 2.75, 9, 11.5, 20.5, 7, 9.5, 7.5, 21, 8.5, 26, {3, 3, 47, 77, 27, 16}};

struct Design {
    bool modern;
    bool large;
    Rgb face;
    Rgb edge;
    Rgb red;
    Rgb black;
    Rgb accent;  // ace medallion, court frame
    const char* fontFile;
};

constexpr Rgb kClassicFace{1.0, 0.992, 0.962};
constexpr Rgb kModernFace{1.0, 1.0, 1.0};
constexpr Design kDesigns[card_art::kDesignCount] = {
    {false, false, kClassicFace, {0.28, 0.27, 0.25}, {0.78, 0.06, 0.10}, {0.07, 0.07, 0.09}, {0.72, 0.56, 0.20},
     "truetype/dejavu/DejaVuSerifCondensed-Bold.ttf"},
    {false, true, kClassicFace, {0.28, 0.27, 0.25}, {0.78, 0.06, 0.10}, {0.07, 0.07, 0.09}, {0.72, 0.56, 0.20},
     "truetype/dejavu/DejaVuSerifCondensed-Bold.ttf"},
    {true, false, kModernFace, {0.50, 0.54, 0.58}, {0.88, 0.17, 0.26}, {0.12, 0.16, 0.24}, {0.00, 0.52, 0.56},
     "truetype/dejavu/DejaVuSansCondensed-Bold.ttf"},
    {true, true, kModernFace, {0.50, 0.54, 0.58}, {0.88, 0.17, 0.26}, {0.12, 0.16, 0.24}, {0.00, 0.52, 0.56},
     "truetype/dejavu/DejaVuSansCondensed-Bold.ttf"},
};

// --- Fonts -------------------------------------------------------------------------------

// One FreeType library for the whole run: cairo keeps faces in its caches beyond our last
// use, so the library must outlive them.
FT_Library SharedFreeType() {
    static FT_Library library = [] {
        FT_Library created = nullptr;
        return FT_Init_FreeType(&created) == 0 ? created : nullptr;
    }();
    return library;
}

const cairo_user_data_key_t kFaceKey{};

// The index face of each design, loaded once for the table's sheets and the screens' cards.
struct FaceCache {
    std::array<cairo_font_face_t*, card_art::kDesignCount> faces{};
    fs::path root;
    bool loaded = false;
};

FaceCache* IndexFaces() {
    static FaceCache* cache = new FaceCache;
    return cache;
}

// A cairo face over a font file; cairo frees the FreeType face when it drops the last use.
cairo_font_face_t* LoadFace(const fs::path& path, std::string* error) {
    FT_Face face = nullptr;
    FT_Library library = SharedFreeType();
    if (library == nullptr || !fs::is_regular_file(path) || FT_New_Face(library, path.c_str(), 0, &face) != 0) {
        *error = "font file missing or unreadable: " + path.string() + " (needed for the card indices)";
        return nullptr;
    }
    cairo_font_face_t* cairoFace = cairo_ft_font_face_create_for_ft_face(face, 0);
    if (cairo_font_face_set_user_data(cairoFace, &kFaceKey, face,
                                      [](void* p) { FT_Done_Face(static_cast<FT_Face>(p)); }) != CAIRO_STATUS_SUCCESS) {
        cairo_font_face_destroy(cairoFace);
        FT_Done_Face(face);
        *error = "cannot prepare " + path.string();
        return nullptr;
    }
    return cairoFace;
}

// Grey-scale anti-aliasing with light hinting: stems stay crisp and the output does not
// depend on the desktop's font settings.
void SetTextOptions(cairo_t* cr) {
    cairo_font_options_t* options = cairo_font_options_create();
    cairo_font_options_set_antialias(options, CAIRO_ANTIALIAS_GRAY);
    cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_SLIGHT);
    cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_ON);
    cairo_set_font_options(cr, options);
    cairo_font_options_destroy(options);
}

// Draws text with its ink centred on centreX and its capitals from top down capHeight
// pixels. A letter whose tail reaches below bottom (J, Q) is drawn smaller, its ink from top to
// bottom. Text wider than maxWidth (the two digits of "10") is set glyph by glyph with
// kDigitGap between their inks instead of the font's spacing, then narrowed and made smaller
// by equal shares until it fits, so neither digit is squashed.
constexpr double kDigitGap = 0.6;

void DrawIndexText(cairo_t* cr, cairo_font_face_t* face, const char* text, double centreX, double top,
                   double capHeight, double maxWidth, double bottom) {
    cairo_set_font_face(cr, face);
    cairo_set_font_size(cr, capHeight / kCapHeightPerEm);
    cairo_text_extents_t ink;
    cairo_text_extents(cr, text, &ink);
    double baseline = top + capHeight;
    if (baseline + ink.y_bearing + ink.height > bottom) {
        const double shrink = (bottom - top) / ink.height;
        cairo_set_font_size(cr, capHeight / kCapHeightPerEm * shrink);
        cairo_text_extents(cr, text, &ink);
        baseline = top - ink.y_bearing;
    }
    const std::string glyphs = text;
    if (ink.width <= maxWidth || glyphs.size() < 2) {
        cairo_save(cr);
        cairo_translate(cr, std::round(centreX - ink.x_bearing - ink.width / 2), baseline);
        cairo_move_to(cr, 0, 0);
        cairo_show_text(cr, text);
        cairo_restore(cr);
        return;
    }
    auto inkWidths = [&] {
        double sum = 0;
        for (char c : glyphs) {
            const char one[2] = {c, 0};
            cairo_text_extents(cr, one, &ink);
            sum += ink.width;
        }
        return sum;
    };
    const double gaps = kDigitGap * static_cast<double>(glyphs.size() - 1);
    const double share = std::sqrt(std::min(1.0, (maxWidth - gaps) / inkWidths()));
    cairo_set_font_size(cr, capHeight / kCapHeightPerEm * share);
    const double narrow = std::min(1.0, (maxWidth - gaps) / inkWidths());
    baseline = top + capHeight * share;
    // Glyphs are drawn at whole device pixels: each origin is placed on one here, the first
    // never left of where its ink may start, so no digit reaches past the index box.
    auto snap = [&](double ux, bool right) {
        double dx = ux, dy = baseline;
        cairo_user_to_device(cr, &dx, &dy);
        double best = ux, distance = 2 * maxWidth;
        for (double d : {std::floor(dx), std::ceil(dx)}) {
            double a = d, b = dy;
            cairo_device_to_user(cr, &a, &b);
            if ((!right || a >= ux - 1e-6) && std::abs(a - ux) < distance) {
                best = a;
                distance = std::abs(a - ux);
            }
        }
        return best;
    };
    double x = centreX - maxWidth / 2;
    for (size_t i = 0; i < glyphs.size(); ++i) {
        const char one[2] = {glyphs[i], 0};
        cairo_text_extents(cr, one, &ink);
        const double origin = snap(x - ink.x_bearing * narrow, i == 0);
        x = origin + ink.x_bearing * narrow;
        cairo_save(cr);
        cairo_translate(cr, origin, baseline);
        cairo_scale(cr, narrow, 1);
        cairo_move_to(cr, 0, 0);
        cairo_show_text(cr, one);
        cairo_restore(cr);
        x += ink.width * narrow + kDigitGap;
    }
}

// --- Fronts ------------------------------------------------------------------------------

// Where the pips of a card with rank index 0 (Two) .. 8 (Ten) stand: column -1, 0 or 1 and a
// row as a fraction of the way from the top row of pips to the bottom one.
struct Pip {
    int column;
    double row;
};

const std::vector<Pip>& PipsOf(int rank) {
    static const std::array<std::vector<Pip>, 9> kPips = [] {
        std::array<std::vector<Pip>, 9> pips;
        const std::vector<Pip> corners = {{-1, 0}, {1, 0}, {-1, 1}, {1, 1}};
        const std::vector<Pip> sides = {{-1, 0}, {1, 0}, {-1, 1.0 / 3}, {1, 1.0 / 3},
                                        {-1, 2.0 / 3}, {1, 2.0 / 3}, {-1, 1}, {1, 1}};
        auto with = [](std::vector<Pip> base, std::initializer_list<Pip> more) {
            base.insert(base.end(), more);
            return base;
        };
        pips[0] = {{0, 0}, {0, 1}};
        pips[1] = {{0, 0}, {0, 0.5}, {0, 1}};
        pips[2] = corners;
        pips[3] = with(corners, {{0, 0.5}});
        pips[4] = with(corners, {{-1, 0.5}, {1, 0.5}});
        pips[5] = with(pips[4], {{0, 0.25}});
        pips[6] = with(pips[4], {{0, 0.25}, {0, 0.75}});
        pips[7] = with(sides, {{0, 0.5}});
        pips[8] = with(sides, {{0, 1.0 / 6}, {0, 5.0 / 6}});
        return pips;
    }();
    return kPips[static_cast<size_t>(rank)];
}

void DrawBlankCard(cairo_t* cr, const Design& design) {
    SetRgb(cr, kTableTone);
    cairo_paint(cr);
    RoundedRect(cr, 0, 0, kCellWidth, kCellHeight, kCornerRadius);
    SetRgb(cr, design.edge);
    cairo_fill(cr);
    RoundedRect(cr, 1, 1, kCellWidth - 2, kCellHeight - 2, kCornerRadius - 1);
    SetRgb(cr, design.face);
    cairo_fill(cr);
}

void DrawIndices(cairo_t* cr, cairo_font_face_t* face, const Design& design, const Layout& layout, int suit,
                 int rank) {
    SetRgb(cr, IsRed(suit) ? design.red : design.black);
    // The second index is the first turned half a turn about the card's centre.
    for (int turn = 0; turn < 2; ++turn) {
        cairo_save(cr);
        if (turn == 1) {
            cairo_translate(cr, kCellWidth, kCellHeight);
            cairo_rotate(cr, kPi);
        }
        DrawIndexText(cr, face, kRankText[rank], layout.rankCentreX, layout.rankTop, layout.rankCapHeight,
                      layout.rankMaxWidth, kIndexBottom);
        FillSuit(cr, suit, layout.suitCentreX, layout.suitCentreY, layout.suitHeight);
        cairo_restore(cr);
    }
}

void DrawPips(cairo_t* cr, const Design& design, const Layout& layout, int suit, int rank) {
    SetRgb(cr, IsRed(suit) ? design.red : design.black);
    const double span = 2 * (kCentreY - layout.pipTop);
    for (const Pip& pip : PipsOf(rank)) {
        const double y = layout.pipTop + pip.row * span;
        FillSuit(cr, suit, kCentreX + pip.column * layout.pipColumnStep, y, layout.pipHeight, pip.row > 0.5);
    }
}

// The ace of spades: a large spade in a fine contour, scrolls curling out from its foot, and a
// filigree line and a small medallion inlaid in it.
void DrawSpadeAce(cairo_t* cr, const Design& design, const Layout& layout) {
    const double h = layout.aceHeight * 1.3;
    SetRgb(cr, design.black);
    FillSuit(cr, kSpade, kCentreX, kCentreY, h);
    // The pip's outline as a path, scaled about the centre and raised by rise.
    const auto outline = [&](double rise, double scaleX, double scaleY) {
        cairo_save(cr);
        cairo_translate(cr, kCentreX, kCentreY - rise * h);
        cairo_scale(cr, scaleX, scaleY);
        cairo_translate(cr, -kCentreX, -kCentreY);
        SuitOutline(cr, kSpade, kCentreX, kCentreY, h);
        cairo_restore(cr);
    };
    // The contour: the spade's outline drawn larger, a fine line round the pip.
    outline(0.03, 1.16, 1.12);
    cairo_set_line_width(cr, 0.6);
    cairo_stroke(cr);
    // Scrolls from either side of the foot, curling up and out to a small spiral.
    for (double side : {-1.0, 1.0}) {
        const double x0 = kCentreX + side * 0.2 * h, y0 = kCentreY + 0.5 * h;
        cairo_move_to(cr, x0, y0);
        cairo_curve_to(cr, kCentreX + side * 0.45 * h, y0 + 0.02 * h, kCentreX + side * 0.62 * h, y0 - 0.08 * h,
                       kCentreX + side * 0.6 * h, y0 - 0.22 * h);
        for (double a = 0; a <= 1.6 * kPi; a += 0.15) {
            const double r = 0.07 * h * (1 - a / (2 * kPi));
            const double cx = kCentreX + side * 0.53 * h, cy = y0 - 0.22 * h;
            cairo_line_to(cr, cx + side * r * std::cos(a), cy - r * std::sin(a));
        }
    }
    cairo_set_line_width(cr, 0.75);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_stroke(cr);
    // Inlay: a filigree line inside the pip's edge, stopping above the stem, and a medallion
    // in its heart.
    SetRgb(cr, design.face);
    cairo_save(cr);
    cairo_rectangle(cr, 0, 0, kCellWidth, kCentreY + 0.17 * h);
    cairo_clip(cr);
    outline(0.06, 0.72, 0.66);
    cairo_set_line_width(cr, 0.45);
    cairo_stroke(cr);
    cairo_restore(cr);
    cairo_arc(cr, kCentreX, kCentreY - 0.02 * h, 0.11 * h, 0, 2 * kPi);
    cairo_fill(cr);
    SetRgb(cr, design.accent);
    cairo_arc(cr, kCentreX, kCentreY - 0.02 * h, 0.075 * h, 0, 2 * kPi);
    cairo_fill(cr);
}

// The other aces: a large pip in a fine oval frame, a double rule on the classic faces and a
// tinted field with one rule on the modern ones.
void DrawAce(cairo_t* cr, const Design& design, const Layout& layout, int suit) {
    if (suit == kSpade) {
        DrawSpadeAce(cr, design, layout);
        return;
    }
    const double h = layout.aceHeight;
    auto oval = [&](double inset) {
        cairo_save(cr);
        cairo_translate(cr, kCentreX, kCentreY);
        cairo_scale(cr, 0.68 * h - inset, 0.86 * h - inset);
        cairo_arc(cr, 0, 0, 1, 0, 2 * kPi);
        cairo_restore(cr);
    };
    if (design.modern) {
        oval(0);
        SetRgb(cr, Mix(design.accent, design.face, 0.88));
        cairo_fill_preserve(cr);
        SetRgb(cr, design.accent);
        cairo_set_line_width(cr, 0.6);
        cairo_stroke(cr);
    } else {
        SetRgb(cr, design.accent);
        oval(0);
        cairo_set_line_width(cr, 0.8);
        cairo_stroke(cr);
        oval(1.8);
        cairo_set_line_width(cr, 0.4);
        cairo_stroke(cr);
    }
    SetRgb(cr, IsRed(suit) ? design.red : design.black);
    FillSuit(cr, suit, kCentreX, kCentreY, h);
}

void DrawCourt(cairo_t* cr, const Design& design, const Layout& layout, int suit, int rank) {
    DrawCourtPicture(cr, design.modern, suit, rank, IsRed(suit) ? design.red : design.black, layout.frame);
    // Frame line, pixel aligned.
    CourtFramePath(cr, layout.frame, 0.5);
    SetRgb(cr, design.modern ? design.accent : design.edge);
    cairo_set_line_width(cr, 1);
    cairo_stroke(cr);
}

void DrawFront(cairo_t* cr, cairo_font_face_t* face, const Design& design, int suit, int rank) {
    const Layout& layout = design.large ? kLargeLayout : kNormalLayout;
    DrawBlankCard(cr, design);
    if (rank == kAce) {
        DrawAce(cr, design, layout, suit);
    } else if (rank >= kJack) {
        DrawCourt(cr, design, layout, suit, rank);
    } else {
        DrawPips(cr, design, layout, suit, rank);
    }
    DrawIndices(cr, face, design, layout, suit, rank);
}

// --- Sheets ------------------------------------------------------------------------------

// Whether a pixel of a cell drawn at scale lies outside the rounded card. At 1x the cut is the
// fixed staircase of card_art::kCornerCut; at larger scales it follows the arc itself, taking
// the pixels whose centre lies outside it.
bool IsCutPixel(int x, int y, int scale) {
    if (scale == 1) return card_art::IsCornerPixel(x, y);
    const double px = (x + 0.5) / scale, py = (y + 0.5) / scale;
    const double dx = std::max({kCornerRadius - px, px - (kCellWidth - kCornerRadius), 0.0});
    const double dy = std::max({kCornerRadius - py, py - (kCellHeight - kCornerRadius), 0.0});
    return dx > 0 && dy > 0 && dx * dx + dy * dy > kCornerRadius * kCornerRadius;
}

uint32_t Blend(uint32_t from, uint32_t to, double share) {
    uint32_t out = 0;
    for (int shift = 0; shift <= 16; shift += 8) {
        const double a = (from >> shift) & 0xFF, b = (to >> shift) & 0xFF;
        out |= static_cast<uint32_t>(std::lround(a + (b - a) * share)) << shift;
    }
    return out;
}

struct Sheet {
    int width;
    int height;
    int scale;
    std::vector<uint32_t> pixels;

    // A sheet of w x h logical pixels drawn at scale.
    Sheet(int w, int h, int scale)
        : width(w * scale),
          height(h * scale),
          scale(scale),
          pixels(static_cast<size_t>(width) * static_cast<size_t>(height), kMagenta) {}

    // Copies a rendered cell in at logical (left, top), cutting the corners to magenta. A drawn
    // pixel that happens to be magenta is nudged off it so it cannot turn transparent.
    void PlaceCell(int left, int top, const std::vector<uint32_t>& cell) {
        left *= scale;
        top *= scale;
        const int cellWidth = kCellWidth * scale;
        for (int y = 0; y < kCellHeight * scale; ++y)
            for (int x = 0; x < cellWidth; ++x) {
                uint32_t colour = cell[static_cast<size_t>(y * cellWidth + x)] & 0xFFFFFF;
                if (IsCutPixel(x, y, scale)) {
                    colour = kMagenta;
                } else if (colour == kMagenta) {
                    colour = kMagenta - 0x010000;
                }
                pixels[static_cast<size_t>((top + y) * width + left + x)] = colour;
            }
    }

    // Copies the selected twin of a rendered cell in at logical (left, top).
    void PlaceSelectedCell(int left, int top, std::vector<uint32_t> cell) {
        const int cellWidth = kCellWidth * scale;
        for (int y = 0; y < kCellHeight * scale; ++y)
            for (int x = 0; x < cellWidth; ++x) {
                uint32_t& p = cell[static_cast<size_t>(y * cellWidth + x)];
                const double edge = card_art::EdgeDistance((x + 0.5) / scale, (y + 0.5) / scale);
                p = edge < card_art::kSelectOutlineWidth ? card_art::kSelectOutline : Blend(p, card_art::kSelectTint, card_art::kSelectTintShare);
            }
        PlaceCell(left, top, cell);
    }

    // BMP at 1x; the larger scales are kept as PNG, many times smaller and as exact.
    std::vector<uint8_t> Encode() const {
        return scale == 1 ? EncodeBmp24(pixels.data(), width, height) : EncodePng24(pixels.data(), width, height);
    }
};

bool RenderFrontSheet(const Design& design, cairo_font_face_t* face, Sheet* sheet, Sheet* selected,
                      std::string* error) {
    Canvas canvas(kCellWidth * sheet->scale, kCellHeight * sheet->scale);
    cairo_t* cr = canvas.Context();
    SetTextOptions(cr);
    for (int suit = 0; suit < card_geometry::kFrontRows; ++suit)
        for (int rank = 0; rank < kRankCount; ++rank) {
            cairo_save(cr);
            cairo_scale(cr, sheet->scale, sheet->scale);
            DrawFront(cr, face, design, suit, rank);
            cairo_restore(cr);
            if (!canvas.Ok()) {
                *error = "cairo failed drawing a card front";
                return false;
            }
            const std::vector<uint32_t> cell = canvas.Pixels();
            sheet->PlaceCell(card_geometry::FrontCellX(rank), card_geometry::FrontCellY(suit), cell);
            selected->PlaceSelectedCell(card_geometry::FrontCellX(rank), card_geometry::FrontCellY(suit), cell);
        }
    return true;
}

bool RenderBackSheet(Sheet* sheet, std::string* error) {
    Canvas canvas(kCellWidth * sheet->scale, kCellHeight * sheet->scale);
    cairo_t* cr = canvas.Context();
    for (int back = 0; back < card_geometry::kBackCount; ++back) {
        cairo_save(cr);
        cairo_scale(cr, sheet->scale, sheet->scale);
        SetRgb(cr, kTableTone);
        cairo_paint(cr);
        DrawBack(cr, back);
        cairo_restore(cr);
        if (!canvas.Ok()) {
            *error = "cairo failed drawing a card back";
            return false;
        }
        sheet->PlaceCell(card_geometry::BackCellX(back), 0, canvas.Pixels());
    }
    return true;
}

}  // namespace

namespace card_art {

bool LoadIndexFaces(const fs::path& fontRoot, std::string* error) {
    FaceCache* cache = IndexFaces();
    if (cache->loaded && cache->root == fontRoot) return true;
    std::array<cairo_font_face_t*, kDesignCount> faces{};
    for (int d = 0; d < kDesignCount; ++d) {
        faces[static_cast<size_t>(d)] = LoadFace(fontRoot / kDesigns[d].fontFile, error);
        if (faces[static_cast<size_t>(d)] == nullptr) {
            for (cairo_font_face_t* face : faces) cairo_font_face_destroy(face);
            return false;
        }
    }
    for (cairo_font_face_t* face : cache->faces) cairo_font_face_destroy(face);
    cache->faces = faces;
    cache->root = fontRoot;
    cache->loaded = true;
    return true;
}

void DrawCardFront(cairo_t* cr, int design, int suit, int rank) {
    cairo_font_face_t* face = IndexFaces()->faces[static_cast<size_t>(design)];
    if (face == nullptr) return;
    // The face is drawn into a group of the cell's size without the rounded clip, as the sheet
    // draws it: a clip inside the art (the ace of spades' inlay) then blends as it does there.
    cairo_save(cr);
    cairo_rectangle(cr, 0, 0, kCellWidth, kCellHeight);
    cairo_clip(cr);
    cairo_push_group(cr);
    SetTextOptions(cr);
    DrawFront(cr, face, kDesigns[design], suit, rank);
    cairo_pop_group_to_source(cr);
    RoundedRect(cr, 0, 0, kCellWidth, kCellHeight, kCornerRadius);
    cairo_clip(cr);
    cairo_paint(cr);
    cairo_restore(cr);
}

void DrawCardBack(cairo_t* cr, int back) {
    cairo_save(cr);
    RoundedRect(cr, 0, 0, kCellWidth, kCellHeight, kCornerRadius);
    cairo_clip(cr);
    SetRgb(cr, kTableTone);
    cairo_paint(cr);
    DrawBack(cr, back);
    cairo_restore(cr);
}

double EdgeDistance(double x, double y) {
    const double qx = std::max({kCornerRadius - x, x - (kCellWidth - kCornerRadius), 0.0});
    const double qy = std::max({kCornerRadius - y, y - (kCellHeight - kCornerRadius), 0.0});
    if (qx > 0 && qy > 0) return kCornerRadius - std::hypot(qx, qy);
    return std::min({x, y, kCellWidth - x, kCellHeight - y});
}

fs::path DataFilePath(const char* programName) {
    std::string name = programName;
    std::replace(name.begin(), name.end(), '\\', '/');
    return fs::path(name);
}

}  // namespace card_art

bool RenderCardArt(const fs::path& fontRoot, ArtFileList* files, std::string* error, int scale) {
    auto name = [scale](const char* programName) { return ScaledArtPath(card_art::DataFilePath(programName), scale); };
    if (!card_art::LoadIndexFaces(fontRoot, error)) return false;
    for (int d = 0; d < card_art::kDesignCount; ++d) {
        Sheet sheet(card_geometry::kFrontSheetWidth, card_geometry::kFrontSheetHeight, scale);
        Sheet selected = sheet;
        if (!RenderFrontSheet(kDesigns[d], IndexFaces()->faces[static_cast<size_t>(d)], &sheet, &selected, error))
            return false;
        files->emplace_back(name(card_geometry::kFrontFiles[d]), sheet.Encode());
        files->emplace_back(name(card_geometry::kDarkFrontFiles[d]), selected.Encode());
    }
    Sheet backs(card_geometry::kBacksSheetWidth, card_geometry::kBacksSheetHeight, scale);
    if (!RenderBackSheet(&backs, error)) return false;
    files->emplace_back(name(card_geometry::kBacksFile), backs.Encode());
    return true;
}
