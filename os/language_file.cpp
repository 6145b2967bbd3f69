#include "os/language_file.h"

#include "os/file.h"

namespace os {

bool load_language_file(liba::StringTranslator& translator, std::u16string_view path)
{
    File file(path, File::read_only);
    return translator.load(file, path);
}

} // namespace os
