// links: audio liba os
// The user interface's longest wait to read where the sound is while an MP3 plays:
// a 44.1 kHz stereo MP3 (made with sox and lame, which must be on PATH) plays through
// the PCM player on the silent output, taken faster than real time so that the worker
// decodes often, while this thread polls the play position and the end as the main
// form's timer does, only more often.
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "audio/play_chain.h"
#include "audio/play_position.h"
#include "audio/player_pcm.h"
#include "liba/text.h"
#include "platform/sound/audio_output.h"

namespace {

constexpr int sound_seconds = 30;
constexpr double speed = 10;
constexpr auto poll_interval = std::chrono::microseconds(500);

bool run(const std::string& command) { return std::system((command + " >/dev/null 2>&1").c_str()) == 0; }

} // namespace

int main()
{
    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() / ("melodrift-bench-" + std::to_string(getpid()));
    std::filesystem::create_directories(folder);
    const std::string wav = (folder / "source.wav").string();
    const std::string mp3 = (folder / "source.mp3").string();
    if (!run("sox -n -r 44100 -c 2 -b 16 " + wav + " synth " + std::to_string(sound_seconds) +
             " sine 300-2000 sine 500 vol 0.5") ||
        !run("lame --quiet -b 128 " + wav + " " + mp3)) {
        std::fprintf(stderr, "bench_play_position_wait: sox and lame are needed\n");
        std::filesystem::remove_all(folder);
        return 1;
    }

    platform::choose_audio_output({platform::AudioOutput::Kind::null, {}, speed});
    const auto chain = audio::open_play_chain(liba::to_wide(mp3));
    if (!chain) {
        std::fprintf(stderr, "bench_play_position_wait: the MP3 does not open\n");
        std::filesystem::remove_all(folder);
        return 1;
    }
    audio::FileReader& reader = *chain->file_reader();
    std::vector<double> waits;
    {
        audio::PlayerPCM player;
        chain->pcm_provider()->connect(&player);
        reader.seek(0);
        audio::PlayPosition position(reader, player);
        player.play();
        for (bool finished = false; !finished;) {
            const auto start = std::chrono::steady_clock::now();
            position.read();
            finished = player.is_finished();
            waits.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
            std::this_thread::sleep_for(poll_interval);
        }
    }
    std::filesystem::remove_all(folder);

    std::sort(waits.begin(), waits.end());
    const auto at = [&](double fraction) { return waits[std::size_t(fraction * double(waits.size() - 1))]; };
    std::printf("128 kbit/s stereo MP3 at %gx real time, %zu position reads every %lld us\n", speed, waits.size(),
        static_cast<long long>(poll_interval.count()));
    std::printf("wait per read (ms): median %.4f  99.9%% %.4f  longest %.4f\n", at(0.5), at(0.999), waits.back());
    return 0;
}
