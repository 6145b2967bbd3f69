#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace skinc {

struct ArchiveMember {
    std::string name;
    std::vector<uint8_t> bytes;
};

// The bytes of a zip archive holding the members uncompressed (method "stored"), each
// with its sizes in its local header, as the skin reader walks them.
std::vector<uint8_t> stored_zip(const std::vector<ArchiveMember>& members);

// Writes bytes to a temporary file beside target and renames it into place, so that
// a failed run never leaves a half-written file under the target's name.
bool write_file(const std::filesystem::path& target, const std::vector<uint8_t>& bytes, std::string& error);

} // namespace skinc
