#include "liba/text.h"

namespace liba {
namespace {

// Length of the valid UTF-8 sequence starting at bytes[i] and its code point, or 0
// when the bytes there do not form one (overlong forms and surrogates included).
size_t decode_utf8(std::string_view bytes, size_t i, char32_t& code_point)
{
    const auto byte = [&](size_t k) { return static_cast<unsigned char>(bytes[k]); };
    const unsigned char lead = byte(i);
    size_t length;
    char32_t value;
    char32_t minimum;
    if (lead < 0x80) {
        code_point = lead;
        return 1;
    } else if ((lead & 0xE0) == 0xC0) {
        length = 2, value = lead & 0x1F, minimum = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3, value = lead & 0x0F, minimum = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4, value = lead & 0x07, minimum = 0x10000;
    } else {
        return 0;
    }
    if (i + length > bytes.size())
        return 0;
    for (size_t k = 1; k < length; ++k) {
        if ((byte(i + k) & 0xC0) != 0x80)
            return 0;
        value = (value << 6) | (byte(i + k) & 0x3F);
    }
    if (value < minimum || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF))
        return 0;
    code_point = value;
    return length;
}

void append_utf8(std::string& out, char32_t c)
{
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

// Where a byte that is not UTF-8 goes in wide text: U+DC00 plus its value (0x80 and
// above; every byte below is valid UTF-8).
constexpr char16_t escape_base = 0xDC00;

std::u16string decode(std::string_view bytes, char16_t invalid_base)
{
    std::u16string text;
    text.reserve(bytes.size());
    for (size_t i = 0; i < bytes.size();) {
        char32_t c;
        const size_t length = decode_utf8(bytes, i, c);
        if (length == 0) {
            text += static_cast<char16_t>(invalid_base + static_cast<unsigned char>(bytes[i]));
            ++i;
            continue;
        }
        if (c >= 0x10000) {
            c -= 0x10000;
            text += static_cast<char16_t>(0xD800 + (c >> 10));
            text += static_cast<char16_t>(0xDC00 + (c & 0x3FF));
        } else {
            text += static_cast<char16_t>(c);
        }
        i += length;
    }
    return text;
}

} // namespace

std::u16string to_wide(std::string_view bytes) { return decode(bytes, escape_base); }

std::u16string text_to_wide(std::string_view bytes) { return decode(bytes, 0); }

std::string to_narrow(std::u16string_view text)
{
    std::string bytes;
    bytes.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        char32_t c = text[i];
        const bool high = c >= 0xD800 && c <= 0xDBFF;
        if (high && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            ++i;
        } else if (c >= escape_base + 0x80 && c <= escape_base + 0xFF) {
            bytes += static_cast<char>(c - escape_base); // a byte to_wide kept
            continue;
        } else if (c >= 0xD800 && c <= 0xDFFF) {
            c = 0xFFFD; // any other lone surrogate has no UTF-8 form
        }
        append_utf8(bytes, c);
    }
    return bytes;
}

char16_t to_lower(char16_t c)
{
    if (c < 0x80)
        return (c >= u'A' && c <= u'Z') ? static_cast<char16_t>(c + 32) : c;
    if ((c >= 0xC0 && c <= 0xDE && c != 0xD7) || (c >= 0x410 && c <= 0x42F))
        return static_cast<char16_t>(c + 32); // Latin-1 capitals, Cyrillic А..Я
    if (c >= 0x400 && c <= 0x40F)
        return static_cast<char16_t>(c + 80); // Cyrillic Ѐ..Џ
    if (c >= 0x391 && c <= 0x3AB && c != 0x3A2)
        return static_cast<char16_t>(c + 32); // Greek capitals
    if (c >= 0x100 && c <= 0x17F) {
        // Latin Extended-A alternates capital/small, with the parity flipped in two runs.
        const bool odd_capitals = (c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E);
        if (c == 0x130)
            return u'i';
        if (c == 0x178)
            return 0xFF;
        if ((c % 2 == 1) == odd_capitals && c != 0x138 && c != 0x149 && c != 0x17F)
            return static_cast<char16_t>(c + 1);
    }
    return c;
}

std::u16string to_lower(std::u16string_view text)
{
    std::u16string lower(text);
    for (auto& c : lower)
        c = to_lower(c);
    return lower;
}

} // namespace liba
