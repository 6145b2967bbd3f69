// The main form's settings and languages on bad input: a settings file that is not
// XML or names what is gone, and language files that cannot be read.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "app/form_main.h"
#include "app/product.h"
#include "app/settings.h"
#include "liba/text.h"
#include "os/path.h"
#include "skinner/skin/properties.h"
#include "tests/support/ui_harness.h"

namespace {

namespace fs = std::filesystem;

struct FormMainFixture : testing::Test {
    FormMainFixture()
        : folder(fs::path(std::getenv("MELODRIFT_TEST_TMP")) / "form_main")
    {
        fs::remove_all(folder);
        fs::create_directories(folder / "music");
        setenv("XDG_MUSIC_DIR", (folder / "music").c_str(), 1);
        os::refresh_special_folders();
    }

    void write_settings_file(const std::string& text)
    {
        const fs::path file = liba::to_narrow(os::expand_macros(settings_file));
        fs::create_directories(file.parent_path());
        std::ofstream(file) << text;
    }

    fs::path folder;
    ui_test::UiHarness ui {{{240, 320}, platform::DeviceKind::pocket_pc}};
    skinner::Properties skin {std::u16string(default_skin_path), {240, 320}};
};

TEST_F(FormMainFixture, SettingsThatCannotBeUsedGiveTheDefaults)
{
    const struct {
        const char* what;
        std::string text;
        std::string folder;
    } cases[] = {
        {"not XML", std::string("\x89PNG\r\n\x1a\n\0\0binary", 16), (folder / "music").string()},
        {"a folder that is gone",
            "<Settings><General Language=\"%app_path%/Missing.lng\"/><Filelist CurrentFolder=\""
                + (folder / "gone").string() + "\" SelectedPath=\"/nowhere\"/></Settings>",
            "/"},
        {"a huge attribute", "<Settings><Filelist CurrentFolder=\"" + std::string(100000, 'x') + "\"/></Settings>",
            (folder / "music").string()},
    };
    for (const auto& each : cases) {
        write_settings_file(each.text);
        FormMain form(skin);
        form.load_settings();
        EXPECT_EQ(liba::to_narrow(form.file_panel().files.current_folder()), each.folder) << each.what;
        EXPECT_EQ(form.language_path(), english_language_path) << each.what;
    }
}

TEST_F(FormMainFixture, ALanguageFileWithoutTextFallsBackToEnglish)
{
    const fs::path file = folder / "empty.lng";
    std::ofstream(file) << "";
    FormMain form(skin);
    form.on_command(nullptr, u"Language_" + liba::to_wide(file.string()));
    EXPECT_EQ(form.language_path(), english_language_path);
    // The choice was written at once, and it is English that was kept.
    EXPECT_EQ(read_settings().language, english_language_path);

    // Bytes that are no text at all are shown as well as they go, and nothing breaks.
    const fs::path binary = folder / "binary.lng";
    std::ofstream(binary, std::ios::binary) << std::string("\x89PNG\r\n\x1a\n\0\0\0\rIHDR\xff\xfe\0\x01", 20);
    form.on_command(nullptr, u"Language_" + liba::to_wide(binary.string()));
    ui.run_until_idle();
    form.on_command(nullptr, u"Language_" + std::u16string(english_language_path));
    EXPECT_EQ(form.language_path(), english_language_path);
}

} // namespace
