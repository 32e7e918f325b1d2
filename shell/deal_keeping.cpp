#include "shell/deal_keeping.h"

#include <cstdlib>
#include <string>
#include <vector>

#include "framework/game.h"
#include "framework/game_services.h"
#include "games/game_registry.h"
#include "platform/translation.h"
#include "shell/notices.h"
#include "store/settings_store.h"
#include "store/dialogs/statistics_dialog.h"
#include "ui/dialog.h"

namespace {

// The last attempt to keep a deal failed and the player has been told.
bool keepingFailed = false;

// The scoring choice is stored as a string; every other rule value as a DWORD.
bool StoredAsText(const RuleOption& option) { return option.control == RuleControl::kScoringChoice; }

std::vector<std::pair<std::string, std::string>> CurrentRules(int gameNumber) {
    std::vector<std::pair<std::string, std::string>> rules;
    const GameDescriptor* game = FindGame(gameNumber);
    if (!game) return rules;
    const RegKey key = RegOpenKey(GameSettingsPath(game->name));
    for (const RuleOption& option : game->rules.options) {
        if (!option.valueName) continue;
        std::string text;
        uint32_t number = 0;
        if (StoredAsText(option)) {
            if (RegQueryString(key, option.valueName, &text) != kRegOk) continue;
        } else {
            if (RegQueryDword(key, option.valueName, &number) != kRegOk) continue;
            text = std::to_string(static_cast<int32_t>(number));
        }
        rules.emplace_back(option.valueName, text);
    }
    RegCloseKey(key);
    return rules;
}

class ContinueDialog : public Dialog {
public:
    static constexpr int kContinue = 1, kNewDeal = 2;
    ContinueDialog() : Dialog(kX, kY, kWidth, kHeight, Translate("Game in Progress")) {
        const int art = ThemeDialogArt();
        continueButton = Create<Button>(kContinueX, kButtonY, kButtonWidth, kButtonHeight, art, Translate("&Continue"));
        newDealButton = Create<Button>(kNewDealX, kButtonY, kButtonWidth, kButtonHeight, art, Translate("&New Deal"));
        Create<Label>(kWidth / 2, kTextY, 0, Translate("Continue the game in progress?"));
    }
    void ProcessEvent() override {
        TranslateEvent();
        HandleEvent();
        const ToolkitEvent& e = CurrentEvent();
        if (e.type == kEventCommand) {
            if (e.sourceId == continueButton->GetId()) result = kContinue;
            else if (e.sourceId == newDealButton->GetId()) result = kNewDeal;
        } else if (e.keyKind == kKeyDown && e.keyChar == kKeyEscape) {
            // Escape never costs the deal.
            result = kContinue;
        }
    }

private:
    static constexpr int kX = 225, kY = 230, kWidth = 350, kHeight = 140;
    static constexpr int kTextY = 58, kButtonY = 90, kButtonWidth = 100, kButtonHeight = 30;
    static constexpr int kContinueX = (kWidth - 2 * kButtonWidth) / 3;
    static constexpr int kNewDealX = (2 * kWidth - 4 * kButtonWidth) / 3 + kButtonWidth;
    Button* continueButton = nullptr;
    Button* newDealButton = nullptr;
};

}  // namespace

void ConnectDealKeeping() {
    GameServices& services = Services();
    services.showStatistics = [](Game& game) {
        std::vector<std::string> names;
        for (const GameDescriptor& entry : RegisteredGames()) names.emplace_back(entry.name);
        ShowStatistics(names, game.GetName());
    };
    services.keepDeal = [](Game& game) {
        if (userPreferences.CurrentPlayer < 0) return;
        SavedGame saved = game.CaptureDeal();
        saved.rules = CurrentRules(game.gameNumber);
        // Kept after every move: the disk's sync must not hold up play. A failure is told once
        // (again only after a success) and tried again at the next move.
        if (WriteSavedGameSoon(userPreferences.CurrentPlayer, saved)) {
            keepingFailed = false;
        } else if (!keepingFailed) {
            keepingFailed = true;
            QueueNotice(FormatText(Translate("This game cannot be kept for later: the folder\n%s\ncannot be written "
                                             "(%s).\nIt will be tried again after every move."),
                                   StateDirectory().c_str(), SavedGameWriteError().c_str()));
        }
    };
    services.forgetDeal = [](Game& game) {
        if (userPreferences.CurrentPlayer >= 0) DiscardSavedGame(userPreferences.CurrentPlayer, game.gameNumber);
    };
}

std::optional<SavedGame> KeptDeal(int gameNumber, std::string* keptAs) {
    if (userPreferences.CurrentPlayer < 0) return std::nullopt;
    return ReadSavedGame(userPreferences.CurrentPlayer, gameNumber, keptAs);
}

void RestoreKeptRules(const GameDescriptor& game, const SavedGame& saved) {
    RegistryBatch batch;
    const SettingsKey key(GameSettingsPath(game.name));
    for (const RuleOption& option : game.rules.options) {
        if (!option.valueName) continue;
        for (const auto& [name, text] : saved.rules) {
            if (name != option.valueName) continue;
            if (StoredAsText(option)) {
                WriteStringValue(key, name, text);
            } else {
                char* end = nullptr;
                const long value = std::strtol(text.c_str(), &end, 10);
                if (end && *end == '\0' && !text.empty()) WriteDwordValue(key, name, static_cast<int32_t>(value));
            }
        }
    }
}

bool AskToContinue() {
    ContinueDialog dialog;
    return dialog.RunModal() != ContinueDialog::kNewDeal;
}

