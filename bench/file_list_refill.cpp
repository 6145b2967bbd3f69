// links: app
// Refilling the file list of a folder of 5,000 songs and folders: the scan, the sort
// and the grid's refresh, as opening the folder does. Prints milliseconds per refill.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

#include "app/form_main.h"
#include "app/product.h"
#include "bench/ui_bench.h"
#include "liba/text.h"
#include "platform/backend.h"
#include "platform/session.h"
#include "skinner/skin/properties.h"

int main()
{
    namespace fs = std::filesystem;
    const fs::path folder = fs::temp_directory_path() / ("melodrift_bench_refill_" + std::to_string(getpid()));
    fs::create_directories(folder);
    for (int i = 0; i < 5000; ++i) {
        const std::string name = "Track " + std::to_string(i * 7919 % 5000);
        if (i % 10 == 0)
            fs::create_directory(folder / name);
        else
            std::ofstream(folder / (name + (i % 3 ? ".mp3" : ".ogg")));
    }
    platform::Session session({{480, 640}, platform::DeviceKind::pocket_pc});
    const auto backend = platform::open_backend("headless", {});
    skinner::Properties skin(std::u16string(default_skin_path), {480, 640});
    if (!skin.is_valid()) {
        std::fprintf(stderr, "cannot read the default skin beside the benchmark\n");
        return 1;
    }
    FormMain form(skin);
    ControlFiles& files = form.file_panel().files;
    files.set_folder(liba::to_wide(folder.string()));
    ui_bench::run_until_idle();
    std::printf("%d rows\n", files.row_count());
    ui_bench::measure("refill of 5,000 entries", 30, [&] {
        files.refill();
        ui_bench::run_until_idle();
    });
    fs::remove_all(folder);
    return 0;
}
