// Shared painting tools of the theme and screen artwork: pictures in 0x00RRGGBB words, cairo
// drawing on them, deterministic noise, outline fonts by explicit path, and the conversion of
// transparent drawings into pictures with magenta (0xFF00FF) where nothing is.
#pragma once

#include <cairo.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

inline constexpr uint32_t kMagenta = 0xFF00FF;

// A generated data file: its name below the output folder and its bytes.
using ArtFile = std::pair<std::filesystem::path, std::vector<uint8_t>>;

struct Rgbf {
    double r = 0, g = 0, b = 0;
};

constexpr Rgbf RgbOf(uint32_t c) {
    return {((c >> 16) & 0xFF) / 255.0, ((c >> 8) & 0xFF) / 255.0, (c & 0xFF) / 255.0};
}
uint32_t PackRgb(double r, double g, double b);  // channels 0..1, clamped
Rgbf Mix(Rgbf a, Rgbf b, double t);
Rgbf Scale(Rgbf c, double factor);

struct Picture {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels;  // top row first, 0x00RRGGBB

    Picture() = default;
    Picture(int w, int h, uint32_t fill = kMagenta);
    uint32_t& At(int x, int y) { return pixels[static_cast<size_t>(y) * width + x]; }
    uint32_t At(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
    // Copies src with its top-left corner at (x, y); parts outside are dropped.
    void Blit(const Picture& src, int x, int y);
    Picture Crop(int x, int y, int w, int h) const;
};

// A cairo context drawing straight into an opaque picture.
class OpaqueCanvas {
public:
    // At scale s the picture is s times the size of what is drawn: paths are given in logical pixels.
    explicit OpaqueCanvas(Picture* picture, double scale = 1.0);
    ~OpaqueCanvas();
    OpaqueCanvas(const OpaqueCanvas&) = delete;
    OpaqueCanvas& operator=(const OpaqueCanvas&) = delete;
    cairo_t* cr() const { return context; }

private:
    cairo_surface_t* surface;
    cairo_t* context;
};

// A transparent cairo surface; Key() turns it into a picture where every pixel with less
// coverage than the threshold is magenta and the rest is composited over the matte colour (the
// colour the picture is expected to be drawn on, so anti-aliased edges blend into it).
class AlphaCanvas {
public:
    AlphaCanvas(int width, int height);
    ~AlphaCanvas();
    AlphaCanvas(const AlphaCanvas&) = delete;
    AlphaCanvas& operator=(const AlphaCanvas&) = delete;
    cairo_t* cr() const { return context; }
    double Alpha(int x, int y) const;
    Picture Key(uint32_t matte, double threshold = 0.4) const;

private:
    cairo_surface_t* surface;
    cairo_t* context;
    int width, height;
};

// --- Noise: smooth value noise in -1..1 and its fractal sum; the same seed gives the same picture.
double ValueNoise(double x, double y, uint32_t seed);
double Fractal(double x, double y, int octaves, uint32_t seed);
// A cheap per-pixel hash in -1..1 for grain.
double Grain(int x, int y, uint32_t seed);

// Fills a picture from a per-pixel function returning 0..1 channels.
template <typename F>
void Shade(Picture* picture, F&& colourAt) {
    for (int y = 0; y < picture->height; ++y)
        for (int x = 0; x < picture->width; ++x) {
            const Rgbf c = colourAt(x, y);
            picture->At(x, y) = PackRgb(c.r, c.g, c.b);
        }
}

// The same for a picture drawn at a device scale: colourAt takes logical coordinates (a device
// pixel's top-left corner divided by the scale), so at scale 1 it sees the whole numbers Shade gives.
template <typename F>
void ShadeAtScale(Picture* picture, int scale, F&& colourAt) {
    const double s = scale;
    for (int y = 0; y < picture->height; ++y)
        for (int x = 0; x < picture->width; ++x) {
            const Rgbf c = colourAt(x / s, y / s);
            picture->At(x, y) = PackRgb(c.r, c.g, c.b);
        }
}

// A colour that changes smoothly across a logical pixel (mottled grounds and fields) for a
// picture at a device scale: colourAt (logical coordinates) is taken at each logical pixel's
// top-left corner, and a device pixel gets the bilinear mix of the four corners around it. That
// costs one evaluation per logical pixel instead of scale x scale; at scale 1 every device pixel
// is a corner, so At gives colourAt exactly.
class SmoothField {
public:
    template <typename F>
    SmoothField(int logicalWidth, int logicalHeight, int scale, F&& colourAt)
        : scale(scale), columns(logicalWidth + 1), corners(static_cast<size_t>(columns) * (logicalHeight + 1)) {
        for (int y = 0; y <= logicalHeight; ++y)
            for (int x = 0; x < columns; ++x)
                corners[static_cast<size_t>(y) * columns + x] = colourAt(static_cast<double>(x), static_cast<double>(y));
    }
    Rgbf At(int x, int y) const {
        const Rgbf* top = &corners[static_cast<size_t>(y / scale) * columns + x / scale];
        if (scale == 1) return *top;
        const double tx = static_cast<double>(x % scale) / scale, ty = static_cast<double>(y % scale) / scale;
        return Mix(Mix(top[0], top[1], tx), Mix(top[columns], top[columns + 1], tx), ty);
    }

private:
    int scale;
    int columns;
    std::vector<Rgbf> corners;
};

// ShadeAtScale for such a colour.
template <typename F>
void ShadeSmoothAtScale(Picture* picture, int scale, F&& colourAt) {
    const SmoothField field(picture->width / scale, picture->height / scale, scale, colourAt);
    for (int y = 0; y < picture->height; ++y)
        for (int x = 0; x < picture->width; ++x) {
            const Rgbf c = field.At(x, y);
            picture->At(x, y) = PackRgb(c.r, c.g, c.b);
        }
}

// Darkens towards the edges: strength 0..1 at the corners.
void Vignette(Picture* picture, double strength);

// --- Fonts ---
enum class Font { Display, SerifBold, SerifSemibold, SerifItalic, SansBold, Sans };
// Loads every face once; false with a message when a font file is missing.
bool LoadFonts(const std::filesystem::path& fontRoot, std::string* error);
void UseFont(cairo_t* cr, Font font, double size);
// Width of the ink of text at the current font.
double InkWidth(cairo_t* cr, const char* text);

// Adds the path of text whose ink is centred on (cx) horizontally with its baseline at y.
void CentredTextPath(cairo_t* cr, const char* text, double cx, double baseline);

// Gold lettering with a soft dark shadow, filled over the current path.
void FillGold(cairo_t* cr, double top, double bottom, bool bright = false);
void RoundedRectPath(cairo_t* cr, double x, double y, double w, double h, double r);

// Encoders for the data files.
std::vector<uint8_t> EncodeBmp(const Picture& picture);
std::vector<uint8_t> EncodeJpegPicture(const Picture& picture, int quality = 92, bool subsample = true);
