#include "skinner/controls/button_action.h"
#include "skinner/controls/button_impl.h"
#include "skinner/controls/control_check_box.h"

namespace skinner {

std::unique_ptr<ControlButtonImpl> make_button_behaviour(ControlButtonBase&, int action)
{
    switch (action) {
    case ACTION_BUTTON_SYSMENU:
        return nullptr;
    case ACTION_CAPTION:
    case ACTION_BORDER_LEFT:
    case ACTION_BORDER_RIGHT:
    case ACTION_BORDER_BOTTOM:
    case ACTION_BORDER_TOP:
    case ACTION_CORNER_BOTTOM_LEFT:
    case ACTION_CORNER_BOTTOM_RIGHT:
    case ACTION_CORNER_TOP_LEFT:
    case ACTION_CORNER_TOP_RIGHT:
        return std::make_unique<ControlButtonImpl>(false, false);
    default:
        return std::make_unique<ControlButtonImpl>(true, true);
    }
}

std::unique_ptr<ControlButtonImpl> make_check_box_behaviour(ControlCheckBox&, int)
{
    return std::make_unique<ControlButtonImpl>(true, true);
}

} // namespace skinner
