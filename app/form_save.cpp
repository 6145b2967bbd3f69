#include "app/form_save.h"

#include <algorithm>

#include "app/form_report.h"
#include "skinner/core/key_codes.h"
#include "skinner/skin/properties.h"

FormSave::FormSave(skinner::Form* parent, skinner::Properties& skin, std::u16string_view message,
    std::u16string_view default_name)
    : Form(parent, skin, u"FormSave")
{
    message_.set_text(message);
    edit_.set_text(default_name);
    edit_.set_selection(0, edit_.text().size());
    set_focus(&edit_);
}

bool FormSave::is_acceptable_name(std::u16string_view name)
{
    if (name == u"." || name == u"..")
        return false;
    return std::none_of(
        name.begin(), name.end(), [](char16_t c) { return c == u'/' || c == u'\\' || c < 0x20 || c == 0x7F; });
}

int FormSave::on_click(skinner::Control* sender, int flag)
{
    if (sender == &ok_)
        accept();
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
        accept();
    else if (key == skinner::key::escape)
        cancel();
    else
        return false;
    return true;
}

void FormSave::accept()
{
    if (!is_acceptable_name(edit_.text())) {
        report(*this, properties().translate(u"Name_not_allowed"));
        return;
    }
    close();
}

void FormSave::cancel()
{
    edit_.set_text(u"");
    close();
}
