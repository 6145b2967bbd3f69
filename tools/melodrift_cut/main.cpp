// melodrift-cut: the ring-tone conversion of the application, from the command line.

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <unistd.h>

#include "app/ringtone_job.h"
#include "app/ringtone_name.h"
#include "app/ringtone_setting.h"
#include "audio/play_chain.h"
#include "liba/text.h"
#include "os/path.h"
#include "platform/sound/audio_output.h"
#include "tools/melodrift_cut/fragment_player.h"
#include "tools/melodrift_cut/time_text.h"

namespace {

constexpr const char* program = "melodrift-cut";

constexpr const char* usage =
    "Usage: melodrift-cut SOURCE --start TIME --finish TIME [-o TARGET] [--assign]\n"
    "       melodrift-cut SOURCE --start TIME --finish TIME --play [--audio OUTPUT]\n"
    "\n"
    "Cuts a piece of a music file (MP3; WAV with PCM, Microsoft ADPCM or GSM 6.10;\n"
    "Ogg Vorbis; Musepack) into a phone ring tone: mono MP3 at 32 or 64 kbit/s, its\n"
    "peak raised to three quarters of full scale when quieter (by 24 dB at most).\n"
    "\n"
    "  -s, --start TIME     where the ring tone starts\n"
    "  -f, --finish TIME    where it finishes\n"
    "  -o, --output TARGET  the file to write; by default SOURCE's base name, \"_\",\n"
    "                       the next free three-digit number and \".mp3\", in the\n"
    "                       ring-tone folder (%windows%/Rings)\n"
    "      --assign         also make the new file the phone's ring tone\n"
    "      --play           play the fragment instead, to hear it before cutting;\n"
    "                       its position shows on standard error\n"
    "      --audio OUTPUT   where the sound goes: sdl (the sound card, the default),\n"
    "                       null (nowhere) or wav:PATH (recorded to PATH); the\n"
    "                       default comes from MELODRIFT_AUDIO when it is set\n"
    "  -h, --help           show this text\n"
    "\n"
    "TIME is seconds (75, 12.5) or minutes and seconds (1:15, 1:02.5).\n"
    "A progress bar appears on standard error when it is a terminal; Ctrl-C stops\n"
    "and leaves no file (so do SIGTERM and SIGHUP); an existing TARGET is replaced\n"
    "only by a complete ring tone, and never when it is SOURCE itself or not a file.\n"
    "The exit code is 0 only when the ring tone exists and is complete; 1 when it\n"
    "was not made, 2 for a mistake on the command line, 3 when it was made but\n"
    "--assign could not record it, 130 when stopped. Playing ends at the finish, at\n"
    "the end of the file or with Ctrl-C.\n";

enum ExitCode { exit_made = 0, exit_not_made = 1, exit_usage = 2, exit_not_assigned = 3, exit_stopped = 130 };

struct Options {
    std::string source;
    std::optional<double> start;
    std::optional<double> finish;
    std::optional<std::string> target;
    bool assign = false;
    bool play = false;
    bool help = false;
};

int fail(const std::string& what, const std::string& reason)
{
    std::fprintf(stderr, "%s: %s: %s\n", program, what.c_str(), reason.c_str());
    return exit_not_made;
}

int usage_error(const std::string& reason)
{
    std::fprintf(stderr, "%s: %s (see --help)\n", program, reason.c_str());
    return exit_usage;
}

// Reads the command line into options; answers an error text, empty when it was fine.
std::string parse_arguments(int argc, char** argv, Options& options)
{
    for (int i = 1; i < argc; ++i) {
        const std::string_view argument = argv[i];
        const auto value = [&](std::string& out) {
            if (i + 1 >= argc)
                return false;
            out = argv[++i];
            return true;
        };
        const auto time = [&](std::optional<double>& out) {
            std::string text;
            if (!value(text))
                return std::string(argument) + " needs a time";
            out = parse_time(text);
            return out ? std::string() : "not a time: \"" + text + "\"";
        };
        std::string error;
        if (argument == "-h" || argument == "--help") {
            options.help = true;
        } else if (argument == "-s" || argument == "--start") {
            error = time(options.start);
        } else if (argument == "-f" || argument == "--finish") {
            error = time(options.finish);
        } else if (argument == "-o" || argument == "--output") {
            std::string target;
            if (!value(target) || target.empty())
                error = std::string(argument) + " needs a file name";
            options.target = target;
        } else if (argument == "--assign") {
            options.assign = true;
        } else if (argument == "--play") {
            options.play = true;
        } else if (argument == "--audio") {
            std::string name;
            const auto output = value(name) ? platform::parse_audio_output(name) : std::nullopt;
            if (output)
                platform::choose_audio_output(*output);
            else
                error = "--audio needs sdl, null or wav:PATH";
        } else if (argument.size() > 1 && argument[0] == '-') {
            error = "unknown option " + std::string(argument);
        } else if (options.source.empty()) {
            options.source = argument;
        } else {
            error = "one source only";
        }
        if (!error.empty())
            return error;
    }
    if (options.help)
        return {};
    if (options.source.empty())
        return "no source file";
    if (!options.start || !options.finish)
        return "both --start and --finish are needed";
    if (*options.finish <= *options.start)
        return "the finish must come after the start";
    return {};
}

// Ctrl-C, termination and a closed terminal ask the job to stop; the waiting loop
// notices, also when the signal came before the job started.
volatile std::sig_atomic_t stop_signal = 0;

void on_stop_signal(int) { stop_signal = 1; }

void catch_stop_signals()
{
    struct sigaction action{};
    action.sa_handler = on_stop_signal;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGHUP, &action, nullptr);
}

// The job's progress as a bar on standard error, only when that is a terminal.
class ProgressBar {
public:
    ProgressBar() : shown_(isatty(STDERR_FILENO)) {}

    void show(int pass, double fraction)
    {
        if (!shown_)
            return;
        constexpr int width = 30;
        const int filled = static_cast<int>(fraction * width + 0.5);
        std::fprintf(stderr, "\r%-9s [%s%s] %3d%%", pass == 1 ? "measuring" : "encoding",
                     std::string(filled, '#').c_str(), std::string(width - filled, '-').c_str(),
                     static_cast<int>(fraction * 100 + 0.5));
        std::fflush(stderr);
    }

    void clear()
    {
        if (shown_)
            std::fprintf(stderr, "\r%*s\r", 60, "");
    }

private:
    bool shown_;
};

std::string narrow(std::u16string_view text) { return liba::to_narrow(text); }

std::u16string default_target(std::u16string_view source)
{
    const std::u16string folder = ringtone_folder(false);
    os::make_directories(folder);
    return unique_ringtone_name(folder, os::base_name(source) + u"_", u"mp3");
}

std::string outcome_text(RingtoneJob::Outcome outcome)
{
    switch (outcome) {
    case RingtoneJob::Outcome::source_not_recognised:
        return "not a sound file it can read";
    case RingtoneJob::Outcome::empty_fragment:
        return "the fragment is empty";
    case RingtoneJob::Outcome::target_is_source:
        return "is the source itself; choose another target";
    case RingtoneJob::Outcome::target_folder_missing:
        return "its folder does not exist";
    case RingtoneJob::Outcome::target_not_a_file:
        return "exists and is not a regular file";
    case RingtoneJob::Outcome::cannot_create_target:
        return "can't create the file";
    case RingtoneJob::Outcome::write_failed:
        return "writing failed (is the disk full?); nothing was kept";
    case RingtoneJob::Outcome::nothing_encoded:
        return "the fragment holds no sound it can encode";
    default:
        return "the ring tone was not made";
    }
}

int play(std::u16string_view source, const Options& options)
{
    std::fflush(stdout);
    switch (play_fragment(source, *options.start, *options.finish, [] { return stop_signal != 0; })) {
    case PlayOutcome::played:
        return exit_made;
    case PlayOutcome::stopped:
        std::fprintf(stderr, "%s: stopped\n", program);
        return exit_stopped;
    case PlayOutcome::not_readable:
        break;
    }
    return fail(options.source, "not a sound file it can read");
}

int cut(const Options& options)
{
    const std::u16string source = liba::to_wide(options.source);
    const os::FileInfo source_info(source);
    if (!source_info.exists())
        return fail(options.source, "no such file");
    if (source_info.is_folder())
        return fail(options.source, "is a folder");

    int start = 0, finish = 0;
    {
        const std::unique_ptr<audio::PlayChain> chain = audio::open_play_chain(source);
        if (!chain)
            return fail(options.source, "not a sound file it can read");
        audio::FileReader& reader = *chain->file_reader();
        if (reader.length() <= 0)
            return fail(options.source, "holds no sound");
        start = reader.seconds_to_position(*options.start);
        finish = reader.seconds_to_position(*options.finish);
        if (start >= reader.length())
            return fail(options.source, "the start lies beyond its end (" + format_time(reader.length_seconds()) + ")");
        // A finish beyond the end makes a fragment that ends with the source.
        std::printf("Source:   %s\nCodec:    %s\nTitle:    %s\nLength:   %s\nFragment: %s to %s\n",
                    options.source.c_str(), narrow(chain->codec_name()).c_str(), narrow(chain->title()).c_str(),
                    format_time(reader.length_seconds()).c_str(), format_time(*options.start).c_str(),
                    format_time(std::min(*options.finish, reader.length_seconds())).c_str());
    }
    if (finish <= start)
        return fail(options.source, "the fragment is shorter than the file's smallest step");
    if (options.play)
        return play(source, options);

    // Absolute, so that the name --assign records still holds from another folder.
    const std::u16string target =
        os::absolute_path(options.target ? liba::to_wide(*options.target) : default_target(source));
    RingtoneJob job(source, target, start, finish);
    std::printf("Bit rate: %d kbit/s\nTarget:   %s\n", job.target_bit_rate() / 1000, narrow(target).c_str());
    std::fflush(stdout);
    if (const std::optional<RingtoneJob::Outcome> refusal = job.target_refusal())
        return fail(narrow(target), outcome_text(*refusal));
    if (!job.has_room())
        return fail(narrow(target), "not enough free space for the ring tone");

    ProgressBar bar;
    // Normal priority: there is no user interface here to keep responsive.
    job.start();
    // Short naps keep the end prompt; the bar is redrawn about ten times a second.
    for (int nap = 0; job.is_running(); ++nap) {
        if (stop_signal) {
            job.stop();
            break;
        }
        if (nap % 10 == 0)
            bar.show(job.pass(), job.progress());
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    job.join();
    bar.clear();

    const RingtoneJob::Outcome outcome = job.outcome();
    if (outcome == RingtoneJob::Outcome::stopped) {
        std::fprintf(stderr, "%s: stopped; no ring tone was made\n", program);
        return exit_stopped;
    }
    if (outcome != RingtoneJob::Outcome::made || !os::FileInfo(target).exists()) {
        const bool about_source = outcome == RingtoneJob::Outcome::source_not_recognised ||
                                  outcome == RingtoneJob::Outcome::empty_fragment ||
                                  outcome == RingtoneJob::Outcome::nothing_encoded;
        return fail(about_source ? options.source : narrow(target), outcome_text(outcome));
    }
    if (options.assign && !assign_ringtone(target)) {
        fail(narrow(target), "made, but the registry could not record it as the phone's ring tone");
        return exit_not_assigned;
    }
    std::printf("Made:     %s\n", narrow(target).c_str());
    return exit_made;
}

} // namespace

int main(int argc, char** argv)
{
    catch_stop_signals();
    // Called bare, it shows how to call it; nothing was asked for, so nothing was made.
    if (argc < 2) {
        std::fputs(usage, stdout);
        return exit_usage;
    }
    Options options;
    const std::string error = parse_arguments(argc, argv, options);
    if (!error.empty())
        return usage_error(error);
    if (options.help) {
        std::fputs(usage, stdout);
        return exit_made;
    }
    return cut(options);
}
