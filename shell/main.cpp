#include <cstdio>

#include "platform/backend.h"
#include "platform/sdl_backend.h"
#include "shell/shell.h"

int main() {
    std::unique_ptr<Backend> backend = CreateSdlBackend();
    if (!backend) return 1;
    SetBackend(backend.get());
    const int exitCode = RunApplication();
    SetBackend(nullptr);
    return exitCode;
}
