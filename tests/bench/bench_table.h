// What the game benchmarks share: a folder on the memory file system for undo files and
// settings, and the screen, artwork, toolkit and game services on the installed back end.
#pragma once

#include <stdlib.h>

#include <memory>
#include <string>

#include "draw/draw.h"
#include "framework/game_services.h"
#include "games/klondike.h"
#include "platform/messages.h"
#include "platform/registry.h"
#include "artwork/artwork.h"
#include "store/settings_store.h"
#include "ui/toolkit.h"

// The undo folder is normally a memory file system ($XDG_RUNTIME_DIR), as /dev/shm is.
inline std::string MakeBenchFolder() {
    char pattern[] = "/dev/shm/qf-bench-XXXXXX";
    std::string folder = mkdtemp(pattern);
    setenv("XDG_RUNTIME_DIR", folder.c_str(), 1);
    SetRegistryFile(folder + "/settings.reg");
    return folder;
}

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
