#include "os/zip_archive.h"

#include <memory>

#include "os/file.h"
#include "os/path.h"

namespace os {

ZipArchive::ZipArchive(std::u16string_view path)
    : liba::ZipFile(std::make_unique<File>(path, File::read_only), paths_equal)
{
}

} // namespace os
