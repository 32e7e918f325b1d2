#include "platform/instance.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <thread>

#include "platform/messages.h"

namespace {

constexpr int kListenBacklog = 4;
// The first copy listens only once its window exists; a second copy started during the
// first one's start-up keeps trying for this long before it gives up.
constexpr int kConnectAttempts = 10;
constexpr auto kConnectRetryDelay = std::chrono::milliseconds(100);

bool FillAddress(const std::string& path, sockaddr_un* address) {
    std::memset(address, 0, sizeof *address);
    address->sun_family = AF_UNIX;
    if (path.size() >= sizeof address->sun_path) return false;
    std::memcpy(address->sun_path, path.c_str(), path.size() + 1);
    return true;
}

void AskFirstCopyToRaise(const std::string& socketPath) {
    sockaddr_un address{};
    if (!FillAddress(socketPath, &address)) return;
    for (int attempt = 0; attempt < kConnectAttempts; ++attempt) {
        const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        if (fd < 0) return;
        if (connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0) {
            const char request = 'R';
            [[maybe_unused]] const ssize_t sent = send(fd, &request, 1, MSG_NOSIGNAL);
            close(fd);
            return;
        }
        close(fd);
        std::this_thread::sleep_for(kConnectRetryDelay);
    }
}

}  // namespace

// The listening thread and the pipe that tells it to stop.
struct SingleInstance::Listener {
    std::thread thread;
    int stopPipe[2] = {-1, -1};
};

SingleInstance::SingleInstance(const std::string& directory) {
    mkdir(directory.c_str(), 0700);
    socketPath = directory + "/instance.sock";
    const std::string lockPath = directory + "/instance.lock";
    lockFd = open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (lockFd < 0) {
        // Without a lock file the rule cannot be enforced; running is better than refusing.
        first = true;
        return;
    }
    if (flock(lockFd, LOCK_EX | LOCK_NB) == 0) {
        first = true;
        return;
    }
    close(lockFd);
    lockFd = -1;
    first = false;
    AskFirstCopyToRaise(socketPath);
}

SingleInstance::~SingleInstance() {
    if (listener) {
        const char stop = 'S';
        [[maybe_unused]] const ssize_t written = write(listener->stopPipe[1], &stop, 1);
        if (listener->thread.joinable()) listener->thread.join();
        close(listener->stopPipe[0]);
        close(listener->stopPipe[1]);
        delete listener;
    }
    if (listenFd >= 0) {
        close(listenFd);
        unlink(socketPath.c_str());
    }
    // Closing the descriptor releases the lock.
    if (lockFd >= 0) close(lockFd);
}

void SingleInstance::ListenForRaiseRequests() {
    if (!first || listener || lockFd < 0) return;
    sockaddr_un address{};
    if (!FillAddress(socketPath, &address)) return;
    // We hold the lock, so a socket file left here belongs to a copy that is gone.
    unlink(socketPath.c_str());
    listenFd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (listenFd < 0) return;
    if (bind(listenFd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0 ||
        listen(listenFd, kListenBacklog) != 0) {
        close(listenFd);
        listenFd = -1;
        return;
    }
    auto* started = new Listener;
    if (pipe2(started->stopPipe, O_CLOEXEC) != 0) {
        delete started;
        close(listenFd);
        listenFd = -1;
        unlink(socketPath.c_str());
        return;
    }
    listener = started;
    const int serverFd = listenFd;
    const int stopFd = listener->stopPipe[0];
    listener->thread = std::thread([serverFd, stopFd] {
        for (;;) {
            pollfd watched[2] = {{serverFd, POLLIN, 0}, {stopFd, POLLIN, 0}};
            if (poll(watched, 2, -1) < 0) {
                if (errno == EINTR) continue;
                return;
            }
            if (watched[1].revents) return;
            if (!(watched[0].revents & POLLIN)) continue;
            const int client = accept4(serverFd, nullptr, nullptr, SOCK_CLOEXEC);
            if (client < 0) continue;
            // The request's content does not matter: any connection asks for the window.
            close(client);
            if (HWND window = MainWindowHandle()) PostMessage(window, WM_APP_RAISE, 0, 0);
        }
    });
}
