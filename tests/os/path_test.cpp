#include "os/path.h"

#include "os/file.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <unistd.h>
#include <vector>

#include "liba/text.h"
#include "test_folder.h"

namespace {

std::u16string program_folder()
{
    char buffer[4096];
    const ssize_t length = readlink("/proc/self/exe", buffer, sizeof buffer);
    std::string path(buffer, static_cast<size_t>(std::max<ssize_t>(length, 0)));
    return liba::to_wide(path.substr(0, path.rfind('/')));
}

TEST(PathTest, MacrosExpandOnlyAtTheStart)
{
    const std::u16string app = program_folder();
    EXPECT_EQ(os::expand_macros(u"%app_path%/skins/default/default.skin"), app + u"/skins/default/default.skin");
    EXPECT_EQ(os::expand_macros(u"%app_path%\\a\\b"), app + u"/a/b");
    EXPECT_EQ(os::expand_macros(u"x/%app_path%/y"), u"x/%app_path%/y");
    EXPECT_EQ(os::expand_macros(u"%APP_PATH%/y"), u"%APP_PATH%/y");
    EXPECT_EQ(os::expand_macros(u"%other%/y"), u"%other%/y");
    EXPECT_EQ(os::expand_macros(u""), u"");
    EXPECT_EQ(os::expand_macros(u"%app_full_name%.txt"), app + u"/os_tests.txt");
    EXPECT_EQ(os::expand_macros(u"%app_name%"), u"os_tests");
}

TEST(PathTest, SpecialFoldersComeFromTheEnvironment)
{
    setenv("MELODRIFT_DOCUMENTS", "/tmp/docs", 1);
    setenv("MELODRIFT_WINDOWS", "/tmp/win", 1);
    os::refresh_special_folders();
    EXPECT_EQ(os::expand_macros(u"%my_documents%"), u"/tmp/docs");
    EXPECT_EQ(os::expand_macros(u"%windows%/Rings"), u"/tmp/win/Rings");
    unsetenv("MELODRIFT_WINDOWS");
    setenv("XDG_DATA_HOME", "/tmp/data", 1);
    os::refresh_special_folders();
    EXPECT_EQ(os::expand_macros(u"%windows%/Rings"), u"/tmp/data/melodrift/Rings");
    unsetenv("MELODRIFT_DOCUMENTS");
    unsetenv("XDG_DATA_HOME");
    os::refresh_special_folders();
}

struct PathCase {
    std::u16string path;
    std::u16string strip, directory, parent, name, extension, without_extension, base;
};

TEST(PathTest, StringOperations)
{
    const PathCase cases[] = {
        {u"a/b.c/d", u"a/b.c/d", u"a/b.c/", u"a/b.c/", u"d", u"", u"a/b.c/d", u"d"},
        {u"song.mp3", u"song.mp3", u"", u"", u"song.mp3", u"mp3", u"song", u"song"},
        {u"dir\\x.tar.gz", u"dir\\x.tar.gz", u"dir\\", u"dir\\", u"x.tar.gz", u"gz", u"dir\\x.tar", u"x.tar"},
        {u"a/b//", u"a/b/", u"a/b//", u"a/b/", u"", u"", u"a/b//", u""},
        {u"\\a\\b\\", u"\\a\\b", u"\\a\\b\\", u"\\a\\", u"", u"", u"\\a\\b\\", u""},
        {u"name.", u"name.", u"", u"", u"name.", u"", u"name", u"name"},
        {u"", u"", u"", u"", u"", u"", u"", u""},
    };
    for (const auto& c : cases) {
        const std::string label = liba::to_narrow(c.path);
        EXPECT_EQ(os::strip_trailing_separator(c.path), c.strip) << label;
        EXPECT_EQ(os::directory_part(c.path), c.directory) << label;
        EXPECT_EQ(os::parent_directory(c.path), c.parent) << label;
        EXPECT_EQ(os::file_name(c.path), c.name) << label;
        EXPECT_EQ(os::extension(c.path), c.extension) << label;
        EXPECT_EQ(os::without_extension(c.path), c.without_extension) << label;
        EXPECT_EQ(os::base_name(c.path), c.base) << label;
    }
}

TEST(PathTest, JoinAndCompare)
{
    EXPECT_EQ(os::join_path(u"", u"x"), u"x");
    EXPECT_EQ(os::join_path(u"/", u"x"), u"/x");
    EXPECT_EQ(os::join_path(u"a/", u"x"), u"a/x");
    EXPECT_EQ(os::join_path(u"a\\", u"x"), u"a/x");
    EXPECT_TRUE(os::paths_equal(u"%app_path%/Skins/", program_folder() + u"\\skins"));
    EXPECT_TRUE(os::paths_equal(u"A\\B\u00c9", u"a/b\u00e9"));
    EXPECT_FALSE(os::paths_equal(u"a/b", u"a/c"));
}

TEST(PathTest, WildCardsIgnoreCase)
{
    struct Case {
        std::u16string text, mask;
        bool matches;
    };
    const Case cases[] = {
        {u"English.lng", u"*.lng", true}, {u"ENGLISH.LNG", u"*.lng", true}, {u"English.lngx", u"*.lng", false},
        {u"song_001.mp3", u"song*", true}, {u"a", u"?", true}, {u"ab", u"?", false},
        {u"", u"*", true}, {u"abc", u"a*b*c", true}, {u"abcbd", u"a*b?", true}, {u"x", u"", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(os::matches_mask(c.text, c.mask), c.matches) << liba::to_narrow(c.text) << " ~ " << liba::to_narrow(c.mask);
}

TEST(FileSystemTest, DirectoriesInfoAndDeletion)
{
    const auto root = make_test_folder();
    const std::u16string deep = liba::to_wide((root / "x" / "y" / "z").string()) + u"/";
    os::make_directories(deep);
    EXPECT_TRUE(os::FileInfo(deep).is_folder());
    os::make_directories(deep); // already there: silently fine

    write_file(root / "x" / "file.bin", "12345");
    const os::FileInfo info(liba::to_wide((root / "x" / "file.bin").string()));
    EXPECT_TRUE(info.exists());
    EXPECT_FALSE(info.is_folder());
    EXPECT_EQ(info.size, 5);
    EXPECT_GT(info.modified.year, 2000);

    const os::FileInfo pattern(liba::to_wide((root / "x" / "FILE.*").string()));
    EXPECT_TRUE(pattern.exists()) << "a wild-card pattern finds its first match";

    EXPECT_TRUE(os::delete_file(info.path));
    const os::FileInfo gone(info.path);
    EXPECT_FALSE(gone.exists());
    EXPECT_EQ(gone.size, 0);
    EXPECT_NE(gone.last_error, 0);
    EXPECT_TRUE(os::FileInfo(u"/").is_folder());
    EXPECT_GT(os::free_space(liba::to_wide(root.string())), 0.0);
    EXPECT_EQ(os::free_space(u"/no/such/folder/anywhere"), 0.0);
}

TEST(FileSystemTest, SameFileSeesThroughDotsLinksAndHardLinks)
{
    const auto root = make_test_folder();
    std::filesystem::create_directory(root / "sub");
    write_file(root / "song.wav", "RIFF");
    write_file(root / "other.wav", "RIFF");
    std::filesystem::create_symlink(root / "song.wav", root / "sub" / "link.wav");
    std::filesystem::create_hard_link(root / "song.wav", root / "hard.wav");
    const auto w = [](const std::filesystem::path& path) { return liba::to_wide(path.string()); };
    const std::u16string song = w(root / "song.wav");
    EXPECT_TRUE(os::same_file(song, song));
    EXPECT_TRUE(os::same_file(song, w(root / "sub" / ".." / "song.wav")));
    EXPECT_TRUE(os::same_file(song, w(root / "sub" / "link.wav")));
    EXPECT_TRUE(os::same_file(song, w(root / "hard.wav")));
    EXPECT_FALSE(os::same_file(song, w(root / "other.wav")));
    EXPECT_FALSE(os::same_file(song, w(root / "missing.wav")));
    EXPECT_FALSE(os::same_file(w(root / "missing.wav"), w(root / "missing.wav")));
}

TEST(FileSystemTest, AbsolutePathsStartFromTheWorkingFolder)
{
    const std::u16string here = liba::to_wide(std::filesystem::current_path().string());
    EXPECT_EQ(os::absolute_path(u"/a/b.mp3"), u"/a/b.mp3");
    EXPECT_EQ(os::absolute_path(u"b.mp3"), here + u"/b.mp3");
    EXPECT_EQ(os::absolute_path(u"./x/b.mp3"), here + u"/x/b.mp3");
    EXPECT_EQ(os::absolute_path(u"%app_path%/b.mp3"), os::expand_macros(u"%app_path%/b.mp3"));
}

class RecordingFinder : public os::Finder {
public:
    std::vector<std::u16string> files, folders;
    bool stop_at_first_file = false;
    bool on_file(const std::u16string& path) override
    {
        files.push_back(path);
        return !stop_at_first_file;
    }
    bool on_folder(const std::u16string& path) override
    {
        folders.push_back(path);
        return true;
    }
};

TEST(FileSystemTest, ScanListsFilesThenFoldersWithMasks)
{
    const auto root = make_test_folder();
    write_file(root / "English.lng", "");
    write_file(root / "Deutsch.LNG", "");
    write_file(root / "notes.txt", "");
    std::filesystem::create_directories(root / "sub" / "inner");
    write_file(root / "sub" / "more.lng", "");
    const std::u16string folder = liba::to_wide(root.string()) + u"\\";

    RecordingFinder finder;
    os::scan(finder, folder, u"*.lng", u"*", false);
    std::sort(finder.files.begin(), finder.files.end());
    EXPECT_EQ(finder.files, (std::vector<std::u16string>{liba::to_wide(root.string()) + u"/Deutsch.LNG",
                                                         liba::to_wide(root.string()) + u"/English.lng"}));
    EXPECT_EQ(finder.folders, std::vector<std::u16string>{liba::to_wide(root.string()) + u"/sub"});

    RecordingFinder recursive;
    os::scan(recursive, folder, u"*.lng", u"*", true);
    EXPECT_EQ(recursive.files.size(), 3u);
    EXPECT_EQ(recursive.folders.size(), 2u);

    RecordingFinder stopping;
    stopping.stop_at_first_file = true;
    os::scan(stopping, folder, u"*", u"*", false);
    EXPECT_EQ(stopping.files.size(), 1u);
    EXPECT_TRUE(stopping.folders.empty()) << "stopping in the file pass skips the folder pass";

    RecordingFinder missing;
    os::scan(missing, u"/no/such/folder", u"*", u"*", true);
    EXPECT_TRUE(missing.files.empty() && missing.folders.empty());
}

TEST(ShellTest, ExecuteFileStartsWithoutWaiting)
{
    const auto root = make_test_folder();
    const auto script = root / "tool.sh";
    write_file(script, "#!/bin/sh\nsleep 5\n");
    std::filesystem::permissions(script, std::filesystem::perms::owner_all);
    EXPECT_TRUE(os::execute_file(liba::to_wide(script.string()), u"--flag"));
    EXPECT_FALSE(os::execute_file(u"/no/such/program/at/all", u""));
}

// A name that is not UTF-8, as the folder scan reports it, opens the same file.
TEST(FileSystemTest, NamesThatAreNotUtf8AreFoundAndOpened)
{
    const auto root = make_test_folder();
    write_file(root / "caf\xE9.wav", "RIFF");
    RecordingFinder finder;
    os::scan(finder, liba::to_wide(root.string()), u"*", u"*", false);
    ASSERT_EQ(finder.files.size(), 1u);
    EXPECT_EQ(os::native_path(finder.files[0]), (root / "caf\xE9.wav").string());
    EXPECT_TRUE(os::FileInfo(finder.files[0]).exists());
    os::File file(finder.files[0], os::File::read_only);
    EXPECT_EQ(file.size(), 4);
}

} // namespace
