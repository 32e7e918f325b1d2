// Renders each generated song to a WAV file with the program's synthesiser, so the songs can
// be listened to without running the program, and reports the share of one core that
// rendering took (the player renders in real time, so this is its load while music plays), and
// the energy above 4 kHz against the whole (how bright the mix is).
// Fails when a song is silent, when the songs' loudness spreads over 3 dB with the preferred soundfont, or when a peak
// leaves no room for an effect on top (0.45), the balance the tests check on openings only.
//
// Usage: music_render <data folder> <output folder> [soundfont]

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <vector>

#include "audio/loudness.h"
#include "platform/midi_player.h"

namespace {

constexpr int kBlockFrames = 512;
constexpr double kLongestSongSeconds = 300;

void PutLittle(std::vector<uint8_t>& out, uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

bool WriteStereoWave(const std::filesystem::path& path, const std::vector<int16_t>& samples) {
    std::vector<uint8_t> file = {'R', 'I', 'F', 'F'};
    const uint32_t dataBytes = static_cast<uint32_t>(samples.size() * 2);
    PutLittle(file, 36 + dataBytes, 4);
    file.insert(file.end(), {'W', 'A', 'V', 'E', 'f', 'm', 't', ' ', 16, 0, 0, 0, 1, 0, 2, 0});
    PutLittle(file, AudioDevice::kOutputRate, 4);
    PutLittle(file, AudioDevice::kOutputRate * 4, 4);
    file.insert(file.end(), {4, 0, 16, 0, 'd', 'a', 't', 'a'});
    PutLittle(file, dataBytes, 4);
    for (int16_t s : samples) PutLittle(file, static_cast<uint16_t>(s), 2);
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(file.data()), static_cast<std::streamsize>(file.size()));
    return static_cast<bool>(out);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3 && argc != 4) {
        std::fprintf(stderr, "usage: %s <data folder> <output folder> [soundfont]\n", argv[0]);
        return 2;
    }
    const std::filesystem::path music = std::filesystem::path(argv[1]) / "music";
    const std::filesystem::path outDir = argv[2];
    std::filesystem::create_directories(outDir);
    auto mixer = std::make_shared<AudioMixer>();
    const std::string soundFont = argc == 4 ? argv[3] : InstalledSoundFont();
    std::unique_ptr<MusicPerformance> performance = CreateMidiPerformance(mixer, {soundFont});
    if (!performance->Initialise()) {
        std::fprintf(stderr, "cannot load the soundfont %s\n", soundFont.c_str());
        return 1;
    }
    int failures = 0;
    double quietest = 0, loudest = -100;
    for (const char* name : {"MAIN.MID", "SONG1.MID", "SONG2.MID", "SONG3.MID", "SONG4.MID", "SONG5.MID",
                             "SONG6.MID", "WIN.MID", "LOSE.MID"}) {
        if (!performance->Play((music / name).string())) {
            std::fprintf(stderr, "%s: cannot play\n", name);
            ++failures;
            continue;
        }
        std::vector<float> block(2 * kBlockFrames);
        std::vector<int16_t> samples;
        double peak = 0, energy = 0, highEnergy = 0;
        loudness::HighPass highPass[2] = {{4000, AudioDevice::kOutputRate}, {4000, AudioDevice::kOutputRate}};
        const auto start = std::chrono::steady_clock::now();
        // A little past the last note, so the final chord rings out.
        int tailBlocks = AudioDevice::kOutputRate * 2 / kBlockFrames;
        while (tailBlocks > 0 && samples.size() < kLongestSongSeconds * AudioDevice::kOutputRate * 2) {
            if (performance->SongEnded()) --tailBlocks;
            mixer->RenderMusicOnly(block.data(), kBlockFrames);
            for (size_t i = 0; i < block.size(); ++i) {
                const float v = block[i];
                peak = std::max(peak, static_cast<double>(std::abs(v)));
                energy += static_cast<double>(v) * v;
                const double high = highPass[i % 2].Filter(v);
                highEnergy += high * high;
                samples.push_back(static_cast<int16_t>(std::lround(std::clamp(v, -1.0f, 1.0f) * 32767.0f)));
            }
        }
        const double cpu = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        const double seconds = static_cast<double>(samples.size()) / 2 / AudioDevice::kOutputRate;
        const double rms = std::sqrt(energy / std::max<size_t>(samples.size(), 1));
        std::string wav = name;
        wav.replace(wav.size() - 3, 3, "wav");
        WriteStereoWave(outDir / wav, samples);
        std::vector<float> asFloat(samples.size());
        for (size_t i = 0; i < samples.size(); ++i) asFloat[i] = samples[i] / 32768.0f;
        const double db = loudness::SongDb(asFloat, 2, AudioDevice::kOutputRate);
        quietest = std::min(quietest, db);
        loudest = std::max(loudest, db);
        std::printf("%-10s %6.1f s  peak %.2f  rms %.3f  loudness %.1f dB  above 4 kHz %.1f dB  rendering %.2f%% of one core\n",
                    name, seconds, peak, rms, db, 10 * std::log10(std::max(highEnergy, 1e-12) / std::max(energy, 1e-12)),
                    100.0 * cpu / seconds);
        if (peak < 0.01 || peak >= 0.45) ++failures;
    }
    std::printf("loudness spread %.1f dB\n", loudest - quietest);
    if (soundFont == kSoundFontPaths[0] && loudest - quietest > 3.0) ++failures;  // balanced for this one
    return failures == 0 ? 0 : 1;
}
