#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace platform {

// The font file that stands in for a requested face, as fontconfig chooses it, and
// what FreeType must synthesise because the file lacks it.
struct FaceFile {
    std::string path;
    int index = 0;
    std::u16string family;
    bool embolden = false;
    bool oblique = false;
};

// Finds the installed outline face nearest to a family name (empty: the default
// sans-serif face), weight (100 to 900, 400 regular, 700 bold) and style. Safe to
// call from any thread.
std::optional<FaceFile> find_face(std::u16string_view family, int weight, bool italic);

} // namespace platform
