#pragma once

#include <string>
#include <string_view>

namespace os {

// Replaces the file at a native path with bytes, so that readers, and the file after
// a crash or a full disk, hold either the old contents or the new ones: the bytes go
// to a temporary file beside it, reach the medium, and are then renamed over it. An
// existing file keeps its permissions. False, with the old file untouched, on any
// failure.
bool replace_file(const std::string& path, std::string_view bytes);

} // namespace os
