// melodrift-skin-view as a skin author runs it: headless, and on the desktop under
// Xvfb, both giving the same screen; its edit fields take typing.
#include <gtest/gtest.h>

#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <sys/wait.h>

#include "tests/skinner/controls_fixture.h"
#include "tests/skinner/core_fixture.h"
#include "tests/skinner/edit_fixture.h"
#include "tests/support/reference_image.h"

namespace {

namespace fs = std::filesystem;

const std::string viewer = std::string(MELODRIFT_BIN_DIR) + "/melodrift-skin-view";

int run(const std::string& command)
{
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string quoted(const fs::path& path) { return "'" + path.string() + "'"; }

TEST(SkinView, ShowsAFormHeadlessAndOnTheDesktopAlike)
{
    const fs::path skin = liba::to_narrow(core_test::build_test_skin());
    const fs::path folder = skin.parent_path();
    const fs::path headless = folder / "headless.png";
    ASSERT_EQ(
        run(viewer + " " + quoted(skin) + " Test --screen 240x320 --headless --screenshot " + quoted(headless)), 0);
    EXPECT_TRUE(ui_test::png_matches_reference(headless.string(), "skinner/skin_view_test"));

    if (run("command -v xvfb-run >/dev/null") != 0)
        GTEST_SKIP() << "xvfb-run missing";
    const fs::path desktop = folder / "desktop.png";
    std::ofstream(folder / "script.txt") << "wait-until 5000 title Test\nscreenshot " << desktop.string() << "\n";
    ASSERT_EQ(run("XDG_RUNTIME_DIR=" + quoted(folder) + " timeout 60 xvfb-run -a -s '-screen 0 800x700x24' " + viewer +
                  " " + quoted(skin) + " Test --screen 240x320 --script " + quoted(folder / "script.txt")),
        0);
    EXPECT_TRUE(ui_test::png_matches_reference(desktop.string(), "skinner/skin_view_test"));
}

// The check boxes of the Buttons form and the bars of the Bars form are made by the
// program by id: the viewer shows them as they are, not as outlines.
TEST(SkinView, ShowsTheStockControlsTheProgramMakesById)
{
    const fs::path skin = liba::to_narrow(controls_test::build_controls_skin());
    for (const std::string form : {"Buttons", "Bars"}) {
        const std::string reference =
            "skinner/skin_view_" + std::string(1, char(std::tolower(form[0]))) + form.substr(1);
        const fs::path shot = skin.parent_path() / (form + ".png");
        ASSERT_EQ(
            run(viewer + " " + quoted(skin) + " " + form + " --screen 240x320 --headless --screenshot " + quoted(shot)),
            0);
        EXPECT_TRUE(ui_test::png_matches_reference(shot.string(), reference));
    }
}

// Edit fields are live in the viewer: a script taps into one and types, on either
// device.
TEST(SkinView, EditFieldsTakeTypingInBothModes)
{
    const fs::path skin = liba::to_narrow(edit_test::build_edit_skin());
    const fs::path folder = skin.parent_path();
    for (const std::string device : {"pocketpc", "smartphone"}) {
        const fs::path shot = folder / (device + ".png");
        std::ofstream(folder / "script.txt") << "tap 125 48\nkey End\ntype _2\nwait 10\nscreenshot " << shot.string() << "\n";
        ASSERT_EQ(run(viewer + " " + quoted(skin) + " Edit --screen 240x320 --device " + device +
                      " --headless --script " + quoted(folder / "script.txt")),
            0)
            << device;
        EXPECT_TRUE(ui_test::png_matches_reference(shot.string(), "skinner/skin_view_edit_" + device));
    }
}

TEST(SkinView, OpensTheShippedSkinAndSaysWhatIsWrong)
{
    const std::string shipped = std::string(MELODRIFT_BIN_DIR) + "/skins/default/default.skin";
    const fs::path shot = fs::path(liba::to_narrow(core_test::build_test_skin())).parent_path() / "shipped.png";
    EXPECT_EQ(run(viewer + " '" + shipped + "' FormMain --device smartphone --headless --screenshot " + quoted(shot)), 0);
    EXPECT_TRUE(fs::exists(shot));
    EXPECT_EQ(run(viewer + " /no/such.skin Main --headless --screenshot " + quoted(shot) + " 2>/dev/null"), 1);
    EXPECT_EQ(run(viewer + " '" + shipped + "' FormMain --screen 10x10 2>/dev/null"), 2);
    EXPECT_EQ(run(viewer + " '" + shipped + "' 2>/dev/null"), 2);
}

} // namespace
