// Modal dialogs: a panel with a picture frame from the theme's dialog art, a title plate, its
// controls, and a nested message loop that runs until a control sets the result.
//
// Life of a dialog: construct it (its controls with Create<T>), call RunModal, read the control
// values, delete it. RunModal opens the dialog (saving what it covers before drawing anything),
// runs the loop, closes it and puts back every pixel it covered, whatever happened inside.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "ui/controls.h"
#include "ui/window.h"

// Runs a nested message loop for a modal panel until *result is non-zero. Input messages (and
// timers) go through TranslateInput and then to processEvent; every other message, and Caps Lock
// key-downs, go to the window procedure. After each message, while the application is active,
// queued drawing is presented when the panel reports itself dirty. A WM_QUIT ends the loop and
// is posted again so the outer loop ends too. keyUpToToolkit also routes WM_KEYUP to the toolkit.
template <typename ProcessEvent>
void RunModalLoop(Window& panel, const int& result, bool keyUpToToolkit, ProcessEvent processEvent);

class Dialog : public Panel {
public:
    static constexpr int kBorderWidth = 8;

    Dialog(int x, int y, int width, int height, std::string_view title);
    ~Dialog() override;

    void Open() override;
    void Close() override;
    void HandleEvent() override;
    void Draw() override;
    void Repaint() override;
    void SaveUnder() override;
    void RestoreUnder() override;
    Pixel BackgroundColor() const override;
    void PaintBackground(int minx, int maxx, int miny, int maxy) override;

    // Opens the dialog, runs the loop until the result is set and closes it again. Refuses
    // (returns 0 at once) when this dialog's loop is already running. Returns 0 when the program
    // is quitting.
    virtual int RunModal();
    // Reacts to one input message: the pattern is TranslateEvent, HandleEvent, then look at the
    // current event for commands of this dialog's buttons and for Escape.
    virtual void ProcessEvent() = 0;
    // Copies a rectangle of the face picture (relative to the dialog) back onto the dialog, for
    // dialogs that redraw changing text.
    virtual void PaintFace(int fx, int fy, int w, int h);

    // The button Enter presses wherever the focus is, unless a focused button takes Enter
    // itself. Null (the default) leaves Enter to the focused control.
    void SetDefaultButton(Button* button) { defaultButton = button; }
    Button* DefaultButton() const { return defaultButton; }

    int Result() const { return result; }
    void SetResult(int value) { result = value; }
    bool IsRunning() const { return running; }
    int TitleLeft() const { return titleLeft; }
    int TitleRight() const { return titleRight; }
    int TitleTop() const { return titleTop; }
    int TitleBottom() const { return titleBottom; }
    // The widest title the plate holds between its rounded ends (the frame's inside when the
    // dialog is narrower than the plate).
    int TitleRoom() const;

protected:
    // The frame, title plate and title; Repaint uses the second title style (bold, orange).
    void DrawFrame(bool repaintStyle);

    int result = 0;
    int titleLeft = 0, titleRight = 0, titleTop = 0, titleBottom = 0;
    int borderWidth = kBorderWidth;
    // Rows of frame drawn above the dialog while it is open (see Open), and what they cover.
    int capHeight = 0, capLeft = 0, capRight = 0;
    std::vector<uint8_t> capSaved;
    int reservedWord = 0;
    bool running = false;
    Button* defaultButton = nullptr;
};

// A small dialog with a centred line of text and one of four button sets. It is 100 pixels high
// (124 with a title, whose plate would otherwise cover the text) and as wide as its text needs.
// Enter presses the first button, or the second with kSecondIsDefault (a question whose "Yes"
// cannot be taken back).
class MessageBox : public Dialog {
public:
    enum Buttons : int { kOk = 16, kClose = 32, kOkCancel = 64, kYesNo = 256, kSecondIsDefault = 0x1000 };
    enum Results : int { kResultOk = 1, kResultClose = 2, kResultCancel = 3, kResultYes = 5, kResultNo = 6 };

    // Message boxes are top-level; the parent is accepted for callers' convenience and not used.
    MessageBox(Window* parent, std::string_view title, int flags, std::string_view message);

    void Open() override;
    void Close() override;
    void Draw() override;
    void ProcessEvent() override;

    const std::string& Message() const { return message; }
    Button* FirstButton() const { return buttons[0]; }
    Button* SecondButton() const { return buttons[1]; }

private:
    static constexpr int kButtonWidth = 60;
    static constexpr int kButtonHeight = 30;
    static constexpr int kButtonTop = 55;

    std::vector<std::string_view> MessageLines() const;

    std::string message;
    Button* buttons[3] = {nullptr, nullptr, nullptr};
    int contentOffset = 0;  // text and buttons move down under a title
    int buttonsOffset = 0;  // and the buttons below every line of the text
};

// The About box: the program's name and version, the credit rows and a few lines about the
// program, with one "OK" button (result 1, also on Escape).
class AboutDialog : public Dialog {
public:
    static constexpr int kResultOk = 1;

    AboutDialog();

    void Draw() override;
    void Repaint() override;
    void ProcessEvent() override;

    Button* OkButton() const { return ok; }

private:
    void DrawTexts();

    Button* ok = nullptr;
};

// The full-screen goodbye picture with one button; its command or Escape ends it with 2004.
class ExitScreen : public Panel {
public:
    static constexpr int kResult = 2004;

    ExitScreen();
    ~ExitScreen() override;

    void Open() override;
    void Close() override;
    void Draw() override;
    void Repaint() override { Draw(); }
    int RunModal();
    void ProcessEvent();

    ImageButton* ExitButton() const { return button; }

private:
    int background = -1;
    int buttonArt = -1;
    ImageButton* button = nullptr;
    int result = 0;
    bool running = false;
};

// --- Template definition ---

#include "platform/keys.h"
#include "platform/messages.h"
#include "ui/toolkit.h"

template <typename ProcessEvent>
void RunModalLoop(Window& panel, const int& result, bool keyUpToToolkit, ProcessEvent processEvent) {
    ModalLoopScope scope;
    while (result == 0) {
        Message message;
        if (!PeekMessage(&message, true)) {
            WaitMessage();
            continue;
        }
        if (message.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(message.wParam));
            return;
        }
        const uint32_t m = message.message;
        const bool toToolkit = (m == WM_KEYDOWN && message.wParam != VK_CAPITAL) || m == WM_CHAR || m == WM_SYSKEYDOWN ||
                               m == WM_SYSKEYUP || m == WM_TIMER || (m >= WM_MOUSEMOVE && m <= WM_RBUTTONDBLCLK) ||
                               (keyUpToToolkit && m == WM_KEYUP);
        if (toToolkit) {
            TranslateInput(message.hwnd, m, message.wParam, message.lParam);
            processEvent();
        } else {
            TranslateMessage(&message);
            DispatchMessage(&message);
        }
        if (ApplicationActiveForToolkit() && panel.IsDirty()) {
            PresentQueuedRects();
            panel.ClearDirty();
        }
    }
}
