// What a game needs from the rest of the program beyond drawing: sounds, music, the full-screen
// pictures, the modal dialogs and leaving the game. Each is a replaceable function, so the shell
// can connect what it owns, tests can record what a game asked for, and benchmarks can run a
// whole deal silently. ResetGameServices() puts back the defaults named beside each hook.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

class Game;
class HintSearch;
class VerdictSearch;
class LineSearch;
class WinnableSearch;
struct PlayModelOps;

struct GameServices {
    // PlaySoundEffect: starts "SFX\<name>" and returns at once.
    std::function<void(const char* name)> playSound;
    // SetGameMusic and SetEndMusic.
    std::function<void()> setGameMusic;
    std::function<void(bool won)> setEndMusic;
    // The win or lose picture. Default: nothing; the shell connects ShowEndScreen, which needs
    // the shell's own artwork and message handling.
    std::function<void(bool won)> showEndScreen;
    // A message box with an OK button and no title ("There are no moves left.").
    std::function<void(const char* text)> showMessage;
    // The high-score table of a game in its end-of-game form; returns the dialog's result
    // (HighScoresDialog::kPlayAgain asks for a new deal).
    std::function<int(const std::string& gameName, int32_t finalScore)> showEndHighScores;
    // The high-score table in its menu form.
    std::function<void(const std::string& gameName)> showHighScores;
    // "Main Menu": default posts an Escape key-down to the main window, so the shell leaves the
    // game exactly as it does for the key.
    std::function<void()> leaveGame;
    // "Exit": default shows the exit screen, then destroys the main window.
    std::function<void()> exitProgram;
    // "Music...": default runs the music dialog; returns its result.
    std::function<int()> musicDialog;
    // "Choose Deal...": default runs the deal dialog, starting from the current number; none
    // when cancelled.
    std::function<std::optional<uint32_t>(uint32_t current)> chooseDeal;
    // "About...": default runs the About box.
    std::function<void()> aboutDialog;

    // The appearance choosers and the rule dialogs, which live above the framework; the shell
    // connects them, and left empty (tests) the commands do nothing.
    std::function<void(Game&)> chooseCardBack;      // 1106
    std::function<void(Game&)> chooseCardFront;     // 1109
    std::function<void(Game&)> chooseBackground;    // 1110
    std::function<int(Game&)> gameSettingsDialog;   // 1114; 1 restarts the game
    std::function<void(Game&)> rulesSummary;        // 1210
    std::function<void(const std::string& gameName)> rulesText;  // 1301

    // Statistics and resuming: "&Statistics..." (View menu), and the saved copy of an unfinished
    // deal, written after its moves and when it is left for resuming, discarded at its end. Left
    // empty (tests of single games), nothing is shown or saved.
    std::function<void(Game&)> showStatistics;  // 1214
    std::function<void(Game&)> keepDeal;
    std::function<void(Game&)> forgetDeal;

    // Starts a search for a hint in the game's position; empty (or returning null), a hint shows
    // the first move the game offers.
    std::function<std::unique_ptr<HintSearch>(Game&)> startHintSearch;

    // Starts a search for the verdict on the game's position (empty, or returning null: no verdict).
    std::function<std::unique_ptr<VerdictSearch>(Game&)> startVerdictSearch;

    // Starts a search for the line Demo plays from the game's position (empty, or null: no demo).
    std::function<std::unique_ptr<LineSearch>(Game&)> startLineSearch;

    // The model of play of a game number (none: "Finish" is never offered).
    std::function<const PlayModelOps*(int gameNumber)> playModel;
    // Starts a search for a winnable deal, trying numbers from `first` on; empty (or returning
    // null), "Winnable Deals Only" deals as usual.
    std::function<std::unique_ptr<WinnableSearch>(Game&, uint32_t first)> startWinnableSearch;

    // Card slides. Off, a slide draws the cards straight at their target (benchmarks, and the
    // autoplayer, which would otherwise spend most of its time sliding).
    bool animate = true;
};

GameServices& Services();
void ResetGameServices();
