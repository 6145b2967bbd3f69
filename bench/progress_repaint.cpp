// links: skinner
// Repainting a position bar: a 480-pixel bar (nine-slice background, filled part and
// thumb) on a 480 x 640 form, its value moved by 1 % at a time as the playing file's
// position timer moves it. Prints milliseconds per repaint of the changed part (median
// and best), with and without composing the screen, beside a repaint of the whole bar.
#include <cstdio>
#include <filesystem>
#include <string>
#include <unistd.h>

#include "bench/ui_bench.h"
#include "platform/backend.h"
#include "platform/screen.h"
#include "platform/session.h"
#include "skinner/controls/control_progress.h"
#include "skinner/core/form.h"
#include "skinner/skin/properties.h"

namespace {

namespace fs = std::filesystem;

std::u16string build_skin(const fs::path& folder)
{
    fs::create_directories(folder);
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
    return ui_bench::compile_skin(folder, xml);
}

} // namespace

int main()
{
    const fs::path folder = fs::temp_directory_path() / ("melodrift_bench_progress_" + std::to_string(getpid()));
    const std::u16string skin = build_skin(folder);
    if (skin.empty()) {
        std::fprintf(stderr, "cannot build the benchmark's skin\n");
        return 1;
    }
    platform::Session session({{480, 640}, platform::DeviceKind::pocket_pc});
    const auto backend = platform::open_backend("headless", {});
    skinner::Properties properties(skin, {480, 640});
    skinner::Form form(nullptr, properties, u"Bench");
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
    fs::remove_all(folder);
    return 0;
}
