#include <cstdio>

#include "platform/backend.h"
#include "platform/sdl_backend.h"
#include "shell/command_line.h"
#include "shell/shell.h"
#include "shell/window_options.h"

int ProgramMain(int argc, char** argv, LoopCompanionMaker makeCompanion) {
    // --help, --version and unknown options end here; the window options are applied below.
    int exitStatus = 0;
    const std::optional<CommandLineOptions> options =
        ParseCommandLine(std::span<const char* const>(argv, static_cast<size_t>(argc)), &exitStatus);
    if (!options) return exitStatus;
    RequestStartingDeal(options->gameNumber, options->dealNumber);
    const WindowStart start = ReadWindowStart(argc, argv);
    std::unique_ptr<SdlBackend> backend = CreateSdlBackend(start.placement);
    if (!backend) return 1;
    SetBackend(backend.get());
    const int exitCode = RunApplication(makeCompanion);
    // A second copy, which only raised the first, never had a window to remember.
    if (backend->Placement().placed) SaveWindowPlacement(start, backend->Placement());
    SetBackend(nullptr);
    return exitCode;
}
