// The generated fonts as the game sees them: loaded by the drawing layer and measured.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "draw/draw.h"
#include "tools/artgen/art_constants.h"
#include "tools/artgen/artgen.h"

namespace fs = std::filesystem;

TEST(GeneratedFonts, LoadInTheDrawingLayerAndMeasureLikeAUiFont) {
    std::string pattern = (fs::temp_directory_path() / "artgen-draw-XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    const fs::path root = pattern;
    std::string error;
    ASSERT_TRUE(GenerateArt({root, {}}, &error)) << error;

    const char kTitle[] = "Quillfen Solitaire";
    const int length = static_cast<int>(std::strlen(kTitle));
    for (const char* name : {kDialogFontFile, kSystemFontFile, kSystemBoldFontFile, kCardFontFile}) {
        SCOPED_TRACE(name);
        std::vector<uint8_t> bytes;
        ASSERT_TRUE(ReadWholeFile(root / name, &bytes));
        int slot = LoadFontMemory(bytes.data(), bytes.size());
        ASSERT_GT(slot, 0);
        SelectFont(slot);
        EXPECT_GE(TextWidth(kTitle, length), 80);
        EXPECT_LE(TextWidth(kTitle, length), 200);
        EXPECT_GE(TextHeight(kTitle, length), 10);
        EXPECT_EQ(TextWidth("0000", 4), TextWidth("1717", 4));
        UnloadFont(slot);
    }
    fs::remove_all(root);
}
