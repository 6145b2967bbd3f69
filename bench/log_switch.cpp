// links: os liba
// The cost of a log statement while the log file is switched off, and while it is on.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>

#include "liba/log.h"
#include "liba/text.h"
#include "os/atomic_file.h"
#include "os/log_file.h"
#include "os/path.h"

namespace {

double nanoseconds_per_statement(int count)
{
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < count; ++i)
        liba::log() << u"Bench::statement " << i << u"\n";
    const std::chrono::duration<double, std::nano> elapsed = std::chrono::steady_clock::now() - start;
    return elapsed.count() / count;
}

void set_switch(const std::string& registry, bool on)
{
    os::replace_file(registry, std::string("[HKEY_CURRENT_USER\\Software\\Quenbry]\nLog=") + (on ? "1" : "0") + "\n");
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
}

} // namespace

int main()
{
    unsetenv("MELODRIFT_LOG");
    const std::string registry = (std::filesystem::temp_directory_path() / "bench_log_switch.ini").string();
    setenv("MELODRIFT_REGISTRY", registry.c_str(), 1);
    os::install_log_file();

    set_switch(registry, false);
    std::printf("log statement, switch off: %.1f ns\n", nanoseconds_per_statement(2'000'000));
    set_switch(registry, true);
    std::printf("log statement, switch on:  %.1f ns\n", nanoseconds_per_statement(200'000));
    set_switch(registry, false);
    liba::log();

    std::filesystem::remove(registry);
    std::filesystem::remove(liba::to_narrow(os::expand_macros(u"%app_full_name%.txt")));
    return 0;
}
