#include "skinner/controls/alignment_words.h"

#include "skinner/draw/canvas.h"

namespace skinner {

namespace {

struct AlignmentWord {
    std::u16string_view word;
    int value;
};

constexpr AlignmentWord horizontal_words[] = {{u"LEFT", LEFT}, {u"CENTER", CENTER}, {u"RIGHT", RIGHT}};
constexpr AlignmentWord vertical_words[] = {{u"TOP", TOP}, {u"VCENTER", VCENTER}, {u"BOTTOM", BOTTOM}};

template <size_t count> int value_of(const AlignmentWord (&words)[count], std::u16string_view word, int current)
{
    for (const AlignmentWord& entry : words)
        if (entry.word == word)
            return entry.value;
    return current;
}

} // namespace

int horizontal_alignment_of(std::u16string_view word, int current) { return value_of(horizontal_words, word, current); }

int vertical_alignment_of(std::u16string_view word, int current) { return value_of(vertical_words, word, current); }

} // namespace skinner
