#include "os/registry.h"

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <string>
#include <thread>

#include "os/atomic_file.h"

namespace {

constexpr std::u16string_view quenbry = u"HKEY_CURRENT_USER\\Software\\Quenbry";

std::filesystem::path scratch(const std::string& name)
{
    const char* tmp = std::getenv("MELODRIFT_TEST_TMP");
    const auto folder = std::filesystem::path(tmp ? tmp : "/tmp") / "registry_test";
    std::filesystem::create_directories(folder);
    return folder / name;
}

std::string contents(const std::filesystem::path& path)
{
    std::ifstream file(path, std::ios::binary);
    std::stringstream bytes;
    bytes << file.rdbuf();
    return bytes.str();
}

// Points the registry at a fresh file for each test.
class RegistryTest : public testing::Test {
protected:
    void SetUp() override
    {
        // A folder of its own: tests run in parallel processes and some count files.
        const auto folder = scratch(testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::remove_all(folder);
        std::filesystem::create_directories(folder);
        path_ = folder / "registry.ini";
        setenv("MELODRIFT_REGISTRY", path_.c_str(), 1);
    }
    void TearDown() override { unsetenv("MELODRIFT_REGISTRY"); }

    void write_file(const std::string& text) { std::ofstream(path_, std::ios::binary) << text; }

    uint32_t number(std::u16string_view key, std::u16string_view name, uint32_t fallback = 77)
    {
        uint32_t value = fallback;
        EXPECT_TRUE(os::read_registry_number(key, name, value));
        return value;
    }

    std::filesystem::path path_;
};

TEST_F(RegistryTest, RootNames)
{
    write_file("[HKEY_CURRENT_USER]\nTop=1\n[HKEY_LOCAL_MACHINE\\Software\\Quenbry]\nLog=2\n"
               "[HKEY_CURRENT_USER\\Software\\Quenbry]\nLog=3\n[HKEY_USERS\\S]\nV=4\n[HKEY_CLASSES_ROOT\\S]\nV=5\n");
    EXPECT_EQ(number(u"HKEY_CURRENT_USER", u"Top"), 1u);
    EXPECT_EQ(number(u"HKEY_LOCAL_MACHINE\\Software\\Quenbry", u"Log"), 2u);
    EXPECT_EQ(number(quenbry, u"Log"), 3u);
    EXPECT_EQ(number(u"HKEY_USERS\\S", u"V"), 4u);
    EXPECT_EQ(number(u"HKEY_CLASSES_ROOT\\S", u"V"), 5u);

    for (const std::u16string_view rootless : {u"hkey_current_user\\Software\\Quenbry", u"HKEY_CURRENT_CONFIG\\Software",
                                               u"Software\\Quenbry", u"", u"HKEY_CURRENT_USE"}) {
        uint32_t value = 9;
        EXPECT_FALSE(os::read_registry_number(rootless, u"Log", value));
        EXPECT_EQ(value, 9u);
        EXPECT_FALSE(os::write_registry_string(rootless, u"Log", u"x"));
    }
    EXPECT_EQ(contents(path_).find("HKEY_CURRENT_CONFIG"), std::string::npos);
}

TEST_F(RegistryTest, MissingFileKeyOrValueLeavesTheDefault)
{
    EXPECT_EQ(number(quenbry, u"Log", 0), 0u);
    EXPECT_FALSE(std::filesystem::exists(path_));
    write_file("[HKEY_CURRENT_USER\\Software\\Quenbry]\nFlicker=1\n");
    EXPECT_EQ(number(quenbry, u"Log", 0), 0u);
    EXPECT_EQ(number(u"HKEY_CURRENT_USER\\Software\\Other", u"Flicker", 0), 0u);
    std::u16string text = u"unchanged";
    EXPECT_FALSE(os::read_registry_string(quenbry, u"Missing", text));
    EXPECT_EQ(text, u"unchanged");
}

TEST_F(RegistryTest, HowValuesAreRead)
{
    struct Case {
        const char* line;
        uint32_t number; // 77: the caller's default stays
    };
    for (const Case& c : {Case{"Log=1", 1}, Case{"Log = 12 ", 12}, Case{"Log=dword:0000000a", 10},
                          Case{"Log=DWORD:FFFFFFFF", 0xFFFFFFFF}, Case{"Log=4294967295", 4294967295u},
                          Case{"Log=4294967296", 77}, Case{"Log=\"1\"", 77}, Case{"Log=on", 77}, Case{"Log=", 77},
                          Case{"Log=-1", 77}, Case{"Log=dword:", 77}, Case{"Log=dword:123456789", 77},
                          Case{"\"Log\"=2", 2}, Case{"LOG=3", 3}, Case{"Log=1\nLog=4", 4}}) {
        // A file of its own per case: two writes within the file system's clock tick
        // may leave the same size and time behind.
        path_ += "+";
        setenv("MELODRIFT_REGISTRY", path_.c_str(), 1);
        write_file(std::string("; comment\n[HKEY_CURRENT_USER\\software\\QUENBRY]\n") + c.line + "\n");
        EXPECT_EQ(number(quenbry, u"Log"), c.number) << c.line;
    }
}

TEST_F(RegistryTest, StringsRoundTripAndNeverReadAsNumbers)
{
    const std::u16string awkward = u"C:\\Rings\\\"quoted\" \u00e9\u0416 line\nnext\rend ; # [x] =";
    ASSERT_TRUE(os::write_registry_string(u"HKEY_CURRENT_USER\\ControlPanel\\Sounds\\RingTone0", u"Sound", awkward));
    ASSERT_TRUE(os::write_registry_string(quenbry, u"Empty", u""));
    ASSERT_TRUE(os::write_registry_string(quenbry, u"Odd=name \"", u"v"));
    ASSERT_TRUE(os::write_registry_string(quenbry, u"", u"default"));

    std::u16string text;
    ASSERT_TRUE(os::read_registry_string(u"HKEY_CURRENT_USER\\controlpanel\\sounds\\ringtone0", u"SOUND", text));
    EXPECT_EQ(text, awkward);
    ASSERT_TRUE(os::read_registry_string(quenbry, u"Empty", text));
    EXPECT_EQ(text, u"");
    ASSERT_TRUE(os::read_registry_string(quenbry, u"Odd=name \"", text));
    EXPECT_EQ(text, u"v");
    ASSERT_TRUE(os::read_registry_string(quenbry, u"", text));
    EXPECT_EQ(text, u"default");
    EXPECT_EQ(number(quenbry, u"Empty"), 77u);

    ASSERT_TRUE(os::write_registry_string(quenbry, u"Log", u"1"));
    EXPECT_EQ(number(quenbry, u"Log"), 77u);
}

TEST_F(RegistryTest, WritingKeepsTheRestOfAHandEditedFile)
{
    const std::string original = "# written by hand\n[HKEY_CURRENT_USER\\Software\\Quenbry]\n"
                                 "Log = 1\nFlicker=dword:00000000\n\n[HKEY_LOCAL_MACHINE\\X]\nY=2\n";
    write_file(original);
    ASSERT_TRUE(os::write_registry_string(quenbry, u"Name", u"first"));
    ASSERT_TRUE(os::write_registry_string(quenbry, u"name", u"second"));
    ASSERT_TRUE(os::write_registry_string(u"HKEY_USERS\\New", u"A", u"b"));
    EXPECT_EQ(contents(path_), "# written by hand\n[HKEY_CURRENT_USER\\Software\\Quenbry]\n"
                               "Log = 1\nFlicker=dword:00000000\nname=\"second\"\n\n[HKEY_LOCAL_MACHINE\\X]\nY=2\n"
                               "\n[HKEY_USERS\\New]\nA=\"b\"\n");
}

TEST_F(RegistryTest, FileChangedBehindOurBackIsReadAgain)
{
    write_file("[HKEY_CURRENT_USER\\Software\\Quenbry]\nLog=0\n");
    EXPECT_EQ(number(quenbry, u"Log"), 0u);
    ASSERT_TRUE(os::replace_file(path_.string(), "[HKEY_CURRENT_USER\\Software\\Quenbry]\nLog=1\n"));
    EXPECT_EQ(number(quenbry, u"Log"), 1u);
    std::filesystem::remove(path_);
    EXPECT_EQ(number(quenbry, u"Log"), 77u);
}

TEST_F(RegistryTest, FolderIsCreatedOnFirstWrite)
{
    const auto nested = scratch("nested/deeper/registry.ini");
    std::filesystem::remove_all(scratch("nested"));
    setenv("MELODRIFT_REGISTRY", nested.c_str(), 1);
    EXPECT_TRUE(os::write_registry_string(quenbry, u"A", u"b"));
    EXPECT_TRUE(std::filesystem::exists(nested));
}

TEST_F(RegistryTest, FailedWriteLeavesTheOldFileAndNoDebris)
{
    // A folder where the file should be: the rename over it fails.
    std::filesystem::create_directories(path_);
    const auto folder = path_.parent_path();
    const auto count = [&] { return std::distance(std::filesystem::directory_iterator(folder), {}); };
    const auto before = count();
    EXPECT_FALSE(os::write_registry_string(quenbry, u"A", u"b"));
    EXPECT_EQ(count(), before);
    EXPECT_TRUE(std::filesystem::is_directory(path_));
}

TEST(ReplaceFileTest, ReplacesContentsAndKeepsPermissions)
{
    const auto path = scratch("replace.txt");
    std::ofstream(path, std::ios::binary) << "old contents that are longer";
    std::filesystem::permissions(path, std::filesystem::perms::owner_read | std::filesystem::perms::owner_write |
                                           std::filesystem::perms::group_read);
    ASSERT_TRUE(os::replace_file(path.string(), "new"));
    EXPECT_EQ(contents(path), "new");
    EXPECT_EQ(std::filesystem::status(path).permissions() & std::filesystem::perms::all,
              std::filesystem::perms::owner_read | std::filesystem::perms::owner_write |
                  std::filesystem::perms::group_read);
    EXPECT_FALSE(os::replace_file(scratch("no/such/folder/file").string(), "x"));
}

TEST(RegistryConcurrencyTest, ReadersSeeWholeValuesWhileAWriterRuns)
{
    const auto path = scratch("concurrent.ini");
    std::filesystem::remove(path);
    setenv("MELODRIFT_REGISTRY", path.c_str(), 1);
    ASSERT_TRUE(os::write_registry_string(quenbry, u"Text", u"aaaa"));
    std::atomic<bool> done{false};
    std::atomic<int> torn{0};
    std::thread reader([&] {
        while (!done) {
            std::u16string text;
            if (!os::read_registry_string(quenbry, u"Text", text) || (text != u"aaaa" && text != u"bbbb"))
                ++torn;
        }
    });
    for (int i = 0; i < 50; ++i)
        ASSERT_TRUE(os::write_registry_string(quenbry, u"Text", i % 2 ? u"aaaa" : u"bbbb"));
    done = true;
    reader.join();
    EXPECT_EQ(torn, 0);
    unsetenv("MELODRIFT_REGISTRY");
}

} // namespace
