#include "platform/shell.h"

#include <gtest/gtest.h>

#include <optional>
#include <thread>

#include "platform/base/keys.h"
#include "platform/screen.h"
#include "platform/window.h"
#include "tests/platform/probe_window.h"
#include "tests/platform/thread_runner.h"
#include "tests/support/ui_harness.h"

using namespace platform;
using namespace platform_test;
using namespace std::chrono_literals;

namespace {

void tap(Point p)
{
    deliver_pointer(messages::left_down, p);
    deliver_pointer(messages::left_up, p);
}

} // namespace

TEST(ScreenRules, BarHeightsAndWorkAreaFollowDeviceAndWidth)
{
    struct Case {
        ScreenConfig config;
        int bar;
    };
    const Case cases[] = {
        {{{240, 320}, DeviceKind::pocket_pc}, 26},
        {{{480, 640}, DeviceKind::pocket_pc}, 52},
        {{{640, 480}, DeviceKind::pocket_pc}, 52},
        {{{176, 220}, DeviceKind::smartphone}, 20},
        {{{240, 320}, DeviceKind::smartphone}, 27},
        {{{480, 640}, DeviceKind::smartphone}, 54},
        {{{320, 240}, DeviceKind::smartphone}, 0},
    };
    for (const auto& c : cases) {
        configure_screen(c.config);
        EXPECT_EQ(bar_height(), c.bar) << c.config.size.width;
        EXPECT_EQ(work_area(), (Rect{0, c.bar, c.config.size.width, c.config.size.height - 2 * c.bar}));
    }
    configure_screen({{240, 320}, DeviceKind::pocket_pc});
    set_full_screen(true);
    EXPECT_EQ(work_area(), (Rect{0, 0, 240, 320}));
    set_full_screen(false);
    configure_screen({});
    EXPECT_EQ(platform_type(), u"PocketPC");
}

TEST(ScreenRules, RotationSwapsTheScreenAndTellsEveryWindow)
{
    run_on_own_thread([] {
        configure_screen({});
        Probe a({0, 60, 100, 100});
        Probe b({0, 60, 100, 100});
        rotate_screen();
        EXPECT_EQ(screen_size(), (Size{640, 480}));
        for (const Probe* r : {&a, &b}) {
            ASSERT_EQ(r->of(messages::setting_change).size(), 1u);
            EXPECT_EQ(r->of(messages::setting_change)[0].wparam, setting_screen);
        }
        rotate_screen();
        EXPECT_EQ(screen_size(), (Size{480, 640}));
    });
}

TEST(Shell, BarButtonsPostTheirCommandsAndTheTitleButtonClosesOrConfirms)
{
    run_on_own_thread([] {
        configure_screen({});
        Probe window({0, 52, 480, 536});
        set_active_window(window.handle);
        set_menu_bar(window.handle, {{u"Menu", 40000, true}, {u"Off", 40001, false}});

        tap({100, 620});  // left soft key
        tap({300, 620});  // disabled right one
        press_soft_key(0); // F1
        drain();
        const auto commands = window.of(messages::command);
        ASSERT_EQ(commands.size(), 2u);
        EXPECT_EQ(commands[0].wparam, 40000u);
        EXPECT_EQ(commands[1].wparam, 40000u);
        EXPECT_TRUE(window.of(messages::left_down).empty());

        show_ok_button(window.handle, true);
        tap({470, 10});
        drain();
        ASSERT_EQ(window.of(messages::command).size(), 3u);
        EXPECT_EQ(window.of(messages::command)[2].wparam, command_ok);
        show_ok_button(window.handle, false);
        remove_menu_bar(window.handle);
    });
}

TEST(Shell, BackKeyIsAHotKeyOnASmartphoneAndEscapeElsewhere)
{
    run_on_own_thread([] {
        configure_screen({{240, 320}, DeviceKind::smartphone});
        Probe window({0, 27, 240, 266});
        set_active_window(window.handle);
        press_back_key(false);
        press_back_key(true);
        drain();
        const auto hot = window.of(messages::hot_key);
        ASSERT_EQ(hot.size(), 2u);
        EXPECT_EQ(hot[0].lparam >> 16, static_cast<std::intptr_t>(keys::escape));
        EXPECT_EQ(hot[1].lparam & 0x1000, 0x1000);

        configure_screen({});
        press_back_key(false);
        drain();
        ASSERT_EQ(window.of(messages::key_down).size(), 1u);
        EXPECT_EQ(window.of(messages::key_down)[0].wparam, keys::escape);
    });
}

TEST(Shell, PopupMenuIsOperatedByKeysAndByTaps)
{
    run_on_own_thread([] {
        configure_screen({});
        Probe owner({0, 52, 480, 536});
        set_active_window(owner.handle);
        const std::vector<PopupItem> items{
            {u"Open", u"", 11, true, false, false, {}},
            {u"Greyed", u"", 12, false, false, true, {}},
            {u"More", u"", 0, true, false, false, {{u"Deep", u"", 31, true, true, false, {}}}},
        };

        // Down skips nothing the first time, the greyed entry the second time.
        deliver_key(messages::key_down, keys::down);
        deliver_key(messages::key_down, keys::down);
        deliver_key(messages::key_down, keys::right);
        deliver_key(messages::key_down, keys::enter); // in the sub-menu: nothing lit yet
        deliver_key(messages::key_down, keys::down);
        deliver_key(messages::key_down, keys::enter);
        EXPECT_EQ(track_popup_menu(items, {100, 300}, owner.handle), 31u);

        deliver_key(messages::key_down, keys::escape);
        EXPECT_EQ(track_popup_menu(items, {100, 300}, owner.handle), 0u);

        // A tap on the first row chooses it; a tap outside dismisses.
        tap({110, 305});
        EXPECT_EQ(track_popup_menu(items, {100, 300}, owner.handle), 11u);
        tap({5, 100});
        EXPECT_EQ(track_popup_menu(items, {100, 300}, owner.handle), 0u);
        EXPECT_TRUE(owner.of(messages::left_down).empty());
        EXPECT_EQ(capture_window(), no_window);
    });
}

TEST(Shell, PopupMenuNearTheBottomOpensUpwardsInsideTheScreen)
{
    run_on_own_thread([] {
        configure_screen({});
        Probe owner({0, 52, 480, 536});
        set_active_window(owner.handle);
        Rect seen_rect;
        // Reads the menu window's place from inside its loop, then dismisses it.
        WindowSpec spec;
        spec.procedure = [&](const Message& m) -> std::intptr_t {
            if (m.message == messages::timer) {
                for (const WindowHandle w : top_level_windows())
                    if (window_class(w) == u"#PopupMenu")
                        seen_rect = window_rect(w);
                deliver_key(messages::key_down, keys::escape);
                kill_timer(m.window, 1);
            }
            return default_window_procedure(m);
        };
        const WindowHandle helper = create_window(spec);
        set_timer(helper, 1, 1);
        track_popup_menu({{u"One", u"", 1, true, false, false, {}}}, {470, 635}, owner.handle);
        destroy_window(helper);
        EXPECT_FALSE(seen_rect.empty());
        EXPECT_LE(seen_rect.right(), 480);
        EXPECT_LE(seen_rect.bottom(), 640);
        EXPECT_LT(seen_rect.y, 635);
    });
}

struct HoldCase {
    const char* name;
    const char* script;
    bool held;
};

class TapAndHold : public testing::TestWithParam<HoldCase> {};

// On the test clock: half a second passes without anyone sleeping.
TEST_P(TapAndHold, NeedsTheStylusStillForHalfASecond)
{
    ui_test::UiHarness ui;
    Probe window({0, 52, 480, 536});
    std::optional<bool> held;
    window.on_message = [&](const Message& m) {
        if (m.message == messages::left_down)
            held = recognize_tap_and_hold(window.handle, {point_param_x(m.lparam), point_param_y(m.lparam)});
    };
    const auto start = platform::now();
    ui.play(GetParam().script);
    EXPECT_FALSE(ui.failed());
    EXPECT_EQ(held, GetParam().held);
    EXPECT_GE(platform::now() - start, std::chrono::milliseconds(600));
    // Whatever the answer, the lift still reaches the window.
    EXPECT_EQ(window.of(messages::left_up).size(), 1u);
}

INSTANTIATE_TEST_SUITE_P(Shell, TapAndHold,
    testing::Values(HoldCase{"Held", "press 50 102\nwait 600\nrelease 50 102", true},
        HoldCase{"LiftedFirst", "press 50 102\nwait 200\nrelease 50 102\nwait 400", false},
        HoldCase{"TrembleIsStillHolding", "press 50 102\nmove 51 103\nwait 600\nrelease 51 103", true},
        HoldCase{"MovedAway", "press 50 102\nmove 80 102\nwait 600\nrelease 80 102", false}),
    [](const testing::TestParamInfo<HoldCase>& info) { return std::string(info.param.name); });

TEST(Shell, MessageBoxesAreRecordedAndAnsweredByThePresenterOnItsOwnThread)
{
    const auto before = shown_message_boxes().size();
    EXPECT_EQ(message_box({no_window, u"Default skin not found", u"Warning", MessageBoxButtons::ok}), answer_ok);
    int presented = 0;
    set_message_box_presenter([&presented](const MessageBoxRequest& r) {
        ++presented;
        return r.buttons == MessageBoxButtons::yes_no ? answer_no : answer_cancel;
    });
    EXPECT_EQ(message_box({no_window, u"Replace?", u"Save", MessageBoxButtons::yes_no}), answer_no);
    // A worker's box never reaches the desktop's message box: it goes to standard
    // error and takes the first button.
    std::thread([] { EXPECT_EQ(message_box({no_window, u"Worker failed", u"Gluck", MessageBoxButtons::ok}), answer_ok); })
        .join();
    set_message_box_presenter(nullptr);
    EXPECT_EQ(presented, 1);
    const auto shown = shown_message_boxes();
    ASSERT_EQ(shown.size(), before + 3);
    EXPECT_EQ(shown[before].caption, u"Warning");
    EXPECT_EQ(shown[before + 1].text, u"Replace?");
    EXPECT_EQ(shown[before + 2].text, u"Worker failed");
}

TEST(Shell, ClipboardKeepsWideTextOrHandsItToTheDesktop)
{
    set_clipboard_text(u"Звонок \U0001F3B5");
    EXPECT_EQ(clipboard_text(), u"Звонок \U0001F3B5");

    std::u16string desktop = u"from the desktop";
    set_clipboard_bridge({[&desktop](std::u16string_view text) { desktop = text; }, [&desktop] { return desktop; }});
    EXPECT_EQ(clipboard_text(), u"from the desktop");
    set_clipboard_text(u"ring");
    EXPECT_EQ(desktop, u"ring");
    set_clipboard_bridge({});
    EXPECT_EQ(clipboard_text(), u"Звонок \U0001F3B5");
}
