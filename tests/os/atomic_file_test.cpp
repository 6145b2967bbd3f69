#include "os/atomic_file.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <string>
#include <sys/stat.h>
#include <vector>

#include "test_folder.h"

namespace {

std::string read_file(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

std::vector<std::string> names_in(const std::filesystem::path& folder)
{
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

bool is_temporary_name_of(const std::string& name, const std::string& target)
{
    const std::string prefix = "." + target + ".melodrift-";
    return name.size() == prefix.size() + 6 + 5 && name.compare(0, prefix.size(), prefix) == 0 &&
        name.compare(name.size() - 5, 5, ".part") == 0;
}

TEST(ReplacingFileTest, TheNewContentsAppearOnlyOnCommit)
{
    const auto root = make_test_folder();
    const auto path = root / "tone.mp3";
    write_file(path, "old");
    chmod(path.c_str(), 0640);
    {
        os::ReplacingFile file(path.string());
        ASSERT_TRUE(file.ok());
        EXPECT_EQ(file.write("new contents", 12), 12);
        const std::vector<std::string> names = names_in(root);
        ASSERT_EQ(names.size(), 2u);
        EXPECT_TRUE(is_temporary_name_of(names[0], "tone.mp3")) << names[0];
        EXPECT_EQ(read_file(path), "old") << "untouched while writing";
        EXPECT_TRUE(file.commit());
    }
    EXPECT_EQ(read_file(path), "new contents");
    EXPECT_EQ(names_in(root), std::vector<std::string>{"tone.mp3"});
    struct stat status { };
    ASSERT_EQ(stat(path.c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 07777, 0640u) << "the permissions stay";
}

TEST(ReplacingFileTest, WithoutCommitOnlyTheTemporaryFileGoes)
{
    const auto root = make_test_folder();
    const auto path = root / "kept.txt";
    write_file(path, "old");
    {
        os::ReplacingFile file(path.string());
        file.write("half", 4);
    }
    EXPECT_EQ(read_file(path), "old");
    EXPECT_EQ(names_in(root), std::vector<std::string>{"kept.txt"});
    {
        os::ReplacingFile fresh((root / "fresh.txt").string());
        fresh.write("half", 4);
    }
    EXPECT_EQ(names_in(root), std::vector<std::string>{"kept.txt"});
}

TEST(ReplacingFileTest, ALinkIsFollowedAndStays)
{
    const auto root = make_test_folder();
    std::filesystem::create_directory(root / "real");
    write_file(root / "real" / "file.ini", "old");
    std::filesystem::create_symlink("real/file.ini", root / "link.ini");
    ASSERT_TRUE(os::replace_file((root / "link.ini").string(), "new"));
    EXPECT_TRUE(std::filesystem::is_symlink(root / "link.ini"));
    EXPECT_EQ(read_file(root / "real" / "file.ini"), "new");
    EXPECT_EQ(names_in(root / "real"), std::vector<std::string>{"file.ini"});
}

TEST(ReplacingFileTest, ANameAtTheLengthLimitStillGetsATemporaryFile)
{
    const auto root = make_test_folder();
    const auto path = root / std::string(255, 'n');
    ASSERT_TRUE(os::replace_file(path.string(), "long"));
    EXPECT_EQ(read_file(path), "long");
    EXPECT_EQ(names_in(root).size(), 1u);
}

TEST(ReplacingFileTest, TargetsThatAreNotFilesAreRefusedAndKept)
{
    const auto root = make_test_folder();
    write_file(root / "file", "x");
    std::filesystem::create_directory(root / "folder");
    ASSERT_EQ(mkfifo((root / "fifo").c_str(), 0600), 0);
    std::filesystem::create_symlink(root / "nowhere" / "x", root / "dangling");
    std::filesystem::create_symlink(root / "file", root / "link");
    struct Case {
        std::string path;
        os::TargetProblem problem;
    };
    const Case cases[] = {
        {(root / "new").string(), os::TargetProblem::none},
        {(root / "file").string(), os::TargetProblem::none},
        {(root / "link").string(), os::TargetProblem::none},
        {(root / "folder").string(), os::TargetProblem::not_a_file},
        {(root / "fifo").string(), os::TargetProblem::not_a_file},
        {(root / "dangling").string(), os::TargetProblem::not_a_file},
        {"/dev/null", os::TargetProblem::not_a_file},
        {(root / "missing" / "new").string(), os::TargetProblem::folder_missing},
        {(root / "file" / "new").string(), os::TargetProblem::folder_missing},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(os::target_problem(c.path), c.problem) << c.path;
        if (c.problem != os::TargetProblem::none) {
            EXPECT_FALSE(os::replace_file(c.path, "y")) << c.path;
        }
    }
    EXPECT_TRUE(std::filesystem::is_directory(root / "folder"));
    EXPECT_TRUE(std::filesystem::is_fifo(root / "fifo"));
    EXPECT_TRUE(std::filesystem::is_symlink(root / "dangling"));
    EXPECT_TRUE(std::filesystem::is_character_file("/dev/null"));
    EXPECT_EQ(names_in(root), (std::vector<std::string>{"dangling", "fifo", "file", "folder", "link"}));
}

} // namespace
