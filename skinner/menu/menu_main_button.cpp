#include "skinner/menu/menu_main_button.h"

#include "skinner/core/form.h"
#include "skinner/menu/menu_list.h"

namespace skinner {

MenuMainButton::MenuMainButton(
    Container& container, std::u16string_view id, std::u16string_view text, int order, std::u16string_view placement)
    : Control(container, id, NodeMode::unskinned)
    , default_text_(text)
    , placement_(placement)
{
    settle_focus();
    set_z_order(order);
    translate_text();
    on_shown(effectively_visible());
}

MenuMainButton::~MenuMainButton() { on_shown(false); }

void MenuMainButton::translate_text()
{
    if (!default_text_.empty())
        text_ = translate(id(), default_text_);
}

void MenuMainButton::refresh()
{
    if (Form* owner = form())
        owner->menu_list().refresh();
}

void MenuMainButton::on_shown(bool shown)
{
    Form* owner = form();
    if (!owner || shown == listed_)
        return;
    listed_ = shown;
    if (shown)
        owner->menu_list().add(*this);
    else
        owner->menu_list().remove(*this);
}

void MenuMainButton::on_enabled(bool) { refresh(); }

void MenuMainButton::reload_properties()
{
    Control::reload_properties();
    translate_text();
    refresh();
}

MenuItemDescription MenuMainButton::describe() const
{
    MenuItemDescription description;
    description.command = id();
    description.listener = const_cast<MenuMainButton*>(this);
    description.text = text_;
    description.enabled = effectively_enabled();
    description.separator_after = separator_after_;
    description.checked = checked_;
    description.image = image_;
    return description;
}

std::u16string MenuMainButton::placement() const { return placement_.empty() ? id() : placement_; }

void MenuMainButton::set_text(std::u16string_view text)
{
    if (text == text_)
        return;
    text_ = text;
    refresh();
}

void MenuMainButton::set_checked(bool checked)
{
    if (checked == checked_)
        return;
    checked_ = checked;
    refresh();
}

void MenuMainButton::set_separator_after(bool separator_after)
{
    if (separator_after == separator_after_)
        return;
    separator_after_ = separator_after;
    refresh();
}

} // namespace skinner
