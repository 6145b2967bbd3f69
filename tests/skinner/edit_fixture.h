#pragma once

#include <gtest/gtest.h>

#include <map>
#include <string>

#include "platform/base/message_queue.h"
#include "platform/edit_window.h"
#include "platform/screen.h"
#include "platform/png_writer.h"
#include "platform/window.h"
#include "skinner/controls/control_edit.h"
#include "skinner/core/form.h"
#include "skinner/skin/properties.h"
#include "tests/skinner/core_fixture.h"

// A form of four edit fields built from a test skin: an ordinary one, a read-only
// one, a password field and one for numbers, on a fresh headless screen of either device.
namespace edit_test {

using skinner::Point;

// The looks every field of the test skin shares.
inline const char* const field_looks = R"(
      <picture name="Normal" image="field" margins="3 3 3 3" stretch="true"/>
      <picture name="Highlighted" image="field_focus" margins="3 3 3 3" stretch="true"/>
      <picture name="Readonly" image="field_locked" margins="3 3 3 3" stretch="true"/>
      <picture name="Selection" image="selection" stretch="true"/>
      <font name="Normal" value="12 0 0 0 Tahoma"/>
      <color name="Normal" value="#202020"/>
      <color name="Readonly" value="#505050"/>
      <color name="Selection" value="#ffffff"/>
      <point name="BorderMin" value="5 2"/>)";

inline std::string field(const std::string& name, int y, int tab_order, const std::string& more)
{
    return "    <control name=\"" + name + "\">" + field_looks + "\n      <point name=\"Position\" value=\"10 " +
        std::to_string(y) + "\"/><point name=\"Size\" value=\"120 24\"/>\n      <int name=\"TabOrder\" value=\"" +
        std::to_string(tab_order) + "\"/>" + more + "\n    </control>\n";
}

// A form drawn for 240 x 320, and so run at scale 2 on 480 x 640.
inline std::string edit_skin_source()
{
    return R"(<?xml version="1.0" encoding="UTF-8"?>
<skin key="Melodrift_1.00">
  <resolution width="240" height="320"/>
  <form name="Edit">
    <int name="StartPosition" value="3"/>
    <picture name="Background" image="back" stretch="true"/>
)" + field("edtName", 10, 1, "<string name=\"Text\" value=\"NameText\"/>") +
        field("edtLocked", 44, 2, "<int name=\"Readonly\" value=\"1\"/><string name=\"Text\" value=\"locked text\"/>") +
        field("edtSecret", 78, 3, "<string name=\"PasswordChar\" value=\"*\"/>") +
        field("edtNumber", 112, 4, "<string name=\"InputMode\" value=\"Numbers\"/>") + R"(  </form>
</skin>
)";
}

inline std::u16string build_edit_skin()
{
    const auto folder = skin_test::scratch_folder("edit");
    auto back = platform::Surface::create(8, 8);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            back->set_pixel(x, y, 0xE0E4E8);
    platform::write_png(*back, skin_test::wide(folder / "back.png"));
    platform::write_png(*core_test::filled(12, 12, 0xFFFFFF, 0x808890), skin_test::wide(folder / "field.png"));
    platform::write_png(*core_test::filled(12, 12, 0xFFFFFF, 0x2050C0), skin_test::wide(folder / "field_focus.png"));
    platform::write_png(*core_test::filled(12, 12, 0xE8E8E8, 0x808890), skin_test::wide(folder / "field_locked.png"));
    platform::write_png(*core_test::filled(4, 4, 0x3060B0, 0x3060B0), skin_test::wide(folder / "selection.png"));
    std::string error;
    const auto skin = skin_test::compile_skin(folder, "edit", edit_skin_source(), &error);
    EXPECT_FALSE(skin.empty()) << error;
    return skin_test::wide(skin);
}

class EditForm : public skinner::Form {
public:
    explicit EditForm(skinner::Properties& properties)
        : Form(nullptr, properties, u"Edit")
    {
    }

    int on_text_changed(skinner::Control* sender) override
    {
        ++changes[sender];
        return 1;
    }
    int on_click(skinner::Control* sender, int) override
    {
        ++clicks[sender];
        return 1;
    }

    skinner::ControlEdit name{*this, u"edtName"};
    skinner::ControlEdit locked{*this, u"edtLocked"};
    skinner::ControlEdit secret{*this, u"edtSecret"};
    skinner::ControlEdit number{*this, u"edtNumber"};
    std::map<skinner::Control*, int> changes;
    std::map<skinner::Control*, int> clicks;
};

// The selection colour of the test skin, and what the screen shows of it.
constexpr std::uint32_t selection_pixel = 0x3060B0;

class EditFixture {
public:
    explicit EditFixture(platform::ScreenConfig screen = {{240, 320}, platform::DeviceKind::pocket_pc})
        : ui(screen)
        , properties(build_edit_skin(), screen.size)
        , form(properties)
    {
        platform::set_active_window(form.window());
        form.set_active(true);
        ui.run_until_idle();
    }

    bool native() const { return platform::device_kind() == platform::DeviceKind::smartphone; }

    // Plays the script as a user's input arrives. A Pocket PC form turns keys and
    // characters into its own messages inside its loop, so there the script runs in
    // the loop, which it leaves (not the form) when it is done. On a Smartphone the
    // edit window takes the input itself.
    void play(std::string_view script)
    {
        if (native()) {
            ui.play(script);
            return;
        }
        ui.play_during(
            script, [&] { form.do_modal(); },
            [&] { platform::post_message(form.window(), skinner::Form::end_modal_message); });
        platform::set_active_window(form.window());
        form.set_active(true);
        ui.run_until_idle();
    }

    // The platform edit window over a field (native mode).
    platform::WindowHandle edit_window(const skinner::ControlEdit& field) const
    {
        for (const platform::WindowHandle child : platform::child_windows(form.window()))
            if (platform::window_class(child) == platform::edit_class &&
                platform::window_rect(child) ==
                    platform::Rect{field.position().x, field.position().y, field.size().x, field.size().y})
                return child;
        return platform::no_window;
    }

    // How far a field's text is scrolled: pixels of the drawn field, characters of the
    // platform's edit window.
    int scrolled(const skinner::ControlEdit& field) const
    {
        if (!native())
            return -field.scroll();
        return static_cast<int>(platform::send_message(edit_window(field), platform::edit_messages::first_visible));
    }

    // A point of a control in screen coordinates: x from its left edge, halfway down.
    std::string at(const skinner::Control& control, int x) const
    {
        const platform::Rect window = platform::screen_rect(form.window());
        return std::to_string(window.x + control.position().x + x) + " " +
            std::to_string(window.y + control.position().y + control.size().y / 2);
    }
    platform::Rect screen_area(const skinner::Control& control) const
    {
        const platform::Rect window = platform::screen_rect(form.window());
        return {window.x + control.position().x, window.y + control.position().y, control.size().x, control.size().y};
    }

    ui_test::UiHarness ui;
    skinner::Properties properties;
    EditForm form;
};

} // namespace edit_test
