#include "app/dialogs/form_save.h"

#include "app/dialogs/form_report.h"
#include "app/ringtone_name.h"

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
    if (sender == &ok_ || sender == &name_) {
        close();
        return 1;
    }
    if (sender == &cancel_) {
        name_.set_text(u"");
        close();
        return 1;
    }
    return Form::on_click(sender, flag);
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
