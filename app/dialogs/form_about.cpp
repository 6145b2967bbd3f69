#include "app/dialogs/form_about.h"

#include "app/product.h"
#include "liba/log.h"
#include "platform/screen.h"
#include "skinner/skin/properties.h"

namespace dialogs {

FormAbout::FormAbout(skinner::Form* parent, skinner::Properties& skin, std::u16string_view name,
    std::u16string_view title)
    : Form(parent, skin, name)
{
    controls_.product.set_text(title);
}

int FormAbout::on_click(skinner::Control* sender, int flag)
{
    if (sender && sender->id() == u"btnOk") {
        close();
        return 1;
    }
    return Form::on_click(sender, flag);
}

void show_about(skinner::Form& parent, std::u16string_view language_path)
{
    const platform::Size screen = platform::screen_size();
    skinner::Properties skin;
    skin.load_skin_and_language(std::u16string(dialogs_skin_path), language_path, screen);
    if (!skin.check_version(skin_version_key, screen)) {
        liba::log() << u"About: the dialogs skin cannot be used on this screen\n";
        return;
    }
    FormAbout form(&parent, skin, u"About", product_title);
    form.do_modal();
}

} // namespace dialogs
