#pragma once

#include <memory>
#include <string_view>

#include "liba/log.h"
#include "liba/thread.h"
#include "os/file.h"

namespace os {

// A UTF-16LE text file: created, or emptied, with the byte-order mark FF FE. Each
// write is one file write; a file that could not be created swallows everything.
class TextOStreamFile : public liba::LogStream {
public:
    explicit TextOStreamFile(std::u16string_view path);

    void write(const char16_t* first, const char16_t* last) override;
    // Asks for the file's data to reach the medium.
    void flush() override;

protected:
    // Closes the file; later writes do nothing.
    void close() { file_.reset(); }

private:
    std::unique_ptr<File> file_;
};

// The log file: writes and flushes from several threads each hold a lock, so one
// thread's piece is never torn by another's.
class Log : public TextOStreamFile {
public:
    using TextOStreamFile::TextOStreamFile;

    void write(const char16_t* first, const char16_t* last) override;
    void flush() override;
    // Closes the file under the lock, for a log that is being replaced while another
    // thread may still be writing to it.
    void retire();

private:
    liba::Mutex mutex_;
};

// Makes liba::log() write to log_file_path() while the registry number "Log"
// under "HKEY_CURRENT_USER\Software\Quenbry" is non-zero. The switch is read again at
// most every quarter of a second, so a statement costs no file-system access while
// logging is off; switching on starts a fresh file. MELODRIFT_LOG, when set, still
// takes precedence.
void install_log_file();
// The log file of the running program: %state%/<program>.txt (the folder is made when
// the log is switched on).
std::u16string log_file_path();

} // namespace os
