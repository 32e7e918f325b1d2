#include "artwork/artwork.h"

#include "store/settings_store.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <initializer_list>
#include <string>

#include "platform/backend.h"
#include "platform/paths.h"
#include "ui/art_cells.h"

using namespace screen_layout;

namespace {

// The average colour of a picture's outer rows and columns: what a window wider or taller than
// the table shows beside it, so the backdrop seems to run on.
uint32_t EdgeColour(int handle) {
    const Pixel* pixels = BufferPixels(handle);
    const int width = BufferWidth(handle), height = BufferHeight(handle);
    if (!pixels || width <= 0 || height <= 0) return 0;
    uint64_t r = 0, g = 0, b = 0, count = 0;
    const auto add = [&](int x, int y) {
        const Pixel p = pixels[static_cast<size_t>(y) * width + x];
        r += (p >> 16) & 0xFF;
        g += (p >> 8) & 0xFF;
        b += p & 0xFF;
        ++count;
    };
    for (int x = 0; x < width; ++x) {
        add(x, 0);
        add(x, height - 1);
    }
    for (int y = 1; y + 1 < height; ++y) {
        add(0, y);
        add(width - 1, y);
    }
    return static_cast<uint32_t>(((r / count) << 16) | ((g / count) << 8) | (b / count));
}

// Artwork buffer sizes. The dialog art, menu-bar and drop-down sizes are the toolkit's.
constexpr int kMenusColumnCount = 6;
// Rows of check marks in "checks.bmp", one colour each.
constexpr int kCheckRowCount = 4;
constexpr int kMagenta[3] = {255, 0, 255};
// Palette indices whose colours are transparent in every copy of artwork.
constexpr int kTransparentIndices[] = {34, 253};
// ShowBmp flags: draw the picture with its top-left at the origin, or at the drawing cursor.
constexpr int kBmpAtOrigin = 1;
constexpr int kBmpAtCursor = 1 | kShowBmpAtCursor;
// No picture of ours comes near this; a larger file is not read at all.
constexpr std::streamoff kMaxPictureBytes = 32 << 20;

std::string NumberedName(const char* pattern, int number) {
    char name[64];
    std::snprintf(name, sizeof name, pattern, number);
    return name;
}

static_assert(art::kMenusPictureWidth * art::kMenusPictureHeight >= kScreenWidth * kScreenHeight);

// Memory kept from one picture to the next: a theme loads a dozen pictures of a few megabytes,
// and fresh memory for each costs more than decoding them (the pages must be cleared first).
struct PictureScratch {
    std::vector<uint8_t> fileBytes;
    std::vector<uint8_t> jpegWork;
};
PictureScratch& Scratch() {
    static PictureScratch scratch;
    return scratch;
}

bool ReadDataFile(const std::string& name, std::vector<uint8_t>& bytes, size_t& size) {
    std::ifstream file(DataPath(name.c_str()), std::ios::binary | std::ios::ate);
    if (!file) return false;
    const std::streamoff length = file.tellg();
    if (length <= 0 || length > kMaxPictureBytes) return false;
    size = static_cast<size_t>(length);
    if (bytes.size() < size) bytes.resize(size);
    file.seekg(0);
    return static_cast<bool>(file.read(reinterpret_cast<char*>(bytes.data()), length));
}

enum class Format { Jpeg, Bmp };

// Of a JPEG, only width of its columns from left on, drawn at the buffer's left edge (left < 0:
// the whole picture).
struct Columns {
    int left = -1;
    int width = 0;
};

// Puts the active buffer back as it was, none included, so loading never changes where the
// caller draws.
class KeepActiveBuffer {
public:
    KeepActiveBuffer() : previous(ActiveBuffer()) {}
    ~KeepActiveBuffer() {
        if (previous >= 0) SelectBuffer(previous);
        else CloseBuffer();
    }
    KeepActiveBuffer(const KeepActiveBuffer&) = delete;
    KeepActiveBuffer& operator=(const KeepActiveBuffer&) = delete;

private:
    int previous;
};

// Decodes a picture file into buffer, leaving the active buffer as it was. Returns whether a
// picture was drawn: a missing or damaged file leaves the buffer untouched.
// The art made for the device scale ("name@2x.jpg", "name@2x.bmp" or "name@2x.png"), drawn into
// the active buffer pixel for pixel; false when the data folder has none that fits.
bool LoadScaledPicture(PictureScratch& scratch, const std::string& name, Format format, int bmpFlags,
                       Columns columns) {
    const int scale = DrawScale();
    if (scale == 1) return false;
    const std::string scaled = ScaledFileName(name.c_str(), scale);
    size_t size = 0;
    if (format == Format::Jpeg) {
        if (!ReadDataFile(scaled, scratch.fileBytes, size)) return false;
        const uint8_t* bytes = scratch.fileBytes.data();
        return columns.left >= 0 ? ShowScaledJpegColumnsMemory(bytes, size, columns.left, columns.width)
                                 : ShowScaledJpegMemory(bytes, size);
    }
    if (ReadDataFile(scaled, scratch.fileBytes, size) && ShowScaledBmpMemory(scratch.fileBytes.data(), size, bmpFlags))
        return true;
    const std::string png = scaled.substr(0, scaled.rfind('.')) + ".png";
    return ReadDataFile(png, scratch.fileBytes, size) && ShowScaledPngMemory(scratch.fileBytes.data(), size, bmpFlags);
}

bool LoadPicture(int buffer, const std::string& name, Format format, int bmpFlags = kBmpAtOrigin,
                 Columns columns = {}) {
    if (buffer < 0) return false;
    PictureScratch& scratch = Scratch();
    KeepActiveBuffer keep;
    SelectBuffer(buffer);
    // Work memory for the largest 1x picture serves every one at 1x; a larger picture makes the
    // decoder take its own, as every picture at 2x and 3x would (there it is not kept).
    if (scratch.jpegWork.empty() && DrawScale() == 1) {
        const JpegHeader largest{art::kMenusPictureWidth, art::kMenusPictureHeight, 0};
        scratch.jpegWork.resize(JpegWorkSize(&largest));
    }
    SetImageWorkBuffer(scratch.jpegWork.data(), scratch.jpegWork.size());
    // The file's bytes are kept for the next picture only while they are small: at 3x the
    // backdrop's file alone is megabytes.
    struct ReleaseLargeFile {
        std::vector<uint8_t>& bytes;
        ~ReleaseLargeFile() {
            if (bytes.capacity() > (size_t{1} << 20)) std::vector<uint8_t>().swap(bytes);
        }
    } release{scratch.fileBytes};
    if (LoadScaledPicture(scratch, name, format, bmpFlags, columns)) return true;
    size_t size = 0;
    bool drawn = ReadDataFile(name, scratch.fileBytes, size);
    if (drawn && format == Format::Bmp) {
        drawn = ShowBmpMemory(scratch.fileBytes.data(), size, bmpFlags);
    } else if (drawn) {
        SetImageWorkBuffer(scratch.jpegWork.data(), scratch.jpegWork.size());
        drawn = columns.left >= 0 ? ShowJpegColumnsMemory(scratch.fileBytes.data(), size, columns.left, columns.width)
                                  : ShowJpegMemory(scratch.fileBytes.data(), size);
    }
    if (!drawn) ReportUnusableDataFile(DataPath(name.c_str()), "the picture is left out (black or blank)");
    return drawn;
}

void FillWithMagenta(int buffer) {
    KeepActiveBuffer keep;
    SelectBuffer(buffer);
    SetColor(MapRgb(kMagenta[0], kMagenta[1], kMagenta[2]));
    FillBuffer();
}

// Beside a full-screen picture the margins carry on this many of its outermost columns.
constexpr int kScreenEdgeBand = 3;

// The backdrop as the window's margins continue it, shared with the background buffer rather than
// copied (17 MB at 3x). Two bands of rows are given apart. The game's title is drawn into the
// backdrop's band at the top, so that band goes as the backdrop is without it. The status rail
// sunk into the backdrop around the status texts belongs to the table, so where it lies the rows
// just above it are put instead, mirrored, each pixel brought to the brightness the backdrop has
// around the rail at that place (the vignette darkens towards the corners): beside the table the
// margins show the material alone, and the columns left and right of the rail stay as they are.
void SendMarginPicture(int handle, const Rect& title, int titleUnder) {
    const Pixel* pixels = BufferPixels(handle);
    const int width = BufferWidth(handle), height = BufferHeight(handle), scale = BufferScale(handle);
    if (!pixels || width <= 0 || height <= 0 || scale <= 0) return;
    MarginPicture picture;
    picture.pixels = ShareBufferPixels(handle);
    picture.width = width;
    picture.height = height;
    const auto copyRows = [&](int top, int bottom) {
        MarginPicture::Band band;
        band.top = top;
        band.pixels.assign(pixels + static_cast<size_t>(top) * width, pixels + static_cast<size_t>(bottom) * width);
        return band;
    };

    const int titleTop = (kTitleBottom - kTitleBandHeight + 1) * scale, titleBottom = (kTitleBottom + 1) * scale;
    if (titleBottom <= height) {
        MarginPicture::Band band = copyRows(titleTop, titleBottom);
        const Pixel* under = BufferPixels(titleUnder);
        const int underWidth = BufferWidth(titleUnder), underHeight = BufferHeight(titleUnder);
        if (!title.Empty() && under && BufferScale(titleUnder) == scale) {
            const int left = title.left * scale, columns = std::min({title.Width() * scale, underWidth, width - left});
            for (int y = 0; y < std::min(titleBottom - titleTop, underHeight); ++y)
                std::copy_n(under + static_cast<size_t>(y) * underWidth, std::max(0, columns),
                            band.pixels.data() + static_cast<size_t>(y) * width + left);
        }
        picture.bands.push_back(std::move(band));
    }

    const int top = (kStatusTop - kStatusRailMargin) * scale;
    const int bottom = std::min(height - 3, (kStatusBottom + kStatusRailMargin + 1) * scale);
    const int left = std::max(0, kStatusRailLeft - 2) * scale;
    const int right = std::min(width - 1, (kStatusRailRight + 2) * scale);
    if (top < 3 || bottom <= top || right <= left) {
        SetWindowMarginPicture(std::move(picture));
        return;
    }
    // The brightness of rows, blurred along the row, so only the vignette's slope is compared.
    const int radius = 16 * scale;
    const auto profile = [&](int firstRow, int rows) {
        std::vector<double> prefix(static_cast<size_t>(width) + 1, 0.0);
        for (int x = 0; x < width; ++x) {
            double light = 0;
            for (int y = firstRow; y < firstRow + rows; ++y) {
                const Pixel p = pixels[static_cast<size_t>(y) * width + x];
                light += ((p >> 16) & 0xFF) + ((p >> 8) & 0xFF) + (p & 0xFF);
            }
            prefix[x + 1] = prefix[x] + light / rows;
        }
        std::vector<double> blurred(static_cast<size_t>(width));
        for (int x = 0; x < width; ++x) {
            const int from = std::max(0, x - radius), to = std::min(width, x + radius + 1);
            blurred[x] = (prefix[to] - prefix[from]) / (to - from) + 1.0;
        }
        return blurred;
    };
    const std::vector<double> above = profile(top - 3, 3), below = profile(bottom, 3);
    MarginPicture::Band rail = copyRows(top, bottom);
    for (int y = top; y < bottom; ++y) {
        const int from = std::max(0, 2 * top - 1 - y);
        const double t = static_cast<double>(y - top + 1) / (bottom - top + 1);
        const std::vector<double> source = profile(from, 1);
        const Pixel* sourceRow = pixels + static_cast<size_t>(from) * width;
        uint32_t* target = rail.pixels.data() + static_cast<size_t>(y - top) * width;
        for (int x = left; x <= right; ++x) {
            const double gain = (above[x] + (below[x] - above[x]) * t) / source[x];
            uint32_t out = 0;
            for (const int shift : {0, 8, 16}) {
                const double channel = ((sourceRow[x] >> shift) & 0xFF) * gain;
                out |= static_cast<uint32_t>(std::clamp(channel + 0.5, 0.0, 255.0)) << shift;
            }
            target[x] = out;
        }
    }
    picture.bands.push_back(std::move(rail));
    SetWindowMarginPicture(std::move(picture));
}

Pixel ToPixel(const Rgb& colour) { return MapRgb(colour.r, colour.g, colour.b); }

bool Intersect(const Rect& a, const Rect& b) {
    return a.left <= b.right && b.left <= a.right && a.top <= b.bottom && b.top <= a.bottom;
}

}  // namespace

Artwork::~Artwork() { FreeArtwork(); }

bool Artwork::Init(int screen, HWND mainWindow, int mainPalette) {
    FreeArtwork();
    screenBuffer = screen;
    window = mainWindow;
    palette = mainPalette;

    background = CreateBuffer(kScreenWidth, kScreenHeight);
    // Only the bar and the title cells below it are ever read: the rest of the picture is
    // left out (a quarter of a screen at 3x).
    menuBarArt = CreateBuffer(art::kMenuBarImageWidth, art::kMenuBarArtHeight);
    dropDownArt = CreateBuffer(art::kDropDownImageWidth, art::kDropDownImageHeight);
    // One game's title at a time: the whole picture of twenty is 11 MB at 3x.
    titleArt = CreateBuffer(kTitleImageWidth, kTitleBandHeight);
    titleButtonArt = CreateBuffer(kTitleButtonImageWidth, kTitleButtonImageHeight);
    upDownArt = CreateBuffer(kUpDownImageWidth, kUpDownImageHeight);
    for (int handle : {background, menuBarArt, dropDownArt, titleArt, titleButtonArt, upDownArt})
        if (handle < 0) return false;

    // The two fixed pictures are copied transparently, so what a missing file leaves must be too.
    FillWithMagenta(titleButtonArt);
    LoadPicture(titleButtonArt, "artwork\\titlebtn.bmp", Format::Bmp);
    FillWithMagenta(upDownArt);
    LoadPicture(upDownArt, "artwork\\updown.bmp", Format::Bmp);
    for (int index : kTransparentIndices) SetTransparentColor(index, 1);

    // The player's appearance choices (0 until a player's preferences are loaded).
    cardFront = static_cast<int>(userPreferences.CardFront);
    cardBack = static_cast<int>(userPreferences.CardBack);
    backgroundNumber = static_cast<int>(userPreferences.Backdrop);
    LoadCardFont();
    return true;
}

void Artwork::ReloadAtDeviceScale() {
    if (titleButtonArt >= 0) {
        FillWithMagenta(titleButtonArt);
        LoadPicture(titleButtonArt, "artwork\\titlebtn.bmp", Format::Bmp);
    }
    if (upDownArt >= 0) {
        FillWithMagenta(upDownArt);
        LoadPicture(upDownArt, "artwork\\updown.bmp", Format::Bmp);
    }
    if (CardImagesLoaded()) LoadCardImages();
    if (placeholderSheet >= 0) LoadPlaceholder();
    themeLoaded = menuBarTheme = -1;  // the pictures of the old scale are gone
    if (backdropWanted) LoadTheme(backdrop);
    else LoadMenuTheme(backdrop);
    SelectBuffer(screenBuffer);
}

void Artwork::LoadMenuTheme(int index) {
    if (index == kPreferredTheme) index = static_cast<int>(userPreferences.Backdrop);
    if (index < 0 || index >= kThemeCount) index = 0;
    backdrop = index;
    backgroundNumber = index;
    const int scale = BufferScale(menuBarArt);
    if (menuBarTheme != index || menuBarScale != scale || scale <= 0) {
        menuBarLoaded = LoadPicture(menuBarArt, NumberedName("artwork\\menu%d.bmp", index + 1), Format::Bmp);
        menuBarTheme = menuBarLoaded ? index : -1;
        menuBarScale = scale;
    }
    // The drop-down panels wait for the first menu opened (DropDownArt).
    ApplyToolkitTheme();
}

void Artwork::LoadTheme(int index) {
    LoadMenuTheme(index);
    index = backdrop;
    backdropWanted = true;
    // Every game calls this at each deal. When the theme's pictures are already here at this scale,
    // whole, only the game's title needs taking off the backdrop: decoding them again would cost
    // most of a deal's time, and more the larger the window.
    const int scale = BufferScale(background);
    if (themeLoaded == index && themeScale == scale && scale > 0) {
        TakeTitleOff();
        SetWindowMarginColor(themeEdgeColour);
        marginWanted = MarginSource::kBackdrop;
        return;
    }
    themeLoaded = -1;
    titleDrawn = kNoTitle;

    const bool whole = LoadPicture(background, NumberedName("artwork\\backdrop%d.jpg", index + 1), Format::Jpeg);
    themeEdgeColour = EdgeColour(background);
    SetWindowMarginColor(themeEdgeColour);
    marginWanted = MarginSource::kBackdrop;
    LoadPlaceholder();
    if (whole) {
        themeLoaded = index;
        themeScale = scale;
    }
}

Artwork* Artwork::dialogArtOwner = nullptr;

int Artwork::LoadOwnersDialogArt() {
    if (!dialogArtOwner) return -1;
    dialogArtOwner->dialogHandedOut = true;
    return dialogArtOwner->DialogArt();
}

int Artwork::LoadOwnersDropDownArt() { return dialogArtOwner ? dialogArtOwner->DropDownArt() : -1; }

int Artwork::DropDownArt() {
    const int scale = DrawScale();
    if (dropDownTheme == backdrop && dropDownScale == scale) return dropDownLoaded ? dropDownArt : -1;
    dropDownTheme = backdrop;
    dropDownScale = scale;
    dropDownLoaded = false;
    if (dropDownArt < 0) return -1;
    // The drop-down panels of all themes share one picture, a 200-pixel column each, decoded
    // column only; the check marks share another. Both go into the theme's drop-down image.
    FillWithMagenta(dropDownArt);
    static_assert(kMenusColumnCount * art::kMenusColumnWidth <= art::kMenusPictureWidth);
    dropDownLoaded = LoadPicture(dropDownArt, "artwork\\menus.jpg", Format::Jpeg, kBmpAtOrigin,
                                 {backdrop * art::kMenusColumnWidth, art::kDropDownPanelWidth});
    const int checks = CreateBuffer(art::kCheckWidth, kCheckRowCount * art::kCheckHeight);
    if (checks >= 0) {
        if (LoadPicture(checks, "artwork\\checks.bmp", Format::Bmp)) {
            const int top = kCheckRowOfTheme[backdrop];
            CopyBufferRect(0, art::kCheckWidth - 1, top, top + art::kCheckHeight - 1, art::kCheckLeft,
                           art::kCheckTop + art::kCheckHeight - 1, checks, dropDownArt);
        }
        FreeBuffer(checks);
    }
    return dropDownLoaded ? dropDownArt : -1;
}

int Artwork::PanelFace(int width, int height, int edge) {
    const int scale = DrawScale();
    if (panelFace >= 0 && panelTheme == backdrop && panelScale == scale && panelWidth == width && panelHeight == height)
        return panelFace;
    if (panelFace >= 0 && panelFace != ActiveBuffer()) FreeBuffer(panelFace);
    panelFace = -1;
    const bool faceWasHere = dialogArt >= 0 && dialogTheme == backdrop && dialogScale == scale;
    const int art = DialogArt();
    if (art < 0) return -1;
    panelFace = CreateBuffer(width, height);
    if (panelFace < 0) return -1;
    panelTheme = backdrop;
    panelScale = scale;
    panelWidth = width;
    panelHeight = height;
    using namespace art;
    const int inner = width - edge, innerHeight = height - edge;
    const int faceRight = kDialogFaceWidth - 1, faceBottom = kDialogFaceHeight - 1;
    CopyBufferRect(0, inner - 1, 0, innerHeight - 1, 0, innerHeight - 1, art, panelFace);
    CopyBufferRect(faceRight - edge + 1, faceRight, 0, innerHeight - 1, inner, innerHeight - 1, art, panelFace);
    CopyBufferRect(0, inner - 1, faceBottom - edge + 1, faceBottom, 0, height - 1, art, panelFace);
    CopyBufferRect(faceRight - edge + 1, faceRight, faceBottom - edge + 1, faceBottom, inner, height - 1, art,
                   panelFace);
    // The face is the largest picture of a theme; a table that only shows the panel lets it go.
    if (!faceWasHere && !dialogHandedOut && art != ActiveBuffer()) {
        FreeBuffer(dialogArt);
        dialogArt = -1;
        dialogTheme = -1;
        dialogLoaded = false;
    }
    return panelFace;
}

int Artwork::DialogArt() {
    const int scale = DrawScale();
    if (dialogTheme == backdrop && dialogScale == scale) return dialogLoaded ? dialogArt : -1;
    // A buffer of the old scale is made again rather than enlarged and then overwritten.
    if (dialogArt >= 0 && BufferScale(dialogArt) != scale) {
        if (dialogArt == ActiveBuffer()) SelectBuffer(screenBuffer);
        FreeBuffer(dialogArt);
        dialogArt = -1;
    }
    if (dialogArt < 0) dialogArt = CreateBuffer(art::kDialogArtWidth, art::kDialogArtHeight);
    dialogTheme = backdrop;
    dialogScale = scale;
    dialogLoaded = false;
    if (dialogArt < 0) return -1;
    // The dialog face fills the top 800 x 600; the strip of plates and button faces lies below
    // it. Magenta keeps whatever the two files do not cover transparent.
    KeepActiveBuffer keep;
    const int fileNumber = backdrop + 1;
    FillWithMagenta(dialogArt);
    const bool face = LoadPicture(dialogArt, NumberedName("artwork\\dialog%d.jpg", fileNumber), Format::Jpeg);
    MoveTo(0, art::kStripTop);  // the drawing cursor, where the strip's top-left goes
    const bool strip =
        LoadPicture(dialogArt, NumberedName("artwork\\dialog%d.bmp", fileNumber), Format::Bmp, kBmpAtCursor);
    dialogLoaded = face && strip;
    return dialogLoaded ? dialogArt : -1;
}

void Artwork::DrawSelectionScreen() {
    DrawScreenPicture("artwork\\title.jpg");
    AddDirty(kWholeScreen);
}

bool Artwork::DrawScreenPicture(const char* name) {
    const bool loaded = LoadPicture(screenBuffer, name, Format::Jpeg);
    // Beside a full-screen picture the margins carry on its outermost columns, row by row,
    // smoothed down the rows so the grain does not streak them.
    const Pixel* pixels = BufferPixels(screenBuffer);
    const int width = BufferWidth(screenBuffer), height = BufferHeight(screenBuffer);
    const int scale = std::max(1, BufferScale(screenBuffer));
    if (!pixels || width <= 0 || height <= 0) return loaded;
    const int band = kScreenEdgeBand * scale, radius = kScreenEdgeBand * scale;
    std::vector<uint64_t> sums(static_cast<size_t>(height) * 6);
    for (int y = 0; y < height; ++y)
        for (int k = 0; k < band; ++k)
            for (int side = 0; side < 2; ++side) {
                const Pixel p = pixels[static_cast<size_t>(y) * width + (side == 0 ? k : width - 1 - k)];
                for (int c = 0; c < 3; ++c) sums[static_cast<size_t>(y) * 6 + side * 3 + c] += (p >> (16 - 8 * c)) & 0xFF;
            }
    screenEdges.assign(static_cast<size_t>(height) * 2, 0);
    for (int y = 0; y < height; ++y) {
        const int from = std::max(0, y - radius), to = std::min(height - 1, y + radius);
        for (int side = 0; side < 2; ++side) {
            uint32_t out = 0;
            for (int c = 0; c < 3; ++c) {
                uint64_t total = 0;
                for (int r = from; r <= to; ++r) total += sums[static_cast<size_t>(r) * 6 + side * 3 + c];
                out |= static_cast<uint32_t>(total / (static_cast<uint64_t>(to - from + 1) * band)) << (16 - 8 * c);
            }
            screenEdges[static_cast<size_t>(y) * 2 + side] = out;
        }
    }
    screenEdgesHeight = height;
    marginWanted = MarginSource::kScreenPicture;
    marginShown = MarginSource::kNone;
    return loaded;
}

void Artwork::SyncMargins() {
    if (marginWanted == MarginSource::kBackdrop) {
        const int scale = BufferScale(background);
        if (marginShown == MarginSource::kBackdrop && marginTheme == backdrop && marginScale == scale) return;
        SendMarginPicture(background, titleDrawn, titleUnder);
        marginTheme = backdrop;
        marginScale = scale;
    } else if (marginWanted == MarginSource::kScreenPicture) {
        if (marginShown == MarginSource::kScreenPicture) return;
        SetWindowMarginPicture(MarginPicture::Owned(screenEdges, 2, screenEdgesHeight));
    }
    marginShown = marginWanted;
}

void Artwork::DrawGameTitle(int gameNumber) {
    TakeTitleOff();
    if (gameNumber < 1 || gameNumber > kGameCount) return;
    const int width = kTitleWidths[gameNumber - 1];
    const int top = TitleBandTop(gameNumber);
    const Rect place{kTitleCentreX - width / 2, kTitleBottom - kTitleBandHeight + 1, kTitleCentreX - width / 2 + width,
                     kTitleBottom};
    // The backdrop under the title is kept, so the next deal can take the title off again.
    if (titleUnder < 0) titleUnder = CreateBuffer(kTitleImageWidth + 1, kTitleBandHeight);
    if (titleUnder >= 0) {
        CopyBufferRect(place.left, place.right, place.top, place.bottom, 0, kTitleBandHeight - 1, background, titleUnder);
        titleDrawn = place;
    }
    // Only the game's band of the theme's title picture is decoded: the picture is drawn with its
    // top-left corner that far above the band's buffer, which keeps the band's rows alone.
    const int scale = BufferScale(titleArt);
    if (titleBandGame != gameNumber || titleBandTheme != backdrop || titleBandScale != scale) {
        FillWithMagenta(titleArt);
        MoveTo(0, -top);
        const bool loaded = LoadPicture(titleArt, kTitleImageFiles[backdrop], Format::Bmp, kBmpAtCursor);
        titleBandGame = loaded ? gameNumber : 0;
        titleBandTheme = backdrop;
        titleBandScale = scale;
    }
    CopyBufferRectTransparent(0, width, 0, kTitleBandHeight - 1, place.left, kTitleBottom, titleArt, background);
}

void Artwork::TakeTitleOff() {
    if (titleDrawn.Empty() || titleUnder < 0) return;
    CopyBufferRect(0, titleDrawn.Width() - 1, 0, kTitleBandHeight - 1, titleDrawn.left, titleDrawn.bottom, titleUnder,
                   background);
    titleDrawn = kNoTitle;
}

void Artwork::RestoreBackground(int minx, int maxx, int miny, int maxy) {
    // The drawing layer places a copy by its lower-left corner.
    CopyBufferRect(minx, maxx, miny, maxy, minx, maxy, background, screenBuffer);
    restored = restored.left > restored.right ? Rect{minx, miny, maxx, maxy}
                                              : Rect{std::min(restored.left, minx), std::min(restored.top, miny),
                                                     std::max(restored.right, maxx), std::max(restored.bottom, maxy)};
}

bool Artwork::RestoredSincePresent(const Rect& rect) const {
    return restored.left <= restored.right && Intersect(restored, rect);
}

void Artwork::AddDirty(const Rect& rect) {
    if (rect.left > rect.right || rect.top > rect.bottom) return;
    if (!dirty.empty() && Intersect(dirty.back(), rect)) {
        Rect& newest = dirty.back();
        newest = {std::min(newest.left, rect.left), std::min(newest.top, rect.top), std::max(newest.right, rect.right),
                  std::max(newest.bottom, rect.bottom)};
        return;
    }
    dirty.push_back(rect);
}

void Artwork::PresentDirty() {
    if (presentHolds > 0) return;
    if (beforePresent && !inBeforePresent && !dirty.empty()) {
        inBeforePresent = true;
        beforePresent();
        inBeforePresent = false;
    }
    restored = {0, 0, -1, -1};
    SelectBuffer(screenBuffer);
    // Many rectangles at once (a deal without animation, a table drawn card by card) go as the
    // box around them: each present costs the display a round trip, and the window sends on only
    // the pixels that changed.
    constexpr size_t kMostPresentedApart = 8;
    if (dirty.size() > kMostPresentedApart) {
        Rect box = dirty.front();
        for (const Rect& rect : dirty)
            box = {std::min(box.left, rect.left), std::min(box.top, rect.top), std::max(box.right, rect.right),
                   std::max(box.bottom, rect.bottom)};
        dirty.clear();
        Present(box);
        return;
    }
    // Apart, they still reach the display in one exchange.
    BeginPresents();
    while (!dirty.empty()) {
        const Rect rect = dirty.back();
        dirty.pop_back();
        Present(rect);
    }
    EndPresents();
}

void Artwork::Present() {
    if (presentHolds > 0) {
        dirty.assign(1, kWholeScreen);
        return;
    }
    dirty.clear();
    restored = {0, 0, -1, -1};
    Present(kWholeScreen);
}

void Artwork::Present(const Rect& rect) {
    if (presentHolds > 0) return AddDirty(rect);
    const int left = std::max(rect.left, kWholeScreen.left), top = std::max(rect.top, kWholeScreen.top);
    const int right = std::min(rect.right, kWholeScreen.right), bottom = std::min(rect.bottom, kWholeScreen.bottom);
    if (left > right || top > bottom) return;
    SyncMargins();
    SelectBuffer(screenBuffer);
    ShowMouseCursor(0);
    PresentRect(left, right, top, bottom, left, bottom);
    ShowMouseCursor(1);
}

void Artwork::FreeArtwork() {
    // The drawing layer never frees the active buffer, so step off any buffer of ours first.
    int* owned[] = {&background, &menuBarArt, &dropDownArt, &titleArt, &titleButtonArt, &upDownArt, &dialogArt, &titleUnder, &panelFace};
    for (int* handle : owned)
        if (*handle >= 0 && *handle == ActiveBuffer()) SelectBuffer(screenBuffer);
    for (int* handle : owned) {
        if (*handle >= 0) FreeBuffer(*handle);
        *handle = -1;
    }
    EndDragImage();
    menuBarLoaded = dropDownLoaded = dialogLoaded = false;
    dialogTheme = panelTheme = dropDownTheme = -1;
    dialogHandedOut = false;
    if (dialogArtOwner == this) dialogArtOwner = nullptr;
    themeLoaded = menuBarTheme = -1;
    titleDrawn = kNoTitle;
    dirty.clear();
    FreeCardImages();
}

bool Artwork::BeginDragImage(const Card* cards, int count, int dx, int dy, int width, int height) {
    EndDragImage();
    if (cards == nullptr || count < 1 || dx < 0 || dy < 0 || width < 1 || height < 1) return false;
    dragImage = CreateBuffer(width, height);
    dragUnder = CreateBuffer(width, height);
    dragUnderNext = CreateBuffer(width, height);
    if (dragImage < 0 || dragUnder < 0 || dragUnderNext < 0) {
        EndDragImage();
        return false;
    }
    dragWidth = width;
    dragHeight = height;
    FillWithMagenta(dragImage);
    DrawRun(0, 0, cards, dragImage, count, dx, dy);
    return true;
}

// Copies use the lower-left corner as their destination.
void Artwork::SaveUnderDragImage(int x, int y) {
    if (dragUnder < 0) return;
    CopyBufferRect(x, x + dragWidth - 1, y, y + dragHeight - 1, 0, dragHeight - 1, screenBuffer, dragUnder);
}

void Artwork::RestoreUnderDragImage(int x, int y) {
    if (dragUnder < 0) return;
    // Only what was on the screen was kept: the rest of the picture is cut off at the edges.
    const int left = std::max(x, 0), top = std::max(y, 0);
    CopyBufferRect(left - x, dragWidth - 1, top - y, dragHeight - 1, left, y + dragHeight - 1, dragUnder,
                   screenBuffer);
}

void Artwork::DrawDragImage(int x, int y) {
    if (dragImage < 0) return;
    CopyBufferRectTransparent(0, dragWidth - 1, 0, dragHeight - 1, x, y + dragHeight - 1, dragImage, screenBuffer);
}

// In device pixels, each row cut to the screen: the new place's background comes from the kept
// picture where the old place covered it and from the screen elsewhere; the uncovered part of
// the old place is restored; the new place gets the stack over its background.
void Artwork::MoveDragImage(int x, int y, int newX, int newY) {
    if (dragImage < 0) return;
    const int s = BufferScale(screenBuffer);
    const int width = BufferWidth(dragImage), height = BufferHeight(dragImage);
    const int screenWidth = BufferWidth(screenBuffer), screenHeight = BufferHeight(screenBuffer);
    Pixel* screen = BufferPixels(screenBuffer);
    const Pixel* image = BufferPixels(dragImage);
    const Pixel* kept = BufferPixels(dragUnder);
    Pixel* next = BufferPixels(dragUnderNext);
    const int ox = x * s, oy = y * s, nx = newX * s, ny = newY * s;
    const auto copy = [](Pixel* to, const Pixel* from, int count) {
        if (count > 0) std::memcpy(to, from, static_cast<size_t>(count) * sizeof(Pixel));
    };
    const int left = std::max(nx, 0), right = std::min(nx + width, screenWidth);
    for (int row = std::max(ny, 0); row < std::min(ny + height, screenHeight); ++row) {
        Pixel* to = next + static_cast<ptrdiff_t>(row - ny) * width - nx;  // indexed by screen column
        const Pixel* on = screen + static_cast<ptrdiff_t>(row) * screenWidth;
        if (row >= oy && row < oy + height) {
            const int keptLeft = std::clamp(ox, left, right), keptRight = std::clamp(ox + width, left, right);
            const Pixel* from = kept + static_cast<ptrdiff_t>(row - oy) * width - ox;
            copy(to + left, on + left, keptLeft - left);
            copy(to + keptLeft, from + keptLeft, keptRight - keptLeft);
            copy(to + keptRight, on + keptRight, right - keptRight);
        } else {
            copy(to + left, on + left, right - left);
        }
    }
    const int oldLeft = std::max(ox, 0), oldRight = std::min(ox + width, screenWidth);
    for (int row = std::max(oy, 0); row < std::min(oy + height, screenHeight); ++row) {
        Pixel* on = screen + static_cast<ptrdiff_t>(row) * screenWidth;
        const Pixel* from = kept + static_cast<ptrdiff_t>(row - oy) * width - ox;
        if (row >= ny && row < ny + height) {
            const int coveredLeft = std::clamp(nx, oldLeft, oldRight);
            const int coveredRight = std::clamp(nx + width, oldLeft, oldRight);
            copy(on + oldLeft, from + oldLeft, coveredLeft - oldLeft);
            copy(on + coveredRight, from + coveredRight, oldRight - coveredRight);
        } else {
            copy(on + oldLeft, from + oldLeft, oldRight - oldLeft);
        }
    }
    for (int row = std::max(ny, 0); row < std::min(ny + height, screenHeight); ++row) {
        const ptrdiff_t at = static_cast<ptrdiff_t>(row - ny) * width - nx + left;
        if (right > left)
            ComposeRow(screen + static_cast<ptrdiff_t>(row) * screenWidth + left, image + at, next + at, right - left);
    }
    std::swap(dragUnder, dragUnderNext);
}

void Artwork::EndDragImage() {
    for (int* handle : {&dragImage, &dragUnder, &dragUnderNext}) {
        if (*handle < 0) continue;
        if (*handle == ActiveBuffer()) SelectBuffer(screenBuffer);
        FreeBuffer(*handle);
        *handle = -1;
    }
}

Pixel Artwork::TextColour() const { return ToPixel(ThemeColours().text); }

Pixel Artwork::TableTextColour() const { return ToPixel(ThemeColours().tableText); }

ToolkitTheme Artwork::ToolkitThemeValues() const {
    const ThemeColors& colours = ThemeColours();
    ToolkitTheme theme;
    // Dialogs are rarer than deals: their face is decoded when the first one opens.
    const bool dialogMade = dialogTheme == backdrop && dialogScale == DrawScale();
    theme.dialogFace = dialogMade && dialogLoaded ? dialogArt : -1;
    if (!dialogMade) theme.loadDialogArt = &Artwork::LoadOwnersDialogArt;
    // Menus are opened less often than tables are shown: their panels wait for the first one.
    const bool dropDownMade = dropDownTheme == backdrop && dropDownScale == DrawScale();
    theme.dropDownArt = dropDownMade && dropDownLoaded ? dropDownArt : -1;
    if (!dropDownMade) theme.loadDropDownArt = &Artwork::LoadOwnersDropDownArt;
    theme.menuBarArt = menuBarLoaded ? menuBarArt : -1;
    theme.textColor = ToPixel(colours.text);
    theme.controlTextColor = ToPixel(colours.control);
    theme.controlHighlightColor = ToPixel(colours.controlHighlight);
    theme.menuItemColor = ToPixel(colours.menuItem);
    theme.menuItemHighlightColor = ToPixel(colours.menuItemHighlight);
    return theme;
}

void Artwork::ApplyToolkitTheme() {
    dialogArtOwner = this;
    const ToolkitTheme theme = ToolkitThemeValues();
    dialogHandedOut = theme.dialogFace >= 0;
    SetToolkitTheme(theme);
}
