// The program's sound effects, synthesised: card snaps are shaped noise, chimes are decaying
// partials. Every effect is 22050 Hz, 16-bit mono PCM and the same bytes on every run.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

inline constexpr int kEffectSampleRate = 22050;
inline constexpr char kEffectFolder[] = "SFX";

// Wraps mono 16-bit samples in a RIFF/WAVE file.
std::vector<uint8_t> EncodeWave(const std::vector<int16_t>& samples, int sampleRate);

// Every effect the program plays, as ("SFX/deal.wav", file bytes).
std::vector<std::pair<std::string, std::vector<uint8_t>>> RenderSoundEffects();
