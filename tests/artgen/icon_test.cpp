// The icons: the desktop theme's PNGs at every size and the SVG, and the large window icon.
#include <cairo.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "tools/artgen/art_constants.h"
#include "tools/artgen/artgen.h"
#include "tools/artgen/sprites.h"
#include "tests/test_support.h"

namespace fs = std::filesystem;

namespace {

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
