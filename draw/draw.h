// The drawing layer: every pixel the program shows passes through here. It owns up to 32
// off-screen buffers (handles 0..31), the colour model, image decoding (BMP, JPEG, sprites),
// bitmap fonts, lines, boxes and text, and the copy of finished rectangles to the window.
//
// Conventions callers rely on:
// - Rectangles are passed as minx, maxx, miny, maxy, all inclusive.
// - Copies and presentation place a rectangle by its LOWER-left corner: (x, y) names the
//   destination pixel of the source's (minx, maxy).
// - Every drawing operation works on the active buffer and does nothing when none is active
//   or the arguments name nothing drawable; nothing here ever reports an error to the player.
// - Pixels are 0x00RRGGBB words whatever the display depth; the depth only decides how
//   GetBlock/PutBlock pack a block (ImageSize bytes).
// - Every coordinate and size in this interface is in logical pixels (the 800 x 600 table).
//   Buffers are drawn at the device scale s (1, 2 or 3) the back end asks for when InitBuffers
//   runs, and again whenever the window asks for another (ChangeDrawScale): a w x h buffer holds w*s x h*s device pixels, a logical pixel is an s x s square,
//   lines are s pixels thick, and pictures, fonts and sprites come from their "@2x"/"@3x"
//   files (a BMP's may be a PNG) when the data folder has them, else from the 1x file enlarged
//   by nearest neighbour. Only the raw pixel access below and GetBlock/PutBlock blocks are in
//   device pixels.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

using Pixel = uint32_t;

constexpr int kMaxBuffers = 32;
constexpr int kMaxFonts = 32;
constexpr int kDefaultImageWorkSize = 10240;

// --- Set-up and shut-down (called by the shell in this order) ---
int DisplayDepth();  // bits per pixel of the desktop (15 reported as 16); 0 without a display
void SetupDisplay(int width, int height, int depth, int flags);
void SetDeviceContext(void* deviceContext);
int CreateDefaultPalette();  // returns a palette handle (> 0)
void RealizePalette(int palette);
void DeletePalette(int palette);
void InitBuffers();
void SetBufferDepth(int depth);
int InitMouse();  // 1 when a mouse is present, else -1
void ShowMouseCursor(int show);
void CloseBuffer();
void ShutdownGraphics();

// --- Buffers ---
int CreateBuffer(int width, int height);  // handle, or -1 when all 32 are taken or the size is bad
void SelectBuffer(int handle);
void FreeBuffer(int handle);
int ActiveBuffer();  // -1 when none
void RefreshBufferPalette();
int MaxX();
int MaxY();
void SetClip(int minx, int maxx, int miny, int maxy);
void FillBuffer();
void PresentRect(int minx, int maxx, int miny, int maxy, int x, int y);
// How many times PresentRect has been called: a caller that checks the screen for damage can skip
// the check while nothing new has been shown since its last look.
uint64_t PresentCount();
void CopyBufferRect(int minx, int maxx, int miny, int maxy, int x, int y, int source, int destination);
void CopyBufferRectTransparent(int minx, int maxx, int miny, int maxy, int x, int y, int source,
                               int destination);
void SetTransparentColor(int paletteIndex, int flag);
size_t ImageSize(int width, int height);
// Device pixels: out[i] = image[i], or under[i] where image[i] has a transparent colour. For
// artwork that composes a picture over a kept background in one pass.
void ComposeRow(Pixel* out, const Pixel* image, const Pixel* under, int width);
void GetBlock(void* memory, int minx, int maxx, int miny, int maxy);
void PutBlock(const void* memory, int minx, int maxx, int miny, int maxy);
// Whether a block was saved at the scale drawn at now. PutBlock puts back a block of another scale
// enlarged or reduced; what saved it from under something drawn over the screen mostly wants to
// know instead, since the screen has been drawn again at the new scale since.
bool BlockIsCurrent(const void* memory);

// Direct pixel access for tests, benchmarks and the artwork code: the buffer's device pixels,
// its width (also the pitch) and height in device pixels, and its scale (device pixels per
// logical pixel). Null or 0 for a free handle.
Pixel* BufferPixels(int handle);
// The same pixels, kept alive for the holder after the buffer is freed or drawn at another scale
// (it then holds the old picture); drawing into the buffer meanwhile shows through.
std::shared_ptr<const Pixel> ShareBufferPixels(int handle);
int BufferWidth(int handle);
int BufferHeight(int handle);
int BufferScale(int handle);
// Draws at another device scale from now on (what the back end's WM_APP_RESCALE asks for, at
// most the largest scale of the run): every buffer keeps its logical content, resampled, so
// handles, clips and saved blocks stay valid; fonts and cursors change to the new scale's art.
// The program then draws everything again to get the new scale's art everywhere.
void ChangeDrawScale(int scale);
// The device scale buffers are drawn at (1 until InitBuffers runs under a back end asking more).
int DrawScale();
// The name of a data file's version for a device scale: "dir/name@2x.ext" for "dir/name.ext" at
// scale 2, the name itself at scale 1.
std::string ScaledFileName(const char* path, int scale);
// Loads a ".cur" file for the device scale: its "@2x"/"@3x" version when there is a usable one,
// else the file itself. A cursor handle > 0, or 0 when neither loads.
int LoadScaledCursor(const char* path);

// --- Image files (paths as given; callers resolve data names with DataPath) ---
constexpr int kShowBmpAtCursor = 2;
void ShowBmp(const char* path, int flags);
// The 12-byte header block of ReadJpegHeader: width, height and subsampling as 32-bit words.
struct JpegHeader {
    int32_t width;
    int32_t height;
    int32_t subsampling;
};
static_assert(sizeof(JpegHeader) == 12);
int ReadJpegHeader(const char* path, void* header);  // 0 on success, -1 on failure (header zeroed)
size_t JpegWorkSize(const void* header);
void SetImageWorkBuffer(void* memory, size_t size);
void ShowJpeg(const char* path, int flags);
void ShowSpr(const char* path, int width);

// The same decoders over bytes in memory (used by the file forms above and by the fuzz targets).
// They draw into the active buffer exactly as the file forms do with a 1x file (enlarged to the
// device scale); false when nothing was drawn.
bool ShowBmpMemory(const uint8_t* data, size_t size, int flags);
bool ShowJpegMemory(const uint8_t* data, size_t size);
bool ShowSprMemory(const uint8_t* data, size_t size, int width);
// The same for files made at the device scale ("@2x", "@3x"): the picture must measure whole
// logical pixels (a sprite: width logical pixels) and is drawn pixel for pixel.
bool ShowScaledBmpMemory(const uint8_t* data, size_t size, int flags);
bool ShowScaledJpegMemory(const uint8_t* data, size_t size);
bool ShowScaledSprMemory(const uint8_t* data, size_t size, int width);
// The same JPEG decoders drawing width of the picture's columns from logical column left on at the
// left edge of the active buffer: one column of a picture of several, decoded in about the memory
// of that column.
bool ShowJpegColumnsMemory(const uint8_t* data, size_t size, int left, int width);
bool ShowScaledJpegColumnsMemory(const uint8_t* data, size_t size, int left, int width);
// The PNG form of scaled art whose 1x file is a BMP ("name@2x.png" beside "name.bmp").
bool ShowScaledPngMemory(const uint8_t* data, size_t size, int flags);

// --- Colour and primitives ---
Pixel MapRgb(int r, int g, int b);
void SetColor(Pixel pixel);
Pixel CurrentColor();
void MoveTo(int x, int y);
void MoveRel(int dx, int dy);
int CursorX();
int CursorY();
void DrawLineTo(int x, int y);
void DrawLineRel(int dx, int dy);
void PlotPoint(int x, int y);
void DrawDashedLineTo(int x, int y, int pattern);
void FillRect(int minx, int maxx, int miny, int maxy);
// Darkens the rectangle: each colour channel keeps keepPercent of its value (shadows).
void ShadeRect(int minx, int maxx, int miny, int maxy, int keepPercent);
void SetBoxDepth(int xdepth, int ydepth);
void DrawBox(int minx, int maxx, int miny, int maxy);

// --- Bitmap fonts (".fgf", see docs/formats.md) ---
int LoadFont(const char* path);  // slot 1..32, or 0 when the file is unusable or no slot is free
int LoadFontMemory(const uint8_t* data, size_t size);
// Gives a loaded font the glyphs of its file made for the device scale (what LoadFont does with
// "name@2x.fgf"); false, leaving the font enlarged from its 1x glyphs, unless every cell is
// exactly scale times the 1x cell.
bool AttachScaledFontMemory(int slot, const uint8_t* data, size_t size);
void SelectFont(int slot);
int SelectedFont();  // 0 when none
void UnloadFont(int slot);  // -1 frees every slot
void SetTextJustify(int xjust, int yjust);
void DrawText(const char* text, int length);
void DrawTextClipped(const char* text, int length);
int TextWidth(const char* text, int length);
int TextHeight(const char* text, int length);
void SetWinTextJustify(int xjust, int yjust);
// Draws with the built-in system font (always available, no file needed).
void DrawWinText(const char* text, int length);

// --- Keyboard ---
int IsKeyDown(int scanCode);
