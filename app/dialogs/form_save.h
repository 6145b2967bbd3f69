#pragma once

#include <string>
#include <string_view>

#include "skinner/controls/control_button.h"
#include "skinner/controls/control_edit.h"
#include "skinner/controls/control_frame.h"
#include "skinner/core/form.h"
#include "skinner/menu/control_menu_main.h"

namespace dialogs {

// Asks for the ring tone's name: a message, and the proposed name selected in the
// text field. OK keeps the name, Cancel empties it. A name that would leave the
// ring-tone folder is refused with a report and the dialog stays open.
class FormSave : public skinner::Form {
public:
    FormSave(skinner::Form& parent, skinner::Properties& skin, std::u16string_view message,
        std::u16string_view default_name);

    int on_click(skinner::Control* sender, int flag) override;
    // Enter is OK and Escape Cancel, also while the name field has the focus.
    bool on_key_down(int key) override;
    bool can_close() override;

    // The name as it stands; empty when the user cancelled.
    const std::u16string& entered_name() const { return name_.text(); }

private:
    void cancel();

    skinner::ControlMenuMain menu_{*this, u"MenuMain"};
    skinner::ControlButton ok_{*this, u"btnOk"};
    skinner::ControlButton cancel_{*this, u"btnCancel"};
    skinner::ControlFrame message_{*this, u"frmReport"};
    skinner::ControlEdit name_{*this, u"edtName"};
};

} // namespace dialogs
