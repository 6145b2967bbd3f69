#include "platform/window.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "platform/screen.h"
#include "tests/platform/probe_window.h"
#include "tests/platform/thread_runner.h"

using namespace platform;
using namespace platform_test;

namespace {

constexpr std::uint32_t end_modal = 1057;

} // namespace

TEST(Window, FocusMovesWithKillThenSetFocusAndActivatesTheTopLevelWindow)
{
    run_on_own_thread([] {
        Probe a({0, 0, 100, 100});
        Probe b({100, 0, 100, 100});
        Probe child({10, 10, 20, 20}, b.handle);
        set_focus(a.handle);
        a.seen.clear();
        b.seen.clear();

        EXPECT_EQ(set_focus(child.handle), a.handle);
        EXPECT_EQ(focus_window(), child.handle);
        EXPECT_EQ(active_window(), b.handle);
        ASSERT_EQ(a.of(messages::kill_focus).size(), 1u);
        EXPECT_EQ(a.of(messages::kill_focus)[0].wparam, child.handle);
        ASSERT_EQ(child.of(messages::set_focus).size(), 1u);
        EXPECT_EQ(child.of(messages::set_focus)[0].wparam, a.handle);
        ASSERT_EQ(a.of(messages::activate).size(), 1u);
        EXPECT_EQ(a.of(messages::activate)[0].wparam, 0u);
        ASSERT_EQ(b.of(messages::activate).size(), 1u);
        EXPECT_EQ(b.of(messages::activate)[0].wparam, 1u);

        // Keys go to the focused window.
        deliver_key(messages::key_down, 'A');
        drain();
        ASSERT_EQ(child.of(messages::key_down).size(), 1u);
        EXPECT_EQ(child.of(messages::key_down)[0].wparam, static_cast<std::uintptr_t>('A'));
    });
}

TEST(Window, CaptureTakesAllPointerInputAndTheLoserIsTold)
{
    run_on_own_thread([] {
        Probe a({0, 0, 50, 50});
        Probe b({100, 100, 50, 50});

        deliver_pointer(messages::left_down, {110, 120});
        drain();
        ASSERT_EQ(b.of(messages::left_down).size(), 1u);
        EXPECT_EQ(point_param_x(b.of(messages::left_down)[0].lparam), 10);
        EXPECT_EQ(point_param_y(b.of(messages::left_down)[0].lparam), 20);

        set_capture(a.handle);
        deliver_pointer(messages::mouse_move, {110, 120});
        drain();
        ASSERT_EQ(a.of(messages::mouse_move).size(), 1u);
        EXPECT_EQ(point_param_x(a.of(messages::mouse_move)[0].lparam), 110);
        EXPECT_TRUE(b.of(messages::mouse_move).empty());

        set_capture(b.handle);
        ASSERT_EQ(a.of(messages::capture_changed).size(), 1u);
        EXPECT_EQ(a.of(messages::capture_changed)[0].lparam, static_cast<std::intptr_t>(b.handle));

        {
            Probe gone({0, 0, 10, 10});
            set_capture(gone.handle);
        }
        EXPECT_EQ(capture_window(), no_window);
        release_capture();
    });
}

TEST(Window, PointFindsTheTopmostVisibleWindowAndItsChild)
{
    run_on_own_thread([] {
        Probe low({0, 0, 100, 100});
        Probe high({50, 50, 100, 100});
        Probe child({10, 10, 20, 20}, high.handle);
        Probe hidden({0, 0, 200, 200}, no_window, 0);

        EXPECT_EQ(window_from_point({55, 55}), high.handle);
        EXPECT_EQ(window_from_point({65, 65}), child.handle);
        EXPECT_EQ(screen_rect(child.handle), (Rect{60, 60, 20, 20}));
        EXPECT_EQ(window_from_point({10, 10}), low.handle);
        bring_to_top(low.handle);
        EXPECT_EQ(window_from_point({55, 55}), low.handle);

        // An owned window stays above its owner.
        Probe owned({0, 0, 30, 30}, no_window, styles::visible, high.handle);
        bring_to_top(high.handle);
        const auto order = top_level_windows();
        const auto at = [&](WindowHandle w) { return std::find(order.begin(), order.end(), w) - order.begin(); };
        EXPECT_GT(at(owned.handle), at(high.handle));
        EXPECT_GT(at(high.handle), at(low.handle));
    });
}

TEST(Window, DestroyingAWindowTakesItsChildrenAndOwnedWindowsAlong)
{
    run_on_own_thread([] {
        std::vector<WindowHandle> destroyed;
        auto main = std::make_unique<Probe>(Rect{0, 0, 100, 100});
        Probe child({0, 0, 10, 10}, main->handle);
        Probe dialog({0, 0, 50, 50}, no_window, styles::visible, main->handle);
        for (Probe* p : {main.get(), &child, &dialog})
            p->on_message = [&destroyed, p](const Message& m) {
                if (m.message == messages::destroy)
                    destroyed.push_back(p->handle);
            };
        const WindowHandle main_handle = main->handle;
        main.reset();
        EXPECT_EQ(destroyed, (std::vector<WindowHandle>{dialog.handle, main_handle, child.handle}));
        EXPECT_FALSE(is_window(child.handle));
        EXPECT_FALSE(is_window(dialog.handle));
    });
}

TEST(Window, DialogLoopDisablesItsOwnerAndDropsTapsOnIt)
{
    run_on_own_thread([] {
        Probe main({0, 0, 200, 200});
        set_active_window(main.handle);
        bool dialog_ran = false;
        main.on_message = [&](const Message& m) {
            if (m.message != messages::user)
                return;
            // The dialog's modal loop, nested inside the main loop.
            Probe dialog({20, 20, 50, 50}, no_window, styles::visible, main.handle);
            set_active_window(dialog.handle);
            enable_window(main.handle, false);
            deliver_pointer(messages::left_down, {150, 150}); // on the main window: dropped
            deliver_pointer(messages::left_down, {30, 30});
            dialog.on_message = [&dialog](const Message& inner) {
                if (inner.message == messages::left_down)
                    post_message(dialog.handle, end_modal);
            };
            Message inner;
            while (get_message(inner)) {
                dispatch(inner);
                if (inner.message == end_modal)
                    break;
            }
            enable_window(main.handle, true);
            dialog_ran = true;
        };
        post_message(main.handle, messages::user);
        Message m;
        while (!dialog_ran && get_message(m))
            dispatch(m);
        EXPECT_TRUE(dialog_ran);
        EXPECT_TRUE(main.of(messages::left_down).empty());
        EXPECT_TRUE(is_window_enabled(main.handle));
        EXPECT_EQ(active_window(), main.handle);
    });
}

TEST(Window, ResizingSendsSizeAndPaintingReachesTheScreen)
{
    run_on_own_thread([] {
        configure_screen({});
        Probe window({10, 120, 40, 30});
        window.on_message = [&window](const Message& m) {
            if (m.message != messages::paint)
                return;
            PaintSession paint(window.handle);
            paint.context().fill({0, 0, 1000, 1000}, Colour{255, 0, 0});
        };
        drain();
        move_window(window.handle, {10, 120, 60, 50});
        ASSERT_EQ(window.of(messages::size).size(), 1u);
        EXPECT_EQ(point_param_x(window.of(messages::size)[0].lparam), 60);
        EXPECT_EQ(point_param_y(window.of(messages::size)[0].lparam), 50);
        EXPECT_EQ(dirty_area(window.handle), (Rect{0, 0, 60, 50}));
        drain();
        EXPECT_TRUE(dirty_area(window.handle).empty());

        const Surface& screen = screen_surface();
        EXPECT_EQ(screen.pixel(10, 120), 0xFF0000u);
        EXPECT_EQ(screen.pixel(69, 169), 0xFF0000u);
        EXPECT_EQ(screen.pixel(70, 170), 0u);
    });
}

TEST(Window, ReplacingTheProcedureAnswersTheOldOne)
{
    run_on_own_thread([] {
        Probe window({0, 0, 10, 10});
        int hooked = 0;
        WindowProcedure original;
        original = set_window_procedure(window.handle, [&](const Message& m) {
            ++hooked;
            return original(m);
        });
        send_message(window.handle, messages::user);
        EXPECT_EQ(hooked, 1);
        EXPECT_EQ(window.of(messages::user).size(), 1u);
        set_window_procedure(window.handle, original);
    });
}
