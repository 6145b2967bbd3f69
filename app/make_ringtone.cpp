#include "app/make_ringtone.h"

#include "app/form_converting.h"
#include "app/form_report.h"
#include "app/form_save.h"
#include "app/ringtone_name.h"
#include "os/path.h"
#include "platform/screen.h"
#include "skinner/skin/properties.h"

std::u16string make_ringtone(
    skinner::Form& parent, std::u16string_view source, int start, int finish, bool assign)
{
    skinner::Properties& skin = parent.properties();
    const std::u16string folder = ringtone_folder(platform::device_kind() == platform::DeviceKind::smartphone);
    os::make_directories(folder);
    const std::u16string proposal = unique_ringtone_name(folder, os::base_name(source) + u"_", u"mp3");
    const std::u16string message
        = skin.translate(assign ? u"Ringtone_will_be_assigned" : u"Ringtone_will_be_saved") + u" " + folder;
    std::u16string name;
    {
        FormSave save(&parent, skin, message, os::base_name(proposal));
        save.do_modal();
        name = save.entered_name();
    }
    if (name.empty() || !FormSave::is_acceptable_name(name))
        return {};
    const std::u16string target = os::strip_trailing_separator(folder) + u"/" + name + u".mp3";
    RingtoneJob::Outcome outcome = RingtoneJob::Outcome::write_failed;
    {
        FormConverting converting(&parent, skin, source, target, start, finish);
        if (converting.has_room())
            outcome = converting.run();
    }
    if (outcome == RingtoneJob::Outcome::made)
        return target;
    if (outcome != RingtoneJob::Outcome::stopped)
        report(parent, skin.translate(u"Can't_make_ringtone"));
    return {};
}
