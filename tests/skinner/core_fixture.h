#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "liba/text.h"
#include "platform/png_writer.h"
#include "skinner/core/container.h"
#include "skinner/core/control.h"
#include "skinner/core/form.h"
#include "skinner/draw/canvas.h"
#include "skinner/skin/properties.h"
#include "tests/skinner/skin_test_support.h"
#include "tests/support/ui_harness.h"

// A test skin built by skinc, a control that draws its skin colour and writes down
// what it receives, and a form made of them, on a fresh headless screen.
namespace core_test {

using skinner::Point;

// The test skin: a form drawn for 240 x 320 in both orientations (and so run at
// scale 2 on 480 x 640), with boxes that code makes, a panel from a template that
// holds a nested panel, and forms for the layout and bad-input cases.
inline const char* const test_skin_source = R"(<?xml version="1.0" encoding="UTF-8"?>
<skin key="Melodrift_1.00">
  <resolution width="240" height="320"/>
  <resolution width="320" height="240"/>
  <form name="Test">
    <int name="StartPosition" value="3"/>
    <picture name="Background" image="back" stretch="true"/>
    <control name="boxTop">
      <point name="Position" value="8 8"/><point name="Size" value="224 24"/>
      <string name="AnchorX" value="BOTH_SIDE"/><color name="Color" value="#c04848"/>
      <picture name="Focus" image="focus" margins="3 3 3 3" stretch="true"/>
      <int name="TabOrder" value="1"/>
    </control>
    <control name="boxLeft">
      <point name="Position" value="8 40"/><point name="Size" value="100 100"/>
      <string name="AnchorX" value="RATIO"/><string name="AnchorY" value="RATIO"/>
      <color name="Color" value="#48a048"/>
      <picture name="Focus" image="focus" margins="3 3 3 3" stretch="true"/>
      <int name="TabOrder" value="2"/>
    </control>
    <control name="boxRight">
      <point name="Position" value="132 40"/><point name="Size" value="100 100"/>
      <string name="AnchorX" value="MAX_SIDE"/><color name="Color" value="#4868c0"/>
      <picture name="Focus" image="focus" margins="3 3 3 3" stretch="true"/>
      <int name="TabOrder" value="3"/>
    </control>
    <control name="boxBottom">
      <point name="Position" value="8 236"/><point name="Size" value="224 24"/>
      <string name="AnchorX" value="BOTH_SIDE"/><string name="AnchorY" value="MAX_SIDE"/>
      <color name="Color" value="#c0a030"/>
      <int name="TabOrder" value="4"/>
    </control>
    <control name="panelMiddle" class="Auto.Panel">
      <point name="Position" value="8 148"/><point name="Size" value="224 80"/>
      <string name="AnchorX" value="BOTH_SIDE"/><string name="AnchorY" value="BOTH_SIDE"/>
      <string name="FormTemplate" value="Inner"/>
      <int name="WantFocus" value="0"/>
    </control>
  </form>
  <form name="Test240" extends="Test">
    <point name="Size" value="240 266"/>
  </form>
  <form name="Test320" extends="Test">
    <point name="Size" value="320 186"/>
    <control name="boxTop"><point name="Size" value="304 24"/></control>
    <control name="boxLeft"><point name="Size" value="140 60"/></control>
    <control name="boxRight"><point name="Position" value="172 40"/><point name="Size" value="140 60"/></control>
    <control name="boxBottom"><point name="Position" value="8 156"/><point name="Size" value="304 24"/></control>
    <control name="panelMiddle"><point name="Position" value="8 108"/><point name="Size" value="304 40"/></control>
  </form>
  <form name="Inner">
    <point name="Size" value="224 80"/>
    <picture name="Background" image="panel" margins="4 4 4 4" stretch="true"/>
    <control name="panelNested" class="Auto.Panel">
      <point name="Position" value="12 12"/><point name="Size" value="60 56"/>
      <string name="AnchorY" value="BOTH_SIDE"/>
      <string name="FormTemplate" value="Nested"/>
    </control>
  </form>
  <form name="InnerWide" extends="Inner">
    <point name="Size" value="304 40"/>
    <control name="panelNested"><point name="Position" value="8 4"/><point name="Size" value="60 32"/></control>
  </form>
  <form name="Nested">
    <point name="Size" value="60 32"/>
    <picture name="Background" image="focus" margins="3 3 3 3" stretch="true"/>
  </form>
  <form name="Dialog">
    <point name="Size" value="200 100"/>
    <int name="StartPosition" value="1"/>
    <picture name="Background" image="panel" margins="4 4 4 4" stretch="true"/>
  </form>
  <form name="Anchors">
    <point name="Size" value="240 268"/>
    <int name="StartPositionX" value="6"/>
    <control name="boxMin"><point name="Position" value="10 250"/><point name="Size" value="100 18"/></control>
    <control name="boxMax">
      <point name="Position" value="10 250"/><point name="Size" value="100 18"/>
      <string name="AnchorY" value="MAX_SIDE"/>
    </control>
    <control name="boxBoth">
      <point name="Position" value="10 250"/><point name="Size" value="100 18"/>
      <string name="AnchorX" value="BOTH_SIDE"/><string name="AnchorY" value="BOTH_SIDE"/>
    </control>
    <control name="boxRatio">
      <point name="Position" value="10 250"/><point name="Size" value="100 18"/>
      <string name="AnchorX" value="RATIO"/><string name="AnchorY" value="RATIO"/>
    </control>
    <control name="boxCenter">
      <point name="Position" value="70 250"/><point name="Size" value="100 18"/>
      <string name="AnchorX" value="CENTER"/><string name="AnchorY" value="CENTER"/>
    </control>
    <control name="boxOutside">
      <point name="Position" value="-500 9000"/><point name="Size" value="-20 30000"/>
      <string name="AnchorX" value="CENTER"/><string name="AnchorY" value="RATIO"/>
    </control>
  </form>
  <form name="Layers">
    <point name="Size" value="100 100"/>
    <control name="layerA"/>
    <control name="layerB"><int name="ZOrder" value="1"/></control>
    <control name="layerC"/>
    <control name="layerHidden"><int name="Visible" value="0"/><color name="Color" value="#102030"/></control>
  </form>
  <form name="Zero">
    <control name="boxCenter">
      <point name="Position" value="10 10"/><point name="Size" value="20 20"/>
      <string name="AnchorX" value="CENTER"/><string name="AnchorY" value="RATIO"/>
    </control>
  </form>
  <form name="Loop">
    <point name="Size" value="100 100"/>
    <control name="panelSelf" class="Auto.Panel">
      <point name="Size" value="50 50"/><string name="FormTemplate" value="LoopInner"/>
    </control>
  </form>
  <form name="LoopInner">
    <point name="Size" value="50 50"/>
    <control name="panelBack" class="Auto.Panel">
      <point name="Size" value="40 40"/><string name="FormTemplate" value="Loop"/>
    </control>
  </form>
  <form name="Orphan">
    <point name="Size" value="100 100"/>
    <control name="panelLost" class="Auto.Panel">
      <point name="Size" value="50 50"/><string name="FormTemplate" value="NoSuchForm"/>
    </control>
  </form>
</skin>
)";

inline std::unique_ptr<platform::Surface> filled(int width, int height, std::uint32_t inside, std::uint32_t rim)
{
    auto art = platform::Surface::create(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const bool edge = x < 3 || y < 3 || x >= width - 3 || y >= height - 3;
            art->set_pixel(x, y, edge ? rim : inside);
        }
    return art;
}

// Compiles the test skin with its art into a scratch folder; the skin's path.
inline std::u16string build_test_skin()
{
    const auto folder = skin_test::scratch_folder("core");
    auto back = platform::Surface::create(32, 32);
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x)
            back->set_pixel(x, y, 0xE8ECF0 - static_cast<std::uint32_t>(y / 4) * 0x020202);
    platform::write_png(*back, skin_test::wide(folder / "back.png"));
    platform::write_png(*filled(16, 16, 0xFFFFFF, 0x506070), skin_test::wide(folder / "panel.png"));
    // The focus frame is cut out: its mask is white on the rim and black inside, where
    // the art is white.
    platform::write_png(*filled(12, 12, 0xFFFFFF, 0x202020), skin_test::wide(folder / "focus.png"));
    platform::write_png(*filled(12, 12, 0x000000, 0xFFFFFF), skin_test::wide(folder / "focus_1.png"));
    std::string error;
    const auto skin = skin_test::compile_skin(folder, "test", test_skin_source, &error);
    EXPECT_FALSE(skin.empty()) << error;
    return skin_test::wide(skin);
}

// Draws its skin colour ("Color") and writes down what it receives.
class Box : public skinner::Control {
public:
    Box(skinner::Container& container, std::u16string_view name, skinner::NodeMode mode = skinner::NodeMode::by_id)
        : Control(container, name, mode)
        , fill_(colour(u"Color", {128, 128, 128, 0}))
    {
    }

    void draw(skinner::CanvasImpl& canvas, Point update_origin, Point update_size) override
    {
        canvas.fill_rectangle(position(), size(), fill_);
        Control::draw(canvas, update_origin, update_size);
    }
    void on_left_down(Point point, int) override { events.push_back("down " + text(point)); }
    void on_left_up(Point point, int) override
    {
        events.push_back("up " + text(point));
        if (on_release)
            on_release();
    }
    void on_right_down(Point point, int) override { events.push_back("right-down " + text(point)); }
    void on_pointer_moved(Point point) override { events.push_back("move " + text(point)); }
    bool on_key_down(int key, int) override
    {
        keys.push_back(key);
        return false;
    }
    bool on_text(std::u16string_view typed) override
    {
        this->typed += typed;
        return take_text;
    }
    void on_timer(int id, int) override { timers.push_back(id); }
    void reload_properties() override
    {
        Control::reload_properties();
        fill_ = colour(u"Color", fill_);
    }

    std::function<void()> on_release;
    std::vector<std::string> events;
    std::vector<int> keys;
    std::vector<int> timers;
    std::u16string typed;
    bool take_text = false;

private:
    static std::string text(Point point) { return std::to_string(point.x) + "," + std::to_string(point.y); }

    skinner::Colour fill_;
};

// The "Test" form with its four boxes, as the program's own forms make their controls.
class TestForm : public skinner::Form {
public:
    TestForm(skinner::Properties& properties, Form* owner = nullptr, std::u16string_view name = u"Test")
        : Form(owner, properties, name)
    {
    }

    int on_command(skinner::Control*, std::u16string_view command) override
    {
        commands.emplace_back(command);
        if (command == u"#ScreenResolution#" && on_screen_change)
            on_screen_change();
        return 1;
    }

    std::vector<std::u16string> commands;
    std::function<void()> on_screen_change;
};

class TestFormWithBoxes : public TestForm {
public:
    explicit TestFormWithBoxes(skinner::Properties& properties)
        : TestForm(properties)
    {
    }

    Box top{*this, u"boxTop"};
    Box left{*this, u"boxLeft"};
    Box right{*this, u"boxRight"};
    Box bottom{*this, u"boxBottom"};
};

// A fresh screen of the given kind with the test skin loaded for it.
class CoreFixture {
public:
    explicit CoreFixture(platform::ScreenConfig screen = {{240, 320}, platform::DeviceKind::pocket_pc})
        : ui(screen)
        , properties(build_test_skin(), screen.size)
    {
    }

    ui_test::UiHarness ui;
    skinner::Properties properties;
};

} // namespace core_test
