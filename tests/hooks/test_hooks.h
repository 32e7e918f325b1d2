// Hooks for the end-to-end tests that drive the real program from outside (tests/e2e/).
//
// When the environment variable QUILLFEN_TEST_HOOKS names a folder, the program answers
// requests on two named pipes in it: it reads lines from "request" and writes one answer line per
// request to "reply" (never blocking: with no reader the answer is dropped). A request is
// "<tag> <command> [argument]"; the answer is "<tag> <text>". Requests are answered only while
// the program waits for input with an empty queue, so an answer always describes a settled
// screen, and input sent before a request has been handled by the time it is answered.
//
//   state          "game <n> active <0|1> raised <count> player <name>"
//   dump           writes the screen buffer to "screen.ppm" (binary PPM); "ok" or "none"
//   window         writes the window's picture to "window.ppm": "window <w> <h> table <left> <top>
//                  <width> <height> full <0|1> scale <n>" (window pixels), or "none"
//   layout         the same answer, writing no picture (a 4K one costs a tenth of a second)
//   piles          "piles <digest> points <n> undo <records>" of the running game, or "none"
//   move           "move <pick x> <pick y> <drop x> <drop y>": a legal drag, or "none"
//   where <text>   "<x> <y> <width> <height>" of the running game's menu title or open menu
//                  item whose caption is <text> (& marks may stay), or "none"
//
// Only the test build of the program (quillfen-solitaire-hooked) has these hooks; without the
// variable it behaves as the shipped program. The helpers below serve in-process tests as well.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "shell/shell.h"

class Game;
class ScriptedBackend;
class Window;
struct MoveGesture;

struct LegalMove {
    int pickX = 0, pickY = 0;  // press here: the pick-up found there is the one meant
    int dropX = 0, dropY = 0;  // release here: the drop target found there accepts the stack
};

// A drag the game would accept, or none. It only asks the game (CanDrop) and changes nothing.
std::optional<LegalMove> FindLegalMove(Game& game);
// Scripts the host input of a move at once: a drag is a press, a move with the button held and
// a release at the target.
void PostDrag(ScriptedBackend& backend, int fromX, int fromY, int toX, int toY);
void PostGesture(ScriptedBackend& backend, const MoveGesture& gesture);
// Scripts a click on the middle of the running game's control with this caption; false when the
// screen has none.
bool PostClickOnControl(ScriptedBackend& backend, std::string_view caption);
// A short text that changes whenever a card that can be picked up changes.
std::string PilesDigest(Game& game);
// The window whose caption is caption (with or without its & mark), searched in the panel, its controls and their open
// drop-down panels; null when none.
Window* FindControl(Window& panel, std::string_view caption);

// Alive for the length of the message loop. When QUILLFEN_TEST_HOOKS is set, it puts a
// request-answering back end in front of the installed one and takes it away again at the end.
class TestHookScope : public LoopCompanion {
public:
    TestHookScope();
    ~TestHookScope() override;
    TestHookScope(const TestHookScope&) = delete;
    TestHookScope& operator=(const TestHookScope&) = delete;
};

// The companion the test build of the program gives RunApplication.
std::unique_ptr<LoopCompanion> MakeTestHooks();
