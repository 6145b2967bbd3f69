// Every form of the shipped skins, made by the program's own code, on every screen the
// skins name, on both devices and in both orientations: a control the code looks up
// that a skin lacks (or makes itself as well) ends the process, and so this test.
#include <gtest/gtest.h>

#include "app/dialogs/form_about.h"
#include "app/form_main.h"
#include "app/product.h"
#include "platform/screen.h"
#include "skinner/skin/properties.h"
#include "tests/support/ui_harness.h"

namespace {

struct Screen {
    const char* name;
    platform::ScreenConfig config;
};

class ShippedForms : public testing::TestWithParam<Screen> { };

TEST_P(ShippedForms, OpenInEveryLanguageAndAfterATurn)
{
    const platform::ScreenConfig& config = GetParam().config;
    ui_test::UiHarness ui(config);
    skinner::Properties skin(std::u16string(default_skin_path), config.size);
    ASSERT_TRUE(skin.check_version(skin_version_key, config.size));
    FormMain form(skin);
    for (skinner::ControlPanel* panel : std::initializer_list<skinner::ControlPanel*> {
             &form.start_panel(), &form.finish_panel(), &form.save_panel(), &form.file_panel()}) {
        form.show_panel(*panel);
        ui.run_until_idle();
    }
    for (const char16_t* language : {u"Deutsch.lng", u"Русский.lng", u"English.lng"}) {
        form.on_command(nullptr, u"Language_%app_path%/" + std::u16string(language));
        ui.run_until_idle();
        EXPECT_EQ(form.language_path(), u"%app_path%/" + std::u16string(language));
    }
    {
        skinner::Properties dialogs;
        dialogs.load_skin_and_language(std::u16string(dialogs_skin_path), form.language_path(), config.size);
        ASSERT_TRUE(dialogs.check_version(skin_version_key, config.size));
        dialogs::FormAbout about(&form, dialogs, u"About", product_title);
        ui.run_until_idle();
    }
    ui.key("F11");
    EXPECT_EQ(platform::screen_size().width, config.size.height);
    ui.run_until_idle();
}

INSTANTIATE_TEST_SUITE_P(Screens, ShippedForms,
    testing::Values(Screen {"pocketpc_240x320", {{240, 320}, platform::DeviceKind::pocket_pc}},
        Screen {"pocketpc_320x240", {{320, 240}, platform::DeviceKind::pocket_pc}},
        Screen {"pocketpc_480x640", {{480, 640}, platform::DeviceKind::pocket_pc}},
        Screen {"pocketpc_640x480", {{640, 480}, platform::DeviceKind::pocket_pc}},
        Screen {"smartphone_240x320", {{240, 320}, platform::DeviceKind::smartphone}},
        Screen {"smartphone_320x240", {{320, 240}, platform::DeviceKind::smartphone}},
        Screen {"smartphone_176x220", {{176, 220}, platform::DeviceKind::smartphone}},
        Screen {"smartphone_220x176", {{220, 176}, platform::DeviceKind::smartphone}},
        Screen {"smartphone_480x640", {{480, 640}, platform::DeviceKind::smartphone}}),
    [](const testing::TestParamInfo<Screen>& info) { return std::string(info.param.name); });

} // namespace
