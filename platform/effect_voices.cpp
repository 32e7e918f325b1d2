#include "platform/effect_voices.h"

#include <algorithm>
#include <cmath>

EffectVoices::EffectVoices(uint32_t outputRate) : spacingFrames(uint64_t{outputRate} * kSpacingMs / 1000) {
    requests.reserve(kVoices * 4);
    taken.reserve(kVoices * 4);
}

void EffectVoices::Start(std::shared_ptr<const EffectSound> sound) {
    if (!sound || sound->Frames() == 0) return;
    std::lock_guard lock(requestLock);
    requests.push_back(std::move(sound));
}

void EffectVoices::StopAll() {
    std::lock_guard lock(requestLock);
    requests.clear();
    stopRequested = true;
}

bool EffectVoices::Idle() {
    if (Sounding() > 0) return false;
    std::lock_guard lock(requestLock);
    return requests.empty() && !stopRequested;
}

int EffectVoices::Sounding() const {
    int count = 0;
    for (const Voice& voice : voices) count += voice.sound != nullptr;
    return count;
}

EffectVoices::Voice& EffectVoices::VoiceFor(const EffectSound& sound) {
    // The same effect again (any variant of it) takes over its own voice: a deal or a run of
    // moves repeats one short sound, and restarting it keeps every card's snap crisp at its
    // onset, where overlapping copies a few milliseconds apart would pile up in volume and blur
    // into a hollow rattle.
    for (Voice& voice : voices)
        if (voice.sound && voice.sound->name == sound.name) return voice;
    for (Voice& voice : voices)
        if (!voice.sound) return voice;
    // All busy: the oldest effect is the one nearest its end, and the least missed.
    return *std::min_element(voices.begin(), voices.end(),
                             [](const Voice& a, const Voice& b) { return a.startFrame < b.startFrame; });
}

void EffectVoices::Schedule(std::shared_ptr<const EffectSound> sound) {
    const bool anyBefore = lastScheduled != nullptr;
    // A repeat of the effect just asked for that has not begun to sound yet adds nothing: with
    // slides off, a whole deal asks for its sound at once and is heard as one.
    if (lastScheduled && sound->name == lastScheduled->name && lastStart >= mixed) return;
    const uint64_t start = anyBefore ? std::max(mixed, lastStart + spacingFrames) : mixed;
    Voice& voice = VoiceFor(*sound);
    lastScheduled = sound;
    voice.sound = std::move(sound);
    voice.position = 0;
    voice.startFrame = start;
    lastStart = start;
}

void EffectVoices::Mix(float* out, int frames) {
    {
        std::lock_guard lock(requestLock);
        taken.swap(requests);
        if (stopRequested) {
            for (Voice& voice : voices) voice.sound.reset();
            stopRequested = false;
        }
    }
    for (auto& sound : taken) Schedule(std::move(sound));
    taken.clear();

    constexpr float kScale = 1.0f / 32768.0f;
    const uint64_t blockEnd = mixed + static_cast<uint64_t>(std::max(frames, 0));
    for (Voice& voice : voices) {
        if (!voice.sound || voice.startFrame >= blockEnd) continue;
        const int16_t* samples = voice.sound->samples.data();
        const uint32_t length = voice.sound->Frames();
        int i = voice.startFrame > mixed ? static_cast<int>(voice.startFrame - mixed) : 0;
        for (; i < frames && voice.position < length; ++i, ++voice.position) {
            out[2 * i] += samples[2 * voice.position] * kScale;
            out[2 * i + 1] += samples[2 * voice.position + 1] * kScale;
        }
        if (voice.position >= length) voice.sound.reset();
    }
    mixed = blockEnd;
}

void PeakLimiter::Process(float* samples, int frames) {
    if (frames <= 0) return;
    const size_t count = static_cast<size_t>(frames) * 2;
    float peak = 0.0f;
    for (size_t i = 0; i < count; ++i) peak = std::max(peak, std::abs(samples[i]));
    const float needed = peak > ceiling ? ceiling / peak : 1.0f;
    const float start = std::min(gain, needed);
    // Recovering, the gain ramps up across the block but never past what this block allows, so
    // every sample stays under the ceiling.
    const auto recovery = static_cast<float>(std::pow(10.0, kReleaseDbPerSecond * frames / rate / 20.0));
    const float end = std::min(needed, start * recovery);
    if (start == 1.0f && end == 1.0f) {
        gain = 1.0f;
        return;
    }
    const float step = (end - start) / static_cast<float>(frames);
    for (int frame = 0; frame < frames; ++frame) {
        const float g = start + step * static_cast<float>(frame);
        samples[2 * frame] = std::clamp(samples[2 * frame] * g, -ceiling, ceiling);
        samples[2 * frame + 1] = std::clamp(samples[2 * frame + 1] * g, -ceiling, ceiling);
    }
    gain = end;
}

void PeakLimiter::ProcessTo(float* samples, int frames, int16_t* out) {
    Process(samples, frames);
    // Rounded half away from zero, inline (a call per sample to the library's rounding was a
    // noticeable share of the audio thread).
    for (size_t i = 0; i < static_cast<size_t>(std::max(frames, 0)) * 2; ++i) {
        const float v = std::clamp(samples[i], -1.0f, 1.0f) * 32767.0f;
        out[i] = static_cast<int16_t>(v < 0 ? v - 0.5f : v + 0.5f);
    }
}
