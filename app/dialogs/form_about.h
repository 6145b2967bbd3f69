#pragma once

#include <string_view>

#include "skinner/controls/control_frame.h"
#include "skinner/core/form.h"
#include "skinner/menu/control_menu_main.h"

namespace dialogs {

// The controls of the About form that the program makes itself.
struct AboutControls {
    explicit AboutControls(skinner::Form& form)
        : product(form, u"frmProduct")
        , menu(form, u"MenuMain")
    {
    }

    skinner::ControlFrame product;
    skinner::ControlMenuMain menu;
};

// The product's name and version, drawn with the dialogs skin; "btnOk" closes it.
class FormAbout : public skinner::Form {
public:
    FormAbout(skinner::Form* parent, skinner::Properties& skin, std::u16string_view name, std::u16string_view title);

    int on_click(skinner::Control* sender, int flag) override;

private:
    AboutControls controls_ {*this};
};

// Shows the About form over the parent, in the dialogs skin and the given language,
// and returns when it is closed. A dialogs skin that cannot be used shows nothing.
void show_about(skinner::Form& parent, std::u16string_view language_path);

} // namespace dialogs
