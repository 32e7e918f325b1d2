#include "platform/midi_player.h"

#include <fluidsynth.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <filesystem>
#include <functional>
#include <fstream>
#include <iterator>
#include <numbers>
#include <vector>

#include "platform/midi_file.h"
#include "platform/paths.h"

namespace {

// Our songs are a few kilobytes; anything far larger is not one of them.
constexpr std::streamsize kMaximumSongBytes = 1 << 20;
// The music's share of the gain budget: its peaks stay under 0.45 of full scale, so an effect
// (peaks up to 0.6) on top of the loudest moment still does not reach the limiter.
constexpr double kSynthGain = 0.6;
// Our arrangements never hold more voices; fewer voices keep rendering cheap.
constexpr int kPolyphony = 96;
// How fast a tail that is no longer heard dies away, in timecents (2^(t/1200) seconds): an
// eighth of a second.
constexpr float kFadeTimecents = -3600.0f;
// How far under its note a tail has fallen when it is no longer heard under the music.
constexpr double kTailCutDecibels = 45;

bool ReadSong(const std::string& path, std::vector<uint8_t>* bytes) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    char chunk[4096];
    while (in.read(chunk, sizeof chunk) || in.gcount() > 0) {
        bytes->insert(bytes->end(), chunk, chunk + in.gcount());
        if (static_cast<std::streamsize>(bytes->size()) > kMaximumSongBytes) return false;
    }
    return !in.bad();
}

// The synthesiser runs at half the output rate, where it costs half as much (it is most of what
// music costs the idle table); a half-band filter then doubles the rate. Our songs put little
// above 11 kHz, and the filter keeps what lies below.
constexpr int kSynthRateDivisor = 2;
constexpr double kSynthRate = static_cast<double>(AudioDevice::kOutputRate) / kSynthRateDivisor;
constexpr int kHalfTaps = 8;  // on each side of an interpolated sample

// Weights of the input samples 0.5, 1.5, ... away from the sample made between them: a sinc
// under a Blackman window, summing to one over both sides.
std::array<float, kHalfTaps> HalfBandWeights() {
    std::array<float, kHalfTaps> weights{};
    double total = 0;
    for (int k = 0; k < kHalfTaps; ++k) {
        const double t = k + 0.5;
        const double sinc = std::sin(std::numbers::pi * t) / (std::numbers::pi * t);
        const double phase = std::numbers::pi * (t + kHalfTaps) / kHalfTaps;  // 0..2 pi over the span
        const double window = 0.42 - 0.5 * std::cos(phase) + 0.08 * std::cos(2 * phase);
        weights[k] = static_cast<float>(sinc * window);
        total += 2 * weights[k];
    }
    for (float& w : weights) w = static_cast<float>(w / total);
    return weights;
}

// Doubles the rate of interleaved stereo, keeping the last inputs between calls so blocks join.
class RateDoubler {
public:
    // Turns `frames` input frames (at most kMaxFrames) into twice as many output frames.
    void Process(const float* in, int frames, float* out) {
        static const std::array<float, kHalfTaps> weights = HalfBandWeights();
        // The kept frames, then the new ones, in one run.
        std::copy(in, in + frames * 2, line.begin() + kSpan * 2);
        for (int i = 0; i < frames; ++i) {
            // The output runs kHalfTaps input frames behind, so both sides of the filter are known:
            // the frame left of the gap, with kHalfTaps frames after it up to the newest.
            const float* centre = line.data() + (i + kSpan - kHalfTaps) * 2;
            for (int channel = 0; channel < 2; ++channel) {
                float between = 0;
                for (int k = 0; k < kHalfTaps; ++k)
                    between += weights[k] * (centre[-2 * k + channel] + centre[2 * (k + 1) + channel]);
                out[i * 4 + channel] = centre[channel];
                out[i * 4 + 2 + channel] = between;
            }
        }
        std::copy(line.begin() + frames * 2, line.begin() + (frames + kSpan) * 2, line.begin());
    }
    void Reset() { line.fill(0); }

    static constexpr int kMaxFrames = 512;

private:
    static constexpr int kSpan = 2 * kHalfTaps;  // frames kept
    std::array<float, (kSpan + kMaxFrames) * 2> line{};
};

class MidiPerformance : public MusicPerformance, public MusicRenderer {
public:
    MidiPerformance(std::shared_ptr<AudioMixer> mixer, std::vector<std::string> soundFonts)
        : mixer(std::move(mixer)), soundFonts(std::move(soundFonts)) {}

    ~MidiPerformance() override {
        {
            std::lock_guard lock(mixer->Lock());
            StopLocked();
        }
        if (synth) delete_fluid_synth(synth);
        if (settings) delete_fluid_settings(settings);
    }

    bool Initialise() override {
        if (synth) return true;
        // Only real errors are worth a line on the terminal.
        fluid_set_log_function(FLUID_WARN, nullptr, nullptr);
        fluid_set_log_function(FLUID_INFO, nullptr, nullptr);
        fluid_set_log_function(FLUID_DBG, nullptr, nullptr);
        settings = new_fluid_settings();
        if (!settings) return false;
        fluid_settings_setnum(settings, "synth.sample-rate", kSynthRate);
        fluid_settings_setnum(settings, "synth.gain", kSynthGain);
        fluid_settings_setint(settings, "synth.polyphony", kPolyphony);
        // Only the instruments a song selects are read (and, for a compressed font, decoded):
        // a song uses five or six of the bank's presets.
        fluid_settings_setint(settings, "synth.dynamic-sample-loading", 1);
        synth = new_fluid_synth(settings);
        if (!synth) return false;
        // At half rate the samples are read at about twice their pitch, where straight-line
        // interpolation between them differs from the default cubic by some 40 dB under the music
        // and costs a fifth less of the synthesiser's time.
        fluid_synth_set_interp_method(synth, -1, FLUID_INTERP_LINEAR);
        // The first soundfont that loads; a damaged one is named and the next is tried.
        for (const std::string& soundFont : soundFonts) {
            std::error_code error;
            if (!std::filesystem::is_regular_file(soundFont, error)) continue;
            if (fluid_synth_sfload(synth, soundFont.c_str(), 1) != FLUID_FAILED) return true;
            ReportUnusableDataFile(soundFont, "trying the next soundfont");
        }
        std::string looked;
        for (const std::string& soundFont : soundFonts) looked += (looked.empty() ? "" : ", ") + soundFont;
        ReportUnusableDataFile(looked.empty() ? std::string("(no soundfont named)") : looked,
                               "no soundfont could be loaded, so there is no music");
        delete_fluid_synth(synth);
        synth = nullptr;
        return false;
    }

    bool Play(const std::string& path) override {
        if (!synth) return false;
        std::vector<uint8_t> bytes;
        // The synthesiser's reader trusts its input, so ours checks the file first.
        if (!ReadSong(path, &bytes) || !ParseMidiFile(bytes.data(), bytes.size(), nullptr)) {
            ReportUnusableDataFile(path, "the song is not played");
            return false;
        }
        {
            std::lock_guard lock(mixer->Lock());
            StopLocked();
            player = new_fluid_player(synth);
            totalTicks = 0;
            if (!player) return false;
            if (fluid_player_add_mem(player, bytes.data(), bytes.size()) != FLUID_OK ||
                fluid_player_play(player) != FLUID_OK) {
                StopLocked();
                return false;
            }
            // The mixer renders music only while a song plays, so a silent table costs no synthesis.
            mixer->SetMusicRenderer(this);
        }
        mixer->Wake();
        return true;
    }

    void Stop() override {
        std::lock_guard lock(mixer->Lock());
        StopLocked();
    }

    bool SongEnded() override {
        std::lock_guard lock(mixer->Lock());
        return !player || PlayerAtEnd();
    }

    // Music is made ahead in large blocks and handed out as the mixer asks: the synthesiser's
    // voices and samples are brought into the cache once per block instead of once per output
    // period, which cost as much again as the rendering itself. Nothing waits on music, so its
    // lead costs no latency; effects are still mixed every period.
    void RenderMusic(float* out, int frames) override {
        int written = 0;
        while (written < frames) {
            if (aheadNext == aheadEnd) MakeAhead();
            const int taken = std::min(aheadEnd - aheadNext, frames - written);
            std::copy(ahead.begin() + aheadNext * 2, ahead.begin() + (aheadNext + taken) * 2, out + written * 2);
            aheadNext += taken;
            written += taken;
        }
    }

    void SetEndNotice(std::function<void()> notice) override {
        std::lock_guard lock(mixer->Lock());
        endNotice = std::move(notice);
    }

private:
    // Renders the next kAheadFrames output frames, and sends the end notice once the song has
    // reached its end.
    void MakeAhead() {
        for (int made = 0; made < kAheadFrames; made += 2 * kSlowBlock) {
            fluid_synth_write_float(synth, kSlowBlock, slowFrames.data(), 0, 2, slowFrames.data(), 1, 2);
            renderedFrames += static_cast<uint64_t>(kSlowBlock);
            QuietenTails();
            doubler.Process(slowFrames.data(), kSlowBlock, ahead.data() + made * 2);
        }
        aheadNext = 0;
        aheadEnd = kAheadFrames;
        if (endNotice && !endNoticed && player && PlayerAtEnd()) {
            endNoticed = true;
            endNotice();
        }
    }

    // With the mixer's lock held, a song playing.
    bool PlayerAtEnd() {
        if (fluid_player_get_status(player) == FLUID_PLAYER_DONE) return true;
        // The player itself reports the end about two seconds after the last event; the tick
        // count shows it at once. The total is known once the song has begun to render, and is
        // kept: the player counts it over every event each time it is asked.
        if (totalTicks <= 0) totalTicks = fluid_player_get_total_ticks(player);
        return totalTicks > 0 && fluid_player_get_current_tick(player) >= totalTicks;
    }

    // Ends tails nobody hears sooner, since each voice costs as much to render as a note that
    // is heard, and most voices are tails: three or four of every key in strummed and repeated
    // chords, and pads that ring for seconds.
    // - A key struck again on the same channel damps what is left of its earlier note, as a
    //   string struck again does: the old tail fades under the new attack.
    // - A tail that has fallen kTailCutDecibels under its note fades out then. The envelope
    //   falls 96 dB, evenly in decibels, over the release time the soundfont gives.
    void QuietenTails() {
        fluid_synth_get_voicelist(synth, voices.data(), static_cast<int>(voices.size()), -1);
        std::array<Tail, kPolyphony> seen{};
        size_t tails = 0;
        for (size_t i = 0; i < voices.size() && voices[i]; ++i) {
            fluid_voice_t* voice = voices[i];
            const float release = fluid_voice_gen_get(voice, GEN_VOLENVRELEASE);
            if (fluid_voice_is_on(voice) || release <= kFadeTimecents || tails == seen.size()) continue;
            const unsigned note = fluid_voice_get_id(voice);  // one per note-on, rising
            // When this tail began: as first seen, or kept from the last block.
            Tail tail{voice, note, renderedFrames};
            for (size_t j = 0; j < tailCount; ++j)
                if (released[j].voice == voice && released[j].note == note) tail.since = released[j].since;
            seen[tails++] = tail;
            const double heardFrames = std::exp2(release / 1200.0) * kTailCutDecibels / 96.0 * kSynthRate;
            bool fade = static_cast<double>(renderedFrames - tail.since) >= heardFrames;
            const int channel = fluid_voice_get_channel(voice), key = fluid_voice_get_actual_key(voice);
            for (size_t j = 0; !fade && j < voices.size() && voices[j]; ++j)
                fade = fluid_voice_get_id(voices[j]) > note && fluid_voice_get_channel(voices[j]) == channel &&
                       fluid_voice_get_actual_key(voices[j]) == key;
            if (fade) {
                fluid_voice_gen_set(voice, GEN_VOLENVRELEASE, kFadeTimecents);
                fluid_voice_update_param(voice, GEN_VOLENVRELEASE);
            }
        }
        released = seen;
        tailCount = tails;
    }

    // With the mixer's lock held, so the audio thread is not inside the synthesiser.
    void StopLocked() {
        mixer->SetMusicRenderer(nullptr);
        if (player) {
            fluid_player_stop(player);
            delete_fluid_player(player);
            player = nullptr;
        }
        if (synth) fluid_synth_system_reset(synth);
        doubler.Reset();
        aheadNext = aheadEnd = 0;
        endNoticed = false;
        tailCount = 0;
    }

    std::shared_ptr<AudioMixer> mixer;
    std::vector<std::string> soundFonts;
    fluid_settings_t* settings = nullptr;
    fluid_synth_t* synth = nullptr;
    fluid_player_t* player = nullptr;
    int totalTicks = 0;  // of the song playing, once known
    std::function<void()> endNotice;
    bool endNoticed = false;  // for the song playing
    // The voices sounding, null-terminated (the list has room for every voice and the end).
    std::array<fluid_voice_t*, kPolyphony + 1> voices{};
    // The tails sounding after the last block, and when each began, in synthesiser frames.
    struct Tail {
        fluid_voice_t* voice;
        unsigned note;
        uint64_t since;
    };
    std::array<Tail, kPolyphony> released{};
    size_t tailCount = 0;
    uint64_t renderedFrames = 0;
    // The half-rate frames, a block at a time, and the output made ahead of the mixer: frames
    // aheadNext to aheadEnd are still to be handed out.
    static constexpr int kSlowBlock = RateDoubler::kMaxFrames;
    static constexpr int kAheadFrames = 8 * kSlowBlock;  // about 93 ms
    std::array<float, kSlowBlock * 2> slowFrames{};
    std::array<float, kAheadFrames * 2> ahead{};
    int aheadNext = 0, aheadEnd = 0;
    RateDoubler doubler;
};

}  // namespace

std::string ChooseSoundFont(const std::vector<std::string>& candidates) {
    for (const std::string& path : candidates) {
        std::error_code error;
        if (std::filesystem::is_regular_file(path, error)) return path;
    }
    return {};
}

std::string InstalledSoundFont() {
    return ChooseSoundFont(std::vector<std::string>(std::begin(kSoundFontPaths), std::end(kSoundFontPaths)));
}

std::unique_ptr<MusicPerformance> CreateMidiPerformance(std::shared_ptr<AudioMixer> mixer,
                                                        std::vector<std::string> soundFonts) {
    if (!mixer) return nullptr;
    return std::make_unique<MidiPerformance>(std::move(mixer), std::move(soundFonts));
}
