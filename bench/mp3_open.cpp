// links: audio liba os
// Opening a 1-hour VBR MP3: with its Xing/Info frame (the length is read from it) and
// without one (every frame header is scanned), and the first time-to-position turn,
// which needs the index of every frame. Prints the median of 7 runs of each, in
// milliseconds, warm from the page cache.
//
// Fixtures are made with sox and lame in MELODRIFT_BENCH_TMP (else /tmp/melodrift-bench).

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "audio/file_reader_mp3.h"
#include "liba/text.h"

namespace {

using Clock = std::chrono::steady_clock;
namespace fs = std::filesystem;

void shell(const std::string& command)
{
    if (std::system(command.c_str()) != 0) {
        std::fprintf(stderr, "failed: %s\n", command.c_str());
        std::exit(1);
    }
}

double median_ms(const std::function<void()>& job)
{
    std::vector<double> runs;
    for (int i = 0; i < 7; ++i) {
        const Clock::time_point start = Clock::now();
        job();
        runs.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
    }
    std::sort(runs.begin(), runs.end());
    return runs[runs.size() / 2];
}

} // namespace

int main()
{
    const char* tmp = std::getenv("MELODRIFT_BENCH_TMP");
    const fs::path folder = fs::path(tmp && *tmp ? tmp : "/tmp/melodrift-bench");
    fs::create_directories(folder);
    const fs::path wav4 = folder / "four_minutes.wav", wav60 = folder / "sixty_minutes.wav";
    const fs::path xing = folder / "sixty_minutes_vbr.mp3", plain = folder / "sixty_minutes_vbr_plain.mp3";
    if (!fs::exists(wav4))
        shell("sox -D -n -r 44100 -c 2 -b 16 '" + wav4.string() + "' synth 240 pinknoise sine 440 vol 0.4");
    if (!fs::exists(wav60))
        shell("sox '" + wav4.string() + "' '" + wav60.string() + "' repeat 14");
    if (!fs::exists(xing))
        shell("lame --quiet -V 2 '" + wav60.string() + "' '" + xing.string() + "'");
    if (!fs::exists(plain))
        shell("lame --quiet -V 2 -t '" + wav60.string() + "' '" + plain.string() + "'");

    std::printf("Opening a 1-hour VBR MP3 (lame -V 2), median of 7, goal under 100 ms\n");
    for (const fs::path& path : {xing, plain}) {
        const std::u16string name = liba::to_wide(path.string());
        double length = 0;
        const double open = median_ms([&] {
            audio::FileReaderMP3 reader(name);
            length = reader.length_seconds();
        });
        const double open_and_turn = median_ms([&] {
            audio::FileReaderMP3 reader(name);
            reader.seek(reader.seconds_to_position(1800));
        });
        std::printf("  %-28s %6.1f MiB  length %7.1f s  open %6.2f ms  open and seek to 30:00 %6.2f ms\n",
                    path.filename().c_str(), fs::file_size(path) / 1048576.0, length, open, open_and_turn);
    }
    return 0;
}
