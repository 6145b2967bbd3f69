#include "skinner/controls/control_check_box.h"

namespace skinner {

ControlCheckBox::ControlCheckBox(Container& container, std::u16string_view name, NodeMode mode)
    : ControlButtonBase(container, name, mode)
{
    read_check_box_properties();
    renew_behaviour();
}

void ControlCheckBox::read_check_box_properties()
{
    checked_ = integer(u"Checked", checked_) != 0;
    checked_looks_ = read_looks(u"Checked");
    unchecked_text_ = string(u"Text", unchecked_text_);
    checked_text_ = string(u"CheckedText", unchecked_text_);
    show_text_of_state();
}

void ControlCheckBox::reload_properties()
{
    ControlButtonBase::reload_properties();
    read_check_box_properties();
    renew_behaviour();
}

std::unique_ptr<ControlButtonImpl> ControlCheckBox::make_behaviour()
{
    return make_check_box_behaviour(*this, action());
}

void ControlCheckBox::show_text_of_state() { ControlButtonBase::set_text(checked_ ? checked_text_ : unchecked_text_); }

void ControlCheckBox::set_checked(bool checked)
{
    if (checked == checked_)
        return;
    checked_ = checked;
    if (ControlButtonImpl* impl = behaviour())
        impl->on_checked(checked_);
    show_text_of_state();
    invalidate();
}

void ControlCheckBox::set_text(std::u16string_view text)
{
    unchecked_text_ = text;
    checked_text_ = text;
    ControlButtonBase::set_text(text);
}

void ControlCheckBox::set_text(std::u16string_view text, bool for_checked)
{
    (for_checked ? checked_text_ : unchecked_text_) = text;
    show_text_of_state();
}

void ControlCheckBox::click(Point point, int flag)
{
    set_checked(!checked_);
    ControlButtonBase::click(point, flag);
}

} // namespace skinner
