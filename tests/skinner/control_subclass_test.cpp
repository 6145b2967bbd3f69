#include "skinner/core/control_subclass.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>

#include "platform/window.h"

using namespace platform;

namespace {

constexpr std::uint32_t probe = messages::user + 7;

// Writes its name into a shared trace for every probe message; may keep it.
class TracingSubclass : public skinner::ControlSubclass {
public:
    TracingSubclass(std::string& trace, char name, bool keep = false) : trace_(trace), name_(name), keep_(keep) {}

    std::intptr_t handle_message(const Message& message, bool& pass_on) override
    {
        if (message.message == probe) {
            trace_ += name_;
            if (keep_) {
                pass_on = false;
                return 100 + name_;
            }
        }
        return 0;
    }

private:
    std::string& trace_;
    char name_;
    bool keep_;
};

struct SubclassFixture {
    std::string trace;
    WindowHandle window = no_window;

    SubclassFixture()
    {
        WindowSpec spec;
        spec.class_name = u"edit";
        spec.procedure = [this](const Message& m) -> std::intptr_t {
            if (m.message == probe) {
                trace += 'W';
                return 1;
            }
            return default_window_procedure(m);
        };
        window = create_window(spec);
    }
    ~SubclassFixture() { destroy_window(window); }

    std::intptr_t send_probe() { return send_message(window, probe); }
};

void on_own_thread(const std::function<void()>& body)
{
    std::thread(body).join();
}

} // namespace

TEST(ControlSubclass, LaterAttachedSeesFirstAndDetachingBothRestoresTheOwnProcedure)
{
    on_own_thread([] {
        SubclassFixture f;
        TracingSubclass first(f.trace, 'a');
        TracingSubclass second(f.trace, 'b');
        first.attach(f.window);
        second.attach(f.window);
        EXPECT_EQ(f.send_probe(), 1);
        EXPECT_EQ(f.trace, "baW");

        f.trace.clear();
        second.detach();
        EXPECT_EQ(second.window(), no_window);
        f.send_probe();
        EXPECT_EQ(f.trace, "aW");

        first.detach();
        f.trace.clear();
        f.send_probe();
        EXPECT_EQ(f.trace, "W");
    });
}

TEST(ControlSubclass, AKeepingHandlerHidesTheMessageFromTheWindowButNotFromEarlierSubclasses)
{
    on_own_thread([] {
        SubclassFixture f;
        TracingSubclass early(f.trace, 'a');
        TracingSubclass keeper(f.trace, 'k', true);
        TracingSubclass late(f.trace, 'z');
        early.attach(f.window);
        keeper.attach(f.window);
        late.attach(f.window);
        EXPECT_EQ(f.send_probe(), 100 + 'k');
        EXPECT_EQ(f.trace, "zka");
    });
}

TEST(ControlSubclass, DestroyingTheWindowDetachesItsSubclasses)
{
    on_own_thread([] {
        std::string trace;
        TracingSubclass subclass(trace, 'a');
        {
            SubclassFixture f;
            subclass.attach(f.window);
            EXPECT_EQ(subclass.window(), f.window);
        }
        EXPECT_EQ(subclass.window(), no_window);
        subclass.detach();
        EXPECT_EQ(subclass.window(), no_window);
    });
}

TEST(ControlSubclass, ASubclassDestroyedFirstIsNeverCalledAgain)
{
    on_own_thread([] {
        SubclassFixture f;
        TracingSubclass stays(f.trace, 'a');
        stays.attach(f.window);
        {
            TracingSubclass brief(f.trace, 'b');
            brief.attach(f.window);
        }
        f.send_probe();
        EXPECT_EQ(f.trace, "aW");
    });
}
