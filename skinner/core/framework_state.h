#pragma once

#include <string>
#include <vector>

namespace skinner {

class Form;

// What the framework keeps for a session of the windowing layer: the forms alive, in
// the order they were made, the form whose modal loop runs innermost, and the last
// control timer id given out. A new session starts with none of them.
struct FrameworkState {
    std::vector<Form*> live_forms;
    Form* current_modal = nullptr;
    int last_timer_id = 0;
    // The class of every form window: the program's own, found by the hand-over of a
    // second copy.
    std::u16string window_class = u"SkinnerClass_";
    // The forms whose skin controls are being made, outermost first: a form that
    // holds a panel of itself, at any depth, would never end.
    std::vector<std::u16string> forms_in_making;
    // The ids a Pocket PC window's bar of buttons takes while it has one: five bars at
    // most.
    std::vector<int> free_menu_bar_ids = {117, 118, 119, 120, 121};
};

FrameworkState& framework_state();

// Marks a form as being made while its skin controls are created; a form that is
// being made already is a broken skin, and fatal.
class FormInMaking {
public:
    explicit FormInMaking(const std::u16string& form);
    ~FormInMaking();
    FormInMaking(const FormInMaking&) = delete;
    FormInMaking& operator=(const FormInMaking&) = delete;
};

} // namespace skinner
