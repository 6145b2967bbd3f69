#pragma once

#include <string_view>

#include "app/ringtone_job.h"
#include "skinner/controls/control_button.h"
#include "skinner/controls/control_frame.h"
#include "skinner/controls/control_progress.h"
#include "skinner/core/form.h"
#include "skinner/menu/control_menu_main.h"

// The face of a ring-tone conversion while it runs: its step as the caption, its
// progress on the bar, and Cancel. The job works on its own thread; everything the
// user sees is set here, on the user-interface thread, from a 0.1 s timer.
class FormConverting : public skinner::Form {
public:
    FormConverting(skinner::Form* parent, skinner::Properties& skin, std::u16string_view source,
        std::u16string_view target, int start, int finish);
    // Stops and joins the job.
    ~FormConverting() override;

    bool has_room() const { return job_.has_room(); }
    // Runs the job with the form shown until it ends or is cancelled (closing the form
    // cancels too); the job's outcome.
    RingtoneJob::Outcome run();

    int on_click(skinner::Control* sender, int flag) override;
    void on_timer_message(int id) override;
    bool can_close() override;

    const RingtoneJob& job() const { return job_; }

private:
    void show_progress();

    skinner::ControlMenuMain menu_ {*this, u"MenuMain"};
    skinner::ControlButton cancel_ {*this, u"btnCancel"};
    skinner::ControlProgress bar_ {*this, u"pbConverting"};
    skinner::ControlFrame caption_ {*this, u"frmConverting"};
    RingtoneJob job_;
    int timer_ = 0;
};
