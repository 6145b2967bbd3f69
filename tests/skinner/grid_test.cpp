// The grid over its scroll bars: the single-row selection by stylus and keys,
// scrolling rows into view, the bars appearing as the content outgrows the area,
// the scroll bar's position rules and auto-repeat, and the looks at both scales.
#include <gtest/gtest.h>

#include <memory>

#include "liba/active.h"
#include "platform/scheduler_window.h"
#include "skinner/controls/control_grid.h"
#include "skinner/core/key_codes.h"
#include "tests/skinner/core_fixture.h"
#include "tests/support/reference_image.h"

namespace core_test {
namespace {

using skinner::ControlGrid;
using skinner::ControlScrollBar;
using skinner::GridSelectionStrategySingleRow;

// A 200 x 200 form at 240 x 320 (so at 480 x 640 it runs at scale 2) holding a
// 160 x 120 grid of 20-pixel rows, with 12-pixel bars built from skin kinds; a
// second grid whose rows have no height.
const char* const grid_skin = R"(<?xml version="1.0" encoding="UTF-8"?>
<skin key="Melodrift_1.00">
  <resolution width="240" height="320"/>
  <kind name="Arrow">
    <picture name="Normal" image="arrow" stretch="true"/>
    <picture name="Pressed" image="pressed" stretch="true"/>
  </kind>
  <kind name="Space"><picture name="Normal" image="space" stretch="true"/></kind>
  <kind name="Thumb">
    <point name="Size" value="12 12"/>
    <picture name="Normal" image="thumb" margins="3 3 3 3" stretch="true"/>
  </kind>
  <kind name="ScrollV">
    <int name="Vertical" value="1"/>
    <int name="MinButtonSize" value="12"/><int name="MaxButtonSize" value="12"/>
    <string name="KindMin" value="Arrow"/><string name="KindMax" value="Arrow"/>
    <string name="KindSpace" value="Space"/><string name="KindTrack" value="Thumb"/>
  </kind>
  <kind name="ScrollH">
    <string name="KindMin" value="Arrow"/><string name="KindMax" value="Arrow"/>
    <string name="KindSpace" value="Space"/><string name="KindTrack" value="Thumb"/>
    <int name="MinButtonSize" value="12"/><int name="MaxButtonSize" value="12"/>
  </kind>
  <form name="Grid">
    <point name="Size" value="200 200"/>
    <int name="StartPosition" value="1"/>
    <picture name="Background" image="back" stretch="true"/>
    <control name="grdList">
      <point name="Position" value="20 20"/><point name="Size" value="160 110"/>
      <picture name="Normal" image="frame" margins="3 3 3 3" stretch="true"/>
      <int name="ItemHeight" value="20"/>
      <point name="BorderMin" value="3 3"/>
      <string name="KindScroll" value="ScrollV"/><string name="KindHScroll" value="ScrollH"/>
      <int name="ScrollWidth" value="12"/>
      <font name="ItemNormal" value="12 0 0 0 Tahoma"/><color name="ItemNormal" value="#202830"/>
      <picture name="ItemSelection" image="selection" stretch="true"/>
      <color name="ItemSelection" value="#ffffff"/>
      <picture name="ItemHighlight" image="space" stretch="true"/>
    </control>
    <control name="grdFlat">
      <point name="Position" value="20 150"/><point name="Size" value="160 40"/>
      <int name="ItemHeight" value="0"/>
      <string name="KindScroll" value="ScrollV"/><string name="KindHScroll" value="ScrollH"/>
    </control>
  </form>
</skin>
)";

std::u16string build_grid_skin()
{
    const auto folder = skin_test::scratch_folder("grid");
    const struct {
        const char* name;
        std::uint32_t inside;
        std::uint32_t rim;
    } art[] = {
        {"back", 0xE8ECF0, 0xE8ECF0},
        {"frame", 0xFFFFFF, 0x607080},
        {"arrow", 0xB8C4D0, 0x506070},
        {"pressed", 0x506070, 0x303840},
        {"space", 0xDDE3EA, 0xDDE3EA},
        {"thumb", 0x8098B0, 0x405060},
        {"selection", 0x3070C0, 0x3070C0},
    };
    for (const auto& picture : art)
        platform::write_png(*filled(12, 12, picture.inside, picture.rim),
            skin_test::wide(folder / (std::string(picture.name) + ".png")));
    std::string error;
    const auto skin = skin_test::compile_skin(folder, "grid", grid_skin, &error);
    EXPECT_FALSE(skin.empty()) << error;
    return skin_test::wide(skin);
}

// Rows named by their number in one weighted column between two fixed ones; writes
// down the notifications it raises.
class NumberGrid : public ControlGrid, public GridSelectionStrategySingleRow {
public:
    NumberGrid(skinner::Container& container, std::u16string_view name, int rows)
        : ControlGrid(container, name)
        , rows_(rows)
    {
        refresh();
    }

    void set_rows(int rows)
    {
        rows_ = rows;
        refresh();
    }
    void set_fixed_width(int width)
    {
        fixed_width_ = width;
        refresh();
    }

    int row_count() const override { return rows_; }
    int column_count() const override { return 3; }
    int column_width(int column) const override { return column == 1 ? -1 : fixed_width_; }
    void draw_cell(int column, int row, skinner::CanvasImpl& canvas, Point position, Point size, bool selected,
        bool highlighted) override
    {
        const skinner::Look& style = cell_style(selected, highlighted);
        canvas.draw_picture(style.picture, position, position + size);
        if (column == 1)
            canvas.draw_text(style.font, style.colour, liba::to_wide("Row " + std::to_string(row)), position, size,
                skinner::LEFT, skinner::VCENTER);
    }

    int on_cell_click(skinner::Control*, const skinner::CellEvent& event) override
    {
        clicks.push_back(event.row);
        return 1;
    }
    int on_cell_context(skinner::Control*, const skinner::CellEvent& event) override
    {
        contexts.push_back(event.row);
        return 1;
    }
    int on_selection_changed(skinner::Control*) override
    {
        ++selection_changes;
        return 1;
    }

    std::vector<int> clicks;
    std::vector<int> contexts;
    int selection_changes = 0;

private:
    int rows_;
    int fixed_width_ = 20;
};

class GridForm : public TestForm {
public:
    GridForm(skinner::Properties& properties, int rows)
        : TestForm(properties, nullptr, u"Grid")
        , list(*this, u"grdList", rows)
        , flat(*this, u"grdFlat", 5)
    {
    }

    NumberGrid list;
    NumberGrid flat;
};

struct GridFixture {
    explicit GridFixture(platform::ScreenConfig screen = {{240, 320}, platform::DeviceKind::pocket_pc})
        : ui(screen)
        , scheduler(std::make_unique<platform::SchedulerWindow>())
        , properties(build_grid_skin(), screen.size)
    {
    }

    ui_test::UiHarness ui;
    CActiveScheduler scheduler;
    skinner::Properties properties;
};

// The Grid form is centred in the work area between the 26-pixel bars: its client area
// starts at (20, 60) on a 240 x 320 screen, so the list's painter starts at (43, 83).
constexpr int form_x = 20;
constexpr int form_y = 60;
constexpr int list_x = form_x + 20 + 3;
constexpr int list_y = form_y + 20 + 3;

int row_y(int row) { return list_y + 20 * row + 10; }

TEST(GridKeys, MoveTheCurrentRowAndStopAtTheEnds)
{
    GridFixture fixture;
    GridForm form(fixture.properties, 20);
    form.set_focus(&form.list);
    const struct {
        int key;
        bool handled;
        int row;
    } steps[] = {
        {skinner::key::up, true, 0}, // none current yet: the first row
        {skinner::key::up, false, 0},
        {skinner::key::page_up, false, 0},
        {skinner::key::down, true, 1},
        {skinner::key::page_down, true, 2},
        {skinner::key::end, true, 19},
        {skinner::key::down, false, 19},
        {skinner::key::page_down, false, 19},
        {skinner::key::home, true, 0},
        {skinner::key::left, false, 0},
    };
    for (const auto& step : steps) {
        EXPECT_EQ(form.list.on_key_down(step.key, 0), step.handled) << step.key;
        EXPECT_EQ(form.list.current_row(), step.row) << step.key;
    }
    // With no rows nothing is handled.
    form.list.set_rows(0);
    form.list.set_current_row(-1);
    for (int key : {skinner::key::up, skinner::key::down, skinner::key::home, skinner::key::end})
        EXPECT_FALSE(form.list.on_key_down(key, 0));
}

TEST(GridKeys, RowsComeIntoViewFromBelowAndAbove)
{
    GridFixture fixture;
    GridForm form(fixture.properties, 20);
    // 104 pixels of rows: five whole rows show.
    EXPECT_EQ(form.list.visible_rows(), 5);
    EXPECT_EQ(form.list.first_visible_row(), 0);
    for (int step = 0; step < 6; ++step)
        form.list.on_key_down(skinner::key::down, 0);
    EXPECT_EQ(form.list.current_row(), 5);
    EXPECT_EQ(form.list.first_visible_row(), 1); // row 5 became the last visible one
    form.list.on_key_down(skinner::key::end, 0);
    EXPECT_EQ(form.list.first_visible_row(), 15);
    EXPECT_EQ(form.list.vertical_bar().position(), 15);
    form.list.set_current_row(3);
    EXPECT_EQ(form.list.first_visible_row(), 3); // from above: the first visible row
}

TEST(GridSelection, RowsRemovedAndInsertedKeepTheRightRowCurrent)
{
    GridFixture fixture;
    GridForm form(fixture.properties, 20);
    const struct {
        bool insert;
        int at;
        int count;
        int current_after;
    } cases[] = {
        {false, 2, 3, 7}, // the range ends right above row 10
        {false, 0, 2, 8},
        {false, 11, 4, 10}, // below
        {false, 10, 2, 10}, // starts on it
        {false, 8, 4, -1}, // covers it
        {true, 3, 2, 12},
        {true, 10, 2, 10},
    };
    for (const auto& step : cases) {
        form.list.set_current_row(10);
        if (step.insert)
            form.list.rows_inserted(step.at, step.count);
        else
            form.list.rows_removed(step.at, step.count);
        EXPECT_EQ(form.list.current_row(), step.current_after) << step.at << " " << step.count;
    }
}

TEST(GridStylus, TapDragAndAPressThatLeavesTheRows)
{
    GridFixture fixture;
    GridForm form(fixture.properties, 20);
    fixture.ui.tap(list_x + 60, row_y(2));
    EXPECT_EQ(form.list.current_row(), 2);
    EXPECT_EQ(form.list.clicks, std::vector<int>{2});

    // Pressed on row 0 and released on row 3: the row followed, the click is row 3's.
    fixture.ui.drag(list_x + 60, row_y(0), list_x + 60, row_y(3), 3);
    EXPECT_EQ(form.list.current_row(), 3);
    EXPECT_EQ(form.list.clicks, (std::vector<int>{2, 3}));

    // Dragged off the bottom of the rows: the last row touched stays, and no click.
    fixture.ui.drag(list_x + 60, row_y(1), list_x + 60, list_y + 140, 4);
    EXPECT_EQ(form.list.clicks, (std::vector<int>{2, 3}));
    EXPECT_GE(form.list.current_row(), 1);

    // A press past the last row selects nothing.
    form.list.set_rows(2);
    form.list.set_current_row(0);
    fixture.ui.tap(list_x + 60, row_y(4));
    EXPECT_EQ(form.list.current_row(), 0);
}

TEST(GridStylus, RowsWithoutHeightAreNeverHit)
{
    GridFixture fixture;
    GridForm form(fixture.properties, 20);
    fixture.ui.tap(list_x + 30, form_y + 160);
    EXPECT_EQ(form.flat.current_row(), -1);
    EXPECT_TRUE(form.flat.clicks.empty());
    EXPECT_EQ(form.flat.visible_rows(), 0);
}

TEST(GridKeys, HoldingEnterHalfASecondAsksForTheContextMenu)
{
    GridFixture fixture;
    GridForm form(fixture.properties, 20);
    form.set_focus(&form.list);
    form.list.set_current_row(4);
    form.list.on_key_down(skinner::key::enter, 0);
    fixture.ui.advance(std::chrono::milliseconds(300));
    form.list.on_key_up(skinner::key::enter, 0);
    fixture.ui.advance(std::chrono::milliseconds(600));
    EXPECT_TRUE(form.list.contexts.empty());

    form.list.on_key_down(skinner::key::enter, 0);
    fixture.ui.advance(std::chrono::milliseconds(500));
    form.list.on_key_up(skinner::key::enter, 0);
    EXPECT_EQ(form.list.contexts, std::vector<int>{4});
    EXPECT_TRUE(form.list.on_key_down(skinner::key::applications, 0));
    EXPECT_EQ(form.list.contexts, (std::vector<int>{4, 4}));
}

TEST(GridLayout, WeightedColumnsShareTheFreeWidth)
{
    GridFixture fixture;
    GridForm form(fixture.properties, 3);
    // 154 pixels inside the borders, no bar: 20 + 114 + 20.
    EXPECT_EQ(form.list.column_edges(), (std::vector<int>{0, 20, 134, 154}));
    // Fixed columns wider than the grid leave the weighted one nothing, and the
    // horizontal bar appears.
    form.list.set_fixed_width(100);
    EXPECT_EQ(form.list.column_edges()[2] - form.list.column_edges()[1], 0);
    EXPECT_TRUE(form.list.horizontal_bar().visible());
}

TEST(GridLayout, BarsAppearAsTheContentOutgrowsTheArea)
{
    GridFixture fixture;
    GridForm form(fixture.properties, 3);
    const struct {
        int rows;
        int fixed_width;
        bool vertical;
        bool horizontal;
    } cases[] = {
        {3, 20, false, false},
        {5, 20, false, false}, // 100 of 104 pixels
        {6, 20, true, false},
        {3, 80, false, true},
        // 5 rows fit until the horizontal bar takes 12 pixels of height.
        {5, 80, true, true},
        {0, 20, false, false},
    };
    for (const auto& step : cases) {
        form.list.set_rows(step.rows);
        form.list.set_fixed_width(step.fixed_width);
        EXPECT_EQ(form.list.vertical_bar().visible(), step.vertical) << step.rows << " " << step.fixed_width;
        EXPECT_EQ(form.list.horizontal_bar().visible(), step.horizontal) << step.rows << " " << step.fixed_width;
    }
}

TEST(ScrollBar, PositionStaysWithinTheRangeLessThePage)
{
    GridFixture fixture;
    GridForm form(fixture.properties, 3);
    ControlScrollBar& bar = form.list.vertical_bar();
    bar.set_range(0, 10);
    bar.set_page(4);
    const struct {
        int asked;
        int position;
    } cases[] = {{3, 3}, {6, 6}, {7, 6}, {100, 6}, {-3, 0}};
    for (const auto& step : cases) {
        bar.set_position(step.asked);
        EXPECT_EQ(bar.position(), step.position) << step.asked;
    }
    // A page larger than the range shrinks to it, and the position goes to the minimum.
    bar.set_position(5);
    bar.set_page(40);
    EXPECT_EQ(bar.page(), 10);
    EXPECT_EQ(bar.position(), 0);
    // An empty range: the thumb fills the whole free run.
    bar.set_range(3, 3);
    EXPECT_EQ(bar.position(), 3);
}

TEST(ScrollBar, ThumbSitsAtTheEndsOfTheRange)
{
    GridFixture fixture;
    GridForm form(fixture.properties, 20);
    ControlScrollBar& bar = form.list.vertical_bar();
    ASSERT_TRUE(bar.visible());
    // 104 pixels long: arrows of 12 at both ends leave 80, of which the thumb's 12
    // pixels and its share of the other 68: five rows of twenty.
    const auto thumb = [&] {
        for (const skinner::Control* part : bar.inner().controls())
            if (part->kind() == u"Thumb")
                return std::make_pair(part->position().y, part->size().y);
        return std::make_pair(-1, -1);
    };
    const int top = bar.skinner::Control::position().y;
    EXPECT_EQ(thumb().first, top + 12);
    const int length = thumb().second;
    EXPECT_EQ(length, 12 + 68 * 5 / 20);
    form.list.on_key_down(skinner::key::end, 0);
    EXPECT_EQ(thumb().first + thumb().second, top + 104 - 12);
}

TEST(ScrollBar, HoldingAnArrowStepsOncePausesThenRepeats)
{
    GridFixture fixture;
    GridForm form(fixture.properties, 40);
    ControlScrollBar& bar = form.list.vertical_bar();
    const int down_arrow_x = form_x + bar.skinner::Control::position().x + 6;
    const int down_arrow_y = form_y + bar.skinner::Control::position().y + bar.size().y - 6;
    fixture.ui.press(down_arrow_x, down_arrow_y);
    EXPECT_EQ(bar.position(), 1);
    fixture.ui.advance(std::chrono::milliseconds(550));
    EXPECT_EQ(bar.position(), 1);
    fixture.ui.advance(std::chrono::milliseconds(100));
    EXPECT_EQ(bar.position(), 2);
    fixture.ui.advance(std::chrono::milliseconds(300));
    EXPECT_EQ(bar.position(), 5);
    fixture.ui.release(down_arrow_x, down_arrow_y);
    fixture.ui.advance(std::chrono::milliseconds(300));
    EXPECT_EQ(bar.position(), 5);
}

struct GridLook {
    const char* name;
    platform::ScreenConfig screen;
    int rows;
};

class GridLooks : public testing::TestWithParam<GridLook> { };

TEST_P(GridLooks, MatchTheReference)
{
    GridFixture fixture(GetParam().screen);
    GridForm form(fixture.properties, GetParam().rows);
    form.set_focus(&form.list);
    form.list.set_current_row(1);
    fixture.ui.run_until_idle();
    EXPECT_TRUE(ui_test::matches_reference(fixture.ui.screen(), std::string("skinner/grid_") + GetParam().name));
}

INSTANTIATE_TEST_SUITE_P(Grid, GridLooks,
    testing::Values(GridLook {"few_240x320", {{240, 320}, platform::DeviceKind::pocket_pc}, 3},
        GridLook {"many_240x320", {{240, 320}, platform::DeviceKind::pocket_pc}, 30},
        GridLook {"few_480x640", {{480, 640}, platform::DeviceKind::pocket_pc}, 3},
        GridLook {"many_480x640", {{480, 640}, platform::DeviceKind::pocket_pc}, 30}),
    [](const testing::TestParamInfo<GridLook>& info) { return std::string(info.param.name); });

} // namespace
} // namespace core_test
