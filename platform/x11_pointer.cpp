#include "platform/x11_pointer.h"

#include <SDL.h>
#include <SDL_syswm.h>
#include <X11/Xlib.h>
#include <X11/extensions/XInput2.h>

namespace {

int IgnoreError(Display*, XErrorEvent*) { return 0; }

// What a pointer grab of the window reports: SDL's own choice, with moves hinted.
constexpr unsigned kGrabMask = ButtonPressMask | ButtonReleaseMask | PointerMotionMask | PointerMotionHintMask;

uint32_t SdlButtons(unsigned mask) {
    return (mask & Button1Mask ? SDL_BUTTON_LMASK : 0) | (mask & Button2Mask ? SDL_BUTTON_MMASK : 0) |
           (mask & Button3Mask ? SDL_BUTTON_RMASK : 0);
}

}  // namespace

bool X11Pointer::Attach(SDL_Window* window) {
    display = nullptr;
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (!window || !SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_X11) return false;
    Display* d = info.info.x11.display;
    const Window w = info.info.x11.window;
    XWindowAttributes attributes;
    if (!XGetWindowAttributes(d, w, &attributes)) return false;
    // Input-extension pointer events would come in place of the hinted core ones: none for the
    // window (a touch screen's touches then come as the pointer's presses and moves, which is
    // what SDL makes of them anyway), and none of the raw moves from the whole screen, which SDL
    // reads only in relative mouse mode. A server or SDL without the extension's second version
    // answers with an error, which is of no consequence here.
    int opcode = 0, firstEvent = 0, firstError = 0;
    if (XQueryExtension(d, "XInputExtension", &opcode, &firstEvent, &firstError)) {
        XSync(d, False);
        const XErrorHandler previous = XSetErrorHandler(IgnoreError);
        unsigned char none[XIMaskLen(XI_LASTEVENT)] = {};
        XIEventMask mask{XIAllMasterDevices, sizeof none, none};
        XISelectEvents(d, w, &mask, 1);
        XISelectEvents(d, DefaultRootWindow(d), &mask, 1);
        XSync(d, False);
        XSetErrorHandler(previous);
    }
    XSelectInput(d, w, attributes.your_event_mask | PointerMotionHintMask);
    XFlush(d);
    SDL_EventState(SDL_SYSWMEVENT, SDL_ENABLE);
    display = d;
    xwindow = w;
    hintWaiting = pressed = buttonPlaced = false;
    return true;
}

void X11Pointer::Note(const SDL_Event& event) {
    const SDL_SysWMmsg* message = event.syswm.msg;
    if (!display || !message || message->subsystem != SDL_SYSWM_X11) return;
    const XEvent& x = message->msg.x11.event;
    if (x.xany.window != xwindow) return;
    switch (x.type) {
    case MotionNotify:
        if (x.xmotion.is_hint == NotifyHint) hintWaiting = true;
        break;
    case ButtonPress:
        pressed = true;
        [[fallthrough]];
    case ButtonRelease:
        buttonPlaced = true;
        buttonX = x.xbutton.x;
        buttonY = x.xbutton.y;
        break;
    default:
        break;
    }
}

void X11Pointer::PlaceButton(SDL_Event* event) {
    if (!buttonPlaced) return;
    buttonPlaced = false;
    event->button.x = buttonX;
    event->button.y = buttonY;
}

bool X11Pointer::Follow(int* x, int* y, uint32_t* buttons) {
    if (!display) return false;
    hintWaiting = false;
    Window root = 0, child = 0;
    int rootX = 0, rootY = 0;
    unsigned mask = 0;
    if (!XQueryPointer(display, xwindow, &root, &child, &rootX, &rootY, x, y, &mask)) return false;
    *buttons = SdlButtons(mask);
    return true;
}

void X11Pointer::HintGrabAfterPress() {
    if (!pressed) return;
    pressed = false;
    HintGrab();
}

void X11Pointer::HintGrab() {
    if (!display) return;
    // Changes only a grab this client holds; without one the server ignores it.
    XChangeActivePointerGrab(display, kGrabMask, None, CurrentTime);
    XFlush(display);
}
