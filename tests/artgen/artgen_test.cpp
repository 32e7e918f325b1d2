// The artwork generator: its output must be stable from build to build, readable by the
// documented formats and by the drawing layer at every scale, and refused cleanly when its inputs
// are missing; the desktop icons likewise, at every size and as SVG.
#include <cairo.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "cards/card_geometry.h"
#include "draw/draw.h"
#include "platform/scripted_backend.h"
#include "tools/artgen/art_constants.h"
#include "tools/artgen/artgen.h"
#include "tools/artgen/sprites.h"
#include "tests/test_support.h"

namespace fs = std::filesystem;

namespace {

constexpr const char* kFontFiles[] = {kDialogFontFile, kSystemFontFile, kSystemBoldFontFile, kCardFontFile};

std::vector<uint8_t> Read(const fs::path& path) {
    std::vector<uint8_t> bytes;
    EXPECT_TRUE(ReadWholeFile(path, &bytes)) << path;
    return bytes;
}

std::map<std::string, std::vector<uint8_t>> ReadFolder(const fs::path& folder) {
    std::map<std::string, std::vector<uint8_t>> files;
    for (const auto& entry : fs::recursive_directory_iterator(folder))
        if (entry.is_regular_file()) files[fs::relative(entry.path(), folder).string()] = Read(entry.path());
    return files;
}

// A reader written from docs/formats.md alone, independent of the generator's own code.
struct ParsedGlyph {
    int width = 0, height = 0;
    std::vector<uint8_t> coverage;
    bool HasInkInRows(int from, int to) const {
        for (int y = std::max(from, 0); y < std::min(to, height); ++y)
            for (int x = 0; x < width; ++x)
                if (coverage[static_cast<size_t>(y * width + x)] != 0) return true;
        return false;
    }
    int TopInkRow() const {
        for (int y = 0; y < height; ++y)
            if (HasInkInRows(y, y + 1)) return y;
        return height;
    }
};

struct ParsedFont {
    int count = 0, first = 0, spacing = 0, baseline = 0, lineHeight = 0;
    std::vector<ParsedGlyph> glyphs;
    const ParsedGlyph& operator[](unsigned char c) const { return glyphs.at(static_cast<size_t>(c - first)); }
};

::testing::AssertionResult ParseFgf(const std::vector<uint8_t>& b, ParsedFont* font) {
    auto u16 = [&](size_t at) { return b[at] | b[at + 1] << 8; };
    if (b.size() < 16 || std::string(b.begin(), b.begin() + 4) != "QFGF" || u16(4) != 1)
        return ::testing::AssertionFailure() << "bad header";
    font->count = u16(6);
    font->first = u16(8);
    font->spacing = static_cast<int8_t>(b[10]);
    font->baseline = b[11];
    font->lineHeight = u16(12);
    if (!((font->count == 96 && font->first == 32) || (font->count == 256 && font->first == 0)))
        return ::testing::AssertionFailure() << "count " << font->count << " first " << font->first;
    if (font->spacing < -8 || font->spacing > 8 || font->lineHeight < 1 || font->lineHeight > 64 ||
        font->baseline >= font->lineHeight || u16(14) != 0)
        return ::testing::AssertionFailure() << "bad metrics";
    size_t at = 16;
    for (int i = 0; i < font->count; ++i) {
        if (at + 2 > b.size()) return ::testing::AssertionFailure() << "truncated at glyph " << i;
        ParsedGlyph g{b[at], b[at + 1], {}};
        at += 2;
        size_t size = static_cast<size_t>(g.width * g.height);
        if (g.width > 64 || g.height > font->lineHeight || at + size > b.size())
            return ::testing::AssertionFailure() << "bad glyph " << i;
        g.coverage.assign(b.begin() + static_cast<ptrdiff_t>(at), b.begin() + static_cast<ptrdiff_t>(at + size));
        at += size;
        font->glyphs.push_back(std::move(g));
    }
    if (at != b.size()) return ::testing::AssertionFailure() << (b.size() - at) << " trailing bytes";
    return ::testing::AssertionSuccess();
}

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

// One run of the generator into a folder of its own, as the build runs it.
class ArtgenOutput : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        root = std::make_unique<test_support::TempFolder>("artgen");
        std::string error;
        ASSERT_TRUE(GenerateArt({Data(), ARTGEN_ASSETS}, &error)) << error;
    }
    static void TearDownTestSuite() { root.reset(); }
    static fs::path Data() { return root->Path() / "data"; }
    static inline std::unique_ptr<test_support::TempFolder> root;
};

// The run gives the same bytes as the build's own run in another process, with no temporaries.
TEST_F(ArtgenOutput, SameBytesOnEveryRunAndNoTemporariesLeft) {
    const auto ours = ReadFolder(Data());
    auto built = ReadFolder(std::getenv("QUILLFEN_DATA_DIR"));
    built.erase(".stamp");
    // The translations' build step adds the catalogues and the translated rules pages.
    std::erase_if(built, [](const auto& file) {
        return file.first.rfind("locale/", 0) == 0 || (file.first.rfind("HELP.", 0) == 0 && file.first != "HELP.TXT");
    });
    EXPECT_EQ(ours.size(), built.size());
    for (const auto& [name, bytes] : ours) {
        EXPECT_EQ(name.find(".tmp"), std::string::npos) << name;
        EXPECT_TRUE(built.count(name) && built[name] == bytes) << name << " differs from the build's";
    }
    EXPECT_EQ(Read(Data() / kHelpTextFile), Read(fs::path(ARTGEN_ASSETS) / kHelpTextFile));
}

TEST_F(ArtgenOutput, FontsFollowTheFormatWithSaneMetrics) {
    for (const char* name : kFontFiles) {
        SCOPED_TRACE(name);
        ParsedFont font;
        ASSERT_TRUE(ParseFgf(Read(Data() / name), &font));
        EXPECT_EQ(font.count, kFullGlyphCount);  // Windows-1252 for the translations
        EXPECT_GE(font.lineHeight, 10);
        EXPECT_LE(font.lineHeight, 16);
        for (unsigned char c = '0'; c <= '9'; ++c) EXPECT_EQ(font[c].width, font['0'].width) << c;
        EXPECT_GT(font['W'].width, font['i'].width);
        for (int c = 32; c < 127; ++c) EXPECT_GT(font[static_cast<unsigned char>(c)].width, 0) << c;
        EXPECT_EQ(font[127].width, 0);  // the escape byte is never drawn
        EXPECT_FALSE(font[' '].HasInkInRows(0, font.lineHeight));

        // Ink sits on the common baseline: capitals end on it, descenders go below it.
        EXPECT_TRUE(font['H'].HasInkInRows(font.baseline - 1, font.baseline));
        EXPECT_FALSE(font['H'].HasInkInRows(font.baseline, font.lineHeight));
        EXPECT_TRUE(font['g'].HasInkInRows(font.baseline + 1, font.lineHeight));
        EXPECT_LT(font['H'].TopInkRow(), font['x'].TopInkRow());
        if (std::string(name) != kCardFontFile) continue;
        // The card font covers the upper half of its code page too.
        for (unsigned char c : {0xE9, 0xC5, 0xDF, 0xA3, 0x80, 0x93}) EXPECT_GT(font[c].width, 0) << int(c);
        EXPECT_LT(font[0xC9].TopInkRow(), font['E'].TopInkRow());  // the accent stands above the capital
        EXPECT_EQ(font[0x81].width, 0);  // unassigned in the code page
        EXPECT_EQ(font['\n'].width, 0);
    }
}

TEST(Artgen, MissingFontsFailBeforeAnythingIsWritten) {
    const test_support::TempFolder folder("artgen");
    const fs::path root = folder.Path();
    std::string error;
    EXPECT_FALSE(GenerateArt({root / "data", {}, root / "no-fonts"}, &error));
    EXPECT_NE(error.find("no-fonts"), std::string::npos) << error;
    EXPECT_FALSE(fs::exists(root / "data"));
    EXPECT_FALSE(GenerateArt({{}, {}}, &error));  // no output folder

    // The program says the same on stderr and exits with a failure status.
    std::string command = std::string(ARTGEN_PROGRAM) + " --out " + (root / "data").string() + " --fonts " +
                          (root / "no-fonts").string() + " 2>&1";
    FILE* pipe = popen(command.c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    std::string output;
    char buffer[256];
    while (std::fgets(buffer, sizeof buffer, pipe)) output += buffer;
    int status = pclose(pipe);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 1) << status;
    EXPECT_NE(output.find("font file missing"), std::string::npos) << output;
}

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


uint32_t Argb(cairo_surface_t* surface, int x, int y) {
    const unsigned char* row = cairo_image_surface_get_data(surface) + y * cairo_image_surface_get_stride(surface);
    return reinterpret_cast<const uint32_t*>(row)[x];
}

// Writes the icons from a fresh process, as each build's generator run is: cairo numbers the
// SVG's clip paths from a count kept for the life of the process.
bool WriteIconsInChildProcess(const fs::path& folder) {
    const pid_t child = fork();
    if (child == 0) {
        std::string error;
        _exit(WriteDesktopIcons(folder, &error) ? 0 : 1);
    }
    int status = 0;
    return child > 0 && waitpid(child, &status, 0) == child && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

TEST(Icons, ThemeHasEveryPngSizeAndTheSvgSameBytesEachRun) {
    const test_support::TempFolder folder("icons");
    const fs::path root = folder.Path();
    ASSERT_TRUE(WriteIconsInChildProcess(root / "first"));
    ASSERT_TRUE(WriteIconsInChildProcess(root / "second"));

    for (const int size : kDesktopIconSizes) {
        SCOPED_TRACE(size);
        const fs::path relative =
            fs::path(std::to_string(size) + "x" + std::to_string(size)) / "apps" / kDesktopIconName;
        std::vector<uint8_t> png, again;
        ASSERT_TRUE(ReadWholeFile(root / "first" / relative, &png));
        ASSERT_TRUE(ReadWholeFile(root / "second" / relative, &again));
        EXPECT_EQ(png, again);
        cairo_surface_t* image = cairo_image_surface_create_from_png((root / "first" / relative).c_str());
        ASSERT_EQ(cairo_surface_status(image), CAIRO_STATUS_SUCCESS);
        EXPECT_EQ(cairo_image_surface_get_width(image), size);
        EXPECT_EQ(cairo_image_surface_get_height(image), size);
        // Transparent around the cards, the face card opaque in the middle, at every size.
        EXPECT_EQ(Argb(image, 0, 0) >> 24, 0u);
        EXPECT_EQ(Argb(image, size - 1, 0) >> 24, 0u);
        EXPECT_EQ(Argb(image, size / 2, size / 2) >> 24, 255u);
        cairo_surface_destroy(image);
    }

    std::vector<uint8_t> svg, again;
    const fs::path svgPath = fs::path("scalable") / "apps" / kScalableIconName;
    ASSERT_TRUE(ReadWholeFile(root / "first" / svgPath, &svg));
    ASSERT_TRUE(ReadWholeFile(root / "second" / svgPath, &again));
    EXPECT_EQ(svg, again);
    const std::string text(svg.begin(), svg.end());
    EXPECT_EQ(text.rfind("<?xml", 0), 0u);
    EXPECT_NE(text.find("width=\"256px\""), std::string::npos) << text.substr(0, 300);
    EXPECT_NE(text.find("</svg>"), std::string::npos);
    EXPECT_EQ(text.find("<image"), std::string::npos) << "the SVG must stay vector shapes";

    for (const auto& entry : fs::recursive_directory_iterator(root))
        EXPECT_EQ(entry.path().string().find(".tmp"), std::string::npos) << entry.path();
}

}  // namespace
