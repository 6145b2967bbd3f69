#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "liba/active.h"
#include "liba/nocopy.h"

namespace platform {
class InstanceLock;
}

// The process-wide application object: the window class that names the program, the
// lock that lets only one copy run, and the active scheduler of the user-interface
// thread. At most one exists; the entry routine makes it first and destroys it last.
// It stands on the platform layer, so it lives with the application.
namespace os {

class Application : liba::Nocopy {
public:
    // Fatal when the name makes a class name longer than 38 characters, or when an
    // application object exists already.
    explicit Application(std::u16string_view name);
    virtual ~Application();

    static Application& current();

    // True when another copy runs: it was handed the command line and brought to the
    // front. Otherwise this copy holds the start-up lock (a copy starting meanwhile
    // waits for it) until release_startup_lock.
    bool find_prior_instance(std::u16string_view command_line);
    // Lets the next copy in and restores the normal cursor; safe to call twice.
    void release_startup_lock();

    const std::u16string& window_class() const { return window_class_; }
    CActiveScheduler& scheduler() { return *scheduler_; }

private:
    std::u16string window_class_;
    std::unique_ptr<platform::InstanceLock> instance_;
    std::unique_ptr<CActiveScheduler> scheduler_;
};

} // namespace os
