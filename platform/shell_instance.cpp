#include "platform/shell_instance.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "liba/text.h"
#include "platform/base/message_queue.h"
#include "platform/screen.h"
#include "platform/window.h"

namespace platform {

namespace {

// Longest command line accepted from another copy, in code units.
constexpr std::uint32_t longest_command_line = 1 << 20;

std::string runtime_folder()
{
    const char* folder = std::getenv("XDG_RUNTIME_DIR");
    return folder && *folder ? folder : "/tmp";
}

bool write_all(int fd, const void* data, size_t size)
{
    const auto* bytes = static_cast<const char*>(data);
    while (size > 0) {
        const ssize_t written = ::write(fd, bytes, size);
        if (written <= 0)
            return false;
        bytes += written;
        size -= static_cast<size_t>(written);
    }
    return true;
}

bool read_all(int fd, void* data, size_t size)
{
    auto* bytes = static_cast<char*>(data);
    while (size > 0) {
        const ssize_t got = ::read(fd, bytes, size);
        if (got <= 0)
            return false;
        bytes += got;
        size -= static_cast<size_t>(got);
    }
    return true;
}

bool make_address(const std::string& path, sockaddr_un& address)
{
    std::memset(&address, 0, sizeof address);
    address.sun_family = AF_UNIX;
    if (path.size() >= sizeof address.sun_path)
        return false;
    std::memcpy(address.sun_path, path.c_str(), path.size());
    return true;
}

// The running copy's main window: of the class, without parent or owner.
WindowHandle main_window_of(std::u16string_view class_name)
{
    for (const WindowHandle window : top_level_windows()) {
        if (window_class(window) == class_name && owner_window(window) == no_window)
            return window;
    }
    return no_window;
}

} // namespace

InstanceLock::InstanceLock(std::u16string_view class_name) : class_name_(class_name)
{
    const std::string base = runtime_folder() + "/" + liba::to_narrow(class_name);
    lock_path_ = base + ".lock";
    socket_path_ = base + ".socket";
}

InstanceLock::~InstanceLock()
{
    if (listen_fd_ >= 0) {
        ::shutdown(listen_fd_, SHUT_RDWR);
        // The listener may be waiting for this thread to take a hand-over: keep
        // answering sent messages until it has finished.
        Message ignored;
        const MessageFilter nothing{no_window, 0xFFFFFFFFu, 0xFFFFFFFFu};
        while (!listener_done_) {
            peek_message(ignored, nothing, false);
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        listener_.join();
        ::close(listen_fd_);
        ::unlink(socket_path_.c_str());
    }
    release_startup_lock();
}

bool InstanceLock::find_running_copy(std::u16string_view command_line)
{
    lock_fd_ = ::open(lock_path_.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (lock_fd_ >= 0 && ::flock(lock_fd_, LOCK_EX) != 0) {
        ::close(lock_fd_);
        lock_fd_ = -1;
    }
    if (hand_over(command_line))
        return true;
    listen();
    return false;
}

void InstanceLock::release_startup_lock()
{
    if (lock_fd_ < 0)
        return;
    ::flock(lock_fd_, LOCK_UN);
    ::close(lock_fd_);
    lock_fd_ = -1;
}

bool InstanceLock::hand_over(std::u16string_view command_line)
{
    sockaddr_un address;
    if (!make_address(socket_path_, address))
        return false;
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return false;
    bool handed = false;
    if (::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0) {
        const auto units = static_cast<std::uint32_t>(std::min<size_t>(command_line.size(), longest_command_line));
        char reply = 0;
        handed = write_all(fd, &units, sizeof units) && write_all(fd, command_line.data(), units * sizeof(char16_t)) &&
                 read_all(fd, &reply, 1) && reply == 1;
    }
    ::close(fd);
    return handed;
}

void InstanceLock::listen()
{
    sockaddr_un address;
    if (!make_address(socket_path_, address))
        return;
    // Nobody answered, so a socket file left there belongs to a copy that died.
    ::unlink(socket_path_.c_str());
    listen_fd_ = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (listen_fd_ < 0)
        return;
    if (::bind(listen_fd_, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0 ||
        ::listen(listen_fd_, 4) != 0) {
        ::close(listen_fd_);
        listen_fd_ = -1;
        return;
    }
    listener_done_ = false;
    listener_ = std::thread([this] { serve(); });
}

void InstanceLock::serve()
{
    for (;;) {
        const int connection = ::accept4(listen_fd_, nullptr, nullptr, SOCK_CLOEXEC);
        if (connection < 0)
            break;
        answer(connection);
        ::close(connection);
    }
    listener_done_ = true;
}

void InstanceLock::answer(int connection)
{
    std::uint32_t units = 0;
    if (!read_all(connection, &units, sizeof units) || units > longest_command_line)
        return;
    std::u16string text(units, u'\0');
    if (!read_all(connection, text.data(), units * sizeof(char16_t)))
        return;
    const WindowHandle window = main_window_of(class_name_);
    char reply = 0;
    if (window != no_window) {
        const CopyData data{0, text.data(), static_cast<std::uint32_t>(units * sizeof(char16_t))};
        raise_screen();
        send_message(window, messages::copy_data, 0, reinterpret_cast<std::intptr_t>(&data));
        reply = 1;
    }
    write_all(connection, &reply, 1);
}

} // namespace platform
