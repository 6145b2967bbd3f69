#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "audio/blocks.h"
#include "audio/file_writer.h"
#include "audio/links.h"
#include "os/atomic_file.h"
#include "os/file.h"

namespace audio {

// Writes pushed MP3 frames into a file through a large buffer. A new file is written
// beside its path under a temporary name (os::ReplacingFile), created at construction,
// so that a target that cannot be made fails at once (is_ok is false and every block is
// ignored), and only finish() puts the complete file in place: a file of that name keeps
// its old contents until then, and for good when nothing arrived, a write failed, or the
// writer ends without finish(). Appending writes in place.
class FileWriterMP3 : public Consumer<MP3Data>, public FileWriter {
public:
    FileWriterMP3(std::u16string_view path, bool append);
    ~FileWriterMP3() override;

    void on_data(const MP3Data& block) override;
    bool is_ok() override;
    int size() override;

    // Writes what is buffered and closes the file, putting a new file in place. True
    // when the file is complete and holds at least one byte.
    bool finish();

private:
    static constexpr int32_t buffer_bytes = 120000;

    bool write(const uint8_t* bytes, int32_t count);

    std::unique_ptr<os::ReplacingFile> new_file_;
    std::unique_ptr<os::File> appended_file_;
    // new_file_ or appended_file_, whichever is open; null once finished.
    os::File* file_;
    bool ok_ = true;
    int32_t size_ = 0;
    uint8_t buffer_[buffer_bytes];
    int32_t buffered_ = 0;
};

} // namespace audio
