// Writes PNGs of a Klondike table mid-game and an Accordion deal for a person to look at:
//   QUILLFEN_DATA_DIR=<data> games_sample <folder>
#include <stdlib.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "draw/draw.h"
#include "framework/game_services.h"
#include "games/accordion.h"
#include "games/klondike.h"
#include "platform/settings_file.h"
#include "platform/scripted_backend.h"
#include "artwork/artwork.h"
#include "store/settings_store.h"
#include "tools/dev/png_writer.h"
#include "ui/toolkit.h"

int main(int argc, char** argv) {
    const std::string out = argc > 1 ? argv[1] : ".";
    char pattern[] = "/tmp/qf-games-sample-XXXXXX";
    const std::string folder = mkdtemp(pattern);
    setenv("XDG_RUNTIME_DIR", folder.c_str(), 1);
    SetRegistryFile(folder + "/settings.reg");
    ScriptedBackend backend;
    SetBackend(&backend);
    HWND window = CreateMainWindow("sample", 800, 600, [](HWND h, uint32_t m, WPARAM w, LPARAM l) {
        return DefWindowProc(h, m, w, l);
    });
    ShowMainWindow(window);
    InitBuffers();
    SetBufferDepth(32);
    const int screen = CreateBuffer(800, 600);
    SelectBuffer(screen);
    Artwork artwork;
    artwork.Init(screen, window, 0);
    InitToolkit(window, screen, kToolkitSubPanelEvents);
    BuildColorTable();
    SetRegularFont("windb_10.fgf");
    Services().animate = false;
    Services().playSound = nullptr;
    Services().setGameMusic = nullptr;
    userPreferences.AutoGameOver = 0;

    {
        KlondikeGame game(&artwork);
        game.deck.Seed(12);
        game.NewGame(false);
        // A few stock clicks and the first foundation and tableau moves a player would make.
        for (int click = 0; click < 3; ++click) game.OnLButtonDown(MK_LBUTTON, 120, 110);
        for (int move = 0; move < 30; ++move) {
            bool moved = false;
            for (Hotspot& spot : game.pickups) {
                DragRecord drag = spot;
                game.OnLButtonDown(MK_LBUTTON, spot.x + 20, spot.y + 5);
                if (!game.dragging) continue;
                for (DropTarget& target : game.dropTargets) {
                    if (!game.CanDrop(game.dragRecord, target) || (target.x == drag.x && target.y == drag.y)) continue;
                    game.OnLButtonUp(0, target.rect.left + 20, target.rect.top + 20);
                    moved = true;
                    break;
                }
                if (!moved) game.OnLButtonUp(0, spot.x + 20, spot.y + 5);
                if (moved) break;
            }
            if (!moved) game.OnLButtonDown(MK_LBUTTON, 120, 110);
        }
        game.SetStatusLeft("Klondike mid-game");
        game.Draw(true);
        WritePng(out + "/klondike.png", BufferPixels(screen), 800, 600, BufferWidth(screen));
    }
    {
        AccordionGame game(&artwork);
        game.deck.Seed(3);
        game.NewGame(false);
        game.Draw(true);
        WritePng(out + "/accordion.png", BufferPixels(screen), 800, 600, BufferWidth(screen));
    }
    std::filesystem::remove_all(folder);
    std::printf("wrote %s/klondike.png and %s/accordion.png\n", out.c_str(), out.c_str());
    return 0;
}
