// Containers: where the anchor rules put controls, z-order, what a panel needs, and
// skins whose numbers make no sense.
#include <gtest/gtest.h>

#include "liba/log.h"
#include "platform/screen.h"
#include "platform/window.h"
#include "skinner/core/control_panel.h"
#include "tests/skinner/core_fixture.h"

namespace core_test {
namespace {

struct AnchorCase {
    const char* name;
    Point actual; // the container's size; the design size is 240 x 268
    const char16_t* control;
    Point position;
    Point size;
};

class AnchorRules : public testing::TestWithParam<AnchorCase> { };

TEST_P(AnchorRules, PlaceFromTheSkinValuesOnEveryResize)
{
    CoreFixture fixture;
    TestForm form(fixture.properties, nullptr, u"Anchors");
    Box box(form, GetParam().control);
    // Through another size first: positions come from the skin, never from the last
    // layout.
    form.set_rectangle({0, 0}, {333, 444});
    form.set_rectangle({0, 0}, GetParam().actual);
    EXPECT_EQ(box.position(), GetParam().position);
    EXPECT_EQ(box.size(), GetParam().size);
}

INSTANTIATE_TEST_SUITE_P(Core, AnchorRules,
    testing::Values(AnchorCase{"MinSideStays", {240, 200}, u"boxMin", {10, 250}, {100, 18}},
        AnchorCase{"MaxSideFollowsTheFarEdge", {240, 200}, u"boxMax", {10, 182}, {100, 18}},
        AnchorCase{"BothSidesStretchUnclamped", {240, 200}, u"boxBoth", {10, 250}, {100, -50}},
        AnchorCase{"BothSidesGrow", {480, 400}, u"boxBoth", {10, 250}, {340, 150}},
        AnchorCase{"RatioScales", {480, 268}, u"boxRatio", {20, 250}, {200, 18}},
        AnchorCase{"CenterKeepsTheMiddle", {320, 268}, u"boxCenter", {110, 250}, {100, 18}},
        AnchorCase{"RotatedToLandscape", {320, 188}, u"boxMax", {10, 170}, {100, 18}}),
    [](const testing::TestParamInfo<AnchorCase>& info) { return std::string(info.param.name); });

TEST(Core, ControlsWithEqualZOrderTakeTheNewestFirst)
{
    CoreFixture fixture;
    TestForm form(fixture.properties, nullptr, u"Layers");
    Box a(form, u"layerA"), b(form, u"layerB"), c(form, u"layerC");
    ASSERT_EQ(form.controls().size(), 3u);
    EXPECT_EQ(form.controls()[0], &c);
    EXPECT_EQ(form.controls()[1], &a);
    EXPECT_EQ(form.controls()[2], &b);
    a.set_z_order(2);
    EXPECT_EQ(form.controls().back(), &a);
}

TEST(Core, RotationRelaysTheFormOutAfterTellingIt)
{
    CoreFixture fixture;
    TestFormWithBoxes form(fixture.properties);
    const std::u16string skin = fixture.properties.skin_path();
    bool reloaded = false;
    form.on_screen_change = [&] {
        fixture.properties.load_skin(skin, platform::screen_size());
        reloaded = true;
    };
    EXPECT_EQ(form.top.size(), (Point{224, 24}));
    fixture.ui.key("F11");
    EXPECT_TRUE(reloaded);
    ASSERT_EQ(form.commands.size(), 1u);
    EXPECT_EQ(form.commands[0], u"#ScreenResolution#");
    // The landscape variant, filling the new work area.
    EXPECT_EQ(platform::window_rect(form.window()), (platform::Rect{0, 26, 320, 188}));
    EXPECT_EQ(form.top.size(), (Point{304, 24}));
    EXPECT_EQ(form.bottom.position(), (Point{8, 158}));
}

TEST(Core, ReloadKeepsWhatCodeSetWhereTheSkinIsSilent)
{
    CoreFixture fixture;
    TestFormWithBoxes form(fixture.properties);
    form.bottom.set_visible(false);
    form.right.set_enabled(false);
    form.left.set_z_order(5);
    fixture.properties.refresh_skin();
    EXPECT_FALSE(form.bottom.visible());
    EXPECT_FALSE(form.right.enabled());
    EXPECT_EQ(form.left.z_order(), 5);
    EXPECT_EQ(form.controls().back(), &form.left);
    // What the skin does say comes back.
    EXPECT_EQ(form.top.size(), (Point{224, 24}));
}

TEST(Core, PanelsNeedWhatTheirTemplatesNeed)
{
    CoreFixture fixture;
    TestFormWithBoxes form(fixture.properties);
    auto* panel = dynamic_cast<skinner::ControlPanel*>(form.find_control(u"panelMiddle"));
    ASSERT_NE(panel, nullptr);
    EXPECT_EQ(panel->inner().form_name(), u"Inner");
    ASSERT_EQ(panel->inner().controls().size(), 1u);
    // The nested panel sits at its place inside the outer panel.
    const skinner::Control* nested = panel->inner().controls()[0];
    EXPECT_EQ(nested->position(), (panel->position() + Point{12, 12}));
    EXPECT_EQ(form.needed_size(), form.design_size());
}

TEST(Core, NonsenseInTheSkinGivesALayoutAndNoCrash)
{
    CoreFixture fixture;
    {
        // Huge, negative and outside: placed without overflow.
        TestForm form(fixture.properties, nullptr, u"Anchors");
        Box outside(form, u"boxOutside");
        form.set_rectangle({0, 0}, {480, 200});
        form.invalidate(outside.position(), outside.size());
        fixture.ui.run_until_idle();
    }
    {
        // No size: CENTER and RATIO have nothing to scale by and keep the skin's place;
        // the window keeps the work area.
        TestForm form(fixture.properties, nullptr, u"Zero");
        Box centred(form, u"boxCenter");
        form.set_rectangle({0, 0}, {240, 268});
        EXPECT_EQ(centred.position(), (Point{10, 10}));
        fixture.ui.run_until_idle();
    }
}

TEST(CoreDeathTest, BrokenSkinsEndWithTheirReports)
{
    const struct {
        const char16_t* form;
        const char* report;
    } cases[] = {
        {u"Loop", "form \\{Loop\\} holds a panel of itself"},
        {u"Orphan", "has no form \\{NoSuchForm\\}"},
    };
    for (const auto& c : cases) {
        EXPECT_EXIT(
            {
                CoreFixture fixture;
                TestForm form(fixture.properties, nullptr, c.form);
            },
            testing::ExitedWithCode(liba::fatal_exit_code), c.report);
    }
    EXPECT_EXIT(
        {
            CoreFixture fixture;
            TestForm form(fixture.properties, nullptr, u"Layers");
            Box first(form, u"layerA");
            Box second(form, u"layerA");
        },
        testing::ExitedWithCode(liba::fatal_exit_code),
        "Gluck: control with id \\{layerA\\} already exists in container @ Container::register_control");
}

} // namespace
} // namespace core_test
