#pragma once

#include <string_view>

#include "skinner/controls/control_button.h"
#include "skinner/controls/control_frame.h"
#include "skinner/core/form.h"
#include "skinner/menu/control_menu_main.h"

// A message with an OK button.
class FormReport : public skinner::Form {
public:
    FormReport(skinner::Form* parent, skinner::Properties& skin, std::u16string_view message);

    int on_click(skinner::Control* sender, int flag) override;

private:
    skinner::ControlMenuMain menu_ {*this, u"MenuMain"};
    skinner::ControlButton ok_ {*this, u"btnOk"};
    skinner::ControlFrame message_ {*this, u"frmReport"};
};

// Shows the message over the parent and returns when it is closed.
void report(skinner::Form& parent, std::u16string_view message);
