#pragma once

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

namespace skinc {

// Prints a binary skin as skin source text, which compiles back to the same bytes.
// False with the reason when the bytes are not a well-formed skin.
bool dump_skin(const std::vector<uint8_t>& bytes, std::ostream& out, std::string& error);

} // namespace skinc
