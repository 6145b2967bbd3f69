// Runs the platform demo as a whole program: from a script on either back end (the
// SDL one under Xvfb), and on the SDL back end driven by xdotool. Screens are compared
// with reference pictures.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "tests/support/reference_image.h"

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

std::string read_file(const fs::path& path)
{
    std::ifstream file(path);
    return std::string(std::istreambuf_iterator<char>(file), {});
}

// Taps, keys, the soft keys' menu and dialog, and a rotation; screenshots of the
// dialog and of the rotated screen.
std::string demo_script(const fs::path& folder)
{
    return "wait-until 3000 title Platform demo\n"
           "wait-until 1000 pixel 80 120 0000FF\n"
           "tap 80 120\n"
           "wait-until 1000 pixel 80 120 FF0000\n"
           "key F2\n"
           "wait-until 1000 window Dialog\n"
           "screenshot " + (folder / "dialog.png").string() + "\n"
           "tap 240 330\n"
           "key F1\n"
           "key Down\nkey Down\nkey Down\nkey Enter\n"
           "wait-until 1000 pixel 80 120 00A000\n"
           "rotate\n"
           "wait 50\n"
           "screenshot " + (folder / "rotated.png").string() + "\n";
}

// Compares a screenshot with its references, all but the demo's ticking bar (screen
// rows 204 to 211), whose length depends on when the picture was taken.
void expect_screen(const fs::path& png, const std::string& name, platform::Size size = {})
{
    const auto picture = ui_test::read_png(png.string());
    ASSERT_TRUE(picture) << png;
    const int width = size.width ? size.width : picture->width();
    const int height = size.height ? size.height : picture->height();
    EXPECT_TRUE(ui_test::matches_reference(*picture, {0, 0, width, 204}, name + "_above"));
    EXPECT_TRUE(ui_test::matches_reference(*picture, {0, 212, width, height - 212}, name + "_below"));
}

void expect_demo_screens(const fs::path& folder)
{
    // The dialog in the middle of the work area over the red box.
    expect_screen(folder / "dialog.png", "platform/demo_dialog");
    // Rotated to 640 x 480: the box green, the bars across the wider screen.
    expect_screen(folder / "rotated.png", "platform/demo_rotated");
}

bool have(const std::string& tools)
{
    return run("for t in " + tools + "; do command -v $t >/dev/null || exit 1; done") == 0;
}

} // namespace

TEST(PlatformDemo, HeadlessScriptTapsOpensMenusAndDialogAndRotates)
{
    ASSERT_TRUE(fs::exists(demo)) << demo;
    const fs::path folder = scratch("headless");
    std::ofstream(folder / "script.txt") << demo_script(folder);
    ASSERT_EQ(run(demo + " --headless --script '" + (folder / "script.txt").string() + "'"), 0);
    expect_demo_screens(folder);
}

// The same script drives the desktop window and gives the same screens.
TEST(PlatformDemo, ScriptDrivesTheDesktopWindowUnderXvfb)
{
    ASSERT_TRUE(fs::exists(demo)) << demo;
    if (!have("xvfb-run"))
        GTEST_SKIP() << "xvfb-run missing";
    const fs::path folder = scratch("xvfb-script");
    std::ofstream(folder / "script.txt") << demo_script(folder);
    ASSERT_EQ(run("XDG_RUNTIME_DIR='" + folder.string() + "' timeout 60 xvfb-run -a -s '-screen 0 800x700x24' '" +
                  demo + "' --script '" + (folder / "script.txt").string() + "'"),
        0);
    expect_demo_screens(folder);
}

TEST(PlatformDemo, ScriptThatWaitsInVainEndsWithExitCodeOne)
{
    ASSERT_TRUE(fs::exists(demo)) << demo;
    const fs::path folder = scratch("timeout");
    std::ofstream(folder / "script.txt") << "wait-until 100 window No such window\n";
    EXPECT_EQ(run(demo + " --headless --script '" + (folder / "script.txt").string() + "' 2>/dev/null"), 1);
    std::ofstream(folder / "bad.txt") << "tap here\n";
    EXPECT_EQ(run(demo + " --headless --script '" + (folder / "bad.txt").string() + "' 2>/dev/null"), 2);
}

TEST(PlatformDemo, DesktopWindowUnderXvfbTakesClicksKeysAndASecondCopysCommandLine)
{
    ASSERT_TRUE(fs::exists(demo)) << demo;
    if (!have("xvfb-run xdotool import"))
        GTEST_SKIP() << "xvfb-run, xdotool or ImageMagick missing";
    const fs::path folder = scratch("xvfb");
    const std::string script = std::string(MELODRIFT_SOURCE_DIR) + "/tests/platform/platform_demo_xvfb.sh";
    ASSERT_EQ(run("timeout 60 xvfb-run -a -s '-screen 0 800x700x24' '" + script + "' '" + demo + "' '" +
                  folder.string() + "'"),
        0);
    EXPECT_EQ(read_file(folder / "second_copy_exit"), "0\n");
    const fs::path screen = folder / "screen.png";
    ASSERT_TRUE(fs::exists(screen)) << read_file(folder / "demo.log");
    // The window at the X screen's corner: the click turned the box red, the dialog
    // opened and closed, the typed text and the second copy's command line are shown.
    expect_screen(screen, "platform/demo_desktop", {480, 640});
}
