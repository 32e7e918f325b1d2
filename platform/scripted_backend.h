// The back end for tests and tools: no window and no devices. Time is virtual: it moves only
// when the program waits for a message or sleeps, jumping straight to the next timer or the
// next scripted step, so a whole session runs deterministically in a few milliseconds.
//
// A test writes a script of timed steps (input messages or checks), installs the back end and
// runs the real program. When the script runs out while the program waits, the back end asks
// the window to close (WM_CLOSE); if the program still waits a minute of virtual time after
// that, or the virtual clock passes its limit, ScriptedBackend::Hang is thrown so a hanging
// test fails instead of blocking. A test that wants the program to idle adds a final step.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/backend.h"
#include "platform/host_events.h"
#include "platform/scaled_window.h"
#include "platform/virtual_audio_device.h"

class ScriptedBackend : public Backend {
public:
    struct Hang : std::runtime_error {
        using std::runtime_error::runtime_error;
    };

    ScriptedBackend();
    ~ScriptedBackend() override;

    // --- Script (times are virtual milliseconds since the back end was made) ---
    // Runs action when the virtual clock reaches atMs (at once if that has passed) while the
    // program waits or peeks for messages. Steps run in time order, ties in insertion order.
    void At(uint64_t atMs, std::function<void()> action);
    // Like At, relative to the time of the last scheduled step (or now when none).
    void After(uint64_t delayMs, std::function<void()> action);
    // Convenience steps posting input the way the SDL back end would (through TranslateHostEvent).
    void MoveMouse(uint64_t delayMs, int x, int y);
    void Click(uint64_t delayMs, int x, int y);          // press and release
    void DoubleClick(uint64_t delayMs, int x, int y);    // press, release, press (clicks=2), release
    void PressKey(uint64_t delayMs, int hidScancode);    // key down and up
    void PostHost(uint64_t delayMs, const HostEvent& event);
    // Delivers a host event at once, for steps that work out their input as they run.
    void SendHost(const HostEvent& event) { Deliver(event); }
    bool ScriptDone() const { return steps.empty(); }

    // --- Host description ---
    void SetDisplayModes(std::vector<DisplayMode> modes) { displayModes = std::move(modes); }
    void SetWallClock(int64_t secondsAtStart) { wallClockStart = secondsAtStart; }
    void SetClockLimit(uint64_t ms) { clockLimitMs = ms; }
    void SetFailWindowCreation(bool fail) { failWindowCreation = fail; }
    // The window as the host shows it: its size in window pixels (0 x 0: the size the program
    // asks for), and the size full screen gives. Mouse steps then take window coordinates.
    void SetWindowSize(int width, int height);
    void SetFullScreenSize(int width, int height);
    // A device scale fixed for the run (the default, 1)...
    void SetDeviceScale(int scale) { deviceScale = frameScale = scale; }
    // ...or one that follows the window's size as the real window's does: a resize or full-screen
    // step that asks for another scale posts WM_APP_RESCALE.
    void SetScaleFollowsWindow(bool follows) { scaleFollowsWindow = follows; }
    // The scale the drawing layer draws at, as it last said (SetFrameScale).
    int FrameScale() const { return frameScale; }
    int ReplacedCursors() const { return replacedCursors; }
    void SetCannotPresent(bool cannot) { cannotPresent = cannot; }
    // Pointer moves taken at most once per this many ms, as a real display's frames pace them.
    void SetMotionPaceMs(uint32_t ms) { motionPaceMs = ms; }

    // --- What the program did ---
    // The window contents as last presented (0x00RRGGBB, width x height in window pixels, margins
    // included), empty before a window.
    const std::vector<uint32_t>& WindowPixels() const;
    int WindowWidth() const { return windowWidth; }
    int WindowHeight() const { return windowHeight; }
    bool WindowExists() const { return windowExists; }
    bool WindowVisible() const { return windowVisible; }
    int PresentCount() const { return presentCount; }
    // The frame rectangles presented in the last group that reached the display together.
    const std::vector<Rect>& LastPresentGroup() const { return lastGroup; }
    // How often the program waited for host input (each a wake-up of a real program).
    int WaitCount() const { return waitCount; }
    int RaiseCount() const { return raiseCount; }
    bool PointerVisible() const { return pointerVisible; }
    bool PointerConfined() const { return confined; }
    Rect ConfineRect() const { return confineRect; }
    int CurrentCursor() const { return currentCursor; }
    const std::vector<std::string>& MessageBoxes() const { return messageBoxes; }
    const ScaledWindow& View() const { return view; }
    uint32_t MarginColor() const { return marginColor; }

    // Backend
    bool CreateWindow(const char* title, int width, int height) override;
    void ShowWindow() override;
    void DestroyWindow() override;
    void RaiseWindow() override;
    void Present(const uint32_t* pixels, int pitchPixels, int sourceX, int sourceY, int width, int height,
                 int destX, int destY) override;
    std::vector<DisplayMode> DisplayModes() override { return displayModes; }
    void ShowMessageBox(const char* title, const char* text) override;
    void PumpEvents(bool wait, uint64_t untilMs) override;
    void WakeUp() override {}
    uint32_t MotionPaceMs() override { return motionPaceMs; }
    uint64_t NowMs() override { return nowMs; }
    int64_t WallClockSeconds() override;
    void SleepMs(uint32_t ms) override;
    void ShowPointer(bool visible) override { pointerVisible = visible; }
    void BeginPresents() override {
        if (groupDepth++ == 0) openGroup.clear();
    }
    void EndPresents() override {
        if (groupDepth > 0 && --groupDepth == 0) lastGroup = openGroup;
    }
    bool HasMouse() override { return true; }
    int CreateCursor(const CursorImage& image) override;
    void SetCursor(int handle) override { currentCursor = handle; }
    void FreeCursor(int) override {}
    void ConfinePointer(const Rect* rect) override;
    void CapturePointer(bool capture) override { captured = capture; }
    bool HostCapsLockOn() override { return false; }
    int DeviceScale() override { return deviceScale; }
    int LargestDeviceScale() override { return scaleFollowsWindow ? 3 : deviceScale; }
    void SetFrameScale(int scale) override;
    bool ReplaceCursor(int handle, const CursorImage& image) override;
    void ToggleFullScreen() override;
    bool IsFullScreen() override { return fullScreen; }
    void SetMarginColor(uint32_t rgb) override;
    void SetMarginPicture(MarginPicture picture) override;
    bool CanPresent() override { return !cannotPresent; }
    bool ClockIsVirtual() override { return true; }
    bool ReadWindow(WindowPicture* picture, bool pixels) override;
    // Effects are mixed on the virtual clock and recorded (platform/virtual_audio_device.h).
    std::unique_ptr<AudioDevice> CreateAudioDevice() override { return CreateVirtualAudioDevice(); }

private:
    struct Step {
        uint64_t atMs;
        uint64_t order;
        std::function<void()> action;
    };
    // Buttons and modifier keys the script holds down, so that a mouse move during a drag
    // carries MK_LBUTTON and a key pressed while a scripted Alt is down becomes a system key.
    struct HeldInput {
        uint32_t buttons = 0;  // SDL's mask layout, as in HostEvent
        bool shift[2] = {false, false}, control[2] = {false, false}, alt[2] = {false, false};
    };
    void RunDueSteps();
    void AdvanceTo(uint64_t ms);
    void Deliver(const HostEvent& event);   // posts the event as given and updates held
    void DeliverWithHeld(HostEvent event);  // takes modifiers and buttons from held first
    void LayOutWindow();                    // fits the table to the current window size

    HeldInput held;
    FullScreenKeys fullScreenKeys;

    std::deque<Step> steps;  // kept sorted by (atMs, order)
    uint64_t nextOrder = 0;
    uint64_t lastStepMs = 0;
    uint64_t nowMs = 0;
    uint64_t clockLimitMs = 24ull * 3600 * 1000;
    int64_t wallClockStart = 1'800'000'000;
    std::vector<DisplayMode> displayModes{{800, 600, 32}};
    bool failWindowCreation = false;
    bool closeRequested = false;
    uint64_t closeRequestedAtMs = 0;
    static constexpr uint64_t kCloseGraceMs = 60'000;

    void StaleWindow(bool margins) const;  // the whole window is to be drawn again when read
    void RenderStale() const;

    // What the window shows, brought up to date when read: the frame's rectangle presented since,
    // and whether the margins changed.
    static constexpr Rect kNothingStale{0, 0, -1, -1};
    mutable std::vector<uint32_t> windowPixels;
    mutable Rect staleFrame = kNothingStale;
    mutable bool marginsStale = false;
    int windowWidth = 0, windowHeight = 0;
    int logicalWidth = 0, logicalHeight = 0;
    int hostWidth = 0, hostHeight = 0, fullWidth = 0, fullHeight = 0;
    int deviceScale = 1, frameScale = 1;
    bool scaleFollowsWindow = false, frameScaleKnown = false;
    int replacedCursors = 0;
    bool fullScreen = false, cannotPresent = false;
    uint32_t motionPaceMs = 0;
    uint32_t marginColor = 0;
    ScaledWindow view;
    bool windowExists = false, windowVisible = false;
    int presentCount = 0, raiseCount = 0, waitCount = 0;
    bool pointerVisible = true, confined = false, captured = false;
    int groupDepth = 0;
    std::vector<Rect> openGroup, lastGroup;
    Rect confineRect{0, 0, 0, 0};
    int currentCursor = 0, nextCursor = 1;
    std::vector<std::string> messageBoxes;
};
