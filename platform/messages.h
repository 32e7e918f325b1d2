// The program's message queue, shaped like the Windows one because every piece of behaviour
// (window procedure, modal loops, timers, posted key presses) is expressed in it.
//
// There is one main window. Input arrives from the active back end (SDL or scripted), which turns
// host events into posted messages. Posted messages come first, then WM_PAINT, then WM_TIMER, as
// on the platform the program was designed for.
#pragma once

#include "platform/rect.h"

#include <cstdint>

using WPARAM = uintptr_t;
using LPARAM = intptr_t;
using LRESULT = intptr_t;
using HWND = struct MainWindow*;

// Message ids (the Windows values).
enum : uint32_t {
    WM_NULL = 0x0000,
    WM_CREATE = 0x0001,
    WM_DESTROY = 0x0002,
    WM_SETFOCUS = 0x0007,
    WM_KILLFOCUS = 0x0008,
    WM_PAINT = 0x000F,
    WM_CLOSE = 0x0010,
    WM_QUIT = 0x0012,
    WM_ERASEBKGND = 0x0014,
    WM_ACTIVATEAPP = 0x001C,
    WM_KEYDOWN = 0x0100,
    WM_KEYUP = 0x0101,
    WM_CHAR = 0x0102,
    WM_SYSKEYDOWN = 0x0104,
    WM_SYSKEYUP = 0x0105,
    WM_TIMER = 0x0113,
    WM_MOUSEMOVE = 0x0200,
    WM_LBUTTONDOWN = 0x0201,
    WM_LBUTTONUP = 0x0202,
    WM_LBUTTONDBLCLK = 0x0203,
    WM_RBUTTONDOWN = 0x0204,
    WM_RBUTTONUP = 0x0205,
    WM_RBUTTONDBLCLK = 0x0206,
    WM_USER = 0x0400,
    // Sent by the single-instance listener: another copy asked this one to come to the front.
    WM_APP_RAISE = 0x8001,
    // The window's size asks for another device scale. By the time the program receives it the
    // drawing layer draws at the new scale (through the scale-change handler below) and holds
    // what was drawn before resampled to it: the program draws everything again from scratch.
    // Left to DefWindowProc, the window is invalidated instead.
    WM_APP_RESCALE = 0x8002,
};

// Mouse-message wParam flags.
enum : WPARAM { MK_LBUTTON = 0x0001, MK_RBUTTON = 0x0002, MK_SHIFT = 0x0004, MK_CONTROL = 0x0008 };

struct Message {
    HWND hwnd = nullptr;
    uint32_t message = WM_NULL;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
};

using WindowProcedure = LRESULT (*)(HWND, uint32_t, WPARAM, LPARAM);

constexpr LPARAM MakeLParam(int low, int high) {
    return static_cast<LPARAM>((static_cast<uint32_t>(high & 0xFFFF) << 16) | static_cast<uint32_t>(low & 0xFFFF));
}
constexpr int LowWord(LPARAM l) { return static_cast<int16_t>(l & 0xFFFF); }
constexpr int HighWord(LPARAM l) { return static_cast<int16_t>((l >> 16) & 0xFFFF); }

// Creates the one main window (hidden) and sends it WM_CREATE. Returns null when the window
// procedure answered -1 or the back end could not make a window; the window is then gone again.
// After a -1 the window is destroyed the usual way, so the procedure also receives WM_DESTROY.
HWND CreateMainWindow(const char* title, int width, int height, WindowProcedure procedure);
void ShowMainWindow(HWND window);
// Sends WM_DESTROY, then removes the window. The procedure normally answers with PostQuitMessage.
void DestroyWindow(HWND window);
HWND MainWindowHandle();  // null when no window exists
bool IsWindow(HWND window);

// Blocks until a message is available; false when it is WM_QUIT (the message is still filled in).
bool GetMessage(Message* message);
// Takes the next message without waiting; false when none is available.
bool PeekMessage(Message* message, bool remove);
// Thread-safe: may be called from any thread; wakes a waiting loop. A WM_MOUSEMOVE posted right
// behind another one still queued replaces it. A WM_MOUSEMOVE waiting alone sooner than the back
// end's motion pace after the last one taken is held back until its time.
void PostMessage(HWND window, uint32_t message, WPARAM wParam, LPARAM lParam);
void PostQuitMessage(int exitCode);
LRESULT SendMessage(HWND window, uint32_t message, WPARAM wParam, LPARAM lParam);
LRESULT DispatchMessage(const Message* message);
// Kept for the shape of the loop; the toolkit translates keys itself, so nothing is generated.
void TranslateMessage(const Message* message);
LRESULT DefWindowProc(HWND window, uint32_t message, WPARAM wParam, LPARAM lParam);
// Blocks until a message arrives (or a timer is due).
void WaitMessage();

void SetTimer(HWND window, uintptr_t id, uint32_t periodMs);
void KillTimer(HWND window, uintptr_t id);

// Marks the whole window for repainting: WM_PAINT is delivered once the queue is empty.
// With erase set, WM_ERASEBKGND is sent to the procedure just before that WM_PAINT. Taking the
// WM_PAINT from the queue validates the window, so an ignored paint is not repeated.
void InvalidateWindow(HWND window, bool erase);
// Ends the pending WM_PAINT (what BeginPaint/EndPaint do for the program).
void ValidateWindow(HWND window);

// Keyboard state as of the last message taken from the queue, by PC set-1 scan code
// (extended keys as scan | 0x100 are folded to the plain code).
bool IsScanCodeDown(int scanCode);
bool IsVirtualKeyDown(int virtualKey);
bool IsCapsLockOn();

// Mouse capture and confinement (ClipCursor). A null rectangle frees the pointer.
void SetCapture(HWND window);
void ReleaseCapture();
void ClipCursor(const Rect* rect);

// Called as a WM_APP_RESCALE is taken from the queue, before the program sees it, with the
// device scale the back end now asks for. The drawing layer installs it; null removes it.
using ScaleChangeHandler = void (*)(int scale);
void SetScaleChangeHandler(ScaleChangeHandler handler);

// From now on SIGTERM (a logout) asks the main window to close, as its close button does:
// whichever loop takes the next message, the main one or a modal one, receives WM_CLOSE.
void CloseOnTerminationSignal();
// True while a SIGTERM waits to become WM_CLOSE; a back end's wait ends early for it.
bool TerminationSignalPending();

// How many pointer moves the program has taken from the queue: a burst of host motion merged
// to one move per display frame counts as the moves it became. Also gives where the last one
// went (table pixels).
uint64_t PointerMovesTaken(int* lastX = nullptr, int* lastY = nullptr);

// Forgets the window (without sending it anything), every queued message, the timers, a pending
// paint and the keyboard state. For tests and tools that run several sessions in one process;
// making a ScriptedBackend does it.
void ResetMessageQueue();
