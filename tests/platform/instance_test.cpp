// The program's private folders, and the lock and socket that keep one copy running.
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

#include "platform/instance.h"
#include "platform/paths.h"
#include "scripted_fixture.h"
#include "tests/test_support.h"

namespace {

class Instance : public ScriptedTest {
protected:
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

    test_support::TempFolder folder{"instance"};
    const std::string directory = folder.String();
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

using test_support::ScopedEnvironment;

TEST(Paths, RuntimeAndConfigFoldersAreCreatedPrivate) {
    const test_support::TempFolder folder("paths");
    const std::string root = folder.String();
    {
        ScopedEnvironment runtime("XDG_RUNTIME_DIR", root.c_str());
        const std::string dir = RuntimeDirectory();
        EXPECT_EQ(dir, root + "/quillfen-solitaire");
        EXPECT_TRUE(std::filesystem::is_directory(dir));
    }
    {
        ScopedEnvironment runtime("XDG_RUNTIME_DIR", nullptr);
        const std::string dir = RuntimeDirectory();
        EXPECT_EQ(dir, "/tmp/quillfen-solitaire-" + std::to_string(getuid()));
        struct stat info {};
        ASSERT_EQ(stat(dir.c_str(), &info), 0);
        EXPECT_EQ(info.st_mode & 0777, 0700u);
    }
    ScopedEnvironment config("XDG_CONFIG_HOME", (root + "/config/nested").c_str());
    const std::string dir = ConfigDirectory();
    EXPECT_EQ(dir, root + "/config/nested/quillfen-solitaire");
    EXPECT_TRUE(std::filesystem::is_directory(dir));
}

}  // namespace
