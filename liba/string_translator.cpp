#include "liba/string_translator.h"


namespace liba {
namespace {

bool is_white(char16_t c)
{
    return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n' || c == u'\v' || c == u'\f';
}

bool is_line_end(char16_t c) { return c == u'\n' || c == u'\r'; }

} // namespace

bool StringTranslator::load(ResourceReader& file, std::u16string_view source_path)
{
    if (!file.ok())
        return false;
    parse(read_text(file, file.size()));
    source_path_ = source_path;
    return true;
}

void StringTranslator::parse(std::u16string_view text)
{
    const size_t end = text.size();
    size_t p = 0;
    const auto skip_white = [&] {
        while (p < end && is_white(text[p]))
            ++p;
    };
    while (p < end) {
        skip_white();
        const size_t key_start = p;
        while (p < end && !is_white(text[p]))
            ++p;
        std::u16string_view key = text.substr(key_start, p - key_start);
        if (key.size() >= 2 && key.starts_with(u"//")) {
            key = {};
        } else if (key.ends_with(u'=')) {
            key.remove_suffix(1);
        } else {
            skip_white();
        }
        const size_t value_start = p;
        while (p < end && !is_line_end(text[p]))
            ++p;
        if (!key.empty())
            entries_.insert_or_assign(std::u16string(key), std::u16string(text.substr(value_start, p - value_start)));
    }
}

std::u16string StringTranslator::translate(std::u16string_view key) const
{
    return translate(key, key);
}

std::u16string StringTranslator::translate(std::u16string_view key, std::u16string_view default_text) const
{
    const auto found = entries_.find(key);
    return found == entries_.end() ? std::u16string(default_text) : found->second;
}

} // namespace liba
