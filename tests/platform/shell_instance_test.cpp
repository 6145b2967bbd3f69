#include "platform/shell_instance.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <future>

#include "platform/screen.h"
#include "platform/window.h"

using namespace platform;

namespace {

// A private runtime folder, so that tests never meet a real running copy.
struct RuntimeFolder {
    std::filesystem::path path;
    RuntimeFolder()
    {
        const char* tmp = std::getenv("MELODRIFT_TEST_TMP");
        path = std::filesystem::path(tmp ? tmp : "/tmp") / ("instance-" + std::to_string(::getpid()));
        std::filesystem::create_directories(path);
        ::setenv("XDG_RUNTIME_DIR", path.c_str(), 1);
    }
    ~RuntimeFolder() { std::filesystem::remove_all(path); }
};

} // namespace

TEST(InstanceLockThread, SecondCopyWaitsForTheFirstThenHandsOverItsCommandLine)
{
    RuntimeFolder folder;
    std::thread ui([] {
        InstanceLock first(u"SkinnerClass_Test");
        ASSERT_FALSE(first.find_running_copy(u"first"));

        auto second = std::async(std::launch::async, [] {
            InstanceLock lock(u"SkinnerClass_Test");
            return lock.find_running_copy(u"--open song.mp3");
        });

        std::u16string received;
        WindowSpec spec;
        spec.class_name = u"SkinnerClass_Test";
        spec.procedure = [&received](const Message& m) -> std::intptr_t {
            if (m.message == messages::copy_data) {
                const auto* data = reinterpret_cast<const CopyData*>(m.lparam);
                received.assign(static_cast<const char16_t*>(data->data), data->size / 2);
                return 1;
            }
            return default_window_procedure(m);
        };
        WindowSpec dialog = spec;
        const WindowHandle main = create_window(spec);
        dialog.owner = main;
        const WindowHandle owned = create_window(dialog); // not a candidate: it has an owner
        first.release_startup_lock();

        // Sent messages are answered inside get_message; a timer makes it come back.
        set_timer(main, 1, 5);
        Message m;
        while (received.empty() && get_message(m))
            dispatch(m);
        EXPECT_EQ(received, u"--open song.mp3");
        EXPECT_TRUE(second.get());
        EXPECT_TRUE(take_raise_request());
        destroy_window(owned);
        destroy_window(main);
    });
    ui.join();
}

TEST(InstanceLockThread, AStaleSocketOfADeadCopyDoesNotStopANewStart)
{
    RuntimeFolder folder;
    std::ofstream(folder.path / "SkinnerClass_Stale.socket") << "left over";
    std::thread([] {
        InstanceLock lock(u"SkinnerClass_Stale");
        EXPECT_FALSE(lock.find_running_copy(u""));
        lock.release_startup_lock();
        lock.release_startup_lock();
    }).join();
    EXPECT_FALSE(std::filesystem::exists(folder.path / "SkinnerClass_Stale.socket"));
}
