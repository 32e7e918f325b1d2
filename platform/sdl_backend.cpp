#include "platform/sdl_backend.h"

#include <SDL.h>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <map>

#include "platform/host_events.h"
#include "platform/paths.h"
#include "platform/sdl_audio_device.h"

namespace {

// The program's mark in the title bar and task switcher; magenta is its transparent colour.
// A missing icon file leaves the system's default.
void SetWindowIcon(SDL_Window* window) {
    SDL_Surface* icon = SDL_LoadBMP(DataPath("icon32.bmp").c_str());
    if (!icon) return;
    SDL_SetColorKey(icon, SDL_TRUE, SDL_MapRGB(icon->format, 255, 0, 255));
    SDL_SetWindowIcon(window, icon);
    SDL_FreeSurface(icon);
}


// SDL_WaitEventTimeout is given at most this long at a time, so a wait whose deadline was
// computed from a timer never oversleeps by much even if the host clock and SDL's disagree.
constexpr uint32_t kLongestSingleWaitMs = 250;
constexpr uint32_t kNoLimitWaitMs = 1000;
// Modes are reported at the program's size: the program only asks whether 800 x 600 fits.
constexpr int kReportedWidth = 800;
constexpr int kReportedHeight = 600;

class SdlBackend : public Backend {
public:
    explicit SdlBackend(uint32_t wakeEventType) : wakeEventType(wakeEventType) {}
    ~SdlBackend() override;

    bool CreateWindow(const char* title, int width, int height) override;
    void ShowWindow() override;
    void DestroyWindow() override;
    void RaiseWindow() override;
    void Present(const uint32_t* pixels, int pitchPixels, int sourceX, int sourceY, int width, int height,
                 int destX, int destY) override;
    std::vector<DisplayMode> DisplayModes() override;
    void ShowMessageBox(const char* title, const char* text) override;
    void PumpEvents(bool wait, uint64_t untilMs) override;
    void WakeUp() override;
    uint64_t NowMs() override { return SDL_GetTicks64(); }
    int64_t WallClockSeconds() override { return static_cast<int64_t>(std::time(nullptr)); }
    void SleepMs(uint32_t ms) override { SDL_Delay(ms); }
    void ShowPointer(bool visible) override { SDL_ShowCursor(visible ? SDL_ENABLE : SDL_DISABLE); }
    bool HasMouse() override { return true; }
    int CreateCursor(const CursorImage& image) override;
    void SetCursor(int handle) override;
    void FreeCursor(int handle) override;
    void ConfinePointer(const ScreenRect* rect) override;
    void CapturePointer(bool capture) override { SDL_CaptureMouse(capture ? SDL_TRUE : SDL_FALSE); }
    bool HostCapsLockOn() override { return (SDL_GetModState() & KMOD_CAPS) != 0; }
    std::unique_ptr<AudioDevice> CreateAudioDevice() override { return CreateSdlAudioDevice(); }

private:
    void Translate(const SDL_Event& event);

    uint32_t wakeEventType;
    SDL_Window* window = nullptr;
    SDL_Renderer* renderer = nullptr;
    SDL_Texture* texture = nullptr;
    int width = 0, height = 0;
    int scale = 1;
    uint32_t heldButtons = 0;
    std::map<int, SDL_Cursor*> cursors;
    int nextCursor = 1;
};

SdlBackend::~SdlBackend() {
    SDL_SetCursor(SDL_GetDefaultCursor());
    for (auto& entry : cursors) SDL_FreeCursor(entry.second);
    DestroyWindow();
    SDL_QuitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS);
    // When nothing else (audio) still uses SDL, shut it down fully so that it also lets go of
    // its desktop-bus connection.
    if (SDL_WasInit(SDL_INIT_EVERYTHING) == 0) SDL_Quit();
}

bool SdlBackend::CreateWindow(const char* title, int requestedWidth, int requestedHeight) {
    DestroyWindow();
    width = requestedWidth;
    height = requestedHeight;
    // On a desktop at least twice as large both ways the window grows by a whole factor, so the
    // pixels stay sharp and the picture is not tiny.
    scale = 1;
    SDL_DisplayMode desktop;
    if (SDL_GetDesktopDisplayMode(0, &desktop) == 0) {
        scale = std::max(1, std::min(desktop.w / width, desktop.h / height));
    }
    const uint32_t flags = SDL_WINDOW_BORDERLESS | SDL_WINDOW_ALWAYS_ON_TOP | SDL_WINDOW_HIDDEN;
    window = SDL_CreateWindow(title, 0, 0, width * scale, height * scale, flags);
    if (!window) {
        std::fprintf(stderr, "quillfen-solitaire: cannot create the window: %s\n", SDL_GetError());
        return false;
    }
    SetWindowIcon(window);
    // Never with vsync: every present would wait for the display's refresh.
    SDL_SetHint(SDL_HINT_RENDER_VSYNC, "0");
    renderer = SDL_CreateRenderer(window, -1, SDL_RENDERER_ACCELERATED);
    if (!renderer) renderer = SDL_CreateRenderer(window, -1, SDL_RENDERER_SOFTWARE);
    if (renderer) {
        texture = SDL_CreateTexture(renderer, SDL_PIXELFORMAT_RGB888, SDL_TEXTUREACCESS_STREAMING, width, height);
    }
    if (!renderer || !texture) {
        std::fprintf(stderr, "quillfen-solitaire: cannot set up drawing: %s\n", SDL_GetError());
        DestroyWindow();
        return false;
    }
    if (scale > 1) {
        // Mouse coordinates then arrive in the program's own 800 x 600 space.
        SDL_RenderSetLogicalSize(renderer, width, height);
        SDL_RenderSetIntegerScale(renderer, SDL_TRUE);
    }
    return true;
}

void SdlBackend::ShowWindow() {
    if (!window) return;
    SDL_ShowWindow(window);
    SDL_RaiseWindow(window);
}

void SdlBackend::DestroyWindow() {
    if (texture) SDL_DestroyTexture(texture);
    if (renderer) SDL_DestroyRenderer(renderer);
    if (window) SDL_DestroyWindow(window);
    texture = nullptr;
    renderer = nullptr;
    window = nullptr;
}

void SdlBackend::RaiseWindow() {
    if (!window) return;
    SDL_RestoreWindow(window);
    SDL_RaiseWindow(window);
}

void SdlBackend::Present(const uint32_t* pixels, int pitchPixels, int sourceX, int sourceY, int rectWidth,
                         int rectHeight, int destX, int destY) {
    if (!texture || !pixels) return;
    // Clip to the texture, moving the source corner along with the destination.
    if (destX < 0) {
        rectWidth += destX;
        sourceX -= destX;
        destX = 0;
    }
    if (destY < 0) {
        rectHeight += destY;
        sourceY -= destY;
        destY = 0;
    }
    rectWidth = std::min(rectWidth, width - destX);
    rectHeight = std::min(rectHeight, height - destY);
    if (rectWidth <= 0 || rectHeight <= 0 || sourceX < 0 || sourceY < 0) return;
    const SDL_Rect area{destX, destY, rectWidth, rectHeight};
    const uint32_t* first = pixels + static_cast<ptrdiff_t>(sourceY) * pitchPixels + sourceX;
    SDL_UpdateTexture(texture, &area, first, pitchPixels * static_cast<int>(sizeof(uint32_t)));
    // The back buffer's contents are undefined after a present, so the whole texture is drawn.
    SDL_RenderCopy(renderer, texture, nullptr, nullptr);
    SDL_RenderPresent(renderer);
}

std::vector<DisplayMode> SdlBackend::DisplayModes() {
    std::vector<DisplayMode> modes;
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

void SdlBackend::ShowMessageBox(const char* title, const char* text) {
    std::fprintf(stderr, "%s: %s\n", title, text);
    SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_INFORMATION, title, text, window);
}

void SdlBackend::Translate(const SDL_Event& event) {
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
        host.x = event.motion.x;
        host.y = event.motion.y;
        break;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP: {
        const bool down = event.type == SDL_MOUSEBUTTONDOWN;
        host.kind = down ? HostEvent::MouseDown : HostEvent::MouseUp;
        host.x = event.button.x;
        host.y = event.button.y;
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
        host.repeat = event.key.repeat != 0;
        host.shift = (event.key.keysym.mod & KMOD_SHIFT) != 0;
        host.control = (event.key.keysym.mod & KMOD_CTRL) != 0;
        host.alt = (event.key.keysym.mod & KMOD_ALT) != 0;
        break;
    case SDL_WINDOWEVENT:
        switch (event.window.event) {
        case SDL_WINDOWEVENT_FOCUS_GAINED: host.kind = HostEvent::FocusGained; break;
        case SDL_WINDOWEVENT_FOCUS_LOST: host.kind = HostEvent::FocusLost; break;
        case SDL_WINDOWEVENT_EXPOSED:
        case SDL_WINDOWEVENT_RESTORED: host.kind = HostEvent::Exposed; break;
        default: return;
        }
        break;
    case SDL_QUIT:
        host.kind = HostEvent::Quit;
        break;
    default:
        return;  // including our own wake-up event, which only ends a wait
    }
    std::vector<Message> messages;
    TranslateHostEvent(host, MainWindowHandle(), &messages);
    for (const Message& m : messages) PostMessage(m.hwnd, m.message, m.wParam, m.lParam);
}

void SdlBackend::PumpEvents(bool wait, uint64_t untilMs) {
    SDL_Event event;
    bool any = false;
    while (SDL_PollEvent(&event)) {
        Translate(event);
        any = true;
    }
    if (!wait || any) return;
    for (;;) {
        const uint64_t now = NowMs();
        if (untilMs != UINT64_MAX && now >= untilMs) return;
        const uint64_t left = untilMs == UINT64_MAX ? kNoLimitWaitMs : std::min<uint64_t>(untilMs - now, kLongestSingleWaitMs);
        if (SDL_WaitEventTimeout(&event, static_cast<int>(std::max<uint64_t>(left, 1)))) {
            Translate(event);
            while (SDL_PollEvent(&event)) Translate(event);
            return;
        }
    }
}

void SdlBackend::WakeUp() {
    SDL_Event event{};
    event.type = wakeEventType;
    SDL_PushEvent(&event);
}

int SdlBackend::CreateCursor(const CursorImage& image) {
    if (image.width <= 0 || image.height <= 0 ||
        image.pixels.size() != static_cast<size_t>(image.width) * static_cast<size_t>(image.height)) {
        return 0;
    }
    // A scaled window gets cursors scaled by the same factor, so they keep their size on screen.
    const int w = image.width * scale;
    const int h = image.height * scale;
    std::vector<uint32_t> pixels(static_cast<size_t>(w) * h);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) pixels[static_cast<size_t>(y) * w + x] = image.pixels[(y / scale) * image.width + x / scale];
    }
    SDL_Surface* surface = SDL_CreateRGBSurfaceFrom(pixels.data(), w, h, 32, w * 4, 0x00FF0000, 0x0000FF00,
                                                    0x000000FF, 0xFF000000);
    if (!surface) return 0;
    SDL_Cursor* cursor = SDL_CreateColorCursor(surface, image.hotX * scale, image.hotY * scale);
    SDL_FreeSurface(surface);
    if (!cursor) return 0;
    const int handle = nextCursor++;
    cursors[handle] = cursor;
    return handle;
}

void SdlBackend::SetCursor(int handle) {
    const auto found = cursors.find(handle);
    SDL_SetCursor(found != cursors.end() ? found->second : SDL_GetDefaultCursor());
}

void SdlBackend::FreeCursor(int handle) {
    const auto found = cursors.find(handle);
    if (found == cursors.end()) return;
    if (SDL_GetCursor() == found->second) SDL_SetCursor(SDL_GetDefaultCursor());
    SDL_FreeCursor(found->second);
    cursors.erase(found);
}

void SdlBackend::ConfinePointer(const ScreenRect* rect) {
    if (!window) return;
#if SDL_VERSION_ATLEAST(2, 0, 18)
    if (!rect) {
        SDL_SetWindowMouseRect(window, nullptr);
        return;
    }
    // The rectangle is in the program's coordinates; the window may be scaled.
    const SDL_Rect area{rect->left * scale, rect->top * scale, (rect->right - rect->left + 1) * scale,
                        (rect->bottom - rect->top + 1) * scale};
    SDL_SetWindowMouseRect(window, &area);
#else
    SDL_SetWindowGrab(window, rect ? SDL_TRUE : SDL_FALSE);
#endif
}

}  // namespace

std::unique_ptr<Backend> CreateSdlBackend() {
    // A click that activates the window is also delivered, as the program expects.
    SDL_SetHint(SDL_HINT_MOUSE_FOCUS_CLICKTHROUGH, "1");
    SDL_SetHint(SDL_HINT_VIDEO_MINIMIZE_ON_FOCUS_LOSS, "0");
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
    return std::make_unique<SdlBackend>(wakeEventType);
}
