#pragma once

#include <string_view>

#include "skinner/controls/control_button.h"
#include "skinner/controls/control_frame.h"
#include "skinner/core/form.h"
#include "skinner/menu/control_menu_main.h"

namespace dialogs {

// A message and OK, which closes it.
class FormReport : public skinner::Form {
public:
    FormReport(skinner::Form& parent, skinner::Properties& skin, std::u16string_view message);

    int on_click(skinner::Control* sender, int flag) override;

private:
    skinner::ControlMenuMain menu_{*this, u"MenuMain"};
    skinner::ControlButton ok_{*this, u"btnOk"};
    skinner::ControlFrame message_{*this, u"frmReport"};
};

// Shows the translation of the language key in a report until the user closes it.
void report(skinner::Form& parent, skinner::Properties& skin, std::u16string_view key);

} // namespace dialogs
