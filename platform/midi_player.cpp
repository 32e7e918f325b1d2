#include "platform/midi_player.h"

#include <fluidsynth.h>

#include <filesystem>
#include <fstream>
#include <iterator>
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
        fluid_settings_setnum(settings, "synth.sample-rate", AudioDevice::kOutputRate);
        fluid_settings_setnum(settings, "synth.gain", kSynthGain);
        fluid_settings_setint(settings, "synth.polyphony", kPolyphony);
        // Only the instruments a song selects are read (and, for a compressed font, decoded):
        // a song uses five or six of the bank's presets.
        fluid_settings_setint(settings, "synth.dynamic-sample-loading", 1);
        synth = new_fluid_synth(settings);
        if (!synth) return false;
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
        if (!player) return true;
        if (fluid_player_get_status(player) == FLUID_PLAYER_DONE) return true;
        // The player itself reports the end about two seconds after the last event; the tick
        // count shows it at once. The total is known once the song has begun to render, and is
        // kept: the player counts it over every event each time it is asked.
        if (totalTicks <= 0) totalTicks = fluid_player_get_total_ticks(player);
        return totalTicks > 0 && fluid_player_get_current_tick(player) >= totalTicks;
    }

    void RenderMusic(float* out, int frames) override {
        fluid_synth_write_float(synth, frames, out, 0, 2, out, 1, 2);
    }

private:
    // With the mixer's lock held, so the audio thread is not inside the synthesiser.
    void StopLocked() {
        mixer->SetMusicRenderer(nullptr);
        if (player) {
            fluid_player_stop(player);
            delete_fluid_player(player);
            player = nullptr;
        }
        if (synth) fluid_synth_system_reset(synth);
    }

    std::shared_ptr<AudioMixer> mixer;
    std::vector<std::string> soundFonts;
    fluid_settings_t* settings = nullptr;
    fluid_synth_t* synth = nullptr;
    fluid_player_t* player = nullptr;
    int totalTicks = 0;  // of the song playing, once known
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
