// links: skinner
// Repainting a position bar: a 480-pixel bar (nine-slice background, filled part and
// thumb) on a 480 x 640 form, its value moved by 1 % at a time as the playing file's
// position timer moves it. Prints milliseconds per repaint of the changed part (median
// and best), with and without composing the screen, beside a repaint of the whole bar.
#include <cstdio>
#include <filesystem>
#include <string>

#include "bench/ui_bench.h"
#include "platform/screen.h"
#include "skinner/controls/control_progress.h"
#include "skinner/core/form.h"

namespace {

namespace fs = std::filesystem;

std::string skin_source(const fs::path& folder)
{
    ui_bench::write_frame_art(folder / "back.png", 24, 4, 0xE0E8F0, 0x607080);
    ui_bench::write_frame_art(folder / "fill.png", 24, 4, 0x70D070, 0x306030);
    ui_bench::write_frame_art(folder / "thumb.png", 16, 4, 0x5070C0, 0x102040);
    const std::string xml =
        "<skin key=\"Melodrift_1.00\"><resolution width=\"480\" height=\"640\"/>"
        "<form name=\"Bench\"><point name=\"Size\" value=\"480 536\"/><int name=\"StartPosition\" value=\"3\"/>"
        "<control name=\"pbPosition\"><point name=\"Position\" value=\"0 200\"/>"
        "<point name=\"Size\" value=\"480 40\"/><int name=\"TrackSize\" value=\"24\"/>"
        "<picture name=\"Background\" image=\"back\" margins=\"6 6 6 6\" stretch=\"true\"/>"
        "<picture name=\"Progress\" image=\"fill\" margins=\"6 6 6 6\" stretch=\"true\"/>"
        "<picture name=\"Track\" image=\"thumb\" margins=\"4 4 4 4\" stretch=\"true\"/>"
        "</control></form></skin>";
    return xml;
}

} // namespace

int main()
{
    ui_bench::BenchForm bench("progress", skin_source);
    if (!bench.ready())
        return 1;
    skinner::Form& form = bench.form();
    skinner::ControlProgress bar(form, u"pbPosition");
    ui_bench::run_until_idle();
    platform::screen_surface();
    std::printf("bar %dx%d, thumb %d pixels\n", bar.size().x, bar.size().y, bar.track_size());

    int step = 0;
    // The value walks up and down in steps of 1 %, so that every step changes it.
    const auto move_one_percent = [&] {
        const int place = step++ % 200;
        bar.set_value((place < 100 ? place : 200 - place) / 100.0);
    };
    ui_bench::measure("changed part, value moved by 1 %", 5000, [&] {
        move_one_percent();
        ui_bench::run_until_idle();
    });
    ui_bench::measure("changed part and screen composition", 5000, [&] {
        move_one_percent();
        ui_bench::run_until_idle();
        platform::screen_surface();
    });
    ui_bench::measure("whole bar", 2000, [&] {
        bar.invalidate();
        ui_bench::run_until_idle();
    });
    return 0;
}
