// What the game benchmarks share: a folder on the memory file system for undo files and
// settings, the screen, artwork, toolkit and game services on the installed back end, and the
// scripted table made of them.
#pragma once

#include <stdlib.h>

#include <memory>

#include "draw/draw.h"
#include "framework/game_services.h"
#include "games/klondike.h"
#include "platform/messages.h"
#include "platform/settings_file.h"
#include "platform/scripted_backend.h"
#include "artwork/artwork.h"
#include "store/settings_store.h"
#include "tests/test_support.h"
#include "ui/toolkit.h"

// A private folder for the undo files and the settings file, on a memory file system as the
// undo folder ($XDG_RUNTIME_DIR) normally is.
class BenchFolder {
public:
    BenchFolder() {
        setenv("XDG_RUNTIME_DIR", folder.String().c_str(), 1);
        SetRegistryFile(folder.String() + "/settings.reg");
    }

private:
    test_support::TempFolder folder{"bench", true};
};

// The 800 x 600 screen buffer, the first theme's artwork and the toolkit for a shown window;
// games run without animation, sound or the automatic end of a game.
inline std::unique_ptr<Artwork> SetUpGameTable(HWND window) {
    ShowMainWindow(window);
    InitBuffers();
    SetBufferDepth(32);
    const int screen = CreateBuffer(800, 600);
    SelectBuffer(screen);
    auto artwork = std::make_unique<Artwork>();
    artwork->Init(screen, window, 0);
    InitToolkit(window, screen, kToolkitSubPanelEvents);
    artwork->LoadTheme(0);
    GameServices& services = Services();
    services = GameServices{};
    services.animate = false;
    userPreferences.AutoGameOver = 0;
    userPreferences.SoundEnabled = 0;
    return artwork;
}

// The game table on the scripted back end, in a window of its own.
struct ScriptedTable {
    BenchFolder folder;
    ScriptedBackend backend;
    std::unique_ptr<Artwork> artwork;

    ScriptedTable() {
        SetBackend(&backend);
        artwork = SetUpGameTable(CreateMainWindow("bench", 800, 600, [](HWND h, uint32_t m, WPARAM w, LPARAM l) {
            return DefWindowProc(h, m, w, l);
        }));
    }
};

// A fresh Klondike deal with the tableau cleared but for a run of `cards` cards on the last pile:
// King down to Two, then the Ace, alternating colours, drawn on the table.
inline void LayRunOnLastPile(KlondikeGame& game, int cards) {
    game.NewGame(false);
    for (auto& pile : game.position.tableau) pile.fill(Card());
    game.position.pileCount.fill(0);
    game.position.faceDownCount.fill(0);
    for (int k = 0; k < cards; ++k) game.position.tableau[6][k] = Card(k % 2, k < 12 ? Card::kKing - k : Card::kAce);
    game.position.pileCount[6] = cards;
    game.CheckGameOver();
    game.Draw(true);
}
