#pragma once

#include <functional>
#include <map>
#include <string>
#include <string_view>

#include "liba/stream.h"

namespace liba {

// The texts of one language, loaded from a language file: one key and its value per
// line. A key is a run of non-white characters; its value is either the rest of the
// line after the white space that follows the key (line ends count as white space
// there), or, when the key ends with "=", exactly the rest of the line after the "=".
// Lines whose first token starts with "//" are comments; later keys override earlier.
class StringTranslator {
public:
    using Entries = std::map<std::u16string, std::u16string, std::less<>>;

    StringTranslator() = default;
    virtual ~StringTranslator() = default;

    // Adds the entries of a language file, read whole from the stream, to those
    // already loaded, and remembers where it came from. False, with nothing changed,
    // when the stream holds an error.
    bool load(ResourceReader& file, std::u16string_view source_path);
    // Adds the entries of a language file's text.
    void parse(std::u16string_view text);

    // The text of key, or key itself when this language lacks it.
    std::u16string translate(std::u16string_view key) const;
    std::u16string translate(std::u16string_view key, std::u16string_view default_text) const;

    const std::u16string& source_path() const { return source_path_; }
    const Entries& entries() const { return entries_; }

private:
    Entries entries_;
    std::u16string source_path_;
};

} // namespace liba
