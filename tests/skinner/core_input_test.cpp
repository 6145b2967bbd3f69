// Events through the form window to the controls: focus order, capture, keys and
// characters on both devices, timers, and the modal loops.
#include <gtest/gtest.h>

#include "platform/base/keys.h"
#include "platform/input.h"
#include "platform/screen.h"
#include "platform/window.h"
#include "skinner/core/key_codes.h"
#include "tests/skinner/core_fixture.h"

namespace core_test {
namespace {

using platform::DeviceKind;
using skinner::Control;

const platform::ScreenConfig smartphone{{240, 320}, DeviceKind::smartphone};

// The form's window sits under the 26-pixel title bar of a 240 x 320 Pocket PC.
constexpr int form_top = 26;

TEST(CoreFocus, TabAndShiftTabFollowTheTabOrderAndWrap)
{
    CoreFixture fixture(smartphone);
    TestFormWithBoxes form(fixture.properties);
    platform::set_active_window(form.window());
    form.set_active(true);
    // Activating focuses the first in tab order; the panel never wants the focus.
    EXPECT_EQ(form.focused(), &form.top);
    const struct {
        const char* keys;
        const Control* focused;
    } steps[] = {
        {"key Tab", &form.left},
        {"key Tab\nkey Tab", &form.bottom},
        {"key Tab", &form.top}, // wrapped
        {"keydown Shift\nkey Tab\nkeyup Shift", &form.bottom},
        {"key Up", &form.right},
        {"key Down", &form.bottom},
    };
    for (const auto& step : steps) {
        fixture.ui.play(step.keys);
        EXPECT_EQ(form.focused(), step.focused) << step.keys;
    }
    // A hidden or disabled control leaves the order; hiding the focused one moves on.
    form.left.set_enabled(false);
    form.bottom.set_visible(false);
    EXPECT_EQ(form.focused(), &form.top);
    fixture.ui.key("Tab");
    EXPECT_EQ(form.focused(), &form.right);
}

TEST(CoreFocus, WrappingIsTheKeyNotTaken)
{
    CoreFixture fixture(smartphone);
    TestFormWithBoxes form(fixture.properties);
    form.set_active(true);
    form.set_focus(&form.bottom);
    EXPECT_FALSE(form.on_key_down(skinner::key::tab));
    EXPECT_EQ(form.focused(), &form.top);
    EXPECT_TRUE(form.on_key_down(skinner::key::tab));
    EXPECT_TRUE(form.move_focus(false));
    EXPECT_EQ(form.focused(), &form.top);
    EXPECT_FALSE(form.move_focus(false));
    EXPECT_EQ(form.focused(), &form.bottom);
}

TEST(CorePointer, CaptureHoldsThroughADragOutOfTheControl)
{
    CoreFixture fixture;
    TestFormWithBoxes form(fixture.properties);
    // From the green box across the blue one and off the form, released on the bar.
    fixture.ui.drag(50, form_top + 80, 230, 310, 2);
    EXPECT_EQ(form.left.events, (std::vector<std::string>{"down 50,80", "move 140,182", "move 230,284", "up 230,284"}));
    EXPECT_TRUE(form.right.events.empty());
    EXPECT_EQ(form.captured(), nullptr);
    EXPECT_EQ(platform::capture_window(), platform::no_window);
    // The press gave the box the focus.
    EXPECT_EQ(form.focused(), &form.left);
}

TEST(CorePointer, APressOnADisabledControlReachesNobody)
{
    CoreFixture fixture;
    TestFormWithBoxes form(fixture.properties);
    form.right.set_enabled(false);
    form.set_focus(&form.top);
    fixture.ui.tap(180, form_top + 80);
    EXPECT_TRUE(form.right.events.empty());
    EXPECT_EQ(form.focused(), &form.top);
    EXPECT_EQ(form.captured(), nullptr);
}

TEST(CorePointer, DisablingTheContainerLiftsTheHeldButton)
{
    CoreFixture fixture;
    TestFormWithBoxes form(fixture.properties);
    fixture.ui.press(50, form_top + 80);
    form.set_enabled(false);
    EXPECT_EQ(form.left.events, (std::vector<std::string>{"down 50,80", "up 50,80"}));
    EXPECT_EQ(form.captured(), nullptr);
}

// On a Pocket PC keys and characters reach the form as one message in its loop.
TEST(CoreKeys, PocketPcCharactersWithoutAKeyCarryNoKey)
{
    CoreFixture fixture;
    TestFormWithBoxes form(fixture.properties);
    form.set_focus(&form.top);
    fixture.ui.play_during(
        "type !#(.\nkey Enter\nkey F", [&] { form.do_modal(); }, [&] { form.close(); });
    EXPECT_EQ(form.top.typed, u"!#(.");
    // The punctuation never turned into Page Up, End, Left or Delete.
    EXPECT_EQ(form.top.keys, (std::vector<int>{0, 0, 0, 0, skinner::key::enter, skinner::key::letter_a + 5}));
}

TEST(CoreKeys, PocketPcKeyReachesKeyDownOnlyWhenItsCharacterWasNotTaken)
{
    CoreFixture fixture;
    TestFormWithBoxes form(fixture.properties);
    form.set_focus(&form.top);
    form.top.take_text = true;
    platform::set_active_window(form.window());
    // A key and the character it typed, both waiting when the loop looks.
    platform::input_key('A', true);
    platform::input_text(u"a");
    platform::input_key('A', false);
    fixture.ui.play_during(
        "wait 10", [&] { form.do_modal(); }, [&] { form.close(); });
    EXPECT_EQ(form.top.typed, u"a");
    EXPECT_TRUE(form.top.keys.empty());
}

TEST(CoreKeys, SmartphoneCharactersBelowSpaceNeverReachText)
{
    CoreFixture fixture(smartphone);
    TestFormWithBoxes form(fixture.properties);
    platform::set_active_window(form.window());
    form.set_active(true);
    fixture.ui.play("type a\nkey Tab");
    platform::input_text(std::u16string(1, u'\t'));
    fixture.ui.run_until_idle();
    EXPECT_EQ(form.top.typed, u"a");
    EXPECT_EQ(form.top.keys, (std::vector<int>{skinner::key::tab}));
}

TEST(CoreTimers, ARestartedTimerNeverDeliversItsOldId)
{
    CoreFixture fixture;
    TestFormWithBoxes form(fixture.properties);
    const int first = form.top.start_timer(0.1);
    const int second = form.top.start_timer(0.25);
    EXPECT_NE(first, second);
    fixture.ui.advance(std::chrono::milliseconds(600));
    EXPECT_EQ(form.top.timers, (std::vector<int>{second, second}));
    form.top.stop_timer();
    fixture.ui.advance(std::chrono::milliseconds(600));
    EXPECT_EQ(form.top.timers.size(), 2u);
}

// A dialog opened from a tap on the main form: the main form is disabled while the
// dialog's loop runs, and enabled again after it.
TEST(CoreModal, ANestedLoopDisablesItsOwnerUntilItEnds)
{
    CoreFixture fixture;
    TestFormWithBoxes main_form(fixture.properties);
    TestForm dialog(fixture.properties, &main_form, u"Dialog");
    Box dialog_box(dialog, u"box", skinner::NodeMode::unskinned);
    dialog_box.set_rectangle({0, 0}, {200, 100});
    bool owner_enabled_during = true;
    dialog_box.on_release = [&] {
        owner_enabled_during = platform::is_window_enabled(main_form.window());
        dialog.close();
    };
    // Centred in the work area, as StartPosition 1 says.
    EXPECT_EQ(platform::window_rect(dialog.window()), (platform::Rect{20, 110, 200, 100}));

    main_form.top.on_release = [&] { dialog.do_modal(); };
    fixture.ui.play_during(
        "tap 100 40\nwait 20\ntap 100 150\nwait 20\ntap 50 100", [&] { main_form.do_modal(); },
        [&] { main_form.close(); });
    EXPECT_FALSE(fixture.ui.failed());
    EXPECT_FALSE(owner_enabled_during);
    EXPECT_TRUE(platform::is_window_enabled(main_form.window()));
    EXPECT_EQ(dialog_box.events, (std::vector<std::string>{"down 80,40", "up 80,40"}));
    // After the dialog, taps reach the main form again.
    EXPECT_EQ(main_form.left.events.size(), 2u);
    EXPECT_EQ(skinner::Form::current_modal(), nullptr);
}

TEST(CoreModal, AStaleEndOfLoopForAGoneFormDoesNotEndTheNext)
{
    CoreFixture fixture;
    TestFormWithBoxes main_form(fixture.properties);
    {
        TestForm gone(fixture.properties, &main_form, u"Dialog");
        platform::post_message(gone.window(), skinner::Form::end_modal_message);
    }
    TestForm next(fixture.properties, &main_form, u"Dialog");
    Box box(next, u"box", skinner::NodeMode::unskinned);
    box.set_rectangle({0, 0}, {200, 100});
    fixture.ui.play_during(
        "wait 10\ntap 100 150", [&] { next.do_modal(); }, [&] { next.close(); });
    EXPECT_FALSE(fixture.ui.failed());
    EXPECT_EQ(box.events.size(), 2u);
}

TEST(CoreModal, AFormThatWillNotCloseKeepsItsLoop)
{
    CoreFixture fixture;
    class Stubborn : public TestForm {
    public:
        using TestForm::TestForm;
        bool can_close() override { return ++asked > 1; }
        int asked = 0;
    } form(fixture.properties);
    Box box(form, u"boxTop");
    box.on_release = [&] { form.close(); };
    fixture.ui.play_during(
        "tap 100 40\nwait 10\ntap 100 40", [&] { form.do_modal(); }, [] {});
    EXPECT_FALSE(fixture.ui.failed());
    EXPECT_EQ(form.asked, 2);
    EXPECT_FALSE(form.in_modal());
}

TEST(CoreModal, TextFromAnotherCopyBringsTheFormToTheFront)
{
    CoreFixture fixture;
    TestFormWithBoxes main_form(fixture.properties);
    TestForm other(fixture.properties, nullptr, u"Dialog");
    platform::set_active_window(other.window());
    const std::u16string text = u"--start 10";
    platform::CopyData data{0, text.data(), static_cast<std::uint32_t>(text.size() * sizeof(char16_t))};
    EXPECT_EQ(platform::send_message(
                  main_form.window(), platform::messages::copy_data, 0, reinterpret_cast<std::intptr_t>(&data)),
        1);
    EXPECT_EQ(platform::active_window(), main_form.window());
}

} // namespace
} // namespace core_test
