// The program as the end-to-end tests and the real-program benchmarks run it: the shipped program
// plus the request answerer of tests/hooks/test_hooks.h.
#include "shell/shell.h"
#include "tests/hooks/test_hooks.h"

int main(int argc, char** argv) { return ProgramMain(argc, argv, &MakeTestHooks); }
