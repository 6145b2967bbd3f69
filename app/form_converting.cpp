#include "app/form_converting.h"

#include "skinner/skin/properties.h"

namespace {

constexpr double progress_period = 0.1;

} // namespace

FormConverting::FormConverting(skinner::Form* parent, skinner::Properties& skin, std::u16string_view source,
    std::u16string_view target, int start, int finish)
    : Form(parent, skin, u"FormConverting")
    , job_(source, target, start, finish)
{
    caption_.set_text(skin.translate(u"Converting1"));
}

FormConverting::~FormConverting()
{
    stop_timer(timer_);
    job_.stop();
}

RingtoneJob::Outcome FormConverting::run()
{
    job_.start();
    job_.set_priority(-1);
    timer_ = start_timer(progress_period);
    do_modal();
    stop_timer(timer_);
    timer_ = 0;
    // Closed before the job ended (Cancel, or the window's own close): stop it, and
    // it removes what it wrote.
    job_.stop();
    return job_.outcome();
}

void FormConverting::show_progress()
{
    caption_.set_text(properties().translate(job_.pass() == 1 ? u"Converting1" : u"Converting2"));
    bar_.set_value(job_.progress());
}

void FormConverting::on_timer_message(int id)
{
    if (id == timer_ && timer_ != 0) {
        show_progress();
        if (!job_.is_running())
            close();
        return;
    }
    Form::on_timer_message(id);
}

int FormConverting::on_click(skinner::Control* sender, int flag)
{
    if (sender != &cancel_)
        return Form::on_click(sender, flag);
    job_.stop();
    close();
    return 1;
}

bool FormConverting::can_close()
{
    job_.stop();
    return true;
}
