#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "audio/blocks.h"
#include "audio/file_writer.h"
#include "audio/links.h"
#include "os/file.h"

namespace audio {

// Writes pushed MP3 frames into a file through a large buffer. The file is created at
// construction, so a target that cannot be made fails at once (is_ok is false and
// every block is ignored). finish() completes it; a new file that received nothing, or
// whose writes failed, is removed rather than left half-written.
class FileWriterMP3 : public Consumer<MP3Data>, public FileWriter {
public:
    FileWriterMP3(std::u16string_view path, bool append);
    ~FileWriterMP3() override;

    void on_data(const MP3Data& block) override;
    bool is_ok() override;
    int size() override;

    // Writes what is buffered and closes the file. True when the file is complete and
    // holds at least one byte.
    bool finish();

private:
    static constexpr int32_t buffer_bytes = 120000;

    bool write(const uint8_t* bytes, int32_t count);

    std::unique_ptr<os::File> file_;
    bool opened_ = false;
    bool ok_ = true;
    int32_t size_ = 0;
    uint8_t buffer_[buffer_bytes];
    int32_t buffered_ = 0;
    bool append_;
    std::u16string path_;
};

} // namespace audio
