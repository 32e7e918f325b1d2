// The services the program needs from the host system, behind one interface with two
// implementations: SDL2 for the real window (sdl_backend.h) and a scripted one with a virtual
// clock for tests (scripted_backend.h). Exactly one back end is installed at a time; the rest of
// the platform layer (queue, timers, clock, cursors) reaches the host only through it.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "platform/audio_device.h"
#include "platform/cursor_file.h"
#include "platform/messages.h"

struct DisplayMode {
    int width = 0;
    int height = 0;
    int bitsPerPixel = 0;
};

// What the window shows, margins included, and where the table lies in it (window pixels).
struct WindowPicture {
    int width = 0, height = 0;
    int tableLeft = 0, tableTop = 0, tableWidth = 0, tableHeight = 0;
    std::vector<uint32_t> pixels;  // 0x00RRGGBB, width x height
};

// A picture the window's margins continue (0x00RRGGBB rows of width x height). The rows may be
// the program's own picture, shared rather than copied: the program keeps drawing into it, so
// bands of whole rows that must look otherwise beside the table are given apart.
struct MarginPicture {
    struct Band {
        int top = 0;
        std::vector<uint32_t> pixels;  // whole rows from `top`
    };
    std::shared_ptr<const uint32_t> pixels;
    int width = 0, height = 0;
    std::vector<Band> bands;

    // A picture of its own.
    static MarginPicture Owned(std::vector<uint32_t> rows, int width, int height);
    bool Valid() const { return pixels && width > 0 && height > 0; }
    const uint32_t* Row(int y) const {
        for (const Band& band : bands)
            if (y >= band.top && static_cast<size_t>(y - band.top + 1) * width <= band.pixels.size())
                return band.pixels.data() + static_cast<size_t>(y - band.top) * width;
        return pixels.get() + static_cast<size_t>(y) * width;
    }
};

class Backend {
public:
    virtual ~Backend() = default;

    // Window. The window is created hidden; ShowWindow makes it visible.
    virtual bool CreateWindow(const char* title, int width, int height) = 0;
    virtual void ShowWindow() = 0;
    virtual void DestroyWindow() = 0;
    // Restores the window if minimised and brings it to the front.
    virtual void RaiseWindow() = 0;
    // Copies a width x height rectangle whose top-left is (sourceX, sourceY) in a 0x00RRGGBB
    // pixel array of the given pitch (in pixels) to the window at (destX, destY).
    virtual void Present(const uint32_t* pixels, int pitchPixels, int sourceX, int sourceY, int width,
                         int height, int destX, int destY) = 0;
    // Presents from BeginPresents to the matching EndPresents reach the display together, in one
    // exchange with it: a dragged card's old and new places, far apart, go as two rectangles
    // for the price of one. Groups nest; the outermost EndPresents sends.
    virtual void BeginPresents() {}
    virtual void EndPresents() {}
    // Display modes of the desktop, each reported at the size it can show at most.
    virtual std::vector<DisplayMode> DisplayModes() = 0;
    // Shows a blocking message with an OK button (used before the program's own toolkit exists).
    virtual void ShowMessageBox(const char* title, const char* text) = 0;

    // Events. Turns pending host events into posted messages (PostMessage). When wait is set and
    // nothing is pending, blocks until something arrives or the monotonic clock reaches
    // untilMs (untilMs == UINT64_MAX: no limit).
    virtual void PumpEvents(bool wait, uint64_t untilMs) = 0;
    // Thread-safe: interrupts a PumpEvents wait so the loop sees a newly posted message.
    virtual void WakeUp() = 0;
    // The shortest time between two pointer moves handed to the window (the display's frame
    // time); a move arriving sooner waits, merging with any that follow. 0: every move at once.
    virtual uint32_t MotionPaceMs() { return 0; }

    // Clock.
    virtual uint64_t NowMs() = 0;           // monotonic milliseconds
    virtual int64_t WallClockSeconds() = 0;  // seconds since 1970, the value time() gives
    virtual void SleepMs(uint32_t ms) = 0;

    // Pointer.
    virtual void ShowPointer(bool visible) = 0;
    virtual bool HasMouse() = 0;
    // Makes a host cursor from a decoded cursor file; returns a handle > 0, or 0 on failure.
    virtual int CreateCursor(const CursorImage& image) = 0;
    // Handle 0 selects the standard arrow.
    virtual void SetCursor(int handle) = 0;
    virtual void FreeCursor(int handle) = 0;
    virtual void ConfinePointer(const Rect* rect) = 0;  // null releases
    virtual void CapturePointer(bool capture) = 0;
    // Caps Lock as the host sees it when the window is created.
    virtual bool HostCapsLockOn() = 0;

    // The scale (1, 2 or 3) the window asks the drawing layer to draw at: the smallest at or above
    // the scale at which the table fills the window. When it changes the back end posts
    // WM_APP_RESCALE; Present's numbers stay in pixels of the frame scale until SetFrameScale.
    virtual int DeviceScale() { return 1; }
    // The largest scale DeviceScale may ever answer in this run (sizes the drawing layer's blocks).
    virtual int LargestDeviceScale() { return DeviceScale(); }
    // The drawing layer draws at this scale from now on; what the window shows is kept, resampled
    // from the frame of the previous scale until the program presents again.
    virtual void SetFrameScale(int) {}
    // Gives cursor handle a new picture (made for a new device scale); false when unknown.
    virtual bool ReplaceCursor(int, const CursorImage&) { return false; }

    // Window modes and the frame around the table.
    virtual void ToggleFullScreen() {}
    virtual bool IsFullScreen() { return false; }
    // The colour shown beside the table when the window's shape differs from it (0x00RRGGBB).
    virtual void SetMarginColor(uint32_t) {}
    // The picture the margins continue instead (ScaledWindow::SetMarginPicture).
    virtual void SetMarginPicture(MarginPicture) {}
    // False when the window exists but the display cannot show what is drawn into it.
    virtual bool CanPresent() { return true; }
    // True when time is a script's virtual clock: work running beside the interface is then
    // awaited rather than polled, so a script replays exactly.
    virtual bool ClockIsVirtual() { return false; }
    // The window's layout and, with `pixels`, a copy of its picture as last sent to the display;
    // false when there is none.
    virtual bool ReadWindow(WindowPicture*, bool /*pixels*/) { return false; }

    // Sound: the device effects and music play through. Null when the host has none, and the
    // program then runs silent.
    virtual std::unique_ptr<AudioDevice> CreateAudioDevice() { return nullptr; }
};

// Installs the back end used by the whole platform layer (one place: main, a test fixture, a
// tool). Passing null removes it. The caller keeps ownership.
void SetBackend(Backend* backend);
Backend* CurrentBackend();

// Clock and sleep, served by the back end (virtual under the scripted back end).
uint64_t GetTickCount64();
int64_t WallClockSeconds();
void SleepMs(uint32_t ms);

// Pointer helpers used by the drawing layer and the game code.
void ShowPointer(bool visible);
// Brackets presents that reach the display together (Backend::BeginPresents).
void BeginPresents();
void EndPresents();
bool HasMouse();
// Loads a ".cur" file (path relative to the data folder is resolved by the caller).
// Returns a cursor handle > 0, or 0 when the file is missing or malformed.
int LoadCursorFromFile(const char* path);
// Decodes a ".cur" file; false when missing or malformed.
bool LoadCursorImage(const char* path, CursorImage* image);
int CreateCursorFromImage(const CursorImage& image);  // 0 on failure
bool ReplaceCursorImage(int handle, const CursorImage& image);
void SetCursor(int handle);  // 0 = standard arrow
void DestroyCursor(int handle);

// The display depth the program asks for at start-up: the bits per pixel of each desktop mode
// that can show width x height, in the order the host lists them.
std::vector<DisplayMode> DisplayModes();
void ShowHostMessageBox(const char* title, const char* text);

// What must be done when the display is lost for good (the X server went away) before the process
// ends: keep what can be kept. The back end calls it; null removes it.
void SetDisplayLostHandler(void (*handler)());
void RunDisplayLostHandler();

// Window modes, callable from anywhere without knowing the window's size.
void ToggleFullScreen();
bool IsFullScreen();
void SetWindowMarginColor(uint32_t rgb);
// The table's backdrop, which the margins continue.
void SetWindowMarginPicture(MarginPicture picture);
bool WindowCanPresent();
bool ClockIsVirtual();
