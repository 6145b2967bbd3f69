// The file list on folders as people have them: which names count as audio, the
// order of the rows, going down and up again, and the folders that cannot be listed.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

#include "app/control_files.h"
#include "app/form_main.h"
#include "app/product.h"
#include "liba/text.h"
#include "skinner/draw/canvas.h"
#include "skinner/core/key_codes.h"
#include "skinner/skin/properties.h"
#include "tests/support/ui_harness.h"

namespace {

namespace fs = std::filesystem;

fs::path scratch(const std::string& name)
{
    const fs::path folder = fs::path(std::getenv("MELODRIFT_TEST_TMP")) / name;
    fs::remove_all(folder);
    fs::create_directories(folder);
    return folder;
}

void touch(const fs::path& file) { std::ofstream(file) << "x"; }

std::u16string wide(const fs::path& path) { return liba::to_wide(path.string()); }

std::vector<std::string> names(const ControlFiles& files)
{
    std::vector<std::string> shown;
    for (const FileEntry& entry : files.entries())
        shown.push_back(liba::to_narrow(entry.display_name));
    return shown;
}

TEST(FileList, AudioFilesAreToldByTheirExtension)
{
    const struct {
        const char16_t* name;
        bool audio;
    } cases[] = {
        {u"song.mp3", true},
        {u"SONG.MP3", true},
        {u"take.Wav", true},
        {u"a.ogg", true},
        {u"b.mpc", true},
        {u"/music/c.mp3", true},
        {u"notes.txt", false},
        {u"mp3", false},
        {u"song.mp3.txt", false},
        {u"folder.mp3/readme", false},
        {u"trailing.", false},
    };
    for (const auto& item : cases)
        EXPECT_EQ(ControlFiles::is_audio_file(item.name), item.audio) << liba::to_narrow(item.name);
}

struct FileListFixture : testing::Test {
    FileListFixture()
        : skin(std::u16string(default_skin_path), {240, 320})
        , form(skin)
    {
    }

    ControlFiles& files() { return form.file_panel().files; }

    ui_test::UiHarness ui {{{240, 320}, platform::DeviceKind::pocket_pc}};
    skinner::Properties skin;
    FormMain form;
};

TEST_F(FileListFixture, FoldersComeFirstThenSongsAndTheUpEntryLeads)
{
    const fs::path root = scratch("order");
    fs::create_directories(root / "zeta");
    fs::create_directories(root / "Alpha");
    touch(root / "b.mp3");
    touch(root / "A.wav");
    touch(root / "c.txt");
    touch(root / "caf\xe9.ogg"); // not UTF-8
    files().set_folder(wide(root) + u"/");
    EXPECT_EQ(names(files()), (std::vector<std::string> {"...", "Alpha", "zeta", "A.wav", "b.mp3", "caf\xe9.ogg"}));
    EXPECT_EQ(files().entry(0).kind, FileEntry::up);
    EXPECT_EQ(files().entry(0).path, wide(root.parent_path()));
    // The name that is not UTF-8 comes back to the same bytes on disk.
    EXPECT_TRUE(fs::exists(liba::to_narrow(files().entry(5).path)));
    EXPECT_EQ(files().entry(99).kind, FileEntry::none);
}

TEST_F(FileListFixture, GoingUpMakesTheFolderLeftTheCurrentRow)
{
    const fs::path root = scratch("updown");
    for (const char* name : {"a", "b", "c"})
        fs::create_directories(root / name);
    form.file_panel().change_folder(wide(root));
    files().select_path(wide(root / "b"));
    form.on_command(nullptr, u"PickFolder");
    EXPECT_EQ(files().current_folder(), wide(root / "b"));
    EXPECT_EQ(files().current_row(), 0);
    form.on_command(nullptr, u"PickUp");
    EXPECT_EQ(files().current_folder(), wide(root));
    EXPECT_EQ(files().current_path(), wide(root / "b"));
    // Escape in the focused list goes up as well.
    form.set_active(true);
    files().select_path(wide(root / "c"));
    form.on_command(nullptr, u"PickFolder");
    ASSERT_EQ(files().current_folder(), wide(root / "c"));
    EXPECT_TRUE(form.on_key_down(skinner::key::escape));
    EXPECT_EQ(files().current_folder(), wide(root));
    EXPECT_EQ(files().current_path(), wide(root / "c"));
}

TEST_F(FileListFixture, TheTopLevelHasNoUpEntryAndNamesTheDevice)
{
    form.file_panel().change_folder(u"/");
    EXPECT_TRUE(files().is_top_level());
    EXPECT_NE(files().entry(0).kind, FileEntry::up);
    EXPECT_EQ(form.file_panel().folder.text(), skin.translate(u"My_device"));
    form.on_command(nullptr, u"PickUp");
    EXPECT_TRUE(files().is_top_level());
}

TEST_F(FileListFixture, FoldersThatCannotBeListedFallBack)
{
    const fs::path root = scratch("bad");
    // A folder that no longer exists is the top level.
    form.file_panel().change_folder(wide(root / "gone"));
    EXPECT_EQ(files().current_folder(), u"/");
    // A folder that cannot be read lists only the way up (root reads everything).
    fs::create_directories(root / "locked");
    touch(root / "locked" / "song.mp3");
    chmod((root / "locked").c_str(), 0);
    form.file_panel().change_folder(wide(root / "locked"));
    if (geteuid() != 0) {
        EXPECT_EQ(names(files()), std::vector<std::string> {"..."});
    }
    chmod((root / "locked").c_str(), 0755);
    // A link that points to itself is listed once and never followed.
    fs::create_directory_symlink(root / "loop", root / "loop");
    form.file_panel().change_folder(wide(root));
    EXPECT_LE(files().row_count(), 3);
}

TEST_F(FileListFixture, ALongFolderShowsItsTailThatFits)
{
    fs::path deep = scratch("long");
    for (int level = 0; level < 8; ++level)
        deep /= "a_rather_long_folder_name_" + std::to_string(level);
    fs::create_directories(deep);
    form.file_panel().change_folder(wide(deep));
    const skinner::ControlFrame& frame = form.file_panel().folder;
    const std::u16string shown = frame.text();
    ASSERT_EQ(shown.substr(0, 3), u"...");
    EXPECT_LT(skinner::CanvasImpl::measure_text(frame.text_font(), shown).x, frame.available_width());
    EXPECT_EQ(wide(deep).substr(wide(deep).size() - (shown.size() - 3)), shown.substr(3));
}

} // namespace
