#pragma once

#include <string_view>

#include "liba/zip_file.h"

namespace os {

// A zip archive on disk (the path may hold a path macro); members are found by name
// as paths compare: ignoring letter case and the kind of separator.
class ZipArchive : public liba::ZipFile {
public:
    explicit ZipArchive(std::u16string_view path);
};

} // namespace os
