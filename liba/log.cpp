#include "liba/log.h"

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <unistd.h>

#include "liba/text.h"

namespace liba {
namespace {

// Appends UTF-8 text to the file named by MELODRIFT_LOG.
class EnvironmentFileStream : public LogStream {
public:
    explicit EnvironmentFileStream(const char* path) : file_(std::fopen(path, "a")) {}
    ~EnvironmentFileStream() override
    {
        if (file_)
            std::fclose(file_);
    }
    bool is_open() const { return file_ != nullptr; }

    void write(const char16_t* first, const char16_t* last) override
    {
        const std::string bytes = to_narrow(std::u16string_view(first, static_cast<size_t>(last - first)));
        std::lock_guard lock(mutex_);
        std::fwrite(bytes.data(), 1, bytes.size(), file_);
    }
    void flush() override
    {
        std::lock_guard lock(mutex_);
        std::fflush(file_);
    }

private:
    std::FILE* file_;
    std::mutex mutex_;
};

// Gathers one thread's pieces of a line and hands the sink whole lines, so that lines
// written by several threads at once never interleave.
class LineAssembler : public LogStream {
public:
    LogStream& feeding(LogStream& sink)
    {
        sink_ = &sink;
        return *this;
    }

    void write(const char16_t* first, const char16_t* last) override
    {
        pending_.append(first, last);
        const size_t end = pending_.rfind(u'\n');
        if (end == std::u16string::npos)
            return;
        sink_->write(pending_.data(), pending_.data() + end + 1);
        pending_.erase(0, end + 1);
    }
    void flush() override { sink_->flush(); }

private:
    LogStream* sink_ = nullptr;
    std::u16string pending_;
};

thread_local LineAssembler line_assembler;

LogStream& default_chooser()
{
    LogStream* stream = environment_log_stream();
    return stream ? *stream : empty_log_stream();
}

std::atomic<LogStreamChooser> chooser{default_chooser};
std::atomic<FatalErrorBox> fatal_box{nullptr};

LogStream& write_once(LogStream& stream, std::u16string_view text)
{
    stream.write(text.data(), text.data() + text.size());
    return stream;
}

template <class Value>
LogStream& write_formatted(LogStream& stream, const char* format, Value value)
{
    char buffer[64];
    const int length = std::snprintf(buffer, sizeof buffer, format, value);
    return write_once(stream, to_wide(std::string_view(buffer, static_cast<size_t>(std::max(length, 0)))));
}

} // namespace

LogStream& empty_log_stream()
{
    static TextOStreamEmpty<char16_t> empty;
    return empty;
}

LogStream* environment_log_stream()
{
    static EnvironmentFileStream* stream = [] {
        const char* path = std::getenv("MELODRIFT_LOG");
        if (!path || !*path)
            return static_cast<EnvironmentFileStream*>(nullptr);
        auto* opened = new EnvironmentFileStream(path); // lives until the process ends
        return opened->is_open() ? opened : nullptr;
    }();
    return stream;
}

void set_log_stream_chooser(LogStreamChooser new_chooser) { chooser = new_chooser ? new_chooser : default_chooser; }

LogStream& log()
{
    LogStream& sink = chooser.load()();
    return &sink == &empty_log_stream() ? sink : line_assembler.feeding(sink);
}

LogStream& operator<<(LogStream& stream, std::u16string_view text) { return write_once(stream, text); }
LogStream& operator<<(LogStream& stream, const char16_t* text) { return write_once(stream, text); }
LogStream& operator<<(LogStream& stream, const std::u16string& text) { return write_once(stream, text); }
LogStream& operator<<(LogStream& stream, std::string_view text) { return write_once(stream, to_wide(text)); }
LogStream& operator<<(LogStream& stream, const char* text) { return write_once(stream, to_wide(text)); }
LogStream& operator<<(LogStream& stream, const std::string& text) { return write_once(stream, to_wide(text)); }
LogStream& operator<<(LogStream& stream, int value) { return write_formatted(stream, "%d", value); }
LogStream& operator<<(LogStream& stream, long value) { return write_formatted(stream, "%ld", value); }
LogStream& operator<<(LogStream& stream, unsigned value) { return write_formatted(stream, "%u", value); }
LogStream& operator<<(LogStream& stream, unsigned long value) { return write_formatted(stream, "%lu", value); }
LogStream& operator<<(LogStream& stream, double value) { return write_formatted(stream, "%f", value); }

void set_fatal_error_box(FatalErrorBox box) { fatal_box = box; }

void fatal_error(std::u16string_view where, std::u16string_view what)
{
    LogStream& stream = log();
    stream << u"Gluck: " << what << u" @ " << where << u"\n";
    stream.flush();
    const std::string line = "Gluck: " + to_narrow(what) + " @ " + to_narrow(where) + "\n";
    [[maybe_unused]] const auto written = ::write(STDERR_FILENO, line.data(), line.size());
    if (FatalErrorBox box = fatal_box.load())
        box(what, where);
    _exit(fatal_exit_code);
}

} // namespace liba
