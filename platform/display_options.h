#pragma once

#include <string>

#include "platform/screen.h"

namespace platform {

// The command-line options with which every program that opens the screen chooses
// it: --screen WxH, --device, --zoom N, --headless and --script FILE.
struct DisplayOptions {
    ScreenConfig screen;
    int zoom = 1;
    bool headless = false;
    std::string script;
};

enum class OptionTaken { no, yes, mistake };

// Takes argv[index] (and its value, advancing index) when it is a display option.
// On a mistake, error says what is wrong.
OptionTaken take_display_option(int argc, char** argv, int& index, DisplayOptions& options, std::string& error);

// The lines of --help that describe the display options.
extern const char* const display_options_help;

} // namespace platform
