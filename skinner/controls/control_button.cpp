#include "skinner/controls/control_button.h"

namespace skinner {

ControlButton::ControlButton(Container& container, std::u16string_view name, NodeMode mode)
    : ControlButtonBase(container, name, mode)
{
    renew_behaviour();
}

void ControlButton::reload_properties()
{
    ControlButtonBase::reload_properties();
    renew_behaviour();
}

std::unique_ptr<ControlButtonImpl> ControlButton::make_behaviour() { return make_button_behaviour(*this, action()); }

} // namespace skinner
