// The program's sound effects, synthesised: a card is a short snap of the card's edge over the
// low-mid body of the card stock flexing, a slide is friction noise, chimes are decaying partials,
// a refusal is a low knock whose harmonics carry it on small speakers. Each card event (deal, flip,
// put down, slide to a reserve, undo) has its own recipe, and every event a few variants (the
// player picks one at random each time). All but the button's click are rolled off above about
// 12 kHz. Every effect is 44100 Hz, 16-bit mono PCM, brought to the same loudness, and the same
// bytes on every run.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

inline constexpr int kEffectSampleRate = 44100;
inline constexpr char kEffectFolder[] = "SFX";
// Variants of "deal.wav" are "deal-2.wav", "deal-3.wav", ...
inline constexpr int kEffectVariants = 4;

// Wraps mono 16-bit samples in a RIFF/WAVE file.
std::vector<uint8_t> EncodeWave(const std::vector<int16_t>& samples, int sampleRate);

// Every effect the program plays, as ("SFX/deal.wav", file bytes), variants included.
std::vector<std::pair<std::string, std::vector<uint8_t>>> RenderSoundEffects();
