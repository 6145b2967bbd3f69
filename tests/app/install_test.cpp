// `cmake --install`: the programs and their data in PREFIX/lib/melodrift, links in
// PREFIX/bin, the desktop entry and icon in PREFIX/share, and an installed copy that
// runs without writing into its prefix.

#include "skinner/skin/properties.h"

#include <gtest/gtest.h>

#include <fstream>
#include <set>
#include <sys/wait.h>

#include "liba/text.h"
#include "tests/audio/fixtures.h"

using namespace fixtures;

namespace {

namespace fs = std::filesystem;

const fs::path build_folder = fs::path(MELODRIFT_BIN_DIR).parent_path();
const char* const programs[] = {"melodrift", "melodrift-cut"};

int exit_status(const std::string& command)
{
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// Installs the build into a fresh prefix inside folder; the prefix, or empty on failure.
fs::path install(const fs::path& folder)
{
    const fs::path prefix = folder / "prefix";
    const int status = exit_status(quoted(MELODRIFT_CMAKE) + " --install " + quoted(build_folder) + " --prefix " +
        quoted(prefix) + " >" + quoted(folder / "install.txt") + " 2>&1");
    EXPECT_EQ(status, 0) << read_bytes(folder / "install.txt");
    return status == 0 ? prefix : fs::path();
}

std::set<std::string> tree(const fs::path& folder)
{
    std::set<std::string> files;
    for (const auto& entry : fs::recursive_directory_iterator(folder))
        files.insert(entry.path().string() + " " + std::to_string(entry.is_regular_file() ? entry.file_size() : 0));
    return files;
}

std::string desktop_value(const fs::path& entry, const std::string& key)
{
    std::ifstream in(entry);
    for (std::string line; std::getline(in, line);) {
        if (line.rfind(key + "=", 0) == 0)
            return line.substr(key.size() + 1);
    }
    return {};
}

TEST(Install, LaysOutProgramsDataAndDesktopEntry)
{
    const fs::path prefix = install(scratch_folder());
    ASSERT_FALSE(prefix.empty());
    const fs::path app_path = prefix / "lib" / "melodrift";

    int installed_programs = 0;
    for (const char* program : programs) {
        if (!fs::exists(fs::path(MELODRIFT_BIN_DIR) / program))
            continue;
        ++installed_programs;
        const fs::path link = prefix / "bin" / program;
        ASSERT_TRUE(fs::is_symlink(link)) << link;
        EXPECT_EQ(fs::canonical(link), fs::canonical(app_path / program)) << "links resolve to %app_path%";
        EXPECT_EQ(exit_status(quoted(link) + " --help >/dev/null"), 0) << program;
    }
    EXPECT_GE(installed_programs, 1);

    for (const char* data : {"English.lng", "Deutsch.lng", "Русский.lng", "help/English.html", "help/help.css"})
        EXPECT_TRUE(fs::is_regular_file(app_path / data)) << data;
    for (const char* skin : {"skins/default/default.skin", "skins/settings/dialogs.skin"}) {
        for (const platform::Size screen : {platform::Size{240, 320}, platform::Size{640, 480}}) {
            skinner::PropertiesImpl properties(
                liba::to_wide((app_path / skin).string()), screen, skinner::SkinDevice{false, false});
            EXPECT_TRUE(properties.reader().is_valid()) << skin << ": every picture is installed beside it";
        }
    }

    const fs::path entry = prefix / "share" / "applications" / "melodrift.desktop";
    ASSERT_TRUE(fs::is_regular_file(entry));
    EXPECT_EQ(desktop_value(entry, "Exec"), programs[0]) << "the entry starts the application, linked in bin";
    const std::string icon = desktop_value(entry, "Icon");
    EXPECT_TRUE(fs::is_regular_file(prefix / "share/icons/hicolor/scalable/apps" / (icon + ".svg")));
    EXPECT_TRUE(fs::is_regular_file(prefix / "share/icons/hicolor/48x48/apps" / (icon + ".png")));
}

TEST(Install, DesktopEntryIsValid)
{
    if (exit_status("command -v desktop-file-validate >/dev/null") != 0)
        GTEST_SKIP() << "desktop-file-validate missing (package desktop-file-utils)";
    const fs::path folder = scratch_folder();
    const fs::path prefix = install(folder);
    ASSERT_FALSE(prefix.empty());
    const fs::path entry = prefix / "share" / "applications" / "melodrift.desktop";
    EXPECT_EQ(
        exit_status("desktop-file-validate " + quoted(entry) + " >" + quoted(folder / "validate.txt") + " 2>&1"), 0)
        << read_bytes(folder / "validate.txt");
    EXPECT_EQ(read_bytes(folder / "validate.txt"), "") << "no hints either";
}

// The installed cutter makes a ring tone and writes its settings, registry and log
// where the environment says, never into the prefix.
TEST(Install, InstalledCopyWritesNothingIntoItsPrefix)
{
    const fs::path folder = scratch_folder();
    const fs::path prefix = install(folder);
    ASSERT_FALSE(prefix.empty());
    make_sine(folder / "tone.wav", "-r 22050 -c 1 -b 16", 2.0);
    const std::set<std::string> before = tree(prefix);

    const std::string environment = "MELODRIFT_WINDOWS=" + quoted(folder / "windows") +
        " MELODRIFT_REGISTRY=" + quoted(folder / "registry.ini") + " MELODRIFT_CONFIG=" + quoted(folder / "config") +
        " MELODRIFT_STATE=" + quoted(folder / "state");
    EXPECT_EQ(exit_status("cd " + quoted(folder) + " && " + environment + " " +
                  quoted(prefix / "bin" / "melodrift-cut") + " tone.wav -s 0 -f 1 --assign >/dev/null 2>&1"),
        0);
    EXPECT_TRUE(fs::exists(folder / "windows" / "Rings" / "tone_001.mp3"));
    EXPECT_EQ(tree(prefix), before);
}

} // namespace
