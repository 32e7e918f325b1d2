// Runs the program on the scripted back end and writes what a person should look at: the
// selection screen with a highlighted name, and game titles on two backdrops with a few cards,
// as PNG files in /tmp (or the folder given as the first argument).

#include <cstdio>
#include <string>
#include <vector>

#include "cards/deck.h"
#include "draw/draw.h"
#include "platform/host_events.h"
#include "platform/scripted_backend.h"
#include "artwork/artwork.h"
#include "artwork/screen_layout.h"
#include "shell/shell.h"
#include "tests/ui/png_writer.h"

int main(int argc, char** argv) {
    const std::string folder = argc > 1 ? argv[1] : "/tmp";
    ScriptedBackend backend;
    SetBackend(&backend);
    bool written = true;
    auto save = [&](const std::string& name, const uint32_t* pixels) {
        const std::string path = folder + "/" + name;
        written = WritePng(path, pixels, 800, 600, 800) && written;
        std::printf("%s\n", path.c_str());
    };

    HostEvent focus;
    focus.kind = HostEvent::FocusGained;
    backend.PostHost(10, focus);
    backend.Click(10, 400, 100);  // ends the logo
    const auto& klondike = screen_layout::kGameMenuItems[11];
    backend.MoveMouse(50, klondike.left + klondike.Width() / 2, klondike.top + klondike.Height() / 2);
    backend.After(20, [&] { save("shell_selection.png", backend.WindowPixels().data()); });
    struct Sample {
        int theme, game;
    };
    for (const Sample sample : {Sample{0, 12}, Sample{1, 7}, Sample{2, 3}, Sample{4, 20}}) {
        backend.After(20, [&, sample] {
            Artwork& artwork = *ShellArtwork();
            artwork.LoadTheme(sample.theme);
            artwork.DrawGameTitle(sample.game);
            artwork.RestoreBackground(0, 799, 0, 599);
            const int screen = ScreenBuffer();
            Deck deck;
            deck.SetPacks(1);
            artwork.DrawStock(60, 120, 3, deck, screen, true);
            for (int i = 0; i < 7; ++i) {
                artwork.DrawCardBack(180 + 80 * i, 140, 3, screen);
                artwork.DrawCard(180 + 80 * i, 160, Card(i % 4, (i * 3) % 13), screen, i == 3);
            }
            artwork.DrawPlaceholder(60, 260, 0, screen);
            save("shell_title_theme" + std::to_string(sample.theme + 1) + ".png", BufferPixels(screen));
        });
    }
    backend.PressKey(20, 41);  // Escape ends the program
    RunApplication();
    SetBackend(nullptr);
    return written ? 0 : 1;
}
