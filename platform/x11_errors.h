// X errors the program can outlive, and the loss of the display, which it cannot.
#pragma once

// Installs the program's X error handlers; call before SDL starts its video.
//
// A message sent to a window that no longer exists is harmless: SDL wakes its event wait from
// another thread by sending a message to the program's window over a second display connection,
// and when the window is destroyed (at exit) while such a message is on its way, the server
// answers with BadWindow, which Xlib's default handler would end the program for.
//
// Errors about the watched window (WatchWindow) mean that another client destroyed it: they are
// noted (WindowTakenAway) and otherwise ignored, so the program can close the way its close
// button closes it. Every other X error goes to the handler that was in place.
//
// When the connection to the X server is lost, the display-lost handler of the platform layer
// runs (SetDisplayLostHandler), one line goes to stderr and the process ends with status 1.
void InstallX11ErrorHandlers();

struct SDL_Window;

// The window the program draws into; nothing happens for a window that is not an X one.
void WatchWindow(SDL_Window* window);
// True once an error said that the watched window no longer exists.
bool WindowTakenAway();
