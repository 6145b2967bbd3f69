#include "os/log_file.h"

#include <atomic>
#include <chrono>
#include <mutex>
#include <optional>
#include <vector>

#include "os/path.h"
#include "os/registry.h"

namespace os {

TextOStreamFile::TextOStreamFile(std::u16string_view path) : file_(std::make_unique<File>(path, File::truncate))
{
    const unsigned char mark[2] = {0xFF, 0xFE};
    file_->write(mark, 2);
}

void TextOStreamFile::write(const char16_t* first, const char16_t* last)
{
    if (!file_ || first >= last)
        return;
    std::vector<unsigned char> bytes;
    bytes.reserve(static_cast<size_t>(last - first) * 2);
    for (const char16_t* c = first; c != last; ++c) {
        bytes.push_back(static_cast<unsigned char>(*c & 0xFF));
        bytes.push_back(static_cast<unsigned char>(*c >> 8));
    }
    file_->write(bytes.data(), static_cast<int32_t>(bytes.size()));
}

void TextOStreamFile::flush()
{
    if (file_)
        file_->flush();
}

void Log::write(const char16_t* first, const char16_t* last)
{
    liba::Lock lock(mutex_);
    TextOStreamFile::write(first, last);
}

void Log::flush()
{
    liba::Lock lock(mutex_);
    TextOStreamFile::flush();
}

void Log::retire()
{
    liba::Lock lock(mutex_);
    close();
}

namespace {

using Clock = std::chrono::steady_clock;
// The program never writes beside itself (an installed copy could not).
constexpr std::u16string_view log_folder = u"%state%";
constexpr auto check_interval = std::chrono::milliseconds(250);

// The stream log() hands out and the switch value it was made for. A replaced log is
// closed but kept: a statement on another thread may still be writing to it.
class LogSwitch {
public:
    liba::LogStream& stream()
    {
        const auto now = Clock::now().time_since_epoch().count();
        liba::LogStream* current = current_.load(std::memory_order_acquire);
        if (current && now < next_check_.load(std::memory_order_acquire))
            return *current;
        std::lock_guard lock(mutex_);
        uint32_t value = 0;
        read_registry_number(u"HKEY_CURRENT_USER\\Software\\Quenbry", u"Log", value);
        const bool on = value != 0;
        if (on != made_for_) {
            made_for_ = on;
            if (log_) {
                log_->retire();
                retired_.push_back(std::move(log_));
            }
            if (on) {
                make_directories(log_folder);
                log_ = std::make_unique<Log>(log_file_path());
            }
            current_.store(on ? log_.get() : &liba::empty_log_stream(), std::memory_order_release);
        }
        next_check_.store(now + std::chrono::duration_cast<Clock::duration>(check_interval).count(),
                          std::memory_order_release);
        return *current_.load(std::memory_order_acquire);
    }

private:
    std::mutex mutex_;
    std::atomic<liba::LogStream*> current_{nullptr};
    std::atomic<Clock::rep> next_check_{0};
    std::optional<bool> made_for_;
    std::unique_ptr<Log> log_;
    std::vector<std::unique_ptr<Log>> retired_;
};

liba::LogStream& choose_log_stream()
{
    if (liba::LogStream* environment = liba::environment_log_stream())
        return *environment;
    static LogSwitch* log_switch = new LogSwitch; // lives until the process ends: workers may log late
    return log_switch->stream();
}

} // namespace

void install_log_file() { liba::set_log_stream_chooser(choose_log_stream); }

std::u16string log_file_path()
{
    return join_path(log_folder, file_name(expand_macros(u"%app_full_name%")) + u".txt");
}

} // namespace os
