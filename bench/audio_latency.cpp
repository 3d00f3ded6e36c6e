// How soon an effect reaches the sound device after sndPlaySoundA: the device buffer's size
// and period, the time the call itself takes (decoding and converting the wave), and the time
// from the call until the mixer hands the effect's first samples to the device.
//
//   g++ -std=c++20 -O2 -Isrc bench/audio_latency.cpp src/platform/{audio,waveplayer,mci}.cpp
//       $(pkg-config --cflags --libs sdl2 SDL2_mixer) -o /tmp/audio_latency   (one line)
//   SDL_AUDIODRIVER=dummy /tmp/audio_latency resources
//
// The dummy driver paces the mixer like a real card; a real card adds its own queue on top.

#include "platform/audio.h"
#include "platform/waveplayer.h"

#include <SDL.h>
#include <SDL_mixer.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

std::atomic<int> bufferBytes{0};
std::atomic<bool> armed{false};
std::atomic<Clock::rep> heardAt{0};

// Runs on the audio thread after each buffer is mixed.
void postMix(void*, Uint8* stream, int length) {
    bufferBytes.store(length);
    if (!armed.load()) return;
    if (std::any_of(stream, stream + length, [](Uint8 b) { return b != 0; })) {
        heardAt.store(Clock::now().time_since_epoch().count());
        armed.store(false);
    }
}

double ms(Clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

} // namespace

int main(int argc, char** argv) {
    const std::string dir = argc > 1 ? argv[1] : "resources";
    if (!platform::openAudio()) {
        std::fprintf(stderr, "no sound device: %s\n", SDL_GetError());
        return 1;
    }
    int frequency = 0, channels = 0;
    Uint16 format = 0;
    Mix_QuerySpec(&frequency, &format, &channels);
    Mix_SetPostMix(postMix, nullptr);
    while (bufferBytes.load() == 0) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    const int frames = bufferBytes.load() / (channels * SDL_AUDIO_BITSIZE(format) / 8);
    std::printf("device: %s, %d Hz, %d channels, buffer %d frames = %.1f ms (at 22050 Hz: %.1f ms)\n",
                SDL_GetCurrentAudioDriver(), frequency, channels, frames, 1000.0 * frames / frequency,
                1000.0 * frames / 22050);

    constexpr int Trials = 40;
    std::vector<double> allLatencies;
    for (int number = 1000; number <= 1005; ++number) {
        std::ifstream in(dir + "/" + std::to_string(number) + ".wav", std::ios::binary);
        const std::vector<std::uint8_t> wave{std::istreambuf_iterator<char>(in), {}};
        if (wave.size() < 12) {
            std::fprintf(stderr, "cannot read %s/%d.wav\n", dir.c_str(), number);
            return 1;
        }
        std::vector<double> calls, latencies;
        for (int trial = 0; trial < Trials; ++trial) {
            Mix_HaltChannel(0);
            // Let a silent buffer pass, then start at a varying point of the buffer period.
            std::this_thread::sleep_for(std::chrono::microseconds(30000 + 1700 * trial));
            armed.store(true);
            const auto start = Clock::now();
            platform::sndPlaySoundA(wave.data(),
                                    platform::SND_MEMORY | platform::SND_NODEFAULT | platform::SND_ASYNC);
            calls.push_back(ms(Clock::now() - start));
            while (armed.load()) std::this_thread::sleep_for(std::chrono::microseconds(200));
            latencies.push_back(ms(Clock::duration(heardAt.load()) - start.time_since_epoch()));
        }
        std::sort(calls.begin(), calls.end());
        std::sort(latencies.begin(), latencies.end());
        allLatencies.insert(allLatencies.end(), latencies.begin(), latencies.end());
        std::printf("%d.wav: call median %.2f ms max %.2f ms; first samples mixed after median %.1f ms, "
                    "max %.1f ms\n",
                    number, calls[Trials / 2], calls.back(), latencies[Trials / 2], latencies.back());
    }
    std::sort(allLatencies.begin(), allLatencies.end());
    std::printf(
        "all effects: first samples mixed after median %.1f ms, 95th percentile %.1f ms, max %.1f ms\n",
        allLatencies[allLatencies.size() / 2], allLatencies[allLatencies.size() * 95 / 100],
        allLatencies.back());
    Mix_SetPostMix(nullptr, nullptr);
    platform::closeAudio();
    return 0;
}
