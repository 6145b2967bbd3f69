#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "platform/png_writer.h"
#include "platform/window.h"
#include "skinner/core/form.h"
#include "tests/skinner/core_fixture.h"

// A skin of the stock controls, built at test time, and a form that writes down what
// its controls report.
namespace controls_test {

using skinner::Point;

// The looks of a button under a name prefix ("" or "Checked"), with its focus frame.
inline std::string button_looks(const std::string& prefix = "", const std::string& normal_art = "button")
{
    return "<picture name=\"" + prefix + "Normal\" image=\"" + normal_art +
        "\" margins=\"3 3 3 3\" stretch=\"true\"/>"
        "<font name=\"" +
        prefix +
        "Normal\" value=\"11 1 0 0 Tahoma\"/>"
        "<color name=\"" +
        prefix +
        "Normal\" value=\"#102040\"/>"
        "<picture name=\"" +
        prefix +
        "Pressed\" image=\"button_pressed\" margins=\"3 3 3 3\" stretch=\"true\"/>"
        "<color name=\"" +
        prefix +
        "Pressed\" value=\"#ffffff\"/>"
        "<picture name=\"" +
        prefix +
        "Highlighted\" image=\"button_lit\" margins=\"3 3 3 3\" stretch=\"true\"/>"
        "<picture name=\"" +
        prefix +
        "Disabled\" image=\"button_off\" margins=\"3 3 3 3\" stretch=\"true\"/>"
        "<color name=\"" +
        prefix + "Disabled\" value=\"#909090\"/>";
}

inline std::string control(const std::string& name, const std::string& class_name, int x, int y, int width, int height,
    const std::string& properties)
{
    return "<control name=\"" + name + "\"" + (class_name.empty() ? "" : " class=\"" + class_name + "\"") +
        "><point name=\"Position\" value=\"" + std::to_string(x) + " " + std::to_string(y) +
        "\"/><point name=\"Size\" value=\"" + std::to_string(width) + " " + std::to_string(height) + "\"/>" +
        properties + "</control>\n";
}

inline std::string text(const std::string& value) { return "<string name=\"Text\" value=\"" + value + "\"/>"; }

inline std::string integer(const std::string& name, int value)
{
    return "<int name=\"" + name + "\" value=\"" + std::to_string(value) + "\"/>";
}

inline std::string word(const std::string& name, const std::string& value)
{
    return "<string name=\"" + name + "\" value=\"" + value + "\"/>";
}

inline std::string form_head(const std::string& name, int width, int height, int start_position = 3)
{
    return "<form name=\"" + name + "\"><point name=\"Size\" value=\"" + std::to_string(width) + " " +
        std::to_string(height) + "\"/>" + integer("StartPosition", start_position) +
        "<picture name=\"Background\" image=\"back\" stretch=\"true\"/>\n";
}

inline std::string controls_skin_source()
{
    const std::string focus = "<picture name=\"Focus\" image=\"focus\" margins=\"3 3 3 3\" stretch=\"true\"/>";
    const std::string button = button_looks() + focus;
    const std::string frame_font = "<font name=\"Normal\" value=\"10 0 0 0 Tahoma\"/><color name=\"Normal\" "
                                   "value=\"#202830\"/><picture name=\"Normal\" image=\"panel\" margins=\"3 3 3 3\" "
                                   "stretch=\"true\"/><point name=\"BorderMin\" value=\"4 3\"/>";
    const std::string under = "<picture name=\"Normal\" image=\"panel\" margins=\"3 3 3 3\" stretch=\"true\"/>";
    std::string skin = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<skin key=\"Melodrift_1.00\">\n"
                       "<resolution width=\"240\" height=\"320\"/>\n";

    skin += form_head("Buttons", 240, 268);
    skin += control("btnNormal", "Auto.Button", 10, 10, 105, 30, button + text("Normal"));
    skin += control("btnPressed", "Auto.Button", 125, 10, 105, 30, button + text("Pressed"));
    skin += control("btnDisabled", "Auto.Button", 10, 50, 105, 30, button + text("Disabled") + integer("Enabled", 0));
    skin += control("btnFocused", "Auto.Button", 125, 50, 105, 30, button + text("Focused"));
    skin += control("chkOff", "", 10, 90, 105, 30,
        button + button_looks("Checked", "button_checked") + text("Off") + word("CheckedText", "On"));
    skin += control("chkOn", "", 125, 90, 105, 30,
        button + button_looks("Checked", "button_checked") + text("Off") + word("CheckedText", "On") +
            integer("Checked", 1));
    skin += control("btnCutOut", "Auto.Button", 10, 130, 60, 60,
        "<picture name=\"Normal\" image=\"ring\" margins=\"8 8 8 8\" stretch=\"true\"/>" + text("Ring"));
    skin += control("btnLeft", "Auto.Button", 80, 130, 150, 30,
        button + text("Left, bottom") + word("HAlignment", "LEFT") + word("VAlignment", "BOTTOM") +
            "<point name=\"BorderMin\" value=\"8 4\"/>");
    skin += control("btnSysMenu", "Auto.Button", 80, 170, 150, 30, button + word("Action", "BUTTON_SYSMENU"));
    skin += "</form>\n";

    skin += form_head("Frames", 240, 268);
    skin += control("frmWrap", "Auto.Frame", 10, 10, 105, 86,
        frame_font + integer("Wrap", 1) + word("HAlignment", "LEFT") + word("VAlignment", "TOP") +
            text("The quick brown fox jumps over the lazy dog"));
    skin += control(
        "frmMarker", "Auto.Frame", 125, 10, 105, 86, frame_font + integer("Wrap", 1) + text("One\\nTwo\\nThree"));
    skin += control("frmEllipsis", "Auto.Frame", 10, 106, 220, 24,
        frame_font + integer("Ellipsis", 1) + word("HAlignment", "LEFT") +
            text("A line far too long for the frame it is shown in"));
    skin += control("frmMore", "Auto.Frame", 10, 140, 220, 38,
        frame_font + integer("Wrap", 1) + integer("Ellipsis", 1) + word("VAlignment", "TOP") +
            text("Three lines of text in a frame that has room for two, and so the second ends in an ellipsis"));
    skin += control("frmPlain", "Auto.Frame", 10, 188, 220, 24, frame_font + text("Not wrapped: a\\nb"));
    skin += "</form>\n";

    skin += form_head("Grow", 120, 40, 1);
    skin += control("frmGrow", "Auto.Frame", 4, 4, 112, 32,
        frame_font + integer("Wrap", 1) + integer("AutoSize", 1) + word("AnchorX", "BOTH_SIDE") +
            word("AnchorY", "BOTH_SIDE") + text("One\\nTwo\\nThree\\nFour"));
    skin += "</form>\n";

    skin += form_head("Pictures", 240, 268);
    const std::string photo = "<picture name=\"Picture\" image=\"photo\" stretch=\"true\"/>";
    const struct {
        const char* name;
        int x, y, width, height;
        const char* horizontal;
        const char* vertical;
    } pictures[] = {
        {"picShrink", 10, 10, 50, 50, "CENTER", "VCENTER"},
        {"picTopLeft", 70, 10, 160, 80, "LEFT", "TOP"},
        {"picBottomRight", 10, 100, 160, 80, "RIGHT", "BOTTOM"},
        {"picNarrow", 180, 100, 50, 80, "CENTER", "VCENTER"},
    };
    for (const auto& p : pictures) {
        skin += control(std::string("frmUnder") + p.name, "Auto.Frame", p.x, p.y, p.width, p.height, under);
        skin += control(p.name, "Auto.Picture", p.x, p.y, p.width, p.height,
            photo + word("PictureHAlignment", p.horizontal) + word("PictureVAlignment", p.vertical) +
                integer("ZOrder", 1));
    }
    skin += "</form>\n";

    skin += form_head("Bars", 240, 268);
    const std::string bar =
        "<picture name=\"Background\" image=\"bar_back\" margins=\"3 3 3 3\" stretch=\"true\"/>"
        "<picture name=\"Progress\" image=\"bar_fill\" margins=\"3 3 3 3\" stretch=\"true\"/>"
        "<picture name=\"TrackDisabled\" image=\"thumb_off\" margins=\"2 2 2 2\" stretch=\"true\"/>";
    const std::string thumb = "<picture name=\"Track\" image=\"thumb\" margins=\"2 2 2 2\" stretch=\"true\"/>";
    const std::string track = thumb + integer("TrackSize", 10);
    skin += control("pbRight", "", 10, 10, 110, 20, bar + track + integer("Orientation", 3));
    skin += control("pbLeft", "", 10, 40, 110, 20, bar + track + integer("Orientation", 1));
    skin += control("pbDown", "", 140, 10, 20, 110, bar + track + integer("Orientation", 0));
    skin += control("pbUp", "", 180, 10, 20, 110, bar + track + integer("Orientation", 2));
    skin += control("pbDisabled", "", 10, 140, 220, 20, bar + track + integer("Enabled", 0));
    skin += control("pbNoThumb", "", 10, 170, 220, 20, bar + integer("TrackSize", 10));
    skin += control("pbFull", "", 10, 200, 20, 20, bar + thumb + integer("TrackSize", 20));
    skin += "</form>\n";

    // Buttons whose actions make them title-bar buttons, soft keys or the caption.
    skin += form_head("Menus", 240, 266);
    skin += control("btnOk", "Auto.Button", 10, 10, 105, 30, button + text("Done") + word("Action", "BUTTON_OK"));
    skin +=
        control("btnClose", "Auto.Button", 10, 50, 105, 30, button + text("Close") + word("Action", "BUTTON_CLOSE"));
    skin += control("btnCaption", "Auto.Button", 10, 90, 105, 30, text("Menus and keys") + word("Action", "CAPTION"));
    skin += control("btnPlain", "Auto.Button", 125, 10, 105, 30, button + text("Plain"));
    skin += control("chkLoud", "", 125, 50, 105, 30, button + button_looks("Checked", "button_checked") + text("Loud"));
    skin += "</form>\n";
    skin += form_head("CancelOnly", 240, 266);
    skin +=
        control("btnCancel", "Auto.Button", 10, 10, 105, 30, button + text("Cancel") + word("Action", "BUTTON_CANCEL"));
    skin += "</form>\n";
    skin += form_head("Empty", 240, 266);
    skin += "</form>\n";
    return skin + "</skin>\n";
}

// A picture of blocks in four colours, so that its scaling and placing show.
inline std::unique_ptr<platform::Surface> photo_art()
{
    auto art = platform::Surface::create(100, 50);
    for (int y = 0; y < 50; ++y)
        for (int x = 0; x < 100; ++x) {
            const bool edge = x < 2 || y < 2 || x >= 98 || y >= 48;
            const std::uint32_t block = (x < 50) == (y < 25) ? 0xE06040 : 0x40A0E0;
            art->set_pixel(x, y, edge ? 0x202020 : block);
        }
    return art;
}

inline std::u16string build_controls_skin()
{
    const auto folder = skin_test::scratch_folder("controls");
    using core_test::filled;
    const auto png = [&](const platform::Surface& art, const char* name) {
        platform::write_png(art, skin_test::wide(folder / name));
    };
    auto back = platform::Surface::create(8, 8);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            back->set_pixel(x, y, 0xF0F2F4);
    png(*back, "back.png");
    png(*filled(12, 12, 0xFFFFFF, 0x8090A0), "panel.png");
    png(*filled(12, 12, 0xD8E4F8, 0x3050A0), "button.png");
    png(*filled(12, 12, 0x3050A0, 0x102040), "button_pressed.png");
    png(*filled(12, 12, 0xFFF0B0, 0x3050A0), "button_lit.png");
    png(*filled(12, 12, 0xE8E8E8, 0xB0B0B0), "button_off.png");
    png(*filled(12, 12, 0xB8E8B8, 0x307030), "button_checked.png");
    png(*filled(12, 12, 0xFFFFFF, 0x202020), "focus.png");
    png(*filled(12, 12, 0x000000, 0xFFFFFF), "focus_1.png");
    // A ring: solid for 8 pixels at the rim, cut out inside.
    auto ring = platform::Surface::create(24, 24);
    auto ring_mask = platform::Surface::create(24, 24);
    for (int y = 0; y < 24; ++y)
        for (int x = 0; x < 24; ++x) {
            const bool rim = x < 8 || y < 8 || x >= 16 || y >= 16;
            ring->set_pixel(x, y, rim ? 0x806020 : 0xFFFFFF);
            ring_mask->set_pixel(x, y, rim ? 0xFFFFFF : 0x000000);
        }
    png(*ring, "ring.png");
    png(*ring_mask, "ring_1.png");
    png(*photo_art(), "photo.png");
    png(*filled(12, 12, 0xF8F8F8, 0x8090A0), "bar_back.png");
    png(*filled(12, 12, 0x70C070, 0x306030), "bar_fill.png");
    png(*filled(8, 8, 0x3050A0, 0x102040), "thumb.png");
    png(*filled(8, 8, 0xC0C0C0, 0x909090), "thumb_off.png");
    std::string error;
    const auto skin = skin_test::compile_skin(folder, "controls", controls_skin_source(), &error);
    EXPECT_FALSE(skin.empty()) << error;
    return skin_test::wide(skin);
}

// A form of the controls skin that writes down what its controls report.
class ControlsForm : public skinner::Form {
public:
    ControlsForm(skinner::Properties& properties, std::u16string_view name, Form* owner = nullptr)
        : Form(owner, properties, name)
    {
    }

    int on_click(skinner::Control* sender, int) override
    {
        clicks.push_back(sender ? sender->id() : u"");
        return 1;
    }
    int on_command(skinner::Control*, std::u16string_view command) override
    {
        commands.emplace_back(command);
        return 1;
    }
    int on_value_changed(skinner::Control*, double value) override
    {
        values.push_back(value);
        return 1;
    }
    int on_value_set(skinner::Control*) override
    {
        ++values_set;
        return 1;
    }

    template <class ControlClass> ControlClass& get(std::u16string_view id)
    {
        auto* found = dynamic_cast<ControlClass*>(find_control(id));
        EXPECT_NE(found, nullptr) << liba::to_narrow(std::u16string(id));
        return *found;
    }

    std::vector<std::u16string> clicks;
    std::vector<std::u16string> commands;
    std::vector<double> values;
    int values_set = 0;
};

class ControlsFixture {
public:
    explicit ControlsFixture(platform::ScreenConfig screen = {{240, 320}, platform::DeviceKind::pocket_pc})
        : ui(screen)
        , properties(build_controls_skin(), screen.size)
    {
    }

    ui_test::UiHarness ui;
    skinner::Properties properties;
};

// The form's window sits under the 26-pixel title bar of a 240 x 320 Pocket PC.
constexpr int form_top = 26;

} // namespace controls_test
