// Sound effects: short wave files from the "SFX" folder. PlaySoundEffect returns at once; the
// effect is mixed into the audio stream on one of a few voices, under nothing and over the music,
// so a deal or a move takes the same time with sound on as with sound off. Effects start in the
// order they are asked for; an effect asked for again while it still sounds starts over.
//
// An effect may have variants ("deal.wav", "deal-2.wav", ...): each time, one is picked at random
// and played a little higher or lower and softer or louder (a lone file plays as it is), so a deal of 28 cards sounds like
// cards and not like a machine. The pick never touches the deals' generator.
//
// Each file is read and converted to the output format the first time it is asked for, and kept
// for the rest of the run (a handful of short sounds).
#pragma once

#include <memory>
#include <string>

#include "platform/audio_device.h"
#include "platform/messages.h"
#include "platform/wave_reader.h"

// Sets up the audio device and the music thread. Returns 0, or -1 when there is no sound device:
// the program then runs silent and without music.
int InitSound(HWND window);
// True from a successful InitSound until ShutdownSound.
bool SoundReady();
// Starts "SFX\<name>" and returns at once. Does nothing when the name is empty or null, sound is
// not ready, the player has switched effects off, or the file is not a wave file we can play.
// Interface thread only.
void PlaySoundEffect(const char* name);
// Silences the effects, ends the music thread (waiting for it) and closes the device.
void ShutdownSound();
