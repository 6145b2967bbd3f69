#include "app/make_ringtone.h"

#include "app/dialogs/form_converting.h"
#include "app/dialogs/form_report.h"
#include "app/dialogs/form_save.h"
#include "app/ringtone_name.h"
#include "app/ringtone_setting.h"
#include "os/path.h"
#include "skinner/skin/device.h"
#include "skinner/skin/properties.h"

namespace {

// The name the user settles on for a new ring tone in folder; empty when cancelled.
std::u16string ask_for_name(skinner::Form& parent, skinner::Properties& skin, const std::u16string& folder,
    std::u16string_view source, bool assign)
{
    const std::u16string proposal = unique_ringtone_name(folder, os::base_name(source) + u"_", u"mp3");
    const std::u16string message =
        skin.translate(assign ? u"Ringtone_will_be_assigned" : u"Ringtone_will_be_saved") + u" " + folder;
    dialogs::FormSave form(parent, skin, message, os::base_name(proposal));
    form.do_modal();
    return form.entered_name();
}

} // namespace

std::u16string make_ringtone(
    skinner::Form& parent, skinner::Properties& skin, std::u16string_view source, int start, int finish, bool assign)
{
    const std::u16string folder = ringtone_folder(skinner::is_smartphone());
    os::make_directories(folder);
    const std::u16string name = ask_for_name(parent, skin, folder, source, assign);
    if (name.empty())
        return {};
    const std::u16string target = os::strip_trailing_separator(folder) + u"/" + name + u".mp3";
    dialogs::FormConverting form(parent, skin, source, target, start, finish);
    // Without room nothing is tried: a file of that name that exists already was not
    // made now.
    if (form.has_room()) {
        const RingtoneJob::Outcome outcome = form.run();
        if (outcome == RingtoneJob::Outcome::made)
            return target;
        if (outcome == RingtoneJob::Outcome::stopped)
            return {};
    }
    dialogs::report(parent, skin, u"Can't_make_ringtone");
    return {};
}

bool assign_ringtone(skinner::Form& parent, skinner::Properties& skin, std::u16string_view path)
{
    if (assign_ringtone(path))
        return true;
    dialogs::report(parent, skin, u"Can't_assign_ringtone");
    return false;
}
