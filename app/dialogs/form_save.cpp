#include "app/dialogs/form_save.h"

#include "app/dialogs/form_report.h"
#include "app/ringtone_name.h"
#include "skinner/core/key_codes.h"

namespace dialogs {

FormSave::FormSave(
    skinner::Form& parent, skinner::Properties& skin, std::u16string_view message, std::u16string_view default_name)
    : Form(&parent, skin, u"FormSave")
{
    message_.set_text(message);
    name_.set_text(default_name);
    name_.set_selection(0, name_.text().size());
    set_focus(&name_);
}

int FormSave::on_click(skinner::Control* sender, int flag)
{
    if (sender == &ok_)
        close();
    else if (sender == &cancel_)
        cancel();
    else
        return Form::on_click(sender, flag);
    return 1;
}

bool FormSave::on_key_down(int key)
{
    if (Form::on_key_down(key))
        return true;
    if (key == skinner::key::enter)
        close();
    else if (key == skinner::key::escape)
        cancel();
    else
        return false;
    return true;
}

void FormSave::cancel()
{
    name_.set_text(u"");
    close();
}

// Every way of closing keeps the name, so every way checks it.
bool FormSave::can_close()
{
    if (is_acceptable_ringtone_name(entered_name()))
        return true;
    report(*this, properties(), u"Name_not_allowed");
    set_focus(&name_);
    return false;
}

} // namespace dialogs
