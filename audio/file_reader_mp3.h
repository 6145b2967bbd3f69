#pragma once

#include <cstdint>
#include <string_view>

#include "audio/blocks.h"
#include "audio/file_reader.h"
#include "audio/links.h"
#include "audio/mp3_header.h"
#include "liba/thread.h"
#include "os/file.h"

namespace audio {

// MPEG audio files, found by their frame headers: recognised by two consecutive frames
// that match, read one frame per block. Positions are bytes of the file; the format
// and the bit rate are the first frame's (a VBR file's duration is estimated from it).
// Tags are not parsed: the frame search walks over them.
class FileReaderMP3 : public Provider<MP3Data>, public FileReader {
public:
    explicit FileReaderMP3(std::u16string_view path);

    bool is_open() override;
    bool is_eof() override;
    int channels() override;
    int bits_per_sample() override;
    int sample_rate() override;
    int bit_rate() override;
    int seconds_to_position(double seconds) override;
    double position_to_seconds(int position) override;
    int length() override;
    int position() override;
    void seek(int position) override;
    bool pump_seconds(double seconds) override;
    bool pump(int n) override;

    // The next frame matching the first one, with the bytes that follow it (the
    // decoder looks ahead into them); count is not used.
    MP3Data read(int count) override;

private:
    static constexpr int32_t buffer_size = 10000;

    bool at_end();
    int32_t refill();
    bool find_header(MP3Header& header);

    os::File file_;
    int32_t file_size_ = 0;
    MP3Header reference_;
    int32_t offset_past_buffer_ = 0;
    bool open_ = false;
    liba::Mutex lock_;
    uint8_t buffer_[buffer_size];
    int32_t valid_ = 0;
    int32_t index_ = 0;
};

} // namespace audio
