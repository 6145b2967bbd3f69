#pragma once

#include <atomic>
#include <string>
#include <thread>

#include "liba/nocopy.h"

namespace platform {

// Makes sure one copy of a program runs. A lock file orders copies that start at
// the same time; a Unix socket, both named after the window class in
// $XDG_RUNTIME_DIR (else /tmp), lets a later copy hand its command line to the
// running one, whose top-level window of that class receives it as copy_data (tag 0,
// the UTF-16 code units) on its own thread.
class InstanceLock : liba::Nocopy {
public:
    explicit InstanceLock(std::u16string_view class_name);
    ~InstanceLock();

    // Waits while another copy is starting. True when a running copy took the command
    // line; otherwise this copy holds the start-up lock and listens for later copies.
    bool find_running_copy(std::u16string_view command_line);
    // Lets the next copy in; safe to call twice.
    void release_startup_lock();

private:
    bool hand_over(std::u16string_view command_line);
    void listen();
    void serve();
    void answer(int connection);

    std::u16string class_name_;
    std::string lock_path_;
    std::string socket_path_;
    int lock_fd_ = -1;
    int listen_fd_ = -1;
    std::thread listener_;
    std::atomic<bool> listener_done_{true};
};

} // namespace platform
