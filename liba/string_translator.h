#pragma once

#include <functional>
#include <map>
#include <string>
#include <string_view>

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
    // Cannot report failure: callers that need to know build an empty one and load().
    explicit StringTranslator(std::u16string_view path);
    virtual ~StringTranslator() = default;

    // Adds the entries of the file (path may hold a path macro) to those already
    // loaded. False, with nothing changed, when the file cannot be opened.
    bool load(std::u16string_view path);
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
