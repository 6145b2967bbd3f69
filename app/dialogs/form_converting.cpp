#include "app/dialogs/form_converting.h"

#include "skinner/skin/properties.h"

namespace dialogs {

namespace {

constexpr double progress_period = 0.1;

std::u16string_view pass_caption(int pass) { return pass == 1 ? u"Converting1" : u"Converting2"; }

} // namespace

FormConverting::FormConverting(skinner::Form& parent, skinner::Properties& skin, std::u16string_view source,
    std::u16string_view target, int start, int finish, RingtoneJob::Listener* listener)
    : Form(&parent, skin, u"FormConverting")
    , job_(source, target, start, finish, listener)
{
    caption_.set_text(skin.translate(pass_caption(1)));
}

RingtoneJob::Outcome FormConverting::run()
{
    job_.set_priority(-1);
    job_.start();
    bar_.start_timer(progress_period);
    do_modal();
    bar_.stop_timer();
    // The loop may also have ended without the form closing (the program quits).
    job_.stop();
    return job_.outcome();
}

int FormConverting::on_click(skinner::Control* sender, int flag)
{
    if (sender == &cancel_) {
        close();
        return 1;
    }
    return Form::on_click(sender, flag);
}

bool FormConverting::can_close()
{
    // The worker leaves no file of its own behind when stopped; one that already
    // ended keeps its outcome.
    job_.stop();
    return true;
}

void FormConverting::on_timer_message(int id)
{
    Form::on_timer_message(id);
    if (id != bar_.timer_id())
        return;
    if (!job_.is_running()) {
        close();
        return;
    }
    show_progress();
}

void FormConverting::show_progress()
{
    caption_.set_text(properties().translate(pass_caption(job_.pass())));
    bar_.set_value(job_.progress());
}

} // namespace dialogs
