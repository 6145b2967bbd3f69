// The real melodrift program, headless and driven by scripts, each run in folders of
// its own: walking the folders, marking a fragment while the song plays on both
// devices, listening to it, the language menu, About, the settings kept between runs,
// turning the screen, and a second copy handing over to the running one.
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

#include "platform/base/geometry.h"
#include "tests/support/reference_image.h"

namespace {

namespace fs = std::filesystem;

// One user's world: music, settings, state, documents and the running-copy folder.
class World {
public:
    explicit World(const std::string& name)
        : root_(fs::path(std::getenv("MELODRIFT_TEST_TMP")) / name)
    {
        fs::remove_all(root_);
        for (const char* folder : {"music/album", "music/other", "config", "state", "documents", "windows", "run"})
            fs::create_directories(root_ / folder);
        // A six-second tone whose loudness grows with the time, so that a recording
        // tells which part of the song was played.
        const std::string sox = "sox -n -r 22050 -c 1 -b 16 '" + (root_ / "music/album/song.wav").string()
            + "' synth 6 sine 441 vol 0.9 fade t 6 0 0 2>/dev/null";
        EXPECT_EQ(std::system(sox.c_str()), 0);
    }

    // Runs the program in a desktop window on a virtual X display instead of headless.
    void use_desktop() { desktop_ = true; }

    const fs::path& root() const { return root_; }
    fs::path music() const { return root_ / "music"; }
    fs::path recording() const { return root_ / "played.wav"; }
    fs::path shot(const std::string& name) const { return root_ / (name + ".png"); }

    // Runs the program with the script and answers its exit status.
    int run(const std::string& script, const std::vector<std::string>& options)
    {
        const fs::path script_file = root_ / "script.txt";
        std::ofstream(script_file) << script;
        const pid_t child = start(options, script_file);
        int status = 0;
        waitpid(child, &status, 0);
        return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    }

    pid_t start(const std::vector<std::string>& options, const fs::path& script_file)
    {
        const pid_t child = fork();
        if (child != 0)
            return child;
        const std::pair<const char*, fs::path> environment[] = {
            {"MELODRIFT_CONFIG", root_ / "config"},
            {"MELODRIFT_STATE", root_ / "state"},
            {"MELODRIFT_DOCUMENTS", root_ / "documents"},
            {"MELODRIFT_WINDOWS", root_ / "windows"},
            {"MELODRIFT_REGISTRY", root_ / "registry.ini"},
            {"XDG_RUNTIME_DIR", root_ / "run"},
            {"XDG_MUSIC_DIR", music()},
        };
        for (const auto& [name, value] : environment)
            setenv(name, value.c_str(), 1);
        const std::string program = std::string(MELODRIFT_BIN_DIR) + "/melodrift";
        const std::string recording = "wav:" + this->recording().string();
        std::vector<const char*> arguments;
        if (desktop_)
            arguments = {"timeout", "60", "xvfb-run", "-a", "-s", "-screen 0 800x700x24"};
        arguments.insert(arguments.end(), {program.c_str(), "--audio", recording.c_str()});
        if (!desktop_)
            arguments.push_back("--headless");
        for (const std::string& option : options)
            arguments.push_back(option.c_str());
        if (!script_file.empty()) {
            arguments.push_back("--script");
            arguments.push_back(script_file.c_str());
        }
        arguments.push_back(nullptr);
        freopen("/dev/null", "w", stderr);
        execvp(arguments[0], const_cast<char* const*>(arguments.data()));
        _exit(127);
    }

    std::string settings() const
    {
        std::ifstream in(root_ / "config/Settings.xml");
        return std::string(std::istreambuf_iterator<char>(in), {});
    }

private:
    fs::path root_;
    bool desktop_ = false;
};

// The loudness of a 16-bit mono recording, one value (0 to 1) per 10 ms.
std::vector<double> loudness(const fs::path& file, int& rate)
{
    std::ifstream in(file, std::ios::binary);
    std::vector<char> bytes((std::istreambuf_iterator<char>(in)), {});
    std::vector<double> levels;
    if (bytes.size() < 44)
        return levels;
    const auto u32 = [&](size_t at) {
        return static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[at]))
            | static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[at + 1])) << 8
            | static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[at + 2])) << 16
            | static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[at + 3])) << 24;
    };
    rate = static_cast<int>(u32(24));
    const int channels = static_cast<unsigned char>(bytes[22]);
    size_t at = 12;
    while (at + 8 <= bytes.size() && std::string(bytes.data() + at, 4) != "data")
        at += 8 + u32(at + 4);
    at += 8;
    const size_t block = static_cast<size_t>(rate / 100) * channels * 2;
    for (; at + block <= bytes.size(); at += block) {
        int peak = 0;
        for (size_t i = 0; i < block; i += 2)
            peak = std::max(peak, std::abs(static_cast<int>(static_cast<std::int16_t>(
                                      static_cast<unsigned char>(bytes[at + i]) | bytes[at + i + 1] << 8))));
        levels.push_back(peak / 32768.0);
    }
    return levels;
}

// Row by row: the folder tree from the music folder, the song in album, and the
// mark steps: selecting plays the song a second later; the marks are taken while
// it plays.
const char* const walk_to_song = "wait 200\n"
                                 "key Down\n" // album
                                 "key Enter\n"
                                 "wait 100\n"
                                 "key Down\n" // song.wav
                                 "key Enter\n"
                                 "wait 1500\n";

// The screen but the folder's name, which holds the test's own scratch path: the
// title bar, and the panels with the menu bar.
const int below_folder = 52;

void expect_screen(const World& world, const std::string& shot, const std::string& reference)
{
    const auto picture = ui_test::read_png(world.shot(shot).string());
    ASSERT_TRUE(picture) << shot;
    EXPECT_TRUE(ui_test::matches_reference(*picture, {0, 0, picture->width(), 26}, "app/" + reference + "_title"));
    EXPECT_TRUE(ui_test::matches_reference(
        *picture, {0, below_folder, picture->width(), picture->height() - below_folder}, "app/" + reference))
        << shot;
}

// A panel of the marking steps, without the position bar that moves as it plays.
void expect_panel(const World& world, const std::string& shot, const std::string& reference)
{
    const auto picture = ui_test::read_png(world.shot(shot).string());
    ASSERT_TRUE(picture) << shot;
    EXPECT_TRUE(ui_test::matches_reference(*picture, {0, 26, 240, 220}, "app/" + reference)) << shot;
}

std::string screenshot(const World& world, const std::string& name)
{
    return "screenshot " + world.shot(name).string() + "\n";
}

TEST(MelodriftApp, MarkingWithTheButtonsOnAPocketPcAndListeningToTheFragment)
{
    World world("pocketpc");
    const std::string script = std::string(walk_to_song) + screenshot(world, "start") + "tap 120 203\n" // btnStart
        + "wait 1500\n" + screenshot(world, "finish") + "tap 120 203\n" // btnFinish
        + "wait 300\n" + screenshot(world, "save") + "tap 120 117\n" // chkPlay
        + "wait 2500\n" + "tap 120 238\n"; // btnExit
    ASSERT_EQ(world.run(script, {"--screen", "240x320"}), 0);
    expect_panel(world, "start", "panel_start");
    expect_panel(world, "finish", "panel_finish");
    expect_panel(world, "save", "panel_save");

    // The recording holds the song from its start to the finish mark, then the
    // fragment once more: as long as the marks are apart, from the start mark on.
    int rate = 0;
    const std::vector<double> levels = loudness(world.recording(), rate);
    ASSERT_GT(levels.size(), 100u);
    size_t replay = 1;
    while (replay < levels.size() && levels[replay] > levels[replay - 1] - 0.05)
        ++replay;
    ASSERT_LT(replay, levels.size()) << "the fragment was not played again";
    // The song's loudness grows in proportion to its time: the first part, played from
    // the song's start, tells how much per second; the replayed part's first and last
    // loudness then tell the song's times it ran between.
    double per_second = 0;
    for (size_t block = 20; block < 60; ++block)
        per_second += levels[block] / (block / 100.0) / 40;
    const double start = levels[replay + 1] / per_second;
    const double finish = levels.back() / per_second;
    const double fragment = (levels.size() - replay) / 100.0;
    EXPECT_NEAR(fragment, finish - start, 0.1);

    // Exit wrote the settings: the album and the song.
    const std::string settings = world.settings();
    EXPECT_NE(settings.find("CurrentFolder=\"" + (world.music() / "album").string() + "\""), std::string::npos)
        << settings;
    EXPECT_NE(settings.find("SelectedPath=\"" + (world.music() / "album/song.wav").string() + "\""), std::string::npos);
}

TEST(MelodriftApp, MarkingWithTheSoftKeysOnASmartphone)
{
    World world("smartphone");
    const std::string script = std::string(walk_to_song) + "key F1\n" // Start
        + "wait 1500\n" + "key F1\n" // Finish
        + "wait 300\n" + screenshot(world, "save");
    ASSERT_EQ(world.run(script, {"--screen", "240x320", "--device", "smartphone"}), 0);
    expect_panel(world, "save", "panel_save_smartphone");
}

// The same walk in a real window, on both devices and at both sizes.
TEST(MelodriftApp, TheWalkToTheSavePanelOnTheDesktop)
{
    if (std::system("command -v xvfb-run >/dev/null") != 0)
        GTEST_SKIP() << "xvfb-run missing";
    const struct {
        const char* device;
        const char* size;
        const char* start_key;
        const char* reference;
    } runs[] = {
        {"pocketpc", "480x640", "tap 240 406", "desktop_save_pocketpc_480x640"},
        {"smartphone", "240x320", "key F1", "desktop_save_smartphone_240x320"},
    };
    for (const auto& each : runs) {
        World world(std::string("desktop_") + each.device);
        world.use_desktop();
        const std::string script = "wait-until 10000 title Melodrift\n" + std::string(walk_to_song) + each.start_key
            + "\nwait 1500\n" + each.start_key + "\nwait 300\n" + screenshot(world, "save");
        ASSERT_EQ(world.run(script, {"--screen", each.size, "--device", each.device}), 0) << each.device;
        const auto picture = ui_test::read_png(world.shot("save").string());
        ASSERT_TRUE(picture);
        // The panel without the position bar, which moves as the song plays.
        EXPECT_TRUE(ui_test::matches_reference(
            *picture, {0, 0, picture->width(), picture->height() * 3 / 4}, std::string("app/") + each.reference));
    }
}

std::string read_text(const fs::path& file)
{
    std::ifstream in(file);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// Saving twice proposes the next number each time; Assign saves once more, makes it
// the phone's ring tone and ends the program. On a Pocket PC the ring tones go to
// %windows%/Rings, on a Smartphone to the documents folder.
TEST(MelodriftApp, SavingAndAssigningTheRingTone)
{
    const struct {
        const char* device;
        const char* mark;
        const char* save;
        const char* assign;
        const char* folder;
    } runs[] = {
        {"pocketpc", "tap 120 203", "tap 64 190", "tap 176 190", "windows/Rings"},
        // The save panel's soft-key menu: Listen, Mark again, Save, Assign, Exit, Cancel.
        {"smartphone", "key F1", "key F2\nkey Down\nkey Down\nkey Down\nkey Enter", "key F1", "documents"},
    };
    for (const auto& each : runs) {
        World world(std::string("saving_") + each.device);
        const std::string ok = "wait 300\nkey Enter\nwait 2000\n"; // the proposed name
        const std::string script = std::string(walk_to_song) + each.mark + "\nwait 1500\n" + each.mark
            + "\nwait 300\n" + each.save + "\n" + ok + each.save + "\n" + ok + each.assign + "\n" + ok
            + "wait 5000\n";
        ASSERT_EQ(world.run(script, {"--screen", "240x320", "--device", each.device}), 0) << each.device;
        const fs::path folder = world.root() / each.folder;
        for (const char* name : {"song_001.mp3", "song_002.mp3", "song_003.mp3"}) {
            const fs::path ringtone = folder / name;
            ASSERT_TRUE(fs::exists(ringtone)) << each.device << " " << name;
            // Mono MP3, about as long as the 1.5 s that was marked.
            const auto soxi = [&](const char* what) {
                FILE* info = popen(("soxi " + std::string(what) + " '" + ringtone.string() + "'").c_str(), "r");
                double value = 0;
                EXPECT_EQ(fscanf(info, "%lf", &value), 1);
                pclose(info);
                return value;
            };
            const int channels = static_cast<int>(soxi("-c"));
            const double seconds = soxi("-D");
            EXPECT_EQ(channels, 1) << name;
            // A 22,050 Hz source gets 32 kbit/s, and the peak is raised to three quarters
            // (give or take what the encoding changes).
            EXPECT_EQ(soxi("-B"), 32) << name;
            FILE* stat = popen(("sox '" + ringtone.string() + "' -n stat 2>&1 | grep 'Maximum amplitude'").c_str(), "r");
            double peak = 0;
            EXPECT_EQ(fscanf(stat, "Maximum amplitude: %lf", &peak), 1);
            pclose(stat);
            EXPECT_NEAR(peak, 0.75, 0.05) << name;
            EXPECT_NEAR(seconds, 1.5, 0.3) << name;
        }
        EXPECT_FALSE(fs::exists(folder / "song_004.mp3"));
        const std::string registry = read_text(world.root() / "registry.ini");
        EXPECT_NE(registry.find("Sound=\"" + (folder / "song_003.mp3").string() + "\""), std::string::npos)
            << registry;
    }
}

TEST(MelodriftApp, AFragmentTooShortReturnsToTheFileList)
{
    World world("short");
    const std::string script = std::string(walk_to_song) + "key F1\nkey F1\nwait 300\n" + screenshot(world, "files");
    ASSERT_EQ(world.run(script, {"--screen", "240x320", "--device", "smartphone"}), 0);
    expect_screen(world, "files", "files_album");
}

TEST(MelodriftApp, TheNextStartShowsTheSameFolderAndFile)
{
    World world("again");
    ASSERT_EQ(world.run("wait 200\nkey Down\nkey Enter\nwait 100\nkey Down\nwait 100\nkey Escape\n"
                        "wait 100\nquit\n",
                  {"--screen", "240x320"}),
        0);
    const std::string first = world.settings();
    ASSERT_EQ(world.run("wait 200\n" + screenshot(world, "again"), {"--screen", "240x320"}), 0);
    EXPECT_EQ(world.settings(), first);
    expect_screen(world, "again", "files_music");
}

TEST(MelodriftApp, TheLanguageMenuChangesEveryTextAndAboutOpensAndCloses)
{
    World world("language");
    // The menu: Language, then its entries by name: Deutsch, English, Русский.
    const std::string script = "wait 200\nkey F2\nkey Down\nkey Right\n"
                               "wait 100\nkey Down\nkey Down\nkey Down\nkey Enter\nwait 200\n"
        + screenshot(world, "translated") + "key F2\nkey Down\nkey Down\nkey Down\nkey Enter\nwait 200\n"
        + screenshot(world, "about") + "key F2\nwait 200\n" + screenshot(world, "closed");
    ASSERT_EQ(world.run(script, {"--screen", "240x320", "--device", "smartphone"}), 0);
    EXPECT_NE(world.settings().find("Русский.lng"), std::string::npos) << world.settings();
    expect_screen(world, "translated", "language_switched");
    expect_screen(world, "about", "about");
    expect_screen(world, "closed", "language_switched");
}

TEST(MelodriftApp, TurningTheScreenLaysTheFormOutAgain)
{
    World world("turn");
    ASSERT_EQ(world.run("wait 200\nkey F11\nwait 200\n" + screenshot(world, "turned"), {"--screen", "240x320"}), 0);
    const auto turned = ui_test::read_png(world.shot("turned").string());
    ASSERT_TRUE(turned);
    EXPECT_EQ(turned->width(), 320);
    expect_screen(world, "turned", "turned");
}

TEST(MelodriftApp, ASecondCopyHandsOverAndEnds)
{
    World world("second");
    const fs::path script_file = world.root() / "long.txt";
    std::ofstream(script_file) << "wait 3000\n";
    const pid_t first = world.start({"--screen", "240x320"}, script_file);
    std::this_thread::sleep_for(std::chrono::milliseconds(800));
    EXPECT_EQ(world.run("", {"--screen", "240x320"}), 0);
    int status = 0;
    waitpid(first, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
}

TEST(MelodriftApp, CommandLine)
{
    World world("options");
    EXPECT_EQ(world.run("", {"--help"}), 0);
    EXPECT_EQ(world.run("", {"--version"}), 0);
    EXPECT_EQ(world.run("", {"--screen", "1x1"}), 2);
    EXPECT_EQ(world.run("", {"--no-such-option"}), 2);
    EXPECT_EQ(world.run("", {"--audio", "speaker"}), 2);
}

} // namespace
