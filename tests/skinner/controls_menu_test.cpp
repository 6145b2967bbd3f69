// Menus and soft keys: the Pocket PC's bar of buttons with a sub-menu filled on demand,
// the Smartphone's two soft keys on F1 and F2, the title bar's OK button, close and
// caption buttons, and the Back key; all played through the shell as a user would.
#include <gtest/gtest.h>

#include "liba/log.h"
#include "platform/base/keys.h"
#include "platform/window.h"
#include "skinner/controls/control_button.h"
#include "skinner/controls/control_check_box.h"
#include "skinner/core/key_codes.h"
#include "skinner/menu/control_menu_main.h"
#include "skinner/menu/menu_main_button.h"
#include "skinner/menu/menu_main_sub_menu.h"
#include "skinner/menu/menu_manager.h"
#include "tests/skinner/controls_fixture.h"
#include "tests/support/reference_image.h"

namespace controls_test {
namespace {

using platform::DeviceKind;
using skinner::ControlCheckBox;
using skinner::MenuItemDescription;
using skinner::MenuMainButton;
using skinner::MenuMainSubMenu;

const platform::ScreenConfig smartphone{{240, 320}, DeviceKind::smartphone};

MenuItemDescription entry(std::u16string command, std::u16string text, bool checked = false)
{
    MenuItemDescription description;
    description.command = std::move(command);
    description.text = std::move(text);
    description.checked = checked;
    return description;
}

// A form with a main menu, which fills every sub-menu with two languages when it is
// about to show.
class MenuForm : public ControlsForm {
public:
    MenuForm(skinner::Properties& properties, std::u16string_view name)
        : ControlsForm(properties, name)
    {
    }

    int on_menu_update(MenuItemDescription& item) override
    {
        updates.push_back(item.command);
        item.items = {entry(u"langEnglish", u"English", true), entry(u"langGerman", u"German")};
        return 1;
    }

    skinner::ControlMenuMain menu{*this, u"menuMain", skinner::NodeMode::unskinned};
    std::vector<std::u16string> updates;
};

std::string scratch_png(const std::string& name)
{
    return (skin_test::scratch_folder("shots") / (name + ".png")).string();
}

// The bottom bar of a 240 x 320 screen is 26 pixels high.
constexpr int bar_y = 320 - 13;

TEST(MenusPocketPc, TheBarListsItemsInOrderAndFillsASubMenuOnDemand)
{
    ControlsFixture fixture;
    MenuForm form(fixture.properties, u"Empty");
    MenuMainButton open(form, u"cmdOpen", u"Open", 2);
    MenuMainButton save(form, u"cmdSave", u"&Save", 1);
    MenuMainSubMenu language(form, u"mnuLanguage", u"Language", 3);
    MenuMainButton later(form, u"cmdLater", u"Later", 0);
    later.set_visible(false);
    const std::string shot = scratch_png("pocketpc");
    // Three buttons of 80 pixels: Save, Open, Language.
    fixture.ui.play_during(
        "tap 40 " + std::to_string(bar_y) + "\ntap 200 " + std::to_string(bar_y) + "\nscreenshot " + shot +
            "\nkey Down\nkey Down\nkey Enter",
        [&] { form.do_modal(); }, [&] { form.close(); });
    EXPECT_EQ(form.commands, (std::vector<std::u16string>{u"cmdSave", u"langGerman"}));
    EXPECT_EQ(form.updates, (std::vector<std::u16string>{u"mnuLanguage"}));
    EXPECT_TRUE(ui_test::png_matches_reference(shot, "skinner/menus_pocketpc"));

    // Shown, the hidden item takes its place first: four buttons of 60 pixels.
    later.set_visible(true);
    language.set_enabled(false);
    fixture.ui.play_during(
        "tap 30 " + std::to_string(bar_y) + "\ntap 210 " + std::to_string(bar_y), [&] { form.do_modal(); },
        [&] { form.close(); });
    EXPECT_EQ(form.commands.back(), u"cmdLater");
    EXPECT_EQ(form.updates.size(), 1u); // the disabled sub-menu did not open
}

TEST(MenusPocketPc, TitleOkCloseAndCaptionButtons)
{
    ControlsFixture fixture;
    MenuForm form(fixture.properties, u"Menus");
    const skinner::Control& ok = *form.find_control(u"btnOk");
    EXPECT_EQ(platform::window_text(form.window()), u"Menus and keys");
    EXPECT_FALSE(ok.wants_focus());
    const std::string shot = scratch_png("title");
    // The OK button is not on the form but in the title bar; the close button is on
    // the form, and closing ends the loop.
    fixture.ui.play_during(
        "screenshot " + shot + "\ntap 62 51\ntap 227 13\ntap 62 91", [&] { form.do_modal(); }, [&] { form.close(); });
    EXPECT_EQ(form.clicks, (std::vector<std::u16string>{u"btnOk", u"btnClose"}));
    EXPECT_FALSE(platform::is_window_visible(form.window()));
    EXPECT_TRUE(ui_test::png_matches_reference(shot, "skinner/menus_pocketpc_title"));
}

// A reload makes every button's behaviour anew: the title bar keeps its OK button, and
// the caption shows the text again.
TEST(MenusPocketPc, ReloadingKeepsTheTitleBarsOkButton)
{
    ControlsFixture fixture;
    MenuForm form(fixture.properties, u"Menus");
    auto& caption = form.get<skinner::ControlButton>(u"btnCaption");
    caption.set_text(u"Changed");
    EXPECT_EQ(platform::window_text(form.window()), u"Changed");
    // The skin's text comes back with the reload, and the new caption shows it.
    fixture.properties.refresh_skin();
    EXPECT_EQ(platform::window_text(form.window()), u"Menus and keys");
    fixture.ui.play_during(
        "tap 227 13", [&] { form.do_modal(); }, [&] { form.close(); });
    EXPECT_EQ(form.clicks, (std::vector<std::u16string>{u"btnOk"}));
}

TEST(MenusDeathTest, ASixthBarOfButtonsAndASecondMainMenuEndTheProgram)
{
    EXPECT_EXIT(
        {
            ControlsFixture fixture;
            std::vector<std::unique_ptr<MenuForm>> forms;
            for (int i = 0; i < 6; ++i) {
                forms.push_back(std::make_unique<MenuForm>(fixture.properties, u"Empty"));
                forms.back()->menu_manager().show();
            }
        },
        testing::ExitedWithCode(liba::fatal_exit_code), "Add more tolbar ids");
    EXPECT_EXIT(
        {
            ControlsFixture fixture;
            MenuForm form(fixture.properties, u"Empty");
            skinner::ControlMenuMain second(form, u"menuSecond", skinner::NodeMode::unskinned);
        },
        testing::ExitedWithCode(liba::fatal_exit_code), "Menu main is already exists");
}

TEST(MenusSmartphone, TwoSoftKeysOnF1AndF2)
{
    ControlsFixture fixture(smartphone);
    MenuForm form(fixture.properties, u"Menus");
    ControlCheckBox loud(form, u"chkLoud");
    MenuMainButton one(form, u"cmdOne", u"One", 2);
    MenuMainButton two(form, u"cmdTwo", u"Two", 1);
    const std::string keys = scratch_png("keys");
    const std::string menu = scratch_png("menu");
    // Left: the OK button alone, which acts at once. Right: the menu items in their
    // order, then the buttons that want the focus and the check box.
    fixture.ui.play_during(
        "screenshot " + keys + "\nkey F1\nkey F2\nscreenshot " + menu +
            "\nkey Down\nkey Down\nkey Enter\nkey F2\nkey Up\nkey Enter\nkey F2\nkey Down\nkey Down\nkey Down\nkey "
            "Enter",
        [&] { form.do_modal(); }, [&] { form.close(); });
    EXPECT_EQ(form.commands, (std::vector<std::u16string>{u"cmdOne"}));
    EXPECT_EQ(form.clicks, (std::vector<std::u16string>{u"btnOk", u"chkLoud", u"btnClose"}));
    EXPECT_TRUE(loud.checked());
    EXPECT_FALSE(platform::is_window_visible(form.window()));
    EXPECT_TRUE(ui_test::png_matches_reference(keys, "skinner/menus_smartphone_keys"));
    EXPECT_TRUE(ui_test::png_matches_reference(menu, "skinner/menus_smartphone_menu"));
}

// A key with one entry is that entry; a plain item placed on the right key's menu (a
// Cancel button) is an entry of its own there, not an empty "Menu".
TEST(MenusSmartphone, AKeyWithOneEntryActsAtOnce)
{
    ControlsFixture fixture(smartphone);
    MenuForm form(fixture.properties, u"CancelOnly");
    const std::string shot = scratch_png("cancel");
    fixture.ui.play_during(
        "screenshot " + shot + "\nkey F1\nkey F2", [&] { form.do_modal(); }, [&] { form.close(); });
    EXPECT_EQ(form.clicks, (std::vector<std::u16string>{u"btnCancel"}));
    EXPECT_TRUE(ui_test::png_matches_reference(shot, "skinner/menus_smartphone_cancel"));

    MenuForm empty(fixture.properties, u"Empty");
    MenuMainButton one(empty, u"cmdOne", u"One");
    fixture.ui.play_during(
        "key F2", [&] { empty.do_modal(); }, [&] { empty.close(); });
    EXPECT_EQ(empty.commands, (std::vector<std::u16string>{u"cmdOne"}));
}

TEST(MenusSmartphone, BackGoesToAnEditBoxOrElseToTheFormAsEscapeAndBackspace)
{
    ControlsFixture fixture(smartphone);
    MenuForm form(fixture.properties, u"Empty");
    core_test::Box box(form, u"boxKeys", skinner::NodeMode::unskinned);

    std::vector<std::uintptr_t> edit_keys;
    platform::WindowSpec edit_window;
    edit_window.class_name = u"EDIT";
    edit_window.style = platform::styles::child | platform::styles::visible;
    edit_window.parent = form.window();
    edit_window.procedure = [&](const platform::Message& message) -> std::intptr_t {
        if (message.message == platform::messages::key_down)
            edit_keys.push_back(message.wparam);
        return platform::default_window_procedure(message);
    };
    const platform::WindowHandle edit = platform::create_window(edit_window);
    platform::set_active_window(form.window());
    platform::set_focus(edit);
    fixture.ui.key("Back");
    EXPECT_EQ(edit_keys, (std::vector<std::uintptr_t>{platform::keys::backspace}));
    EXPECT_TRUE(box.keys.empty());
    platform::destroy_window(edit);

    fixture.ui.play_during(
        "key Back", [&] { form.do_modal(); }, [&] { form.close(); });
    EXPECT_EQ(box.keys, (std::vector<int>{skinner::key::escape, skinner::key::backspace}));
}

} // namespace
} // namespace controls_test
