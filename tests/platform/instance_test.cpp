#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <thread>

#include "platform/instance.h"
#include "scripted_fixture.h"

namespace {

class Instance : public ScriptedTest {
protected:
    Instance() {
        char pattern[] = "/tmp/qf-instance-XXXXXX";
        directory = mkdtemp(pattern);
    }
    ~Instance() override { std::filesystem::remove_all(directory); }

    // Runs a second copy in a child process; true when it saw itself as the first.
    bool SecondCopyIsFirst() {
        const pid_t child = fork();
        if (child == 0) {
            bool first;
            {
                SingleInstance second(directory);
                first = second.IsFirst();
            }
            _exit(first ? 1 : 0);
        }
        int status = 0;
        waitpid(child, &status, 0);
        EXPECT_TRUE(WIFEXITED(status));
        return WEXITSTATUS(status) != 0;
    }

    // Waits in real time (the listener is a real thread) for a posted WM_APP_RAISE.
    bool RaiseArrives() {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        Message m;
        while (std::chrono::steady_clock::now() < deadline) {
            while (PeekMessage(&m, true)) {
                if (m.message == WM_APP_RAISE) {
                    DispatchMessage(&m);
                    return true;
                }
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        return false;
    }

    std::string directory;
};

TEST_F(Instance, TheLockGoesWithTheFirstCopyAndStaleSocketsAreReplaced) {
    {
        SingleInstance first(directory);
        ASSERT_TRUE(first.IsFirst());
        first.ListenForRaiseRequests();
        EXPECT_TRUE(std::filesystem::exists(directory + "/instance.sock"));
    }
    // A socket file left behind by a copy that died without cleaning up.
    { std::ofstream(directory + "/instance.sock") << ""; }
    SingleInstance next(directory);
    EXPECT_TRUE(next.IsFirst());
    HWND window = CreateWindow();
    ASSERT_NE(window, nullptr);
    next.ListenForRaiseRequests();
    EXPECT_FALSE(SecondCopyIsFirst());
    EXPECT_TRUE(RaiseArrives());
}

}  // namespace
