#include "platform/display_options.h"

#include <charconv>
#include <string_view>

namespace platform {

const char* const display_options_help = "  --screen WxH              screen size (default 480x640)\n"
                                         "  --device pocketpc|smartphone\n"
                                         "                            device kind (default pocketpc)\n"
                                         "  --zoom N                  desktop pixels per screen pixel (1 to 8)\n"
                                         "  --headless                no window: draw in memory\n"
                                         "  --script FILE             play a script of taps and keys (see the README)\n";

OptionTaken take_display_option(int argc, char** argv, int& index, DisplayOptions& options, std::string& error)
{
    const std::string_view name = argv[index];
    if (name == "--headless") {
        options.headless = true;
        return OptionTaken::yes;
    }
    if (name != "--screen" && name != "--device" && name != "--zoom" && name != "--script")
        return OptionTaken::no;
    if (index + 1 >= argc) {
        error = std::string(name) + " needs a value";
        return OptionTaken::mistake;
    }
    const std::string_view value = argv[++index];
    if (name == "--screen") {
        const auto size = parse_screen_size(value);
        if (!size) {
            error = "--screen takes WxH, each 64 to 4096";
            return OptionTaken::mistake;
        }
        options.screen.size = *size;
    } else if (name == "--device") {
        const auto device = parse_device_kind(value);
        if (!device) {
            error = "--device takes pocketpc or smartphone";
            return OptionTaken::mistake;
        }
        options.screen.device = *device;
    } else if (name == "--zoom") {
        int zoom = 0;
        const auto [end, failure] = std::from_chars(value.data(), value.data() + value.size(), zoom);
        if (failure != std::errc() || end != value.data() + value.size() || zoom < 1 || zoom > 8) {
            error = "--zoom takes 1 to 8";
            return OptionTaken::mistake;
        }
        options.zoom = zoom;
    } else {
        options.script = value;
    }
    return OptionTaken::yes;
}

} // namespace platform
