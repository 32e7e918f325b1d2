#include <cstdio>

#include "platform/backend.h"
#include "platform/sdl_backend.h"
#include "shell/command_line.h"
#include "shell/shell.h"

int main(int argc, char** argv) {
    int exitStatus = 0;
    const std::optional<CommandLineOptions> options =
        ParseCommandLine(std::span<const char* const>(argv, static_cast<size_t>(argc)), &exitStatus);
    if (!options) return exitStatus;
    // FIXME: the window mode is read here and acted on once the window modes exist.
    std::unique_ptr<Backend> backend = CreateSdlBackend();
    if (!backend) return 1;
    SetBackend(backend.get());
    const int exitCode = RunApplication();
    SetBackend(nullptr);
    return exitCode;
}
