#include "platform/x11_errors.h"

#include <X11/Xlib.h>
#include <X11/Xproto.h>

namespace {

XErrorHandler previousHandler = nullptr;

int OnXError(Display* display, XErrorEvent* error) {
    if (error->error_code == BadWindow && error->request_code == X_SendEvent) return 0;
    return previousHandler ? previousHandler(display, error) : 0;
}

}  // namespace

void TolerateSendsToVanishedWindows() {
    if (previousHandler) return;
    previousHandler = XSetErrorHandler(OnXError);
}
