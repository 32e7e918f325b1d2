// Review sheets: the generated pictures read back from the data folder and laid out as a player
// would see them (the table of each theme with its menu bar, title, placeholders, a dialog and
// an open menu; the screens with their buttons), one PNG per group.
#include <algorithm>
#include <cstdio>

#include "draw/draw.h"
#include "artwork/screen_layout.h"
#include "tools/artgen/artgen.h"
#include "tools/artgen/card_art.h"
#include "tools/artgen/screen_art.h"
#include "tools/artgen/screen_canvas.h"
#include "tools/artgen/screen_sheet.h"
#include "ui/art_cells.h"

namespace fs = std::filesystem;
namespace sl = screen_layout;

namespace {

uint32_t ReadU32(const uint8_t* p) { return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<uint32_t>(p[3]) << 24); }

// Reads the bottom-up 24-bit BMPs the generator writes; anything else is refused.
bool ReadBmp24(const fs::path& path, Picture* out) {
    std::vector<uint8_t> b;
    if (!ReadWholeFile(path, &b) || b.size() < 54 || b[0] != 'B' || b[1] != 'M') return false;
    const int w = static_cast<int>(ReadU32(&b[18])), h = static_cast<int>(ReadU32(&b[22]));
    const uint32_t offset = ReadU32(&b[10]);
    if (w <= 0 || h <= 0 || w > 8192 || h > 8192 || (b[28] | (b[29] << 8)) != 24) return false;
    const size_t stride = (static_cast<size_t>(w) * 3 + 3) & ~size_t{3};
    if (offset > b.size() || b.size() - offset < stride * h) return false;
    *out = Picture(w, h);
    for (int y = 0; y < h; ++y) {
        const uint8_t* row = b.data() + offset + static_cast<size_t>(h - 1 - y) * stride;
        for (int x = 0; x < w; ++x) out->At(x, y) = row[3 * x] | (row[3 * x + 1] << 8) | (row[3 * x + 2] << 16);
    }
    return true;
}

bool ReadJpegPicture(const fs::path& path, Picture* out) {
    std::vector<uint8_t> bytes;
    JpegHeader header{};
    if (!ReadWholeFile(path, &bytes) || ReadJpegHeader(path.c_str(), &header) != 0) return false;
    const int buffer = CreateBuffer(header.width, header.height);
    if (buffer < 0) return false;
    SelectBuffer(buffer);
    const bool ok = ShowJpegMemory(bytes.data(), bytes.size());
    if (ok) {
        *out = Picture(header.width, header.height);
        const Pixel* pixels = BufferPixels(buffer);
        const int pitch = BufferWidth(buffer);
        for (int y = 0; y < header.height; ++y)
            for (int x = 0; x < header.width; ++x) out->At(x, y) = pixels[static_cast<size_t>(y) * pitch + x] & 0xFFFFFF;
    }
    FreeBuffer(buffer);
    return ok;
}

bool Load(const fs::path& dir, const std::string& name, Picture* out) {
    const fs::path path = dir / "artwork" / name;
    return name.ends_with(".jpg") ? ReadJpegPicture(path, out) : ReadBmp24(path, out);
}

// Copies a cell, skipping magenta, as the program's transparent copies do.
void BlitKeyed(Picture* dst, const Picture& src, int sx, int sy, int w, int h, int dx, int dy) {
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            if (sx + x >= src.width || sy + y >= src.height || dx + x < 0 || dy + y < 0 || dx + x >= dst->width ||
                dy + y >= dst->height)
                continue;
            const uint32_t c = src.At(sx + x, sy + y);
            if (c != kMagenta) dst->At(dx + x, dy + y) = c;
        }
}

void BlitCell(Picture* dst, const Picture& src, int sx, int sy, int w, int h, int dx, int dy) {
    dst->Blit(src.Crop(sx, sy, w, h), dx, dy);
}

// Magenta shown as a checkerboard, so a reviewer sees exactly what is transparent.
Picture Checkered(const Picture& p) {
    Picture out = p;
    for (int y = 0; y < p.height; ++y)
        for (int x = 0; x < p.width; ++x)
            if (p.At(x, y) == kMagenta) out.At(x, y) = ((x / 6 + y / 6) % 2) ? 0x9A9A9A : 0x6A6A6A;
    return out;
}

Picture Half(const Picture& p) {
    Picture out(p.width / 2, p.height / 2);
    for (int y = 0; y < out.height; ++y)
        for (int x = 0; x < out.width; ++x) {
            uint32_t r = 0, g = 0, b = 0;
            for (int k = 0; k < 4; ++k) {
                const uint32_t c = p.At(2 * x + k % 2, 2 * y + k / 2);
                r += (c >> 16) & 0xFF;
                g += (c >> 8) & 0xFF;
                b += c & 0xFF;
            }
            out.At(x, y) = ((r / 4) << 16) | ((g / 4) << 8) | (b / 4);
        }
    return out;
}

void Caption(Picture* p, const char* text, double x, double y, Rgbf colour, Font font = Font::Sans, double size = 13) {
    OpaqueCanvas canvas(p);
    UseFont(canvas.cr(), font, size);
    cairo_move_to(canvas.cr(), x, y);
    cairo_set_source_rgb(canvas.cr(), colour.r, colour.g, colour.b);
    cairo_show_text(canvas.cr(), text);
}

void CentredCaption(Picture* p, const char* text, double cx, double cy, Rgbf colour, Font font, double size) {
    OpaqueCanvas canvas(p);
    UseFont(canvas.cr(), font, size);
    cairo_text_extents_t e;
    cairo_text_extents(canvas.cr(), text, &e);
    cairo_move_to(canvas.cr(), cx - e.width / 2 - e.x_bearing, cy - e.height / 2 - e.y_bearing);
    cairo_set_source_rgb(canvas.cr(), colour.r, colour.g, colour.b);
    cairo_show_text(canvas.cr(), text);
}

bool WritePng(const Picture& p, const fs::path& path) {
    Picture copy = p;
    cairo_surface_t* s = cairo_image_surface_create_for_data(reinterpret_cast<unsigned char*>(copy.pixels.data()),
                                                             CAIRO_FORMAT_RGB24, copy.width, copy.height, copy.width * 4);
    const bool ok = cairo_surface_write_to_png(s, path.c_str()) == CAIRO_STATUS_SUCCESS;
    cairo_surface_destroy(s);
    return ok;
}

Rgbf Colour(sl::Rgb c) { return {c.r / 255.0, c.g / 255.0, c.b / 255.0}; }

// A push button assembled from the strip exactly as the toolkit cuts it.
void MockButton(Picture* screen, const Picture& art, int bx, int by, int w, int h, bool pressed, const char* caption,
                Rgbf colour) {
    const int f = pressed ? art::kPressedButtonFaceLeft : 0;
    const int top = art::kButtonFaceTop;
    BlitCell(screen, art, f, top, w - 7, h - 8, bx, by);
    BlitCell(screen, art, f + 198, top, 8, h - 8, bx + w - 8, by);
    BlitCell(screen, art, f, 726, w - 7, 9, bx, by + h - 9);
    BlitCell(screen, art, f + 198, 726, 8, 9, bx + w - 8, by + h - 9);
    CentredCaption(screen, caption, bx + w / 2.0 - 2 + (pressed ? 2 : 0), by + h / 2.0 - 1 + (pressed ? 2 : 0), colour,
                   Font::Sans, 12);
}

// A dialog framed from the art buffer as the toolkit does it.
void MockDialog(Picture* screen, const Picture& art, int x, int y, int w, int h, const char* title, Rgbf text) {
    constexpr int b = 8;
    BlitCell(screen, art, 0, 0, w, h, x, y);
    BlitCell(screen, art, 800 - b, 0, b, h - b + 2, x + w - b, y);
    BlitCell(screen, art, 0, 600 - b, w - b, b, x, y + h - b);
    BlitCell(screen, art, 799 - b, 600 - b, b + 1, b, x + w - b - 1, y + h - b);
    const int titleTop = y + b + 7;
    BlitKeyed(screen, art, art::kPlateLeft, art::kPlateTop, art::kPlateRight - art::kPlateLeft + 1,
              art::kPlateBottom - art::kPlateTop + 1, x + w / 2 - 154, titleTop);
    CentredCaption(screen, title, x + w / 2.0, titleTop + 12, text, Font::Sans, 12);
}

bool ThemeSheet(const fs::path& data, int theme, const fs::path& png, std::string* error) {
    const int n = theme + 1;
    char name[64];
    auto file = [&](const char* pattern) {
        std::snprintf(name, sizeof name, pattern, n);
        return std::string(name);
    };
    Picture backdrop, menu, face, strip, menus, checks, titles, holders;
    if (!Load(data, file("backdrop%d.jpg"), &backdrop) || !Load(data, file("menu%d.bmp"), &menu) ||
        !Load(data, file("dialog%d.jpg"), &face) || !Load(data, file("dialog%d.bmp"), &strip) ||
        !Load(data, "menus.jpg", &menus) || !Load(data, "checks.bmp", &checks) ||
        !Load(data, std::string(sl::kTitleImageFiles[static_cast<size_t>(theme)]).substr(8), &titles) ||
        !Load(data, file("placeholder%d.bmp"), &holders)) {
        *error = "cannot read the pictures of theme " + std::to_string(n) + " in " + data.string();
        return false;
    }
    const sl::ThemeColors& colours = sl::kThemeColors[static_cast<size_t>(theme)];
    Picture art(art::kDialogArtWidth, art::kDialogArtHeight);
    art.Blit(face, 0, 0);
    BlitKeyed(&art, strip, 0, 0, strip.width, strip.height, 0, art::kStripTop);

    Picture table = backdrop;
    BlitCell(&table, menu, 0, 0, 800, art::kMenuBarHeight, 0, 0);
    const char* menuTitles[] = {"Game", "Options", "Help"};
    for (int i = 0; i < 3; ++i) {
        BlitCell(&table, menu, i * art::kMenuTitleWidth, art::kMenuTitleTop, art::kMenuTitleWidth,
                 art::kMenuTitleHeight, 8 + i * art::kMenuTitleWidth, 0);
        CentredCaption(&table, menuTitles[i], 8 + i * art::kMenuTitleWidth + 48, 14,
                       Colour(i == 2 ? colours.menuItemHighlight : colours.menuItem), Font::Sans, 13);
    }
    const int game = 12;
    const int w = sl::kTitleWidths[game - 1];
    BlitKeyed(&table, titles, 0, sl::TitleBandTop(game), w, sl::kTitleBandHeight, sl::kTitleCentreX - w / 2,
              sl::kTitleBottom - sl::kTitleBandHeight + 1);
    for (int cell = 0; cell < 3; ++cell)
        BlitKeyed(&table, holders, 54 * cell + (cell == 2 ? -1 : 0), 0, 53, 83, 60 + 70 * cell, 90);
    // An open menu below the third title, with a checked item.
    const int panelX = 8 + 2 * art::kMenuTitleWidth, panelY = art::kMenuBarHeight, panelH = 110;
    BlitCell(&table, menus, theme * 200, 0, 200, panelH - 4, panelX, panelY);
    BlitCell(&table, menus, theme * 200, 477, 200, 4, panelX, panelY + panelH - 4);
    const char* items[] = {"Music", "Sound Effects", "Auto Game Over", "Rules", "About..."};
    for (int i = 0; i < 5; ++i)
        Caption(&table, items[i], panelX + 10, panelY + 22 + 19 * i,
                Colour(i == 1 ? colours.menuItemHighlight : colours.menuItem), Font::Sans, 13);
    BlitKeyed(&table, checks, 0, sl::kCheckRowOfTheme[static_cast<size_t>(theme)], 15, 13, panelX + 175, panelY + 10);
    MockDialog(&table, art, 330, 200, 400, 240, "Klondike Options", Colour(colours.control));
    Caption(&table, "Draw three cards at a time", 360, 290, Colour(colours.text), Font::Sans, 13);
    Caption(&table, "Unlimited passes through the stock", 360, 312, Colour(colours.text), Font::Sans, 13);
    MockButton(&table, art, 400, 390, 100, 30, false, "OK", Colour(colours.control));
    MockButton(&table, art, 560, 390, 100, 30, true, "Cancel", Colour(colours.controlHighlight));
    // The score panel and the status line as the game draws them.
    BlitCell(&table, art, 0, 0, 130, 50, 620, 0);
    BlitCell(&table, art, 792, 0, 8, 50, 742, 0);
    BlitCell(&table, art, 0, 592, 122, 8, 620, 42);
    CentredCaption(&table, "Score", 685, 20, Colour(colours.text), Font::Sans, 12);
    CentredCaption(&table, "1250", 685, 35, Colour(colours.text), Font::Sans, 12);
    Caption(&table, "Cards left in stock: 21", 35, 571, Rgbf{160 / 255.0, 1, 160 / 255.0}, Font::SansBold, 13);
    Caption(&table, "Passes: 1", 680, 571, Rgbf{1, 160 / 255.0, 160 / 255.0}, Font::SansBold, 13);

    Picture sheet(800 + 16 + sl::kTitleImageWidth, 600 + 16 + art::kDialogArtHeight - art::kStripTop + 80, 0x2A2A2A);
    sheet.Blit(table, 0, 0);
    sheet.Blit(Checkered(titles), 816, 0);
    sheet.Blit(Checkered(strip), 0, 616);
    sheet.Blit(Checkered(menu.Crop(0, 0, 801, 60)), 0, 616 + strip.height + 8);
    sheet.Blit(Checkered(checks), 816, 700);
    return WritePng(sheet, png) || (*error = "cannot write " + png.string(), false);
}

bool ScreensSheet(const fs::path& data, const fs::path& png, std::string* error) {
    Picture logo, title, highlight, buttons, updown, win, lose, exitBack, exitButton;
    if (!Load(data, "logo.jpg", &logo) || !Load(data, "title.jpg", &title) ||
        !Load(data, "hilight_title.bmp", &highlight) || !Load(data, "titlebtn.bmp", &buttons) ||
        !Load(data, "updown.bmp", &updown) || !Load(data, "winscreen.jpg", &win) ||
        !Load(data, "losescreen.jpg", &lose) || !Load(data, "exit_bak.jpg", &exitBack) ||
        !Load(data, "exit_btn.bmp", &exitButton)) {
        *error = "cannot read the screen pictures in " + data.string();
        return false;
    }
    // The selection screen with its buttons and one highlighted name.
    BlitKeyed(&title, buttons, sl::kTitleButtonNormalX, sl::kPlayersButtonRowY, 84, 54, sl::kPlayersButtonX,
              sl::kPlayersButtonY);
    BlitKeyed(&title, buttons, sl::kTitleButtonHoverX, sl::kExitButtonRowY, 84, 54, sl::kExitButtonX, sl::kExitButtonY);
    const int lit = 11;
    const Rect& r = sl::kGameMenuItems[lit];
    BlitKeyed(&title, highlight, 0, sl::HighlightCellY(lit), r.Width(), r.Height(), r.left, r.top);
    BlitKeyed(&exitBack, exitButton, kExitButtonNormalX, kExitButtonRow, kExitButtonWidth, kExitButtonHeight,
              kExitButtonScreenX, kExitButtonScreenY);
    Picture sheet(1600 + 8 + 256, 1200, 0x2A2A2A);
    sheet.Blit(title, 0, 0);
    sheet.Blit(Half(logo), 800, 0);
    sheet.Blit(Half(exitBack), 1200, 0);
    sheet.Blit(Half(win), 800, 300);
    sheet.Blit(Half(lose), 1200, 300);
    sheet.Blit(Checkered(highlight), 0, 608);
    sheet.Blit(Checkered(buttons), 250, 608);
    sheet.Blit(Checkered(exitButton), 520, 608);
    sheet.Blit(Checkered(updown), 250, 730);
    return WritePng(sheet, png) || (*error = "cannot write " + png.string(), false);
}

bool CardsSheet(const fs::path& data, const fs::path& png, std::string* error) {
    std::vector<Picture> rows;
    const char* sheets[] = {"backs.bmp", "deck1.bmp", "deck1_lg.bmp", "deck2.bmp", "deck2_lg.bmp", "deck1_dark.bmp"};
    for (const char* name : sheets) {
        Picture p;
        if (Load(data, name, &p)) rows.push_back(Checkered(p));
    }
    for (int n = 1; n <= sl::kThemeCount; ++n) {
        Picture p;
        if (!Load(data, "placeholder" + std::to_string(n) + ".bmp", &p)) {
            *error = "cannot read placeholder" + std::to_string(n) + ".bmp in " + data.string();
            return false;
        }
        Picture backdrop;
        if (!Load(data, "backdrop" + std::to_string(n) + ".jpg", &backdrop)) return false;
        Picture shown = backdrop.Crop(100, 200, p.width + 8, p.height + 8);
        BlitKeyed(&shown, p, 0, 0, p.width, p.height, 4, 4);
        rows.push_back(shown);
    }
    int width = 0, height = 0;
    for (const Picture& p : rows) {
        width = std::max(width, p.width);
        height += p.height + 8;
    }
    Picture sheet(width + 16, height + 8, 0x2A2A2A);
    int y = 8;
    for (const Picture& p : rows) {
        sheet.Blit(p, 8, y);
        y += p.height + 8;
    }
    return WritePng(sheet, png) || (*error = "cannot write " + png.string(), false);
}

}  // namespace

bool WriteArtSheets(const fs::path& dataDir, const fs::path& fontRoot, const fs::path& sheetDir, std::string* error) {
    if (!LoadFonts(fontRoot, error)) return false;
    std::error_code ec;
    fs::create_directories(sheetDir, ec);
    if (!CardsSheet(dataDir, sheetDir / "art-cards.png", error)) return false;
    if (!WriteCardArtSheet(dataDir, sheetDir / "art-card-fronts.png", error)) return false;
    if (!WriteCourtSheet(dataDir, sheetDir / "art-courts.png", error)) return false;
    for (int theme = 0; theme < sl::kThemeCount; ++theme)
        if (!ThemeSheet(dataDir, theme, sheetDir / ("art-theme" + std::to_string(theme + 1) + ".png"), error))
            return false;
    return ScreensSheet(dataDir, sheetDir / "art-screens.png", error);
}
