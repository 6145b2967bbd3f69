#pragma once

#include "tools/skinc/skin_source.h"

#include <cstdint>
#include <string>
#include <vector>

namespace skinc {

// Lays a skin out as a binary skin file: header, the strings that records address
// with 16-bit offsets, the names block, node names, then kinds and forms (each form
// followed by its controls) in name order with their sorted record arrays; the trees
// are balanced. The bytes depend only on the skin's contents, not on the order of
// its source. False with a message when the skin cannot be written.
bool write_skin(const SkinSource& skin, std::vector<uint8_t>& bytes, std::string& error);

// Picture names in the order of the names block: the declared ones, then the others
// in the order the writer meets them.
std::vector<std::u16string> picture_list(const SkinSource& skin);

} // namespace skinc
