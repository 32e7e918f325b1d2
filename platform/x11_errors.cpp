#include "platform/x11_errors.h"

#include <SDL.h>
#include <SDL_syswm.h>
#include <X11/Xlib.h>
#include <X11/Xproto.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>

#include "platform/backend.h"

namespace {

XErrorHandler previousHandler = nullptr;
std::atomic<unsigned long> watchedWindow{0};
std::atomic<bool> windowGone{false};

int OnXError(Display* display, XErrorEvent* error) {
    if (error->error_code == BadWindow && error->request_code == X_SendEvent) return 0;
    const bool aboutWindow = error->error_code == BadWindow || error->error_code == BadDrawable;
    const unsigned long watched = watchedWindow.load();
    if (aboutWindow && watched != 0 && error->resourceid == watched) {
        windowGone = true;
        return 0;
    }
    return previousHandler ? previousHandler(display, error) : 0;
}

// Xlib ends the process when this returns, so it never does: what can be kept is kept, and the
// process ends here without running the exit handlers of libraries whose display is gone.
int OnXIOError(Display*) {
    static std::atomic<bool> entered{false};
    if (!entered.exchange(true)) {
        RunDisplayLostHandler();
        std::fputs("quillfen-solitaire: the connection to the display was lost; a game in progress is kept\n", stderr);
        std::fflush(stderr);
    }
    _exit(1);
}

}  // namespace

void InstallX11ErrorHandlers() {
    if (previousHandler) return;
    previousHandler = XSetErrorHandler(OnXError);
    XSetIOErrorHandler(OnXIOError);
}

void WatchWindow(SDL_Window* window) {
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (!window || !SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_X11) return;
    watchedWindow = info.info.x11.window;
    windowGone = false;
}

bool WindowTakenAway() { return windowGone.load(); }
