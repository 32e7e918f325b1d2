// The idle loop of a minimal SDL program with a 100 ms timer, kept only so the benchmarks can
// compare the program's idle cost with it in one run.
#pragma once

#include <cstdint>

// Waits for SDL events for ms milliseconds, waking at least every 100 ms. The video subsystem
// must be up (a BareSdlPresenter made first).
void BareSdlIdle(uint32_t ms);
