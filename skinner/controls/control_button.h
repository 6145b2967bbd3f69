#pragma once

#include "skinner/controls/control_button_base.h"

namespace skinner {

// The skin's push button ("Auto.Button"): its behaviour object follows its action and
// the device, made anew on every reload.
class ControlButton : public ControlButtonBase {
public:
    ControlButton(Container& container, std::u16string_view name, NodeMode mode = NodeMode::by_id);

    void reload_properties() override;

protected:
    std::unique_ptr<ControlButtonImpl> make_behaviour() override;
};

} // namespace skinner
