#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/surface.h"

namespace platform {

// A surface as an 8-bit RGB PNG file, exact, compressed with deflate's fixed codes.
std::vector<uint8_t> encode_png(const Surface& surface);

// Writes the PNG beside the target and renames it into place, so a reader never sees
// half a file. False when any step fails; the target is then left as it was.
bool write_png(const Surface& surface, const std::u16string& path);

} // namespace platform
