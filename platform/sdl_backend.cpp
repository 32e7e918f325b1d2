#include "platform/sdl_backend.h"

#include <SDL.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstdio>
#include <ctime>
#include <map>
#include <string>

#include "platform/host_events.h"
#include "platform/paths.h"
#include "platform/scaled_window.h"
#include "platform/sdl_audio_device.h"
#include "platform/translation.h"
#include "platform/x11_errors.h"
#include "platform/x11_pointer.h"

namespace {

// The program's mark in the title bar, task switcher and dock: the largest icon there is, with
// magenta as its transparent colour. A missing icon file leaves the system's default.
void SetWindowIcon(SDL_Window* window) {
    SDL_Surface* icon = SDL_LoadBMP(DataPath("icon256.bmp").c_str());
    if (!icon) icon = SDL_LoadBMP(DataPath("icon32.bmp").c_str());
    if (!icon) return;
    SDL_SetColorKey(icon, SDL_TRUE, SDL_MapRGB(icon->format, 255, 0, 255));
    SDL_SetWindowIcon(window, icon);
    SDL_FreeSurface(icon);
}

// SDL_WaitEventTimeout is given at most this long at a time, so a wait whose deadline was
// computed from a timer never oversleeps by much even if the host clock and SDL's disagree.
constexpr uint32_t kLongestSingleWaitMs = 250;
constexpr uint32_t kNoLimitWaitMs = 1000;
// A display whose refresh rate is not known is taken to show 60 frames a second.
constexpr uint32_t kUnknownFrameMs = 16;
// Modes are reported at the program's size: the program only asks whether 800 x 600 fits.
constexpr int kReportedWidth = 800;
constexpr int kReportedHeight = 600;
// The drawing layer draws the screen at this scale at most; the window is scaled from there.
constexpr int kLargestDrawnScale = 3;
constexpr const char* kClassName = "quillfen-solitaire";

class SdlWindowBackend : public SdlBackend {
public:
    SdlWindowBackend(uint32_t wakeEventType, const WindowPlacement& placement)
        : wakeEventType(wakeEventType), requested(placement) {}
    ~SdlWindowBackend() override;

    bool CreateWindow(const char* title, int width, int height) override;
    void ShowWindow() override;
    void DestroyWindow() override;
    void RaiseWindow() override;
    void Present(const uint32_t* pixels, int pitchPixels, int sourceX, int sourceY, int width, int height,
                 int destX, int destY) override;
    void BeginPresents() override { ++presentGroups; }
    void EndPresents() override;
    std::vector<DisplayMode> DisplayModes() override;
    void ShowMessageBox(const char* title, const char* text) override;
    void PumpEvents(bool wait, uint64_t untilMs) override;
    void WakeUp() override;
    uint64_t NowMs() override { return SDL_GetTicks64(); }
    uint32_t MotionPaceMs() override { return motionPaceMs; }
    int64_t WallClockSeconds() override { return static_cast<int64_t>(std::time(nullptr)); }
    void SleepMs(uint32_t ms) override { SDL_Delay(ms); }
    // Takes effect when the loop next looks for events: the drawing layer hides the pointer
    // around every present, and each change costs the display a cursor change and a flush,
    // while a pointer hidden and shown again between two looks changes nothing.
    void ShowPointer(bool visible) override { pointerWanted = visible; }
    bool HasMouse() override { return true; }
    int CreateCursor(const CursorImage& image) override;
    void SetCursor(int handle) override;
    void FreeCursor(int handle) override;
    void ConfinePointer(const Rect* rect) override;
    void CapturePointer(bool capture) override {
        SDL_CaptureMouse(capture ? SDL_TRUE : SDL_FALSE);
        if (capture) x11Pointer.HintGrab();
    }
    bool HostCapsLockOn() override { return (SDL_GetModState() & KMOD_CAPS) != 0; }
    std::unique_ptr<AudioDevice> CreateAudioDevice() override { return CreateSdlAudioDevice(); }
    int DeviceScale() override { return wantedScale; }
    int LargestDeviceScale() override { return largestScale; }
    void SetFrameScale(int scale) override;
    bool ReplaceCursor(int handle, const CursorImage& image) override;
    void ToggleFullScreen() override;
    bool IsFullScreen() override { return fullScreen; }
    void SetMarginColor(uint32_t rgb) override;
    void SetMarginPicture(MarginPicture picture) override;
    bool CanPresent() override { return drawable; }
    bool ReadWindow(WindowPicture* picture, bool pixels) override;
    WindowPlacement Placement() const override;

private:
    void Translate(const SDL_Event& event);
    // Translates every pending host event; true when there was one.
    bool DrainEvents();
    // Translates one of `count` events taken together (the rest give its pointer context).
    void TranslateAmong(const SDL_Event* events, size_t count, size_t i);
    // Asks where the pointer went after a hinted move, and translates a move there.
    void FollowPointer();
    // Once the window is found gone: stop drawing and ask the program to close.
    void NoticeLostWindow();
    // Takes the window surface at the window's current size and redraws all of it from the frame.
    // Fits the view to the window's surface and, with `paint`, draws the whole window anew.
    void LayOut(bool paint = true);
    void PaintAll();
    void RedrawMargins();
    // The window's size and place when it is an ordinary window (not full screen or maximised).
    void RememberNormalPlacement();
    void SendToDisplay(const Rect& area);
    // The window rectangles of sentRects, from the staging picture when there is one.
    void SendRects();
    SDL_Cursor* MakeCursor(const CursorImage& image);

    uint32_t wakeEventType;
    WindowPlacement requested;
    WindowPlacement normal;
    SDL_Window* window = nullptr;
    SDL_Surface* surface = nullptr;  // the window's, freed by SDL
    SDL_Surface* staging = nullptr;  // ours, when the window's pixel format is not 0x00RRGGBB
    ScaledWindow view;
    int logicalWidth = 0, logicalHeight = 0;
    // The scale the window asks for, the scale the drawing layer draws at (what Present's pixels
    // are in), the largest any window on these displays asks for, and a scale fixed for the run
    // (0: it follows the window).
    int wantedScale = 1, frameScale = 1, largestScale = 1, fixedScale = 0;
    bool frameScaleKnown = false;
    // While a window made full screen is still at its first size: the scale the display's size
    // asks for, so that nothing is drawn at the small size's scale only to be drawn again.
    int comingScale = 0;
    // The window changed size and its surface is stale until the next LayOut.
    bool layoutDue = false;
    // When ShowWindow laid out a window that had reached full screen: size events queued before
    // then are already answered.
    uint32_t shownLayoutTicks = 0;
    // The hidden window's surface is laid out but not drawn yet (ShowWindow draws it).
    bool unpainted = false;
    // Kept between presents so that presenting allocates nothing.
    std::vector<Rect> changedBands;
    std::vector<SDL_Rect> sentRects;
    // Open present groups, and the window rectangles they hold back until the last one ends.
    int presentGroups = 0;
    std::vector<SDL_Rect> groupedRects;
    bool pointerWanted = true, pointerShown = true;
    bool classic = false, fullScreen = false, drawable = false;
    // The window was destroyed by someone else: nothing is drawn into it any more.
    bool windowLost = false;
    uint32_t marginColor = 0;
    uint32_t heldButtons = 0;
    // Where the last pointer event translated was, in window pixels.
    int pointerX = -1, pointerY = -1;
    // The events of one look at the queue, kept so that taking them allocates nothing.
    std::vector<SDL_Event> taken;
    // The last move of a look while the server waits to be asked where the pointer went: the
    // move FollowPointer stands by when it cannot ask.
    SDL_Event deferredMove{};
    bool moveDeferred = false;
    uint32_t motionPaceMs = kUnknownFrameMs;
    FullScreenKeys fullScreenKeys;
    std::map<int, SDL_Cursor*> cursors;
    int nextCursor = 1;
    X11Pointer x11Pointer;
};

SdlWindowBackend::~SdlWindowBackend() {
    SDL_SetCursor(SDL_GetDefaultCursor());
    for (auto& entry : cursors) SDL_FreeCursor(entry.second);
    DestroyWindow();
    // Shutting video down destroys every window, and a lost one would hang it (see DestroyWindow):
    // the process is ending, so the video subsystem is left as it is.
    if (windowLost) return;
    SDL_QuitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS);
    // When nothing else (audio) still uses SDL, shut it down fully so that it also lets go of
    // its desktop-bus connection.
    if (SDL_WasInit(SDL_INIT_EVERYTHING) == 0) SDL_Quit();
}

// The display most of `area` lies on; the first where it lies on none.
int DisplayUnder(const SDL_Rect& area) {
    int best = 0;
    int64_t most = 0;
    for (int i = 0; i < SDL_GetNumVideoDisplays(); ++i) {
        SDL_Rect bounds, common;
        if (SDL_GetDisplayBounds(i, &bounds) != 0 || !SDL_IntersectRect(&bounds, &area, &common)) continue;
        if (static_cast<int64_t>(common.w) * common.h > most) {
            most = static_cast<int64_t>(common.w) * common.h;
            best = i;
        }
    }
    return best;
}

bool SdlWindowBackend::CreateWindow(const char* title, int requestedWidth, int requestedHeight) {
    DestroyWindow();
    logicalWidth = requestedWidth;
    logicalHeight = requestedHeight;
    classic = requested.mode == WindowMode::kClassic;
    SDL_DisplayMode desktop{};
    const bool knowDesktop = SDL_GetDesktopDisplayMode(0, &desktop) == 0 && desktop.w > 0 && desktop.h > 0;
    // The drawing scale follows the window's size (LayOut); it never goes above what a window
    // filling the largest display asks for.
    largestScale = 1;
    for (int i = 0; i < SDL_GetNumVideoDisplays(); ++i) {
        SDL_Rect bounds;
        if (SDL_GetDisplayBounds(i, &bounds) == 0)
            largestScale = std::max(largestScale, ChooseDeviceScale(bounds.w, bounds.h, logicalWidth, logicalHeight));
    }
    fixedScale = requested.deviceScale > 0 ? std::min(requested.deviceScale, kLargestDrawnScale) : 0;
    largestScale = std::max(std::min(largestScale, kLargestDrawnScale), fixedScale);

    int x = 0, y = 0, width = logicalWidth, height = logicalHeight;
    uint32_t flags = SDL_WINDOW_HIDDEN;
    if (classic) {
        // Borderless and top-most at the corner, enlarged by a whole factor on a desktop at least
        // twice as large both ways.
        const int factor = knowDesktop ? std::max(1, std::min(desktop.w / logicalWidth, desktop.h / logicalHeight)) : 1;
        width = logicalWidth * factor;
        height = logicalHeight * factor;
        flags |= SDL_WINDOW_BORDERLESS | SDL_WINDOW_ALWAYS_ON_TOP;
        // The classic window never changes size: draw at its own whole factor.
        if (fixedScale == 0) fixedScale = std::min(factor, kLargestDrawnScale);
        largestScale = std::max(largestScale, fixedScale);
    } else {
        const int display = requested.placed ? DisplayUnder(SDL_Rect{requested.x, requested.y, std::max(requested.width, 1),
                                                                      std::max(requested.height, 1)})
                                             : 0;
        SDL_Rect usable{0, 0, knowDesktop ? desktop.w : logicalWidth, knowDesktop ? desktop.h : logicalHeight};
        SDL_GetDisplayUsableBounds(display, &usable);
        const WindowPlacement opening =
            OpeningPlacement(requested, Rect::FromSize(usable.x, usable.y, usable.w, usable.h), logicalWidth, logicalHeight);
        width = opening.width;
        height = opening.height;
        x = opening.placed ? opening.x : SDL_WINDOWPOS_CENTERED_DISPLAY(display);
        y = opening.placed ? opening.y : SDL_WINDOWPOS_CENTERED_DISPLAY(display);
        flags |= SDL_WINDOW_RESIZABLE;
    }
    window = SDL_CreateWindow(title, x, y, width, height, flags);
    if (!window) {
        std::fprintf(stderr, "quillfen-solitaire: cannot create the window: %s\n", SDL_GetError());
        return false;
    }
    SetWindowIcon(window);
    // Another client may destroy the window (a task manager's "close", xdotool windowclose):
    // errors about it then say so, and the program closes as from the close button.
    WatchWindow(window);
    windowLost = false;
    x11Pointer.Attach(window);
    if (!classic) {
        SDL_SetWindowMinimumSize(window, logicalWidth / 2, logicalHeight / 2);
        RememberNormalPlacement();
        if (requested.mode == WindowMode::kFullScreen && SDL_SetWindowFullscreen(window, SDL_WINDOW_FULLSCREEN_DESKTOP) == 0)
            fullScreen = true;
    }
    if (fullScreen && fixedScale == 0) {
        SDL_Rect bounds;
        if (SDL_GetDisplayBounds(std::max(0, SDL_GetWindowDisplayIndex(window)), &bounds) == 0)
            comingScale = std::min(ChooseDeviceScale(bounds.w, bounds.h, logicalWidth, logicalHeight), largestScale);
    }
    // Drawn when shown: a window made full screen is shown at another size, and a surface
    // written now would be one more to fault in.
    LayOut(false);
    comingScale = 0;
    if (!drawable) {
        // The window stays; the program asks CanPresent and says why it cannot run.
        std::fprintf(stderr, "quillfen-solitaire: cannot draw into the window: %s\n", SDL_GetError());
    }
    return true;
}

void SdlWindowBackend::LayOut(bool paint) {
    // The surface of the old layout is still there until it is asked for again: the table the
    // direct presents left only in it goes back into the frame first.
    if (drawable && view.Behind()) {
        SDL_Surface* target = staging ? staging : surface;
        view.CatchUp(static_cast<uint32_t*>(target->pixels), target->pitch / 4);
    }
    // Rectangles held back for the old surface: the new one is drawn whole.
    groupedRects.clear();
    drawable = false;
    layoutDue = false;
    if (!window || windowLost) return;
    surface = SDL_GetWindowSurface(window);
    if (!surface || surface->format->BytesPerPixel < 2) return;
    if (staging && (staging->w != surface->w || staging->h != surface->h)) {
        SDL_FreeSurface(staging);
        staging = nullptr;
    }
    const uint32_t format = surface->format->format;
    const bool direct = format == SDL_PIXELFORMAT_RGB888 || format == SDL_PIXELFORMAT_ARGB8888;
    if (!direct && !staging) {
        staging = SDL_CreateRGBSurfaceWithFormat(0, surface->w, surface->h, 32, SDL_PIXELFORMAT_RGB888);
        if (!staging) return;
    }
    if (direct && staging) {
        SDL_FreeSurface(staging);
        staging = nullptr;
    }
    drawable = true;
    // Pointer moves are taken once per frame of the display the window is on.
    SDL_DisplayMode mode;
    const int display = SDL_GetWindowDisplayIndex(window);
    motionPaceMs = display >= 0 && SDL_GetCurrentDisplayMode(display, &mode) == 0 && mode.refresh_rate > 0
                       ? std::clamp<uint32_t>(1000u / static_cast<uint32_t>(mode.refresh_rate), 4u, kUnknownFrameMs)
                       : kUnknownFrameMs;
    wantedScale = fixedScale > 0    ? fixedScale
                  : comingScale > 0 ? comingScale
                                    : std::min(ChooseDeviceScale(surface->w, surface->h, logicalWidth, logicalHeight),
                                               largestScale);
    if (!frameScaleKnown) frameScale = wantedScale;
    else if (wantedScale != frameScale) PostMessage(MainWindowHandle(), WM_APP_RESCALE, 0, 0);
    view.Configure(logicalWidth, logicalHeight, frameScale, surface->w, surface->h, classic);
    unpainted = !paint;
    if (paint) PaintAll();
}

void SdlWindowBackend::PaintAll() {
    SDL_Surface* target = staging ? staging : surface;
    view.RenderAll(marginColor, static_cast<uint32_t*>(target->pixels), target->pitch / 4);
    SendToDisplay(Rect::FromSize(0, 0, surface->w, surface->h));
    unpainted = false;
}

void SdlWindowBackend::SetFrameScale(int scale) {
    frameScaleKnown = true;
    if (scale == frameScale && view.DeviceScale() == scale) return;
    frameScale = scale;
    if (!drawable) return;
    SDL_Surface* target = staging ? staging : surface;
    view.CatchUp(static_cast<uint32_t*>(target->pixels), target->pitch / 4);
    view.ChangeFrameScale(scale);
    view.RenderAll(marginColor, static_cast<uint32_t*>(target->pixels), target->pitch / 4);
    SendToDisplay(Rect::FromSize(0, 0, surface->w, surface->h));
}

void SdlWindowBackend::SendToDisplay(const Rect& area) {
    if (area.Empty()) return;
    sentRects.assign(1, SDL_Rect{area.left, area.top, area.Width(), area.Height()});
    SendRects();
}

void SdlWindowBackend::SendRects() {
    if (sentRects.empty()) return;
    if (presentGroups > 0) {
        groupedRects.insert(groupedRects.end(), sentRects.begin(), sentRects.end());
        return;
    }
    if (staging)
        for (SDL_Rect& rect : sentRects) SDL_BlitSurface(staging, &rect, surface, &rect);
    SDL_UpdateWindowSurfaceRects(window, sentRects.data(), static_cast<int>(sentRects.size()));
}

void SdlWindowBackend::EndPresents() {
    if (presentGroups == 0 || --presentGroups > 0 || groupedRects.empty()) return;
    sentRects.swap(groupedRects);
    groupedRects.clear();
    if (drawable) SendRects();
}

void SdlWindowBackend::RememberNormalPlacement() {
    if (!window || classic) return;
    const uint32_t flags = SDL_GetWindowFlags(window);
    if (flags & (SDL_WINDOW_FULLSCREEN | SDL_WINDOW_FULLSCREEN_DESKTOP | SDL_WINDOW_MAXIMIZED | SDL_WINDOW_MINIMIZED))
        return;
    SDL_GetWindowPosition(window, &normal.x, &normal.y);
    SDL_GetWindowSize(window, &normal.width, &normal.height);
    // The place kept is the frame's, where a window manager puts a new window asked for there;
    // keeping the inside's would move the window down by its title bar at every start.
    int top = 0, left = 0, bottom = 0, right = 0;
    if (SDL_GetWindowBordersSize(window, &top, &left, &bottom, &right) == 0) {
        normal.x -= left;
        normal.y -= top;
    }
    normal.placed = true;
}

WindowPlacement SdlWindowBackend::Placement() const {
    WindowPlacement placement = normal;
    placement.mode = classic ? WindowMode::kClassic : fullScreen ? WindowMode::kFullScreen : WindowMode::kWindow;
    placement.deviceScale = 0;
    return placement;
}

bool SdlWindowBackend::ReadWindow(WindowPicture* picture, bool pixels) {
    if (!drawable) return false;
    SDL_Surface* target = staging ? staging : surface;
    DescribeWindow(view, picture);
    if (!pixels) return true;
    picture->pixels.resize(static_cast<size_t>(picture->width) * picture->height);
    for (int y = 0; y < picture->height; ++y) {
        const auto* row = reinterpret_cast<const uint32_t*>(static_cast<const uint8_t*>(target->pixels) + y * target->pitch);
        for (int x = 0; x < picture->width; ++x) picture->pixels[static_cast<size_t>(y) * picture->width + x] = row[x] & 0xFFFFFF;
    }
    return true;
}

void SdlWindowBackend::ToggleFullScreen() {
    // The classic window keeps its one shape.
    if (!window || classic) return;
    RememberNormalPlacement();
    if (SDL_SetWindowFullscreen(window, fullScreen ? 0 : SDL_WINDOW_FULLSCREEN_DESKTOP) != 0) return;
    fullScreen = !fullScreen;
    LayOut();
}

void SdlWindowBackend::SetMarginColor(uint32_t rgb) {
    if (rgb == marginColor) return;
    marginColor = rgb;
    // Margins that continue a picture do not show the colour.
    if (!view.HasMarginPicture()) RedrawMargins();
}

// Only the margins change: the table stays as it is in the window surface.
void SdlWindowBackend::RedrawMargins() {
    const Rect table = view.Table();
    const bool margins = table.Width() != view.WindowWidth() || table.Height() != view.WindowHeight();
    if (!drawable || !margins || layoutDue) return;
    SDL_Surface* target = staging ? staging : surface;
    view.RenderMargins(marginColor, static_cast<uint32_t*>(target->pixels), target->pitch / 4);
    SendToDisplay(Rect::FromSize(0, 0, surface->w, surface->h));
}

void SdlWindowBackend::SetMarginPicture(MarginPicture picture) {
    view.SetMarginPicture(std::move(picture));
    RedrawMargins();
}

void SdlWindowBackend::ShowWindow() {
    if (!window) return;
    SDL_ShowWindow(window);
    SDL_RaiseWindow(window);
    // A window made full screen before it was shown gets the display's size from the window
    // manager only now. Waiting a moment for it lays the window out once, at that size, before
    // anything is drawn: otherwise the first screen is drawn for the small size and then filtered
    // again in full (a sixth of a start at 4K).
    SDL_Rect bounds;
    if (fullScreen && SDL_GetDisplayBounds(std::max(0, SDL_GetWindowDisplayIndex(window)), &bounds) == 0) {
        constexpr uint32_t kWaitMs = 250;
        const uint32_t start = SDL_GetTicks();
        int width = 0, height = 0;
        for (;;) {
            SDL_PumpEvents();
            SDL_GetWindowSize(window, &width, &height);
            if ((width == bounds.w && height == bounds.h) || SDL_GetTicks() - start >= kWaitMs) break;
            SDL_Delay(2);
        }
        if (width != view.WindowWidth() || height != view.WindowHeight()) {
            LayOut();
            shownLayoutTicks = SDL_GetTicks();
        }
    }
    if (unpainted && drawable) PaintAll();
}

void SdlWindowBackend::DestroyWindow() {
    if (staging) SDL_FreeSurface(staging);
    // A window someone else destroyed is not destroyed again: SDL would hide it first and wait
    // for an unmap notice from the X server that never comes.
    if (window && !windowLost) SDL_DestroyWindow(window);
    staging = nullptr;
    surface = nullptr;
    window = nullptr;
    drawable = false;
    x11Pointer.Detach();
}

void SdlWindowBackend::RaiseWindow() {
    if (!window) return;
    SDL_RestoreWindow(window);
    SDL_RaiseWindow(window);
}

void SdlWindowBackend::Present(const uint32_t* pixels, int pitchPixels, int sourceX, int sourceY, int rectWidth,
                               int rectHeight, int destX, int destY) {
    if (!drawable || !pixels) return;
    SDL_Surface* target = staging ? staging : surface;
    auto* out = static_cast<uint32_t*>(target->pixels);
    int width = 0, height = 0;
    SDL_GetWindowSize(window, &width, &height);
    const bool resized = layoutDue || width != view.WindowWidth() || height != view.WindowHeight();
    // Device pixels one to one on window pixels: straight into the window surface.
    if (!resized && view.Unscaled()) {
        SendToDisplay(view.StoreDirect(pixels, pitchPixels, sourceX, sourceY, rectWidth, rectHeight, destX, destY, out,
                                       target->pitch / 4));
        return;
    }
    view.CatchUp(out, target->pitch / 4);
    if (resized) {
        // Resized before its event arrived: the surface is stale. The event's layout draws
        // everything anew from the frame, once (PumpEvents lays out if the event never comes).
        view.Store(pixels, pitchPixels, sourceX, sourceY, rectWidth, rectHeight, destX, destY);
        layoutDue = true;
        return;
    }
    // Only what differs from the frame is filtered and sent: presents of the whole screen after a
    // deal or a closed menu mostly repeat what the window shows.
    changedBands.clear();
    view.StoreChanges(pixels, pitchPixels, sourceX, sourceY, rectWidth, rectHeight, destX, destY, changedBands);
    sentRects.clear();
    for (const Rect& band : changedBands) {
        const Rect drawn = view.Render(band, out, target->pitch / 4);
        if (!drawn.Empty()) sentRects.push_back(SDL_Rect{drawn.left, drawn.top, drawn.Width(), drawn.Height()});
    }
    SendRects();
}

std::vector<DisplayMode> SdlWindowBackend::DisplayModes() {
    std::vector<DisplayMode> modes;
    if (window && !drawable) return modes;  // the window exists but cannot show anything
    const auto report = [&modes](const SDL_DisplayMode& mode) {
        if (mode.w < kReportedWidth || mode.h < kReportedHeight) return;
        int bits = static_cast<int>(SDL_BITSPERPIXEL(mode.format));
        if (bits == 0) return;
        if (bits == 15) bits = 16;  // 5-5-5 colour is a 16-bit mode to the program
        modes.push_back(DisplayMode{kReportedWidth, kReportedHeight, bits});
    };
    const int count = SDL_GetNumDisplayModes(0);
    for (int i = 0; i < count; ++i) {
        SDL_DisplayMode mode;
        if (SDL_GetDisplayMode(0, i, &mode) == 0) report(mode);
    }
    if (modes.empty()) {
        // Some virtual drivers list no usable mode (the offscreen one lists a single 0 x 0 mode
        // of unknown format); the desktop itself still counts.
        SDL_DisplayMode desktop;
        if (SDL_GetDesktopDisplayMode(0, &desktop) == 0) report(desktop);
    }
    return modes;
}

void SdlWindowBackend::ShowMessageBox(const char* title, const char* text) {
    std::fprintf(stderr, "%s: %s\n", title, text);
    SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_INFORMATION, title, text, drawable ? window : nullptr);
}

void SdlWindowBackend::Translate(const SDL_Event& event) {
    HostEvent host;
    const SDL_Keymod modifiers = SDL_GetModState();
    host.shift = (modifiers & KMOD_SHIFT) != 0;
    host.control = (modifiers & KMOD_CTRL) != 0;
    host.alt = (modifiers & KMOD_ALT) != 0;
    switch (event.type) {
    case SDL_MOUSEMOTION:
        heldButtons = event.motion.state;
        host.buttons = heldButtons;
        host.kind = HostEvent::MouseMove;
        host.x = pointerX = event.motion.x;
        host.y = pointerY = event.motion.y;
        break;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP: {
        const bool down = event.type == SDL_MOUSEBUTTONDOWN;
        host.kind = down ? HostEvent::MouseDown : HostEvent::MouseUp;
        host.x = pointerX = event.button.x;
        host.y = pointerY = event.button.y;
        host.button = event.button.button;
        host.clicks = event.button.clicks;
        host.buttons = heldButtons;
        const uint32_t mask = SDL_BUTTON(event.button.button);
        heldButtons = down ? heldButtons | mask : heldButtons & ~mask;
        break;
    }
    case SDL_KEYDOWN:
    case SDL_KEYUP:
        host.kind = event.type == SDL_KEYDOWN ? HostEvent::KeyDown : HostEvent::KeyUp;
        host.hidScancode = event.key.keysym.scancode;
        // The layout's letters (SDL's key codes for printable keys are their Unicode characters).
        if (event.key.keysym.sym >= 'a' && event.key.keysym.sym <= 'z') host.layoutKey = event.key.keysym.sym - 'a' + 'A';
        else if (event.key.keysym.sym >= 0xA0 && event.key.keysym.sym <= 0xFF) host.layoutKey = HostEvent::kTypedOnly;
        host.repeat = event.key.repeat != 0;
        host.shift = (event.key.keysym.mod & KMOD_SHIFT) != 0;
        host.control = (event.key.keysym.mod & KMOD_CTRL) != 0;
        host.alt = (event.key.keysym.mod & KMOD_ALT) != 0;
        break;
    case SDL_WINDOWEVENT:
        switch (event.window.event) {
        case SDL_WINDOWEVENT_FOCUS_GAINED: host.kind = HostEvent::FocusGained; break;
        case SDL_WINDOWEVENT_FOCUS_LOST: host.kind = HostEvent::FocusLost; break;
        case SDL_WINDOWEVENT_SIZE_CHANGED:
            RememberNormalPlacement();
            if (shownLayoutTicks != 0 && event.window.timestamp <= shownLayoutTicks &&
                event.window.data1 == view.WindowWidth() && event.window.data2 == view.WindowHeight())
                return;
            LayOut();
            return;
        case SDL_WINDOWEVENT_MOVED:
            RememberNormalPlacement();
            return;
        case SDL_WINDOWEVENT_EXPOSED:
            // The surface still holds the whole picture, margins included.
            if (drawable) SDL_UpdateWindowSurface(window);
            host.kind = HostEvent::Exposed;
            break;
        case SDL_WINDOWEVENT_RESTORED: host.kind = HostEvent::Exposed; break;
        default: return;
        }
        break;
    case SDL_TEXTINPUT:
        // In the fonts' code page; what it lacks becomes '?', which the key messages carry.
        host.kind = HostEvent::Text;
        Utf8ToWindows1252(event.text.text, &host.text);
        break;
    case SDL_QUIT:
        host.kind = HostEvent::Quit;
        break;
    default:
        return;  // including our own wake-up event, which only ends a wait
    }
    bool toggle = false;
    if (fullScreenKeys.Take(&host, &toggle)) {
        if (toggle) ToggleFullScreen();
        return;
    }
    if (!MapMouseEvent(view, &host)) return;
    std::vector<Message> messages;
    TranslateHostEvent(host, MainWindowHandle(), &messages);
    for (const Message& m : messages) PostMessage(m.hwnd, m.message, m.wParam, m.lParam);
}

void SdlWindowBackend::NoticeLostWindow() {
    if (windowLost || !window || !WindowTakenAway()) return;
    windowLost = true;
    drawable = false;
    std::fprintf(stderr, "quillfen-solitaire: the window was closed by another program\n");
    HostEvent close;
    close.kind = HostEvent::Quit;
    std::vector<Message> messages;
    TranslateHostEvent(close, MainWindowHandle(), &messages);
    for (const Message& m : messages) PostMessage(m.hwnd, m.message, m.wParam, m.lParam);
}

void SdlWindowBackend::FollowPointer() {
    const bool deferred = moveDeferred;
    moveDeferred = false;
    int x = 0, y = 0;
    uint32_t buttons = 0;
    // A button that changed since has its own event on the way, which places it; the move SDL
    // reported then stands as it is.
    if (!x11Pointer.Follow(&x, &y, &buttons) ||
        buttons != (heldButtons & (SDL_BUTTON_LMASK | SDL_BUTTON_MMASK | SDL_BUTTON_RMASK))) {
        if (deferred) Translate(deferredMove);
        return;
    }
    if (x == pointerX && y == pointerY) return;
    // Without a button held the window sees the pointer only while it is over it.
    int width = 0, height = 0;
    SDL_GetWindowSize(window, &width, &height);
    if (heldButtons == 0 && (x < 0 || y < 0 || x >= width || y >= height)) {
        if (deferred) Translate(deferredMove);
        return;
    }
    SDL_Event move{};
    move.type = SDL_MOUSEMOTION;
    move.motion.state = heldButtons;
    move.motion.x = x;
    move.motion.y = y;
    Translate(move);
}

void SdlWindowBackend::TranslateAmong(const SDL_Event* events, size_t count, size_t i) {
    SDL_Event event = events[i];
    switch (event.type) {
    case SDL_SYSWMEVENT:
        x11Pointer.Note(event);
        return;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP:
        x11Pointer.PlaceButton(&event);
        break;
    case SDL_MOUSEMOTION: {
        // Of a run of moves with the same buttons only the last counts. When the server only
        // hinted at the moves, the last pointer event of all goes where the pointer is now, which
        // FollowPointer asks once the events are read.
        size_t next = i + 1;
        while (next < count && events[next].type == SDL_SYSWMEVENT) ++next;
        if (next < count && events[next].type == SDL_MOUSEMOTION && events[next].motion.state == event.motion.state) return;
        if (!x11Pointer.HintWaiting()) break;
        for (; next < count; ++next) {
            const Uint32 type = events[next].type;
            if (type == SDL_MOUSEMOTION || type == SDL_MOUSEBUTTONDOWN || type == SDL_MOUSEBUTTONUP) break;
        }
        if (next < count) break;
        deferredMove = event;
        moveDeferred = true;
        return;
    }
    default:
        break;
    }
    Translate(event);
}

// Reads the display connection once and translates everything it brought. SDL_PollEvent would
// read the connection again for every event taken (a system call each); a burst of pointer
// motion is taken in one read, and of a run of moves only the last is translated.
bool SdlWindowBackend::DrainEvents() {
    SDL_PumpEvents();
    // All of them first: whether a move is the last of the pointer's events depends on the rest.
    taken.clear();
    SDL_Event events[64];
    int count;
    while ((count = SDL_PeepEvents(events, 64, SDL_GETEVENT, SDL_FIRSTEVENT, SDL_LASTEVENT)) > 0)
        taken.insert(taken.end(), events, events + count);
    for (size_t i = 0; i < taken.size(); ++i) TranslateAmong(taken.data(), taken.size(), i);
    const bool any = !taken.empty();
    // Also when SDL kept the hinted move to itself (it drops a move to the place it last knew of,
    // and with hints that can be a place the pointer has left since): the server sends no more
    // until asked.
    if (x11Pointer.HintWaiting()) FollowPointer();
    x11Pointer.HintGrabAfterPress();
    NoticeLostWindow();
    return any;
}

void SdlWindowBackend::PumpEvents(bool wait, uint64_t untilMs) {
    if (pointerWanted != pointerShown) {
        SDL_ShowCursor(pointerWanted ? SDL_ENABLE : SDL_DISABLE);
        pointerShown = pointerWanted;
    }
    const bool drained = DrainEvents();
    if (layoutDue) LayOut();
    if (drained || !wait) return;
    for (;;) {
        const uint64_t now = NowMs();
        if (untilMs != UINT64_MAX && now >= untilMs) return;
        if (TerminationSignalPending()) return;
        const uint64_t left = untilMs == UINT64_MAX ? kNoLimitWaitMs : std::min<uint64_t>(untilMs - now, kLongestSingleWaitMs);
        // Waits without taking the event: DrainEvents reads it with those that follow it.
        if (SDL_WaitEventTimeout(nullptr, static_cast<int>(std::max<uint64_t>(left, 1)))) {
            DrainEvents();
            return;
        }
        NoticeLostWindow();
    }
}

void SdlWindowBackend::WakeUp() {
    SDL_Event event{};
    event.type = wakeEventType;
    SDL_PushEvent(&event);
}

SDL_Cursor* SdlWindowBackend::MakeCursor(const CursorImage& image) {
    if (image.width <= 0 || image.height <= 0 ||
        image.pixels.size() != static_cast<size_t>(image.width) * static_cast<size_t>(image.height)) {
        return nullptr;
    }
    // The drawing layer hands over cursors made for its device scale; they are shown as they are.
    auto* pixels = const_cast<uint32_t*>(image.pixels.data());
    SDL_Surface* picture = SDL_CreateRGBSurfaceFrom(pixels, image.width, image.height, 32, image.width * 4,
                                                    0x00FF0000, 0x0000FF00, 0x000000FF, 0xFF000000);
    if (!picture) return nullptr;
    SDL_Cursor* cursor = SDL_CreateColorCursor(picture, image.hotX, image.hotY);
    SDL_FreeSurface(picture);
    return cursor;
}

int SdlWindowBackend::CreateCursor(const CursorImage& image) {
    SDL_Cursor* cursor = MakeCursor(image);
    if (!cursor) return 0;
    const int handle = nextCursor++;
    cursors[handle] = cursor;
    return handle;
}

bool SdlWindowBackend::ReplaceCursor(int handle, const CursorImage& image) {
    const auto found = cursors.find(handle);
    if (found == cursors.end()) return false;
    SDL_Cursor* cursor = MakeCursor(image);
    if (!cursor) return false;
    if (SDL_GetCursor() == found->second) SDL_SetCursor(cursor);
    SDL_FreeCursor(found->second);
    found->second = cursor;
    return true;
}

void SdlWindowBackend::SetCursor(int handle) {
    const auto found = cursors.find(handle);
    SDL_SetCursor(found != cursors.end() ? found->second : SDL_GetDefaultCursor());
}

void SdlWindowBackend::FreeCursor(int handle) {
    const auto found = cursors.find(handle);
    if (found == cursors.end()) return;
    if (SDL_GetCursor() == found->second) SDL_SetCursor(SDL_GetDefaultCursor());
    SDL_FreeCursor(found->second);
    cursors.erase(found);
}

void SdlWindowBackend::ConfinePointer(const Rect* rect) {
    if (!window) return;
#if SDL_VERSION_ATLEAST(2, 0, 18)
    if (!rect) {
        SDL_SetWindowMouseRect(window, nullptr);
        return;
    }
    // The rectangle is in the program's coordinates; it is confined to the table in the window.
    const Rect table = view.Table();
    Rect area = view.ToWindow(*rect);
    area.left = std::max(area.left, table.left);
    area.top = std::max(area.top, table.top);
    area.right = std::max(area.left, std::min(area.right, table.right));
    area.bottom = std::max(area.top, std::min(area.bottom, table.bottom));
    const SDL_Rect confined{area.left, area.top, area.Width(), area.Height()};
    SDL_SetWindowMouseRect(window, &confined);
#else
    SDL_SetWindowGrab(window, rect ? SDL_TRUE : SDL_FALSE);
#endif
}

}  // namespace

std::unique_ptr<SdlBackend> CreateSdlBackend(const WindowPlacement& placement) {
    // A click that activates the window is also delivered, as the program expects.
    SDL_SetHint(SDL_HINT_MOUSE_FOCUS_CLICKTHROUGH, "1");
    SDL_SetHint(SDL_HINT_VIDEO_MINIMIZE_ON_FOCUS_LOSS, "0");
    // The window surface then uses shared-memory images and sends only the rectangles asked for,
    // rather than going through a (software) GL texture that presents the whole window.
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    SDL_SetHint(SDL_HINT_APP_NAME, "Quillfen Solitaire");
    // The window class docks match with the desktop entry's StartupWMClass.
    setenv("SDL_VIDEO_X11_WMCLASS", kClassName, 0);
    setenv("SDL_VIDEO_WAYLAND_WMCLASS", kClassName, 0);
    // Before SDL's X driver starts: it keeps the handler it finds and restores it when it closes
    // its displays, which is when a late wake-up's error is read.
    InstallX11ErrorHandlers();
    if (SDL_InitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS) != 0) {
        std::fprintf(stderr, "quillfen-solitaire: cannot start SDL video: %s\n", SDL_GetError());
        return nullptr;
    }
    const char* driver = SDL_GetCurrentVideoDriver();
    std::fprintf(stderr, "quillfen-solitaire: video driver %s\n", driver ? driver : "(none)");
    const uint32_t wakeEventType = SDL_RegisterEvents(1);
    if (wakeEventType == static_cast<uint32_t>(-1)) {
        std::fprintf(stderr, "quillfen-solitaire: no SDL user event available\n");
        SDL_QuitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS);
        return nullptr;
    }
    return std::make_unique<SdlWindowBackend>(wakeEventType, placement);
}
