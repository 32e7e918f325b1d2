// X errors the program can outlive.
#pragma once

// Makes a message sent to a window that no longer exists harmless. SDL wakes its event wait from
// another thread by sending a message to the program's window over a second display connection;
// when the window is destroyed (at exit) while such a message is on its way, the server answers
// with BadWindow, and Xlib's default handler would end the program with status 1. Every other X
// error goes to the handler that was in place. Call before SDL starts its video.
void TolerateSendsToVanishedWindows();
