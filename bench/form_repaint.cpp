// links: skinner
// Repainting a form: a 480 x 640 form of 50 controls, each a nine-slice picture and a
// line of text, painted whole, and one control painted again. Prints milliseconds per
// repaint (median and best of many), with and without composing the screen.
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "bench/ui_bench.h"
#include "liba/text.h"
#include "platform/screen.h"
#include "platform/window.h"
#include "skinner/core/control.h"
#include "skinner/core/form.h"
#include "skinner/draw/canvas.h"

namespace {

namespace fs = std::filesystem;
using skinner::Point;

class Tile : public skinner::Control {
public:
    Tile(skinner::Container& container, std::u16string_view id)
        : Control(container, id)
        , look_(picture(u"Normal", skinner::Picture()))
        , font_(properties().scale())
    {
        font_.set_specification(u"12 0 0 0 Tahoma");
    }
    void draw(skinner::CanvasImpl& canvas, Point origin, Point size) override
    {
        canvas.draw_picture(look_, position(), position() + this->size());
        canvas.draw_text(font_, {20, 30, 40, 0}, id(), position(), this->size(), skinner::CENTER, skinner::VCENTER);
        Control::draw(canvas, origin, size);
    }

private:
    skinner::Picture look_;
    skinner::Font font_;
};

std::string skin_source(const fs::path& folder)
{
    ui_bench::write_frame_art(folder / "tile.png", 24, 4, 0xD0E0F0, 0x304050);
    std::string xml =
        "<skin key=\"Melodrift_1.00\"><resolution width=\"480\" height=\"640\"/>"
        "<form name=\"Bench\"><point name=\"Size\" value=\"480 536\"/><int name=\"StartPosition\" value=\"3\"/>";
    for (int i = 0; i < 50; ++i) {
        const int x = 8 + (i % 5) * 94;
        const int y = 8 + (i / 5) * 52;
        xml += "<control name=\"tile" + std::to_string(i) + "\"><point name=\"Position\" value=\"" + std::to_string(x) +
            " " + std::to_string(y) +
            "\"/><point name=\"Size\" value=\"88 46\"/>"
            "<picture name=\"Normal\" image=\"tile\" margins=\"4 4 4 4\" stretch=\"true\"/></control>";
    }
    xml += "</form></skin>";
    return xml;
}

} // namespace

int main()
{
    ui_bench::BenchForm bench("form", skin_source);
    if (!bench.ready())
        return 1;
    skinner::Form& form = bench.form();
    std::vector<std::unique_ptr<Tile>> tiles;
    for (int i = 0; i < 50; ++i)
        tiles.push_back(std::make_unique<Tile>(form, u"tile" + liba::to_wide(std::to_string(i))));
    ui_bench::run_until_idle();
    platform::screen_surface();

    const Point whole = form.actual_size();
    std::printf("form %dx%d, %zu controls\n", whole.x, whole.y, form.controls().size());
    ui_bench::measure("full repaint", 200, [&] {
        form.invalidate({0, 0}, whole);
        ui_bench::run_until_idle();
    });
    ui_bench::measure("full repaint and screen composition", 200, [&] {
        form.invalidate({0, 0}, whole);
        ui_bench::run_until_idle();
        platform::screen_surface();
    });
    ui_bench::measure("one control's repaint", 2000, [&] {
        tiles[27]->invalidate();
        ui_bench::run_until_idle();
    });
    ui_bench::measure("one control's repaint and screen composition", 2000, [&] {
        tiles[27]->invalidate();
        ui_bench::run_until_idle();
        platform::screen_surface();
    });
    return 0;
}
