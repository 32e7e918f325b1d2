// The generated fonts and scaled art as the game sees them: loaded by the drawing layer.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "cards/card_geometry.h"
#include "draw/draw.h"
#include "platform/scripted_backend.h"
#include "tools/artgen/art_constants.h"
#include "tools/artgen/artgen.h"

namespace fs = std::filesystem;

namespace {

// True when some s x s block of the buffer is not one flat colour, which no 1x picture enlarged
// by the drawing layer can show.
bool FinerThanOneX(int handle) {
    const int s = BufferScale(handle), pitch = BufferWidth(handle);
    const Pixel* p = BufferPixels(handle);
    for (int y = 0; y < BufferHeight(handle); ++y)
        for (int x = 0; x < pitch; ++x)
            if (p[y * pitch + x] != p[(y / s * s) * pitch + x / s * s]) return true;
    return false;
}

}  // namespace

// At 2x and 3x the fonts, cursors and arrows come from their own files: text measures as at 1x and
// is drawn with finer glyphs, the arrows carry finer detail. (The pictures' own scaled files are
// checked by the shell's ScaledArtTest.)
TEST(GeneratedArt, EveryScaleHasItsOwnFinerFontsCursorsAndArrows) {
    const fs::path root = std::getenv("QUILLFEN_DATA_DIR");
    const char kTitle[] = "Quillfen Solitaire";
    const int length = static_cast<int>(std::strlen(kTitle));
    ScriptedBackend backend;
    SetBackend(&backend);
    for (int scale : {2, 3}) {
        SCOPED_TRACE(scale);
        backend.SetDeviceScale(scale);
        InitBuffers();
        UnloadFont(-1);
        for (const char* name : {kDialogFontFile, kSystemFontFile, kSystemBoldFontFile, kCardFontFile}) {
            SCOPED_TRACE(name);
            std::vector<uint8_t> bytes;
            ASSERT_TRUE(ReadWholeFile(root / name, &bytes));
            const int oneX = LoadFontMemory(bytes.data(), bytes.size());
            SelectFont(oneX);
            const int width = TextWidth(kTitle, length), height = TextHeight(kTitle, length);
            const int slot = LoadFont((root / name).c_str());
            SelectFont(slot);
            EXPECT_EQ(TextWidth(kTitle, length), width);
            EXPECT_EQ(TextHeight(kTitle, length), height);
            ASSERT_TRUE(ReadWholeFile(root / ScaledFileName(name, scale), &bytes));
            EXPECT_TRUE(AttachScaledFontMemory(slot, bytes.data(), bytes.size()));
            const int text = CreateBuffer(width + 4, height + 4);
            SelectBuffer(text);
            SetColor(0xFFFFFF);
            FillBuffer();
            SetColor(0);
            MoveTo(2, 2);
            DrawText(kTitle, length);
            EXPECT_TRUE(FinerThanOneX(text));
            CloseBuffer();
            FreeBuffer(text);
            UnloadFont(-1);
        }
        std::vector<uint8_t> bytes;
        for (const char* cursor : {"playcard.cur", "nocard.cur"}) {
            CursorImage image;
            ASSERT_TRUE(ReadWholeFile(root / ScaledFileName(cursor, scale), &bytes));
            ASSERT_TRUE(DecodeCursor(bytes.data(), bytes.size(), &image));
            EXPECT_EQ(image.width, 32 * scale);
        }
        ASSERT_TRUE(ReadWholeFile(root / ScaledFileName(kSpinUpSprite, scale), &bytes));
        const int arrow = CreateBuffer(kSpinArrowWidth, kSpinArrowHeight);
        SelectBuffer(arrow);
        SetColor(0xFFFFFF);
        FillBuffer();
        MoveTo(0, kSpinArrowHeight - 1);
        EXPECT_TRUE(ShowScaledSprMemory(bytes.data(), bytes.size(), kSpinArrowWidth));
        EXPECT_TRUE(FinerThanOneX(arrow));
    }
    SetBackend(nullptr);
    ShutdownGraphics();
}
