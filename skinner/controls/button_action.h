#pragma once

#include <string_view>

namespace skinner {

// What a button is beyond being clicked, by the skin's "Action" word; the menu code
// turns it into a caption, an OK or close button or a soft-key entry.
enum ButtonAction {
    ACTION_NOTHING = 0,
    ACTION_CAPTION = 1,
    ACTION_BORDER_LEFT = 2,
    ACTION_BORDER_RIGHT = 3,
    ACTION_BORDER_BOTTOM = 4,
    ACTION_BORDER_TOP = 5,
    ACTION_CORNER_BOTTOM_LEFT = 6,
    ACTION_CORNER_BOTTOM_RIGHT = 7,
    ACTION_CORNER_TOP_LEFT = 8,
    ACTION_CORNER_TOP_RIGHT = 9,
    ACTION_BUTTON_CLOSE = 10,
    ACTION_BUTTON_MINIMIZE = 11,
    ACTION_BUTTON_MAXIMIZE = 12,
    ACTION_BUTTON_SYSMENU = 13,
    ACTION_BUTTON_OK = 14,
    ACTION_BUTTON_CANCEL = 15,
    ACTION_BUTTON_YES = 16,
    ACTION_BUTTON_NO_MENU = 17,
};

// The value of an "Action" word ("NOTHING", "CAPTION", "BUTTON_OK", ...); an unknown
// word keeps the current value.
int button_action_of(std::u16string_view word, int current);

} // namespace skinner
