#include "platform/bare_sdl_loop.h"

#include <SDL.h>
#include <fluidsynth.h>

#include "platform/audio_device.h"

void BareSdlIdle(uint32_t ms) {
    constexpr Uint32 kTimerMs = 100;
    const Uint64 end = SDL_GetTicks64() + ms;
    for (Uint64 now = SDL_GetTicks64(); now < end; now = SDL_GetTicks64()) {
        SDL_Event event;
        const Uint64 left = end - now;
        if (SDL_WaitEventTimeout(&event, static_cast<int>(left < kTimerMs ? left : kTimerMs)) != 0) {
            while (SDL_PollEvent(&event) != 0) {
            }
        }
    }
}

namespace {

void WriteMusic(void* synth, Uint8* stream, int length) {
    const int frames = length / static_cast<int>(2 * sizeof(int16_t));
    fluid_synth_write_s16(static_cast<fluid_synth_t*>(synth), frames, stream, 0, 2, stream, 1, 2);
}

}  // namespace

bool BareSdlIdleWithMusic(uint32_t ms, const std::vector<std::string>& songs, const std::string& soundFont) {
    if (songs.empty() || SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return false;
    fluid_set_log_function(FLUID_WARN, nullptr, nullptr);
    fluid_set_log_function(FLUID_INFO, nullptr, nullptr);
    fluid_settings_t* settings = new_fluid_settings();
    fluid_settings_setnum(settings, "synth.sample-rate", AudioDevice::kOutputRate);
    fluid_synth_t* synth = new_fluid_synth(settings);
    SDL_AudioDeviceID device = 0;
    bool played = false;
    if (synth && fluid_synth_sfload(synth, soundFont.c_str(), 1) != FLUID_FAILED) {
        SDL_AudioSpec asked{};
        asked.freq = static_cast<int>(AudioDevice::kOutputRate);
        asked.format = AUDIO_S16SYS;
        asked.channels = AudioDevice::kOutputChannels;
        asked.samples = AudioDevice::kPeriodFrames;
        asked.callback = WriteMusic;
        asked.userdata = synth;
        device = SDL_OpenAudioDevice(nullptr, 0, &asked, nullptr, 0);
    }
    if (device != 0) {
        SDL_PauseAudioDevice(device, 0);
        fluid_player_t* player = nullptr;
        for (const std::string& song : songs) {
            SDL_LockAudioDevice(device);
            if (player) delete_fluid_player(player);
            fluid_synth_system_reset(synth);
            player = new_fluid_player(synth);
            if (player && fluid_player_add(player, song.c_str()) == FLUID_OK) {
                fluid_player_set_loop(player, -1);
                fluid_player_play(player);
            }
            SDL_UnlockAudioDevice(device);
            BareSdlIdle(ms / static_cast<uint32_t>(songs.size()));
        }
        SDL_CloseAudioDevice(device);
        if (player) delete_fluid_player(player);
        played = true;
    }
    if (synth) delete_fluid_synth(synth);
    delete_fluid_settings(settings);
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    return played;
}
