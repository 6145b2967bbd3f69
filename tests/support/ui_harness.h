#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "liba/nocopy.h"
#include "platform/backend.h"
#include "platform/base/clock.h"
#include "platform/screen.h"
#include "platform/script.h"
#include "platform/session.h"

// A fresh screen for one test, in the test's own process: its own session (no window,
// bar or box left from another test), the headless back end, and a test clock, so
// that nothing waits in real time. Input is played as a script would play it, through
// the same paths as a user's; every call runs the loop until the program is idle
// again, also inside the modal loops that the input opens.
namespace ui_test {

class UiHarness : liba::Nocopy {
public:
    explicit UiHarness(const platform::ScreenConfig& screen = {});
    ~UiHarness();

    void tap(int x, int y);
    void double_tap(int x, int y);
    void press(int x, int y);
    void move(int x, int y);
    void release(int x, int y);
    // Press at one point, move there in a few steps, release.
    void drag(int from_x, int from_y, int to_x, int to_y, int steps = 4);
    // Key names as in scripts: Enter, Escape, Back, Tab, F1, Left, A, 7, ...
    void key(std::string_view name);
    void key_down(std::string_view name);
    void key_up(std::string_view name);
    void type(std::string_view text);
    // Moves the test clock on, firing every timer that falls due on the way.
    void advance(std::chrono::milliseconds time);
    // Any script steps, one a line.
    void play(std::string_view script);
    // Plays the script while a loop that run starts (a form's modal loop) waits for
    // input; when the script is done, finish ends that loop (closes the form, say).
    void play_during(std::string_view script, const std::function<void()>& run, std::function<void()> finish);
    // From a finish action: more steps for the loops still running, and what to do
    // when they are done.
    void play_next(std::string_view script, std::function<void()> finish = {});
    // Dispatches what is queued until nothing is left (the clock stands still).
    void run_until_idle();

    // A step failed, or a loop waited for input that never came (the reason is on
    // standard error). The harness then has posted quit, which every loop obeys.
    bool failed() const { return player_->failed(); }
    const platform::Surface& screen() const { return platform::screen_surface(); }
    platform::TestClock& clock() { return clock_; }

private:
    bool append(std::string_view script);

    platform::Session session_;
    platform::TestClock clock_;
    std::unique_ptr<platform::Backend> backend_;
    std::unique_ptr<platform::ScriptPlayer> player_;
};

} // namespace ui_test
