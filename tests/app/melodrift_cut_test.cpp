#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

#include "tests/audio/fixtures.h"

using namespace fixtures;

namespace {

struct Result {
    int exit_code = -1;
    std::string out;
    std::string error;
};

// Runs melodrift-cut in folder with the ring-tone folder and the registry kept there.
Result cut(const std::filesystem::path& folder, const std::string& arguments)
{
    const std::string command = "cd " + quoted(folder) + " && MELODRIFT_WINDOWS=" + quoted(folder / "windows") +
                                " MELODRIFT_REGISTRY=" + quoted(folder / "registry.ini") + " " +
                                quoted(std::filesystem::path(MELODRIFT_BIN_DIR) / "melodrift-cut") + " " +
                                arguments + " >stdout.txt 2>stderr.txt";
    const int status = std::system(command.c_str());
    Result result;
    result.exit_code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    result.out = read_bytes(folder / "stdout.txt");
    result.error = read_bytes(folder / "stderr.txt");
    return result;
}

std::vector<std::string> mp3_files(const std::filesystem::path& folder)
{
    std::vector<std::string> names;
    if (std::filesystem::exists(folder))
        for (const auto& entry : std::filesystem::recursive_directory_iterator(folder))
            if (entry.path().extension() == ".mp3")
                names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

TEST(MelodriftCut, MakesRingTonesUnderTheProposedNames)
{
    const auto folder = scratch_folder();
    make_mp3(folder / "song.mp3", "-r 44100 -c 2 -b 16", 3.0, "-b 128 --tt 'My Song'");

    const Result first = cut(folder, "song.mp3 --start 0.5 --finish 0:02.5");
    ASSERT_EQ(first.exit_code, 0) << first.error;
    EXPECT_NE(first.out.find("mp3"), std::string::npos);
    EXPECT_NE(first.out.find("My Song"), std::string::npos);
    EXPECT_NE(first.out.find("64 kbit/s"), std::string::npos);
    EXPECT_EQ(first.error, "") << "no progress bar when standard error is not a terminal";

    EXPECT_EQ(cut(folder, "-s 1 -f 2 song.mp3").exit_code, 0);
    EXPECT_EQ(mp3_files(folder / "windows" / "Rings"), (std::vector<std::string>{"song_001.mp3", "song_002.mp3"}));
    EXPECT_NEAR(decode_all(folder / "windows" / "Rings" / "song_001.mp3").seconds(), 2.0, 0.12);
}

TEST(MelodriftCut, AssignsTheRingTone)
{
    const auto folder = scratch_folder();
    make_sine(folder / "tone.wav", "-r 22050 -c 1 -b 16", 2.0);
    ASSERT_EQ(cut(folder, "tone.wav -s 0 -f 1 -o made.mp3 --assign").exit_code, 0);
    const std::string registry = read_bytes(folder / "registry.ini");
    EXPECT_NE(registry.find("RingTone0"), std::string::npos) << registry;
    EXPECT_NE(registry.find("Sound=\"" + (folder / "made.mp3").string() + "\"\n"), std::string::npos)
        << "the absolute path: " << registry;
}

// The ring tone was made but the registry file cannot be written (a folder stands in
// its place): an exit code of its own, and the ring tone stays.
TEST(MelodriftCut, ARegistryThatCannotBeWrittenHasItsOwnExitCode)
{
    const auto folder = scratch_folder();
    make_sine(folder / "tone.wav", "-r 22050 -c 1 -b 16", 2.0);
    std::filesystem::create_directory(folder / "registry.ini");
    const Result result = cut(folder, "tone.wav -s 0 -f 1 -o made.mp3 --assign");
    EXPECT_EQ(result.exit_code, 3) << result.error;
    EXPECT_NE(result.error.find("made.mp3"), std::string::npos) << result.error;
    EXPECT_NEAR(decode_all(folder / "made.mp3").seconds(), 1.0, 0.12);
}

TEST(MelodriftCut, UsageMistakesExitWithTwo)
{
    const auto folder = scratch_folder();
    make_sine(folder / "tone.wav", "-r 8000 -c 1 -b 16", 1.0);
    for (const char* arguments : {"tone.wav", "tone.wav -s 1", "tone.wav -s 0.5 -f 0.5", "tone.wav -s 0.7 -f 0.2",
                                  "tone.wav -s x -f 1", "tone.wav -s -1 -f 1", "tone.wav -s 1:75 -f 2:00",
                                  "tone.wav -s 0 -f 1 --loud", "tone.wav other.wav -s 0 -f 1", "tone.wav -s 0 -f",
                                  "tone.wav -s 0 -f 1 -o ''"}) {
        const Result result = cut(folder, arguments);
        EXPECT_EQ(result.exit_code, 2) << arguments;
        EXPECT_EQ(std::count(result.error.begin(), result.error.end(), '\n'), 1) << arguments << ": " << result.error;
    }
    const Result help = cut(folder, "--help");
    EXPECT_EQ(help.exit_code, 0);
    EXPECT_NE(help.out.find("--start"), std::string::npos);
    const Result bare = cut(folder, "");
    EXPECT_EQ(bare.exit_code, 2) << "nothing was made";
    EXPECT_EQ(bare.out, help.out) << "no arguments show the help";
}

// A source named in bytes that are not UTF-8 is found, and the ring tone's name keeps
// those bytes.
TEST(MelodriftCut, NamesThatAreNotUtf8KeepTheirBytes)
{
    const auto folder = scratch_folder();
    make_sine(folder / "caf\xE9.wav", "-r 8000 -c 1 -b 16", 1.0);
    const Result result = cut(folder, "'caf\xE9.wav' -s 0 -f 0.5");
    ASSERT_EQ(result.exit_code, 0) << result.error;
    EXPECT_TRUE(std::filesystem::exists(folder / "windows" / "Rings" / "caf\xE9_001.mp3"));
    EXPECT_NE(result.out.find("Source:   caf\xE9.wav\n"), std::string::npos) << result.out;
}

// Bad input of every kind: one line naming the file, exit code 1, no ring tone.
TEST(MelodriftCut, BadSourcesFailCleanly)
{
    const auto folder = scratch_folder();
    const auto wav = make_sine(folder / "good.wav", "-r 8000 -c 1 -b 16", 1.0);
    const auto mp3 = make_mp3(folder / "good.mp3", "-r 44100 -c 1 -b 16", 1.0, "-b 64");
    const std::string wav_bytes = read_bytes(wav), mp3_bytes = read_bytes(mp3);
    std::filesystem::remove(wav);
    std::filesystem::remove(mp3);
    write_bytes(folder / "empty.mp3", "");
    write_bytes(folder / "text.wav", "just words, not sound");
    write_bytes(folder / "cut_header.wav", wav_bytes.substr(0, 30));
    write_bytes(folder / "cut_mp3.mp3", mp3_bytes.substr(0, 150)); // less than one frame
    write_bytes(folder / "sync_garbage.mp3", std::string(4000, '\xFF') + std::string("\xFF\xFB\x90", 3));
    std::filesystem::create_directory(folder / "a_folder.wav");

    for (const char* name : {"missing.wav", "empty.mp3", "text.wav", "cut_header.wav", "cut_mp3.mp3",
                             "sync_garbage.mp3", "a_folder.wav"}) {
        const Result result = cut(folder, std::string(name) + " -s 0 -f 0.5");
        EXPECT_EQ(result.exit_code, 1) << name;
        EXPECT_EQ(std::count(result.error.begin(), result.error.end(), '\n'), 1) << name << ": " << result.error;
        EXPECT_NE(result.error.find(name), std::string::npos) << result.error;
    }
    EXPECT_EQ(mp3_files(folder / "windows"), std::vector<std::string>{});
}

TEST(MelodriftCut, AFinishBeyondTheEndPrintsTheFragmentMade)
{
    const auto folder = scratch_folder();
    make_sine(folder / "short.wav", "-r 8000 -c 1 -b 16", 1.0);
    const Result result = cut(folder, "short.wav -s 0.5 -f 99999999999999999999 -o made.mp3");
    EXPECT_EQ(result.exit_code, 0) << result.error;
    EXPECT_NE(result.out.find("Fragment: 0:00.5 to 0:01.0\n"), std::string::npos) << result.out;
    EXPECT_NEAR(decode_all(folder / "made.mp3").seconds(), 0.5, 0.2) << "with the encoder's delay at 8000 Hz";
}

TEST(MelodriftCut, FragmentsOutsideTheSourceMakeNothing)
{
    const auto folder = scratch_folder();
    make_sine(folder / "short.wav", "-r 8000 -c 1 -b 16", 1.0);
    write_bytes(folder / "kept.mp3", "an older ring tone");
    const Result beyond = cut(folder, "short.wav -s 5 -f 6 -o kept.mp3");
    EXPECT_EQ(beyond.exit_code, 1);
    EXPECT_NE(beyond.error.find("short.wav"), std::string::npos);
    EXPECT_EQ(read_bytes(folder / "kept.mp3"), "an older ring tone");
}

bool holds_temporary_file(const std::filesystem::path& folder, const std::string& target)
{
    const std::string prefix = "." + target + ".melodrift-";
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        if (entry.path().filename().string().rfind(prefix, 0) == 0)
            return true;
    return false;
}

// Each stop signal, sent once the conversion has made its temporary file: the program
// ends as stopped, the file that was there keeps its contents and nothing else remains.
TEST(MelodriftCut, StopSignalsKeepTheFileThatWasThere)
{
    const auto folder = scratch_folder();
    make_sine(folder / "long.wav", "-r 44100 -c 2 -b 16", 120.0);
    const std::string program = (std::filesystem::path(MELODRIFT_BIN_DIR) / "melodrift-cut").string();
    const std::string source = (folder / "long.wav").string();
    const std::string target = (folder / "long.mp3").string();
    for (const int signal : {SIGINT, SIGTERM, SIGHUP}) {
        write_bytes(target, "an older ring tone");
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            freopen("/dev/null", "w", stdout);
            freopen("/dev/null", "w", stderr);
            execl(program.c_str(), program.c_str(), source.c_str(), "-s", "0", "-f", "120", "-o", target.c_str(),
                  static_cast<char*>(nullptr));
            _exit(127);
        }
        int status = 0;
        bool ended = false;
        while (!holds_temporary_file(folder, "long.mp3") && !ended) {
            ended = waitpid(child, &status, WNOHANG) == child;
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        ASSERT_FALSE(ended) << "signal " << signal << ": the program ended before its temporary file appeared";
        kill(child, signal);
        waitpid(child, &status, 0);
        ASSERT_TRUE(WIFEXITED(status)) << "signal " << signal;
        EXPECT_EQ(WEXITSTATUS(status), 130) << "signal " << signal;
        EXPECT_EQ(read_bytes(target), "an older ring tone") << "signal " << signal;
        EXPECT_FALSE(holds_temporary_file(folder, "long.mp3")) << "signal " << signal;
    }
}

// Targets it must not write: the source itself by any path, a device, a folder, and a
// place that does not exist. Each gets its own reason and no file is touched.
TEST(MelodriftCut, RefusedTargetsAreNamedWithTheirReason)
{
    const auto folder = scratch_folder();
    make_sine(folder / "tone.wav", "-r 8000 -c 1 -b 16", 1.0);
    const std::string bytes = read_bytes(folder / "tone.wav");
    std::filesystem::create_symlink("tone.wav", folder / "link.wav");
    std::filesystem::create_directory(folder / "sub");
    const std::string up = "../" + folder.filename().string() + "/tone.wav";
    struct Case {
        std::string target;
        const char* reason;
    };
    const Case cases[] = {
        {"tone.wav", "is the source itself"},
        {"sub/../tone.wav", "is the source itself"},
        {up, "is the source itself"},
        {"link.wav", "is the source itself"},
        {"/dev/null", "is not a regular file"},
        {"sub", "is not a regular file"},
        {"missing/x.mp3", "folder does not exist"},
    };
    for (const Case& c : cases) {
        const Result result = cut(folder, "tone.wav -s 0 -f 1 -o '" + c.target + "'");
        EXPECT_EQ(result.exit_code, 1) << c.target;
        EXPECT_NE(result.error.find(c.reason), std::string::npos) << c.target << ": " << result.error;
        EXPECT_EQ(std::count(result.error.begin(), result.error.end(), '\n'), 1) << c.target << ": " << result.error;
    }
    EXPECT_EQ(read_bytes(folder / "tone.wav"), bytes);
    EXPECT_TRUE(std::filesystem::is_character_file("/dev/null"));
    EXPECT_EQ(mp3_files(folder), std::vector<std::string>{});
}

} // namespace
