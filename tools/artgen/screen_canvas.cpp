#include "tools/artgen/screen_canvas.h"

#include <cairo-ft.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <array>
#include <cmath>

#include "draw/jpeg_encode.h"
#include "tools/artgen/bmp_writer.h"

namespace fs = std::filesystem;

uint32_t PackRgb(double r, double g, double b) {
    auto channel = [](double v) {
        return static_cast<uint32_t>(std::lround(std::clamp(v, 0.0, 1.0) * 255.0));
    };
    uint32_t c = (channel(r) << 16) | (channel(g) << 8) | channel(b);
    // Exact magenta means "transparent" to the program; a drawn pixel never may be it.
    if (c == kMagenta) c = 0xFE00FF;
    return c;
}

Rgbf Mix(Rgbf a, Rgbf b, double t) {
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

Rgbf Scale(Rgbf c, double factor) { return {c.r * factor, c.g * factor, c.b * factor}; }

Picture::Picture(int w, int h, uint32_t fill)
    : width(w), height(h), pixels(static_cast<size_t>(w) * static_cast<size_t>(h), fill) {}

void Picture::Blit(const Picture& src, int x, int y) {
    for (int sy = 0; sy < src.height; ++sy) {
        const int dy = y + sy;
        if (dy < 0 || dy >= height) continue;
        for (int sx = 0; sx < src.width; ++sx) {
            const int dx = x + sx;
            if (dx >= 0 && dx < width) At(dx, dy) = src.At(sx, sy);
        }
    }
}

Picture Picture::Crop(int x, int y, int w, int h) const {
    Picture out(w, h);
    for (int sy = 0; sy < h; ++sy)
        for (int sx = 0; sx < w; ++sx)
            if (x + sx >= 0 && x + sx < width && y + sy >= 0 && y + sy < height) out.At(sx, sy) = At(x + sx, y + sy);
    return out;
}

OpaqueCanvas::OpaqueCanvas(Picture* picture, double scale) {
    // Cairo's RGB24 format is the same 0x00RRGGBB word per pixel, with a stride of 4 x width.
    surface = cairo_image_surface_create_for_data(reinterpret_cast<unsigned char*>(picture->pixels.data()),
                                                  CAIRO_FORMAT_RGB24, picture->width, picture->height,
                                                  picture->width * 4);
    context = cairo_create(surface);
    if (scale != 1.0) cairo_scale(context, scale, scale);
}

OpaqueCanvas::~OpaqueCanvas() {
    cairo_destroy(context);
    cairo_surface_flush(surface);
    cairo_surface_destroy(surface);
}

AlphaCanvas::AlphaCanvas(int w, int h) : width(w), height(h) {
    surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, w, h);
    context = cairo_create(surface);
}

AlphaCanvas::~AlphaCanvas() {
    cairo_destroy(context);
    cairo_surface_destroy(surface);
}

double AlphaCanvas::Alpha(int x, int y) const {
    cairo_surface_flush(surface);
    const unsigned char* data = cairo_image_surface_get_data(surface);
    const int stride = cairo_image_surface_get_stride(surface);
    const uint32_t p = *reinterpret_cast<const uint32_t*>(data + static_cast<size_t>(y) * stride + 4 * x);
    return (p >> 24) / 255.0;
}

Picture AlphaCanvas::Key(uint32_t matte, double threshold) const {
    cairo_surface_flush(surface);
    const unsigned char* data = cairo_image_surface_get_data(surface);
    const int stride = cairo_image_surface_get_stride(surface);
    const Rgbf m = RgbOf(matte);
    Picture out(width, height);
    for (int y = 0; y < height; ++y) {
        const uint32_t* row = reinterpret_cast<const uint32_t*>(data + static_cast<size_t>(y) * stride);
        for (int x = 0; x < width; ++x) {
            const uint32_t p = row[x];
            const double a = (p >> 24) / 255.0;
            if (a < threshold || a <= 0) continue;
            // Premultiplied colour over the matte.
            const double r = ((p >> 16) & 0xFF) / 255.0 + m.r * (1 - a);
            const double g = ((p >> 8) & 0xFF) / 255.0 + m.g * (1 - a);
            const double b = (p & 0xFF) / 255.0 + m.b * (1 - a);
            out.At(x, y) = PackRgb(r, g, b);
        }
    }
    return out;
}

namespace {

uint32_t Hash(int x, int y, uint32_t seed) {
    uint32_t h = static_cast<uint32_t>(x) * 0x8DA6B343u ^ static_cast<uint32_t>(y) * 0xD8163841u ^ seed * 0xCB1AB31Fu;
    h ^= h >> 13;
    h *= 0x5BD1E995u;
    h ^= h >> 15;
    return h;
}

double Unit(uint32_t h) { return (h & 0xFFFFFF) / static_cast<double>(0x7FFFFF) - 1.0; }

}  // namespace

double Grain(int x, int y, uint32_t seed) { return Unit(Hash(x, y, seed)); }

double ValueNoise(double x, double y, uint32_t seed) {
    const double fx = std::floor(x), fy = std::floor(y);
    const int ix = static_cast<int>(fx), iy = static_cast<int>(fy);
    double tx = x - fx, ty = y - fy;
    tx = tx * tx * (3 - 2 * tx);
    ty = ty * ty * (3 - 2 * ty);
    const double a = Unit(Hash(ix, iy, seed)), b = Unit(Hash(ix + 1, iy, seed));
    const double c = Unit(Hash(ix, iy + 1, seed)), d = Unit(Hash(ix + 1, iy + 1, seed));
    return (a + (b - a) * tx) + ((c + (d - c) * tx) - (a + (b - a) * tx)) * ty;
}

double Fractal(double x, double y, int octaves, uint32_t seed) {
    double sum = 0, amplitude = 1, total = 0;
    for (int i = 0; i < octaves; ++i) {
        sum += amplitude * ValueNoise(x, y, seed + static_cast<uint32_t>(i) * 101u);
        total += amplitude;
        amplitude *= 0.5;
        x *= 2.03;
        y *= 2.03;
    }
    return sum / total;
}

void Vignette(Picture* picture, double strength) {
    const double cx = picture->width / 2.0, cy = picture->height / 2.0;
    for (int y = 0; y < picture->height; ++y)
        for (int x = 0; x < picture->width; ++x) {
            const double dx = (x - cx) / cx, dy = (y - cy) / cy;
            const double d = std::min(1.0, (dx * dx + dy * dy) / 2.0);
            const double f = 1.0 - strength * d * d * 1.6;
            const Rgbf c = Scale(RgbOf(picture->At(x, y)), std::max(0.0, f));
            picture->At(x, y) = PackRgb(c.r, c.g, c.b);
        }
}

// --- Fonts ---

namespace {

constexpr std::array<const char*, 6> kFontFiles = {
    "opentype/linux-libertine/LinLibertine_DR.otf", "opentype/linux-libertine/LinLibertine_RB.otf",
    "opentype/linux-libertine/LinLibertine_RZ.otf",  "opentype/linux-libertine/LinLibertine_RI.otf",
    "opentype/linux-libertine/LinBiolinum_RB.otf",   "truetype/dejavu/DejaVuSans.ttf",
};

// The faces live as long as the process: cairo caches them beyond any one drawing.
struct FontCache {
    FT_Library library = nullptr;
    std::array<cairo_font_face_t*, kFontFiles.size()> faces{};
    fs::path root;
};

FontCache* Cache() {
    static FontCache* cache = new FontCache;
    return cache;
}

}  // namespace

bool LoadFonts(const fs::path& fontRoot, std::string* error) {
    FontCache* cache = Cache();
    if (cache->library != nullptr && cache->root == fontRoot) return true;
    if (cache->library == nullptr && FT_Init_FreeType(&cache->library) != 0) {
        *error = "cannot start FreeType";
        return false;
    }
    for (size_t i = 0; i < kFontFiles.size(); ++i) {
        const fs::path path = fontRoot / kFontFiles[i];
        FT_Face face = nullptr;
        if (FT_New_Face(cache->library, path.c_str(), 0, &face) != 0) {
            *error = "cannot load font " + path.string();
            return false;
        }
        cache->faces[i] = cairo_ft_font_face_create_for_ft_face(face, 0);
    }
    cache->root = fontRoot;
    return true;
}

void UseFont(cairo_t* cr, Font font, double size) {
    cairo_set_font_face(cr, Cache()->faces[static_cast<size_t>(font)]);
    cairo_set_font_size(cr, size);
    cairo_font_options_t* options = cairo_font_options_create();
    // Outlines unhinted, so the same text looks the same at any position and scale.
    cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_NONE);
    cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_OFF);
    cairo_font_options_set_antialias(options, CAIRO_ANTIALIAS_GRAY);
    cairo_set_font_options(cr, options);
    cairo_font_options_destroy(options);
}

double InkWidth(cairo_t* cr, const char* text) {
    cairo_text_extents_t e;
    cairo_text_extents(cr, text, &e);
    return e.width;
}

void CentredTextPath(cairo_t* cr, const char* text, double cx, double baseline) {
    cairo_text_extents_t e;
    cairo_text_extents(cr, text, &e);
    cairo_move_to(cr, cx - e.width / 2 - e.x_bearing, baseline);
    cairo_text_path(cr, text);
}

void FillGold(cairo_t* cr, double top, double bottom, bool bright) {
    cairo_path_t* path = cairo_copy_path(cr);
    cairo_new_path(cr);
    // Shadow first, one and a half pixels down and right.
    cairo_save(cr);
    cairo_translate(cr, 1.2, 1.6);
    cairo_append_path(cr, path);
    cairo_set_source_rgba(cr, 0.02, 0.01, 0.0, 0.75);
    cairo_fill(cr);
    cairo_restore(cr);
    cairo_append_path(cr, path);
    cairo_pattern_t* gold = cairo_pattern_create_linear(0, top, 0, bottom);
    if (bright) {
        cairo_pattern_add_color_stop_rgb(gold, 0.0, 1.0, 0.97, 0.80);
        cairo_pattern_add_color_stop_rgb(gold, 0.5, 1.0, 0.88, 0.55);
        cairo_pattern_add_color_stop_rgb(gold, 1.0, 0.93, 0.72, 0.34);
    } else {
        cairo_pattern_add_color_stop_rgb(gold, 0.0, 1.0, 0.90, 0.58);
        cairo_pattern_add_color_stop_rgb(gold, 0.45, 0.90, 0.73, 0.33);
        cairo_pattern_add_color_stop_rgb(gold, 0.55, 0.80, 0.62, 0.25);
        cairo_pattern_add_color_stop_rgb(gold, 1.0, 0.93, 0.77, 0.40);
    }
    cairo_set_source(cr, gold);
    cairo_fill_preserve(cr);
    cairo_pattern_destroy(gold);
    cairo_set_source_rgba(cr, 0.25, 0.16, 0.04, 0.55);
    cairo_set_line_width(cr, 0.6);
    cairo_stroke(cr);
    cairo_path_destroy(path);
}

void RoundedRectPath(cairo_t* cr, double x, double y, double w, double h, double r) {
    const double pi = 3.14159265358979323846;
    cairo_new_sub_path(cr);
    cairo_arc(cr, x + w - r, y + r, r, -pi / 2, 0);
    cairo_arc(cr, x + w - r, y + h - r, r, 0, pi / 2);
    cairo_arc(cr, x + r, y + h - r, r, pi / 2, pi);
    cairo_arc(cr, x + r, y + r, r, pi, 1.5 * pi);
    cairo_close_path(cr);
}

std::vector<uint8_t> EncodeBmp(const Picture& picture) {
    return EncodeBmp24(picture.pixels.data(), picture.width, picture.height);
}

std::vector<uint8_t> EncodeJpegPicture(const Picture& picture, int quality, bool subsample) {
    return EncodeJpeg(picture.pixels.data(), picture.width, picture.height, quality, subsample);
}
