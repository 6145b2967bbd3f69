// links: skinner
// Repainting a position bar: a 480-pixel bar (nine-slice background, filled part and
// thumb) on a 480 x 640 form, its value moved by 1 % at a time as the playing file's
// position timer moves it. Prints milliseconds per repaint of the changed part (median
// and best), with and without composing the screen, beside a repaint of the whole bar.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <unistd.h>
#include <vector>

#include "liba/text.h"
#include "platform/backend.h"
#include "platform/base/message_queue.h"
#include "platform/png_writer.h"
#include "platform/screen.h"
#include "platform/session.h"
#include "platform/window.h"
#include "skinner/controls/control_progress.h"
#include "skinner/core/form.h"
#include "skinner/skin/properties.h"

namespace {

namespace fs = std::filesystem;

fs::path own_folder() { return fs::canonical("/proc/self/exe").parent_path(); }

void write_art(const fs::path& file, int size, std::uint32_t inside, std::uint32_t rim)
{
    auto art = platform::Surface::create(size, size);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            const bool edge = x < 4 || y < 4 || x >= size - 4 || y >= size - 4;
            art->set_pixel(x, y, edge ? rim : inside - static_cast<std::uint32_t>(y) * 0x010101);
        }
    platform::write_png(*art, liba::to_wide(file.string()));
}

std::u16string build_skin(const fs::path& folder)
{
    fs::create_directories(folder);
    write_art(folder / "back.png", 24, 0xE0E8F0, 0x607080);
    write_art(folder / "fill.png", 24, 0x70D070, 0x306030);
    write_art(folder / "thumb.png", 16, 0x5070C0, 0x102040);
    const std::string xml =
        "<skin key=\"Melodrift_1.00\"><resolution width=\"480\" height=\"640\"/>"
        "<form name=\"Bench\"><point name=\"Size\" value=\"480 536\"/><int name=\"StartPosition\" value=\"3\"/>"
        "<control name=\"pbPosition\"><point name=\"Position\" value=\"0 200\"/>"
        "<point name=\"Size\" value=\"480 40\"/><int name=\"TrackSize\" value=\"24\"/>"
        "<picture name=\"Background\" image=\"back\" margins=\"6 6 6 6\" stretch=\"true\"/>"
        "<picture name=\"Progress\" image=\"fill\" margins=\"6 6 6 6\" stretch=\"true\"/>"
        "<picture name=\"Track\" image=\"thumb\" margins=\"4 4 4 4\" stretch=\"true\"/>"
        "</control></form></skin>";
    std::ofstream(folder / "bench.xml") << xml;
    const std::string command = "'" + (own_folder() / "skinc").string() + "' '" + (folder / "bench.xml").string() +
        "' -o '" + (folder / "bench.skin").string() + "'";
    if (std::system(command.c_str()) != 0)
        return {};
    return liba::to_wide((folder / "bench.skin").string());
}

void run_until_idle()
{
    platform::Message message;
    while (platform::peek_message(message))
        platform::dispatch(message);
}

// Milliseconds per call of step, as median and best over rounds.
void measure(const char* what, int rounds, const std::function<void()>& step)
{
    std::vector<double> times;
    for (int i = 0; i < rounds; ++i) {
        const auto start = std::chrono::steady_clock::now();
        step();
        times.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
    }
    std::sort(times.begin(), times.end());
    std::printf("%-52s median %.4f ms  best %.4f ms\n", what, times[times.size() / 2], times.front());
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
    run_until_idle();
    platform::screen_surface();
    std::printf("bar %dx%d, thumb %d pixels\n", bar.size().x, bar.size().y, bar.track_size());

    int step = 0;
    // The value walks up and down in steps of 1 %, so that every step changes it.
    const auto move_one_percent = [&] {
        const int place = step++ % 200;
        bar.set_value((place < 100 ? place : 200 - place) / 100.0);
    };
    measure("changed part, value moved by 1 %", 5000, [&] {
        move_one_percent();
        run_until_idle();
    });
    measure("changed part and screen composition", 5000, [&] {
        move_one_percent();
        run_until_idle();
        platform::screen_surface();
    });
    measure("whole bar", 2000, [&] {
        bar.invalidate();
        run_until_idle();
    });
    fs::remove_all(folder);
    return 0;
}
