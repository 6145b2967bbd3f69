// Runs the platform demo as a whole program: headless from a script, and on the SDL
// back end under Xvfb driven by xdotool.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

namespace fs = std::filesystem;

const std::string demo = std::string(MELODRIFT_BIN_DIR) + "/platform_demo";

fs::path scratch(const std::string& name)
{
    const char* tmp = std::getenv("MELODRIFT_TEST_TMP");
    const fs::path folder = fs::path(tmp ? tmp : "/tmp") / ("platform-demo-" + name);
    fs::remove_all(folder);
    fs::create_directories(folder);
    return folder;
}

int run(const std::string& command)
{
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// The colour at a pixel of a PNG file as RRGGBB, read by ImageMagick.
std::string pixel(const fs::path& png, int x, int y)
{
    const std::string command = "convert '" + png.string() + "' -format '%[hex:p{" + std::to_string(x) + "," +
                                std::to_string(y) + "}]' info: 2>/dev/null";
    std::string result;
    if (FILE* pipe = popen(command.c_str(), "r")) {
        char buffer[64] = {};
        if (std::fgets(buffer, sizeof buffer, pipe))
            result = buffer;
        pclose(pipe);
    }
    return result;
}

std::string read_file(const fs::path& path)
{
    std::ifstream file(path);
    return std::string(std::istreambuf_iterator<char>(file), {});
}

} // namespace

TEST(PlatformDemo, HeadlessScriptTapsOpensMenusAndDialogAndRotates)
{
    ASSERT_TRUE(fs::exists(demo)) << demo;
    const fs::path folder = scratch("headless");
    const fs::path dialog = folder / "dialog.png";
    const fs::path final_shot = folder / "final.png";
    std::ofstream(folder / "script.txt") << "wait-until 3000 title Platform demo\n"
                                            "wait-until 1000 pixel 80 120 0000FF\n"
                                            "tap 80 120\n"
                                            "wait-until 1000 pixel 80 120 FF0000\n"
                                            "key F2\n"
                                            "wait-until 1000 window Dialog\n"
                                            "screenshot " << dialog.string() << "\n"
                                            "tap 240 330\n"
                                            "key F1\n"
                                            "key Down\nkey Down\nkey Down\nkey Enter\n"
                                            "wait-until 1000 pixel 80 120 00A000\n"
                                            "rotate\n"
                                            "wait 50\n"
                                            "screenshot " << final_shot.string() << "\n";
    ASSERT_EQ(run(demo + " --script '" + (folder / "script.txt").string() + "'"), 0);

    // The dialog sits in the middle of the work area, white with a black frame.
    EXPECT_EQ(pixel(dialog, 240, 330), "FFFFFF");
    EXPECT_EQ(pixel(dialog, 140, 330), "000000");
    EXPECT_EQ(pixel(dialog, 80, 120), "FF0000");
    // Rotated to 640 x 480: the title bar across the top, the box green, the soft
    // keys' bar at the bottom.
    EXPECT_EQ(pixel(final_shot, 630, 5), "1040A0");
    EXPECT_EQ(pixel(final_shot, 80, 120), "00A000");
    EXPECT_EQ(pixel(final_shot, 630, 470), "D6D3CE");
}

TEST(PlatformDemo, ScriptThatWaitsInVainEndsWithExitCodeOne)
{
    ASSERT_TRUE(fs::exists(demo)) << demo;
    const fs::path folder = scratch("timeout");
    std::ofstream(folder / "script.txt") << "wait-until 100 window No such window\n";
    EXPECT_EQ(run(demo + " --script '" + (folder / "script.txt").string() + "' 2>/dev/null"), 1);
    std::ofstream(folder / "bad.txt") << "tap here\n";
    EXPECT_EQ(run(demo + " --script '" + (folder / "bad.txt").string() + "' 2>/dev/null"), 2);
}

TEST(PlatformDemo, DesktopWindowUnderXvfbTakesClicksKeysAndASecondCopysCommandLine)
{
    ASSERT_TRUE(fs::exists(demo)) << demo;
    if (run("command -v xvfb-run >/dev/null && command -v xdotool >/dev/null && command -v import >/dev/null") != 0)
        GTEST_SKIP() << "xvfb-run, xdotool or ImageMagick missing";
    const fs::path folder = scratch("xvfb");
    const std::string script = std::string(MELODRIFT_SOURCE_DIR) + "/tests/platform/platform_demo_xvfb.sh";
    ASSERT_EQ(run("timeout 60 xvfb-run -a -s '-screen 0 800x700x24' '" + script + "' '" + demo + "' '" +
                  folder.string() + "'"),
        0);
    EXPECT_EQ(read_file(folder / "second_copy_exit"), "0\n");
    const fs::path screen = folder / "screen.png";
    ASSERT_TRUE(fs::exists(screen)) << read_file(folder / "demo.log");
    EXPECT_EQ(pixel(screen, 80, 120), "FF0000"); // the click turned the box red
    EXPECT_EQ(pixel(screen, 240, 330), "E6E6E6"); // the dialog opened and closed again
}
