#include "platform/session.h"

#include <gtest/gtest.h>

#include <memory>

#include "platform/base/keys.h"
#include "platform/input.h"
#include "platform/shell.h"
#include "platform/window.h"
#include "tests/platform/probe_window.h"
#include "tests/support/ui_harness.h"

using namespace platform;
using namespace platform_test;

namespace {

// What one test leaves behind never reaches the next: windows, bars, queued
// messages, a quit.
TEST(Session, EachStartsFromAnEmptyScreen)
{
    std::unique_ptr<Probe> window; // outlives the session it was made in
    WindowHandle left_open = no_window;
    {
        Session first({{240, 320}, DeviceKind::smartphone});
        window = std::make_unique<Probe>(Rect{0, 27, 240, 266});
        left_open = window->handle;
        set_menu_bar(left_open, {{u"Left", 1, true}});
        post_message(left_open, messages::user);
        set_timer(left_open, 1, 10);
        post_quit_message(3);
        EXPECT_EQ(top_level_windows().size(), 1u);
    }
    Session second;
    EXPECT_TRUE(top_level_windows().empty());
    EXPECT_FALSE(is_window(left_open));
    EXPECT_EQ(screen_size(), (Size{480, 640}));
    EXPECT_EQ(device_kind(), DeviceKind::pocket_pc);
    Message m;
    EXPECT_FALSE(peek_message(m)) << "message " << m.message << " left over";
    // Handles are never reused, so nothing stale can find a new window.
    Probe fresh({0, 52, 480, 536});
    EXPECT_GT(fresh.handle, left_open);
}

struct KeyCase {
    const char* name;
    const char* key;
    std::uint32_t message; // what the window receives
    std::uintptr_t wparam;
};

class KeyMeaning : public testing::TestWithParam<KeyCase> {};

// Both back ends and the script hand keys to one place that gives them their meaning.
TEST_P(KeyMeaning, IsGivenOnceForEveryInputSource)
{
    ui_test::UiHarness ui({{480, 640}, DeviceKind::smartphone});
    Probe window({0, 54, 480, 532});
    set_menu_bar(window.handle, {{u"Left", 41, true}, {u"Right", 42, true}});
    set_active_window(window.handle);
    ui.key(GetParam().key);
    bool seen = false;
    for (const Message& m : window.seen)
        seen = seen || (m.message == GetParam().message && m.wparam == GetParam().wparam);
    EXPECT_TRUE(seen);
}

INSTANTIATE_TEST_SUITE_P(Input, KeyMeaning,
    testing::Values(KeyCase{"F1IsTheLeftSoftKey", "F1", messages::command, 41},
        KeyCase{"F2IsTheRightSoftKey", "F2", messages::command, 42},
        KeyCase{"F11RotatesTheScreen", "F11", messages::setting_change, setting_screen},
        KeyCase{"EscapeIsTheBackKey", "Escape", messages::hot_key, 0},
        KeyCase{"OtherKeysGoToTheWindow", "Enter", messages::key_down, keys::enter}),
    [](const testing::TestParamInfo<KeyCase>& info) { return std::string(info.param.name); });

TEST(Input, ModifierKeysAreKnownWhileHeld)
{
    ui_test::UiHarness ui;
    Probe window({0, 52, 480, 536});
    set_active_window(window.handle);
    EXPECT_FALSE(modifier_down(keys::shift));
    ui.key_down("Shift");
    EXPECT_TRUE(modifier_down(keys::shift));
    EXPECT_FALSE(modifier_down(keys::control));
    ui.key_up("Shift");
    EXPECT_FALSE(modifier_down(keys::shift));
}

} // namespace
