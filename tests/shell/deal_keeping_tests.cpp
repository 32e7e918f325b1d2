// Statistics and deals kept for resuming, through the real program on the scripted back end: the
// moves are made with the mouse where the table makes them, the commands through the menus.
#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "draw/draw.h"
#include "framework/game.h"
#include "framework/undo_journal.h"
#include "games/game_registry.h"
#include "platform/host_events.h"
#include "platform/scripted_backend.h"
#include "shell/shell.h"
#include "store/saved_game.h"
#include "store/settings_store.h"
#include "store/statistics.h"
#include "tests/hooks/test_hooks.h"
#include "tests/shell/shell_fixture.h"
#include "ui/dialog.h"
#include "ui/toolkit.h"
#include "ui/window.h"

namespace {

using namespace shell_test;

constexpr int kBlockSolitaire = 4, kKlondike = 12;
constexpr int kPlayer = kFirstPlayerNumber;
constexpr uint64_t kStepMs = 300;
constexpr uint64_t kEndPictureMs = 6000;
// The status line's time field, the one part of the table that runs on while the deal is away.
constexpr int kTimeFieldLeft = 476, kTimeFieldRight = 780, kTimeFieldTop = 550, kTimeFieldBottom = 580;

// What a deal looks like from outside: the table, the panel and status texts, the undo files.
struct DealView {
    std::vector<Pixel> table;
    int32_t points = 0;
    int elapsed = 0, moves = 0;
    std::array<std::string, 4> status;
    std::vector<std::vector<uint8_t>> undoFiles;

    static DealView Of(Game& game) {
        DealView view;
        const Pixel* pixels = BufferPixels(ScreenBuffer());
        for (int y = 0; y < kScreenHeight; ++y)
            for (int x = 0; x < kScreenWidth; ++x) {
                const bool clock = x >= kTimeFieldLeft && x <= kTimeFieldRight && y >= kTimeFieldTop && y <= kTimeFieldBottom;
                view.table.push_back(clock ? 0 : pixels[y * kScreenWidth + x] & 0xFFFFFF);
            }
        view.points = game.points;
        view.elapsed = game.ElapsedSeconds();
        view.moves = game.MovesMade();
        std::copy_n(game.StatusFields().begin(), view.status.size(), view.status.begin());
        for (int n = 1; n <= game.undo.Count(); ++n) view.undoFiles.push_back(test_support::ReadBytes(UndoJournal::RecordPath(n)));
        return view;
    }
};

// The text of the message box on screen, or empty.
std::string OpenMessage() {
    for (Window* panel : OpenPanels())
        if (const auto* box = dynamic_cast<const MessageBox*>(panel)) return box->Message();
    return {};
}

class DealKeepingTest : public ShellTest {
protected:
    void TearDown() override {
        SetBackend(&backend);
        ShellTest::TearDown();
    }
    // Plays a move for each letter, one step apart, the way the mouse makes it, then `then` (at
    // once when the game is over or has no move left): the move of the game's model that scores
    // most ('*'), a stock move first ('s') or any other first ('b').
    void PlayPattern(std::string pattern, std::function<void()> then) {
        Game* game = CurrentGame();
        MoveList moves;
        if (!pattern.empty() && game && !game->gameOver) game->PlayMoves(moves);
        const std::string position = moves.empty() ? std::string() : game->PositionBytes();
        std::optional<std::pair<bool, int>> bestRank;
        MoveGesture best, gesture;
        for (const PlayMove& move : moves) {
            std::vector<uint64_t> copy(position.size() / 8 + 2);
            std::memcpy(copy.data(), position.data(), position.size());
            const std::pair<bool, int> rank{pattern[0] == '*' || (move.kind == PlayMove::kStock) == (pattern[0] == 's'),
                                            FindGame(game->gameNumber)->model->apply(copy.data(), move)};
            if ((!bestRank || rank > *bestRank) && game->GestureFor(move, gesture)) best = gesture, bestRank = rank;
        }
        if (!bestRank) {
            script->After(kStepMs, then);
            return;
        }
        PostGesture(*script, best);
        script->After(kStepMs, [this, rest = pattern.substr(1), then] { PlayPattern(rest, then); });
    }
    // Best moves until the game is over or `count` moves are made.
    void PlayMoves(int count, std::function<void()> then) { PlayPattern(std::string(count, '*'), std::move(then)); }
    // Opens a menu of the bar and chooses one of its items.
    void Choose(const char* menu, const char* item, std::function<void()> then) {
        ASSERT_TRUE(PostClickOnControl(*script, menu)) << menu;
        script->After(kStepMs, [this, item, then] {
            ASSERT_TRUE(PostClickOnControl(*script, item)) << item;
            script->After(kStepMs, then);
        });
    }
    // Each run of the program has a back end of its own, as a new process would, and starts
    // without a deal asked for.
    bool RunOnce() {
        const bool ended = RunApplication() == 0;
        RequestStartingDeal(0, std::nullopt);
        runs.push_back(std::make_unique<ScriptedBackend>());
        script = runs.back().get();
        SetBackend(script);
        return ended;
    }
    // Escape leaves the table, then the program.
    void LeaveByEscape() {
        script->PressKey(kStepMs, kHidEscape);
        script->PressKey(kStepMs, kHidEscape);
    }
    // A new run that chooses the game on the selection screen and continues its kept deal.
    void ContinueKeptDeal(int gameNumber) {
        Begin();
        StartFromSelection(500, gameNumber);
        script->PressKey(1000, kHidC);
    }
    // A start with a deal asked for has no logo to end.
    void Begin(bool logo = true) {
        Activate(10);
        if (logo) EndLogo(10);
    }

    // A logout's SIGTERM, or the window's close button.
    void CloseOrTerminate(bool bySignal) {
        if (bySignal) {
            std::raise(SIGTERM);
            return;
        }
        HostEvent quit;
        quit.kind = HostEvent::Quit;
        script->PostHost(0, quit);
    }

    std::vector<std::unique_ptr<ScriptedBackend>> runs;
};

TEST_F(DealKeepingTest, StatisticsCountAWonALostAndAnAbandonedDeal) {
    RequestStartingDeal(kBlockSolitaire, 7);
    Begin(false);
    bool won = false;
    script->At(1000, [&] {
        PlayMoves(500, [&] {
            won = CurrentGame() && CurrentGame()->gameOver && CurrentGame()->IsWon();
            // The win picture, then the high-score table, which Escape closes.
            script->PressKey(kEndPictureMs, kHidEscape);
            script->After(kStepMs, [&] {
                Choose("&Game", "&New Game", [&] {
                    PlayMoves(1, [&] {
                        Choose("&Game", "&End Game", [&] {
                            script->PressKey(kEndPictureMs, kHidEscape);
                            script->After(kStepMs, [&] {
                                Choose("&Game", "&New Game", [&] {
                                    PlayMoves(2, [&] {
                                        Choose("&Game", "&New Game", [&] {
                                            LeaveByEscape();
                                        });
                                    });
                                });
                            });
                        });
                    });
                });
            });
        });
    });
    EXPECT_TRUE(RunOnce());
    ASSERT_TRUE(won) << "greedy play wins Block Solitaire";
    const GameStatistics figures = ReadStatistics(kPlayer, "Block Solitaire");
    EXPECT_EQ(figures.played, 3);
    EXPECT_EQ(figures.won, 1);
    EXPECT_EQ(figures.streak, 0);
    EXPECT_EQ(figures.bestStreak, 1);
    EXPECT_EQ(figures.scored, 2) << "the abandoned deal has no final score";
    EXPECT_GT(figures.fastestWin, 0);
    EXPECT_GE(figures.secondsPlayed, figures.fastestWin);
    // The deal the last New Game dealt was never moved in: it counts for nothing.
    EXPECT_FALSE(HasSavedGame(kPlayer, kBlockSolitaire));
}

// In every game, after moves and stock turns, leaving keeps the deal; choosing the game again
// offers it, and Continue shows the very screen that was left (the clock's digits aside: the
// fanned waste, the stock's turns and the move count too) with its points, time and undo files.
// Undo then works back into the kept history. The games take turns to leave by Escape, by Exit
// and by a logout's SIGTERM.
TEST_F(DealKeepingTest, LeavingKeepsTheDealAndContinueRestoresItExactlyInEveryGame) {
    enum class Leave { kEscape, kExit, kSigterm };
    int turn = 0;
    for (const GameDescriptor& entry : RegisteredGames()) {
        const Leave how = static_cast<Leave>(turn++ % 3);
        SCOPED_TRACE(std::string(entry.name) + (how == Leave::kEscape ? ", Escape" : how == Leave::kExit ? ", Exit" : ", SIGTERM"));
        RequestStartingDeal(entry.number, 2718);
        Begin(false);
        DealView left;
        bool over = false, outlivedSignal = false;
        script->At(1000, [&] {
            PlayPattern("sbsbbs", [&] {
                if (Game* game = CurrentGame()) left = DealView::Of(*game), over = game->gameOver;
                if (how == Leave::kSigterm) {
                    std::raise(SIGTERM);  // the next message taken is WM_CLOSE
                    script->After(5000, [&] { outlivedSignal = true; });
                } else if (how == Leave::kExit && !over) {
                    Choose("&Game", "E&xit", [&] { script->PressKey(kStepMs, kHidEscape); });
                } else {
                    LeaveByEscape();
                    script->PressKey(kStepMs, kHidEscape);
                }
            });
        });
        EXPECT_TRUE(RunOnce());
        EXPECT_FALSE(outlivedSignal);
        if (over) continue;  // a deal played to its end is not kept
        ASSERT_GT(left.moves, 0);
        ASSERT_TRUE(HasSavedGame(kPlayer, entry.number));
        EXPECT_EQ(ReadStatistics(kPlayer, entry.name).played, 1);

        ContinueKeptDeal(entry.number);
        DealView back;
        int32_t pointsAfterUndo = 0;
        int movesAfterUndo = -1, recordsAfterUndo = -1;
        script->After(kStepMs, [&] {
            if (Game* game = CurrentGame()) back = DealView::Of(*game);
            Choose("&Game", "&Undo", [&] {
                if (Game* game = CurrentGame())
                    pointsAfterUndo = game->points, movesAfterUndo = game->MovesMade(), recordsAfterUndo = game->undo.Count();
                LeaveByEscape();
            });
        });
        EXPECT_TRUE(RunOnce());
        EXPECT_EQ(back.moves, left.moves);
        EXPECT_EQ(back.points, left.points);
        // The snapshot was taken a moment before leaving saved the time.
        EXPECT_GE(back.elapsed, left.elapsed);
        EXPECT_LE(back.elapsed, left.elapsed + 1);
        for (int field = 0; field < 3; ++field) EXPECT_EQ(back.status[field], left.status[field]) << field;
        EXPECT_TRUE(back.table == left.table) << "the table differs from the one left";
        EXPECT_EQ(back.undoFiles, left.undoFiles);
        // One record goes: one move, but in Agnes the stock's last short round is a record of its own.
        EXPECT_EQ(recordsAfterUndo, static_cast<int>(left.undoFiles.size()) - 1);
        if (std::string_view(entry.name) != "Agnes") {
            EXPECT_EQ(movesAfterUndo, left.moves - 1);
        }
        EXPECT_LE(pointsAfterUndo, left.points);
        // Still unfinished, still counted once.
        EXPECT_EQ(ReadStatistics(kPlayer, entry.name).played, 1);
        EXPECT_TRUE(HasSavedGame(kPlayer, entry.number));
        DiscardSavedGame(kPlayer, entry.number);
    }
}

// New Deal at the offer loses the kept deal and deals another; a window close keeps a deal too.
TEST_F(DealKeepingTest, NewDealAtTheOfferCountsTheKeptDealAsLost) {
    RequestStartingDeal(kKlondike, 99);
    Begin();
    script->At(1000, [&] {
        PlayMoves(3, [&] { CloseOrTerminate(false); });
    });
    EXPECT_TRUE(RunOnce());
    ASSERT_TRUE(HasSavedGame(kPlayer, kKlondike));
    EXPECT_EQ(ReadStatistics(kPlayer, "Klondike").played, 1);
    EXPECT_EQ(ReadStatistics(kPlayer, "Klondike").secondsPlayed, 0);

    Begin();
    StartFromSelection(500, kKlondike);
    script->PressKey(kStepMs, kHidN);                  // New Deal
    script->PressKey(kStepMs, kHidA + ('s' - 'a'));   // "&Start" in Klondike's rule dialog
    uint32_t deal = 0;
    int moves = -1;
    script->After(kStepMs, [&] {
        if (Game* game = CurrentGame()) deal = game->dealNumber, moves = game->MovesMade();
        LeaveByEscape();
    });
    EXPECT_TRUE(RunOnce());
    EXPECT_NE(deal, 99u);
    EXPECT_EQ(moves, 0);
    const GameStatistics figures = ReadStatistics(kPlayer, "Klondike");
    EXPECT_EQ(figures.played, 1);
    EXPECT_EQ(figures.won, 0);
    EXPECT_GT(figures.secondsPlayed, 0);
    EXPECT_FALSE(HasSavedGame(kPlayer, kKlondike));
}

// Every kind of nested loop ends on SIGTERM (a logout) and on the window's close button alike, at
// once, without the game it was working for: the logo, the player dialog at a first start, a
// message box, the end picture, the exit screen, a dialog opened by a game command and the offer
// to continue (which ends as if cancelled). A deal in progress is kept whole.
TEST_F(DealKeepingTest, EveryModalLoopEndsOnSigtermOrCloseKeepingTheDeal) {
    enum class Loop { kLogo, kPlayerDialog, kMessageBox, kEndPicture, kExitScreen, kChooseDeal, kGameSettings, kOffer };
    struct Case {
        Loop loop;
        const char* name;
        bool keepsDeal;
    };
    // The offer comes last: it offers the deal the case before it kept.
    const Case cases[] = {{Loop::kLogo, "the logo", false},
                          {Loop::kPlayerDialog, "the player dialog", false},
                          {Loop::kMessageBox, "a message box", true},
                          {Loop::kEndPicture, "the end picture", false},
                          {Loop::kChooseDeal, "Choose Deal", true},
                          {Loop::kGameSettings, "Game Settings", true},
                          {Loop::kExitScreen, "the exit screen", true},
                          {Loop::kOffer, "the offer to continue", true}};
    int movesLeft = -1;
    for (const Case& c : cases) {
        for (const bool bySignal : {true, false}) {
            SCOPED_TRACE(std::string(c.name) + (bySignal ? ", SIGTERM" : ", closed"));
            int depth = 0;
            bool outlived = false;
            auto leave = [&] {
                depth = ModalLoopDepth();
                if (CurrentGame()) movesLeft = CurrentGame()->MovesMade();
                CloseOrTerminate(bySignal);
                script->After(2000, [&] { outlived = true; });
            };
            // The end picture comes once the table has ended its game.
            std::function<void()> leaveOnceInLoop = [&] {
                if (ModalLoopDepth() > 0) leave();
                else script->After(100, leaveOnceInLoop);
            };
            if (c.loop != Loop::kOffer) DiscardSavedGame(kPlayer, kKlondike), movesLeft = -1;
            Begin(c.loop != Loop::kLogo);
            switch (c.loop) {
            case Loop::kLogo:
                script->At(1000, leave);
                break;
            case Loop::kPlayerDialog:
                SetRegistryFile((runtimeDir / (std::string("fresh-") + (bySignal ? "a" : "b") + ".reg")).string());
                script->At(1000, leave);
                break;
            case Loop::kOffer:
                StartFromSelection(500, kKlondike);
                script->After(1000, leave);
                break;
            default:
                RequestStartingDeal(kKlondike, 4242);
                script->At(1000, [&] {
                    PlayMoves(2, [&] {
                        if (c.loop == Loop::kMessageBox) {
                            // Reset in the statistics, which asks Yes or No.
                            Choose("&View", "&Statistics...", [&] {
                                script->Click(0, 30 + 400 + 45, 40 + 470 + 15);
                                script->After(kStepMs, leave);
                            });
                        } else if (c.loop == Loop::kEndPicture) {
                            Choose("&Game", "&End Game", leaveOnceInLoop);
                        } else if (c.loop == Loop::kExitScreen) {
                            Choose("&Game", "E&xit", leave);
                        } else if (c.loop == Loop::kChooseDeal) {
                            Choose("&Game", "&Choose Deal...", leave);
                        } else {
                            Choose("&Options", "&Game Settings...", leave);
                        }
                    });
                });
                break;
            }
            EXPECT_TRUE(RunOnce());
            SetRegistryFile((runtimeDir / "settings.reg").string());
            // The message box is open over the statistics.
            EXPECT_GE(depth, c.loop == Loop::kMessageBox ? 2 : 1);
            EXPECT_FALSE(outlived);
            EXPECT_EQ(CurrentGame(), nullptr);
            if (c.keepsDeal) {
                const std::optional<SavedGame> kept = ReadSavedGame(kPlayer, kKlondike);
                ASSERT_TRUE(kept);
                EXPECT_EQ(kept->dealNumber, 4242u);
                EXPECT_GT(movesLeft, 0);
                EXPECT_EQ(static_cast<int>(kept->history.size()), movesLeft);
            }
        }
    }
}

// Deals kept after moves are synced by a thread of their own: the newest copy is the one read
// back, a discard is never undone by a sync still waiting, and no temporary file is left behind.
TEST_F(DealKeepingTest, KeptCopiesArriveInOrderAndADiscardStands) {
    SavedGame saved;
    saved.gameNumber = kKlondike;
    saved.table = {1, 2, 3};
    for (int32_t points = 1; points <= 20; ++points) {
        saved.points = points;
        WriteSavedGameSoon(kPlayer, saved);
    }
    const std::optional<SavedGame> read = ReadSavedGame(kPlayer, kKlondike);
    ASSERT_TRUE(read);
    EXPECT_EQ(read->points, 20);
    for (int round = 0; round < 20; ++round) {
        WriteSavedGameSoon(kPlayer, saved);
        DiscardSavedGame(kPlayer, kKlondike);
        ASSERT_FALSE(HasSavedGame(kPlayer, kKlondike)) << round;
    }
    const auto folder = std::filesystem::path(SavedGamePath(kPlayer, kKlondike)).parent_path();
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        EXPECT_EQ(entry.path().filename().string().find(".new"), std::string::npos) << entry.path();
}

// The position and the records' notes (the waste's fan among them) read back as written, and a
// deal kept by an older version of the file still reads and writes back to the same bytes.
TEST_F(DealKeepingTest, AKeptDealReadsBackWholeAndAnOlderFileStillReads) {
    SavedGame saved;
    saved.gameNumber = kKlondike;
    saved.table = {1, 2, 3};
    saved.history = {{4, 5}, {6}};
    const std::vector<uint8_t> first = EncodeSavedGame(saved);
    saved.position = {7, 8, 9};
    saved.notes = {{11, 12, false, std::nullopt}, {12, 0, true, std::nullopt}};
    const std::vector<uint8_t> second = EncodeSavedGame(saved);
    saved.notes = {{11, 12, false, -1}, {12, 0, true, std::nullopt}};
    std::optional<SavedGame> read = DecodeSavedGame(EncodeSavedGame(saved));
    ASSERT_TRUE(read);
    EXPECT_EQ(read->position, saved.position);
    EXPECT_EQ(read->notes, saved.notes);
    for (const std::vector<uint8_t>& older : {first, second}) {
        read = DecodeSavedGame(older);
        ASSERT_TRUE(read);
        EXPECT_EQ(read->history, saved.history);
        for (const SavedRecordNote& note : read->notes) EXPECT_FALSE(note.wasteFanned);
        EXPECT_EQ(EncodeSavedGame(*read), older);
    }
}

// Nothing is lost without a word: a damaged kept deal is set aside and the player is told so on
// screen, naming the file, before the game starts as usual.
TEST_F(DealKeepingTest, ADamagedKeptDealIsSetAsideSaidOnScreenAndTheGameStarts) {
    userPreferences.CurrentPlayer = kPlayer;
    const std::string path = SavedGamePath(kPlayer, kKlondike);
    std::ofstream(path, std::ios::binary) << "QFSG this is not a saved game";
    Begin();
    StartFromSelection(500, kKlondike);
    std::string notice;
    script->After(kStepMs, [&] { notice = OpenMessage(); });
    script->PressKey(kStepMs, kHidEnter);             // OK
    script->PressKey(kStepMs, kHidA + ('s' - 'a'));  // then the rule dialog's "&Start"
    bool running = false;
    script->After(kStepMs, [&] {
        running = CurrentGame() && CurrentGame()->MovesMade() == 0;
        LeaveByEscape();
    });
    testing::internal::CaptureStderr();
    EXPECT_TRUE(RunOnce());
    const std::string message = testing::internal::GetCapturedStderr();
    EXPECT_TRUE(running);
    EXPECT_NE(message.find("damaged"), std::string::npos) << message;
    EXPECT_FALSE(std::filesystem::exists(path));
    std::string aside;
    for (const auto& entry : std::filesystem::directory_iterator(std::filesystem::path(path).parent_path()))
        if (entry.path().filename().string().rfind("player20-game12.sav.bad-", 0) == 0) aside = entry.path().string();
    ASSERT_FALSE(aside.empty());
    EXPECT_NE(notice.find("could not be read"), std::string::npos) << notice;
    EXPECT_NE(notice.find(aside), std::string::npos) << notice;
}

// A state folder that cannot be written: the player is told once, on screen and naming the
// folder, at the first move that cannot be kept; play goes on, and every later move tries again.
TEST_F(DealKeepingTest, ADealThatCannotBeKeptIsSaidOnceOnScreen) {
    const std::filesystem::path blocker = runtimeDir / "not-a-folder";
    std::ofstream(blocker) << "a file where the state folder should be";
    const ScopedEnvironment state("XDG_STATE_HOME", blocker.string());
    RequestStartingDeal(kKlondike, 4242);
    Begin();
    std::vector<std::string> notices;
    int moves = 0;
    auto look = [&] {
        if (const std::string text = OpenMessage(); !text.empty()) notices.push_back(text);
        if (!OpenMessage().empty()) script->PressKey(0, kHidEnter);
    };
    script->At(1000, [&] {
        PlayMoves(1, [&] {
            look();
            script->After(kStepMs, [&] {
                PlayMoves(2, [&] {
                    look();
                    moves = CurrentGame() ? CurrentGame()->MovesMade() : -1;
                    LeaveByEscape();
                });
            });
        });
    });
    EXPECT_TRUE(RunOnce());
    EXPECT_EQ(moves, 3);
    ASSERT_EQ(notices.size(), 1u);
    EXPECT_NE(notices[0].find("cannot be kept"), std::string::npos) << notices[0];
    EXPECT_NE(notices[0].find(blocker.string()), std::string::npos) << notices[0];
}

// The settings file damaged (its whole entries, the player among them, are kept) or unreadable:
// said on screen at start, before anything is chosen, naming the file.
TEST_F(DealKeepingTest, SettingsFileTroubleIsSaidOnScreenAtStart) {
    const std::string file = (runtimeDir / "settings.reg").string();
    for (const bool damaged : {true, false}) {
        SCOPED_TRACE(damaged ? "damaged" : "unreadable");
        if (damaged) {
            std::ofstream(file, std::ios::app) << "this line is not a settings line\n";
        } else {
            std::filesystem::remove(file);
            std::filesystem::create_directory(file);
        }
        SetRegistryFile(file);
        Begin();
        std::string notice;
        bool playerKnown = false;
        script->At(1000, [&] {
            notice = OpenMessage();
            script->PressKey(0, kHidEnter);
            script->After(kStepMs, [&] {
                playerKnown = ModalLoopDepth() == 0;  // no player dialog
                script->PressKey(kStepMs, kHidEscape);
            });
        });
        EXPECT_TRUE(RunOnce());
        if (damaged) {
            EXPECT_TRUE(playerKnown);
            EXPECT_NE(notice.find("was damaged"), std::string::npos) << notice;
            EXPECT_NE(notice.find(file + ".bad-"), std::string::npos) << notice;
        } else {
            EXPECT_NE(notice.find("will not be saved this run"), std::string::npos) << notice;
            EXPECT_NE(notice.find(file), std::string::npos) << notice;
        }
    }
}

}  // namespace
