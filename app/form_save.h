#pragma once

#include <string>
#include <string_view>

#include "skinner/controls/control_button.h"
#include "skinner/controls/control_edit.h"
#include "skinner/controls/control_frame.h"
#include "skinner/core/form.h"
#include "skinner/menu/control_menu_main.h"

// Asks for the ring tone's name, proposing one. OK takes the name, Cancel none; a name
// that would leave the ring-tone folder is refused with a message.
class FormSave : public skinner::Form {
public:
    FormSave(skinner::Form* parent, skinner::Properties& skin, std::u16string_view message,
        std::u16string_view default_name);

    // The name when the form closed; empty after Cancel.
    const std::u16string& entered_name() const { return edit_.text(); }

    // A name that stays a file in the folder: no separator, not "." or "..", no
    // control character.
    static bool is_acceptable_name(std::u16string_view name);

    int on_click(skinner::Control* sender, int flag) override;
    // Enter is OK, Escape Cancel.
    bool on_key_down(int key) override;

private:
    void accept();
    void cancel();

    skinner::ControlMenuMain menu_ {*this, u"MenuMain"};
    skinner::ControlButton ok_ {*this, u"btnOk"};
    skinner::ControlButton cancel_ {*this, u"btnCancel"};
    skinner::ControlFrame message_ {*this, u"frmReport"};
    skinner::ControlEdit edit_ {*this, u"edtName"};
};
