#include "skinner/draw/font_rep.h"

#include <algorithm>

#include "liba/log.h"

namespace skinner {
namespace {

constexpr size_t max_face_length = 31;
// The font size unit is the point; the screen is taken as 96 dots per inch.
constexpr int dots_per_inch = 96;
constexpr int points_per_inch = 72;

bool is_blank(char16_t c)
{
    return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n';
}

// Reads an optionally signed decimal after leading blanks, as scanf's %d does.
bool read_integer(std::u16string_view text, size_t& at, int& value)
{
    while (at < text.size() && is_blank(text[at]))
        ++at;
    size_t i = at;
    const bool negative = i < text.size() && text[i] == u'-';
    if (i < text.size() && (text[i] == u'-' || text[i] == u'+'))
        ++i;
    const size_t digits = i;
    long long number = 0;
    for (; i < text.size() && text[i] >= u'0' && text[i] <= u'9'; ++i)
        number = std::min(number * 10 + (text[i] - u'0'), 1LL << 31);
    if (i == digits)
        return false;
    at = i;
    value = static_cast<int>(std::min(negative ? -number : number, (1LL << 31) - 1));
    return true;
}

struct Specification {
    int height = 12;
    int bold = 0;
    int italic = 0;
    int underline = 0;
    std::u16string face;
};

// The fields are read in order until one is missing; the rest keep their defaults.
Specification parse(std::u16string_view text)
{
    Specification spec;
    size_t at = 0;
    for (int* field : {&spec.height, &spec.bold, &spec.italic, &spec.underline})
        if (!read_integer(text, at, *field))
            return spec;
    while (at < text.size() && is_blank(text[at]))
        ++at;
    size_t end = at;
    while (end < text.size() && text[end] != u'\n' && end - at < max_face_length)
        ++end;
    spec.face = std::u16string(text.substr(at, end - at));
    return spec;
}

} // namespace

FontRep::FontRep(std::u16string_view specification, int scale)
{
    const Specification spec = parse(specification);
    liba::log() << u"Creating font: {" << specification << u"}\n";
    liba::log() << u"height=" << spec.height << u" name.scale=" << scale << u"\n";
    const long long height = static_cast<long long>(spec.height) * scale;
    const long long character_height = -(height * dots_per_inch / points_per_inch);
    request_.height = static_cast<int>(std::clamp(character_height, -(1LL << 30), 1LL << 30));
    liba::log() << u"dpiy=" << dots_per_inch << u" log_font.lfHeight=" << request_.height << u"\n";
    request_.weight = spec.bold != 0 ? 700 : 400;
    request_.italic = spec.italic != 0;
    request_.underline = spec.underline != 0;
    request_.face = spec.face;
    font_ = platform::Font::create(request_);
    if (!font_)
        liba::log() << u"ERROR: FontRep::FontRep() Failed to create font\n";
}

} // namespace skinner
