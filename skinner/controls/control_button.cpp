#include "skinner/controls/control_button.h"

namespace skinner {

ControlButton::ControlButton(Container& container, std::u16string_view name, NodeMode mode)
    : ControlButtonBase(container, name, mode)
{
    set_behaviour(make_button_behaviour(*this, action()));
}

void ControlButton::reload_properties()
{
    ControlButtonBase::reload_properties();
    set_behaviour(make_button_behaviour(*this, action()));
}

} // namespace skinner
