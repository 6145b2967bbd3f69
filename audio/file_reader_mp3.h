#pragma once

#include <cstdint>
#include <string_view>

#include "audio/blocks.h"
#include "audio/file_reader.h"
#include "audio/links.h"
#include "audio/mp3_header.h"
#include "audio/mp3_timeline.h"
#include "liba/thread.h"
#include "os/file.h"

namespace audio {

// MPEG audio files, found by their frame headers: recognised by two consecutive frames
// that match after any ID3v2 tags, read one frame per block. Positions are bytes of the
// file; the format is the first frame's. Times and the length come from the
// information frame (Xing, Info or VBRI) when the stream starts with one, which is then
// never read as sound; every frame header is scanned when there is none, or when a
// time is first turned into a position. The bit rate is the frames' average.
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
    int32_t skip_id3v2_tags();
    int32_t find_first_frame(int32_t from);
    MP3Timeline read_timeline(int32_t first_frame);
    // The timeline with every frame, scanned on first need when an information frame
    // gave the totals.
    const MP3Timeline& indexed_timeline();
    void move_to(int32_t position);

    os::File file_;
    int32_t file_size_ = 0;
    MP3Header reference_;
    MP3Timeline timeline_;
    int32_t offset_past_buffer_ = 0;
    // Where the sound starts after the last seek: frames before it are read to warm
    // the decoder up, and the position does not count them.
    int32_t sound_from_ = 0;
    bool open_ = false;
    liba::Mutex lock_;
    uint8_t buffer_[buffer_size];
    int32_t valid_ = 0;
    int32_t index_ = 0;
};

} // namespace audio
