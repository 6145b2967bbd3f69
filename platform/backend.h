#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/base/message_queue.h"

// The seam between the emulated screen and the machine: a back end shows the screen
// and turns native events into input (platform/input.h), and nothing more. Back ends
// are picked by name from one table.
namespace platform {

class Backend : public EventSource {
public:
    ~Backend() override = default;
};

struct BackendOptions {
    std::string title = "Melodrift"; // of the desktop window
    int zoom = 1; // desktop pixels per screen pixel
};

// The names in the table, in its order: "sdl", "headless".
std::vector<std::string_view> backend_names();

// Opens the back end of that name on the calling (user-interface) thread and makes
// it the source of the thread's input; null, with the reason on standard error, when
// the name is unknown or the back end cannot start (no display).
std::unique_ptr<Backend> open_backend(std::string_view name, const BackendOptions& options);

} // namespace platform
