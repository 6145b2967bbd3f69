// links: liba
// The real program, headless: how long from starting the process to its first screen
// (a script whose first step saves the screen, which runs once the program is idle),
// and its peak memory while a four-minute MP3 plays. Needs sox and lame on PATH.
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "bench/ui_bench.h"

namespace {

namespace fs = std::filesystem;

// Starts melodrift with the script in its own folders; the child's id.
pid_t start(const fs::path& folder, const fs::path& script)
{
    const pid_t child = fork();
    if (child != 0)
        return child;
    for (const char* name : {"MELODRIFT_CONFIG", "MELODRIFT_STATE", "XDG_RUNTIME_DIR"})
        setenv(name, folder.c_str(), 1);
    setenv("XDG_MUSIC_DIR", (folder / "music").c_str(), 1);
    freopen("/dev/null", "w", stderr);
    const std::string program = (ui_bench::own_folder() / "melodrift").string();
    execl(program.c_str(), program.c_str(), "--headless", "--audio", "null", "--script", script.c_str(),
        static_cast<char*>(nullptr));
    _exit(127);
}

} // namespace

int main()
{
    const fs::path folder = fs::temp_directory_path() / ("melodrift_bench_start_" + std::to_string(getpid()));
    fs::create_directories(folder / "music");
    const fs::path shot = folder / "first.png";
    std::ofstream(folder / "first.txt") << "screenshot " << shot.string() << "\nquit\n";

    std::vector<double> times;
    for (int round = 0; round < 15; ++round) {
        fs::remove(shot);
        const auto begun = std::chrono::steady_clock::now();
        const pid_t child = start(folder, folder / "first.txt");
        while (!fs::exists(shot) && waitpid(child, nullptr, WNOHANG) == 0)
            std::this_thread::sleep_for(std::chrono::microseconds(200));
        times.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - begun).count());
        waitpid(child, nullptr, 0);
    }
    std::sort(times.begin(), times.end());
    std::printf("%-44s median %.1f ms  best %.1f ms\n", "start to the first screen", times[times.size() / 2],
        times.front());

    const fs::path song = folder / "music/song.mp3";
    const std::string make = "sox -n -r 44100 -c 2 -t wav - synth 240 pinknoise vol 0.5 2>/dev/null | lame --quiet -b 128 - '"
        + song.string() + "'";
    if (std::system(make.c_str()) != 0) {
        std::fprintf(stderr, "cannot make the song (sox and lame)\n");
        return 1;
    }
    std::ofstream(folder / "play.txt") << "wait 300\nkey Down\nkey Enter\nwait 4000\nquit\n";
    const pid_t child = start(folder, folder / "play.txt");
    int status = 0;
    rusage usage {};
    wait4(child, &status, 0, &usage);
    std::printf("%-44s %.1f MB\n", "peak memory while a 4-minute MP3 plays", usage.ru_maxrss / 1024.0);
    fs::remove_all(folder);
    return 0;
}
