#pragma once

#include <string>

#include "skinner/controls/button_impl.h"
#include "skinner/core/control_subclass.h"
#include "skinner/menu/menu_item.h"

namespace skinner {

class ControlButtonBase;
class ControlCheckBox;

// A button that is a soft-key entry instead of being drawn: in its form's menu list
// while it is shown, after every menu-item control, described by its id, text and
// enabled state; the entry's command reaches the button, which clicks itself.
class ButtonSoftKeyItem : public ControlButtonImpl, public MenuItem {
public:
    ButtonSoftKeyItem(ControlButtonBase& button, std::u16string placement);
    ~ButtonSoftKeyItem() override;

    void on_text_changed(std::u16string_view) override { refresh(); }
    void on_shown(bool shown) override;
    void on_enabled(bool) override { refresh(); }

    MenuItemDescription describe() const override;
    std::u16string placement() const override { return placement_; }
    int order_key() const override;

protected:
    void refresh();
    ControlButtonBase& button_;

private:
    const std::u16string placement_;
    bool listed_ = false;
};

// A check box as a soft-key entry with a check mark that follows the box.
class CheckBoxSoftKeyItem : public ButtonSoftKeyItem {
public:
    explicit CheckBoxSoftKeyItem(ControlCheckBox& box);

    void on_checked(bool) override { refresh(); }
    MenuItemDescription describe() const override;

private:
    ControlCheckBox& box_;
};

// A close button: its click asks the form window to close. On a Smartphone it is a
// soft-key entry, on a Pocket PC a button on the form.
class ButtonCloseSoftKey : public ButtonSoftKeyItem {
public:
    explicit ButtonCloseSoftKey(ControlButtonBase& button);
    void on_clicked(int) override;
};

class ButtonClose : public ControlButtonImpl {
public:
    explicit ButtonClose(ControlButtonBase& button);
    void on_clicked(int) override;

private:
    ControlButtonBase& button_;
};

// Not drawn: the button's text is the form window's title.
class ButtonCaption : public ControlButtonImpl {
public:
    explicit ButtonCaption(ControlButtonBase& button);
    void on_text_changed(std::u16string_view text) override;

private:
    ControlButtonBase& button_;
};

// Not drawn: the OK button of the title bar stands for it, and tapping that clicks it.
class ButtonTitleOk : public ControlButtonImpl, public ControlSubclass {
public:
    explicit ButtonTitleOk(ControlButtonBase& button);
    ~ButtonTitleOk() override;

    std::intptr_t handle_message(const platform::Message& message, bool& pass_on) override;

private:
    ControlButtonBase& button_;
};

} // namespace skinner
