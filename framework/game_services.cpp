#include "framework/game_services.h"

#include "audio/music.h"
#include "audio/music_dialog.h"
#include "audio/sound_effects.h"
#include "framework/deal_dialog.h"
#include "platform/keys.h"
#include "platform/messages.h"
#include "store/dialogs/high_scores_dialog.h"
#include "ui/dialog.h"

namespace {

// The PC scan code of Escape sits in bits 16..23 of a key message's lParam.
constexpr LPARAM kEscapeKeyData = static_cast<LPARAM>(SC_ESCAPE) << 16;

GameServices Defaults() {
    GameServices services;
    services.playSound = [](const char* name) { PlaySoundEffect(name); };
    services.setGameMusic = [] { SetGameMusic(); };
    services.setEndMusic = [](bool won) { SetEndMusic(won); };
    services.showMessage = [](const char* text) {
        MessageBox box(nullptr, "", MessageBox::kOk, text);
        box.RunModal();
    };
    services.showEndHighScores = [](const std::string& gameName, int32_t finalScore) {
        HighScoresDialog dialog(gameName, finalScore, true);
        return dialog.RunModal();
    };
    services.showHighScores = [](const std::string& gameName) { ShowHighScores(gameName, 0); };
    services.leaveGame = [] { PostMessage(MainWindowHandle(), WM_KEYDOWN, VK_ESCAPE, kEscapeKeyData); };
    services.exitProgram = [] {
        ExitScreen screen;
        screen.RunModal();
        if (HWND window = MainWindowHandle()) DestroyWindow(window);
    };
    services.musicDialog = [] { return RunMusicDialog(); };
    services.chooseDeal = [](uint32_t current) { return ChooseDealNumber(current); };
    services.aboutDialog = [] {
        AboutDialog about;
        about.RunModal();
    };
    return services;
}

GameServices& Current() {
    static GameServices services = Defaults();
    return services;
}

}  // namespace

GameServices& Services() { return Current(); }

void ResetGameServices() { Current() = Defaults(); }
