#include "app/settings.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "liba/text.h"

namespace {

namespace fs = std::filesystem;

fs::path scratch(const std::string& name)
{
    const char* tmp = std::getenv("MELODRIFT_TEST_TMP");
    const fs::path folder = fs::path(tmp ? tmp : "/tmp") / "settings_test" / name;
    fs::remove_all(folder);
    fs::create_directories(folder);
    return folder;
}

std::u16string wide(const fs::path& path) { return liba::to_wide(path.string()); }

TEST(Settings, WrittenFileReadsBack)
{
    const fs::path file = scratch("round") / "deeper" / "Settings.xml";
    Settings settings;
    settings.language = u"%app_path%/Русский.lng";
    settings.current_folder = u"/home/me/Music/Rock & \"Roll\"";
    settings.selected_path = u"/home/me/Music/Rock & \"Roll\"/<song>.mp3";
    ASSERT_TRUE(write_settings(settings, wide(file)));
    const Settings read = read_settings(wide(file));
    EXPECT_EQ(read.language, settings.language);
    EXPECT_EQ(read.current_folder, settings.current_folder);
    EXPECT_EQ(read.selected_path, settings.selected_path);

    std::ifstream in(file);
    const std::string text((std::istreambuf_iterator<char>(in)), {});
    EXPECT_NE(text.find("<Settings>"), std::string::npos);
    EXPECT_LT(text.find("<General"), text.find("<Filelist"));
}

struct DamagedCase {
    const char* name;
    std::string content; // empty: no file at all
    std::u16string language;
    std::u16string folder;
};

class DamagedSettings : public testing::TestWithParam<DamagedCase> {};

TEST_P(DamagedSettings, KeepTheDefaultsForWhatIsMissing)
{
    const fs::path file = scratch(GetParam().name) / "Settings.xml";
    if (!GetParam().content.empty())
        std::ofstream(file, std::ios::binary) << GetParam().content;
    const Settings read = read_settings(wide(file));
    EXPECT_EQ(read.language, GetParam().language);
    EXPECT_EQ(read.current_folder, GetParam().folder);
}

const std::u16string english = u"%app_path%/English.lng";

INSTANTIATE_TEST_SUITE_P(App, DamagedSettings,
    testing::Values(DamagedCase{"NoFile", "", english, u""},
        DamagedCase{"NotXml", std::string("\x89PNG\r\n\x1a\n\0\0binary", 16), english, u""},
        DamagedCase{"Truncated", "<Settings><General Language=\"x.lng\"", english, u""},
        DamagedCase{"OtherRoot", "<Other><General Language=\"x.lng\"/></Other>", english, u""},
        DamagedCase{"OnlyFolder", "<Settings><Filelist CurrentFolder=\"/tmp\"/></Settings>", english, u"/tmp"},
        DamagedCase{"ExtraPartsIgnored",
            "<Settings extra=\"1\"><Junk/><General Language=\"a.lng\" More=\"2\"/><Filelist CurrentFolder=\"/x\"/>"
            "</Settings>",
            u"a.lng", u"/x"},
        DamagedCase{"HugeAttribute",
            "<Settings><General Language=\"" + std::string(1 << 20, 'a') + "\"/><Filelist CurrentFolder=\"/y\"/></Settings>",
            english, u"/y"}),
    [](const testing::TestParamInfo<DamagedCase>& info) { return std::string(info.param.name); });

TEST(Settings, AnUnwritableFolderIsAFailureAndNoCrash)
{
    EXPECT_FALSE(write_settings(Settings{}, u"/proc/no/such/Settings.xml"));
}

} // namespace
