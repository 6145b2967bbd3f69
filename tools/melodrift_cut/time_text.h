#pragma once

#include <optional>
#include <string>
#include <string_view>

// Times on the command line: seconds ("75", "12.5") or minutes and seconds ("1:15",
// "1:02.5", the seconds below 60). Never negative.
std::optional<double> parse_time(std::string_view text);

// "m:ss.s", as a person reads it back.
std::string format_time(double seconds);
