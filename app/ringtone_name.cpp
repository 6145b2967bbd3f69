#include "app/ringtone_name.h"

#include <cstdint>
#include <optional>
#include <vector>

#include "app/file_finder.h"
#include "liba/text.h"
#include "os/path.h"

namespace {

bool is_space(char16_t c) { return c == u' ' || (c >= u'\t' && c <= u'\r'); }

// The decimal number at the start of text: leading white space and one sign allowed,
// reading stops at the first non-digit, and at least one digit is needed. Numbers too
// large to count with do not count.
std::optional<int64_t> leading_number(std::u16string_view text)
{
    constexpr int64_t limit = int64_t{1} << 53;
    size_t at = 0;
    while (at < text.size() && is_space(text[at]))
        ++at;
    bool negative = false;
    if (at < text.size() && (text[at] == u'+' || text[at] == u'-'))
        negative = text[at++] == u'-';
    const size_t digits_start = at;
    int64_t value = 0;
    for (; at < text.size() && text[at] >= u'0' && text[at] <= u'9'; ++at) {
        value = value * 10 + (text[at] - u'0');
        if (value > limit)
            return std::nullopt;
    }
    if (at == digits_start)
        return std::nullopt;
    return negative ? -value : value;
}

} // namespace

std::u16string ringtone_folder(bool smartphone)
{
    return os::expand_macros(smartphone ? u"%my_documents%" : u"%windows%/Rings");
}

std::u16string unique_ringtone_name(std::u16string_view folder, std::u16string_view prefix,
                                    std::u16string_view extension)
{
    // The prefix is matched literally (a name may hold "*" or "?"), ignoring case as
    // the platform's own matching does.
    FileFinder files;
    os::scan(files, folder, u"*", u"*", false);
    const std::u16string lower_prefix = liba::to_lower(prefix);
    int64_t highest = 0;
    for (const std::u16string& path : files.paths) {
        const std::u16string base = os::base_name(path);
        if (base.size() < prefix.size() || liba::to_lower(std::u16string_view(base).substr(0, prefix.size())) != lower_prefix)
            continue;
        if (const std::optional<int64_t> number = leading_number(std::u16string_view(base).substr(prefix.size())))
            highest = std::max(highest, *number);
    }
    const int64_t next = highest + 1;
    const std::u16string digits = liba::to_wide(std::to_string(next));
    const std::u16string padding(digits.size() < 3 ? 3 - digits.size() : 0, u'0');
    return os::strip_trailing_separator(folder) + u"/" + std::u16string(prefix) + padding + digits + u"." +
           std::u16string(extension);
}

bool is_acceptable_ringtone_name(std::u16string_view name)
{
    if (name == u"." || name == u"..")
        return false;
    for (const char16_t c : name) {
        if (c == u'/' || c == u'\\' || c < 0x20 || (c >= 0x7f && c < 0xa0))
            return false;
    }
    return true;
}
