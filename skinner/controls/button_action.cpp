#include "skinner/controls/button_action.h"

#include <iterator>

namespace skinner {

namespace {

constexpr std::u16string_view action_words[] = {
    u"NOTHING",
    u"CAPTION",
    u"BORDER_LEFT",
    u"BORDER_RIGHT",
    u"BORDER_BOTTOM",
    u"BORDER_TOP",
    u"CORNER_BOTTOM_LEFT",
    u"CORNER_BOTTOM_RIGHT",
    u"CORNER_TOP_LEFT",
    u"CORNER_TOP_RIGHT",
    u"BUTTON_CLOSE",
    u"BUTTON_MINIMIZE",
    u"BUTTON_MAXIMIZE",
    u"BUTTON_SYSMENU",
    u"BUTTON_OK",
    u"BUTTON_CANCEL",
    u"BUTTON_YES",
    u"BUTTON_NO_MENU",
};

} // namespace

int button_action_of(std::u16string_view word, int current)
{
    for (int value = 0; value < static_cast<int>(std::size(action_words)); ++value)
        if (action_words[value] == word)
            return value;
    return current;
}

} // namespace skinner
