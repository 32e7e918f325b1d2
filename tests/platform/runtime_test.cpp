#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>

#include "platform/paths.h"

namespace {

// Sets an environment variable for the length of a test and puts the old value back.
class ScopedEnvironment {
public:
    ScopedEnvironment(const char* name, const char* value) : name(name) {
        if (const char* old = std::getenv(name)) previous = old;
        if (value) setenv(name, value, 1);
        else unsetenv(name);
    }
    ~ScopedEnvironment() {
        if (previous) setenv(name, previous->c_str(), 1);
        else unsetenv(name);
    }

private:
    const char* name;
    std::optional<std::string> previous;
};

class Paths : public ::testing::Test {
protected:
    Paths() {
        char pattern[] = "/tmp/qf-paths-XXXXXX";
        root = mkdtemp(pattern);
    }
    ~Paths() override { std::filesystem::remove_all(root); }
    std::string root;
};

TEST_F(Paths, RuntimeAndConfigFoldersAreCreatedPrivate) {
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
