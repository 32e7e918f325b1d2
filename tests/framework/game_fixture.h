// A headless game table for the tests: the scripted back end, a main window whose procedure
// routes messages to the game the way the shell does, the screen buffer, the artwork and the
// toolkit, a private settings file and undo folder, and game services that record what the game
// asked for instead of opening dialogs.
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "framework/game.h"
#include "framework/game_services.h"
#include "games/game_registry.h"
#include "platform/backend.h"
#include "platform/keys.h"
#include "platform/messages.h"
#include "platform/paths.h"
#include "platform/settings_file.h"
#include "platform/scripted_backend.h"
#include "artwork/artwork.h"
#include "store/dialogs/high_scores_dialog.h"
#include "store/settings_store.h"
#include "ui/controls.h"
#include "ui/toolkit.h"
#include "tests/test_support.h"

class GameTest : public ::testing::Test {
protected:
    static constexpr uintptr_t kPanelTimer = 2;

    void SetUp() override {
        setenv("XDG_RUNTIME_DIR", folder.c_str(), 1);
        SetRegistryFile(folder + "/settings.reg");
        userPreferences.AutoGameOver = 1;
        userPreferences.SoundEnabled = 1;
        userPreferences.MusicEnabled = 0;
        userPreferences.CurrentPlayer = -1;
        userPreferences.HumanName = "Tester";
        userPreferences.AnimationSpeed = kAnimationNormal;
        userPreferences.ShowTargets = 1;

        backend = MakeBackend();
        SetBackend(backend.get());
        current = this;
        window = CreateMainWindow("game test", 800, 600, &Procedure);
        ASSERT_NE(window, nullptr);
        ShowMainWindow(window);
        InitBuffers();
        SetBufferDepth(32);
        screen = CreateBuffer(800, 600);
        ASSERT_GE(screen, 0);
        SelectBuffer(screen);
        artwork = std::make_unique<Artwork>();
        artwork->Init(screen, window, 0);
        InitToolkit(window, screen, kToolkitSubPanelEvents);
        BuildColorTable();
        SetRegularFont("windb_10.fgf");
        PresentHooks hooks;
        hooks.addDirty = [](int l, int t, int r, int b) { current->artwork->AddDirty({l, t, r, b}); };
        hooks.presentDirty = [] { current->artwork->PresentDirty(); };
        SetPresentHooks(hooks);
        artwork->LoadTheme(0);

        ResetGameServices();
        GameServices& services = Services();
        services.playSound = [this](const char* name) { sounds.emplace_back(name); };
        services.setGameMusic = [] {};
        services.setEndMusic = [this](bool won) { endMusic.push_back(won); };
        services.showEndScreen = [this](bool won) { endScreens.push_back(won); };
        services.showMessage = [this](const char* text) { messages.emplace_back(text); };
        services.showEndHighScores = [this](const std::string&, int32_t score) {
            highScoreDialogs.push_back(score);
            return highScoreResult;
        };
        services.exitProgram = [this] { ++exits; };
        services.animate = animate;
    }

    void TearDown() override {
        game.reset();
        SetPresentHooks(PresentHooks{});
        ShutdownToolkit();
        artwork.reset();
        FreeBuffer(screen);
        if (IsWindow(window)) DestroyWindow(window);
        ResetGameServices();
        SetBackend(nullptr);
        backend.reset();
        current = nullptr;
        SetRegistryFile(folder + "/unused.reg");
    }

    // A test may put a back end of its own making in place of the plain scripted one.
    virtual std::unique_ptr<ScriptedBackend> MakeBackend() { return std::make_unique<ScriptedBackend>(); }

    // The game starts as the shell starts it: constructed, then its first deal.
    template <typename T>
    T& Start(std::optional<uint32_t> seed = std::nullopt) {
        auto made = std::make_unique<T>(artwork.get());
        T& result = *made;
        game = std::move(made);
        if (seed) game->deck.Seed(*seed);
        game->NewGame(false);
        sounds.clear();
        return result;
    }

    // Game `number` dealt as the program deals it with the shuffle seeded by `seed`.
    Game& DealSeeded(int number, unsigned seed) {
        game = FindGame(number)->create(artwork.get());
        game->deck.Seed(seed);
        game->NewGame(false);
        sounds.clear();
        return *game;
    }

    // The shell's routing: the menu bar first, then the table.
    static LRESULT Procedure(HWND hwnd, uint32_t message, WPARAM wParam, LPARAM lParam) {
        GameTest* test = current;
        const bool input = message == WM_KEYDOWN || message == WM_SYSKEYDOWN || message == WM_SYSKEYUP ||
                           (message >= WM_MOUSEMOVE && message <= WM_RBUTTONDBLCLK);
        if (input && test && test->game) {
            TranslateInput(hwnd, message, wParam, lParam);
            if (test->game->HandleMenuEvent() || test->game->IsMenuOpen()) return 0;
        }
        if (!test || !test->game) return message == WM_CLOSE ? 0 : DefWindowProc(hwnd, message, wParam, lParam);
        switch (message) {
        case WM_LBUTTONDOWN:
        case WM_LBUTTONUP:
        case WM_MOUSEMOVE:
        case WM_LBUTTONDBLCLK:
            test->game->HandleMouseMessage(message, wParam, LowWord(lParam), HighWord(lParam));
            return 0;
        case WM_KEYUP:
            test->game->HandleKey(message, wParam);
            return 0;
        case WM_KEYDOWN:
            if (test->game->HandleKey(message, wParam)) return 0;
            if (wParam == VK_ESCAPE || wParam == VK_F12) {
                test->game->ClearHotspots();
                test->game.reset();
                ++test->leftGame;
            }
            return 0;
        case WM_TIMER:
            if (wParam == kPanelTimer) test->game->DrawTable(-1);
            return 0;
        case WM_CLOSE:
            return 0;
        default:
            return DefWindowProc(hwnd, message, wParam, lParam);
        }
    }

    // Handles every queued message (timers are only delivered when asked for with Tick).
    void Pump() {
        Message message;
        while (PeekMessage(&message, true)) {
            if (message.message == WM_TIMER || message.message == WM_PAINT) continue;
            DispatchMessage(&message);
        }
    }
    void Post(uint32_t message, WPARAM wParam, int x, int y) {
        if (inputLog) *inputLog += std::to_string(message) + ' ' + std::to_string(wParam) + ' ' + std::to_string(x) + ' ' +
                                   std::to_string(y) + ' ';
        PostMessage(window, message, wParam, MakeLParam(x, y));
        Pump();
    }
    void Press(int x, int y) { Post(WM_LBUTTONDOWN, MK_LBUTTON, x, y); }
    void Release(int x, int y) { Post(WM_LBUTTONUP, 0, x, y); }
    void Move(int x, int y, bool held = true) { Post(WM_MOUSEMOVE, held ? WPARAM{MK_LBUTTON} : WPARAM{0}, x, y); }
    void Click(int x, int y) {
        Move(x, y, false);
        Press(x, y);
        Release(x, y);
    }
    void DoubleClick(int x, int y) {
        Click(x, y);
        Post(WM_LBUTTONDBLCLK, MK_LBUTTON, x, y);
        Release(x, y);
    }
    // Press on one point, move there in two steps, release.
    void Drag(int fromX, int fromY, int toX, int toY) {
        Move(fromX, fromY, false);
        Press(fromX, fromY);
        Move((fromX + toX) / 2, (fromY + toY) / 2);
        Move(toX, toY);
        Release(toX, toY);
    }
    // Makes the first move the table offers, with the mouse.
    void PlayFirstMove() {
        MoveList moves;
        game->PlayMoves(moves);
        MoveGesture gesture;
        ASSERT_TRUE(!moves.empty() && game->GestureFor(moves.front(), gesture));
        Perform(gesture);
    }
    // Makes a model move the way GestureFor says the mouse makes it.
    void Perform(const MoveGesture& gesture) {
        switch (gesture.kind) {
        case MoveGesture::kClick:
            Click(gesture.fromX, gesture.fromY);
            break;
        case MoveGesture::kDoubleClick:
            DoubleClick(gesture.fromX, gesture.fromY);
            break;
        case MoveGesture::kDrag:
            Drag(gesture.fromX, gesture.fromY, gesture.toX, gesture.toY);
            break;
        case MoveGesture::kTwoClicks:
            Click(gesture.fromX, gesture.fromY);
            Click(gesture.toX, gesture.toY);
            break;
        }
    }
    // A key pressed and released, with Ctrl and Shift held when asked.
    void Key(int virtualKey, bool control = false, bool shift = false) {
        if (control) Post(WM_KEYDOWN, VK_CONTROL, 0, 0);
        if (shift) Post(WM_KEYDOWN, VK_SHIFT, 0, 0);
        Post(WM_KEYDOWN, static_cast<WPARAM>(virtualKey), 0, 0);
        Post(WM_KEYUP, static_cast<WPARAM>(virtualKey), 0, 0);
        if (shift) Post(WM_KEYUP, VK_SHIFT, 0, 0);
        if (control) Post(WM_KEYUP, VK_CONTROL, 0, 0);
    }

    // The 100 ms panel refresh of the shell.
    void Tick() {
        if (inputLog) *inputLog += "t ";
        SendMessage(window, WM_TIMER, kPanelTimer, 0);
    }
    void Wait(uint32_t ms) { SleepMs(ms); }

    // Chooses a menu command with the mouse: the title, then the item.
    bool Choose(int commandId) {
        for (Menu* menu : {game->GameCommandsMenu(), game->OptionsMenu(), game->ViewMenu(), game->HelpMenu()}) {
            for (int i = 0; i < menu->ItemCount(); ++i) {
                if (menu->Item(i)->CommandId() != commandId) continue;
                Click(menu->GetX() + menu->GetWidth() / 2, menu->GetY() + menu->GetHeight() / 2);
                if (!game) return false;
                MenuItem* item = menu->Item(i);
                Click(item->GetX() + item->GetWidth() / 2, item->GetY() + item->GetHeight() / 2);
                return true;
            }
        }
        return false;
    }

    // Whether the screen is what a full redraw of the table would make it: every incremental
    // redraw must leave the same pixels as the game's own Draw(true) with the panel and menu bar.
    // The panel is brought up to date first (the shell's 100 ms tick does that in play). On a
    // difference, says where: the bounding box of the pixels that differ.
    ::testing::AssertionResult ScreenCoherent(Game& table) {
        Tick();
        const Pixel* pixels = BufferPixels(screen);
        const int width = BufferWidth(screen), height = BufferHeight(screen);
        const std::vector<Pixel> shown(pixels, pixels + static_cast<size_t>(width) * height);
        table.Draw(true);
        Tick();
        const std::string difference = test_support::PictureDifference(shown.data(), pixels, width, height);
        if (difference.empty()) return ::testing::AssertionSuccess();
        if (onIncoherentScreen) onIncoherentScreen(shown.data(), pixels, width, height);
        return ::testing::AssertionFailure() << difference << " after a full redraw";
    }

    // Whether the window shows what the screen buffer holds (the table drawn one to one): a
    // rectangle drawn but never presented leaves them apart.
    ::testing::AssertionResult WindowShowsScreen() {
        WindowPicture picture;
        const int width = BufferWidth(screen), height = BufferHeight(screen);
        if (!backend->ReadWindow(&picture, true) || picture.tableWidth != width || picture.tableHeight != height)
            return ::testing::AssertionFailure() << "no window showing the table one to one";
        const std::string difference = test_support::WindowDifference(
            picture.pixels.data(), picture.width, picture.tableLeft, picture.tableTop, BufferPixels(screen), width, height);
        if (difference.empty()) return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure() << difference << " never reached the window";
    }

    // The screen buffer's pixels, and one of them by table coordinates (the buffer may be scaled).
    std::vector<Pixel> ScreenPixels() const {
        const Pixel* pixels = BufferPixels(screen);
        return {pixels, pixels + static_cast<size_t>(BufferWidth(screen)) * BufferHeight(screen)};
    }
    Pixel PixelAt(const std::vector<Pixel>& pixels, int x, int y) const {
        const int scale = BufferScale(screen);
        return pixels[static_cast<size_t>(y * scale) * BufferWidth(screen) + x * scale];
    }

    bool Played(const std::string& name) const { return std::find(sounds.begin(), sounds.end(), name) != sounds.end(); }

    // The names of the undo files in the runtime folder.
    std::vector<std::string> UndoFiles() const {
        std::vector<std::string> names;
        std::error_code error;
        for (const auto& entry : std::filesystem::directory_iterator(RuntimeDirectory(), error)) {
            const std::string name = entry.path().filename().string();
            if (name.rfind("UNDO", 0) == 0) names.push_back(name);
        }
        return names;
    }
    // The undo files by name, with their bytes.
    std::map<std::string, std::vector<uint8_t>> UndoFileContents() const {
        std::map<std::string, std::vector<uint8_t>> contents;
        for (const std::string& name : UndoFiles()) contents[name] = test_support::ReadBytes(RuntimeDirectory() + "/" + name);
        return contents;
    }

    // The table's undo record as SaveUndo makes it now, which must restore, then with `damage`
    // done to its game part (given an iterator to it): whether the table takes the damaged one.
    template <typename Damage>
    static bool RestoresDamagedRecord(Game& table, Damage damage) {
        table.SaveUndo();
        std::optional<std::vector<uint8_t>> record = table.PopUndoRecord();
        if (!record) {
            ADD_FAILURE() << "no undo record";
            return true;
        }
        EXPECT_TRUE(table.RestoreRecord(*record));
        damage(record->begin() + kUndoGamePartOffset);
        return table.RestoreRecord(*record);
    }

    static inline GameTest* current = nullptr;
    // When set, every posted input and panel tick is written here (golden traces replay them).
    std::string* inputLog = nullptr;
    // Called with the screen as shown and as fully redrawn when they differ (to write pictures).
    static inline std::function<void(const Pixel*, const Pixel*, int, int)> onIncoherentScreen;
    // Every move writes an undo file: a memory file system keeps thousands of them cheap.
    const test_support::TempFolder scratch{"games", true};
    const std::string folder = scratch.String();
    std::unique_ptr<ScriptedBackend> backend;
    HWND window = nullptr;
    int screen = -1;
    std::unique_ptr<Artwork> artwork;
    std::unique_ptr<Game> game;
    bool animate = false;
    int highScoreResult = 1;

    std::vector<std::string> sounds;
    std::vector<std::string> messages;
    std::vector<bool> endMusic;
    std::vector<bool> endScreens;
    std::vector<int32_t> highScoreDialogs;
    int exits = 0;
    int leftGame = 0;
};
