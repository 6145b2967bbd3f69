// The progress and position bar: its four orientations against references, the value
// under the stylus, and setting values out of range.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "platform/input.h"
#include "skinner/controls/control_progress.h"
#include "tests/skinner/controls_fixture.h"
#include "tests/support/reference_image.h"

namespace controls_test {
namespace {

using skinner::ControlProgress;

// The Bars form with its bars, which the program makes by id.
class BarsForm : public ControlsForm {
public:
    explicit BarsForm(skinner::Properties& properties)
        : ControlsForm(properties, u"Bars")
    {
    }

    void set_all(double value)
    {
        for (ControlProgress* bar : all)
            bar->set_value(value);
    }

    ControlProgress right{*this, u"pbRight"};
    ControlProgress left{*this, u"pbLeft"};
    ControlProgress down{*this, u"pbDown"};
    ControlProgress up{*this, u"pbUp"};
    ControlProgress disabled{*this, u"pbDisabled"};
    ControlProgress no_thumb{*this, u"pbNoThumb"};
    ControlProgress full{*this, u"pbFull"};
    ControlProgress* all[7] = {&right, &left, &down, &up, &disabled, &no_thumb, &full};
};

struct BarValue {
    const char* name;
    double value;
};

class BarValues : public testing::TestWithParam<BarValue> { };

// Every orientation fills from its value-0 edge up to and under the thumb; the
// disabled bar has its own thumb, the one without "Track" none.
TEST_P(BarValues, LookAsTheirReferences)
{
    ControlsFixture fixture;
    BarsForm form(fixture.properties);
    form.set_all(GetParam().value);
    fixture.ui.run_until_idle();
    EXPECT_TRUE(ui_test::matches_reference(
        fixture.ui.screen(), {0, form_top, 240, 200}, std::string("skinner/controls_bars_") + GetParam().name));
}

INSTANTIATE_TEST_SUITE_P(Controls, BarValues,
    testing::Values(BarValue{"empty", 0.0}, BarValue{"half", 0.5}, BarValue{"full", 1.0}),
    [](const testing::TestParamInfo<BarValue>& info) { return std::string(info.param.name); });

struct PressCase {
    ControlProgress BarsForm::*bar;
    Point offset; // from the bar's position
    double value;
};

TEST(ControlsProgress, TheValueUnderTheStylusIsTheThumbCentreOnTheFreeRun)
{
    ControlsFixture fixture;
    BarsForm form(fixture.properties);
    const PressCase cases[] = {
        {&BarsForm::right, {5, 10}, 0.0},
        {&BarsForm::right, {55, 10}, 0.5},
        {&BarsForm::right, {105, 10}, 1.0},
        {&BarsForm::right, {300, 10}, 1.0},
        {&BarsForm::right, {-50, 10}, 0.0},
        {&BarsForm::left, {5, 10}, 1.0},
        {&BarsForm::left, {55, 10}, 0.5},
        {&BarsForm::down, {10, 5}, 0.0},
        {&BarsForm::down, {10, 105}, 1.0},
        {&BarsForm::up, {10, 105}, 0.0},
        {&BarsForm::up, {10, 5}, 1.0},
        {&BarsForm::up, {10, 55}, 0.5},
        // A thumb as long as the bar leaves no run: always 0.
        {&BarsForm::full, {19, 10}, 0.0},
    };
    for (const PressCase& c : cases) {
        const ControlProgress& bar = form.*c.bar;
        EXPECT_DOUBLE_EQ(bar.value_at(bar.position() + c.offset), c.value)
            << liba::to_narrow(bar.id()) << " at " << c.offset.x << "," << c.offset.y;
    }
    form.right.set_value(0.5);
    Point origin;
    Point size;
    form.right.thumb_rectangle(0.5, origin, size);
    EXPECT_EQ(origin, (form.right.position() + Point{50, 0}));
    EXPECT_EQ(size, (Point{10, 20}));
}

TEST(ControlsProgress, ValuesAreClampedAndReportedOncePerChange)
{
    ControlsFixture fixture;
    BarsForm form(fixture.properties);
    form.right.set_value(1.5);
    EXPECT_EQ(form.right.value(), 1.0);
    form.right.set_value(1.5);
    EXPECT_EQ(form.values_set, 1);
    const struct {
        double minimum, maximum, value, expected;
    } ranges[] = {
        {0, 0, 5, 0.0},
        {0, 200, 50, 0.25},
        {10, 110, 300, 1.0},
        {10, 110, -5, 0.0},
        {200, 100, 150, 0.0}, // a range that runs backwards
        {0, std::numeric_limits<double>::infinity(), 5, 0.0},
        {0, 100, std::nan(""), 0.0},
    };
    for (const auto& r : ranges) {
        form.right.set_value(0.75);
        form.right.set_value_in_range(r.minimum, r.maximum, r.value);
        EXPECT_EQ(form.right.value(), r.expected) << r.minimum << " " << r.maximum << " " << r.value;
    }
}

// A drag reports the values under the stylus as they rise; the bar itself stays
// where its owner put it.
TEST(ControlsProgress, ADragReportsRisingValuesWithoutMovingTheBar)
{
    ControlsFixture fixture;
    BarsForm form(fixture.properties);
    form.right.set_value(0.25);
    const Point at = form.right.position() + Point{0, form_top + 10};
    fixture.ui.press(at.x + 5, at.y);
    EXPECT_TRUE(form.right.dragging());
    fixture.ui.move(at.x + 30, at.y);
    fixture.ui.move(at.x + 55, at.y);
    fixture.ui.move(at.x + 80, at.y + 30); // off the bar, still held
    fixture.ui.release(at.x + 80, at.y + 30);
    EXPECT_FALSE(form.right.dragging());
    ASSERT_EQ(form.values.size(), 4u);
    EXPECT_DOUBLE_EQ(form.values[0], 0.0);
    EXPECT_DOUBLE_EQ(form.values[2], 0.5);
    for (size_t i = 1; i < form.values.size(); ++i)
        EXPECT_GT(form.values[i], form.values[i - 1]);
    EXPECT_EQ(form.right.value(), 0.25);
    // Moving without a press reports nothing.
    fixture.ui.move(at.x + 40, at.y);
    EXPECT_EQ(form.values.size(), 4u);
    // A double tap's press carries the flag, which the bar ignores.
    form.right.on_left_down(at, 1);
    EXPECT_FALSE(form.right.dragging());
}

// The bar redraws only what a change of value touches: the screen after many small
// steps is the screen of a whole repaint.
TEST(ControlsProgress, RepaintingTheChangedPartDrawsWhatAWholeRepaintDraws)
{
    ControlsFixture fixture;
    BarsForm form(fixture.properties);
    fixture.ui.run_until_idle();
    // One bar at a time: the form paints the bounding box of what is marked.
    for (ControlProgress* bar : form.all)
        for (const double value : {0.3, 0.31, 0.5, 0.45, 0.9, 0.37}) {
            bar->set_value(value);
            fixture.ui.run_until_idle();
        }
    const auto pixels = [&] {
        const platform::Surface& screen = fixture.ui.screen();
        return std::vector<std::uint32_t>(screen.pixels(), screen.pixels() + screen.width() * screen.height());
    };
    const auto stepped = pixels();
    form.invalidate({0, 0}, form.actual_size());
    fixture.ui.run_until_idle();
    EXPECT_TRUE(pixels() == stepped);
}

} // namespace
} // namespace controls_test
