// links: liba
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "liba/string_translator.h"
#include "liba/text.h"

// Feeds arbitrary bytes to the language-file parser, both as 8-bit text and as
// UTF-16 code units, and checks that every stored value is free of line ends.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    liba::StringTranslator narrow;
    narrow.parse(liba::to_wide(bytes));

    std::u16string wide(size / 2, u'\0');
    for (size_t i = 0; i < wide.size(); ++i)
        wide[i] = static_cast<char16_t>(data[2 * i] | (data[2 * i + 1] << 8));
    liba::StringTranslator translator;
    translator.parse(wide);

    for (const auto* t : {&narrow, &translator}) {
        for (const auto& [key, value] : t->entries()) {
            if (key.empty() || value.find_first_of(u"\r\n") != std::u16string::npos)
                __builtin_trap();
            if (t->translate(key) != value)
                __builtin_trap();
        }
    }
    return 0;
}
