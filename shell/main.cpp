#include "shell/shell.h"

int main(int argc, char** argv) { return ProgramMain(argc, argv, nullptr); }
