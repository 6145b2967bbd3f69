#pragma once

#include <string_view>

#include "liba/string_translator.h"

namespace os {

// Adds the entries of the language file at path (it may hold a path macro) to the
// translator. False, with nothing changed, when the file cannot be read.
bool load_language_file(liba::StringTranslator& translator, std::u16string_view path);

} // namespace os
