#include "framework/winnable.h"

#include "framework/finish.h"
#include "platform/translation.h"
#include "framework/game.h"
#include "framework/game_services.h"
#include "platform/backend.h"
#include "store/settings_store.h"
#include "ui/controls.h"

namespace {

constexpr const char* kValueName = "WinnableDealsOnly";

// Preferences\<player>\<game name>; none while no player is known.
std::optional<std::string> ChoicePath(const std::string& gameName) {
    if (userPreferences.CurrentPlayer < 0) return std::nullopt;
    return PlayerPreferencesPath(userPreferences.CurrentPlayer) + "\\" + gameName;
}

}  // namespace

bool WinnableDealsOnly(const std::string& gameName) {
    const std::optional<std::string> path = ChoicePath(gameName);
    if (!path) return false;
    SettingsKey key(*path);
    return ReadDwordValue(key, kValueName, 0) != 0;
}

void SetWinnableDealsOnly(const std::string& gameName, bool on) {
    const std::optional<std::string> path = ChoicePath(gameName);
    if (!path) return;
    SettingsKey key(*path);
    WriteDwordValue(key, kValueName, on ? 1 : 0);
}

bool WinnableDealer::Begin(Game& game, bool replacingDeal) {
    Cancel();
    if (dealing || !Services().startWinnableSearch || !WinnableDealsOnly(game.GetName())) return false;
    search = Services().startWinnableSearch(game, game.FreshDealNumber());
    if (!search) return false;
    replacing = replacingDeal;
    startedAt = GetTickCount64();
    return true;
}

void WinnableDealer::Cancel() {
    search.reset();
    progressShown = false;
}

void WinnableDealer::Toggle(Game& game) {
    MenuItem* item = CommandItem(game.OptionsMenu(), kCommandWinnableOnly);
    const bool on = item ? !item->IsChecked() : !WinnableDealsOnly(game.GetName());
    SetWinnableDealsOnly(game.GetName(), on);
    if (item) item->SetChecked(on);
    choiceShown = true;
}

void WinnableDealer::Tick(Game& game) {
    if (!choiceShown) {
        choiceShown = true;
        if (MenuItem* item = CommandItem(game.OptionsMenu(), kCommandWinnableOnly))
            item->SetChecked(WinnableDealsOnly(game.GetName()));
    }
    // The deal made below redraws the table, which ticks again.
    if (!search || dealing) return;
    if (!search->Ready()) {
        if (!progressShown && GetTickCount64() - startedAt >= kProgressAfterMs) {
            progressShown = true;
            savedStatus = game.statusLeft;
            game.SetStatusLeft(Translate(kProgressText));
        }
        return;
    }
    // The deal found waits for the table to be uncovered.
    if (TableCovered()) return;
    const std::optional<uint32_t> found = search->Found();
    if (progressShown) game.SetStatusLeft(savedStatus.c_str());
    Cancel();
    dealing = true;
    // The stand-in on the table may be the very deal found.
    if ((found || !replacing) && !(replacing && found == game.dealNumber)) {
        game.ClearHotspots();
        game.Deal(true, found ? *found : game.FreshDealNumber());
    }
    dealing = false;
    if (!found && Services().showMessage) Services().showMessage(Translate(kNotFoundText));
}
