// links: skinner
// A grid of 10,000 rows in a 480 x 640 form: moving the current row by one with the
// Down key, and scrolling a page with the bar, each with the repaint it causes.
// Prints milliseconds per step (median and best of many).
#include <cstdio>
#include <filesystem>
#include <string>

#include "bench/ui_bench.h"
#include "liba/text.h"
#include "skinner/controls/control_grid.h"
#include "skinner/core/form.h"
#include "skinner/core/key_codes.h"
#include "skinner/draw/canvas.h"

namespace {

namespace fs = std::filesystem;
using skinner::Point;

constexpr int row_total = 10000;

// Two columns: a name that changes per row and a fixed-width size.
class BenchGrid : public skinner::ControlGrid, public skinner::GridSelectionStrategySingleRow {
public:
    BenchGrid(skinner::Container& container, std::u16string_view name)
        : ControlGrid(container, name)
    {
        refresh();
    }
    int row_count() const override { return row_total; }
    int column_count() const override { return 2; }
    int column_width(int column) const override { return column == 0 ? -1 : 96; }
    void draw_cell(int column, int row, skinner::CanvasImpl& canvas, Point position, Point size, bool selected,
        bool highlighted) override
    {
        const skinner::Look& style = cell_style(selected, highlighted);
        canvas.draw_picture(style.picture, position, position + size);
        const std::u16string text = column == 0 ? u"Track number " + liba::to_wide(std::to_string(row)) + u".mp3"
                                                : liba::to_wide(std::to_string(row * 37 % 9000)) + u" KB";
        canvas.draw_text(style.font, style.colour, text, position, size, skinner::LEFT, skinner::VCENTER);
    }
};

std::string skin_source(const fs::path& folder)
{
    for (const char* name : {"frame", "part", "selection"})
        ui_bench::write_frame_art(folder / (std::string(name) + ".png"), 24, 3, 0xD0E0F0, 0x304050);
    const std::string part_kind = R"(<picture name="Normal" image="part" margins="3 3 3 3" stretch="true"/>)";
    const std::string bar = R"(<int name="MinButtonSize" value="24"/><int name="MaxButtonSize" value="24"/>
        <string name="KindMin" value="Arrow"/><string name="KindMax" value="Arrow"/>
        <string name="KindSpace" value="Space"/><string name="KindTrack" value="Thumb"/>)";
    const std::string xml = R"(<skin key="Melodrift_1.00"><resolution width="480" height="640"/>
        <kind name="Arrow">)" + part_kind + R"(</kind><kind name="Space">)" + part_kind
        + R"(</kind><kind name="Thumb"><point name="Size" value="24 24"/>)" + part_kind
        + R"(</kind><kind name="ScrollV"><int name="Vertical" value="1"/>)" + bar
        + R"(</kind><kind name="ScrollH">)" + bar + R"(</kind>
        <form name="Bench"><point name="Size" value="480 536"/><int name="StartPosition" value="3"/>
        <control name="grdBench"><point name="Size" value="480 536"/>
        <picture name="Normal" image="frame" margins="3 3 3 3" stretch="true"/>
        <int name="ItemHeight" value="40"/><int name="ScrollWidth" value="24"/>
        <string name="KindScroll" value="ScrollV"/><string name="KindHScroll" value="ScrollH"/>
        <font name="ItemNormal" value="14 0 0 0 Tahoma"/><color name="ItemNormal" value="#202830"/>
        <picture name="ItemSelection" image="selection" margins="3 3 3 3" stretch="true"/>
        </control></form></skin>)";
    return xml;
}

} // namespace

int main()
{
    ui_bench::BenchForm bench("grid", skin_source);
    if (!bench.ready())
        return 1;
    skinner::Form& form = bench.form();
    BenchGrid grid(form, u"grdBench");
    form.set_focus(&grid);
    grid.set_current_row(0);
    ui_bench::run_until_idle();
    std::printf("%d rows, %d visible\n", grid.row_count(), grid.visible_rows());

    ui_bench::measure("current row down by one, repainted", 2000, [&] {
        if (!grid.on_key_down(skinner::key::down, 0))
            grid.set_current_row(0);
        ui_bench::run_until_idle();
    });
    skinner::ControlScrollBar& bar = grid.vertical_bar();
    ui_bench::measure("a page down, repainted", 2000, [&] {
        const int before = bar.position();
        bar.set_position(before + bar.page());
        if (bar.position() == before)
            bar.set_position(0);
        ui_bench::run_until_idle();
    });
    return 0;
}
