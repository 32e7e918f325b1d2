// The artwork generator: its output must be stable from build to build, readable by the
// documented formats, and refused cleanly when its inputs are missing.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "tools/artgen/art_constants.h"
#include "tools/artgen/artgen.h"
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
        EXPECT_EQ(font.count, std::string(name) == kCardFontFile ? kFullGlyphCount : kAsciiGlyphCount);
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
    }
}

TEST_F(ArtgenOutput, CardFontCoversTheUpperHalf) {
    ParsedFont font;
    ASSERT_TRUE(ParseFgf(Read(Data() / kCardFontFile), &font));
    for (unsigned char c : {0xE9, 0xC5, 0xDF, 0xA3, 0x80, 0x93}) EXPECT_GT(font[c].width, 0) << int(c);
    EXPECT_LT(font[0xC9].TopInkRow(), font['E'].TopInkRow());  // the accent stands above the capital
    EXPECT_EQ(font[0x81].width, 0);  // unassigned in the code page
    EXPECT_EQ(font['\n'].width, 0);
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

}  // namespace
