#include "skinner/menu/control_menu_main.h"

#include "skinner/core/form.h"

namespace skinner {

ControlMenuMain::ControlMenuMain(Container& container, std::u16string_view name, NodeMode mode)
    : Control(container, name, mode)
{
    settle_focus();
    if (Form* owner = form())
        owner->register_menu_main(*this);
}

ControlMenuMain::~ControlMenuMain()
{
    if (Form* owner = form())
        owner->unregister_menu_main(*this);
}

} // namespace skinner
