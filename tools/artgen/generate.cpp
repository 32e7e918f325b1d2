#include <fstream>
#include <iterator>
#include <system_error>

#include "tools/artgen/art_constants.h"
#include "tools/artgen/bmp_writer.h"
#include "tools/artgen/artgen.h"
#include "tools/artgen/card_art.h"
#include "tools/artgen/cursor_art.h"
#include "tools/artgen/fonts.h"
#include "tools/artgen/music_art.h"
#include "tools/artgen/screen_art.h"
#include "tools/artgen/sound_art.h"
#include "tools/artgen/sprites.h"
#include "tools/artgen/theme_art.h"

namespace fs = std::filesystem;

bool WriteFileAtomically(const fs::path& path, const std::vector<uint8_t>& bytes, std::string* error) {
    fs::path temporary = path;
    temporary += ".tmp";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        out.close();
        if (!out) {
            *error = "cannot write " + temporary.string();
            std::error_code ignored;
            fs::remove(temporary, ignored);
            return false;
        }
    }
    std::error_code ec;
    fs::rename(temporary, path, ec);
    if (ec) {
        *error = "cannot rename " + temporary.string() + ": " + ec.message();
        fs::remove(temporary, ec);
        return false;
    }
    return true;
}

bool ReadWholeFile(const fs::path& path, std::vector<uint8_t>* bytes) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    bytes->assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return !in.bad();
}

// The art of the 2x and 3x device scales: the same layouts drawn at two and three times the
// size, for windows larger than the table. Pictures that are not here are enlarged from 1x by
// the drawing layer.
bool RenderScaledArt(const fs::path& fontRoot, std::vector<std::pair<fs::path, std::vector<uint8_t>>>* files,
                     std::string* error) {
    for (int scale = 2; scale <= kLargestScale; ++scale) {
        for (const FontRecipe& recipe : FontRecipes()) {
            std::vector<uint8_t> fgf;
            if (!RenderFont(recipe, fontRoot, &fgf, error, scale)) return false;
            files->emplace_back(ScaledArtPath(recipe.fileName, scale), std::move(fgf));
        }
        if (!RenderCardArt(fontRoot, files, error, scale)) return false;
        if (!RenderScaledThemeArt(fontRoot, scale, files, error)) return false;
        if (!RenderScaledScreenArt(fontRoot, scale, files, error)) return false;
        for (const NamedSprite& named : SpinArrowSprites(scale))
            files->emplace_back(ScaledArtPath(named.fileName, scale), EncodeSprite(named.sprite));
        files->emplace_back(ScaledArtPath(kPlayCardCursorFile, scale), EncodeCursor(DrawPlayCardCursor(scale)));
        files->emplace_back(ScaledArtPath(kNoCardCursorFile, scale), EncodeCursor(DrawNoCardCursor(scale)));
    }
    return true;
}

bool GenerateArt(const ArtgenOptions& options, std::string* error) {
    if (options.outDir.empty()) {
        *error = "no output folder given";
        return false;
    }
    // Everything is rendered before anything is written, so a missing font leaves the
    // previous output untouched instead of half replaced.
    std::vector<std::pair<fs::path, std::vector<uint8_t>>> files;
    for (const FontRecipe& recipe : FontRecipes()) {
        std::vector<uint8_t> fgf;
        if (!RenderFont(recipe, options.fontRoot, &fgf, error)) return false;
        files.emplace_back(recipe.fileName, std::move(fgf));
    }
    for (const NamedSprite& named : SpinArrowSprites()) files.emplace_back(named.fileName, EncodeSprite(named.sprite));
    std::vector<uint8_t> icon = RenderAppIcon();
    if (icon.empty()) {
        *error = "cannot draw the application icon";
        return false;
    }
    files.emplace_back(kAppIconFile, std::move(icon));
    files.emplace_back(kWindowIconFile, RenderWindowIcon(kWindowIconSize));
    files.emplace_back(kLargeWindowIconFile, RenderWindowIcon(kLargeWindowIconSize));
    if (!RenderCardArt(options.fontRoot, &files, error)) return false;
    if (!RenderThemeArt(options.fontRoot, &files, error)) return false;
    if (!RenderScreenArt(options.fontRoot, &files, error)) return false;
    files.emplace_back(kPlayCardCursorFile, EncodeCursor(DrawPlayCardCursor()));
    files.emplace_back(kNoCardCursorFile, EncodeCursor(DrawNoCardCursor()));
    if (!RenderScaledArt(options.fontRoot, &files, error)) return false;
    for (auto& [name, bytes] : RenderSoundEffects()) files.emplace_back(name, std::move(bytes));
    std::vector<std::pair<std::string, std::vector<uint8_t>>> songs;
    if (!RenderSongs(&songs, error)) return false;
    for (auto& [name, bytes] : songs) files.emplace_back(name, std::move(bytes));
    if (!options.assetsDir.empty()) {
        const fs::path help = options.assetsDir / kHelpTextFile;
        std::error_code ec;
        if (fs::is_regular_file(help, ec)) {
            std::vector<uint8_t> text;
            if (!ReadWholeFile(help, &text)) {
                *error = "cannot read " + help.string();
                return false;
            }
            files.emplace_back(kHelpTextFile, std::move(text));
        }
    }

    std::error_code ec;
    fs::create_directories(options.outDir / kArtworkFolder, ec);
    if (ec) {
        *error = "cannot create " + (options.outDir / kArtworkFolder).string() + ": " + ec.message();
        return false;
    }
    for (const char* folder : {kEffectFolder, kMusicFolder}) fs::create_directories(options.outDir / folder, ec);
    for (const auto& [name, bytes] : files) {
        if (!WriteFileAtomically(options.outDir / name, bytes, error)) return false;
    }
    return true;
}
