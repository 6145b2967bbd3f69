#include "skinner/menu/button_behaviours.h"

#include "liba/log.h"
#include "platform/base/message.h"
#include "platform/shell.h"
#include "platform/window.h"
#include "skinner/controls/button_action.h"
#include "skinner/controls/control_check_box.h"
#include "skinner/core/form.h"
#include "skinner/menu/menu_manager.h"
#include "skinner/menu/soft_keys.h"
#include "skinner/skin/device.h"

namespace skinner {

namespace {

// Soft-key entries of buttons come after every menu-item control.
constexpr int button_order_offset = 1000000;

MenuList* menu_list_of(const ControlButtonBase& button)
{
    Form* form = button.form();
    return form ? &form->menu_list() : nullptr;
}

void post_close(const ControlButtonBase& button, const char16_t* log_line)
{
    liba::log() << log_line << u"\n";
    if (Form* form = button.form())
        platform::post_message(form->window(), platform::messages::close);
}

bool is_border_or_corner(int action) { return action >= ACTION_BORDER_LEFT && action <= ACTION_CORNER_TOP_RIGHT; }

// A skinned button whose own flag asks for the focus: on a Smartphone, which has no
// pointer to press it with, such a plain button is a soft-key entry instead.
bool wants_soft_key(const ControlButtonBase& button)
{
    return button.mode() == NodeMode::by_id && button.Control::wants_focus();
}

} // namespace

ButtonSoftKeyItem::ButtonSoftKeyItem(ControlButtonBase& button, std::u16string placement)
    : ControlButtonImpl(false, false)
    , button_(button)
    , placement_(std::move(placement))
{
    on_shown(button.effectively_visible());
}

ButtonSoftKeyItem::~ButtonSoftKeyItem() { on_shown(false); }

void ButtonSoftKeyItem::on_shown(bool shown)
{
    MenuList* list = menu_list_of(button_);
    if (!list || shown == listed_)
        return;
    listed_ = shown;
    if (shown)
        list->add(*this);
    else
        list->remove(*this);
}

void ButtonSoftKeyItem::refresh()
{
    if (MenuList* list = menu_list_of(button_))
        list->refresh();
}

MenuItemDescription ButtonSoftKeyItem::describe() const
{
    MenuItemDescription description;
    description.command = button_.id();
    description.text = button_.text();
    description.enabled = button_.effectively_enabled();
    description.listener = &button_;
    return description;
}

int ButtonSoftKeyItem::order_key() const { return button_.z_order() + button_order_offset; }

CheckBoxSoftKeyItem::CheckBoxSoftKeyItem(ControlCheckBox& box)
    : ButtonSoftKeyItem(box, u"")
    , box_(box)
{
}

MenuItemDescription CheckBoxSoftKeyItem::describe() const
{
    MenuItemDescription description = ButtonSoftKeyItem::describe();
    description.checked = box_.checked();
    return description;
}

ButtonCloseSoftKey::ButtonCloseSoftKey(ControlButtonBase& button)
    : ButtonSoftKeyItem(button, u"")
{
}

void ButtonCloseSoftKey::on_clicked(int) { post_close(button_, u"ControlButtonCloseSmartphone WM_CLOSE sent"); }

ButtonClose::ButtonClose(ControlButtonBase& button)
    : ControlButtonImpl(true, true)
    , button_(button)
{
}

void ButtonClose::on_clicked(int) { post_close(button_, u"ControlButtonImplClosePocket WM_CLOSE sent"); }

ButtonCaption::ButtonCaption(ControlButtonBase& button)
    : ControlButtonImpl(false, false)
    , button_(button)
{
    on_text_changed(button.text());
}

void ButtonCaption::on_text_changed(std::u16string_view text)
{
    if (Form* form = button_.form())
        platform::set_window_text(form->window(), text);
}

ButtonTitleOk::ButtonTitleOk(ControlButtonBase& button)
    : ControlButtonImpl(false, false)
    , button_(button)
{
    if (Form* form = button.form()) {
        attach(form->window());
        platform::show_ok_button(form->window(), true);
    }
}

ButtonTitleOk::~ButtonTitleOk()
{
    if (window() != platform::no_window)
        platform::show_ok_button(window(), false);
}

std::intptr_t ButtonTitleOk::handle_message(const platform::Message& message, bool& pass_on)
{
    if (message.message == platform::messages::command && message.wparam == platform::command_ok) {
        pass_on = false;
        button_.click();
    }
    return 0;
}

std::unique_ptr<ControlButtonImpl> make_button_behaviour(ControlButtonBase& button, int action)
{
    if (action == ACTION_BUTTON_SYSMENU)
        return nullptr;
    if (is_border_or_corner(action))
        return std::make_unique<ControlButtonImpl>(false, false);
    if (action == ACTION_CAPTION)
        return std::make_unique<ButtonCaption>(button);
    const bool smartphone = is_smartphone();
    switch (action) {
    case ACTION_BUTTON_CLOSE:
        if (smartphone)
            return std::make_unique<ButtonCloseSoftKey>(button);
        return std::make_unique<ButtonClose>(button);
    case ACTION_BUTTON_OK:
        if (smartphone)
            return std::make_unique<ButtonSoftKeyItem>(button, std::u16string(placement_ok));
        return std::make_unique<ButtonTitleOk>(button);
    case ACTION_BUTTON_CANCEL:
        if (smartphone)
            return std::make_unique<ButtonSoftKeyItem>(button, std::u16string(placement_menu));
        return std::make_unique<ControlButtonImpl>(true, true);
    case ACTION_BUTTON_YES:
        if (smartphone)
            return std::make_unique<ButtonSoftKeyItem>(button, std::u16string(placement_ok));
        return std::make_unique<ControlButtonImpl>(true, true);
    case ACTION_BUTTON_NO_MENU:
        return std::make_unique<ControlButtonImpl>(true, true);
    default:
        // NOTHING, BUTTON_MINIMIZE, BUTTON_MAXIMIZE and any other value.
        if (!smartphone)
            return std::make_unique<ControlButtonImpl>(true, true);
        if (wants_soft_key(button))
            return std::make_unique<ButtonSoftKeyItem>(button, u"");
        return std::make_unique<ControlButtonImpl>(true, false);
    }
}

std::unique_ptr<ControlButtonImpl> make_check_box_behaviour(ControlCheckBox& box, int action)
{
    if (!is_smartphone())
        return std::make_unique<ControlButtonImpl>(true, true);
    if (action != ACTION_BUTTON_NO_MENU && wants_soft_key(box))
        return std::make_unique<CheckBoxSoftKeyItem>(box);
    return std::make_unique<ControlButtonImpl>(true, false);
}

} // namespace skinner
