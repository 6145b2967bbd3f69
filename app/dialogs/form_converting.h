#pragma once

#include <string_view>

#include "app/ringtone_job.h"
#include "skinner/controls/control_button.h"
#include "skinner/controls/control_frame.h"
#include "skinner/controls/control_progress.h"
#include "skinner/core/form.h"
#include "skinner/menu/control_menu_main.h"

namespace dialogs {

// The face of a ring-tone conversion while its worker runs: a caption naming the
// pass, a bar showing how far it is, and Cancel. Everything here happens on the
// user-interface thread: a 0.1 s timer reads the job's pass and progress, and closes
// the form once the worker has ended. Closing the form in any other way while the job
// runs cancels it.
class FormConverting : public skinner::Form {
public:
    // The listener, when given, hears the worker's milestones on the worker's thread.
    FormConverting(skinner::Form& parent, skinner::Properties& skin, std::u16string_view source,
        std::u16string_view target, int start, int finish, RingtoneJob::Listener* listener = nullptr);

    bool has_room() const { return job_.has_room(); }
    // Starts the worker and shows the form until the worker has ended or the user has
    // cancelled; answers how the job ended (stopped when cancelled).
    RingtoneJob::Outcome run();

    RingtoneJob& job() { return job_; }

    int on_click(skinner::Control* sender, int flag) override;
    bool can_close() override;
    void on_timer_message(int id) override;

private:
    void show_progress();

    RingtoneJob job_;
    skinner::ControlMenuMain menu_{*this, u"MenuMain"};
    skinner::ControlButton cancel_{*this, u"btnCancel"};
    skinner::ControlProgress bar_{*this, u"pbConverting"};
    skinner::ControlFrame caption_{*this, u"frmConverting"};
};

} // namespace dialogs
