// "&Winnable Deals Only" (Options menu, per player and per game): a new deal comes only from deal
// numbers the solver proves winnable. The search runs beside the interface and is polled by the
// panel tick; while it runs the table takes no card moves and, after a moment, the status line
// says what is happening. A search that finds nothing in its time falls back to an ordinary deal
// with a notice. The number dealt is an ordinary deal number, so replaying or choosing it deals
// the same cards.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "platform/translation.h"

class Game;

class WinnableSearch {
public:
    virtual ~WinnableSearch() = default;
    // True once the search has ended.
    virtual bool Ready() = 0;
    // The deal number found winnable, or none.
    virtual std::optional<uint32_t> Found() = 0;
};

// The player's choice for a game, kept under the player's preferences.
bool WinnableDealsOnly(const std::string& gameName);
void SetWinnableDealsOnly(const std::string& gameName, bool on);

class WinnableDealer {
public:
    static constexpr uint64_t kProgressAfterMs = 500;
    static constexpr const char* kProgressText = TranslateLater("Looking for a winnable deal...");
    static constexpr const char* kNotFoundText =
        TranslateLater("No winnable deal was found in time: this is an ordinary deal.");

    // Starts a search for the next deal when the player wants winnable deals; false otherwise (or
    // when no search can be made), and the caller deals as usual. `replacing` says the deal on the
    // table now is a stand-in the answer replaces (the first deal of a game).
    bool Begin(Game& game, bool replacing);
    // The menu item's check mark follows the player's choice; the command flips it.
    void Toggle(Game& game);
    // Forgets a running search (a deal with a chosen number was made).
    void Cancel();
    bool Searching() const { return search != nullptr; }
    // The panel tick: deals the answer once there is one.
    void Tick(Game& game);

private:
    std::unique_ptr<WinnableSearch> search;
    bool replacing = false;
    bool progressShown = false;
    bool dealing = false;
    bool choiceShown = false;  // the check mark was set from the settings
    uint64_t startedAt = 0;
    std::string savedStatus;
};
