#pragma once

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <thread>

#include "app/dialogs/form_converting.h"
#include "app/ringtone_job.h"
#include "liba/thread.h"
#include "skinner/controls/control_button.h"
#include "skinner/core/form.h"
#include "skinner/skin/properties.h"
#include "tests/audio/fixtures.h"
#include "tests/support/ui_harness.h"

// The dialogs of saving on a fresh 240 x 320 screen, with the shipped default skin and
// the English texts, under a plain form that stands for the main form.
namespace dialogs_test {

using fixtures::wide;

inline const std::u16string default_skin = u"" MELODRIFT_BIN_DIR "/skins/default/default.skin";
inline const std::u16string english = u"" MELODRIFT_BIN_DIR "/English.lng";

// Where the title bar's OK button lies on a 240 x 320 Pocket PC.
constexpr int ok_x = 227;
constexpr int ok_y = 13;

class DialogsFixture {
public:
    explicit DialogsFixture(platform::ScreenConfig screen = {{240, 320}, platform::DeviceKind::pocket_pc})
        : ui(screen)
        , skin(default_skin, screen.size)
    {
        EXPECT_TRUE(skin.load_language(english));
        parent = std::make_unique<skinner::Form>(nullptr, skin, u"FormReport");
        if (auto* caption = dynamic_cast<skinner::ControlButton*>(parent->find_control(u"btnCaption")))
            caption->set_text(u"Parent");
    }

    ui_test::UiHarness ui;
    skinner::Properties skin;
    std::unique_ptr<skinner::Form> parent;
};

// The conversion form whose loop runs now.
inline dialogs::FormConverting* converting_form()
{
    return dynamic_cast<dialogs::FormConverting*>(skinner::Form::current_modal());
}

// Lets the worker end (it was not held), then moves the test clock past the form's
// next look at it, which closes the form.
inline void let_conversion_end(ui_test::UiHarness& ui)
{
    dialogs::FormConverting* form = converting_form();
    ASSERT_TRUE(form);
    form->job().join();
    ui.clock().advance(std::chrono::milliseconds(100));
}

// Holds the worker at the first step of a pass at or past a fraction of it, until the
// test releases it or the job is asked to stop.
class Gate : public RingtoneJob::Listener {
public:
    Gate(int pass, double fraction)
        : pass_(pass)
        , fraction_(fraction)
    {
    }

    void watch(const RingtoneJob& job) { job_ = &job; }
    void on_progress(int pass, double fraction) override
    {
        if (pass != pass_ || fraction < fraction_ || reached_.is_set())
            return;
        reached_.set();
        while (!released_.load() && !job_->stop_requested())
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    // Waits until the worker is held.
    void wait_reached() { reached_.wait(); }
    void release() { released_ = true; }

private:
    const int pass_;
    const double fraction_;
    const RingtoneJob* job_ = nullptr;
    liba::Event reached_;
    std::atomic<bool> released_{false};
};

} // namespace dialogs_test
