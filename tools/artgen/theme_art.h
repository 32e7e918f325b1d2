// The six table themes: backdrops, menu bars, dialog faces and strips, drop-down panels, check
// marks, placeholders and the in-game title images.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "tools/artgen/screen_canvas.h"

enum class Texture { Felt, Parchment, Velvet, Marble, Linen, Wood };

struct ThemeLook {
    const char* name;
    Texture texture;
    Rgbf base;    // the table's middle colour
    Rgbf accent;  // the table's and menus' rims and rules: gold on the dark themes, brown on the light
    bool dark;    // a dark table and menus with gold text, or a light table and menus with black text
    uint32_t seed;
    // The chrome (dialog faces, title plates, buttons, controls and the score panel cut from the
    // face) is dark on every theme. On the dark themes it is the table's material darkened, rimmed
    // in the accent; on the light ones the material in the deep tone of its status rail, rimmed
    // in a pale metal of the same palette.
    Rgbf deep;  // the chrome's middle colour: the table's own on the dark themes
    Rgbf rim;   // the chrome's frames and marks
};

const ThemeLook& ThemeLookOf(int theme);  // theme 0..5

// The theme's table surface at a pixel, before any vignette; seams are the joints of the wooden
// table, left out on panels.
Rgbf SurfaceAt(const ThemeLook& look, double x, double y, bool seams = true);
// The quieter surface of the theme's menu bar and drop-down panels.
Rgbf FieldAt(const ThemeLook& look, double x, double y);
// The surface of the theme's chrome: the dialog face and everything on it.
Rgbf ChromeFieldAt(const ThemeLook& look, double x, double y);

// Renders every theme file. False with a message when a font is missing.
bool RenderThemeArt(const std::filesystem::path& fontRoot, std::vector<ArtFile>* files, std::string* error);
// Every theme file drawn again for a device scale of 2 or 3, laid out as at 1x: "name@2x.jpg" for
// the JPEG pictures, "name@2x.png" for those whose 1x file is a BMP.
bool RenderScaledThemeArt(const std::filesystem::path& fontRoot, int scale, std::vector<ArtFile>* files,
                          std::string* error);

// The pieces, for the tests and the review sheets.
Picture RenderBackdrop(int theme, int scale = 1);
// The 800 x 600 dialog face; the score panel is cut from its corners.
Picture RenderDialogFace(int theme, int scale = 1);
Picture RenderDialogStrip(int theme, int scale = 1);
Picture RenderPlaceholders(int theme, int scale = 1);
// The in-game title image with dark (gold) or light (black) lettering; matte is the colour the
// letters' edges blend into.
Picture RenderTitleImage(bool goldLettering, uint32_t matte, int scale = 1);
