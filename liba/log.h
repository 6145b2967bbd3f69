#pragma once

#include <string>
#include <string_view>

namespace liba {

// Output interface of wide text streams.
template <class Char>
class TextOStream {
public:
    virtual ~TextOStream() = default;
    virtual void write(const Char* first, const Char* last) = 0;
    virtual void flush() = 0;
};

// The sink that discards everything.
template <class Char>
class TextOStreamEmpty : public TextOStream<Char> {
public:
    void write(const Char*, const Char*) override {}
    void flush() override {}
};

using LogStream = TextOStream<char16_t>;

// The process-wide diagnostic stream. Call sites write whole lines ending in "\n";
// nothing is added to them, and each line reaches the sink whole, whatever other
// threads write meanwhile. Discarded unless a log sink is switched on.
LogStream& log();

// Chooses the stream log() hands out. The base library knows one switch, the
// environment variable MELODRIFT_LOG naming a file; the log file service installs a
// chooser of its own that still honours it.
using LogStreamChooser = LogStream& (*)();
void set_log_stream_chooser(LogStreamChooser chooser);
// The stream MELODRIFT_LOG names (UTF-8, appended), or null when it is unset.
LogStream* environment_log_stream();
LogStream& empty_log_stream();

// Each operator turns its value into text and hands it to write() once.
LogStream& operator<<(LogStream& stream, std::u16string_view text);
LogStream& operator<<(LogStream& stream, const char16_t* text);
LogStream& operator<<(LogStream& stream, const std::u16string& text);
LogStream& operator<<(LogStream& stream, std::string_view text);
LogStream& operator<<(LogStream& stream, const char* text);
LogStream& operator<<(LogStream& stream, const std::string& text);
LogStream& operator<<(LogStream& stream, int value);
LogStream& operator<<(LogStream& stream, long value);
LogStream& operator<<(LogStream& stream, unsigned value);
LogStream& operator<<(LogStream& stream, unsigned long value);
LogStream& operator<<(LogStream& stream, double value);

// The exit status of a process that ended with a fatal error (EX_SOFTWARE), so that
// scripts and launchers see the failure.
constexpr int fatal_exit_code = 70;

// Reports a programming error and ends the process: logs "Gluck: what @ where",
// shows what (captioned where) through the message-box hook, and exits with
// fatal_exit_code without running destructors.
[[noreturn]] void fatal_error(std::u16string_view where, std::u16string_view what);

// Shows a fatal report to the user and returns when it is dismissed. The user
// interface installs one that opens a message box; until then the report goes to
// standard error only.
using FatalErrorBox = void (*)(std::u16string_view text, std::u16string_view caption);
void set_fatal_error_box(FatalErrorBox box);

} // namespace liba
