#include "tests/support/ui_harness.h"

#include <gtest/gtest.h>

#include <vector>

#include "platform/base/message_queue.h"
#include "platform/window.h"

namespace ui_test {

namespace {

std::string point(int x, int y) { return std::to_string(x) + " " + std::to_string(y); }

} // namespace

UiHarness::UiHarness(const platform::ScreenConfig& screen)
    : session_(screen)
    , backend_(platform::open_backend("headless", {}))
    , player_(std::make_unique<platform::ScriptPlayer>(
          std::vector<platform::ScriptStep>{}, *backend_, platform::ScriptPlayer::AtEnd::stay))
{
}

UiHarness::~UiHarness() = default;

bool UiHarness::append(std::string_view script)
{
    std::vector<platform::ScriptStep> steps;
    std::string error;
    if (!platform::parse_script(std::string(script), steps, error)) {
        ADD_FAILURE() << error;
        return false;
    }
    player_->append(std::move(steps));
    return true;
}

void UiHarness::play_during(std::string_view script, const std::function<void()>& run, std::function<void()> finish)
{
    if (!append(script))
        return;
    player_->when_done(std::move(finish));
    run();
    run_until_idle();
}

void UiHarness::play_next(std::string_view script, std::function<void()> finish)
{
    if (!append(script))
        return;
    if (finish)
        player_->when_done(std::move(finish));
}

void UiHarness::play(std::string_view script)
{
    if (!append(script))
        return;
    auto& queue = *platform::MessageQueue::current();
    for (;;) {
        run_until_idle();
        if (player_->finished() || player_->failed())
            break;
        player_->play(queue.next_timer_due().value_or(platform::Clock::time_point::max()));
    }
    run_until_idle();
}

void UiHarness::run_until_idle()
{
    platform::Message message;
    while (platform::peek_message(message)) {
        if (message.message == platform::messages::quit)
            return;
        platform::dispatch(message);
    }
}

void UiHarness::tap(int x, int y) { play("tap " + point(x, y)); }
void UiHarness::double_tap(int x, int y) { play("doubletap " + point(x, y)); }
void UiHarness::press(int x, int y) { play("press " + point(x, y)); }
void UiHarness::move(int x, int y) { play("move " + point(x, y)); }
void UiHarness::release(int x, int y) { play("release " + point(x, y)); }

void UiHarness::drag(int from_x, int from_y, int to_x, int to_y, int steps)
{
    std::string script = "press " + point(from_x, from_y) + "\n";
    for (int i = 1; i <= steps; ++i)
        script += "move " + point(from_x + (to_x - from_x) * i / steps, from_y + (to_y - from_y) * i / steps) + "\n";
    play(script + "release " + point(to_x, to_y));
}

void UiHarness::key(std::string_view name) { play("key " + std::string(name)); }
void UiHarness::key_down(std::string_view name) { play("keydown " + std::string(name)); }
void UiHarness::key_up(std::string_view name) { play("keyup " + std::string(name)); }
void UiHarness::type(std::string_view text) { play("type " + std::string(text)); }

void UiHarness::advance(std::chrono::milliseconds time) { play("wait " + std::to_string(time.count())); }

} // namespace ui_test
