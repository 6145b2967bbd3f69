#include "app/dialogs/form_report.h"

#include "skinner/skin/properties.h"

namespace dialogs {

FormReport::FormReport(skinner::Form& parent, skinner::Properties& skin, std::u16string_view message)
    : Form(&parent, skin, u"FormReport")
{
    message_.set_text(message);
}

int FormReport::on_click(skinner::Control* sender, int flag)
{
    if (sender == &ok_) {
        close();
        return 1;
    }
    return Form::on_click(sender, flag);
}

void report(skinner::Form& parent, skinner::Properties& skin, std::u16string_view key)
{
    FormReport form(parent, skin, skin.translate(key));
    form.do_modal();
}

} // namespace dialogs
