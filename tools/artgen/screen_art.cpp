// The screens around the games. They share one look, independent of the table theme: a deep
// green leather ground with gold tooling, the program's name set in a display face, and
// playing cards drawn by the table's own card code.
#include "tools/artgen/screen_art.h"

#include <algorithm>
#include <cmath>

#include "games/game_registry.h"
#include "artwork/screen_layout.h"
#include "tools/artgen/bmp_writer.h"
#include "tools/artgen/card_art.h"

namespace sl = screen_layout;

namespace {

// The two darkened panels of game names on the selection screen, and how far inside their
// border a hover highlight keeps.
constexpr double kNamePanelLefts[] = {18.0, 548.0};
constexpr double kNamePanelWidth = 234;
constexpr double kNamePanelInset = 3;

constexpr double kPi = 3.14159265358979323846;
constexpr int kW = sl::kScreenWidth, kH = sl::kScreenHeight;
constexpr Rgbf kLeather{0.05, 0.19, 0.12};
constexpr Rgbf kGold{0.86, 0.70, 0.31};
constexpr Rgbf kBurgundy{0.42, 0.07, 0.10};
constexpr uint32_t kSeed = 4242;

void SetSource(cairo_t* cr, Rgbf c, double alpha = 1.0) { cairo_set_source_rgba(cr, c.r, c.g, c.b, alpha); }
uint32_t Pack(Rgbf c) { return PackRgb(c.r, c.g, c.b); }

// The grain of a logical pixel, the same for every device pixel of it.
double GrainAt(double x, double y, uint32_t seed) {
    return Grain(static_cast<int>(std::floor(x)), static_cast<int>(std::floor(y)), seed);
}

Rgbf LeatherAt(Rgbf base, double x, double y, uint32_t seed) {
    const double mottle = Fractal(x / 120.0, y / 120.0, 3, seed);
    const double pores = ValueNoise(x / 2.2, y / 2.2, seed + 3);
    return Scale(base, 1.0 + 0.14 * mottle + 0.05 * pores + 0.03 * GrainAt(x, y, seed));
}

Picture Ground(Rgbf base, uint32_t seed, double vignette, int scale = 1) {
    Picture p(kW * scale, kH * scale);
    ShadeSmoothAtScale(&p, scale, [&](double x, double y) { return LeatherAt(base, x, y, seed); });
    Vignette(&p, vignette);
    return p;
}

// Gold tooling: a double rule inset from the edges with small lozenges at the corners.
void Tooling(cairo_t* cr, double inset) {
    cairo_set_line_width(cr, 1.5);
    cairo_rectangle(cr, inset + 0.5, inset + 0.5, kW - 2 * inset - 1, kH - 2 * inset - 1);
    SetSource(cr, kGold, 0.85);
    cairo_stroke(cr);
    cairo_set_line_width(cr, 0.8);
    cairo_rectangle(cr, inset + 5.5, inset + 5.5, kW - 2 * inset - 11, kH - 2 * inset - 11);
    SetSource(cr, kGold, 0.55);
    cairo_stroke(cr);
    for (const double cx : {inset + 3.0, kW - inset - 3.0})
        for (const double cy : {inset + 3.0, kH - inset - 3.0}) {
            cairo_move_to(cr, cx - 6, cy);
            cairo_line_to(cr, cx, cy - 6);
            cairo_line_to(cr, cx + 6, cy);
            cairo_line_to(cr, cx, cy + 6);
            cairo_close_path(cr);
            SetSource(cr, kGold);
            cairo_fill(cr);
        }
}

// Gold text centred on cx, baseline y; wider text than maxWidth is squeezed to fit.
void GoldText(cairo_t* cr, Font font, double size, const char* text, double cx, double y, double maxWidth = 1e9,
              bool bright = false) {
    UseFont(cr, font, size);
    cairo_text_extents_t e;
    cairo_text_extents(cr, text, &e);
    const double sx = std::min(1.0, maxWidth / e.width);
    cairo_save(cr);
    cairo_translate(cr, cx - e.width * sx / 2, y);
    cairo_scale(cr, sx, 1.0);
    cairo_move_to(cr, -e.x_bearing, 0);
    cairo_text_path(cr, text);
    cairo_restore(cr);
    FillGold(cr, y - size * 0.72, y + size * 0.1, bright);
}

void PlainText(cairo_t* cr, Font font, double size, const char* text, double cx, double y, Rgbf colour,
               double alpha = 1.0) {
    UseFont(cr, font, size);
    CentredTextPath(cr, text, cx, y);
    SetSource(cr, colour, alpha);
    cairo_fill(cr);
}

// Cards come from the table's own drawing: a face of the classic design, or the back below.
constexpr int kScreenDesign = 0;
constexpr int kScreenBack = 0;
constexpr int kBack = -1;
// Ranks as the card art numbers them.
constexpr int kJackRank = 9, kQueenRank = 10, kKingRank = 11, kAceRank = 12;

// A card (rank kBack for its back) centred on (x, y), turned by degrees and shown width
// logical pixels wide, with a soft shadow below it.
void PlaceCard(cairo_t* cr, double x, double y, double degrees, double width, int rank, int suit) {
    constexpr double cw = card_art::kCellWidth, ch = card_art::kCellHeight;
    cairo_save(cr);
    cairo_translate(cr, x, y);
    cairo_rotate(cr, degrees * kPi / 180);
    cairo_scale(cr, width / cw, width / cw);
    cairo_translate(cr, -cw / 2, -ch / 2);
    RoundedRectPath(cr, 3, 4, cw, ch, 4.5);
    cairo_set_source_rgba(cr, 0, 0, 0, 0.35);
    cairo_fill(cr);
    if (rank == kBack) {
        card_art::DrawCardBack(cr, kScreenBack);
    } else {
        card_art::DrawCardFront(cr, kScreenDesign, suit, rank);
    }
    cairo_restore(cr);
}

// A card at the table's size, upright, its top-left corner on a whole logical pixel: the
// picture then holds exactly the table's cell.
void PlaceTableCard(cairo_t* cr, double left, double top, int rank, int suit) {
    PlaceCard(cr, std::round(left) + card_art::kCellWidth / 2.0, std::round(top) + card_art::kCellHeight / 2.0, 0,
              card_art::kCellWidth, rank, suit);
}

// The screens' fonts and the table's index faces.
bool LoadScreenFonts(const std::filesystem::path& fontRoot, std::string* error) {
    return LoadFonts(fontRoot, error) && card_art::LoadIndexFaces(fontRoot, error);
}

// A quill: a curved feather with a central shaft.
void Quill(cairo_t* cr, double x, double y, double length, double degrees, Rgbf colour) {
    cairo_save(cr);
    cairo_translate(cr, x, y);
    cairo_rotate(cr, degrees * kPi / 180);
    const double l = length;
    cairo_move_to(cr, 0, 0);
    cairo_curve_to(cr, l * 0.25, -l * 0.10, l * 0.70, -l * 0.16, l, -l * 0.02);
    cairo_curve_to(cr, l * 0.72, l * 0.05, l * 0.35, l * 0.06, l * 0.12, l * 0.015);
    cairo_close_path(cr);
    SetSource(cr, colour);
    cairo_fill(cr);
    cairo_set_line_width(cr, l * 0.008);
    cairo_move_to(cr, -l * 0.06, l * 0.01);
    cairo_curve_to(cr, l * 0.3, -l * 0.02, l * 0.7, -l * 0.05, l, -l * 0.02);
    cairo_set_source_rgba(cr, 0.25, 0.16, 0.05, 0.8);
    cairo_stroke(cr);
    for (double t = 0.2; t < 0.95; t += 0.06) {
        cairo_move_to(cr, l * t, -l * 0.02 * t);
        cairo_line_to(cr, l * (t + 0.05), -l * (0.05 + 0.08 * std::sin(t * kPi)));
    }
    cairo_set_line_width(cr, l * 0.004);
    cairo_stroke(cr);
    cairo_restore(cr);
}

// A plaque button face: rounded, gold rimmed; state 0 normal, 1 hover, 2 pressed.
void Plaque(cairo_t* cr, double x, double y, double w, double h, int state, const char* caption, double size) {
    const double shift = state == 2 ? 1 : 0;
    RoundedRectPath(cr, x + 2, y + 2.5, w - 4, h - 4, 9);
    cairo_set_source_rgba(cr, 0, 0, 0, 0.55);
    cairo_fill(cr);
    RoundedRectPath(cr, x + 1 + shift, y + 1 + shift, w - 4, h - 4, 9);
    cairo_pattern_t* fill = cairo_pattern_create_linear(0, y, 0, y + h);
    const Rgbf base = state == 1 ? Rgbf{0.56, 0.12, 0.14} : state == 2 ? Rgbf{0.30, 0.05, 0.07} : kBurgundy;
    const Rgbf top = state == 2 ? Scale(base, 0.8) : Mix(base, Rgbf{1, 0.8, 0.7}, 0.15);
    cairo_pattern_add_color_stop_rgb(fill, 0, top.r, top.g, top.b);
    cairo_pattern_add_color_stop_rgb(fill, 1, base.r * 0.7, base.g * 0.7, base.b * 0.7);
    cairo_set_source(cr, fill);
    cairo_fill_preserve(cr);
    cairo_pattern_destroy(fill);
    cairo_set_line_width(cr, 1.6);
    SetSource(cr, state == 1 ? Rgbf{1.0, 0.86, 0.5} : kGold);
    cairo_stroke(cr);
    RoundedRectPath(cr, x + 4 + shift, y + 4 + shift, w - 10, h - 10, 6);
    cairo_set_line_width(cr, 0.7);
    SetSource(cr, kGold, 0.5);
    cairo_stroke(cr);
    GoldText(cr, Font::SerifBold, size, caption, x + (w - 3) / 2 + shift, y + h / 2 + size * 0.33 + shift, w - 14,
             state == 1);
}

}  // namespace

// --- Selection screen ---

Picture RenderSelectionScreen(int scale) {
    Picture p = Ground(kLeather, kSeed, 0.6, scale);
    OpaqueCanvas canvas(&p, scale);
    cairo_t* cr = canvas.cr();
    Tooling(cr, 8);
    // Title, between the two buttons.
    GoldText(cr, Font::Display, 58, "Quillfen Solitaire", kW / 2.0, 86);
    PlainText(cr, Font::SerifItalic, 19, "Twenty Classic Games of Patience", kW / 2.0, 118, Rgbf{0.92, 0.84, 0.62},
              0.85);
    cairo_set_line_width(cr, 1.0);
    for (const double side : {-1.0, 1.0}) {
        cairo_move_to(cr, kW / 2.0 + side * 150, 112);
        cairo_line_to(cr, kW / 2.0 + side * 250, 112);
    }
    SetSource(cr, kGold, 0.6);
    cairo_stroke(cr);
    // Two columns of names, each on a softly darkened panel.
    for (const double left : kNamePanelLefts) {
        RoundedRectPath(cr, left, 150, kNamePanelWidth, 412, 14);
        cairo_set_source_rgba(cr, 0, 0, 0, 0.28);
        cairo_fill_preserve(cr);
        cairo_set_line_width(cr, 1.0);
        SetSource(cr, kGold, 0.45);
        cairo_stroke(cr);
    }
    // A fan of cards in the middle.
    const int ranks[] = {kAceRank, kKingRank, kQueenRank, kJackRank, 8};
    const int suits[] = {0, 1, 2, 3, 0};
    PlaceCard(cr, kW / 2.0 - 88, 470, -14, 66, kBack, 0);
    PlaceCard(cr, kW / 2.0 + 88, 470, 14, 66, kBack, 0);
    for (int i = 0; i < 5; ++i) {
        const double angle = -20 + 10 * i;
        cairo_save(cr);
        cairo_translate(cr, kW / 2.0, 540);
        cairo_rotate(cr, angle * kPi / 180);
        PlaceCard(cr, 0, -200, 0, 92, ranks[i], suits[i]);
        cairo_restore(cr);
    }
    Quill(cr, kW / 2.0 - 125, 545, 250, -14, Rgbf{0.95, 0.92, 0.84});
    for (int i = 0; i < sl::kGameCount; ++i) {
        const Rect& r = sl::kGameMenuItems[static_cast<size_t>(i)];
        GoldText(cr, Font::SerifSemibold, 23, FindGame(i + 1)->name, r.left + r.Width() / 2.0,
                 r.top + 23, r.Width() - 6);
    }
    return p;
}

Picture RenderHighlights(int scale) {
    AlphaCanvas canvas(sl::kHighlightImageWidth * scale, sl::kHighlightImageHeight * scale);
    cairo_t* cr = canvas.cr();
    cairo_scale(cr, scale, scale);
    for (int i = 0; i < sl::kGameCount; ++i) {
        const Rect& r = sl::kGameMenuItems[static_cast<size_t>(i)];
        const double top = sl::HighlightCellY(i);
        // The highlight stays inside its panel's border, whatever the item's width.
        const double panelLeft = kNamePanelLefts[r.left < sl::kScreenWidth / 2 ? 0 : 1];
        const double from = std::max(0.0, panelLeft + kNamePanelInset - r.left);
        const double to = std::min<double>(r.Width(), panelLeft + kNamePanelWidth - kNamePanelInset - r.left);
        cairo_save(cr);
        cairo_rectangle(cr, 0, top, r.Width(), r.Height());
        cairo_clip(cr);
        RoundedRectPath(cr, from + 0.5, top + 0.5, to - from - 1, r.Height() - 1, 9);
        cairo_pattern_t* fill = cairo_pattern_create_linear(0, top, 0, top + r.Height());
        cairo_pattern_add_color_stop_rgb(fill, 0, 0.58, 0.13, 0.14);
        cairo_pattern_add_color_stop_rgb(fill, 1, 0.30, 0.04, 0.06);
        cairo_set_source(cr, fill);
        cairo_fill_preserve(cr);
        cairo_pattern_destroy(fill);
        cairo_set_line_width(cr, 1.2);
        cairo_set_source_rgb(cr, 1.0, 0.84, 0.45);
        cairo_stroke(cr);
        GoldText(cr, Font::SerifSemibold, 23, FindGame(i + 1)->name, r.Width() / 2.0, top + 23,
                 r.Width() - 6, true);
        cairo_restore(cr);
    }
    return canvas.Key(Pack(Scale(kLeather, 0.8)), 0.5);
}

Picture RenderTitleButtons(int scale) {
    AlphaCanvas canvas(sl::kTitleButtonImageWidth * scale, sl::kTitleButtonImageHeight * scale);
    cairo_scale(canvas.cr(), scale, scale);
    const int columns[3] = {sl::kTitleButtonNormalX, sl::kTitleButtonHoverX, sl::kTitleButtonPressedX};
    for (int state = 0; state < 3; ++state) {
        Plaque(canvas.cr(), columns[state], sl::kExitButtonRowY, sl::kTitleButtonWidth, sl::kTitleButtonHeight, state,
               "Exit", 21);
        Plaque(canvas.cr(), columns[state], sl::kPlayersButtonRowY, sl::kTitleButtonWidth, sl::kTitleButtonHeight,
               state, "Players", 19);
    }
    return canvas.Key(Pack(Scale(kLeather, 0.7)), 0.45);
}

Picture RenderExitButtons(int scale) {
    AlphaCanvas canvas(kExitButtonImageWidth * scale, kExitButtonImageHeight * scale);
    cairo_scale(canvas.cr(), scale, scale);
    const int columns[3] = {kExitButtonNormalX, kExitButtonHoverX, kExitButtonPressedX};
    for (int state = 0; state < 3; ++state)
        Plaque(canvas.cr(), columns[state], kExitButtonRow, kExitButtonWidth, kExitButtonHeight, state, "Exit", 20);
    return canvas.Key(Pack(Scale(kLeather, 0.6)), 0.45);
}

namespace {

Picture RenderUpDown(int scale) {
    AlphaCanvas canvas(sl::kUpDownImageWidth * scale, sl::kUpDownImageHeight * scale);
    cairo_t* cr = canvas.cr();
    cairo_scale(cr, scale, scale);
    for (int row = 0; row < 2; ++row)
        for (int state = 0; state < kUpDownStates; ++state) {
            const double x = state * kUpDownCellWidth, y = row * kUpDownCellHeight;
            const double p = state == 2 ? 1 : 0;
            RoundedRectPath(cr, x + 0.5 + p, y + 0.5 + p, kUpDownCellWidth - 2, kUpDownCellHeight - 2, 3);
            const Rgbf face = state == 3 ? Rgbf{0.35, 0.33, 0.31} : state == 1 ? Rgbf{0.56, 0.12, 0.14} : kBurgundy;
            SetSource(cr, state == 2 ? Scale(face, 0.75) : face);
            cairo_fill_preserve(cr);
            cairo_set_line_width(cr, 1.0);
            SetSource(cr, state == 3 ? Rgbf{0.6, 0.58, 0.55} : kGold);
            cairo_stroke(cr);
            const double cx = x + kUpDownCellWidth / 2.0 - 0.5 + p, cy = y + kUpDownCellHeight / 2.0 - 0.5 + p;
            const double d = row == 0 ? -1 : 1;
            cairo_move_to(cr, cx - 4, cy - 2 * d);
            cairo_line_to(cr, cx + 4, cy - 2 * d);
            cairo_line_to(cr, cx, cy + 2.5 * d);
            cairo_close_path(cr);
            SetSource(cr, state == 3 ? Rgbf{0.65, 0.63, 0.6} : state == 1 ? Rgbf{1, 0.9, 0.6} : kGold);
            cairo_fill(cr);
        }
    return canvas.Key(0x303030, 0.45);
}

Picture RenderLogo(int scale) {
    Picture p(kW * scale, kH * scale);
    ShadeAtScale(&p, scale, [](double x, double y) {
        const double dx = (x - 400) / 400.0, dy = (y - 280) / 300.0;
        const double glow = std::exp(-2.2 * (dx * dx + dy * dy));
        return Scale(Mix(Rgbf{0.02, 0.03, 0.03}, Rgbf{0.10, 0.20, 0.14}, glow), 1.0 + 0.02 * GrainAt(x, y, 7));
    });
    OpaqueCanvas canvas(&p, scale);
    cairo_t* cr = canvas.cr();
    // The emblem: a quill across a ring.
    cairo_set_line_width(cr, 3);
    cairo_arc(cr, 400, 225, 78, 0, 2 * kPi);
    SetSource(cr, kGold, 0.9);
    cairo_stroke(cr);
    cairo_set_line_width(cr, 1);
    cairo_arc(cr, 400, 225, 70, 0, 2 * kPi);
    SetSource(cr, kGold, 0.6);
    cairo_stroke(cr);
    Quill(cr, 338, 290, 150, -52, Rgbf{0.96, 0.90, 0.74});
    GoldText(cr, Font::Display, 64, "Quillfen", 400, 390);
    PlainText(cr, Font::SerifSemibold, 22, "S O F T W A R E", 400, 428, Rgbf{0.90, 0.80, 0.55});
    PlainText(cr, Font::SerifItalic, 20, "presents", 400, 490, Rgbf{0.80, 0.78, 0.72}, 0.8);
    return p;
}

// Cards falling in bouncing arcs across the win screen, each leaving a trail of copies and
// coming to rest, drawn last, inside the screen's edge.
void CardCascade(cairo_t* cr) {
    const int ranks[] = {kKingRank, kQueenRank, kJackRank, kAceRank};
    double rest[4][2] = {};
    for (int c = 0; c < 4; ++c) {
        // From the foundations at the top, outwards to both sides.
        double x = 205 + 130 * c, y = 60, vx = (c < 2 ? -1 : 1) * (3.0 + (c == 0 || c == 3 ? 1.4 : 0)), vy = 0;
        for (int step = 0; step < 120; ++step) {
            vy += 0.9;
            x += vx;
            y += vy;
            if (y > 520) {
                y = 520;
                vy = -vy * 0.78;
            }
            if (x < 45 || x > kW - 45) break;
            if (step % 4 == 0) {
                PlaceTableCard(cr, x - card_art::kCellWidth / 2.0, y - card_art::kCellHeight / 2.0, ranks[c], c);
                rest[c][0] = x;
                rest[c][1] = y;
            }
        }
    }
    for (int c = 0; c < 4; ++c)
        PlaceTableCard(cr, rest[c][0] - card_art::kCellWidth / 2.0, rest[c][1] - card_art::kCellHeight / 2.0, ranks[c], c);
}

}  // namespace

Picture RenderWinScreen(int scale) {
    Picture p = Ground(kLeather, kSeed + 1, 0.5, scale);
    OpaqueCanvas canvas(&p, scale);
    cairo_t* cr = canvas.cr();
    CardCascade(cr);
    RoundedRectPath(cr, 160, 200, 480, 170, 18);
    cairo_set_source_rgba(cr, 0.02, 0.05, 0.03, 0.94);
    cairo_fill_preserve(cr);
    cairo_set_line_width(cr, 2);
    SetSource(cr, kGold);
    cairo_stroke(cr);
    GoldText(cr, Font::Display, 62, "You Win!", 400, 290);
    PlainText(cr, Font::SerifItalic, 24, "Splendidly played.", 400, 335, Rgbf{0.94, 0.88, 0.70});
    Tooling(cr, 8);
    return p;
}

Picture RenderLoseScreen(int scale) {
    Picture p = Ground(Rgbf{0.06, 0.08, 0.17}, kSeed + 2, 0.6, scale);
    OpaqueCanvas canvas(&p, scale);
    cairo_t* cr = canvas.cr();
    // A few cards left face down, scattered quietly.
    const double spots[][3] = {{170, 420, -14}, {250, 440, 8}, {560, 430, -6}, {640, 410, 15}, {400, 470, -3}};
    for (const auto& s : spots) PlaceCard(cr, s[0], s[1], s[2], 80, kBack, 0);
    GoldText(cr, Font::Display, 62, "Game Over", 400, 230);
    PlainText(cr, Font::SerifItalic, 24, "No more moves. Better luck with the next deal.", 400, 280,
              Rgbf{0.86, 0.84, 0.80});
    Tooling(cr, 8);
    return p;
}

Picture RenderExitBackground(int scale) {
    Picture p = Ground(kLeather, kSeed + 3, 0.6, scale);
    OpaqueCanvas canvas(&p, scale);
    cairo_t* cr = canvas.cr();
    Tooling(cr, 8);
    GoldText(cr, Font::Display, 54, "Thank You for Playing", 400, 170);
    GoldText(cr, Font::Display, 40, "Quillfen Solitaire", 400, 232);
    PlainText(cr, Font::SerifItalic, 21, "We hope to see you at the table again soon.", 400, 280,
              Rgbf{0.92, 0.86, 0.68});
    // The four aces at the table's size, as a game leaves them on the foundations.
    for (int i = 0; i < 4; ++i) PlaceTableCard(cr, 224 + 100 * i, 364, kAceRank, i);
    return p;
}

bool RenderScreenArt(const std::filesystem::path& fontRoot, std::vector<ArtFile>* files, std::string* error) {
    if (!LoadScreenFonts(fontRoot, error)) return false;
    const std::string folder = "artwork/";
    const size_t first = files->size();
    files->emplace_back(folder + "logo.jpg", EncodeJpegPicture(RenderLogo(1), 92));
    files->emplace_back(folder + "title.jpg", EncodeJpegPicture(RenderSelectionScreen(1), 92));
    files->emplace_back(folder + "hilight_title.bmp", EncodeBmp(RenderHighlights(1)));
    files->emplace_back(folder + "titlebtn.bmp", EncodeBmp(RenderTitleButtons(1)));
    files->emplace_back(folder + "updown.bmp", EncodeBmp(RenderUpDown(1)));
    files->emplace_back(folder + "winscreen.jpg", EncodeJpegPicture(RenderWinScreen(1), 90));
    files->emplace_back(folder + "losescreen.jpg", EncodeJpegPicture(RenderLoseScreen(1), 90));
    files->emplace_back(folder + "exit_bak.jpg", EncodeJpegPicture(RenderExitBackground(1), 90));
    files->emplace_back(folder + "exit_btn.bmp", EncodeBmp(RenderExitButtons(1)));
    for (size_t i = first; i < files->size(); ++i)
        if ((*files)[i].second.empty()) {
            *error = "cannot encode " + (*files)[i].first.string();
            return false;
        }
    return true;
}

bool RenderScaledScreenArt(const std::filesystem::path& fontRoot, int scale, std::vector<ArtFile>* files,
                           std::string* error) {
    if (!LoadScreenFonts(fontRoot, error)) return false;
    const std::filesystem::path folder = "artwork";
    const size_t first = files->size();
    // Full-screen pictures at the device scale, JPEG like their 1x files (a 2400 x 1800 picture
    // is a few hundred kilobytes so).
    files->emplace_back(ScaledArtPath(folder / "logo.jpg", scale), EncodeJpegPicture(RenderLogo(scale), 92));
    files->emplace_back(ScaledArtPath(folder / "winscreen.jpg", scale), EncodeJpegPicture(RenderWinScreen(scale), 90));
    files->emplace_back(ScaledArtPath(folder / "losescreen.jpg", scale), EncodeJpegPicture(RenderLoseScreen(scale), 90));
    files->emplace_back(ScaledArtPath(folder / "exit_bak.jpg", scale), EncodeJpegPicture(RenderExitBackground(scale), 90));
    files->emplace_back(ScaledArtPath(folder / "title.jpg", scale), EncodeJpegPicture(RenderSelectionScreen(scale), 92));
    // Pictures with magenta for transparency are PNG, which keeps it exact.
    const std::pair<const char*, Picture> keyed[] = {
        {"hilight_title.bmp", RenderHighlights(scale)},
        {"titlebtn.bmp", RenderTitleButtons(scale)},
        {"updown.bmp", RenderUpDown(scale)},
        {"exit_btn.bmp", RenderExitButtons(scale)},
    };
    for (const auto& [name, picture] : keyed)
        files->emplace_back(ScaledArtPath(folder / name, scale),
                            EncodePng24(picture.pixels.data(), picture.width, picture.height));
    for (size_t i = first; i < files->size(); ++i)
        if ((*files)[i].second.empty()) {
            *error = "cannot encode " + (*files)[i].first.string();
            return false;
        }
    return true;
}
