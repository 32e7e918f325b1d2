// Screenshots for review and pixel comparison: runs the real program on the scripted back end
// (no display) at device scales 1, 2 and 3 and writes the screen buffer as PNG files: the
// selection screen, the Players dialog, every game's rule dialog and first deal, the dialogs of
// one game's menus, in two games a hint shown and cards held over the places marked for them, and
// one game on every backdrop with a menu open and the Statistics dialog.
//
//   shots FOLDER [SCALE ...]     (scales 1 2 3 when none are given)
//
// Files are named "<scale>x/<what>.png"; the same build writes the same files.

#include <algorithm>
#include <cctype>
#include <map>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "draw/draw.h"
#include "framework/game.h"
#include "framework/game_services.h"
#include "games/game_registry.h"
#include "platform/host_events.h"
#include "platform/settings_file.h"
#include "platform/scripted_backend.h"
#include "platform/translation.h"
#include "artwork/screen_layout.h"
#include "shell/screens.h"
#include "shell/shell.h"
#include "store/settings_store.h"
#include "tools/dev/click_now.h"
#include "tools/dev/png_writer.h"
#include "ui/controls.h"

namespace {

constexpr int kHidEscape = 41;
constexpr int kHidEnter = 40;  // the rule dialog's default button, "&Start" in every language
constexpr int kHidH = 11;  // a hint
// Virtual time allowed for a deal's slides (which swallow input), a dialog to open, a screen to settle.
constexpr uint64_t kSettleMs = 10000;

// Mouse input posted from inside a scripted step.
void MouseNow(HostEvent::Kind kind, int x, int y, bool held) {
    HostEvent event;
    event.kind = kind;
    event.button = 1;
    event.buttons = held ? 1 : 0;
    event.x = x;
    event.y = y;
    std::vector<Message> messages;
    TranslateHostEvent(event, MainWindowHandle(), &messages);
    for (const Message& m : messages) PostMessage(m.hwnd, m.message, m.wParam, m.lParam);
}

// A hint that shows the first move of cards offered (else the first move), so every run shows the
// same one.
class FirstMoveHint : public HintSearch {
public:
    explicit FirstMoveHint(Game& game) { game.PlayMoves(moves); }
    bool Ready() override { return true; }
    Answer Move(PlayMove& move) override {
        if (moves.empty()) return Answer::kNothingFound;
        const auto card = std::find_if(moves.begin(), moves.end(), [](const PlayMove& m) { return m.kind == PlayMove::kMove; });
        move = card != moves.end() ? *card : moves.front();
        return Answer::kMove;
    }

private:
    MoveList moves;
};

// The running game's move whose stack has the most places to go: where a drag of it starts.
bool BusiestDrag(int* x, int* y) {
    Game* game = CurrentGame();
    if (game == nullptr) return false;
    MoveList moves;
    game->PlayMoves(moves);
    std::map<std::pair<int, int>, int> targets;
    int most = 0;
    for (const PlayMove& move : moves) {
        MoveGesture gesture;
        if (!game->GestureFor(move, gesture) || gesture.kind != MoveGesture::kDrag) continue;
        const int count = ++targets[{gesture.fromX, gesture.fromY}];
        if (count > most) most = count, *x = gesture.fromX, *y = gesture.fromY;
    }
    return most > 0;
}

// The item of the running game's menus with the command, as (title, item) centres.
bool FindCommand(int command, int* titleX, int* titleY, int* itemX, int* itemY) {
    Game* game = CurrentGame();
    if (game == nullptr) return false;
    for (Menu* menu : {game->GameCommandsMenu(), game->OptionsMenu(), game->ViewMenu(), game->HelpMenu()}) {
        for (int i = 0; menu != nullptr && i < menu->ItemCount(); ++i) {
            MenuItem* item = menu->Item(i);
            if (item->CommandId() != command) continue;
            *titleX = menu->GetX() + menu->GetWidth() / 2;
            *titleY = menu->GetY() + menu->GetHeight() / 2;
            *itemX = item->GetX() + item->GetWidth() / 2;
            *itemY = item->GetY() + item->GetHeight() / 2;
            return true;
        }
    }
    return false;
}

class ShotSession {
public:
    ShotSession(std::filesystem::path folder, int scale) : folder(std::move(folder)), scale(scale) {
        std::filesystem::create_directories(this->folder);
        backend.SetDeviceScale(scale);
        backend.SetWallClock(1'800'000'000);
    }

    // Schedules a screenshot of the screen buffer after delayMs.
    void Shot(uint64_t delayMs, const std::string& name) {
        backend.After(delayMs, [this, name] {
            const int screen = ScreenBuffer();
            const std::string path = (folder / (name + ".png")).string();
            if (screen < 0 || !WritePng(path, BufferPixels(screen), BufferWidth(screen), BufferHeight(screen),
                                        BufferWidth(screen))) {
                std::fprintf(stderr, "shots: cannot write %s\n", path.c_str());
                failed = true;
                return;
            }
            ++written;
        });
    }

    // Opens a command of the running game's menus, shoots the dialog and closes it with Escape.
    void MenuDialog(int command, const std::string& name) {
        MenuCommand(command);
        Shot(kSettleMs, name);
        backend.PressKey(100, kHidEscape);
    }

    // Chooses a command of the running game's menus with the mouse.
    void MenuCommand(int command) {
        auto titleX = std::make_shared<int>(0), titleY = std::make_shared<int>(0);
        auto itemX = std::make_shared<int>(0), itemY = std::make_shared<int>(0);
        backend.After(kSettleMs, [=] {
            if (FindCommand(command, titleX.get(), titleY.get(), itemX.get(), itemY.get())) ClickNow(*titleX, *titleY);
        });
        backend.After(500, [=] {
            if (*itemX > 0) ClickNow(*itemX, *itemY);
        });
    }

    // Each backdrop in turn: the table, its Options menu open, and the Statistics dialog.
    void EveryTheme(const std::string& name) {
        for (uint32_t theme = 0; theme < kBackdropCount; ++theme) {
            const std::string prefix = "theme" + std::to_string(theme + 1) + "_";
            backend.After(100, [theme] { userPreferences.Backdrop = theme; });
            MenuCommand(kCommandNewGame);
            backend.MoveMouse(100, 5, 595);
            Shot(kSettleMs, prefix + name);
            auto titleX = std::make_shared<int>(0), titleY = std::make_shared<int>(0);
            backend.After(100, [=] {
                int itemX = 0, itemY = 0;
                if (FindCommand(kCommandAnimationFast, titleX.get(), titleY.get(), &itemX, &itemY)) {
                    ClickNow(*titleX, *titleY);
                    MouseNow(HostEvent::MouseMove, itemX, itemY, false);
                }
            });
            Shot(1000, prefix + "menu");
            backend.PressKey(100, kHidEscape);
            MenuDialog(kCommandStatistics, prefix + "statistics");
        }
    }

    // A hint, then a stack held up over the table with the places that take it marked.
    void HintAndDrag(const std::string& name) {
        backend.After(100, [] {
            Services().startHintSearch = [](Game& game) -> std::unique_ptr<HintSearch> { return std::make_unique<FirstMoveHint>(game); };
        });
        backend.PressKey(100, kHidH);
        Shot(300, "hint_" + name);
        auto x = std::make_shared<int>(-1), y = std::make_shared<int>(-1);
        backend.After(2500, [=] {
            if (!BusiestDrag(x.get(), y.get())) return;
            MouseNow(HostEvent::MouseMove, *x, *y, false);
            MouseNow(HostEvent::MouseDown, *x, *y, true);
            MouseNow(HostEvent::MouseMove, *x + 60, *y + 140, true);
        });
        Shot(300, "drag_" + name);
        backend.After(100, [=] {
            if (*x >= 0) MouseNow(HostEvent::MouseUp, *x + 60, *y + 140, false);
        });
    }

    // The won and lost pictures over the selection screen, then the exit screen a game's Exit
    // command shows, which ends the run.
    void EndScreens() {
        for (const bool won : {true, false}) {
            backend.After(kSettleMs, [won] { ShowEndScreen(*ShellArtwork(), won); });
            Shot(1500, won ? "end_won" : "end_lost");  // past the picture's deaf first second
            backend.PressKey(100, kHidEscape);
        }
        const GameDescriptor& klondike = *FindGame(12);
        const auto& r = screen_layout::kGameMenuItems[klondike.number - 1];
        backend.Click(kSettleMs, r.left + r.Width() / 2, r.top + r.Height() / 2);
        if (klondike.start == StartMode::RulesFirst) backend.PressKey(kSettleMs, kHidEnter);
        MenuCommand(kCommandExit);
        Shot(kSettleMs, "end_exit");
        backend.PressKey(100, kHidEscape);
    }

    int Run() {
        SetBackend(&backend);
        HostEvent focus;
        focus.kind = HostEvent::FocusGained;
        backend.PostHost(10, focus);
        backend.Click(10, 400, 100);  // ends the logo
        backend.MoveMouse(100, 5, 595);
        Shot(kSettleMs, "selection");
        backend.Click(100, screen_layout::kPlayersButtonX + screen_layout::kTitleButtonWidth / 2,
                      screen_layout::kPlayersButtonY + screen_layout::kTitleButtonHeight / 2);
        Shot(kSettleMs, "dialog_players");
        backend.PressKey(100, kHidEscape);

        for (int item = 0; item < screen_layout::kGameCount; ++item) {
            const GameDescriptor& start = *FindGame(item + 1);
            std::string name = start.name;
            for (char& c : name) c = c == ' ' ? '_' : static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
            const auto& r = screen_layout::kGameMenuItems[item];
            backend.Click(kSettleMs, r.left + r.Width() / 2, r.top + r.Height() / 2);
            if (start.start == StartMode::RulesFirst) {
                Shot(kSettleMs, "rules_" + name);
                backend.PressKey(100, kHidEnter);
            }
            backend.MoveMouse(100, 5, 595);
            Shot(kSettleMs, "deal_" + name);
            if (name == "klondike" || name == "forty_thieves") HintAndDrag(name);
            if (name == "gate") EveryTheme(name);
            if (start.number == 12) {
                MenuDialog(kCommandGameSettings, "dialog_game_settings");
                MenuDialog(kCommandRulesSummary, "dialog_rules_summary");
                MenuDialog(kCommandHighScores, "dialog_high_scores");
                MenuDialog(kCommandMusic, "dialog_music");
                MenuDialog(kCommandCardBack, "dialog_card_back");
                MenuDialog(kCommandCardFront, "dialog_card_front");
                MenuDialog(kCommandBackground, "dialog_background");
                MenuDialog(kCommandAbout, "dialog_about");
                MenuDialog(kCommandRulesText, "dialog_rules_text");
                MenuDialog(kCommandChooseDeal, "dialog_choose_deal");
            }
            backend.PressKey(kSettleMs, kHidEscape);
        }
        EndScreens();
        RunApplication();
        SetBackend(nullptr);
        std::printf("%dx: %d screenshots in %s\n", scale, written, folder.c_str());
        return failed ? 1 : 0;
    }

private:
    std::filesystem::path folder;
    int scale;
    ScriptedBackend backend;
    int written = 0;
    bool failed = false;
};

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: shots FOLDER [SCALE ...]\n");
        return 2;
    }
    // The language of the environment, as the program chooses it; a translated run writes its
    // pictures into a folder of the language's code.
    const std::string language = ChooseLanguage("");
    const std::filesystem::path folder = language.empty() ? std::filesystem::path(argv[1])
                                                          : std::filesystem::path(argv[1]) / language;
    std::vector<int> scales;
    for (int i = 2; i < argc; ++i) scales.push_back(std::atoi(argv[i]));
    if (scales.empty()) scales = {1, 2, 3};
    // A settings file of the run's own, with a remembered player, so nothing of the user's is read
    // or changed and no first-run dialog comes up.
    const std::filesystem::path state = folder / ".state";
    std::filesystem::create_directories(state);
    setenv("XDG_RUNTIME_DIR", state.c_str(), 1);
    setenv("XDG_STATE_HOME", state.c_str(), 1);
    SetRegistryFile((state / "settings.reg").string());
    {
        SettingsKey key(PreferencesPath());
        WriteStringValue(key, "HumanName", "Reviewer");
        WriteDwordValue(key, "DontShowAgain", 1);
    }
    int status = 0;
    for (int scale : scales) {
        if (scale < 1 || scale > 3) continue;
        ShotSession session(folder / (std::to_string(scale) + "x"), scale);
        status |= session.Run();
    }
    std::filesystem::remove_all(state);
    return status;
}
