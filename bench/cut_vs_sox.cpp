// links: ringtone audio
// melodrift-cut against sox doing the same job: a 30-second ring tone from the middle
// of a 4-minute 44.1 kHz stereo source, MP3 at 128 kbit/s and 16-bit WAV, cut, mixed to
// mono, raised to three quarters of full scale and encoded at 64 kbit/s with LAME's
// defaults by both (sox -C 64 is lame -b 64 -q 3). Prints the wall and CPU time of each
// (medians of 7), their ratios, the speed of the job's two passes as
// multiples of real time, and melodrift-cut's peak memory for 4- and 60-minute sources,
// for the fragment and for the whole source.
//
// Fixtures are made with sox, lame and oggenc in MELODRIFT_BENCH_TMP (else /tmp/melodrift-bench).

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#include "app/ringtone_job.h"
#include "liba/text.h"

namespace {

using Clock = std::chrono::steady_clock;
namespace fs = std::filesystem;

constexpr double fragment_start = 105;
constexpr double fragment_seconds = 30;

double seconds_since(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

void shell(const std::string& command)
{
    if (std::system(command.c_str()) != 0) {
        std::fprintf(stderr, "failed: %s\n", command.c_str());
        std::exit(1);
    }
}

struct Run {
    double seconds = 0;     // wall time
    double cpu_seconds = 0; // user and system time, steadier on a busy machine
    long peak_kib = 0;
};

// Runs a program quietly and measures its wall time and peak resident memory.
Run run(const std::vector<std::string>& arguments)
{
    std::vector<char*> argv;
    for (const std::string& argument : arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    std::fflush(stdout);
    const Clock::time_point start = Clock::now();
    const pid_t child = fork();
    if (child == 0) {
        if (!freopen("/dev/null", "w", stdout) || !freopen("/dev/null", "w", stderr))
            _exit(126);
        execvp(argv[0], argv.data());
        _exit(127);
    }
    int status = 0;
    rusage usage{};
    wait4(child, &status, 0, &usage);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        std::fprintf(stderr, "failed: %s\n", arguments[0].c_str());
        std::exit(1);
    }
    const double cpu = usage.ru_utime.tv_sec + usage.ru_stime.tv_sec +
                       (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
    return {seconds_since(start), cpu, usage.ru_maxrss};
}

// Medians of wall and CPU time, each taken on its own; the peak is the largest.
Run median_of_seven(const std::vector<std::string>& arguments)
{
    std::vector<double> seconds, cpu_seconds;
    Run median;
    for (int i = 0; i < 7; ++i) {
        const Run next = run(arguments);
        seconds.push_back(next.seconds);
        cpu_seconds.push_back(next.cpu_seconds);
        median.peak_kib = std::max(median.peak_kib, next.peak_kib);
    }
    std::sort(seconds.begin(), seconds.end());
    std::sort(cpu_seconds.begin(), cpu_seconds.end());
    median.seconds = seconds[3];
    median.cpu_seconds = cpu_seconds[3];
    return median;
}

// Times the job's two passes in-process.
class PassClock : public RingtoneJob::Listener {
public:
    void on_pass_started(int pass) override { started[pass - 1] = Clock::now(); }
    Clock::time_point started[2];
};

void time_passes(const fs::path& source, const fs::path& target)
{
    const std::u16string source_name = liba::to_wide(source.string());
    int start = 0, finish = 0;
    {
        const auto chain = audio::open_play_chain(source_name);
        start = chain->file_reader()->seconds_to_position(fragment_start);
        finish = chain->file_reader()->seconds_to_position(fragment_start + fragment_seconds);
    }
    PassClock clock;
    RingtoneJob job(source_name, liba::to_wide(target.string()), start, finish, &clock);
    job.start();
    job.join();
    const Clock::time_point end = Clock::now();
    const double measuring = std::chrono::duration<double>(clock.started[1] - clock.started[0]).count();
    const double encoding = std::chrono::duration<double>(end - clock.started[1]).count();
    std::printf("  passes: measuring %.3f s (%.0fx real time), encoding %.3f s (%.0fx real time)\n", measuring,
                fragment_seconds / measuring, encoding, fragment_seconds / encoding);
}

} // namespace

int main(int, char** argv)
{
    const char* tmp = std::getenv("MELODRIFT_BENCH_TMP");
    const fs::path folder = fs::path(tmp && *tmp ? tmp : "/tmp/melodrift-bench");
    fs::create_directories(folder);
    const std::string cut = (fs::absolute(argv[0]).parent_path() / "melodrift-cut").string();
    const std::string start = std::to_string(fragment_start);
    const std::string finish = std::to_string(fragment_start + fragment_seconds);

    // Music-like load for the encoder: pink noise on one channel, a tone on the other.
    const fs::path wav4 = folder / "four_minutes.wav", mp3_4 = folder / "four_minutes.mp3";
    const fs::path wav60 = folder / "sixty_minutes.wav", mp3_60 = folder / "sixty_minutes.mp3";
    if (!fs::exists(wav4))
        shell("sox -D -n -r 44100 -c 2 -b 16 '" + wav4.string() + "' synth 240 pinknoise sine 440 vol 0.4");
    if (!fs::exists(mp3_4))
        shell("lame --quiet -b 128 --cbr -t '" + wav4.string() + "' '" + mp3_4.string() + "'");
    if (!fs::exists(mp3_60)) {
        std::ofstream out(mp3_60, std::ios::binary);
        std::ifstream in(mp3_4, std::ios::binary);
        const std::string frames((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        for (int i = 0; i < 15; ++i)
            out << frames;
    }
    if (!fs::exists(wav60))
        shell("sox '" + wav4.string() + "' '" + wav60.string() + "' repeat 14");

    std::printf("30 s ring tone from the middle of a 4-minute 44.1 kHz stereo source, median of 7\n");
    for (const fs::path& source : {mp3_4, wav4}) {
        const fs::path ours = folder / "ours.mp3", theirs = folder / "sox.mp3";
        const Run melodrift = median_of_seven({cut, source.string(), "-s", start, "-f", finish, "-o", ours.string()});
        const Run sox = median_of_seven({"sox", source.string(), "-C", "64", theirs.string(), "trim", start,
                                       "=" + finish, "remix", "-", "gain", "-n", "-2.5"});
        std::printf("%s:\n  melodrift-cut %.3f s (CPU %.3f s), sox %.3f s (CPU %.3f s), ratio %.2f (CPU %.2f);"
                    " below 1 is faster than sox\n",
                    source.filename().c_str(), melodrift.seconds, melodrift.cpu_seconds, sox.seconds, sox.cpu_seconds,
                    melodrift.seconds / sox.seconds, melodrift.cpu_seconds / sox.cpu_seconds);
        time_passes(source, folder / "passes.mp3");
    }

    const fs::path ogg60 = folder / "sixty_minutes.ogg";
    if (!fs::exists(ogg60))
        shell("oggenc -Q -o '" + ogg60.string() + "' '" + wav60.string() + "'");
    std::printf("Peak memory of melodrift-cut, the 30 s fragment and the whole source (goal under 80 MiB):\n");
    for (const fs::path& source : {mp3_4, mp3_60, wav4, wav60, ogg60}) {
        const bool long_source = source == mp3_60 || source == wav60 || source == ogg60;
        const std::string end = long_source ? "3600" : "240";
        const Run fragment = run({cut, source.string(), "-s", start, "-f", finish, "-o", (folder / "mem.mp3").string()});
        const Run whole = run({cut, source.string(), "-s", "0", "-f", end, "-o", (folder / "mem.mp3").string()});
        std::printf("  %-20s %8.1f MiB source  %6.1f MiB peak (fragment)  %6.1f MiB peak (whole)\n",
                    source.filename().c_str(), fs::file_size(source) / 1048576.0, fragment.peak_kib / 1024.0,
                    whole.peak_kib / 1024.0);
    }
    return 0;
}
