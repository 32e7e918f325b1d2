#include "tests/hooks/test_hooks.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <mutex>
#include <thread>

#include "draw/draw.h"
#include "framework/game.h"
#include "platform/backend.h"
#include "platform/messages.h"
#include "platform/scripted_backend.h"
#include "shell/shell.h"
#include "store/settings_store.h"
#include "ui/controls.h"
#include "ui/window.h"

namespace {

// How long the listener sleeps in poll before it looks at its stop flag again.
constexpr int kListenerPollMs = 100;

// Puts itself in front of the installed back end, passes every call through, and answers the
// queued requests whenever the program waits with nothing to do.
class HookBackend : public Backend {
public:
    HookBackend(Backend* inner, std::string folder) : inner(inner), folder(std::move(folder)) {}
    ~HookBackend() override { StopListening(); }

    bool StartListening() {
        const std::string path = folder + "/request";
        if (::mkfifo(path.c_str(), 0600) != 0 && errno != EEXIST) return false;
        // Read-write, so that the pipe never reports its end when a writer goes away.
        requestFd = ::open(path.c_str(), O_RDWR | O_CLOEXEC);
        if (requestFd < 0) return false;
        listener = std::thread([this] { Listen(); });
        return true;
    }

    void StopListening() {
        stop = true;
        if (listener.joinable()) listener.join();
        if (requestFd >= 0) ::close(requestFd);
        requestFd = -1;
    }

    bool CreateWindow(const char* title, int width, int height) override { return inner->CreateWindow(title, width, height); }
    void ShowWindow() override { inner->ShowWindow(); }
    void DestroyWindow() override { inner->DestroyWindow(); }
    void RaiseWindow() override {
        ++raised;
        inner->RaiseWindow();
    }
    void Present(const uint32_t* pixels, int pitchPixels, int sourceX, int sourceY, int width, int height, int destX,
                 int destY) override {
        inner->Present(pixels, pitchPixels, sourceX, sourceY, width, height, destX, destY);
    }
    std::vector<DisplayMode> DisplayModes() override { return inner->DisplayModes(); }
    void ShowMessageBox(const char* title, const char* text) override { inner->ShowMessageBox(title, text); }
    void PumpEvents(bool wait, uint64_t untilMs) override {
        // A wait means the queue is empty: the moment to answer. Answering returns at once, and
        // the caller looks at its queue and timers again before it waits anew.
        if (wait) EndBusy();
        if (wait && AnswerPending()) {
            busySince = Clock::now();
            return;
        }
        inner->PumpEvents(wait, untilMs);
        if (wait) busySince = Clock::now();
    }
    void WakeUp() override { inner->WakeUp(); }
    uint32_t MotionPaceMs() override { return inner->MotionPaceMs(); }
    uint64_t NowMs() override { return inner->NowMs(); }
    int64_t WallClockSeconds() override { return inner->WallClockSeconds(); }
    void SleepMs(uint32_t ms) override { inner->SleepMs(ms); }
    void ShowPointer(bool visible) override { inner->ShowPointer(visible); }
    void BeginPresents() override { inner->BeginPresents(); }
    void EndPresents() override { inner->EndPresents(); }
    bool HasMouse() override { return inner->HasMouse(); }
    int CreateCursor(const CursorImage& image) override { return inner->CreateCursor(image); }
    void SetCursor(int handle) override { inner->SetCursor(handle); }
    void FreeCursor(int handle) override { inner->FreeCursor(handle); }
    void ConfinePointer(const Rect* rect) override { inner->ConfinePointer(rect); }
    void CapturePointer(bool capture) override { inner->CapturePointer(capture); }
    bool HostCapsLockOn() override { return inner->HostCapsLockOn(); }
    std::unique_ptr<AudioDevice> CreateAudioDevice() override { return inner->CreateAudioDevice(); }
    int DeviceScale() override { return inner->DeviceScale(); }
    int LargestDeviceScale() override { return inner->LargestDeviceScale(); }
    void SetFrameScale(int scale) override { inner->SetFrameScale(scale); }
    bool ReplaceCursor(int handle, const CursorImage& image) override { return inner->ReplaceCursor(handle, image); }
    void ToggleFullScreen() override { inner->ToggleFullScreen(); }
    bool IsFullScreen() override { return inner->IsFullScreen(); }
    void SetMarginColor(uint32_t rgb) override { inner->SetMarginColor(rgb); }
    void SetMarginPicture(MarginPicture picture) override {
        inner->SetMarginPicture(std::move(picture));
    }
    bool CanPresent() override { return inner->CanPresent(); }
    bool ReadWindow(WindowPicture* picture, bool pixels) override { return inner->ReadWindow(picture, pixels); }

    Backend* Inner() const { return inner; }

private:
    void Listen() {
        std::string partial;
        char chunk[256];
        while (!stop) {
            pollfd entry{requestFd, POLLIN, 0};
            if (::poll(&entry, 1, kListenerPollMs) <= 0) {
                // A wake-up sent just as the main thread begins to wait may be lost, leaving a
                // request unanswered while the program waits for input with no timer due: so a
                // request still queued after a poll's time-out wakes the program again.
                bool waiting;
                {
                    std::lock_guard lock(mutex);
                    waiting = !requests.empty();
                }
                if (waiting) inner->WakeUp();
                continue;
            }
            const ssize_t got = ::read(requestFd, chunk, sizeof chunk);
            if (got <= 0) continue;
            partial.append(chunk, static_cast<size_t>(got));
            bool any = false;
            for (size_t end; (end = partial.find('\n')) != std::string::npos;) {
                std::lock_guard lock(mutex);
                requests.push_back(partial.substr(0, end));
                partial.erase(0, end + 1);
                any = true;
            }
            if (any) inner->WakeUp();
        }
    }

    bool AnswerPending() {
        std::deque<std::string> taken;
        {
            std::lock_guard lock(mutex);
            taken.swap(requests);
        }
        for (const std::string& request : taken) Reply(request);
        return !taken.empty();
    }

    void Reply(const std::string& request) {
        const size_t space = request.find(' ');
        const std::string tag = request.substr(0, space);
        std::string command = space == std::string::npos ? "" : request.substr(space + 1);
        std::string argument;
        if (const size_t split = command.find(' '); split != std::string::npos) {
            argument = command.substr(split + 1);
            command.resize(split);
        }
        const std::string answer = tag + " " + Answer(command, argument) + "\n";
        const std::string path = folder + "/reply";
        const int fd = ::open(path.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0) return;  // nobody listens
        [[maybe_unused]] const ssize_t written = ::write(fd, answer.data(), answer.size());
        ::close(fd);
    }

    std::string Answer(const std::string& command, const std::string& argument) {
        Game* game = CurrentGame();
        if (command == "state") {
            return "game " + std::to_string(game ? game->gameNumber : 0) + " active " +
                   std::to_string(IsApplicationActive() ? 1 : 0) + " raised " + std::to_string(raised.load()) +
                   " player " + userPreferences.HumanName;
        }
        if (command == "dump") return DumpScreen() ? "ok" : "none";
        if (command == "busy") {
            // The longest stretch between two waits for input since the last asking, and all of
            // them together, in milliseconds: what the program itself took to act on an input.
            char text[64];
            std::snprintf(text, sizeof text, "busy %.1f %.1f", longestBusyUs / 1000.0, totalBusyUs / 1000.0);
            longestBusyUs = totalBusyUs = 0;
            return text;
        }
        if (command == "moves") return "moves " + std::to_string(PointerMovesTaken());
        if (command == "pointer") {
            int x = 0, y = 0;
            PointerMovesTaken(&x, &y);
            return "pointer " + std::to_string(x) + " " + std::to_string(y);
        }
        if (command == "window") return DumpWindow(true);
        if (command == "layout") return DumpWindow(false);
        if (!game) return "none";
        if (command == "piles") {
            return "piles " + PilesDigest(*game) + " points " + std::to_string(game->points) + " undo " +
                   std::to_string(game->undo.Count());
        }
        if (command == "move") {
            const std::optional<LegalMove> move = FindLegalMove(*game);
            if (!move) return "none";
            return "move " + std::to_string(move->pickX) + " " + std::to_string(move->pickY) + " " +
                   std::to_string(move->dropX) + " " + std::to_string(move->dropY);
        }
        if (command == "where" && game->Root()) {
            const Window* found = FindControl(*game->Root(), argument);
            if (!found) return "none";
            return std::to_string(found->GetX()) + " " + std::to_string(found->GetY()) + " " +
                   std::to_string(found->GetWidth()) + " " + std::to_string(found->GetHeight());
        }
        return "none";
    }

    // The screen buffer as a binary PPM, written beside and renamed so a reader never sees half.
    bool DumpScreen() const {
        const int screen = ScreenBuffer();
        const Pixel* pixels = screen >= 0 ? BufferPixels(screen) : nullptr;
        if (!pixels) return false;
        return WritePpm("screen.ppm", pixels, BufferWidth(screen), BufferHeight(screen));
    }

    // Where the table lies in the window; with `write`, the window's own picture too, margins
    // included (a 4K picture costs a request a hundred milliseconds).
    std::string DumpWindow(bool write) const {
        WindowPicture picture;
        if (!inner->ReadWindow(&picture, write) ||
            (write && !WritePpm("window.ppm", picture.pixels.data(), picture.width, picture.height)))
            return "none";
        return "window " + std::to_string(picture.width) + " " + std::to_string(picture.height) + " table " +
               std::to_string(picture.tableLeft) + " " + std::to_string(picture.tableTop) + " " +
               std::to_string(picture.tableWidth) + " " + std::to_string(picture.tableHeight) + " full " +
               std::to_string(inner->IsFullScreen() ? 1 : 0) + " scale " + std::to_string(DrawScale());
    }

    bool WritePpm(const char* name, const uint32_t* pixels, int width, int height) const {
        std::string bytes = "P6\n" + std::to_string(width) + " " + std::to_string(height) + "\n255\n";
        bytes.reserve(bytes.size() + static_cast<size_t>(width) * height * 3);
        for (size_t i = 0; i < static_cast<size_t>(width) * height; ++i) {
            bytes.push_back(static_cast<char>(pixels[i] >> 16));
            bytes.push_back(static_cast<char>(pixels[i] >> 8));
            bytes.push_back(static_cast<char>(pixels[i]));
        }
        const std::string path = folder + "/" + name;
        const std::string temporary = path + ".part";
        FILE* file = std::fopen(temporary.c_str(), "wb");
        if (!file) return false;
        const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
        return std::fclose(file) == 0 && written && std::rename(temporary.c_str(), path.c_str()) == 0;
    }

    using Clock = std::chrono::steady_clock;
    void EndBusy() {
        const int64_t us = std::chrono::duration_cast<std::chrono::microseconds>(Clock::now() - busySince).count();
        longestBusyUs = std::max(longestBusyUs, us);
        totalBusyUs += us;
    }

    Backend* inner;
    std::string folder;
    Clock::time_point busySince = Clock::now();
    int64_t longestBusyUs = 0, totalBusyUs = 0;
    int requestFd = -1;
    std::thread listener;
    std::atomic<bool> stop{false};
    std::mutex mutex;
    std::deque<std::string> requests;
    std::atomic<int> raised{0};
};

std::unique_ptr<HookBackend> hookBackend;

uint64_t Mix(uint64_t hash, int64_t value) {
    // FNV-1a over the value's eight bytes.
    for (int i = 0; i < 8; ++i) {
        hash ^= static_cast<uint64_t>(value >> (8 * i)) & 0xFF;
        hash *= 0x100000001B3ull;
    }
    return hash;
}

}  // namespace

std::optional<LegalMove> FindLegalMove(Game& game) {
    for (Hotspot& spot : game.pickups) {
        const int pickX = spot.x + Game::kPickupWidth / 2, pickY = spot.y + 5;
        if (game.FindPickupAt(pickX, pickY) != &spot) continue;
        for (DropTarget& target : game.dropTargets) {
            // A target in the pick-up's own column is the pile the cards came from.
            if (target.x == spot.x) continue;
            const int dropX = (target.rect.left + target.rect.right) / 2;
            const int dropY = (target.rect.top + target.rect.bottom) / 2;
            if (game.FindDropTargetAt(dropX, dropY) != &target) continue;
            DragRecord record = spot;
            DropTarget copy = target;
            if (game.CanDrop(record, copy)) return LegalMove{pickX, pickY, dropX, dropY};
        }
    }
    return std::nullopt;
}

std::string PilesDigest(Game& game) {
    uint64_t hash = 0xCBF29CE484222325ull;
    for (const Hotspot& spot : game.pickups) {
        hash = Mix(Mix(Mix(hash, spot.x), spot.y), spot.count);
        for (int i = 0; i < spot.count && i < kMaxStackCards; ++i)
            hash = Mix(hash, spot.cards[static_cast<size_t>(i)].IsValid() ? spot.cards[static_cast<size_t>(i)].Index() : -1);
    }
    char text[17];
    std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(hash));
    return text;
}

Window* FindControl(Window& panel, std::string_view caption) {
    // Controls keep their caption without the hot-key mark.
    if (panel.GetText() == ParseCaption(caption).text) return &panel;
    for (WindowList* list : {panel.Children(), panel.Panels()}) {
        if (!list) continue;
        for (Window* member = list->Head(); member; member = member->NextInList()) {
            if (Window* found = FindControl(*member, caption)) return found;
            if (auto* menu = dynamic_cast<Menu*>(member); menu && menu->IsPanelOpen() && menu->DropDown()) {
                if (Window* found = FindControl(*menu->DropDown(), caption)) return found;
            }
        }
    }
    return nullptr;
}

TestHookScope::TestHookScope() {
    const char* folder = std::getenv("QUILLFEN_TEST_HOOKS");
    Backend* installed = CurrentBackend();
    if (!folder || !*folder || !installed) return;
    auto hooks = std::make_unique<HookBackend>(installed, folder);
    if (!hooks->StartListening()) {
        std::fprintf(stderr, "quillfen-solitaire: test hooks cannot listen in %s\n", folder);
        return;
    }
    std::fprintf(stderr, "quillfen-solitaire: test hooks listen in %s\n", folder);
    hookBackend = std::move(hooks);
    SetBackend(hookBackend.get());
}

TestHookScope::~TestHookScope() {
    if (hookBackend) {
        SetBackend(hookBackend->Inner());
        hookBackend.reset();
    }
}

std::unique_ptr<LoopCompanion> MakeTestHooks() { return std::make_unique<TestHookScope>(); }

void PostDrag(ScriptedBackend& backend, int fromX, int fromY, int toX, int toY) {
    HostEvent event;
    event.button = 1;
    event.kind = HostEvent::MouseDown, event.x = fromX, event.y = fromY;
    backend.PostHost(0, event);
    event.buttons = 1;
    event.kind = HostEvent::MouseMove, event.x = toX, event.y = toY;
    backend.PostHost(0, event);
    event.kind = HostEvent::MouseUp;
    backend.PostHost(0, event);
}

void PostGesture(ScriptedBackend& backend, const MoveGesture& gesture) {
    switch (gesture.kind) {
    case MoveGesture::kClick: backend.Click(0, gesture.fromX, gesture.fromY); break;
    case MoveGesture::kDoubleClick: backend.DoubleClick(0, gesture.fromX, gesture.fromY); break;
    case MoveGesture::kDrag: PostDrag(backend, gesture.fromX, gesture.fromY, gesture.toX, gesture.toY); break;
    case MoveGesture::kTwoClicks:
        backend.Click(0, gesture.fromX, gesture.fromY);
        backend.Click(0, gesture.toX, gesture.toY);
        break;
    }
}

bool PostClickOnControl(ScriptedBackend& backend, std::string_view caption) {
    Game* game = CurrentGame();
    Window* control = game && game->Root() ? FindControl(*game->Root(), caption) : nullptr;
    if (control) backend.Click(0, control->GetX() + control->GetWidth() / 2, control->GetY() + control->GetHeight() / 2);
    return control != nullptr;
}
