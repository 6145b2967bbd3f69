#pragma once

// What the UI benchmarks share: pictures and a skin compiled from XML by the skin
// compiler beside the benchmark, the loop run until idle, and a timing that prints
// median and best.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <unistd.h>
#include <vector>

#include "liba/text.h"
#include "platform/backend.h"
#include "platform/base/message_queue.h"
#include "platform/png_writer.h"
#include "platform/session.h"
#include "platform/surface.h"
#include "platform/window.h"
#include "skinner/core/form.h"
#include "skinner/skin/properties.h"

namespace ui_bench {

inline std::filesystem::path own_folder() { return std::filesystem::canonical("/proc/self/exe").parent_path(); }

// A square picture for a skin: a rim of the given width around an inside that darkens
// a little downwards.
inline void write_frame_art(const std::filesystem::path& file, int size, int rim_width, std::uint32_t inside,
    std::uint32_t rim)
{
    auto art = platform::Surface::create(size, size);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            const bool edge = x < rim_width || y < rim_width || x >= size - rim_width || y >= size - rim_width;
            art->set_pixel(x, y, edge ? rim : inside - static_cast<std::uint32_t>(y) * 0x010101);
        }
    platform::write_png(*art, liba::to_wide(file.string()));
}

// Compiles the skin source into folder/bench.skin; its path, or empty on failure.
inline std::u16string compile_skin(const std::filesystem::path& folder, const std::string& xml)
{
    std::ofstream(folder / "bench.xml") << xml;
    const std::string command = "'" + (own_folder() / "skinc").string() + "' '" + (folder / "bench.xml").string()
        + "' -o '" + (folder / "bench.skin").string() + "'";
    if (std::system(command.c_str()) != 0)
        return {};
    return liba::to_wide((folder / "bench.skin").string());
}

inline void run_until_idle()
{
    platform::Message message;
    while (platform::peek_message(message))
        platform::dispatch(message);
}

// Milliseconds per call of step, as median and best over rounds.
inline void measure(const char* what, int rounds, const std::function<void()>& step)
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

// A headless 480 x 640 Pocket PC screen with the benchmark's skin and its form "Bench",
// in a scratch folder of its own that goes with it. make_skin writes the skin's
// pictures into the folder and answers the skin's source.
class BenchForm {
public:
    BenchForm(const std::string& name, const std::function<std::string(const std::filesystem::path&)>& make_skin)
        : folder_(std::filesystem::temp_directory_path() / ("melodrift_bench_" + name + "_" + std::to_string(getpid())))
    {
        std::filesystem::create_directories(folder_);
        const std::u16string skin = compile_skin(folder_, make_skin(folder_));
        if (skin.empty())
            return;
        properties_ = std::make_unique<skinner::Properties>(skin, platform::Size {480, 640});
        form_ = std::make_unique<skinner::Form>(nullptr, *properties_, u"Bench");
    }
    ~BenchForm()
    {
        form_.reset();
        properties_.reset();
        std::filesystem::remove_all(folder_);
    }

    // False, with a line on standard error, when the skin could not be built.
    bool ready() const
    {
        if (!form_)
            std::fprintf(stderr, "cannot build the benchmark's skin\n");
        return form_ != nullptr;
    }
    skinner::Form& form() { return *form_; }

private:
    std::filesystem::path folder_;
    platform::Session session_ {{{480, 640}, platform::DeviceKind::pocket_pc}};
    std::unique_ptr<platform::Backend> backend_ = platform::open_backend("headless", {});
    std::unique_ptr<skinner::Properties> properties_;
    std::unique_ptr<skinner::Form> form_;
};

} // namespace ui_bench
