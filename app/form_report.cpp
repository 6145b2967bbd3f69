#include "app/form_report.h"

FormReport::FormReport(skinner::Form* parent, skinner::Properties& skin, std::u16string_view message)
    : Form(parent, skin, u"FormReport")
{
    message_.set_text(message);
}

int FormReport::on_click(skinner::Control* sender, int flag)
{
    if (sender != &ok_)
        return Form::on_click(sender, flag);
    close();
    return 1;
}

void report(skinner::Form& parent, std::u16string_view message)
{
    FormReport form(&parent, parent.properties(), message);
    form.do_modal();
}
