// artgen: writes the program's data files. Run by the build; see artgen.h for the work itself.
#include <cstdio>
#include <cstring>
#include <string>

#include "tools/artgen/artgen.h"
#include "tools/artgen/screen_sheet.h"
#include "tools/artgen/sprites.h"

namespace {

void PrintUsage() {
    std::fprintf(stderr,
                 "usage: artgen --out DIR [--assets DIR] [--fonts DIR] [--icons DIR] [--sample PNG]\n"
                 "  --out DIR     folder to write the data files into (created when missing)\n"
                 "  --assets DIR  folder of hand-written files to copy (HELP.TXT)\n"
                 "  --fonts DIR   root of the installed outline fonts (default %s)\n"
                 "  --icons DIR   also write the desktop icons there in an icon theme's layout\n"
                 "  --sample PNG  also draw sample text, sprites and icon into PNG for review\n"
                 "  --art-sheet DIR  also write one review sheet PNG per group of pictures into DIR\n",
                 kSystemFontRoot);
}

}  // namespace

int main(int argc, char** argv) {
    ArtgenOptions options;
    std::string samplePath;
    std::string sheetDir;
    std::string iconDir;
    for (int i = 1; i < argc; ++i) {
        const bool hasValue = i + 1 < argc;
        if (std::strcmp(argv[i], "--out") == 0 && hasValue) {
            options.outDir = argv[++i];
        } else if (std::strcmp(argv[i], "--assets") == 0 && hasValue) {
            options.assetsDir = argv[++i];
        } else if (std::strcmp(argv[i], "--fonts") == 0 && hasValue) {
            options.fontRoot = argv[++i];
        } else if (std::strcmp(argv[i], "--icons") == 0 && hasValue) {
            iconDir = argv[++i];
        } else if (std::strcmp(argv[i], "--sample") == 0 && hasValue) {
            samplePath = argv[++i];
        } else if (std::strcmp(argv[i], "--art-sheet") == 0 && hasValue) {
            sheetDir = argv[++i];
        } else {
            PrintUsage();
            return 2;
        }
    }
    if (options.outDir.empty()) {
        PrintUsage();
        return 2;
    }
    std::string error;
    if (!GenerateArt(options, &error)) {
        std::fprintf(stderr, "artgen: %s\n", error.c_str());
        return 1;
    }
    if (!iconDir.empty() && !WriteDesktopIcons(iconDir, &error)) {
        std::fprintf(stderr, "artgen: %s\n", error.c_str());
        return 1;
    }
    if (!samplePath.empty() && !WriteSampleSheet(options.outDir, samplePath, &error)) {
        std::fprintf(stderr, "artgen: %s\n", error.c_str());
        return 1;
    }
    if (!sheetDir.empty() && !WriteArtSheets(options.outDir, options.fontRoot, sheetDir, &error)) {
        std::fprintf(stderr, "artgen: %s\n", error.c_str());
        return 1;
    }
    return 0;
}
