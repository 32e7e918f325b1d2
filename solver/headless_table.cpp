#include "solver/headless_table.h"

#include <stdlib.h>

#include <charconv>
#include <filesystem>

#include "artwork/artwork.h"
#include "draw/draw.h"
#include "framework/game.h"
#include "framework/game_services.h"
#include "platform/messages.h"
#include "platform/registry.h"
#include "platform/scripted_backend.h"
#include "store/settings_store.h"
#include "ui/toolkit.h"

namespace {

LRESULT Procedure(HWND hwnd, uint32_t message, WPARAM wParam, LPARAM lParam) {
    return message == WM_CLOSE ? 0 : DefWindowProc(hwnd, message, wParam, lParam);
}

}  // namespace

HeadlessTable::HeadlessTable() {
    char pattern[] = "/tmp/quillfen-solve-XXXXXX";
    const char* made = mkdtemp(pattern);
    if (!made) return;
    folder = made;
    // Undo files and settings go to the private folder only.
    setenv("XDG_RUNTIME_DIR", folder.c_str(), 1);
    SetRegistryFile(folder + "/settings.reg");
    userPreferences.AutoGameOver = 1;
    userPreferences.SoundEnabled = 0;
    userPreferences.MusicEnabled = 0;
    userPreferences.CurrentPlayer = -1;

    backend = std::make_unique<ScriptedBackend>();
    SetBackend(backend.get());
    HWND window = CreateMainWindow("quillfen-solve", 800, 600, &Procedure);
    if (!window) return;
    InitBuffers();
    SetBufferDepth(32);
    screen = CreateBuffer(800, 600);
    if (screen < 0) return;
    SelectBuffer(screen);
    artwork = std::make_unique<Artwork>();
    if (!artwork->Init(screen, window, 0)) return;
    InitToolkit(window, screen, kToolkitSubPanelEvents);
    BuildColorTable();
    SetRegularFont("windb_10.fgf");
    artwork->LoadTheme(0);
    ResetGameServices();
    Services().playSound = [](const char*) {};
    Services().setGameMusic = [] {};
    Services().setEndMusic = [](bool) {};
    Services().showMessage = [](const char*) {};
    Services().showEndHighScores = [](const std::string&, int32_t) { return 0; };
    Services().animate = false;
    ready = true;
}

HeadlessTable::~HeadlessTable() {
    game.reset();
    ShutdownToolkit();
    artwork.reset();
    if (screen >= 0) FreeBuffer(screen);
    ResetGameServices();
    SetBackend(nullptr);
    backend.reset();
    if (!folder.empty()) {
        SetRegistryFile(folder + "/unused.reg");
        std::error_code ignored;
        std::filesystem::remove_all(folder, ignored);
    }
}

std::string HeadlessTable::SetOption(const GameDescriptor& entry, std::string_view name, std::string_view value) {
    for (const RuleOption& option : entry.rules.options) {
        if (!SameName(option.valueName, name)) continue;
        SettingsKey key(GameSettingsPath(entry.name));
        if (option.control == RuleControl::kScoringChoice) {
            if (!SameName(value, "American") && !SameName(value, "English"))
                return std::string(option.valueName) + " is American or English";
            WriteStringValue(key, option.valueName, SameName(value, "English") ? "English" : "American");
            return {};
        }
        int32_t number = 0;
        const auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), number);
        if (error != std::errc() || end != value.data() + value.size())
            return std::string(option.valueName) + " needs a whole number, not \"" + std::string(value) + "\"";
        if (option.control == RuleControl::kSpinField && (number < option.minimum || number > option.maximum))
            return std::string(option.valueName) + " is " + std::to_string(option.minimum) + " to " +
                   std::to_string(option.maximum);
        WriteDwordValue(key, option.valueName, number);
        return {};
    }
    std::string known;
    for (const RuleOption& option : entry.rules.options) known += std::string(known.empty() ? "" : ", ") + option.valueName;
    return std::string(entry.name) + " has no option \"" + std::string(name) + "\"" +
           (known.empty() ? " (it has no rule options)" : " (its options: " + known + ")");
}

std::string HeadlessTable::Deal(const GameDescriptor& entry, unsigned seed) {
    if (!ready) return {};
    const bool first = !game || gameNumber != entry.number;
    if (first) {
        game.reset();
        game = entry.create(artwork.get());
        gameNumber = entry.number;
    } else {
        game->ClearHotspots();
    }
    // Constructing a game seeds the generator from the clock; the deal's seed comes after, on a
    // shoe holding every card again, as the game's own deals do.
    game->deck.TakeBackAll();
    game->deck.Seed(seed);
    game->NewGame(!first);
    return game->PositionBytes();
}
