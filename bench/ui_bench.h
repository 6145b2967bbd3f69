#pragma once

// What the UI benchmarks share: a skin compiled from XML by the skin compiler beside
// the benchmark, the loop run until idle, and a timing that prints median and best.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "liba/text.h"
#include "platform/base/message_queue.h"
#include "platform/window.h"

namespace ui_bench {

inline std::filesystem::path own_folder() { return std::filesystem::canonical("/proc/self/exe").parent_path(); }

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
    std::printf("%-44s median %.4f ms  best %.4f ms\n", what, times[times.size() / 2], times.front());
}

} // namespace ui_bench
