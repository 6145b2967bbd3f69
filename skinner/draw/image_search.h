#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "os/zip_archive.h"
#include "platform/surface.h"

namespace skinner {

// Finds a named picture (a name without extension) for a skin: first as a member of
// the skin file opened as an archive (".gif", then ".bmp" through the image
// decompressor, then ".bmp" read raw), then as a loose file in the skin's folder
// (".png" through the program's PNG decoder, then ".bmp", ".gif", ".jpg"), stopping
// at the first that yields an image. A member that exists but does not decode ends
// the search with failure.
class ImageSearch {
public:
    explicit ImageSearch(std::u16string_view skin_path);

    // Null when no image of that name is found or the one found does not decode.
    std::unique_ptr<platform::Surface> load(std::u16string_view name);

private:
    enum class Found { image, broken, missing };

    Found from_archive(std::u16string_view name, std::unique_ptr<platform::Surface>& image);
    std::unique_ptr<platform::Surface> from_folder(std::u16string_view name);

    os::ZipArchive archive_;
    std::u16string folder_;
};

// Decodes PNG bytes with the program's decoder into a 32-bit surface; null on failure.
std::unique_ptr<platform::Surface> decode_png(const std::vector<uint8_t>& bytes);

} // namespace skinner
