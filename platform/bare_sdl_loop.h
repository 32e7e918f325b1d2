// The idle loop of a minimal SDL program with a 100 ms timer, kept only so the benchmarks can
// compare the program's idle cost with it in one run.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Waits for SDL events for ms milliseconds, waking at least every 100 ms. The video subsystem
// must be up (a BareSdlPresenter made first).
void BareSdlIdle(uint32_t ms);

// The same wait with music playing as a minimal program plays it: FluidSynth at the output rate
// with its own defaults, written straight into an SDL device of the program's format and period.
// The songs play in turn, each for an equal share of the time, looping. False when there is no
// sound device or the soundfont does not load (nothing is measured then).
bool BareSdlIdleWithMusic(uint32_t ms, const std::vector<std::string>& songs, const std::string& soundFont);
