#pragma once

#include "skinner/controls/control_button_base.h"

namespace skinner {

// A button that turns between unchecked and checked at every click, with its own four
// looks for the checked state ("CheckedNormal", ...) and a text for each state
// ("Text", "CheckedText").
class ControlCheckBox : public ControlButtonBase {
public:
    ControlCheckBox(Container& container, std::u16string_view name, NodeMode mode = NodeMode::by_id);

    void reload_properties() override;
    // Both texts.
    void set_text(std::u16string_view text) override;
    void click(Point point, int flag) override;
    const ButtonLooks& state_looks() const override
    {
        return checked_ ? checked_looks_ : ControlButtonBase::state_looks();
    }

    void set_checked(bool checked);
    // The text of one state; the button shows the one of the state it is in.
    void set_text(std::u16string_view text, bool for_checked);

    bool checked() const { return checked_; }
    const std::u16string& unchecked_text() const { return unchecked_text_; }
    const std::u16string& checked_text() const { return checked_text_; }

protected:
    std::unique_ptr<ControlButtonImpl> make_behaviour() override;

private:
    void read_check_box_properties();
    void show_text_of_state();

    std::u16string unchecked_text_;
    std::u16string checked_text_;
    bool checked_ = false;
    ButtonLooks checked_looks_;
};

} // namespace skinner
