// A left click posted from inside a scripted step, at a point known only when the step runs.
#pragma once

#include <vector>

#include "platform/host_events.h"
#include "platform/messages.h"

inline void ClickNow(int x, int y) {
    std::vector<Message> messages;
    for (HostEvent::Kind kind : {HostEvent::MouseMove, HostEvent::MouseDown, HostEvent::MouseUp}) {
        HostEvent event;
        event.kind = kind;
        event.button = 1;
        event.buttons = kind == HostEvent::MouseDown ? 1 : 0;
        event.x = x;
        event.y = y;
        TranslateHostEvent(event, MainWindowHandle(), &messages);
    }
    for (const Message& m : messages) PostMessage(m.hwnd, m.message, m.wParam, m.lParam);
}
