// The desktop's keys in the program's own dialogs, through the real program: Enter presses a
// dialog's default button, Alt with an underlined letter presses that button, and the deal
// number field takes only what can be a deal number; and the dialogs in the language that the
// environment or --lang names.
#include <gtest/gtest.h>

#include <algorithm>

#include "draw/draw.h"
#include "framework/game.h"
#include "platform/translation.h"
#include "platform/virtual_audio_device.h"
#include "shell/command_line.h"
#include "shell/shell.h"
#include "tests/hooks/test_hooks.h"
#include "tests/shell/shell_fixture.h"
#include "ui/controls.h"
#include "ui/dialog.h"
#include "ui/toolkit.h"

namespace {

using namespace shell_test;

constexpr int kKlondike = 12;
constexpr uint64_t kStepMs = 300;

using DialogKeysTest = ShellTest;

// The rule dialog opens with its first option focused, and Alt with the underlined S of "Start"
// still starts the game (Enter does in every run of the language test below). Choose Deal opens
// with the number selected, so typing replaces it; a letter and an eleventh digit are refused at
// once with the refusal sound, never by a message box afterwards.
TEST_F(DialogKeysTest, AltStartsTheRuleDialogAndChooseDealRefusesWhatCannotBeADealNumber) {
    Activate(10);
    EndLogo(10);
    StartFromSelection(500, kKlondike);
    PressWith(kHidLeftAlt, kHidS);
    bool startedByAlt = false;
    uint32_t dealt = 0;
    int depthAfterLetter = 0;
    backend.After(kStepMs, [&] {
        startedByAlt = IsGameRunning();
        ResetVirtualAudio();
        ASSERT_TRUE(PostClickOnControl(backend, "&Game"));
        backend.After(kStepMs, [&] {
            ASSERT_TRUE(PostClickOnControl(backend, "&Choose Deal..."));
            backend.PressKey(kStepMs, kHidA);  // refused
            backend.After(kStepMs, [&] { depthAfterLetter = ModalLoopDepth(); });
            backend.PressKey(kStepMs, kHid1 + 8);  // "9" replaces the number shown
            PressWith(kHidLeftControl, kHidA);
            backend.After(kStepMs, [&] {
                for (int digit = 0; digit < 10; ++digit) backend.PressKey(20, kHid1 + digit);  // "1234567890"
                backend.PressKey(20, kHid1 + 2);  // an eleventh digit, refused
                backend.PressKey(20, kHidEnter);
                backend.After(kStepMs, [&] { dealt = CurrentGame() ? CurrentGame()->dealNumber : 0; });
                backend.PressKey(kStepMs, kHidEscape);
                backend.PressKey(kStepMs, kHidEscape);
            });
        });
    });
    EXPECT_EQ(RunApplication(), 0);
    EXPECT_TRUE(startedByAlt);
    EXPECT_EQ(depthAfterLetter, 1) << "a message box opened";
    EXPECT_EQ(dealt, 1234567890u);
    const auto& requests = VirtualAudio().requests;
    EXPECT_EQ(std::count_if(requests.begin(), requests.end(), [](const auto& r) { return r.name == "invalid.wav"; }), 2);
}

// Whether the top dialog's title plate shows exactly this title (UTF-8): the pixels of the screen
// in the title's colour, which only the glyphs' solid cores have, are the same as those of the
// title drawn alone at the same place in the same style.
bool PlateShows(const std::string& title) {
    auto* dialog = OpenPanels().empty() ? nullptr : dynamic_cast<Dialog*>(OpenPanels().back());
    if (dialog == nullptr) return false;
    std::string shown;
    Utf8ToWindows1252(title, &shown);
    const Pixel ink = CurrentTheme().controlTextColor & 0xFFFFFF;
    const int scratch = CreateBuffer(kScreenWidth, kScreenHeight);
    SelectBuffer(scratch);
    SetColor(ink ^ 0x808080);
    FillRect(0, kScreenWidth - 1, 0, kScreenHeight - 1);
    SetColor(ink);
    MoveTo((dialog->TitleLeft() + dialog->TitleRight()) / 2, (dialog->TitleTop() + dialog->TitleBottom()) / 2);
    DrawBoldText(shown, 0, 0);
    SelectBuffer(ScreenBuffer());
    int glyphPixels = 0, mismatches = 0;
    for (int y = dialog->TitleTop(); y <= dialog->TitleBottom(); ++y)
        for (int x = dialog->TitleLeft(); x <= dialog->TitleRight(); ++x) {
            const bool drawn = At(scratch, x, y) == ink;
            glyphPixels += drawn ? 1 : 0;
            mismatches += drawn != (At(ScreenBuffer(), x, y) == ink) ? 1 : 0;
        }
    FreeBuffer(scratch);
    return glyphPixels > 0 && mismatches == 0;
}

// The in-game menus' items wider than their panel leaves them (the caption from its left margin to
// the shortcut's right edge, which the check marks follow), one line each.
std::string MenuMisfits() {
    constexpr int kCaptionRoom = 160;  // the panel's caption margin to its shortcuts' right edge
    constexpr int kShortcutGap = 8;
    std::string found;
    const Game* game = CurrentGame();
    if (game == nullptr) return "no game";
    for (const Menu* menu : {game->GameCommandsMenu(), game->OptionsMenu(), game->ViewMenu(), game->HelpMenu()}) {
        for (int i = 0; i < menu->ItemCount(); ++i) {
            const MenuItem* item = menu->Item(i);
            const int shortcut = item->Shortcut().empty() ? 0 : RegularTextWidth(item->Shortcut()) + kShortcutGap;
            if (RegularTextWidth(item->GetText()) + shortcut > kCaptionRoom)
                found += "\n  " + Windows1252ToUtf8(item->GetText());
        }
    }
    return found;
}

// The language from LANG, without a generated locale, and from --lang: the player dialog over the
// selection screen, the rule dialog and the rules viewer show their titles in it, the menus
// hold their items and large numbers are grouped its way; by default, English.
TEST_F(DialogKeysTest, TheEnvironmentsOrTheCommandLinesLanguageReachesTheScreen) {
    struct Run {
        const char* lang;
        std::vector<const char*> arguments;
        const char *playerTitle, *rulesTitle, *viewerTitle, *grouped;
    };
    const Run runs[] = {
        {"C.UTF-8", {}, "Select a player name", "Klondike Rule Settings", "Rule Help", "-1234567"},
        {"de_DE.UTF-8", {}, "Spielernamen wählen", "Einstellungen für Klondike", "Spielregeln", "-1.234.567"},
        {"de_DE.UTF-8", {"--lang", "fr"}, "Choisir un nom de joueur", "Réglages : Klondike", "Règles du jeu", "-1\xA0" "234\xA0" "567"},
        {"C.UTF-8", {"--lang", "es"}, "Elegir un nombre de jugador", "Ajustes de Klondike", "Reglas del juego", "-1.234.567"},
        {"C.UTF-8", {"--lang", "it"}, "Scegli il nome del giocatore", "Impostazioni di Klondike", "Regole del gioco", "-1.234.567"},
        {"C.UTF-8", {"--lang", "pt_PT"}, "Escolher um nome de jogador", "Definições de Klondike", "Regras do jogo", "-1.234.567"},
        {"C.UTF-8", {"--lang", "nl"}, "Kies een spelersnaam", "Instellingen van Klondike", "Spelregels", "-1.234.567"},
    };
    for (const Run& run : runs) {
        SCOPED_TRACE(run.playerTitle);
        const test_support::ScopedEnvironment all("LC_ALL", nullptr), messages("LC_MESSAGES", nullptr),
            lang("LANG", run.lang);
        std::vector<const char*> argv = {"quillfen-solitaire"};
        argv.insert(argv.end(), run.arguments.begin(), run.arguments.end());
        int status = -1;
        ASSERT_TRUE(ParseCommandLine(argv, &status).has_value());
        ForgetSettings();
        Activate(10);
        EndLogo(10);
        bool player = false, rules = false, viewer = false;
        std::string menus = "not looked at";
        backend.After(500, [&] { player = PlateShows(run.playerTitle); });
        backend.PressKey(kStepMs, kHidA);
        backend.PressKey(kStepMs, kHidEnter);
        StartFromSelection(kStepMs, kKlondike);
        backend.After(kStepMs, [&] { rules = PlateShows(run.rulesTitle); });
        backend.PressKey(kStepMs, kHidEnter);
        backend.After(2000, [&] { menus = MenuMisfits(); });
        backend.PressKey(kStepMs, kHidF1);
        backend.After(kStepMs, [&] { viewer = PlateShows(run.viewerTitle); });
        backend.PressKey(kStepMs, kHidEscape);
        backend.PressKey(kStepMs, kHidEscape);
        backend.PressKey(kStepMs, kHidEscape);
        EXPECT_EQ(RunApplication(), 0);
        EXPECT_EQ(GroupDigits(-1234567), run.grouped);
        EXPECT_EQ(GroupDigits(1234), "1234") << "four digits stay together";
        ChooseLanguage("en");
        EXPECT_TRUE(player) << "the player dialog";
        EXPECT_TRUE(rules) << "the rule dialog";
        EXPECT_TRUE(viewer) << "the rules viewer";
        EXPECT_EQ(menus, "") << "menu items wider than their panel";
    }
}

}  // namespace
