#include "platform/backend.h"

#include <cstdio>

#include "platform/headless/headless_backend.h"
#include "platform/sdl/sdl_screen_backend.h"

namespace platform {

namespace {

struct BackendEntry {
    std::string_view name;
    std::unique_ptr<Backend> (*open)(const BackendOptions& options);
};

constexpr BackendEntry backends[] = {
    {"sdl", sdl::open_screen_backend},
    {"headless", headless::open_backend},
};

} // namespace

std::vector<std::string_view> backend_names()
{
    std::vector<std::string_view> names;
    for (const BackendEntry& entry : backends)
        names.push_back(entry.name);
    return names;
}

std::unique_ptr<Backend> open_backend(std::string_view name, const BackendOptions& options)
{
    for (const BackendEntry& entry : backends) {
        if (entry.name == name)
            return entry.open(options);
    }
    std::fprintf(stderr, "no screen back end called \"%.*s\"\n", static_cast<int>(name.size()), name.data());
    return nullptr;
}

} // namespace platform
